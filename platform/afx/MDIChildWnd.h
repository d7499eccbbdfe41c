#pragma once
// A document window inside an MDI frame's client area. It is made through the MDI
// client (WM_MDICREATE), keeps the system's MDI child behaviour (caption buttons,
// Ctrl+F4, maximizing into the frame) and routes commands to its view, then itself,
// then its frame and the application.
#include "platform/afx/FrameWnd.h"

class CMDIFrameWnd;

class CMDIChildWnd : public CFrameWnd {
  DECLARE_DYNAMIC(CMDIChildWnd)

public:
  CMDIChildWnd() = default;

  // Makes the window in parent's client area (parent null: the application's main
  // window). A context makes its view.
  virtual BOOL Create(const char* className, const char* title,
                      DWORD style = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                      const RECT& rect = rectDefault, CMDIFrameWnd* parent = nullptr,
                      CCreateContext* context = nullptr);
  // Title and icon from resourceId, as frames load them.
  BOOL LoadFrame(UINT resourceId, DWORD style = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                 CWnd* parent = nullptr, CCreateContext* context = nullptr) override;

  // Shows the window (cmdShow, or as it is with -1) and makes it the active child.
  virtual void ActivateFrame(int cmdShow = -1);

  // Through the MDI client, which then activates the next child (a child destroyed
  // behind its back stays its active one).
  BOOL DestroyWindow() override;

  CMDIFrameWnd* GetMDIFrame() const;
  void MDIDestroy();
  void MDIActivate();
  void MDIMaximize();
  void MDIRestore();

  BOOL OnCmdMsg(UINT id, int code, void* extra) override;
  // The keys of the shared accelerators become commands of the MDI frame.
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // The frame's title follows the document (the system shows it in the frame's
  // caption while the child is maximized).
  void OnUpdateFrameTitle(BOOL addToTitle) override;

  // The menu (and accelerators) of the template that made this window, shared with
  // the template's other windows; the frame shows that menu while this one is active.
  HMENU m_hMenuShared = nullptr;
  HACCEL m_hAccelShared = nullptr;

protected:
  int OnCreate(LPCREATESTRUCT cs);
  LRESULT OnMDIActivate(WPARAM wParam, LPARAM lParam);
  CMDIFrameWnd* m_pMDIFrame = nullptr;

  DECLARE_MESSAGE_MAP()
};
