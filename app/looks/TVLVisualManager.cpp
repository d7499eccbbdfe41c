#include "app/looks/TVLVisualManager.h"

#include "app/looks/BarFill.h"
#include "app/view/ShellServices.h"
#include "toolkit/frames/DrawManager.h"

IMPLEMENT_DYNCREATE(CTVLVisualManager, CTKVisualManagerXP)

namespace {

// The scheme's bar colour and the three shades the look draws with, as they are now.
struct BarColors {
  COLORREF bar, light, dark, darkest;
};

BarColors CurrentColors() {
  const ColorSchemeOptions& scheme = GetColorScheme();
  return {SchemeColor(scheme.ControlBar), SchemeColor(scheme.LightShade), SchemeColor(scheme.DarkShade),
          SchemeColor(scheme.DarkerShade)};
}

// A solid fill through the gradient helper (equal ends), as every bar fill of the look.
void SolidFill(CDC* dc, const CRect& rect, COLORREF color) {
  DrawManager(*dc).PaintGradient(rect, color, color, 0);
}

constexpr UINT kBottomDockBarId = AFX_IDW_DOCKBAR_BOTTOM;
constexpr DWORD kTopBorderOrBottomAlign = CBRS_BORDER_TOP | CBRS_ALIGN_BOTTOM;

}  // namespace

void CTVLVisualManager::PaintBarBackground(CDC* dc, CTKBaseControlBar* bar, CRect client, CRect clip,
                                           BOOL nonClient) {
  if (clip.IsRectEmpty()) clip = client;
  const CTKBaseControlBar::Kind kind = bar ? bar->LookKind() : CTKBaseControlBar::kOtherBar;
  const BarColors colors = CurrentColors();
  if (!bar || kind == CTKBaseControlBar::kSizingBar) {
    dc->FillSolidRect(&clip, colors.bar);
    return;
  }
  switch (kind) {
    case CTKBaseControlBar::kMenuBar:
    case CTKBaseControlBar::kStatusBar:
    case CTKBaseControlBar::kColorBar:
      CTKVisualManagerXP::PaintBarBackground(dc, bar, client, clip, nonClient);
      return;
    case CTKBaseControlBar::kPopupMenuBar: {
      dc->FillRect(&clip, &m_menuBackgroundBrush);
      CRect column = client;
      column.right = column.left + bar->m_menuImageSize.cx + 2 * GetMenuImageMargin() + 1;
      dc->FillSolidRect(&column, kMenuImageColumn);
      return;
    }
    case CTKBaseControlBar::kToolBar: {
      looks::ScopedClip clipToRect(dc, client, !nonClient);
      SolidFill(dc, looks::BarFillRect(bar, client, nonClient), colors.bar);
      return;
    }
    default:
      CTKVisualManagerXP::PaintBarBackground(dc, bar, client, clip, nonClient);
      return;
  }
}

void CTVLVisualManager::PaintDockBarBackground(CDC* dc, CDockBar* dockBar, CRect client) {
  const BarColors colors = CurrentColors();
  if (dockBar && dockBar->m_hWnd) {
    // The dock bar's own frame around its client area: erased first, then an etched
    // band along the top and a band along the bottom.
    CWindowDC windowDC(dockBar);
    RECT window, inside;
    ::GetWindowRect(dockBar->m_hWnd, &window);
    ::GetClientRect(dockBar->m_hWnd, &inside);
    ::MapWindowPoints(dockBar->m_hWnd, nullptr, reinterpret_cast<POINT*>(&inside), 2);
    ::OffsetRect(&inside, -window.left, -window.top);
    ::ExcludeClipRect(windowDC.m_hDC, inside.left, inside.top, inside.right, inside.bottom);
    dockBar->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(windowDC.m_hDC), 0);
    const int width = window.right - window.left, height = window.bottom - window.top;
    windowDC.Draw3dRect(0, 0, width, 2, colors.dark, colors.light);
    if (static_cast<UINT>(dockBar->GetDlgCtrlID()) == kBottomDockBarId &&
        (dockBar->GetBarStyleBits() & kTopBorderOrBottomAlign))
      windowDC.Draw3dRect(0, height - 2, width, 2, colors.light, colors.darkest);
    else
      windowDC.FillSolidRect(0, height - 2, width, 2, colors.bar);
  }
  SolidFill(dc, client, colors.dark);
}

