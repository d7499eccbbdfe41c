#include "platform/afx/ControlBar.h"

#include "platform/afx/DockBar.h"
#include "platform/afx/DockContext.h"
#include "platform/afx/FrameWnd.h"
#include "platform/afx/MiniDockFrameWnd.h"

namespace {
constexpr int kGripperSpace = 8;

// Whether a child window already has the rectangle (in its parent's client area).
bool IsPlacedAt(HWND child, const RECT& place) {
  RECT now;
  if (!::GetWindowRect(child, &now)) return false;
  ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&now), 2);
  return ::EqualRect(&now, &place) != FALSE;
}
}  // namespace

CSize CControlBar::CalcFixedLayout(BOOL stretch, BOOL horizontal) {
  CSize size(0, 0);
  CRect inside(0, 0, 0, 0);
  CalcInsideRect(inside, horizontal);
  // Nothing inside: the bar is as large as its borders; with stretch the length runs
  // to the end of its side.
  size.cx = -inside.Width();
  size.cy = -inside.Height();
  if (stretch) {
    if (horizontal)
      size.cx = 32767;
    else
      size.cy = 32767;
  }
  return size;
}

CSize CControlBar::CalcDynamicLayout(int, DWORD mode) {
  return CalcFixedLayout((mode & LM_STRETCH) != 0, (mode & LM_HORZ) != 0);
}

void CControlBar::CalcInsideRect(CRect& rect, BOOL horizontal) const {
  DWORD style = m_dwStyle;
  if (style & CBRS_BORDER_LEFT) rect.left += 2;
  if (style & CBRS_BORDER_TOP) rect.top += 2;
  if (style & CBRS_BORDER_RIGHT) rect.right -= 2;
  if (style & CBRS_BORDER_BOTTOM) rect.bottom -= 2;
  // A docked bar with a gripper keeps room for it before its content.
  if ((style & CBRS_GRIPPER) && !(style & CBRS_FLOATING)) {
    if (horizontal)
      rect.left += kGripperSpace;
    else
      rect.top += kGripperSpace;
  }
  if (horizontal) {
    rect.left += m_cxLeftBorder;
    rect.right -= m_cxRightBorder;
    rect.top += m_cyTopBorder;
    rect.bottom -= m_cyBottomBorder;
  } else {
    rect.left += m_cyTopBorder;
    rect.right -= m_cyBottomBorder;
    rect.top += m_cxLeftBorder;
    rect.bottom -= m_cxRightBorder;
  }
}

CControlBar::~CControlBar() {
  if (m_pDockBar) m_pDockBar->RemoveControlBar(this);
  delete m_pDockContext;
}

CFrameWnd* CControlBar::GetDockingFrame() const {
  if (m_pDockSite) return m_pDockSite;
  for (HWND parent = m_hWnd ? ::GetParent(m_hWnd) : nullptr; parent; parent = ::GetParent(parent)) {
    CWnd* wnd = CWnd::FromHandlePermanent(parent);
    if (auto* mini = dynamic_cast<CMiniDockFrameWnd*>(wnd)) return mini->m_pDockSite;
    if (auto* frame = dynamic_cast<CFrameWnd*>(wnd)) return frame;
  }
  return nullptr;
}

BOOL CControlBar::PreTranslateMessage(MSG* msg) {
  if ((m_dwStyle & CBRS_TOOLTIPS) && msg->hwnd == m_hWnd) FilterToolTipMessage(msg);
  // A press on the bar's gripper or border (outside its client area, where the bar
  // answers the hit test as its own) moves the bar; a double click there docks or
  // floats it.
  if (msg->hwnd == m_hWnd && m_pDockContext &&
      (msg->message == WM_LBUTTONDOWN || msg->message == WM_LBUTTONDBLCLK) && ::GetCapture() != m_hWnd) {
    POINT point{static_cast<short>(LOWORD(msg->lParam)), static_cast<short>(HIWORD(msg->lParam))};
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    POINT screen = point;
    ::ClientToScreen(m_hWnd, &screen);
    if (!::PtInRect(&client, point) &&
        ::SendMessageA(m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)) == HTCLIENT) {
      if (msg->message == WM_LBUTTONDOWN)
        m_pDockContext->StartDrag(CPoint(screen.x, screen.y));
      else
        m_pDockContext->ToggleDocking();
      return TRUE;
    }
  }
  return CWnd::PreTranslateMessage(msg);
}

