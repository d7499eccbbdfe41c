// Two copies of the program in one prefix share the clipboard: audio selected and
// copied in one copy is pasted in the other, and what the second copy then saves is
// the audio the user selected in the first.
#include "support/wine/GTestWin.h"

#include "support/wine/AudioRigForWine.h"

#include "platform/afx/afxwin.h"
#include "resources/resource.h"
#include "support/wine/SoundFiles.h"
#include "support/wine/TempFolder.h"
#include "support/wine/Wait.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include "platform/afx/linux_headers_end.h"

namespace {

constexpr const char* kTitleSuffix = " - Tarvel 2.93";
constexpr const char* kProgramKey = "Software\\Tarvel";
constexpr DWORD kStartMs = 30000;
constexpr int kRate = 44100;
constexpr UINT kSelectCursorToEnd = 32839;
constexpr int kViewId = 59648;

// A 16-bit stereo WAV of two seconds: a rising tone on the left, a falling one on the
// right, so that any shift or swap shows.
void WriteStereoWav(const std::string& unixPath) {
  const int frames = 2 * kRate;
  std::vector<short> data(static_cast<size_t>(frames) * 2);
  for (int i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / kRate;
    data[2 * i] = static_cast<short>(12000 * std::sin(2 * M_PI * (300 + 200 * t) * t));
    data[2 * i + 1] = static_cast<short>(9000 * std::sin(2 * M_PI * (900 - 150 * t) * t));
  }
  ASSERT_TRUE(winetest::WriteWav16(unixPath, kRate, 2, data));
}

struct Pcm {
  int channels = 0;
  int rate = 0;
  int bits = 0;
  std::vector<short> samples;  // interleaved
};

// The PCM of a WAV file (16-bit only; anything else leaves it empty).
Pcm ReadWav(const std::string& unixPath) {
  std::ifstream in(unixPath, std::ios::binary);
  std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Pcm pcm;
  if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0)
    return pcm;
  auto u32 = [&](size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24; };
  auto u16 = [&](size_t at) { return b[at] | b[at + 1] << 8; };
  for (size_t at = 12; at + 8 <= b.size();) {
    const size_t size = static_cast<size_t>(u32(at + 4));
    if (std::memcmp(&b[at], "fmt ", 4) == 0) {
      pcm.channels = u16(at + 10);
      pcm.rate = static_cast<int>(u32(at + 12));
      pcm.bits = u16(at + 22);
    } else if (std::memcmp(&b[at], "data", 4) == 0 && pcm.bits == 16) {
      const size_t count = std::min(size, b.size() - at - 8) / 2;
      pcm.samples.resize(count);
      std::memcpy(pcm.samples.data(), &b[at + 8], count * 2);
    }
    at += 8 + size + (size & 1);
  }
  return pcm;
}

class Program {
public:
  Program(const std::vector<std::string>& args, const std::string& log) {
    std::vector<std::string> all = {"/usr/lib/wine/wine64", TARVEL_PROGRAM};
    all.insert(all.end(), args.begin(), args.end());
    m_pid = winetest::Spawn(all, {}, log);
  }
  ~Program() {
    if (m_pid <= 0) return;
    if (m_window && ::IsWindow(m_window)) {
      // A modified document would ask whether to save: it is thrown away.
      ::PostMessageA(m_window, WM_CLOSE, 0, 0);
      winetest::WaitUntil(
          [&] {
            if (HWND box = FindTopLevel("Tarvel", m_window)) ::PostMessageA(box, WM_COMMAND, IDNO, 0);
            return Reaped();
          },
          10000);
    }
    if (!Reaped()) {
      ::kill(m_pid, SIGKILL);
      winetest::WaitUntil([&] { return Reaped(); }, 5000);
    }
  }
  bool Started() const { return m_pid > 0; }
  HWND WaitForMainWindow(const std::string& title) {
    winetest::WaitUntil([&] { return (m_window = FindTopLevel(title, nullptr)) != nullptr || Reaped(); },
                        kStartMs);
    if (m_window) s_claimed.push_back(m_window);
    return m_window;
  }
  HWND Window() const { return m_window; }
  // The copy's waveform view: the innermost pane (the wave frame holding it has the
  // same id).
  HWND View() const {
    HWND pane = m_window;
    for (HWND inner; (inner = VisibleChild(pane, kViewId)) != nullptr;) pane = inner;
    return pane == m_window ? nullptr : pane;
  }
  // A visible top-level window of this title not yet claimed by a copy; with a
  // process window given, one of that window's process only.
  static HWND FindTopLevel(const std::string& title, HWND sameProcessAs) {
    Search search{&title, sameProcessAs, nullptr};
    ::EnumWindows(FindProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }
  static HWND VisibleChild(HWND parent, int id) {
    ChildSearch search{id, nullptr};
    ::EnumChildWindows(parent, FindChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

private:
  bool Reaped() {
    if (m_reaped) return true;
    int status = 0;
    m_reaped = waitpid(m_pid, &status, WNOHANG) != 0;
    return m_reaped;
  }
  struct Search {
    const std::string* title;
    HWND sameProcessAs;
    HWND found;
  };
  struct ChildSearch {
    int id;
    HWND found;
  };
  static BOOL CALLBACK FindProc(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    char text[512] = {};
    ::GetWindowTextA(hwnd, text, sizeof text);
    if (!::IsWindowVisible(hwnd) || *search->title != text) return TRUE;
    if (std::find(s_claimed.begin(), s_claimed.end(), hwnd) != s_claimed.end()) return TRUE;
    if (search->sameProcessAs) {
      DWORD a = 0, b = 0;
      ::GetWindowThreadProcessId(hwnd, &a);
      ::GetWindowThreadProcessId(search->sameProcessAs, &b);
      if (a != b) return TRUE;
    }
    search->found = hwnd;
    return FALSE;
  }
  static BOOL CALLBACK FindChild(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    if (::GetDlgCtrlID(hwnd) == search->id && ::IsWindowVisible(hwnd)) {
      search->found = hwnd;
      return FALSE;
    }
    return TRUE;
  }

  pid_t m_pid = -1;
  bool m_reaped = false;
  HWND m_window = nullptr;
  static std::vector<HWND> s_claimed;
};
std::vector<HWND> Program::s_claimed;

void WriteTempFolder(const std::string& folder) {
  const std::string path = std::string(kProgramKey) + "\\FileOutputOptions";
  HKEY key;
  ASSERT_EQ(
      ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
      ERROR_SUCCESS);
  ::RegSetValueExA(key, "strTempFolder", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>(folder.size() + 1));
  ::RegCloseKey(key);
}

class ClipboardCopiesTest : public ::testing::Test {
protected:
  void SetUp() override {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kProgramKey);
    WriteTempFolder(m_temp.Path() + "\\");
    m_sourcePath = m_folder.File("source.wav");
    WriteStereoWav(m_folder.UnixPath() + "/source.wav");
    m_log = std::string(TARVEL_TEST_BINARY_DIR) + "/app-clipboard-copies.log";
    std::remove(m_log.c_str());
  }
  void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, kProgramKey); }

