#pragma once
// The control panel's volume slider: a groove (or channel bitmaps) and a thumb
// bitmap, moved with the mouse (only by dragging the thumb) and the keys. It posts
// kSliderMoving (id, position) to its parent while the thumb is dragged and
// kSliderMoved (id, position) when a move is finished.
#include "platform/afx/afxwin.h"

class CBitmapSlider : public CWnd {
public:
  static constexpr UINT kSliderMoving = 0x28D1;
  static constexpr UINT kSliderMoved = 0x28D2;

  CBitmapSlider();
  ~CBitmapSlider() override;

  // Takes over the placeholder static with that id.
  BOOL SubclassFromControl(UINT id, CWnd* parent);

  void SetRange(int minimum, int maximum, BOOL redraw = FALSE);
  void SetMinimum(int minimum, BOOL redraw = FALSE);
  void SetMaximum(int maximum, BOOL redraw = FALSE);
  int GetMinimum() const { return m_nMin; }
  int GetMaximum() const { return m_nMax; }
  void SetPos(int position);
  int GetPos() const { return m_nPos; }
  int SetPageSize(int size);
  void SetMargin(int left, int top, int right, int bottom);
  void SetDrawFocusRect(BOOL flag, BOOL redraw = FALSE);
  // A copy of the bitmap becomes the thumb; FALSE without a bitmap.
  BOOL SetBitmapThumb(HBITMAP bitmap);
  void SetGrooveColors(COLORREF background, COLORREF light, COLORREF dark);
  void SetVertical(BOOL vertical) { m_bVertical = vertical; }
  double GetRatio() const;

  // The centre pixel of the thumb for a position, and the reverse.
  int PixelOfPos(int position) const;
  int PosOfPixel(int pixel) const;

protected:
  void OnPaint();
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  void OnLButtonDown(UINT flags, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnKeyDown(UINT key, UINT repeatCount, UINT flags);
  UINT OnGetDlgCode();
  void OnSetFocus(CWnd*);
  void OnKillFocus(CWnd*);
  BOOL OnSetCursor(CWnd*, UINT, UINT);
  void OnSize(UINT type, int cx, int cy);
  void OnDestroy();
  LRESULT OnPrintClient(WPARAM dc, LPARAM);

private:
  void Paint(HDC dc);
  void Notify(UINT message);
  int Length() const { return m_bVertical ? m_nHeight : m_nWidth; }
  int ThumbLength() const { return m_bVertical ? m_nThumbHeight : m_nThumbWidth; }
  int MarginStart() const { return m_bVertical ? m_nMarginTop : m_nMarginLeft; }
  int MarginEnd() const { return m_bVertical ? m_nMarginBottom : m_nMarginRight; }
  int Along(POINT p) const { return m_bVertical ? p.y : p.x; }

  int m_nMax = 100;
  int m_nMin = 0;
  int m_nPos = 0;
  int m_nPage = 20;
  int m_nWidth = 0;
  int m_nHeight = 0;
  int m_nThumbWidth = 0;
  int m_nThumbHeight = 0;
  int m_nMarginLeft = 0;
  int m_nMarginRight = 0;
  int m_nMarginTop = 0;
  int m_nMarginBottom = 0;
  BOOL m_bVertical = FALSE;
  BOOL m_bThumbSet = FALSE;
  BOOL m_bCaptured = FALSE;
  BOOL m_bFocus = FALSE;
  BOOL m_bDrawFocus = TRUE;
  BOOL m_bEnabled = TRUE;
  HBITMAP m_hThumb = nullptr;
  HBITMAP m_hBackground = nullptr;  // the parent's image under the control
  COLORREF m_clrGroove;
  COLORREF m_clrLight;
  COLORREF m_clrDark;
  int m_nGrooveThickness = 4;
  POINT m_ptPress{0, 0};
  int m_nDragOffset = 0;
  BOOL m_bMoved = FALSE;
  BOOL m_bDragging = FALSE;

  DECLARE_MESSAGE_MAP()
};
