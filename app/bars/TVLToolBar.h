#pragma once
// The class of the main frame's toolbars: a toolkit toolbar in a window class named in
// the framework's pattern, whose button states follow the command handlers on every
// fourth idle update only.
#include "toolkit/bars/TKToolBar.h"

class CTVLToolBar : public CTKToolBar {
  DECLARE_SERIAL(CTVLToolBar)

public:
  CTVLToolBar();
  ~CTVLToolBar() override;

  void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;
  BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP,
              UINT id = AFX_IDW_TOOLBAR) override;
  BOOL CreateEx(CWnd* parent, DWORD controlStyle = 0x800,
                DWORD style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect borders = CRect(1, 1, 1, 1),
                UINT id = AFX_IDW_TOOLBAR) override;

  int GetUpdateCount() const { return m_nUpdateCount; }

  // The window of a program bar (toolbar or menu bar): borders, bar style and window
  // style as both classes set them, in the class "Afx:<instance>:8:<cursor>:16".
  static BOOL CreateBarWindow(CTKToolBar& bar, CWnd* parent, DWORD controlStyle, DWORD style, CRect borders,
                              UINT id);
  // The bar-style bit the frame's first toolbar (AFX_IDW_TOOLBAR) gets.
  static constexpr DWORD kFirstToolBarStyle = 0x8;

protected:
  int m_nUpdateCount = 0;

  DECLARE_MESSAGE_MAP()
};