void CTVLVisualManager::PaintBarEdges(CDC* dc, CTKBaseControlBar* bar, CRect& rect) {
  if (!bar || bar->LookKind() == CTKBaseControlBar::kMenuBar) {
    CTKVisualManager::PaintBarEdges(dc, bar, rect);
    return;
  }
  const DWORD style = bar->GetBarStyle();
  if (!(style & (CBRS_BORDER_LEFT | CBRS_BORDER_TOP | CBRS_BORDER_RIGHT | CBRS_BORDER_BOTTOM))) return;
  const BarColors colors = CurrentColors();
  const COLORREF oldBk = dc->GetBkColor();
  const COLORREF leftTop = (style & CBRS_BORDER_3D) ? colors.light : colors.dark;
  const int width = rect.Width(), height = rect.Height();
  if (style & CBRS_BORDER_LEFT) dc->FillSolidRect(rect.left, rect.top, 1, height - 1, leftTop);
  if (style & CBRS_BORDER_TOP) dc->FillSolidRect(rect.left, rect.top, width - 1, 1, leftTop);
  if (style & CBRS_BORDER_RIGHT) dc->FillSolidRect(rect.right - 1, rect.top, 1, height, colors.darkest);
  if (style & CBRS_BORDER_BOTTOM) dc->FillSolidRect(rect.left, rect.bottom - 1, width - 1, 1, colors.bar);
  if (!bar->m_pDockContext) {
    // A bar that cannot be docked sits flush under the frame's top: an etched line.
    dc->FillSolidRect(rect.left, rect.top, width, 1, colors.dark);
    dc->FillSolidRect(rect.left, rect.top + 1, width, 1, colors.light);
  }
  if (style & CBRS_BORDER_LEFT) rect.left += 1;
  if (style & CBRS_BORDER_TOP) rect.top += 1;
  if (style & CBRS_BORDER_RIGHT) rect.right -= 1;
  if (style & CBRS_BORDER_BOTTOM) rect.bottom -= 1;
  dc->SetBkColor(oldBk);
}

void CTVLVisualManager::PaintMenuFrame(CDC* dc, CWnd* menu, CRect rect) {
  CTKVisualManager::PaintMenuFrame(dc, menu, rect);
}

void CTVLVisualManager::PaintGripper(CDC* dc, CRect gripper, BOOL horizontal, CTKBaseControlBar* bar) {
  if (!m_gripperBrush.m_hObject) CreateGripperBrushes();
  if (bar && bar->LookKind() == CTKBaseControlBar::kMenuBar) {
    // A striped band, 4 pixels across, down the middle of the gripper.
    CRect band = gripper;
    if (horizontal) {
      band.left = gripper.CenterPoint().x - 2;
      band.right = band.left + 4;
      band.DeflateRect(0, 6);
    } else {
      band.top = gripper.CenterPoint().y - 2;
      band.bottom = band.top + 4;
      band.DeflateRect(6, 0);
    }
    const GlobalData& gd = GlobalData::Get();
    const COLORREF oldText = dc->SetTextColor(gd.barShadow);
    const COLORREF oldBk = dc->SetBkColor(gd.barFace);
    dc->FillRect(&band, horizontal ? &m_gripperBrush : &m_gripperBrushVertical);
    dc->SetBkColor(oldBk);
    dc->SetTextColor(oldText);
    return;
  }
  // Two raised ridges, 3 pixels thick and 4 apart, across the bar.
  const BarColors colors = CurrentColors();
  CRect ridge = gripper;
  if (horizontal) {
    ridge.DeflateRect(0, 2);
    const int mid = (gripper.left + gripper.right) / 2;
    ridge.left = mid - 2;
    ridge.right = mid + 1;
  } else {
    ridge.top += 1;
    ridge.DeflateRect(2, 0);
    const int mid = (ridge.top + ridge.bottom) / 2;
    ridge.top = mid - 2;
    ridge.bottom = mid + 1;
  }
  for (int i = 0; i < 2; ++i) {
    dc->Draw3dRect(&ridge, colors.light, colors.dark);
    if (horizontal)
      dc->SetPixel(ridge.left, ridge.bottom - 1, colors.light);
    else
      dc->SetPixel(ridge.right - 1, ridge.top, colors.light);
    if (horizontal)
      ridge.OffsetRect(4, 0);
    else
      ridge.OffsetRect(0, 4);
  }
}

void CTVLVisualManager::PaintCaptionButton(CDC*, CTKCaptionButton*, BOOL, BOOL, BOOL) {
  // The fixed bars show no caption buttons.
}

void CTVLVisualManager::PaintButtonFace(CDC* dc, CTKToolbarButton* button, CRect rect, int state) {
  CTKVisualManager::PaintButtonFace(dc, button, rect, state);
}

void CTVLVisualManager::PaintButtonEdge(CDC* dc, CTKToolbarButton* button, CRect rect, int state) {
  CTKVisualManager::PaintButtonEdge(dc, button, rect, state);
}

void CTVLVisualManager::PaintButtonViaOwner(CDC* dc, CTKToolbarButton* button, CRect rect, int state,
                                            BOOL horizontal) {
  CTKVisualManager::PaintButtonViaOwner(dc, button, rect, state, horizontal);
}

void CTVLVisualManager::PaintFace3D(CDC* dc, CTKToolbarButton* menuButton, CRect rect, COLORREF& textColor) {
  CTKVisualManager::PaintFace3D(dc, menuButton, rect, textColor);
}

void CTVLVisualManager::CreateGripperBrushes() { CTKVisualManagerXP::CreateGripperBrushes(); }
