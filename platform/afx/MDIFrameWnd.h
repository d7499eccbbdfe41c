#pragma once
// A frame whose client area is the system's MDI client: document windows live inside
// it, the window menu lists them, and commands go to the active one first.
#include "platform/afx/FrameWnd.h"

class CMDIChildWnd;

// The commands of a window menu (new window, arrange icons, cascade, tile across and
// down, split); the child list follows them from kMdiFirstChildId.
#define ID_WINDOW_NEW 0xE130
#define ID_WINDOW_ARRANGE 0xE131
#define ID_WINDOW_CASCADE 0xE132
#define ID_WINDOW_TILE_HORZ 0xE133
#define ID_WINDOW_TILE_VERT 0xE134
#define ID_WINDOW_SPLIT 0xE135
#define AFX_IDM_WINDOW_FIRST 0xE130
#define AFX_IDM_WINDOW_LAST 0xE13F
#define AFX_IDM_FIRST_MDICHILD 0xFF00

class CMDIFrameWnd : public CFrameWnd {
  DECLARE_DYNAMIC(CMDIFrameWnd)

public:
  CMDIFrameWnd() = default;

  // The MDI client, made while the frame is created (id AFX_IDW_PANE_FIRST, so the
  // bars' layout gives it the room left).
  HWND m_hWndMDIClient = nullptr;

  // Makes the MDI client; windowMenu (may be null) gets the list of child windows.
  virtual BOOL CreateClient(LPCREATESTRUCT cs, HMENU windowMenu);
  // The popup of menu that holds the window commands, or null.
  virtual HMENU GetWindowMenuPopup(HMENU menu);
  // Puts the frame's menu back (or alternate, when given) with the window list.
  virtual void OnUpdateFrameMenu(HMENU alternate);

  // The active child, and whether it is maximized.
  CMDIChildWnd* MDIGetActive(BOOL* maximized = nullptr) const;
  void MDIActivate(CWnd* child);
  void MDIMaximize(CWnd* child);
  void MDIRestore(CWnd* child);
  void MDINext();
  void MDICascade();
  // MDITILE_VERTICAL or MDITILE_HORIZONTAL.
  void MDITile(int how);
  void MDIIconArrange();

  BOOL OnCmdMsg(UINT id, int code, void* extra) override;
  CDocument* GetActiveDocument() override;
  // The system keys of the child windows (Ctrl+F4, Ctrl+F6) before the frame's own.
  BOOL PreTranslateMessage(MSG* msg) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
  int OnCreate(LPCREATESTRUCT cs);
  void OnDestroy();
  void OnTileHorizontally();
  void OnTileVertically();
  void OnUpdateWindowCommand(CCmdUI* state);
  HMENU m_hWindowMenu = nullptr;

  DECLARE_MESSAGE_MAP()
};
