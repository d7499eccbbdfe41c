#pragma once
// The program's settings in the registry (HKEY_CURRENT_USER\Software\Tarvel), as window
// tests and benchmarks set them before the program starts and read what it stored.
#include <windows.h>

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include "platform/afx/linux_headers_end.h"

namespace winetest {

inline constexpr const char* kProgramKey = "Software\\Tarvel";

// Writes a value of a section (its key made when missing); false when that fails.
bool WriteProgramDword(const char* section, const char* name, DWORD value);
bool WriteProgramString(const char* section, const char* name, const std::string& value);
// fallback when the value is missing or of another type.
DWORD ReadProgramDword(const char* section, const char* name, DWORD fallback);
// Empty when the value is missing or of another type.
std::string ReadProgramString(const char* section, const char* name);
// Removes every setting of the program.
void ClearProgramSettings();

}  // namespace winetest
