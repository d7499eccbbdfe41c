#pragma once
// A bar docked along a side of its frame: its bar style (alignment, borders, sizing
// behaviour), its inner borders, and the size it asks for when the frame lays out its
// bars. The frame lays bars out by sending each child WM_SIZEPARENT with the free
// rectangle; every bar takes its strip from that rectangle and moves itself there.
#include "platform/afx/Rect.h"
#include "platform/afx/Wnd.h"

#ifndef CBRS_ALIGN_LEFT
#define CBRS_ALIGN_LEFT 0x1000
#define CBRS_ALIGN_TOP 0x2000
#define CBRS_ALIGN_RIGHT 0x4000
#define CBRS_ALIGN_BOTTOM 0x8000
#define CBRS_ALIGN_ANY 0xF000
#endif
#ifndef CBRS_BORDER_LEFT
#define CBRS_BORDER_LEFT 0x100
#define CBRS_BORDER_TOP 0x200
#define CBRS_BORDER_RIGHT 0x400
#define CBRS_BORDER_BOTTOM 0x800
#define CBRS_BORDER_3D 0x80
#endif
#define CBRS_BORDER_ANY 0xF00
#define CBRS_ORIENT_HORZ (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)
#define CBRS_ORIENT_VERT (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)
#define CBRS_TOOLTIPS 0x10
#define CBRS_FLYBY 0x20
#define CBRS_FLOAT_MULTI 0x40
// Bar-style bits outside the window style: sizing behaviour.
#define CBRS_SIZE_DYNAMIC 0x1000000
#define CBRS_SIZE_FIXED 0x2000000
#define CBRS_FLOATING 0x1
#define CBRS_GRIPPER 0x400000
#define CBRS_HIDE_INPLACE 0x8
#define CBRS_ALL 0x0040FFFF
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_BOTTOM (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)
#define CBRS_LEFT (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)
#define CBRS_RIGHT (CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT)

// Layout modes of CalcDynamicLayout.
#define LM_STRETCH 0x01
#define LM_HORZ 0x02
#define LM_MRUWIDTH 0x04
#define LM_HORZDOCK 0x08
#define LM_VERTDOCK 0x10
#define LM_LENGTHY 0x20
#define LM_COMMIT 0x40

// Window ids of the frame's bars, its dock bars and its view.
#define AFX_IDW_CONTROLBAR_FIRST 0xE800
#define AFX_IDW_CONTROLBAR_LAST 0xE8FF
#define AFX_IDW_TOOLBAR 0xE800
#define AFX_IDW_STATUS_BAR 0xE801
#define AFX_IDW_DOCKBAR_TOP 0xE81B
#define AFX_IDW_DOCKBAR_LEFT 0xE81C
#define AFX_IDW_DOCKBAR_RIGHT 0xE81D
#define AFX_IDW_DOCKBAR_BOTTOM 0xE81E
#define AFX_IDW_DOCKBAR_FLOAT 0xE81F
#define AFX_IDW_PANE_FIRST 0xE900

#define WM_SIZEPARENT 0x0361
#define WM_IDLEUPDATECMDUI 0x0363

struct AFX_SIZEPARENTPARAMS {
  HDWP hDWP;       // null: a query that moves nothing
  RECT rect;       // the free part of the parent's client area, shrunk by each bar
  SIZE sizeTotal;  // the space the bars took
  BOOL bStretch;
};

class CFrameWnd;
class CDockBar;
class CDockContext;

class CControlBar : public CWnd {
public:
  CControlBar() = default;
  ~CControlBar() override;

  virtual CSize CalcFixedLayout(BOOL stretch, BOOL horizontal);
  virtual CSize CalcDynamicLayout(int length, DWORD mode);
  // The client rectangle less the inner borders and the border lines of the style.
  virtual void CalcInsideRect(CRect& rect, BOOL horizontal) const;
  virtual void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) {}
  virtual void SetBarStyle(DWORD style) { m_dwStyle = style; }
  // A bar with CBRS_TOOLTIPS shows its tools' tooltips.
  BOOL PreTranslateMessage(MSG* msg) override;
  DWORD GetBarStyleBits() const { return m_dwStyle; }
  BOOL IsFloating() const { return (m_dwStyle & CBRS_FLOATING) != 0; }
  // The frame the bar docks in: the frame whose docking it took part in, else the
  // frame among its parents (a floating frame's bars answer their owner frame).
  CFrameWnd* GetDockingFrame() const;
  // The sides on which the user may dock the bar (CBRS_ALIGN_* bits); with any side
  // the bar gets a docking context, through which it is dragged and floated.
  virtual void EnableDocking(DWORD style);
  BOOL IsVisible() const { return m_hWnd && (GetStyle() & WS_VISIBLE); }

  DWORD m_dwStyle = 0;
  DWORD m_dwDockStyle = 0;
  CFrameWnd* m_pDockSite = nullptr;
  CDockBar* m_pDockBar = nullptr;
  CDockContext* m_pDockContext = nullptr;
  int m_cxLeftBorder = 6;
  int m_cxRightBorder = 6;
  int m_cyTopBorder = 1;
  int m_cyBottomBorder = 1;

protected:
  // Takes the bar's strip from the layout's free rectangle and moves the bar there.
  virtual LRESULT OnSizeParent(AFX_SIZEPARENTPARAMS* layout);
  // WM_SIZEPARENT: hands the layout to the operation above.
  LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
  // A bar leaves its dock bar when its window goes.
  void OnDestroy();

  DECLARE_MESSAGE_MAP()
};

// Lays out the children of parent whose ids lie in [firstId, lastId] (WM_SIZEPARENT
// in Z order), then gives the rest of the client area to the child leftOverId. With
// query, nothing moves and the free rectangle comes back in *freeRect.
enum { reposDefault = 0, reposQuery = 1 };
void AfxRepositionBars(HWND parent, UINT firstId, UINT lastId, UINT leftOverId, int flags = reposDefault,
                       RECT* freeRect = nullptr, const RECT* clientRect = nullptr, BOOL stretch = TRUE);
