#include "toolkit/frames/TKVisualManager.h"

#include "toolkit/frames/DrawManager.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/MenuImages.h"
#include "toolkit/frames/TKSizingControlBar.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdio>
#include "platform/afx/linux_headers_end.h"

IMPLEMENT_DYNCREATE(CTKVisualManager, CObject)

BOOL g_toolbarsCustomizing = FALSE;

CTKVisualManager* CTKVisualManager::s_current = nullptr;
CRuntimeClass* CTKVisualManager::s_selectedClass = nullptr;
void (*CTKVisualManager::s_adjustAllToolbars)() = nullptr;
void (*CTKVisualManager::s_forEachBarWindow)(void (*)(HWND)) = nullptr;

namespace {
GlobalData& GD() { return GlobalData::Get(); }

// Fills a rectangle with a solid colour and puts nothing else back.
void Fill(CDC* dc, const CRect& rect, COLORREF color) { dc->FillSolidRect(&rect, color); }

void Frame(CDC* dc, const CRect& rect, COLORREF color) { dc->Draw3dRect(&rect, color, color); }

void RedrawBarWindow(HWND hwnd) {
  if (::IsWindow(hwnd))
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}
}  // namespace

CTKVisualManager::CTKVisualManager(BOOL temporary) : m_isTemporary(temporary) {
  if (!temporary) {
    if (!s_current) s_current = this;
    GD().ReloadColors();
  }
}

CTKVisualManager::~CTKVisualManager() {
  if (!m_isTemporary) s_current = nullptr;
}

CTKVisualManager* CTKVisualManager::GetInstance() {
  if (s_current) return s_current;
  CTKVisualManager* look = nullptr;
  if (s_selectedClass) look = static_cast<CTKVisualManager*>(s_selectedClass->CreateObject());
  if (!look) look = new CTKVisualManager;
  s_current = look;
  look->m_autoDelete = TRUE;
  look->RecomputeColors();
  return look;
}

BOOL CTKVisualManager::SelectLookClass(CRuntimeClass* lookClass) {
  if (lookClass && !lookClass->IsDerivedFrom(RUNTIME_CLASS(CTKVisualManager))) return FALSE;
  s_selectedClass = lookClass;
  if (s_current) {
    CTKVisualManager* old = s_current;
    s_current = nullptr;
    delete old;
  }
  s_current = nullptr;
  GD().ReloadColors();
  if (s_adjustAllToolbars) s_adjustAllToolbars();
  RedrawAllBars();
  return TRUE;
}

void CTKVisualManager::RedrawAllBars() {
  CWnd* main = AfxGetMainWnd();
  if (main && main->m_hWnd) RedrawBarWindow(main->m_hWnd);
  if (s_forEachBarWindow) s_forEachBarWindow(RedrawBarWindow);
  // Sizing bars too: floating ones are no children of the main window.
  auto& sizingBars = CTKSizingControlBar::AllBars();
  for (int i = 0; i < sizingBars.GetSize(); ++i)
    if (sizingBars[i]->m_hWnd) RedrawBarWindow(sizingBars[i]->m_hWnd);
}

void CTKVisualManager::SetLookFlag(BOOL flag) {
  GetInstance()->m_lookFlag = flag;
  CWnd* main = AfxGetMainWnd();
  if (main && main->m_hWnd)
    ::RedrawWindow(main->m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW | RDW_FRAME);
  RedrawAllBars();
}

void CTKVisualManager::DestroyInstance() {
  if (s_current && s_current->m_autoDelete) delete s_current;
}

int CTKVisualManager::CaptionButtonGlyph(const CTKCaptionButton* button, BOOL dockedHorizontally,
                                         BOOL barExpanded, BOOL maximised) {
  // The expand button points the way the bar would grow or shrink along its row; it
  // is greyed while another bar of the row is maximised.
  if (button->hitTest == CTKCaptionButton::kHitHide) return MenuImages::kSmallClose;
  if (dockedHorizontally)
    return barExpanded ? MenuImages::kArrowRight
           : maximised ? MenuImages::kArrowRightDisabled
                       : MenuImages::kArrowLeft;
  return barExpanded ? MenuImages::kArrowDown
         : maximised ? MenuImages::kArrowUpDisabled
                     : MenuImages::kArrowUp;
}

void CTKVisualManager::DrawGlyphCentred(CDC* dc, int glyph, const CRect& rect, int extra) {
  SIZE size = MenuImages::Size();
  POINT at{rect.left + (rect.Width() - size.cx) / 2 + extra,
           rect.top + (rect.Height() - size.cy) / 2 + extra};
  MenuImages::Draw(dc, glyph, at);
}

// ---- bars ------------------------------------------------------------------------

void CTKVisualManager::PaintBarBackground(CDC* dc, CTKBaseControlBar* bar, CRect client, CRect clip, BOOL) {
  if (bar && bar->LookKind() == CTKBaseControlBar::kOutlookBar) {
    bar->PaintOwnBackground(dc, client);
    return;
  }
  if (bar && bar->LookKind() == CTKBaseControlBar::kCaptionBar) {
    Fill(dc, clip, bar->m_backgroundColor == (COLORREF)-1 ? GD().barShadow : bar->m_backgroundColor);
    return;
  }
  dc->FillRect(clip.IsRectEmpty() ? &client : &clip, &GD().barFaceBrush);
}

