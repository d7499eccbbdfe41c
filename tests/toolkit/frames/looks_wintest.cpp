// The toolkit's global colours and the looks: colours refreshed on a system colour
// change, the menu glyph strip, the base and flat looks drawing representative
// elements, and choosing the current look.
#include "support/wine/GTestWin.h"

#include "look_canvas.h"
#include "toolkit/frames/DrawManager.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/MenuImages.h"
#include "toolkit/frames/TKVisualManager.h"
#include "toolkit/frames/TKVisualManagerXP.h"
#include "toolkit/frames/TKWinXPVisualManager.h"

namespace {

GlobalData& GD() { return GlobalData::Get(); }

struct ToolBar : CTKBaseControlBar {
  Kind kind;
  explicit ToolBar(Kind k) : kind(k) {}
  Kind LookKind() const override { return kind; }
};

// Sets system colours for one test and puts the previous ones back.
class SystemColours {
public:
  SystemColours(std::initializer_list<std::pair<int, COLORREF>> colours) {
    for (auto& c : colours) {
      indices_.push_back(c.first);
      saved_.push_back(::GetSysColor(c.first));
      values_.push_back(c.second);
    }
    ::SetSysColors(static_cast<int>(indices_.size()), indices_.data(), values_.data());
  }
  ~SystemColours() {
    ::SetSysColors(static_cast<int>(indices_.size()), indices_.data(), saved_.data());
    GD().ReloadColors();
  }

private:
  std::vector<INT> indices_;
  std::vector<COLORREF> saved_, values_;
};

COLORREF BrushColour(HBRUSH brush) {
  LookCanvas canvas(4, 4);
  RECT r{0, 0, 4, 4};
  ::FillRect(canvas.dc.m_hDC, &r, brush);
  return canvas.At(1, 1);
}

TEST(GlobalData, ReloadFollowsASystemColourChangeAndReloadsTheGlyphs) {
  ASSERT_TRUE(MenuImages::LoadOnce());
  {
    SystemColours change({{COLOR_3DFACE, RGB(100, 120, 140)},
                          {COLOR_3DHIGHLIGHT, RGB(200, 220, 240)},
                          {COLOR_BTNTEXT, RGB(10, 200, 30)},
                          {COLOR_WINDOW, RGB(250, 250, 240)}});
    GD().ReloadColors();
    EXPECT_EQ(GD().buttonFace, RGB(100, 120, 140));
    EXPECT_EQ(GD().barFace, RGB(100, 120, 140));
    EXPECT_EQ(BrushColour(GD().barFaceBrush), RGB(100, 120, 140));
    EXPECT_EQ(BrushColour(GD().lightBrush), RGB(150, 170, 190));  // halfway to highlight
    EXPECT_EQ(GD().SysColor(COLOR_WINDOW), RGB(250, 250, 240));
    EXPECT_EQ(GD().SysColor(COLOR_3DDKSHADOW), GD().buttonDarkShadow);
    EXPECT_EQ(GD().SysColor(COLOR_BACKGROUND), ::GetSysColor(COLOR_BACKGROUND));
    EXPECT_EQ(GD().hotLinkText, 0x00FF0000u);
    EXPECT_FALSE(GD().isBlackHighContrast);

    // The strip was emptied and comes back in the new text colour.
    EXPECT_FALSE(MenuImages::IsLoaded());
    LookCanvas canvas(9, 9);
    canvas.Clear(RGB(255, 255, 255));
    MenuImages::Draw(&canvas.dc, MenuImages::kArrowDown, POINT{0, 0});  // row 3 is solid
    EXPECT_EQ(canvas.At(4, 3), RGB(10, 200, 30));
    EXPECT_EQ(canvas.At(0, 0), RGB(255, 255, 255));  // transparent around the glyph
  }
  EXPECT_EQ(GD().buttonFace, ::GetSysColor(COLOR_3DFACE));
  EXPECT_EQ(GD().CallAccessibilityHook(nullptr, 0), 0);
  EXPECT_NE(GD().regularFont.m_hObject, nullptr);
  EXPECT_NE(GD().glyphFont.m_hObject, nullptr);
  EXPECT_GT(GD().textHeight, 0);

  // Cursors and the small icon come on first request and stay the same.
  EXPECT_EQ(GD().stretchCursor, nullptr);
  HCURSOR stretch = GD().GetStretchCursor();
  EXPECT_NE(stretch, nullptr);
  EXPECT_EQ(GD().GetStretchCursor(), stretch);
  EXPECT_NE(GD().GetStretchVertCursor(), nullptr);
  EXPECT_NE(GD().GetHandCursor(), nullptr);
  EXPECT_NE(GD().GetDefaultSmallIcon(), nullptr);
}

// A parent whose background is red left of x = 60 and blue from there on.
LRESULT CALLBACK TwoColourParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) {
    CDC dc(reinterpret_cast<HDC>(wParam));
    dc.FillSolidRect(0, 0, 60, 100, RGB(255, 0, 0));
    dc.FillSolidRect(60, 0, 100, 100, RGB(0, 0, 255));
    dc.Detach();
    return 1;
  }
  return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

