#pragma once
// A look on the classic one that tiles a bitmap file over bars and tab areas, the
// tiles running from a docked bar's corner, then lightens them by a percentage.
#include "toolkit/frames/TKVisualManager.h"

class CBitmapVisualManager : public CTKVisualManager {
public:
  // The file is read when a bar first needs it; 100 percent keeps the tiles as they are.
  explicit CBitmapVisualManager(const char* fileName = "", int lightenPercent = 100);
  ~CBitmapVisualManager() override;

  void PaintBarBackground(CDC* dc, CTKBaseControlBar* bar, CRect client, CRect clip,
                          BOOL nonClient = FALSE) override;
  void PaintTabAreaBackground(CDC* dc, CRect rect, CWnd* window) override;
  void PaintTabAreaBackground(CDC* dc, CRect rect, CTKTabWndBase* tabWindow) override;

  // False when the file could not be read as a bitmap.
  BOOL HasBitmap();

  CString m_strFileName;
  HBITMAP m_hBitmap = nullptr;
  int m_nWidth = 0;
  int m_nHeight = 0;
  int m_nLightenPercent = 100;

private:
  // Tiles the bitmap over the rectangle from the origin, then lightens it; false when
  // there is no bitmap.
  BOOL PaintTiles(CDC* dc, const CRect& rect, CPoint origin);
  BOOL m_bTriedLoad = FALSE;
};
