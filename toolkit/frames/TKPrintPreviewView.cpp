#include "toolkit/frames/TKPrintPreviewView.h"

#include "toolkit/bars/TKToolbarButton.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKFramesText.h"
#include "toolkit/frames/TKStatusBar.h"

IMPLEMENT_DYNCREATE(CTKPrintPreviewView, CPreviewView)

BEGIN_MESSAGE_MAP(CTKPrintPreviewView, CPreviewView)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_SIZE()
  ON_WM_CONTEXTMENU()
  ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_NUMPAGE, OnUpdateNumPageChange)
END_MESSAGE_MAP()

namespace {
constexpr UINT kPreviewBarTemplate = 16658;
constexpr UINT kCommandFailed = 61705;

CFrameWnd* TopFrameOf(HWND hwnd) {
  return dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(::GetAncestor(hwnd, GA_ROOT)));
}

bool IsCommonStatusBar(HWND hwnd) {
  char name[64] = "";
  ::GetClassNameA(hwnd, name, sizeof name);
  return lstrcmpiA(name, STATUSCLASSNAMEA) == 0;
}
}  // namespace

BOOL StartLibraryPrintPreview(CView* view) {
  if (!view) return FALSE;
  auto* state = new CPrintPreviewState;
  const BOOL started =
      view->DoPrintPreview(kPreviewBarTemplate, view, RUNTIME_CLASS(CTKPrintPreviewView), state);
  if (!started) {
    char text[256];
    AfxMessageBox(tk_frames_text::TextOf(kCommandFailed, text, sizeof text), MB_ICONEXCLAMATION);
    delete state;
  }
  return started;
}

BOOL CTKPrintPreviewView::LoadButtons() {
  if (::FindResourceA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(kToolBarId), "TOOLBAR") ||
      ::FindResourceA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(kToolBarId), MAKEINTRESOURCEA(241))) {
    const bool hot =
        GlobalData::Get().bitsPerPixel >= 16 &&
        ::FindResourceA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(kHotBitmapId), (LPCSTR)RT_BITMAP);
    if (m_wndToolBar.LoadToolBar(kToolBarId, 0, 0, TRUE, 0, 0, hot ? kHotBitmapId : 0)) return TRUE;
  }
  // Without the program's toolbar the commands show by name.
  struct Entry {
    UINT id;
    const char* text;
  };
  const Entry entries[] = {{AFX_ID_PREVIEW_PRINT, tk_frames_text::kPreviewPrint},
                           {AFX_ID_PREVIEW_NEXT, tk_frames_text::kPreviewNext},
                           {AFX_ID_PREVIEW_PREV, tk_frames_text::kPreviewPrev},
                           {AFX_ID_PREVIEW_NUMPAGE, tk_frames_text::kPreviewTwoPages},
                           {AFX_ID_PREVIEW_ZOOMIN, tk_frames_text::kPreviewZoomIn},
                           {AFX_ID_PREVIEW_ZOOMOUT, tk_frames_text::kPreviewZoomOut},
                           {AFX_ID_PREVIEW_CLOSE, tk_frames_text::kPreviewClose}};
  for (const Entry& entry : entries) {
    CTKToolbarButton button(entry.id, -1, entry.text);
    button.m_bText = TRUE;
    button.m_bImage = FALSE;
    if (m_wndToolBar.InsertButtonCopy(button) < 0) return FALSE;
  }
  m_wndToolBar.m_bLocked = TRUE;
  return TRUE;
}

int CTKPrintPreviewView::OnCreate(LPCREATESTRUCT cs) {
  if (CPreviewView::OnCreate(cs) == -1) return -1;
  if (!m_pToolBar || !m_pToolBar->m_hWnd) return -1;
  if (!m_wndToolBar.Create(m_pToolBar, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS | CBRS_FLYBY,
                           AFX_IDW_TOOLBAR) ||
      !LoadButtons())
    return -1;
  // A bar of its own that stays where it is: nothing to drag it by.
  m_wndToolBar.SetBarStyle(m_wndToolBar.GetBarStyleBits() & ~CBRS_GRIPPER);
  m_iPagesBtnIndex = m_wndToolBar.CommandToIndex(AFX_ID_PREVIEW_NUMPAGE);
  if (CTKToolbarButton* pages = m_wndToolBar.GetButton(m_iPagesBtnIndex)) {
    m_iOnePageImageIndex = pages->GetImage();
    const int twoPage = m_wndToolBar.CommandToIndex(kTwoPageImageButton);
    if (CTKToolbarButton* picture = m_wndToolBar.GetButton(twoPage)) {
      m_iTwoPageImageIndex = picture->GetImage();
      m_wndToolBar.RemoveButton(twoPage);
      m_iPagesBtnIndex = m_wndToolBar.CommandToIndex(AFX_ID_PREVIEW_NUMPAGE);
    }
  }
  // Print shows its name beside its picture, close only its name.
  if (CTKToolbarButton* print = m_wndToolBar.GetButton(m_wndToolBar.CommandToIndex(AFX_ID_PREVIEW_PRINT))) {
    print->m_bText = TRUE;
    if (print->m_strText.IsEmpty()) print->m_strText = tk_frames_text::kPreviewPrint;
  }
  if (CTKToolbarButton* close = m_wndToolBar.GetButton(m_wndToolBar.CommandToIndex(AFX_ID_PREVIEW_CLOSE))) {
    close->m_bText = TRUE;
    close->m_bImage = FALSE;
    if (close->m_strText.IsEmpty()) close->m_strText = tk_frames_text::kPreviewClose;
  }
  LayoutToolBar();

  // The page number goes to the status bar's message line, in place of what it shows.
  CFrameWnd* frame = TopFrameOf(m_hWnd);
  HWND statusHwnd = frame ? ::GetDlgItem(frame->m_hWnd, AFX_IDW_STATUS_BAR) : nullptr;
  m_pWndStatusBar = dynamic_cast<CControlBar*>(CWnd::FromHandlePermanent(statusHwnd));
  if (statusHwnd && IsCommonStatusBar(statusHwnd)) {
    m_hCommonStatusBar = statusHwnd;
    m_bIsStatusBarSimple = static_cast<BOOL>(::SendMessageA(statusHwnd, SB_ISSIMPLE, 0, 0));
    m_nSimpleType = HIWORD(::SendMessageA(statusHwnd, SB_GETTEXTLENGTHA, 255, 0));
    ::SendMessageA(statusHwnd, SB_SETTEXTA, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(""));
    ::SendMessageA(statusHwnd, SB_SIMPLE, TRUE, 0);
  } else if (auto* status = dynamic_cast<CTKStatusBar*>(m_pWndStatusBar)) {
    m_strStatusText = status->GetPaneText(0);
  }
  return 0;
}

