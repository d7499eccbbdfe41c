#include "platform/seams/WindowMessages.h"

#include <atomic>

namespace seams {
namespace {
std::atomic<MessagePoster*> g_poster{nullptr};
}

MessagePoster* SetMessagePoster(MessagePoster* poster) noexcept {
  return g_poster.exchange(poster, std::memory_order_acq_rel);
}

bool PostWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam) noexcept {
  if (window == 0) return false;
  MessagePoster* poster = g_poster.load(std::memory_order_acquire);
  return poster != nullptr && poster->Post(window, message, wParam, lParam);
}

}  // namespace seams
