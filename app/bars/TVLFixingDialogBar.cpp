#include "app/bars/TVLFixingDialogBar.h"

#include "app/bars/FixedBarMouse.h"

IMPLEMENT_DYNCREATE(CTVLFixingDialogBar, CWnd)

BEGIN_MESSAGE_MAP(CTVLFixingDialogBar, CTKDialogBar)
  ON_WM_NCPAINT()
  ON_WM_NCHITTEST()
  ON_MESSAGE(WM_SETCURSOR, OnDefaultHandling)
  ON_MESSAGE(WM_LBUTTONDBLCLK, OnDefaultHandling)
  ON_MESSAGE(WM_NCLBUTTONDBLCLK, OnDefaultHandling)
  ON_WM_LBUTTONDOWN()
  ON_WM_NCLBUTTONDOWN()
END_MESSAGE_MAP()

CTVLFixingDialogBar::CTVLFixingDialogBar() { m_edgeWidth = kEdgeWidth; }

CTVLFixingDialogBar::~CTVLFixingDialogBar() = default;

BOOL CTVLFixingDialogBar::Create(const char* name, CWnd* parent, BOOL hasCaption, const char* dialogTemplate,
                                 DWORD style, UINT id) {
  if (!parent || !dialogTemplate) return FALSE;
  const BOOL dynamicSize = (style & CBRS_SIZE_DYNAMIC) != 0;
  style &= CBRS_ALL | WS_VISIBLE;
  CREATESTRUCTA cs{};
  cs.lpszClass = "AfxControlBar42s";
  cs.style = (style & CBRS_ALL) | WS_CHILD;
  cs.hwndParent = parent->m_hWnd;
  cs.hMenu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id));
  cs.hInstance = AfxGetInstanceHandle();
  if (!PreCreateWindow(cs)) return FALSE;

  HRSRC found = ::FindResourceA(AfxGetInstanceHandle(), dialogTemplate, reinterpret_cast<LPCSTR>(RT_DIALOG));
  HGLOBAL loaded = found ? ::LoadResource(AfxGetInstanceHandle(), found) : nullptr;
  const auto* resource = loaded ? static_cast<const DLGTEMPLATE*>(::LockResource(loaded)) : nullptr;
  if (!resource) return FALSE;
  // The name is held only while the dialog is being made.
  m_templateName = dialogTemplate;
  const BOOL made = CreateFromTemplate(parent, resource, id, style | WS_CHILD, hasCaption);
  m_templateName = nullptr;
  if (!made) return FALSE;

  CRect window;
  GetWindowRect(&window);
  m_dockedHorzSize = m_dockedVertSize = m_floatSize = m_templateSize = window.Size();
  m_allowSizing = dynamicSize;
  ::SetWindowLongA(m_hWnd, GWL_STYLE, ::GetWindowLongA(m_hWnd, GWL_STYLE) | WS_CLIPSIBLINGS);
  // The frame lays the bar out.
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  if (name && *name) SetWindowText(name);
  return TRUE;
}

void CTVLFixingDialogBar::OnNcPaint() { PaintNonClient(reinterpret_cast<HRGN>(GetCurrentMessage()->wParam)); }

// Transparent everywhere: presses on the bar itself go to the window beneath, while the
// template's controls get their own.
LRESULT CTVLFixingDialogBar::OnNcHitTest(CPoint) { return HTTRANSPARENT; }

void CTVLFixingDialogBar::OnLButtonDown(UINT, CPoint point) { FixedBarLButtonDown(*this, point); }

void CTVLFixingDialogBar::OnNcLButtonDown(UINT hitTest, CPoint point) {
  FixedBarNcLButtonDown(*this, hitTest, point);
}
