// The toolbar under the mouse and the keyboard: hot tracking, press and release with
// the command a click sends, access keys, and customize mode (selection, dragging to
// move, copy or remove, stretching, group separators, the button context menu).
#include "toolkit/bars/TKToolBar.h"

#include "toolkit/bars/BarsText.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/bars/TKToolbarSystemMenuButton.h"
#include "toolkit/bars/TKButtonAppearanceDlg.h"
#include "toolkit/bars/TKToolbarCustomize.h"
#include "toolkit/bars/ToolbarDropSource.h"
#include "toolkit/frames/CommandUsageCounter.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKUserToolsManager.h"
#include "toolkit/frames/TKVisualManager.h"

namespace {
constexpr UINT kHoverTimer = 20;
constexpr UINT kIdlePrompt = 0xE001;
constexpr UINT kSetMessageString = 0x362;
}  // namespace

BOOL CTKToolBar::IsCustomizeMode() { return g_toolbarsCustomizing; }

BOOL CTKToolBar::SetCustomizeMode(BOOL on) {
  if (!on == !g_toolbarsCustomizing) return FALSE;
  for (POSITION pos = s_allToolbars.GetHeadPosition(); pos;) {
    const int count = s_allToolbars.GetCount();
    CTKToolBar* bar = s_allToolbars.GetNext(pos);
    bar->OnCustomizeMode(on);
    if (s_allToolbars.GetCount() != count) pos = s_allToolbars.GetHeadPosition();
  }
  g_toolbarsCustomizing = on;
  CommandUsageCounter::s_customizing = on;
  if (!on) s_pSelectedToolbar = nullptr;
  for (POSITION pos = s_allToolbars.GetHeadPosition(); pos;) {
    CTKToolBar* bar = s_allToolbars.GetNext(pos);
    if (::IsWindow(bar->m_hWnd))
      ::RedrawWindow(bar->m_hWnd, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  }
  return TRUE;
}

void CTKToolBar::OnCustomizeMode(BOOL on) {
  m_iButtonCapture = m_iHighlighted = m_iSelected = -1;
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos;) {
    auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    button->OnCancelMode();
    if (!(button->m_nStyle & TBBS_DISABLED)) button->EnableWindow(!on);
  }
}

LRESULT CALLBACK ToolbarMouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == WM_MOUSEMOVE) {
    auto* info = reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam);
    CTKToolBar* hot = nullptr;
    for (POSITION pos = CTKToolBar::s_allToolbars.GetHeadPosition(); pos;) {
      CTKToolBar* bar = CTKToolBar::s_allToolbars.GetNext(pos);
      if (bar->m_hWnd == info->hwnd) hot = bar;
    }
    if (hot != CTKToolBar::s_pHotToolBar && CTKToolBar::s_pHotToolBar) {
      CTKToolBar* old = CTKToolBar::s_pHotToolBar;
      old->m_bTracked = FALSE;
      old->m_ptLastMouse = CPoint(-1, -1);
      if (old->m_iHighlighted >= 0) {
        const int index = old->m_iHighlighted;
        old->m_iHighlighted = -1;
        old->InvalidateButton(index);
      }
    }
    CTKToolBar::s_pHotToolBar = hot;
    if (hot) {
      POINT point = info->pt;
      ::ScreenToClient(hot->m_hWnd, &point);
      hot->OnMouseMove(0, CPoint(point));
    }
  }
  return ::CallNextHookEx(CTKToolBar::s_hookMouse, code, wParam, lParam);
}

void CTKToolBar::SetHotTrackHook(BOOL on) {
  if (on) {
    if (!s_hookMouse)
      s_hookMouse = ::SetWindowsHookExA(WH_MOUSE, ToolbarMouseHookProc, nullptr, ::GetCurrentThreadId());
    return;
  }
  if (s_hookMouse) ::UnhookWindowsHookEx(s_hookMouse);
  s_hookMouse = nullptr;
  s_pHotToolBar = nullptr;
  for (POSITION pos = s_allToolbars.GetHeadPosition(); pos;) {
    CTKToolBar* bar = s_allToolbars.GetNext(pos);
    if (::IsWindow(bar->m_hWnd)) bar->SendMessage(WM_CANCELMODE);
  }
}

void CTKToolBar::ShowCommandMessageString(UINT id) {
  if (s_hookMouse || !m_hWnd) return;
  CWnd* owner = GetCommandTarget();
  if (!owner) return;
  UINT shown = id;
  if (id == (UINT)-1)
    shown = kIdlePrompt;
  else if (id >= 0xF000 && id <= 0xF1EF)
    shown = ((id - 0xF000) >> 4) + 0xEF00;
  else if (id >= 0xFF00)
    shown = 0xEF1F;
  owner->SendMessage(kSetMessageString, shown);
}

