#include "app/skin/PopupComboButton.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include "platform/afx/linux_headers_end.h"

// ---------------------------------------------------------------------------------
// The popup host: it lays out, paints and listens to its list.

BEGIN_MESSAGE_MAP(CPopupListHost, CWnd)
  ON_WM_SIZE()
  ON_WM_SHOWWINDOW()
  ON_MESSAGE(WM_DRAWITEM, OnDrawItem)
  ON_MESSAGE(WM_MEASUREITEM, OnMeasureItem)
  ON_MESSAGE(WM_CTLCOLORLISTBOX, OnCtlColorListBox)
END_MESSAGE_MAP()

BOOL CPopupListHost::Create(CPopupComboButton* owner) {
  m_pOwner = owner;
  const char* cls = AfxRegisterWndClass(CS_SAVEBITS);
  if (!CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, cls, "", WS_POPUP | WS_BORDER, 0, 0, 200, 200,
                owner->m_hWnd, nullptr))
    return FALSE;
  return m_list.Create(this, kListId);
}

void CPopupListHost::OnSize(UINT, int cx, int cy) {
  if (m_list.m_hWnd) ::MoveWindow(m_list.m_hWnd, 0, 0, cx, cy, TRUE);
}

LRESULT CPopupListHost::OnDrawItem(WPARAM, LPARAM item) {
  const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(item);
  if (draw->CtlID != kListId) return FALSE;
  m_list.DrawItem(draw);
  return TRUE;
}

LRESULT CPopupListHost::OnMeasureItem(WPARAM, LPARAM item) {
  reinterpret_cast<MEASUREITEMSTRUCT*>(item)->itemHeight = CPopupListBox::kLineHeight;
  return TRUE;
}

LRESULT CPopupListHost::OnCtlColorListBox(WPARAM, LPARAM) {
  return reinterpret_cast<LRESULT>(m_list.BackgroundBrush());
}

void CPopupListHost::OnShowWindow(BOOL show, UINT) {
  Default();
  if (!m_pOwner) return;
  if (show) m_list.SaveSelection();
  // Posted: a press on the button that took the focus from the list (and so closed
  // it) is handled before the button hears of the closing, and does not reopen it.
  ::PostMessageA(m_pOwner->m_hWnd, CPopupComboButton::kShown, show ? 1 : 0, 0);
  if (!show) m_pOwner->Invalidate(FALSE);
}

BOOL CPopupListHost::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) != kListId || HIWORD(wParam) != LBN_SELCHANGE) return CWnd::OnCommand(wParam, lParam);
  const int selected = m_list.GetCurSel();
  if (m_list.IsHeader(selected)) return TRUE;
  // Where the pointer was when the line was let go (or the key pressed), not where it
  // has gone since.
  const DWORD at = ::GetMessagePos();
  const POINT cursor{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
  RECT window;
  ::GetWindowRect(m_hWnd, &window);
  const bool inside = ::PtInRect(&window, cursor);
  ::ShowWindow(m_hWnd, SW_HIDE);
  if (!inside) {
    m_list.RestoreSelection();
    return TRUE;
  }
  if (selected >= 0)
    ::SendMessageA(m_pOwner->m_hWnd, CPopupComboButton::kChosen, static_cast<WPARAM>(selected), 0);
  return TRUE;
}

// ---------------------------------------------------------------------------------
// The button.

