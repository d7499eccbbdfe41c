#include "platform/afx/CString.h"

#include <stdarg.h>
#include <stdio.h>

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cctype>
#include <vector>
#include "platform/afx/linux_headers_end.h"

BOOL CString::LoadString(UINT id) {
  // LoadStringA copies at most the buffer less one; grow until the text fits.
  std::vector<char> buffer(256);
  for (;;) {
    int length = ::LoadStringA(::GetModuleHandleA(nullptr), id, buffer.data(),
                               static_cast<int>(buffer.size()));
    if (length <= 0) {
      text_.clear();
      return FALSE;
    }
    if (length < static_cast<int>(buffer.size()) - 1) {
      text_.assign(buffer.data(), length);
      return TRUE;
    }
    buffer.resize(buffer.size() * 2);
  }
}

void CString::FormatV(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int length = vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (length < 0) {
    text_.clear();
    return;
  }
  std::vector<char> buffer(length + 1);
  vsnprintf(buffer.data(), buffer.size(), format, args);
  text_.assign(buffer.data(), length);
}

void CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}

CString CString::Left(int count) const {
  count = std::clamp(count, 0, GetLength());
  return CString(text_.substr(0, count));
}

CString CString::Right(int count) const {
  count = std::clamp(count, 0, GetLength());
  return CString(text_.substr(text_.size() - count));
}

CString CString::Mid(int first, int count) const {
  first = std::clamp(first, 0, GetLength());
  if (count < 0 || first + count > GetLength()) count = GetLength() - first;
  return CString(text_.substr(first, count));
}

int CString::Find(char ch, int start) const {
  if (start < 0 || start > GetLength()) return -1;
  auto pos = text_.find(ch, start);
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char* sub, int start) const {
  if (start < 0 || start > GetLength()) return -1;
  auto pos = text_.find(sub ? sub : "", start);
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const {
  auto pos = text_.rfind(ch);
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

void CString::MakeUpper() {
  for (char& c : text_) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

void CString::MakeLower() {
  for (char& c : text_) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

void CString::TrimLeft() {
  auto it = std::find_if(text_.begin(), text_.end(),
                         [](unsigned char c) { return !std::isspace(c); });
  text_.erase(text_.begin(), it);
}

void CString::TrimRight() {
  while (!text_.empty() && std::isspace(static_cast<unsigned char>(text_.back()))) text_.pop_back();
}

int CString::Compare(const char* other) const { return text_.compare(other ? other : ""); }

int CString::CompareNoCase(const char* other) const {
  return ::lstrcmpiA(text_.c_str(), other ? other : "");
}

char* CString::GetBuffer(int minLength) {
  if (minLength > GetLength()) text_.resize(minLength);
  return text_.data();
}

void CString::ReleaseBuffer(int newLength) {
  if (newLength < 0) newLength = static_cast<int>(strlen(text_.c_str()));
  text_.resize(std::min<size_t>(newLength, text_.size()));
}
