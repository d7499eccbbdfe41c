// The program itself, started as a user starts it: a file named on the command line
// shows its waveform in the main window, named by its Windows or its Linux path, with
// any letters in its name; a file that cannot be opened is named in the message and the
// window still comes; copies start one after another; exit stores the settings;
// closing the main window ends the process; Open in New Window starts another copy on
// a file whose path has blanks; Help Topics and context help show the help's page in
// the desktop's browser, as wine has no HTML engine here.
#include "support/wine/GTestWin.h"

#include "support/wine/AudioRigForWine.h"

#include "app/TVLApp.h"
#include "platform/afx/FrameWnd.h"
#include "resources/MainFrameResource.h"
#include "support/wine/SoundFiles.h"
#include "support/wine/TempFolder.h"
#include "support/wine/Wait.h"
#include "support/wine/WindowCapture.h"
#include "support/wine/WineBrowserList.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include "platform/afx/linux_headers_end.h"

namespace {

constexpr const char* kTitleSuffix = " - Tarvel 2.93";
constexpr const char* kProgramKey = "Software\\Tarvel";
constexpr DWORD kStartMs = 30000;

// One running copy of the program, started the way the wine runner starts it; a copy
// still running at the end is closed, then killed.
class Program {
public:
  explicit Program(const std::vector<std::string>& args, const std::string& log) {
    std::vector<std::string> all = {"/usr/lib/wine/wine64", TARVEL_PROGRAM};
    all.insert(all.end(), args.begin(), args.end());
    m_pid = winetest::Spawn(all, {}, log);
  }
  ~Program() {
    if (m_pid <= 0 || m_exited) return;
    if (m_window) ::PostMessageA(m_window, WM_CLOSE, 0, 0);
    if (WaitForExit(10000) == kStillRunning) {
      ::kill(m_pid, SIGKILL);
      WaitForExit(5000);
    }
  }
  bool Started() const { return m_pid > 0; }

  static constexpr int kStillRunning = -100;
  // The exit code (0 when it could not be read), kStillRunning when the copy is still
  // running after timeoutMs.
  int WaitForExit(DWORD timeoutMs) {
    if (m_exited) return m_code;
    winetest::WaitUntil(
        [&] {
          int status = 0;
          const pid_t r = waitpid(m_pid, &status, WNOHANG);
          if (r == 0) return false;
          // -1: the process was reaped already (wine may let children go unwaited).
          m_exited = true;
          m_code = r == m_pid ? (WIFEXITED(status) ? WEXITSTATUS(status) : -1) : 0;
          return true;
        },
        timeoutMs);
    return m_exited ? m_code : kStillRunning;
  }
  bool Exited() { return WaitForExit(0) != kStillRunning; }

  // Waits for a visible top-level window with exactly this title that no earlier
  // copy claimed; it becomes this copy's main window.
  HWND WaitForMainWindow(const std::string& title, DWORD timeoutMs = kStartMs) {
    winetest::WaitUntil([&] { return (m_window = FindTopLevel(title)) != nullptr || Exited(); }, timeoutMs);
    if (m_window) s_claimed.push_back(m_window);
    return m_window;
  }
  HWND Window() const { return m_window; }

