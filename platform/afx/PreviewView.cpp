#include "platform/afx/PreviewView.h"

#include "platform/afx/CmdUI.h"
#include "platform/afx/DC.h"
#include "platform/afx/FrameWnd.h"
#include "platform/afx/PreviewText.h"
#include "platform/afx/WinApp.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cstdio>
#include "platform/afx/linux_headers_end.h"

namespace {
constexpr int kMargin = 8;  // around and between the pages on the screen
constexpr int kShadow = 3;  // the pages' shadow
// Lines of a scroll step when zoomed in.
constexpr int kLineStep = 20;

CFrameWnd* TopFrameOf(HWND hwnd) {
  return dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(::GetAncestor(hwnd, GA_ROOT)));
}
}  // namespace

// The bar ---------------------------------------------------------------------------

BOOL CPreviewBar::Create(CWnd* parent, UINT) {
  m_dwStyle = CBRS_TOP;
  return CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, parent->m_hWnd,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_PREVIEW_BAR)));
}

CSize CPreviewBar::CalcFixedLayout(BOOL stretch, BOOL horizontal) {
  return CSize(stretch && horizontal ? 32767 : m_sizeDefault.cx, m_sizeDefault.cy);
}

void CPreviewBar::OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) {
  // The bars inside (a toolkit's toolbar) are not the frame's own children.
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    if (auto* bar = dynamic_cast<CControlBar*>(CWnd::FromHandlePermanent(child)))
      if (::IsWindowVisible(child)) bar->OnUpdateCmdUI(target, disableIfNoHandler);
  UpdateDialogControls(target, disableIfNoHandler);
}

LRESULT CPreviewBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // The controls' commands are the frame's (which hands them to the preview).
  if (message == WM_COMMAND || message == WM_NOTIFY)
    if (HWND frame = ::GetParent(m_hWnd)) return ::SendMessageA(frame, message, wParam, lParam);
  return CControlBar::WindowProc(message, wParam, lParam);
}

// The view ----------------------------------------------------------------------------

IMPLEMENT_DYNCREATE(CPreviewView, CView)

BEGIN_MESSAGE_MAP(CPreviewView, CView)
  ON_WM_KEYDOWN()
  ON_WM_SIZE()
  ON_WM_HSCROLL()
  ON_WM_VSCROLL()
  ON_WM_ERASEBKGND()
  ON_COMMAND(AFX_ID_PREVIEW_CLOSE, OnPreviewClose)
  ON_COMMAND(AFX_ID_PREVIEW_PRINT, OnPreviewPrint)
  ON_COMMAND(AFX_ID_PREVIEW_NEXT, OnNextPage)
  ON_COMMAND(AFX_ID_PREVIEW_PREV, OnPrevPage)
  ON_COMMAND(AFX_ID_PREVIEW_NUMPAGE, OnNumPageChange)
  ON_COMMAND(AFX_ID_PREVIEW_ZOOMIN, OnZoomIn)
  ON_COMMAND(AFX_ID_PREVIEW_ZOOMOUT, OnZoomOut)
  ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_NEXT, OnUpdateNextPage)
  ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_PREV, OnUpdatePrevPage)
  ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_NUMPAGE, OnUpdateNumPageChange)
  ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_ZOOMIN, OnUpdateZoomIn)
  ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_ZOOMOUT, OnUpdateZoomOut)
END_MESSAGE_MAP()

CPreviewView::~CPreviewView() {
  delete m_pPreviewInfo;
  delete m_pPreviewState;
}

BOOL CPreviewView::PreCreateWindow(CREATESTRUCTA& cs) {
  if (!cs.lpszClass)
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1));
  return TRUE;
}

BOOL CPreviewView::SetPrintView(CView* printView) {
  m_pPrintView = printView;
  if (!m_pPreviewInfo) return FALSE;
  m_nCurrentPage = std::max(m_pPreviewInfo->GetMinPage(), 1u);
  m_nPages = m_pPreviewInfo->m_nNumPreviewPages == 2 ? 2 : 1;
  return TRUE;
}

