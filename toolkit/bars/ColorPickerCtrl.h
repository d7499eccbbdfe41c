#pragma once
// The colour pickers of the colour dialog, one control in five kinds: the swatch of
// the new and the current colour, the lightness bar, the hue/saturation field, the
// honeycomb of colours and the row of greys. The user picks with the mouse (and with
// the arrow keys in the field and the bar); the parent hears of each pick as a
// WM_COMMAND with the control's id, and of a double click as code 5.
#include "platform/afx/Button.h"
#include "platform/afx/afxwin.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

class CColorPickerCtrl : public CButton {
public:
  enum Kind { kSwatch = 0, kLuminanceBar = 1, kPicker = 2, kHexagon = 3, kHexagonGreyScale = 4 };

  struct Cell {
    POINT corners[6];
    COLORREF colour;
    COLORREF paletteColour;
    POINT centre;
    int size;
  };

  CColorPickerCtrl();
  ~CColorPickerCtrl() override;

  void SetType(Kind kind);
  Kind GetType() const { return m_kind; }
  void SetPalette(HPALETTE palette);
  void SetColor(COLORREF colour);
  void SetRGB(int red, int green, int blue) { SetColor(RGB(red, green, blue)); }
  COLORREF GetColor() const { return m_colour; }
  void SetOriginalColor(COLORREF colour);
  COLORREF GetOriginalColor() const { return m_originalColour; }
  // A value of -1.0 leaves that component as it is; the colour follows.
  void SetHLS(double hue, double lightness, double saturation, BOOL invalidate = TRUE);
  void GetHLS(double* hue, double* lightness, double* saturation) const;
  void SetLuminanceBarWidth(int width);
  int GetLuminanceBarWidth() const { return m_luminanceBarWidth; }

  // The cells of the honeycomb and the grey row, as laid out for the present size.
  const std::vector<Cell>& GetCells();
  // A component snapped to the usual values: 0 below the tolerance, 255 within it of
  // the top, 128 and 192 within it of themselves.
  static int SnapComponent(int value, int tolerance);

protected:
  void OnPaint();
  LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
  BOOL OnEraseBkgnd(CDC* dc);
  void OnSize(UINT type, int cx, int cy);
  void OnSysColorChange();
  UINT OnGetDlgCode();
  void OnLButtonDown(UINT flags, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnCaptureChanged(CWnd* wnd);
  void OnLButtonDblClk(UINT flags, CPoint point);
  void OnKeyDown(UINT key, UINT repeatCount, UINT flags);
  void OnSetFocus(CWnd* oldWnd);
  void OnKillFocus(CWnd* newWnd);
  // The button's own looks never show over the picker: its state, check and style
  // messages are swallowed.
  LRESULT OnButtonLooks(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()

private:
  void Paint(HDC dc);
  void PaintField(HDC dc, const CRect& client);
  void PaintLuminanceBar(HDC dc, const CRect& client);
  void PaintCells(HDC dc);
  void PaintSwatch(HDC dc, const CRect& client);
  void LayoutCells(const CRect& client);
  void LayoutHoneycomb(const CRect& client);
  void LayoutGreys(const CRect& client);
  void AddCell(int x, int y, int size, COLORREF colour, int tolerance);
  int CellAt(POINT point) const;
  // Takes the pick at the point; TRUE when the colour changed.
  BOOL PickAt(POINT point);
  void KeyPick(UINT key);
  void DropCache();
  void Changed(BOOL notify);
  void NotifyParent(int code);
  CRect BarRect(const CRect& client) const;

  Kind m_kind = kPicker;
  double m_hue = 0.0;
  double m_saturation = 0.0;
  double m_lightness = 0.5;
  COLORREF m_colour = RGB(0, 0, 0);
  COLORREF m_originalColour = RGB(0, 0, 0);
  HPALETTE m_palette = nullptr;
  HBITMAP m_cachedField = nullptr;
  SIZE m_cachedSize{0, 0};
  int m_luminanceBarWidth = 20;
  std::vector<Cell> m_cells;
  SIZE m_cellsLaidOutFor{0, 0};
  BOOL m_bTracking = FALSE;
};
