#pragma once
// A docking bar the user can neither resize, drag, float, roll up nor close: it stays
// where the frame docked it. Its frame is a thin edge, and a press on its own surface
// passes to the window beneath (its children still get theirs). The peak meter is one.
#include "toolkit/frames/TKSizingControlBar.h"

class CTVLFixingControlBar : public CTKSizingControlBar {
  DECLARE_DYNAMIC(CTVLFixingControlBar)

public:
  CTVLFixingControlBar();
  ~CTVLFixingControlBar() override;

  // The same size in every state; with a caption, only a strip of at most 4 pixels.
  virtual BOOL Create(const char* name, CWnd* parent, int defaultWidth, int defaultHeight, BOOL hasCaption,
                      UINT id, DWORD style);
  // The sizing bar's own creation takes the same path.
  BOOL Create(const char* name, CWnd* parent, CSize defaultSize, BOOL hasCaption, UINT id,
              DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP) override {
    return Create(name, parent, defaultSize.cx, defaultSize.cy, hasCaption, id, style);
  }

  // Nothing is ever dragged.
  void BeginEdgeDrag(int, POINT) override {}
  void EndEdgeDrag() override {}
  void DragToSize(POINT) override {}
  void PaintDragLine() override {}

  static constexpr int kEdgeWidth = 3;
  static constexpr int kMaxCaptionHeight = 4;

protected:
  void OnNcPaint();
  LRESULT OnNcHitTest(CPoint point);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnNcLButtonDown(UINT hitTest, CPoint point);
  template <class Bar>
  friend void FixedBarLButtonDown(Bar& bar, CPoint point);
  template <class Bar>
  friend void FixedBarNcLButtonDown(Bar& bar, UINT hitTest, CPoint point);
  LRESULT OnDefaultHandling(WPARAM, LPARAM) { return Default(); }

  DECLARE_MESSAGE_MAP()
};
