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

  BOOL IsThemed() override;                                                             // 8
  void RecomputeColors() override;                                                      // 9
  void PaintBarBackground(CDC* dc, CTKBaseControlBar* bar, CRect client, CRect clip,
                          BOOL nonClient = FALSE) override;                             // 10
  void PaintMenuFrame(CDC* dc, CWnd* menu, CRect rect) override;                        // 12
  void PaintGripper(CDC* dc, CRect gripper, BOOL horizontal, CTKBaseControlBar* bar) override;
  void PaintSeparator(CDC* dc, CTKBaseControlBar* bar, CRect rect, BOOL horizontal) override;
  void PaintMDIButton(CDC* dc, CRect rect, UINT command, UINT state, BOOL highlighted) override;
  void PaintStatusPaneBorder(CDC* dc, CTKBaseControlBar* statusBar, CRect rect, UINT paneId,
                             UINT paneStyle) override;                                  // 17
  void PaintStatusBarProgress(CDC* dc, CTKBaseControlBar* statusBar, CRect rect, int total,
                              int current, COLORREF barColor, COLORREF endColor,
                              COLORREF textColor, BOOL showText) override;              // 18
  void PaintSizeGrip(CDC* dc, CTKBaseControlBar* statusBar, CRect rect) override;       // 19
  void PaintDropDownButton(CDC* dc, CRect rect, BOOL disabled, BOOL pressed,
                           BOOL highlighted) override;                                  // 20
  void PaintButtonFace(CDC* dc, CTKToolbarButton* button, CRect rect, int state) override;
  void PaintButtonEdge(CDC* dc, CTKToolbarButton* button, CRect rect, int state) override;
  void PaintButtonViaOwner(CDC* dc, CTKToolbarButton* button, CRect rect, int state,
                           BOOL horizontal) override;                                   // 26
  void PaintPopupBarHighlight(CDC* dc, CRect rect) override;                            // 28
  COLORREF GetButtonTextColor(CTKToolbarButton* button, int state) override;            // 29
  BOOL PaintOutlookButtonFace(CDC* dc, CTKToolbarButton* button, CRect rect, int state,
                              COLORREF& textColor) override;                            // 31
  BOOL PaintOutlookButtonBorder(CDC* dc, CTKToolbarButton* button, CRect rect, int state) override;
  void PaintBarButtonBorder(CDC* dc, CRect& rect, CTKButtonBase* button, UINT state) override;
  COLORREF PaintCustomizeListItem(CDC* dc, CRect rect, BOOL selected) override;         // 47
  void PaintHeaderItemBorder(CTKHeaderCtrlBase* header, CDC* dc, CRect& rect, BOOL pressed,
                             BOOL highlighted) override;                                // 50
  void PaintHeaderSortArrow(CTKHeaderCtrlBase* header, CDC* dc, CRect rect,
                            BOOL ascending) override;                                   // 51
  void PaintWindowBorder(CWnd* window) override;                                        // 65
  void PaintScrollButtons(CDC* dc, CRect rect, BOOL vertical, UINT pressedState,
                          BOOL disabled) override;                                      // 66

  // Menu bars and popup menus keep the flat look's drawing even with themes on.
  BOOL useXPMenus = FALSE;

private:
  bool IsMenuBar(const CTKBaseControlBar* bar) const;
  bool IsMenuButton(const CTKToolbarButton* button) const;
};
