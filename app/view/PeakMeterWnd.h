#pragma once
// The input level meter: two vertical bars for the left and right levels. The audio
// engine posts it 0x5E0 with the two levels for every buffer; it repaints only when a
// bar moves by a pixel or more. (The docking bar it sits in comes with the main
// frame's bars; here it is a plain child window.)
#include "platform/afx/afxwin.h"

constexpr UINT WM_TVL_LEVELS = 0x5E0;

class CPeakMeterWnd : public CWnd {
public:
  CPeakMeterWnd() = default;
  ~CPeakMeterWnd() override;

  BOOL Create(CWnd* parent, const RECT& rect, UINT id);

  int GetLeftLevel() const { return m_nLeft; }
  int GetRightLevel() const { return m_nRight; }

  // 0..100 from an engine peak value: the integer part of 20 log10(level), kept in
  // range (0 and levels below 1 give 0).
  static int LevelOf(long long peak);
  // The colour of a level 0..100.
  static COLORREF LevelColor(int level);

protected:
  LRESULT OnLevels(WPARAM left, LPARAM right);
  void OnPaint();
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }

private:
  void FillGradient(HDC dc, int left, int right, int bottom, int top, int lowLevel, int highLevel);

  int m_nLeft = 0;
  int m_nRight = 0;
  HBITMAP m_hBitmap = nullptr;
  int m_nWidth = 32;
  int m_nHeight = 300;

  DECLARE_MESSAGE_MAP()
};
