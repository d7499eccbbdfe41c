// The toolkit's owner-drawn button and link button: frames of each state as the
// current look draws them, clicks tracked by the button itself, check boxes and
// radio groups, and the link button opening its target.
#include "support/wine/GTestWin.h"

#include "support/wine/DialogTestSupport.h"
#include "support/wine/WindowCapture.h"
#include "look_canvas.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKButton.h"
#include "toolkit/frames/TKColorButton.h"
#include "toolkit/frames/MenuImages.h"
#include "toolkit/frames/TKURLLinkButton.h"
#include "toolkit/frames/TKVisualManager.h"

#include "platform/afx/linux_headers_begin.h"
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

using namespace dialogtest;

constexpr int kPush = 300, kCheck = 301, kRadioA = 302, kRadioB = 303, kLink = 304;

// A host dialog that records the click notifications of its buttons.
struct Host : CDialog {
  std::vector<int> clicks;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (HIWORD(wParam) == BN_CLICKED && lParam) clicks.push_back(LOWORD(wParam));
    return CDialog::OnCommand(wParam, lParam);
  }
  int Count(int id) const {
    int n = 0;
    for (int c : clicks) n += c == id;
    return n;
  }
};

// Distinct frame colours, so each frame line can be told from the others.
class FrameColours {
public:
  FrameColours() {
    INT indices[] = {COLOR_BTNFACE, COLOR_3DHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT, COLOR_3DSHADOW};
    COLORREF values[] = {RGB(180, 190, 200), RGB(250, 250, 240), RGB(10, 20, 30), RGB(200, 200, 120),
                         RGB(100, 90, 80)};
    for (int i = 0; i < 5; ++i) {
      indices_[i] = indices[i];
      saved_[i] = ::GetSysColor(indices[i]);
    }
    ::SetSysColors(5, indices_, values);
    GlobalData::Get().ReloadColors();
  }
  ~FrameColours() {
    ::SetSysColors(5, indices_, saved_);
    GlobalData::Get().ReloadColors();
  }

private:
  INT indices_[5];
  COLORREF saved_[5];
};

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// The button as it paints itself now, before any further message can change its
// state (a real mouse move would, once the capture is taken).
CapturedImage Printed(CTKButton& button) {
  RECT client{};
  ::GetClientRect(button.m_hWnd, &client);
  LookCanvas canvas(client.right, client.bottom);
  canvas.Clear(RGB(0, 255, 0));
  button.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc.m_hDC), PRF_CLIENT);
  return canvas.Image();
}

}  // namespace

// A look that paints push buttons in one colour and remembers the state it was given.
class FillingLook : public CTKVisualManager {
  DECLARE_DYNCREATE(FillingLook)

public:
  static UINT lastState;
  BOOL DrawPushButton(CDC* dc, CRect rect, CWnd*, UINT state, int) override {
    lastState = state;
    dc->FillSolidRect(&rect, RGB(255, 0, 255));
    return TRUE;
  }
};
IMPLEMENT_DYNCREATE(FillingLook, CTKVisualManager)
UINT FillingLook::lastState = 0;

