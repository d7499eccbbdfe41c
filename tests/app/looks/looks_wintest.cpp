// The program's looks in a frame with a menu bar, a docked toolbar, a status bar and
// a sizing bar: the bars take the colour scheme's bar colour and shades at their next
// repaint, edges follow the bar's border bits, a floating toolbar is filled only where
// it is painted, popup menus keep their blue image column, and the three further looks
// paint their own backgrounds after the look commands.
#include "support/wine/GTestWin.h"

#include "app/looks/BitmapVisualManager.h"
#include "app/looks/GradientVisualManager.h"
#include "app/looks/LookSwitch.h"
#include "app/looks/RoundVisualManager.h"
#include "app/looks/TVLVisualManager.h"
#include "app/looks/looks_test_resource.h"
#include "app/view/ShellServices.h"
#include "support/wine/TempFolder.h"
#include "support/wine/WindowCapture.h"
#include "toolkit/bars/TKMenuBar.h"
#include "toolkit/bars/menu_test_support.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKSizingControlBar.h"
#include "toolkit/frames/TKStatusBar.h"
#include "toolkit/frames/TKVisualManagerXP.h"
#include "toolkit/frames/look_canvas.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

using menutest::Click;
using menutest::Pump;

constexpr UINT kToolBarId = AFX_IDW_CONTROLBAR_FIRST + 80;
constexpr UINT kSizingBarId = AFX_IDW_CONTROLBAR_FIRST + 81;

std::string Hex(COLORREF c) {
  char text[16];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
  return text;
}

void SaveScreenshot(const CapturedImage& image, const std::string& name) {
  EXPECT_TRUE(SavePng(image, std::string(TARVEL_TEST_BINARY_DIR "/screenshots/") + name + ".png")) << name;
}

// The colour most pixels of the rectangle have.
COLORREF CommonColour(const CapturedImage& image, const CRect& rect) {
  std::map<COLORREF, int> counts;
  for (int y = rect.top; y < rect.bottom; ++y)
    for (int x = rect.left; x < rect.right; ++x) ++counts[image.At(x, y)];
  COLORREF best = 0;
  int most = -1;
  for (const auto& [colour, count] : counts)
    if (count > most) best = colour, most = count;
  return best;
}

int CountColour(const CapturedImage& image, const CRect& rect, COLORREF colour) {
  int count = 0;
  for (int y = rect.top; y < rect.bottom; ++y)
    for (int x = rect.left; x < rect.right; ++x) count += image.At(x, y) == colour;
  return count;
}

// A 24-bit bitmap file of 8 x 8 pixels: the left half red, the right half blue.
void WriteStripedBitmap(const std::string& unixPath) {
  std::vector<unsigned char> pixels;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool left = x < 4;
      pixels.insert(pixels.end(), {static_cast<unsigned char>(left ? 0 : 255), 0,
                                   static_cast<unsigned char>(left ? 255 : 0)});
    }
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = 8;
  info.biHeight = 8;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  info.biSizeImage = static_cast<DWORD>(pixels.size());
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + info.biSizeImage;
  std::ofstream out(unixPath, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
}