BEGIN_MESSAGE_MAP(CPopupComboButton, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_MOUSEMOVE()
  ON_WM_MOUSELEAVE()
  ON_WM_CAPTURECHANGED()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_RBUTTONDOWN()
  ON_WM_SETFOCUS()
  ON_WM_ENABLE()
  ON_MESSAGE(CPopupComboButton::kChosen, OnChosen)
  ON_MESSAGE(CPopupComboButton::kShown, OnShown)
  ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
  ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

CPopupComboButton::CPopupComboButton() = default;

CPopupComboButton::~CPopupComboButton() {
  if (m_host.m_hWnd) ::DestroyWindow(m_host.m_hWnd);
  FreeBrushes();
  if (m_bOwnFont && m_hFont) ::DeleteObject(m_hFont);
}

void CPopupComboButton::FreeBrushes() {
  for (HGDIOBJ* o : {reinterpret_cast<HGDIOBJ*>(&m_hFramePen), reinterpret_cast<HGDIOBJ*>(&m_hBackBrush),
                     reinterpret_cast<HGDIOBJ*>(&m_hHotBrush), reinterpret_cast<HGDIOBJ*>(&m_hArrowBrush),
                     reinterpret_cast<HGDIOBJ*>(&m_hArrowPen)}) {
    if (*o) ::DeleteObject(*o);
    *o = nullptr;
  }
}

void CPopupComboButton::MakeBrushes(COLORREF background, COLORREF hotBackground, COLORREF text,
                                    COLORREF frame) {
  FreeBrushes();
  if (background != CLR_INVALID) {
    m_hBackBrush = ::CreateSolidBrush(background);
    m_hHotBrush = ::CreateSolidBrush(hotBackground != CLR_INVALID ? hotBackground : background);
  } else {
    m_hBackBrush = ::CreateSolidBrush(RGB(221, 217, 205));
    m_hHotBrush = ::CreateSolidBrush(RGB(233, 229, 217));
  }
  m_hFramePen = ::CreatePen(PS_SOLID, 1, frame);
  m_clrText = (text == static_cast<COLORREF>(-1) || text == static_cast<COLORREF>(-2)) ? 0 : text;
  m_hArrowBrush = ::CreateSolidBrush(m_clrText);
  m_hArrowPen = ::CreatePen(PS_SOLID, 1, m_clrText);
}

void CPopupComboButton::SetColors(COLORREF background, COLORREF hotBackground, COLORREF text,
                                  COLORREF frame) {
  MakeBrushes(background, hotBackground, text, frame);
  if (m_hWnd) Invalidate(FALSE);
}

BOOL CPopupComboButton::CreateFromControl(CWnd* parent, UINT id, COLORREF background, COLORREF hotBackground,
                                          COLORREF text, HFONT font, COLORREF listFrame, COLORREF frame) {
  if (!parent) return FALSE;
  HWND placeholder = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
  if (!placeholder) return FALSE;
  RECT rect;
  ::GetWindowRect(placeholder, &rect);
  ::MapWindowPoints(nullptr, parent->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
  char caption[256] = "";
  ::GetWindowTextA(placeholder, caption, sizeof(caption));
  ::DestroyWindow(placeholder);
  return Create(caption, rect, parent, id, background, hotBackground, text, font, listFrame, frame);
}

BOOL CPopupComboButton::Create(const char* text, const RECT& rect, CWnd* parent, UINT id, COLORREF background,
                               COLORREF hotBackground, COLORREF textColor, HFONT font, COLORREF listFrame,
                               COLORREF frame) {
  MakeBrushes(background, hotBackground, textColor, frame);
  if (font) {
    m_hFont = font;
  } else {
    m_hFont = ::CreateFontA(15, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
    m_bOwnFont = TRUE;
  }
  if (!CWnd::Create("BUTTON", text, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rect, parent, id)) return FALSE;
  m_nId = id;
  m_hParent = parent->m_hWnd;
  if (!m_host.Create(this)) return FALSE;
  m_host.List().SetLineFont(m_hFont);
  m_host.List().SetFrameColor(listFrame);
  return TRUE;
}

int CPopupComboButton::AddLine(const char* text) { return m_host.List().AddLine(text); }
int CPopupComboButton::AddHeader(const char* text, COLORREF color) {
  return m_host.List().AddHeader(text, color);
}
void CPopupComboButton::RemoveAll() { m_host.List().RemoveAll(); }
int CPopupComboButton::GetCount() const { return m_host.List().GetCount(); }
CString CPopupComboButton::GetLineText(int index) const { return m_host.List().GetText(index); }

int CPopupComboButton::SelectLine(const char* text) {
  CPopupListBox& list = m_host.List();
  for (int i = 0; i < list.GetCount(); ++i) {
    if (list.IsHeader(i) || ::lstrcmpiA(list.GetText(i), text) != 0) continue;
    list.SetCurSel(i);
    if (m_bShowChoice) SetWindowText(list.GetText(i));
    return i;
  }
  return -1;
}

BOOL CPopupComboButton::IsDropped() const { return m_host.m_hWnd && ::IsWindowVisible(m_host.m_hWnd); }

void CPopupComboButton::ShowDropDown() {
  CPopupListBox& list = m_host.List();
  const int lineHeight = static_cast<int>(::SendMessageA(list.m_hWnd, LB_GETITEMHEIGHT, 0, 0));
  const int height = std::min(GetCount() * lineHeight, m_nMaxListHeight);
  RECT button;
  ::GetWindowRect(m_hWnd, &button);
  m_dropRect = RECT{button.left, button.top - height - 1, button.right, button.top - 1};
  // The list's client area gets the height; the host's border comes around it.
  RECT frame = m_dropRect;
  ::InflateRect(&frame, 1, 1);
  frame.bottom -= 1;
  frame.top -= 1;
  ::SetWindowPos(m_host.m_hWnd, HWND_TOPMOST, frame.left, frame.top, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOACTIVATE);
  // Shown with ShowWindow, so that the host hears of it (WM_SHOWWINDOW).
  ::ShowWindow(m_host.m_hWnd, SW_SHOWNOACTIVATE);
  // With the focus the list closes itself when the user turns to anything else.
  list.SetFocus();
}

void CPopupComboButton::HideDropDown() {
  if (IsDropped()) ::ShowWindow(m_host.m_hWnd, SW_HIDE);
}

void CPopupComboButton::Paint(HDC dc) {
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  HGDIOBJ oldPen = ::SelectObject(dc, m_hFramePen);
  HGDIOBJ oldBrush = ::SelectObject(dc, m_bHot ? m_hHotBrush : m_hBackBrush);
  ::Rectangle(dc, client.left, client.top, client.right, client.bottom);
  HGDIOBJ oldFont = ::SelectObject(dc, m_hFont);
  SIZE m{8, 12};
  ::GetTextExtentPoint32A(dc, "M", 1, &m);
  const int s = m.cx;
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::IsWindowEnabled(m_hWnd) ? m_clrText : ::GetSysColor(COLOR_GRAYTEXT));
  const int x = client.right - s - 5;
  const int y = m.cy / 3 + (client.bottom - m.cy) / 2;
  POINT arrow[3] = {{x + s / 2, y}, {x + s - 1, y + s / 2}, {x, y + s / 2}};
  ::SelectObject(dc, m_hArrowBrush);
  ::SelectObject(dc, m_hArrowPen);
  ::Polygon(dc, arrow, 3);
  char text[256] = "";
  ::GetWindowTextA(m_hWnd, text, sizeof(text));
  RECT textRect{5, 0, client.right - s - 10, client.bottom};
  ::DrawTextA(dc, text, -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  ::SelectObject(dc, oldFont);
  ::SelectObject(dc, oldBrush);
  ::SelectObject(dc, oldPen);
}

void CPopupComboButton::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_hWnd, &ps);
  Paint(dc);
  ::EndPaint(m_hWnd, &ps);
}

LRESULT CPopupComboButton::OnPrintClient(WPARAM dc, LPARAM) {
  Paint(reinterpret_cast<HDC>(dc));
  return 0;
}

LRESULT CPopupComboButton::OnSetText(WPARAM, LPARAM) {
  const LRESULT result = Default();
  Invalidate(FALSE);
  return result;
}

void CPopupComboButton::SetHot(BOOL hot) {
  if (m_bHot == hot) return;
  m_bHot = hot;
  Invalidate(FALSE);
}

void CPopupComboButton::OnMouseMove(UINT, CPoint point) {
  // While the list is closed the button holds the pointer from the first move over
  // it, so that it hears the pointer leave; while it is open, a held pointer that
  // leaves both the button and the list closes the list.
  if (!m_bHot && !IsDropped() && ::GetCapture() != m_hWnd) ::SetCapture(m_hWnd);
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  if (!::PtInRect(&client, point)) {
    if (IsDropped()) {
      POINT screen = point;
      ::ClientToScreen(m_hWnd, &screen);
      RECT popup;
      ::GetWindowRect(m_host.m_hWnd, &popup);
      if (!::PtInRect(&popup, screen)) HideDropDown();
    } else {
      EndHot();
      if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    }
  } else if (!m_bHot && !IsDropped()) {
    SetHot(TRUE);
    // A pointer that leaves for a window of another program sends no move here.
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, 0};
    ::TrackMouseEvent(&track);
    // The frame's status-bar prompt for the selector.
    if (CWnd* main = AfxGetMainWnd()) ::SendMessageA(main->m_hWnd, 0x362, m_nId, 0);
  }
}

