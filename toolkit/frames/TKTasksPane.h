#pragma once
// A docking pane that shows one of several pages of task groups. Each group has a
// caption that collapses or expands it (animated) and a list of tasks: lines that
// send a command when clicked, or child windows shown inside the group. A navigation
// toolbar at the top goes Back, Forward and Home through the visited pages, lists
// all pages and closes the pane. The pane scrolls when its groups do not fit.
#include "toolkit/frames/TKOutlookBar.h"
#include "toolkit/frames/TKTasksPaneToolBar.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <vector>
#include "platform/afx/linux_headers_end.h"

class CTKTasksPane;
class CTKTasksPaneGroup;

class CTKTasksPanePage : public CObject {
public:
  CTKTasksPanePage(const CString& name, CTKTasksPane* pane) : m_strName(name), m_pPane(pane) {}
  CString m_strName;
  CTKTasksPane* m_pPane;
};

class CTKTasksPaneTask : public CObject {
public:
  CTKTasksPaneGroup* m_pGroup = nullptr;
  UINT m_uiCommandID = 0;
  DWORD_PTR m_dwUserData = 0;
  CString m_strName;
  int m_nIcon = -1;
  HWND m_hwndTask = nullptr;
  int m_nWindowHeight = 0;
  CRect m_rect;
  BOOL m_bVisible = TRUE;
  BOOL m_bIsActive = TRUE;
};

class CTKTasksPaneGroup : public CObject {
public:
  ~CTKTasksPaneGroup() override;
  CTKTasksPanePage* m_pPage = nullptr;
  CString m_strName;
  CObList m_lstTasks;
  CRect m_rect;       // the caption
  CRect m_rectGroup;  // the tasks under it
  BOOL m_bIsCollapsed = FALSE;
  BOOL m_bIsSpecial = FALSE;
  HICON m_hIcon = nullptr;
  int m_nFullHeight = 0;
};

class CTKTasksPane : public CTKOutlookBar {
public:
  enum : UINT_PTR { kScrollTimer = 5, kAnimationTimer = 4 };
  enum : UINT { kScrollBarId = 1 };

  CTKTasksPane();
  ~CTKTasksPane() override;

  void AdjustLayout() override;
  void DoPaint(CDC* dc) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  // The navigation toolbar's command states: Back and Forward while there is
  // somewhere to go, the others always.
  BOOL OnCmdMsg(UINT id, int code, void* extra) override;
  void OnEraseWorkArea(CDC* dc, CRect rect) override;

  // Pages, addressed by index; page 0 exists from the start.
  int AddPage(const char* name);
  int GetPageCount() const { return m_lstPages.GetCount(); }
  CString GetPageName(int page) const;
  void SetActivePage(int page);
  int GetActivePage() const;
  // Groups (one list for the pane) and their tasks; -1 on a bad index.
  int AddGroup(int page, const char* caption, BOOL special = FALSE, HICON icon = nullptr);
  int AddTask(int group, const char* name, int icon = -1, UINT command = 0, DWORD_PTR userData = 0);
  int AddWindow(int group, HWND window, int height);
  BOOL ShowTask(int group, int task, BOOL show);
  BOOL CollapseGroup(int group, BOOL collapse = TRUE);
  CTKTasksPaneGroup* GetGroup(int group) const;
  CTKTasksPaneTask* GetTask(int group, int task) const;
  void SetCaption(const char* caption);
  const CString& GetCaption() const { return m_strCaption; }

  // History of visited pages (indices), oldest first, and the current position.
  const std::vector<int>& GetHistory() const { return m_history; }
  int GetHistoryPosition() const { return m_nHistoryPos; }
  BOOL CanGoBack() const { return m_nHistoryPos > 0; }
  BOOL CanGoForward() const { return m_nHistoryPos < static_cast<int>(m_history.size()) - 1; }
  void GoBack(int steps = 1);
  void GoForward(int steps = 1);

