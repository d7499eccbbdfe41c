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
  lookFlag = TRUE;
  menuShadowDepth = 4;
  flatButtonStyle = TRUE;
  flatToolbarButtons = TRUE;
  embossDisabledText = FALSE;
  xpImageStyle = TRUE;
  const int metrics[9] = {4, 4, 4, 0, 0, 0, 12, 5, 4};
  for (int i = 0; i < 9; ++i) tasksPaneMetrics[i] = metrics[i];
  menuJoinedToButton = TRUE;
  popupMenuBorderSize = 1;
  CTKVisualManagerXP::RecomputeColors();
}

CTKVisualManagerXP::~CTKVisualManagerXP() = default;

COLORREF CTKVisualManagerXP::GetMenuBaseColor() { return GD().barWindow; }

void CTKVisualManagerXP::RecomputeColors() {
  GlobalData& gd = GD();
  CGdiObject* objects[] = {&toolbarBackgroundBrush, &toolbarBackgroundDarkBrush,
                           &menuBackgroundBrush, &itemHighlightBrush, &itemPressedBrush,
                           &itemCheckedBrush, &paleFaceBrush, &separatorPen};
  for (CGdiObject* o : objects) o->DeleteObject();

  COLORREF separator;
  if (gd.bitsPerPixel <= 8 || gd.isBlackHighContrast) {
    menuBackground = gd.barWindow;
    toolbarBackground = gd.buttonFace;
    if (gd.isBlackHighContrast) {
      itemHighlight = itemPressed = itemChecked = gd.highlight;
      toolbarBackgroundDark = gd.buttonFace;
    } else {
      itemHighlight = itemPressed = gd.buttonFace;
      itemChecked = gd.barWindow;
      toolbarBackgroundDark = gd.barLight;
    }
    darkFace = gd.buttonDarkShadow;
    separator = gd.buttonShadow;
    statusPaneBorder = gd.buttonShadow;
    menuBorder = gd.buttonDarkShadow;
    tabShadow = gd.buttonShadow;
    paleFace = gd.buttonFace;
  } else {
    const COLORREF base = GetMenuBaseColor(), face = gd.barFace, hl = gd.highlight;
    menuBackground = DrawManager::ScaleColorChannels(base, 0.976, 0.973, 0.969);
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
    paleFace = DrawManager::HlsToRgb(h, AtMost1(paleL), AtMost1(paleS));
    toolbarBackground = l <= 0.9 ? DrawManager::HlsToRgb(h, AtMost1(l * 1.03), s) : face;
    darkFace = DrawManager::HlsToRgb(h, l * 0.4, s);
    toolbarBackgroundDark = DrawManager::ScaleColorPercent(toolbarBackground, 94);
    auto mix = [](COLORREF a, int wa, COLORREF b, int wb) {
      int n = wa + wb;
      return RGB((GetRValue(a) * wa + GetRValue(b) * wb) / n,
                 (GetGValue(a) * wa + GetGValue(b) * wb) / n,
                 (GetBValue(a) * wa + GetBValue(b) * wb) / n);
    };
    itemHighlight = DrawManager::ScaleColorPercent(mix(hl, 1, menuBackground, 2), 105);
    itemPressed = DrawManager::ScaleColorChannels(itemHighlight, 0.87, 0.87, 0.87);
    itemChecked = mix(hl, 1, menuBackground, 5);
    separator = DrawManager::ScaleColorChannels(face, 0.86, 0.86, 0.86);
    statusPaneBorder = DrawManager::ScaleColorPercent(face, 108);
    menuBorder = DrawManager::ScaleColorPercent(face, 55);
    tabShadow = DrawManager::ScaleColorPercent(gd.barShadow, 110);
  }
  itemFrame = gd.isBlackHighContrast ? gd.buttonDarkShadow : gd.highlight;
  toolbarBackgroundBrush.CreateSolidBrush(toolbarBackground);
  toolbarBackgroundDarkBrush.CreateSolidBrush(toolbarBackgroundDark);
  menuBackgroundBrush.CreateSolidBrush(menuBackground);
  itemHighlightBrush.CreateSolidBrush(itemHighlight);
  itemPressedBrush.CreateSolidBrush(itemPressed);
  itemCheckedBrush.CreateSolidBrush(itemChecked);
  paleFaceBrush.CreateSolidBrush(paleFace);
  separatorPen.CreatePen(PS_SOLID, 1, separator);
}