TEST(GlobalData, PaletteScreensGetACheckerboardLightBrush) {
  GD().ReloadColorsForDepth(8);
  EXPECT_EQ(GD().bitsPerPixel, 8);
  LookCanvas canvas(8, 8);
  canvas.dc.FillRect(CRect(0, 0, 8, 8), &GD().lightBrush);
  const COLORREF a = canvas.At(0, 0), b = canvas.At(1, 0);
  EXPECT_TRUE((a == GD().buttonFace && b == GD().buttonHighlight) ||
              (a == GD().buttonHighlight && b == GD().buttonFace));
  EXPECT_EQ(canvas.At(0, 1), b);
  EXPECT_EQ(canvas.At(1, 1), a);
  EXPECT_EQ(canvas.At(7, 7), canvas.At(1, 1));
  GD().ReloadColors();
  EXPECT_GT(GD().bitsPerPixel, 8);
}

TEST(GlobalData, ParentBackgroundIsPaintedAtTheChildsPlace) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = TwoColourParentProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = "TarvelTwoColourParent";
  ::RegisterClassA(&wc);
  HWND parent = ::CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP, 0, 0, 160, 100, nullptr,
                                  nullptr, wc.hInstance, nullptr);
  ASSERT_NE(parent, nullptr);
  HWND child =
      ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 50, 10, 20, 20, parent, nullptr, wc.hInstance, nullptr);
  CWnd* childWnd = CWnd::FromHandle(child);
  LookCanvas canvas(20, 20);
  canvas.Clear(RGB(0, 255, 0));
  GD().PaintParentBackground(childWnd, &canvas.dc, nullptr);
  EXPECT_EQ(canvas.At(2, 10), RGB(255, 0, 0));   // parent x = 52
  EXPECT_EQ(canvas.At(12, 10), RGB(0, 0, 255));  // parent x = 62
  // A clip rectangle keeps the rest of the DC.
  canvas.Clear(RGB(0, 255, 0));
  RECT clip{0, 0, 5, 20};
  GD().PaintParentBackground(childWnd, &canvas.dc, &clip);
  EXPECT_EQ(canvas.At(2, 10), RGB(255, 0, 0));
  EXPECT_EQ(canvas.At(12, 10), RGB(0, 255, 0));
  ::DestroyWindow(parent);
}

TEST(MenuImages, CentredGlyphAndScaledDraw) {
  CTKVisualManager look(TRUE);
  LookCanvas canvas(40, 30);
  canvas.Clear(RGB(1, 1, 1));
  // The show-all chevrons centred in 20 by 15 land at (5, 3); the art's first pixel
  // is one in from the glyph's corner.
  look.PaintShowAllButton(&canvas.dc, CRect(0, 0, 20, 15));
  EXPECT_EQ(canvas.At(6, 4), GD().buttonText);
  EXPECT_EQ(canvas.At(5, 3), RGB(1, 1, 1));
  EXPECT_EQ(canvas.At(5 + 8, 3 + 8), RGB(1, 1, 1));
  // Twice the size: the solid row of the down arrow (row 3) covers rows 6 and 7.
  MenuImages::Draw(&canvas.dc, MenuImages::kArrowDown, POINT{20, 0}, SIZE{18, 18});
  EXPECT_EQ(canvas.At(28, 6), GD().buttonText);
  EXPECT_EQ(canvas.At(28, 7), GD().buttonText);
  EXPECT_EQ(MenuImages::Size().cx, 9);
}

// The dark pixels of a canvas (anything not the background), as a set of points.
std::vector<POINT> DarkPixels(LookCanvas& canvas, int width, int height, COLORREF background) {
  std::vector<POINT> dark;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (canvas.At(x, y) != background) dark.push_back(POINT{x, y});
  return dark;
}