namespace {
// The last page of the print view. A view that never said how many pages it has
// gets one: preview cannot tell when its pages end.
UINT LastPageOf(const CPrintInfo* info) {
  if (!info) return 1;
  const UINT max = info->GetMaxPage();
  return max == 0xFFFF ? std::max(info->GetMinPage(), 1u) : std::max(max, info->GetMinPage());
}
}  // namespace

CSize CPreviewView::ScreenPageSize() const {
  CRect client;
  GetClientRect(&client);
  const CSize page = m_pPreviewInfo ? m_pPreviewInfo->m_pageSize : CSize(2480, 3508);
  const int pages = static_cast<int>(m_nPages);
  // Fitted: the pages side by side in the view.
  int height = std::max(client.Height() - 2 * kMargin, 16);
  int width = MulDiv(height, page.cx, page.cy);
  if (pages * width + (pages + 1) * kMargin > client.Width()) {
    width = std::max((client.Width() - (pages + 1) * kMargin) / pages, 16);
    height = MulDiv(width, page.cy, page.cx);
  }
  if (m_nZoomState == kZoomOut) return CSize(width, height);
  // Full size: the page as large on the screen as on paper.
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
  ::ReleaseDC(nullptr, screen);
  const int printerDpi = m_pPreviewInfo ? std::max<int>(m_pPreviewInfo->m_dotsPerInch.cx, 1) : 300;
  CSize full(MulDiv(page.cx, dpi, printerDpi), MulDiv(page.cy, dpi, printerDpi));
  if (full.cx < width) full = CSize(width, height);
  if (m_nZoomState == kZoomIn) return full;
  return CSize((width + full.cx) / 2, (height + full.cy) / 2);
}

CRect CPreviewView::PageRect(int index) const {
  CRect client;
  GetClientRect(&client);
  const CSize size = ScreenPageSize();
  const int pages = static_cast<int>(m_nPages);
  const int total = pages * size.cx + (pages - 1) * kMargin;
  const int left = std::max(kMargin, (client.Width() - total) / 2) - m_scroll.x;
  const int top = std::max(kMargin, (client.Height() - size.cy) / 2) - m_scroll.y;
  const int x = left + index * (size.cx + kMargin);
  return CRect(x, top, x + size.cx, top + size.cy);
}

BOOL CPreviewView::OnEraseBkgnd(CDC*) { return TRUE; }

