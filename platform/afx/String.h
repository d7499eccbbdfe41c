#pragma once
// The framework's ANSI string: a value type that converts to const char* wherever a
// Win32 call wants text.
#include <windows.h>

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include "platform/afx/linux_headers_end.h"

class CString {
public:
  CString() = default;
  CString(const char* text) : m_text(text ? text : "") {}
  CString(const char* text, int length) : m_text(text, text + length) {}
  CString(char ch, int repeat = 1) : m_text(repeat > 0 ? repeat : 0, ch) {}
  CString(const std::string& text) : m_text(text) {}

  operator const char*() const { return m_text.c_str(); }
  const std::string& str() const { return m_text; }

  int GetLength() const { return static_cast<int>(m_text.size()); }
  bool IsEmpty() const { return m_text.empty(); }
  void Empty() { m_text.clear(); }
  char GetAt(int index) const { return m_text[index]; }
  char operator[](int index) const { return m_text[index]; }

  // Loads the string resource id of the running module; FALSE when there is none.
  BOOL LoadString(UINT id);
  void Format(const char* format, ...);
  void FormatV(const char* format, va_list args);

  CString Left(int count) const;
  CString Right(int count) const;
  CString Mid(int first, int count = -1) const;
  int Find(char ch, int start = 0) const;
  int Find(const char* sub, int start = 0) const;
  int ReverseFind(char ch) const;
  void MakeUpper();
  void MakeLower();
  void TrimLeft();
  void TrimRight();
  int Compare(const char* other) const;
  int CompareNoCase(const char* other) const;

  // Room for at least minLength characters, written directly; ReleaseBuffer takes
  // the text up to newLength characters (or its terminator when -1).
  char* GetBuffer(int minLength);
  void ReleaseBuffer(int newLength = -1);

  CString& operator=(const char* text) {
    m_text = text ? text : "";
    return *this;
  }
  CString& operator+=(const char* text) {
    m_text += text ? text : "";
    return *this;
  }
  CString& operator+=(char ch) {
    m_text += ch;
    return *this;
  }
  CString& operator+=(const CString& other) {
    m_text += other.m_text;
    return *this;
  }

  friend CString operator+(const CString& a, const CString& b) { return CString(a.m_text + b.m_text); }
  friend CString operator+(const CString& a, const char* b) { return CString(a.m_text + (b ? b : "")); }
  friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.m_text); }
  friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
  friend bool operator==(const CString& a, const char* b) { return a.m_text == (b ? b : ""); }
  friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
  friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
  friend bool operator<(const CString& a, const CString& b) { return a.m_text < b.m_text; }

private:
  std::string m_text;
};
