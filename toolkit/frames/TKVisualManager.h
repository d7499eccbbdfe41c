#pragma once
// The look: every bar, button, menu, caption, tab, header and status pane of the
// toolkit asks the current look to paint it. The controls decide geometry and state;
// the look decides colours, edges and shapes. Callers reach the operations by their
// place in the table of virtual operations, so their order below is fixed for every
// look: new operations only go after the last one, in derived looks.
#include "toolkit/frames/BarStyles.h"
#include "toolkit/frames/TKBaseControlBar.h"
#include "toolkit/frames/TKButtonBase.h"
#include "toolkit/frames/TKCaptionButton.h"
#include "toolkit/frames/TKHeaderCtrlBase.h"
#include "toolkit/frames/TKPopupMenuBase.h"
#include "toolkit/frames/TKTabWndBase.h"
#include "toolkit/frames/TKTask.h"
#include "toolkit/frames/TKTasksGroup.h"
#include "toolkit/frames/TKToolbarButton.h"
#include "toolkit/frames/ThemeWrapper.h"

// Whether the toolbars are being customised (set by the customisation sheet).
extern BOOL g_toolbarsCustomizing;

class CTKVisualManager : public ThemeWrapper {
  DECLARE_DYNCREATE(CTKVisualManager)

public:
  explicit CTKVisualManager(BOOL temporary = FALSE);
  ~CTKVisualManager() override;