// The smallest rectangle round the points (right and bottom exclusive).
CRect InkBox(const std::vector<POINT>& points) {
  CRect box(points.front().x, points.front().y, points.front().x + 1, points.front().y + 1);
  for (const POINT& p : points) {
    box.left = std::min(box.left, p.x);
    box.top = std::min(box.top, p.y);
    box.right = std::max(box.right, p.x + 1);
    box.bottom = std::max(box.bottom, p.y + 1);
  }
  return box;
}

// Symbol glyphs (caption buttons, size grips, menu check marks, spin arrows) come from
// the Marlett font; where it is missing a letter takes the glyph's place ("r" for the
// close cross, "o" for the size grip).
TEST(SymbolGlyphs, ComeFromTheSymbolFontNotFromLetters) {
  const COLORREF white = RGB(255, 255, 255);
  {
    LookCanvas canvas(8, 8);
    HGDIOBJ old = canvas.dc.SelectObject(&GD().glyphFont);
    char face[LF_FACESIZE] = {};
    ::GetTextFaceA(canvas.dc.m_hDC, LF_FACESIZE, face);
    canvas.dc.SelectObject(old);
    EXPECT_STREQ(face, "Marlett");
  }
  {
    // The close button's cross is the same mirrored left to right and top to bottom,
    // and reaches all four quarters of its box; a letter is neither.
    constexpr int kSize = 32;
    LookCanvas canvas(kSize, kSize);
    canvas.Clear(white);
    RECT box{0, 0, kSize, kSize};
    ::DrawFrameControl(canvas.dc.m_hDC, &box, DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_FLAT);
    // The button is filled with the face colour and framed on its edge: look inside.
    const COLORREF face = canvas.At(kSize / 2, 3);
    auto ink = [&](int x, int y) { return canvas.At(x, y) != face; };
    const int lo = 3, hi = kSize - 4;
    int inside = 0, asymmetric = 0;
    int quadrants[4] = {};
    for (int y = lo; y <= hi; ++y)
      for (int x = lo; x <= hi; ++x) {
        if (!ink(x, y)) continue;
        ++inside;
        ++quadrants[(x >= kSize / 2) + 2 * (y >= kSize / 2)];
        if (!ink(kSize - 1 - x, y)) ++asymmetric;
        if (!ink(x, kSize - 1 - y)) ++asymmetric;
      }
    EXPECT_GT(inside, 20);
    EXPECT_LE(asymmetric, inside / 5) << "the cross is drawn as a letter";
    for (int q = 0; q < 4; ++q) EXPECT_GT(quadrants[q], 2) << "quadrant " << q;
    ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
    EXPECT_TRUE(SavePng(canvas.Image(), TARVEL_TEST_BINARY_DIR "/screenshots/glyph-close.png"));
  }
  {
    // The toolkit's size grip: diagonal ridges in the lower-right half of the ink's
    // own box; a letter (a ring for "o") has ink in its upper-left half too.
    CTKVisualManager look(TRUE);
    constexpr int kSize = 24;
    LookCanvas canvas(kSize, kSize);
    canvas.Clear(white);
    look.PaintSizeGrip(&canvas.dc, nullptr, CRect(0, 0, kSize, kSize));
    std::vector<POINT> dark = DarkPixels(canvas, kSize, kSize, white);
    ASSERT_GT(dark.size(), 4u);
    CRect box = InkBox(dark);
    for (const POINT& p : dark)
      EXPECT_GE((p.x - box.left) + (p.y - box.top), box.Width() - 3) << p.x << "," << p.y;
  }
  {
    // A menu check mark: its right arm ends at the top of the mark, so the ink of its
    // rightmost columns lies in the upper half; its lowest point lies left of centre.
    constexpr int kSize = 24;
    LookCanvas canvas(kSize, kSize);
    canvas.Clear(white);
    RECT box{0, 0, kSize, kSize};
    ::DrawFrameControl(canvas.dc.m_hDC, &box, DFC_MENU, DFCS_MENUCHECK);
    const COLORREF background = canvas.At(0, 0);
    std::vector<POINT> dark = DarkPixels(canvas, kSize, kSize, background);
    ASSERT_GT(dark.size(), 4u);
    CRect ink = InkBox(dark);
    POINT lowest = dark.front();
    for (const POINT& p : dark) {
      if (p.y > lowest.y) lowest = p;
      if (p.x >= ink.right - 2) EXPECT_LT(p.y, ink.top + ink.Height() / 2) << p.x << "," << p.y;
    }
    EXPECT_LT(lowest.x, ink.left + ink.Width() / 2);
  }
}

