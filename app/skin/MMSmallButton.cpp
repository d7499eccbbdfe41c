#include "app/skin/MMSmallButton.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include "platform/afx/linux_headers_end.h"

#include "app/view/ShellServices.h"
#include "toolkit/frames/TKWinXPVisualManager.h"

namespace {
void Frame(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
  HBRUSH a = ::CreateSolidBrush(topLeft), b = ::CreateSolidBrush(bottomRight);
  RECT e{r.left, r.top, r.right - 1, r.top + 1};
  ::FillRect(dc, &e, a);
  e = RECT{r.left, r.top, r.left + 1, r.bottom - 1};
  ::FillRect(dc, &e, a);
  e = RECT{r.right - 1, r.top, r.right, r.bottom};
  ::FillRect(dc, &e, b);
  e = RECT{r.left, r.bottom - 1, r.right, r.bottom};
  ::FillRect(dc, &e, b);
  ::DeleteObject(a);
  ::DeleteObject(b);
}
}  // namespace

void CMMSmallButton::FitToContent(SIZE& size, BOOL keepSize) {
  CString text;
  GetWindowText(text);
  HDC dc = ::GetDC(m_hWnd);
  HGDIOBJ old = ::SelectObject(dc, m_hFont ? m_hFont : (HFONT)::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
  SIZE textSize{0, 0};
  if (!text.IsEmpty())
    ::GetTextExtentPoint32A(dc, static_cast<const char*>(text), text.GetLength(), &textSize);
  ::SelectObject(dc, old);
  ::ReleaseDC(m_hWnd, dc);
  size.cx = m_sizeImage.cx + textSize.cx + 8 + (text.IsEmpty() ? 0 : 8);
  size.cy = std::max(m_sizeImage.cy, textSize.cy) + 6;
  if (!keepSize)
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMMSmallButton::FillBackground(CDC* dc, const CRect& rect) {
  const ColorSchemeOptions& scheme = GetColorScheme();
  if (!m_bTransparent) {
    HBRUSH face = ::CreateSolidBrush(m_clrFace != static_cast<COLORREF>(-1) ? m_clrFace
                                                                            : SchemeColor(scheme.ControlBar));
    ::FillRect(*dc, &rect, face);
    ::DeleteObject(face);
  } else {
    CTKButton::FillBackground(dc, rect);
  }
  if (m_nFlatStyle != BUTTONSTYLE_3D && m_bHighlighted && !(m_bPushed && m_bChecked))
    Frame(*dc, rect, SchemeColor(scheme.DarkerShade), SchemeColor(scheme.LightShade));
}

void CMMSmallButton::DrawBorder(CDC* dc, CRect& rect, UINT itemState) {
  // Under the system's themes the themed look draws the push button itself (when the
  // system has a theme to draw it with).
  if (GetGlobalLookFlag() && dynamic_cast<CTKWinXPVisualManager*>(CTKVisualManager::GetInstance()) &&
      CTKVisualManager::GetInstance()->DrawPushButton(
          dc, rect, this, (m_bPushed ? 1u : 0u) | (m_bHighlighted ? 2u : 0u), 0)) {
    ::InflateRect(&rect, -2, -2);
    return;
  }
  const ColorSchemeOptions& scheme = GetColorScheme();
  const COLORREF light = SchemeColor(scheme.LightShade), dark = SchemeColor(scheme.DarkShade),
                 darkest = SchemeColor(scheme.DarkerShade);
  const bool pressed = (itemState & ODS_SELECTED) || m_bPushed;
  const bool checked = ::SendMessageA(m_hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED || m_bChecked;
  if (m_nFlatStyle != BUTTONSTYLE_3D && !pressed && !checked && !m_bHighlighted) {
    ::InflateRect(&rect, -2, -2);
    return;
  }
  if (checked) {
    HBRUSH fill = ::CreateSolidBrush(dark);
    ::FillRect(*dc, &rect, fill);
    ::DeleteObject(fill);
  }
  if (pressed || checked) {
    Frame(*dc, rect, darkest, light);
    ::InflateRect(&rect, -1, -1);
    if (m_nFlatStyle == BUTTONSTYLE_3D) {
      Frame(*dc, rect, dark, light);
      ::InflateRect(&rect, -1, -1);
    }
    if (pressed) ::OffsetRect(&rect, m_sizePushOffset.cx, m_sizePushOffset.cy);
  } else {
    Frame(*dc, rect, light, darkest);
    ::InflateRect(&rect, -1, -1);
    Frame(*dc, rect, light, dark);
    ::InflateRect(&rect, -1, -1);
  }
}

void CMMSmallButton::DrawButtonText(CDC* dc, CRect& rect, const CString& text, UINT format) {
  if (::IsWindowEnabled(m_hWnd)) return CTKButton::DrawButtonText(dc, rect, text, format);
  const ColorSchemeOptions& scheme = GetColorScheme();
  const COLORREF old = ::SetTextColor(*dc, SchemeColor(scheme.LighterShade));
  RECT etched = rect;
  ::OffsetRect(&etched, 1, 1);
  ::DrawTextA(*dc, text, -1, &etched, format);
  ::SetTextColor(*dc, SchemeColor(scheme.DarkShade));
  ::DrawTextA(*dc, text, -1, &rect, format);
  ::SetTextColor(*dc, old);
}
