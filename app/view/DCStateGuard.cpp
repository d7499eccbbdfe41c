#include "app/view/DCStateGuard.h"

CDCStateGuard::~CDCStateGuard() {
  if (m_hOldPen) ::SelectObject(m_hDC, m_hOldPen);
  if (m_hOldBrush) ::SelectObject(m_hDC, m_hOldBrush);
  if (m_hOldFont) ::SelectObject(m_hDC, m_hOldFont);
  if (m_hOldBitmap) ::SelectObject(m_hDC, m_hOldBitmap);
  if (m_hOldPalette) ::SelectPalette(m_hDC, m_hOldPalette, FALSE);
}

void CDCStateGuard::SelectPen(HPEN pen) {
  if (m_hOldPen) ::SelectObject(m_hDC, m_hOldPen);
  m_hOldPen = static_cast<HPEN>(::SelectObject(m_hDC, pen));
}

void CDCStateGuard::SelectBrush(HBRUSH brush) {
  if (m_hOldBrush) ::SelectObject(m_hDC, m_hOldBrush);
  m_hOldBrush = static_cast<HBRUSH>(::SelectObject(m_hDC, brush));
}

void CDCStateGuard::SelectFont(HFONT font) {
  if (m_hOldFont) ::SelectObject(m_hDC, m_hOldFont);
  m_hOldFont = static_cast<HFONT>(::SelectObject(m_hDC, font));
}

void CDCStateGuard::SelectBitmap(HBITMAP bitmap) {
  if (m_hOldBitmap) ::SelectObject(m_hDC, m_hOldBitmap);
  m_hOldBitmap = static_cast<HBITMAP>(::SelectObject(m_hDC, bitmap));
}

void CDCStateGuard::SelectPalette(HPALETTE palette) {
  if (m_hOldPalette) ::SelectPalette(m_hDC, m_hOldPalette, FALSE);
  m_hOldPalette = ::SelectPalette(m_hDC, palette, FALSE);
}
