#pragma once
// The toolkit's resizable docking bar: the user sizes it by dragging its sizing edge,
// it carries a caption strip with a hide and an expand button, and it paints its
// frame through the current look. Each bar docked on a side of the frame forms its own
// row there (the frame lays its bars out side by side, one per row).
#include "platform/afx/afxwin.h"
#include "toolkit/frames/TKBaseControlBar.h"
#include "toolkit/frames/TKCaptionButton.h"

// A caption button: what the look reads, plus its tooltip, visibility, owner and
// place relative to the window's top-left corner.
class TKSizingCaptionButton : public CTKCaptionButton {
public:
  UINT tooltipId = 0;
  BOOL hidden = FALSE;
  class CTKSizingControlBar* owner = nullptr;
  POINT position{0, 0};
  // The button's square in window coordinates.
  CRect Square() const;
};

class CTKSizingControlBar : public CTKBaseControlBar {
public:
  CTKSizingControlBar();
  ~CTKSizingControlBar() override;

  Kind LookKind() const override { return kSizingBar; }
  BOOL IsHorizontal() const override { return IsDockedTopBottom(); }
  int DockSide() const override;

  virtual BOOL Create(const char* name, CWnd* parent, CSize defaultSize, BOOL hasCaption, UINT id,
                      DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP);
  virtual void SetMinSize(int cx, int cy);
  virtual void SetMaxSize(int cx, int cy);
  // The bar's sizes and flags in the application's profile, in the section made of
  // the registry path of "TKSizingControlBar" (or profile) and the control id.
  virtual BOOL ReadStoredState(const char* profile = nullptr);
  virtual BOOL WriteStoredState(const char* profile = nullptr);
  virtual BOOL CanHideByCaption() { return TRUE; }
  virtual void BeginEdgeDrag(int hitCode, POINT clientPoint);
  virtual void EndEdgeDrag();
  virtual void DragToSize(POINT clientPoint);
  virtual void PaintDragLine();
  virtual void PlaceRowBars();
  virtual void DrawCaption(CDC* dc, CRect rect);
  virtual void DisableChildWindows(BOOL disable);
  virtual BOOL UseNcUpdateRegion() { return TRUE; }

  BOOL DestroyWindow() override;
  CSize CalcFixedLayout(BOOL stretch, BOOL horizontal) override;
  CSize CalcDynamicLayout(int length, DWORD mode) override;

  // Expands the bar over its row (the others at their minimum) or contracts it; a
  // floating bar or one alone in its row stays as it is.
  void ToggleExpansion(BOOL toggle);
  CString StoredStateSection(const char* profile) const;
  // The bar's one child tab window, whose active tab the stored state keeps; null
  // when the bar has none or more than one.
  class CTKTabWnd* StoredTabWnd() const;

  BOOL IsFloating() const { return !IsDockedTopBottom() && !IsDockedLeftRight(); }
  BOOL IsDockedTopBottom() const { return m_dockBarId == 0xE81B || m_dockBarId == 0xE81E; }
  BOOL IsDockedLeftRight() const { return m_dockBarId == 0xE81C || m_dockBarId == 0xE81D; }
  // The edge being dragged lies between two bars of the row.
  BOOL IsDraggingInsideRow() const;
  BOOL IsFirstInRow() const;
  BOOL IsLastInRow() const;
  // The visible sizing bars of this bar's row, in row order (this bar included).
  void GetRowSizingBars(CArray<CTKSizingControlBar*, CTKSizingControlBar*>& bars) const;
  // The visible sizing bar before (or after) this one in its row, null when none.
  CTKSizingControlBar* Neighbour(BOOL before) const;
  // Shares the row's length among its sizing bars (see the .cpp); false when the row
  // could not hold them and this bar moved to a row of its own, or is alone.
  BOOL ShareRowLength(int length, BOOL horizontal);
  // The length the bars of the row may take (the dock bar's layout rectangle).
  int AvailableRowLength(BOOL horizontal) const;
  // Docking with the toolkit's docking context.
  void EnableDocking(DWORD style) override;
  CRect EdgeRectOf(CRect windowRect, int hitCode) const;
  BOOL CanSizeEdge(int hitCode) const;

  // What the bar's caption looks like, for every sizing bar.
  static void SetCaptionLook(BOOL titleCaption, BOOL gradient, BOOL hideExpandWhenSingle);
  static BOOL s_titleCaption;
  static BOOL s_gradientCaption;
  static BOOL s_hideExpandWhenSingle;
  // Every sizing bar that has a window.
  static CArray<CTKSizingControlBar*, CTKSizingControlBar*>& AllBars();

  BOOL m_saveActiveTab = TRUE;
  CSize m_dockedHorzSize{200, 200};
  CSize m_dockedVertSize{200, 200};
  CSize m_floatSize{200, 200};
  UINT m_edgeFlags = 0;
  int m_dragEdge = 0;
  CSize m_maxSize{-1, -1};
  CSize m_minSize{33, 32};
  CSize m_dragMin{0, 0};
  CSize m_dragMax{0, 0};
  CSize m_savedSize{0, 0};
  CPoint m_dragStart{0, 0};
  BOOL m_isDragging = FALSE;
  // A message placing the caption buttons' tooltips is on its way.
  BOOL m_placeTipsPosted = FALSE;
  BOOL m_keepSizeOnce = FALSE;
  BOOL m_rowLayoutPending = FALSE;
  UINT m_dockBarId = 0;
  int m_edgeWidth = 6;
  int m_captionHeight = 0;
  BOOL m_isExpanded = FALSE;
  BOOL m_isSingleInRow = TRUE;
  BOOL m_isActive = FALSE;
  CRect m_redrawRect;
  int m_borderSize = 5;
  int m_rollingType = 0;
  BOOL m_isRolled = FALSE;
  TKSizingCaptionButton m_captionButtons[2];
  // The tooltip control of the two caption buttons (tools 1 and 2).
  HWND m_toolTip = nullptr;

  BOOL PreTranslateMessage(MSG* msg) override;
  void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;

protected:
  CSize& CurrentSize() { return IsDockedTopBottom() ? m_dockedHorzSize : m_dockedVertSize; }
  void PlaceCaptionButtons(CRect client);
  void PaintNonClient(HRGN updateRegion);
  void RedrawButton(int index);
  // Gives the tooltip of caption button index its text and square.
  void UpdateButtonTip(int index);
  void UpdateDockBarId();
  // Asks the frame for the bars' context menu ("TKTOOLBAR_POPUPMENU") at a screen point.
  void SendContextMenuRequest(POINT screen);
  int HitTest(POINT screenPoint);
  CRect m_dragLine;  // the line on the frame's client area, empty when none is shown

  int OnCreate(LPCREATESTRUCT cs);
  void OnDestroy();
  void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);
  LRESULT OnNcHitTest(CPoint point);
  void OnNcPaint();
  void OnPaint();
  void OnNcLButtonDown(UINT hitTest, CPoint point);
  void OnNcLButtonDblClk(UINT hitTest, CPoint point);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonDblClk(UINT flags, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnNcMouseMove(UINT hitTest, CPoint point);
  // Lights up the caption button under the cursor (screen point).
  void TrackCaptionButtons(POINT screen);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnRButtonDown(UINT flags, CPoint point);
  void OnNcRButtonUp(UINT hitTest, CPoint point);
  void OnCaptureChanged(CWnd* wnd);
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  void OnWindowPosChanging(WINDOWPOS* pos);
  LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
  LRESULT OnPlaceTips(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()
};