  winetest::TempFolder m_folder{"clipboard copies"};
  winetest::TempFolder m_temp{"clipboard-temp"};
  std::string m_sourcePath;
  std::string m_log;
};

TEST_F(ClipboardCopiesTest, AudioCopiedInOneCopyIsPastedInTheOtherUnchanged) {
  Program source({m_sourcePath}, m_log);
  ASSERT_TRUE(source.Started());
  HWND first = source.WaitForMainWindow("source.wav" + std::string(kTitleSuffix));
  ASSERT_NE(first, nullptr) << "see " << m_log;
  Program target({}, m_log);
  HWND second = target.WaitForMainWindow(std::string("Untitled") + kTitleSuffix);
  ASSERT_NE(second, nullptr) << "see " << m_log;
  ::SetWindowPos(second, HWND_BOTTOM, 500, 300, 500, 360, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  ::SetWindowPos(first, HWND_TOP, 20, 20, 700, 420, SWP_SHOWWINDOW);
  ::SetForegroundWindow(first);
  ::Sleep(700);

  // In the first copy the user clicks a third of the way into the waveform (the
  // view gets the press and the release as a click brings them) and selects from
  // there to the end, then copies.
  HWND view = source.View();
  ASSERT_NE(view, nullptr);
  RECT client;
  ::GetClientRect(view, &client);
  const LPARAM press = MAKELPARAM(client.right / 3, client.bottom / 4);
  ::SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, press);
  ::SendMessageA(view, WM_LBUTTONUP, 0, press);
  ::SendMessageA(first, WM_COMMAND, kSelectCursorToEnd, 0);
  ::SendMessageA(first, WM_COMMAND, ID_EDIT_COPY, 0);

  // The second copy pastes and saves what it got as a 16-bit stereo WAV.
  ::SendMessageA(second, WM_COMMAND, ID_EDIT_PASTE, 0);
  ::PostMessageA(second, WM_COMMAND, ID_FILE_SAVE_AS, 0);
  HWND dialog = nullptr;
  ASSERT_TRUE(winetest::WaitUntil(
      [&] { return (dialog = Program::FindTopLevel("Save As", second)) != nullptr; }, 10000));
  HWND types = ::GetDlgItem(dialog, 1136);
  ::SendMessageA(types, CB_SETCURSEL, 2, 0);
  ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1136, CBN_SELCHANGE), reinterpret_cast<LPARAM>(types));
  ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1136, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
  HWND stereo = Program::VisibleChild(dialog, IDC_WAV_STEREO);
  ASSERT_NE(stereo, nullptr) << "the WAV panel";
  ::SendMessageA(stereo, BM_CLICK, 0, 0);
  HWND name = ::GetDlgItem(dialog, 1148);
  if (!name) name = ::GetDlgItem(dialog, 1152);
  const std::string pastedPath = m_folder.File("pasted.wav");
  ::SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pastedPath.c_str()));
  ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
  const std::string pastedUnix = m_folder.UnixPath() + "/pasted.wav";
  ASSERT_TRUE(winetest::WaitUntil(
      [&] {
        char title[256] = {};
        ::GetWindowTextA(second, title, sizeof title);
        return "pasted.wav" + std::string(kTitleSuffix) == title;
      },
      15000))
      << "the second copy saved; see " << m_log;

  const Pcm original = ReadWav(m_folder.UnixPath() + "/source.wav");
  const Pcm pasted = ReadWav(pastedUnix);
  ASSERT_EQ(pasted.channels, 2);
  EXPECT_EQ(pasted.rate, kRate);
  const size_t frames = original.samples.size() / 2, pastedFrames = pasted.samples.size() / 2;
  // About two thirds of the file: from the click to the end.
  ASSERT_GT(pastedFrames, frames / 2);
  ASSERT_LT(pastedFrames, frames * 5 / 6);
  // The pasted audio is the source's tail, sample for sample (within a step of the
  // 16-bit scale for the way through floating point).
  const size_t offset = (frames - pastedFrames) * 2;
  int worst = 0;
  for (size_t i = 0; i < pasted.samples.size(); ++i)
    worst = std::max(worst, std::abs(pasted.samples[i] - original.samples[offset + i]));
  EXPECT_LE(worst, 1) << "pasted " << pastedFrames << " of " << frames << " frames";
}

}  // namespace
