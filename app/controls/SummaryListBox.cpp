#include "app/controls/SummaryListBox.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstring>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

constexpr int kDropOnFull = 20;

BYTE DecodeByte(const std::string& text, size_t at) {
  return static_cast<BYTE>(((text[at] - 1) & 0x0F) | (((text[at + 1] - 1) & 0x0F) << 4));
}

}  // namespace

BEGIN_MESSAGE_MAP(CSummaryListBox, CListBox)
  ON_MESSAGE(WM_CONTEXTMENU, OnContextMenu)
END_MESSAGE_MAP()

CSummaryListBox::CSummaryListBox()
    : m_selectedBackground(::GetSysColor(COLOR_HIGHLIGHT)),
      m_selectedText(::GetSysColor(COLOR_HIGHLIGHTTEXT)),
      m_windowBackground(::GetSysColor(COLOR_WINDOW)),
      m_windowText(::GetSysColor(COLOR_WINDOWTEXT)) {
  for (int i = 0; i < kTabStops; ++i) m_tabStops[i] = m_nCharWidth * m_nTabMultiplier * (i + 1);
}

std::string CSummaryListBox::EncodePrefix(COLORREF text, COLORREF background, BYTE flag) {
  const BYTE bytes[7] = {GetRValue(text),
                         GetGValue(text),
                         GetBValue(text),
                         GetRValue(background),
                         GetGValue(background),
                         GetBValue(background),
                         flag};
  std::string prefix;
  for (BYTE b : bytes) {
    prefix += static_cast<char>((b & 0x0F) + 1);
    prefix += static_cast<char>((b >> 4) + 1);
  }
  return prefix;
}

void CSummaryListBox::AddLine(COLORREF text, COLORREF background, BYTE flag, const char* line) {
  if (!m_bColorCoding) {
    text = RGB(0, 0, 0);
    background = RGB(255, 255, 255);
    flag = 255;
  }
  std::string visible = line ? line : "";
  for (char& c : visible)
    if (c == '\t') c = ' ';
  const std::string whole = EncodePrefix(text, background, flag) + visible;
  int index = AddString(whole.c_str());
  if (index == LB_ERRSPACE) {
    const int count = GetCount();
    if (count < 2) return;
    SendMessage(WM_SETREDRAW, FALSE);
    for (int i = 0; i < (count < kDropOnFull ? count - 1 : kDropOnFull); ++i) DeleteString(0);
    index = AddString(whole.c_str());
    SendMessage(WM_SETREDRAW, TRUE);
  }
  if (index >= 0) {
    SetTopIndex(index);
    SetCurSel(-1);
  }
}

std::string CSummaryListBox::GetLineText(int index) const {
  if (GetTextLen(index) == LB_ERR) return "";
  return std::string(GetText(index));
}

std::string CSummaryListBox::GetVisibleText(int index) const {
  const std::string line = GetLineText(index);
  return line.size() > kPrefixLength ? line.substr(kPrefixLength) : "";
}

int CSummaryListBox::GetLineFlags(int index) const {
  if (index < 0 || index >= GetCount()) return -1;
  const std::string line = GetLineText(index);
  if (line.size() < kPrefixLength) return 255;
  return DecodeByte(line, 12);
}

void CSummaryListBox::Clear() {
  ResetContent();
  m_nWidest = 0;
  SetHorizontalExtent(0);
}

void CSummaryListBox::MeasureTabs(HDC dc, const char* measuring) {
  SIZE size{};
  ::GetTextExtentPoint32A(dc, " ", 1, &size);
  m_nBlankWidth = size.cx;
  ::GetTextExtentPoint32A(dc, measuring, 1, &size);
  m_nCharWidth = size.cx;
  for (int i = 0; i < kTabStops; ++i) m_tabStops[i] = m_nCharWidth * m_nTabMultiplier * (i + 1);
}

