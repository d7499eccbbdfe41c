#pragma once
// The look: every bar, button, menu, caption, tab, header and status pane of the
// toolkit asks the current look to paint it. The controls decide geometry and state;
// the look decides colours, edges and shapes. A derived look overrides the operations
// it draws differently and keeps the others.
#include "toolkit/frames/BarStyles.h"
#include "toolkit/frames/TKBaseControlBar.h"
#include "toolkit/frames/TKButtonBase.h"
#include "toolkit/frames/TKCaptionButton.h"
#include "toolkit/frames/TKHeaderCtrlBase.h"
#include "toolkit/frames/TKPopupMenuBase.h"
#include "toolkit/frames/TKTabWndBase.h"
#include "toolkit/frames/TKTask.h"
#include "toolkit/frames/TKTasksGroup.h"
#include "toolkit/bars/TKToolbarButton.h"
#include "toolkit/frames/ThemeWrapper.h"

// Whether the toolbars are being customised (set by the customisation sheet).
extern BOOL g_toolbarsCustomizing;

class CTKVisualManager : public ThemeWrapper {
  DECLARE_DYNCREATE(CTKVisualManager)

public:
  explicit CTKVisualManager(BOOL temporary = FALSE);
  ~CTKVisualManager() override;

  // Whether the look draws through the system's visual styles; the colours it mixes
  // from the system colours, made again after a colour change.
  virtual BOOL IsThemed() { return FALSE; }
  virtual void RecomputeColors() {}
  // Bars: background, edges, menu frames, grippers, separators, caption and MDI buttons.
  virtual void PaintBarBackground(CDC* dc, CTKBaseControlBar* bar, CRect client, CRect clip,
                                  BOOL nonClient = FALSE);
  virtual void PaintBarEdges(CDC* dc, CTKBaseControlBar* bar, CRect& rect);
  virtual void PaintMenuFrame(CDC* dc, CWnd* menu, CRect rect);
  virtual void PaintGripper(CDC* dc, CRect gripper, BOOL horizontal, CTKBaseControlBar* bar);
  virtual void PaintSeparator(CDC* dc, CTKBaseControlBar* bar, CRect rect, BOOL horizontal);
  virtual void PaintCaptionButton(CDC* dc, CTKCaptionButton* button, BOOL dockedHorizontally,
                                  BOOL barExpanded, BOOL maximised);
  virtual void PaintMDIButton(CDC* dc, CRect rect, UINT systemCommand, UINT state, BOOL highlighted);
  // The status bar.
  virtual void PaintStatusPaneBorder(CDC* dc, CTKBaseControlBar* statusBar, CRect rect, UINT paneId,
                                     UINT paneStyle);
  virtual void PaintStatusBarProgress(CDC* dc, CTKBaseControlBar* statusBar, CRect rect, int total,
                                      int current, COLORREF barColor, COLORREF endColor, COLORREF textColor,
                                      BOOL showText);
  virtual void PaintSizeGrip(CDC* dc, CTKBaseControlBar* statusBar, CRect rect);
  // Toolbar and menu buttons, sunken edges and caption strips.
  virtual void PaintDropDownButton(CDC* dc, CRect rect, BOOL disabled, BOOL pressed, BOOL highlighted);
  virtual void PaintMenuButtonBorder(CDC* dc, CRect rect, CTKToolbarButton* button, BOOL checked,
                                     BOOL highlighted);
  virtual void PaintSunkenEdge(CDC* dc, CRect rect, BOOL draw);
  virtual void PaintCaptionStrip(CDC* dc, CRect rect, BOOL active);
  virtual void PaintButtonFace(CDC* dc, CTKToolbarButton* button, CRect rect, int state);
  virtual void PaintButtonEdge(CDC* dc, CTKToolbarButton* button, CRect rect, int state);
  virtual void PaintButtonViaOwner(CDC* dc, CTKToolbarButton* button, CRect rect, int state, BOOL horizontal);
  virtual void PaintFace3D(CDC* dc, CTKToolbarButton* menuButton, CRect rect, COLORREF& textColor);
  virtual void PaintPopupBarHighlight(CDC* dc, CRect rect);
  virtual COLORREF GetButtonTextColor(CTKToolbarButton* button, int state);
  virtual COLORREF GetCaptionBarTextColor(CTKBaseControlBar* captionBar);
  virtual BOOL PaintOutlookButtonFace(CDC* dc, CTKToolbarButton* button, CRect rect, int state,
                                      COLORREF& textColor);
  virtual BOOL PaintOutlookButtonBorder(CDC* dc, CTKToolbarButton* button, CRect rect, int state);
  // Tab areas and tabs, outlook pages, and the borders of buttons on bars and tabs.
  virtual void PaintTabAreaBackground(CDC* dc, CRect rect, CWnd* window);
  virtual void PaintBarButtonBorder(CDC* dc, CRect& rect, CTKButtonBase* button, UINT state);
  virtual void PaintOutlookPageButton(CDC* dc, CRect rect);
  virtual void PaintOutlookCaption(CDC* dc, CRect rect, COLORREF& textColor);
  virtual void PaintTabAreaBackground(CDC* dc, CRect rect, CTKTabWndBase* tabWindow);
  virtual void PaintTab(CDC* dc, CRect rect, int tab, BOOL active, CTKTabWndBase* tabWindow);
  virtual void PaintTabBackground(CDC* dc, CRect rect, HBRUSH brush, int tab, BOOL active,
                                  CTKTabWndBase* tabWindow);
  virtual void PaintTabLabel(CDC* dc, CRect rect, int tab, BOOL active, CTKTabWndBase* tabWindow);
  virtual void PaintTabFrame(CDC* dc, CRect rect, CTKTabWndBase* tabWindow);
  virtual void PaintTabButtonBorder(CDC* dc, CRect& rect, CTKButtonBase* button, UINT state);
  virtual void GetTabColors(CTKTabWndBase* tabWindow, COLORREF& face, COLORREF& shadow, COLORREF& text,
                            COLORREF& highlightColor, COLORREF& darkShadow, COLORREF& light,
                            HBRUSH& faceBrush, HBRUSH& darkBrush);
  virtual BOOL PaintTabColor(CDC* dc, CRect rect, CTKTabWndBase* tabWindow);
  virtual BOOL PaintTabExtra(CDC* dc, CRect rect, CTKTabWndBase* tabWindow) { return FALSE; }
  virtual BOOL GetTabExtraColor(CTKTabWndBase* tabWindow, COLORREF& color) { return FALSE; }
  // Lists, headers and the tasks pane.
  virtual COLORREF PaintCustomizeListItem(CDC* dc, CRect rect, BOOL selected);
  virtual SIZE GetButtonExtraSize() { return SIZE{0, 0}; }
  virtual void PaintHeaderBackground(CTKHeaderCtrlBase* header, CDC* dc, CRect rect);
  virtual void PaintHeaderItemBorder(CTKHeaderCtrlBase* header, CDC* dc, CRect& rect, BOOL pressed,
                                     BOOL highlighted);
  virtual void PaintHeaderSortArrow(CTKHeaderCtrlBase* header, CDC* dc, CRect rect, BOOL ascending);
  virtual void PaintWindowBackground(CDC* dc, CRect rect);
  virtual void PaintTasksGroupCaption(CDC* dc, CTKTasksGroup* group, BOOL highlighted, BOOL selected,
                                      BOOL hot);
  virtual void PaintTasksPaneBackground(CDC* dc, CRect rect) {}
  virtual void PaintTasksGroupArea(CDC* dc, CTKTasksGroup* group, CRect rect) {}
  virtual void PaintPaneFrame(CDC* dc, int left, int top, int right, int bottom, BOOL highlighted,
                              BOOL closed);
  virtual void PaintTask(CDC* dc, CTKTask* task);
  // Caption bars, popups, window borders, scroll buttons and drag frames.
  virtual void PaintCaptionBarButton(CDC* dc, CRect rect, int inset, int glyph, BOOL pressed);
  virtual void PaintCaptionBarCloseButton(CDC* dc, CRect rect, BOOL highlighted, BOOL pressed);
  virtual void PaintCaptionBarBorder(CDC* dc, CRect rect);
  virtual void PaintPopupBorder(CDC* dc, CWnd* popup, CRect rect);
  virtual void PaintPopupBackground(CDC* dc, CWnd* popup, CRect rect);
  virtual int GetShowAllButtonHeight(CTKBaseControlBar* bar);
  virtual void PaintShowAllButton(CDC* dc, CRect rect);
  virtual void PaintWindowBorder(CWnd* window);
  virtual void PaintScrollButtons(CDC* dc, CRect rect, BOOL vertical, UINT pressedState, BOOL disabled);
  virtual void PaintDragFrame(CDC* dc, CRect newRect, CRect oldRect, SIZE newSize, SIZE oldSize);
  virtual void PaintBoldCaption(CDC* dc, CWnd* captionWindow, CRect rect);
  // Push buttons and combo boxes: through the theme when there is one (FALSE when the
  // caller must draw them itself).
  virtual BOOL DrawPushButton(CDC* dc, CRect rect, CWnd* button, UINT state, int) {
    return ThemeWrapper::DrawPushButton(dc, rect, button, state);
  }
  virtual BOOL DrawComboDropButton(CDC* dc, CRect rect, BOOL disabled, BOOL dropped, BOOL highlighted, int) {
    return ThemeWrapper::DrawComboDropButton(dc, rect, disabled, dropped, highlighted);
  }
  virtual BOOL DrawComboBorder(CDC* dc, CRect rect, BOOL disabled, BOOL dropped, BOOL highlighted, int) {
    return ThemeWrapper::DrawComboBorder(dc, rect, disabled, dropped, highlighted);
  }
  // Metrics and behaviour that differ between looks.
  virtual int GetMenuImageMargin() { return 2; }
  virtual BOOL IsCustomizeOptionAllowed() { return TRUE; }
  virtual int GetCustomizeButtonMargin() { return 2; }
  virtual BOOL IsPressedButtonShifted() { return TRUE; }
  virtual BOOL IsMenuJoinedToButton() { return m_menuJoinedToButton; }
  virtual int GetPopupMenuBorderSize() { return m_popupMenuBorderSize; }
  virtual int GetOutlookLayoutFlag() { return m_outlookLayoutFlag; }
  // A frame's docking area (its client rectangle, on its paint DC). The looks that
  // keep no own dock background paint it as a bar that has no class of its own.
  virtual void PaintDockBarBackground(CDC* dc, CDockBar* dockBar, CRect client) {
    PaintBarBackground(dc, nullptr, client, client, TRUE);
  }

