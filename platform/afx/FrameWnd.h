#pragma once
// A top-level frame: title, menu and icon from resources, and command routing to the
// application when the frame itself has no handler.
#include "platform/afx/Wnd.h"

class CFrameWnd : public CWnd {
public:
  CFrameWnd() = default;

  // Creates the frame from resource id: its title (the text up to the first '\n' of
  // string id, else the application's name), its menu and its icon when present.
  virtual BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW, CWnd* parent = nullptr);
  BOOL Create(const char* className, const char* title, DWORD style = WS_OVERLAPPEDWINDOW,
              const RECT& rect = rectDefault, CWnd* parent = nullptr, const char* menuName = nullptr,
              DWORD exStyle = 0);

  BOOL OnCmdMsg(UINT id, int code, void* extra) override;
  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;

  static const RECT rectDefault;

  // The frame's keyboard shortcuts (null when it has none).
  HACCEL m_hAccelTable = nullptr;
  virtual HACCEL GetDefaultAccelerator() { return m_hAccelTable; }
  // The resource id the frame was loaded from (0 when made without resources).
  UINT GetResourceId() const { return m_nIDResource; }

  // Lays the control bars out along the sides of the client area (WM_SIZEPARENT to
  // every bar child) and gives the rest to the view (AFX_IDW_PANE_FIRST).
  virtual void RecalcLayout(BOOL notify = TRUE);
  // Shows or hides a bar and lays the bars out again (at once unless delay).
  void ShowControlBar(CWnd* bar, BOOL show, BOOL delay);

protected:
  void PostNcDestroy() override;
  void OnDestroy();
  void OnSize(UINT type, int cx, int cy);
  UINT m_nIDResource = 0;
  BOOL m_inRecalcLayout = FALSE;

  DECLARE_MESSAGE_MAP()
};
