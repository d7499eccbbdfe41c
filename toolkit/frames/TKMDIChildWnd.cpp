#include "toolkit/frames/TKMDIChildWnd.h"

#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKMDIClientArea.h"
#include "toolkit/frames/TKMDIFrameWnd.h"

BEGIN_MESSAGE_MAP(CTKMDIChildWnd, CMDIChildWnd)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_DESTROY()
  ON_MESSAGE(WM_STYLECHANGED, OnStyleChanged)
  ON_MESSAGE(WM_MDIACTIVATE, OnMDIActivate)
  ON_MESSAGE(WM_SETTEXT, OnSetText)
  ON_MESSAGE(WM_SETICON, OnSetIcon)
END_MESSAGE_MAP()

BOOL CTKMDIChildWnd::PreTranslateMessage(MSG* msg) {
  CWnd* popup = CTKFrameWnd::OpenPopupMenu();
  if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST && popup && popup->m_hWnd && m_bToBeDestroyed)
    return FALSE;
  return CMDIChildWnd::PreTranslateMessage(msg);
}

int CTKMDIChildWnd::OnCreate(LPCREATESTRUCT cs) {
  m_pToolkitFrame =
      dynamic_cast<CTKMDIFrameWnd*>(CWnd::FromHandlePermanent(::GetParent(::GetParent(m_hWnd))));
  if (CMDIChildWnd::OnCreate(cs) == -1) return -1;
  // A window without a system menu keeps the rectangle it asked for, in case it gets
  // one; it comes up maximized (ActivateFrame).
  if (!(cs->style & WS_SYSMENU)) m_rectOriginal = CRect(cs->x, cs->y, cs->x + cs->cx, cs->y + cs->cy);
  return 0;
}

void CTKMDIChildWnd::ActivateFrame(int cmdShow) {
  if (m_hWnd && !(GetStyle() & WS_SYSMENU) && !::IsZoomed(m_hWnd)) {
    // Maximized before it shows, with the client not redrawing meanwhile.
    HWND client = ::GetParent(m_hWnd);
    ::SendMessageA(client, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(m_hWnd), 0);
    ::SendMessageA(client, WM_SETREDRAW, TRUE, 0);
    ::RedrawWindow(client, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
  }
  if (!(GetStyle() & WS_SYSMENU)) cmdShow = SW_SHOWMAXIMIZED;
  CMDIChildWnd::ActivateFrame(cmdShow);
}

void CTKMDIChildWnd::OnSize(UINT type, int cx, int cy) {
  CMDIChildWnd::OnSize(type, cx, cy);
  if (m_pToolkitFrame) m_pToolkitFrame->DelayUpdateMenuBarButtons();
}

void CTKMDIChildWnd::OnDestroy() {
  m_bToBeDestroyed = TRUE;
  if (m_pToolkitFrame) {
    m_pToolkitFrame->m_wndClientArea.RemoveTabOf(m_hWnd);
    m_pToolkitFrame->DelayUpdateMenuBarButtons();
  }
  CMDIChildWnd::OnDestroy();
}

LRESULT CTKMDIChildWnd::OnStyleChanged(WPARAM which, LPARAM lParam) {
  const LRESULT result = Default();
  const auto* change = reinterpret_cast<const STYLESTRUCT*>(lParam);
  if (which != static_cast<WPARAM>(GWL_STYLE) || !change) return result;
  const bool had = (change->styleOld & WS_SYSMENU) != 0;
  const bool has = (change->styleNew & WS_SYSMENU) != 0;
  HWND client = ::GetParent(m_hWnd);
  if (had && !has && !::IsZoomed(m_hWnd) && !::IsIconic(m_hWnd)) {
    ::GetWindowRect(m_hWnd, &m_rectOriginal);
    ::MapWindowPoints(nullptr, client, reinterpret_cast<POINT*>(&m_rectOriginal), 2);
    ::SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(m_hWnd), 0);
  } else if (!had && has && !m_rectOriginal.IsRectEmpty()) {
    ::SendMessageA(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(m_hWnd), 0);
    ::SetWindowPos(m_hWnd, nullptr, m_rectOriginal.left, m_rectOriginal.top, m_rectOriginal.Width(),
                   m_rectOriginal.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    m_rectOriginal.SetRectEmpty();
  }
  return result;
}

LRESULT CTKMDIChildWnd::OnMDIActivate(WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CMDIChildWnd::OnMDIActivate(wParam, lParam);
  if (m_pToolkitFrame) m_pToolkitFrame->DelayUpdateMenuBarButtons();
  return result;
}

LRESULT CTKMDIChildWnd::OnSetText(WPARAM, LPARAM) {
  const LRESULT result = Default();
  if (m_pToolkitFrame) m_pToolkitFrame->DelayUpdateMenuBarButtons();
  return result;
}

LRESULT CTKMDIChildWnd::OnSetIcon(WPARAM, LPARAM) {
  const LRESULT result = Default();
  if (m_pToolkitFrame) m_pToolkitFrame->DelayUpdateMenuBarButtons();
  return result;
}

HICON CTKMDIChildWnd::GetFrameIcon() const { return CTKMDIClientArea::IconOf(m_hWnd); }

CString CTKMDIChildWnd::GetFrameText() const {
  CString text;
  GetWindowText(text);
  return text;
}
