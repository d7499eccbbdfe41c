#pragma once
// The skin bitmaps shared by every skinned button: three button backgrounds and two
// small skins loaded from the program's resources, and the same five tinted to the
// skin colour. One set per process, owned by the cache; the last holder deletes it.
#include "platform/afx/afxwin.h"

namespace skin {

enum Slot {
  kBackground0 = 0,  // kind 0 source
  kBackground1 = 1,  // kind 1 source (pressed)
  kBackground2 = 2,  // kind 2 source
  kTinted0 = 3,
  kTinted1 = 4,
  kTinted2 = 5,
  kSmallTall = 6,  // 11 x 14 source
  kSmallWide = 7,  // 14 x 11 source
  kTintedSmallTall = 8,
  kTintedSmallWide = 9,
  kSlotCount = 10
};

// Resource ids of the default skin.
constexpr UINT kDefaultBackground0 = 157;
constexpr UINT kDefaultBackground1 = 156;
constexpr UINT kDefaultBackground2 = 157;
constexpr UINT kDefaultSmallTall = 191;
constexpr UINT kDefaultSmallWide = 190;

// (Re)loads the slots whose resource id changed; TRUE when any slot changed.
BOOL LoadSkinBitmaps(UINT id0, UINT id1, UINT id2, UINT id6, UINT id7);
// Tints the five sources to the colour (nothing when it is the current one); loads
// the default skin first when nothing is loaded.
BOOL SetSkinColor(COLORREF color);
COLORREF GetSkinColor();
// The tinted copy of a 24-bit DIB section: the source's top-left pixel becomes the
// colour exactly, lighter and darker pixels keep their relation to it. The result
// replaces the slot's bitmap.
BOOL TintBitmap(HBITMAP source, int destinationSlot, COLORREF color);
// A 24-bit DIB of the background of the kind (0, 1, 2) with the glyph blended onto it
// through the mask (the mask's blue byte is the glyph's weight); the glyph's bottom
// left corner lands x columns right of the left edge and y rows above the bottom.
// The result replaces *destination.
BOOL ComposeButtonImage(HBITMAP* destination, int kind, UINT glyphId, UINT maskId, int x = 16, int y = 16);
// The tinted small skin: the tall one with the flag set, else the wide one.
HBITMAP GetSmallSkin(BOOL tall);
HBITMAP GetSlot(int slot);
// How many tint passes have run (each tints the five sources once).
int TintCount();

// Counts the users of the cache; the last one to go deletes every bitmap.
class SkinHolder {
public:
  SkinHolder();
  ~SkinHolder();
  SkinHolder(const SkinHolder&) = delete;
  SkinHolder& operator=(const SkinHolder&) = delete;
};

}  // namespace skin
