// Auto-reset events for the audio engine's buffer thread: a Set wakes one wait
// and the event clears itself when that wait returns. Events made on the same
// hub can be waited for together (WaitAny), as the buffer thread waits for
// "quit" or "work" with a timeout.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>

// The lock and wake-up shared by the events a thread waits for together.
class EventHub {
public:
  std::mutex mutex;
  std::condition_variable changed;
};

class AutoResetEvent {
public:
  // A new event, clear; on its own hub unless one is given.
  explicit AutoResetEvent(std::shared_ptr<EventHub> hub = nullptr);
  AutoResetEvent(const AutoResetEvent&) = delete;
  AutoResetEvent& operator=(const AutoResetEvent&) = delete;

  void Set();
  void Reset();
  // Waits until the event is set (and clears it); timeoutMs -1 waits without
  // limit. False when the time ran out.
  bool Wait(int timeoutMs = -1);

  // Waits until one of the events is set and clears that one; the lowest index
  // wins when several are set. Returns its index, or -1 when the time ran out
  // (timeoutMs -1: no limit). Every event must be on the same hub.
  static int WaitAny(AutoResetEvent* const* events, int count, int timeoutMs);

private:
  std::shared_ptr<EventHub> mHub;
  bool mSignalled = false;  // guarded by the hub's mutex
};
