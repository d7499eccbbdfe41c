#include "toolkit/frames/TKTabWnd.h"

#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/InPlaceEdit.h"
#include "toolkit/frames/MenuImages.h"
#include "toolkit/frames/TKVisualManager.h"
#include "toolkit/bars/TKContextMenuManager.h"
#include "toolkit/frames/TabWndText.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include "platform/afx/linux_headers_end.h"

UINT TKM_ONCHANGE_ACTIVE_TAB = 0;
UINT TKM_ON_HSCROLL = 0;
UINT TKM_ON_RENAME_TAB = 0;
UINT TKM_ON_BEFOREMOVE_TAB = 0;
UINT TKM_ON_MOVE_TAB = 0;

void RegisterTabMessages() {
  if (TKM_ONCHANGE_ACTIVE_TAB) return;
  TKM_ONCHANGE_ACTIVE_TAB = ::RegisterWindowMessageA("TKM_ONCHANGE_ACTIVE_TAB");
  TKM_ON_HSCROLL = ::RegisterWindowMessageA("TKM_ON_HSCROLL");
  TKM_ON_RENAME_TAB = ::RegisterWindowMessageA("TKM_ON_RENAME_TAB");
  TKM_ON_BEFOREMOVE_TAB = ::RegisterWindowMessageA("TKM_ON_BEFOREMOVE_TAB");
  TKM_ON_MOVE_TAB = ::RegisterWindowMessageA("TKM_ON_MOVE_TAB");
}

namespace {
GlobalData& GD() { return GlobalData::Get(); }

// Control ids of the buttons beside the tabs; clicks are told apart by window handle,
// so a hosted window with the same id cannot pass for one.
constexpr UINT kButtonIds[] = {101, 102, 103, 104, 105};
// What one click of a scroll button moves the tabs, in pixels.
constexpr int kScrollStep = 20;
// Held down, a scroll button repeats this often (ms).
constexpr int kScrollRepeat = 50;
// A tab dragged past the left or right end of the strip scrolls it every 250 ms.
constexpr UINT_PTR kDragScrollLeftTimer = 1;
constexpr UINT_PTR kDragScrollRightTimer = 2;
constexpr UINT kDragScrollPeriod = 250;
// Posted to itself to open the tab list after the right button's click.
constexpr UINT kShowListMessage = WM_USER + 0x7E1;
constexpr UINT kScrollBarId = 106;
}  // namespace

void CTKTabButton::FillBackground(CDC* dc, const CRect& rect) {
  CTKVisualManager::GetInstance()->PaintTabFrame(dc, rect, m_pTabWnd);
}

void CTKTabButton::DrawBorder(CDC* dc, CRect& rect, UINT) {
  CTKVisualManager::GetInstance()->PaintTabButtonBorder(dc, rect, nullptr,
                                                        m_bPushed && m_bHighlighted ? 1u : 0u);
}

CTKTabInfo::CTKTabInfo(const char* label, UINT image, CWnd* wnd, UINT id)
    : m_label(label ? label : ""), m_image(image), m_wnd(wnd), m_id(id) {
  m_rect.SetRectEmpty();
  char className[32] = "";
  if (wnd && wnd->m_hWnd) ::GetClassNameA(wnd->m_hWnd, className, sizeof(className));
  m_isListView = ::lstrcmpA(className, "SysListView32") == 0;
}

BEGIN_MESSAGE_MAP(CTKTabWnd, CTKTabWndBase)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_SIZE()
  ON_WM_SYSCOLORCHANGE()
  ON_WM_SETTINGCHANGE()
  ON_WM_CANCELMODE()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_TIMER()
  ON_MESSAGE(kShowListMessage, OnShowList)
  ON_MESSAGE(WM_HSCROLL, OnSharedHScroll)
  ON_MESSAGE(WM_NOTIFY, OnNotifyMessage)
  ON_WM_SETCURSOR()
END_MESSAGE_MAP()

CTKTabWnd::CTKTabWnd() { RegisterTabMessages(); }

CTKTabWnd::~CTKTabWnd() {
  if (m_hWnd && FromHandlePermanent(m_hWnd) == this) DestroyWindow();
  if (m_ownImages) ::ImageList_Destroy(m_ownImages);
  for (int i = 0; i < m_tabs.GetSize(); ++i) delete m_tabs[i];
  m_tabs.RemoveAll();
}

BOOL CTKTabWnd::Create(int style, const RECT& rect, CWnd* parent, UINT id, int location, BOOL closeButton) {
  m_style = style == STYLE_FLAT || style == STYLE_FLAT_SHARED_HORZ_SCROLL ? kStyleFlat
            : style == STYLE_3D_SLANTED                                   ? kStyleSlanted
            : style == STYLE_3D_HALF_SLANTED                              ? kStyleHalfSlanted
            : style == STYLE_3D_SCROLLED                                  ? kStyle3DScrolled
                                                                          : kStyle3D;
  m_scrollButtons = style == STYLE_FLAT || style == STYLE_FLAT_SHARED_HORZ_SCROLL ||
                    style == STYLE_3D_SCROLLED || style == STYLE_3D_SLANTED;
  m_sharedScroll = style == STYLE_FLAT_SHARED_HORZ_SCROLL;
  m_highlightTabs = style == STYLE_3D_SLANTED;
  m_closeButton = closeButton;
  m_locationBottom = location == LOCATION_BOTTOM;
  m_activeTab = -1;
  const char* cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW));
  return CWnd::Create(cls, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect, parent, id);
}

