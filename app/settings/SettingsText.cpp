#include "app/settings/SettingsText.h"

#include <cstdio>
#include <vector>

namespace settings {

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    std::vector<char> buffer(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    out.assign(buffer.data(), static_cast<std::size_t>(n));
  }
  va_end(args);
  return out;
}

std::string FormatString1(const std::string& pattern, const std::string& arg) {
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == '1') {
      out += arg;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

}  // namespace settings
