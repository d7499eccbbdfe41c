#pragma once
// A top-level frame: title, menu and icon from resources, and command routing to the
// application when the frame itself has no handler.
#include "platform/afx/CWnd.h"

class CFrameWnd : public CWnd {
public:
  CFrameWnd() = default;

  // Creates the frame from resource id: its title (the text up to the first '\n' of
  // string id, else the application's name), its menu and its icon when present.
  virtual BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW,
                         CWnd* parent = nullptr);
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

protected:
  void PostNcDestroy() override;
  void OnDestroy();
  UINT m_nIDResource = 0;

  DECLARE_MESSAGE_MAP()
};