void CControlBar::EnableDocking(DWORD style) {
  m_dwDockStyle = style & (CBRS_ALIGN_ANY | CBRS_FLOAT_MULTI);
  if (m_dwDockStyle & CBRS_ALIGN_ANY) {
    if (!m_pDockContext) m_pDockContext = new CDockContext(this);
  } else {
    delete m_pDockContext;
    m_pDockContext = nullptr;
  }
}

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
  ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

void CControlBar::OnDestroy() {
  if (m_pDockBar) m_pDockBar->RemoveControlBar(this);
  CWnd::OnDestroy();
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam) {
  return OnSizeParent(reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam));
}

LRESULT CControlBar::OnSizeParent(AFX_SIZEPARENTPARAMS* layout) {
  if (!(GetStyle() & WS_VISIBLE) || !(m_dwStyle & CBRS_ALIGN_ANY)) return 0;
  CRect room(layout->rect);
  BOOL horizontal = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
  CSize size = (m_dwStyle & CBRS_SIZE_DYNAMIC)
                   ? CalcDynamicLayout(-1, (horizontal ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK) |
                                               (layout->bStretch ? LM_STRETCH : 0))
                   : CalcFixedLayout(layout->bStretch, horizontal);
  if (size.cx > room.Width()) size.cx = room.Width();
  if (size.cy > room.Height()) size.cy = room.Height();
  CRect place = room;
  switch (m_dwStyle & CBRS_ALIGN_ANY) {
    case CBRS_ALIGN_TOP:
      place.bottom = place.top + size.cy;
      layout->rect.top += size.cy;
      break;
    case CBRS_ALIGN_BOTTOM:
      place.top = place.bottom - size.cy;
      layout->rect.bottom -= size.cy;
      break;
    case CBRS_ALIGN_LEFT:
      place.right = place.left + size.cx;
      layout->rect.left += size.cx;
      break;
    case CBRS_ALIGN_RIGHT:
      place.left = place.right - size.cx;
      layout->rect.right -= size.cx;
      break;
    default:
      return 0;
  }
  if (horizontal)
    layout->sizeTotal.cy += size.cy;
  else
    layout->sizeTotal.cx += size.cx;
  // A bar already in its place is left alone: each move, even to the same place, is a
  // round trip to the window server and a repaint.
  if (layout->hDWP && !IsPlacedAt(m_hWnd, place))
    layout->hDWP = ::DeferWindowPos(layout->hDWP, m_hWnd, nullptr, place.left, place.top, place.Width(),
                                    place.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  return 0;
}

void AfxRepositionBars(HWND parent, UINT firstId, UINT lastId, UINT leftOverId, int flags, RECT* freeRect,
                       const RECT* clientRect, BOOL stretch) {
  AFX_SIZEPARENTPARAMS layout{};
  if (clientRect)
    layout.rect = *clientRect;
  else
    ::GetClientRect(parent, &layout.rect);
  layout.bStretch = stretch;
  layout.hDWP = flags == reposQuery ? nullptr : ::BeginDeferWindowPos(8);
  HWND leftOver = nullptr;
  for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    UINT id = static_cast<UINT>(::GetDlgCtrlID(child));
    if (id == leftOverId)
      leftOver = child;
    else if (id >= firstId && id <= lastId)
      ::SendMessageA(child, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
  }
  if (flags == reposQuery) {
    if (freeRect) *freeRect = layout.rect;
    return;
  }
  if (leftOver && layout.hDWP && !IsPlacedAt(leftOver, layout.rect))
    layout.hDWP = ::DeferWindowPos(layout.hDWP, leftOver, nullptr, layout.rect.left, layout.rect.top,
                                   layout.rect.right - layout.rect.left, layout.rect.bottom - layout.rect.top,
                                   SWP_NOZORDER | SWP_NOACTIVATE);
  if (layout.hDWP) ::EndDeferWindowPos(layout.hDWP);
  if (freeRect) *freeRect = layout.rect;
}