void CTKToolBar::TrackMouseLeave() {
  if (m_bTracked) return;
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof track;
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = m_hWnd;
  track.dwHoverTime = HOVER_DEFAULT;
  m_bTracked = ::TrackMouseEvent(&track);
}

void CTKToolBar::OnMouseMove(UINT flags, CPoint point) {
  RelayToTooltip(WM_MOUSEMOVE, point);
  if (IsCustomizeMode() && !m_bLocked) {
    if (m_bStretchButton && m_pStretchButton) {
      if (point.x - m_pStretchButton->m_rect.left > 4) {
        CRect old = m_rectTrack;
        m_rectTrack.right = point.x;
        CClientDC dc(this);
        SIZE frame{2, 2};
        ::InvalidateRect(m_hWnd, &old, TRUE);
        (void)frame;
        HBRUSH brush = ::CreateSolidBrush(GlobalData::Get().buttonText);
        ::FrameRect(dc.GetSafeHdc(), &m_rectTrack, brush);
        ::DeleteObject(brush);
      }
      ::SetCursor(GlobalData::Get().GetStretchCursor());
    }
    return;
  }
  if (abs(point.x - m_ptLastMouse.x) < 1 && abs(point.y - m_ptLastMouse.y) < 1) return;
  m_ptLastMouse = point;
  const int old = m_iHighlighted;
  int hit = HitTest(point);
  if (hit >= 0) {
    CTKToolbarButton* button = GetButton(hit);
    if (button->IsSeparator() || ((button->m_nStyle & TBBS_DISABLED) && !AllowSelectDisabled())) hit = -1;
  }
  if (hit == -1 && ::GetCapture() == m_hWnd) hit = m_iHighlighted;
  m_iHighlighted = hit;
  TrackMouseLeave();
  if (m_iHighlighted == old) return;
  BOOL redrawn = FALSE;
  if (m_iButtonCapture >= 0) {
    // A pressed button shows pressed exactly while the mouse is over it.
    CTKToolbarButton* pressed = GetButton(m_iButtonCapture);
    if (pressed) {
      UINT style = pressed->m_nStyle & ~TBBS_PRESSED;
      if (m_iHighlighted == m_iButtonCapture) style |= TBBS_PRESSED;
      SetButtonStyle(m_iButtonCapture, style);
      redrawn = TRUE;
    }
  }
  if (m_bMenuMode || m_iButtonCapture == -1 || old == m_iButtonCapture) {
    InvalidateButton(old);
    redrawn = TRUE;
  }
  if (m_bMenuMode || m_iButtonCapture == -1 || m_iHighlighted == m_iButtonCapture) {
    InvalidateButton(m_iHighlighted);
    redrawn = TRUE;
  }
  if (GlobalData::Get().IsAccessibilitySupported() && m_iHighlighted >= 0 && m_iHighlighted != m_iAccHot) {
    m_iAccHot = m_iHighlighted;
    // A menu button that opens a sub-menu is given longer: its menu may open first.
    auto* menuButton = dynamic_cast<CTKToolbarMenuButton*>(GetButton(m_iHighlighted));
    SetTimer(kHoverTimer, menuButton && !menuButton->GetCommands().IsEmpty() ? 1300 : 500);
  }
  if (m_iHighlighted == -1 || (m_iButtonCapture >= 0 && m_iHighlighted != m_iButtonCapture)) {
    if (m_iButtonCapture == -1) ShowCommandMessageString((UINT)-1);
  } else {
    ShowCommandMessageString(GetItemID(m_iHighlighted));
  }
  UpdateTooltip(m_iHighlighted);
  SetHotMenuIndex(m_iHighlighted);
  if (redrawn) UpdateWindow();
  (void)flags;
}

void CTKToolBar::OnMouseLeave() {
  if (s_hookMouse) return;
  m_ptLastMouse = CPoint(-1, -1);
  m_bTracked = FALSE;
  if (m_iHighlighted >= 0 && ::GetCapture() != m_hWnd) {
    const int index = m_iHighlighted;
    m_iHighlighted = -1;
    SetHotMenuIndex(-1);
    InvalidateButton(index);
    UpdateWindow();
    ShowCommandMessageString((UINT)-1);
  }
}

