#include "platform/afx/DockContext.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include "platform/afx/linux_headers_end.h"

#include "platform/afx/ControlBar.h"
#include "platform/afx/DockBar.h"
#include "platform/afx/FrameWnd.h"
#include "platform/afx/MiniDockFrameWnd.h"

namespace {
// How far past a side (into the free area and out of the frame) the cursor still
// docks on it.
constexpr int kDockZone = 16;

// Keeps point inside rect by moving the rectangle (a floating frame wider than the
// bar is still held where the user took it).
void KeepPointInside(CRect& rect, CPoint point) {
  if (point.x < rect.left || point.x >= rect.right)
    rect.OffsetRect(point.x - (rect.left + std::min(static_cast<int>(rect.Width()) / 2, 16)), 0);
  if (point.y < rect.top || point.y >= rect.bottom)
    rect.OffsetRect(0, point.y - (rect.top + std::min(static_cast<int>(rect.Height()) / 2, 8)));
}

CSize SizeFor(CControlBar* bar, DWORD mode, BOOL horizontal) {
  // Length 0 asks without starting a row layout.
  if (bar->m_dwStyle & CBRS_SIZE_DYNAMIC) return bar->CalcDynamicLayout(0, mode);
  return bar->CalcFixedLayout(FALSE, horizontal);
}
}  // namespace

CDockContext::CDockContext(CControlBar* bar) : m_pBar(bar) {}

void CDockContext::StartDrag(CPoint point) {
  m_pDockSite = m_pBar->GetDockingFrame();
  if (!m_pDockSite || !m_pBar->m_hWnd) return;
  CRect barRect;
  m_pBar->GetWindowRect(&barRect);
  const BOOL floating = m_pBar->IsFloating();
  CSize horz = SizeFor(m_pBar, LM_HORZ | LM_HORZDOCK, TRUE);
  CSize vert = SizeFor(m_pBar, LM_VERTDOCK, FALSE);
  CSize floatSize = SizeFor(m_pBar, LM_HORZ | LM_MRUWIDTH, TRUE);
  m_rectDragHorz = CRect(barRect.TopLeft(), horz);
  m_rectDragVert = CRect(barRect.TopLeft(), vert);
  if (!floating && (m_pBar->m_dwStyle & CBRS_ORIENT_HORZ)) m_rectDragHorz = barRect;
  if (!floating && (m_pBar->m_dwStyle & CBRS_ORIENT_VERT)) m_rectDragVert = barRect;
  CMiniDockFrameWnd* mini = floating ? CMiniDockFrameWnd::FrameOf(m_pBar) : nullptr;
  if (mini) {
    mini->GetWindowRect(&m_rectFrameDrag);
  } else {
    CRect borders = CMiniDockFrameWnd::Borders(m_pBar);
    m_rectFrameDrag =
        CRect(barRect.left - borders.left, barRect.top - borders.top,
              barRect.left + floatSize.cx + borders.right, barRect.top + floatSize.cy + borders.bottom);
  }
  KeepPointInside(m_rectDragHorz, point);
  KeepPointInside(m_rectDragVert, point);
  KeepPointInside(m_rectFrameDrag, point);
  m_ptStart = m_ptLast = point;
  m_bDragging = TRUE;
  m_bForceFrame = ::GetKeyState(VK_CONTROL) < 0;
  m_pTargetDockBar = m_bForceFrame ? nullptr : DockBarAt(point);
  m_rectLastDrawn = CRect(0, 0, 0, 0);
  DrawFocusRect();
  Track();
}

void CDockContext::StartResize(int hitTest, CPoint point) {
  CMiniDockFrameWnd* mini = CMiniDockFrameWnd::FrameOf(m_pBar);
  if (!mini) return;
  m_pDockSite = m_pBar->GetDockingFrame();
  m_bDragging = FALSE;
  m_nHitTest = hitTest;
  mini->GetWindowRect(&m_rectResize);
  m_ptStart = m_ptLast = point;
  m_rectLastDrawn = CRect(0, 0, 0, 0);
  DrawFocusRect();
  Track();
}