void CTKVisualManager::PaintBarEdges(CDC* dc, CTKBaseControlBar* bar, CRect& rect) {
  DWORD style = bar ? bar->GetBarStyle() : 0;
  if (!(style & (CBRS_BORDER_LEFT | CBRS_BORDER_TOP | CBRS_BORDER_RIGHT | CBRS_BORDER_BOTTOM))) return;
  COLORREF oldBk = dc->GetBkColor();
  COLORREF light = (style & CBRS_BORDER_3D) ? GD().barHighlight : GD().barShadow;
  COLORREF dark = GD().barShadow;
  CRect r = rect;
  if (style & CBRS_BORDER_LEFT) Fill(dc, CRect(r.left, r.top, r.left + 1, r.bottom), light);
  if (style & CBRS_BORDER_TOP) Fill(dc, CRect(r.left, r.top, r.right, r.top + 1), light);
  if (style & CBRS_BORDER_RIGHT) Fill(dc, CRect(r.right - 1, r.top, r.right, r.bottom), dark);
  if (style & CBRS_BORDER_BOTTOM) Fill(dc, CRect(r.left, r.bottom - 1, r.right, r.bottom), dark);
  if ((style & CBRS_BORDER_TOP) && !bar->m_noTopEdgeLine) {
    // A flush top: a shadow line over a highlight line.
    Fill(dc, CRect(r.left, r.top, r.right, r.top + 1), GD().barShadow);
    Fill(dc, CRect(r.left, r.top + 1, r.right, r.top + 2), GD().barHighlight);
  }
  if (style & CBRS_BORDER_LEFT) rect.left += 1;
  if (style & CBRS_BORDER_TOP) rect.top += 1;
  if (style & CBRS_BORDER_RIGHT) rect.right -= 1;
  if (style & CBRS_BORDER_BOTTOM) rect.bottom -= 1;
  dc->SetBkColor(oldBk);
}

void CTKVisualManager::PaintMenuFrame(CDC* dc, CWnd*, CRect rect) {
  dc->Draw3dRect(&rect, GD().barLight, GD().barDarkShadow);
  rect.DeflateRect(1, 1);
  dc->Draw3dRect(&rect, GD().barHighlight, GD().barShadow);
}

void CTKVisualManager::PaintGripper(CDC* dc, CRect gripper, BOOL horizontal, CTKBaseControlBar*) {
  const bool flat = m_lookFlag != FALSE;
  const int ridges = flat ? 1 : 2;
  if (horizontal) {
    gripper.DeflateRect(0, flat ? 3 : 2);
    int x = gripper.CenterPoint().x - (flat ? 1 : 2);
    for (int i = 0; i < ridges; ++i, x += 4) {
      CRect ridge(x, gripper.top, x + 3, gripper.bottom);
      dc->Draw3dRect(&ridge, GD().barHighlight, GD().barShadow);
      if (!flat) dc->SetPixel(ridge.left, ridge.bottom - 1, GD().barHighlight);
    }
  } else {
    if (!flat) gripper.OffsetRect(0, 1);
    gripper.DeflateRect(flat ? 3 : 2, 0);
    int y = gripper.CenterPoint().y - (flat ? 1 : 2);
    for (int i = 0; i < ridges; ++i, y += 4) {
      CRect ridge(gripper.left, y, gripper.right, y + 3);
      dc->Draw3dRect(&ridge, GD().barHighlight, GD().barShadow);
      if (!flat) dc->SetPixel(ridge.right - 1, ridge.top, GD().barHighlight);
    }
  }
}

void CTKVisualManager::PaintSeparator(CDC* dc, CTKBaseControlBar*, CRect rect, BOOL horizontal) {
  if (horizontal) {
    int x = rect.CenterPoint().x - 1;
    dc->Draw3dRect(CRect(x, rect.top, x + 2, rect.bottom), GD().barShadow, GD().barHighlight);
  } else {
    int y = rect.CenterPoint().y - 1;
    dc->Draw3dRect(CRect(rect.left, y, rect.right, y + 2), GD().barShadow, GD().barHighlight);
  }
}

void CTKVisualManager::PaintCaptionButton(CDC* dc, CTKCaptionButton* button, BOOL dockedHorizontally,
                                          BOOL barExpanded, BOOL maximised) {
  if (!button) return;
  const int glyph = CaptionButtonGlyph(button, dockedHorizontally, barExpanded, maximised);
  const bool down = button->pushed && button->focused;
  CRect r = button->rect;
  POINT at{r.left + 2 + (down ? 1 : 0), r.top + 2 + (down ? 1 : 0)};
  MenuImages::Draw(dc, glyph, at);
  if (down) {
    dc->Draw3dRect(&r, GD().barDarkShadow, GD().barLight);
    r.DeflateRect(1, 1);
    dc->Draw3dRect(&r, GD().barDarkShadow, GD().barHighlight);
  } else if (!m_lookFlag) {
    dc->Draw3dRect(&r, GD().barLight, GD().barDarkShadow);
    r.DeflateRect(1, 1);
    dc->Draw3dRect(&r, GD().barHighlight, GD().barShadow);
  } else if ((button->pushed || button->focused) && glyph != MenuImages::kArrowUpDisabled &&
             glyph != MenuImages::kArrowRightDisabled) {
    dc->Draw3dRect(&r, GD().barHighlight, GD().barShadow);
  }
}