namespace {

struct ButtonRig {
  DialogTemplate tpl{"Buttons", 200, 100};
  Host host;
  CTKButton push, check, radioA, radioB;
  ButtonRig() {
    tpl.Control(0x80, kPush, "Press", BS_DEFPUSHBUTTON | WS_TABSTOP, 10, 10, 60, 20);
    tpl.Control(0x80, kCheck, "Check", BS_AUTOCHECKBOX | WS_TABSTOP, 80, 10, 60, 20);
    tpl.Control(0x80, kRadioA, "A", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 10, 40, 50, 20);
    tpl.Control(0x80, kRadioB, "B", BS_AUTORADIOBUTTON, 70, 40, 50, 20);
    tpl.Control(0x82, 399, "", WS_GROUP, 10, 80, 10, 10);
    EXPECT_TRUE(host.CreateIndirect(tpl.Get()));
    EXPECT_TRUE(push.SubclassDlgItem(kPush, &host));
    EXPECT_TRUE(check.SubclassDlgItem(kCheck, &host));
    EXPECT_TRUE(radioA.SubclassDlgItem(kRadioA, &host));
    EXPECT_TRUE(radioB.SubclassDlgItem(kRadioB, &host));
    ::SetWindowPos(host.m_hWnd, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE);
  }
  ~ButtonRig() { host.DestroyWindow(); }
};

TEST(ToolkitButton, EachStateDrawsItsFrameThroughTheLook) {
  FrameColours colours;
  ButtonRig rig;
  // The current look is asked first and, when it draws, the button adds no frame.
  ASSERT_TRUE(CTKVisualManager::SelectLookClass(RUNTIME_CLASS(FillingLook)));
  rig.push.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  CapturedImage byLook = Printed(rig.push);
  ASSERT_FALSE(byLook.Empty());
  EXPECT_EQ(byLook.At(0, 0), RGB(255, 0, 255));
  EXPECT_EQ(byLook.At(byLook.width - 1, byLook.height - 1), RGB(255, 0, 255));
  EXPECT_EQ(FillingLook::lastState, 3u) << "pushed and hot";
  rig.push.SendMessage(WM_LBUTTONUP, 0, At(-50, -50));
  CTKVisualManager::SelectLookClass(nullptr);

  // Buttons that keep to their own plain frames.
  rig.push.m_bDontUseWinXPTheme = TRUE;
  rig.check.m_bDontUseWinXPTheme = TRUE;
  const GlobalData& gd = GlobalData::Get();
  const COLORREF hi = gd.buttonHighlight, dk = gd.buttonDarkShadow, lt = gd.buttonLight, sh = gd.buttonShadow,
                 face = gd.buttonFace;
  ASSERT_EQ(face, RGB(180, 190, 200));
  EXPECT_EQ(rig.push.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
  EXPECT_TRUE(rig.check.IsCheckBox() && rig.check.IsAutomatic());
  EXPECT_TRUE(rig.radioA.IsRadioButton());

  struct Case {
    const char* name;
    int flat;
    std::function<void(CTKButton&)> setUp;
    COLORREF outerTopLeft, outerBottomRight, innerTopLeft, innerBottomRight;
  };
  auto none = [](CTKButton&) {};
  auto press = [](CTKButton& b) { b.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5)); };
  auto hover = [](CTKButton& b) { b.SendMessage(WM_MOUSEMOVE, 0, At(5, 5)); };
  const Case cases[] = {
      {"raised", CTKButton::BUTTONSTYLE_3D, none, hi, dk, lt, sh},
      {"pressed", CTKButton::BUTTONSTYLE_3D, press, dk, hi, sh, lt},
      {"flat, cold", CTKButton::BUTTONSTYLE_FLAT, none, face, face, face, face},
      {"flat, hot", CTKButton::BUTTONSTYLE_FLAT, hover, hi, dk, face, face},
      {"semi-flat, cold", CTKButton::BUTTONSTYLE_SEMIFLAT, none, hi, dk, face, face},
      {"semi-flat, hot", CTKButton::BUTTONSTYLE_SEMIFLAT, hover, hi, dk, lt, sh},
      {"no borders, pressed", CTKButton::BUTTONSTYLE_NOBORDERS, press, face, face, face, face},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CTKButton& b = rig.push;
    b.m_nFlatStyle = c.flat;
    c.setUp(b);
    CapturedImage image = Printed(b);
    ASSERT_FALSE(image.Empty());
    const int w = image.width, h = image.height;
    EXPECT_EQ(image.At(0, 0), c.outerTopLeft);
    EXPECT_EQ(image.At(w - 1, h - 1), c.outerBottomRight);
    EXPECT_EQ(image.At(1, 1), c.innerTopLeft);
    // (The inner right edge near the top: a focus frame may cover its lower part.)
    EXPECT_EQ(image.At(w - 2, 2), c.innerBottomRight);
    // Back to rest: the press released outside (no click), the cursor gone.
    b.SendMessage(WM_CANCELMODE);
    b.SendMessage(WM_LBUTTONUP, 0, At(-50, -50));
    b.SendMessage(WM_MOUSEMOVE, 0, At(-50, -50));
  }

  // A checked check box stays sunken and its face is lightened.
  rig.check.SendMessage(BM_SETCHECK, 1);
  CapturedImage checked = Printed(rig.check);
  ASSERT_FALSE(checked.Empty());
  EXPECT_EQ(checked.At(0, 0), dk);
  EXPECT_EQ(checked.At(checked.width - 1, checked.height - 1), hi);
  const COLORREF inside = checked.At(4, checked.height / 2);
  EXPECT_GT(GetRValue(inside) + GetGValue(inside) + GetBValue(inside),
            GetRValue(face) + GetGValue(face) + GetBValue(face));
}

