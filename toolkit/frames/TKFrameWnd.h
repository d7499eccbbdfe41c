#pragma once
// The toolkit's single-document frame: the frame implementation object, the stored
// window placement, the hooks of library popup menus, and docking of the toolkit's
// bars along the four sides of the client area.
#include "platform/afx/afxwin.h"
#include "toolkit/frames/FrameHelper.h"

class CTKFrameWnd : public CFrameWnd {
public:
  CTKFrameWnd();
  ~CTKFrameWnd() override;

  virtual BOOL OnMenuPopupShown(CWnd* popup);
  virtual void OnMenuPopupClosed(CWnd* popup);
  // Hooks for subclasses (what the library's popup menus and toolbars ask of a frame).
  virtual BOOL OnShowPopupMenuHook(CWnd*, CWnd*, UINT) { return FALSE; }
  virtual BOOL OnDrawMenuImageHook(CDC*, CWnd*) { return FALSE; }
  virtual BOOL OnMenuButtonToolHitTestHook(CWnd*, void*) { return FALSE; }
  virtual void OnDrawMenuLogoHook(CDC*, CWnd*, const RECT*) {}
  virtual BOOL OnShowCustomizePaneHook(CWnd*, UINT) { return TRUE; }
  virtual BOOL OnFillCustomizeList(CWnd* popup, CWnd* toolBar) { return TRUE; }

  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
  BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW, CWnd* parent = nullptr) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  // Keys and clicks while a library popup menu is open, and Alt or F10 alone moving
  // the focus between the menu bar and the frame.
  BOOL PreTranslateMessage(MSG* msg) override;
  // Bars that were not docked (the status bar) take their place first, then the
  // docked bars side by side: top, bottom, left, right, each side in docking order.
  void RecalcLayout(BOOL notify = TRUE) override;

  // The sides on which bars may dock (CBRS_ALIGN_* bits).
  void EnableDocking(DWORD style);
  // Docks bar on the side of the dock bar id (AFX_IDW_DOCKBAR_TOP and so on); a side
  // the frame does not allow leaves the bar where it is. False for no bar.
  BOOL DockControlBar(CControlBar* bar, UINT dockBarId = 0);
  // Docks bar on the side where other is docked.
  BOOL DockControlBarBeside(CControlBar* bar, CControlBar* other);
  // The dock bar id of the side the bar is docked on; 0 when floating.
  static UINT DockBarIdOf(const CControlBar* bar);

  // Called by every library popup menu when it opens.
  BOOL NotifyPopupMenuOpen(CWnd* popup);
  static CWnd* OpenPopupMenu() { return s_pOpenPopup; }

  FrameHelper m_Impl;
  UINT m_nLoadedResourceId = 0;
  BOOL m_inContextHelp = FALSE;
  DWORD m_dockingSides = 0;
  // The windows of the docked bars, in docking order.
  CList<HWND, HWND> m_dockedBars;

protected:
  // A user-defined toolbar asks to be deleted ("TKTOOLBAR_DELETE", the bar in lParam).
  LRESULT OnDeleteToolbar(WPARAM wParam, LPARAM lParam);
  void OnClose();
  void OnDestroy();
  void OnActivate(UINT state, CWnd* other, BOOL minimized);

  DECLARE_MESSAGE_MAP()

private:
  // The keys of the frame while popups are open or it is minimised: TRUE when
  // consumed.
  BOOL ProcessKey(UINT key);
  // A press while a library popup menu is open: on its shadow or outside every popup
  // of its chain it closes the chain; TRUE when the press is used up.
  BOOL ProcessMouseClick(UINT message, POINT screen);
  // Alt with a character: the menu bar, then the frame's other toolbars, take it as
  // an access key; TRUE when one did.
  BOOL ProcessMenuCharacter(UINT key);
  LRESULT OnMenuChar(WPARAM wParam, LPARAM lParam);
  static CWnd* s_pOpenPopup;
};
