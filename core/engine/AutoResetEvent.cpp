#include "core/engine/AutoResetEvent.h"

#include <chrono>

AutoResetEvent::AutoResetEvent(std::shared_ptr<EventHub> hub)
    : mHub(hub ? std::move(hub) : std::make_shared<EventHub>()) {}

void AutoResetEvent::Set() {
  {
    std::lock_guard lock(mHub->mutex);
    mSignalled = true;
  }
  // Several threads may wait on one hub for different events.
  mHub->changed.notify_all();
}

void AutoResetEvent::Reset() {
  std::lock_guard lock(mHub->mutex);
  mSignalled = false;
}

bool AutoResetEvent::Wait(int timeoutMs) {
  AutoResetEvent* self = this;
  return WaitAny(&self, 1, timeoutMs) == 0;
}

int AutoResetEvent::WaitAny(AutoResetEvent* const* events, int count, int timeoutMs) {
  if (count <= 0) return -1;
  EventHub& hub = *events[0]->mHub;
  std::unique_lock lock(hub.mutex);
  auto firstSet = [&]() -> int {
    for (int i = 0; i < count; ++i)
      if (events[i]->mSignalled) return i;
    return -1;
  };
  int index = firstSet();
  if (index < 0) {
    if (timeoutMs < 0) {
      hub.changed.wait(lock, [&] { return (index = firstSet()) >= 0; });
    } else {
      hub.changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [&] { return (index = firstSet()) >= 0; });
    }
  }
  if (index >= 0) events[index]->mSignalled = false;
  return index;
}
