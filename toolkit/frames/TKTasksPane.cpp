#include "toolkit/frames/TKTasksPane.h"

#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/MenuImages.h"
#include "toolkit/frames/PanesText.h"
#include "toolkit/frames/TKVisualManager.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cmath>
#include "platform/afx/linux_headers_end.h"

namespace {
const GlobalData& GD() { return GlobalData::Get(); }
constexpr UINT kFirstPageMenuItem = 1;
}  // namespace

CTKTasksPaneGroup::~CTKTasksPaneGroup() {
  while (!m_lstTasks.IsEmpty()) delete m_lstTasks.RemoveHead();
}

CTKTasksPane::CTKTasksPane() {
  m_strCaption = panes_text::kTasksPane;
  m_lstPages.AddTail(new CTKTasksPanePage(panes_text::kTasksPane, this));
  m_history.push_back(0);
  m_nDefaultSize = 200;
  m_bEnableSplitter = FALSE;
  // Its tasks are no toolbar buttons: nothing is dragged from or dropped onto it.
  m_bLocked = TRUE;
}

CTKTasksPane::~CTKTasksPane() {
  while (!m_lstTaskGroups.IsEmpty()) delete m_lstTaskGroups.RemoveHead();
  while (!m_lstPages.IsEmpty()) delete m_lstPages.RemoveHead();
  for (HFONT font : {m_hFontBold, m_hFontUnderline})
    if (font) ::DeleteObject(font);
}

BEGIN_MESSAGE_MAP(CTKTasksPane, CTKOutlookBar)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_SIZE()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_CANCELMODE()
  ON_WM_SETCURSOR()
  ON_WM_TIMER()
  ON_WM_VSCROLL()
  ON_MESSAGE(WM_SETFONT, OnSetFont)
  ON_MESSAGE(WM_GETFONT, OnGetFont)
  ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
END_MESSAGE_MAP()

int CTKTasksPane::OnCreate(LPCREATESTRUCT cs) {
  if (CTKOutlookBar::OnCreate(cs) == -1) return -1;
  if (!m_wndToolBar.CreateIn(this)) return -1;
  m_hwndScrollVert = ::CreateWindowExA(0, "SCROLLBAR", nullptr, WS_CHILD | SBS_VERT, 0, 0, 0, 0, m_hWnd,
                                       reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kScrollBarId)),
                                       ::GetModuleHandleA(nullptr), nullptr);
  MakeFonts();
  UpdateNavigation();
  return 0;
}

void CTKTasksPane::OnDestroy() {
  if (m_hwndScrollVert) ::DestroyWindow(m_hwndScrollVert);
  m_hwndScrollVert = nullptr;
  CTKOutlookBar::OnDestroy();
}

