#pragma once
// The owner-drawn list of the drop-down selector's popup. Each line carries its own
// text colour and selected-text colour; normal lines are kept sorted without regard
// to case, header lines are appended, drawn in bold and followed by a rule. The
// list closes its popup (hides its parent) as soon as it loses the focus, so the
// topmost popup never outlives the user's attention.
//
// The parent hands it WM_DRAWITEM (DrawItem) and WM_CTLCOLORLISTBOX (BackgroundBrush).
#include "platform/afx/afxwin.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

class CPopupListBox : public CListBox {
public:
  static constexpr int kLineHeight = 16;
  static constexpr COLORREF kSelectionColor = RGB(247, 247, 239);

  CPopupListBox();
  ~CPopupListBox() override;

  BOOL Create(CWnd* parent, UINT id);

  // A normal line (text colours black), inserted before the first line whose text
  // sorts after it; returns its index.
  int AddLine(const char* text);
  // A header line in that colour, always at the end; choosing it chooses nothing.
  int AddHeader(const char* text, COLORREF color);
  void SetLineColors(int index, COLORREF text, COLORREF selectedText);
  BOOL IsHeader(int index) const;
  // Frame pen and background of the lines.
  void SetFrameColor(COLORREF color);
  void SetSelectionColor(COLORREF color);
  // The lines' font and a bold copy for headers; the line height follows the font.
  // Only the first call has effect.
  void SetLineFont(HFONT font);
  void RemoveAll();

  // The selection when the popup opened, put back when a choice is let go outside it.
  void SaveSelection() { m_nSavedSelection = GetCurSel(); }
  void RestoreSelection() { SetCurSel(m_nSavedSelection); }

  void DrawItem(const DRAWITEMSTRUCT* item);
  HBRUSH BackgroundBrush() const { return m_hBackBrush; }

protected:
  void OnKillFocus(CWnd* newWnd);

private:
  struct Line {
    BYTE header;
    COLORREF text;
    COLORREF selectedText;
  };

  void Redraw();

  std::vector<Line> m_lines;  // parallel to the list box's lines
  int m_nSavedSelection = -1;
  HFONT m_hFont = nullptr;
  HFONT m_hBoldFont = nullptr;  // owned
  HPEN m_hFramePen = nullptr;
  HBRUSH m_hBackBrush = nullptr;
  HBRUSH m_hSelectionBrush = nullptr;

  DECLARE_MESSAGE_MAP()
};
