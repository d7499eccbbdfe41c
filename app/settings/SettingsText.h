#pragma once
// printf-style text for the settings records' summaries and messages.
#include <cstdarg>
#include <string>

namespace settings {

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string Format(const char* format, ...);

// FormatMessage-style "%1" replacement (AfxFormatString1).
std::string FormatString1(const std::string& pattern, const std::string& arg);

}  // namespace settings
