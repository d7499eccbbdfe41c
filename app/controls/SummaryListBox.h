#pragma once
// A list box whose lines carry their own text and background colours and a flag byte.
// Each line's text starts with a 14-character prefix that codes the two colours and
// the flag (each byte as two characters, low nibble first, a nibble n written as the
// character n + 1); the visible text follows. The list is owner-drawn: its owner
// forwards WM_DRAWITEM to DrawItem. Select All, Clear and Copy work on it as commands,
// and a context menu can be given.
#include "platform/afx/afxwin.h"

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include "platform/afx/linux_headers_end.h"

#ifndef ID_EDIT_CLEAR
#define ID_EDIT_CLEAR 0xE120
#endif
#ifndef ID_EDIT_COPY
#define ID_EDIT_COPY 0xE122
#endif
#ifndef ID_EDIT_SELECT_ALL
#define ID_EDIT_SELECT_ALL 0xE12A
#endif

class CSummaryListBox : public CListBox {
public:
  static constexpr int kPrefixLength = 14;
  static constexpr int kTabStops = 100;
  static constexpr int kTabMultiplier = 8;

  CSummaryListBox();

  // Adds a line at the end and shows it; a full list drops its oldest lines for it.
  void AddLine(COLORREF text, COLORREF background, BYTE flag, const char* line);
  std::string GetLineText(int index) const;
  // The text after the prefix; empty for a line of 14 characters or fewer.
  std::string GetVisibleText(int index) const;
  // The line's flag byte; 255 for a line without a whole prefix, -1 outside the list.
  int GetLineFlags(int index) const;
  void Clear();
  // The font, the line height after it and the tab stops measured in it.
  void SetFont(HFONT font, BOOL redraw = TRUE);
  // Paints one line (the owner's WM_DRAWITEM).
  void DrawItem(const DRAWITEMSTRUCT* item);
  // The visible texts of the selected lines, one line each (what Copy puts on the
  // clipboard).
  std::string GetSelectedText() const;
  // The menu resource whose first sub-menu is the list's context menu; -1 for none.
  void SetContextMenuId(int id) { m_nMenuId = id; }
  int GetTabStop(int index) const { return m_tabStops[index]; }

  // The prefix of two colours and a flag.
  static std::string EncodePrefix(COLORREF text, COLORREF background, BYTE flag);

  BOOL m_bColorCoding = TRUE;

protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  LRESULT OnContextMenu(WPARAM wParam, LPARAM lParam);

private:
  void MeasureTabs(HDC dc, const char* measuring);

  int m_nWidest = 0;
  int m_nTabMultiplier = kTabMultiplier;
  COLORREF m_selectedBackground;
  COLORREF m_selectedText;
  COLORREF m_windowBackground;
  COLORREF m_windowText;
  int m_tabStops[kTabStops];
  int m_nBlankWidth = 0;
  int m_nCharWidth = 7;
  int m_nMenuId = -1;

  DECLARE_MESSAGE_MAP()
};
