#pragma once
// The few string helpers the engine needs, the same under every C runtime.
#include "platform/afx/linux_headers_begin.h"
#include <cstdlib>
#include <cstring>
#include "platform/afx/linux_headers_end.h"

inline char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Compares at most n characters, ignoring ASCII case; true when equal.
inline bool EqualNoCase(const char* a, const char* b, size_t n = static_cast<size_t>(-1)) {
  for (size_t i = 0; i < n; ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    if (!a[i]) return true;
  }
  return true;
}

// A heap copy (malloc) of text, or null.
inline char* CopyString(const char* text) {
  size_t length = std::strlen(text) + 1;
  char* copy = static_cast<char*>(std::malloc(length));
  if (copy) std::memcpy(copy, text, length);
  return copy;
}
