#include "toolkit/frames/TKWinXPVisualManager.h"

#include "toolkit/frames/DrawManager.h"
#include "toolkit/frames/GlobalData.h"

IMPLEMENT_DYNCREATE(CTKWinXPVisualManager, CTKVisualManagerXP)

namespace {
GlobalData& GD() { return GlobalData::Get(); }

// Theme parts and properties used here.
enum {
  kToolbarButtonPart = 1,
  kToolbarSeparatorPart = 5,
  kToolbarSeparatorVertPart = 6,
  kRebarGripperPart = 1,
  kRebarGripperVertPart = 2,
  kStatusPanePart = 1,
  kScrollSizeBoxPart = 10,
  kComboDropPart = 1,
  kPushButtonPart = 1,
  kMdiMinPart = 16,
  kMdiClosePart = 20,
  kMdiRestorePart = 22,
  kHeaderItemPart = 1,
  kHeaderSortArrowPart = 4,
  kSpinUpPart = 1,
  kSpinDownPart = 2,
  kSpinUpHorzPart = 3,
  kSpinDownHorzPart = 4,
  kBorderColorProperty = 3801,
  kTextColorProperty = 3803,
};
}  // namespace

CTKWinXPVisualManager::CTKWinXPVisualManager(BOOL temporary) : CTKVisualManagerXP(temporary) {
  m_flatToolbarButtons = FALSE;
  m_useXPMenus = FALSE;
  const int metrics[9] = {12, 12, 15, 25, 13, 7, 12, 5, 4};
  for (int i = 0; i < 9; ++i) m_tasksPaneMetrics[i] = metrics[i];
  CTKWinXPVisualManager::RecomputeColors();
}

CTKWinXPVisualManager::~CTKWinXPVisualManager() = default;

bool CTKWinXPVisualManager::IsMenuBar(const CTKBaseControlBar* bar) const {
  return bar && (bar->LookKind() == CTKBaseControlBar::kMenuBar ||
                 bar->LookKind() == CTKBaseControlBar::kPopupMenuBar);
}

bool CTKWinXPVisualManager::IsMenuButton(const CTKToolbarButton* button) const {
  return button && IsMenuBar(button->m_bar);
}

BOOL CTKWinXPVisualManager::IsThemed() { return m_themes[kWindow] != nullptr; }

void CTKWinXPVisualManager::RecomputeColors() {
  CTKVisualManagerXP::RecomputeColors();
  OpenThemes();
  m_flatToolbarButtons = m_themes[kWindow] ? FALSE : TRUE;
  COLORREF text;
  if (m_themes[kToolbar] && ThemeColor(kToolbar, kToolbarButtonPart, 0, kTextColorProperty, &text))
    GD().barText = text;
}

void CTKWinXPVisualManager::PaintBarBackground(CDC* dc, CTKBaseControlBar* bar, CRect client, CRect clip,
                                               BOOL nonClient) {
  if (clip.IsRectEmpty()) clip = client;
  const auto kind = bar ? bar->LookKind() : CTKBaseControlBar::kOtherBar;
  if (kind == CTKBaseControlBar::kCaptionBar || (m_useXPMenus && IsMenuBar(bar))) {
    CTKVisualManagerXP::PaintBarBackground(dc, bar, client, clip, nonClient);
    return;
  }
  if (kind == CTKBaseControlBar::kPopupMenuBar && m_themes[kWindow]) {
    dc->FillRect(&clip, ::GetSysColorBrush(COLOR_MENU));
    return;
  }
  ThemeClass which = kind == CTKBaseControlBar::kStatusBar ? kStatus : kRebar;
  if (m_themes[which] && kind != CTKBaseControlBar::kPopupMenuBar) {
    DrawBackground(which, dc, 0, 0, client);
    return;
  }
  CTKVisualManagerXP::PaintBarBackground(dc, bar, client, clip, nonClient);
}

void CTKWinXPVisualManager::PaintMenuFrame(CDC* dc, CWnd* menu, CRect rect) {
  if (m_themes[kWindow] && !m_useXPMenus)
    CTKVisualManager::PaintMenuFrame(dc, menu, rect);
  else
    CTKVisualManagerXP::PaintMenuFrame(dc, menu, rect);
}

void CTKWinXPVisualManager::PaintGripper(CDC* dc, CRect gripper, BOOL horizontal, CTKBaseControlBar* bar) {
  if (!m_themes[kRebar]) {
    CTKVisualManagerXP::PaintGripper(dc, gripper, horizontal, bar);
    return;
  }
  DrawBackground(kRebar, dc, horizontal ? kRebarGripperPart : kRebarGripperVertPart, 0, gripper);
}

void CTKWinXPVisualManager::PaintSeparator(CDC* dc, CTKBaseControlBar* bar, CRect rect, BOOL horizontal) {
  if (!m_themes[kToolbar] || (m_useXPMenus && bar && bar->LookKind() == CTKBaseControlBar::kPopupMenuBar)) {
    CTKVisualManagerXP::PaintSeparator(dc, bar, rect, horizontal);
    return;
  }
  DrawBackground(kToolbar, dc, horizontal ? kToolbarSeparatorPart : kToolbarSeparatorVertPart, 0, rect);
}