void CPopupComboButton::OnMouseLeave() {
  // A late word of an earlier leave while the pointer is back over the button changes
  // nothing.
  POINT cursor;
  ::GetCursorPos(&cursor);
  if (::WindowFromPoint(cursor) == m_hWnd) return;
  EndHot();
  if (!IsDropped() && ::GetCapture() == m_hWnd && ::GetKeyState(VK_LBUTTON) >= 0) ::ReleaseCapture();
}

void CPopupComboButton::OnCaptureChanged(CWnd*) {
  // Whoever takes the pointer away also takes the hot look, unless the pointer is still
  // over the button: then its leaving is heard through the leave tracking.
  POINT cursor;
  ::GetCursorPos(&cursor);
  if (::WindowFromPoint(cursor) != m_hWnd) EndHot();
}

void CPopupComboButton::EndHot() {
  if (!m_bHot) return;
  SetHot(FALSE);
  TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE | TME_CANCEL, m_hWnd, 0};
  ::TrackMouseEvent(&track);
}

void CPopupComboButton::OnLButtonDown(UINT, CPoint point) {
  EndHot();
  if (IsDropped()) {
    POINT screen = point;
    ::ClientToScreen(m_hWnd, &screen);
    if (::PtInRect(&m_dropRect, screen)) {
      // The press belongs to the list: let the pointer go so that the list gets it.
      ::ReleaseCapture();
      return;
    }
  }
  // The button takes the focus (which closes an open list) and holds the pointer until
  // the press ends; only then is the list opened, so that it keeps the focus.
  Default();
  if (IsDropped()) {
    HideDropDown();
  } else if (!m_bJustClosed) {
    ShowDropDown();
    m_bJustClosed = TRUE;
    // The list took the pointer with the focus; while the press lasts the button holds
    // it again, so that dragging off the button and the list closes the list.
    if (::GetKeyState(VK_LBUTTON) < 0) ::SetCapture(m_hWnd);
  } else {
    m_bJustClosed = FALSE;
  }
  Invalidate(FALSE);
}