TEST(BaseLook, PaintsBarsPanesAndButtonsInTheSystemColours) {
  CTKVisualManager look(TRUE);
  LookCanvas canvas(120, 60);
  canvas.Clear(RGB(1, 2, 3));
  ToolBar bar(CTKBaseControlBar::kToolBar);
  look.PaintBarBackground(&canvas.dc, &bar, CRect(0, 0, 120, 20), CRect());
  EXPECT_EQ(canvas.At(60, 10), GD().barFace);

  // No border bits: nothing drawn, the rectangle stays.
  CRect edges(0, 0, 50, 20);
  look.PaintBarEdges(&canvas.dc, &bar, edges);
  EXPECT_EQ(edges, CRect(0, 0, 50, 20));
  bar.SetBarStyle(CBRS_BORDER_LEFT | CBRS_BORDER_RIGHT | CBRS_BORDER_3D);
  look.PaintBarEdges(&canvas.dc, &bar, edges);
  EXPECT_EQ(edges, CRect(1, 0, 49, 20));
  EXPECT_EQ(canvas.At(0, 10), GD().barHighlight);
  EXPECT_EQ(canvas.At(49, 10), GD().barShadow);

  // A sunken status pane; a progress of total 0 draws nothing; half a progress
  // fills the left half.
  look.PaintStatusPaneBorder(&canvas.dc, nullptr, CRect(0, 20, 60, 40), 0, 0);
  EXPECT_EQ(canvas.At(0, 30), GD().barShadow);
  EXPECT_EQ(canvas.At(59, 30), GD().barHighlight);
  canvas.dc.FillSolidRect(60, 20, 60, 20, RGB(9, 9, 9));
  look.PaintStatusBarProgress(&canvas.dc, nullptr, CRect(60, 20, 120, 40), 0, 5, RGB(0, 0, 255), (COLORREF)-1,
                              (COLORREF)-1, TRUE);
  EXPECT_EQ(canvas.At(62, 22), RGB(9, 9, 9));
  look.PaintStatusBarProgress(&canvas.dc, nullptr, CRect(60, 20, 120, 40), 10, 5, RGB(0, 0, 255),
                              (COLORREF)-1, (COLORREF)-1, FALSE);
  EXPECT_EQ(canvas.At(61, 21), RGB(0, 0, 255));
  EXPECT_EQ(canvas.At(89, 21), RGB(0, 0, 255));
  EXPECT_EQ(canvas.At(91, 21), RGB(9, 9, 9));

  // An MDI button for another command draws nothing.
  canvas.dc.FillSolidRect(0, 40, 20, 20, RGB(9, 9, 9));
  look.PaintMDIButton(&canvas.dc, CRect(0, 40, 16, 56), SC_MAXIMIZE, 0, FALSE);
  EXPECT_EQ(canvas.At(8, 48), RGB(9, 9, 9));

  // A checked toolbar button: the dither colour inside the margins, a pressed one a
  // sunken edge.
  CTKToolbarButton button;
  button.m_bar = &bar;
  button.m_nStyle = TBBS_CHECKED;
  look.PaintButtonFace(&canvas.dc, &button, CRect(20, 40, 44, 60), 0);
  EXPECT_EQ(canvas.At(32, 50), BrushColour(GD().lightBrush));
  EXPECT_EQ(canvas.At(21, 41), RGB(1, 2, 3));  // margin left alone
  look.PaintButtonEdge(&canvas.dc, &button, CRect(20, 40, 44, 60), 1);
  EXPECT_EQ(canvas.At(20, 50), GD().barShadow);
  EXPECT_EQ(canvas.At(43, 50), GD().barHighlight);

  EXPECT_EQ(look.GetShowAllButtonHeight(nullptr), 15);
  EXPECT_EQ(look.GetMenuImageMargin(), 2);
  EXPECT_EQ(look.GetPopupMenuBorderSize(), 2);
}