  static HWND FindTopLevel(const std::string& title) {
    Search search{&title, nullptr};
    ::EnumWindows(FindProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

private:
  struct Search {
    const std::string* title;
    HWND found;
  };
  static BOOL CALLBACK FindProc(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    char text[512] = {};
    ::GetWindowTextA(hwnd, text, sizeof text);
    if (::IsWindowVisible(hwnd) && *search->title == text &&
        std::find(s_claimed.begin(), s_claimed.end(), hwnd) == s_claimed.end()) {
      search->found = hwnd;
      return FALSE;
    }
    return TRUE;
  }

  pid_t m_pid = -1;
  bool m_exited = false;
  int m_code = 0;
  HWND m_window = nullptr;
  static std::vector<HWND> s_claimed;
};
std::vector<HWND> Program::s_claimed;

DWORD ReadDword(const char* section, const char* name, DWORD fallback) {
  std::string path = std::string(kProgramKey) + "\\" + section;
  DWORD value = 0, size = sizeof value, type = 0;
  HKEY key;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return fallback;
  LONG status = ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  ::RegCloseKey(key);
  return status == ERROR_SUCCESS && type == REG_DWORD ? value : fallback;
}

std::string ReadString(const char* section, const char* name) {
  std::string path = std::string(kProgramKey) + "\\" + section;
  char text[1024] = {};
  DWORD size = sizeof text - 1, type = 0;
  HKEY key;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
  LONG status = ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
  ::RegCloseKey(key);
  return status == ERROR_SUCCESS && type == REG_SZ ? text : "";
}

void WriteValue(const char* section, const char* name, DWORD type, const void* data, DWORD size) {
  std::string path = std::string(kProgramKey) + "\\" + section;
  HKEY key;
  ASSERT_EQ(
      ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
      ERROR_SUCCESS);
  ::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
  ::RegCloseKey(key);
}

// The user types a file's path into the Open dialog that comes up and presses Open.
void ChooseInOpenDialog(const std::string& path) {
  HWND dialog = nullptr;
  winetest::WaitUntil([&] { return (dialog = Program::FindTopLevel("Open")) != nullptr; }, 15000);
  ASSERT_NE(dialog, nullptr) << "no Open dialog";
  constexpr int kFileNameCombo = 0x47C, kFileNameEdit = 0x480;
  HWND edit = ::GetDlgItem(dialog, kFileNameCombo);
  if (!edit) edit = ::GetDlgItem(dialog, kFileNameEdit);
  ASSERT_NE(edit, nullptr);
  ::SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

class ProgramTest : public ::testing::Test {
protected:
  void SetUp() override {
    // The program's settings start from nothing but a temporary folder of this test,
    // so its copies' folders can be seen.
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kProgramKey);
    const std::string temp = m_temp.Path() + "\\";
    WriteValue("FileOutputOptions", "strTempFolder", REG_SZ, temp.c_str(),
               static_cast<DWORD>(temp.size() + 1));
    m_wavPath = m_folder.File("two words.wav");
    ASSERT_TRUE(winetest::WriteTwoToneWav(m_folder.UnixPath() + "/two words.wav", 44100, 2.0));
    m_log = std::string(TARVEL_TEST_BINARY_DIR) + "/app-program-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".log";
    std::remove(m_log.c_str());
  }
  void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, kProgramKey); }