BOOL CTKToolBar::SetHotMenuIndex(int index) {
  if (index != -1 && index == m_iHot) index = -1;
  m_iHot = index;
  if (!IsCustomizeMode()) return TRUE;
  // While customising, the menus open and close by clicks (and by dragged buttons
  // resting on their buttons), so that items can be dragged into and out of them.
  CTKToolbarButton* dropped = nullptr;
  for (int i = 0; i < GetCount() && !dropped; ++i)
    if (CTKToolbarButton* candidate = GetButton(i); candidate && candidate->IsDroppedDown())
      dropped = candidate;
  CTKToolbarButton* button = GetButton(index);
  if (!button) {
    m_iHot = -1;
    if (dropped) dropped->OnCancelMode();
  } else if (button == dropped) {
    // A second click on the button of the open menu closes it.
    m_iHot = -1;
    dropped->OnCancelMode();
  } else {
    if (dropped) dropped->OnCancelMode();
    auto* menuButton = dynamic_cast<CTKToolbarMenuButton*>(button);
    if (menuButton && !dynamic_cast<CTKToolbarSystemMenuButton*>(button)) {
      // No press closes a menu while customising: an earlier close never holds this one back.
      menuButton->m_dwClosedAt = 0;
      menuButton->OnClick(this, FALSE);
    }
  }
  // The selection follows (never onto a separator).
  if (!m_pDragButton && button && !button->IsSeparator() && s_pSelectedToolbar == this) {
    const int old = m_iSelected;
    m_iSelected = index;
    InvalidateButton(old);
    InvalidateButton(index);
  }
  if (m_iHighlighted != index) {
    const int old = m_iHighlighted;
    m_iHighlighted = index;
    InvalidateButton(old);
    InvalidateButton(index);
  }
  return TRUE;
}

void CTKToolBar::OnLButtonDown(UINT flags, CPoint point) {
  RelayToTooltip(WM_LBUTTONDOWN, point);
  if (IsCustomizeMode() && !m_bLocked) {
    if (s_pSelectedToolbar && s_pSelectedToolbar != this) {
      CTKToolBar* previous = s_pSelectedToolbar;
      const int old = previous->m_iSelected;
      previous->m_iSelected = -1;
      previous->InvalidateButton(old);
    }
    s_pSelectedToolbar = this;
    const int index = HitTest(point);
    const int old = m_iSelected;
    m_iSelected = index;
    InvalidateButton(old);
    CTKToolbarButton* button = GetButton(index);
    if (!button) {
      SetHotMenuIndex(-1);
      return;
    }
    InvalidateButton(index);
    UpdateWindow();
    if (button->CanBeStretched() && point.x > button->m_rect.right - 6) {
      m_bStretchButton = TRUE;
      m_pStretchButton = button;
      m_nStretchOriginalWidth = button->m_rect.Width();
      m_rectTrack = button->m_rect;
      m_hwndLastCapture = ::SetCapture(m_hWnd);
      ::SetCursor(GlobalData::Get().GetStretchCursor());
      return;
    }
    if (button->CanBeStored() && !button->OnBeforeDrag())
      BeginCustomizeDrag(index, point, (flags & MK_CONTROL) != 0);
    return;
  }
  const int index = HitTest(point);
  if (index < 0) {
    m_iButtonCapture = -1;
    return;
  }
  CTKToolbarButton* button = GetButton(index);
  UpdateButton(index);
  if (button->m_nStyle & TBBS_DISABLED) return;
  m_iButtonCapture = index;
  m_iHighlighted = index;
  SetButtonStyle(index, button->m_nStyle | TBBS_PRESSED);
  InvalidateButton(index);
  UpdateWindow();
  ShowCommandMessageString(button->m_nID);
  if (button->OnClick(this, FALSE)) {
    if (ButtonToIndex(button) >= 0) button->m_nStyle &= ~TBBS_PRESSED;
    m_iButtonCapture = m_iHighlighted = -1;
    SetHotMenuIndex(-1);
    return;
  }
  m_hwndLastCapture = ::SetCapture(m_hWnd);
}

