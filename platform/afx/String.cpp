#include "platform/afx/String.h"

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
    int length =
        ::LoadStringA(::GetModuleHandleA(nullptr), id, buffer.data(), static_cast<int>(buffer.size()));
    if (length <= 0) {
      m_text.clear();
      return FALSE;
    }
    if (length < static_cast<int>(buffer.size()) - 1) {
      m_text.assign(buffer.data(), length);
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
    m_text.clear();
    return;
  }
  std::vector<char> buffer(length + 1);
  vsnprintf(buffer.data(), buffer.size(), format, args);
  m_text.assign(buffer.data(), length);
}

void CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}

CString CString::Left(int count) const {
  count = std::clamp(count, 0, GetLength());
  return CString(m_text.substr(0, count));
}

CString CString::Right(int count) const {
  count = std::clamp(count, 0, GetLength());
  return CString(m_text.substr(m_text.size() - count));
}

CString CString::Mid(int first, int count) const {
  first = std::clamp(first, 0, GetLength());
  if (count < 0 || first + count > GetLength()) count = GetLength() - first;
  return CString(m_text.substr(first, count));
}

int CString::Find(char ch, int start) const {
  if (start < 0 || start > GetLength()) return -1;
  auto pos = m_text.find(ch, start);
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char* sub, int start) const {
  if (start < 0 || start > GetLength()) return -1;
  auto pos = m_text.find(sub ? sub : "", start);
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const {
  auto pos = m_text.rfind(ch);
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

void CString::MakeUpper() {
  for (char& c : m_text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

void CString::MakeLower() {
  for (char& c : m_text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

void CString::TrimLeft() {
  auto it = std::find_if(m_text.begin(), m_text.end(), [](unsigned char c) { return !std::isspace(c); });
  m_text.erase(m_text.begin(), it);
}

void CString::TrimRight() {
  while (!m_text.empty() && std::isspace(static_cast<unsigned char>(m_text.back()))) m_text.pop_back();
}

int CString::Compare(const char* other) const { return m_text.compare(other ? other : ""); }

int CString::CompareNoCase(const char* other) const {
  return ::lstrcmpiA(m_text.c_str(), other ? other : "");
}

char* CString::GetBuffer(int minLength) {
  if (minLength > GetLength()) m_text.resize(minLength);
  return m_text.data();
}

void CString::ReleaseBuffer(int newLength) {
  if (newLength < 0) newLength = static_cast<int>(strlen(m_text.c_str()));
  m_text.resize(std::min<size_t>(newLength, m_text.size()));
}
