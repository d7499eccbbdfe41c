#pragma once
// The window the main frame uses as its client area: the time ruler, the level
// ruler, their corner, the waveform view and a horizontal scroll bar side by side.
// It owns the conversion between time and pixels through the view state (ViewInfo)
// and does zooming, scrolling, the mouse wheel, the track-height fit and the zoom to
// fit.
#include "app/view/RulerWnd.h"
#include "app/view/ViewScrollBar.h"
#include "platform/afx/afxwin.h"

struct ViewInfo;
class Project;

// The small base of the waveform view that reaches the frame's scroll bars.
class CWaveView : public CView {
  DECLARE_DYNAMIC(CWaveView)

public:
  // The frame's horizontal bar for bar 0, its vertical bar for bar 1, else null.
  CWnd* GetScrollBarCtrl(int bar) const;
};

class CWaveFrame : public CView {
  DECLARE_DYNCREATE(CWaveFrame)

public:
  static constexpr int kLevelRulerWidth = 48;
  static constexpr int kTimeRulerHeight = 36;

  explicit CWaveFrame(ViewInfo* info = nullptr);

  // Makes the frame (id AFX_IDW_PANE_FIRST) in parent and, inside it, the view of
  // viewClass with the context's document; the view gets its initial update.
  BOOL Create(CWnd* parent, const CRuntimeClass* viewClass, CCreateContext* context);
  CWnd* GetView() const { return m_pView; }
  ViewInfo* GetViewInfo() const { return m_pViewInfo; }
  void SetProject(Project* project);
  Project* GetProject() const { return m_pProject; }
  CWnd* GetHorzBar() { return &m_hBar; }
  CWnd* GetVertBar() { return &m_vBar; }
  CRulerHorzWnd* GetTimeRuler() { return &m_timeRuler; }
  CRulerVertWnd* GetLevelRuler() { return &m_levelRuler; }

  void ZoomToFit();
  void FitTrackHeights();
  // False when z is refused (too large or small, or scroll values would overflow).
  bool SetZoom(double zoom);
  void ScrollToTime(double t);
  void UpdateScrollBars();
  void Relayout();
  void RedrawAll(BOOL erase);
  // One line step left or right, without redrawing (the view's auto-scroll).
  void StepLeft();
  void StepRight();
  void OnRefreshTick(int period);
  void OnColorSchemeChanged();
  SIZE GetMinSize() const;

  void OnDraw(CDC*) override {}
  BOOL OnCmdMsg(UINT id, int code, void* extra) override;

protected:
  // The frame is a member of its host window, not made with new.
  void PostNcDestroy() override {}
  int OnCreate(LPCREATESTRUCT cs);
  void OnSize(UINT type, int cx, int cy);
  void OnHScroll(UINT code, UINT position, CWnd* bar);
  BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
  int OnMouseActivate(CWnd* topLevel, UINT hitTest, UINT message);
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }

  void OnZoomIn();
  void OnZoomOut();
  void OnZoomNormal();
  void OnZoomSelection();
  void OnZoomFit();
  void OnUpdateHasTracks(CCmdUI* ui);
  void OnUpdateZoomSelection(CCmdUI* ui);

private:
  // The bar's new position: h from it, redraw unless suppressed.
  void ScrollChanged();
  void SetBarPosition(int position);
  int LineStep() const;
  int MaxPosition() const;
  double EndTime() const;
  bool Recording() const;
  void DivideTrackHeights();

  ViewInfo* m_pViewInfo;
  Project* m_pProject = nullptr;
  CWnd* m_pView = nullptr;
  CViewScrollBar m_hBar;
  CWnd m_vBar;
  CWnd m_sizeBox;
  CRulerHorzWnd m_timeRuler;
  CRulerVertWnd m_levelRuler;
  CRulerCross m_cross;
  BOOL m_bRedrawSuppressed = FALSE;
  // Where the layout last put the view, the rulers, their corner and the bar.
  RECT m_placed[5]{};
  static SIZE s_lastViewSize;

  DECLARE_MESSAGE_MAP()
};

// Wheel lines per notch: the system's setting (read once), 3 when none is found.
int GetMouseWheelScrollLines();
