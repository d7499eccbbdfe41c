#pragma once
// Selects pens, brushes, fonts, bitmaps and palettes into a device context and puts
// the previous ones back when it goes out of scope.
#include <windows.h>

class CDCStateGuard {
public:
  explicit CDCStateGuard(HDC dc) : m_hDC(dc) {}
  virtual ~CDCStateGuard();
  CDCStateGuard(const CDCStateGuard&) = delete;
  CDCStateGuard& operator=(const CDCStateGuard&) = delete;

  // Each puts back what it selected before (if anything), then selects the new
  // object and remembers what that replaced.
  void SelectPen(HPEN pen);
  void SelectBrush(HBRUSH brush);
  void SelectFont(HFONT font);
  void SelectBitmap(HBITMAP bitmap);
  void SelectPalette(HPALETTE palette);

  HDC GetDC() const { return m_hDC; }

private:
  HDC m_hDC;
  HPEN m_hOldPen = nullptr;
  HBRUSH m_hOldBrush = nullptr;
  HFONT m_hOldFont = nullptr;
  HBITMAP m_hOldBitmap = nullptr;
  HPALETTE m_hOldPalette = nullptr;
};