TEST(XPLook, ColoursFollowTheMixingRules) {
  CTKVisualManagerXP look(TRUE);
  const COLORREF base = GD().barWindow, face = GD().barFace, hl = GD().highlight;
  const COLORREF menu = DrawManager::ScaleColorChannels(base, 0.976, 0.973, 0.969);
  EXPECT_EQ(look.m_menuBackground, menu);
  auto mix = [&](int w) {
    return RGB((GetRValue(hl) + w * GetRValue(menu)) / (w + 1),
               (GetGValue(hl) + w * GetGValue(menu)) / (w + 1),
               (GetBValue(hl) + w * GetBValue(menu)) / (w + 1));
  };
  EXPECT_EQ(look.m_itemHighlight, DrawManager::ScaleColorPercent(mix(2), 105));
  EXPECT_EQ(look.m_itemChecked, mix(5));
  EXPECT_EQ(look.m_itemPressed, DrawManager::ScaleColorChannels(look.m_itemHighlight, 0.87, 0.87, 0.87));
  EXPECT_EQ(look.m_menuBorder, DrawManager::ScaleColorPercent(face, 55));
  EXPECT_EQ(look.m_itemFrame, hl);
  double h, s, l;
  DrawManager::RgbToHls(face, &h, &s, &l);
  EXPECT_EQ(look.m_toolbarBackground, l <= 0.9 ? DrawManager::HlsToRgb(h, std::min(1.0, l * 1.03), s) : face);
  EXPECT_EQ(look.m_toolbarBackgroundDark, DrawManager::ScaleColorPercent(look.m_toolbarBackground, 94));

  {
    // A face lighter than 0.9 keeps the toolbar background equal to the face.
    SystemColours light({{COLOR_3DFACE, RGB(240, 240, 240)}});
    GD().ReloadColors();
    look.RecomputeColors();
    EXPECT_EQ(look.m_toolbarBackground, RGB(240, 240, 240));
  }
  // A palette screen and a black high-contrast scheme use plain system colours.
  const int depth = GD().bitsPerPixel;
  GD().bitsPerPixel = 8;
  look.RecomputeColors();
  EXPECT_EQ(look.m_menuBackground, GD().barWindow);
  EXPECT_EQ(look.m_itemHighlight, GD().buttonFace);
  EXPECT_EQ(look.m_itemChecked, GD().barWindow);
  GD().bitsPerPixel = depth;
  GD().isBlackHighContrast = TRUE;
  look.RecomputeColors();
  EXPECT_EQ(look.m_itemFrame, GD().buttonDarkShadow);
  EXPECT_EQ(look.m_itemHighlight, GD().highlight);
  GD().ReloadColors();
  look.RecomputeColors();
  EXPECT_EQ(look.m_itemFrame, GD().highlight);
}

TEST(XPLook, PaintsMenusAndFlatButtons) {
  CTKVisualManagerXP look(TRUE);
  LookCanvas canvas(120, 60);
  canvas.Clear(RGB(1, 2, 3));
  ToolBar popup(CTKBaseControlBar::kPopupMenuBar);
  look.PaintBarBackground(&canvas.dc, &popup, CRect(0, 0, 120, 30), CRect());
  // The image strip: 16 + 2 × 3 + 1 pixels.
  EXPECT_EQ(canvas.At(22, 10), look.m_toolbarBackground);
  EXPECT_EQ(canvas.At(23, 10), look.m_menuBackground);

  ToolBar bar(CTKBaseControlBar::kToolBar);
  CTKToolbarButton button;
  button.m_bar = &bar;
  look.PaintButtonFace(&canvas.dc, &button, CRect(0, 30, 24, 52), 2);
  look.PaintButtonEdge(&canvas.dc, &button, CRect(0, 30, 24, 52), 2);
  EXPECT_EQ(canvas.At(10, 40), look.m_itemHighlight);
  EXPECT_EQ(canvas.At(0, 40), look.m_itemFrame);
  EXPECT_EQ(canvas.At(22, 40), look.m_itemFrame);  // one pixel in from the right
  EXPECT_EQ(canvas.At(23, 40), RGB(1, 2, 3));
  button.m_nStyle = TBBS_PRESSED;
  look.PaintButtonFace(&canvas.dc, &button, CRect(30, 30, 54, 52), 1);
  EXPECT_EQ(canvas.At(40, 40), look.m_itemPressed);
  button.m_nStyle = TBBS_CHECKED;
  look.PaintButtonFace(&canvas.dc, &button, CRect(60, 30, 84, 52), 0);
  EXPECT_EQ(canvas.At(70, 40), look.m_itemChecked);

  // A selected customisation item: white text on a dark highlight, black on a light one.
  COLORREF text = look.PaintCustomizeListItem(&canvas.dc, CRect(90, 30, 120, 50), TRUE);
  const bool dark = GetRValue(look.m_itemHighlight) < 129 || GetGValue(look.m_itemHighlight) < 129 ||
                    GetBValue(look.m_itemHighlight) < 129;
  EXPECT_EQ(text, dark ? RGB(255, 255, 255) : RGB(0, 0, 0));
  EXPECT_EQ(look.GetMenuImageMargin(), 3);
  EXPECT_FALSE(look.IsCustomizeOptionAllowed());
  EXPECT_TRUE(look.IsMenuJoinedToButton());
}