void CTKWinXPVisualManager::PaintMDIButton(CDC* dc, CRect rect, UINT command, UINT state, BOOL highlighted) {
  if (!m_themes[kWindow]) {
    CTKVisualManagerXP::PaintMDIButton(dc, rect, command, state, highlighted);
    return;
  }
  int part;
  switch (command) {
    case SC_MINIMIZE:
      part = kMdiMinPart;
      break;
    case SC_CLOSE:
      part = kMdiClosePart;
      break;
    case SC_RESTORE:
      part = kMdiRestorePart;
      break;
    default:
      return;
  }
  int themeState = (state & TBBS_DISABLED)                   ? 4
                   : ((state & TBBS_PRESSED) && highlighted) ? 3
                   : highlighted                             ? 2
                                                             : 1;
  DrawBackground(kWindow, dc, part, themeState, rect);
}

void CTKWinXPVisualManager::PaintStatusPaneBorder(CDC* dc, CTKBaseControlBar* statusBar, CRect rect,
                                                  UINT paneId, UINT paneStyle) {
  if (!m_themes[kStatus]) {
    CTKVisualManagerXP::PaintStatusPaneBorder(dc, statusBar, rect, paneId, paneStyle);
    return;
  }
  if (paneStyle & SBPS_NOBORDERS) return;
  DrawBackground(kStatus, dc, kStatusPanePart, 0, rect);
}

void CTKWinXPVisualManager::PaintStatusBarProgress(CDC* dc, CTKBaseControlBar* statusBar, CRect rect,
                                                   int total, int current, COLORREF barColor,
                                                   COLORREF endColor, COLORREF textColor, BOOL showText) {
  if (!DrawStatusBarProgress(dc, statusBar, rect, total, current, barColor, endColor, textColor, showText))
    CTKVisualManager::PaintStatusBarProgress(dc, statusBar, rect, total, current, barColor, endColor,
                                             textColor, showText);
}

void CTKWinXPVisualManager::PaintSizeGrip(CDC* dc, CTKBaseControlBar* statusBar, CRect rect) {
  if (!m_themes[kScrollBar]) {
    CTKVisualManagerXP::PaintSizeGrip(dc, statusBar, rect);
    return;
  }
  DrawBackground(kScrollBar, dc, kScrollSizeBoxPart, 1, rect);
}

void CTKWinXPVisualManager::PaintDropDownButton(CDC* dc, CRect rect, BOOL disabled, BOOL pressed,
                                                BOOL highlighted) {
  if (!m_themes[kComboBox]) {
    CTKVisualManagerXP::PaintDropDownButton(dc, rect, disabled, pressed, highlighted);
    return;
  }
  DrawBackground(kComboBox, dc, kComboDropPart, disabled ? 4 : pressed ? 3 : highlighted ? 2 : 1, rect);
}

void CTKWinXPVisualManager::PaintButtonFace(CDC* dc, CTKToolbarButton* button, CRect rect, int state) {
  if (!m_themes[kToolbar] || !button || (m_useXPMenus && IsMenuButton(button))) {
    CTKVisualManagerXP::PaintButtonFace(dc, button, rect, state);
    return;
  }
  if (button->m_bar && button->m_bar->LookKind() == CTKBaseControlBar::kPopupMenuBar && state != 1 &&
      state != 2)
    return;
  const UINT style = button->m_nStyle;
  int themeState;
  if (style & TBBS_DISABLED)
    themeState = 4;
  else if ((style & TBBS_PRESSED) && state == 2)
    themeState = 3;
  else if (style & TBBS_CHECKED)
    themeState = state == 2 ? 6 : 5;
  else if (state == 2)
    themeState = 2;
  else
    themeState = 1;
  DrawBackground(kToolbar, dc, kToolbarButtonPart, themeState, rect);
}

void CTKWinXPVisualManager::PaintButtonEdge(CDC* dc, CTKToolbarButton* button, CRect rect, int state) {
  // The themed face carries its own edge.
  if (!m_themes[kToolbar] || (m_useXPMenus && IsMenuButton(button)))
    CTKVisualManagerXP::PaintButtonEdge(dc, button, rect, state);
}

void CTKWinXPVisualManager::PaintButtonViaOwner(CDC* dc, CTKToolbarButton* button, CRect rect, int state,
                                                BOOL horizontal) {
  if (!m_themes[kToolbar]) {
    CTKVisualManagerXP::PaintButtonViaOwner(dc, button, rect, state, horizontal);
    return;
  }
  rect.InflateRect(2, 2);
  DrawBackground(kToolbar, dc, horizontal > 0 ? kToolbarSeparatorPart : kToolbarSeparatorVertPart, 0, rect);
}

void CTKWinXPVisualManager::PaintPopupBarHighlight(CDC* dc, CRect rect) {
  if (!m_themes[kWindow] || m_useXPMenus) {
    CTKVisualManagerXP::PaintPopupBarHighlight(dc, rect);
    return;
  }
  DrawManager dm(*dc);
  dm.LightenRect(rect, 94);
}

