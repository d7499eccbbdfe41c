#pragma once
// Wine's browser starter (which shows a web page or an HTML file in the desktop's
// browser) tries the programs of the list "Browsers" under
// HKEY_CURRENT_USER\Software\Wine\WineBrowser in turn. A test names its own list for
// the object's lifetime; the list before comes back afterwards.
#include <windows.h>

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include "platform/afx/linux_headers_end.h"

namespace winetest {

class WineBrowserList {
public:
  explicit WineBrowserList(const std::string& programs) {
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr) !=
        ERROR_SUCCESS)
      return;
    char old[1024] = {};
    DWORD size = sizeof old - 1, type = 0;
    m_had = ::RegQueryValueExA(m_key, kValue, nullptr, &type, reinterpret_cast<BYTE*>(old), &size) ==
            ERROR_SUCCESS;
    m_old = old;
    Set(programs);
  }
  ~WineBrowserList() {
    if (!m_key) return;
    if (m_had)
      Set(m_old);
    else
      ::RegDeleteValueA(m_key, kValue);
    ::RegCloseKey(m_key);
  }
  WineBrowserList(const WineBrowserList&) = delete;
  WineBrowserList& operator=(const WineBrowserList&) = delete;

  bool Ok() const { return m_key != nullptr; }

private:
  static constexpr const char* kKey = "Software\\Wine\\WineBrowser";
  static constexpr const char* kValue = "Browsers";
  void Set(const std::string& programs) {
    ::RegSetValueExA(m_key, kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(programs.c_str()),
                     static_cast<DWORD>(programs.size() + 1));
  }

  HKEY m_key = nullptr;
  bool m_had = false;
  std::string m_old;
};

}  // namespace winetest