void CTKVisualManager::PaintMDIButton(CDC* dc, CRect rect, UINT command, UINT state, BOOL) {
  UINT kind;
  switch (command) {
    case SC_MINIMIZE:
      kind = DFCS_CAPTIONMIN;
      break;
    case SC_CLOSE:
      kind = DFCS_CAPTIONCLOSE;
      break;
    case SC_RESTORE:
      kind = DFCS_CAPTIONRESTORE;
      break;
    default:
      return;
  }
  if (state & TBBS_PRESSED) kind |= DFCS_PUSHED;
  if (state & TBBS_DISABLED) kind |= DFCS_INACTIVE;
  dc->DrawFrameControl(&rect, DFC_CAPTION, kind);
}

// ---- status bar ----------------------------------------------------------------------

void CTKVisualManager::PaintStatusPaneBorder(CDC* dc, CTKBaseControlBar*, CRect rect, UINT, UINT paneStyle) {
  if (paneStyle & SBPS_NOBORDERS) return;
  if (paneStyle & SBPS_POPOUT)
    dc->Draw3dRect(&rect, GD().barHighlight, GD().barShadow);
  else
    dc->Draw3dRect(&rect, GD().barShadow, GD().barHighlight);
}

void CTKVisualManager::PaintStatusBarProgress(CDC* dc, CTKBaseControlBar*, CRect rect, int total, int current,
                                              COLORREF barColor, COLORREF endColor, COLORREF textColor,
                                              BOOL showText) {
  if (total == 0) return;
  CRect filled = rect;
  filled.right = rect.left + rect.Width() * current / total;
  if (endColor != (COLORREF)-1) {
    DrawManager dm(*dc);
    dm.PaintGradient(filled, barColor, endColor, 0);
  } else {
    Fill(dc, filled, barColor);
  }
  if (!showText) return;
  char text[32];
  snprintf(text, sizeof text, "%d%%", current * 100 / total);
  const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
  COLORREF oldText = dc->SetTextColor(GD().buttonText);
  int oldMode = dc->SetBkMode(TRANSPARENT);
  CRect whole = rect;
  dc->DrawText(text, -1, &whole, format);
  CRgn clip;
  clip.CreateRectRgnIndirect(&filled);
  dc->SelectClipRgn(&clip);
  dc->SetTextColor(textColor == (COLORREF)-1 ? ::GetSysColor(COLOR_HIGHLIGHTTEXT) : textColor);
  whole = rect;
  dc->DrawText(text, -1, &whole, format);
  dc->SelectClipRgn(nullptr);
  dc->SetBkMode(oldMode);
  dc->SetTextColor(oldText);
}

void CTKVisualManager::PaintSizeGrip(CDC* dc, CTKBaseControlBar* statusBar, CRect rect) {
  HWND hwnd = statusBar ? statusBar->m_hWnd : nullptr;
  if (hwnd && m_getWindowTheme && m_getWindowTheme(hwnd) && m_themes[kScrollBar]) {
    DrawBackground(kScrollBar, dc, 10, 1, rect);
    return;
  }
  bool rtl = hwnd && (::GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL);
  HGDIOBJ oldFont = dc->SelectObject(&GD().glyphFont);
  COLORREF oldText = dc->SetTextColor(GD().buttonShadow);
  int oldMode = dc->SetBkMode(TRANSPARENT);
  const char* grip = rtl ? "x" : "o";
  CSize size = dc->GetTextExtent(grip, 1);
  dc->ExtTextOut(rect.right - size.cx, rect.bottom - size.cy, ETO_CLIPPED, &rect, grip, 1);
  dc->SetBkMode(oldMode);
  dc->SetTextColor(oldText);
  dc->SelectObject(oldFont);
}

// ---- buttons -------------------------------------------------------------------------

void CTKVisualManager::PaintDropDownButton(CDC* dc, CRect rect, BOOL disabled, BOOL pressed,
                                           BOOL highlighted) {
  COLORREF oldText = dc->GetTextColor();
  dc->FillRect(&rect, &GD().barFaceBrush);
  Frame(dc, rect, GD().barHighlight);
  CRect glyphRect = rect;
  if (pressed) {
    glyphRect.OffsetRect(1, 1);
    dc->Draw3dRect(&rect, GD().barShadow, GD().barHighlight);
  } else if (highlighted) {
    dc->Draw3dRect(&rect, GD().barHighlight, GD().barShadow);
  }
  DrawGlyphCentred(dc, disabled ? MenuImages::kArrowDownDisabled : MenuImages::kArrowDown, glyphRect, 1);
  dc->SetTextColor(oldText);
}

