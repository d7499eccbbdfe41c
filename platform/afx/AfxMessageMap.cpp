#include "platform/afx/AfxMessageMap.h"

#include "platform/afx/linux_headers_begin.h"
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include "platform/afx/linux_headers_end.h"

namespace {
std::atomic<AfxFailureHook> g_failureHook{nullptr};
}

AfxFailureHook AfxSetFailureHook(AfxFailureHook hook) { return g_failureHook.exchange(hook); }

void AfxFail(const char* text) {
  if (AfxFailureHook hook = g_failureHook.load()) hook(text);
  std::fprintf(stderr, "Tarvel: %s\n", text);
  std::fflush(stderr);
  ::OutputDebugStringA(text);
  std::abort();
}
