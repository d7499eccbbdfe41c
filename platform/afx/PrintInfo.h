#pragma once
// What a view's printing and print preview pass around: the pages to print, the page
// being drawn and the room to draw it in, and what print preview changed in the frame
// (to be put back when it ends).
#include <windows.h>

#include "platform/afx/Rect.h"
#include "platform/afx/String.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

class CView;
class CFrameWnd;

// The commands of print preview's bar, and the view's print command.
#define AFX_ID_PREVIEW_CLOSE 0xE300
#define AFX_ID_PREVIEW_NUMPAGE 0xE301
#define AFX_ID_PREVIEW_NEXT 0xE302
#define AFX_ID_PREVIEW_PREV 0xE303
#define AFX_ID_PREVIEW_PRINT 0xE304
#define AFX_ID_PREVIEW_ZOOMIN 0xE305
#define AFX_ID_PREVIEW_ZOOMOUT 0xE306
#define ID_FILE_PRINT 0xE107
#define ID_FILE_PRINT_PREVIEW 0xE109
// The bar of print preview, and the id the frame's own main pane keeps meanwhile.
#define AFX_IDW_PREVIEW_BAR 0xE805
#define AFX_IDW_PANE_SAVE 0xEA21

class CPrintInfo {
public:
  CPrintInfo();

  void SetMinPage(UINT page) { m_nMinPage = page; }
  void SetMaxPage(UINT page) { m_nMaxPage = page; }
  UINT GetMinPage() const { return m_nMinPage; }
  // 0xFFFF until the view says how many pages it has.
  UINT GetMaxPage() const { return m_nMaxPage; }

  BOOL m_bPreview = FALSE;
  BOOL m_bContinuePrinting = TRUE;
  UINT m_nCurPage = 1;
  // Pages shown side by side in preview: 1 or 2.
  UINT m_nNumPreviewPages = 1;
  // The page in the printer's units (its whole printable area), and its resolution.
  CSize m_pageSize;
  CSize m_dotsPerInch;
  // Where the view draws the current page, in the printer's units.
  CRect m_rectDraw;
  // The page number texts: "one page" and "two pages" forms, split at '\n'.
  CString m_strPageDesc;
  void* m_lpUserData = nullptr;

private:
  UINT m_nMinPage = 1;
  UINT m_nMaxPage = 0xFFFF;
};

class CPrintPreviewState {
public:
  // The frame's main pane while preview shows.
  UINT nIDMainPane = 0xE900;
  HMENU hMenu = nullptr;
  CView* pViewActiveOld = nullptr;
  // The bars that preview hid, shown again when it ends.
  std::vector<HWND> hiddenBars;
  HWND hMainPane = nullptr;
};
