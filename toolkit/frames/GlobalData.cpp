#include "toolkit/frames/GlobalData.h"

#include "toolkit/bars/TKToolbarImageList.h"
#include "toolkit/frames/MenuButtonStore.h"
#include "toolkit/frames/MenuImages.h"
#include "toolkit/frames/MenuSound.h"
#include "toolkit/frames/TKCommandManager.h"
#include "toolkit/frames/TKKeyboardManager.h"
#include "toolkit/frames/TKVisualManager.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstring>
#include "platform/afx/linux_headers_end.h"

const char* const GlobalData::kTahomaFace = "Tahoma";
const char* const GlobalData::kSansSerifFace = "MS Sans Serif";
const char* const GlobalData::kArialFace = "Arial";
const char* const GlobalData::kMarlettFace = "Marlett";

void (*GlobalData::toolbarsFontsChanged)() = nullptr;

namespace {
// The size of the non-client metrics this code reads (without the padded border).
constexpr UINT kNonClientMetricsSize = 340;

int CALLBACK IsTahomaFace(const LOGFONTA* logFont, const TEXTMETRICA*, DWORD, LPARAM found) {
  if (lstrcmpiA(logFont->lfFaceName, GlobalData::kTahomaFace) == 0) {
    *reinterpret_cast<BOOL*>(found) = TRUE;
    return 0;
  }
  return 1;
}
}  // namespace

GlobalData& GlobalData::Get() {
  static GlobalData data;
  return data;
}

GlobalData::GlobalData() {
  ReloadColors();
  RebuildFonts();
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = 148;
  ::GetVersionExA(&version);
  isWindowsNT4 = version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion < 5;
  isWindows9x = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
  isRemoteSession = version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 5
                        ? ::GetSystemMetrics(SM_REMOTESESSION) != 0
                        : FALSE;
}

namespace {
HCURSOR LoadToolkitCursor(int id, const char* systemCursor) {
  HCURSOR cursor = static_cast<HCURSOR>(
      ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
  return cursor ? cursor : ::LoadCursorA(nullptr, systemCursor);
}
}  // namespace

HCURSOR GlobalData::GetStretchCursor() {
  if (!stretchCursor) stretchCursor = LoadToolkitCursor(30980, IDC_SIZEWE);
  return stretchCursor;
}

HCURSOR GlobalData::GetStretchVertCursor() {
  if (!stretchVertCursor) stretchVertCursor = LoadToolkitCursor(30981, IDC_SIZENS);
  return stretchVertCursor;
}

HCURSOR GlobalData::GetHandCursor() {
  if (!handCursor) handCursor = LoadToolkitCursor(16919, IDC_HAND);
  return handCursor;
}

HICON GlobalData::GetDefaultSmallIcon() {
  if (!defaultSmallIcon) {
    const int cx = ::GetSystemMetrics(SM_CXSMICON), cy = ::GetSystemMetrics(SM_CYSMICON);
    defaultSmallIcon = static_cast<HICON>(
        ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(16931), IMAGE_ICON, cx, cy, 0));
    if (!defaultSmallIcon)
      defaultSmallIcon =
          static_cast<HICON>(::LoadImageA(nullptr, IDI_APPLICATION, IMAGE_ICON, cx, cy, LR_SHARED));
  }
  return defaultSmallIcon;
}

void GlobalData::ReloadColors() {
  HDC screen = ::GetDC(nullptr);
  int depth = ::GetDeviceCaps(screen, BITSPIXEL);
  ::ReleaseDC(nullptr, screen);
  ReloadColorsForDepth(depth);
}