TEST(LookSelection, OnlyLookClassesAreSelectedAndTheNextRequestMakesThem) {
  CTKVisualManager* first = CTKVisualManager::GetInstance();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->m_autoDelete);
  EXPECT_EQ(CTKVisualManager::GetInstance(), first);
  EXPECT_FALSE(CTKVisualManager::SelectLookClass(RUNTIME_CLASS(CObject)));
  EXPECT_EQ(CTKVisualManager::Current(), first);

  ASSERT_TRUE(CTKVisualManager::SelectLookClass(RUNTIME_CLASS(CTKVisualManagerXP)));
  EXPECT_EQ(CTKVisualManager::Current(), nullptr);
  CTKVisualManager* xp = CTKVisualManager::GetInstance();
  EXPECT_TRUE(xp->IsKindOf(RUNTIME_CLASS(CTKVisualManagerXP)));
  EXPECT_EQ(xp->m_popupMenuBorderSize, 1);

  // A temporary look never becomes current; a look made by the program is current
  // until it goes.
  { CTKVisualManager question(TRUE); }
  EXPECT_EQ(CTKVisualManager::Current(), xp);
  ASSERT_TRUE(CTKVisualManager::SelectLookClass(nullptr));
  CTKVisualManager* own = new CTKVisualManagerXP;
  EXPECT_EQ(CTKVisualManager::Current(), own);
  EXPECT_FALSE(own->m_autoDelete);
  delete own;
  EXPECT_EQ(CTKVisualManager::Current(), nullptr);
  EXPECT_FALSE(CTKVisualManager::GetInstance()->IsKindOf(RUNTIME_CLASS(CTKVisualManagerXP)));

  // The toolkit's clean-up at exit deletes the look it made, empties the glyph strip
  // and frees six of the nine fonts (the other three go with the global object).
  ASSERT_TRUE(MenuImages::LoadOnce());
  ToolkitCleanUp();
  EXPECT_EQ(CTKVisualManager::Current(), nullptr);
  EXPECT_FALSE(MenuImages::IsLoaded());
  EXPECT_EQ(GD().regularFont.m_hObject, nullptr);
  EXPECT_EQ(GD().lightBrush.m_hObject, nullptr);
  EXPECT_NE(GD().glyphFont.m_hObject, nullptr);
}

struct Tabs : CTKTabWndBase {
  const char* GetTabLabel(int tab) const override { return tab == 0 ? "Waveform" : "Log"; }
};

