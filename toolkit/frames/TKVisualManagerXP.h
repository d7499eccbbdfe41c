#pragma once
// The flat look: toolbars and menus on colours mixed from the system colours, flat
// highlighted buttons framed in the highlight colour, a light image strip down the
// left of popup menus and soft shadows under open menus.
#include "toolkit/frames/TKVisualManager.h"

class CTKVisualManagerXP : public CTKVisualManager {
  DECLARE_DYNCREATE(CTKVisualManagerXP)

public:
  explicit CTKVisualManagerXP(BOOL temporary = FALSE);
  ~CTKVisualManagerXP() override;

  void RecomputeColors() override;
  void PaintBarBackground(CDC* dc, CTKBaseControlBar* bar, CRect client, CRect clip,
                          BOOL nonClient = FALSE) override;
  void PaintBarEdges(CDC* dc, CTKBaseControlBar* bar, CRect& rect) override;
  void PaintMenuFrame(CDC* dc, CWnd* menu, CRect rect) override;
  void PaintGripper(CDC* dc, CRect gripper, BOOL horizontal, CTKBaseControlBar* bar) override;
  void PaintSeparator(CDC* dc, CTKBaseControlBar* bar, CRect rect, BOOL horizontal) override;
  void PaintCaptionButton(CDC* dc, CTKCaptionButton* button, BOOL dockedHorizontally, BOOL barExpanded,
                          BOOL maximised) override;
  void PaintMDIButton(CDC* dc, CRect rect, UINT command, UINT state, BOOL highlighted) override;
  void PaintStatusPaneBorder(CDC* dc, CTKBaseControlBar* statusBar, CRect rect, UINT paneId,
                             UINT paneStyle) override;
  void PaintDropDownButton(CDC* dc, CRect rect, BOOL disabled, BOOL pressed, BOOL highlighted) override;
  void PaintMenuButtonBorder(CDC* dc, CRect rect, CTKToolbarButton* button, BOOL checked,
                             BOOL highlighted) override;
  void PaintSunkenEdge(CDC* dc, CRect rect, BOOL draw) override;
  void PaintCaptionStrip(CDC* dc, CRect rect, BOOL active) override;
  void PaintButtonFace(CDC* dc, CTKToolbarButton* button, CRect rect, int state) override;
  void PaintButtonEdge(CDC* dc, CTKToolbarButton* button, CRect rect, int state) override;
  void PaintFace3D(CDC* dc, CTKToolbarButton* menuButton, CRect rect, COLORREF& textColor) override;
  void PaintPopupBarHighlight(CDC* dc, CRect rect) override;
  COLORREF GetButtonTextColor(CTKToolbarButton* button, int state) override;
  BOOL PaintOutlookButtonFace(CDC* dc, CTKToolbarButton* button, CRect rect, int state,
                              COLORREF& textColor) override;
  BOOL PaintOutlookButtonBorder(CDC* dc, CTKToolbarButton* button, CRect rect, int state) override;
  void PaintTabAreaBackground(CDC* dc, CRect rect, CWnd* window) override;
  void PaintBarButtonBorder(CDC* dc, CRect& rect, CTKButtonBase* button, UINT state) override;
  void PaintOutlookPageButton(CDC* dc, CRect rect) override;
  void PaintOutlookCaption(CDC* dc, CRect rect, COLORREF& textColor) override;
  void PaintTabAreaBackground(CDC* dc, CRect rect, CTKTabWndBase* tabWindow) override;
  void PaintTab(CDC* dc, CRect rect, int tab, BOOL active, CTKTabWndBase* tabWindow) override;
  void PaintTabBackground(CDC* dc, CRect rect, HBRUSH brush, int tab, BOOL active,
                          CTKTabWndBase* tabWindow) override;
  void PaintTabFrame(CDC* dc, CRect rect, CTKTabWndBase* tabWindow) override;
  void PaintTabButtonBorder(CDC* dc, CRect& rect, CTKButtonBase* button, UINT state) override;
  COLORREF PaintCustomizeListItem(CDC* dc, CRect rect, BOOL selected) override;
  void PaintTasksGroupCaption(CDC* dc, CTKTasksGroup* group, BOOL highlighted, BOOL selected,
                              BOOL hot) override;
  void PaintTasksGroupArea(CDC* dc, CTKTasksGroup* group, CRect rect) override;
  void PaintPaneFrame(CDC* dc, int left, int top, int right, int bottom, BOOL highlighted,
                      BOOL closed) override;
  void PaintTask(CDC* dc, CTKTask* task) override;
  void PaintCaptionBarButton(CDC* dc, CRect rect, int inset, int glyph, BOOL pressed) override;
  void PaintCaptionBarBorder(CDC* dc, CRect rect) override;
  void PaintPopupBorder(CDC* dc, CWnd* popup, CRect rect) override;
  void PaintWindowBorder(CWnd* window) override;
  void PaintScrollButtons(CDC* dc, CRect rect, BOOL vertical, UINT pressedState, BOOL disabled) override;
  int GetMenuImageMargin() override { return 3; }
  BOOL IsCustomizeOptionAllowed() override { return FALSE; }

  // The flat look's own steps: the button of an open menu, the gripper brushes, the
  // popup placed against its button, highlight fills and the menu colour.
  virtual void PaintOpenMenuButton(CDC* dc, CTKToolbarButton* button, CRect rect);
  virtual void CreateGripperBrushes();
  virtual void AdjustMenuToButton(CTKPopupMenuBase* popup, CRect& rect);
  virtual void FillHighlight(CDC* dc, CRect rect, CBrush* brush);
  virtual COLORREF GetMenuBaseColor();

  CBrush m_gripperBrush, m_gripperBrushVertical;
  COLORREF m_toolbarBackground = 0;
  CBrush m_toolbarBackgroundBrush;
  COLORREF m_toolbarBackgroundDark = 0;
  CBrush m_toolbarBackgroundDarkBrush;
  COLORREF m_menuBackground = 0;
  CBrush m_menuBackgroundBrush;
  COLORREF m_itemHighlight = 0;
  CBrush m_itemHighlightBrush;
  COLORREF m_itemPressed = 0;
  CBrush m_itemPressedBrush;
  COLORREF m_itemChecked = 0;
  CBrush m_itemCheckedBrush;
  COLORREF m_darkFace = 0;
  COLORREF m_paleFace = 0;
  CBrush m_paleFaceBrush;
  CPen m_separatorPen;
  COLORREF m_statusPaneBorder = 0;
  COLORREF m_menuBorder = 0;
  COLORREF m_itemFrame = 0;
  COLORREF m_tabShadow = 0;
  BOOL m_showMenuShadows = TRUE;

protected:
  // The face brush of a pressed, highlighted or checked toolbar button; null for
  // other buttons.
  CBrush* ButtonFaceBrush(CTKToolbarButton* button, int state);
};
