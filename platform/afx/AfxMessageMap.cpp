#include "platform/afx/AfxMessageMap.h"

#include "platform/afx/linux_headers_begin.h"
#include <atomic>
#include <cstdlib>
#include "platform/afx/linux_headers_end.h"

#include "platform/seams/Diagnostics.h"

namespace {
std::atomic<AfxFailureHook> g_failureHook{nullptr};
}

AfxFailureHook AfxSetFailureHook(AfxFailureHook hook) { return g_failureHook.exchange(hook); }

void AfxFail(const char* text) {
  if (AfxFailureHook hook = g_failureHook.load()) hook(text);
  seams::DiagnosticF(seams::DiagnosticStream::kStandardError, "Tarvel: %s\n", text);
  ::OutputDebugStringA(text);
  std::abort();
}