void CTKToolBar::OnLButtonUp(UINT flags, CPoint point) {
  RelayToTooltip(WM_LBUTTONUP, point);
  if (IsCustomizeMode() && !m_bLocked && m_bStretchButton) {
    CTKToolbarButton* button = m_pStretchButton;
    const int width = m_rectTrack.right - (button ? button->m_rect.left : 0);
    if (button && width > 4 && abs(m_rectTrack.right - button->m_rect.right) > 6) {
      button->OnSize(width);
      AdjustSize();
    }
    m_bStretchButton = FALSE;
    m_pStretchButton = nullptr;
    ::ReleaseCapture();
    if (m_hwndLastCapture && ::IsWindow(m_hwndLastCapture)) ::SetCapture(m_hwndLastCapture);
    m_hwndLastCapture = nullptr;
    Invalidate();
    return;
  }
  if (m_iButtonCapture < 0) {
    OnMouseMove(flags, point);
    return;
  }
  HWND self = m_hWnd;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  if (m_hwndLastCapture && ::IsWindow(m_hwndLastCapture)) ::SetCapture(m_hwndLastCapture);
  m_hwndLastCapture = nullptr;
  const int pressed = m_iButtonCapture;
  CTKToolbarButton* button = GetButton(pressed);
  UINT command = 0;
  const BOOL over = HitTest(point) == pressed;
  if (over && button) {
    UpdateButton(pressed);
    if (!(button->m_nStyle & TBBS_DISABLED)) command = button->m_nID;
  }
  ShowCommandMessageString((UINT)-1);
  m_iButtonCapture = m_iHighlighted = -1;
  RestoreFocus();
  if (over && button && !OnSendCommand(button) && command != 0 && command != (UINT)-1) {
    InvalidateButton(pressed);
    UpdateWindow();
    if (g_pCommandUsageCounter) g_pCommandUsageCounter->CountUse(command);
    if (!button->OnClickUp() && !(g_pUserToolsManager && g_pUserToolsManager->RunToolCommand(command))) {
      if (CWnd* owner = GetCommandTarget()) owner->SendMessage(WM_COMMAND, command);
    }
  }
  if (::IsWindow(self) && ButtonToIndex(button) >= 0) {
    button->m_nStyle &= ~TBBS_PRESSED;
    UpdateButton(pressed);
    InvalidateButton(pressed);
    UpdateWindow();
    m_ptLastMouse = CPoint(-1, -1);
    OnMouseMove(flags, point);
  }
}

void CTKToolBar::OnLButtonDblClk(UINT flags, CPoint point) {
  const int index = HitTest(point);
  if (CTKToolbarButton* button = GetButton(index)) button->OnDblClick(this);
  OnLButtonDown(flags, point);
}

void CTKToolBar::OnCancelMode() {
  if (m_bStretchButton) {
    m_bStretchButton = FALSE;
    m_pStretchButton = nullptr;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    if (m_hwndLastCapture && ::IsWindow(m_hwndLastCapture)) ::SetCapture(m_hwndLastCapture);
    m_hwndLastCapture = nullptr;
  }
  if (m_iButtonCapture >= 0) {
    if (CTKToolbarButton* button = GetButton(m_iButtonCapture))
      SetButtonStyle(m_iButtonCapture, button->m_nStyle & ~TBBS_PRESSED);
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  }
  m_iButtonCapture = m_iHighlighted = -1;
  SetHotMenuIndex(-1);
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos;)
    static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos))->OnCancelMode();
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

BOOL CTKToolBar::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  if (IsCustomizeMode() && !m_bLocked) {
    if (m_bStretchButton) {
      ::SetCursor(GlobalData::Get().GetStretchCursor());
      return TRUE;
    }
    CTKToolbarButton* selected = s_pSelectedToolbar == this ? GetButton(m_iSelected) : nullptr;
    if (selected && selected->CanBeStretched()) {
      POINT cursor;
      ::GetCursorPos(&cursor);
      ::ScreenToClient(m_hWnd, &cursor);
      if (abs(cursor.x - selected->m_rect.right) <= 7 && selected->m_rect.PtInRect(cursor)) {
        ::SetCursor(GlobalData::Get().GetStretchCursor());
        return TRUE;
      }
    }
  }
  return CTKBaseControlBar::OnSetCursor(wnd, hitTest, message);
}

void CTKToolBar::Deactivate() {
  if (m_iHighlighted >= 0) {
    const int index = m_iHighlighted;
    m_iHot = m_iHighlighted = -1;
    InvalidateButton(index);
    UpdateWindow();
    ShowCommandMessageString((UINT)-1);
  }
  RestoreFocus();
}

void CTKToolBar::RestoreFocus() {
  if (m_hwndLastFocus && ::IsWindow(m_hwndLastFocus)) ::SetFocus(m_hwndLastFocus);
  m_hwndLastFocus = nullptr;
}

void CTKToolBar::OnSetFocus(CWnd* oldWnd) {
  CTKBaseControlBar::OnSetFocus(oldWnd);
  HWND old = AfxGetSafeHwnd(oldWnd);
  BOOL fromToolbar = FALSE;
  for (POSITION pos = s_allToolbars.GetHeadPosition(); pos && old;) {
    CTKToolBar* bar = s_allToolbars.GetNext(pos);
    if (bar->m_hWnd == old || ::IsChild(bar->m_hWnd, old)) fromToolbar = TRUE;
  }
  if (!fromToolbar) m_hwndLastFocus = old;
}

void CTKToolBar::OnKillFocus(CWnd* newWnd) {
  CTKBaseControlBar::OnKillFocus(newWnd);
  Deactivate();
}