int CTKTabWnd::OnCreate(LPCREATESTRUCT) {
  if (!IsFlatStyle() && !m_scrollButtons) {
    // Tips for labels the strip cuts off.
    m_toolTip = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    if (m_toolTip) {
      ::SendMessageA(m_toolTip, TTM_ACTIVATE, TRUE, 0);
      ::SendMessageA(m_toolTip, TTM_SETMAXTIPWIDTH, 0, ::GetSystemMetrics(SM_CXSCREEN) / 2);
      ::SetWindowPos(m_toolTip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
  if (m_scrollButtons) {
    // Flat tabs get first and last too; along the strip they run first, left, right,
    // last, then close.
    struct Made {
      CTKTabButton* button;
      TabButton which;
      int glyph, disabledGlyph;
      const char* tip;
    };
    std::vector<Made> made;
    if (IsFlatStyle()) made.push_back({&m_btnFirst, BUTTON_FIRST, MenuImages::kToFirstBlue, 0, nullptr});
    made.push_back({&m_btnLeft, BUTTON_LEFT, MenuImages::kArrowLeftBlue, MenuImages::kArrowLeftDisabled,
                    tab_wnd_text::kScrollLeft});
    made.push_back({&m_btnRight, BUTTON_RIGHT, MenuImages::kArrowRightBlue,
                    MenuImages::kArrowRightBlueDisabled, tab_wnd_text::kScrollRight});
    if (IsFlatStyle()) made.push_back({&m_btnLast, BUTTON_LAST, MenuImages::kToLastBlue, 0, nullptr});
    made.push_back(
        {&m_btnClose, BUTTON_CLOSE, MenuImages::kClose, MenuImages::kCloseDisabled, tab_wnd_text::kClose});
    for (const Made& m : made) {
      m.button->m_pTabWnd = this;
      if (!m.button->Create("", WS_CHILD | BS_PUSHBUTTON, CRect(0, 0, 0, 0), this, kButtonIds[m.which]))
        return -1;
      m.button->m_bDrawFocus = FALSE;
      m.button->SetStdImage(m.glyph, m.disabledGlyph);
      if ((m.which == BUTTON_LEFT || m.which == BUTTON_RIGHT) && !HasSlantedTabs())
        m.button->SetAutoRepeatMode(kScrollRepeat);
      if (!IsFlatStyle() && m.tip) m.button->SetTipText(m.tip);
      m_buttons.push_back(m.button->m_hWnd);
    }
  }
  if (m_sharedScroll) {
    m_scrollBar = ::CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_HORZ, 0, 0, 0, 0, m_hWnd,
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kScrollBarId)),
                                    ::GetModuleHandleA(nullptr), nullptr);
    if (!m_scrollBar) return -1;
    ::EnableScrollBar(m_scrollBar, SB_CTL, ESB_DISABLE_BOTH);
  }
  InitAutoColors();
  SetTabsHeight();
  return 0;
}

HWND CTKTabWnd::GetTabButton(TabButton which) const {
  const CTKTabButton* buttons[] = {&m_btnLeft, &m_btnRight, &m_btnFirst, &m_btnLast, &m_btnClose};
  return buttons[which]->m_hWnd;
}

BOOL CTKTabWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  HWND from = reinterpret_cast<HWND>(lParam);
  if (!from || std::find(m_buttons.begin(), m_buttons.end(), from) == m_buttons.end())
    return CTKTabWndBase::OnCommand(wParam, lParam);
  if (from == m_btnLeft.m_hWnd && HasSlantedTabs()) {
    if (m_firstShownTab > 0) ShowFromTab(m_firstShownTab - 1);
  } else if (from == m_btnLeft.m_hWnd)
    ScrollTabsTo(m_offset - kScrollStep);
  else if (from == m_btnRight.m_hWnd && HasSlantedTabs() && !m_tabsListMenu) {
    if (::IsWindowEnabled(m_btnRight.m_hWnd)) ShowFromTab(m_firstShownTab + 1);
  } else if (from == m_btnRight.m_hWnd && m_tabsListMenu) {
    // The button is still in its click; the list opens once that is over, so that it
    // has the mouse to itself.
    ::PostMessageA(m_hWnd, kShowListMessage, 0, 0);
  } else if (from == m_btnRight.m_hWnd)
    ScrollTabsTo(m_offset + kScrollStep);
  else if (from == m_btnFirst.m_hWnd)
    ScrollTabsTo(0);
  else if (from == m_btnLast.m_hWnd)
    ScrollTabsTo(m_maxOffset);
  else if (from == m_btnClose.m_hWnd) {
    if (CWnd* active = GetActiveWnd(); active && ::IsWindow(active->m_hWnd))
      ::SendMessageA(active->m_hWnd, WM_CLOSE, 0, 0);
  }
  return TRUE;
}

void CTKTabWnd::ShowFromTab(int tab) {
  if (tab < 0 || tab >= m_tabCount) return;
  // The strip moves by the widths of the tabs before it, less their overlaps, so the
  // tab starts exactly at the left of the area.
  const int overlap = m_tabsRect.Height() - 4 - 1;
  int offset = 0;
  for (int i = 0; i < tab; ++i)
    if (m_tabs[i]->m_visible) offset += m_tabs[i]->m_fullWidth - overlap + 1;
  m_firstShownTab = tab;
  ScrollTabsTo(offset);
  ClampScroll();
}

void CTKTabWnd::ScrollTabsTo(int offset) {
  if (!m_scrollButtons) return;
  const int before = m_offset;
  m_offset = offset;
  ClampScroll();
  if (m_offset == before) return;
  LayoutTabs();
  ClampScroll();
  ::InvalidateRect(m_hWnd, &m_tabsRect, TRUE);
}

void CTKTabWnd::OnDestroy() {
  CloseRenameEdit();
  if (m_toolTip) ::DestroyWindow(m_toolTip);
  m_toolTip = nullptr;
  for (int i = 0; i < m_tabs.GetSize(); ++i) {
    CTKTabInfo* tab = m_tabs[i];
    if (m_destroyHosted && tab->m_wnd && ::IsWindow(tab->m_wnd->m_hWnd)) tab->m_wnd->DestroyWindow();
    delete tab;
  }
  m_tabs.RemoveAll();
  m_tabCount = 0;
  m_activeTab = -1;
  CTKTabWndBase::OnDestroy();
}

void CTKTabWnd::OnSysColorChange() {
  InitAutoColors();
  Invalidate();
  CTKTabWndBase::OnSysColorChange();
}

void CTKTabWnd::OnSettingChange(UINT flags, LPCSTR section) {
  SetTabsHeight();
  RecalcLayout();
  CTKTabWndBase::OnSettingChange(flags, section);
}

