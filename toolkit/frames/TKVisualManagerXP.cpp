#include "toolkit/frames/TKVisualManagerXP.h"

#include "toolkit/frames/DrawManager.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/MenuImages.h"

IMPLEMENT_DYNCREATE(CTKVisualManagerXP, CTKVisualManager)

namespace {
GlobalData& GD() { return GlobalData::Get(); }
void Fill(CDC* dc, const CRect& rect, COLORREF color) { dc->FillSolidRect(&rect, color); }
void Frame(CDC* dc, const CRect& rect, COLORREF color) { dc->Draw3dRect(&rect, color, color); }
double AtMost1(double v) { return v > 1.0 ? 1.0 : v; }
}  // namespace

CTKVisualManagerXP::CTKVisualManagerXP(BOOL temporary) : CTKVisualManager(temporary) {
  m_lookFlag = TRUE;
  m_menuShadowDepth = 4;
  m_flatButtonStyle = TRUE;
  m_flatToolbarButtons = TRUE;
  m_embossDisabledText = FALSE;
  m_xpImageStyle = TRUE;
  const int metrics[9] = {4, 4, 4, 0, 0, 0, 12, 5, 4};
  for (int i = 0; i < 9; ++i) m_tasksPaneMetrics[i] = metrics[i];
  m_menuJoinedToButton = TRUE;
  m_popupMenuBorderSize = 1;
  CTKVisualManagerXP::RecomputeColors();
}

CTKVisualManagerXP::~CTKVisualManagerXP() = default;

COLORREF CTKVisualManagerXP::GetMenuBaseColor() { return GD().barWindow; }

void CTKVisualManagerXP::RecomputeColors() {
  GlobalData& gd = GD();
  CGdiObject* objects[] = {
      &m_toolbarBackgroundBrush, &m_toolbarBackgroundDarkBrush, &m_menuBackgroundBrush, &m_itemHighlightBrush,
      &m_itemPressedBrush,       &m_itemCheckedBrush,           &m_paleFaceBrush,       &m_separatorPen};
  for (CGdiObject* o : objects) o->DeleteObject();

  COLORREF separator;
  if (gd.bitsPerPixel <= 8 || gd.isBlackHighContrast) {
    m_menuBackground = gd.barWindow;
    m_toolbarBackground = gd.buttonFace;
    if (gd.isBlackHighContrast) {
      m_itemHighlight = m_itemPressed = m_itemChecked = gd.highlight;
      m_toolbarBackgroundDark = gd.buttonFace;
    } else {
      m_itemHighlight = m_itemPressed = gd.buttonFace;
      m_itemChecked = gd.barWindow;
      m_toolbarBackgroundDark = gd.barLight;
    }
    m_darkFace = gd.buttonDarkShadow;
    separator = gd.buttonShadow;
    m_statusPaneBorder = gd.buttonShadow;
    m_menuBorder = gd.buttonDarkShadow;
    m_tabShadow = gd.buttonShadow;
    m_paleFace = gd.buttonFace;
  } else {
    const COLORREF base = GetMenuBaseColor(), face = gd.barFace, hl = gd.highlight;
    m_menuBackground = DrawManager::ScaleColorChannels(base, 0.976, 0.973, 0.969);
    double h, s, l;
    DrawManager::RgbToHls(face, &h, &s, &l);
    double paleL, paleS;
    if (s >= 0.1) {
      paleL = (l + 1.0) / 2.0;
      paleS = s * 2.0;
    } else {
      paleL = (1.0 - l) / 2.0 + l;
      paleS = s == 0 ? 0 : s + 0.1;
    }
    m_paleFace = DrawManager::HlsToRgb(h, AtMost1(paleL), AtMost1(paleS));
    m_toolbarBackground = l <= 0.9 ? DrawManager::HlsToRgb(h, AtMost1(l * 1.03), s) : face;
    m_darkFace = DrawManager::HlsToRgb(h, l * 0.4, s);
    m_toolbarBackgroundDark = DrawManager::ScaleColorPercent(m_toolbarBackground, 94);
    auto mix = [](COLORREF a, int wa, COLORREF b, int wb) {
      int n = wa + wb;
      return RGB((GetRValue(a) * wa + GetRValue(b) * wb) / n, (GetGValue(a) * wa + GetGValue(b) * wb) / n,
                 (GetBValue(a) * wa + GetBValue(b) * wb) / n);
    };
    m_itemHighlight = DrawManager::ScaleColorPercent(mix(hl, 1, m_menuBackground, 2), 105);
    m_itemPressed = DrawManager::ScaleColorChannels(m_itemHighlight, 0.87, 0.87, 0.87);
    m_itemChecked = mix(hl, 1, m_menuBackground, 5);
    separator = DrawManager::ScaleColorChannels(face, 0.86, 0.86, 0.86);
    m_statusPaneBorder = DrawManager::ScaleColorPercent(face, 108);
    m_menuBorder = DrawManager::ScaleColorPercent(face, 55);
    m_tabShadow = DrawManager::ScaleColorPercent(gd.barShadow, 110);
  }
  m_itemFrame = gd.isBlackHighContrast ? gd.buttonDarkShadow : gd.highlight;
  m_toolbarBackgroundBrush.CreateSolidBrush(m_toolbarBackground);
  m_toolbarBackgroundDarkBrush.CreateSolidBrush(m_toolbarBackgroundDark);
  m_menuBackgroundBrush.CreateSolidBrush(m_menuBackground);
  m_itemHighlightBrush.CreateSolidBrush(m_itemHighlight);
  m_itemPressedBrush.CreateSolidBrush(m_itemPressed);
  m_itemCheckedBrush.CreateSolidBrush(m_itemChecked);
  m_paleFaceBrush.CreateSolidBrush(m_paleFace);
  m_separatorPen.CreatePen(PS_SOLID, 1, separator);
}