// ---- added operations ----------------------------------------------------------------

void CTKVisualManagerXP::PaintOpenMenuButton(CDC* dc, CTKToolbarButton*, CRect rect) {
  dc->FillRect(&rect, &toolbarBackgroundBrush);
  Frame(dc, rect, menuBorder);
}

void CTKVisualManagerXP::CreateGripperBrushes() {
  WORD horizontal[8], vertical[8];
  for (int i = 0; i < 8; ++i) {
    horizontal[i] = (i % 2 == 0) ? 0x00FF : 0x0000;
    vertical[i] = 0x00AA;
  }
  CBitmap bitmap;
  if (bitmap.CreateBitmap(8, 8, 1, 1, horizontal)) gripperBrush.CreatePatternBrush(&bitmap);
  if (bitmap.CreateBitmap(8, 8, 1, 1, vertical)) gripperBrushVertical.CreatePatternBrush(&bitmap);
}

void CTKVisualManagerXP::AdjustMenuToButton(CTKPopupMenuBase* popup, CRect& rect) {
  CTKBaseControlBar* bar = popup ? popup->parentBar : nullptr;
  if (!bar || !bar->m_hWnd) return;
  RECT barRect;
  ::GetWindowRect(bar->m_hWnd, &barRect);
  const bool narrow = bar->IsHorizontal() ? (barRect.bottom - barRect.top) < rect.Height()
                                          : (barRect.right - barRect.left) < rect.Width();
  const int shift = narrow ? 1 : 4;
  switch (bar->DockSide()) {
    case CTKBaseControlBar::kDockedLeft: rect.left -= shift; break;
    case CTKBaseControlBar::kDockedTop: rect.top -= shift; break;
    case CTKBaseControlBar::kDockedRight: rect.right += shift; break;
    case CTKBaseControlBar::kDockedBottom: rect.bottom += shift; break;
    default: break;
  }
}

void CTKVisualManagerXP::FillHighlight(CDC* dc, CRect rect, CBrush* brush) {
  dc->FillRect(&rect, brush);
}

// ---- bars ------------------------------------------------------------------------------

