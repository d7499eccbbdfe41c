#include "toolkit/bars/TKDropDownFrame.h"

#include "toolkit/bars/TKDropDownToolbarButton.h"

BEGIN_MESSAGE_MAP(CTKDropDownFrame, CWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_PAINT()
  ON_WM_SIZE()
  ON_WM_MOUSEACTIVATE()
  ON_MESSAGE(WM_ACTIVATEAPP, OnActivateApp)
END_MESSAGE_MAP()

namespace {
constexpr int kBorder = 2;
}

BOOL CTKDropDownFrame::Create(CTKDropDownToolbarButton* parentButton, CTKDropDownToolBar* source,
                              CPoint position) {
  m_pParentButton = parentButton;
  m_pSource = source;
  m_ptPosition = position;
  m_strName = parentButton ? parentButton->m_strText : CString();
  HWND owner = nullptr;
  if (parentButton && parentButton->m_bar && parentButton->m_bar->m_hWnd)
    owner = ::GetAncestor(parentButton->m_bar->m_hWnd, GA_ROOT);
  const char* windowClass = AfxRegisterWndClass(CS_SAVEBITS, ::LoadCursorA(nullptr, IDC_ARROW));
  if (!CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, windowClass, m_strName, WS_POPUP, position.x, position.y, 0,
                0, owner, nullptr)) {
    // A frame that never got a window does not delete itself.
    m_pParentButton = nullptr;
    delete this;
    return FALSE;
  }
  ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  return TRUE;
}

int CTKDropDownFrame::OnCreate(LPCREATESTRUCT cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  m_wndToolBar.m_pDropDownFrame = this;
  const DWORD style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_TOOLTIPS | CBRS_FLYBY;
  if (!m_wndToolBar.CreateEx(this, 0, style, CRect(0, 0, 0, 0), 1)) return -1;
  m_wndToolBar.m_dwStyle &= ~(CBRS_GRIPPER | CBRS_BORDER_ANY);
  m_wndToolBar.m_bLocked = m_pSource ? m_pSource->m_bLocked : FALSE;
  if (m_pSource) {
    for (POSITION pos = m_pSource->GetAllButtons().GetHeadPosition(); pos;) {
      auto* button = static_cast<CTKToolbarButton*>(m_pSource->GetAllButtons().GetNext(pos));
      if (button->IsSeparator())
        m_wndToolBar.InsertSeparator();
      else
        m_wndToolBar.InsertButtonCopy(*button);
    }
  }
  m_wndToolBar.AdjustSize();
  const CSize size = m_wndToolBar.CalcSize(FALSE);
  const int width = size.cx + 2 * kBorder, height = size.cy + 2 * kBorder;
  // Next to the button and whole on the screen.
  const int screenW = ::GetSystemMetrics(SM_CXSCREEN), screenH = ::GetSystemMetrics(SM_CYSCREEN);
  int x = m_ptPosition.x, y = m_ptPosition.y;
  if (x + width > screenW) x = screenW - width;
  if (y + height > screenH) {
    // Above the button when there is no room below it.
    if (m_pParentButton && m_pParentButton->m_bar && m_pParentButton->m_bar->m_hWnd) {
      CRect rect = m_pParentButton->m_rect;
      ::MapWindowPoints(m_pParentButton->m_bar->m_hWnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
      y = rect.top - height;
    } else {
      y = screenH - height;
    }
  }
  if (x < 0) x = 0;
  if (y < 0) y = 0;
  ::SetWindowPos(m_hWnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  return 0;
}

void CTKDropDownFrame::OnSize(UINT, int cx, int cy) {
  if (m_wndToolBar.m_hWnd)
    ::SetWindowPos(m_wndToolBar.m_hWnd, nullptr, kBorder, kBorder, cx - 2 * kBorder, cy - 2 * kBorder,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void CTKDropDownFrame::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_hWnd, &ps);
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
  ::DrawEdge(dc, &client, EDGE_RAISED, BF_RECT);
  ::EndPaint(m_hWnd, &ps);
}

LRESULT CTKDropDownFrame::OnActivateApp(WPARAM active, LPARAM) {
  if (!active) PostMessage(WM_CLOSE);
  return 0;
}

void CTKDropDownFrame::OnDestroy() {
  if (CTKDropDownToolbarButton* button = m_pParentButton) {
    m_pParentButton = nullptr;
    if (button->m_pFrame == this) button->m_pFrame = nullptr;
    button->m_nStyle &= ~TBBS_PRESSED;
    // The button comes up again.
    if (auto* bar = dynamic_cast<CTKToolBar*>(button->m_bar); bar && bar->m_hWnd)
      bar->InvalidateButton(bar->ButtonToIndex(button));
  }
  CWnd::OnDestroy();
}