void CTKPrintPreviewView::LayoutToolBar() {
  if (!m_wndToolBar.m_hWnd || !m_pToolBar || !m_pToolBar->m_hWnd) return;
  CFrameWnd* frame = TopFrameOf(m_hWnd);
  CRect client;
  if (frame) ::GetClientRect(frame->m_hWnd, &client);
  const CSize size = m_wndToolBar.CalcFixedLayout(TRUE, TRUE);
  ::SetWindowPos(m_wndToolBar.m_hWnd, nullptr, 0, 0, client.Width(), size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  if (m_pToolBar->m_sizeDefault.cy != size.cy) {
    m_pToolBar->m_sizeDefault.cy = size.cy;
    if (frame) frame->RecalcLayout();
  }
  m_wndToolBar.Invalidate();
  m_wndToolBar.UpdateWindow();
}

void CTKPrintPreviewView::OnSize(UINT type, int cx, int cy) {
  CPreviewView::OnSize(type, cx, cy);
  LayoutToolBar();
}

void CTKPrintPreviewView::OnUpdateNumPageChange(CCmdUI* state) {
  CPreviewView::OnUpdateNumPageChange(state);
  CTKToolbarButton* button = m_wndToolBar.GetButton(m_iPagesBtnIndex);
  if (!button) return;
  // The button shows what a press switches to: two pages while one shows.
  if (m_iOnePageImageIndex >= 0 && m_iTwoPageImageIndex >= 0) {
    const int image = m_nPages == 1 ? m_iTwoPageImageIndex : m_iOnePageImageIndex;
    if (button->GetImage() == image) return;
    button->SetImage(image);
  } else {
    const char* text = m_nPages == 1 ? tk_frames_text::kPreviewTwoPages : tk_frames_text::kPreviewOnePage;
    if (button->m_strText == text) return;
    button->m_strText = text;
    m_wndToolBar.AdjustSize();
  }
  CRect rect;
  m_wndToolBar.GetItemRect(m_iPagesBtnIndex, &rect);
  ::InvalidateRect(m_wndToolBar.m_hWnd, &rect, TRUE);
}

void CTKPrintPreviewView::OnDisplayPageNumber(UINT page, UINT pagesDisplayed) {
  if (!m_pPreviewInfo) return;
  CString desc = m_pPreviewInfo->m_strPageDesc;
  const int newline = desc.Find('\n');
  CString part = newline < 0 ? desc : (pagesDisplayed == 1 ? desc.Left(newline) : desc.Mid(newline + 1));
  const int second = part.Find('\n');
  if (second >= 0) part = part.Left(second);
  char text[128] = "";
  ::wsprintfA(text, part, page, page + pagesDisplayed - 1);
  if (m_hCommonStatusBar) {
    ::SendMessageA(m_hCommonStatusBar, SB_SETTEXTA, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text));
  } else if (auto* status = dynamic_cast<CTKStatusBar*>(m_pWndStatusBar)) {
    status->SetPaneText(0, text);
  } else if (CFrameWnd* frame = TopFrameOf(m_hWnd)) {
    frame->SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(text));
  }
}

void CTKPrintPreviewView::OnDestroy() {
  if (m_hCommonStatusBar && ::IsWindow(m_hCommonStatusBar)) {
    ::SendMessageA(m_hCommonStatusBar, SB_SETTEXTA, 255 | m_nSimpleType, reinterpret_cast<LPARAM>(""));
    ::SendMessageA(m_hCommonStatusBar, SB_SIMPLE, m_bIsStatusBarSimple, 0);
  } else if (auto* status = dynamic_cast<CTKStatusBar*>(m_pWndStatusBar); status && status->m_hWnd) {
    status->SetPaneText(0, m_strStatusText);
  }
  CPreviewView::OnDestroy();
}
