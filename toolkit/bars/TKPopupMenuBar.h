#pragma once
// The button bar inside a popup menu window: its items are menu buttons laid out top
// to bottom in one or more columns. It imports its items from a menu handle and
// exports them back, hides rarely used commands while keeping their access keys, opens
// and closes sub-menus after the user's menu delay, handles the menu keys and sends
// the chosen command.
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/bars/TKToolbarMenuButton.h"

class CTKPopupMenu;

class CTKPopupMenuBar : public CTKToolBar {
public:
  CTKPopupMenuBar();
  ~CTKPopupMenuBar() override;

  Kind LookKind() const override { return kPopupMenuBar; }
  BOOL ProcessMnemonic(UINT) override { return FALSE; }
  CSize CalcSize(BOOL vertical) override;
  void AdjustLayout() override;
  BOOL SetHotMenuIndex(int index) override;
  CWnd* GetCommandTarget() const override;
  BOOL OnSendCommand(const CTKToolbarButton* button) override;
  void DrawSeparator(CDC* dc, const CRect& rect, BOOL horizontal) override;
  // In an expanded personalised menu each run of rarely used items (separators inside
  // a run join it) gets the look's rarely-used background, so that the user sees which
  // items the short menu leaves out.
  void OnFillBackground(CDC* dc) override { DrawRarelyUsedBackground(dc); }
  void DrawRarelyUsedBackground(CDC* dc);
  BOOL OnKey(UINT key) override;
  BOOL AllowLookBorder() const override { return FALSE; }
  BOOL AllowTextLabels() const override { return FALSE; }
  BOOL CanFocus() const override { return FALSE; }
  BOOL AllowSelectDisabled() const override { return TRUE; }
  void SetButtonStyle(int index, UINT style) override;
  // A command dropped into a menu becomes a menu item showing its text (one without
  // text is refused), and the menu's window takes the new size.
  CTKToolbarButton* CreateDroppedButton(COleDataObject* data) override;
  BOOL OnDrop(COleDataObject* data, DROPEFFECT effect, CPoint point) override;
  // Moving the button that opens this popup (or one of the popups it sits in) into it
  // is refused: the move would delete the button that owns the popup taking the drop.
  DROPEFFECT OnDragOver(COleDataObject* data, DWORD keyState, CPoint point) override;
  // A drop goes to the item edge (top or bottom) nearest the point, in the column under
  // it; the marker is a line across the item on that edge.
  int FindDropIndex(CPoint point, CRect& marker) const override;
  void DrawDragMarker(CDC* dc) override;
  // A menu item always shows its text: the user chooses only whether its image shows
  // too, for every menu item of that command.
  BOOL EnableContextMenuItems(CTKToolbarButton* button, HMENU popup) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  BOOL ImportFromMenu(HMENU menu, BOOL showAllCommands = FALSE);
  HMENU ExportToMenu() const;
  // Carries out a chosen item and closes the menu chain.
  void InvokeCommand(UINT command, CTKToolbarButton* button);
  void CloseDelayedSubMenu();
  void RestoreDelayedSubMenu();
  void StartPopupTimer(CTKToolbarMenuButton* button, int factor = 1);
  void SetInCommand(BOOL on);
  BOOL IsInCommand() const { return m_bInCommand; }
  // The popup menu bar of this chain under the screen point, or null.
  CTKToolBar* FindMenuBarAtPoint(POINT screen) const;
  CTKPopupMenu* GetPopup() const;
  BOOL AreAllCommandsShown() const { return m_bAreAllCommandsShown; }
  // The index of the item chosen last in any popup (-1 for none).
  static int GetLastChosenIndex() { return s_lastChosen; }

  // The user's menu delay ("MenuShowDelay" under "Control Panel\Desktop"), in ms,
  // read on the first popup bar's creation; -1 until then.
  static int s_menuShowDelay;
  static int ReadMenuShowDelay();
  // The close timer's interval: one ms less than the delay, but never zero or less.
  static UINT CloseDelay();

  UINT m_uiDefaultMenuCmdId = 0;
  CTKToolbarMenuButton* m_pDelayedPopupMenuButton = nullptr;
  CTKToolbarMenuButton* m_pDelayedClosePopupMenuButton = nullptr;
  BOOL m_bFirstClick = TRUE;
  BOOL m_bFirstMove = TRUE;
  int m_iOffset = 0;
  int m_xSeparatorOffsetLeft = 0;
  int m_xSeparatorOffsetRight = 0;
  BOOL m_bAreAllCommandsShown = TRUE;
  int m_iMinWidth = -1;
  CArray<UINT, UINT> m_arColumns;
  CMap<UINT, UINT, UINT, UINT> m_HiddenItemsAccel;
  BOOL m_bInCommand = FALSE;
  BOOL m_bTrackMode = FALSE;
  BOOL m_bTrackPress = TRUE;
  // Set while a key moves the highlight (sub-menus then close at once).
  BOOL m_bKeyboardMove = FALSE;

protected:
  int OnCreate(LPCREATESTRUCT cs);
  void OnDestroy();
  void OnTimer(UINT_PTR id);
  void OnNcPaint() {}
  void OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) {}
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonDblClk(UINT flags, CPoint point);
  // The idle update: while the menu shows, its items follow their commands' state, and
  // an item whose command nobody handles is greyed.
  LRESULT OnIdleUpdateCmdUI(WPARAM disableIfNoHandler, LPARAM);
  // A mouse message outside the client handed to the bar of the chain under it.
  BOOL ForwardToBarAt(UINT message, UINT flags, CPoint point);
  // The open and close timers, killed only while they run: every kill is a request
  // to the window server.
  void StartMenuTimer(UINT id, UINT interval);
  void StopMenuTimer(UINT id);
  void OnToolbarText();
  void OnToolbarImageAndText();
  // The selected item shown with or without its image.
  void ShowSelectedItemImage(BOOL show);
  DECLARE_MESSAGE_MAP()

  static int s_lastChosen;
  UINT m_runningTimers = 0;
};
