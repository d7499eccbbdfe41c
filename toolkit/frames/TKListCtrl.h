#pragma once
// A report list whose own header keeps a sort state per column: a header click sorts
// through the virtual comparison (descending first, then ascending), the sorted
// column can be shaded, and a derived list chooses each cell's text colour,
// background and font.
#include "toolkit/frames/TKSortHeaderCtrl.h"

class CTKListCtrl : public CListCtrl {
public:
  CTKListCtrl() = default;

  // Virtual operations added after the list's own.
  virtual CTKSortHeaderCtrl& GetHeaderCtrl() { return m_wndHeader; }
  virtual int CompareItems(LPARAM item1, LPARAM item2, int column) { return 0; }
  virtual COLORREF GetCellTextColor(int row, int column) { return GetTextColor(); }
  virtual COLORREF GetCellBkColor(int row, int column) { return GetBkColor(); }
  virtual HFONT GetCellFont(int row, int column, DWORD_PTR itemData) { return nullptr; }
  virtual BOOL SubclassHeader();

  // Subclasses the header and works out the sorted column's shade.
  BOOL InitList();
  void SortByColumn(int column, BOOL ascending = TRUE, BOOL add = FALSE);
  int GetSortColumn() const { return m_iSortedColumn; }
  BOOL IsAscending() const { return m_bAscending; }
  void EnableMarkSortedColumn(BOOL mark = TRUE, BOOL redraw = TRUE);
  COLORREF GetSortedColumnColor() const { return m_clrSortedColumn; }

protected:
  void PreSubclassWindow() override;
  void OnCustomDraw(NMHDR* header, LRESULT* result);
  void OnHeaderClick(int column);
  void InitColors();
  void OnHeaderItemClick(NMHDR* header, LRESULT* result);
  BOOL OnEraseBkgnd(CDC* dc);
  void OnSysColorChange();

  CTKSortHeaderCtrl m_wndHeader;
  int m_iSortedColumn = -1;
  BOOL m_bAscending = TRUE;
  BOOL m_bMarkSortedColumn = FALSE;
  COLORREF m_clrSortedColumn = 0;
  HGDIOBJ m_hOldFont = nullptr;

  DECLARE_MESSAGE_MAP()
};

int CALLBACK TKListCompareProc(LPARAM item1, LPARAM item2, LPARAM list);