void CSummaryListBox::SetFont(HFONT font, BOOL redraw) {
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
  HDC dc = ::GetDC(m_hWnd);
  HGDIOBJ old = ::SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(SYSTEM_FONT));
  TEXTMETRICA metrics{};
  ::GetTextMetricsA(dc, &metrics);
  SetItemHeight(0, static_cast<UINT>(metrics.tmHeight));
  MeasureTabs(dc, "9");
  ::SelectObject(dc, old);
  ::ReleaseDC(m_hWnd, dc);
  m_nWidest = 0;
}

void CSummaryListBox::DrawItem(const DRAWITEMSTRUCT* item) {
  if (static_cast<int>(item->itemID) < 0) return;
  HDC dc = item->hDC;
  MeasureTabs(dc, "c");
  if (item->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) {
    std::string line = GetLineText(static_cast<int>(item->itemID));
    COLORREF text = m_windowText, background = m_windowBackground;
    if (line.size() >= kPrefixLength) {
      text = RGB(DecodeByte(line, 0), DecodeByte(line, 2), DecodeByte(line, 4));
      background = RGB(DecodeByte(line, 6), DecodeByte(line, 8), DecodeByte(line, 10));
    }
    const std::string visible = line.size() > kPrefixLength ? line.substr(kPrefixLength) : "";
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    ::SetTextColor(dc, selected ? m_selectedText : text);
    ::SetBkColor(dc, selected ? m_selectedBackground : background);
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &item->rcItem, nullptr, 0, nullptr);
    const LONG extent =
        ::TabbedTextOutA(dc, item->rcItem.left, item->rcItem.top, visible.c_str(),
                         static_cast<int>(visible.size()), kTabStops, m_tabStops, item->rcItem.left);
    const int width = LOWORD(extent) + ::GetSystemMetrics(SM_CXVSCROLL);
    if (width > m_nWidest) {
      m_nWidest = width;
      SetHorizontalExtent(m_nWidest + m_nWidest / 32);
    }
  }
  if ((item->itemState & ODS_FOCUS) || item->itemAction == ODA_FOCUS) ::DrawFocusRect(dc, &item->rcItem);
}

std::string CSummaryListBox::GetSelectedText() const {
  std::string gathered;
  const int count = GetCount();
  for (int i = 0; i < count; ++i) {
    if (GetSel(i) <= 0) continue;
    std::string text = GetVisibleText(i);
    const size_t first = text.find_first_not_of("\r\n");
    const size_t last = text.find_last_not_of("\r\n");
    text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    if (text.find('\n') == std::string::npos) text += '\n';
    for (char& c : text)
      if (c == '\t') c = ' ';
    gathered += text;
  }
  return gathered;
}

BOOL CSummaryListBox::OnCommand(WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case ID_EDIT_SELECT_ALL:
      if (GetCount() > 0) SelItemRange(TRUE, 0, GetCount() - 1);
      return TRUE;
    case ID_EDIT_CLEAR:
      Clear();
      return TRUE;
    case ID_EDIT_COPY: {
      // The gathered lines go to the clipboard as text.
      const std::string text = GetSelectedText();
      if (text.empty() || !::OpenClipboard(m_hWnd)) return TRUE;
      ::EmptyClipboard();
      HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
      if (memory) {
        std::memcpy(::GlobalLock(memory), text.c_str(), text.size() + 1);
        ::GlobalUnlock(memory);
        if (!::SetClipboardData(CF_TEXT, memory)) ::GlobalFree(memory);
      }
      ::CloseClipboard();
      return TRUE;
    }
    default:
      return CListBox::OnCommand(wParam, lParam);
  }
}

LRESULT CSummaryListBox::OnContextMenu(WPARAM, LPARAM) {
  if (m_nMenuId == -1) return Default();
  HMENU menu = ::LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nMenuId));
  if (!menu) return 0;
  if (HMENU popup = ::GetSubMenu(menu, 0)) {
    POINT at;
    ::GetCursorPos(&at);
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, m_hWnd, nullptr);
  }
  ::DestroyMenu(menu);
  return 0;
}
