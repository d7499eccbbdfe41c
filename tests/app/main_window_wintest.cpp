// The program itself, started as a user starts it: a file named on the command line
// shows its waveform in the main window; copies start one after another; exit stores
// the settings; closing the main window ends the process; Open in New Window starts
// another copy on a file whose path has blanks.
#include "support/wine/GTestWin.h"

#include "support/wine/AudioRigForWine.h"

#include "app/TVLApp.h"
#include "support/wine/SoundFiles.h"
#include "support/wine/TempFolder.h"
#include "support/wine/Wait.h"
#include "support/wine/WindowCapture.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
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
  HWND dialog = nullptr;
  winetest::WaitUntil([&] { return (dialog = Program::FindTopLevel("Open")) != nullptr; }, 15000);
  ASSERT_NE(dialog, nullptr) << "no Open dialog";
  constexpr int kFileNameCombo = 0x47C, kFileNameEdit = 0x480;
  HWND edit = ::GetDlgItem(dialog, kFileNameCombo);
  if (!edit) edit = ::GetDlgItem(dialog, kFileNameEdit);
  ASSERT_NE(edit, nullptr);
  ::SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(m_wavPath.c_str()));
  ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);

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