  CTasksPaneToolBar& GetNavigationToolBar() { return m_wndToolBar; }
  BOOL IsNavigationToolBarShown() const;
  int GetScrollPosition() const { return m_nScrollPos; }
  BOOL IsScrollBarShown() const;
  // With scroll buttons instead of the bar: the strips at the top and the bottom of the
  // groups that scroll them while the pointer rests on them (empty when not needed).
  CRect GetScrollUpArea() const { return m_rectScrollUp; }
  CRect GetScrollDownArea() const { return m_rectScrollDown; }
  int GetTaskLineHeight() const;

  // Overridables.
  virtual void OnClickTask(int group, int task, UINT command, DWORD_PTR userData);
  virtual void OnActivateTasksPanePage() {}
  virtual void OnPressBackButton() { GoBack(); }
  virtual void OnPressForwardButton() { GoForward(); }
  virtual void OnPressHomeButton() { SetActivePage(0); }
  virtual void OnPressCloseButton();

  int m_nMaxHistory = 10;
  // Scroll areas above and below the groups in place of a scroll bar.
  BOOL m_bUseScrollButtons = FALSE;
  BOOL m_bAnimationEnabled = TRUE;
  // -1: taken from the look.
  int m_nGroupCaptionHeight = -1;
  int m_nGroupSpacing = -1;
  int m_nTaskHeight = -1;
  int m_nVertMargin = -1;
  int m_nHorzMargin = -1;

protected:
  int OnCreate(LPCREATESTRUCT cs);
  void OnDestroy();
  void OnSize(UINT type, int cx, int cy);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnCancelMode();
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  void OnTimer(UINT_PTR id);
  void OnVScroll(UINT code, UINT position, CWnd* bar);
  LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetFont(WPARAM wParam, LPARAM lParam);
  LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

protected:
  int Metric(int own, int index) const;
  int CurrentPage() const { return m_history.empty() ? 0 : m_history[m_nHistoryPos]; }
  void ChangeActivePage(int oldPage, int newPage);
  int LayoutGroups(int width, int top);
  void UpdateScrollBar();
  void ScrollTo(int position);
  int LastScrollPosition() const { return std::max(0, m_nScrollTotal - m_nVisibleLines + 1); }
  // The scroll direction the pointer asks for on a scroll area (0: none).
  int ScrollDirectionAt(CPoint point) const;
  void PaintScrollAreas(CDC* dc);
  void PaintPane(CDC* dc);
  void ShowPageMenu();
  void MakeFonts();
  void UpdateNavigation();
  // The task or caption under a client point.
  CTKTasksPaneTask* TaskAt(CPoint point) const;
  CTKTasksPaneGroup* CaptionAt(CPoint point) const;
  int GroupIndex(const CTKTasksPaneGroup* group) const;
  int TaskIndex(const CTKTasksPaneTask* task) const;

  CObList m_lstPages;
  CObList m_lstTaskGroups;
  std::vector<int> m_history;
  int m_nHistoryPos = 0;
  CString m_strCaption;
  HFONT m_hFont = nullptr;
  HFONT m_hFontBold = nullptr;
  HFONT m_hFontUnderline = nullptr;
  CTKTasksPaneTask* m_pHotTask = nullptr;
  CTKTasksPaneTask* m_pClickedTask = nullptr;
  CTKTasksPaneGroup* m_pHotGroupCaption = nullptr;
  CTKTasksPaneGroup* m_pClickedGroupCaption = nullptr;
  HWND m_hwndScrollVert = nullptr;
  int m_nScrollPos = 0;
  int m_nScrollTotal = 0;
  int m_nVisibleLines = 0;
  int m_nContentTop = 0;
  BOOL m_bCanScroll = FALSE;
  CRect m_rectScrollUp, m_rectScrollDown;
  int m_iScrollMode = 0;
  CTKTasksPaneGroup* m_pAnimatedGroup = nullptr;
  int m_nAnimShown = 0;
  DWORD m_dwAnimLastTick = 0;
  CTasksPaneToolBar m_wndToolBar;
};
