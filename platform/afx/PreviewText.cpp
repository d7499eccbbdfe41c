#include "platform/afx/PreviewText.h"

namespace preview_text {

const char kPageDescription[] = "Page %u\nPages %u-%u\n";
const char kOnePage[] = "&One Page";
const char kTwoPages[] = "&Two Page";

}  // namespace preview_text
