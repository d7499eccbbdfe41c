#pragma once
// A child window that hosts other windows as tabs: one strip of tabs along the bottom or
// top edge, the active tab's window filling the rest. The tab shapes and colours are
// painted by the current look; this window only decides geometry and state, and tells
// its parent about changes through registered messages.
//
// Built here: creation styles, insertion, removal, activation (by click and by
// Ctrl+PageUp/PageDown), layout of 3D and flat tabs, per-tab and automatic colours,
// hiding the tabs for a single tab, moving tabs by drag, renaming in place, tooltips for
// cut-off labels, scroll buttons that move a strip too long for the window (also while a
// tab is dragged past its ends), a close button for the active window, the tab list mode
// with its sorted popup of every tab, painting, and the horizontal scroll bar that flat
// tabs share with the active window, with the splitter the user drags to share the
// width between the tabs and that bar, slanted tabs that scroll by whole tabs, and the
// tab under the mouse highlighted (slanted style).
#include "platform/afx/afxwin.h"
#include "toolkit/frames/TKButton.h"
#include "toolkit/frames/TKTabWndBase.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

// Sent to the parent: a tab was activated (wParam new, lParam previous or -1); the
// shared scroll bar scrolled; a rename is committed; a move is about to happen / done.
extern UINT TKM_ONCHANGE_ACTIVE_TAB;
extern UINT TKM_ON_HSCROLL;
extern UINT TKM_ON_RENAME_TAB;
extern UINT TKM_ON_BEFOREMOVE_TAB;
extern UINT TKM_ON_MOVE_TAB;
void RegisterTabMessages();

class CTKTabInfo {
public:
  CTKTabInfo(const char* label, UINT image, CWnd* wnd, UINT id);
  virtual ~CTKTabInfo() = default;

  CString m_label;
  UINT m_image;
  CRect m_rect;
  BOOL m_visible = TRUE;
  CWnd* m_wnd;
  BOOL m_isListView = FALSE;
  int m_fullWidth = 0;
  UINT m_id;
  COLORREF m_textColor = (COLORREF)-1;
  COLORREF m_bkColor = (COLORREF)-1;
  BOOL m_iconOnly = FALSE;
  BOOL m_alwaysTooltip = FALSE;
};

class CTKTabWnd;

// One of the small buttons beside the tabs (scroll, close): face and border come from
// the current look's tab painting, so they match the strip they sit in.
class CTKTabButton : public CTKButton {
public:
  void FillBackground(CDC* dc, const CRect& rect) override;
  void DrawBorder(CDC* dc, CRect& rect, UINT itemState) override;
  void DrawFocusRectangle(CDC*, const CRect&) override {}
  CTKTabWnd* m_pTabWnd = nullptr;
};

class CTKTabWnd : public CTKTabWndBase {
public:
  enum {
    STYLE_3D = 0,
    STYLE_FLAT = 1,
    STYLE_FLAT_SHARED_HORZ_SCROLL = 2,
    STYLE_3D_SCROLLED = 3,
    STYLE_3D_SLANTED = 4,
    STYLE_3D_HALF_SLANTED = 5
  };
  enum { LOCATION_BOTTOM = 0, LOCATION_TOP = 1 };

  CTKTabWnd();
  ~CTKTabWnd() override;

  BOOL Create(int style, const RECT& rect, CWnd* parent, UINT id, int location = LOCATION_BOTTOM,
              BOOL closeButton = FALSE);