void CTKVisualManager::PaintMenuButtonBorder(CDC* dc, CRect rect, CTKToolbarButton*, BOOL checked,
                                             BOOL highlighted) {
  if (!checked && !highlighted) return;
  if (m_flatButtonStyle) {
    rect.DeflateRect(1, 1);
    Frame(dc, rect, GD().barDarkShadow);
  } else {
    dc->Draw3dRect(&rect, GD().barShadow, GD().barHighlight);
  }
}

void CTKVisualManager::PaintSunkenEdge(CDC* dc, CRect rect, BOOL draw) {
  if (draw) dc->DrawEdge(&rect, EDGE_SUNKEN, BF_RECT);
}

void CTKVisualManager::PaintCaptionStrip(CDC* dc, CRect rect, BOOL active) {
  dc->FillRect(&rect, &GD().barFaceBrush);
  rect.DeflateRect(2, 1);
  Fill(dc, rect, active ? GD().SysColor(COLOR_ACTIVECAPTION) : GD().SysColor(COLOR_INACTIVECAPTION));
}

void CTKVisualManager::PaintButtonFace(CDC* dc, CTKToolbarButton* button, CRect rect, int state) {
  if (!button) return;
  if (button->LookKind() == CTKToolbarButton::kShowAll) {
    if (state == 2) {
      DrawManager dm(*dc);
      dm.LightenRect(rect);
    }
    return;
  }
  if (button->LookKind() == CTKToolbarButton::kOutlook || g_toolbarsCustomizing || state == 2) return;
  if (button->m_nStyle & (TBBS_CHECKED | TBBS_INDETERMINATE)) {
    SIZE margins = button->m_bar ? button->m_bar->m_buttonMargins : SIZE{0, 0};
    rect.DeflateRect(margins.cx, margins.cy);
    dc->FillRect(&rect, &GD().lightBrush);
  }
}

void CTKVisualManager::PaintButtonEdge(CDC* dc, CTKToolbarButton* button, CRect rect, int state) {
  COLORREF dark =
      button && button->LookKind() == CTKToolbarButton::kOutlook ? GD().barDarkShadow : GD().barShadow;
  if (state == 1)
    dc->Draw3dRect(&rect, dark, GD().barHighlight);
  else if (state == 2)
    dc->Draw3dRect(&rect, GD().barHighlight, dark);
}

void CTKVisualManager::PaintButtonViaOwner(CDC* dc, CTKToolbarButton* button, CRect rect, int state, BOOL) {
  if (m_flatButtonStyle && button && button->OnDrawBorder(dc, rect, state)) return;
  PaintButtonEdge(dc, button, rect, state);
}

void CTKVisualManager::PaintFace3D(CDC* dc, CTKToolbarButton*, CRect rect, COLORREF&) {
  dc->FillRect(&rect, &GD().highlightBrush);
}

// The background of a run of rarely used items in an expanded personalised menu.
void CTKVisualManager::PaintPopupBarHighlight(CDC* dc, CRect rect) {
  DrawManager dm(*dc);
  dm.LightenRect(rect);
  dc->Draw3dRect(&rect, GD().barShadow, GD().barHighlight);
}

COLORREF CTKVisualManager::GetButtonTextColor(CTKToolbarButton* button, int state) {
  if (!button) return GD().barText;
  if (button->LookKind() == CTKToolbarButton::kOutlook)
    return (button->m_nStyle & TBBS_DISABLED) ? GD().SysColor(COLOR_3DFACE) : GD().SysColor(COLOR_WINDOW);
  if ((button->m_nStyle & TBBS_DISABLED) || (g_toolbarsCustomizing && !button->IsEditable()))
    return GD().grayText;
  if (state == 2) {
    COLORREF custom = button->m_bar ? button->m_bar->m_customTextColor : (COLORREF)-1;
    return custom == (COLORREF)-1 ? GD().barText : custom;
  }
  return GD().barText;
}

COLORREF CTKVisualManager::GetCaptionBarTextColor(CTKBaseControlBar*) { return GD().SysColor(COLOR_WINDOW); }

BOOL CTKVisualManager::PaintOutlookButtonFace(CDC*, CTKToolbarButton*, CRect, int, COLORREF&) {
  return FALSE;
}

BOOL CTKVisualManager::PaintOutlookButtonBorder(CDC*, CTKToolbarButton*, CRect, int) { return FALSE; }

// ---- tabs ----------------------------------------------------------------------------

void CTKVisualManager::PaintTabAreaBackground(CDC* dc, CRect rect, CWnd*) {
  dc->FillRect(&rect, &GD().barFaceBrush);
}

void CTKVisualManager::PaintTabAreaBackground(CDC* dc, CRect rect, CTKTabWndBase*) {
  dc->FillRect(&rect, &GD().barFaceBrush);
}

void CTKVisualManager::PaintBarButtonBorder(CDC* dc, CRect& rect, CTKButtonBase* button, UINT state) {
  if (button) button->OnDrawBorder(dc, rect, state);
}

void CTKVisualManager::PaintOutlookPageButton(CDC* dc, CRect rect) {
  dc->FillRect(&rect, &GD().barFaceBrush);
  dc->Draw3dRect(&rect, GD().barHighlight, GD().barShadow);
}

