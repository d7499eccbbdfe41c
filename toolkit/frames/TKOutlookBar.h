#pragma once
// A docking bar of large shortcut buttons arranged in pages. Each page has a page
// button stacked above or below the button area; clicking one makes its page active
// with a sliding animation. Only the buttons of the active page are laid out; two
// small scroll buttons move through them when they do not fit. The user resizes the
// bar by its splitter edge and renames a page by double-clicking its page button; the
// pages are stored with the bar's state. In the navigation-pane mode the page buttons
// sit at the bottom, as many as the user's page splitter allows, the rest as small
// buttons in a strip below them.
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/frames/TKButton.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

class CTKOutlookBar;

// A page's button: its face and border come from the current look.
class CTKOutlookBarPageButton : public CTKButton {
public:
  void FillBackground(CDC* dc, const CRect& rect) override;
  void DrawBorder(CDC* dc, CRect& rect, UINT itemState) override;
  void DrawFocusRectangle(CDC*, const CRect&) override {}
  // Drawn pressed: the active page's button in the navigation pane.
  void SetShownActive(BOOL active);
  BOOL IsShownActive() const { return m_bShownActive; }

protected:
  BOOL m_bShownActive = FALSE;
  // A double click on a page button renames its page in place.
  void OnLButtonDblClk(UINT flags, CPoint point);
  DECLARE_MESSAGE_MAP()
};

// The chevron at the end of the navigation pane's strip: two glyphs, the chevrons
// over a small arrow; it opens the menu that shows more or fewer page buttons.
class CTKOutlookChevronButton : public CTKButton {
public:
  void PaintContent(CDC* dc, const CRect& rect, UINT itemState) override;
};

class CTKOutlookBarPage : public CObject {
  DECLARE_SERIAL(CTKOutlookBarPage)

public:
  CTKOutlookBarPage() = default;
  CTKOutlookBarPage(UINT id, const CString& label, HWND window = nullptr);
  ~CTKOutlookBarPage() override;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CTKOutlookBarPage& other);
  BOOL operator==(const CTKOutlookBarPage& other) const { return m_strLabel == other.m_strLabel; }
  // Makes the page button as a child of the bar (once).
  BOOL CreateButton(CWnd* bar, HFONT font);

  UINT m_nId = 0;
  CString m_strLabel;
  HWND m_hwnd = nullptr;
  CTKOutlookBarPageButton* m_pButton = nullptr;
  CRect m_rect;
};

class CTKOutlookBar : public CTKToolBar {
public:
  enum : UINT { kScrollUpId = 0xEF01, kScrollDownId = 0xEF02, kCloseId = 20 };

  CTKOutlookBar();
  ~CTKOutlookBar() override;