COLORREF CTKWinXPVisualManager::GetButtonTextColor(CTKToolbarButton* button, int state) {
  if (!m_themes[kToolbar] || (button && button->LookKind() == CTKToolbarButton::kOutlook))
    return CTKVisualManagerXP::GetButtonTextColor(button, state);
  return CTKVisualManager::GetButtonTextColor(button, state);
}

BOOL CTKWinXPVisualManager::PaintOutlookButtonFace(CDC* dc, CTKToolbarButton* button, CRect rect, int state,
                                                   COLORREF& textColor) {
  if (!m_themes[kButton])
    return CTKVisualManagerXP::PaintOutlookButtonFace(dc, button, rect, state, textColor);
  if (!button || !button->m_bar || button->m_bar->LookKind() != CTKBaseControlBar::kOutlookBar) return FALSE;
  int themeState = (button->m_nStyle & TBBS_DISABLED) ? 4 : state == 1 ? 3 : state == 2 ? 2 : 1;
  DrawBackground(kButton, dc, kPushButtonPart, themeState, rect);
  textColor = GD().barText;
  return TRUE;
}

BOOL CTKWinXPVisualManager::PaintOutlookButtonBorder(CDC* dc, CTKToolbarButton* button, CRect rect,
                                                     int state) {
  if (!m_themes[kButton]) return CTKVisualManagerXP::PaintOutlookButtonBorder(dc, button, rect, state);
  return TRUE;
}

void CTKWinXPVisualManager::PaintBarButtonBorder(CDC* dc, CRect& rect, CTKButtonBase* button, UINT state) {
  if (!m_themes[kButton]) {
    CTKVisualManagerXP::PaintBarButtonBorder(dc, rect, button, state);
    return;
  }
  int themeState = button && !::IsWindowEnabled(button->m_hWnd) ? 4
                   : (state & 1)                                ? 3
                   : (button && button->m_hot)                  ? 2
                                                                : 1;
  DrawBackground(kButton, dc, kPushButtonPart, themeState, rect);
}

COLORREF CTKWinXPVisualManager::PaintCustomizeListItem(CDC* dc, CRect rect, BOOL selected) {
  COLORREF text = CTKVisualManagerXP::PaintCustomizeListItem(dc, rect, selected);
  if (m_themes[kWindow] && !m_useXPMenus) return ::GetSysColor(COLOR_MENUTEXT);
  return text;
}

void CTKWinXPVisualManager::PaintHeaderItemBorder(CTKHeaderCtrlBase* header, CDC* dc, CRect& rect,
                                                  BOOL pressed, BOOL highlighted) {
  if (!m_themes[kHeader]) {
    CTKVisualManagerXP::PaintHeaderItemBorder(header, dc, rect, pressed, highlighted);
    return;
  }
  DrawBackground(kHeader, dc, kHeaderItemPart, pressed ? 3 : highlighted ? 2 : 1, rect);
}

void CTKWinXPVisualManager::PaintHeaderSortArrow(CTKHeaderCtrlBase* header, CDC* dc, CRect rect,
                                                 BOOL ascending) {
  if (!m_themes[kHeader]) {
    CTKVisualManagerXP::PaintHeaderSortArrow(header, dc, rect, ascending);
    return;
  }
  DrawBackground(kHeader, dc, kHeaderSortArrowPart, ascending ? 1 : 2, rect);
}

void CTKWinXPVisualManager::PaintWindowBorder(CWnd* window) {
  COLORREF border;
  if (!m_themes[kComboBox] || !ThemeColor(kComboBox, 0, 0, kBorderColorProperty, &border)) {
    CTKVisualManagerXP::PaintWindowBorder(window);
    return;
  }
  if (!window || !window->m_hWnd) return;
  CWindowDC dc(window);
  RECT r;
  ::GetWindowRect(window->m_hWnd, &r);
  CRect frame(0, 0, r.right - r.left, r.bottom - r.top);
  dc.Draw3dRect(&frame, border, border);
}

void CTKWinXPVisualManager::PaintScrollButtons(CDC* dc, CRect rect, BOOL vertical, UINT pressedState,
                                               BOOL disabled) {
  if (!m_themes[kSpin]) {
    CTKVisualManagerXP::PaintScrollButtons(dc, rect, vertical, pressedState, disabled);
    return;
  }
  CRect first = rect, second = rect;
  if (vertical)
    first.bottom = second.top = rect.top + rect.Height() / 2;
  else
    first.right = second.left = rect.left + rect.Width() / 2;
  const UINT pressed = pressedState & 3;
  auto stateOf = [&](UINT half) { return disabled ? 4 : pressed == half ? 3 : 1; };
  DrawBackground(kSpin, dc, vertical ? kSpinUpPart : kSpinDownHorzPart, stateOf(1), first);
  DrawBackground(kSpin, dc, vertical ? kSpinDownPart : kSpinUpHorzPart, stateOf(2), second);
}
