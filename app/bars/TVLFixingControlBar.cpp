#include "app/bars/TVLFixingControlBar.h"

#include "app/bars/FixedBarMouse.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include "platform/afx/linux_headers_end.h"

#include "toolkit/frames/GlobalData.h"

IMPLEMENT_DYNAMIC(CTVLFixingControlBar, CWnd)

BEGIN_MESSAGE_MAP(CTVLFixingControlBar, CTKSizingControlBar)
  ON_WM_NCPAINT()
  ON_WM_NCHITTEST()
  ON_MESSAGE(WM_SETCURSOR, OnDefaultHandling)
  ON_MESSAGE(WM_LBUTTONDBLCLK, OnDefaultHandling)
  ON_MESSAGE(WM_NCLBUTTONDBLCLK, OnDefaultHandling)
  ON_WM_LBUTTONDOWN()
  ON_WM_NCLBUTTONDOWN()
END_MESSAGE_MAP()

CTVLFixingControlBar::CTVLFixingControlBar() { m_edgeWidth = kEdgeWidth; }

CTVLFixingControlBar::~CTVLFixingControlBar() = default;

BOOL CTVLFixingControlBar::Create(const char* name, CWnd* parent, int defaultWidth, int defaultHeight,
                                  BOOL hasCaption, UINT id, DWORD style) {
  SetBarStyle(style & CBRS_ALL);
  m_dockedHorzSize = m_dockedVertSize = m_floatSize = CSize(defaultWidth, defaultHeight);
  // Nobody sizes the bar, so its default size is also the least it may take (a narrow
  // meter would otherwise be widened and shrunk back over and over).
  m_minSize.cx = std::min<LONG>(m_minSize.cx, defaultWidth);
  m_minSize.cy = std::min<LONG>(m_minSize.cy, defaultHeight);
  m_captionHeight = hasCaption ? std::min(GlobalData::Get().textHeight, kMaxCaptionHeight) : 0;
  const char* cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW),
                                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  // The sizing bits of this framework layer lie outside the bar-style word and would
  // read as window styles (maximized, clipping): they never reach the window.
  const DWORD windowStyle =
      (style & ~static_cast<DWORD>(CBRS_ALL | CBRS_SIZE_DYNAMIC | CBRS_SIZE_FIXED)) | WS_CLIPCHILDREN;
  if (!CWnd::Create(cls, name, windowStyle, CRect(0, 0, 0, 0), parent, id)) return FALSE;
  SetBarStyle(m_dwStyle | CBRS_SIZE_DYNAMIC);
  return TRUE;
}

void CTVLFixingControlBar::OnNcPaint() {
  PaintNonClient(reinterpret_cast<HRGN>(GetCurrentMessage()->wParam));
}

// Transparent everywhere: presses on the bar itself go to the window beneath.
LRESULT CTVLFixingControlBar::OnNcHitTest(CPoint) { return HTTRANSPARENT; }

void CTVLFixingControlBar::OnLButtonDown(UINT, CPoint point) { FixedBarLButtonDown(*this, point); }

void CTVLFixingControlBar::OnNcLButtonDown(UINT hitTest, CPoint point) {
  FixedBarNcLButtonDown(*this, hitTest, point);
}
