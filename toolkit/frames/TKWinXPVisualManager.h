#pragma once
// The look drawn through the system's visual styles. Every operation that has its
// theme class open draws with the theme; without it (classic windows, themes off,
// no "UxTheme.dll") it draws exactly as the flat look.
#include "toolkit/frames/TKVisualManagerXP.h"

class CTKWinXPVisualManager : public CTKVisualManagerXP {
  DECLARE_DYNCREATE(CTKWinXPVisualManager)

public:
  explicit CTKWinXPVisualManager(BOOL temporary = FALSE);
  ~CTKWinXPVisualManager() override;

  BOOL IsThemed() override;
  void RecomputeColors() override;
  void PaintBarBackground(CDC* dc, CTKBaseControlBar* bar, CRect client, CRect clip,
                          BOOL nonClient = FALSE) override;
  void PaintMenuFrame(CDC* dc, CWnd* menu, CRect rect) override;
  void PaintGripper(CDC* dc, CRect gripper, BOOL horizontal, CTKBaseControlBar* bar) override;
  void PaintSeparator(CDC* dc, CTKBaseControlBar* bar, CRect rect, BOOL horizontal) override;
  void PaintMDIButton(CDC* dc, CRect rect, UINT command, UINT state, BOOL highlighted) override;
  void PaintStatusPaneBorder(CDC* dc, CTKBaseControlBar* statusBar, CRect rect, UINT paneId,
                             UINT paneStyle) override;
  void PaintStatusBarProgress(CDC* dc, CTKBaseControlBar* statusBar, CRect rect, int total, int current,
                              COLORREF barColor, COLORREF endColor, COLORREF textColor,
                              BOOL showText) override;
  void PaintSizeGrip(CDC* dc, CTKBaseControlBar* statusBar, CRect rect) override;
  void PaintDropDownButton(CDC* dc, CRect rect, BOOL disabled, BOOL pressed, BOOL highlighted) override;
  void PaintButtonFace(CDC* dc, CTKToolbarButton* button, CRect rect, int state) override;
  void PaintButtonEdge(CDC* dc, CTKToolbarButton* button, CRect rect, int state) override;
  void PaintButtonViaOwner(CDC* dc, CTKToolbarButton* button, CRect rect, int state,
                           BOOL horizontal) override;
  void PaintPopupBarHighlight(CDC* dc, CRect rect) override;
  COLORREF GetButtonTextColor(CTKToolbarButton* button, int state) override;
  BOOL PaintOutlookButtonFace(CDC* dc, CTKToolbarButton* button, CRect rect, int state,
                              COLORREF& textColor) override;
  BOOL PaintOutlookButtonBorder(CDC* dc, CTKToolbarButton* button, CRect rect, int state) override;
  void PaintBarButtonBorder(CDC* dc, CRect& rect, CTKButtonBase* button, UINT state) override;
  COLORREF PaintCustomizeListItem(CDC* dc, CRect rect, BOOL selected) override;
  void PaintHeaderItemBorder(CTKHeaderCtrlBase* header, CDC* dc, CRect& rect, BOOL pressed,
                             BOOL highlighted) override;
  void PaintHeaderSortArrow(CTKHeaderCtrlBase* header, CDC* dc, CRect rect, BOOL ascending) override;
  void PaintWindowBorder(CWnd* window) override;
  void PaintScrollButtons(CDC* dc, CRect rect, BOOL vertical, UINT pressedState, BOOL disabled) override;

  // Menu bars and popup menus keep the flat look's drawing even with themes on.
  BOOL m_useXPMenus = FALSE;

private:
  bool IsMenuBar(const CTKBaseControlBar* bar) const;
  bool IsMenuButton(const CTKToolbarButton* button) const;
};