  // Slot 2 (Serialize) comes from CObject; slots 3 to 7 from ThemeWrapper.
  /* 8 */ virtual BOOL IsThemed() { return FALSE; }
  /* 9 */ virtual void RecomputeColors() {}
  /* 10 */ virtual void PaintBarBackground(CDC* dc, CTKBaseControlBar* bar, CRect client,
                                           CRect clip, BOOL nonClient = FALSE);
  /* 11 */ virtual void PaintBarEdges(CDC* dc, CTKBaseControlBar* bar, CRect& rect);
  /* 12 */ virtual void PaintMenuFrame(CDC* dc, CWnd* menu, CRect rect);
  /* 13 */ virtual void PaintGripper(CDC* dc, CRect gripper, BOOL horizontal, CTKBaseControlBar* bar);
  /* 14 */ virtual void PaintSeparator(CDC* dc, CTKBaseControlBar* bar, CRect rect, BOOL horizontal);
  /* 15 */ virtual void PaintCaptionButton(CDC* dc, CTKCaptionButton* button, BOOL dockedHorizontally,
                                           BOOL barExpanded, BOOL maximised);
  /* 16 */ virtual void PaintMDIButton(CDC* dc, CRect rect, UINT systemCommand, UINT state,
                                       BOOL highlighted);
  /* 17 */ virtual void PaintStatusPaneBorder(CDC* dc, CTKBaseControlBar* statusBar, CRect rect,
                                              UINT paneId, UINT paneStyle);
  /* 18 */ virtual void PaintStatusBarProgress(CDC* dc, CTKBaseControlBar* statusBar, CRect rect,
                                               int total, int current, COLORREF barColor,
                                               COLORREF endColor, COLORREF textColor, BOOL showText);
  /* 19 */ virtual void PaintSizeGrip(CDC* dc, CTKBaseControlBar* statusBar, CRect rect);
  /* 20 */ virtual void PaintDropDownButton(CDC* dc, CRect rect, BOOL disabled, BOOL pressed,
                                            BOOL highlighted);
  /* 21 */ virtual void PaintMenuButtonBorder(CDC* dc, CRect rect, CTKToolbarButton* button,
                                              BOOL checked, BOOL highlighted);
  /* 22 */ virtual void PaintSunkenEdge(CDC* dc, CRect rect, BOOL draw);
  /* 23 */ virtual void PaintCaptionStrip(CDC* dc, CRect rect, BOOL active);
  /* 24 */ virtual void PaintButtonFace(CDC* dc, CTKToolbarButton* button, CRect rect, int state);
  /* 25 */ virtual void PaintButtonEdge(CDC* dc, CTKToolbarButton* button, CRect rect, int state);
  /* 26 */ virtual void PaintButtonViaOwner(CDC* dc, CTKToolbarButton* button, CRect rect,
                                            int state, BOOL horizontal);
  /* 27 */ virtual void PaintFace3D(CDC* dc, CTKToolbarButton* menuButton, CRect rect,
                                    COLORREF& textColor);
  /* 28 */ virtual void PaintPopupBarHighlight(CDC* dc, CRect rect);
  /* 29 */ virtual COLORREF GetButtonTextColor(CTKToolbarButton* button, int state);
  /* 30 */ virtual COLORREF GetCaptionBarTextColor(CTKBaseControlBar* captionBar);
  /* 31 */ virtual BOOL PaintOutlookButtonFace(CDC* dc, CTKToolbarButton* button, CRect rect,
                                               int state, COLORREF& textColor);
  /* 32 */ virtual BOOL PaintOutlookButtonBorder(CDC* dc, CTKToolbarButton* button, CRect rect,
                                                 int state);
  /* 33 */ virtual void PaintTabAreaBackground(CDC* dc, CRect rect, CWnd* window);
  /* 34 */ virtual void PaintBarButtonBorder(CDC* dc, CRect& rect, CTKButtonBase* button, UINT state);
  /* 35 */ virtual void PaintOutlookPageButton(CDC* dc, CRect rect);
  /* 36 */ virtual void PaintOutlookCaption(CDC* dc, CRect rect, COLORREF& textColor);
  /* 37 */ virtual void PaintTabAreaBackground(CDC* dc, CRect rect, CTKTabWndBase* tabWindow);
  /* 38 */ virtual void PaintTab(CDC* dc, CRect rect, int tab, BOOL active, CTKTabWndBase* tabWindow);
  /* 39 */ virtual void PaintTabBackground(CDC* dc, CRect rect, HBRUSH brush, int tab, BOOL active,
                                           CTKTabWndBase* tabWindow);
  /* 40 */ virtual void PaintTabLabel(CDC* dc, CRect rect, int tab, BOOL active,
                                      CTKTabWndBase* tabWindow);
  /* 41 */ virtual void PaintTabFrame(CDC* dc, CRect rect, CTKTabWndBase* tabWindow);
  /* 42 */ virtual void PaintTabButtonBorder(CDC* dc, CRect& rect, CTKButtonBase* button, UINT state);
  /* 43 */ virtual void GetTabColors(CTKTabWndBase* tabWindow, COLORREF& face, COLORREF& shadow,
                                     COLORREF& text, COLORREF& highlightColor, COLORREF& darkShadow,
                                     COLORREF& light, HBRUSH& faceBrush, HBRUSH& darkBrush);
  /* 44 */ virtual BOOL PaintTabColor(CDC* dc, CRect rect, CTKTabWndBase* tabWindow);
  /* 45 */ virtual BOOL PaintTabExtra(CDC* dc, CRect rect, CTKTabWndBase* tabWindow) { return FALSE; }
  /* 46 */ virtual BOOL GetTabExtraColor(CTKTabWndBase* tabWindow, COLORREF& color) { return FALSE; }
  /* 47 */ virtual COLORREF PaintCustomizeListItem(CDC* dc, CRect rect, BOOL selected);
  /* 48 */ virtual SIZE GetButtonExtraSize() { return SIZE{0, 0}; }
  /* 49 */ virtual void PaintHeaderBackground(CTKHeaderCtrlBase* header, CDC* dc, CRect rect);
  /* 50 */ virtual void PaintHeaderItemBorder(CTKHeaderCtrlBase* header, CDC* dc, CRect& rect,
                                              BOOL pressed, BOOL highlighted);
  /* 51 */ virtual void PaintHeaderSortArrow(CTKHeaderCtrlBase* header, CDC* dc, CRect rect,
                                             BOOL ascending);
  /* 52 */ virtual void PaintWindowBackground(CDC* dc, CRect rect);
  /* 53 */ virtual void PaintTasksGroupCaption(CDC* dc, CTKTasksGroup* group, BOOL highlighted,
                                               BOOL selected, BOOL hot);
  /* 54 */ virtual void PaintTasksPaneBackground(CDC* dc, CRect rect) {}
  /* 55 */ virtual void PaintTasksGroupArea(CDC* dc, CTKTasksGroup* group, CRect rect) {}
  /* 56 */ virtual void PaintPaneFrame(CDC* dc, int left, int top, int right, int bottom,
                                       BOOL highlighted, BOOL closed);
  /* 57 */ virtual void PaintTask(CDC* dc, CTKTask* task);
  /* 58 */ virtual void PaintCaptionBarButton(CDC* dc, CRect rect, int inset, int glyph, BOOL pressed);
  /* 59 */ virtual void PaintCaptionBarCloseButton(CDC* dc, CRect rect, BOOL highlighted, BOOL pressed);
  /* 60 */ virtual void PaintCaptionBarBorder(CDC* dc, CRect rect);
  /* 61 */ virtual void PaintPopupBorder(CDC* dc, CWnd* popup, CRect rect);
  /* 62 */ virtual void PaintPopupBackground(CDC* dc, CWnd* popup, CRect rect);
  /* 63 */ virtual int GetShowAllButtonHeight(CTKBaseControlBar* bar);
  /* 64 */ virtual void PaintShowAllButton(CDC* dc, CRect rect);
  /* 65 */ virtual void PaintWindowBorder(CWnd* window);
  /* 66 */ virtual void PaintScrollButtons(CDC* dc, CRect rect, BOOL vertical, UINT pressedState,
                                           BOOL disabled);
  /* 67 */ virtual void PaintDragFrame(CDC* dc, CRect newRect, CRect oldRect, SIZE newSize,
                                       SIZE oldSize);
  /* 68 */ virtual void PaintBoldCaption(CDC* dc, CWnd* captionWindow, CRect rect);
  /* 69 */ virtual BOOL DrawPushButton(CDC* dc, CRect rect, CWnd* button, UINT state, int) {
    return ThemeWrapper::DrawPushButton(dc, rect, button, state);
  }
  /* 70 */ virtual BOOL DrawComboDropButton(CDC* dc, CRect rect, BOOL disabled, BOOL dropped,
                                            BOOL highlighted, int) {
    return ThemeWrapper::DrawComboDropButton(dc, rect, disabled, dropped, highlighted);
  }
  /* 71 */ virtual BOOL DrawComboBorder(CDC* dc, CRect rect, BOOL disabled, BOOL dropped,
                                        BOOL highlighted, int) {
    return ThemeWrapper::DrawComboBorder(dc, rect, disabled, dropped, highlighted);
  }
  /* 72 */ virtual int GetMenuImageMargin() { return 2; }
  /* 73 */ virtual BOOL IsCustomizeOptionAllowed() { return TRUE; }
  /* 74 */ virtual int GetCustomizeButtonMargin() { return 2; }
  /* 75 */ virtual BOOL IsPressedButtonShifted() { return TRUE; }
  /* 76 */ virtual BOOL IsMenuJoinedToButton() { return menuJoinedToButton; }
  /* 77 */ virtual int GetPopupMenuBorderSize() { return popupMenuBorderSize; }
  /* 78 */ virtual int GetOutlookLayoutFlag() { return outlookLayoutFlag; }