void CTKVisualManager::PaintOutlookCaption(CDC* dc, CRect rect, COLORREF& textColor) {
  Fill(dc, rect, GD().barFace);
  dc->Draw3dRect(&rect, GD().barHighlight, GD().barShadow);
  textColor = GD().barText;
}

void CTKVisualManager::PaintTab(CDC* dc, CRect rect, int tab, BOOL active, CTKTabWndBase* tabs) {
  if (!tabs) return;
  const bool bottom = tabs->m_locationBottom != FALSE;
  COLORREF hl = GD().barHighlight, shadow = GD().barShadow, dark = GD().barDarkShadow;
  HBRUSH brush = tabs->m_faceColor != (COLORREF)-1 ? nullptr : (HBRUSH)GD().barFaceBrush;
  CBrush own;
  if (!brush) {
    own.CreateSolidBrush(tabs->m_faceColor);
    brush = own;
  }
  if (tabs->m_style == CTKTabWndBase::kStyleSlanted || tabs->m_style == CTKTabWndBase::kStyleHalfSlanted) {
    // A slanted tab: an eight-point outline whose sides lean by the tab's height.
    const int lean = tabs->m_style == CTKTabWndBase::kStyleSlanted ? rect.Height() / 2 : 0;
    const int y0 = bottom ? rect.top : rect.bottom - 1, y1 = bottom ? rect.bottom - 1 : rect.top;
    const int dy = bottom ? -1 : 1;
    POINT pts[8] = {{rect.left - lean, y0},        {rect.left, y1 - 2 * dy},   {rect.left + 1, y1 - dy},
                    {rect.left + 2, y1},           {rect.right - 3, y1},       {rect.right - 2, y1 - dy},
                    {rect.right - 1, y1 - 2 * dy}, {rect.right - 1 + lean, y0}};
    CRgn region;
    region.CreatePolygonRgn(pts, 8, WINDING);
    dc->SelectClipRgn(&region);
    PaintTabBackground(dc, CRect(rect.left - lean, rect.top, rect.right + lean, rect.bottom), brush, tab,
                       active, tabs);
    dc->SelectClipRgn(nullptr);
    CPen light(PS_SOLID, 1, bottom ? shadow : hl), darkPen(PS_SOLID, 1, dark);
    HGDIOBJ old = dc->SelectObject(&light);
    dc->Polyline(pts, 5);
    dc->SelectObject(&darkPen);
    dc->Polyline(pts + 4, 4);
    dc->SelectObject(old);
  } else {
    // The rectangular tabs: the inside, then a four-point outline open toward the pane.
    PaintTabBackground(dc, rect, brush, tab, active, tabs);
    const int y0 = bottom ? rect.top : rect.bottom - 1, y1 = bottom ? rect.bottom - 1 : rect.top;
    POINT pts[4] = {{rect.left, y0}, {rect.left, y1}, {rect.right - 1, y1}, {rect.right - 1, y0}};
    CPen light(PS_SOLID, 1, bottom ? shadow : hl), darkPen(PS_SOLID, 1, bottom ? dark : shadow);
    HGDIOBJ old = dc->SelectObject(&light);
    dc->Polyline(pts, 3);
    dc->SelectObject(&darkPen);
    dc->Polyline(pts + 2, 2);
    dc->SelectObject(old);
  }
  PaintTabLabel(dc, rect, tab, active, tabs);
}

void CTKVisualManager::PaintTabBackground(CDC* dc, CRect rect, HBRUSH brush, int tab, BOOL active,
                                          CTKTabWndBase* tabs) {
  const bool slanted = tabs && (tabs->m_style == CTKTabWndBase::kStyleSlanted ||
                                tabs->m_style == CTKTabWndBase::kStyleHalfSlanted);
  if (active && slanted && tabs->GetTabColor(tab) == (COLORREF)-1 && !GD().isBlackHighContrast) {
    Fill(dc, rect, RGB(255, 255, 255));
    return;
  }
  if (!active && tabs && tab >= 0 && tab == tabs->m_highlightedTab && !GD().isBlackHighContrast) {
    // The tab under the mouse: its face halfway to white.
    LOGBRUSH face{};
    ::GetObjectA(brush, sizeof(face), &face);
    const COLORREF c = face.lbColor;
    Fill(dc, rect, RGB((GetRValue(c) + 255) / 2, (GetGValue(c) + 255) / 2, (GetBValue(c) + 255) / 2));
    return;
  }
  dc->FillRect(&rect, brush);
}