void GlobalData::ReloadColorsForDepth(int depth) {
  buttonFace = barFace = ::GetSysColor(COLOR_3DFACE);
  buttonShadow = barShadow = ::GetSysColor(COLOR_3DSHADOW);
  buttonHighlight = barHighlight = ::GetSysColor(COLOR_3DHIGHLIGHT);
  buttonText = barText = ::GetSysColor(COLOR_BTNTEXT);
  buttonDarkShadow = barDarkShadow = ::GetSysColor(COLOR_3DDKSHADOW);
  buttonLight = barLight = ::GetSysColor(COLOR_3DLIGHT);
  window = barWindow = ::GetSysColor(COLOR_WINDOW);
  windowFrame = ::GetSysColor(COLOR_WINDOWFRAME);
  grayText = ::GetSysColor(COLOR_GRAYTEXT);
  highlight = ::GetSysColor(COLOR_HIGHLIGHT);
  highlightText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
  windowText = ::GetSysColor(COLOR_WINDOWTEXT);
  captionText = ::GetSysColor(COLOR_CAPTIONTEXT);
  menuText = ::GetSysColor(COLOR_MENUTEXT);
  activeCaption = ::GetSysColor(COLOR_ACTIVECAPTION);
  inactiveCaption = ::GetSysColor(COLOR_INACTIVECAPTION);
  inactiveCaptionText = ::GetSysColor(COLOR_INACTIVECAPTIONTEXT);
  activeBorder = ::GetSysColor(COLOR_ACTIVEBORDER);
  inactiveBorder = ::GetSysColor(COLOR_INACTIVEBORDER);
  hotLinkText = 0x00FF0000;

  buttonHighlightSysBrush = ::GetSysColorBrush(COLOR_3DHIGHLIGHT);
  buttonShadowSysBrush = ::GetSysColorBrush(COLOR_3DSHADOW);
  windowSysBrush = ::GetSysColorBrush(COLOR_WINDOW);

  buttonFaceBrush.CreateSolidBrush(buttonFace);
  barFaceBrush.CreateSolidBrush(barFace);
  activeCaptionBrush.CreateSolidBrush(activeCaption);
  inactiveCaptionBrush.CreateSolidBrush(inactiveCaption);
  highlightBrush.CreateSolidBrush(highlight);
  darkShadowBrush.CreateSolidBrush(buttonDarkShadow);
  windowBrush.CreateSolidBrush(barWindow);
  highlightPen.CreatePen(PS_SOLID, 1, highlight);
  barFacePen.CreatePen(PS_SOLID, 1, barFace);
  barShadowPen.CreatePen(PS_SOLID, 1, barShadow);

  HDC screen = ::GetDC(nullptr);
  bitsPerPixel = depth;
  lightBrush.DeleteObject();
  if (bitsPerPixel < 9) {
    CreateDitherBitmap(screen);
  } else {
    auto half = [](int face, int hl) { return face + (hl - face) / 2; };
    lightBrush.CreateSolidBrush(RGB(half(GetRValue(buttonFace), GetRValue(buttonHighlight)),
                                    half(GetGValue(buttonFace), GetGValue(buttonHighlight)),
                                    half(GetBValue(buttonFace), GetBValue(buttonHighlight))));
  }
  ::ReleaseDC(nullptr, screen);

  isBlackHighContrast = ::GetSysColor(COLOR_3DLIGHT) == 0x00FFFFFF && ::GetSysColor(COLOR_3DFACE) == 0;
  MenuImages::OnSysColorChange();
}

void GlobalData::CreateDitherBitmap(HDC dc) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
  } info{};
  info.header.biSize = 40;
  info.header.biWidth = 8;
  info.header.biHeight = 8;
  info.header.biPlanes = 1;
  info.header.biBitCount = 1;
  info.header.biCompression = BI_RGB;
  COLORREF colors[2] = {buttonFace, ::GetSysColor(COLOR_3DHIGHLIGHT)};
  for (int i = 0; i < 2; ++i) {
    info.colors[i].rgbBlue = GetBValue(colors[i]);
    info.colors[i].rgbGreen = GetGValue(colors[i]);
    info.colors[i].rgbRed = GetRValue(colors[i]);
  }
  DWORD rows[8];
  for (int i = 0; i < 8; ++i) rows[i] = (i % 2 == 0) ? 0x5555AAAAu : 0xAAAA5555u;
  HBITMAP bitmap = ::CreateDIBitmap(dc, &info.header, CBM_INIT, rows, reinterpret_cast<BITMAPINFO*>(&info),
                                    DIB_RGB_COLORS);
  if (!bitmap) return;
  lightBrush.Attach(::CreatePatternBrush(bitmap));
  ::DeleteObject(bitmap);
}

