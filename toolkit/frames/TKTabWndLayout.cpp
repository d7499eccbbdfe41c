// The tab window's layout: the tabs strip, the area of the hosted windows, each tab's
// rectangle and the tooltip rectangles that follow them.
#include "toolkit/frames/TKTabWnd.h"

#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/MenuImages.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <utility>
#include "platform/afx/linux_headers_end.h"

namespace {
constexpr int kTextMargin = 4;
constexpr int kImageMargin = 4;
// The strip between the tabs and the shared scroll bar that the user drags.
constexpr int kSplitterWidth = 5;

GlobalData& GD() { return GlobalData::Get(); }
}  // namespace

BOOL CTKTabWnd::TabsHidden() const {
  int visible = GetVisibleTabsNum();
  return (m_hideSingle && visible == 1) || (m_hideNone && visible == 0);
}

void CTKTabWnd::RecalcLayout() {
  if (!m_hWnd) return;
  CRect client;
  GetClientRect(&client);
  const int height = TabsHidden() ? 0 : m_tabsHeight;
  m_tabsRect = client;
  m_tabsRect.DeflateRect(2, 0);
  const bool bottom = m_locationBottom;
  if (!IsFlatStyle()) {
    if (bottom)
      m_tabsRect.top = client.bottom - height;
    else
      m_tabsRect.bottom = client.top + height;
  } else {
    const int inset = m_borderSize - 1;
    if (bottom) {
      m_tabsRect.bottom = client.bottom - inset;
      m_tabsRect.top = m_tabsRect.bottom - height;
    } else {
      m_tabsRect.top = client.top + inset;
      m_tabsRect.bottom = m_tabsRect.top + height;
    }
  }
  if (height == 0 || m_tabsRect.Width() <= 0 || m_tabsRect.top < client.top ||
      m_tabsRect.bottom > client.bottom)
    m_tabsRect.SetRectEmpty();

  m_wndRect = client;
  const CRect tabsStrip = m_tabsRect;
  if (height > 0 && !m_tabsRect.IsRectEmpty()) {
    if (bottom)
      m_wndRect.bottom = m_tabsRect.top;
    else
      m_wndRect.top = m_tabsRect.bottom;
  }
  m_wndRect.DeflateRect(m_borderSize + 1, m_borderSize + 1);
  LayoutButtons(tabsStrip);
  LayoutScrollBar();
  if (m_wndRect.Width() < 0) m_wndRect.right = m_wndRect.left;
  if (m_wndRect.Height() < 0) m_wndRect.bottom = m_wndRect.top;

  if (m_autoSize) {
    for (int i = 0; i < m_tabCount; ++i) {
      CTKTabInfo* tab = m_tabs[i];
      if (tab->m_visible && tab->m_wnd && ::IsWindow(tab->m_wnd->m_hWnd))
        ::SetWindowPos(tab->m_wnd->m_hWnd, nullptr, m_wndRect.left, m_wndRect.top, m_wndRect.Width(),
                       m_wndRect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  LayoutTabs();
  ClampScroll();
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CTKTabWnd::LayoutButtons(const CRect& strip) {
  if (m_buttons.empty()) return;
  const int size = std::min(strip.Height() - 4, MenuImages::kGlyphSize + 6);
  if (strip.IsRectEmpty() || size <= 0) {
    for (HWND button : m_buttons) ::ShowWindow(button, SW_HIDE);
    return;
  }
  // The list mode has no use for the left button: the right one opens the list.
  auto hidden = [this](HWND button) {
    return (button == m_btnClose.m_hWnd && !m_closeButton) || (button == m_btnLeft.m_hWnd && m_tabsListMenu);
  };
  int shown = 0;
  for (HWND button : m_buttons)
    if (!hidden(button)) ++shown;
  const int y = strip.top + (strip.Height() - size) / 2;
  // Flat tabs have their buttons on the left; 3D ones on the right, except that slanted
  // tabs keep the left button before the strip.
  int x = IsFlatStyle() ? strip.left : strip.right - shown * size;
  if (IsFlatStyle())
    m_tabsRect.left = strip.left + shown * size;
  else
    m_tabsRect.right = x;
  if (m_style == kStyleSlanted && !m_tabsListMenu) {
    // The left button before the strip; the rest end the strip.
    x += size;
    m_tabsRect.left = strip.left + size;
    m_tabsRect.right = x;
  }
  for (HWND button : m_buttons) {
    if (hidden(button)) {
      ::ShowWindow(button, SW_HIDE);
      continue;
    }
    int at = x;
    if (m_style == kStyleSlanted && button == m_btnLeft.m_hWnd)
      at = strip.left;
    else
      x += size;
    ::SetWindowPos(button, nullptr, at, y, size, size, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
  if (m_tabsRect.right < m_tabsRect.left) m_tabsRect.right = m_tabsRect.left;
}

int CTKTabWnd::DefaultScrollBarWidth(int clientWidth) const {
  const int rest = clientWidth - 2 * (m_borderSize + ::GetSystemMetrics(SM_CXVSCROLL) * 2);
  const int half = rest / 2;
  if (half > 2 * ::GetSystemMetrics(SM_CXHSCROLL)) return half;
  return rest > 0 ? rest : 0;
}

void CTKTabWnd::LayoutScrollBar() {
  m_splitterRect.SetRectEmpty();
  if (!m_scrollBar) return;
  m_scrollRight = m_tabsRect.right;
  // The tabs keep at least their buttons and a few pixels.
  const int width = std::min(m_scrollBarWidth, m_tabsRect.Width() - kSplitterWidth - 5);
  if (m_tabsRect.IsRectEmpty() || width <= 0) {
    ::ShowWindow(m_scrollBar, SW_HIDE);
    return;
  }
  const int height = std::min<int>(::GetSystemMetrics(SM_CYHSCROLL), m_tabsRect.Height());
  const int top = m_tabsRect.top + (m_tabsRect.Height() - height) / 2;
  m_splitterRect.SetRect(m_scrollRight - width - kSplitterWidth, m_tabsRect.top, m_scrollRight - width,
                         m_tabsRect.bottom);
  m_tabsRect.right = m_splitterRect.left;
  ::SetWindowPos(m_scrollBar, nullptr, m_scrollRight - width, top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CTKTabWnd::ClampScroll() {
  if (!m_scrollButtons) return;
  m_maxOffset =
      m_tabsRect.IsRectEmpty() || m_tabsListMenu ? 0 : std::max(0, m_totalWidth - m_tabsRect.Width());
  // Slanted tabs scroll by whole tabs, which may take the strip past the plain maximum.
  const int clamped = HasSlantedTabs() ? std::max(0, m_offset) : std::max(0, std::min(m_offset, m_maxOffset));
  if (clamped != m_offset) {
    m_offset = clamped;
    LayoutTabs();
  }
  if (IsFlatStyle()) return;
  // A scroll button that cannot move the tabs further is disabled, which also stops its
  // repeating while it is held down.
  bool left = m_offset > 0, right = m_offset < m_maxOffset;
  if (HasSlantedTabs()) {
    // While the last tab ends past the strip and is not the first shown already.
    int last = -1;
    for (int i = 0; i < m_tabCount; ++i)
      if (m_tabs[i]->m_visible) last = i;
    left = m_firstShownTab > 0;
    right = last >= 0 && m_tabs[last]->m_rect.right > m_tabsRect.right && m_firstShownTab < last;
  }
  const std::pair<CTKTabButton*, bool> states[] = {{&m_btnLeft, left},
                                                   {&m_btnRight, m_tabsListMenu || right}};
  for (const auto& [button, enabled] : states) {
    if (!button->m_hWnd || (::IsWindowEnabled(button->m_hWnd) != FALSE) == enabled) continue;
    ::EnableWindow(button->m_hWnd, enabled);
    if (!enabled) ::SendMessageA(button->m_hWnd, WM_CANCELMODE, 0, 0);
  }
}

void CTKTabWnd::LayoutTabs() {
  m_totalWidth = 0;
  const int visible = GetVisibleTabsNum();
  const int height = m_tabsRect.Height();
  if (visible == 0 || TabsHidden() || height <= 0) {
    for (int i = 0; i < m_tabCount; ++i) m_tabs[i]->m_rect.SetRectEmpty();
    return;
  }
  HDC dc = ::GetDC(m_hWnd);
  HGDIOBJ oldFont = ::SelectObject(dc, IsFlatStyle() ? (HFONT)m_flatBoldFont : (HFONT)GD().regularFont);
  const int imageWidth = m_imageList ? m_imageSize.cx : 0;
  int overlap = 0, extra = 0;
  if (m_style == kStyleSlanted) {
    extra = height + 2 * 4;
    overlap = height - 4 - 1;
  } else if (m_style == kStyleHalfSlanted) {
    extra = height / 2 + 2 * 4 + 1;
    overlap = height - 4 - 1;
  }
  int x = m_tabsRect.left - m_offset;
  bool first = true;
  for (int i = 0; i < m_tabCount; ++i) {
    CTKTabInfo* tab = m_tabs[i];
    int width = 0;
    if (tab->m_visible) {
      SIZE text{0, 0};
      if (!tab->m_iconOnly && !tab->m_label.IsEmpty())
        ::GetTextExtentPoint32A(dc, tab->m_label, tab->m_label.GetLength(), &text);
      width = text.cx + 2 * kTextMargin + kImageMargin + (HasImage(i) ? imageWidth : 0) + extra;
    }
    tab->m_fullWidth = width;
    tab->m_rect.SetRect(x, m_tabsRect.top, x + width, m_tabsRect.top + height - 2);
    if (!m_locationBottom) tab->m_rect.OffsetRect(0, 2);
    if (!tab->m_visible) {
      tab->m_rect.SetRectEmpty();
      continue;
    }
    if (m_tabsListMenu && tab->m_rect.right > m_tabsRect.right) {
      // What does not fit is left out, except an active first tab, cut at the edge
      // while enough of it remains.
      if (i == m_activeTab && first && m_tabsRect.right - tab->m_rect.left >= overlap + 8)
        tab->m_rect.right = m_tabsRect.right;
      else
        tab->m_rect.SetRectEmpty();
    }
    // After a tab left out, the rest are out too, so the strip keeps its order.
    x = tab->m_rect.IsRectEmpty() ? m_tabsRect.right + 1 : tab->m_rect.right - overlap + 1;
    m_totalWidth += width + 1 - (first ? 0 : overlap);
    first = false;
    if (IsFlatStyle() && !tab->m_rect.IsRectEmpty()) tab->m_rect.right += height / 2;  // the slanted edge
  }
  ::SelectObject(dc, oldFont);
  ::ReleaseDC(m_hWnd, dc);

  const int area = m_tabsRect.Width();
  if (!IsFlatStyle() && !m_scrollButtons && m_totalWidth > area) {
    // Too wide: the tabs share the strip; narrow ones keep their width and give what
    // they leave below the average to the wide ones.
    const int average = area / visible;
    int leftover = 0, wider = 0;
    for (int i = 0; i < m_tabCount; ++i) {
      if (!m_tabs[i]->m_visible) continue;
      if (m_tabs[i]->m_fullWidth < average - 1)
        leftover += average - 1 - m_tabs[i]->m_fullWidth;
      else
        ++wider;
    }
    const int widest = average - 1 + (wider ? leftover / wider : 0);
    x = m_tabsRect.left;
    for (int i = 0; i < m_tabCount; ++i) {
      CTKTabInfo* tab = m_tabs[i];
      if (!tab->m_visible) continue;
      int width = tab->m_fullWidth < widest ? tab->m_fullWidth : widest;
      if (width < imageWidth + 8) width = (area + 2 * m_borderSize) / visible;
      tab->m_rect.left = x;
      tab->m_rect.right = x + width;
      x = tab->m_rect.right - overlap + 1;
    }
  } else {
    m_totalWidth += height / 2;
  }
  if (m_toolTip) {
    // A tab shown whole needs no tip unless it always wants one.
    for (int i = 0; i < m_tabCount; ++i) {
      CTKTabInfo* tab = m_tabs[i];
      TTTOOLINFOA tool{};
      tool.cbSize = sizeof(tool);
      tool.hwnd = m_hWnd;
      tool.uId = tab->m_id;
      const bool whole = tab->m_rect.Width() >= tab->m_fullWidth && !tab->m_alwaysTooltip;
      if (whole)
        ::SetRectEmpty(&tool.rect);
      else
        tool.rect = tab->m_rect;
      ::SendMessageA(m_toolTip, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
  }
}

void CTKTabWnd::SetToolText(CTKTabInfo* tab) {
  if (!m_toolTip) return;
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = m_hWnd;
  tool.uId = tab->m_id;
  tool.lpszText = const_cast<char*>(static_cast<const char*>(tab->m_label));
  ::SendMessageA(m_toolTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void CTKTabWnd::OnSize(UINT, int cx, int) {
  if (m_sharedScroll) m_scrollBarWidth = DefaultScrollBarWidth(cx);
  if (HasSlantedTabs()) {
    // From the first tab again, then as far as the active one needs.
    m_offset = 0;
    m_firstShownTab = 0;
  }
  RecalcLayout();
  if (HasSlantedTabs()) EnsureVisible(m_activeTab);
}