void CPopupComboButton::OnLButtonUp(UINT, CPoint point) {
  Default();
  // The press is over: the open list gets the pointer, and so does any window the
  // pointer was let go over.
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  if (::GetCapture() == m_hWnd && (IsDropped() || !::PtInRect(&client, point))) ::ReleaseCapture();
}

void CPopupComboButton::OnRButtonDown(UINT, CPoint) {
  m_bJustClosed = FALSE;
  Default();
}

void CPopupComboButton::OnLButtonDblClk(UINT flags, CPoint point) {
  // A double click acts as a second press, at once: the press that took the focus from
  // the list (and so closed it) must not open it again.
  OnLButtonDown(flags, point);
}

void CPopupComboButton::OnSetFocus(CWnd*) {
  Default();
  if (IsDropped()) m_host.List().SetFocus();
}

void CPopupComboButton::OnEnable(BOOL enable) {
  // A disabled selector chooses nothing: an open list goes.
  if (!enable) HideDropDown();
  Invalidate(FALSE);
}

LRESULT CPopupComboButton::OnChosen(WPARAM index, LPARAM) {
  const CString text = GetLineText(static_cast<int>(index));
  if (m_bShowChoice) SetWindowText(text);
  ::PostMessageA(m_hParent, kChosen, m_nId, static_cast<LPARAM>(index));
  m_host.List().SetCurSel(static_cast<int>(index));
  m_bJustClosed = FALSE;
  return 1;
}

LRESULT CPopupComboButton::OnShown(WPARAM shown, LPARAM lParam) {
  m_bJustClosed = shown != 0;
  ::SendMessageA(m_hParent, kShown, shown, lParam);
  return 0;
}