void CPreviewView::OnDraw(CDC* dc) {
  CRect client;
  GetClientRect(&client);
  // Drawn off screen, then shown at once.
  HDC target = dc->m_hDC;
  HDC memory = ::CreateCompatibleDC(target);
  HBITMAP bitmap =
      ::CreateCompatibleBitmap(target, std::max(client.Width(), 1), std::max(client.Height(), 1));
  HGDIOBJ oldBitmap = ::SelectObject(memory, bitmap);
  ::FillRect(memory, &client, ::GetSysColorBrush(COLOR_APPWORKSPACE));
  CDC pageDC(memory);
  const UINT last = LastPageOf(m_pPreviewInfo);
  for (UINT i = 0; i < m_nPages; ++i) {
    const UINT page = m_nCurrentPage + i;
    if (page > last) break;
    const CRect rect = PageRect(static_cast<int>(i));
    RECT shadow = {rect.left + kShadow, rect.top + kShadow, rect.right + kShadow, rect.bottom + kShadow};
    ::FillRect(memory, &shadow, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    ::FillRect(memory, &rect, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::FrameRect(memory, &rect, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    if (!m_pPrintView || !m_pPreviewInfo) continue;
    // The page in the printer's units mapped onto its rectangle on the screen.
    const int saved = ::SaveDC(memory);
    ::IntersectClipRect(memory, rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1);
    ::SetMapMode(memory, MM_ANISOTROPIC);
    ::SetWindowExtEx(memory, m_pPreviewInfo->m_pageSize.cx, m_pPreviewInfo->m_pageSize.cy, nullptr);
    ::SetViewportExtEx(memory, rect.Width(), rect.Height(), nullptr);
    ::SetViewportOrgEx(memory, rect.left, rect.top, nullptr);
    m_pPreviewInfo->m_nCurPage = page;
    m_pPreviewInfo->m_rectDraw = CRect(0, 0, m_pPreviewInfo->m_pageSize.cx, m_pPreviewInfo->m_pageSize.cy);
    m_pPrintView->OnPrepareDC(&pageDC, m_pPreviewInfo);
    m_pPrintView->OnPrint(&pageDC, m_pPreviewInfo);
    ::RestoreDC(memory, saved);
  }
  pageDC.Detach();
  ::BitBlt(target, 0, 0, client.Width(), client.Height(), memory, 0, 0, SRCCOPY);
  ::SelectObject(memory, oldBitmap);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
}

void CPreviewView::OnDisplayPageNumber(UINT page, UINT pagesDisplayed) {
  if (!m_pPreviewInfo) return;
  CString desc = m_pPreviewInfo->m_strPageDesc;
  const int newline = desc.Find('\n');
  CString part = desc;
  if (newline >= 0) part = pagesDisplayed == 1 ? desc.Left(newline) : desc.Mid(newline + 1);
  const int second = part.Find('\n');
  if (second >= 0) part = part.Left(second);
  char text[128] = "";
  std::snprintf(text, sizeof text, part.str().c_str(), page, page + pagesDisplayed - 1);
  if (CFrameWnd* frame = TopFrameOf(m_hWnd))
    frame->SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(text));
}

void CPreviewView::SetCurrentPage(UINT page) {
  const UINT last = LastPageOf(m_pPreviewInfo);
  const UINT first = m_pPreviewInfo ? std::max(m_pPreviewInfo->GetMinPage(), 1u) : 1u;
  m_nCurrentPage = std::clamp(page, first, last);
  m_scroll = CPoint(0, 0);
  UpdateScrollBars();
  Invalidate(FALSE);
  const UINT shown = m_nCurrentPage + 1 <= last ? m_nPages : 1;
  OnDisplayPageNumber(m_nCurrentPage, shown);
}

void CPreviewView::SetZoom(int state) {
  m_nZoomState = std::clamp(state, static_cast<int>(kZoomOut), static_cast<int>(kZoomIn));
  m_scroll = CPoint(0, 0);
  UpdateScrollBars();
  Invalidate(FALSE);
}

void CPreviewView::UpdateScrollBars() {
  if (!m_hWnd) return;
  CRect client;
  GetClientRect(&client);
  const CSize size = ScreenPageSize();
  const int pages = static_cast<int>(m_nPages);
  const int width = pages * size.cx + (pages + 1) * kMargin;
  const int height = size.cy + 2 * kMargin;
  SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
  info.nMax = m_nZoomState == kZoomOut ? 0 : width - 1;
  info.nPage = static_cast<UINT>(client.Width());
  info.nPos = m_scroll.x;
  ::SetScrollInfo(m_hWnd, SB_HORZ, &info, TRUE);
  info.nMax = m_nZoomState == kZoomOut ? 0 : height - 1;
  info.nPage = static_cast<UINT>(client.Height());
  info.nPos = m_scroll.y;
  ::SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
}

namespace {
int ScrollTo(HWND hwnd, int bar, UINT code, int current) {
  SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
  ::GetScrollInfo(hwnd, bar, &info);
  int pos = current;
  switch (code) {
    case SB_LINEUP:
      pos -= kLineStep;
      break;
    case SB_LINEDOWN:
      pos += kLineStep;
      break;
    case SB_PAGEUP:
      pos -= static_cast<int>(info.nPage);
      break;
    case SB_PAGEDOWN:
      pos += static_cast<int>(info.nPage);
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      pos = info.nTrackPos;
      break;
    case SB_TOP:
      pos = 0;
      break;
    case SB_BOTTOM:
      pos = info.nMax;
      break;
    default:
      break;
  }
  return std::clamp(pos, 0, std::max(0, info.nMax - static_cast<int>(info.nPage) + 1));
}
}  // namespace

void CPreviewView::OnHScroll(UINT code, UINT, CWnd*) {
  m_scroll.x = ScrollTo(m_hWnd, SB_HORZ, code, m_scroll.x);
  UpdateScrollBars();
  Invalidate(FALSE);
}

void CPreviewView::OnVScroll(UINT code, UINT, CWnd*) {
  m_scroll.y = ScrollTo(m_hWnd, SB_VERT, code, m_scroll.y);
  UpdateScrollBars();
  Invalidate(FALSE);
}

void CPreviewView::OnSize(UINT type, int cx, int cy) {
  CView::OnSize(type, cx, cy);
  UpdateScrollBars();
  Invalidate(FALSE);
}

void CPreviewView::OnKeyDown(UINT key, UINT repeatCount, UINT flags) {
  switch (key) {
    case VK_ESCAPE:
      OnPreviewClose();
      return;
    case VK_NEXT:
      OnNextPage();
      return;
    case VK_PRIOR:
      OnPrevPage();
      return;
    default:
      CView::OnKeyDown(key, repeatCount, flags);
  }
}

void CPreviewView::ClosePreview() {
  CView* printView = m_pPrintView;
  if (!printView) {
    DestroyWindow();
    return;
  }
  HDC screen = ::GetDC(nullptr);
  CDC dc(screen);
  printView->OnEndPrintPreview(&dc, m_pPreviewInfo, POINT{0, 0}, this);
  dc.Detach();
  ::ReleaseDC(nullptr, screen);
}

void CPreviewView::OnPreviewClose() { ClosePreview(); }

void CPreviewView::OnPreviewPrint() {
  // Printing starts from the view itself, once the frame is back.
  CView* printView = m_pPrintView;
  ClosePreview();
  if (printView && printView->m_hWnd) printView->SendMessage(WM_COMMAND, ID_FILE_PRINT, 0);
}

void CPreviewView::OnNextPage() { SetCurrentPage(m_nCurrentPage + 1); }
void CPreviewView::OnPrevPage() {
  if (m_nCurrentPage > 1) SetCurrentPage(m_nCurrentPage - 1);
}

void CPreviewView::OnNumPageChange() {
  m_nPages = m_nPages == 1 ? 2 : 1;
  if (m_pPreviewInfo) m_pPreviewInfo->m_nNumPreviewPages = m_nPages;
  SetCurrentPage(m_nCurrentPage);
}

void CPreviewView::OnZoomIn() { SetZoom(m_nZoomState + 1); }
void CPreviewView::OnZoomOut() { SetZoom(m_nZoomState - 1); }

void CPreviewView::OnUpdateNextPage(CCmdUI* state) {
  state->Enable(m_nCurrentPage + m_nPages - 1 < LastPageOf(m_pPreviewInfo));
}
void CPreviewView::OnUpdatePrevPage(CCmdUI* state) {
  state->Enable(m_pPreviewInfo && m_nCurrentPage > std::max(m_pPreviewInfo->GetMinPage(), 1u));
}
void CPreviewView::OnUpdateNumPageChange(CCmdUI* state) {
  // The command names what it switches to.
  state->SetText(m_nPages == 1 ? preview_text::kTwoPages : preview_text::kOnePage);
  state->Enable(m_nZoomState == kZoomOut);
}
void CPreviewView::OnUpdateZoomIn(CCmdUI* state) { state->Enable(m_nZoomState < kZoomIn); }
void CPreviewView::OnUpdateZoomOut(CCmdUI* state) { state->Enable(m_nZoomState > kZoomOut); }
