#include "toolkit/bars/TKMenuButton.h"

#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/frames/MenuImages.h"

namespace {

constexpr int kGlyphDown = 24;
constexpr int kGlyphRight = 26;
constexpr int kGlyphGap = 10;

// A copy of a menu and its sub-menus (the toolkit's popup owns the menu it shows).
HMENU CopyMenu(HMENU source) {
  HMENU copy = ::CreatePopupMenu();
  const int count = ::GetMenuItemCount(source);
  for (int i = 0; i < count; ++i) {
    char text[256] = "";
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text - 1;
    if (!::GetMenuItemInfoA(source, i, TRUE, &info)) continue;
    if (info.hSubMenu) info.hSubMenu = CopyMenu(info.hSubMenu);
    info.dwTypeData = text;
    ::InsertMenuItemA(copy, i, TRUE, &info);
  }
  return copy;
}

}  // namespace

BEGIN_MESSAGE_MAP(CTKMenuButton, CTKButton)
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

CTKMenuButton::CTKMenuButton() = default;

CTKMenuButton::~CTKMenuButton() = default;

BOOL CTKMenuButton::HasContent() {
  return m_sizeImage.cx > 0 || (m_hWnd && ::GetWindowTextLengthA(m_hWnd) > 0);
}

void CTKMenuButton::FitToContent(SIZE& size, BOOL keepSize) {
  CTKButton::FitToContent(size, TRUE);
  size.cx += MenuImages::Size().cx;
  if (!keepSize && m_hWnd)
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CTKMenuButton::PaintContent(CDC* dc, const CRect& rect, UINT itemState) {
  const SIZE glyph = MenuImages::Size();
  CRect content = rect;
  if (HasContent()) content.right -= glyph.cx + kGlyphGap;
  CTKButton::PaintContent(dc, content, itemState);
  CRect arrow = rect;
  arrow.left = content.right;
  const int number = (m_bRightArrow ? kGlyphRight : kGlyphDown) + ((itemState & ODS_DISABLED) ? 1 : 0);
  MenuImages::Draw(
      dc, number,
      POINT{arrow.left + (arrow.Width() - glyph.cx) / 2, arrow.top + (arrow.Height() - glyph.cy) / 2});
}

UINT CTKMenuButton::TrackToolkitMenu(int x, int y) {
  auto* popup = new CTKPopupMenu;
  popup->SetRightAlign(m_bRightAlign);
  m_nMenuResult = 0;
  // The popup posts its command to this button, which keeps it.
  if (!popup->Create(this, x, y, CopyMenu(m_hMenu), FALSE, TRUE)) return 0;
  HWND window = popup->m_hWnd;
  UINT chosen = 0;
  while (::IsWindow(window)) {
    MSG msg;
    if (!::GetMessageA(&msg, nullptr, 0, 0)) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (msg.hwnd == m_hWnd && msg.message == WM_COMMAND && msg.lParam == 0) {
      chosen = LOWORD(msg.wParam);
      continue;
    }
    // Keys belong to the open menu.
    if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && ::IsWindow(window)) {
      ::SendMessageA(window, WM_KEYDOWN, msg.wParam, msg.lParam);
      continue;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  // A command posted as the menu closed.
  MSG msg;
  while (::PeekMessageA(&msg, m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE))
    if (msg.lParam == 0) chosen = LOWORD(msg.wParam);
  return chosen;
}

void CTKMenuButton::OnShowMenu() {
  if (!m_hMenu) return;
  m_bMenuIsActive = TRUE;
  m_bPushed = TRUE;
  Invalidate();
  UpdateWindow();
  CRect window;
  GetWindowRect(&window);
  const int x = m_bRightAlign ? window.right : window.left;
  const int y = window.bottom;
  UINT command = 0;
  HWND self = m_hWnd;
  if (m_bToolkitMenu) {
    command = TrackToolkitMenu(x, y);
  } else {
    const UINT flags =
        TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY | (m_bRightAlign ? TPM_RIGHTALIGN : TPM_LEFTALIGN);
    command = static_cast<UINT>(::TrackPopupMenu(m_hMenu, flags, x, y, 0, m_hWnd, nullptr));
  }
  if (!::IsWindow(self)) return;
  if (command) {
    m_nMenuResult = command;
    if (HWND parent = ::GetParent(m_hWnd))
      ::SendMessageA(parent, WM_COMMAND, static_cast<WPARAM>(::GetDlgCtrlID(m_hWnd)),
                     reinterpret_cast<LPARAM>(m_hWnd));
  }
  if (!::IsWindow(self)) return;
  m_bMenuIsActive = FALSE;
  m_bPushed = FALSE;
  m_bHighlighted = FALSE;
  Invalidate();
  UpdateWindow();
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  m_bCaptured = FALSE;
}

void CTKMenuButton::OnLButtonDown(UINT, CPoint) {
  ::SetFocus(m_hWnd);
  OnShowMenu();
}

void CTKMenuButton::OnLButtonUp(UINT flags, CPoint point) {
  if (m_bMenuIsActive && m_bPushed) {
    // The press opened the menu: its release must not click the button.
    m_bHighlighted = FALSE;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    return;
  }
  CTKButton::OnLButtonUp(flags, point);
}

void CTKMenuButton::OnKillFocus(CWnd* newWnd) {
  if (m_bMenuIsActive && m_bPushed) {
    m_bHighlighted = FALSE;
    m_bPushed = FALSE;
    m_bCaptured = FALSE;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    CButton::OnKillFocus(newWnd);
    return;
  }
  CTKButton::OnKillFocus(newWnd);
}