  // Operations a derived tab window may change.
  virtual COLORREF GetTabBkColor(int tab) const;
  virtual BOOL SetTabBkColor(int tab, COLORREF color = (COLORREF)-1);
  virtual BOOL SetActiveTab(int tab);
  virtual BOOL StartRenameTab(int tab);
  virtual BOOL OnRenameTab(int tab, CString& label) { return TRUE; }
  virtual void InvalidateTab(int tab);
  virtual BOOL MoveTab(int tab, int position);
  virtual BOOL RenameTab();
  virtual BOOL HasImage(int tab) const;
  virtual BOOL IsSlantedStyle() const { return m_style == kStyleSlanted; }
  virtual BOOL IsHalfSlantedStyle() const { return m_style == kStyleHalfSlanted; }
  virtual int GetFirstVisibleTab() const;
  virtual void SetLocation(int location);
  virtual BOOL IsColored() const;
  virtual BOOL ShowTabsMenu(POINT screenPoint);
  virtual void Draw3DTab(CDC* dc, CTKTabInfo* tab, BOOL active);
  virtual void DrawFlatTab(CDC* dc, CBrush* brush, CTKTabInfo* tab, BOOL active);
  virtual void DrawFlatTabMarker(CDC* dc, int x, int y, int size);
  virtual void InitAutoColors();

  void InsertTab(CWnd* wnd, const char* label, int insertAt, UINT image = (UINT)-1);
  void AppendTab(CWnd* wnd, const char* label, UINT image = (UINT)-1) {
    InsertTab(wnd, label, m_tabCount, image);
  }
  BOOL RemoveTab(int tab);
  void RemoveAllTabs();

  int GetTabsNum() const { return m_tabCount; }
  int GetVisibleTabsNum() const;
  int GetActiveTab() const { return m_activeTab; }
  BOOL IsTabVisible(int tab) const;
  BOOL ShowTab(int tab, BOOL show = TRUE);
  CWnd* GetTabWnd(int tab) const;
  CWnd* GetActiveWnd() const { return GetTabWnd(m_activeTab); }
  int GetTabFromHwnd(HWND hwnd) const;
  int GetTabFromPoint(POINT point) const;
  BOOL GetTabRect(int tab, CRect& rect) const;
  UINT GetTabIconIndex(int tab) const;
  BOOL SetTabIcon(int tab, UINT image);
  BOOL GetTabLabel(int tab, CString& label) const;
  BOOL SetTabLabel(int tab, const CString& label);
  COLORREF GetTabTextColor(int tab) const override;
  BOOL SetTabTextColor(int tab, COLORREF color = (COLORREF)-1);
  // Flat tabs: the active tab's face and text (-1: the system window and window-text
  // colours, which follow a change of the system colours).
  void SetActiveTabColor(COLORREF color = (COLORREF)-1);
  void SetActiveTabTextColor(COLORREF color = (COLORREF)-1);
  COLORREF GetActiveTabColor() const;
  COLORREF GetActiveTabTextColor() const;
  // An outside image list, used while the window has no images of its own.
  BOOL SetImageList(HIMAGELIST list);
  // The window's own images: a bitmap resource cut into images of the given width, the
  // transparent colour (-1 for none) masked out.
  BOOL LoadTabImages(UINT bitmapId, int imageWidth, COLORREF transparent);
  // The same from a bitmap already loaded (which stays the caller's).
  BOOL SetTabImages(HBITMAP bitmap, int imageWidth, COLORREF transparent);
  void EnsureVisible(int tab);
  // The shared scroll bar takes the active window's horizontal range, page and position
  // (or the ones given); a window with nothing to scroll leaves it disabled.
  void SynchronizeScrollBar(SCROLLINFO* info = nullptr);
  void RecalcLayout();
  static HICON GetCommandIcon(UINT command);

  // Automatic colours: on or off, and an own set instead of the default one.
  void EnableAutoColor(BOOL enable = TRUE);
  void SetAutoColors(const COLORREF* colors, int count);
  void HideSingleTab(BOOL hide = TRUE);
  void HideNoTabs(BOOL hide = TRUE);
  void SetFlatFrame(BOOL frame = TRUE) { m_drawFrame = frame; }
  void HideInactiveWindow(BOOL hide = TRUE) { m_hideInactive = hide; }
  // Whether the hosted windows are sized into the tab window's area, and whether they
  // go with their tab and with the tab window (both on at first).
  void SetAutoSizeWindows(BOOL on) { m_autoSize = on; }
  void SetDestroyHostedWindows(BOOL on) { m_destroyHosted = on; }
  // Tabs may be dragged to another place (off at first).
  void SetTabsMovable(BOOL movable = TRUE) { m_movable = movable; }
  BOOL IsMoving() const { return m_moving; }
  // Tabs may be renamed in place by a double click (off at first); the edit while open.
  void EnableInPlaceEdit(BOOL enable = TRUE) { m_renameAllowed = enable; }
  HWND GetRenameEdit() const { return m_renameEdit; }
  CRect GetTabsArea() const { return m_tabsRect; }
  CRect GetWndArea() const { return m_wndRect; }
  int GetTabsHeight() const { return m_tabsHeight; }
  // The tooltip control (3D tabs without scroll buttons) and a tab's tool id in it.
  HWND GetToolTip() const { return m_toolTip; }
  UINT GetTabId(int tab) const { return tab >= 0 && tab < m_tabCount ? m_tabs[tab]->m_id : 0; }