TEST(ToolkitButton, ClicksChecksAndRadioGroups) {
  ButtonRig rig;
  CTKButton& push = rig.push;

  // Pressed, moved out and released: no click. Moved back in before release: one.
  push.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  EXPECT_TRUE(push.IsPushed());
  push.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(500, 5));
  EXPECT_FALSE(push.IsPushed());
  push.SendMessage(WM_LBUTTONUP, 0, At(500, 5));
  EXPECT_EQ(rig.host.Count(kPush), 0);
  push.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  push.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(500, 5));
  push.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(6, 6));
  EXPECT_TRUE(push.IsPushed());
  push.SendMessage(WM_LBUTTONUP, 0, At(6, 6));
  EXPECT_EQ(rig.host.Count(kPush), 1);
  EXPECT_FALSE(push.IsPushed());
  EXPECT_NE(::GetCapture(), push.m_hWnd);

  // A push button never becomes checked.
  EXPECT_EQ(push.SendMessage(BM_SETCHECK, 1), 0);
  EXPECT_EQ(push.SendMessage(BM_GETCHECK), 0);

  auto click = [](CTKButton& b) {
    b.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(3, 3));
    b.SendMessage(WM_LBUTTONUP, 0, At(3, 3));
  };
  // An automatic check box toggles on each click.
  click(rig.check);
  EXPECT_EQ(rig.check.SendMessage(BM_GETCHECK), 1);
  click(rig.check);
  EXPECT_EQ(rig.check.SendMessage(BM_GETCHECK), 0);
  EXPECT_EQ(rig.host.Count(kCheck), 2);

  // Radio buttons: checking one unchecks the other of its group; clicking the
  // checked one leaves the group alone.
  click(rig.radioA);
  EXPECT_EQ(rig.radioA.SendMessage(BM_GETCHECK), 1);
  click(rig.radioB);
  EXPECT_EQ(rig.radioB.SendMessage(BM_GETCHECK), 1);
  EXPECT_EQ(rig.radioA.SendMessage(BM_GETCHECK), 0);
  click(rig.radioB);
  EXPECT_EQ(rig.radioB.SendMessage(BM_GETCHECK), 1);
  EXPECT_EQ(rig.radioA.SendMessage(BM_GETCHECK), 0);
  rig.radioA.SendMessage(BM_SETCHECK, 1);
  EXPECT_EQ(rig.radioB.SendMessage(BM_GETCHECK), 0);
  // The arrow keys move the check along the group and tell the parent.
  MSG right{rig.radioA.m_hWnd, WM_KEYDOWN, VK_RIGHT, 0, 0, {0, 0}};
  EXPECT_TRUE(rig.radioA.PreTranslateMessage(&right));
  EXPECT_EQ(rig.radioB.SendMessage(BM_GETCHECK), 1);
  EXPECT_EQ(rig.radioA.SendMessage(BM_GETCHECK), 0);
  EXPECT_EQ(::GetFocus(), rig.radioB.m_hWnd);
  EXPECT_EQ(rig.host.Count(kRadioB), 3);

  // Auto-repeat: each tick while held over the button is one more command; none
  // while the cursor is outside. (Ticks are sent here, not waited for.)
  push.SetAutoRepeatMode(300);
  const int before = rig.host.Count(kPush);
  push.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  push.SendMessage(WM_TIMER, 1);
  push.SendMessage(WM_TIMER, 1);
  EXPECT_EQ(rig.host.Count(kPush), before + 2);
  push.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(500, 5));
  push.SendMessage(WM_TIMER, 1);
  EXPECT_EQ(rig.host.Count(kPush), before + 2);
  push.SendMessage(WM_LBUTTONUP, 0, At(500, 5));
  push.SetAutoRepeatMode(0);
  // Command on press: the parent hears at once, and nothing is tracked.
  push.m_bResponseOnButtonDown = TRUE;
  push.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  EXPECT_EQ(rig.host.Count(kPush), before + 3);
  EXPECT_FALSE(push.IsPushed());
  push.m_bResponseOnButtonDown = FALSE;

  // A disabled button forgets a press.
  push.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  push.EnableWindow(FALSE);
  EXPECT_FALSE(push.IsPushed());
  EXPECT_NE(::GetCapture(), push.m_hWnd);
}