// A panel of representative elements: a toolbar with gripper, buttons in each state
// and a separator; a popup menu with its frame, a highlighted item and a shadow;
// status panes with a progress; caption, scroll and drop-down buttons; tabs.
void PaintPanel(CTKVisualManager& look, LookCanvas& canvas) {
  canvas.Clear(GD().window);
  ToolBar toolbar(CTKBaseControlBar::kToolBar);
  toolbar.SetBarStyle(CBRS_BORDER_TOP | CBRS_BORDER_BOTTOM | CBRS_BORDER_3D);
  CRect bar(0, 0, 320, 30);
  look.PaintBarBackground(&canvas.dc, &toolbar, bar, CRect());
  look.PaintBarEdges(&canvas.dc, &toolbar, bar);
  look.PaintGripper(&canvas.dc, CRect(2, 2, 10, 28), TRUE, &toolbar);
  CTKToolbarButton button;
  button.m_bar = &toolbar;
  const int states[] = {0, 2, 1, 0};
  const UINT styles[] = {0, 0, TBBS_PRESSED, TBBS_CHECKED};
  for (int i = 0; i < 4; ++i) {
    CRect r(14 + i * 26, 3, 38 + i * 26, 27);
    button.m_nStyle = styles[i];
    look.PaintButtonFace(&canvas.dc, &button, r, states[i]);
    look.PaintButtonViaOwner(&canvas.dc, &button, r, states[i], TRUE);
    MenuImages::Draw(&canvas.dc, MenuImages::kCheck, POINT{r.left + 7, r.top + 7});
  }
  look.PaintSeparator(&canvas.dc, &toolbar, CRect(118, 3, 126, 27), TRUE);
  look.PaintDropDownButton(&canvas.dc, CRect(128, 5, 144, 25), FALSE, FALSE, TRUE);
  look.PaintMDIButton(&canvas.dc, CRect(150, 7, 166, 23), SC_CLOSE, 0, TRUE);
  CTKCaptionButton caption;
  caption.rect = CRect(170, 7, 184, 21);
  caption.hitTest = CTKCaptionButton::kHitHide;
  caption.focused = TRUE;
  look.PaintCaptionButton(&canvas.dc, &caption, TRUE, TRUE, FALSE);
  look.PaintScrollButtons(&canvas.dc, CRect(190, 4, 230, 26), FALSE, 1, FALSE);

  // A popup menu with its image strip, a highlighted item and a shadow.
  ToolBar popup(CTKBaseControlBar::kPopupMenuBar);
  CRect menu(10, 40, 150, 130);
  look.PaintBarBackground(&canvas.dc, &popup, menu, CRect());
  look.PaintMenuFrame(&canvas.dc, nullptr, menu);
  CTKToolbarButton item;
  item.m_bar = &popup;
  COLORREF text = 0;
  look.PaintFace3D(&canvas.dc, &item, CRect(13, 60, 147, 80), text);
  MenuImages::Draw(&canvas.dc, MenuImages::kArrowRight, POINT{134, 66});
  look.PaintSeparator(&canvas.dc, &popup, CRect(30, 90, 147, 96), FALSE);
  DrawManager dm(canvas.dc);
  dm.PaintShadow(menu, look.m_menuShadowDepth, 100, 75, nullptr, nullptr, TRUE);

  // Status panes with a progress and a size grip.
  ToolBar status(CTKBaseControlBar::kStatusBar);
  look.PaintBarBackground(&canvas.dc, &status, CRect(0, 180, 320, 200), CRect());
  look.PaintStatusPaneBorder(&canvas.dc, &status, CRect(2, 182, 100, 198), 0, 0);
  look.PaintStatusPaneBorder(&canvas.dc, &status, CRect(102, 182, 200, 198), 0, SBPS_POPOUT);
  look.PaintStatusBarProgress(&canvas.dc, &status, CRect(202, 183, 300, 197), 100, 60, GD().highlight,
                              GD().window, (COLORREF)-1, TRUE);
  look.PaintSizeGrip(&canvas.dc, &status, CRect(302, 182, 318, 198));

  // Tabs under a tab area.
  Tabs tabs;
  tabs.m_locationBottom = TRUE;
  look.PaintTabAreaBackground(&canvas.dc, CRect(170, 40, 320, 170), &tabs);
  look.PaintTab(&canvas.dc, CRect(175, 150, 240, 168), 0, TRUE, &tabs);
  look.PaintTab(&canvas.dc, CRect(240, 150, 300, 168), 1, FALSE, &tabs);
  look.PaintPopupBarHighlight(&canvas.dc, CRect(180, 50, 300, 70));
  look.PaintDropDownButton(&canvas.dc, CRect(180, 80, 200, 100), FALSE, TRUE, FALSE);
}

