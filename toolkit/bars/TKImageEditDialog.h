#pragma once
// "Edit Button Image": a toolbar button image drawn pixel by pixel in a magnified
// drawing area with pencil, fill, line, rectangle, ellipse and colour-picking tools,
// a palette, a preview, and copy, paste and clear. The caller's bitmap changes only
// when the dialog ends with OK.
#include "platform/afx/Dialog.h"
#include "toolkit/bars/TKColorBar.h"
#include "toolkit/bars/TKToolBar.h"

enum : UINT {
  IDD_TKIMAGE_EDITOR = 16133,
  IDC_TKIMAGE_DRAW = 16513,
  IDC_TKIMAGE_PALETTE = 16516,
  IDC_TKIMAGE_PREVIEW = 16519,
  // Where the tools toolbar goes, and the toolbar then.
  IDC_TKIMAGE_TOOLS = 16533,
  IDR_TKIMAGE_TOOLS = 16138,
  ID_TKIMAGE_FILL = 16901,
  ID_TKIMAGE_PENCIL = 16902,
  ID_TKIMAGE_PICK = 16903,
  ID_TKIMAGE_LINE = 16904,
  ID_TKIMAGE_RECTANGLE = 16905,
  ID_TKIMAGE_ELLIPSE = 16906,
  ID_TKIMAGE_COPY = 16907,
  ID_TKIMAGE_PASTE = 16908,
  ID_TKIMAGE_CLEAR = 16909,
};

// The magnified drawing area: one cell per image pixel.
class CTKImagePaintArea : public CWnd {
public:
  enum Tool { kPencil, kFill, kLine, kRectangle, kEllipse, kPickColor };
  // The cursor resources of the tools, in the order of the tools.
  enum : UINT { kFirstToolCursor = 16140 };

  // The bitmap stays the caller's; it is selected into the area's own memory DC.
  void SetBitmap(HBITMAP bitmap);
  void ReleaseBitmap();
  void SetTool(Tool tool) { m_mode = tool; }
  Tool GetTool() const { return m_mode; }
  void SetColor(COLORREF colour) { m_rgbColor = colour; }
  COLORREF GetColor() const { return m_rgbColor; }
  HDC GetImageDC() const { return m_memDC; }
  SIZE GetImageSize() const { return m_sizeImage; }
  // The cell of a client point, clamped to the image.
  CPoint CellOf(CPoint point) const;
  CRect CellRect(CPoint cell) const;

protected:
  void OnPaint();
  BOOL OnEraseBkgnd(CDC* dc);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  void DrawFigure(HDC dc, CPoint from, CPoint to, int scale, CPoint origin);
  void Changed();
  DECLARE_MESSAGE_MAP()

  HDC m_memDC = nullptr;
  HGDIOBJ m_oldBitmap = nullptr;
  SIZE m_sizeImage{0, 0};
  Tool m_mode = kPencil;
  COLORREF m_rgbColor = RGB(0, 0, 0);
  CPoint m_ptStart;
  CPoint m_ptEnd;
  BOOL m_bTracking = FALSE;
};

class CTKImageEditDialog : public CDialog {
public:
  CTKImageEditDialog(HBITMAP bitmap, CWnd* parent = nullptr, int bitsPerPixel = -1);
  ~CTKImageEditDialog() override;

  CTKImagePaintArea m_wndLargeDrawArea;
  // The tools: the current one shown pressed, Paste enabled while the clipboard
  // holds a bitmap.
  CTKToolBar m_wndTools;
  // The colours to draw with; light grey stands for the button face.
  CTKColorBar m_wndPalette;
  static const COLORREF s_palette[16];

protected:
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  LRESULT OnDrawItem(WPARAM id, LPARAM item);
  void OnOK() override;
  void UpdateTools();
  BOOL CreateTools();
  BOOL CreatePalette();
  void OnPaletteColor();
  void DrawPreview(LPDRAWITEMSTRUCT item);
  void OnCopy();
  void OnPaste();
  void OnClear();
  DECLARE_MESSAGE_MAP()

  HBITMAP m_hBitmap;
  HBITMAP m_hWorking = nullptr;
  int m_nBitsPerPixel;
};