  using ThemeWrapper::DrawComboBorder;
  using ThemeWrapper::DrawComboDropButton;
  using ThemeWrapper::DrawPushButton;

  // The current look, made from the selected look class when none is current.
  static CTKVisualManager* GetInstance();
  // Null selects the base look; a class outside the look hierarchy is refused.
  static BOOL SelectLookClass(CRuntimeClass* lookClass);
  static void RedrawAllBars();
  static void SetLookFlag(BOOL flag);
  static void DestroyInstance();
  // The current look without making one (null when none).
  static CTKVisualManager* Current() { return s_current; }

  // Installed by the bar layers: the live toolbars (re-laid out after a look change)
  // and the live sizing bars, for redrawing. Empty until those layers exist.
  static void (*s_adjustAllToolbars)();
  static void (*s_forEachBarWindow)(void (*visit)(HWND));

  BOOL m_lookFlag = FALSE;
  int m_menuShadowDepth = 6;
  BOOL m_flatButtonStyle = FALSE;
  BOOL m_flatToolbarButtons = FALSE;
  BOOL m_embossDisabledText = TRUE;
  BOOL m_xpImageStyle = FALSE;
  BOOL m_isTemporary = FALSE;
  int m_tasksPaneMetrics[9] = {12, 12, 15, 25, 13, 7, 12, 5, 4};
  BOOL m_menuJoinedToButton = FALSE;
  int m_popupMenuBorderSize = 2;
  int m_outlookLayoutFlag = 1;
  BOOL m_autoDelete = FALSE;

protected:
  // The glyph of a sizing bar's caption button.
  static int CaptionButtonGlyph(const CTKCaptionButton* button, BOOL dockedHorizontally, BOOL barExpanded,
                                BOOL maximised);
  // Draws a glyph of the menu strip centred in the rectangle.
  static void DrawGlyphCentred(CDC* dc, int glyph, const CRect& rect, int extra = 0);

private:
  static CTKVisualManager* s_current;
  static CRuntimeClass* s_selectedClass;
};