  Kind LookKind() const override { return kOutlookBar; }
  BOOL IsHorizontal() const override { return (m_dwStyle & CBRS_ORIENT_HORZ) != 0; }
  // Style bits WS_CAPTION give the bar a caption strip instead of a window caption.
  BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_LEFT, UINT id = (UINT)-1) override;
  CSize CalcFixedLayout(BOOL stretch, BOOL horizontal) override;
  CSize CalcDynamicLayout(int length, DWORD mode) override;
  void AdjustLayout() override;
  void DoPaint(CDC* dc) override;
  void RemoveAllButtons() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  // The buttons, then the pages (id and name of each); loading rebuilds the pages and
  // activates the one that was active, or the first.
  void Serialize(CArchive& ar) override;
  // Back to the pages the program added, under their first names.
  BOOL RestoreOriginalState() override;
  // The program's pages go with the original items as "OriginalPages"; when the stored
  // ones differ from the program's pages now, the bar takes the program's pages.
  BOOL SaveOriginalItems(CTKRegistry& registry) const override;
  BOOL LoadOriginalItems(CTKRegistry& registry) override;
  // While a page is renamed: Enter applies a non-empty name (an empty one beeps and
  // keeps the edit), Esc drops the edit, a click outside ends it, and the mouse
  // inside edits. Esc also ends a drag of the splitter.
  BOOL PreTranslateMessage(MSG* msg) override;

  // Pages: the id must be new; a page with a window shows it in place of buttons.
  BOOL AddPage(UINT id, const char* label, HWND window = nullptr);
  BOOL SetPageName(UINT id, const char* text);
  const char* GetPageName(UINT id) const;
  void SetActivePage(UINT id, BOOL animate = TRUE);
  UINT GetActivePage() const { return m_nActivePage; }
  int GetPageCount() const { return m_Pages.GetCount(); }
  CTKOutlookBarPage* FindPage(UINT id) const;
  // The navigation-pane mode: a caption, the page buttons stacked at the bottom (as
  // many as the user's page splitter leaves and as fit), and below them a strip of
  // small buttons, one for each page whose page button is not shown.
  void SetNavigationPaneMode(BOOL on = TRUE);
  BOOL IsNavigationPaneMode() const { return m_bNavigationPane; }
  // The pages' small images (page n takes image n).
  void SetPageImages(HIMAGELIST images);
  int GetVisiblePageButtons() const;
  int GetMaxVisiblePageButtons() const { return m_nMaxVisiblePageButtons; }
  CRect GetPageSplitterRect() const { return m_rectPageSplitter; }
  CRect GetPageStripRect() const { return m_rectPageStrip; }
  // The small button of a page in the strip (null while its page button is shown).
  HWND GetPageStripButton(UINT id) const;
  HWND GetChevronButton() const { return m_btnChevron.m_hWnd; }
  enum : UINT { kShowMoreButtons = 61952, kShowFewerButtons = 61953, kFirstPageStripButton = 61955 };
  // The pages as the program added them (what a reset goes back to).
  const CObList& GetDefaultPages() const { return m_DefaultPages; }
  CRect GetPageButtonRect(UINT id) const;

  // Buttons: the icon is drawn on the icon fill colour (unless keepAsIcon) and added
  // to the bar's images; page id -1 means the first page when pages exist.
  BOOL AddButton(HICON icon, const char* label, UINT command, UINT pageId = (UINT)-1, int position = -1,
                 BOOL keepAsIcon = FALSE);
  BOOL AddButton(int image, const char* label, UINT command, UINT pageId = (UINT)-1, int position = -1);
  // The splitter edge on the free side of the bar, which the user drags to resize it.
  void SetBorder(BOOL border = TRUE);
  CRect GetSplitterRect() const { return m_rectSplitter; }
  BOOL IsResizing() const { return m_bIsTracking; }
  // A page's name edited in place over its page button (the edit while open).
  BOOL StartRenamePage(UINT id);
  HWND GetRenameEdit() const { return m_hwndRename; }
  UINT GetRenamedPage() const { return m_nRenamedPage; }
  // Scrolls until the button at the index lies inside the button area.
  void EnsureButtonVisible(int index);
  void SetDefaultSize(int size) { m_nDefaultSize = size; }
  // A bitmap resource tiled behind the buttons instead of the plain background colour,
  // used only on screens of more than 256 colours; 0 removes it. Its grey shades follow
  // the system's button colours.
  void SetBackImage(UINT resourceId);
  UINT GetBackImage() const { return m_nBackImageId; }
  // Whether the bitmap is drawn: its buttons ask this before choosing colours.
  BOOL HasBackImage() const { return m_bUseBackImage && m_hBackImage; }
  int GetFirstVisibleButton() const { return m_iFirstVisibleButton; }
  BOOL IsScrollUpShown() const;
  BOOL IsScrollDownShown() const;
  CRect GetButtonArea() const { return m_rectWorkArea; }
  CRect GetCaptionRect() const { return m_rectCaption; }
  HWND GetCloseButton() const { return m_btnClose.m_hWnd; }
  int PageButtonHeight() const;

  // Overridables: after a page became active; the caption; the button area; the
  // background of the whole bar.
  virtual void OnActivatePage() {}
  virtual void OnDrawCaption(CDC* dc, CRect rect, const CString& text);
  virtual void OnFillButtonArea(CDC* dc, CRect rect);
  virtual void OnEraseWorkArea(CDC* dc, CRect rect);
  // The splitter was let go: the bar takes the new width (height when docked at the
  // top or bottom) and its frame lays itself out again.
  virtual void OnSplitterResize(int size);
  // One more or one fewer page button (navigation-pane mode), and whether there can be.
  virtual void OnShowMorePageButtons();
  virtual void OnShowFewerPageButtons();
  virtual BOOL CanShowMorePageButtons() const;
  virtual BOOL CanShowFewerPageButtons() const;
  void PaintOwnBackground(CDC* dc, CRect rect) override { OnEraseWorkArea(dc, rect); }

  // A dragged outlook button scrolls the buttons while it is held above or below the
  // button area, and opens the page whose page button it rests on (the drag-hover
  // timer); a dropped button joins the page that is active.
  DROPEFFECT OnDragOver(COleDataObject* data, DWORD keyState, CPoint point) override;
  void OnDragLeave() override;
  // Only inside the button area, among the active page's buttons: past the last one,
  // or on a page without buttons, the button goes to the page's end.
  int FindDropIndex(CPoint point, CRect& marker) const override;
  BOOL OnDrop(COleDataObject* data, DROPEFFECT effect, CPoint point) override;
  CTKToolbarButton* CreateDroppedButton(COleDataObject* data) override;
  // In customize mode only Delete stays on a button's menu: the bar's images are its
  // own, and its buttons show their labels under the images.
  BOOL EnableContextMenuItems(CTKToolbarButton* button, HMENU popup) override;
  // The pages are the bar's groups: a button dropped where it stands starts none.
  BOOL ToggleGroupByDrag(CTKToolbarButton*, CPoint, CPoint) override { return FALSE; }
  // The page the drag-hover timer opens (-1 while none).
  UINT GetDragHoverPage() const { return m_nDragHoverPage; }
  enum : UINT { kDragHoverTimer = 3, kDragHoverDelay = 500 };

  COLORREF m_clrBackColor = (COLORREF)-1;
  COLORREF m_clrTransparentColor = RGB(255, 0, 255);
  COLORREF m_clrTextColor = (COLORREF)-1;
  BOOL m_bEnableAnimation = TRUE;
  BOOL m_bHasCaption = FALSE;
  BOOL m_bEnableSplitter = TRUE;