// ---- added operations ----------------------------------------------------------------

void CTKVisualManagerXP::PaintOpenMenuButton(CDC* dc, CTKToolbarButton*, CRect rect) {
  dc->FillRect(&rect, &m_toolbarBackgroundBrush);
  Frame(dc, rect, m_menuBorder);
}

void CTKVisualManagerXP::CreateGripperBrushes() {
  WORD horizontal[8], vertical[8];
  for (int i = 0; i < 8; ++i) {
    horizontal[i] = (i % 2 == 0) ? 0x00FF : 0x0000;
    vertical[i] = 0x00AA;
  }
  CBitmap bitmap;
  if (bitmap.CreateBitmap(8, 8, 1, 1, horizontal)) m_gripperBrush.CreatePatternBrush(&bitmap);
  if (bitmap.CreateBitmap(8, 8, 1, 1, vertical)) m_gripperBrushVertical.CreatePatternBrush(&bitmap);
}

void CTKVisualManagerXP::AdjustMenuToButton(CTKPopupMenuBase* popup, CRect& rect) {
  CTKBaseControlBar* bar = popup ? popup->m_parentBar : nullptr;
  if (!bar || !bar->m_hWnd) return;
  RECT barRect;
  ::GetWindowRect(bar->m_hWnd, &barRect);
  const bool narrow = bar->IsHorizontal() ? (barRect.bottom - barRect.top) < rect.Height()
                                          : (barRect.right - barRect.left) < rect.Width();
  const int shift = narrow ? 1 : 4;
  switch (bar->DockSide()) {
    case CTKBaseControlBar::kDockedLeft:
      rect.left -= shift;
      break;
    case CTKBaseControlBar::kDockedTop:
      rect.top -= shift;
      break;
    case CTKBaseControlBar::kDockedRight:
      rect.right += shift;
      break;
    case CTKBaseControlBar::kDockedBottom:
      rect.bottom += shift;
      break;
    default:
      break;
  }
}

void CTKVisualManagerXP::FillHighlight(CDC* dc, CRect rect, CBrush* brush) { dc->FillRect(&rect, brush); }

// ---- bars ------------------------------------------------------------------------------

