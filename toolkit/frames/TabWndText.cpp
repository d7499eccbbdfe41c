#include "toolkit/frames/TabWndText.h"

namespace tab_wnd_text {
const char* const kClose = "Close";
const char* const kScrollLeft = "Scroll Left";
const char* const kScrollRight = "Scroll Right";
}  // namespace tab_wnd_text
