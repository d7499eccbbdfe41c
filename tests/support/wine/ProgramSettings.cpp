#include "support/wine/ProgramSettings.h"

namespace winetest {
namespace {

std::string SectionPath(const char* section) { return std::string(kProgramKey) + "\\" + section; }

bool WriteValue(const char* section, const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key;
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
    return false;
  const LONG status = ::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
  ::RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

// The value's bytes and type; false when it cannot be read.
bool ReadValue(const char* section, const char* name, DWORD* type, void* data, DWORD* size) {
  HKEY key;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  const LONG status = ::RegQueryValueExA(key, name, nullptr, type, static_cast<BYTE*>(data), size);
  ::RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

}  // namespace

bool WriteProgramDword(const char* section, const char* name, DWORD value) {
  return WriteValue(section, name, REG_DWORD, &value, sizeof value);
}

bool WriteProgramString(const char* section, const char* name, const std::string& value) {
  return WriteValue(section, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

DWORD ReadProgramDword(const char* section, const char* name, DWORD fallback) {
  DWORD value = 0, type = 0, size = sizeof value;
  return ReadValue(section, name, &type, &value, &size) && type == REG_DWORD ? value : fallback;
}

std::string ReadProgramString(const char* section, const char* name) {
  char text[1024] = {};
  DWORD type = 0, size = sizeof text - 1;
  return ReadValue(section, name, &type, text, &size) && type == REG_SZ ? text : "";
}

void ClearProgramSettings() { ::RegDeleteTreeA(HKEY_CURRENT_USER, kProgramKey); }

}  // namespace winetest
