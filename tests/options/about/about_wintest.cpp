// The About box as a user sees it: its name and version, and links that open the
// maker's page, a new mail to its support and the encoder libraries' pages.
#include "support/wine/DialogTestSupport.h"
#include "support/wine/WindowCapture.h"

#include "options/about/AboutDlg.h"
#include "resources/resource.h"

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

using namespace dialogtest;

std::vector<std::string> g_opened;
HINSTANCE WINAPI RecordOpen(HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT) {
  g_opened.push_back(file ? file : "");
  return reinterpret_cast<HINSTANCE>(33);
}

bool HasStaticText(HWND dialog, const std::string& text) {
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    char buffer[256] = {};
    ::GetWindowTextA(child, buffer, sizeof buffer);
    if (text == buffer) return true;
  }
  return false;
}

TEST(AboutBox, ShowsNameAndVersionAndItsLinksOpenTheirAddresses) {
  auto previous = CTKURLLinkButton::s_openTarget;
  CTKURLLinkButton::s_openTarget = RecordOpen;
  g_opened.clear();
  INT_PTR result = 0;
  DriveModal(
      "About Tarvel",
      [&](HWND dialog) {
        EXPECT_TRUE(HasStaticText(dialog, "Tarvel Version 2.93 Build 2932"));
        EXPECT_TRUE(HasStaticText(dialog, "1. MP3 encode engine is powered by lame_enc.dll(3.93):"));
        for (int id : {IDC_ABOUT_WEBSITE, IDC_ABOUT_SUPPORT, IDC_ABOUT_MP3_LINK, IDC_ABOUT_OGG_LINK}) {
          HWND link = ::GetDlgItem(dialog, id);
          ::SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
          ::SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        }
        ::RedrawWindow(dialog, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpPendingMessages(100);
        CapturedImage image = CaptureWindow(dialog, false);
        EXPECT_TRUE(SavePng(image, TARVEL_TEST_BINARY_DIR "/screenshots/about.png"));
        Press(dialog, IDOK);
      },
      [&] { result = RunAboutDialog(nullptr); });
  CTKURLLinkButton::s_openTarget = previous;
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(g_opened, (std::vector<std::string>{"https://tarvel.example/", "mailto:support@tarvel.example",
                                                "https://lame.sourceforge.io/", "https://xiph.org/vorbis/"}));
}

}  // namespace