protected:
  int OnCreate(LPCREATESTRUCT cs);
  void OnSize(UINT type, int cx, int cy);
  void OnSysColorChange();
  void OnLButtonDown(UINT flags, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnCancelMode();
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  void OnTimer(UINT_PTR id);
  DECLARE_MESSAGE_MAP()

protected:
  CRect InnerArea() const;
  void LayoutPageButtons(CRect& area);
  void ScrollStep(int direction);
  void PaintBar(CDC* dc, const CRect& clip);
  CObList& Pages() { return m_Pages; }
  void UpdateSplitterRect();
  // Puts copies of the pages in place of the bar's own, keeping the windows of pages
  // that stay, and activates the page that was active, or the first.
  void ReplacePages(const CObList& pages);
  // The navigation pane's page buttons and strip at the bottom of the area.
  void LayoutNavigationPane(CRect& area);
  void RebuildPageStrip(int shown);
  void SetVisiblePageButtons(int count);
  void ShowChevronMenu();
  // The tracking line of a splitter drag at a screen point (drawn or erased, as it
  // inverts), and the end of the drag, applied or not.
  void DrawTrackLine(POINT screen);
  CRect TrackLineAt(POINT screen) const;
  void StopTracking(BOOL apply);
  void EndRename(BOOL apply);
  BOOL IsVerticalSplitter() const;
  // (Re)loads the background bitmap of m_nBackImageId, after a change of system colours too.
  void LoadBackImage();
  // The page of a page button at the point that a drag may open (-1 when none).
  UINT DragHoverPageAt(CPoint point) const;
  void StopDragHover();

  CObList m_Pages;
  CObList m_DefaultPages;
  UINT m_nActivePage = (UINT)-1;
  CTKButton m_btnUp, m_btnDown;
  // At the right end of the caption strip: hides the bar in its frame.
  CTKButton m_btnClose;
  int m_nScrollOffset = 0;
  int m_iFirstVisibleButton = 0;
  BOOL m_bScrollDown = FALSE;
  CRect m_rectWorkArea;
  CRect m_rectCaption;
  CRect m_rectSplitter;
  int m_nDefaultSize = 0;
  SIZE m_sizeImage{0, 0};
  BOOL m_bInAnimation = FALSE;
  BOOL m_bIsTracking = FALSE;
  POINT m_ptStart{0, 0};
  POINT m_ptLast{0, 0};
  BOOL m_bLineShown = FALSE;
  BOOL m_bNavigationPane = FALSE;
  BOOL m_bCaptionFromStyle = FALSE;  // the caption the creation style asked for
  int m_nVisiblePageButtons = -1;    // -1: all
  int m_nMaxVisiblePageButtons = 0;
  int m_nStripShown = -1;  // the shown count the strip was made for
  CRect m_rectPageSplitter;
  CRect m_rectPageStrip;
  BOOL m_bPageSplitterDrag = FALSE;
  int m_nPageSplitterStartY = 0;
  int m_nPageSplitterStartCount = 0;
  HIMAGELIST m_hPageImages = nullptr;
  std::vector<CTKButton*> m_stripButtons;
  CTKOutlookChevronButton m_btnChevron;
  std::vector<UINT> m_stripPages;
  HWND m_hwndRename = nullptr;
  UINT m_nRenamedPage = (UINT)-1;
  UINT m_nBackImageId = 0;
  HBITMAP m_hBackImage = nullptr;
  SIZE m_sizeBackImage{0, 0};
  BOOL m_bUseBackImage = FALSE;
  UINT m_nDragHoverPage = (UINT)-1;
};