void CTKTabWnd::SetTabsHeight() {
  if (!IsFlatStyle()) {
    int imageHeight = m_imageList ? m_imageSize.cy + 7 : 0;
    m_tabsHeight = imageHeight > GD().textHeight + 5 ? imageHeight : GD().textHeight + 5;
    return;
  }
  m_tabsHeight = ::GetSystemMetrics(SM_CYHSCROLL) + 2;
  // The flat fonts: the GUI font in Arial, made smaller until its text fits the strip.
  LOGFONTA log{};
  ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(log), &log);
  ::lstrcpyA(log.lfFaceName, "Arial");
  HDC screen = ::GetDC(nullptr);
  for (;;) {
    m_flatFont.DeleteObject();
    m_flatFont.CreateFontIndirect(&log);
    HGDIOBJ old = ::SelectObject(screen, m_flatFont);
    TEXTMETRICA tm{};
    ::GetTextMetricsA(screen, &tm);
    ::SelectObject(screen, old);
    if (tm.tmHeight + 2 <= m_tabsHeight || log.lfHeight == 0) break;
    log.lfHeight += log.lfHeight < 0 ? 1 : -1;
  }
  ::ReleaseDC(nullptr, screen);
  log.lfWeight = 700;
  m_flatBoldFont.DeleteObject();
  m_flatBoldFont.CreateFontIndirect(&log);
}

void CTKTabWnd::InitAutoColors() {
  if (!m_defaultAutoColors) return;
  m_autoColors.RemoveAll();
  HDC screen = ::GetDC(nullptr);
  int bits = ::GetDeviceCaps(screen, BITSPIXEL);
  ::ReleaseDC(nullptr, screen);
  if (bits > 8) {
    const COLORREF colors[] = {RGB(148, 175, 230), RGB(255, 219, 117), RGB(189, 205, 159),
                               RGB(240, 158, 159), RGB(186, 166, 225), RGB(154, 191, 180),
                               RGB(247, 182, 131), RGB(213, 164, 187)};
    for (COLORREF c : colors) m_autoColors.Add(c);
  } else {
    const COLORREF colors[] = {RGB(0, 255, 0), RGB(0, 255, 255), RGB(255, 0, 255), RGB(192, 192, 192),
                               RGB(255, 255, 0)};
    for (COLORREF c : colors) m_autoColors.Add(c);
  }
}

void CTKTabWnd::EnableAutoColor(BOOL enable) {
  m_useAutoColors = enable;
  if (m_hWnd) Invalidate();
}

void CTKTabWnd::SetAutoColors(const COLORREF* colors, int count) {
  m_autoColors.RemoveAll();
  for (int i = 0; i < count; ++i) m_autoColors.Add(colors[i]);
  m_defaultAutoColors = count == 0;
  if (m_defaultAutoColors) InitAutoColors();
  if (m_hWnd) Invalidate();
}

void CTKTabWnd::HideSingleTab(BOOL hide) {
  m_hideSingle = hide;
  if (m_hWnd) RecalcLayout();
}

void CTKTabWnd::HideNoTabs(BOOL hide) {
  m_hideNone = hide;
  if (m_hWnd) RecalcLayout();
}

// ---- tabs -----------------------------------------------------------------------------

