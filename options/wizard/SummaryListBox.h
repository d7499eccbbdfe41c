#pragma once
// A list box whose lines carry their own text and background colours and a flag byte.
// Each line's text starts with a 14-character prefix that codes the two colours and
// the flag (each byte as two characters, low nibble first, a nibble n written as the
// character n + 1); the visible text follows. The owner forwards WM_DRAWITEM for it.
#include "platform/afx/afxwin.h"

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include "platform/afx/linux_headers_end.h"

class CSummaryListBox : public CWnd {
public:
  static constexpr int kPrefixLength = 14;

  // Adds a line at the end and shows it.
  void AddLine(COLORREF text, COLORREF background, BYTE flag, const char* line);
  std::string GetLineText(int index) const;
  std::string GetVisibleText(int index) const;
  // The line's flag byte; 255 for a line without a whole prefix, -1 outside the list.
  int GetLineFlags(int index) const;
  int GetCount() const;
  void Clear();
  // Paints one line (the owner's WM_DRAWITEM).
  void DrawItem(const DRAWITEMSTRUCT* item);

  // The prefix of two colours and a flag.
  static std::string EncodePrefix(COLORREF text, COLORREF background, BYTE flag);

  BOOL m_bColorCoding = TRUE;

private:
  int m_nWidest = 0;
};
