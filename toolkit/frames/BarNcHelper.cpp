#include "toolkit/frames/BarNcHelper.h"

#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKVisualManager.h"

namespace {
bool IsRightToLeft(HWND hwnd) { return (::GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0; }
}  // namespace

void BarNcHelper::ShrinkClientRect(RECT* rect) const {
  if (!rect || !m_pOwner) return;
  DWORD style = m_pOwner->m_dwStyle;
  BOOL horizontal = (style & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)) != 0;
  CRect insets(0, 0, 0, 0);
  m_pOwner->CalcInsideRect(insets, horizontal);
  int left = insets.left, top = insets.top, right = -insets.right, bottom = -insets.bottom;
  if (horizontal && m_pOwner->m_hWnd && IsRightToLeft(m_pOwner->m_hWnd) && (style & CBRS_GRIPPER) &&
      !(style & CBRS_FLOATING)) {
    // Mirrored, the gripper lies at the right end: the content moves left.
    left -= 7;
    right += 7;
  }
  rect->left += left;
  rect->top += top;
  rect->right -= right;
  rect->bottom -= bottom;
}

void BarNcHelper::PaintNonClient(HRGN updateRegion) {
  if (!m_pOwner || !m_pOwner->m_hWnd) return;
  HWND hwnd = m_pOwner->m_hWnd;
  CWindowDC dc(m_pOwner);
  CRect window;
  ::GetWindowRect(hwnd, &window);
  CRect client;
  ::GetClientRect(hwnd, &client);
  ::MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  const bool rtl = IsRightToLeft(hwnd);
  if (rtl) {
    // Mirrored windows count x from the right edge.
    int width = client.Width();
    client.left = window.right - client.right;
    client.right = client.left + width;
    client.OffsetRect(0, -window.top);
  } else {
    client.OffsetRect(-window.left, -window.top);
  }
  ::SaveDC(dc.m_hDC);
  ::ExcludeClipRect(dc.m_hDC, client.left, client.top, client.right, client.bottom);
  if (updateRegion && reinterpret_cast<ULONG_PTR>(updateRegion) > 1) {
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    if (::CombineRgn(region, updateRegion, nullptr, RGN_COPY) != ERROR) {
      ::OffsetRgn(region, -window.left, -window.top);
      if (rtl) {
        // Mirror the region into the window's own coordinates.
        DWORD size = ::GetRegionData(region, 0, nullptr);
        if (size) {
          auto* data = reinterpret_cast<RGNDATA*>(new char[size]);
          ::GetRegionData(region, size, data);
          XFORM mirror{-1, 0, 0, 1, static_cast<FLOAT>(window.Width()), 0};
          HRGN mirrored = ::ExtCreateRegion(&mirror, size, data);
          delete[] reinterpret_cast<char*>(data);
          if (mirrored) {
            ::DeleteObject(region);
            region = mirrored;
          }
        }
      }
      ::ExtSelectClipRgn(dc.m_hDC, region, RGN_AND);
    }
    ::DeleteObject(region);
  }
  window.OffsetRect(-window.left, -window.top);
  CTKVisualManager* look = CTKVisualManager::GetInstance();
  CRect area = window;
  look->PaintBarEdges(&dc, m_pOwner, area);
  look->PaintBarBackground(&dc, m_pOwner, area, area, TRUE);
  DWORD style = m_pOwner->m_dwStyle;
  if ((style & CBRS_GRIPPER) && !(style & CBRS_FLOATING)) {
    BOOL horizontal = (style & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)) != 0;
    CRect gripper = area;
    if (horizontal) {
      if (rtl)
        gripper.left = client.right + 1;
      else
        gripper.right = client.left - 1;
    } else {
      gripper.bottom = client.top - 1;
    }
    look->PaintGripper(&dc, gripper, horizontal, m_pOwner);
  }
  ::RestoreDC(dc.m_hDC, -1);
}

void BarNcHelper::PaintParentBack(CDC* dc) { GlobalData::Get().PaintParentBackground(m_pOwner, dc); }