void CTKVisualManagerXP::PaintBarBackground(CDC* dc, CTKBaseControlBar* bar, CRect client, CRect clip,
                                            BOOL nonClient) {
  if (clip.IsRectEmpty()) clip = client;
  const CTKBaseControlBar::Kind kind = bar ? bar->LookKind() : CTKBaseControlBar::kOtherBar;
  switch (kind) {
    case CTKBaseControlBar::kMenuBar:
      CTKVisualManager::PaintBarBackground(dc, bar, client, clip, nonClient);
      return;
    case CTKBaseControlBar::kOutlookBar:
      if (bar->m_outlookAsksBaseLook) {
        CTKVisualManager::PaintBarBackground(dc, bar, client, clip, nonClient);
        return;
      }
      break;
    case CTKBaseControlBar::kColorBar:
      dc->FillRect(&clip, bar->m_isToolbarPalette ? &m_toolbarBackgroundBrush : &m_menuBackgroundBrush);
      return;
    case CTKBaseControlBar::kPopupMenuBar: {
      dc->FillRect(&clip, &m_menuBackgroundBrush);
      if (!bar->m_hidesImageStrip) {
        const int margin = GetMenuImageMargin();
        int width = bar->m_menuImageSize.cx + 2 * margin + 1;
        if (!bar->m_popupNarrowsStrip) width = (bar->m_menuImageSize.cx + 2 * margin + 2) * 2;
        CRect strip = client;
        strip.right = strip.left + width;
        dc->FillRect(&strip, &m_toolbarBackgroundBrush);
      }
      return;
    }
    case CTKBaseControlBar::kToolBar:
      dc->FillRect(&clip, &m_toolbarBackgroundBrush);
      return;
    default:
      break;
  }
  CTKVisualManager::PaintBarBackground(dc, bar, client, clip, nonClient);
}

void CTKVisualManagerXP::PaintBarEdges(CDC* dc, CTKBaseControlBar* bar, CRect& rect) {
  DWORD style = bar ? bar->GetBarStyle() : 0;
  const COLORREF face = GD().barFace;
  if (style & CBRS_BORDER_LEFT) {
    Fill(dc, CRect(rect.left, rect.top, rect.left + 1, rect.bottom), face);
    rect.left += 1;
  }
  if (style & CBRS_BORDER_TOP) {
    Fill(dc, CRect(rect.left, rect.top, rect.right, rect.top + 1), face);
    rect.top += 1;
  }
  if (style & CBRS_BORDER_RIGHT) {
    Fill(dc, CRect(rect.right - 1, rect.top, rect.right, rect.bottom), face);
    rect.right -= 1;
  }
  if (style & CBRS_BORDER_BOTTOM) {
    Fill(dc, CRect(rect.left, rect.bottom - 1, rect.right, rect.bottom), face);
    rect.bottom -= 1;
  }
}

void CTKVisualManagerXP::PaintMenuFrame(CDC* dc, CWnd*, CRect rect) {
  Frame(dc, rect, m_menuBorder);
  rect.DeflateRect(1, 1);
  Frame(dc, rect, m_menuBackground);
}

void CTKVisualManagerXP::PaintGripper(CDC* dc, CRect gripper, BOOL horizontal, CTKBaseControlBar* bar) {
  if (!m_gripperBrush.m_hObject) CreateGripperBrushes();
  COLORREF oldText = dc->SetTextColor(GD().barFace);
  COLORREF oldBk = dc->SetBkColor(m_toolbarBackground);
  CRect band = gripper;
  if (horizontal) {
    band.left = gripper.CenterPoint().x - 3;
    band.right = band.left + 6;
    band.DeflateRect(0, 3);
  } else {
    band.top = gripper.CenterPoint().y - 3;
    band.bottom = band.top + 6;
    band.DeflateRect(3, 0);
  }
  dc->FillRect(&band, horizontal ? &m_gripperBrushVertical : &m_gripperBrush);
  dc->SetBkColor(oldBk);
  dc->SetTextColor(oldText);
  if (bar && bar->LookKind() == CTKBaseControlBar::kSizingBar && bar->m_hWnd) {
    char caption[256];
    ::GetWindowTextA(bar->m_hWnd, caption, sizeof caption);
    HGDIOBJ oldFont = dc->SelectObject(horizontal ? &GD().verticalFont : &GD().regularFont);
    COLORREF old = dc->SetTextColor(GD().barText);
    int mode = dc->SetBkMode(TRANSPARENT);
    if (horizontal) {
      dc->ExtTextOut(band.right + 3 + GD().verticalTextHeight, band.top, ETO_CLIPPED, &gripper, caption,
                     lstrlenA(caption));
    } else {
      CRect textRect(gripper.left + 2, band.bottom + 2, gripper.right, gripper.bottom);
      dc->DrawText(caption, -1, &textRect, DT_SINGLELINE | DT_END_ELLIPSIS);
    }
    dc->SetBkMode(mode);
    dc->SetTextColor(old);
    dc->SelectObject(oldFont);
  }
}

