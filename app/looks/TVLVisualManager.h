#pragma once
// The program's own look: the toolkit's flat look with toolbars, docking areas and the
// fixed bars drawn in the colour scheme's control-bar colour and its shades, the
// classic three-dimensional buttons and menu frames, and popup menus with a fixed blue
// image column. The colours are read from the colour scheme at every drawing
// operation, so a new scheme shows at the next repaint without a new look.
#include "toolkit/frames/TKVisualManagerXP.h"

class CTVLVisualManager : public CTKVisualManagerXP {
  DECLARE_DYNCREATE(CTVLVisualManager)

public:
  // The image column of popup menus, whatever the scheme.
  static constexpr COLORREF kMenuImageColumn = RGB(121, 126, 207);

  explicit CTVLVisualManager(BOOL temporary = FALSE) : CTKVisualManagerXP(temporary) {}

  void PaintBarBackground(CDC* dc, CTKBaseControlBar* bar, CRect client, CRect clip,
                          BOOL nonClient = FALSE) override;
  void PaintBarEdges(CDC* dc, CTKBaseControlBar* bar, CRect& rect) override;
  void PaintMenuFrame(CDC* dc, CWnd* menu, CRect rect) override;
  void PaintGripper(CDC* dc, CRect gripper, BOOL horizontal, CTKBaseControlBar* bar) override;
  void PaintCaptionButton(CDC* dc, CTKCaptionButton* button, BOOL dockedHorizontally, BOOL barExpanded,
                          BOOL maximised) override;
  void PaintButtonFace(CDC* dc, CTKToolbarButton* button, CRect rect, int state) override;
  void PaintButtonEdge(CDC* dc, CTKToolbarButton* button, CRect rect, int state) override;
  void PaintButtonViaOwner(CDC* dc, CTKToolbarButton* button, CRect rect, int state,
                           BOOL horizontal) override;
  void PaintFace3D(CDC* dc, CTKToolbarButton* menuButton, CRect rect, COLORREF& textColor) override;
  void PaintDockBarBackground(CDC* dc, CDockBar* dockBar, CRect client) override;
  void CreateGripperBrushes() override;
};
