#pragma once
// A dialog-template bar fixed where the frame docked it: not resizable, draggable,
// floatable or closable by the mouse, with a thin edge. The recording control panel is
// one.
#include "toolkit/frames/TKDialogBar.h"

class CTVLFixingDialogBar : public CTKDialogBar {
  DECLARE_DYNCREATE(CTVLFixingDialogBar)

public:
  CTVLFixingDialogBar();
  ~CTVLFixingDialogBar() override;

  // Makes the bar from a dialog template (a resource name or MAKEINTRESOURCE id) as a
  // child of the parent; the template's size becomes the bar's size in every state.
  // With CBRS_SIZE_DYNAMIC in the style the bar lays out like a sizing bar.
  BOOL Create(const char* name, CWnd* parent, BOOL hasCaption, const char* dialogTemplate, DWORD style,
              UINT id);

  void BeginEdgeDrag(int, POINT) override {}
  void EndEdgeDrag() override {}
  void DragToSize(POINT) override {}
  void PaintDragLine() override {}
  void DrawCaption(CDC* dc, CRect rect) override { CTKDialogBar::DrawCaption(dc, rect); }

  static constexpr int kEdgeWidth = 4;
  static constexpr int kMinCaptionHeight = 12;

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
