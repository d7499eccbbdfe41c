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

LRESULT CTKEditBrowse::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCALCSIZE: {
      const LRESULT result = CEdit::WindowProc(message, wParam, lParam);
      RECT* rect =
          wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
      rect->right -= kButtonWidth;
      if (rect->right < rect->left) rect->right = rect->left;
      return result;
    }
    case WM_NCPAINT: {
      const LRESULT result = CEdit::WindowProc(message, wParam, lParam);
      PaintButton();
      return result;
    }
    case WM_NCHITTEST: {
      UpdateButtonRect();
      const POINT point{(short)LOWORD(lParam), (short)HIWORD(lParam)};
      // Presses on the button arrive as presses on the frame.
      if (m_rectBtn.PtInRect(point)) return HTCAPTION;
      break;
    }
    case WM_NCLBUTTONDOWN: {
      const POINT point{(short)LOWORD(lParam), (short)HIWORD(lParam)};
      if (!m_rectBtn.PtInRect(point)) break;
      ::SetFocus(m_hWnd);
      ::SetCapture(m_hWnd);
      m_bIsButtonCaptured = TRUE;
      SetPressed(TRUE);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (m_bIsButtonCaptured) {
        POINT point{(short)LOWORD(lParam), (short)HIWORD(lParam)};
        ::ClientToScreen(m_hWnd, &point);
        SetPressed(m_rectBtn.PtInRect(point));
        return 0;
      }
      break;
    case WM_LBUTTONUP:
      if (m_bIsButtonCaptured) {
        POINT point{(short)LOWORD(lParam), (short)HIWORD(lParam)};
        ::ClientToScreen(m_hWnd, &point);
        m_bIsButtonCaptured = FALSE;
        ::ReleaseCapture();
        SetPressed(FALSE);
        if (m_rectBtn.PtInRect(point)) OnBrowse();
        return 0;
      }
      break;
    case WM_CANCELMODE:
      if (m_bIsButtonCaptured) {
        m_bIsButtonCaptured = FALSE;
        ::ReleaseCapture();
        SetPressed(FALSE);
      }
      break;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS;
    default:
      break;
  }
  return CEdit::WindowProc(message, wParam, lParam);
}
