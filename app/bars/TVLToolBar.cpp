#include "app/bars/TVLToolBar.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cstdio>
#include <new>
#include "platform/afx/linux_headers_end.h"

IMPLEMENT_SERIAL(CTVLToolBar, CWnd, 0x80000001)

BEGIN_MESSAGE_MAP(CTVLToolBar, CTKToolBar)
END_MESSAGE_MAP()

CTVLToolBar::CTVLToolBar() = default;

CTVLToolBar::~CTVLToolBar() = default;

void CTVLToolBar::OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) {
  // The frame's idle updates come often; the buttons follow on every fourth.
  ++m_nUpdateCount;
  if (m_nUpdateCount % 4 != 0) return;
  CTKToolBar::OnUpdateCmdUI(target, disableIfNoHandler);
}

BOOL CTVLToolBar::Create(CWnd* parent, DWORD style, UINT id) {
  return CreateEx(parent, 0x800, style, CRect(1, 1, 1, 1), id);
}

BOOL CTVLToolBar::CreateEx(CWnd* parent, DWORD controlStyle, DWORD style, CRect borders, UINT id) {
  return CreateBarWindow(*this, parent, controlStyle, style, borders, id);
}

BOOL CTVLToolBar::CreateBarWindow(CTKToolBar& bar, CWnd* parent, DWORD controlStyle, DWORD style,
                                  CRect borders, UINT id) {
  bar.m_cxLeftBorder = std::max<int>(1, borders.left);
  bar.m_cyTopBorder = std::max<int>(1, borders.top);
  bar.m_cxRightBorder = borders.right;
  bar.m_cyBottomBorder = borders.bottom;
  // The sizing bits of this framework layer lie outside the window-style word; they
  // stay with the bar and never reach the window.
  const DWORD sizing = style & (CBRS_SIZE_DYNAMIC | CBRS_SIZE_FIXED);
  bar.m_dwStyle = ((style | CBRS_GRIPPER) & CBRS_ALL) | sizing;
  if (id == AFX_IDW_TOOLBAR) bar.m_dwStyle |= kFirstToolBarStyle;
  const DWORD windowStyle = ((style & ~sizing) & ~0x0040FFB1u) | controlStyle | 0x4E | WS_CHILD;

  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  HCURSOR arrow = ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
  char className[96];
  std::snprintf(className, sizeof className, "Afx:%x:%x:%x:%x",
                static_cast<unsigned>(reinterpret_cast<UINT_PTR>(instance)), CS_DBLCLKS,
                static_cast<unsigned>(reinterpret_cast<UINT_PTR>(arrow)), COLOR_BTNFACE + 1);
  WNDCLASSA wc{};
  if (!::GetClassInfoA(instance, className, &wc)) {
    wc.style = CS_DBLCLKS;
    // The framework layer's procedure: the bar object sees its window's creation.
    wc.lpfnWndProc = AfxWndProc;
    wc.hInstance = instance;
    wc.hCursor = arrow;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    if (!::RegisterClassA(&wc)) throw std::bad_alloc();
  }
  return bar.CWnd::CreateEx(0, className, nullptr, windowStyle, 0, 0, 0, 0, AfxGetSafeHwnd(parent),
                            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}
