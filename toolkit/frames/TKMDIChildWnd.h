#pragma once
// The toolkit's document window inside its MDI frame: it keeps the frame's menu bar
// buttons in step with its maximized state, stays maximized while it has no system
// menu (remembering where it was before), and leaves the keys alone while a library
// popup menu is open and it is being closed.
#include "platform/afx/afxwin.h"

class CTKMDIFrameWnd;

class CTKMDIChildWnd : public CMDIChildWnd {
public:
  CTKMDIChildWnd() = default;

  BOOL PreTranslateMessage(MSG* msg) override;
  // A window without a system menu cannot be restored by the user: it always comes
  // up maximized.
  void ActivateFrame(int cmdShow = -1) override;
  // The small icon and the title the frame shows for this window.
  virtual HICON GetFrameIcon() const;
  virtual CString GetFrameText() const;
  // Whether the "Windows" dialog may save this window's document.
  virtual BOOL CanSaveDocument() { return GetActiveDocument() != nullptr; }

  CTKMDIFrameWnd* m_pToolkitFrame = nullptr;
  BOOL m_bToBeDestroyed = FALSE;
  CRect m_rectOriginal;

protected:
  int OnCreate(LPCREATESTRUCT cs);
  void OnSize(UINT type, int cx, int cy);
  void OnDestroy();
  LRESULT OnStyleChanged(WPARAM wParam, LPARAM lParam);
  LRESULT OnMDIActivate(WPARAM wParam, LPARAM lParam);
  // A new title or icon shows on the window's tab.
  LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetIcon(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()
};
