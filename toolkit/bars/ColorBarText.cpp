#include "toolkit/bars/ColorBarText.h"

namespace color_bar_text {
const char* const kHexFormat = "Hex={%02X,%02X,%02X}";
}  // namespace color_bar_text
