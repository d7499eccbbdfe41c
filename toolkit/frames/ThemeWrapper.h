#pragma once
// The visual-style handles and "UxTheme.dll" entry points every look holds, loaded at
// run time. Its drawing operations draw through the theme when it is there and answer
// 0 otherwise, so that the caller draws the classic way.
#include "platform/afx/afxwin.h"

#include <uxtheme.h>

class CTKBaseControlBar;

class ThemeWrapper : public CObject {
public:
  enum ThemeClass {
    kToolbar,
    kRebar,
    kButton,
    kStatus,
    kWindow,
    kComboBox,
    kProgress,
    kHeader,
    kScrollBar,
    kExplorerBar,
    kTreeView,
    kStartPanel,
    kTaskBand,
    kTaskBar,
    kSpin,
    kTab,
    kThemeCount
  };

  ThemeWrapper();
  ~ThemeWrapper() override;

  // Drawing through the theme; FALSE when the theme cannot draw it.
  virtual BOOL DrawPushButton(CDC* dc, CRect rect, CWnd* button, UINT state);
  virtual BOOL DrawStatusBarProgress(CDC* dc, CTKBaseControlBar* statusBar, CRect rect, int total,
                                     int current, COLORREF barColor, COLORREF endColor, COLORREF textColor,
                                     BOOL showText);
  virtual BOOL DrawComboDropButton(CDC* dc, CRect rect, BOOL disabled, BOOL dropped, BOOL highlighted);
  virtual BOOL DrawComboBorder(CDC* dc, CRect rect, BOOL disabled, BOOL dropped, BOOL highlighted);
  virtual int GetStandardScheme();

  void OpenThemes();
  void CloseThemes();
  HTHEME Theme(ThemeClass which) const { return m_themes[which]; }
  BOOL HasUxTheme() const { return m_module != nullptr; }

protected:
  HRESULT DrawBackground(ThemeClass which, CDC* dc, int part, int state, const RECT& rect);
  BOOL ThemeColor(ThemeClass which, int part, int state, int property, COLORREF* color);

  typedef HTHEME(WINAPI* OpenThemeDataFn)(HWND, LPCWSTR);
  typedef HRESULT(WINAPI* CloseThemeDataFn)(HTHEME);
  typedef HRESULT(WINAPI* DrawThemeBackgroundFn)(HTHEME, HDC, int, int, const RECT*, const RECT*);
  typedef HRESULT(WINAPI* GetThemeColorFn)(HTHEME, int, int, int, COLORREF*);
  typedef COLORREF(WINAPI* GetThemeSysColorFn)(HTHEME, int);
  typedef HRESULT(WINAPI* GetCurrentThemeNameFn)(LPWSTR, int, LPWSTR, int, LPWSTR, int);
  typedef HTHEME(WINAPI* GetWindowThemeFn)(HWND);
  typedef BOOL(WINAPI* IsAppThemedFn)();

  HTHEME m_themes[kThemeCount] = {};
  HMODULE m_module = nullptr;
  OpenThemeDataFn m_openThemeData = nullptr;
  CloseThemeDataFn m_closeThemeData = nullptr;
  DrawThemeBackgroundFn m_drawThemeBackground = nullptr;
  GetThemeColorFn m_getThemeColor = nullptr;
  GetThemeSysColorFn m_getThemeSysColor = nullptr;
  GetCurrentThemeNameFn m_getCurrentThemeName = nullptr;
  GetWindowThemeFn m_getWindowTheme = nullptr;
  IsAppThemedFn m_isAppThemed = nullptr;
};
