#include "app/skin/PopupComboButton.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <vector>
#include "platform/afx/linux_headers_end.h"

// ---------------------------------------------------------------------------------
// The popup host and its list.

BEGIN_MESSAGE_MAP(CPopupListHost, CWnd)
  ON_WM_SIZE()
  ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

BOOL CPopupListHost::Create(CPopupComboButton* owner) {
  m_pOwner = owner;
  const char* cls = AfxRegisterWndClass(CS_SAVEBITS);
  if (!CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, cls, "", WS_POPUP | WS_BORDER, 0, 0, 200, 200,
                owner->m_hWnd, nullptr))
    return FALSE;
  m_hList = ::CreateWindowExA(
      0, "LISTBOX", "",
      WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_SORT | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT, 0,
      0, 200, 200, m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kListId)), AfxGetInstanceHandle(),
      nullptr);
  if (!m_hList) return FALSE;
  ::SendMessageA(m_hList, LB_SETITEMHEIGHT, 0, 16);
  return TRUE;
}

void CPopupListHost::OnSize(UINT, int cx, int cy) {
  if (m_hList) ::MoveWindow(m_hList, 0, 0, cx, cy, TRUE);
}

void CPopupListHost::OnShowWindow(BOOL show, UINT) {
  Default();
  if (!m_pOwner) return;
  if (show) m_nSaved = static_cast<int>(::SendMessageA(m_hList, LB_GETCURSEL, 0, 0));
  ::SendMessageA(m_pOwner->m_hWnd, CPopupComboButton::kShown, show ? 1 : 0, 0);
  if (!show) m_pOwner->Invalidate(FALSE);
}

BOOL CPopupListHost::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) != kListId || HIWORD(wParam) != LBN_SELCHANGE) return CWnd::OnCommand(wParam, lParam);
  POINT cursor;
  ::GetCursorPos(&cursor);
  RECT window;
  ::GetWindowRect(m_hWnd, &window);
  const bool inside = ::PtInRect(&window, cursor);
  ::ShowWindow(m_hWnd, SW_HIDE);
  if (!inside) {
    ::SendMessageA(m_hList, LB_SETCURSEL, static_cast<WPARAM>(m_nSaved), 0);
    return TRUE;
  }
  const LRESULT chosen = ::SendMessageA(m_hList, LB_GETCURSEL, 0, 0);
  if (chosen >= 0)
    ::SendMessageA(m_pOwner->m_hWnd, CPopupComboButton::kChosen, static_cast<WPARAM>(chosen), 0);
  return TRUE;
}

// ---------------------------------------------------------------------------------
// The button.

BEGIN_MESSAGE_MAP(CPopupComboButton, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_RBUTTONDOWN()
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
                                          COLORREF text, HFONT font, COLORREF frame) {
  if (!parent) return FALSE;
  HWND placeholder = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
  if (!placeholder) return FALSE;
  RECT rect;
  ::GetWindowRect(placeholder, &rect);
  ::MapWindowPoints(nullptr, parent->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
  char caption[256] = "";
  ::GetWindowTextA(placeholder, caption, sizeof(caption));
  ::DestroyWindow(placeholder);
  return Create(caption, rect, parent, id, background, hotBackground, text, font, frame);
}

BOOL CPopupComboButton::Create(const char* text, const RECT& rect, CWnd* parent, UINT id, COLORREF background,
                               COLORREF hotBackground, COLORREF textColor, HFONT font, COLORREF frame) {
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
  ::SendMessageA(m_host.List(), WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), FALSE);
  ::SendMessageA(m_host.List(), LB_SETITEMHEIGHT, 0, 16);
  return TRUE;
}

int CPopupComboButton::AddLine(const char* text) {
  return static_cast<int>(::SendMessageA(m_host.List(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}
void CPopupComboButton::RemoveAll() { ::SendMessageA(m_host.List(), LB_RESETCONTENT, 0, 0); }
int CPopupComboButton::GetCount() const {
  return static_cast<int>(::SendMessageA(m_host.List(), LB_GETCOUNT, 0, 0));
}

CString CPopupComboButton::GetLineText(int index) const {
  const LRESULT length = ::SendMessageA(m_host.List(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR) return CString();
  std::vector<char> text(static_cast<size_t>(length) + 1);
  ::SendMessageA(m_host.List(), LB_GETTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
  return CString(text.data());
}

int CPopupComboButton::SelectLine(const char* text) {
  const LRESULT index = ::SendMessageA(m_host.List(), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(text));
  if (index == LB_ERR) return -1;
  ::SendMessageA(m_host.List(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  if (m_bShowChoice) SetWindowText(text);
  return static_cast<int>(index);
}

BOOL CPopupComboButton::IsDropped() const { return m_host.m_hWnd && ::IsWindowVisible(m_host.m_hWnd); }

void CPopupComboButton::ShowDropDown() {
  const int lineHeight = static_cast<int>(::SendMessageA(m_host.List(), LB_GETITEMHEIGHT, 0, 0));
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
  ::SetFocus(m_host.List());
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

void CPopupComboButton::OnMouseMove(UINT, CPoint point) {
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  const bool inside = ::PtInRect(&client, point);
  if (inside && !m_bHot && !IsDropped()) {
    m_bHot = TRUE;
    Invalidate(FALSE);
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, 0};
    ::TrackMouseEvent(&track);
    // The frame's status-bar prompt for the selector.
    if (CWnd* main = AfxGetMainWnd()) ::SendMessageA(main->m_hWnd, 0x362, m_nId, 0);
  } else if (!inside && m_bHot) {
    m_bHot = FALSE;
    Invalidate(FALSE);
  }
}

void CPopupComboButton::OnLButtonDown(UINT, CPoint) {
  m_bHot = FALSE;
  if (IsDropped()) {
    HideDropDown();
  } else if (!m_bJustClosed) {
    ShowDropDown();
    m_bJustClosed = TRUE;
  } else {
    m_bJustClosed = FALSE;
  }
  Invalidate(FALSE);
}

void CPopupComboButton::OnRButtonDown(UINT, CPoint) { m_bJustClosed = FALSE; }

void CPopupComboButton::OnLButtonDblClk(UINT flags, CPoint point) {
  m_bJustClosed = FALSE;
  PostMessage(WM_LBUTTONDOWN, flags, MAKELPARAM(point.x, point.y));
}

LRESULT CPopupComboButton::OnChosen(WPARAM index, LPARAM) {
  const CString text = GetLineText(static_cast<int>(index));
  if (m_bShowChoice) SetWindowText(text);
  ::PostMessageA(m_hParent, kChosen, m_nId, static_cast<LPARAM>(index));
  ::SendMessageA(m_host.List(), LB_SETCURSEL, index, 0);
  m_bJustClosed = FALSE;
  return 1;
}

LRESULT CPopupComboButton::OnShown(WPARAM shown, LPARAM lParam) {
  m_bJustClosed = shown != 0;
  ::SendMessageA(m_hParent, kShown, shown, lParam);
  return 0;
}
