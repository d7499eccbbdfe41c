#include "toolkit/frames/ThemeWrapper.h"

#include "toolkit/frames/GlobalData.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdio>
#include "platform/afx/linux_headers_end.h"

namespace {
// The theme class names, in the order of ThemeWrapper::ThemeClass (UTF-16; wide
// string literals are 2-byte characters here).
const WCHAR* const kClassNames[] = {L"TOOLBAR",   L"REBAR",       L"BUTTON",   L"STATUS",
                                    L"WINDOW",    L"COMBOBOX",    L"PROGRESS", L"HEADER",
                                    L"SCROLLBAR", L"EXPLORERBAR", L"TREEVIEW", L"STARTPANEL",
                                    L"TASKBAND",  L"TASKBAR",     L"SPIN",     L"TAB"};

template <typename Fn>
Fn Resolve(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// The ASCII text of a UTF-16 string (theme names are plain ASCII).
void Narrow(const WCHAR* wide, char* out, int size) {
  int i = 0;
  for (; i < size - 1 && wide[i]; ++i) out[i] = static_cast<char>(wide[i] < 128 ? wide[i] : '?');
  out[i] = 0;
}
}  // namespace

ThemeWrapper::ThemeWrapper() {
  m_module = ::LoadLibraryA("UxTheme.dll");
  if (!m_module) return;
  m_openThemeData = Resolve<OpenThemeDataFn>(m_module, "OpenThemeData");
  m_closeThemeData = Resolve<CloseThemeDataFn>(m_module, "CloseThemeData");
  m_drawThemeBackground = Resolve<DrawThemeBackgroundFn>(m_module, "DrawThemeBackground");
  m_getThemeColor = Resolve<GetThemeColorFn>(m_module, "GetThemeColor");
  m_getThemeSysColor = Resolve<GetThemeSysColorFn>(m_module, "GetThemeSysColor");
  m_getCurrentThemeName = Resolve<GetCurrentThemeNameFn>(m_module, "GetCurrentThemeName");
  m_getWindowTheme = Resolve<GetWindowThemeFn>(m_module, "GetWindowTheme");
  m_isAppThemed = Resolve<IsAppThemedFn>(m_module, "IsAppThemed");
  OpenThemes();
}

ThemeWrapper::~ThemeWrapper() {
  CloseThemes();
  if (m_module) ::FreeLibrary(m_module);
}

void ThemeWrapper::OpenThemes() {
  CloseThemes();
  if (!m_module || !m_openThemeData || !m_closeThemeData || !m_drawThemeBackground) return;
  CWnd* main = AfxGetMainWnd();
  HWND hwnd = main ? main->m_hWnd : nullptr;
  for (int i = 0; i < kThemeCount; ++i) m_themes[i] = m_openThemeData(hwnd, kClassNames[i]);
}

void ThemeWrapper::CloseThemes() {
  for (HTHEME& theme : m_themes) {
    if (theme && m_closeThemeData) m_closeThemeData(theme);
    theme = nullptr;
  }
}

HRESULT ThemeWrapper::DrawBackground(ThemeClass which, CDC* dc, int part, int state, const RECT& rect) {
  if (!m_themes[which] || !m_drawThemeBackground) return E_FAIL;
  return m_drawThemeBackground(m_themes[which], dc->m_hDC, part, state, &rect, nullptr);
}

BOOL ThemeWrapper::ThemeColor(ThemeClass which, int part, int state, int property, COLORREF* color) {
  if (!m_themes[which] || !m_getThemeColor) return FALSE;
  return m_getThemeColor(m_themes[which], part, state, property, color) == S_OK;
}

BOOL ThemeWrapper::DrawPushButton(CDC* dc, CRect rect, CWnd* button, UINT state) {
  if (!m_themes[kButton] || !button) return FALSE;
  int themeState = 1;
  BOOL pushed = (state & 1) != 0, hot = (state & 2) != 0;
  if (!::IsWindowEnabled(button->m_hWnd))
    themeState = 4;
  else if ((pushed && hot) || ::SendMessageA(button->m_hWnd, BM_GETSTATE, 0, 0) & BST_PUSHED)
    themeState = 3;
  else if (hot)
    themeState = 2;
  GlobalData::Get().PaintParentBackground(button, dc, &rect);
  DrawBackground(kButton, dc, 1, themeState, rect);
  return TRUE;
}

BOOL ThemeWrapper::DrawStatusBarProgress(CDC* dc, CTKBaseControlBar*, CRect rect, int total, int current,
                                         COLORREF, COLORREF, COLORREF, BOOL showText) {
  if (!m_themes[kProgress]) return FALSE;
  DrawBackground(kProgress, dc, 1, 0, rect);
  if (total == 0) return TRUE;
  CRect chunk = rect;
  chunk.DeflateRect(3, 3);
  chunk.right = chunk.left + chunk.Width() * current / total;
  DrawBackground(kProgress, dc, 3, 0, chunk);
  if (showText) {
    char text[32];
    snprintf(text, sizeof text, "%d%%", current * 100 / total);
    COLORREF old = dc->SetTextColor(GlobalData::Get().buttonText);
    int mode = dc->SetBkMode(TRANSPARENT);
    dc->DrawText(text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    dc->SetBkMode(mode);
    dc->SetTextColor(old);
  }
  return TRUE;
}

BOOL ThemeWrapper::DrawComboDropButton(CDC* dc, CRect rect, BOOL disabled, BOOL dropped, BOOL highlighted) {
  if (!m_themes[kComboBox]) return FALSE;
  int state = disabled ? 4 : dropped ? 3 : highlighted ? 2 : 1;
  DrawBackground(kComboBox, dc, 1, state, rect);
  return TRUE;
}

BOOL ThemeWrapper::DrawComboBorder(CDC* dc, CRect rect, BOOL disabled, BOOL dropped, BOOL highlighted) {
  if (!m_themes[kWindow]) return FALSE;
  if (dropped || highlighted) {
    rect.DeflateRect(1, 1);
    COLORREF hl = GlobalData::Get().highlight;
    dc->Draw3dRect(&rect, hl, hl);
  }
  return TRUE;
}

int ThemeWrapper::GetStandardScheme() {
  if (!m_getCurrentThemeName) return -1;
  WCHAR file[256] = {}, colour[256] = {};
  if (m_getCurrentThemeName(file, 255, colour, 255, nullptr, 0) != S_OK) return -1;
  char fileName[256], colourName[256];
  Narrow(file, fileName, sizeof fileName);
  Narrow(colour, colourName, sizeof colourName);
  // The base name of the theme file, without folder and extension.
  const char* base = fileName;
  for (const char* p = fileName; *p; ++p)
    if (*p == '\\' || *p == '/') base = p + 1;
  char name[256];
  lstrcpynA(name, base, sizeof name);
  for (char* p = name; *p; ++p)
    if (*p == '.') {
      *p = 0;
      break;
    }
  if (lstrcmpiA(name, "Luna") != 0) return 0;
  if (m_themes[kButton]) {
    COLORREF c = 0;
    if (!m_getThemeColor || m_getThemeColor(m_themes[kButton], 1, 0, 3823, &c) != S_OK || c == 1) return 0;
  }
  if (lstrcmpiA(colourName, "normalcolor") == 0) return 1;
  if (lstrcmpiA(colourName, "homestead") == 0) return 2;
  if (lstrcmpiA(colourName, "metallic") == 0) return 3;
  return 0;
}
