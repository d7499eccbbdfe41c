// Help Topics: the help file compiled at build time sits beside the program and opens at
// its first page in Wine's help viewer; its pages also sit beside it as plain files,
// which open in the desktop's browser where the viewer cannot draw them (wine without
// its HTML engine, as here); without a browser the user is told where the pages are.
#include "support/wine/GTestWin.h"
#include "support/wine/DialogTestSupport.h"
#include "support/wine/Wait.h"
#include "support/wine/WineBrowserList.h"
#include "support/wine/WindowCapture.h"

#include <htmlhelp.h>

#include "options/help/HelpCommands.h"

#include "platform/afx/linux_headers_begin.h"
#include <fstream>
#include <iterator>
#include <string>
#include "platform/afx/linux_headers_end.h"

namespace {

// The program file's name in the build folder (the help file is compiled beside it).
std::string ProgramInBuild() {
  char dos[MAX_PATH] = {};
  ::GetFullPathNameA("Z:" TARVEL_HELP_FILE, sizeof dos, dos, nullptr);
  std::string path = dos;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path.substr(0, path.find_last_of('\\') + 1) + "Tarvel.exe";
}

TEST(HelpTopics, TheAddressesNameTheHelpBesideTheProgram) {
  EXPECT_EQ(HelpTopicsAddress("C:\\Program Files\\Tarvel\\Tarvel.exe"),
            "C:\\Program Files\\Tarvel\\TVLHelp.chm::/index.html");
  EXPECT_EQ(HelpPageFile("C:\\Program Files\\Tarvel\\Tarvel.exe"),
            "C:\\Program Files\\Tarvel\\TVLHelp\\index.html");
}

TEST(HelpTopics, WithoutTheHtmlEngineThePagesAreFilesOfTheirOwnForABrowser) {
  // The tests' wine runs with its HTML library switched off: the viewer would show a
  // blank page.
  EXPECT_FALSE(HelpViewerDrawsPages());
  std::string page = HelpPageFile(ProgramInBuild()).substr(2);  // wine's Z: is the Linux root
  for (char& c : page)
    if (c == '\\') c = '/';
  std::ifstream in(page);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("<h1>Tarvel Help</h1>"), std::string::npos) << page;
}

TEST(HelpTopics, WithoutABrowserTheUserIsToldWhereThePagesAre) {
  // Wine's browser starter finds none of the programs it is told to try.
  winetest::WineBrowserList browsers("/nonexistent/tarvel-browser");
  ASSERT_TRUE(browsers.Ok());
  dialogtest::RecordedMessageBoxes boxes;
  EXPECT_FALSE(ShowHelpInBrowser(ProgramInBuild()));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_NE(boxes.shown[0].text.find("could not start a web browser"), std::string::npos)
      << boxes.shown[0].text;
  EXPECT_NE(boxes.shown[0].text.find(HelpPageFile(ProgramInBuild())), std::string::npos)
      << boxes.shown[0].text;
}

TEST(HelpTopics, TheCompiledHelpHoldsItsPagesAndOpensInTheViewer) {
  std::ifstream in(TARVEL_HELP_FILE, std::ios::binary);
  ASSERT_TRUE(in) << TARVEL_HELP_FILE;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes.substr(0, 4), "ITSF");
  for (const char* page : {"/index.html", "/windows.html", "/recording.html", "/filetypes.html"})
    EXPECT_NE(bytes.find(page), std::string::npos) << page;

  HWND viewer = ShowHelpInViewer(ProgramInBuild());
  ASSERT_NE(viewer, nullptr) << HelpTopicsAddress(ProgramInBuild());
  winetest::WaitUntil([&] { return ::IsWindowVisible(viewer) != FALSE; }, 3000);
  EXPECT_TRUE(::IsWindowVisible(viewer));
  char title[128] = {};
  ::GetWindowTextA(viewer, title, sizeof title);
  EXPECT_EQ(std::string(title), "Tarvel Help");
  PumpPendingMessages(1500);  // the page loads and paints
  CapturedImage image = CaptureWindow(viewer, false);
  EXPECT_TRUE(SavePng(image, TARVEL_TEST_BINARY_DIR "/screenshots/help-topics.png"));
  ::HtmlHelpA(nullptr, nullptr, HH_CLOSE_ALL, 0);
  PumpPendingMessages(200);
}

}  // namespace