void CTKVisualManagerXP::PaintSeparator(CDC* dc, CTKBaseControlBar*, CRect rect, BOOL horizontal) {
  HGDIOBJ old = dc->SelectObject(&m_separatorPen);
  if (horizontal) {
    int x = rect.CenterPoint().x;
    dc->MoveTo(x, rect.top + 1);
    dc->LineTo(x, rect.bottom - 1);
  } else {
    int y = rect.CenterPoint().y;
    dc->MoveTo(rect.left + 1, y);
    dc->LineTo(rect.right - 1, y);
  }
  dc->SelectObject(old);
}

void CTKVisualManagerXP::PaintCaptionButton(CDC* dc, CTKCaptionButton* button, BOOL dockedHorizontally,
                                            BOOL barExpanded, BOOL maximised) {
  if (!button) return;
  const int glyph = CaptionButtonGlyph(button, dockedHorizontally, barExpanded, maximised);
  CRect r = button->rect;
  if (button->pushed || button->focused) {
    Fill(dc, r, button->pushed && button->focused ? m_itemPressed : m_itemHighlight);
    Frame(dc, r, m_itemFrame);
  }
  const int size = MenuImages::kGlyphSize;
  MenuImages::Draw(dc, glyph, POINT{r.left + (r.Width() - size) / 2, r.top + (r.Height() - size) / 2});
}

void CTKVisualManagerXP::PaintMDIButton(CDC* dc, CRect rect, UINT command, UINT state, BOOL highlighted) {
  int glyph;
  switch (command) {
    case SC_MINIMIZE:
      glyph = MenuImages::kMinimise;
      break;
    case SC_CLOSE:
      glyph = MenuImages::kClose;
      break;
    case SC_RESTORE:
      glyph = MenuImages::kRestore;
      break;
    default:
      return;
  }
  const bool disabled = (state & TBBS_DISABLED) != 0;
  if (!disabled && (highlighted || (state & TBBS_PRESSED))) {
    Fill(dc, rect, (state & TBBS_PRESSED) ? m_itemPressed : m_itemHighlight);
    Frame(dc, rect, m_itemFrame);
  }
  DrawGlyphCentred(dc, disabled ? glyph + 1 : glyph, rect);  // each greyed form follows its glyph
}

void CTKVisualManagerXP::PaintStatusPaneBorder(CDC* dc, CTKBaseControlBar*, CRect rect, UINT,
                                               UINT paneStyle) {
  if (paneStyle & SBPS_NOBORDERS) return;
  Frame(dc, rect, m_statusPaneBorder);
}

void CTKVisualManagerXP::PaintDropDownButton(CDC* dc, CRect rect, BOOL disabled, BOOL pressed,
                                             BOOL highlighted) {
  COLORREF oldText = dc->GetTextColor();
  if (pressed || highlighted) {
    Fill(dc, rect, pressed ? m_itemPressed : m_itemHighlight);
    Frame(dc, rect, m_itemFrame);
  } else {
    dc->FillRect(&rect, &GD().barFaceBrush);
    Frame(dc, rect, GD().barHighlight);
  }
  DrawGlyphCentred(dc, disabled ? MenuImages::kArrowDownDisabled : MenuImages::kArrowDown, rect, 1);
  dc->SetTextColor(oldText);
}

void CTKVisualManagerXP::PaintMenuButtonBorder(CDC* dc, CRect rect, CTKToolbarButton*, BOOL checked,
                                               BOOL highlighted) {
  if (!checked && !highlighted) return;
  Frame(dc, rect, m_itemFrame);
}

void CTKVisualManagerXP::PaintSunkenEdge(CDC* dc, CRect rect, BOOL draw) {
  if (draw) Frame(dc, rect, m_itemFrame);
}

void CTKVisualManagerXP::PaintCaptionStrip(CDC* dc, CRect rect, BOOL active) {
  Fill(dc, rect, m_toolbarBackground);
  rect.DeflateRect(2, 1);
  Fill(dc, rect, active ? m_itemHighlight : m_toolbarBackgroundDark);
}

// ---- buttons ---------------------------------------------------------------------------

