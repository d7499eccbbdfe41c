#pragma once
// The header of the toolkit's sorting list: keeps a sort state per column
// (ascending, descending or none), draws itself through the current look with hot
// tracking and sort arrows.
#include "toolkit/frames/TKHeaderCtrlBase.h"

#include "platform/afx/linux_headers_begin.h"
#include <unordered_map>
#include "platform/afx/linux_headers_end.h"

class CTKSortHeaderCtrl : public CTKHeaderCtrlBase {
public:
  CTKSortHeaderCtrl();

  // A negative column clears every state; without `add` (or without multiple sort)
  // the other columns are cleared first.
  void SetSortColumn(int column, BOOL ascending = TRUE, BOOL add = FALSE);
  void RemoveSortColumn(int column);
  // 1 ascending, -1 descending, 0 none.
  int GetColumnState(int column) const;
  void EnableMultipleSort(BOOL enable = TRUE);
  BOOL IsMultipleSort() const { return m_bMultipleSort; }
  int GetHotColumn() const { return m_nHighlightedItem; }

  virtual void DrawItem(CDC* dc, int item, CRect rect, BOOL pressed, BOOL hot);
  virtual void DrawSortArrow(CDC* dc, CRect rect, BOOL ascending);
  // The whole header into the DC (WM_PAINT through a memory bitmap, WM_PRINTCLIENT).
  void PaintAll(CDC* dc);

protected:
  void PreSubclassWindow() override;
  void OnPaint();
  LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
  BOOL OnEraseBkgnd(CDC* dc);
  void OnMouseMove(UINT flags, CPoint point);
  void OnMouseLeave();
  void OnCancelMode();
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);

  std::unordered_map<int, int> m_mapColumnsStatus;
  BOOL m_bPressed = FALSE;
  BOOL m_bMultipleSort = FALSE;
  BOOL m_bIsDrawing = TRUE;
  int m_nHighlightedItem = -1;
  BOOL m_bTracked = FALSE;

  DECLARE_MESSAGE_MAP()
};
