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
  BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW, CWnd* parent = nullptr,
                 CCreateContext* context = nullptr) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  // Keys and clicks while a library popup menu is open, and Alt or F10 alone moving
  // the focus between the menu bar and the frame.
  BOOL PreTranslateMessage(MSG* msg) override;
  // The toolkit's dock bars on the sides style names (top, bottom, left, right), in
  // place of plain ones, and the toolkit's floating frames.
  void EnableDocking(DWORD style) override;
  // Docks bar on the side where other is docked, next to it.
  BOOL DockControlBarBeside(CControlBar* bar, CControlBar* other);

  // Called by every library popup menu when it opens.
  BOOL NotifyPopupMenuOpen(CWnd* popup);
  static CWnd* OpenPopupMenu() { return s_pOpenPopup; }

  FrameHelper m_Impl;
  UINT m_nLoadedResourceId = 0;
  BOOL m_inContextHelp = FALSE;

protected:
  // A user-defined toolbar asks to be deleted ("TKTOOLBAR_DELETE", the bar in lParam).
  LRESULT OnDeleteToolbar(WPARAM wParam, LPARAM lParam);
  // "TKTOOLBAR_CREATE": a user-defined toolbar named by lParam; the result is the bar,
  // 0 when none was made.
  LRESULT OnCreateToolbar(WPARAM wParam, LPARAM lParam);
  void OnClose();
  void OnDestroy();
  void OnActivate(UINT state, CWnd* other, BOOL minimized);

  DECLARE_MESSAGE_MAP()

  LRESULT OnMenuChar(WPARAM wParam, LPARAM lParam);

public:
  // The menu bar, then each other visible toolbar of this frame, may take an Alt
  // plus letter key: TRUE when one took it.
  BOOL ProcessMenuChar(UINT character);
  // Clicks while a library popup menu is open, and Alt-clicks on toolbar buttons:
  // TRUE when the click was used up.
  BOOL ProcessMouseClick(UINT message, POINT screen, HWND window);

private:
  // The keys of the frame while popups are open or it is minimised, and Alt plus a
  // letter for the bars' menu characters: TRUE when consumed. translate is cleared
  // when the key must not go through the accelerators.
  BOOL ProcessKey(UINT key, BOOL* translate = nullptr);
  static CWnd* s_pOpenPopup;
};
