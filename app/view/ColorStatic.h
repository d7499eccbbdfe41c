#pragma once
// The control panel's time display: its text drawn as seven-segment digits with pen
// lines, in a foreground colour on a background colour, with the unlit segments
// faintly drawn first like a hardware display. Digits, "-", "." and ":" are drawn;
// other characters take no place.
#include "platform/afx/afxwin.h"

class CColorStatic : public CWnd {
public:
  CColorStatic();
  ~CColorStatic() override;

  // -1 takes the system's button face (background) or button text (foreground).
  void SetBkColor(COLORREF color);
  void SetFgColor(COLORREF color);
  void SetDimColor(COLORREF color);
  void ShowDimSegments(BOOL show) { m_bShowDim = show; }
  void SetText(const char* text);
  const CString& GetText() const { return m_strText; }

  // The segment code of a character (one bit per segment; 256 ".", 257 ":"), 0 for
  // characters that draw nothing.
  static int SegmentCode(char c);
  static constexpr int kDimCode = 999;

protected:
  void OnPaint();
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }

private:
  // The segments of code at x, drawn with the pen selected into dc.
  void DrawCode(HDC dc, int code, int x);
  void Redraw();

  BOOL m_bShowDim = TRUE;
  BOOL m_bMetrics = FALSE;
  BOOL m_bDimSet = FALSE;
  CString m_strText = "0";
  int m_nPenWidth = 1;
  int m_nLength = 1;
  int m_nThickness = 1;
  COLORREF m_background = RGB(0, 0, 0);
  COLORREF m_foreground = RGB(0, 255, 0);
  COLORREF m_dim = 0;
  HBRUSH m_hBackBrush = nullptr;
  HBRUSH m_hForeBrush = nullptr;

  DECLARE_MESSAGE_MAP()
};