  bool SlotFolderExists(int slot) {
    char name[32];
    std::snprintf(name, sizeof name, "/$ZQY#Tmp#%02d$", slot);
    struct stat st {};
    return ::stat((m_temp.UnixPath() + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }

  winetest::TempFolder m_folder{"program files"};
  winetest::TempFolder m_temp{"program-temp"};
  std::string m_wavPath;
  std::string m_log;
};

TEST_F(ProgramTest, FileOnTheCommandLineShowsItsWaveformInTheMainWindow) {
  Program program({m_wavPath}, m_log);
  ASSERT_TRUE(program.Started());
  HWND main = program.WaitForMainWindow("two words.wav" + std::string(kTitleSuffix));
  ASSERT_NE(main, nullptr) << "no main window titled with the file; see " << m_log;
  ::SetWindowPos(main, HWND_TOP, 30, 30, 820, 480, SWP_SHOWWINDOW);
  ::Sleep(700);  // the copy repaints at its new size

  // The waveform view shows both channels: the view's background with the wave's
  // colour in two bands, the left one taller (0.5 against 0.25).
  ColorSchemeOptions scheme;  // the program starts without stored colours
  const COLORREF wave = static_cast<COLORREF>(scheme.WaveformForeground);
  const COLORREF background = static_cast<COLORREF>(scheme.WaveformBackground);
  CapturedImage shot = CaptureWindow(main, false);
  ASSERT_FALSE(shot.Empty());
  EXPECT_TRUE(SavePng(shot, TARVEL_TEST_BINARY_DIR "/screenshots/program-command-line-file.png"));
  std::vector<int> waveRows;
  int backgroundPixels = 0;
  for (int y = 0; y < shot.height; ++y) {
    int wavePixels = 0;
    for (int x = 0; x < shot.width; ++x) {
      wavePixels += shot.At(x, y) == wave;
      backgroundPixels += shot.At(x, y) == background;
    }
    if (wavePixels > shot.width / 2) waveRows.push_back(y);
  }
  EXPECT_GT(backgroundPixels, shot.width * 20) << "the view's background";
  ASSERT_GT(waveRows.size(), 20u) << "rows where the waveform fills most of the width";
  // Two bands of rows, separated by a gap.
  std::vector<int> bands;
  int run = 1;
  for (size_t i = 1; i <= waveRows.size(); ++i) {
    if (i < waveRows.size() && waveRows[i] == waveRows[i - 1] + 1) {
      ++run;
      continue;
    }
    if (run >= 5) bands.push_back(run);
    run = 1;
  }
  ASSERT_EQ(bands.size(), 2u);
  EXPECT_GT(bands[0], bands[1] + 4) << "the left channel is louder";
}

TEST_F(ProgramTest, CopiesStartOneAfterAnotherEachWithItsOwnFolder) {
  // While another start-up holds the instance mutex, a new copy waits before it
  // makes anything.
  HANDLE mutex = ::CreateMutexA(nullptr, FALSE, CTVLApp::kInstanceMutexName);
  ASSERT_NE(mutex, nullptr);
  ASSERT_EQ(::WaitForSingleObject(mutex, 5000), WAIT_OBJECT_0);
  Program first({}, m_log);
  ASSERT_TRUE(first.Started());
  ::Sleep(3000);
  EXPECT_EQ(Program::FindTopLevel(std::string("Untitled") + kTitleSuffix), nullptr);
  EXPECT_FALSE(SlotFolderExists(1)) << "registered while the mutex was held";
  ::ReleaseMutex(mutex);
  ASSERT_NE(first.WaitForMainWindow(std::string("Untitled") + kTitleSuffix), nullptr) << m_log;
  EXPECT_TRUE(SlotFolderExists(1));

  // A second copy comes up beside the first with the next slot.
  Program second({}, m_log);
  ASSERT_NE(second.WaitForMainWindow(std::string("Untitled") + kTitleSuffix), nullptr) << m_log;
  EXPECT_TRUE(SlotFolderExists(1));
  EXPECT_TRUE(SlotFolderExists(2));
  // The mutex is free again once both have started.
  EXPECT_EQ(::WaitForSingleObject(mutex, 5000), WAIT_OBJECT_0);
  ::ReleaseMutex(mutex);
  ::CloseHandle(mutex);
}

TEST_F(ProgramTest, ExitStoresTheStartNumberAndTheRecentFiles) {
  // Numbering restarts at 1 on start-up when the user asked for it; exit stores it.
  const DWORD yes = 1, stored = 57;
  WriteValue("FileOutputOptions", "bResetCountOnStartup", REG_DWORD, &yes, sizeof yes);
  WriteValue("FileOutputOptions", "uStartNO", REG_DWORD, &stored, sizeof stored);
  {
    Program program({m_wavPath}, m_log);
    HWND main = program.WaitForMainWindow("two words.wav" + std::string(kTitleSuffix));
    ASSERT_NE(main, nullptr) << m_log;
    EXPECT_EQ(ReadDword("FileOutputOptions", "uStartNO", 0), stored) << "stored only at exit";
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(15000), 0);
  }
  EXPECT_EQ(ReadDword("FileOutputOptions", "uStartNO", 0), 1u);
  EXPECT_EQ(ReadString("Recent File List", "File1"), m_wavPath);
}

// The names of the subkeys of a key below the program's key.
std::vector<std::string> Subkeys(const std::string& section) {
  std::vector<std::string> names;
  HKEY key;
  const std::string path =
      section.empty() ? std::string(kProgramKey) : std::string(kProgramKey) + "\\" + section;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD size = sizeof name;
    if (::RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name);
  }
  ::RegCloseKey(key);
  return names;
}

TEST_F(ProgramTest, TheWindowComesBackWhereItWasAndNothingElseOfTheBarsIsKept) {
  const RECT placed{200, 100, 200 + 760, 100 + 480};
  {
    Program program({}, m_log);
    HWND main = program.WaitForMainWindow(std::string("Untitled") + kTitleSuffix);
    ASSERT_NE(main, nullptr) << m_log;
    // The user moves and sizes the window, then closes it.
    ::SetWindowPos(main, HWND_TOP, placed.left, placed.top, placed.right - placed.left,
                   placed.bottom - placed.top, SWP_SHOWWINDOW);
    ::Sleep(500);
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(15000), 0);
  }
  // The registry has the window's place under the toolkit's settings, and none of the
  // state of the toolbars, menus, docking, keys or tools.
  HKEY key;
  ASSERT_EQ(
      ::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tarvel\\Settings\\WindowPlacement", 0, KEY_READ, &key),
      ERROR_SUCCESS);
  RECT stored{};
  DWORD size = sizeof stored, type = 0;
  EXPECT_EQ(
      ::RegQueryValueExA(key, "MainWindowRect", nullptr, &type, reinterpret_cast<BYTE*>(&stored), &size),
      ERROR_SUCCESS);
  ::RegCloseKey(key);
  EXPECT_EQ(size, sizeof(RECT));
  EXPECT_TRUE(::EqualRect(&stored, &placed))
      << stored.left << "," << stored.top << " " << stored.right << "," << stored.bottom;
  EXPECT_EQ(ReadDword("Settings\\WindowPlacement", "ShowCmd", 0), static_cast<DWORD>(SW_SHOWNORMAL));
  EXPECT_EQ(Subkeys("Settings"), std::vector<std::string>{"WindowPlacement"});
  for (const std::string& section : Subkeys(""))
    EXPECT_NE(section.rfind("TK", 0), 0u) << section << ": toolkit state outside the settings";