void CTKVisualManager::PaintTabLabel(CDC* dc, CRect rect, int tab, BOOL, CTKTabWndBase* tabs) {
  if (!tabs) return;
  const char* text = tabs->GetTabLabel(tab);
  int oldMode = dc->SetBkMode(TRANSPARENT);
  if (tabs->m_labelsOnly) {
    const UINT centred = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
    dc->DrawText(text, -1, &rect, tabs->m_hidePrefix ? centred | DT_NOPREFIX : centred);
    dc->SetBkMode(oldMode);
    return;
  }
  const int margin = 4;
  int image = tabs->GetTabIcon(tab);
  int imageWidth = image >= 0 ? tabs->m_imageSize.cx : 0;
  if (rect.Width() < margin + imageWidth) {
    dc->SetBkMode(oldMode);
    return;
  }
  if (image >= 0 && tabs->m_imageList) {
    ::ImageList_Draw(tabs->m_imageList, image, dc->m_hDC, rect.left + margin,
                     rect.top + (rect.Height() - tabs->m_imageSize.cy) / 2, ILD_TRANSPARENT);
  }
  CRect textRect = rect;
  textRect.left = rect.left + margin + imageWidth + 6;
  COLORREF color = tabs->GetTabTextColor(tab);
  if (color != (COLORREF)-1) dc->SetTextColor(color);
  UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | (tabs->m_hidePrefix ? DT_NOPREFIX : 0);
  if (tabs->m_centredLabels) format |= DT_CENTER;
  dc->DrawText(text, -1, &textRect, format);
  dc->SetBkMode(oldMode);
}

void CTKVisualManager::PaintTabFrame(CDC* dc, CRect rect, CTKTabWndBase*) {
  dc->FillRect(&rect, &GD().barFaceBrush);
}

void CTKVisualManager::PaintTabButtonBorder(CDC* dc, CRect& rect, CTKButtonBase* button, UINT state) {
  bool pressed = (button && button->m_pushed && button->m_hot) || (state & 1);
  if (pressed)
    dc->Draw3dRect(&rect, GD().buttonDarkShadow, GD().buttonHighlight);
  else
    dc->Draw3dRect(&rect, GD().buttonHighlight, GD().buttonDarkShadow);
  rect.DeflateRect(2, 2);
}

void CTKVisualManager::GetTabColors(CTKTabWndBase* tabs, COLORREF& face, COLORREF& shadow, COLORREF& text,
                                    COLORREF& hl, COLORREF& darkShadow, COLORREF& light, HBRUSH& faceBrush,
                                    HBRUSH& darkBrush) {
  face = tabs && tabs->m_faceColor != (COLORREF)-1 ? tabs->m_faceColor : GD().barFace;
  shadow = GD().barShadow;
  text = GD().barText;
  hl = GD().barHighlight;
  darkShadow = GD().barDarkShadow;
  light = GD().barLight;
  faceBrush = GD().barFaceBrush;
  darkBrush = GD().darkShadowBrush;
}

BOOL CTKVisualManager::PaintTabColor(CDC* dc, CRect rect, CTKTabWndBase* tabs) {
  COLORREF color = tabs ? tabs->GetTabColor(tabs->m_activeTab) : (COLORREF)-1;
  if (color == (COLORREF)-1) return FALSE;
  Fill(dc, rect, color);
  return TRUE;
}

// ---- lists, headers, panes -----------------------------------------------------------