BOOL CTKToolBar::PreTranslateMessage(MSG* msg) {
  if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
    if (m_bStretchButton) {
      OnCancelMode();
      return TRUE;
    }
    Deactivate();
    RestoreFocus();
    return TRUE;
  }
  if (msg->message == s_resetPromptMessage && msg->hwnd == m_hWnd) {
    ShowResetPrompt();
    return TRUE;
  }
  return CTKBaseControlBar::PreTranslateMessage(msg);
}

LRESULT CTKToolBar::OnResetPrompt(WPARAM, LPARAM) {
  ShowResetPrompt();
  return 0;
}

void CTKToolBar::ShowResetPrompt() {
  CString name;
  if (m_hWnd) GetWindowText(name);
  CString plain = CTKToolbarButton::TextWithoutAmpersands(name);
  plain.TrimLeft();
  plain.TrimRight();
  if (plain.IsEmpty() && !plain.LoadString(16104)) plain = bars_text::kUntitled;
  CString format;
  if (!format.LoadString(16111)) format = bars_text::kResetToolbarPrompt;
  CString prompt;
  prompt.Format(format, static_cast<const char*>(plain));
  if (AfxMessageBox(prompt, MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK) RestoreOriginalState();
}

BOOL CTKToolBar::ProcessMnemonic(UINT key) {
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  WORD typed = 0;
  UINT character = key;
  if (::ToAsciiEx(key, ::MapVirtualKeyA(key, 0), keys, &typed, 0, ::GetKeyboardLayout(0)) == 1)
    character = static_cast<UINT>(toupper(static_cast<unsigned char>(typed)));
  CTKToolbarButton* button = nullptr;
  if (!m_AcellKeys.Lookup(character, button) || !button) return FALSE;
  BOOL opened;
  {
    CTKPopupMenu::OpenAtOnce keys;  // a menu opened by its key appears at once
    opened = button->OnClick(this, FALSE);
  }
  if (opened) {
    // The menu opened is the hot one (while customising, naming it to SetHotMenuIndex
    // would close it again, as a second click does).
    if (IsCustomizeMode())
      m_iHot = ButtonToIndex(button);
    else
      SetHotMenuIndex(ButtonToIndex(button));
    return TRUE;
  }
  if (button->m_nID == 0 || button->m_nID == (UINT)-1) return FALSE;
  if (g_pCommandUsageCounter) g_pCommandUsageCounter->CountUse(button->m_nID);
  if (CWnd* owner = GetCommandTarget()) owner->PostMessage(WM_COMMAND, button->m_nID);
  return TRUE;
}

BOOL CTKToolBar::PrevMenu() {
  const int count = GetCount();
  if (m_iHot < 0 || count < 2) return FALSE;
  for (int step = 1; step < count; ++step) {
    const int index = (m_iHot - step + count) % count;
    CTKToolbarButton* button = GetButton(index);
    if (button && button->LookKind() == CTKToolbarButton::kMenuButton &&
        !(button->m_nStyle & TBBS_DISABLED) && !button->m_bHidden) {
      SetHotMenuIndex(index);
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CTKToolBar::NextMenu() {
  const int count = GetCount();
  if (m_iHot < 0 || count < 2) return FALSE;
  for (int step = 1; step < count; ++step) {
    const int index = (m_iHot + step) % count;
    CTKToolbarButton* button = GetButton(index);
    if (button && button->LookKind() == CTKToolbarButton::kMenuButton &&
        !(button->m_nStyle & TBBS_DISABLED) && !button->m_bHidden) {
      SetHotMenuIndex(index);
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CTKToolBar::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (IsCustomizeMode() && !m_bLocked) {
    const UINT id = LOWORD(wParam);
    if (id >= ID_TKTOOLBAR_RESET && id <= ID_TKTOOLBAR_NEW_MENU) {
      OnContextCommand(id);
      return TRUE;
    }
    return CTKBaseControlBar::OnCommand(wParam, lParam);
  }
  if (lParam != 0) {
    // A notification of an item's own control (an edit box or a combo box): the item
    // decides whether it means the item's command.
    const HWND control = reinterpret_cast<HWND>(lParam);
    for (POSITION pos = m_Buttons.GetHeadPosition(); pos;) {
      auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
      if (!button->IsOwnerOf(control)) continue;
      if (button->NotifyCommand(HIWORD(wParam)))
        if (CWnd* owner = GetCommandTarget()) owner->PostMessage(WM_COMMAND, button->m_nID);
      return TRUE;
    }
  }
  if (lParam == 0) {
    if (LOWORD(wParam) == IDCANCEL) {
      RestoreFocus();
      return TRUE;
    }
    if (LOWORD(wParam) == IDOK) {
      for (POSITION pos = m_Buttons.GetHeadPosition(); pos;) {
        auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
        if (button->HasFocus() && button->NotifyCommand(0)) {
          if (CWnd* owner = GetCommandTarget()) owner->PostMessage(WM_COMMAND, button->m_nID);
          return TRUE;
        }
      }
    }
  }
  return CTKBaseControlBar::OnCommand(wParam, lParam);
}

BOOL CTKToolBar::HasEditedButton() const {
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos;)
    if (static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos))->HasFocus()) return TRUE;
  return FALSE;
}

HBRUSH CTKToolBar::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor) {
  if (IsCustomizeMode() && !m_bLocked) {
    for (POSITION pos = m_Buttons.GetHeadPosition(); pos;) {
      auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
      if (button->IsOwnerOf(AfxGetSafeHwnd(wnd))) {
        if (HBRUSH brush = button->OnCtlColor(dc, ctlColor)) return brush;
      }
    }
  }
  return CTKBaseControlBar::OnCtlColor(dc, wnd, ctlColor);
}

void CTKToolBar::OnSize(UINT type, int cx, int cy) {
  CTKBaseControlBar::OnSize(type, cx, cy);
  if (IsCustomizeMode() && !m_bLocked) {
    if (m_iButtonCapture >= 0 || m_bStretchButton) OnCancelMode();
    // A floating bar's frame offers only moving and, for a bar that may close, closing.
    if (CMiniDockFrameWnd* frame = CMiniDockFrameWnd::FrameOf(this); frame && frame->m_hWnd && IsFloating())
      if (HMENU system = ::GetSystemMenu(frame->m_hWnd, FALSE)) {
        for (UINT command : {SC_RESTORE, SC_MINIMIZE, SC_MAXIMIZE})
          ::DeleteMenu(system, command, MF_BYCOMMAND);
        ::EnableMenuItem(system, SC_CLOSE, MF_BYCOMMAND | (CanBeClosed() ? MF_ENABLED : MF_GRAYED));
      }
  }
  AdjustLayout();
  // A hidden bar has nothing to repaint (it is painted whole when it shows), and each
  // repaint asks the window server.
  if (::IsWindowVisible(m_hWnd)) Invalidate();
}

void CTKToolBar::OnWindowPosChanged(WINDOWPOS* pos) {
  CTKBaseControlBar::OnWindowPosChanged(pos);
  if (::IsWindowVisible(m_hWnd)) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
  if (!IsCustomizeMode() || m_bLocked || !(pos->flags & (SWP_HIDEWINDOW | SWP_SHOWWINDOW))) return;
  // The customization sheet's Toolbars page ticks the bars that show.
  const BOOL shown = (pos->flags & SWP_SHOWWINDOW) != 0;
  if (CTKToolbarCustomize* sheet = CTKToolbarCustomize::GetOpenSheet()) sheet->ShowToolBar(this, shown);
  if (!shown && s_pSelectedToolbar == this) s_pSelectedToolbar = nullptr;
}

void CTKToolBar::OnSysColorChange() {
  GlobalData::Get().ReloadColors();
  CTKVisualManager::GetInstance()->RecomputeColors();
  for (CTKToolbarImageList* list :
       {&s_Images, &s_ColdImages, &s_DisabledImages, &s_LargeImages, &s_LargeColdImages,
        &s_LargeDisabledImages, &s_MenuImages, &s_MenuImagesDisabled, &m_ImagesLocked, &m_ColdImagesLocked,
        &m_DisabledImagesLocked, &m_LargeImagesLocked, &m_LargeColdImagesLocked, &m_LargeDisabledImagesLocked,
        &m_MenuImagesLocked, &m_MenuImagesLockedDisabled})
    list->Reload();
  if (s_pUserImages) s_pUserImages->Reload();
  Invalidate();
}

void CTKToolBar::OnSettingChange(UINT flags, LPCSTR section) {
  CTKBaseControlBar::OnSettingChange(flags, section);
  if (flags == SPI_SETNONCLIENTMETRICS) {
    GlobalData::Get().RebuildFonts();
    AdjustSize();
  }
}

void CTKToolBar::OnContextMenu(CWnd*, CPoint point) {
  if (!IsCustomizeMode()) {
    SetHotMenuIndex(-1);
    // The frame the bar docks in answers the bars' menu; the parent of a docked bar
    // is its dock bar, which knows nothing of it.
    CFrameWnd* dockSite = GetDockingFrame();
    HWND frame = dockSite && dockSite->m_hWnd ? dockSite->m_hWnd : ::GetAncestor(m_hWnd, GA_ROOT);
    ::SendMessageA(frame, s_popupMenuMessage, reinterpret_cast<WPARAM>(m_hWnd), MAKELPARAM(point.x, point.y));
    return;
  }
  if (m_bLocked) {
    ::MessageBeep((UINT)-1);
    return;
  }
  CPoint client = point;
  if (point.x == -1 && point.y == -1) {
    CRect rect;
    GetClientRect(&rect);
    client = rect.CenterPoint();
    point = client;
    ::ClientToScreen(m_hWnd, &point);
  } else {
    ::ScreenToClient(m_hWnd, &client);
  }
  s_pSelectedToolbar = this;
  const int index = HitTest(client);
  const int old = m_iSelected;
  m_iSelected = index;
  InvalidateButton(old);
  InvalidateButton(index);
  CTKToolbarButton* button = GetButton(index);
  if (!button || !button->CanBeStored()) return;
  HMENU menu = ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(16102));
  if (!menu) return;
  HMENU popup = ::GetSubMenu(menu, 0);
  if (button->m_bLocked) ::EnableMenuItem(popup, ID_TKTOOLBAR_RESET, MF_BYCOMMAND | MF_GRAYED);
  EnableContextMenuItems(button, popup);
  CTKToolbarButton* previous = GetButton(index - 1);
  if (previous && !previous->IsVisible())
    ::EnableMenuItem(popup, ID_TKTOOLBAR_START_GROUP, MF_BYCOMMAND | MF_GRAYED);
  ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, m_hWnd, nullptr);
  ::DestroyMenu(menu);
}

