// The program itself, started as a user starts it, records from the rig's microphone
// through the main frame's Record and Stop: from the Record/Play menu by its keys and
// from the standard toolbar's buttons, found by their glyphs the way an eye finds
// them, in the editing mode (saved by name on Stop) and in the directly saving mode,
// for MP3, WAV and Ogg. The files decode to the rig's sine for about the time
// recorded. Screenshots of the main window idle, recording and playing are kept. The
// volume control commands start the desktop's mixer, or say that there is none.
#include "app/frame/program_fixture.h"

#include "support/wine/AudioRigForWine.h"
#include "support/wine/ProgramDriver.h"
#include "support/wine/SoundFiles.h"
#include "support/wine/TempFolder.h"
#include "support/wine/Wait.h"
#include "support/wine/WindowCapture.h"
#include "resources/MainFrameResource.h"
#include "resources/resource.h"
#include "toolkit/bars/keyboard_input_support.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include "platform/afx/linux_headers_end.h"

namespace {

using toolbartest::PressKey;
using toolbartest::XDisplayInput;

constexpr const char* kUntitled = "Untitled - Tarvel 2.93";
using programtest::kSineHz;
constexpr UINT kMainToolBarId = 59392;

struct WindowSearch {
  UINT id;
  HWND found;
};
BOOL CALLBACK FindById(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  if (static_cast<UINT>(::GetDlgCtrlID(window)) == search->id && ::IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}
HWND DescendantById(HWND parent, UINT id) {
  WindowSearch search{id, nullptr};
  ::EnumChildWindows(parent, FindById, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The wave frame's horizontal scroll bar: the widest visible scroll bar control.
BOOL CALLBACK FindWidestScrollBar(HWND window, LPARAM param) {
  char name[32] = "";
  ::GetClassNameA(window, name, sizeof name);
  RECT rect{};
  ::GetWindowRect(window, &rect);
  auto* best = reinterpret_cast<std::pair<HWND, LONG>*>(param);
  if (lstrcmpiA(name, "ScrollBar") == 0 && ::IsWindowVisible(window) &&
      !(::GetWindowLongA(window, GWL_STYLE) & SBS_VERT) && rect.right - rect.left > best->second)
    *best = {window, rect.right - rect.left};
  return TRUE;
}
HWND HorizontalScrollBar(HWND main) {
  std::pair<HWND, LONG> best{nullptr, 0};
  ::EnumChildWindows(main, FindWidestScrollBar, reinterpret_cast<LPARAM>(&best));
  return best.first;
}

// The centre of the widest run (at least minWidth) of columns of the toolbar where at least `rows`
// pixels pass the test: where a user sees a glyph of that colour. x -1 when none.
// The program's top-level window is captured (its child windows cannot be read from
// another process) and the toolbar's part of it is searched.
template <typename Test>
POINT GlyphCentre(HWND toolbar, int rows, int minWidth, Test test) {
  HWND main = ::GetAncestor(toolbar, GA_ROOT);
  CapturedImage shot = CaptureWindow(main, false);
  RECT window, bar;
  ::GetWindowRect(main, &window);
  ::GetWindowRect(toolbar, &bar);
  const int left = bar.left - window.left, top = bar.top - window.top;
  const int width = bar.right - bar.left, height = bar.bottom - bar.top;
  int bestStart = -1, bestLength = 0, start = -1;
  for (int x = 0; x <= width; ++x) {
    int count = 0;
    for (int y = 0; x < width && y < height; ++y) {
      const int sx = left + x, sy = top + y;
      if (sx >= 0 && sy >= 0 && sx < shot.width && sy < shot.height) count += test(shot.At(sx, sy));
    }
    if (count >= rows) {
      if (start < 0) start = x;
    } else if (start >= 0) {
      if (x - start > bestLength) bestStart = start, bestLength = x - start;
      start = -1;
    }
  }
  POINT centre{-1, height / 2};
  if (bestStart >= 0 && bestLength >= minWidth) {
    // Client coordinates of the toolbar: the window's own border lies outside.
    POINT origin{0, 0};
    ::ClientToScreen(toolbar, &origin);
    centre.x = bar.left + bestStart + bestLength / 2 - origin.x;
    centre.y = bar.top + height / 2 - origin.y;
  }
  return centre;
}
bool Reddish(COLORREF c) { return GetRValue(c) > 170 && GetGValue(c) < 120 && GetBValue(c) < 120; }
bool Black(COLORREF c) { return GetRValue(c) < 40 && GetGValue(c) < 40 && GetBValue(c) < 40; }

// The user clicks the toolbar at a point of its client area.
void ClickToolbar(HWND toolbar, POINT client) {
  ::ClientToScreen(toolbar, &client);
  ASSERT_TRUE(toolbartest::MoveMouseAndWait(client, false));
  ::Sleep(150);
  toolbartest::MouseButton(true);
  ::Sleep(80);
  toolbartest::MouseButton(false);
  ::Sleep(300);
}

struct RecordingCase {
  const char* name;
  int mode;
  int fileType;
  const char* extension;
  bool recordFromMenu;  // else from the toolbar; Stop comes the other way
};

class RecordingCommandsTest : public programtest::ProgramFixture {
protected:
  RecordingCommandsTest()
      : ProgramFixture("frame output \xC3\xB1 \xE6\x97\xA5\xE6\x9C\xAC", "frame-temp", "app-frame-") {}

  void SetUp() override {
    ASSERT_TRUE(XDisplayInput::Get().Ready()) << "no X display to type and click at";
    ProgramFixture::SetUp();
  }
  void TearDown() override {
    Close();
    ProgramFixture::TearDown();
  }

  void Start(const std::vector<std::string>& args = {}, const char* title = kUntitled) {
    ASSERT_TRUE(m_copy.Start(args, m_log));
    m_main = m_copy.WaitForMainWindow(title);
    ASSERT_NE(m_main, nullptr) << "no main window; see " << m_log;
    ::SetWindowPos(m_main, HWND_TOP, 20, 20, 900, 560, SWP_SHOWWINDOW);
    ::Sleep(800);
    // The user clicks into the waveform area: the window is the one keys go to.
    RECT client;
    ::GetClientRect(m_main, &client);
    POINT middle{client.right / 2, client.bottom / 2};
    ::ClientToScreen(m_main, &middle);
    ASSERT_TRUE(toolbartest::MoveMouseAndWait(middle, false));
    toolbartest::MouseButton(true);
    toolbartest::MouseButton(false);
    ::Sleep(400);
    m_toolbar = DescendantById(m_main, kMainToolBarId);
    ASSERT_NE(m_toolbar, nullptr) << "the standard toolbar shows";
  }

  void Close() { m_copy.Close(); }

  // The Record/Play menu by its keys, then an item by its underlined letter (or
  // Enter for the entry the menu opens on).
  void MenuCommand(unsigned long item) {
    PressKey('r', toolbartest::kKeyAlt);
    ::Sleep(300);
    PressKey(item);
    ::Sleep(300);
  }

  void Screenshot(const char* name) {
    CapturedImage shot = CaptureWindow(m_main, false);
    ASSERT_FALSE(shot.Empty());
    EXPECT_TRUE(
        SavePng(shot, std::string(TARVEL_TEST_BINARY_DIR "/screenshots/main-frame-") + name + ".png"));
  }

  void RecordEach(const std::vector<RecordingCase>& cases, bool screenshots);

  winetest::ProgramCopy m_copy;
  HWND m_main = nullptr;
  HWND m_toolbar = nullptr;
};

void RecordingCommandsTest::RecordEach(const std::vector<RecordingCase>& cases, bool screenshots) {
  bool shotTaken = !screenshots;
  bool playShot = false;
  for (const RecordingCase& c : cases) {
    SCOPED_TRACE(c.name);
    winetest::ClearProgramSettings();
    Configure(c.mode, c.fileType);
    // The automatic name's extension is the file type's name, in its own case.
    const std::string name = std::string("take001.") + c.extension;
    const std::string folder = m_output.UnixPath();
    std::string file;
    ASSERT_NO_FATAL_FAILURE(Start());
    if (!shotTaken) Screenshot("idle");

    // Stop shows its black square only once there is something to stop.
    const POINT record = GlyphCentre(m_toolbar, 8, 6, Reddish);
    ASSERT_GE(record.x, 0) << "the red Record button";
    EXPECT_LT(GlyphCentre(m_toolbar, 9, 6, Black).x, 0) << "Stop is greyed while idle";

    if (c.recordFromMenu)
      MenuCommand(toolbartest::kKeyReturn);  // Record is the first entry
    else
      ClickToolbar(m_toolbar, record);
    ::Sleep(2500);
    const POINT stop = GlyphCentre(m_toolbar, 9, 6, Black);
    ASSERT_GE(stop.x, 0) << "the black Stop button while recording";
    EXPECT_GT(stop.x, record.x) << "Stop comes after Record";
    if (!shotTaken) {
      Screenshot("recording");
      shotTaken = true;
    }
    if (c.recordFromMenu)
      ClickToolbar(m_toolbar, stop);
    else
      MenuCommand('s');

    // The file is there once its size has settled.
    off_t last = -1;
    EXPECT_TRUE(winetest::WaitUntil(
        [&] {
          file = winetest::FindFileNoCase(folder, name);
          const off_t size = file.empty() ? -1 : winetest::FileSizeOf(file);
          const bool settled = size > 1000 && size == last;
          last = size;
          ::Sleep(400);
          return settled;
        },
        20000))
        << name << " not written (the folder has: " << winetest::ListFolder(folder) << "); see " << m_log;
    const winetest::Decoded decoded = winetest::DecodeWithSox(file, m_log + ".raw");
    EXPECT_GT(decoded.seconds, 1.5) << file;
    EXPECT_LT(decoded.seconds, 6.0) << file;
    EXPECT_NEAR(decoded.frequency, kSineHz, kSineHz * 0.05) << file;
    EXPECT_GT(decoded.amplitude, 0.3) << file;
    if (screenshots && c.mode == 0 && !playShot) {
      // The take stays in the window: Play from the menu plays it back.
      MenuCommand('p');
      ::Sleep(1200);
      Screenshot("playing");
      MenuCommand('s');
      playShot = true;
    }
    Close();
  }
}

TEST_F(RecordingCommandsTest, EditingModeRecordsFromMenuAndToolbarAndSavesEveryFormatOnStop) {
  RecordEach({{"editing MP3", 0, 0, "mp3", true},
              {"editing WAV", 0, 1, "wav", false},
              {"editing Ogg", 0, 2, "ogg", true}},
             true);
}

TEST_F(RecordingCommandsTest, DirectlySavingModeRecordsFromMenuAndToolbarIntoEveryFormat) {
  RecordEach({{"direct MP3", 1, 0, "mp3", false},
              {"direct WAV", 1, 1, "wav", true},
              {"direct Ogg", 1, 2, "ogg", false}},
             false);
}

// The text and whether a message box of the program shows an icon.
struct BoxContent {
  std::string text;
  bool icon = false;
};
BoxContent ReadBox(HWND box) {
  BoxContent content;
  for (HWND child = ::FindWindowExA(box, nullptr, "Static", nullptr); child;
       child = ::FindWindowExA(box, child, "Static", nullptr)) {
    if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      content.icon = true;
      continue;
    }
    char text[512] = {};
    if (::GetWindowTextA(child, text, sizeof text) > 0) content.text = text;
  }
  return content;
}

// Closing the window while it records asks first, as a desktop recorder does: No keeps
// it recording, Yes ends the take, keeps the file whole and closes.
TEST_F(RecordingCommandsTest, ClosingTheWindowWhileRecordingAsksAndYesKeepsTheTake) {
  Configure(1, 1);
  ASSERT_NO_FATAL_FAILURE(Start());
  MenuCommand(toolbartest::kKeyReturn);  // Record
  std::string file;
  ASSERT_TRUE(winetest::WaitUntil(
      [&] { return !(file = winetest::FindFileNoCase(m_output.UnixPath(), "take001.wav")).empty(); }, 10000));
  ::Sleep(1500);
  auto ask = [&] {
    ::PostMessageA(m_main, WM_CLOSE, 0, 0);
    HWND box = nullptr;
    winetest::WaitUntil(
        [&] {
          box = ::FindWindowA(nullptr, "Tarvel");
          return box && box != m_main;
        },
        10000);
    return box != m_main ? box : nullptr;
  };
  HWND box = ask();
  ASSERT_NE(box, nullptr) << "no question; see " << m_log;
  const BoxContent question = ReadBox(box);
  EXPECT_EQ(question.text, "Tarvel is recording. Stop the recording and close Tarvel?");
  EXPECT_TRUE(question.icon) << "a question shows its mark";
  ::PostMessageA(box, WM_COMMAND, IDNO, 0);
  ASSERT_TRUE(winetest::WaitUntil([&] { return !::IsWindow(box); }, 5000));
  const off_t before = winetest::FileSizeOf(file);
  ::Sleep(1200);
  EXPECT_TRUE(::IsWindow(m_main)) << "No keeps the window";
  EXPECT_GT(winetest::FileSizeOf(file), before + 100000) << "and the recording goes on";

  box = ask();
  ASSERT_NE(box, nullptr);
  ::PostMessageA(box, WM_COMMAND, IDYES, 0);
  EXPECT_NE(m_copy.WaitForExit(15000), -2) << "Yes closes the program";
  const winetest::Decoded decoded = winetest::DecodeWithSox(file, m_log + ".raw");
  EXPECT_GT(decoded.seconds, 2.5) << "the whole take";
  EXPECT_NEAR(decoded.frequency, kSineHz, kSineHz * 0.05);
}

// The volume control commands start the desktop's mixer program when the system has
// no "sndvol32.exe" (Wine has none); without either, a box says so.
TEST_F(RecordingCommandsTest, VolumeControlCommandsStartTheDesktopMixerOrSayThereIsNone) {
  constexpr UINT kPlaybackVolume = 32854, kRecordVolume = 32855;
  const std::string bin = m_temp.UnixPath() + "/bin";
  const std::string marker = m_temp.UnixPath() + "/mixer-started";
  ASSERT_EQ(::mkdir(bin.c_str(), 0755), 0);
  {
    std::ofstream script(bin + "/pavucontrol");
    script << "#!/bin/sh\necho started >> '" << marker << "'\n";
  }
  ASSERT_EQ(::chmod((bin + "/pavucontrol").c_str(), 0755), 0);
  auto starts = [&] {
    std::ifstream in(marker);
    std::string line;
    int n = 0;
    while (std::getline(in, line)) ++n;
    return n;
  };

  Configure(0, 1);
  const std::string searchPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  ::setenv("PATH", (bin + ":" + searchPath).c_str(), 1);
  Start();
  ::setenv("PATH", searchPath.c_str(), 1);
  ASSERT_NE(m_main, nullptr);
  ::PostMessageA(m_main, WM_COMMAND, MAKEWPARAM(kPlaybackVolume, 0), 0);
  EXPECT_TRUE(winetest::WaitUntil([&] { return starts() == 1; }, 10000)) << "the mixer for playback";
  ::PostMessageA(m_main, WM_COMMAND, MAKEWPARAM(kRecordVolume, 0), 0);
  EXPECT_TRUE(winetest::WaitUntil([&] { return starts() == 2; }, 10000)) << "the mixer for recording";
  Close();

  // No mixer on the search path: the user is told.
  ::unlink((bin + "/pavucontrol").c_str());
  Start();
  ASSERT_NE(m_main, nullptr);
  ::PostMessageA(m_main, WM_COMMAND, MAKEWPARAM(kPlaybackVolume, 0), 0);
  HWND box = nullptr;
  winetest::WaitUntil([&] { return (box = ::FindWindowA(nullptr, "Tarvel")) != nullptr; }, 10000);
  ASSERT_NE(box, nullptr) << "no box about the missing volume control";
  char text[256] = {};
  HWND label = ::FindWindowExA(box, nullptr, "Static", nullptr);
  while (label && ::GetWindowTextA(label, text, sizeof text) == 0)
    label = ::FindWindowExA(box, label, "Static", nullptr);
  EXPECT_STREQ(text, "No volume control program was found on this system.");
  ::PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(starts(), 2);
}

TEST_F(RecordingCommandsTest, ALoopedPlaybackLeavesTheViewWhereItWasAndAPlaybackOnceFollowsIt) {
  Configure(0, 1);
  ASSERT_TRUE(winetest::WriteTwoToneWav(m_output.UnixPath() + "/long take.wav", 44100, 40.0));
  ASSERT_NO_FATAL_FAILURE(Start({m_output.File("long take.wav")}, "long take.wav - Tarvel 2.93"));
  const HWND view = DescendantById(m_main, 0xE900);
  ASSERT_NE(view, nullptr);
  auto command = [&](UINT id) {
    ::PostMessageA(m_main, WM_COMMAND, id, 0);
    ::Sleep(300);
  };
  // A few seconds of the take in the window (with a scroll bar for the rest), the view
  // at its end, the cursor at its start.
  command(ID_ZOOM_NORMAL);
  HWND bar = nullptr;
  ASSERT_TRUE(winetest::WaitUntil([&] { return (bar = HorizontalScrollBar(m_main)) != nullptr; }, 5000))
      << "the view's scroll bar shows";
  // The user presses End in the view (it has the keys since the click into it).
  constexpr unsigned long kKeyEnd = 0xFF57;
  PressKey(kKeyEnd);
  ASSERT_TRUE(winetest::WaitUntil([&] { return ::GetScrollPos(bar, SB_CTL) > 0; }, 5000))
      << "the view scrolls to the take's end";
  ::Sleep(300);
  const int atEnd = ::GetScrollPos(bar, SB_CTL);
  command(ID_CURSOR_TO_TRACK_START);
  EXPECT_EQ(::GetScrollPos(bar, SB_CTL), atEnd) << "moving the cursor leaves the view";

  // Looped, the take plays from its start for two seconds: the view stays at the end.
  command(ID_LOOP_PLAY);
  command(ID_CONTROL_PLAY);
  ::Sleep(2000);
  EXPECT_EQ(::GetScrollPos(bar, SB_CTL), atEnd) << "a looped playback leaves the view where it was";
  Screenshot("looped-playback");
  command(ID_CONTROL_STOP);
  ::Sleep(500);

  // Played once from the start, the view goes to where the take plays.
  command(ID_LOOP_PLAY);
  command(ID_CONTROL_PLAY);
  EXPECT_TRUE(winetest::WaitUntil([&] { return ::GetScrollPos(bar, SB_CTL) < atEnd / 4; }, 5000))
      << "a playback once follows the play position";
  command(ID_CONTROL_STOP);
}

}  // namespace
