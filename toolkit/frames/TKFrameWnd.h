#pragma once
// The toolkit's single-document frame: the frame implementation object, the stored
// window placement, the hooks of library popup menus, and docking of the toolkit's
// bars along the four sides of the client area.
#include "platform/afx/afxwin.h"
#include "toolkit/frames/FrameHelper.h"
#include "toolkit/frames/TKFrameSite.h"

class CTKFrameWnd : public CFrameWnd, public CTKFrameSite {
public:
  CTKFrameWnd();
  ~CTKFrameWnd() override;

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
  // Context help runs with the toolbars' mouse hook on; while it runs, a click on a
  // spot without help (context 0) starts it again.
  void OnContextHelp() override;
  void WinHelp(DWORD_PTR data, UINT command = HELP_CONTEXT) override;

  FrameHelper& GetFrameHelper() override { return m_Impl; }
  UINT GetLoadedResourceId() const override { return m_nLoadedResourceId; }
  static CWnd* OpenPopupMenu() { return s_pOpenPopup; }

  FrameHelper m_Impl;
  UINT m_nLoadedResourceId = 0;
  BOOL m_inContextHelp = FALSE;

protected:
  DECLARE_TK_FRAME_HANDLERS()
  LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

public:
  // The menu bar, then each other visible toolbar of this frame, may take an Alt
  // plus letter key: TRUE when one took it.
  BOOL ProcessMenuChar(UINT character);
  // Clicks while a library popup menu is open, and Alt-clicks on toolbar buttons:
  // TRUE when the click was used up.
  BOOL ProcessMouseClick(UINT message, POINT screen, HWND window);

  // The same routines for any toolkit frame, given the frame and its implementation
  // object (the MDI and in-place frames share them).
  static BOOL ProcessMenuCharFor(CFrameWnd* frame, FrameHelper& impl, UINT character);
  static BOOL ProcessMouseClickFor(CFrameWnd* frame, UINT message, POINT screen, HWND window);
  // The keys of the frame while popups are open or it is minimised, and Alt plus a
  // letter for the bars' menu characters: TRUE when consumed. translate is cleared
  // when the key must not go through the accelerators.
  static BOOL ProcessKeyFor(CFrameWnd* frame, FrameHelper& impl, UINT key, BOOL* translate = nullptr);
  // The frame's pre-translation of keys and clicks: TRUE when consumed; otherwise
  // passOn tells whether the frame's base class still gets the message. An in-place
  // frame leaves the system keys alone (the menu bar's Alt and F10 belong to the
  // container) and takes every button message of its client area.
  static BOOL PreTranslateFor(CFrameWnd* frame, FrameHelper& impl, MSG* msg, BOOL* passOn,
                              BOOL inPlace = FALSE);
  static void EnableDockingFor(CFrameWnd* frame, DWORD style);
  // The context help of any toolkit frame; running is the frame's flag of it.
  static void ContextHelpFor(CFrameWnd* frame, BOOL& running);
  // A help request for context 0 while the frame runs context help starts it again
  // (the user clicked where nothing has help): TRUE when it did.
  static BOOL ContextHelpAgainFor(CFrameWnd* frame, DWORD_PTR data, BOOL running);
  // A library popup menu opened or closed in some toolkit frame.
  static void SetOpenPopupMenu(CWnd* popup) { s_pOpenPopup = popup; }

private:
  static CWnd* s_pOpenPopup;
};