  using ThemeWrapper::DrawPushButton;
  using ThemeWrapper::DrawComboDropButton;
  using ThemeWrapper::DrawComboBorder;

  // The current look, made from the selected look class when none is current.
  static CTKVisualManager* GetInstance();
  // Null selects the base look; a class outside the look hierarchy is refused.
  static BOOL SelectLookClass(CRuntimeClass* lookClass);
  static void RedrawAllBars();
  static void SetLookFlag(BOOL flag);
  static void DestroyInstance();
  // The current look without making one (null when none).
  static CTKVisualManager* Current() { return current_; }

  // Installed by the bar layers: the live toolbars (re-laid out after a look change)
  // and the live sizing bars, for redrawing. Empty until those layers exist.
  static void (*adjustAllToolbars)();
  static void (*forEachBarWindow)(void (*visit)(HWND));

  BOOL lookFlag = FALSE;
  int menuShadowDepth = 6;
  BOOL flatButtonStyle = FALSE;
  BOOL flatToolbarButtons = FALSE;
  BOOL embossDisabledText = TRUE;
  BOOL xpImageStyle = FALSE;
  BOOL isTemporary = FALSE;
  int tasksPaneMetrics[9] = {12, 12, 15, 25, 13, 7, 12, 5, 4};
  BOOL menuJoinedToButton = FALSE;
  int popupMenuBorderSize = 2;
  int outlookLayoutFlag = 1;
  BOOL autoDelete = FALSE;

protected:
  // Draws a glyph of the menu strip centred in the rectangle.
  static void DrawGlyphCentred(CDC* dc, int glyph, const CRect& rect, int extra = 0);

private:
  static CTKVisualManager* current_;
  static CRuntimeClass* selectedClass_;
};