  // What the looks read.
  int GetTabIcon(int tab) const override;
  const char* GetTabLabel(int tab) const override;
  COLORREF GetTabColor(int tab) const override { return GetTabBkColor(tab); }

  // Ctrl+PageUp and Ctrl+PageDown step through the visible tabs, wrapping around.
  BOOL PreTranslateMessage(MSG* msg) override;
  // The scroll and close buttons' clicks.
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  // Scrolling of a strip wider than the window (styles with scroll buttons): how far the
  // tabs are moved left, and the most they can be.
  int GetScrollOffset() const { return m_offset; }
  int GetMaxScrollOffset() const { return m_maxOffset; }
  // Slanted tabs scroll by whole tabs: the first one shown at the strip's left.
  int GetFirstShownTab() const { return m_firstShownTab; }
  // The tab under the mouse, lit up by the look (-1 for none or without highlighting).
  int GetHighlightedTab() const { return m_highlightedTab; }
  // The buttons beside the tabs (null for a button this style does not have).
  enum TabButton { BUTTON_LEFT, BUTTON_RIGHT, BUTTON_FIRST, BUTTON_LAST, BUTTON_CLOSE };
  HWND GetTabButton(TabButton which) const;
  // The shared scroll bar (null without one), its width, and the splitter strip left of
  // it that the user drags to give the tabs or the bar more room.
  HWND GetScrollBar() const { return m_scrollBar; }
  int GetScrollBarWidth() const { return m_scrollBarWidth; }
  CRect GetSplitterRect() const { return m_splitterRect; }
  BOOL IsSplitterDragging() const { return m_trackSplitter; }
  // The tab list mode (scroll buttons only): tabs that do not fit are left out of the
  // strip, the right button lists every tab in a popup, and a tab chosen there (or
  // activated otherwise while out of sight) moves to the front.
  void SetTabsListMenu(BOOL on = TRUE);
  BOOL IsTabsListMenu() const { return m_tabsListMenu; }

protected:
  int OnCreate(LPCREATESTRUCT cs);
  void OnDestroy();
  void OnSize(UINT type, int cx, int cy);
  void OnSysColorChange();
  void OnSettingChange(UINT flags, LPCSTR section);
  void OnCancelMode();
  // Painting: off screen and copied at once; the background only while there are no tabs.
  void OnPaint();
  BOOL OnEraseBkgnd(CDC* dc);
  LRESULT OnPrintClient(WPARAM dc, LPARAM flags);
  // A press activates the tab under it (and may start moving it); elsewhere it goes to
  // the parent, as does a double click that starts no renaming.
  void OnLButtonDown(UINT flags, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnLButtonDblClk(UINT flags, CPoint point);
  // While a tab is dragged past either end of the strip, the tabs scroll that way.
  void OnTimer(UINT_PTR id);
  LRESULT OnShowList(WPARAM, LPARAM);
  // The shared scroll bar scrolls the active window; its header changes re-synchronise
  // the bar.
  LRESULT OnSharedHScroll(WPARAM wParam, LPARAM lParam);
  LRESULT OnNotifyMessage(WPARAM wParam, LPARAM lParam);
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);

