// The program itself, started as a user starts it, records from the rig's microphone
// through the main frame's Record and Stop: from the Record/Play menu by its keys and
// from the standard toolbar's buttons, found by their glyphs the way an eye finds
// them, in the editing mode (saved by name on Stop) and in the directly saving mode,
// for MP3, WAV and Ogg. The files decode to the rig's sine for about the time
// recorded. Screenshots of the main window idle, recording and playing are kept. The
// volume control commands start the desktop's mixer, or say that there is none.
#include "support/wine/GTestWin.h"

#include "support/wine/AudioRigForWine.h"
#include "support/wine/ProgramSettings.h"
#include "support/wine/TempFolder.h"
#include "support/wine/Wait.h"
#include "support/wine/WindowCapture.h"
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

using winetest::kProgramKey;
constexpr const char* kUntitled = "Untitled - Tarvel 2.93";
constexpr int kSineHz = 1000;
constexpr UINT kMainToolBarId = 59392;

void WriteDword(const char* section, const char* name, DWORD value) {
  ASSERT_TRUE(winetest::WriteProgramDword(section, name, value));
}
void WriteString(const char* section, const char* name, const std::string& value) {
  ASSERT_TRUE(winetest::WriteProgramString(section, name, value));
}

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

// What a file decodes to (through sox, into 16-bit mono at 44.1 kHz): its length,
// the frequency from the median interval between rising zero crossings, and its peak.
struct Decoded {
  double seconds = 0;
  double frequency = 0;
  double amplitude = 0;
};
Decoded Decode(const std::string& unixPath, const std::string& rawPath) {
  Decoded d;
  pid_t pid = winetest::Spawn({"sox", unixPath, "-t", "raw", "-e", "signed", "-b", "16", "-c", "1", "-r",
                               "44100", rawPath, "remix", "1"},
                              {}, "/dev/null");
  if (pid <= 0 || winetest::WaitExit(pid, 30000) != 0) return d;
  std::ifstream in(rawPath, std::ios::binary);
  std::vector<short> samples;
  short sample;
  while (in.read(reinterpret_cast<char*>(&sample), sizeof sample)) samples.push_back(sample);
  std::remove(rawPath.c_str());
  d.seconds = samples.size() / 44100.0;
  std::vector<double> intervals;
  double lastCrossing = -1;
  bool below = true;
  for (size_t i = 1; i < samples.size(); ++i) {
    d.amplitude = std::max(d.amplitude, std::abs(samples[i]) / 32768.0);
    if (samples[i] < -1000) below = true;
    if (below && samples[i - 1] < 0 && samples[i] >= 0) {
      const double at = i - 1 + static_cast<double>(-samples[i - 1]) / (samples[i] - samples[i - 1]);
      if (lastCrossing >= 0) intervals.push_back(at - lastCrossing);
      lastCrossing = at;
      below = false;
    }
  }
  if (!intervals.empty()) {
    std::nth_element(intervals.begin(), intervals.begin() + intervals.size() / 2, intervals.end());
    d.frequency = 44100.0 / intervals[intervals.size() / 2];
  }
  return d;
}

// The path of the file of the folder whose name is `name` in any case; empty when none.
std::string FindFile(const std::string& folder, const std::string& name) {
  std::string found;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (dirent* entry = ::readdir(dir))
      if (::strcasecmp(entry->d_name, name.c_str()) == 0) found = folder + "/" + entry->d_name;
    ::closedir(dir);
  }
  return found;
}

std::string Listing(const std::string& folder) {
  std::string names;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (dirent* entry = ::readdir(dir)) names += std::string(entry->d_name) + " ";
    ::closedir(dir);
  }
  return names;
}

off_t FileSize(const std::string& unixPath) {
  struct stat s {};
  return ::stat(unixPath.c_str(), &s) == 0 ? s.st_size : -1;
}

struct RecordingCase {
  const char* name;
  int mode;
  int fileType;
  const char* extension;
  bool recordFromMenu;  // else from the toolbar; Stop comes the other way
};

class RecordingCommandsTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() { s_rig = new winetest::AudioRigForWine; }
  static void TearDownTestSuite() {
    delete s_rig;
    s_rig = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(s_rig->Ok());
    ASSERT_TRUE(s_rig->StartSine(kSineHz));
    ASSERT_TRUE(XDisplayInput::Get().Ready()) << "no X display to type and click at";
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kProgramKey);
    m_log = std::string(TARVEL_TEST_BINARY_DIR) + "/app-frame-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".log";
    std::remove(m_log.c_str());
  }
  void TearDown() override {
    Close();
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kProgramKey);
  }

  // The settings a user would have chosen: the rig's devices, 16-bit stereo at 44.1 kHz,
  // recordings named "take001" in the test's folder, saved on Stop in the editing mode.
  void Configure(int mode, int fileType) {
    WriteString("SoundDeviceOptions", "PlaybackDeviceName", "testspk");
    WriteString("SoundDeviceOptions", "RecordDeviceName", "testmic");
    WriteDword("SoundDeviceOptions", "ChannelCount", 2);
    WriteDword("SoundDeviceOptions", "SampleFormat", 0x20001);
    WriteDword("SoundDeviceOptions", "SampleRate", 44100);
    WriteDword("AdvanceRecordSetting", "ActiveRecordingMode", static_cast<DWORD>(mode));
    WriteDword("AdvanceRecordSetting", "EnableSilenceDetection", 0);
    WriteDword("AdvanceRecordSetting", "TimeLimitType", 0);
    WriteDword("AdvanceRecordSetting", "EnableAutoSplit", 0);
    WriteDword("FileOutputOptions", "bSaveFile", 1);
    WriteDword("FileOutputOptions", "bAutoName", 1);
    WriteDword("FileOutputOptions", "bReplaceExistingFile", 1);
    WriteDword("FileOutputOptions", "eFileType", static_cast<DWORD>(fileType));
    WriteString("FileOutputOptions", "strAutoNameFolder", m_output.Path() + "\\");
    WriteString("FileOutputOptions", "strFileLeadName", "take");
    WriteDword("FileOutputOptions", "uFileNameDigitCount", 3);
    WriteDword("FileOutputOptions", "uStartNO", 1);
    WriteString("FileOutputOptions", "strTempFolder", m_temp.Path() + "\\");
  }

  void Start() {
    m_pid = winetest::Spawn({"/usr/lib/wine/wine64", TARVEL_PROGRAM}, {}, m_log);
    ASSERT_GT(m_pid, 0);
    winetest::WaitUntil([&] { return (m_main = ::FindWindowA(nullptr, kUntitled)) != nullptr; }, 30000);
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

  void Close() {
    if (m_pid <= 0) return;
    if (m_main && ::IsWindow(m_main)) ::PostMessageA(m_main, WM_CLOSE, 0, 0);
    // The untitled recording of the editing mode asks to be saved: No.
    winetest::WaitUntil(
        [&] {
          HWND ask = ::FindWindowA(nullptr, "Tarvel");
          if (ask && ask != m_main) ::PostMessageA(ask, WM_COMMAND, IDNO, 0);
          return winetest::WaitExit(m_pid, 0) != -2;
        },
        15000);
    if (winetest::WaitExit(m_pid, 0) == -2) {
      ::kill(m_pid, SIGKILL);
      winetest::WaitExit(m_pid, 5000);
    }
    m_pid = -1;
  }

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

  static winetest::AudioRigForWine* s_rig;
  winetest::TempFolder m_output{"frame output"};
  winetest::TempFolder m_temp{"frame-temp"};
  std::string m_log;
  pid_t m_pid = -1;
  HWND m_main = nullptr;
  HWND m_toolbar = nullptr;
};
winetest::AudioRigForWine* RecordingCommandsTest::s_rig = nullptr;

void RecordingCommandsTest::RecordEach(const std::vector<RecordingCase>& cases, bool screenshots) {
  bool shotTaken = !screenshots;
  bool playShot = false;
  for (const RecordingCase& c : cases) {
    SCOPED_TRACE(c.name);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kProgramKey);
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
          file = FindFile(folder, name);
          const off_t size = file.empty() ? -1 : FileSize(file);
          const bool settled = size > 1000 && size == last;
          last = size;
          ::Sleep(400);
          return settled;
        },
        20000))
        << name << " not written (the folder has: " << Listing(folder) << "); see " << m_log;
    const Decoded decoded = Decode(file, m_log + ".raw");
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

}  // namespace