COLORREF CTKVisualManager::PaintCustomizeListItem(CDC* dc, CRect rect, BOOL selected) {
  if (!selected) {
    dc->FillRect(&rect, &GD().buttonFaceBrush);
    return GD().barText;
  }
  dc->FillRect(&rect, &GD().highlightBrush);
  CRect dotted = rect;
  dotted.DeflateRect(1, 1);
  static const WORD kDots[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
  CBitmap pattern;
  pattern.CreateBitmap(8, 8, 1, 1, kDots);
  CBrush dots;
  dots.CreatePatternBrush(&pattern);
  HGDIOBJ old = dc->SelectObject(&dots);
  dc->PatBlt(dotted.left, dotted.top, dotted.Width(), 1, PATINVERT);
  dc->PatBlt(dotted.left, dotted.bottom - 1, dotted.Width(), 1, PATINVERT);
  dc->PatBlt(dotted.left, dotted.top + 1, 1, dotted.Height() - 2, PATINVERT);
  dc->PatBlt(dotted.right - 1, dotted.top + 1, 1, dotted.Height() - 2, PATINVERT);
  dc->SelectObject(old);
  return GD().highlightText;
}

void CTKVisualManager::PaintHeaderBackground(CTKHeaderCtrlBase* header, CDC* dc, CRect rect) {
  dc->FillRect(&rect, header && header->m_bIsDlgControl ? &GD().buttonFaceBrush : &GD().barFaceBrush);
}

void CTKVisualManager::PaintHeaderItemBorder(CTKHeaderCtrlBase* header, CDC* dc, CRect& rect, BOOL pressed,
                                             BOOL) {
  const bool dialog = header && header->m_bIsDlgControl;
  COLORREF light = dialog ? GD().buttonHighlight : GD().barHighlight;
  COLORREF dark = dialog ? GD().buttonShadow : GD().barShadow;
  if (pressed) {
    Frame(dc, rect, dark);
    rect.OffsetRect(1, 1);
  } else {
    dc->Draw3dRect(&rect, light, dark);
  }
}

void CTKVisualManager::PaintHeaderSortArrow(CTKHeaderCtrlBase* header, CDC* dc, CRect rect, BOOL ascending) {
  const bool dialog = header && header->m_bIsDlgControl;
  CPen light(PS_SOLID, 1, dialog ? GD().buttonHighlight : GD().barHighlight);
  CPen dark(PS_SOLID, 1, dialog ? GD().buttonDarkShadow : GD().barDarkShadow);
  HGDIOBJ old = dc->SelectObject(&light);
  const int midX = rect.CenterPoint().x;
  if (ascending) {
    // Point up: light right side and base, dark left side.
    dc->MoveTo(rect.right, rect.bottom);
    dc->LineTo(midX, rect.top);
    dc->SelectObject(&dark);
    dc->LineTo(rect.left, rect.bottom);
    dc->SelectObject(&light);
    dc->LineTo(rect.right, rect.bottom);
  } else {
    dc->MoveTo(rect.left, rect.top);
    dc->SelectObject(&dark);
    dc->LineTo(rect.right, rect.top);
    dc->LineTo(midX, rect.bottom);
    dc->SelectObject(&light);
    dc->LineTo(rect.left, rect.top);
  }
  dc->SelectObject(old);
}

void CTKVisualManager::PaintWindowBackground(CDC* dc, CRect rect) {
  dc->FillRect(&rect, ::GetSysColorBrush(COLOR_WINDOW));
}

void CTKVisualManager::PaintTasksGroupCaption(CDC* dc, CTKTasksGroup* group, BOOL, BOOL, BOOL hot) {
  if (!group) return;
  CRect r = group->rect;
  Fill(dc, r, group->special ? GD().highlight : GD().buttonFace);
  int textLeft = r.left + m_tasksPaneMetrics[4];
  if (group->icon && r.Height() >= 16) {
    ::DrawIconEx(dc->m_hDC, r.left + 2, r.top + (r.Height() - 16) / 2, group->icon, 16, 16, 0, nullptr,
                 DI_NORMAL);
    textLeft = r.left + 2 + 16 + 4;
  }
  HGDIOBJ oldFont = dc->SelectObject(&GD().boldFont);
  COLORREF color = group->textColor != (COLORREF)-1 ? group->textColor
                                                    : (group->special ? GD().highlightText : GD().buttonText);
  COLORREF oldText = dc->SetTextColor(color);
  int oldMode = dc->SetBkMode(TRANSPARENT);
  CRect textRect(textLeft, r.top, r.right - m_tasksPaneMetrics[5] - 9, r.bottom);
  dc->DrawText(group->caption, -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  CRect glyphRect(r.right - m_tasksPaneMetrics[5] - 9, r.top, r.right - m_tasksPaneMetrics[5], r.bottom);
  DrawGlyphCentred(dc, group->collapsed ? MenuImages::kArrowDown : MenuImages::kArrowUp, glyphRect);
  dc->SetBkMode(oldMode);
  dc->SetTextColor(oldText);
  dc->SelectObject(oldFont);
}

void CTKVisualManager::PaintPaneFrame(CDC* dc, int left, int top, int right, int bottom, BOOL highlighted,
                                      BOOL closed) {
  HGDIOBJ old = dc->SelectObject(highlighted ? &GD().highlightPen : &GD().barFacePen);
  dc->MoveTo(left, top);
  dc->LineTo(left, bottom);
  dc->LineTo(right, bottom);
  dc->LineTo(right, top);
  dc->LineTo(closed ? left : left + 1, top);
  dc->SelectObject(old);
}

void CTKVisualManager::PaintTask(CDC* dc, CTKTask* task) {
  if (!task) return;
  CRect r = task->rect;
  if (task->separator) {
    HGDIOBJ old = dc->SelectObject(&GD().barFacePen);
    int y = r.CenterPoint().y;
    dc->MoveTo(r.left, y);
    dc->LineTo(r.right, y);
    dc->SelectObject(old);
    return;
  }
  if (task->image >= 0 && task->imageList) {
    ::ImageList_Draw(task->imageList, task->image, dc->m_hDC, r.left, r.top, ILD_TRANSPARENT);
    r.left += 16 + m_tasksPaneMetrics[7];
  }
  HGDIOBJ oldFont = dc->SelectObject(task->hot && task->enabled ? &GD().underlineFont : &GD().regularFont);
  COLORREF color = !task->enabled                    ? GD().grayText
                   : task->textColor != (COLORREF)-1 ? task->textColor
                                                     : GD().windowText;
  COLORREF oldText = dc->SetTextColor(color);
  int oldMode = dc->SetBkMode(TRANSPARENT);
  dc->DrawText(task->text, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  dc->SetBkMode(oldMode);
  dc->SetTextColor(oldText);
  dc->SelectObject(oldFont);
}

// ---- caption bar, popups -------------------------------------------------------------

void CTKVisualManager::PaintCaptionBarButton(CDC* dc, CRect rect, int inset, int glyph, BOOL pressed) {
  dc->FillRect(&rect, &GD().barFaceBrush);
  if (pressed) {
    DrawManager dm(*dc);
    dm.LightenRect(rect);
    dc->Draw3dRect(&rect, GD().barHighlight, GD().barShadow);
  }
  DrawGlyphCentred(dc, glyph, rect);
}

void CTKVisualManager::PaintCaptionBarCloseButton(CDC* dc, CRect rect, BOOL, BOOL pressed) {
  HWND hwnd = ::WindowFromDC(dc->m_hDC);
  if (hwnd && m_getWindowTheme && m_getWindowTheme(hwnd) && m_themes[kWindow]) {
    DrawBackground(kWindow, dc, 2, pressed ? 2 : 1, rect);
    return;
  }
  COLORREF text = GD().captionText;
  Frame(dc, rect, text);
  CPen pen(PS_SOLID, 1, text);
  HGDIOBJ old = dc->SelectObject(&pen);
  CRect r = rect;
  r.DeflateRect(3, 3);
  dc->MoveTo(r.left, r.top);
  dc->LineTo(r.right, r.bottom);
  dc->MoveTo(r.right - 1, r.top);
  dc->LineTo(r.left - 1, r.bottom);
  dc->SelectObject(old);
}

void CTKVisualManager::PaintCaptionBarBorder(CDC* dc, CRect rect) {
  dc->Draw3dRect(&rect, GD().barShadow, GD().barHighlight);
  rect.DeflateRect(1, 1);
  Frame(dc, rect, GD().barFace);
}

void CTKVisualManager::PaintPopupBorder(CDC* dc, CWnd*, CRect rect) {
  dc->Draw3dRect(&rect, GD().barFace, GD().barShadow);
}

void CTKVisualManager::PaintPopupBackground(CDC* dc, CWnd*, CRect rect) { Fill(dc, rect, GD().barFace); }

int CTKVisualManager::GetShowAllButtonHeight(CTKBaseControlBar*) { return MenuImages::Size().cy + 6; }

void CTKVisualManager::PaintShowAllButton(CDC* dc, CRect rect) {
  DrawGlyphCentred(dc, MenuImages::kChevronsDown, rect);
}

void CTKVisualManager::PaintWindowBorder(CWnd* window) {
  if (!window || !window->m_hWnd) return;
  CWindowDC dc(window);
  RECT r;
  ::GetWindowRect(window->m_hWnd, &r);
  CRect frame(0, 0, r.right - r.left, r.bottom - r.top);
  dc.Draw3dRect(&frame, GD().barDarkShadow, GD().barHighlight);
}

void CTKVisualManager::PaintScrollButtons(CDC* dc, CRect rect, BOOL vertical, UINT pressedState, BOOL) {
  rect.DeflateRect(1, 1);
  dc->FillRect(&rect, &GD().barFaceBrush);
  Frame(dc, rect, GD().barHighlight);
  CRect first = rect, second = rect;
  if (vertical)
    first.bottom = second.top = rect.top + rect.Height() / 2;
  else
    first.right = second.left = rect.left + rect.Width() / 2;
  const UINT pressed = pressedState & 3;
  CRect halves[2] = {first, second};
  const int glyphs[2] = {vertical ? MenuImages::kArrowUp : MenuImages::kArrowLeft,
                         vertical ? MenuImages::kArrowDown : MenuImages::kArrowRight};
  for (int i = 0; i < 2; ++i) {
    if (pressed == static_cast<UINT>(i + 1))
      dc->Draw3dRect(&halves[i], GD().barShadow, GD().barHighlight);
    else
      dc->Draw3dRect(&halves[i], GD().barHighlight, GD().barShadow);
    DrawGlyphCentred(dc, glyphs[i], halves[i]);
  }
}

void CTKVisualManager::PaintDragFrame(CDC* dc, CRect newRect, CRect oldRect, SIZE newSize, SIZE oldSize) {
  // The frame is drawn by inverting: paint the old strips away, then the new ones.
  auto strips = [dc](const CRect& r, SIZE s) {
    if (r.IsRectEmpty()) return;
    HGDIOBJ old = dc->SelectObject(&GD().lightBrush);
    dc->PatBlt(r.left, r.top, r.Width(), s.cy, PATINVERT);
    dc->PatBlt(r.left, r.bottom - s.cy, r.Width(), s.cy, PATINVERT);
    dc->PatBlt(r.left, r.top + s.cy, s.cx, r.Height() - 2 * s.cy, PATINVERT);
    dc->PatBlt(r.right - s.cx, r.top + s.cy, s.cx, r.Height() - 2 * s.cy, PATINVERT);
    dc->SelectObject(old);
  };
  strips(oldRect, oldSize);
  strips(newRect, newSize);
}

void CTKVisualManager::PaintBoldCaption(CDC* dc, CWnd* captionWindow, CRect rect) {
  dc->FillRect(&rect, &GD().barFaceBrush);
  if (!captionWindow || !captionWindow->m_hWnd) return;
  char text[256];
  ::GetWindowTextA(captionWindow->m_hWnd, text, sizeof text);
  HGDIOBJ oldFont = dc->SelectObject(&GD().boldFont);
  COLORREF oldText = dc->SetTextColor(GD().barText);
  int oldMode = dc->SetBkMode(TRANSPARENT);
  rect.DeflateRect(2, 0);
  dc->DrawText(text, -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  dc->SetBkMode(oldMode);
  dc->SetTextColor(oldText);
  dc->SelectObject(oldFont);
}
