#pragma once
// The input level meter: two vertical bars for the left and right levels. The levels
// come as message 0x5E0 or from the main frame's heartbeat, which takes them from the
// audio engine; it repaints only when a bar moves by a pixel or more. It is a fixed
// docking bar: the user cannot move, size or close it.
#include "app/bars/TVLFixingControlBar.h"

constexpr UINT WM_TVL_LEVELS = 0x5E0;

class CPeakMeterWnd : public CTVLFixingControlBar {
  DECLARE_DYNCREATE(CPeakMeterWnd)

public:
  CPeakMeterWnd() = default;
  ~CPeakMeterWnd() override;

  // As the frame makes it: a fixed bar of that default size.
  using CTVLFixingControlBar::Create;
  BOOL Create(const char* name, CWnd* parent, int defaultWidth, int defaultHeight, BOOL hasCaption, UINT id,
              DWORD style) override;
  // A meter of the rectangle's size; outside a docking frame it takes that rectangle.
  BOOL Create(CWnd* parent, const RECT& rect, UINT id);

  // The engine's levels (as message 0x5E0 carries them): the bars move when either
  // moves by a pixel or more.
  void ShowLevels(WPARAM left, LPARAM right);
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
  // The meter with both bars full, drawn once for a size and stripe colour: each
  // paint copies it and covers the parts above the levels.
  HBITMAP LitImage(HDC dc, int width, int height, COLORREF stripe);

  int m_nLeft = 0;
  int m_nRight = 0;
  HBITMAP m_hBitmap = nullptr;
  int m_nWidth = 32;
  int m_nHeight = 300;
  HBITMAP m_hLit = nullptr;
  int m_nLitWidth = 0;
  int m_nLitHeight = 0;
  COLORREF m_litStripe = 0;

  DECLARE_MESSAGE_MAP()
};