BOOL CTKToolBar::EnableContextMenuItems(CTKToolbarButton* button, HMENU popup) {
  const BOOL hasImage = button->m_bImage && button->GetImage() >= 0;
  ::EnableMenuItem(popup, ID_TKTOOLBAR_COPY_IMAGE, MF_BYCOMMAND | (hasImage ? MF_ENABLED : MF_GRAYED));
  const BOOL real = button->m_nID != 0 && button->m_nID != (UINT)-1;
  if (!real) ::EnableMenuItem(popup, ID_TKTOOLBAR_RESET, MF_BYCOMMAND | MF_GRAYED);
  const BOOL text = button->m_bText || (button->m_bTextBelow && IsHorizontal());
  const UINT checked = text && button->m_bImage ? ID_TKTOOLBAR_IMAGE_AND_TEXT
                       : text                   ? ID_TKTOOLBAR_TEXT
                                                : ID_TKTOOLBAR_IMAGE;
  ::CheckMenuRadioItem(popup, ID_TKTOOLBAR_IMAGE, ID_TKTOOLBAR_IMAGE_AND_TEXT, checked, MF_BYCOMMAND);
  if (button->m_bTextBelow && IsHorizontal())
    ::EnableMenuItem(popup, ID_TKTOOLBAR_IMAGE, MF_BYCOMMAND | MF_GRAYED);
  if (m_bMenuMode) {
    for (UINT id : {ID_TKTOOLBAR_IMAGE, ID_TKTOOLBAR_TEXT, ID_TKTOOLBAR_IMAGE_AND_TEXT})
      ::EnableMenuItem(popup, id, MF_BYCOMMAND | MF_GRAYED);
    button->m_bText = TRUE;
  }
  const int index = ButtonToIndex(button);
  if (index == 0) ::EnableMenuItem(popup, ID_TKTOOLBAR_START_GROUP, MF_BYCOMMAND | MF_GRAYED);
  CTKToolbarButton* previous = GetButton(index - 1);
  if (previous && previous->IsSeparator())
    ::CheckMenuItem(popup, ID_TKTOOLBAR_START_GROUP, MF_BYCOMMAND | MF_CHECKED);
  return TRUE;
}

