#pragma once
// The toolkit's multiple-document frame: the single-document frame's behaviour (menu
// bar, popup menus, keys and clicks, user and torn-off toolbars, placement) over an
// MDI client whose children can show as tabs; a maximized child's icon and its
// minimize, restore and close buttons sit on the menu bar; the window menu's child
// list ends with an item that opens the "Windows" dialog.
#include "platform/afx/afxwin.h"
#include "toolkit/frames/FrameHelper.h"
#include "toolkit/frames/TKFrameSite.h"
#include "toolkit/frames/TKMDIClientArea.h"

class CTKMDIFrameWnd : public CMDIFrameWnd, public CTKFrameSite {
public:
  CTKMDIFrameWnd();
  ~CTKMDIFrameWnd() override;

  BOOL NotifyPopupMenuOpen(CWnd* popup) override;
  FrameHelper& GetFrameHelper() override { return m_Impl; }
  UINT GetLoadedResourceId() const override { return m_nLoadedResourceId; }

  // Asked by the client area when the window menu changes; FALSE lets the default run.
  virtual BOOL OnWindowMenuChanged(HMENU) { return FALSE; }

  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
  BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW, CWnd* parent = nullptr,
                 CCreateContext* context = nullptr) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL OnCmdMsg(UINT id, int code, void* extra) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  // Context help as in the single-document frame.
  void OnContextHelp() override;
  void WinHelp(DWORD_PTR data, UINT command = HELP_CONTEXT) override;
  void EnableDocking(DWORD style) override;
  BOOL CreateClient(LPCREATESTRUCT cs, HMENU windowMenu) override;
  HMENU GetWindowMenuPopup(HMENU menu) override;
  void OnUpdateFrameMenu(HMENU alternate) override;
  // The tab strip takes its room beside the MDI client.
  void RecalcLayout(BOOL notify = TRUE) override;
  // The tab strip hides while print preview shows.
  void OnSetPreviewMode(BOOL preview, CPrintPreviewState* state) override;
  // The children as tabs at the top or the bottom of the client area.
  void EnableMDITabs(BOOL enable = TRUE, int location = CTKTabWnd::LOCATION_TOP);
  // The window menu's child list ends with an item (command id, text) that opens the
  // "Windows" dialog.
  void EnableWindowsDialog(UINT commandId, const char* text, BOOL show = TRUE);
  // Runs the "Windows" dialog over this frame's children.
  void ShowWindowsDialog();

  // The menu bar shows the active child's icon and its caption buttons while that
  // child is maximized, and plain titles otherwise; the tabs follow the children. Both
  // are brought up to date once the messages now waiting are handled.
  void DelayUpdateMenuBarButtons();
  void UpdateMenuBarButtons();

  CTKMDIClientArea m_wndClientArea;
  HMENU m_hmenuWindow = nullptr;
  FrameHelper m_Impl;
  BOOL m_inContextHelp = FALSE;
  BOOL m_bShowWindowsDlgMenuItem = FALSE;
  UINT m_uiWindowsDlgMenuId = 0;
  CString m_strWindowsDlgMenuText;
  UINT m_nLoadedResourceId = 0;

protected:
  DECLARE_TK_FRAME_HANDLERS()
  LRESULT OnUpdateMenuButtons(WPARAM wParam, LPARAM lParam);
  LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
  // A click on a tab: its window becomes the active child.
  LRESULT OnChangeActiveTab(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

private:
  BOOL m_menuButtonsPosted = FALSE;
};
