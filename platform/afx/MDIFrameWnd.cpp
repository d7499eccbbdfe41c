#include "platform/afx/MDIFrameWnd.h"

#include "platform/afx/CmdUI.h"
#include "platform/afx/ControlBar.h"
#include "platform/afx/MDIChildWnd.h"
#include "platform/afx/View.h"
#include "platform/afx/WinApp.h"

IMPLEMENT_DYNAMIC(CMDIFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_COMMAND(ID_WINDOW_ARRANGE, MDIIconArrange)
  ON_COMMAND(ID_WINDOW_CASCADE, MDICascade)
  ON_COMMAND(ID_WINDOW_TILE_HORZ, OnTileHorizontally)
  ON_COMMAND(ID_WINDOW_TILE_VERT, OnTileVertically)
  ON_UPDATE_COMMAND_UI(ID_WINDOW_ARRANGE, OnUpdateWindowCommand)
  ON_UPDATE_COMMAND_UI(ID_WINDOW_CASCADE, OnUpdateWindowCommand)
  ON_UPDATE_COMMAND_UI(ID_WINDOW_TILE_HORZ, OnUpdateWindowCommand)
  ON_UPDATE_COMMAND_UI(ID_WINDOW_TILE_VERT, OnUpdateWindowCommand)
END_MESSAGE_MAP()

int CMDIFrameWnd::OnCreate(LPCREATESTRUCT cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  // The client exists before anything else of the frame, so bars made afterwards
  // lay themselves out around it.
  if (!CreateClient(cs, GetWindowMenuPopup(::GetMenu(m_hWnd)))) return -1;
  return 0;
}

void CMDIFrameWnd::OnDestroy() {
  // The children go through the client first: a maximized one has lent its system
  // menu to the frame's menu, and the client takes it back only then (the frame's
  // menu would otherwise destroy it a second time).
  if (m_hWndMDIClient) {
    while (HWND child = ::GetWindow(m_hWndMDIClient, GW_CHILD)) {
      if (::GetWindow(child, GW_OWNER)) {
        ::DestroyWindow(child);  // an icon title
        continue;
      }
      ::SendMessageA(m_hWndMDIClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
      if (::IsWindow(child)) break;
    }
  }
  CFrameWnd::OnDestroy();
}

BOOL CMDIFrameWnd::CreateClient(LPCREATESTRUCT, HMENU windowMenu) {
  CLIENTCREATESTRUCT ccs{};
  ccs.hWindowMenu = windowMenu;
  ccs.idFirstChild = AFX_IDM_FIRST_MDICHILD;
  m_hWindowMenu = windowMenu;
  m_hWndMDIClient = ::CreateWindowExA(
      WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
      WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_HSCROLL | WS_VSCROLL, 0, 0, 0, 0, m_hWnd,
      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_PANE_FIRST)), AfxGetInstanceHandle(), &ccs);
  return m_hWndMDIClient != nullptr;
}

HMENU CMDIFrameWnd::GetWindowMenuPopup(HMENU menu) {
  if (!menu) return nullptr;
  // The popup that holds one of the window commands.
  for (int i = ::GetMenuItemCount(menu) - 1; i >= 0; --i) {
    HMENU popup = ::GetSubMenu(menu, i);
    if (!popup) continue;
    for (int j = 0, n = ::GetMenuItemCount(popup); j < n; ++j) {
      const UINT id = ::GetMenuItemID(popup, j);
      if (id >= AFX_IDM_WINDOW_FIRST && id <= AFX_IDM_WINDOW_LAST) return popup;
    }
  }
  return nullptr;
}

void CMDIFrameWnd::OnUpdateFrameMenu(HMENU alternate) {
  if (!m_hWndMDIClient) return;
  HMENU menu = alternate ? alternate : ::GetMenu(m_hWnd);
  if (!menu) return;
  ::SendMessageA(m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(menu),
                 reinterpret_cast<LPARAM>(GetWindowMenuPopup(menu)));
  ::DrawMenuBar(m_hWnd);
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* maximized) const {
  BOOL max = FALSE;
  HWND active = m_hWndMDIClient ? reinterpret_cast<HWND>(::SendMessageA(m_hWndMDIClient, WM_MDIGETACTIVE, 0,
                                                                        reinterpret_cast<LPARAM>(&max)))
                                : nullptr;
  if (maximized) *maximized = active ? max : FALSE;
  return dynamic_cast<CMDIChildWnd*>(CWnd::FromHandlePermanent(active));
}

void CMDIFrameWnd::MDIActivate(CWnd* child) {
  if (child && child->m_hWnd)
    ::SendMessageA(m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child->m_hWnd), 0);
}

void CMDIFrameWnd::MDIMaximize(CWnd* child) {
  if (child && child->m_hWnd)
    ::SendMessageA(m_hWndMDIClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child->m_hWnd), 0);
}

void CMDIFrameWnd::MDIRestore(CWnd* child) {
  if (child && child->m_hWnd)
    ::SendMessageA(m_hWndMDIClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(child->m_hWnd), 0);
}

void CMDIFrameWnd::MDINext() { ::SendMessageA(m_hWndMDIClient, WM_MDINEXT, 0, 0); }
void CMDIFrameWnd::MDICascade() { ::SendMessageA(m_hWndMDIClient, WM_MDICASCADE, 0, 0); }
void CMDIFrameWnd::MDITile(int how) { ::SendMessageA(m_hWndMDIClient, WM_MDITILE, how, 0); }
void CMDIFrameWnd::MDIIconArrange() { ::SendMessageA(m_hWndMDIClient, WM_MDIICONARRANGE, 0, 0); }
void CMDIFrameWnd::OnTileHorizontally() { MDITile(MDITILE_HORIZONTAL); }
void CMDIFrameWnd::OnTileVertically() { MDITile(MDITILE_VERTICAL); }

void CMDIFrameWnd::OnUpdateWindowCommand(CCmdUI* state) { state->Enable(MDIGetActive() != nullptr); }

BOOL CMDIFrameWnd::OnCmdMsg(UINT id, int code, void* extra) {
  // The active document window (its view, itself, then this frame and the
  // application) has the first say; while print preview shows, the preview (the
  // frame's own view then) has it.
  if (m_pViewActive) return CFrameWnd::OnCmdMsg(id, code, extra);
  if (CMDIChildWnd* child = MDIGetActive()) return child->OnCmdMsg(id, code, extra);
  return CFrameWnd::OnCmdMsg(id, code, extra);
}

CDocument* CMDIFrameWnd::GetActiveDocument() {
  CMDIChildWnd* child = MDIGetActive();
  return child ? child->GetActiveDocument() : nullptr;
}

BOOL CMDIFrameWnd::PreTranslateMessage(MSG* msg) {
  if (m_hWndMDIClient && (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) &&
      ::TranslateMDISysAccel(m_hWndMDIClient, msg))
    return TRUE;
  return CFrameWnd::PreTranslateMessage(msg);
}

LRESULT CMDIFrameWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefFrameProcA(m_hWnd, m_hWndMDIClient, message, wParam, lParam);
}