void CDockContext::ToggleDocking() {
  CFrameWnd* site = m_pBar->GetDockingFrame();
  if (!site) return;
  if (m_pBar->IsFloating()) {
    CDockBar* dockBar = m_uMRUDockID ? site->GetDockBar(m_uMRUDockID) : nullptr;
    if (dockBar && (m_pBar->m_dwDockStyle & dockBar->m_dwStyle & CBRS_ALIGN_ANY))
      site->DockControlBar(m_pBar, dockBar, m_rectMRUDockPos.IsRectEmpty() ? nullptr : &m_rectMRUDockPos);
    else
      site->DockControlBar(m_pBar, static_cast<UINT>(0));
  } else {
    CPoint at = m_ptMRUFloatPos;
    if (!m_bHasMRUFloatPos) {
      CRect rect;
      m_pBar->GetWindowRect(&rect);
      at = rect.TopLeft();
    }
    site->FloatControlBar(m_pBar, at, m_pBar->m_dwStyle & CBRS_ALIGN_ANY);
  }
}

CDockBar* CDockContext::DockBarAt(CPoint point) const {
  if (!m_pDockSite) return nullptr;
  for (UINT id : {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT}) {
    CDockBar* dockBar = m_pDockSite->GetDockBar(id);
    if (!dockBar || !dockBar->m_hWnd || !(dockBar->m_dwStyle & m_pBar->m_dwDockStyle & CBRS_ALIGN_ANY))
      continue;
    CRect zone;
    dockBar->GetWindowRect(&zone);
    switch (id) {
      case AFX_IDW_DOCKBAR_TOP:
        zone.InflateRect(0, kDockZone, 0, kDockZone);
        break;
      case AFX_IDW_DOCKBAR_BOTTOM:
        zone.InflateRect(0, kDockZone, 0, kDockZone);
        break;
      default:
        zone.InflateRect(kDockZone, 0, kDockZone, 0);
        break;
    }
    if (zone.PtInRect(point)) return dockBar;
  }
  return nullptr;
}

void CDockContext::Move(CPoint point) {
  CSize delta(point.x - m_ptLast.x, point.y - m_ptLast.y);
  m_ptLast = point;
  m_rectDragHorz.OffsetRect(delta.cx, delta.cy);
  m_rectDragVert.OffsetRect(delta.cx, delta.cy);
  m_rectFrameDrag.OffsetRect(delta.cx, delta.cy);
  m_pTargetDockBar = m_bForceFrame ? nullptr : DockBarAt(point);
  DrawFocusRect();
}

void CDockContext::Stretch(CPoint point) {
  CSize delta(point.x - m_ptLast.x, point.y - m_ptLast.y);
  m_ptLast = point;
  switch (m_nHitTest) {
    case HTLEFT:
    case HTTOPLEFT:
    case HTBOTTOMLEFT:
      m_rectResize.left = std::min(m_rectResize.left + delta.cx, m_rectResize.right - 1);
      break;
    case HTRIGHT:
    case HTTOPRIGHT:
    case HTBOTTOMRIGHT:
      m_rectResize.right = std::max(m_rectResize.right + delta.cx, m_rectResize.left + 1);
      break;
    default:
      break;
  }
  switch (m_nHitTest) {
    case HTTOP:
    case HTTOPLEFT:
    case HTTOPRIGHT:
      m_rectResize.top = std::min(m_rectResize.top + delta.cy, m_rectResize.bottom - 1);
      break;
    case HTBOTTOM:
    case HTBOTTOMLEFT:
    case HTBOTTOMRIGHT:
      m_rectResize.bottom = std::max(m_rectResize.bottom + delta.cy, m_rectResize.top + 1);
      break;
    default:
      break;
  }
  DrawFocusRect();
}

