#include "app/looks/GradientVisualManager.h"

#include "app/looks/BarFill.h"
#include "toolkit/frames/DrawManager.h"

namespace {
constexpr int kAlongX = 0;  // gradient from left to right
constexpr int kUpward = 1;  // gradient from the bottom to the top

void SoftShadow(CDC* dc, const CRect& rect) {
  DrawManager(*dc).PaintShadow(rect, 3, 100, 50, nullptr, nullptr, TRUE);
}
}  // namespace

void CGradientVisualManager::PaintBarBackground(CDC* dc, CTKBaseControlBar* bar, CRect client, CRect,
                                                BOOL nonClient) {
  looks::ScopedClip clipToRect(dc, client, !nonClient);
  DrawManager(*dc).PaintGradient(looks::BarFillRect(bar, client, nonClient), kBarStart, kBarEnd, kUpward);
}

void CGradientVisualManager::PaintGripper(CDC* dc, CRect gripper, BOOL horizontal, CTKBaseControlBar*) {
  // Narrower along the bar than across it, shaded along the bar.
  if (horizontal)
    gripper.DeflateRect(3, 4);
  else
    gripper.DeflateRect(4, 3);
  if (gripper.IsRectEmpty()) return;
  DrawManager(*dc).PaintGradient(gripper, kBarEnd, kAccent, horizontal ? kAlongX : kUpward);
  SoftShadow(dc, gripper);
}

void CGradientVisualManager::PaintSeparator(CDC* dc, CTKBaseControlBar* bar, CRect rect, BOOL horizontal) {
  rect.DeflateRect(2, 2);
  CTKVisualManager::PaintSeparator(dc, bar, rect, horizontal);
}

void CGradientVisualManager::PaintFace3D(CDC* dc, CTKToolbarButton*, CRect rect, COLORREF&) {
  rect.DeflateRect(1, 2);
  DrawManager(*dc).PaintGradient(rect, kBarEnd, kAccent, kUpward);
  rect.InflateRect(0, 1);
  SoftShadow(dc, rect);
}

void CGradientVisualManager::PaintTabAreaBackground(CDC* dc, CRect rect, CWnd*) {
  DrawManager(*dc).PaintGradient(rect, kBarStart, kBarEnd, kUpward);
}

void CGradientVisualManager::PaintTabAreaBackground(CDC* dc, CRect rect, CTKTabWndBase*) {
  DrawManager(*dc).PaintGradient(rect, kBarStart, kBarEnd, kUpward);
}
