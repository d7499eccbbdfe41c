#pragma once
// The toolkit's strip of small glyphs (arrows, check marks, radio dots, caption
// buttons, chevrons) that menus, caption buttons, tabs and the looks draw by GlyphId.
// Loaded on first use, emptied by a system colour change and loaded again (in the
// new colours) by the next use.
#include "platform/afx/afxwin.h"

class MenuImages {
public:
  // The glyphs in their order in the strip. A "Disabled" glyph is the greyed form
  // of the one before it; "White", "Light" and "Blue" ones are recoloured forms.
  enum GlyphId {
    kArrowDown,
    kArrowDownDisabled,
    kArrowRight,
    kArrowRightDisabled,
    kArrowRightWhite,
    kArrowRightLight,
    kCheck,
    kCheckDisabled,
    kMinimise,
    kMinimiseDisabled,
    kRestore,
    kRestoreDisabled,
    kClose,
    kCloseDisabled,
    kMaximise,
    kMaximiseDisabled,
    kArrowUp,
    kArrowUpDisabled,
    kChevronsDown,
    kArrowLeft,
    kSmallClose,
    kChevronsRight,
    kRadio,
    kRadioDisabled,
    kLargeArrowDownBlue,
    kLargeArrowDownDisabled,
    kArrowRightBlue,
    kArrowRightBlueDisabled,
    kSmallArrowDownWhite,
    kMinimiseWhite,
    kRestoreWhite,
    kCloseWhite,
    kToFirstBlue,
    kToLastBlue,
    kArrowLeftBlue,
    kOutlinedLeft,
    kOutlinedRight,
    kOutlinedLeftDisabled,
    kOutlinedRightDisabled,
    kArrowLeftDisabled,
    kChevronsDownWhite,
    kChevronsRightWhite,
    kCustomise,
    kCount
  };
  static constexpr int kGlyphSize = 9;
  static constexpr int kBitmapId = 16129;
  static const COLORREF kTransparent = 0x00FF00FF;

  // Nonzero when the strip is ready (loads it when needed).
  static BOOL LoadOnce();
  // Draws one glyph with its top-left corner at the point; size (0, 0) draws it at
  // its own 9 by 9. Nothing is drawn when the strip cannot be loaded.
  static void Draw(CDC* dc, int glyph, POINT point, SIZE size = SIZE{0, 0});
  static SIZE Size();
  static void OnSysColorChange();
  // Whether the strip is loaded now (for tests and diagnostics).
  static BOOL IsLoaded();
};