void CTKVisualManagerXP::PaintBarBackground(CDC* dc, CTKBaseControlBar* bar, CRect client,
                                            CRect clip, BOOL nonClient) {
  if (clip.IsRectEmpty()) clip = client;
  const CTKBaseControlBar::Kind kind = bar ? bar->LookKind() : CTKBaseControlBar::kOtherBar;
  switch (kind) {
    case CTKBaseControlBar::kMenuBar:
      CTKVisualManager::PaintBarBackground(dc, bar, client, clip, nonClient);
      return;
    case CTKBaseControlBar::kOutlookBar:
      if (bar->outlookAsksBaseLook) {
        CTKVisualManager::PaintBarBackground(dc, bar, client, clip, nonClient);
        return;
      }
      break;
    case CTKBaseControlBar::kColorBar:
      dc->FillRect(&clip, bar->isToolbarPalette ? &toolbarBackgroundBrush : &menuBackgroundBrush);
      return;
    case CTKBaseControlBar::kPopupMenuBar: {
      dc->FillRect(&clip, &menuBackgroundBrush);
      if (!bar->hidesImageStrip) {
        const int margin = GetMenuImageMargin();
        int width = bar->menuImageSize.cx + 2 * margin + 1;
        if (!bar->popupNarrowsStrip) width = (bar->menuImageSize.cx + 2 * margin + 2) * 2;
        CRect strip = client;
        strip.right = strip.left + width;
        dc->FillRect(&strip, &toolbarBackgroundBrush);
      }
      return;
    }
    case CTKBaseControlBar::kToolBar:
      dc->FillRect(&clip, &toolbarBackgroundBrush);
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
  Frame(dc, rect, menuBorder);
  rect.DeflateRect(1, 1);
  Frame(dc, rect, menuBackground);
}

void CTKVisualManagerXP::PaintGripper(CDC* dc, CRect gripper, BOOL horizontal,
                                      CTKBaseControlBar* bar) {
  if (!gripperBrush.m_hObject) CreateGripperBrushes();
  COLORREF oldText = dc->SetTextColor(GD().barFace);
  COLORREF oldBk = dc->SetBkColor(toolbarBackground);
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
  dc->FillRect(&band, horizontal ? &gripperBrushVertical : &gripperBrush);
  dc->SetBkColor(oldBk);
  dc->SetTextColor(oldText);
  if (bar && bar->LookKind() == CTKBaseControlBar::kSizingBar && bar->m_hWnd) {
    char caption[256];
    ::GetWindowTextA(bar->m_hWnd, caption, sizeof caption);
    HGDIOBJ oldFont = dc->SelectObject(horizontal ? &GD().verticalFont : &GD().regularFont);
    COLORREF old = dc->SetTextColor(GD().barText);
    int mode = dc->SetBkMode(TRANSPARENT);
    if (horizontal) {
      dc->ExtTextOut(band.right + 3 + GD().verticalTextHeight, band.top, ETO_CLIPPED, &gripper,
                     caption, lstrlenA(caption));
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
  HGDIOBJ old = dc->SelectObject(&separatorPen);
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

void CTKVisualManagerXP::PaintCaptionButton(CDC* dc, CTKCaptionButton* button,
                                            BOOL dockedHorizontally, BOOL barExpanded,
                                            BOOL maximised) {
  if (!button) return;
  const int glyph = CaptionButtonGlyph(button, dockedHorizontally, barExpanded, maximised);
  CRect r = button->rect;
  if (button->pushed || button->focused) {
    Fill(dc, r, button->pushed && button->focused ? itemPressed : itemHighlight);
    Frame(dc, r, itemFrame);
  }
  const int size = MenuImages::kGlyphSize;
  MenuImages::Draw(dc, glyph, POINT{r.left + (r.Width() - size) / 2, r.top + (r.Height() - size) / 2});
}

void CTKVisualManagerXP::PaintMDIButton(CDC* dc, CRect rect, UINT command, UINT state,
                                        BOOL highlighted) {
  int glyph;
  switch (command) {
    case SC_MINIMIZE: glyph = MenuImages::kMinimise; break;
    case SC_CLOSE: glyph = MenuImages::kClose; break;
    case SC_RESTORE: glyph = MenuImages::kRestore; break;
    default: return;
  }
  const bool disabled = (state & TBBS_DISABLED) != 0;
  if (!disabled && (highlighted || (state & TBBS_PRESSED))) {
    Fill(dc, rect, (state & TBBS_PRESSED) ? itemPressed : itemHighlight);
    Frame(dc, rect, itemFrame);
  }
  DrawGlyphCentred(dc, disabled ? glyph + 1 : glyph, rect);  // each greyed form follows its glyph
}

void CTKVisualManagerXP::PaintStatusPaneBorder(CDC* dc, CTKBaseControlBar*, CRect rect, UINT,
                                               UINT paneStyle) {
  if (paneStyle & SBPS_NOBORDERS) return;
  Frame(dc, rect, statusPaneBorder);
}

void CTKVisualManagerXP::PaintDropDownButton(CDC* dc, CRect rect, BOOL disabled, BOOL pressed,
                                             BOOL highlighted) {
  COLORREF oldText = dc->GetTextColor();
  if (pressed || highlighted) {
    Fill(dc, rect, pressed ? itemPressed : itemHighlight);
    Frame(dc, rect, itemFrame);
  } else {
    dc->FillRect(&rect, &GD().barFaceBrush);
    Frame(dc, rect, GD().barHighlight);
  }
  DrawGlyphCentred(dc, disabled ? MenuImages::kArrowDownDisabled : MenuImages::kArrowDown, rect, 1);
  dc->SetTextColor(oldText);
}

void CTKVisualManagerXP::PaintMenuButtonBorder(CDC* dc, CRect rect, CTKToolbarButton*,
                                               BOOL checked, BOOL highlighted) {
  if (!checked && !highlighted) return;
  Frame(dc, rect, itemFrame);
}

void CTKVisualManagerXP::PaintSunkenEdge(CDC* dc, CRect rect, BOOL draw) {
  if (draw) Frame(dc, rect, itemFrame);
}

void CTKVisualManagerXP::PaintCaptionStrip(CDC* dc, CRect rect, BOOL active) {
  Fill(dc, rect, toolbarBackground);
  rect.DeflateRect(2, 1);
  Fill(dc, rect, active ? itemHighlight : toolbarBackgroundDark);
}

// ---- buttons ---------------------------------------------------------------------------

CBrush* CTKVisualManagerXP::ButtonFaceBrush(CTKToolbarButton* button, int state) {
  const bool inPopup = button->bar && button->bar->LookKind() == CTKBaseControlBar::kPopupMenuBar;
  if (button->nStyle & TBBS_PRESSED) return inPopup ? &itemHighlightBrush : &itemPressedBrush;
  if (state == 2) return &itemHighlightBrush;
  if (button->nStyle & TBBS_CHECKED) return &itemCheckedBrush;
  if (state == 1) return &itemPressedBrush;
  return nullptr;
}

void CTKVisualManagerXP::PaintButtonFace(CDC* dc, CTKToolbarButton* button, CRect rect, int state) {
  if (!button) return;
  const bool checked = (button->nStyle & TBBS_CHECKED) != 0;
  if (state != 1 && state != 2 && !checked) return;
  const bool inPopup = button->bar && button->bar->LookKind() == CTKBaseControlBar::kPopupMenuBar;
  if (!g_toolbarsCustomizing && !(inPopup && state == 2)) {
    rect.right -= 1;
    rect.bottom -= 1;
  }
  if (button->LookKind() == CTKToolbarButton::kMenuButton && button->popupIsOpen()) {
    CTKPopupMenuBase* popup = dynamic_cast<CTKPopupMenuBase*>(button->popupMenu);
    if (popup) AdjustMenuToButton(popup, rect);
    PaintOpenMenuButton(dc, button, rect);
    if (showMenuShadows && GD().bitsPerPixel > 8 && menuShadowDepth > 0) {
      DrawManager dm(*dc);
      dm.PaintShadow(rect, menuShadowDepth, 100, 75, nullptr, nullptr, TRUE);
    }
    return;
  }
  CBrush* brush = ButtonFaceBrush(button, state);
  if (brush) FillHighlight(dc, rect, brush);
}

void CTKVisualManagerXP::PaintButtonEdge(CDC* dc, CTKToolbarButton* button, CRect rect, int state) {
  if (!button) return;
  const bool checked = (button->nStyle & TBBS_CHECKED) != 0;
  if (state != 1 && state != 2 && !checked) return;
  if (button->LookKind() == CTKToolbarButton::kMenuButton && button->popupIsOpen()) return;
  const bool inPopup = button->bar && button->bar->LookKind() == CTKBaseControlBar::kPopupMenuBar;
  if (!g_toolbarsCustomizing && !(inPopup && state == 2)) {
    rect.right -= 1;
    rect.bottom -= 1;
  }
  Frame(dc, rect, itemFrame);
}

void CTKVisualManagerXP::PaintFace3D(CDC* dc, CTKToolbarButton* button, CRect rect, COLORREF&) {
  const bool disabled = button && (button->nStyle & TBBS_DISABLED);
  CBrush* brush = disabled ? &menuBackgroundBrush : &itemHighlightBrush;
  if (button && button->bar && button->bar->LookKind() == CTKBaseControlBar::kPopupMenuBar) {
    // Keep the image strip: the face starts one pixel right of it.
    int stripRight = button->bar->menuImageSize.cx + 2 * GetMenuImageMargin() + 1;
    if (rect.left < stripRight && rect.left > GetMenuImageMargin() - 1) rect.left = stripRight + 1;
  }
  if (button && button->popupIsOpen()) {
    PaintOpenMenuButton(dc, button, rect);
    return;
  }
  FillHighlight(dc, rect, brush);
  Frame(dc, rect, itemFrame);
}

void CTKVisualManagerXP::PaintPopupBarHighlight(CDC* dc, CRect rect) {
  dc->FillRect(&rect, &toolbarBackgroundDarkBrush);
}

COLORREF CTKVisualManagerXP::GetButtonTextColor(CTKToolbarButton* button, int state) {
  if (button && button->LookKind() == CTKToolbarButton::kOutlook)
    return (button->nStyle & TBBS_DISABLED) ? GD().grayText : GD().barText;
  if (button && state == 2 && (button->nStyle & (TBBS_CHECKED | TBBS_PRESSED)))
    return GD().highlightText;
  return CTKVisualManager::GetButtonTextColor(button, state);
}

BOOL CTKVisualManagerXP::PaintOutlookButtonFace(CDC* dc, CTKToolbarButton* button, CRect rect,
                                                int state, COLORREF& textColor) {
  if (!button || !button->bar || button->bar->LookKind() != CTKBaseControlBar::kOutlookBar)
    return FALSE;
  CBrush* brush = state == 1 ? &itemPressedBrush
                  : state == 2 ? &itemHighlightBrush
                  : (button->nStyle & TBBS_CHECKED) ? &itemCheckedBrush : nullptr;
  if (brush) FillHighlight(dc, rect, brush);
  textColor = GD().barText;
  return TRUE;
}

BOOL CTKVisualManagerXP::PaintOutlookButtonBorder(CDC* dc, CTKToolbarButton* button, CRect rect,
                                                  int state) {
  if (!button || !button->bar || button->bar->LookKind() != CTKBaseControlBar::kOutlookBar)
    return FALSE;
  if (state == 1 || state == 2 || (button->nStyle & TBBS_CHECKED)) Frame(dc, rect, itemFrame);
  return TRUE;
}

// ---- tabs ------------------------------------------------------------------------------

void CTKVisualManagerXP::PaintTabAreaBackground(CDC* dc, CRect rect, CWnd*) {
  dc->FillRect(&rect, &toolbarBackgroundBrush);
}

void CTKVisualManagerXP::PaintBarButtonBorder(CDC* dc, CRect& rect, CTKButtonBase*, UINT) {
  Frame(dc, rect, GD().barDarkShadow);
  rect.DeflateRect(1, 1);
}

void CTKVisualManagerXP::PaintOutlookPageButton(CDC* dc, CRect rect) {
  dc->FillRect(&rect, &toolbarBackgroundBrush);
  Frame(dc, rect, GD().barShadow);
}

void CTKVisualManagerXP::PaintOutlookCaption(CDC* dc, CRect rect, COLORREF& textColor) {
  Fill(dc, rect, darkFace);
  textColor = GD().barHighlight;
}

void CTKVisualManagerXP::PaintTabAreaBackground(CDC* dc, CRect rect, CTKTabWndBase*) {
  dc->FillRect(&rect, &paleFaceBrush);
}

void CTKVisualManagerXP::PaintTab(CDC* dc, CRect rect, int tab, BOOL active, CTKTabWndBase* tabs) {
  if (!tabs) return;
  // The same outline as the base look, in the flat palette: the active tab on the
  // toolbar background, the others on the pale face.
  CTKVisualManager::PaintTab(dc, rect, tab, active, tabs);
}

void CTKVisualManagerXP::PaintTabBackground(CDC* dc, CRect rect, HBRUSH brush, int tab,
                                            BOOL active, CTKTabWndBase* tabs) {
  if (tabs && tabs->GetTabColor(tab) == (COLORREF)-1 && tabs->m_faceColor == (COLORREF)-1) {
    dc->FillRect(&rect, active ? &toolbarBackgroundBrush : &paleFaceBrush);
    return;
  }
  CTKVisualManager::PaintTabBackground(dc, rect, brush, tab, active, tabs);
}

void CTKVisualManagerXP::PaintTabFrame(CDC* dc, CRect rect, CTKTabWndBase*) {
  dc->FillRect(&rect, &toolbarBackgroundBrush);
}

void CTKVisualManagerXP::PaintTabButtonBorder(CDC* dc, CRect& rect, CTKButtonBase* button, UINT state) {
  bool pressed = (button && button->pushed && button->hot) || (state & 1);
  if (pressed) dc->Draw3dRect(&rect, tabShadow, GD().barDarkShadow);
  else dc->Draw3dRect(&rect, GD().barDarkShadow, tabShadow);
  rect.DeflateRect(2, 2);
}

COLORREF CTKVisualManagerXP::PaintCustomizeListItem(CDC* dc, CRect rect, BOOL selected) {
  if (!selected) {
    dc->FillRect(&rect, &menuBackgroundBrush);
    CRect strip = rect;
    strip.right = strip.left + 16 + 2 * GetMenuImageMargin();
    dc->FillRect(&strip, &toolbarBackgroundBrush);
    return GD().barText;
  }
  FillHighlight(dc, rect, &itemHighlightBrush);
  Frame(dc, rect, itemFrame);
  if (GetRValue(itemHighlight) < 129 || GetGValue(itemHighlight) < 129 ||
      GetBValue(itemHighlight) < 129)
    return RGB(255, 255, 255);
  return RGB(0, 0, 0);
}

// ---- tasks pane, caption bar, popups ------------------------------------------------------

void CTKVisualManagerXP::PaintTasksGroupCaption(CDC* dc, CTKTasksGroup* group, BOOL highlighted,
                                                BOOL selected, BOOL hot) {
  if (!group) return;
  // The caption sits on the dark face for special groups, the toolbar background else.
  Fill(dc, group->rect, group->special ? darkFace : toolbarBackground);
  COLORREF color = group->textColor != (COLORREF)-1 ? group->textColor
                   : group->special ? GD().barHighlight : GD().barText;
  HGDIOBJ oldFont = dc->SelectObject(&GD().boldFont);
  COLORREF oldText = dc->SetTextColor(color);
  int oldMode = dc->SetBkMode(TRANSPARENT);
  CRect text = group->rect;
  text.DeflateRect(tasksPaneMetrics[4] + 2, 0);
  dc->DrawText(group->caption, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  CRect glyphRect(group->rect.right - 13, group->rect.top, group->rect.right - 2, group->rect.bottom);
  DrawGlyphCentred(dc, group->collapsed ? MenuImages::kArrowDown : MenuImages::kArrowUp, glyphRect);
  dc->SetBkMode(oldMode);
  dc->SetTextColor(oldText);
  dc->SelectObject(oldFont);
}

void CTKVisualManagerXP::PaintTasksGroupArea(CDC* dc, CTKTasksGroup*, CRect rect) {
  dc->FillRect(&rect, &menuBackgroundBrush);
}

void CTKVisualManagerXP::PaintPaneFrame(CDC* dc, int left, int top, int right, int bottom,
                                        BOOL highlighted, BOOL closed) {
  CPen pen(PS_SOLID, 1, highlighted ? itemFrame : menuBorder);
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
    HGDIOBJ old = dc->SelectObject(&separatorPen);
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
    Fill(dc, rect, itemPressed);
    Frame(dc, rect, itemFrame);
  } else {
    Fill(dc, rect, toolbarBackground);
  }
  DrawGlyphCentred(dc, glyph, rect);
}

void CTKVisualManagerXP::PaintCaptionBarBorder(CDC* dc, CRect rect) {
  Frame(dc, rect, menuBorder);
  rect.DeflateRect(1, 1);
  Frame(dc, rect, toolbarBackground);
}

void CTKVisualManagerXP::PaintPopupBorder(CDC* dc, CWnd*, CRect rect) { Frame(dc, rect, menuBorder); }

void CTKVisualManagerXP::PaintWindowBorder(CWnd* window) {
  if (!window || !window->m_hWnd) return;
  CWindowDC dc(window);
  RECT r;
  ::GetWindowRect(window->m_hWnd, &r);
  CRect frame(0, 0, r.right - r.left, r.bottom - r.top);
  Frame(&dc, frame, menuBorder);
}

void CTKVisualManagerXP::PaintScrollButtons(CDC* dc, CRect rect, BOOL vertical, UINT pressedState,
                                            BOOL) {
  rect.DeflateRect(1, 1);
  Fill(dc, rect, toolbarBackground);
  Frame(dc, rect, GD().barShadow);
  CRect first = rect, second = rect;
  if (vertical) first.bottom = second.top = rect.top + rect.Height() / 2;
  else first.right = second.left = rect.left + rect.Width() / 2;
  const UINT pressed = pressedState & 3;
  CRect halves[2] = {first, second};
  const int glyphs[2] = {vertical ? MenuImages::kArrowUp : MenuImages::kArrowLeft,
                         vertical ? MenuImages::kArrowDown : MenuImages::kArrowRight};
  for (int i = 0; i < 2; ++i) {
    if (pressed == static_cast<UINT>(i + 1)) {
      Fill(dc, halves[i], itemPressed);
      Frame(dc, halves[i], itemFrame);
    }
    DrawGlyphCentred(dc, glyphs[i], halves[i]);
  }
}