void CTKTasksPane::MakeFonts() {
  for (HFONT font : {m_hFontBold, m_hFontUnderline})
    if (font) ::DeleteObject(font);
  LOGFONTA lf{};
  ::GetObjectA(m_hFont ? m_hFont : ::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  lf.lfWeight = FW_BOLD;
  m_hFontBold = ::CreateFontIndirectA(&lf);
  lf.lfWeight = FW_NORMAL;
  lf.lfUnderline = TRUE;
  m_hFontUnderline = ::CreateFontIndirectA(&lf);
}

LRESULT CTKTasksPane::OnSetFont(WPARAM wParam, LPARAM lParam) {
  m_hFont = reinterpret_cast<HFONT>(wParam);
  MakeFonts();
  AdjustLayout();
  if (lParam) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
  return 0;
}

LRESULT CTKTasksPane::OnGetFont(WPARAM, LPARAM) {
  return reinterpret_cast<LRESULT>(m_hFont ? m_hFont : ::GetStockObject(DEFAULT_GUI_FONT));
}

// ---- pages, groups and tasks -------------------------------------------------------

int CTKTasksPane::AddPage(const char* name) {
  m_lstPages.AddTail(new CTKTasksPanePage(name ? name : "", this));
  UpdateNavigation();
  AdjustLayout();
  return m_lstPages.GetCount() - 1;
}

CString CTKTasksPane::GetPageName(int page) const {
  POSITION pos = page >= 0 ? m_lstPages.FindIndex(page) : nullptr;
  return pos ? static_cast<CTKTasksPanePage*>(m_lstPages.GetAt(pos))->m_strName : CString();
}

int CTKTasksPane::GetActivePage() const { return CurrentPage(); }

int CTKTasksPane::AddGroup(int page, const char* caption, BOOL special, HICON icon) {
  POSITION pos = page >= 0 ? m_lstPages.FindIndex(page) : nullptr;
  if (!pos) return -1;
  auto* group = new CTKTasksPaneGroup;
  group->m_pPage = static_cast<CTKTasksPanePage*>(m_lstPages.GetAt(pos));
  group->m_strName = caption ? caption : "";
  group->m_bIsSpecial = special;
  group->m_hIcon = icon;
  m_lstTaskGroups.AddTail(group);
  AdjustLayout();
  return m_lstTaskGroups.GetCount() - 1;
}

CTKTasksPaneGroup* CTKTasksPane::GetGroup(int group) const {
  POSITION pos = group >= 0 ? m_lstTaskGroups.FindIndex(group) : nullptr;
  return pos ? static_cast<CTKTasksPaneGroup*>(m_lstTaskGroups.GetAt(pos)) : nullptr;
}

CTKTasksPaneTask* CTKTasksPane::GetTask(int group, int task) const {
  CTKTasksPaneGroup* owner = GetGroup(group);
  POSITION pos = owner && task >= 0 ? owner->m_lstTasks.FindIndex(task) : nullptr;
  return pos ? static_cast<CTKTasksPaneTask*>(owner->m_lstTasks.GetAt(pos)) : nullptr;
}

int CTKTasksPane::AddTask(int group, const char* name, int icon, UINT command, DWORD_PTR userData) {
  CTKTasksPaneGroup* owner = GetGroup(group);
  if (!owner) return -1;
  auto* task = new CTKTasksPaneTask;
  task->m_pGroup = owner;
  task->m_strName = name ? name : "";
  task->m_nIcon = icon;
  task->m_uiCommandID = command;
  task->m_dwUserData = userData;
  task->m_bIsActive = command != 0;
  owner->m_lstTasks.AddTail(task);
  AdjustLayout();
  if (m_hWnd) Invalidate();
  return owner->m_lstTasks.GetCount() - 1;
}

int CTKTasksPane::AddWindow(int group, HWND window, int height) {
  CTKTasksPaneGroup* owner = GetGroup(group);
  if (!owner || !window) return -1;
  auto* task = new CTKTasksPaneTask;
  task->m_pGroup = owner;
  task->m_hwndTask = window;
  task->m_nWindowHeight = height;
  task->m_bIsActive = FALSE;
  if (m_hWnd) ::SetParent(window, m_hWnd);
  owner->m_lstTasks.AddTail(task);
  AdjustLayout();
  return owner->m_lstTasks.GetCount() - 1;
}

BOOL CTKTasksPane::ShowTask(int group, int task, BOOL show) {
  CTKTasksPaneTask* item = GetTask(group, task);
  if (!item) return FALSE;
  item->m_bVisible = show;
  AdjustLayout();
  if (m_hWnd) Invalidate();
  return TRUE;
}

BOOL CTKTasksPane::CollapseGroup(int group, BOOL collapse) {
  CTKTasksPaneGroup* item = GetGroup(group);
  if (!item) return FALSE;
  item->m_bIsCollapsed = collapse;
  AdjustLayout();
  if (m_hWnd) Invalidate();
  return TRUE;
}

int CTKTasksPane::GroupIndex(const CTKTasksPaneGroup* group) const {
  int index = 0;
  for (POSITION pos = m_lstTaskGroups.GetHeadPosition(); pos; ++index)
    if (m_lstTaskGroups.GetNext(pos) == group) return index;
  return -1;
}

int CTKTasksPane::TaskIndex(const CTKTasksPaneTask* task) const {
  int index = 0;
  for (POSITION pos = task->m_pGroup->m_lstTasks.GetHeadPosition(); pos; ++index)
    if (task->m_pGroup->m_lstTasks.GetNext(pos) == task) return index;
  return -1;
}

void CTKTasksPane::SetCaption(const char* caption) {
  m_strCaption = caption ? caption : "";
  UpdateNavigation();
}

// ---- pages and history -------------------------------------------------------------

void CTKTasksPane::SetActivePage(int page) {
  if (page < 0 || page >= GetPageCount() || page == CurrentPage()) return;
  const int old = CurrentPage();
  m_history.resize(m_nHistoryPos + 1);
  m_history.push_back(page);
  // A full history forgets its oldest entry.
  if (static_cast<int>(m_history.size()) > std::max(1, m_nMaxHistory)) m_history.erase(m_history.begin());
  m_nHistoryPos = static_cast<int>(m_history.size()) - 1;
  ChangeActivePage(old, page);
}

void CTKTasksPane::GoBack(int steps) {
  if (steps < 1 || !CanGoBack()) return;
  const int old = CurrentPage();
  m_nHistoryPos = std::max(0, m_nHistoryPos - steps);
  ChangeActivePage(old, CurrentPage());
}

void CTKTasksPane::GoForward(int steps) {
  if (steps < 1 || !CanGoForward()) return;
  const int old = CurrentPage();
  m_nHistoryPos = std::min(static_cast<int>(m_history.size()) - 1, m_nHistoryPos + steps);
  ChangeActivePage(old, CurrentPage());
}

void CTKTasksPane::ChangeActivePage(int oldPage, int newPage) {
  POSITION oldPos = m_lstPages.FindIndex(oldPage);
  CObject* old = oldPos ? m_lstPages.GetAt(oldPos) : nullptr;
  for (POSITION pos = m_lstTaskGroups.GetHeadPosition(); pos;) {
    auto* group = static_cast<CTKTasksPaneGroup*>(m_lstTaskGroups.GetNext(pos));
    if (group->m_pPage != old || oldPage == newPage) continue;
    for (POSITION t = group->m_lstTasks.GetHeadPosition(); t;) {
      auto* task = static_cast<CTKTasksPaneTask*>(group->m_lstTasks.GetNext(t));
      if (task->m_hwndTask) ::ShowWindow(task->m_hwndTask, SW_HIDE);
    }
  }
  m_pHotTask = m_pClickedTask = nullptr;
  m_pHotGroupCaption = m_pClickedGroupCaption = nullptr;
  UpdateNavigation();
  OnActivateTasksPanePage();
  m_nScrollPos = 0;
  AdjustLayout();
  if (m_hWnd) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

BOOL CTKTasksPane::IsNavigationToolBarShown() const { return GetPageCount() > 1; }

void CTKTasksPane::UpdateNavigation() {
  if (!m_hWnd) return;
  // With several pages the caption names the pane and the page-list button the page.
  const CString pageName = GetPageName(CurrentPage());
  SetWindowText(IsNavigationToolBarShown() ? m_strCaption : pageName);
  if (!m_wndToolBar.m_hWnd) return;
  m_wndToolBar.SetPageName(pageName);
  m_wndToolBar.EnableCommand(ID_TKTASKS_BACK, CanGoBack());
  m_wndToolBar.EnableCommand(ID_TKTASKS_FORWARD, CanGoForward());
}

void CTKTasksPane::OnPressCloseButton() {
  CFrameWnd* frame = GetDockingFrame();
  if (frame)
    frame->ShowControlBar(this, FALSE, FALSE);
  else
    ShowWindow(SW_HIDE);
}

BOOL CTKTasksPane::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (lParam == 0) {
    switch (LOWORD(wParam)) {
      case ID_TKTASKS_BACK:
        if (CanGoBack()) OnPressBackButton();
        return TRUE;
      case ID_TKTASKS_FORWARD:
        if (CanGoForward()) OnPressForwardButton();
        return TRUE;
      case ID_TKTASKS_HOME:
        OnPressHomeButton();
        return TRUE;
      case ID_TKTASKS_CLOSE:
        OnPressCloseButton();
        return TRUE;
      case ID_TKTASKS_OTHER:
        ShowPageMenu();
        return TRUE;
      default:
        break;
    }
  }
  return CTKOutlookBar::OnCommand(wParam, lParam);
}

BOOL CTKTasksPane::OnCmdMsg(UINT id, int code, void* extra) {
  if (code == static_cast<int>(CN_UPDATE_COMMAND_UI) && id >= ID_TKTASKS_BACK && id <= ID_TKTASKS_OTHER) {
    BOOL enable = TRUE;
    if (id == ID_TKTASKS_BACK) enable = CanGoBack();
    if (id == ID_TKTASKS_FORWARD) enable = CanGoForward();
    if (extra) static_cast<CCmdUI*>(extra)->Enable(enable);
    return TRUE;
  }
  return CTKOutlookBar::OnCmdMsg(id, code, extra);
}

void CTKTasksPane::ShowPageMenu() {
  HMENU menu = ::CreatePopupMenu();
  for (int i = 0; i < GetPageCount(); ++i)
    ::AppendMenuA(menu, MF_STRING, kFirstPageMenuItem + i, GetPageName(i));
  ::CheckMenuItem(menu, CurrentPage(), MF_BYPOSITION | MF_CHECKED);
  CRect button;
  m_wndToolBar.GetItemRect(m_wndToolBar.CommandToIndex(ID_TKTASKS_OTHER), &button);
  POINT at{button.left, button.bottom};
  ::ClientToScreen(m_wndToolBar.m_hWnd, &at);
  const UINT chosen = static_cast<UINT>(
      ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, at.x, at.y, 0, m_hWnd, nullptr));
  ::DestroyMenu(menu);
  if (chosen >= kFirstPageMenuItem) SetActivePage(static_cast<int>(chosen - kFirstPageMenuItem));
}