void CTKToolBar::OnContextCommand(UINT id) {
  CTKToolbarButton* button = GetButton(m_iSelected);
  if (!button) return;
  switch (id) {
    case ID_TKTOOLBAR_RESET: {
      const int image = GetDefaultImage(button->m_nID);
      if (!(g_pUserToolsManager && g_pUserToolsManager->LookupTool(button->m_nID))) {
        button->m_bUserImage = FALSE;
        button->SetImage(image);
      }
      button->m_bImage = image >= 0 && !m_bMenuMode;
      button->m_bText = !button->m_bImage;
      button->m_strText.Empty();
      FillButtonText(button);
      AdjustSize();
      break;
    }
    case ID_TKTOOLBAR_COPY_IMAGE: {
      HCURSOR old = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
      CTKToolbarImageList* list = button->m_bUserImage ? s_pUserImages : &s_Images;
      if (list) list->CopyImageToClipboard(button->GetImage());
      ::SetCursor(old);
      break;
    }
    case ID_TKTOOLBAR_APPEARANCE: {
      CTKButtonAppearanceDlg dialog(button, s_pUserImages, this, 0, IsMenuMode());
      if (dialog.DoModal() == IDOK) {
        AdjustLayout();
        Invalidate();
      }
      break;
    }
    case ID_TKTOOLBAR_DELETE:
      RemoveButton(m_iSelected);
      m_iSelected = -1;
      AdjustSize();
      break;
    case ID_TKTOOLBAR_IMAGE:
      if (button->GetImage() < 0) {
        ::MessageBeep((UINT)-1);
        break;
      }
      button->m_bImage = TRUE;
      button->m_bText = FALSE;
      AdjustSize();
      break;
    case ID_TKTOOLBAR_TEXT:
      if (button->m_strText.IsEmpty()) FillButtonText(button);
      if (button->m_strText.IsEmpty()) {
        ::MessageBeep((UINT)-1);
        break;
      }
      button->m_bText = TRUE;
      button->m_bImage = FALSE;
      AdjustSize();
      break;
    case ID_TKTOOLBAR_IMAGE_AND_TEXT:
      if (button->m_strText.IsEmpty()) FillButtonText(button);
      if (button->m_strText.IsEmpty()) {
        ::MessageBeep((UINT)-1);
        button->m_bText = FALSE;
        button->m_bImage = TRUE;
      } else {
        button->m_bText = TRUE;
        button->m_bImage = button->GetImage() >= 0;
      }
      AdjustSize();
      break;
    case ID_TKTOOLBAR_START_GROUP: {
      CTKToolbarButton* previous = GetButton(m_iSelected - 1);
      if (previous && previous->IsSeparator()) {
        if (!previous->m_bHidden) {
          RemoveButton(m_iSelected - 1);
          --m_iSelected;
        }
      } else if (InsertSeparator(m_iSelected) >= 0) {
        ++m_iSelected;
      }
      AdjustSize();
      break;
    }
    default:
      break;
  }
  Invalidate();
}

