#include "toolkit/frames/TKDialogBar.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include "platform/afx/linux_headers_end.h"

#include "toolkit/frames/GlobalData.h"

namespace {
INT_PTR CALLBACK DialogBarProc(HWND, UINT message, WPARAM, LPARAM) {
  // The bar object takes the window over once it exists; until then the dialog only
  // accepts its initialisation.
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

// The template's size in dialog units (both template layouts).
SIZE TemplateUnits(const DLGTEMPLATE* dialogTemplate) {
  const WORD* words = reinterpret_cast<const WORD*>(dialogTemplate);
  if (words[0] == 1 && words[1] == 0xFFFF) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(dialogTemplate);
    return SIZE{*reinterpret_cast<const short*>(bytes + 22), *reinterpret_cast<const short*>(bytes + 24)};
  }
  return SIZE{dialogTemplate->cx, dialogTemplate->cy};
}
}  // namespace

BOOL CTKDialogBar::CreateFromTemplate(CWnd* parent, const DLGTEMPLATE* dialogTemplate, UINT id, DWORD style,
                                      BOOL hasCaption) {
  if (!parent || !dialogTemplate) return FALSE;
  SetBarStyle(style & CBRS_ALL);
  m_captionHeight = hasCaption ? std::max(12, GlobalData::Get().textHeight) : 0;
  HWND hwnd =
      ::CreateDialogIndirectParamA(AfxGetInstanceHandle(), dialogTemplate, parent->m_hWnd, DialogBarProc, 0);
  if (!hwnd) return FALSE;
  ::SetWindowLongPtrA(hwnd, GWLP_ID, static_cast<LONG_PTR>(id));
  LONG windowStyle = ::GetWindowLongA(hwnd, GWL_STYLE);
  windowStyle = (windowStyle & ~(WS_POPUP | WS_CAPTION | WS_THICKFRAME | DS_MODALFRAME)) | WS_CHILD |
                WS_CLIPCHILDREN | static_cast<LONG>(style & WS_VISIBLE);
  ::SetWindowLongA(hwnd, GWL_STYLE, windowStyle);
  if (!SubclassWindow(hwnd)) {
    ::DestroyWindow(hwnd);
    return FALSE;
  }
  SIZE units = TemplateUnits(dialogTemplate);
  RECT size{0, 0, units.cx, units.cy};
  ::MapDialogRect(hwnd, &size);
  m_templateSize = CSize(size.right, size.bottom);
  SetBarStyle(m_dwStyle | CBRS_SIZE_DYNAMIC);
  // What WM_CREATE does for a sizing bar made from its own class.
  AllBars().Add(this);
  m_edgeFlags |= 16;
  ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return TRUE;
}

CSize CTKDialogBar::CalcFixedLayout(BOOL stretch, BOOL horizontal) {
  if (m_allowSizing) return CTKSizingControlBar::CalcFixedLayout(stretch, horizontal);
  CSize size = m_templateSize;
  if (stretch) {
    if (horizontal)
      size.cx = 32767;
    else
      size.cy = 32767;
  }
  size.cx += 2 * m_borderSize;
  size.cy += 2 * m_borderSize;
  if (IsDockedTopBottom()) {
    size.cx += m_captionHeight;
    if (CanSizeEdge(12) || CanSizeEdge(15)) size.cy += m_edgeWidth;
  } else if (IsDockedLeftRight()) {
    size.cy += m_captionHeight;
    if (CanSizeEdge(11) || CanSizeEdge(10)) size.cx += m_edgeWidth;
  }
  CSize base = CControlBar::CalcFixedLayout(stretch, horizontal);
  size.cx = std::max(size.cx, base.cx);
  size.cy = std::max(size.cy, base.cy);
  return size;
}

CSize CTKDialogBar::CalcDynamicLayout(int length, DWORD mode) {
  if (m_allowSizing) return CTKSizingControlBar::CalcDynamicLayout(length, mode);
  return CControlBar::CalcDynamicLayout(length, mode);
}

BEGIN_MESSAGE_MAP(CTKDialogBar, CTKSizingControlBar)
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CTKDialogBar::OnEraseBkgnd(CDC* dc) {
  CRect client;
  GetClientRect(&client);
  ::FillRect(*dc, &client, GlobalData::Get().buttonFaceBrush);
  return TRUE;
}
