#include "app/skin/PopupListBox.h"

BEGIN_MESSAGE_MAP(CPopupListBox, CListBox)
  ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

CPopupListBox::CPopupListBox()
    : m_hFramePen(::CreatePen(PS_SOLID, 1, RGB(255, 255, 255))),
      m_hBackBrush(::CreateSolidBrush(RGB(255, 255, 255))),
      m_hSelectionBrush(::CreateSolidBrush(kSelectionColor)) {}

CPopupListBox::~CPopupListBox() {
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(m_hBoldFont), static_cast<HGDIOBJ>(m_hFramePen),
                         static_cast<HGDIOBJ>(m_hBackBrush), static_cast<HGDIOBJ>(m_hSelectionBrush)})
    if (object) ::DeleteObject(object);
}

BOOL CPopupListBox::Create(CWnd* parent, UINT id) {
  constexpr DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED |
                          LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
  if (!CWnd::Create("LISTBOX", "", style, RECT{0, 0, 200, 200}, parent, id)) return FALSE;
  SetItemHeight(0, kLineHeight);
  return TRUE;
}

int CPopupListBox::AddLine(const char* text) {
  const int count = GetCount();
  int at = 0;
  while (at < count && ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, GetText(at), -1, text, -1) !=
                           CSTR_GREATER_THAN)
    ++at;
  const LRESULT index = at < count
                            ? ::SendMessageA(m_hWnd, LB_INSERTSTRING, at, reinterpret_cast<LPARAM>(text))
                            : ::SendMessageA(m_hWnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  if (index < 0) return static_cast<int>(index);
  m_lines.insert(m_lines.begin() + index, Line{0, RGB(0, 0, 0), RGB(0, 0, 0)});
  return static_cast<int>(index);
}

int CPopupListBox::AddHeader(const char* text, COLORREF color) {
  const LRESULT index = ::SendMessageA(m_hWnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  if (index < 0) return static_cast<int>(index);
  m_lines.insert(m_lines.begin() + index, Line{1, color, color});
  return static_cast<int>(index);
}

void CPopupListBox::SetLineColors(int index, COLORREF text, COLORREF selectedText) {
  if (index < 0 || index >= static_cast<int>(m_lines.size())) return;
  m_lines[index].text = text;
  m_lines[index].selectedText = selectedText;
  Redraw();
}

BOOL CPopupListBox::IsHeader(int index) const {
  return index >= 0 && index < static_cast<int>(m_lines.size()) && m_lines[index].header;
}

void CPopupListBox::Redraw() {
  if (m_hWnd) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CPopupListBox::SetFrameColor(COLORREF color) {
  ::DeleteObject(m_hFramePen);
  ::DeleteObject(m_hBackBrush);
  m_hFramePen = ::CreatePen(PS_SOLID, 1, color);
  m_hBackBrush = ::CreateSolidBrush(color);
  Redraw();
}

void CPopupListBox::SetSelectionColor(COLORREF color) {
  ::DeleteObject(m_hSelectionBrush);
  m_hSelectionBrush = ::CreateSolidBrush(color);
  Redraw();
}

void CPopupListBox::SetLineFont(HFONT font) {
  if (m_hFont || !font) return;
  m_hFont = font;
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  LOGFONTA bold{};
  ::GetObjectA(font, sizeof(bold), &bold);
  bold.lfWeight = FW_BOLD;
  m_hBoldFont = ::CreateFontIndirectA(&bold);
  HDC dc = ::GetDC(m_hWnd);
  HGDIOBJ old = ::SelectObject(dc, font);
  TEXTMETRICA metrics{};
  ::GetTextMetricsA(dc, &metrics);
  ::SelectObject(dc, old);
  ::ReleaseDC(m_hWnd, dc);
  SetItemHeight(0, static_cast<UINT>(metrics.tmHeight));
}

void CPopupListBox::RemoveAll() {
  ResetContent();
  m_lines.clear();
}

void CPopupListBox::DrawItem(const DRAWITEMSTRUCT* item) {
  const int index = static_cast<int>(item->itemID);
  if (index < 0 || index >= static_cast<int>(m_lines.size())) return;
  const Line& line = m_lines[index];
  const bool selected = !line.header && (item->itemState & ODS_SELECTED);
  HDC dc = item->hDC;
  const int saved = ::SaveDC(dc);
  ::SelectObject(dc, m_hFramePen);
  ::SelectObject(dc, selected ? m_hSelectionBrush : m_hBackBrush);
  RECT box = item->rcItem;
  ::InflateRect(&box, 1, 1);
  ::Rectangle(dc, box.left, box.top, box.right, box.bottom);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, selected ? line.selectedText : line.text);
  const CString text = GetText(index);
  RECT area{item->rcItem.left + 4, item->rcItem.top, item->rcItem.right - 5, item->rcItem.bottom};
  if (!line.header) {
    ::SelectObject(dc, m_hFont ? m_hFont : ::GetStockObject(DEFAULT_GUI_FONT));
    ::DrawTextA(dc, text, -1, &area, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  } else {
    ::SelectObject(dc, m_hBoldFont ? m_hBoldFont : ::GetStockObject(DEFAULT_GUI_FONT));
    RECT measured = area;
    ::DrawTextA(dc, text, -1, &measured, DT_SINGLELINE | DT_VCENTER | DT_CALCRECT);
    ::DrawTextA(dc, text, -1, &area, DT_SINGLELINE | DT_VCENTER);
    // The rule runs from just after the header's text to the list's right edge.
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    HPEN rule = ::CreatePen(PS_SOLID, 1, line.text);
    ::SelectObject(dc, rule);
    const int y = (item->rcItem.top + item->rcItem.bottom) / 2;
    ::MoveToEx(dc, measured.right + 2, y, nullptr);
    ::LineTo(dc, client.right - 2, y);
    ::RestoreDC(dc, saved);
    ::DeleteObject(rule);
    return;
  }
  ::RestoreDC(dc, saved);
}

void CPopupListBox::OnKillFocus(CWnd*) {
  Default();
  HWND host = ::GetParent(m_hWnd);
  if (host && ::IsWindowVisible(host)) ::ShowWindow(host, SW_HIDE);
}