CBrush* CTKVisualManagerXP::ButtonFaceBrush(CTKToolbarButton* button, int state) {
  const bool inPopup = button->m_bar && button->m_bar->LookKind() == CTKBaseControlBar::kPopupMenuBar;
  if (button->m_nStyle & TBBS_PRESSED) return inPopup ? &m_itemHighlightBrush : &m_itemPressedBrush;
  if (state == 2) return &m_itemHighlightBrush;
  if (button->m_nStyle & TBBS_CHECKED) return &m_itemCheckedBrush;
  if (state == 1) return &m_itemPressedBrush;
  return nullptr;
}

void CTKVisualManagerXP::PaintButtonFace(CDC* dc, CTKToolbarButton* button, CRect rect, int state) {
  if (!button) return;
  const bool checked = (button->m_nStyle & TBBS_CHECKED) != 0;
  if (state != 1 && state != 2 && !checked) return;
  const bool inPopup = button->m_bar && button->m_bar->LookKind() == CTKBaseControlBar::kPopupMenuBar;
  if (!g_toolbarsCustomizing && !(inPopup && state == 2)) {
    rect.right -= 1;
    rect.bottom -= 1;
  }
  if (button->LookKind() == CTKToolbarButton::kMenuButton && button->IsPopupOpen()) {
    CTKPopupMenuBase* popup = dynamic_cast<CTKPopupMenuBase*>(button->m_popupMenu);
    if (popup) AdjustMenuToButton(popup, rect);
    PaintOpenMenuButton(dc, button, rect);
    if (m_showMenuShadows && GD().bitsPerPixel > 8 && m_menuShadowDepth > 0) {
      DrawManager dm(*dc);
      dm.PaintShadow(rect, m_menuShadowDepth, 100, 75, nullptr, nullptr, TRUE);
    }
    return;
  }
  CBrush* brush = ButtonFaceBrush(button, state);
  if (brush) FillHighlight(dc, rect, brush);
}

void CTKVisualManagerXP::PaintButtonEdge(CDC* dc, CTKToolbarButton* button, CRect rect, int state) {
  if (!button) return;
  const bool checked = (button->m_nStyle & TBBS_CHECKED) != 0;
  if (state != 1 && state != 2 && !checked) return;
  if (button->LookKind() == CTKToolbarButton::kMenuButton && button->IsPopupOpen()) return;
  const bool inPopup = button->m_bar && button->m_bar->LookKind() == CTKBaseControlBar::kPopupMenuBar;
  if (!g_toolbarsCustomizing && !(inPopup && state == 2)) {
    rect.right -= 1;
    rect.bottom -= 1;
  }
  Frame(dc, rect, m_itemFrame);
}

void CTKVisualManagerXP::PaintFace3D(CDC* dc, CTKToolbarButton* button, CRect rect, COLORREF&) {
  const bool disabled = button && (button->m_nStyle & TBBS_DISABLED);
  CBrush* brush = disabled ? &m_menuBackgroundBrush : &m_itemHighlightBrush;
  if (button && button->m_bar && button->m_bar->LookKind() == CTKBaseControlBar::kPopupMenuBar) {
    // Keep the image strip: the face starts one pixel right of it.
    int stripRight = button->m_bar->m_menuImageSize.cx + 2 * GetMenuImageMargin() + 1;
    if (rect.left < stripRight && rect.left > GetMenuImageMargin() - 1) rect.left = stripRight + 1;
  }
  if (button && button->IsPopupOpen()) {
    PaintOpenMenuButton(dc, button, rect);
    return;
  }
  FillHighlight(dc, rect, brush);
  Frame(dc, rect, m_itemFrame);
}

void CTKVisualManagerXP::PaintPopupBarHighlight(CDC* dc, CRect rect) {
  dc->FillRect(&rect, &m_toolbarBackgroundDarkBrush);
}

COLORREF CTKVisualManagerXP::GetButtonTextColor(CTKToolbarButton* button, int state) {
  if (button && button->LookKind() == CTKToolbarButton::kOutlook)
    return (button->m_nStyle & TBBS_DISABLED) ? GD().grayText : GD().barText;
  if (button && state == 2 && (button->m_nStyle & (TBBS_CHECKED | TBBS_PRESSED))) return GD().highlightText;
  return CTKVisualManager::GetButtonTextColor(button, state);
}