TEST(LookPanels, EachLookPaintsItsPanel) {
  {
    CTKVisualManager base(TRUE);
    LookCanvas canvas(320, 200);
    PaintPanel(base, canvas);
    EXPECT_EQ(canvas.At(300, 15), GD().barFace);   // toolbar background
    EXPECT_EQ(canvas.At(100, 100), GD().barFace);  // menu background
    EXPECT_EQ(canvas.At(80, 70), GD().highlight);  // highlighted item
    EXPECT_TRUE(SavePng(canvas.Image(), TARVEL_TEST_BINARY_DIR "/screenshots/look-base.png"));
  }
  {
    CTKVisualManagerXP xp(TRUE);
    LookCanvas canvas(320, 200);
    PaintPanel(xp, canvas);
    EXPECT_EQ(canvas.At(300, 15), xp.m_toolbarBackground);
    EXPECT_EQ(canvas.At(100, 100), xp.m_menuBackground);
    EXPECT_EQ(canvas.At(15, 100), xp.m_toolbarBackground);  // image strip
    EXPECT_EQ(canvas.At(80, 70), xp.m_itemHighlight);
    EXPECT_EQ(canvas.At(10, 100), xp.m_menuBorder);                     // menu frame
    EXPECT_LT(GetRValue(canvas.At(151, 100)), GetRValue(GD().window));  // shadow
    EXPECT_TRUE(SavePng(canvas.Image(), TARVEL_TEST_BINARY_DIR "/screenshots/look-xp.png"));
  }
}

TEST(LookPanels, ThemedLookFallsBackToTheFlatLookWithoutThemes) {
  CTKWinXPVisualManager themed(TRUE);
  EXPECT_EQ(themed.IsThemed(), themed.Theme(ThemeWrapper::kWindow) != nullptr);
  EXPECT_EQ(themed.m_flatToolbarButtons, themed.IsThemed() ? FALSE : TRUE);
  EXPECT_EQ(themed.m_tasksPaneMetrics[0], 12);
  // Only the theme file the looks know by name has a standard scheme.
  EXPECT_LE(themed.GetStandardScheme(), 0);
  LookCanvas canvas(320, 200);
  PaintPanel(themed, canvas);
  EXPECT_TRUE(SavePng(canvas.Image(), TARVEL_TEST_BINARY_DIR "/screenshots/look-themed.png"));

  // With every theme closed, each operation draws as the flat look does.
  themed.CloseThemes();
  CTKVisualManagerXP flat(TRUE);
  LookCanvas a(320, 200), b(320, 200);
  PaintPanel(themed, a);
  PaintPanel(flat, b);
  CapturedImage ia = a.Image(), ib = b.Image();
  int differing = 0;
  for (size_t i = 0; i < ia.pixels.size(); ++i) differing += ia.pixels[i] != ib.pixels[i];
  EXPECT_EQ(differing, 0);
  GD().ReloadColors();  // the themed look may have taken the theme's text colour
}

// A window that paints itself as a popup menu bar through the current look.
LRESULT CALLBACK LookPaintedWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    CDC dc(::BeginPaint(hwnd, &ps));
    RECT client;
    ::GetClientRect(hwnd, &client);
    ToolBar bar(CTKBaseControlBar::kPopupMenuBar);
    bar.m_hidesImageStrip = TRUE;
    CTKVisualManager::GetInstance()->PaintBarBackground(&dc, &bar, client, CRect());
    dc.Detach();
    ::EndPaint(hwnd, &ps);
    return 0;
  }
  if (message == WM_ERASEBKGND) return 1;
  return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

TEST(LookSelection, ChangingTheLookRepaintsTheMainWindow) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = LookPaintedWindowProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = "TarvelLookPaintedWindow";
  ::RegisterClassA(&wc);
  CWinApp app("LookTest");
  CWnd main;
  ASSERT_TRUE(main.Attach(::CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0,
                                            0, 120, 40, nullptr, nullptr, wc.hInstance, nullptr)));
  app.m_pMainWnd = &main;
  ::UpdateWindow(main.m_hWnd);
  PumpPendingMessages();
  EXPECT_EQ(CaptureWindow(main.m_hWnd, true).At(60, 20), GD().barFace);

  ASSERT_TRUE(CTKVisualManager::SelectLookClass(RUNTIME_CLASS(CTKVisualManagerXP)));
  auto* xp = static_cast<CTKVisualManagerXP*>(CTKVisualManager::GetInstance());
  EXPECT_EQ(CaptureWindow(main.m_hWnd, true).At(60, 20), xp->m_menuBackground);
  CTKVisualManager::SetLookFlag(FALSE);
  EXPECT_FALSE(xp->m_lookFlag);

  ASSERT_TRUE(CTKVisualManager::SelectLookClass(nullptr));
  EXPECT_EQ(CaptureWindow(main.m_hWnd, true).At(60, 20), GD().barFace);
  app.m_pMainWnd = nullptr;
  ::DestroyWindow(main.Detach());
  CTKVisualManager::DestroyInstance();
}

}  // namespace
