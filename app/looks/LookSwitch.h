#pragma once
// Switching the program's look at run time: the look commands of the main frame
// delete the current look, install the chosen one, recompute the toolkit's colours
// and redraw every bar.
#include "platform/afx/afxwin.h"

namespace looks {

constexpr UINT kFlatLookCommand = 32824;      // the toolkit's flat look
constexpr UINT kRoundLookCommand = 32825;     // grey bars with rounded buttons
constexpr UINT kBitmapLookCommand = 32826;    // a bitmap file tiled over the bars
constexpr UINT kGradientLookCommand = 32827;  // bars shaded from green to white

// Installs the look of a look command; false (nothing changes) for any other command.
BOOL SwitchLook(UINT command);

// The bitmap file of the bitmap look (empty until set); read when the look is next
// installed.
void SetBitmapLookFile(const char* path);
const char* GetBitmapLookFile();

}  // namespace looks