void CTKTasksPane::OnClickTask(int, int, UINT command, DWORD_PTR) {
  if (command == 0) return;
  if (CWnd* target = GetCommandTarget()) target->SendMessage(WM_COMMAND, command);
}

// ---- layout ------------------------------------------------------------------------

int CTKTasksPane::Metric(int own, int index) const {
  return own != -1 ? own : CTKVisualManager::GetInstance()->m_tasksPaneMetrics[index];
}

int CTKTasksPane::GetTaskLineHeight() const {
  return m_nTaskHeight != -1 ? m_nTaskHeight : std::max<int>(GD().textHeight + 6, 20);
}

// Places the groups of the current page from top down in the given width; the
// height of everything, as if not scrolled.
int CTKTasksPane::LayoutGroups(int width, int top) {
  const int vertMargin = Metric(m_nVertMargin, 0);
  const int horzMargin = Metric(m_nHorzMargin, 1);
  const int spacing = Metric(m_nGroupSpacing, 2);
  // A look that gives no caption height has captions as high as their text.
  int captionHeight = Metric(m_nGroupCaptionHeight, 3);
  if (captionHeight <= 0) captionHeight = GD().textHeight + 2 * Metric(-1, 5) + 6;
  const int taskIndent = CTKVisualManager::GetInstance()->m_tasksPaneMetrics[6];
  const int line = GetTaskLineHeight();
  POSITION pagePos = m_lstPages.FindIndex(CurrentPage());
  CObject* page = pagePos ? m_lstPages.GetAt(pagePos) : nullptr;
  const int start = top + vertMargin - m_nScrollPos * line;
  int y = start;
  BOOL any = FALSE;
  for (POSITION pos = m_lstTaskGroups.GetHeadPosition(); pos;) {
    auto* group = static_cast<CTKTasksPaneGroup*>(m_lstTaskGroups.GetNext(pos));
    if (group->m_pPage != page) {
      group->m_rect.SetRectEmpty();
      group->m_rectGroup.SetRectEmpty();
      for (POSITION t = group->m_lstTasks.GetHeadPosition(); t;)
        static_cast<CTKTasksPaneTask*>(group->m_lstTasks.GetNext(t))->m_rect.SetRectEmpty();
      continue;
    }
    any = TRUE;
    group->m_rect.SetRect(horzMargin, y, width - horzMargin, y + captionHeight);
    y += captionHeight;
    const int groupTop = y;
    int full = vertMargin / 2;
    for (POSITION t = group->m_lstTasks.GetHeadPosition(); t;) {
      auto* task = static_cast<CTKTasksPaneTask*>(group->m_lstTasks.GetNext(t));
      if (task->m_bVisible) full += task->m_hwndTask ? task->m_nWindowHeight : line;
    }
    full += vertMargin / 2;
    group->m_nFullHeight = full;
    const int shown = group == m_pAnimatedGroup ? m_nAnimShown : (group->m_bIsCollapsed ? 0 : full);
    int ty = groupTop + vertMargin / 2;
    for (POSITION t = group->m_lstTasks.GetHeadPosition(); t;) {
      auto* task = static_cast<CTKTasksPaneTask*>(group->m_lstTasks.GetNext(t));
      const int height = task->m_hwndTask ? task->m_nWindowHeight : line;
      CRect rect(group->m_rect.left + taskIndent, ty, group->m_rect.right - taskIndent, ty + height);
      const BOOL fits = task->m_bVisible && rect.bottom <= groupTop + shown;
      task->m_rect = fits ? rect : CRect();
      if (task->m_bVisible) ty += height;
      if (task->m_hwndTask) {
        if (fits)
          ::SetWindowPos(task->m_hwndTask, nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        else
          ::ShowWindow(task->m_hwndTask, SW_HIDE);
      }
    }
    group->m_rectGroup.SetRect(group->m_rect.left, groupTop, group->m_rect.right, groupTop + shown);
    y = groupTop + shown + spacing;
  }
  if (any) y += vertMargin - spacing;
  return y - start + vertMargin;
}

void CTKTasksPane::AdjustLayout() {
  if (!m_hWnd) return;
  CRect client;
  GetClientRect(&client);
  int top = client.top;
  const BOOL navigation = IsNavigationToolBarShown();
  if (m_wndToolBar.m_hWnd) {
    if (navigation) {
      const int height = m_wndToolBar.Height();
      ::SetWindowPos(m_wndToolBar.m_hWnd, nullptr, client.left, top, client.Width(), height,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
      m_wndToolBar.AdjustLayout();
      top += height;
    } else {
      ::ShowWindow(m_wndToolBar.m_hWnd, SW_HIDE);
    }
  }
  m_nContentTop = top;
  m_rectWorkArea.SetRect(client.left, top, client.right, client.bottom);
  m_rectScrollUp.SetRectEmpty();
  m_rectScrollDown.SetRectEmpty();
  const int line = GetTaskLineHeight();
  int available = client.bottom - top;
  int height = LayoutGroups(client.Width(), top);
  const BOOL scroll = height > available;
  m_bCanScroll = scroll;
  const int barWidth = ::GetSystemMetrics(SM_CXVSCROLL);
  if (scroll && m_bUseScrollButtons) {
    // A strip above and below the groups, which lie between them.
    const int strip = MenuImages::kGlyphSize + 4;
    m_rectScrollUp.SetRect(client.left, top, client.right, top + strip);
    m_rectScrollDown.SetRect(client.left, client.bottom - strip, client.right, client.bottom);
    available -= 2 * strip;
    m_rectWorkArea.SetRect(client.left, m_rectScrollUp.bottom, client.right, m_rectScrollDown.top);
    height = LayoutGroups(client.Width(), m_rectScrollUp.bottom);
  } else if (scroll) {
    height = LayoutGroups(client.Width() - barWidth, top);
  }
  m_nScrollTotal = (height + line - 1) / line;
  m_nVisibleLines = std::max(1, available / line);
  if (!scroll && m_nScrollPos != 0) {
    m_nScrollPos = 0;
    LayoutGroups(client.Width(), top);
  }
  if (m_hwndScrollVert) {
    if (scroll && !m_bUseScrollButtons) {
      ::SetWindowPos(m_hwndScrollVert, nullptr, client.right - barWidth, top, barWidth, available,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
      m_rectWorkArea.right -= barWidth;
    } else {
      ::ShowWindow(m_hwndScrollVert, SW_HIDE);
    }
  }
  UpdateScrollBar();
}

BOOL CTKTasksPane::IsScrollBarShown() const {
  return m_hwndScrollVert && ::IsWindowVisible(m_hwndScrollVert);
}

void CTKTasksPane::UpdateScrollBar() {
  if (!m_hwndScrollVert) return;
  SCROLLINFO info{
      sizeof info,  SIF_ALL, 0, std::max(0, m_nScrollTotal - 1), static_cast<UINT>(m_nVisibleLines),
      m_nScrollPos, 0};
  ::SetScrollInfo(m_hwndScrollVert, SB_CTL, &info, TRUE);
}

void CTKTasksPane::ScrollTo(int position) {
  position = std::clamp(position, 0, LastScrollPosition());
  if (!m_bCanScroll) position = 0;
  if (position == m_nScrollPos) return;
  m_nScrollPos = position;
  AdjustLayout();
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CTKTasksPane::OnVScroll(UINT code, UINT position, CWnd*) {
  switch (code) {
    case SB_LINEUP:
      ScrollTo(m_nScrollPos - 1);
      break;
    case SB_LINEDOWN:
      ScrollTo(m_nScrollPos + 1);
      break;
    case SB_PAGEUP:
      ScrollTo(m_nScrollPos - m_nVisibleLines);
      break;
    case SB_PAGEDOWN:
      ScrollTo(m_nScrollPos + m_nVisibleLines);
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      ScrollTo(static_cast<int>(position));
      break;
    case SB_TOP:
      ScrollTo(0);
      break;
    case SB_BOTTOM:
      ScrollTo(m_nScrollTotal);
      break;
    default:
      break;
  }
}

void CTKTasksPane::OnSize(UINT type, int cx, int cy) {
  CTKOutlookBar::OnSize(type, cx, cy);
  AdjustLayout();
  Invalidate();
}

// ---- mouse -------------------------------------------------------------------------

CTKTasksPaneTask* CTKTasksPane::TaskAt(CPoint point) const {
  if (!m_rectWorkArea.PtInRect(point)) return nullptr;
  for (POSITION pos = m_lstTaskGroups.GetHeadPosition(); pos;) {
    auto* group = static_cast<CTKTasksPaneGroup*>(m_lstTaskGroups.GetNext(pos));
    for (POSITION t = group->m_lstTasks.GetHeadPosition(); t;) {
      auto* task = static_cast<CTKTasksPaneTask*>(group->m_lstTasks.GetNext(t));
      if (task->m_bIsActive && !task->m_hwndTask && task->m_rect.PtInRect(point)) return task;
    }
  }
  return nullptr;
}

CTKTasksPaneGroup* CTKTasksPane::CaptionAt(CPoint point) const {
  if (!m_rectWorkArea.PtInRect(point)) return nullptr;
  for (POSITION pos = m_lstTaskGroups.GetHeadPosition(); pos;) {
    auto* group = static_cast<CTKTasksPaneGroup*>(m_lstTaskGroups.GetNext(pos));
    if (group->m_rect.PtInRect(point)) return group;
  }
  return nullptr;
}

int CTKTasksPane::ScrollDirectionAt(CPoint point) const {
  if (m_rectScrollUp.PtInRect(point) && m_nScrollPos > 0) return -1;
  if (m_rectScrollDown.PtInRect(point) && m_nScrollPos < LastScrollPosition()) return +1;
  return 0;
}

void CTKTasksPane::OnMouseMove(UINT, CPoint point) {
  if (const int direction = ScrollDirectionAt(point); direction != 0 && direction != m_iScrollMode) {
    // Resting on a scroll area scrolls a line at every tick.
    m_iScrollMode = direction;
    SetTimer(kScrollTimer, 80);
  }
  CTKTasksPaneTask* task = TaskAt(point);
  CTKTasksPaneGroup* caption = task ? nullptr : CaptionAt(point);
  if (task == m_pHotTask && caption == m_pHotGroupCaption) return;
  auto redraw = [this](const CRect& rect) {
    if (!rect.IsRectEmpty()) ::RedrawWindow(m_hWnd, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE);
  };
  if (m_pHotTask) redraw(m_pHotTask->m_rect);
  if (m_pHotGroupCaption) redraw(m_pHotGroupCaption->m_rect);
  m_pHotTask = task;
  m_pHotGroupCaption = caption;
  if (task || caption) {
    // Held so that the pointer leaving the pane still reaches it.
    if (::GetCapture() != m_hWnd) ::SetCapture(m_hWnd);
    redraw(task ? task->m_rect : caption->m_rect);
  } else if (::GetCapture() == m_hWnd && !m_pClickedTask && !m_pClickedGroupCaption) {
    ::ReleaseCapture();
  }
  ShowCommandMessageString(task ? task->m_uiCommandID : (UINT)-1);
}

void CTKTasksPane::OnLButtonDown(UINT, CPoint point) {
  m_pClickedTask = TaskAt(point);
  m_pClickedGroupCaption = m_pClickedTask ? nullptr : CaptionAt(point);
}

void CTKTasksPane::OnLButtonUp(UINT, CPoint point) {
  CTKTasksPaneTask* task = TaskAt(point);
  CTKTasksPaneGroup* caption = task ? nullptr : CaptionAt(point);
  CTKTasksPaneTask* pressedTask = m_pClickedTask;
  CTKTasksPaneGroup* pressedCaption = m_pClickedGroupCaption;
  m_pClickedTask = nullptr;
  m_pClickedGroupCaption = nullptr;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  m_pHotTask = nullptr;
  m_pHotGroupCaption = nullptr;
  if (pressedCaption && caption == pressedCaption) {
    caption->m_bIsCollapsed = !caption->m_bIsCollapsed;
    if (m_bAnimationEnabled) {
      m_nAnimShown = caption->m_bIsCollapsed ? caption->m_nFullHeight : 0;
      m_pAnimatedGroup = caption;
      m_dwAnimLastTick = ::GetTickCount();
      SetTimer(kAnimationTimer, 30);
    }
  } else if (pressedTask && task == pressedTask) {
    OnClickTask(GroupIndex(task->m_pGroup), TaskIndex(task), task->m_uiCommandID, task->m_dwUserData);
  }
  if (!m_hWnd || !::IsWindow(m_hWnd)) return;
  AdjustLayout();
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
  OnMouseMove(0, point);
}

void CTKTasksPane::OnCancelMode() {
  m_pHotTask = m_pClickedTask = nullptr;
  m_pHotGroupCaption = m_pClickedGroupCaption = nullptr;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  Invalidate();
}

BOOL CTKTasksPane::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  if (hitTest == HTCLIENT && (m_pHotTask || m_pClickedTask || m_pHotGroupCaption)) {
    ::SetCursor(const_cast<GlobalData&>(GD()).GetHandCursor());
    return TRUE;
  }
  return CTKOutlookBar::OnSetCursor(wnd, hitTest, message);
}

void CTKTasksPane::OnTimer(UINT_PTR id) {
  if (id == kScrollTimer) {
    POINT point;
    ::GetCursorPos(&point);
    ::ScreenToClient(m_hWnd, &point);
    if (m_iScrollMode != 0 && ScrollDirectionAt(point) == m_iScrollMode) {
      ScrollTo(m_nScrollPos + m_iScrollMode);
      return;
    }
    KillTimer(kScrollTimer);
    m_iScrollMode = 0;
    ::InvalidateRect(m_hWnd, &m_rectScrollUp, FALSE);
    ::InvalidateRect(m_hWnd, &m_rectScrollDown, FALSE);
    return;
  }
  if (id != kAnimationTimer) {
    CTKOutlookBar::OnTimer(id);
    return;
  }
  if (!m_pAnimatedGroup) {
    KillTimer(kAnimationTimer);
    return;
  }
  const DWORD now = ::GetTickCount();
  const int steps = std::max(1, static_cast<int>(std::lround((now - m_dwAnimLastTick) / 30.0)));
  m_dwAnimLastTick = now;
  const int pixels = steps * GetTaskLineHeight();
  CTKTasksPaneGroup* group = m_pAnimatedGroup;
  BOOL done;
  if (group->m_bIsCollapsed) {
    m_nAnimShown = std::max(0, m_nAnimShown - pixels);
    done = m_nAnimShown == 0;
  } else {
    m_nAnimShown = std::min(group->m_nFullHeight, m_nAnimShown + pixels);
    done = m_nAnimShown == group->m_nFullHeight;
  }
  if (done) {
    m_pAnimatedGroup = nullptr;
    KillTimer(kAnimationTimer);
  }
  AdjustLayout();
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

// ---- painting ----------------------------------------------------------------------

void CTKTasksPane::OnEraseWorkArea(CDC* dc, CRect rect) { dc->FillSolidRect(&rect, GD().barShadow); }

LRESULT CTKTasksPane::OnPrintClient(WPARAM wParam, LPARAM) {
  CDC dc(reinterpret_cast<HDC>(wParam));
  PaintPane(&dc);
  dc.Detach();
  return 0;
}

void CTKTasksPane::DoPaint(CDC* paintDC) {
  CRect client;
  GetClientRect(&client);
  HDC memory = ::CreateCompatibleDC(paintDC->GetSafeHdc());
  HBITMAP bitmap = ::CreateCompatibleBitmap(paintDC->GetSafeHdc(), client.Width(), client.Height());
  HGDIOBJ oldBitmap = ::SelectObject(memory, bitmap);
  CDC dc(memory);
  PaintPane(&dc);
  dc.Detach();
  ::BitBlt(paintDC->GetSafeHdc(), 0, 0, client.Width(), client.Height(), memory, 0, 0, SRCCOPY);
  ::SelectObject(memory, oldBitmap);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
}

void CTKTasksPane::PaintPane(CDC* dc) {
  CTKVisualManager* look = CTKVisualManager::GetInstance();
  CRect client;
  GetClientRect(&client);
  look->PaintBarBackground(dc, this, client, client);
  look->PaintTasksPaneBackground(dc, m_rectWorkArea);
  const int saved = ::SaveDC(dc->GetSafeHdc());
  ::IntersectClipRect(dc->GetSafeHdc(), m_rectWorkArea.left, m_rectWorkArea.top, m_rectWorkArea.right,
                      m_rectWorkArea.bottom);
  HGDIOBJ oldFont = ::SelectObject(dc->GetSafeHdc(), m_hFont ? m_hFont : ::GetStockObject(DEFAULT_GUI_FONT));
  for (POSITION pos = m_lstTaskGroups.GetHeadPosition(); pos;) {
    auto* group = static_cast<CTKTasksPaneGroup*>(m_lstTaskGroups.GetNext(pos));
    if (group->m_rect.IsRectEmpty()) continue;
    CTKTasksGroup record;
    record.rect = group->m_rect;
    record.caption = group->m_strName;
    record.special = group->m_bIsSpecial;
    record.collapsed = group->m_bIsCollapsed;
    record.icon = group->m_hIcon;
    if (!group->m_rectGroup.IsRectEmpty()) {
      dc->FillSolidRect(&group->m_rectGroup, GD().window);
      look->PaintTasksGroupArea(dc, &record, group->m_rectGroup);
    }
    look->PaintTasksGroupCaption(dc, &record, group == m_pHotGroupCaption, group == m_pClickedGroupCaption,
                                 group == m_pHotGroupCaption);
    for (POSITION t = group->m_lstTasks.GetHeadPosition(); t;) {
      auto* task = static_cast<CTKTasksPaneTask*>(group->m_lstTasks.GetNext(t));
      if (task->m_rect.IsRectEmpty() || task->m_hwndTask) continue;
      CTKTask item;
      item.rect = task->m_rect;
      item.text = task->m_strName;
      item.enabled = TRUE;
      item.hot = task == m_pHotTask;
      item.textColor = task->m_bIsActive ? GD().hotLinkText : (COLORREF)-1;
      look->PaintTask(dc, &item);
    }
  }
  ::SelectObject(dc->GetSafeHdc(), oldFont);
  ::RestoreDC(dc->GetSafeHdc(), saved);
  PaintScrollAreas(dc);
}

void CTKTasksPane::PaintScrollAreas(CDC* dc) {
  struct Area {
    const CRect& rect;
    int glyph, disabled;
    bool can;
  } areas[] = {{m_rectScrollUp, MenuImages::kArrowUp, MenuImages::kArrowUpDisabled, m_nScrollPos > 0},
               {m_rectScrollDown, MenuImages::kArrowDown, MenuImages::kArrowDownDisabled,
                m_nScrollPos < LastScrollPosition()}};
  for (const Area& area : areas) {
    if (area.rect.IsRectEmpty()) continue;
    dc->FillRect(&area.rect, const_cast<CBrush*>(&GD().barFaceBrush));
    const SIZE glyph = MenuImages::Size();
    MenuImages::Draw(
        dc, area.can ? area.glyph : area.disabled,
        POINT{area.rect.CenterPoint().x - glyph.cx / 2, area.rect.CenterPoint().y - glyph.cy / 2});
  }
}
