#pragma once
// A side of a frame where bars dock (or the inside of a floating frame). It holds its
// bars in rows: m_arrBars lists them row by row, a null entry ending each row (the
// first entry is always null), and it lays the rows out across its side, each row's
// bars one after the other along it. The frame lays dock bars out like any bar
// (WM_SIZEPARENT): a dock bar is as thick as its rows.
#include "platform/afx/Array.h"
#include "platform/afx/ControlBar.h"

class CDockBar : public CControlBar {
public:
  explicit CDockBar(BOOL floating = FALSE);

  // Makes the dock bar's window in the frame (or floating frame) with the side's
  // alignment in style and the side's id.
  BOOL Create(CWnd* parent, DWORD style, UINT id);

  // Takes the bar from wherever it is docked and docks it here: into the row the
  // rectangle (screen coordinates) lies over, at its place along that row, or in a new
  // last row without a rectangle.
  void DockControlBar(CControlBar* bar, const RECT* rect = nullptr);
  // Takes the bar from wherever it is docked and docks it in the row of other, right
  // after it (in a new last row when other is not docked here).
  void DockControlBarAfter(CControlBar* bar, const CControlBar* other);
  // Takes the bar out; a row left empty goes. False when it was not here.
  BOOL RemoveControlBar(CControlBar* bar);
  int FindBar(const CControlBar* bar) const;
  int GetDockedCount() const;
  int GetDockedVisibleCount() const;
  // The first and last slot of the row that holds slot index (bars only).
  void GetRowBounds(int index, int& first, int& last) const;
  // Puts the bar at the end of a new row just after the row of slot index.
  void MoveToNewRowAfter(CControlBar* bar, int index);
  // Empties the rows (the bars stay where their windows are).
  void RemoveAll();
  // Takes the bar from wherever it is docked and appends it to the last row, or to a
  // new row.
  void AppendBar(CControlBar* bar, BOOL newRow);

  BOOL IsHorizontalSide() const { return (m_dwStyle & CBRS_ORIENT_HORZ) != 0; }
  CSize CalcFixedLayout(BOOL stretch, BOOL horizontal) override;

  CArray<CControlBar*, CControlBar*> m_arrBars;
  BOOL m_bFloating;
  // The free rectangle the frame offered in the last layout (frame client coordinates).
  CRect m_rectLayout;
  // The frame is only asking for sizes: nothing moves.
  BOOL m_bLayoutQuery = FALSE;
  // Counts every change of the rows, so a layout sees when a bar moved rows under it.
  int m_nChanges = 0;

protected:
  // The size the bar asks for in this dock bar's orientation.
  virtual CSize BarSize(CControlBar* bar, BOOL horizontal);
  // How much a bar overlaps the one before it in its row (their borders meet).
  virtual int Overlap(CControlBar* bar) const { return 0; }
  // A bar that takes the whole length of its side.
  virtual BOOL TakesWholeRow(CControlBar* bar) const { return FALSE; }
  // A bar that would run past the end of its row starts a new row.
  virtual BOOL WrapsLongRows() const { return FALSE; }

  LRESULT OnSizeParent(AFX_SIZEPARENTPARAMS* layout) override;
  void PostNcDestroy() override;
  BOOL OnEraseBkgnd(CDC* dc);

  DECLARE_MESSAGE_MAP()

private:
  // Takes the bar out of its old dock bar and makes it this one's child in this
  // side's orientation (not yet in a row).
  void TakeBar(CControlBar* bar);
  CSize LayoutRows(BOOL stretch, BOOL horizontal);
  // Rows the layout broke because they were too long join again before the next
  // layout, so a bar goes back beside its neighbour once the side has room for both.
  void JoinWrappedRows();
  // The bars that start a row only because their row was too long.
  CArray<CControlBar*, CControlBar*> m_arrWrapped;
  void ForgetWrapped(const CControlBar* bar);
  int InsertIndex(const CControlBar* bar, const RECT& screenRect);
};