void GlobalData::RebuildFonts() {
  CFont* all[] = {&regularFont,  &statusStyleFont,     &boldFont,
                  &guiBoldFont,  &underlineFont,       &guiUnderlineFont,
                  &verticalFont, &verticalCaptionFont, &glyphFont};
  for (CFont* font : all) font->DeleteObject();

  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = kNonClientMetricsSize;
  ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &metrics, 0);

  LOGFONTA lf{};
  lf.lfHeight = metrics.lfMenuFont.lfHeight;
  lf.lfWeight = metrics.lfMenuFont.lfWeight;
  lf.lfItalic = metrics.lfMenuFont.lfItalic;
  lstrcpynA(lf.lfFaceName, metrics.lfMenuFont.lfFaceName, LF_FACESIZE);
  HDC screen = ::GetDC(nullptr);
  lf.lfCharSet = static_cast<BYTE>(::GetTextCharsetInfo(screen, nullptr, 0));
  if (metrics.lfMenuFont.lfCharSet <= SYMBOL_CHARSET) {
    BOOL found = FALSE;
    ::EnumFontFamiliesA(screen, nullptr, IsTahomaFace, reinterpret_cast<LPARAM>(&found));
    lstrcpynA(lf.lfFaceName, found ? kTahomaFace : kSansSerifFace, LF_FACESIZE);
  }
  ::ReleaseDC(nullptr, screen);
  regularFont.CreateFontIndirect(&lf);

  ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &metrics, 0);
  lf.lfWeight = metrics.lfStatusFont.lfWeight;
  lf.lfItalic = metrics.lfStatusFont.lfItalic;
  statusStyleFont.CreateFontIndirect(&lf);

  lf.lfWeight = metrics.lfMenuFont.lfWeight;
  lf.lfItalic = metrics.lfMenuFont.lfItalic;
  lf.lfUnderline = TRUE;
  underlineFont.CreateFontIndirect(&lf);
  lf.lfUnderline = FALSE;
  lf.lfWeight = FW_BOLD;
  boldFont.CreateFontIndirect(&lf);

  BYTE charSet = lf.lfCharSet;
  LOGFONTA glyph = lf;
  glyph.lfCharSet = SYMBOL_CHARSET;
  glyph.lfWeight = 0;
  glyph.lfHeight = ::GetSystemMetrics(SM_CYMENUCHECK) - 1;
  lstrcpynA(glyph.lfFaceName, kMarlettFace, LF_FACESIZE);
  glyphFont.CreateFontIndirect(&glyph);
  lf.lfCharSet = charSet;

  HGDIOBJ gui = ::GetStockObject(DEFAULT_GUI_FONT);
  LOGFONTA guiFont{};
  if (gui && ::GetObjectA(gui, sizeof guiFont, &guiFont)) {
    LOGFONTA vertical = guiFont;
    vertical.lfHeight = metrics.lfMenuFont.lfHeight;
    vertical.lfWeight = metrics.lfMenuFont.lfWeight;
    vertical.lfItalic = metrics.lfMenuFont.lfItalic;
    vertical.lfEscapement = 2700;
    vertical.lfOrientation = 900;
    lstrcpynA(vertical.lfFaceName, kArialFace, LF_FACESIZE);
    verticalFont.CreateFontIndirect(&vertical);
    vertical.lfEscapement = 900;
    verticalCaptionFont.CreateFontIndirect(&vertical);

    LOGFONTA g = guiFont;
    g.lfUnderline = TRUE;
    guiUnderlineFont.CreateFontIndirect(&g);
    g.lfUnderline = FALSE;
    g.lfWeight = FW_BOLD;
    guiBoldFont.CreateFontIndirect(&g);
  }

  UpdateTextMetrics();
  if (toolbarsFontsChanged) toolbarsFontsChanged();
}

void GlobalData::UpdateTextMetrics() {
  HDC screen = ::GetDC(nullptr);
  TEXTMETRICA tm{};
  HGDIOBJ old = ::SelectObject(
      screen, regularFont.m_hObject ? regularFont.m_hObject : ::GetStockObject(DEFAULT_GUI_FONT));
  ::GetTextMetricsA(screen, &tm);
  textHeight = tm.tmHeight + tm.tmInternalLeading + tm.tmExternalLeading;
  if (verticalFont.m_hObject) {
    ::SelectObject(screen, verticalFont.m_hObject);
    ::GetTextMetricsA(screen, &tm);
    verticalTextHeight = tm.tmHeight + tm.tmInternalLeading + tm.tmExternalLeading;
  }
  ::SelectObject(screen, old);
  ::ReleaseDC(nullptr, screen);
}

