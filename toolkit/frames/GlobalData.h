#pragma once
// The toolkit's one set of system colours, the brushes, pens and fonts made from
// them, a few cursors, the screen's colour depth and the operating-system flags.
// Every look and bar paints with these values; they are refreshed when the system
// colours or fonts change.
#include "platform/afx/afxwin.h"

class GlobalData {
public:
  // The one object, made on first use (before any toolkit window exists).
  static GlobalData& Get();

  static const char* const kTahomaFace;     // "Tahoma"
  static const char* const kSansSerifFace;  // "MS Sans Serif"
  static const char* const kArialFace;      // "Arial"
  static const char* const kMarlettFace;    // "Marlett"

  HBRUSH buttonHighlightSysBrush = nullptr;
  HBRUSH buttonShadowSysBrush = nullptr;
  HBRUSH windowSysBrush = nullptr;

  COLORREF buttonFace = 0, buttonShadow = 0, buttonHighlight = 0, buttonText = 0;
  COLORREF windowFrame = 0, buttonDarkShadow = 0, buttonLight = 0, grayText = 0;
  COLORREF highlight = 0, highlightText = 0, hotLinkText = 0, window = 0;
  COLORREF barFace = 0, barShadow = 0, barHighlight = 0, barDarkShadow = 0, barLight = 0;
  COLORREF barText = 0, barWindow = 0, windowText = 0, captionText = 0, menuText = 0;
  COLORREF activeCaption = 0, inactiveCaption = 0, inactiveCaptionText = 0;
  COLORREF activeBorder = 0, inactiveBorder = 0;

  CBrush buttonFaceBrush, highlightBrush, lightBrush, darkShadowBrush;
  CBrush activeCaptionBrush, inactiveCaptionBrush, windowBrush, barFaceBrush;
  CPen highlightPen, barFacePen, barShadowPen;

  HCURSOR stretchCursor = nullptr;
  HCURSOR stretchVertCursor = nullptr;
  HCURSOR handCursor = nullptr;
  HICON defaultSmallIcon = nullptr;

  CFont regularFont, statusStyleFont, boldFont, guiBoldFont, underlineFont, guiUnderlineFont;
  CFont verticalFont, verticalCaptionFont, glyphFont;

  BOOL isWindowsNT4 = FALSE;
  BOOL isWindows9x = FALSE;
  int bitsPerPixel = 0;
  int maxTooltipWidth = -1;
  BOOL isRemoteSession = FALSE;
  BOOL isBlackHighContrast = FALSE;
  BOOL allowHighColorImages = TRUE;
  int textHeight = 0;
  int verticalTextHeight = 0;
  HMODULE uxThemeModule = nullptr;
  LRESULT (*accessibilityHook)(void* object, LONG childId) = nullptr;

  // Installed by the toolbar layer: re-measures every toolbar with a window after the
  // fonts changed. Null until toolbars exist.
  static void (*toolbarsFontsChanged)();

  // The cursors and the small icon, loaded on first request from the program's
  // resources (30980, 30981, 16919 and icon 16931 at the small-icon size); while a
  // program carries none of them, the system's sizing arrows, hand and application
  // icon stand in. Loaded once and shared; users never destroy them.
  HCURSOR GetStretchCursor();
  HCURSOR GetStretchVertCursor();
  HCURSOR GetHandCursor();
  HICON GetDefaultSmallIcon();

  void ReloadColors();
  // The same for a screen of the given colour depth (palette screens get the
  // checkerboard light brush); ReloadColors passes the screen's own depth.
  void ReloadColorsForDepth(int depth);
  void RebuildFonts();
  void UpdateTextMetrics();
  COLORREF SysColor(int index) const;
  BOOL PaintParentBackground(CWnd* child, CDC* dc, const RECT* clip = nullptr);
  // The toolkit's accessibility support (its events and answers to accessibility
  // clients) is on while an accessibility function is installed.
  BOOL IsAccessibilitySupported() const { return accessibilityHook != nullptr; }
  LRESULT CallAccessibilityHook(void* object, LONG childId) const {
    return accessibilityHook ? accessibilityHook(object, childId) : 0;
  }
  void CleanUp();

private:
  GlobalData();
  GlobalData(const GlobalData&) = delete;
  GlobalData& operator=(const GlobalData&) = delete;
  void CreateDitherBitmap(HDC dc);
};

// The toolkit's clean-up at program exit.
void ToolkitCleanUp();