class LooksFrame : public ::testing::Test {
protected:
  void SetUp() override {
    SetColorScheme(&scheme);
    ASSERT_TRUE(CTKVisualManager::SelectLookClass(RUNTIME_CLASS(CTVLVisualManager)));
    CTKVisualManager::GetInstance();
    frame = new CTKFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, "Looks", WS_OVERLAPPEDWINDOW, CRect(40, 40, 600, 420), nullptr,
                              MAKEINTRESOURCEA(IDR_LOOKS_MENU)));
    frameHwnd = frame->m_hWnd;
    app.m_pMainWnd = frame;
    ASSERT_TRUE(status.Create(frame));
    const UINT indicators[] = {0, 0};
    ASSERT_TRUE(status.SetIndicators(indicators, 2));
    frame->EnableDocking(CBRS_ALIGN_ANY);
    ASSERT_TRUE(menuBar.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP));
    ASSERT_TRUE(toolBar.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER, kToolBarId));
    ASSERT_TRUE(toolBar.LoadToolBar(IDR_LOOKS_TOOLBAR));
    toolBar.EnableDocking(CBRS_ALIGN_ANY);
    ASSERT_TRUE(sizing.Create("Levels", frame, CSize(150, 120), TRUE, kSizingBarId,
                              WS_CHILD | WS_VISIBLE | CBRS_LEFT));
    ASSERT_TRUE(frame->DockControlBar(&menuBar, AFX_IDW_DOCKBAR_TOP));
    ASSERT_TRUE(frame->DockControlBar(&toolBar, AFX_IDW_DOCKBAR_TOP));
    ASSERT_TRUE(frame->DockControlBar(&sizing, AFX_IDW_DOCKBAR_LEFT));
    frame->ShowWindow(SW_SHOWNORMAL);
    ::SetForegroundWindow(frameHwnd);
    frame->RecalcLayout();
    Pump(200);
  }
  void TearDown() override {
    if (CTKPopupMenu* popup = CTKPopupMenu::GetActiveMenu(); popup && popup->m_hWnd) popup->DestroyWindow();
    if (::IsWindow(frameHwnd)) ::DestroyWindow(frameHwnd);
    app.m_pMainWnd = nullptr;
    Pump(50);
    CTKPopupMenu::DeleteClosedMenus();
    CTKVisualManager::SelectLookClass(RUNTIME_CLASS(CTVLVisualManager));
    SetColorScheme(nullptr);
  }
  // A child's rectangle in the frame's client coordinates.
  CRect InFrame(HWND child, bool clientOnly = false) const {
    CRect rect;
    if (clientOnly) {
      ::GetClientRect(child, &rect);
      ::MapWindowPoints(child, frameHwnd, reinterpret_cast<POINT*>(&rect), 2);
    } else {
      ::GetWindowRect(child, &rect);
      ::MapWindowPoints(nullptr, frameHwnd, reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
  }
  CapturedImage Repaint() {
    CTKVisualManager::RedrawAllBars();
    Pump(100);
    return CaptureWindow(frameHwnd, true);
  }
  // A point of the top docking area right of the toolbar, where no bar lies.
  POINT FreeDockPoint() const {
    CRect bar = InFrame(toolBar.m_hWnd);
    return POINT{bar.right + 20, bar.CenterPoint().y};
  }

  // The frame is the main window, as the program's is: the looks redraw it.
  CWinApp app{"Looks"};
  ColorSchemeOptions scheme;
  CTKFrameWnd* frame = nullptr;
  HWND frameHwnd = nullptr;
  CTKStatusBar status;
  CTKMenuBar menuBar;
  CTKToolBar toolBar;
  CTKSizingControlBar sizing;
};

TEST_F(LooksFrame, BarsTakeTheSchemesBarColourAndShadesAtTheirNextRepaint) {
  CTKVisualManager* look = CTKVisualManager::GetInstance();
  ASSERT_TRUE(look->IsKindOf(RUNTIME_CLASS(CTVLVisualManager)));
  // The default scheme, then two presets with very different bar colours.
  for (int row : {0, 6, 2}) {
    const ColorSchemeOptions::PresetRow& preset = ColorSchemeOptions::Preset(row);
    scheme.SetControlBarColor(preset[0]);
    const COLORREF bar = SchemeColor(scheme.ControlBar), light = SchemeColor(scheme.LightShade),
                   dark = SchemeColor(scheme.DarkShade);
    const CapturedImage image = Repaint();
    SaveScreenshot(image, "looks-scheme-" + std::to_string(row));
    EXPECT_EQ(CTKVisualManager::GetInstance(), look) << "the look is not made again";

    // The toolbar's client area and the sizing bar's frame in the bar colour.
    EXPECT_EQ(Hex(CommonColour(image, InFrame(toolBar.m_hWnd, true))), Hex(bar)) << row;
    const CRect sizingWindow = InFrame(sizing.m_hWnd);
    EXPECT_EQ(Hex(image.At(sizingWindow.left + 2, sizingWindow.top + 2)), Hex(bar)) << row;
    // The sizing bar's gripper ridges in the light and dark shades.
    const CRect sizingClient = InFrame(sizing.m_hWnd, true);
    const CRect caption(sizingWindow.left, sizingWindow.top, sizingWindow.right, sizingClient.top);
    EXPECT_GT(CountColour(image, caption, light), 20) << row;
    EXPECT_GT(CountColour(image, caption, dark), 20) << row;
    // The free docking area in the dark shade.
    const POINT free = FreeDockPoint();
    EXPECT_EQ(Hex(image.At(free.x, free.y)), Hex(dark)) << row;
  }
}

TEST_F(LooksFrame, EdgesFollowTheBorderBitsAndShrinkTheRectangle) {
  scheme.SetControlBarColor(ColorSchemeOptions::Preset(6)[0]);
  const COLORREF bar = SchemeColor(scheme.ControlBar), light = SchemeColor(scheme.LightShade),
                 dark = SchemeColor(scheme.DarkShade), darkest = SchemeColor(scheme.DarkerShade);
  const COLORREF white = RGB(255, 255, 255);
  struct Case {
    const char* name;
    CTKBaseControlBar* bar;
    DWORD borders;
    CRect after;
    COLORREF left, top, right, bottom;
  };
  const CRect rect(10, 10, 50, 30);
  const Case cases[] = {
      {"no border bits", &toolBar, 0, rect, white, white, white, white},
      {"all borders, 3D", &toolBar, CBRS_BORDER_ANY | CBRS_BORDER_3D, CRect(11, 11, 49, 29), light, light,
       darkest, bar},
      {"all borders, flat", &toolBar, CBRS_BORDER_ANY, CRect(11, 11, 49, 29), dark, dark, darkest, bar},
      {"left and bottom", &toolBar, CBRS_BORDER_LEFT | CBRS_BORDER_BOTTOM, CRect(11, 10, 50, 29), dark, white,
       white, bar},
      // A bar that cannot dock gets an etched line over its top.
      {"top, not dockable", &status, CBRS_BORDER_TOP, CRect(10, 11, 50, 30), white, dark, white, white},
  };
  CTKVisualManager* look = CTKVisualManager::GetInstance();
  for (const Case& c : cases) {
    const DWORD style = c.bar->GetBarStyle();
    c.bar->SetBarStyle((style & ~(CBRS_BORDER_ANY | CBRS_BORDER_3D)) | c.borders);
    LookCanvas canvas(60, 40);
    canvas.Clear(white);
    CRect edges = rect;
    look->PaintBarEdges(&canvas.dc, c.bar, edges);
    c.bar->SetBarStyle(style);
    EXPECT_EQ(edges, c.after) << c.name;
    EXPECT_EQ(Hex(canvas.At(10, 20)), Hex(c.left)) << c.name;
    EXPECT_EQ(Hex(canvas.At(30, 10)), Hex(c.top)) << c.name;
    EXPECT_EQ(Hex(canvas.At(49, 20)), Hex(c.right)) << c.name;
    EXPECT_EQ(Hex(canvas.At(30, 29)), Hex(c.bottom)) << c.name;
    if (c.borders == 0) {
      const CapturedImage image = canvas.Image();
      EXPECT_EQ(CountColour(image, CRect(0, 0, 60, 40), white), 60 * 40) << "nothing drawn";
    }
  }
}

TEST_F(LooksFrame, AFloatingToolbarIsFilledOnlyOverItsRectangle) {
  const COLORREF white = RGB(255, 255, 255), bar = SchemeColor(scheme.ControlBar);
  CTKVisualManager* look = CTKVisualManager::GetInstance();
  const CRect rect(10, 10, 50, 30);
  struct Case {
    bool floating;
    COLORREF corner;  // the window's corner, outside the rectangle
  };
  for (const Case c : {Case{false, bar}, Case{true, white}}) {
    if (c.floating) {
      frame->FloatControlBar(&toolBar, CPoint(300, 300));
      Pump(100);
      ASSERT_TRUE(toolBar.IsFloating());
      // What the user sees of the floating bar: its face in the bar colour.
      const CapturedImage floating = CaptureWindow(toolBar.m_hWnd, true);
      SaveScreenshot(floating, "looks-floating-toolbar");
      EXPECT_EQ(Hex(CommonColour(floating, CRect(0, 0, floating.width, floating.height))), Hex(bar));
    }
    LookCanvas canvas(60, 40);
    canvas.Clear(white);
    look->PaintBarBackground(&canvas.dc, &toolBar, rect, rect, TRUE);
    EXPECT_EQ(Hex(canvas.At(2, 2)), Hex(c.corner)) << (c.floating ? "floating" : "docked");
    EXPECT_EQ(Hex(canvas.At(30, 20)), Hex(bar));
    EXPECT_EQ(Hex(canvas.At(55, 35)), Hex(white)) << "nothing past the rectangle";
  }
}

TEST_F(LooksFrame, PopupMenusKeepTheirBlueImageColumnWhateverTheScheme) {
  for (int row : {0, 14}) {
    scheme.SetControlBarColor(ColorSchemeOptions::Preset(row)[0]);
    CRect title;
    menuBar.GetItemRect(0, &title);
    POINT at = title.CenterPoint();
    ::ClientToScreen(menuBar.m_hWnd, &at);
    Click(at);
    CTKPopupMenu* popup = CTKPopupMenu::GetActiveMenu();
    ASSERT_TRUE(popup && popup->m_hWnd && ::IsWindowVisible(popup->m_hWnd)) << row;
    Pump(100);
    HWND items = popup->GetMenuBar()->m_hWnd;
    const CapturedImage image = CaptureWindow(items, true);
    SaveScreenshot(image, "looks-popup-" + std::to_string(row));
    // The column runs down the left over the image width, twice the margin and one;
    // the item images cover part of it.
    const int column = 16 + 2 * 3 + 1;
    const COLORREF blue = CTVLVisualManager::kMenuImageColumn;
    EXPECT_GT(CountColour(image, CRect(0, 0, column, image.height), blue), column * image.height / 2) << row;
    EXPECT_EQ(CountColour(image, CRect(column, 0, image.width, image.height), blue), 0) << row;
    // A click a moment later closes it (a quick one makes a double click).
    Pump(::GetDoubleClickTime());
    Click(at);
    Pump(::GetDoubleClickTime());
  }
}

TEST_F(LooksFrame, TheLookCommandsInstallLooksThatPaintTheirOwnBackgrounds) {
  winetest::TempFolder folder("looks");
  WriteStripedBitmap(folder.UnixPath() + "/tiles.bmp");
  looks::SetBitmapLookFile(folder.File("tiles.bmp").c_str());
  EXPECT_FALSE(looks::SwitchLook(32800)) << "not a look command";

  struct Case {
    UINT command;
    const char* name;
  };
  const Case cases[] = {{looks::kGradientLookCommand, "gradient"},
                        {looks::kRoundLookCommand, "round"},
                        {looks::kBitmapLookCommand, "bitmap"},
                        {looks::kFlatLookCommand, "flat"}};
  for (const Case& c : cases) {
    ASSERT_TRUE(looks::SwitchLook(c.command)) << c.name;
    CTKVisualManager* look = CTKVisualManager::Current();
    ASSERT_NE(look, nullptr) << c.name;
    Pump(100);
    const CapturedImage image = CaptureWindow(frameHwnd, true);
    SaveScreenshot(image, std::string("looks-") + c.name);
    const CRect toolbar = InFrame(toolBar.m_hWnd, true);
    const CRect dock = InFrame(::GetParent(toolBar.m_hWnd), true);
    const POINT free = FreeDockPoint();
    switch (c.command) {
      case looks::kGradientLookCommand: {
        EXPECT_TRUE(dynamic_cast<CGradientVisualManager*>(look));
        // Green at the bottom of the docking area, close to white at its top (the
        // gradient's steps are a few levels apart).
        const COLORREF bottom = image.At(free.x, dock.bottom - 1), top = image.At(free.x, dock.top);
        const COLORREF start = CGradientVisualManager::kBarStart;
        EXPECT_NEAR(GetRValue(bottom), GetRValue(start), 3) << Hex(bottom);
        EXPECT_NEAR(GetGValue(bottom), GetGValue(start), 3) << Hex(bottom);
        EXPECT_NEAR(GetBValue(bottom), GetBValue(start), 3) << Hex(bottom);
        EXPECT_GE(GetRValue(top), 250) << Hex(top);
        EXPECT_GE(GetBValue(top), 250) << Hex(top);
        break;
      }
      case looks::kRoundLookCommand:
        EXPECT_TRUE(dynamic_cast<CRoundVisualManager*>(look));
        EXPECT_EQ(Hex(image.At(free.x, free.y)), Hex(CRoundVisualManager::kFace));
        EXPECT_EQ(Hex(CommonColour(image, toolbar)), Hex(CRoundVisualManager::kFace));
        {
          // Buttons are outlined with rounded corners.
          CRect button;
          toolBar.GetItemRect(0, &button);
          ::MapWindowPoints(toolBar.m_hWnd, frameHwnd, reinterpret_cast<POINT*>(&button), 2);
          const COLORREF outline = static_cast<CRoundVisualManager*>(look)->m_darkShadow;
          EXPECT_EQ(Hex(image.At(button.left, button.CenterPoint().y)), Hex(outline));
          EXPECT_EQ(Hex(image.At(button.CenterPoint().x, button.top)), Hex(outline));
          EXPECT_EQ(Hex(image.At(button.left, button.top)), Hex(CRoundVisualManager::kFace));
        }
        break;
      case looks::kBitmapLookCommand: {
        EXPECT_TRUE(dynamic_cast<CBitmapVisualManager*>(look));
        // Tiles of 8 pixels from the docking area's corner: red, then blue.
        for (int x = free.x; x < free.x + 12; ++x) {
          const COLORREF expected = ((x - dock.left) % 8) < 4 ? RGB(255, 0, 0) : RGB(0, 0, 255);
          EXPECT_EQ(Hex(image.At(x, free.y)), Hex(expected)) << x;
        }
        break;
      }
      default:
        EXPECT_TRUE(look->IsKindOf(RUNTIME_CLASS(CTKVisualManagerXP)));
        EXPECT_FALSE(look->IsKindOf(RUNTIME_CLASS(CTVLVisualManager)));
        EXPECT_NE(Hex(image.At(free.x, free.y)), Hex(SchemeColor(scheme.DarkShade)));
        break;
    }
  }
}

TEST_F(LooksFrame, TheBitmapLookWithoutAReadableFileKeepsTheClassicFace) {
  winetest::TempFolder folder("looks");
  std::ofstream(folder.UnixPath() + "/broken.bmp") << "not a bitmap";
  for (const std::string& file : {std::string(), folder.File("broken.bmp"), folder.File("missing.bmp")}) {
    looks::SetBitmapLookFile(file.c_str());
    ASSERT_TRUE(looks::SwitchLook(looks::kBitmapLookCommand));
    Pump(100);
    const CapturedImage image = CaptureWindow(frameHwnd, true);
    const POINT free = FreeDockPoint();
    EXPECT_EQ(Hex(image.At(free.x, free.y)), Hex(GlobalData::Get().barFace)) << file;
    EXPECT_EQ(Hex(CommonColour(image, InFrame(toolBar.m_hWnd, true))), Hex(GlobalData::Get().barFace))
        << file;
  }
}

}  // namespace
