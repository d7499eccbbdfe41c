#pragma once
// A look on the classic one with light grey bars, rounded toolbar buttons, grippers
// that carry a sizing bar's title, and thin separators in popup menus only.
#include "toolkit/frames/TKVisualManager.h"

class CRoundVisualManager : public CTKVisualManager {
public:
  static constexpr COLORREF kFace = RGB(221, 221, 221);

  CRoundVisualManager();

  void RecomputeColors() override;
  void PaintBarBackground(CDC* dc, CTKBaseControlBar* bar, CRect client, CRect clip,
                          BOOL nonClient = FALSE) override;
  void PaintGripper(CDC* dc, CRect gripper, BOOL horizontal, CTKBaseControlBar* bar) override;
  void PaintSeparator(CDC* dc, CTKBaseControlBar* bar, CRect rect, BOOL horizontal) override;
  void PaintCaptionButton(CDC* dc, CTKCaptionButton* button, BOOL dockedHorizontally, BOOL barExpanded,
                          BOOL maximised) override;
  void PaintButtonFace(CDC* dc, CTKToolbarButton* button, CRect rect, int state) override;
  void PaintButtonEdge(CDC* dc, CTKToolbarButton* button, CRect rect, int state) override;
  void PaintTabAreaBackground(CDC* dc, CRect rect, CWnd* window) override;
  void PaintTabAreaBackground(CDC* dc, CRect rect, CTKTabWndBase* tabWindow) override;

  CBrush m_faceBrush;
  COLORREF m_face = kFace;
  COLORREF m_shadow = 0;
  COLORREF m_highlight = 0;
  COLORREF m_darkShadow = 0;
  COLORREF m_light = 0;
  // Half-way between the face and the shadow, and between the shadow and the dark shadow.
  COLORREF m_faceShadowMid = 0;
  COLORREF m_shadowDarkMid = 0;
};
