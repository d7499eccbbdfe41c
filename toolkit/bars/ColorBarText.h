#pragma once
// The texts of the colour bar.
namespace color_bar_text {
// The tooltip of a colour without a name: red, green and blue in hex.
extern const char* const kHexFormat;
}  // namespace color_bar_text
