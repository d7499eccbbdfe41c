#include "platform/afx/OleInit.h"

namespace {
thread_local BOOL g_oleInitialized = FALSE;
}

BOOL AfxOleInit() {
  if (g_oleInitialized) return TRUE;
  HRESULT hr = ::OleInitialize(nullptr);
  g_oleInitialized = SUCCEEDED(hr);
  return g_oleInitialized;
}

BOOL AfxOleIsInitialized() { return g_oleInitialized; }
