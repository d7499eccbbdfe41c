// The frame's side of print preview: what it hides while preview shows and puts back
// afterwards.
#include "platform/afx/ControlBar.h"
#include "platform/afx/FrameWnd.h"
#include "platform/afx/MiniDockFrameWnd.h"
#include "platform/afx/PrintInfo.h"
#include "platform/afx/View.h"

void CFrameWnd::OnSetPreviewMode(BOOL preview, CPrintPreviewState* state) {
  if (!m_hWnd || !state) return;
  if (preview) {
    // Bars hide, except the status bar, where preview shows the page number.
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
      const int id = ::GetDlgCtrlID(child);
      if (id < AFX_IDW_CONTROLBAR_FIRST || id > AFX_IDW_CONTROLBAR_LAST || id == AFX_IDW_STATUS_BAR) continue;
      if (!::IsWindowVisible(child)) continue;
      ::ShowWindow(child, SW_HIDE);
      state->hiddenBars.push_back(child);
    }
    for (POSITION pos = m_listFloating.GetHeadPosition(); pos;) {
      CMiniDockFrameWnd* mini = m_listFloating.GetNext(pos);
      HWND hwnd = mini->m_hWnd;
      if (hwnd && ::IsWindowVisible(hwnd)) {
        ::ShowWindow(hwnd, SW_HIDE);
        state->hiddenBars.push_back(hwnd);
      }
    }
    state->hMenu = ::GetMenu(m_hWnd);
    if (state->hMenu) ::SetMenu(m_hWnd, nullptr);
    state->pViewActiveOld = m_pViewActive;
    // The main pane keeps out of the way under another id.
    state->hMainPane = ::GetDlgItem(m_hWnd, static_cast<int>(state->nIDMainPane));
    if (state->hMainPane) {
      ::ShowWindow(state->hMainPane, SW_HIDE);
      ::SetWindowLongPtrA(state->hMainPane, GWLP_ID, AFX_IDW_PANE_SAVE);
    }
  } else {
    if (state->hMainPane && ::IsWindow(state->hMainPane)) {
      ::SetWindowLongPtrA(state->hMainPane, GWLP_ID, static_cast<LONG_PTR>(state->nIDMainPane));
      ::ShowWindow(state->hMainPane, SW_SHOW);
    }
    if (state->hMenu) ::SetMenu(m_hWnd, state->hMenu);
    for (HWND bar : state->hiddenBars)
      if (::IsWindow(bar)) ::ShowWindow(bar, SW_SHOWNA);
    state->hiddenBars.clear();
    SetActiveView(state->pViewActiveOld, TRUE);
  }
  RecalcLayout();
}