BOOL CTKToolBar::ToggleGroupByDrag(CTKToolbarButton* button, CPoint start, CPoint end) {
  const int index = ButtonToIndex(button);
  if (index <= 0) return FALSE;
  const int distance = IsHorizontal() ? end.x - start.x : end.y - start.y;
  if (abs(distance) < 6) return FALSE;
  CTKToolbarButton* previous = GetButton(index - 1);
  const BOOL separated = previous && previous->IsSeparator();
  if (distance > 0) {
    if (!separated) InsertSeparator(index);
  } else if (separated && !previous->m_bHidden) {
    RemoveButton(index - 1);
  }
  AdjustSize();
  m_iSelected = -1;
  Invalidate();
  return TRUE;
}

void CTKToolBar::BeginCustomizeDrag(int index, CPoint point, BOOL copy) {
  CTKToolbarButton* button = GetButton(index);
  if (!button) return;
  HWND self = m_hWnd;
  m_pDragButton = button;
  m_ptStartDrag = point;
  m_bIsDragCopy = copy;
  COleDataSource source;
  // The copy in the drag data remembers that it came from a toolbar.
  button->m_bFromToolbar = TRUE;
  button->PrepareDrag(source);
  button->m_bFromToolbar = FALSE;
  CToolbarDropSource& dropSource = CToolbarDropSource::Get();
  dropSource.m_bDragStarted = FALSE;
  dropSource.m_bDeleteOnDrop = TRUE;
  CRect start(point.x, point.y, point.x, point.y);
  ::ClientToScreen(m_hWnd, reinterpret_cast<POINT*>(&start.left));
  start.right = start.left;
  start.bottom = start.top;
  start.InflateRect(::GetSystemMetrics(SM_CXDRAG), ::GetSystemMetrics(SM_CYDRAG));
  const DROPEFFECT effect = source.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE, &start, &dropSource);
  if (!::IsWindow(self)) return;
  // The drop (on this bar) may have taken the button already.
  const BOOL stillHere = m_pDragButton != nullptr && ButtonToIndex(button) >= 0;
  m_pDragButton = nullptr;
  POINT cursor;
  ::GetCursorPos(&cursor);
  ::ScreenToClient(m_hWnd, &cursor);
  if (!dropSource.m_bDragStarted || (stillHere && button->m_rect.PtInRect(cursor) &&
                                     effect == DROPEFFECT_NONE && !dropSource.m_bDeleteOnDrop)) {
    SetHotMenuIndex(ButtonToIndex(button));
    Invalidate();
    return;
  }
  if (effect == DROPEFFECT_COPY || dropSource.m_bEscapePressed || !stillHere) {
    Invalidate();
    return;
  }
  // Moved elsewhere, or dropped where nothing takes it: it leaves this bar.
  RemoveButton(ButtonToIndex(button));
  m_iSelected = -1;
  AdjustSize();
  Invalidate();
}