void CDockContext::DrawFocusRect(BOOL erase) {
  CRect rect;
  int thickness;
  if (erase) {
    rect = CRect(0, 0, 0, 0);
    thickness = 0;
  } else if (!m_bDragging) {
    rect = m_rectResize;
    thickness = 3;
  } else if (m_pTargetDockBar) {
    rect = m_pTargetDockBar->IsHorizontalSide() ? m_rectDragHorz : m_rectDragVert;
    thickness = 1;
  } else {
    rect = m_rectFrameDrag;
    thickness = 3;
  }
  if (rect == m_rectLastDrawn && thickness == m_lastThickness) return;
  HDC dc = ::GetDC(nullptr);
  static const WORD pattern[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
  HBITMAP bits = ::CreateBitmap(8, 8, 1, 1, pattern);
  HBRUSH halftone = ::CreatePatternBrush(bits);
  HGDIOBJ old = ::SelectObject(dc, halftone);
  auto frame = [dc](const CRect& r, int t) {
    if (r.IsRectEmpty() || t <= 0) return;
    ::PatBlt(dc, r.left, r.top, r.Width(), t, PATINVERT);
    ::PatBlt(dc, r.left, r.bottom - t, r.Width(), t, PATINVERT);
    ::PatBlt(dc, r.left, r.top + t, t, r.Height() - 2 * t, PATINVERT);
    ::PatBlt(dc, r.right - t, r.top + t, t, r.Height() - 2 * t, PATINVERT);
  };
  // Drawing the last frame again erases it.
  frame(m_rectLastDrawn, m_lastThickness);
  frame(rect, thickness);
  m_rectLastDrawn = rect;
  m_lastThickness = thickness;
  ::SelectObject(dc, old);
  ::DeleteObject(halftone);
  ::DeleteObject(bits);
  ::ReleaseDC(nullptr, dc);
}

BOOL CDockContext::Track() {
  if (::GetCapture()) {
    DrawFocusRect(TRUE);
    return FALSE;
  }
  HWND capture = m_pBar->m_hWnd;
  ::SetCapture(capture);
  while (::GetCapture() == capture) {
    MSG msg;
    if (!::GetMessageA(&msg, nullptr, 0, 0)) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    switch (msg.message) {
      case WM_LBUTTONUP:
        if (m_bDragging)
          EndDrag();
        else
          EndResize();
        return TRUE;
      case WM_MOUSEMOVE:
        // The button went up where this loop did not see it: the move ends here.
        if (!(msg.wParam & MK_LBUTTON)) {
          if (m_bDragging)
            EndDrag();
          else
            EndResize();
          return TRUE;
        }
        if (m_bDragging)
          Move(CPoint(msg.pt.x, msg.pt.y));
        else
          Stretch(CPoint(msg.pt.x, msg.pt.y));
        break;
      case WM_KEYDOWN:
      case WM_KEYUP:
        if (msg.wParam == VK_ESCAPE) {
          CancelLoop();
          return FALSE;
        }
        if (m_bDragging && msg.wParam == VK_CONTROL) {
          m_bForceFrame = msg.message == WM_KEYDOWN;
          m_pTargetDockBar = m_bForceFrame ? nullptr : DockBarAt(m_ptLast);
          DrawFocusRect();
        }
        break;
      case WM_RBUTTONDOWN:
        CancelLoop();
        return FALSE;
      default:
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
        break;
    }
  }
  CancelLoop();
  return FALSE;
}

void CDockContext::CancelLoop() {
  DrawFocusRect(TRUE);
  if (::GetCapture() == m_pBar->m_hWnd) ::ReleaseCapture();
}

void CDockContext::EndDrag() {
  CancelLoop();
  if (m_ptLast == m_ptStart) return;  // a click, not a drag
  CFrameWnd* site = m_pDockSite;
  if (!site) return;
  if (m_pTargetDockBar) {
    // The row and the place in it are those under the cursor.
    CRect rect = m_pTargetDockBar->IsHorizontalSide() ? m_rectDragHorz : m_rectDragVert;
    CPoint centre = rect.CenterPoint();
    rect.OffsetRect(m_ptLast.x - centre.x, m_ptLast.y - centre.y);
    site->DockControlBar(m_pBar, m_pTargetDockBar, &rect);
    return;
  }
  CMiniDockFrameWnd* mini = m_pBar->IsFloating() ? CMiniDockFrameWnd::FrameOf(m_pBar) : nullptr;
  if (mini) {
    ::SetWindowPos(mini->m_hWnd, nullptr, m_rectFrameDrag.left, m_rectFrameDrag.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_pBar->m_pDockContext) {
      m_pBar->m_pDockContext->m_ptMRUFloatPos = m_rectFrameDrag.TopLeft();
      m_pBar->m_pDockContext->m_bHasMRUFloatPos = TRUE;
    }
  } else {
    site->FloatControlBar(m_pBar, m_rectFrameDrag.TopLeft(), CBRS_ALIGN_TOP);
  }
}

void CDockContext::EndResize() {
  CancelLoop();
  CMiniDockFrameWnd* mini = CMiniDockFrameWnd::FrameOf(m_pBar);
  if (!mini || m_ptLast == m_ptStart) return;
  CRect borders = CMiniDockFrameWnd::Borders(m_pBar);
  const int width = m_rectResize.Width() - borders.left - borders.right;
  const int height = m_rectResize.Height() - borders.top - borders.bottom;
  if (m_pBar->m_dwStyle & CBRS_SIZE_DYNAMIC) {
    m_pBar->CalcDynamicLayout(width, LM_HORZ);
    m_pBar->CalcDynamicLayout(height, LM_HORZ | LM_LENGTHY);
  }
  ::SetWindowPos(mini->m_hWnd, nullptr, m_rectResize.left, m_rectResize.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  mini->RecalcLayout();
}