COLORREF GlobalData::SysColor(int index) const {
  switch (index) {
    case COLOR_ACTIVECAPTION:
      return activeCaption;  // 2
    case COLOR_INACTIVECAPTION:
      return inactiveCaption;  // 3
    case COLOR_WINDOW:
      return barWindow;  // 5
    case COLOR_WINDOWFRAME:
      return windowFrame;  // 6
    case COLOR_MENUTEXT:
      return menuText;  // 7
    case COLOR_WINDOWTEXT:
      return windowText;  // 8
    case COLOR_CAPTIONTEXT:
      return captionText;  // 9
    case COLOR_ACTIVEBORDER:
      return activeBorder;  // 10
    case COLOR_INACTIVEBORDER:
      return inactiveBorder;  // 11
    case COLOR_HIGHLIGHT:
      return highlight;  // 13
    case COLOR_HIGHLIGHTTEXT:
      return highlightText;  // 14
    case COLOR_3DFACE:
      return buttonFace;  // 15
    case COLOR_3DSHADOW:
      return buttonShadow;  // 16
    case COLOR_GRAYTEXT:
      return grayText;  // 17
    case COLOR_BTNTEXT:
      return buttonText;  // 18
    case COLOR_INACTIVECAPTIONTEXT:
      return inactiveCaptionText;  // 19
    case COLOR_3DHIGHLIGHT:
      return buttonHighlight;  // 20
    case COLOR_3DDKSHADOW:
      return buttonDarkShadow;  // 21
    case COLOR_3DLIGHT:
      return buttonLight;  // 22
    default:
      return ::GetSysColor(index);
  }
}

BOOL GlobalData::PaintParentBackground(CWnd* child, CDC* dc, const RECT* clip) {
  if (!child || !dc) return FALSE;
  if (clip) {
    CRgn region;
    region.CreateRectRgnIndirect(clip);
    dc->SelectClipRgn(&region);
  }
  BOOL result = FALSE;
  bool done = false;
  if (!uxThemeModule) uxThemeModule = ::LoadLibraryA("UxTheme.dll");
  if (uxThemeModule) {
    typedef HRESULT(WINAPI * DrawParentFn)(HWND, HDC, RECT*);
    auto draw = reinterpret_cast<DrawParentFn>(
        reinterpret_cast<void*>(::GetProcAddress(uxThemeModule, "DrawThemeParentBackground")));
    if (draw) {
      RECT r = clip ? *clip : RECT{};
      if (draw(child->m_hWnd, dc->m_hDC, clip ? &r : nullptr) == S_OK) {
        result = TRUE;
        done = true;
      }
    }
  }
  if (!done) {
    HWND parent = ::GetParent(child->m_hWnd);
    POINT origin{0, 0};
    ::MapWindowPoints(child->m_hWnd, parent, &origin, 1);
    dc->OffsetWindowOrg(origin.x, origin.y);
    result = static_cast<BOOL>(::SendMessageA(parent, WM_ERASEBKGND, (WPARAM)dc->m_hDC, 0));
    dc->OffsetWindowOrg(-origin.x, -origin.y);
  }
  dc->SelectClipRgn(nullptr);
  return result;
}

void GlobalData::CleanUp() {
  PlayMenuSound(kMenuSoundEnd);
  lightBrush.DeleteObject();
  regularFont.DeleteObject();
  statusStyleFont.DeleteObject();
  boldFont.DeleteObject();
  underlineFont.DeleteObject();
  verticalFont.DeleteObject();
  verticalCaptionFont.DeleteObject();
  if (uxThemeModule) ::FreeLibrary(uxThemeModule);
  uxThemeModule = nullptr;
  accessibilityHook = nullptr;
}

void ToolkitCleanUp() {
  GlobalData::Get().CleanUp();
  // The drawing DCs all toolbar image lists share, the command images, the stored menu
  // lists and the keyboard manager's copies of accelerator tables.
  CTKToolbarImageList::CleanUpShared();
  MenuButtonStore::Instance().RemoveAll();
  if (CTKCommandManager* commands = GetCommandManager()) commands->RemoveAllImages();
  if (g_pKeyboardManager) g_pKeyboardManager->CleanUp();
  MenuImages::OnSysColorChange();
  CTKVisualManager::DestroyInstance();
}