// A 16 by 16 bitmap of light grey with a coloured square in the middle.
HBITMAP SquareBitmap(COLORREF square) {
  HDC screen = ::GetDC(nullptr);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 16, 16);
  HDC dc = ::CreateCompatibleDC(screen);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  RECT all{0, 0, 16, 16}, middle{4, 4, 12, 12};
  HBRUSH grey = ::CreateSolidBrush(RGB(0xC0, 0xC0, 0xC0)), colour = ::CreateSolidBrush(square);
  ::FillRect(dc, &all, grey);
  ::FillRect(dc, &middle, colour);
  ::DeleteObject(grey);
  ::DeleteObject(colour);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
  return bitmap;
}

TEST(ToolkitButton, ImageMessagesSetAndGiveTheNormalImage) {
  FrameColours colours;
  ButtonRig rig;
  CTKButton& push = rig.push;
  push.m_bDontUseWinXPTheme = TRUE;
  push.SetWindowText("");
  HBITMAP red = SquareBitmap(RGB(255, 0, 0));
  HBITMAP blue = SquareBitmap(RGB(0, 0, 255));
  ICONINFO info{TRUE, 0, 0, ::CreateBitmap(16, 16, 1, 1, nullptr), blue};
  HICON blueIcon = ::CreateIconIndirect(&info);
  ::DeleteObject(info.hbmMask);
  ASSERT_TRUE(blueIcon);
  struct Case {
    const char* what;
    WPARAM type;
    HANDLE image;
    COLORREF middle;
    // Light grey is the see-through colour of a bitmap.
    COLORREF rim;
  };
  const Case cases[] = {
      {"bitmap", IMAGE_BITMAP, red, RGB(255, 0, 0), GlobalData::Get().buttonFace},
      {"icon", IMAGE_ICON, blueIcon, RGB(0, 0, 255), RGB(0xC0, 0xC0, 0xC0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    push.SendMessage(BM_SETIMAGE, c.type, reinterpret_cast<LPARAM>(c.image));
    CapturedImage image = Printed(push);
    ASSERT_FALSE(image.Empty());
    const int cx = image.width / 2, cy = image.height / 2;
    EXPECT_EQ(image.At(cx, cy), c.middle);
    EXPECT_EQ(image.At(cx - 6, cy - 6), c.rim);
    // The sender keeps its handle.
    BITMAP bm{};
    if (c.type == IMAGE_BITMAP) EXPECT_TRUE(::GetObjectA(c.image, sizeof bm, &bm));
    HANDLE got = reinterpret_cast<HANDLE>(push.SendMessage(BM_GETIMAGE, c.type));
    ASSERT_TRUE(got);
    if (c.type == IMAGE_BITMAP) {
      ASSERT_TRUE(::GetObjectA(got, sizeof bm, &bm));
      EXPECT_EQ(bm.bmHeight, 16);
    } else {
      ICONINFO back{};
      ASSERT_TRUE(::GetIconInfo(static_cast<HICON>(got), &back));
      ASSERT_TRUE(::GetObjectA(back.hbmColor, sizeof bm, &bm));
      EXPECT_EQ(bm.bmWidth, 16);
      ::DeleteObject(back.hbmColor);
      ::DeleteObject(back.hbmMask);
      ::DestroyIcon(static_cast<HICON>(got));
    }
  }
  // Another kind of image is not taken.
  EXPECT_EQ(push.SendMessage(BM_GETIMAGE, IMAGE_CURSOR), 0);
  ::DestroyIcon(blueIcon);
  ::DeleteObject(red);
  ::DeleteObject(blue);
}

struct Opened {
  std::string target;
  bool verbNull = false;
  INT show = -1;
  int count = 0;
};
Opened g_opened;
HINSTANCE WINAPI RecordOpen(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, INT show) {
  g_opened.target = file ? file : "";
  g_opened.verbNull = verb == nullptr;
  g_opened.show = show;
  ++g_opened.count;
  return reinterpret_cast<HINSTANCE>(33);
}

TEST(ToolkitLinkButton, OpensPrefixAndCaptionOrUrlAndDrawsInTheLinkColour) {
  DialogTemplate tpl("Links", 160, 60);
  tpl.Control(0x80, kLink, "team@example.org", BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 120, 14);
  Host host;
  ASSERT_TRUE(host.CreateIndirect(tpl.Get()));
  CTKURLLinkButton link;
  ASSERT_TRUE(link.SubclassDlgItem(kLink, &host));
  link.SetLinkPrefix("mailto:");
  auto previous = CTKURLLinkButton::s_openTarget;
  CTKURLLinkButton::s_openTarget = RecordOpen;
  g_opened = Opened{};

  // No URL: the caption behind the prefix.
  link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(3, 3));
  link.SendMessage(WM_LBUTTONUP, 0, At(3, 3));
  EXPECT_EQ(g_opened.count, 1);
  EXPECT_EQ(g_opened.target, "mailto:team@example.org");
  EXPECT_TRUE(g_opened.verbNull);
  EXPECT_EQ(g_opened.show, 0);
  EXPECT_EQ(host.Count(kLink), 1);
  // A press released elsewhere opens nothing.
  link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(3, 3));
  link.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(600, 3));
  link.SendMessage(WM_LBUTTONUP, 0, At(600, 3));
  EXPECT_EQ(g_opened.count, 1);

  // With a URL, Enter released opens it; Enter and space pressed are swallowed.
  link.SetURL("help@example.org");
  MSG down{link.m_hWnd, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
  MSG up{link.m_hWnd, WM_KEYUP, VK_RETURN, 0, 0, {0, 0}};
  MSG space{link.m_hWnd, WM_KEYDOWN, VK_SPACE, 0, 0, {0, 0}};
  EXPECT_TRUE(link.PreTranslateMessage(&down));
  EXPECT_TRUE(link.PreTranslateMessage(&space));
  EXPECT_EQ(g_opened.count, 1);
  EXPECT_TRUE(link.PreTranslateMessage(&up));
  EXPECT_EQ(g_opened.count, 2);
  EXPECT_EQ(g_opened.target, "mailto:help@example.org");
  CTKURLLinkButton::s_openTarget = previous;

  // Drawn without a frame on the dialog's face, the text in the link colour.
  link.SizeToContent();
  link.Invalidate();
  PumpPendingMessages();
  CapturedImage image = CaptureWindow(link.m_hWnd, true);
  ASSERT_FALSE(image.Empty());
  const COLORREF linkColour = GlobalData::Get().hotLinkText;
  int linkPixels = 0, edgeLinkPixels = 0;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      const bool isLink = image.At(x, y) == linkColour;
      linkPixels += isLink;
      edgeLinkPixels += isLink && (x == 0 || y == 0 || x == image.width - 1 || y == image.height - 1);
    }
  EXPECT_GT(linkPixels, 20) << "the caption in the link colour";
  EXPECT_EQ(edgeLinkPixels, 0) << "no frame, the text kept off the edges";
  host.DestroyWindow();
}