  DECLARE_MESSAGE_MAP()

private:
  void SetTabsHeight();
  void LayoutTabs();
  BOOL TabsHidden() const;
  void Paint(CDC& dc);
  void PaintTabs(CDC& dc, COLORREF face, COLORREF text);
  void ActivateByKey(int step);
  // Moves the drop mark of a dragged tab to the point.
  void TrackDrop(POINT point);
  void StopMoving();
  void CloseRenameEdit();
  void SetToolText(CTKTabInfo* tab);
  BOOL RenameKeyOrMouse(MSG* msg);
  // Places the scroll and close buttons and takes their room from the tabs area.
  void LayoutButtons(const CRect& client);
  // Keeps the offset within 0..maximum and the buttons' enabled state with it.
  void ClampScroll();
  void ScrollTabsTo(int offset);
  // Slanted tabs: makes the tab the first shown, the strip moved so that it starts at
  // the left of the area.
  void ShowFromTab(int tab);
  // Takes the shared scroll bar's room (and the splitter's) from the right of the tabs.
  void LayoutScrollBar();
  // The shared bar's width for a client this wide.
  int DefaultScrollBarWidth(int clientWidth) const;
  void StopSplitter();
  // The highlight moves to the tab (-1: none), the mouse held while it is on a tab.
  void SetHighlightedTab(int tab);

  BOOL IsFlatStyle() const { return m_style == kStyleFlat; }
  BOOL HasSlantedTabs() const { return m_style == kStyleSlanted || m_style == kStyleHalfSlanted; }

  // Style flags beyond the look's style.
  BOOL m_sharedScroll = FALSE;
  BOOL m_scrollButtons = FALSE;
  BOOL m_closeButton = FALSE;
  BOOL m_highlightTabs = FALSE;

  CArray<CTKTabInfo*, CTKTabInfo*> m_tabs;
  int m_tabCount = 0;

  CRect m_tabsRect;
  CRect m_wndRect;
  int m_tabsHeight = 0;
  // The images in use (m_imageList) are the own ones when there are, else the outside ones.
  HIMAGELIST m_ownImages = nullptr;
  HIMAGELIST m_outsideImages = nullptr;
  HWND m_toolTip = nullptr;
  int m_offset = 0;
  int m_maxOffset = 0;
  int m_totalWidth = 0;
  int m_firstShownTab = 0;
  CTKTabButton m_btnLeft, m_btnRight, m_btnFirst, m_btnLast, m_btnClose;
  // The buttons in their order along the strip.
  std::vector<HWND> m_buttons;

  int m_borderSize = 3;
  BOOL m_hideInactive = TRUE;
  BOOL m_autoSize = TRUE;
  BOOL m_destroyHosted = TRUE;
  BOOL m_transparent = FALSE;
  BOOL m_drawFrame = TRUE;
  int m_drawnTab = -1;
  UINT m_nextId = 1;
  BOOL m_hideSingle = FALSE;
  BOOL m_hideNone = FALSE;
  BOOL m_renameAllowed = FALSE;
  HWND m_renameEdit = nullptr;
  int m_renamedTab = -1;
  BOOL m_movable = FALSE;
  BOOL m_moving = FALSE;
  int m_movedTab = -1;
  int m_dropPosition = -1;

  // The shared scroll bar: where its room ends on the right, its width; the splitter.
  HWND m_scrollBar = nullptr;
  int m_scrollRight = 0;
  int m_scrollBarWidth = 0;
  CRect m_splitterRect;
  BOOL m_trackSplitter = FALSE;

  BOOL m_tabsListMenu = FALSE;
  BOOL m_listOpen = FALSE;
  // The tab list popup's icons by command, while it is open.
  static CMap<UINT, UINT, HICON, HICON> s_commandIcons;

  CArray<COLORREF, COLORREF> m_autoColors;
  BOOL m_useAutoColors = FALSE;
  BOOL m_defaultAutoColors = TRUE;
  COLORREF m_activeTabBk = (COLORREF)-1;
  COLORREF m_activeTabText = (COLORREF)-1;
  CFont m_flatFont;
  CFont m_flatBoldFont;
};
