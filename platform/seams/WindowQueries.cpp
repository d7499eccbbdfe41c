#include "platform/seams/WindowQueries.h"

#include <atomic>

namespace seams {
namespace {
std::atomic<WindowQueries*> g_queries{nullptr};
}

WindowQueries* SetWindowQueries(WindowQueries* queries) noexcept {
  return g_queries.exchange(queries, std::memory_order_acq_rel);
}

bool IsWindowHandle(WindowHandle window) {
  if (WindowQueries* q = g_queries.load(std::memory_order_acquire)) return q->IsWindow(window);
  return window != 0;
}

void BringWindowToFront(WindowHandle window) {
  if (WindowQueries* q = g_queries.load(std::memory_order_acquire)) q->BringToFront(window);
}

}  // namespace seams
