#include "app/looks/BitmapVisualManager.h"

#include "app/looks/BarFill.h"
#include "toolkit/frames/DrawManager.h"

namespace {
// The first tile position at or before value on a grid of step from origin.
int FirstTile(int value, int origin, int step) {
  int offset = (value - origin) % step;
  if (offset < 0) offset += step;
  return value - offset;
}
}  // namespace

CBitmapVisualManager::CBitmapVisualManager(const char* fileName, int lightenPercent)
    : m_strFileName(fileName ? fileName : ""), m_nLightenPercent(lightenPercent) {}

CBitmapVisualManager::~CBitmapVisualManager() {
  if (m_hBitmap) ::DeleteObject(m_hBitmap);
}

BOOL CBitmapVisualManager::HasBitmap() {
  if (!m_bTriedLoad) {
    m_bTriedLoad = TRUE;
    if (!m_strFileName.IsEmpty())
      m_hBitmap = static_cast<HBITMAP>(
          ::LoadImageA(nullptr, m_strFileName, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    BITMAP info{};
    if (m_hBitmap && ::GetObjectA(m_hBitmap, sizeof info, &info) && info.bmWidth > 0 && info.bmHeight > 0) {
      m_nWidth = info.bmWidth;
      m_nHeight = info.bmHeight;
    } else if (m_hBitmap) {
      ::DeleteObject(m_hBitmap);
      m_hBitmap = nullptr;
    }
  }
  return m_hBitmap != nullptr;
}

BOOL CBitmapVisualManager::PaintTiles(CDC* dc, const CRect& rect, CPoint origin) {
  if (!HasBitmap()) return FALSE;
  looks::ScopedClip clip(dc, rect, true);
  for (int y = FirstTile(rect.top, origin.y, m_nHeight); y < rect.bottom; y += m_nHeight)
    for (int x = FirstTile(rect.left, origin.x, m_nWidth); x < rect.right; x += m_nWidth)
      ::DrawStateA(dc->m_hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(m_hBitmap), 0, x, y, m_nWidth,
                   m_nHeight, DST_BITMAP);
  DrawManager(*dc).LightenRect(rect, m_nLightenPercent);
  return TRUE;
}

void CBitmapVisualManager::PaintBarBackground(CDC* dc, CTKBaseControlBar* bar, CRect client, CRect clip,
                                              BOOL nonClient) {
  const CPoint origin =
      (bar && !bar->IsFloating()) ? looks::BarWindowOrigin(bar, nonClient) : client.TopLeft();
  // Without a readable bitmap the bar keeps the classic face rather than what lay
  // under it.
  if (!PaintTiles(dc, client, origin)) CTKVisualManager::PaintBarBackground(dc, bar, client, clip, nonClient);
}

void CBitmapVisualManager::PaintTabAreaBackground(CDC* dc, CRect rect, CWnd* window) {
  if (!PaintTiles(dc, rect, rect.TopLeft())) CTKVisualManager::PaintTabAreaBackground(dc, rect, window);
}

void CBitmapVisualManager::PaintTabAreaBackground(CDC* dc, CRect rect, CTKTabWndBase* tabWindow) {
  if (!PaintTiles(dc, rect, rect.TopLeft())) CTKVisualManager::PaintTabAreaBackground(dc, rect, tabWindow);
}
