#include "tests/support/native/Wait.h"

#include <chrono>
#include <thread>

namespace testsupport {

void Sleep(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

bool WaitFor(const std::function<bool()>& cond, double timeoutSeconds, double pollSeconds) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::duration<double>(timeoutSeconds);
  while (!cond()) {
    if (Clock::now() >= deadline) return false;
    Sleep(pollSeconds);
  }
  return true;
}

}  // namespace testsupport
