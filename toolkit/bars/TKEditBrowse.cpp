#include "toolkit/bars/TKEditBrowse.h"

#include "toolkit/bars/TKEditListBase.h"

void CTKEditBrowse::OnBrowse() {
  if (m_pOwner) m_pOwner->OnBrowse();
}

void CTKEditBrowse::UpdateButtonRect() {
  CRect client;
  GetClientRect(&client);
  ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  m_rectBtn = CRect(client.right, client.top, client.right + kButtonWidth, client.bottom);
}

void CTKEditBrowse::PaintButton() {
  UpdateButtonRect();
  CRect window;
  GetWindowRect(&window);
  CRect button = m_rectBtn;
  button.OffsetRect(-window.left, -window.top);
  HDC dc = ::GetWindowDC(m_hWnd);
  ::FillRect(dc, &button, ::GetSysColorBrush(COLOR_BTNFACE));
  ::DrawEdge(dc, &button, m_bIsButtonPressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  // Three dots, moved down and right while pressed.
  const int shift = m_bIsButtonPressed ? 1 : 0;
  const int cx = (button.left + button.right) / 2 + shift, cy = (button.top + button.bottom) / 2 + shift;
  HBRUSH ink = ::GetSysColorBrush(IsWindowEnabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
  for (int dot = -1; dot <= 1; ++dot) {
    RECT square{cx + dot * 4 - 1, cy, cx + dot * 4 + 1, cy + 2};
    ::FillRect(dc, &square, ink);
  }
  ::ReleaseDC(m_hWnd, dc);
}

void CTKEditBrowse::SetPressed(BOOL pressed) {
  if (m_bIsButtonPressed == pressed) return;
  m_bIsButtonPressed = pressed;
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

void CTKEditBrowse::OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params) {
  CEdit::OnNcCalcSize(calcValidRects, params);
  // Without valid rectangles to compute, the message carries the bare window rectangle,
  // which is the first of the parameters' rectangles.
  RECT* rect = &params->rgrc[0];
  rect->right -= kButtonWidth;
  if (rect->right < rect->left) rect->right = rect->left;
}

void CTKEditBrowse::OnNcPaint() {
  CEdit::OnNcPaint();
  PaintButton();
}

LRESULT CTKEditBrowse::OnNcHitTest(CPoint point) {
  UpdateButtonRect();
  // Presses on the button arrive as presses on the frame.
  if (m_rectBtn.PtInRect(point)) return HTCAPTION;
  return CEdit::OnNcHitTest(point);
}

void CTKEditBrowse::OnNcLButtonDown(UINT hitTest, CPoint point) {
  if (!m_rectBtn.PtInRect(point)) {
    CEdit::OnNcLButtonDown(hitTest, point);
    return;
  }
  ::SetFocus(m_hWnd);
  ::SetCapture(m_hWnd);
  m_bIsButtonCaptured = TRUE;
  SetPressed(TRUE);
}

void CTKEditBrowse::OnMouseMove(UINT flags, CPoint point) {
  if (!m_bIsButtonCaptured) {
    CEdit::OnMouseMove(flags, point);
    return;
  }
  ::ClientToScreen(m_hWnd, &point);
  SetPressed(m_rectBtn.PtInRect(point));
}

void CTKEditBrowse::OnLButtonUp(UINT flags, CPoint point) {
  if (!m_bIsButtonCaptured) {
    CEdit::OnLButtonUp(flags, point);
    return;
  }
  ::ClientToScreen(m_hWnd, &point);
  m_bIsButtonCaptured = FALSE;
  ::ReleaseCapture();
  SetPressed(FALSE);
  if (m_rectBtn.PtInRect(point)) OnBrowse();
}

void CTKEditBrowse::OnCancelMode() {
  if (m_bIsButtonCaptured) {
    m_bIsButtonCaptured = FALSE;
    ::ReleaseCapture();
    SetPressed(FALSE);
  }
  CEdit::OnCancelMode();
}

UINT CTKEditBrowse::OnGetDlgCode() { return DLGC_WANTALLKEYS; }

BEGIN_MESSAGE_MAP(CTKEditBrowse, CEdit)
  ON_WM_NCCALCSIZE()
  ON_WM_NCPAINT()
  ON_WM_NCHITTEST()
  ON_WM_NCLBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_CANCELMODE()
  ON_WM_GETDLGCODE()
END_MESSAGE_MAP()
