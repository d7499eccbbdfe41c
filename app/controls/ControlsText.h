#pragma once
// The texts the program's own controls show the user: the range messages of the
// numeric exchange and the progress window's default caption. The code names an
// entry (or asks for a composed text) and never spells a text itself.
#include <string>

namespace controls_text {

// The progress window's caption when its owner gives none.
extern const char kProgressCaption[];
// The name a range message uses when the range text has none before its bracket.
extern const char kUnnamedValue[];

// "<name>is out of range. ..." for a value outside [low, high], above a lower bound
// only, or below an upper bound only. The name ends in a blank (it is the range text's
// lead, such as "Delay Time "); range is the bracketed part, such as "[0.0, 60.0]".
std::string OutsideRange(const std::string& name, const std::string& range);
std::string BelowLowerBound(const std::string& name, bool inclusive, const std::string& low);
std::string AboveUpperBound(const std::string& name, bool inclusive, const std::string& high);

}  // namespace controls_text