  // Started again, the window is where the user left it.
  Program again({}, m_log);
  HWND main = again.WaitForMainWindow(std::string("Untitled") + kTitleSuffix);
  ASSERT_NE(main, nullptr) << m_log;
  RECT now{};
  ::GetWindowRect(main, &now);
  EXPECT_TRUE(::EqualRect(&now, &placed))
      << now.left << "," << now.top << " " << now.right << "," << now.bottom;

  // A second copy started meanwhile does not hide the first: it opens a little down
  // and to the right, as large.
  Program second({}, m_log);
  HWND secondMain = second.WaitForMainWindow(std::string("Untitled") + kTitleSuffix);
  ASSERT_NE(secondMain, nullptr) << m_log;
  RECT beside{};
  ::GetWindowRect(secondMain, &beside);
  EXPECT_GT(beside.left, placed.left);
  EXPECT_GT(beside.top, placed.top);
  EXPECT_EQ(beside.left - placed.left, beside.top - placed.top);
  EXPECT_EQ(beside.right - beside.left, placed.right - placed.left);
}

TEST_F(ProgramTest, ClosingTheMainWindowEndsTheProgramAndFreesItsSlot) {
  struct Case {
    const char* name;
    bool withFile;
  } cases[] = {{"empty start", false}, {"after opening a file", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Program program(c.withFile ? std::vector<std::string>{m_wavPath} : std::vector<std::string>{}, m_log);
    ASSERT_TRUE(program.Started());
    const std::string title =
        (c.withFile ? std::string("two words.wav") : std::string("Untitled")) + kTitleSuffix;
    HWND main = program.WaitForMainWindow(title);
    ASSERT_NE(main, nullptr) << m_log;
    EXPECT_TRUE(SlotFolderExists(1));
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    // The whole process ends, every thread of it, with a clean exit code.
    EXPECT_EQ(program.WaitForExit(15000), 0) << "see " << m_log;
    EXPECT_FALSE(SlotFolderExists(1)) << "the copy's folder goes with it";
  }
}

TEST_F(ProgramTest, OpenInNewWindowStartsAnotherCopyOnAPathWithBlanks) {
  Program program({}, m_log);
  HWND main = program.WaitForMainWindow(std::string("Untitled") + kTitleSuffix);
  ASSERT_NE(main, nullptr) << m_log;
  ::PostMessageA(main, WM_COMMAND, MAKEWPARAM(ID_FILE_OPEN_NEW_WINDOW, 0), 0);

  // The user types the file's name into the Open dialog and presses Open.
  ASSERT_NO_FATAL_FAILURE(ChooseInOpenDialog(m_wavPath));

  // The new copy opens that very file: its whole path reached it as one argument.
  HWND second = nullptr;
  winetest::WaitUntil(
      [&] {
        return (second = Program::FindTopLevel("two words.wav" + std::string(kTitleSuffix))) != nullptr;
      },
      kStartMs);
  ASSERT_NE(second, nullptr) << "no second copy showing the file; see " << m_log;
  EXPECT_NE(second, main);
  char title[256] = {};
  ::GetWindowTextA(main, title, sizeof title);
  EXPECT_EQ(std::string(title), std::string("Untitled") + kTitleSuffix)
      << "the first copy keeps its document";
  ::PostMessageA(second, WM_CLOSE, 0, 0);
  EXPECT_TRUE(winetest::WaitUntil([&] { return !::IsWindow(second); }, 15000));
}

struct MessageBoxSearch {
  const std::string* part;
  HWND box;
  std::string text;
};

BOOL CALLBACK FindMessageBoxProc(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<MessageBoxSearch*>(param);
  char cls[64] = {};
  ::GetClassNameA(hwnd, cls, sizeof cls);
  if (!::IsWindowVisible(hwnd) || std::string(cls) != "#32770") return TRUE;
  std::string all;
  for (HWND child = ::GetWindow(hwnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    char text[1024] = {};
    ::GetWindowTextA(child, text, sizeof text);
    all += text;
    all += '\n';
  }
  if (all.find(*search->part) == std::string::npos) return TRUE;
  search->box = hwnd;
  search->text = all;
  return FALSE;
}

// The texts of a visible message box that holds part (empty when there is none).
std::string MessageBoxText(const std::string& part, HWND* box) {
  MessageBoxSearch search{&part, nullptr, {}};
  ::EnumWindows(FindMessageBoxProc, reinterpret_cast<LPARAM>(&search));
  if (box) *box = search.box;
  return search.text;
}

TEST_F(ProgramTest, LinuxPathsOnTheCommandLineOpenAsFromTheOpenDialog) {
  // A shell hands the program the Linux path ("/tmp/.../take.wav"): the file opens as
  // the same file chosen in the Open dialog does, under its Windows path.
  for (const char* name : {"two words.wav",
                           "my r\xC3\xA9"
                           "cording \xC3\xB1 \xE6\x97\xA5\xE6\x9C\xAC.wav"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(winetest::WriteTwoToneWav(m_folder.UnixPath() + "/" + name, 44100, 1.0));
    Program program({m_folder.UnixPath() + "/" + name}, m_log);
    HWND main = program.WaitForMainWindow(name + std::string(kTitleSuffix));
    ASSERT_NE(main, nullptr) << "no main window titled with the file; see " << m_log;
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(15000), 0);
    EXPECT_EQ(ReadString("Recent File List", "File1"), m_folder.File(name));
  }
}

TEST_F(ProgramTest, OpenTakesANameWithLettersOfAnyLanguage) {
  const std::string name =
      "my r\xC3\xA9"
      "cording \xC3\xB1 \xE6\x97\xA5\xE6\x9C\xAC.wav";
  ASSERT_TRUE(winetest::WriteTwoToneWav(m_folder.UnixPath() + "/" + name, 44100, 1.0));
  Program program({}, m_log);
  HWND main = program.WaitForMainWindow(std::string("Untitled") + kTitleSuffix);
  ASSERT_NE(main, nullptr) << m_log;
  ::PostMessageA(main, WM_COMMAND, MAKEWPARAM(ID_FILE_OPEN, 0), 0);
  ASSERT_NO_FATAL_FAILURE(ChooseInOpenDialog(m_folder.File(name)));
  EXPECT_TRUE(winetest::WaitUntil(
      [&] {
        char title[512] = {};
        ::GetWindowTextA(main, title, sizeof title);
        return name + kTitleSuffix == title;
      },
      kStartMs))
      << "the main window does not show the file; see " << m_log;
  HWND box = nullptr;
  EXPECT_EQ(MessageBoxText("could not open", &box), "");
  if (box) ::PostMessageA(box, WM_COMMAND, IDOK, 0);
}

TEST_F(ProgramTest, AFileThatCannotBeOpenedIsNamedAndTheWindowStillComes) {
  struct Case {
    const char* what;
    std::string argument;  // as the shell hands it over
    std::string named;     // as the message names it
  } cases[] = {
      {"a missing file", m_folder.UnixPath() + "/missing take.wav",
       m_folder.UnixPath() + "/missing take.wav"},
      {"a missing folder", m_folder.UnixPath() + "/gone/take.wav", m_folder.File("gone/take.wav")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Program program({c.argument}, m_log);
    ASSERT_TRUE(program.Started());
    HWND box = nullptr;
    std::string text;
    winetest::WaitUntil(
        [&] { return !(text = MessageBoxText("could not open", &box)).empty() || program.Exited(); },
        kStartMs);
    ASSERT_NE(box, nullptr) << "no message; see " << m_log;
    EXPECT_NE(text.find("Tarvel could not open the file \"" + c.named + "\" (No such file or directory)."),
              std::string::npos)
        << text;
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    // The copy goes on with a new document, as after a failed Open.
    EXPECT_NE(program.WaitForMainWindow(std::string("Untitled") + kTitleSuffix), nullptr) << m_log;
  }
}

// Wine's browser starter tries the programs of this list in turn; the test's own stands
// in for the desktop's browser and writes down what it was given.
class HelpInBrowserTest : public ProgramTest {
protected:
  void SetUp() override {
    ProgramTest::SetUp();
    // Wine's list holds names without blanks: the stand-in lives in a folder without.
    m_script = m_browserFolder.UnixPath() + "/browser";
    m_record = m_browserFolder.UnixPath() + "/browser-arguments";
    std::ofstream(m_script) << "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" << m_record << "'\n";
    ASSERT_EQ(::chmod(m_script.c_str(), 0755), 0);
    m_browsers = std::make_unique<winetest::WineBrowserList>(m_script);
    ASSERT_TRUE(m_browsers->Ok());
  }
  void TearDown() override {
    m_browsers.reset();
    ProgramTest::TearDown();
  }

  // The pages the stand-in browser was given so far, one a line.
  std::vector<std::string> Opened() const {
    std::vector<std::string> lines;
    std::ifstream in(m_record);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  // The page the browser was given, from its file address, with what it shows.
  static std::string PageText(const std::string& address) {
    const std::string scheme = "file://";
    if (address.compare(0, scheme.size(), scheme) != 0) return "";
    std::string path;
    for (size_t i = scheme.size(); i < address.size(); ++i) {
      if (address[i] == '%' && i + 2 < address.size()) {
        path += static_cast<char>(std::stoi(address.substr(i + 1, 2), nullptr, 16));
        i += 2;
      } else {
        path += address[i];
      }
    }
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  winetest::TempFolder m_browserFolder{"help-browser"};
  std::string m_script;
  std::string m_record;
  std::unique_ptr<winetest::WineBrowserList> m_browsers;
};

TEST_F(HelpInBrowserTest, HelpTopicsAndContextHelpShowTheHelpsFirstPage) {
  Program program({}, m_log);
  HWND main = program.WaitForMainWindow(std::string("Untitled") + kTitleSuffix);
  ASSERT_NE(main, nullptr) << m_log;

  // Help > Help Topics.
  ::PostMessageA(main, WM_COMMAND, MAKEWPARAM(ID_HELP_FINDER, 0), 0);
  ASSERT_TRUE(winetest::WaitUntil([&] { return Opened().size() >= 1; }, 20000))
      << "no browser; see " << m_log;
  const std::string page = Opened()[0];
  EXPECT_EQ(page.substr(page.size() - std::string("/TVLHelp/index.html").size()), "/TVLHelp/index.html")
      << page;
  const std::string text = PageText(page);
  EXPECT_NE(text.find("<h1>Tarvel Help</h1>"), std::string::npos) << page;
  for (const char* link : {"windows.html", "recording.html", "filetypes.html"})
    EXPECT_NE(text.find(link), std::string::npos) << link;

  // Context help: the help cursor, then a click on a toolbar button.
  HWND toolbar = ::GetDlgItem(main, IDW_MAIN_TOOLBAR);
  for (HWND child = ::GetWindow(main, GW_CHILD); !toolbar && child; child = ::GetWindow(child, GW_HWNDNEXT))
    toolbar = ::GetDlgItem(child, IDW_MAIN_TOOLBAR);
  ASSERT_NE(toolbar, nullptr);
  RECT bar{};
  ::GetWindowRect(toolbar, &bar);
  ::PostMessageA(main, WM_COMMAND, MAKEWPARAM(ID_CONTEXT_HELP, 0), 0);
  // The click counts once the frame is in help mode (it holds the mouse), which on a
  // busy machine may take longer than the command's post.
  ASSERT_TRUE(winetest::WaitUntil(
      [&] {
        GUITHREADINFO info{sizeof info};
        return ::GetGUIThreadInfo(::GetWindowThreadProcessId(main, nullptr), &info) &&
               info.hwndCapture == main;
      },
      10000))
      << "the frame took no help mode";
  const POINT on{bar.left + 20, (bar.top + bar.bottom) / 2};
  ::SetCursorPos(on.x, on.y);
  // The frame finds the button under the pointer where the click's message says it
  // was: post once the pointer is there.
  ASSERT_TRUE(winetest::WaitUntil(
      [&] {
        POINT at{};
        return ::GetCursorPos(&at) && at.x == on.x && at.y == on.y;
      },
      5000));
  POINT client = on;
  ::ScreenToClient(main, &client);
  ::PostMessageA(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
  ::PostMessageA(main, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
  ASSERT_TRUE(winetest::WaitUntil([&] { return Opened().size() >= 2; }, 20000))
      << "no browser (a message: \"" << MessageBoxText("", nullptr) << "\"; the frame holds the mouse: " <<
      [&] {
        GUITHREADINFO info{sizeof info};
        return ::GetGUIThreadInfo(::GetWindowThreadProcessId(main, nullptr), &info) &&
               info.hwndCapture == main;
      }()
      << "); see " << m_log;
  EXPECT_EQ(Opened()[1], page);
}

// The centre of a window's rectangle.
POINT CentreOf(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A visible top-level window of a process and a window class, other than `besides`:
// a combo box's dropped list, or a question a dialog asks.
struct ProcessWindow {
  DWORD process;
  const char* className;
  HWND besides;
  HWND found;
};
BOOL CALLBACK FindProcessWindow(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<ProcessWindow*>(param);
  char name[32] = {};
  ::GetClassNameA(hwnd, name, sizeof name);
  DWORD process = 0;
  ::GetWindowThreadProcessId(hwnd, &process);
  if (process == search->process && hwnd != search->besides && lstrcmpiA(name, search->className) == 0 &&
      ::IsWindowVisible(hwnd)) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}
HWND ProcessWindowOf(HWND sibling, const char* className, HWND besides = nullptr) {
  ProcessWindow search{0, className, besides, nullptr};
  ::GetWindowThreadProcessId(sibling, &search.process);
  ::EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The dialogs a user opens from the main window come up over it, wherever it stands,
// and Save As drops its list of file types whole, from the first type on.
TEST_F(ProgramTest, DialogsOpenOverTheMainWindowAndSaveAsDropsEveryFileType) {
  constexpr UINT kOptions = 32857;
  Program program({m_wavPath}, m_log);
  HWND main = program.WaitForMainWindow("two words.wav" + std::string(kTitleSuffix));
  ASSERT_NE(main, nullptr) << m_log;
  // Off the middle of the screen, so that a dialog centred on the screen is told apart.
  ::SetWindowPos(main, HWND_TOP, 330, 250, 640, 440, SWP_SHOWWINDOW);
  ::Sleep(700);
  const POINT middle = CentreOf(main);
  struct Case {
    UINT command;
    const char* title;
  } cases[] = {{kOptions, "Options"}, {ID_FILE_OPEN, "Open"}, {ID_FILE_SAVE_AS, "Save As"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    ::PostMessageA(main, WM_COMMAND, MAKEWPARAM(c.command, 0), 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(
        winetest::WaitUntil([&] { return (dialog = Program::FindTopLevel(c.title)) != nullptr; }, 15000));
    ::Sleep(300);
    const POINT at = CentreOf(dialog);
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT r{};
    ::GetWindowRect(dialog, &r);
    // Kept on the screen: a dialog taller than the room below the main window's
    // middle moves up, but stays over the window's middle from left to right.
    EXPECT_NEAR(at.x, middle.x, 4) << "centred over the main window";
    if (r.bottom < work.bottom && r.top > work.top) EXPECT_NEAR(at.y, middle.y, 4);
    if (c.command == ID_FILE_SAVE_AS) {
      constexpr int kFileTypes = 1136;
      HWND types = ::GetDlgItem(dialog, kFileTypes);
      ASSERT_NE(types, nullptr);
      const int count = static_cast<int>(::SendMessageA(types, CB_GETCOUNT, 0, 0));
      EXPECT_EQ(count, 6);
      ::SendMessageA(types, CB_SHOWDROPDOWN, TRUE, 0);
      ::Sleep(300);
      HWND dropped = ProcessWindowOf(dialog, "ComboLBox");
      ASSERT_NE(dropped, nullptr) << "the list drops down";
      RECT list{};
      ::GetClientRect(dropped, &list);
      const int row = static_cast<int>(::SendMessageA(dropped, LB_GETITEMHEIGHT, 0, 0));
      ASSERT_GT(row, 0);
      EXPECT_GE(list.bottom / row, count) << "every type in sight";
      EXPECT_EQ(::SendMessageA(dropped, LB_GETTOPINDEX, 0, 0), 0) << "the first type, Ogg, too";
      ::SendMessageA(types, CB_SHOWDROPDOWN, FALSE, 0);
      // Saving over the file asks under the dialog's own title.
      constexpr int kFileNameCombo = 0x47C, kFileNameEdit = 0x480;
      HWND edit = ::GetDlgItem(dialog, kFileNameCombo);
      if (!edit) edit = ::GetDlgItem(dialog, kFileNameEdit);
      ASSERT_NE(edit, nullptr);
      ::SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(m_wavPath.c_str()));
      ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      HWND question = nullptr;
      winetest::WaitUntil([&] { return (question = ProcessWindowOf(dialog, "#32770", dialog)) != nullptr; },
                          10000);
      ASSERT_NE(question, nullptr) << "no question about the existing file";
      char caption[128] = {};
      ::GetWindowTextA(question, caption, sizeof caption);
      EXPECT_STREQ(caption, "Save As");
      ::PostMessageA(question, WM_COMMAND, IDNO, 0);
      winetest::WaitUntil([&] { return !::IsWindow(question); }, 5000);
    }
    ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(winetest::WaitUntil([&] { return !::IsWindow(dialog); }, 10000));
  }
}

TEST(NewWindowCommandLine, QuotesTheProgramAndTheFile) {
  struct Case {
    const char* program;
    const char* file;
    const char* line;
  } cases[] = {
      {"C:\\Program Files\\Tarvel\\Tarvel.exe", "", "\"C:\\Program Files\\Tarvel\\Tarvel.exe\""},
      {"C:\\Program Files\\Tarvel\\Tarvel.exe", "D:\\my takes\\take 1.wav",
       "\"C:\\Program Files\\Tarvel\\Tarvel.exe\" \"D:\\my takes\\take 1.wav\""},
      {"Z:\\t\\Tarvel.exe", "Z:\\a.mp3", "\"Z:\\t\\Tarvel.exe\" \"Z:\\a.mp3\""},
  };
  for (const Case& c : cases) EXPECT_EQ(CTVLApp::NewWindowCommandLine(c.program, c.file), c.line) << c.file;
}

}  // namespace
