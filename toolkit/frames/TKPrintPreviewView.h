#pragma once
// Print preview with the toolkit's toolbar in place of the plain preview bar's
// controls (print, next, previous, one or two pages, zoom in and out, close) and the
// page number in the frame's status bar, which gets its own state back afterwards.
#include "platform/afx/afxwin.h"
#include "toolkit/bars/TKToolBar.h"

class CTKPrintPreviewView : public CPreviewView {
  DECLARE_DYNCREATE(CTKPrintPreviewView)

public:
  CTKPrintPreviewView() = default;

  // The toolbar resource, the bitmap of its hot images, and the button that carries
  // only the two-page picture.
  enum : UINT { kToolBarId = 16960, kHotBitmapId = 16659, kTwoPageImageButton = 16959 };

  void OnDisplayPageNumber(UINT page, UINT pagesDisplayed) override;

  CTKToolBar m_wndToolBar;
  int m_iOnePageImageIndex = -1;
  int m_iTwoPageImageIndex = -1;
  int m_iPagesBtnIndex = -1;
  // The frame's status bar, and what preview changed there: the simple mode of a
  // common status bar, or the message pane's text of the toolkit's.
  CControlBar* m_pWndStatusBar = nullptr;
  HWND m_hCommonStatusBar = nullptr;
  BOOL m_bIsStatusBarSimple = FALSE;
  int m_nSimpleType = 0;
  CString m_strStatusText;

protected:
  int OnCreate(LPCREATESTRUCT cs);
  void OnDestroy();
  void OnSize(UINT type, int cx, int cy);
  void OnContextMenu(CWnd*, CPoint) {}
  void OnUpdateNumPageChange(CCmdUI* state);
  // The toolbar across the top of the preview bar, which takes its height.
  void LayoutToolBar();
  // The toolbar's buttons from the resource, or as text buttons without one.
  BOOL LoadButtons();
  DECLARE_MESSAGE_MAP()
};

// Starts print preview of view with the toolkit's preview view; on failure the
// command-failure message is shown and FALSE returned.
BOOL StartLibraryPrintPreview(CView* view);
