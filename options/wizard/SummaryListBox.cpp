#include "options/wizard/SummaryListBox.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

constexpr int kTabStops = 100;
constexpr int kTabMultiplier = 8;
constexpr int kDropOnFull = 20;

BYTE DecodeByte(const std::string& text, size_t at) {
  return static_cast<BYTE>(((text[at] - 1) & 0x0F) | (((text[at + 1] - 1) & 0x0F) << 4));
}

}  // namespace

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

int CSummaryListBox::GetCount() const { return static_cast<int>(::SendMessageA(m_hWnd, LB_GETCOUNT, 0, 0)); }

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
  LRESULT index = ::SendMessageA(m_hWnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(whole.c_str()));
  if (index == LB_ERRSPACE) {
    const int count = GetCount();
    if (count < 2) return;
    ::SendMessageA(m_hWnd, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < (count < kDropOnFull ? count - 1 : kDropOnFull); ++i)
      ::SendMessageA(m_hWnd, LB_DELETESTRING, 0, 0);
    index = ::SendMessageA(m_hWnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(whole.c_str()));
    ::SendMessageA(m_hWnd, WM_SETREDRAW, TRUE, 0);
  }
  if (index >= 0) {
    ::SendMessageA(m_hWnd, LB_SETTOPINDEX, index, 0);
    ::SendMessageA(m_hWnd, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  }
}

std::string CSummaryListBox::GetLineText(int index) const {
  const LRESULT length = ::SendMessageA(m_hWnd, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return "";
  std::vector<char> text(static_cast<size_t>(length) + 1, 0);
  ::SendMessageA(m_hWnd, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  return text.data();
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
  ::SendMessageA(m_hWnd, LB_RESETCONTENT, 0, 0);
  m_nWidest = 0;
  ::SendMessageA(m_hWnd, LB_SETHORIZONTALEXTENT, 0, 0);
}

void CSummaryListBox::DrawItem(const DRAWITEMSTRUCT* item) {
  if (static_cast<int>(item->itemID) < 0) return;
  HDC dc = item->hDC;
  SIZE measure{};
  ::GetTextExtentPoint32A(dc, "c", 1, &measure);
  int stops[kTabStops];
  for (int i = 0; i < kTabStops; ++i) stops[i] = measure.cx * kTabMultiplier * (i + 1);
  if (item->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) {
    const std::string line = GetLineText(static_cast<int>(item->itemID));
    COLORREF text = RGB(0, 0, 0), background = RGB(255, 255, 255);
    if (line.size() >= kPrefixLength) {
      text = RGB(DecodeByte(line, 0), DecodeByte(line, 2), DecodeByte(line, 4));
      background = RGB(DecodeByte(line, 6), DecodeByte(line, 8), DecodeByte(line, 10));
    }
    const std::string visible = line.size() > kPrefixLength ? line.substr(kPrefixLength) : "";
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    ::SetTextColor(dc, selected ? ::GetSysColor(COLOR_HIGHLIGHTTEXT) : text);
    ::SetBkColor(dc, selected ? ::GetSysColor(COLOR_HIGHLIGHT) : background);
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &item->rcItem, nullptr, 0, nullptr);
    const LONG extent =
        ::TabbedTextOutA(dc, item->rcItem.left, item->rcItem.top, visible.c_str(),
                         static_cast<int>(visible.size()), kTabStops, stops, item->rcItem.left);
    const int width = LOWORD(extent) + ::GetSystemMetrics(SM_CXVSCROLL);
    if (width > m_nWidest) {
      m_nWidest = width;
      ::SendMessageA(m_hWnd, LB_SETHORIZONTALEXTENT, m_nWidest + m_nWidest / 32, 0);
    }
  }
  if ((item->itemState & ODS_FOCUS) || item->itemAction == ODA_FOCUS) ::DrawFocusRect(dc, &item->rcItem);
}