BOOL CTKVisualManagerXP::PaintOutlookButtonFace(CDC* dc, CTKToolbarButton* button, CRect rect, int state,
                                                COLORREF& textColor) {
  if (!button || !button->m_bar || button->m_bar->LookKind() != CTKBaseControlBar::kOutlookBar) return FALSE;
  CBrush* brush = state == 1                          ? &m_itemPressedBrush
                  : state == 2                        ? &m_itemHighlightBrush
                  : (button->m_nStyle & TBBS_CHECKED) ? &m_itemCheckedBrush
                                                      : nullptr;
  if (brush) FillHighlight(dc, rect, brush);
  textColor = GD().barText;
  return TRUE;
}

BOOL CTKVisualManagerXP::PaintOutlookButtonBorder(CDC* dc, CTKToolbarButton* button, CRect rect, int state) {
  if (!button || !button->m_bar || button->m_bar->LookKind() != CTKBaseControlBar::kOutlookBar) return FALSE;
  if (state == 1 || state == 2 || (button->m_nStyle & TBBS_CHECKED)) Frame(dc, rect, m_itemFrame);
  return TRUE;
}

// ---- tabs ------------------------------------------------------------------------------

void CTKVisualManagerXP::PaintTabAreaBackground(CDC* dc, CRect rect, CWnd*) {
  dc->FillRect(&rect, &m_toolbarBackgroundBrush);
}

void CTKVisualManagerXP::PaintBarButtonBorder(CDC* dc, CRect& rect, CTKButtonBase*, UINT) {
  Frame(dc, rect, GD().barDarkShadow);
  rect.DeflateRect(1, 1);
}

void CTKVisualManagerXP::PaintOutlookPageButton(CDC* dc, CRect rect) {
  dc->FillRect(&rect, &m_toolbarBackgroundBrush);
  Frame(dc, rect, GD().barShadow);
}

void CTKVisualManagerXP::PaintOutlookCaption(CDC* dc, CRect rect, COLORREF& textColor) {
  Fill(dc, rect, m_darkFace);
  textColor = GD().barHighlight;
}

void CTKVisualManagerXP::PaintTabAreaBackground(CDC* dc, CRect rect, CTKTabWndBase*) {
  dc->FillRect(&rect, &m_paleFaceBrush);
}

void CTKVisualManagerXP::PaintTab(CDC* dc, CRect rect, int tab, BOOL active, CTKTabWndBase* tabs) {
  if (!tabs) return;
  // The same outline as the base look, in the flat palette: the active tab on the
  // toolbar background, the others on the pale face.
  CTKVisualManager::PaintTab(dc, rect, tab, active, tabs);
}

void CTKVisualManagerXP::PaintTabBackground(CDC* dc, CRect rect, HBRUSH brush, int tab, BOOL active,
                                            CTKTabWndBase* tabs) {
  if (tabs && tabs->GetTabColor(tab) == (COLORREF)-1 && tabs->m_faceColor == (COLORREF)-1) {
    dc->FillRect(&rect, active ? &m_toolbarBackgroundBrush : &m_paleFaceBrush);
    return;
  }
  CTKVisualManager::PaintTabBackground(dc, rect, brush, tab, active, tabs);
}

void CTKVisualManagerXP::PaintTabFrame(CDC* dc, CRect rect, CTKTabWndBase*) {
  dc->FillRect(&rect, &m_toolbarBackgroundBrush);
}

void CTKVisualManagerXP::PaintTabButtonBorder(CDC* dc, CRect& rect, CTKButtonBase* button, UINT state) {
  bool pressed = (button && button->m_pushed && button->m_hot) || (state & 1);
  if (pressed)
    dc->Draw3dRect(&rect, m_tabShadow, GD().barDarkShadow);
  else
    dc->Draw3dRect(&rect, GD().barDarkShadow, m_tabShadow);
  rect.DeflateRect(2, 2);
}

COLORREF CTKVisualManagerXP::PaintCustomizeListItem(CDC* dc, CRect rect, BOOL selected) {
  if (!selected) {
    dc->FillRect(&rect, &m_menuBackgroundBrush);
    CRect strip = rect;
    strip.right = strip.left + 16 + 2 * GetMenuImageMargin();
    dc->FillRect(&strip, &m_toolbarBackgroundBrush);
    return GD().barText;
  }
  FillHighlight(dc, rect, &m_itemHighlightBrush);
  Frame(dc, rect, m_itemFrame);
  if (GetRValue(m_itemHighlight) < 129 || GetGValue(m_itemHighlight) < 129 ||
      GetBValue(m_itemHighlight) < 129)
    return RGB(255, 255, 255);
  return RGB(0, 0, 0);
}