// A stand-in colour popup: a small popup window that keeps what it was made from.
struct MadePopup : CWnd {
  ColorPopupRequest request;
  size_t paletteSize = 0;
  COLORREF firstPaletteColour = 0;
  std::string automaticLabel, otherLabel;
  int closes = 0;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_CLOSE) {
      ++closes;
      ::ShowWindow(m_hWnd, SW_HIDE);
      return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
};
std::vector<std::unique_ptr<MadePopup>> g_popups;
CWnd* MakePopup(CTKColorButton*, const ColorPopupRequest& request) {
  auto popup = std::make_unique<MadePopup>();
  popup->request = request;
  popup->paletteSize = request.colors->size();
  popup->firstPaletteColour = request.colors->empty() ? 0 : request.colors->front();
  popup->automaticLabel = request.automaticLabel;
  popup->otherLabel = request.otherLabel;
  if (!popup->CreateEx(WS_EX_TOOLWINDOW, nullptr, "", WS_POPUP, request.at.x, request.at.y, 50, 40, nullptr,
                       nullptr))
    return nullptr;
  g_popups.push_back(std::move(popup));
  return g_popups.back().get();
}

TEST(ToolkitColorButton, PopupOpensBelowClosesOnSecondPressAndPickedColourReachesTheParent) {
  constexpr int kColour = 305;
  DialogTemplate tpl("Colours", 160, 60);
  tpl.Control(0x80, kColour, "", BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 90, 16);
  Host host;
  ASSERT_TRUE(host.CreateIndirect(tpl.Get()));
  CTKColorButton button;
  ASSERT_TRUE(button.SubclassDlgItem(kColour, &host));
  button.m_bDontUseWinXPTheme = TRUE;
  button.SetAutomaticEntry("Automatic", RGB(0, 0, 255));
  button.SetOtherEntry("Other", TRUE);
  auto previous = CTKColorButton::s_makePopup;
  CTKColorButton::s_makePopup = MakePopup;
  g_popups.clear();

  // The first press opens a popup at the button's bottom-left corner, with the
  // default colour table filled in.
  button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(3, 3));
  ASSERT_EQ(g_popups.size(), 1u);
  RECT window{};
  button.GetWindowRect(&window);
  EXPECT_EQ(g_popups[0]->request.at.x, window.left);
  EXPECT_EQ(g_popups[0]->request.at.y, window.bottom);
  EXPECT_EQ(g_popups[0]->paletteSize, 40u);
  EXPECT_EQ(g_popups[0]->automaticLabel, "Automatic");
  EXPECT_EQ(g_popups[0]->otherLabel, "Other");
  EXPECT_EQ(g_popups[0]->request.automaticColor, RGB(0, 0, 255));
  EXPECT_EQ(button.GetPopup(), g_popups[0].get());
  EXPECT_EQ(::GetFocus(), g_popups[0]->m_hWnd);

  // A pick sets the colour and tells the parent.
  button.PickColor(RGB(10, 200, 30));
  EXPECT_EQ(button.GetColor(), RGB(10, 200, 30));
  EXPECT_EQ(host.Count(kColour), 1);

  // Pressed again while open: the popup closes and no other opens.
  button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(3, 3));
  EXPECT_EQ(g_popups.size(), 1u);
  EXPECT_EQ(g_popups[0]->closes, 1);
  EXPECT_EQ(button.GetPopup(), nullptr);
  // The keyboard opens the next one; the table the button holds is kept.
  button.m_Colors[0] = RGB(1, 2, 3);
  button.SendMessage(WM_KEYDOWN, VK_DOWN, 0);
  ASSERT_EQ(g_popups.size(), 2u);
  EXPECT_EQ(g_popups[1]->firstPaletteColour, RGB(1, 2, 3));
  EXPECT_EQ(button.SendMessage(WM_GETDLGCODE), DLGC_WANTARROWS);
  button.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(button.GetPopup(), nullptr);
  CTKColorButton::s_makePopup = previous;

  // What the colour part shows, left of the arrow part.
  RECT client{};
  button.GetClientRect(&client);
  const int arrow = MenuImages::Size().cx + 8;
  const int midY = client.bottom / 2;
  const int boxMidX = (client.right - arrow) / 2;
  const COLORREF face = GlobalData::Get().buttonFace;
  EXPECT_EQ(Printed(button).At(boxMidX, midY), RGB(10, 200, 30));
  // Automatic with a label: a square box on the left, the label after it.
  button.SetColor((COLORREF)-1);
  CapturedImage labelled = Printed(button);
  EXPECT_EQ(labelled.At(client.bottom / 2, midY), RGB(0, 0, 255));
  EXPECT_NE(labelled.At(client.right - arrow - 4, midY), RGB(0, 0, 255));
  // Automatic without a label: the whole colour part.
  button.SetAutomaticEntry("", RGB(0, 0, 255));
  CapturedImage unlabelled = Printed(button);
  EXPECT_EQ(unlabelled.At(client.right - arrow - 6, midY), RGB(0, 0, 255));
  EXPECT_EQ(unlabelled.At(boxMidX, midY), RGB(0, 0, 255));
  // Disabled: the box keeps its frame but no fill.
  button.SetColor(RGB(10, 200, 30));
  button.EnableWindow(FALSE);
  CapturedImage disabled = Printed(button);
  EXPECT_EQ(disabled.At(boxMidX, midY), face);
  host.DestroyWindow();
  for (auto& p : g_popups) p->DestroyWindow();
  g_popups.clear();
}

}  // namespace