void CTKTabWnd::InsertTab(CWnd* wnd, const char* label, int insertAt, UINT image) {
  if (IsFlatStyle()) image = (UINT)-1;
  if (insertAt < 0 || insertAt > m_tabCount) insertAt = m_tabCount;
  CWnd* activeWnd = GetActiveWnd();
  auto* tab = new CTKTabInfo(label, image, wnd, m_nextId);
  m_tabs.InsertAt(insertAt, tab);
  ++m_tabCount;
  if (m_toolTip) {
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = 0;
    tool.hwnd = m_hWnd;
    tool.uId = tab->m_id;
    tool.lpszText = const_cast<char*>(static_cast<const char*>(tab->m_label));
    ::SendMessageA(m_toolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
  ++m_nextId;
  // An insertion before the active tab moves it along.
  if (m_activeTab >= insertAt && m_tabCount > 1) ++m_activeTab;
  RecalcLayout();
  if (m_tabCount == 1) {
    SetActiveTab(0);
    return;
  }
  if (wnd && wnd->m_hWnd) {
    if (m_hideInactive)
      wnd->ShowWindow(SW_HIDE);
    else if (activeWnd && activeWnd->m_hWnd)
      ::SetWindowPos(activeWnd->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

BOOL CTKTabWnd::RemoveTab(int index) {
  if (index < 0 || index >= m_tabCount) return FALSE;
  if (m_tabCount == 1) {
    RemoveAllTabs();
    return TRUE;
  }
  CTKTabInfo* tab = m_tabs[index];
  if (m_toolTip) {
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = m_hWnd;
    tool.uId = tab->m_id;
    ::SendMessageA(m_toolTip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
  m_tabs.RemoveAt(index);
  --m_tabCount;
  m_highlightedTab = -1;
  if (m_destroyHosted && tab->m_wnd && ::IsWindow(tab->m_wnd->m_hWnd)) tab->m_wnd->DestroyWindow();
  delete tab;
  if (HasSlantedTabs() && m_firstShownTab >= index && m_firstShownTab > 0) --m_firstShownTab;
  int next = m_activeTab;
  if (m_activeTab >= index) {
    next = m_activeTab - 1 < m_tabCount ? m_activeTab - 1 : m_tabCount;
    if (next < 0) next = 0;
    m_activeTab = -1;
  }
  RecalcLayout();
  if (m_offset == 0) m_firstShownTab = 0;
  int before = m_activeTab;
  SetActiveTab(next);
  ::SendMessageA(::GetParent(m_hWnd), TKM_ONCHANGE_ACTIVE_TAB, m_activeTab, before);
  return TRUE;
}

void CTKTabWnd::RemoveAllTabs() {
  for (int i = 0; i < m_tabs.GetSize(); ++i) {
    CTKTabInfo* tab = m_tabs[i];
    if (m_toolTip) {
      TTTOOLINFOA tool{};
      tool.cbSize = sizeof(tool);
      tool.hwnd = m_hWnd;
      tool.uId = tab->m_id;
      ::SendMessageA(m_toolTip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    if (m_destroyHosted && tab->m_wnd && ::IsWindow(tab->m_wnd->m_hWnd)) tab->m_wnd->DestroyWindow();
    delete tab;
  }
  m_tabs.RemoveAll();
  m_tabCount = 0;
  m_activeTab = -1;
  m_nextId = 1;
  m_highlightedTab = -1;
  m_offset = 0;
  m_firstShownTab = 0;
  RecalcLayout();
}

BOOL CTKTabWnd::SetActiveTab(int index) {
  if (index < 0 || index >= m_tabCount || index >= m_tabs.GetSize()) return FALSE;
  if (index == m_activeTab) return TRUE;
  CTKTabInfo* tab = m_tabs[index];
  if (!tab->m_wnd || !::IsWindow(tab->m_wnd->m_hWnd)) return FALSE;
  const BOOL hadActive = m_activeTab >= 0;
  if (CWnd* old = GetActiveWnd(); old && m_hideInactive && ::IsWindow(old->m_hWnd)) old->ShowWindow(SW_HIDE);
  m_activeTab = index;
  HWND hwnd = tab->m_wnd->m_hWnd;
  ::ShowWindow(hwnd, SW_SHOW);
  if (!m_hideInactive) ::SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (m_autoSize) {
    // One pixel wider first, so the window lays itself out again even at the same size.
    ::SetWindowPos(hwnd, nullptr, m_wndRect.left, m_wndRect.top, m_wndRect.Width() + 1, m_wndRect.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(hwnd, nullptr, 0, 0, m_wndRect.Width(), m_wndRect.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  }
  if (m_scrollBar && (::GetWindowLongA(hwnd, GWL_STYLE) & WS_HSCROLL)) {
    // The shared bar scrolls this window from now on; its own bar goes.
    ::SetWindowLongA(hwnd, GWL_STYLE, ::GetWindowLongA(hwnd, GWL_STYLE) & ~WS_HSCROLL);
    ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  EnsureVisible(index);
  SynchronizeScrollBar();
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  if (hadActive) ::SetFocus(hwnd);
  return TRUE;
}

BOOL CTKTabWnd::StartRenameTab(int tab) {
  if (!m_renameAllowed || tab < 0 || tab >= m_tabCount || m_tabs[tab]->m_iconOnly || m_renameEdit)
    return FALSE;
  EnsureVisible(tab);
  CRect r = m_tabs[tab]->m_rect;
  r.DeflateRect(m_tabsRect.Height() / 2, 1);
  m_renameEdit =
      ::CreateWindowExA(0, "EDIT", m_tabs[tab]->m_label, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, r.left,
                        r.top, r.Width(), r.Height(), m_hWnd, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  if (!m_renameEdit) return FALSE;
  m_renamedTab = tab;
  ::SendMessageA(m_renameEdit, WM_SETFONT, reinterpret_cast<WPARAM>((HFONT)GD().regularFont), FALSE);
  ::SendMessageA(m_renameEdit, EM_SETSEL, 0, -1);
  ::SetFocus(m_renameEdit);
  ::SetCapture(m_renameEdit);
  return TRUE;
}

BOOL CTKTabWnd::RenameTab() {
  if (!m_renameEdit || m_renamedTab < 0 || m_renamedTab >= m_tabCount) return FALSE;
  int length = ::GetWindowTextLengthA(m_renameEdit);
  CString text;
  char* buffer = text.GetBuffer(length + 1);
  ::GetWindowTextA(m_renameEdit, buffer, length + 1);
  text.ReleaseBuffer();
  if (text.IsEmpty() || !OnRenameTab(m_renamedTab, text)) return FALSE;
  if (::SendMessageA(::GetParent(m_hWnd), TKM_ON_RENAME_TAB, m_renamedTab,
                     reinterpret_cast<LPARAM>(static_cast<const char*>(text))) == 0)
    SetTabLabel(m_renamedTab, text);
  return TRUE;
}

void CTKTabWnd::CloseRenameEdit() {
  if (!m_renameEdit) return;
  HWND edit = m_renameEdit;
  m_renameEdit = nullptr;
  m_renamedTab = -1;
  if (::GetCapture() == edit) ::ReleaseCapture();
  ::DestroyWindow(edit);
}

BOOL CTKTabWnd::RenameKeyOrMouse(MSG* msg) {
  if (msg->message == WM_KEYDOWN) {
    if (msg->wParam == VK_ESCAPE) {
      CloseRenameEdit();
      return TRUE;
    }
    if (msg->wParam == VK_RETURN) {
      // A refused name keeps the edit open for another try.
      if (RenameTab())
        CloseRenameEdit();
      else
        ::MessageBeep((UINT)-1);
      return TRUE;
    }
    return FALSE;  // typing goes to the edit
  }
  // The edit holds the capture: inside it the mouse edits, a press outside commits.
  switch (RouteMouseToInPlaceEdit(m_renameEdit, msg)) {
    case InPlaceEditMouse::kHandled:
      return TRUE;
    case InPlaceEditMouse::kPressOutside:
      if (RenameTab())
        CloseRenameEdit();
      else
        ::MessageBeep((UINT)-1);
      return TRUE;
    default:
      return FALSE;
  }
}
CMap<UINT, UINT, HICON, HICON> CTKTabWnd::s_commandIcons(10);

namespace {
// A label as a menu item shows it: each single '&' doubled, a pair left as it is.
CString MenuText(const CString& label) {
  CString text;
  for (int i = 0; i < label.GetLength(); ++i) {
    const char c = label[i];
    text += c;
    if (c != '&') continue;
    if (i + 1 < label.GetLength() && label[i + 1] == '&')
      text += label[++i];
    else
      text += '&';
  }
  return text;
}

UINT TabCommand(int tab) { return static_cast<UINT>(-100 - tab); }
}  // namespace

BOOL CTKTabWnd::ShowTabsMenu(POINT screenPoint) {
  CTKContextMenuManager* manager = GetContextMenuManager();
  if (!manager) return FALSE;
  HMENU menu = ::CreatePopupMenu();
  if (!menu) return FALSE;
  // Items in the order of their labels, whatever the case.
  std::vector<int> order;
  for (int i = 0; i < m_tabCount; ++i)
    if (m_tabs[i]->m_visible) order.push_back(i);
  std::stable_sort(order.begin(), order.end(),
                   [this](int a, int b) { return m_tabs[a]->m_label.CompareNoCase(m_tabs[b]->m_label) < 0; });
  s_commandIcons.RemoveAll();
  for (int tab : order) {
    ::AppendMenuA(menu, MF_STRING, TabCommand(tab), MenuText(m_tabs[tab]->m_label));
    HWND wnd = m_tabs[tab]->m_wnd ? m_tabs[tab]->m_wnd->m_hWnd : nullptr;
    HICON icon = nullptr;
    if (wnd) {
      icon = reinterpret_cast<HICON>(::SendMessageA(wnd, WM_GETICON, ICON_SMALL, 0));
      if (!icon) icon = reinterpret_cast<HICON>(::GetClassLongPtrA(wnd, GCLP_HICONSM));
    }
    if (icon) s_commandIcons.SetAt(TabCommand(tab), icon);
  }
  const UINT chosen = manager->TrackPopupMenu(menu, screenPoint.x, screenPoint.y, this);
  ::DestroyMenu(menu);
  s_commandIcons.RemoveAll();
  // Command ids may come back cut to the 16 bits of a WM_COMMAND.
  const int code = chosen <= 0xFFFF ? static_cast<short>(chosen) : static_cast<int>(chosen);
  const int tab = -100 - code;
  if (chosen == 0 || tab < 0 || tab >= m_tabCount) return TRUE;
  const int before = m_activeTab;
  if (tab != before && SetActiveTab(tab))
    ::SendMessageA(::GetParent(m_hWnd), TKM_ONCHANGE_ACTIVE_TAB, m_activeTab, before);
  return TRUE;
}

LRESULT CTKTabWnd::OnShowList(WPARAM, LPARAM) {
  HWND button = m_btnRight.m_hWnd;
  if (!m_tabsListMenu || !button || m_listOpen) return 0;
  if (::GetCapture()) ::ReleaseCapture();
  CRect r;
  ::GetWindowRect(button, &r);
  ::SendMessageA(button, BM_SETSTATE, TRUE, 0);  // shown pressed while the list is open
  m_listOpen = TRUE;
  ShowTabsMenu(CPoint(r.left, r.bottom));
  m_listOpen = FALSE;
  if (::IsWindow(button)) ::SendMessageA(button, BM_SETSTATE, FALSE, 0);
  return 0;
}

HICON CTKTabWnd::GetCommandIcon(UINT command) {
  HICON icon = nullptr;
  if (s_commandIcons.IsEmpty() || !s_commandIcons.Lookup(command, icon)) return nullptr;
  return icon;
}

void CTKTabWnd::SetTabsListMenu(BOOL on) {
  m_tabsListMenu = on;
  // A button that opens a list does not repeat while held.
  if (m_btnRight.m_hWnd) m_btnRight.SetAutoRepeatMode(on || HasSlantedTabs() ? 0 : kScrollRepeat);
  m_offset = 0;
  if (m_hWnd) RecalcLayout();
}
void CTKTabWnd::EnsureVisible(int tab) {
  if (!m_scrollButtons || m_tabsRect.IsRectEmpty() || tab < 0 || tab >= m_tabCount) return;
  const CRect r = m_tabs[tab]->m_rect;
  if (m_tabsListMenu) {
    // Out of the strip: the tab comes to the front.
    if (r.IsRectEmpty() || r.right > m_tabsRect.right) MoveTab(tab, 0);
    return;
  }
  if (r.IsRectEmpty()) return;
  if (HasSlantedTabs()) {
    // Whole tabs: one left of the area becomes the first; for one past the right end,
    // tabs are skipped until it fits.
    if (tab < m_firstShownTab || r.left < m_tabsRect.left) {
      ShowFromTab(tab);
      return;
    }
    while (m_firstShownTab < tab && m_tabs[tab]->m_rect.right > m_tabsRect.right)
      ShowFromTab(m_firstShownTab + 1);
    return;
  }
  if (r.left < m_tabsRect.left)
    ScrollTabsTo(m_offset - (m_tabsRect.left - r.left));
  else if (r.right > m_tabsRect.right && r.Width() <= m_tabsRect.Width())
    ScrollTabsTo(m_offset + (r.right - m_tabsRect.right));
}

void CTKTabWnd::InvalidateTab(int tab) {
  if (tab < 0 || tab >= m_tabCount || !m_hWnd) return;
  ::InvalidateRect(m_hWnd, &m_tabs[tab]->m_rect, TRUE);
}

BOOL CTKTabWnd::MoveTab(int tab, int position) {
  if (tab < 0 || tab >= m_tabCount || position < 0 || position >= m_tabCount) return FALSE;
  if (tab == position) return TRUE;
  CTKTabInfo* info = m_tabs[tab];
  CTKTabInfo* active = m_activeTab >= 0 ? m_tabs[m_activeTab] : nullptr;
  m_tabs.RemoveAt(tab);
  m_tabs.InsertAt(position, info);
  for (int i = 0; i < m_tabCount; ++i)
    if (m_tabs[i] == active) m_activeTab = i;
  RecalcLayout();
  return TRUE;
}

COLORREF CTKTabWnd::GetTabBkColor(int tab) const {
  if (tab < 0 || tab >= m_tabCount) return (COLORREF)-1;
  if (m_tabs[tab]->m_bkColor != (COLORREF)-1) return m_tabs[tab]->m_bkColor;
  if (m_useAutoColors && m_autoColors.GetSize() > 0) return m_autoColors[tab % m_autoColors.GetSize()];
  return (COLORREF)-1;
}

BOOL CTKTabWnd::SetTabBkColor(int tab, COLORREF color) {
  if (tab < 0 || tab >= m_tabCount) return FALSE;
  m_tabs[tab]->m_bkColor = color;
  return TRUE;
}

COLORREF CTKTabWnd::GetTabTextColor(int tab) const {
  if (tab < 0 || tab >= m_tabCount) return (COLORREF)-1;
  return m_tabs[tab]->m_textColor;
}

BOOL CTKTabWnd::SetTabTextColor(int tab, COLORREF color) {
  if (tab < 0 || tab >= m_tabCount) return FALSE;
  m_tabs[tab]->m_textColor = color;
  return TRUE;
}

BOOL CTKTabWnd::IsColored() const {
  for (int i = 0; i < m_tabCount; ++i)
    if (m_tabs[i]->m_bkColor != (COLORREF)-1) return TRUE;
  return FALSE;
}

BOOL CTKTabWnd::HasImage(int tab) const {
  if (tab < 0 || tab >= m_tabCount) return FALSE;
  return m_tabs[tab]->m_image != (UINT)-1 && m_imageList != nullptr;
}

int CTKTabWnd::GetFirstVisibleTab() const {
  for (int i = 0; i < m_tabCount; ++i)
    if (m_tabs[i]->m_visible) return i;
  return -1;
}

void CTKTabWnd::SetLocation(int location) {
  m_locationBottom = location == LOCATION_BOTTOM;
  RecalcLayout();
  if (CWnd* parent = GetParent()) parent->Invalidate();
}

int CTKTabWnd::GetVisibleTabsNum() const {
  int count = 0;
  for (int i = 0; i < m_tabCount; ++i) count += m_tabs[i]->m_visible ? 1 : 0;
  return count;
}

BOOL CTKTabWnd::IsTabVisible(int tab) const { return tab >= 0 && tab < m_tabCount && m_tabs[tab]->m_visible; }

BOOL CTKTabWnd::ShowTab(int tab, BOOL show) {
  if (tab < 0 || tab >= m_tabCount) return FALSE;
  m_tabs[tab]->m_visible = show;
  RecalcLayout();
  return TRUE;
}

CWnd* CTKTabWnd::GetTabWnd(int tab) const {
  return tab >= 0 && tab < m_tabCount ? m_tabs[tab]->m_wnd : nullptr;
}

int CTKTabWnd::GetTabFromHwnd(HWND hwnd) const {
  for (int i = 0; i < m_tabCount; ++i)
    if (m_tabs[i]->m_wnd && m_tabs[i]->m_wnd->m_hWnd == hwnd) return i;
  return -1;
}

int CTKTabWnd::GetTabFromPoint(POINT point) const {
  if (!m_tabsRect.PtInRect(point)) return -1;
  if (HasSlantedTabs() && m_activeTab >= 0 && m_tabs[m_activeTab]->m_visible &&
      m_tabs[m_activeTab]->m_rect.PtInRect(point)) {
    // The active tab lies over its neighbours, except in its slanted left corner.
    const CRect& r = m_tabs[m_activeTab]->m_rect;
    const int h = m_tabsRect.Height();
    const int dx = point.x - r.left, dy = point.y - r.top;
    if (!(dx < h && dx * dx + dy * dy < h * h / 2)) return m_activeTab;
    for (int i = m_activeTab - 1; i >= 0; --i)
      if (m_tabs[i]->m_visible) return i;
    return m_activeTab;
  }
  for (int i = 0; i < m_tabCount; ++i)
    if (m_tabs[i]->m_visible && m_tabs[i]->m_rect.PtInRect(point)) return i;
  return -1;
}

BOOL CTKTabWnd::GetTabRect(int tab, CRect& rect) const {
  if (tab < 0 || tab >= m_tabCount || !m_tabs[tab]->m_visible) {
    rect.SetRectEmpty();
    return FALSE;
  }
  rect = m_tabs[tab]->m_rect;
  return TRUE;
}

UINT CTKTabWnd::GetTabIconIndex(int tab) const {
  return tab >= 0 && tab < m_tabCount ? m_tabs[tab]->m_image : (UINT)-1;
}
int CTKTabWnd::GetTabIcon(int tab) const { return static_cast<int>(GetTabIconIndex(tab)); }

BOOL CTKTabWnd::SetTabIcon(int tab, UINT image) {
  if (tab < 0 || tab >= m_tabCount || IsFlatStyle()) return FALSE;
  m_tabs[tab]->m_image = image;
  RecalcLayout();
  return TRUE;
}

BOOL CTKTabWnd::GetTabLabel(int tab, CString& label) const {
  if (tab < 0 || tab >= m_tabCount) return FALSE;
  label = m_tabs[tab]->m_iconOnly ? CString() : m_tabs[tab]->m_label;
  return TRUE;
}

const char* CTKTabWnd::GetTabLabel(int tab) const {
  if (tab < 0 || tab >= m_tabCount || m_tabs[tab]->m_iconOnly) return "";
  return m_tabs[tab]->m_label;
}

BOOL CTKTabWnd::SetTabLabel(int tab, const CString& label) {
  if (tab < 0 || tab >= m_tabCount || label.IsEmpty()) return FALSE;
  m_tabs[tab]->m_label = label;
  SetToolText(m_tabs[tab]);
  RecalcLayout();
  return TRUE;
}

BOOL CTKTabWnd::SetImageList(HIMAGELIST list) {
  if (IsFlatStyle()) return FALSE;
  m_outsideImages = list;
  if (!m_ownImages) {
    m_imageList = list;
    int cx = 0, cy = 0;
    if (list && ::ImageList_GetIconSize(list, &cx, &cy)) m_imageSize = {cx, cy};
  }
  SetTabsHeight();
  if (m_hWnd) RecalcLayout();
  return TRUE;
}

BOOL CTKTabWnd::LoadTabImages(UINT bitmapId, int imageWidth, COLORREF transparent) {
  if (IsFlatStyle()) return FALSE;
  HBITMAP bitmap = static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId),
                                                     IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap) {
    // The old images are gone either way.
    SetTabImages(nullptr, imageWidth, transparent);
    return FALSE;
  }
  BOOL done = SetTabImages(bitmap, imageWidth, transparent);
  ::DeleteObject(bitmap);
  return done;
}

BOOL CTKTabWnd::SetTabImages(HBITMAP bitmap, int imageWidth, COLORREF transparent) {
  if (IsFlatStyle()) return FALSE;
  if (m_ownImages) ::ImageList_Destroy(m_ownImages);
  m_ownImages = nullptr;
  m_imageList = m_outsideImages;
  BITMAP info{};
  BOOL done = FALSE;
  if (bitmap && imageWidth > 0 && ::GetObjectA(bitmap, sizeof(info), &info)) {
    UINT flags;
    switch (info.bmBitsPixel) {
      case 8:
        flags = ILC_COLOR8;
        break;
      case 16:
        flags = ILC_COLOR16;
        break;
      case 24:
        flags = ILC_COLOR24;
        break;
      case 32:
        flags = ILC_COLOR32;
        break;
      default:
        flags = ILC_COLOR4;
        break;
    }
    if (transparent != (COLORREF)-1) flags |= ILC_MASK;
    m_ownImages = ::ImageList_Create(imageWidth, info.bmHeight, flags, 0, 0);
    if (m_ownImages) {
      if (transparent != (COLORREF)-1)
        ::ImageList_AddMasked(m_ownImages, bitmap, transparent);
      else
        ::ImageList_Add(m_ownImages, bitmap, nullptr);
      m_imageList = m_ownImages;
      m_imageSize = {imageWidth, info.bmHeight};
      done = TRUE;
    }
  }
  SetTabsHeight();
  if (m_hWnd) RecalcLayout();
  return done;
}

// ---- mouse and keys -----------------------------------------------------------------------

void CTKTabWnd::OnLButtonDown(UINT, CPoint point) {
  if (m_splitterRect.PtInRect(point)) {
    m_trackSplitter = TRUE;
    ::SetCapture(m_hWnd);
    return;
  }
  int tab = GetTabFromPoint(point);
  if (tab >= 0 && tab != m_activeTab && m_tabs[tab]->m_visible && m_tabsRect.PtInRect(point)) {
    SetHighlightedTab(-1);
    int before = m_activeTab;
    if (SetActiveTab(tab)) ::SendMessageA(::GetParent(m_hWnd), TKM_ONCHANGE_ACTIVE_TAB, tab, before);
  }
  if (tab >= 0) {
    if (m_movable && m_tabsRect.PtInRect(point)) {
      m_moving = TRUE;
      m_movedTab = m_dropPosition = tab;
      ::SetCapture(m_hWnd);
    }
    return;
  }
  CRect client;
  GetClientRect(&client);
  if (tab < 0 && point.y >= client.top + m_tabsHeight) {
    POINT mapped = point;
    ::MapWindowPoints(m_hWnd, ::GetParent(m_hWnd), &mapped, 1);
    ::SendMessageA(::GetParent(m_hWnd), WM_LBUTTONDOWN, 0, MAKELPARAM(mapped.x, mapped.y));
  }
}

void CTKTabWnd::OnMouseMove(UINT flags, CPoint point) {
  if (m_trackSplitter) {
    // The bar takes what lies right of the pointer, but leaves the tabs a little room
    // and keeps room for its own two arrows.
    const int width = std::max(std::min<int>(m_scrollRight - point.x, m_scrollRight - m_tabsRect.left - 5),
                               2 * ::GetSystemMetrics(SM_CXHSCROLL));
    if (width != m_scrollBarWidth) {
      CRect old = m_splitterRect;
      m_scrollBarWidth = width;
      RecalcLayout();
      ::InvalidateRect(m_hWnd, &old, TRUE);
      ::InvalidateRect(m_hWnd, &m_splitterRect, TRUE);
    }
    return;
  }
  if (!m_moving && m_highlightTabs && !IsFlatStyle()) SetHighlightedTab(GetTabFromPoint(point));
  if (m_moving) {
    if (m_scrollButtons && point.x < m_tabsRect.left) {
      KillTimer(kDragScrollRightTimer);
      SetTimer(kDragScrollLeftTimer, kDragScrollPeriod);
    } else if (m_scrollButtons && point.x >= m_tabsRect.right) {
      KillTimer(kDragScrollLeftTimer);
      SetTimer(kDragScrollRightTimer, kDragScrollPeriod);
    } else {
      KillTimer(kDragScrollLeftTimer);
      KillTimer(kDragScrollRightTimer);
      if (m_tabsRect.PtInRect(point)) TrackDrop(point);
    }
  }
  CTKTabWndBase::OnMouseMove(flags, point);
}

void CTKTabWnd::OnTimer(UINT_PTR id) {
  if (id != kDragScrollLeftTimer && id != kDragScrollRightTimer) {
    CTKTabWndBase::OnTimer(id);
    return;
  }
  if (!m_moving) {
    KillTimer(id);
    return;
  }
  // As a click of the scroll button on that side.
  HWND button = id == kDragScrollLeftTimer ? m_btnLeft.m_hWnd : m_btnRight.m_hWnd;
  if (button)
    ::SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
}

void CTKTabWnd::TrackDrop(POINT point) {
  // Before a tab when over its left half, after it when over its right half.
  int drop = m_dropPosition;
  for (int i = 0; i < m_tabCount; ++i) {
    const CRect& r = m_tabs[i]->m_rect;
    if (!m_tabs[i]->m_visible || point.x < r.left || point.x >= r.right) continue;
    drop = point.x < (r.left + r.right) / 2 ? i : i + 1;
    break;
  }
  if (drop != m_dropPosition) {
    m_dropPosition = drop;
    ::InvalidateRect(m_hWnd, &m_tabsRect, TRUE);
  }
}

void CTKTabWnd::StopMoving() {
  if (!m_moving) return;
  m_moving = FALSE;
  KillTimer(kDragScrollLeftTimer);
  KillTimer(kDragScrollRightTimer);
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
}

void CTKTabWnd::StopSplitter() {
  if (!m_trackSplitter) return;
  m_trackSplitter = FALSE;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
}

void CTKTabWnd::OnLButtonUp(UINT, CPoint) {
  if (m_trackSplitter) {
    StopSplitter();
    return;
  }
  if (!m_moving) return;
  const int moved = m_movedTab, drop = m_dropPosition;
  StopMoving();
  // Just before or just after itself, the tab stays where it is: nothing to announce.
  if (moved < 0 || moved >= m_tabCount || drop < 0 || drop > m_tabCount || drop == moved || drop == moved + 1)
    return;
  HWND parent = ::GetParent(m_hWnd);
  if (::SendMessageA(parent, TKM_ON_BEFOREMOVE_TAB, moved, drop) != 0) return;
  // Inserted at the drop position, then taken from its old place: moving right, that
  // makes its new index one less.
  MoveTab(moved, drop > moved ? drop - 1 : drop);
  ::SendMessageA(parent, TKM_ON_MOVE_TAB, moved, drop);
  ::InvalidateRect(m_hWnd, &m_tabsRect, TRUE);
}

void CTKTabWnd::ActivateByKey(int step) {
  if (m_tabCount == 0) return;
  int index = m_activeTab < 0 ? 0 : m_activeTab;
  for (int tries = 0; tries < m_tabCount; ++tries) {
    index = (index + step + m_tabCount) % m_tabCount;
    if (!m_tabs[index]->m_visible) continue;
    int before = m_activeTab;
    if (index != before && SetActiveTab(index)) {
      if (CWnd* wnd = GetActiveWnd()) ::SetFocus(wnd->m_hWnd);
      ::SendMessageA(::GetParent(m_hWnd), TKM_ONCHANGE_ACTIVE_TAB, index, before);
    }
    return;
  }
}

BOOL CTKTabWnd::PreTranslateMessage(MSG* msg) {
  if (m_renameEdit) return RenameKeyOrMouse(msg);
  // Ctrl as it was when this key came in (the thread's key state), not at this instant.
  if (msg->message == WM_KEYDOWN && (msg->wParam == VK_PRIOR || msg->wParam == VK_NEXT) &&
      (::GetKeyState(VK_CONTROL) & 0x8000)) {
    ActivateByKey(msg->wParam == VK_PRIOR ? -1 : 1);
    return TRUE;
  }
  if (m_toolTip &&
      ((msg->message >= WM_MOUSEFIRST && msg->message <= WM_MBUTTONUP && msg->message != WM_LBUTTONDBLCLK &&
        msg->message != WM_RBUTTONDBLCLK) ||
       msg->message == WM_SYSKEYDOWN || (msg->message >= WM_NCMOUSEMOVE && msg->message <= WM_NCMBUTTONUP)))
    ::SendMessageA(m_toolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
  return CTKTabWndBase::PreTranslateMessage(msg);
}

void CTKTabWnd::OnLButtonDblClk(UINT flags, CPoint point) {
  int tab = GetTabFromPoint(point);
  if (tab >= 0 && StartRenameTab(tab)) return;
  ::MapWindowPoints(m_hWnd, ::GetParent(m_hWnd), &point, 1);
  ::SendMessageA(::GetParent(m_hWnd), WM_LBUTTONDBLCLK, flags, MAKELPARAM(point.x, point.y));
}

void CTKTabWnd::SetHighlightedTab(int tab) {
  if (tab == m_highlightedTab) return;
  InvalidateTab(m_highlightedTab);
  m_highlightedTab = tab;
  InvalidateTab(tab);
  // Held while on a tab, so that leaving the window is noticed too.
  if (tab >= 0 && ::GetCapture() != m_hWnd)
    ::SetCapture(m_hWnd);
  else if (tab < 0 && ::GetCapture() == m_hWnd && !m_moving && !m_trackSplitter)
    ::ReleaseCapture();
}

void CTKTabWnd::OnCancelMode() {
  SetHighlightedTab(-1);
  StopSplitter();
  StopMoving();
  CloseRenameEdit();
  CTKTabWndBase::OnCancelMode();
}

BOOL CTKTabWnd::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  if (m_renameEdit && wnd && wnd->m_hWnd == m_renameEdit) {
    ::SetCursor(::LoadCursorA(nullptr, (LPCSTR)IDC_IBEAM));
    return TRUE;
  }
  POINT point;
  ::GetCursorPos(&point);
  ::ScreenToClient(m_hWnd, &point);
  if (hitTest == HTCLIENT && (m_trackSplitter || m_splitterRect.PtInRect(point))) {
    ::SetCursor(GD().GetStretchCursor());
    return TRUE;
  }
  return CTKTabWndBase::OnSetCursor(wnd, hitTest, message);
}

// ---- the shared scroll bar -----------------------------------------------------------------

void CTKTabWnd::SynchronizeScrollBar(SCROLLINFO* info) {
  if (!m_scrollBar) return;
  SCROLLINFO own{};
  if (!info) {
    own.cbSize = sizeof(own);
    own.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
    CWnd* active = GetActiveWnd();
    if (!active || !::IsWindow(active->m_hWnd) || !::GetScrollInfo(active->m_hWnd, SB_HORZ, &own)) {
      ::EnableScrollBar(m_scrollBar, SB_CTL, ESB_DISABLE_BOTH);
      return;
    }
    info = &own;
  }
  if (static_cast<int>(info->nPage) + info->nMin < info->nMax) {
    ::EnableScrollBar(m_scrollBar, SB_CTL, ESB_ENABLE_BOTH);
    SCROLLINFO set = *info;
    set.cbSize = sizeof(set);
    set.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    ::SetScrollInfo(m_scrollBar, SB_CTL, &set, TRUE);
  } else {
    ::EnableScrollBar(m_scrollBar, SB_CTL, ESB_DISABLE_BOTH);
  }
}

LRESULT CTKTabWnd::OnSharedHScroll(WPARAM wParam, LPARAM lParam) {
  if (!m_scrollBar || reinterpret_cast<HWND>(lParam) != m_scrollBar) return Default();
  // Scrolling the window can make it report back through this bar: once is enough.
  static bool inside = false;
  CWnd* active = GetActiveWnd();
  if (inside || !active || !::IsWindow(active->m_hWnd)) return 0;
  inside = true;
  const HWND hwnd = active->m_hWnd;
  const int code = LOWORD(wParam);
  int position = static_cast<short>(HIWORD(wParam));
  if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) {
    // The 16 bits of the message may not hold the whole position; the bar does.
    SCROLLINFO track{};
    track.cbSize = sizeof(track);
    track.fMask = SIF_TRACKPOS;
    if (::GetScrollInfo(m_scrollBar, SB_CTL, &track)) position = track.nTrackPos;
    if (m_tabs[m_activeTab]->m_isListView) {
      // A list view scrolls by pixels, not by the thumb.
      const int now = ::GetScrollPos(hwnd, SB_HORZ);
      ::SendMessageA(hwnd, LVM_SCROLL, position - now, 0);
    }
  }
  ::SendMessageA(hwnd, WM_HSCROLL, MAKEWPARAM(code, position), 0);
  if (::IsWindow(hwnd)) {
    SCROLLINFO now{};
    now.cbSize = sizeof(now);
    now.fMask = SIF_POS;
    if (::GetScrollInfo(hwnd, SB_HORZ, &now)) ::SetScrollPos(m_scrollBar, SB_CTL, now.nPos, TRUE);
    // Setting its position may have brought the window's own bar back.
    ::ShowScrollBar(hwnd, SB_HORZ, FALSE);
  }
  ::SendMessageA(::GetParent(m_hWnd), TKM_ON_HSCROLL, MAKEWPARAM(code, position), 0);
  inside = false;
  return 0;
}

LRESULT CTKTabWnd::OnNotifyMessage(WPARAM, LPARAM lParam) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (!header) return 0;
  if (header->code == HDN_ITEMCHANGEDA)
    SynchronizeScrollBar();  // columns of a list changed width: so did its range
  else if (header->code == TTN_SHOW && m_toolTip)
    ::SetWindowPos(m_toolTip, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return 0;
}