// ---- tasks pane, caption bar, popups ------------------------------------------------------

void CTKVisualManagerXP::PaintTasksGroupCaption(CDC* dc, CTKTasksGroup* group, BOOL highlighted,
                                                BOOL selected, BOOL hot) {
  if (!group) return;
  // The caption sits on the dark face for special groups, the toolbar background else.
  Fill(dc, group->rect, group->special ? m_darkFace : m_toolbarBackground);
  COLORREF color = group->textColor != (COLORREF)-1 ? group->textColor
                   : group->special                 ? GD().barHighlight
                                                    : GD().barText;
  HGDIOBJ oldFont = dc->SelectObject(&GD().boldFont);
  COLORREF oldText = dc->SetTextColor(color);
  int oldMode = dc->SetBkMode(TRANSPARENT);
  CRect text = group->rect;
  text.DeflateRect(m_tasksPaneMetrics[4] + 2, 0);
  dc->DrawText(group->caption, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  CRect glyphRect(group->rect.right - 13, group->rect.top, group->rect.right - 2, group->rect.bottom);
  DrawGlyphCentred(dc, group->collapsed ? MenuImages::kArrowDown : MenuImages::kArrowUp, glyphRect);
  dc->SetBkMode(oldMode);
  dc->SetTextColor(oldText);
  dc->SelectObject(oldFont);
}

void CTKVisualManagerXP::PaintTasksGroupArea(CDC* dc, CTKTasksGroup*, CRect rect) {
  dc->FillRect(&rect, &m_menuBackgroundBrush);
}

void CTKVisualManagerXP::PaintPaneFrame(CDC* dc, int left, int top, int right, int bottom, BOOL highlighted,
                                        BOOL closed) {
  CPen pen(PS_SOLID, 1, highlighted ? m_itemFrame : m_menuBorder);
  HGDIOBJ old = dc->SelectObject(&pen);
  dc->MoveTo(left, top);
  dc->LineTo(left, bottom);
  dc->LineTo(right, bottom);
  dc->LineTo(right, top);
  dc->LineTo(closed ? left : left + 1, top);
  dc->SelectObject(old);
}

void CTKVisualManagerXP::PaintTask(CDC* dc, CTKTask* task) {
  if (task && task->separator) {
    HGDIOBJ old = dc->SelectObject(&m_separatorPen);
    int y = task->rect.CenterPoint().y;
    dc->MoveTo(task->rect.left, y);
    dc->LineTo(task->rect.right, y);
    dc->SelectObject(old);
    return;
  }
  CTKVisualManager::PaintTask(dc, task);
}

void CTKVisualManagerXP::PaintCaptionBarButton(CDC* dc, CRect rect, int, int glyph, BOOL pressed) {
  if (pressed) {
    Fill(dc, rect, m_itemPressed);
    Frame(dc, rect, m_itemFrame);
  } else {
    Fill(dc, rect, m_toolbarBackground);
  }
  DrawGlyphCentred(dc, glyph, rect);
}

void CTKVisualManagerXP::PaintCaptionBarBorder(CDC* dc, CRect rect) {
  Frame(dc, rect, m_menuBorder);
  rect.DeflateRect(1, 1);
  Frame(dc, rect, m_toolbarBackground);
}

void CTKVisualManagerXP::PaintPopupBorder(CDC* dc, CWnd*, CRect rect) { Frame(dc, rect, m_menuBorder); }

void CTKVisualManagerXP::PaintWindowBorder(CWnd* window) {
  if (!window || !window->m_hWnd) return;
  CWindowDC dc(window);
  RECT r;
  ::GetWindowRect(window->m_hWnd, &r);
  CRect frame(0, 0, r.right - r.left, r.bottom - r.top);
  Frame(&dc, frame, m_menuBorder);
}

void CTKVisualManagerXP::PaintScrollButtons(CDC* dc, CRect rect, BOOL vertical, UINT pressedState, BOOL) {
  rect.DeflateRect(1, 1);
  Fill(dc, rect, m_toolbarBackground);
  Frame(dc, rect, GD().barShadow);
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
    if (pressed == static_cast<UINT>(i + 1)) {
      Fill(dc, halves[i], m_itemPressed);
      Frame(dc, halves[i], m_itemFrame);
    }
    DrawGlyphCentred(dc, glyphs[i], halves[i]);
  }
}
