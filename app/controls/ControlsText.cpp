#include "app/controls/ControlsText.h"

namespace controls_text {

const char kProgressCaption[] = "Progress";
const char kUnnamedValue[] = "Value ";

std::string OutsideRange(const std::string& name, const std::string& range) {
  return name + "is out of range. The valid value range is " + range + ".";
}

std::string BelowLowerBound(const std::string& name, bool inclusive, const std::string& low) {
  return name + "is out of range. The value should be greater than " + (inclusive ? "or equal to " : "") +
         low;
}

std::string AboveUpperBound(const std::string& name, bool inclusive, const std::string& high) {
  return name + "is out of range. The value should be less than " + (inclusive ? "or equal to " : "") + high;
}

}  // namespace controls_text
