// Waiting in tests: for a condition that another thread or process brings about,
// always bounded so that a test fails instead of hanging.
#pragma once

#include <functional>

namespace testsupport {

void Sleep(double seconds);

// Checks cond every pollSeconds until it holds or timeoutSeconds have passed;
// true when it held.
bool WaitFor(const std::function<bool()>& cond, double timeoutSeconds, double pollSeconds = 0.01);

}  // namespace testsupport
