#pragma once
// Waiting in window tests: for a condition that another thread, a window or a
// process brings about, handling this thread's messages meanwhile (the windows
// of the test live on it) and always bounded so that a test fails instead of
// hanging.
#include <windows.h>

#include "platform/afx/linux_headers_begin.h"
#include <functional>
#include "platform/afx/linux_headers_end.h"

namespace winetest {

// Handles messages until done() or timeoutMs have passed; true when done() held.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);

// Handles every message waiting for this thread.
void PumpMessages();

}  // namespace winetest
