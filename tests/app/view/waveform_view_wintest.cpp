// The document and the waveform view in a plain test frame: a stereo WAV and an MP3
// opened into the document show their waveforms; the mouse and the keys select; zoom
// in, out and to fit; cut, paste, undo and redo; Amplify through its dialog; saving
// as MP3, Ogg Vorbis and WAV and reading the files back; files that cannot be opened
// or saved; the clipboard held by another running copy.
#include "support/wine/GTestWin.h"

#include "app/view/DocManagerEx.h"
#include "app/view/ShellServices.h"
#include "app/view/TVLDoc.h"
#include "app/view/TVLView.h"
#include "app/view/ViewInfo.h"
#include "app/view/WaveFrame.h"
#include "audiofiles/dialogs/WindowEffectDialogs.h"
#include "resources/resource.h"
#include "support/wine/DialogTestSupport.h"
#include "support/wine/TempFolder.h"
#include "support/wine/Wait.h"
#include "support/wine/WindowCapture.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <fstream>
#include "audiofiles/effects/Effect.h"
#include "audiofiles/effects/EffectRegistry.h"
#include "core/engine/AudioIO.h"
#include "core/instances/InstanceManager.h"
#include "core/model/TrackList.h"
#include "core/model/WaveTrack.h"
#include "platform/afx/linux_headers_end.h"

namespace {

using namespace dialogtest;

constexpr double kRate = 44100.0;
constexpr double kSeconds = 3.0;

// A plain frame with the wave frame as its client, as the main frame will have.
class WaveTestFrame : public CFrameWnd {
  DECLARE_DYNCREATE(WaveTestFrame)

public:
  CWaveFrame m_waveFrame;

protected:
  BOOL OnCreateClient(LPCREATESTRUCT, CCreateContext* context) override {
    return m_waveFrame.Create(this, context->m_pNewViewClass, context);
  }
};
IMPLEMENT_DYNCREATE(WaveTestFrame, CFrameWnd)

// The file prompt answers with the name the test sets; without one it is the
// program's own prompt, which a test then drives.
class ScriptedDocManager : public CDocManagerEx {
public:
  CString m_answer;
  BOOL DoPromptFileName(CString& fileName, UINT titleId, DWORD flags, BOOL open, CDocTemplate* t) override {
    if (m_answer.IsEmpty()) return CDocManagerEx::DoPromptFileName(fileName, titleId, flags, open, t);
    fileName = m_answer;
    return TRUE;
  }
};

// A 16-bit stereo WAV: left a 440 Hz sine at 0.5, right 880 Hz at 0.25.
void WriteStereoWav(const std::string& unixPath) {
  const int frames = static_cast<int>(kRate * kSeconds);
  std::vector<short> data(static_cast<size_t>(frames) * 2);
  for (int i = 0; i < frames; ++i) {
    data[2 * i] = static_cast<short>(16384 * std::sin(2 * M_PI * 440 * i / kRate));
    data[2 * i + 1] = static_cast<short>(8192 * std::sin(2 * M_PI * 880 * i / kRate));
  }
  const unsigned bytes = static_cast<unsigned>(data.size() * 2);
  std::FILE* f = std::fopen(unixPath.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  auto u32 = [&](unsigned v) { std::fwrite(&v, 4, 1, f); };
  auto u16 = [&](unsigned short v) { std::fwrite(&v, 2, 1, f); };
  std::fwrite("RIFF", 1, 4, f);
  u32(36 + bytes);
  std::fwrite("WAVEfmt ", 1, 8, f);
  u32(16);
  u16(1);
  u16(2);
  u32(static_cast<unsigned>(kRate));
  u32(static_cast<unsigned>(kRate) * 4);
  u16(4);
  u16(16);
  std::fwrite("data", 1, 4, f);
  u32(bytes);
  std::fwrite(data.data(), 2, data.size(), f);
  std::fclose(f);
}

struct Audio {
  int channels = 0;
  double rate = 0;
  double seconds = 0;
  std::vector<float> peaks;
};

Audio Describe(Project& project) {
  Audio audio;
  for (WaveTrack* t : project.GetTracks()->GetWaveTrackArray(false)) {
    ++audio.channels;
    audio.rate = t->GetRate();
    audio.seconds = std::max(audio.seconds, t->GetEndTime());
    float min = 0, max = 0;
    t->GetMinMax(&min, &max, t->GetStartTime(), t->GetEndTime());
    audio.peaks.push_back(std::max(-min, max));
  }
  return audio;
}

// A file read back through the importers into a project of its own.
Audio ReadBack(const std::string& unixPath) {
  Project project;
  if (!project.OpenFile(unixPath)) return Audio();
  return Describe(project);
}

extern "C" char** environ;

// Runs a program (its signals as a fresh process has them) with its output on
// logFile; -1 when it could not start.
pid_t Spawn(const std::vector<std::string>& args, const std::string& logFile) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t all, none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  return pid;
}

int WaitExit(pid_t pid, DWORD timeoutMs) {
  int code = -2;
  winetest::WaitUntil(
      [&] {
        int status = 0;
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return r != 0;
      },
      timeoutMs);
  return code;
}

// The audio test rig for one test: its client environment (the sound server and
// ALSA's route to it, for PortAudio) is put into this process before the engine
// opens a device.
class AudioRigForView {
public:
  AudioRigForView() {
    m_dir = "/tmp/tvl-view-rig-" + std::to_string(::getpid());
    m_script = std::string(TARVEL_SOURCE_DIR) + "/scripts/audio-rig.sh";
    pid_t pid = Spawn({m_script, "start", m_dir, "--owner", std::to_string(::getpid())}, "/dev/null");
    m_ok = pid > 0 && WaitExit(pid, 15000) == 0;
    if (!m_ok) return;
    std::ifstream env(m_dir + "/env");
    std::string line;
    while (std::getline(env, line)) {
      size_t eq = line.find('=');
      if (eq != std::string::npos) setenv(line.substr(0, eq).c_str(), line.substr(eq + 1).c_str(), 1);
    }
  }
  ~AudioRigForView() {
    pid_t pid = Spawn({m_script, "stop", m_dir}, "/dev/null");
    if (pid > 0) WaitExit(pid, 15000);
    pid = Spawn({"rm", "-rf", m_dir}, "/dev/null");
    if (pid > 0) WaitExit(pid, 5000);
  }
  bool Ok() const { return m_ok; }

private:
  std::string m_dir, m_script;
  bool m_ok = false;
};

// Receives the Stop command the view posts to the control panel.
class PanelStandIn : public CWnd {
public:
  int m_stops = 0;
  LPARAM m_stopButton = 0;

protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (LOWORD(wParam) == 1061) {
      ++m_stops;
      m_stopButton = lParam;
    }
    return TRUE;
  }
};

class WaveformViewTest : public ::testing::Test {
protected:
  void SetUp() override {
    static bool registered = false;
    if (!registered) {
      RegisterAllEffects();
      registered = true;
    }
    m_previousDialogs = SetEffectDialogs(&WindowEffectDialogs::Instance());
    CreateClipboardTrackList();
    m_instances = std::make_unique<CInstanceManager>(InstanceName());
    ASSERT_TRUE(m_instances->Startup(m_folder.UnixPath()));
    SetInstanceManager(m_instances.get());
    m_manager = new ScriptedDocManager;
    m_app.m_pDocManager = m_manager;
    m_app.AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CTVLDoc),
                                                RUNTIME_CLASS(WaveTestFrame), RUNTIME_CLASS(CTVLView)));
    m_app.OnFileNew();
    m_frame = dynamic_cast<WaveTestFrame*>(m_app.m_pMainWnd);
    ASSERT_NE(m_frame, nullptr);
    ::SetWindowPos(m_frame->m_hWnd, HWND_TOP, 20, 20, 900, 520, SWP_SHOWWINDOW);
    PumpPendingMessages();
    m_wavPath = m_folder.File("stereo take.wav");
    WriteStereoWav(m_folder.UnixPath() + "/stereo take.wav");
  }

  void TearDown() override {
    if (m_frame) {
      CDocument* doc = m_frame->GetActiveDocument();
      m_app.m_pMainWnd = nullptr;
      if (doc)
        doc->OnCloseDocument();
      else
        ::DestroyWindow(m_frame->m_hWnd);
    }
    PumpPendingMessages(50);
    SetInstanceManager(nullptr);
    m_instances.reset();
    DestroyClipboardTrackList();
    SetEffectDialogs(m_previousDialogs);
  }

  static std::string InstanceName() { return "TarvelViewTest" + std::to_string(::getpid()); }

  CTVLDoc* Doc() { return dynamic_cast<CTVLDoc*>(m_frame->GetActiveDocument()); }
  CTVLView* View() { return dynamic_cast<CTVLView*>(m_frame->GetActiveView()); }
  CWaveFrame& Wave() { return m_frame->m_waveFrame; }
  ViewInfo& Info() { return *GetViewInfo(); }
  Audio Shown() { return Describe(*Doc()->GetProject()); }

  void Command(UINT id) {
    ::SendMessageA(m_frame->m_hWnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    PumpPendingMessages(50);
  }
  bool Enabled(UINT id) {
    struct State : CCmdUI {
      BOOL enabled = TRUE;
      void Enable(BOOL on) override { enabled = on; }
    } state;
    state.m_nID = id;
    EXPECT_TRUE(m_frame->OnCmdMsg(id, static_cast<int>(CN_UPDATE_COMMAND_UI), &state))
        << "no update for " << id;
    return state.enabled;
  }
  void Open(const std::string& path) {
    ASSERT_NE(m_app.OpenDocumentFile(path.c_str()), nullptr) << path;
    PumpPendingMessages();
  }
  void SaveAs(const std::string& path) {
    m_manager->m_answer = path.c_str();
    Command(ID_FILE_SAVE_AS);
  }
  HWND ViewWindow() { return View()->m_hWnd; }
  // The view's x of a time.
  int X(double t) { return static_cast<int>((t - Info().h) * Info().zoom); }
  // Press at (x0, y0), move in small steps to (x1, y1), release.
  void Drag(int x0, int x1, int y0, bool shift = false, int y1 = -1) {
    if (y1 < 0) y1 = y0;
    WPARAM keys = MK_LBUTTON | (shift ? MK_SHIFT : 0);
    ::SendMessageA(ViewWindow(), WM_LBUTTONDOWN, keys, MAKELPARAM(x0, y0));
    const int steps = std::max(1, std::abs(x1 - x0) / 7);
    for (int i = 1; i <= steps; ++i)
      ::SendMessageA(ViewWindow(), WM_MOUSEMOVE, keys,
                     MAKELPARAM(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps));
    ::SendMessageA(ViewWindow(), WM_LBUTTONUP, shift ? MK_SHIFT : 0, MAKELPARAM(x1, y1));
    PumpPendingMessages(50);
  }
  void Key(UINT key, bool shift = false) {
    BYTE state[256];
    ::GetKeyboardState(state);
    state[VK_SHIFT] = shift ? 0x80 : 0;
    ::SetKeyboardState(state);
    ::SendMessageA(ViewWindow(), WM_KEYDOWN, key, 1);
    state[VK_SHIFT] = 0;
    ::SetKeyboardState(state);
  }
  int TrackMiddle(int index) {
    int y = 1;
    int i = 0;
    TrackListIterator it(Doc()->GetProject()->GetTracks());
    for (Track* t = it.First(); t; t = it.Next(), ++i) {
      if (i == index) return y + t->GetHeight() / 2;
      y += t->GetHeight();
    }
    return y;
  }

  CWinApp m_app{"Tarvel"};
  winetest::TempFolder m_folder{"waveview"};
  std::unique_ptr<CInstanceManager> m_instances;
  ScriptedDocManager* m_manager = nullptr;
  WaveTestFrame* m_frame = nullptr;
  EffectDialogs* m_previousDialogs = nullptr;
  std::string m_wavPath;
};

TEST_F(WaveformViewTest, OpenedStereoWavFillsTheViewWithTwoWaveformsAtThreeZoomLevels) {
  Open(m_wavPath);
  Audio shown = Shown();
  ASSERT_EQ(shown.channels, 2);
  EXPECT_NEAR(shown.seconds, kSeconds, 1e-6);
  EXPECT_NEAR(shown.peaks[0], 0.5, 0.01);
  EXPECT_NEAR(shown.peaks[1], 0.25, 0.01);
  EXPECT_EQ(Doc()->GetTitle().str(), "stereo take.wav");
  EXPECT_FALSE(Doc()->IsModified());

  RECT client;
  ::GetClientRect(ViewWindow(), &client);
  EXPECT_NEAR(Info().zoom, client.right / kSeconds, 1e-9) << "opening zooms to fit";
  EXPECT_EQ(Info().h, 0.0);

  const ColorSchemeOptions& scheme = GetColorScheme();
  const COLORREF wave = SchemeColor(scheme.WaveformForeground);
  const COLORREF background = SchemeColor(scheme.WaveformBackground);
  struct Level {
    UINT command;
    const char* name;
  } levels[] = {{ID_ZOOM_FIT, "fit"}, {ID_ZOOM_NORMAL, "normal"}, {ID_ZOOM_IN, "in"}};
  for (const Level& level : levels) {
    Command(level.command);
    if (level.command == ID_ZOOM_IN) Command(ID_ZOOM_IN);
    PumpPendingMessages();
    CapturedImage view = CaptureWindow(ViewWindow(), true);
    ASSERT_FALSE(view.Empty());
    // Each track's band shows the waveform over its background; the left band's
    // waveform reaches higher than the right one's (0.5 against 0.25).
    int height[2] = {};
    for (int band = 0; band < 2; ++band) {
      int mid = TrackMiddle(band);
      int waveRows = 0, backgroundPixels = 0;
      for (int y = 0; y < view.height; ++y) {
        if (std::abs(y - mid) > 60) continue;
        bool row = false;
        for (int x = 5; x < view.width - 5; x += 3) {
          if (view.At(x, y) == wave) row = true;
          if (view.At(x, y) == background) ++backgroundPixels;
        }
        waveRows += row;
      }
      height[band] = waveRows;
      EXPECT_GT(backgroundPixels, 0) << level.name << " band " << band;
    }
    EXPECT_GT(height[0], height[1] + 4) << level.name;
    CapturedImage whole = CaptureWindow(m_frame->m_hWnd, true);
    EXPECT_TRUE(SavePng(
        whole, std::string(TARVEL_TEST_BINARY_DIR "/screenshots/waveform-view-") + level.name + ".png"));
  }
}

TEST_F(WaveformViewTest, ZoomInOutAndFitKeepTheirRulesAndLimits) {
  Open(m_wavPath);
  RECT client;
  ::GetClientRect(ViewWindow(), &client);
  const double fit = client.right / kSeconds;
  EXPECT_NEAR(Info().zoom, fit, 1e-9);
  Command(ID_ZOOM_IN);
  EXPECT_NEAR(Info().zoom, 2 * fit, 1e-9);
  EXPECT_NEAR(Info().h, kSeconds / 4, 2 / Info().zoom) << "zooming in keeps the middle of the view";
  Command(ID_ZOOM_OUT);
  EXPECT_NEAR(Info().zoom, fit, 1e-9);
  EXPECT_EQ(Info().h, 0.0);
  Command(ID_ZOOM_NORMAL);
  EXPECT_EQ(Info().zoom, 86.1328125);
  Command(ID_ZOOM_OUT);
  EXPECT_EQ(Info().zoom, 86.1328125 / 2);
  Command(ID_ZOOM_FIT);
  EXPECT_NEAR(Info().zoom, fit, 1e-9);
  EXPECT_EQ(Info().h, 0.0);

  // At the limit the zoom stays where it is.
  EXPECT_TRUE(Wave().SetZoom(5000000.0));
  Command(ID_ZOOM_IN);
  EXPECT_EQ(Info().zoom, 5000000.0);

  // A forward notch of the shift wheel moves 50 pixels per line to the right;
  // without shift nothing moves.
  Command(ID_ZOOM_FIT);
  Command(ID_ZOOM_IN);
  Command(ID_ZOOM_IN);
  Wave().ScrollToTime(0);
  double h = Info().h;
  POINT screen{10, 10};
  ::ClientToScreen(ViewWindow(), &screen);
  ::SendMessageA(Wave().m_hWnd, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(screen.x, screen.y));
  EXPECT_EQ(Info().h, h);
  ::SendMessageA(Wave().m_hWnd, WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, 120), MAKELPARAM(screen.x, screen.y));
  EXPECT_NEAR(Info().h, h + GetMouseWheelScrollLines() * 50.0 / Info().zoom, 1.0 / Info().zoom);
}

TEST_F(WaveformViewTest, MouseAndKeysSelect) {
  Open(m_wavPath);
  const int y = TrackMiddle(0);
  Drag(X(0.5), X(1.5), y);
  EXPECT_NEAR(Info().t0, 0.5, 2 / Info().zoom);
  EXPECT_NEAR(Info().t1, 1.5, 2 / Info().zoom);
  EXPECT_TRUE(Enabled(ID_EDIT_CUT));

  // Dragging back over the anchor turns the selection round.
  Drag(X(1.0), X(0.25), y);
  EXPECT_NEAR(Info().t0, 0.25, 2 / Info().zoom);
  EXPECT_NEAR(Info().t1, 1.0, 2 / Info().zoom);
  // Shift extends the end nearer to the press.
  Drag(X(2.0), X(2.0), y, true);
  EXPECT_NEAR(Info().t0, 0.25, 2 / Info().zoom);
  EXPECT_NEAR(Info().t1, 2.0, 2 / Info().zoom);

  // Small moves near the press leave a cursor, not a tiny selection.
  Drag(X(1.0), X(1.0) + 3, y);
  EXPECT_EQ(Info().t0, Info().t1);
  EXPECT_FALSE(Enabled(ID_EDIT_CUT));

  // Keys: right moves the cursor one pixel, shift+right grows the selection, left
  // collapses it, and left at time 0 stays at 0.
  const double pixel = 1.0 / Info().zoom;
  double t = Info().t0;
  Key(VK_RIGHT);
  EXPECT_NEAR(Info().t0, t + pixel, 1e-9);
  Key(VK_RIGHT, true);
  Key(VK_RIGHT, true);
  EXPECT_NEAR(Info().t1 - Info().t0, 2 * pixel, 1e-9);
  Key(VK_LEFT);
  EXPECT_EQ(Info().t0, Info().t1);
  Key(VK_HOME);
  EXPECT_EQ(Info().t0, 0.0);
  Key(VK_LEFT);
  EXPECT_EQ(Info().t0, 0.0);
  EXPECT_EQ(Info().t1, 0.0);

  // Select All takes every track and the whole length.
  Command(ID_EDIT_SELECT_ALL);
  EXPECT_EQ(Info().t0, 0.0);
  EXPECT_NEAR(Info().t1, kSeconds, 1e-6);
}

TEST_F(WaveformViewTest, CutPasteUndoRedoThroughTheSharedClipboard) {
  Open(m_wavPath);
  Drag(X(1.0), X(2.0), TrackMiddle(0), false, TrackMiddle(1));  // down over both tracks
  const double cut = Info().t1 - Info().t0;
  ASSERT_NEAR(cut, 1.0, 3 / Info().zoom);
  Command(ID_EDIT_CUT);
  EXPECT_NEAR(Shown().seconds, kSeconds - cut, 1e-3);
  EXPECT_EQ(Info().t0, Info().t1);
  EXPECT_TRUE(Doc()->IsModified());
  EXPECT_EQ(m_instances->GetClipboardOwner(), 1u) << "the clipboard file is free and holds the cut";
  EXPECT_TRUE(Enabled(ID_EDIT_PASTE));

  Command(ID_EDIT_PASTE);
  EXPECT_NEAR(Shown().seconds, kSeconds, 1e-3);
  EXPECT_NEAR(Info().t1 - Info().t0, cut, 1e-3) << "the pasted audio is selected";
  Key(VK_RIGHT);  // the cursor after it
  Command(ID_EDIT_PASTE);
  EXPECT_NEAR(Shown().seconds, kSeconds + cut, 1e-3) << "a second paste reuses the clipboard tracks";

  Command(ID_EDIT_UNDO);
  Command(ID_EDIT_UNDO);
  EXPECT_NEAR(Shown().seconds, kSeconds - cut, 1e-3);
  Command(ID_EDIT_REDO);
  EXPECT_NEAR(Shown().seconds, kSeconds, 1e-3);
  EXPECT_TRUE(Enabled(ID_EDIT_REDO));
  Command(ID_EDIT_UNDO);
  Command(ID_EDIT_UNDO);
  EXPECT_NEAR(Shown().seconds, kSeconds, 1e-3) << "back to the file as opened";
  // Opening was one step from the empty project, too.
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(Shown().channels, 0);
  EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
  RecordedMessageBoxes boxes;
  Command(ID_EDIT_UNDO);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "Nothing to undo");
}

TEST_F(WaveformViewTest, ClipboardHeldByAnotherCopyIsNotWritten) {
  Open(m_wavPath);
  CInstanceManager other(InstanceName());
  ASSERT_TRUE(other.Startup(m_folder.UnixPath()));
  ASSERT_TRUE(other.TakeClipboardOwner());
  Drag(X(1.0), X(2.0), TrackMiddle(0));
  RecordedMessageBoxes boxes;
  Command(ID_EDIT_CUT);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "The clipboard data is being used!");
  EXPECT_NEAR(Shown().seconds, kSeconds, 1e-6) << "nothing was cut";
  EXPECT_EQ(m_instances->GetClipboardOwner(), 2u) << "still the other copy's";
  other.SetClipboardOwner(1);
}

TEST_F(WaveformViewTest, AmplifyThroughItsDialogHalvesTheSelection) {
  Open(m_wavPath);
  Command(ID_EDIT_SELECT_ALL);
  ASSERT_TRUE(Enabled(ID_EFFECT_AMPLIFY));
  DriveModal(
      "Amplify",
      [&](HWND dialog) {
        HWND slider = ::GetDlgItem(dialog, IDC_AMPLIFY_SLIDER);
        ::SendMessageA(slider, TBM_SETPOS, TRUE, 180);  // -6.0 dB
        ::SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 180),
                       reinterpret_cast<LPARAM>(slider));
        Press(dialog, IDOK);
      },
      [&] { Command(ID_EFFECT_AMPLIFY); });
  Audio shown = Shown();
  ASSERT_EQ(shown.channels, 2);
  EXPECT_NEAR(shown.peaks[0], 0.25, 0.01);
  EXPECT_NEAR(shown.peaks[1], 0.125, 0.01);
  EXPECT_TRUE(Doc()->IsModified());
  Command(ID_EDIT_UNDO);
  EXPECT_NEAR(Shown().peaks[0], 0.5, 0.01);
}

TEST_F(WaveformViewTest, SavesAsMp3OggAndWavAndOpensTheMp3Again) {
  Open(m_wavPath);
  struct Case {
    const char* name;
    double lengthTolerance;
  } cases[] = {{"copy.mp3", 0.1}, {"copy.ogg", 0.01}, {"copy.wav", 1e-6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Doc()->SetModifiedFlag(TRUE);
    SaveAs(m_folder.File(c.name));
    EXPECT_FALSE(Doc()->IsModified());
    EXPECT_EQ(Doc()->GetTitle().str(), c.name);
    Audio file = ReadBack(m_folder.UnixPath() + "/" + c.name);
    ASSERT_EQ(file.channels, 2);
    EXPECT_EQ(file.rate, kRate);
    EXPECT_NEAR(file.seconds, kSeconds, c.lengthTolerance);
    EXPECT_NEAR(file.peaks[0], 0.5, 0.05);
    EXPECT_NEAR(file.peaks[1], 0.25, 0.05);
  }

  Open(m_folder.File("copy.mp3"));
  Audio shown = Shown();
  ASSERT_EQ(shown.channels, 2);
  EXPECT_NEAR(shown.seconds, kSeconds, 0.1);
  EXPECT_EQ(Doc()->GetTitle().str(), "copy.mp3");
}

TEST_F(WaveformViewTest, FailedSaveKeepsTheDocumentModifiedAndFailedOpenLeavesItUntitled) {
  Open(m_wavPath);
  Command(ID_EDIT_SELECT_ALL);
  Command(ID_EDIT_DELETE);
  Command(ID_EDIT_UNDO);
  ASSERT_TRUE(Doc()->IsModified());
  {
    RecordedMessageBoxes boxes;
    SaveAs(m_folder.File("no such folder/x.wav"));
    EXPECT_TRUE(Doc()->IsModified()) << "the user is still offered to save";
    EXPECT_EQ(Doc()->GetPathName().str(), m_wavPath);
  }

  std::FILE* junk = std::fopen((m_folder.UnixPath() + "/broken.wav").c_str(), "wb");
  ASSERT_NE(junk, nullptr);
  std::fputs("RIFF\x10\0\0\0WAVEjunk that is no sound", junk);
  std::fclose(junk);
  RecordedMessageBoxes boxes;
  EXPECT_EQ(m_app.OpenDocumentFile(m_folder.File("broken.wav").c_str()), nullptr);
  EXPECT_FALSE(boxes.shown.empty()) << "the user is told";
  ASSERT_NE(Doc(), nullptr);
  EXPECT_TRUE(Doc()->GetPathName().IsEmpty()) << "no later Save goes over the file";
  EXPECT_EQ(Doc()->GetTitle().str(), "Untitled");
  EXPECT_TRUE(Doc()->GetProject()->GetTracks()->IsEmpty());
}

TEST_F(WaveformViewTest, RecordingModeMessageShowsTheInformationStripInTheView) {
  HWND strip = View()->GetInfoDisplay();
  ASSERT_TRUE(::IsWindow(strip));
  EXPECT_FALSE(::IsWindowVisible(strip)) << "editing mode at start";
  ::SendMessageA(ViewWindow(), WM_TVL_RECORDING_MODE, 1, 0);
  PumpPendingMessages();
  EXPECT_TRUE(::IsWindowVisible(strip));
  RECT r, view;
  ::GetWindowRect(strip, &r);
  ::GetWindowRect(ViewWindow(), &view);
  EXPECT_EQ(r.right - r.left, 440);
  EXPECT_EQ(r.bottom - r.top, 120);
  EXPECT_NEAR((r.left + r.right) / 2, (view.left + view.right) / 2, 2) << "centred in the view";
  CapturedImage image = CaptureWindow(strip, true);
  ASSERT_FALSE(image.Empty());
  EXPECT_EQ(image.At(6, image.height - 6), SchemeColor(GetColorScheme().WaveformBackground));
  int text = 0;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      text += image.At(x, y) == SchemeColor(GetColorScheme().WaveformForeground);
  EXPECT_GT(text, 100) << "its lines are written";
  EXPECT_TRUE(SavePng(CaptureWindow(m_frame->m_hWnd, true),
                      TARVEL_TEST_BINARY_DIR "/screenshots/recording-strip.png"));
  ::SendMessageA(ViewWindow(), WM_TVL_RECORDING_MODE, 0, 0);
  EXPECT_FALSE(::IsWindowVisible(strip));
}

TEST_F(WaveformViewTest, ChannelSelectionTrimSilenceAndSaveSelectionWorkOnTheChosenAudio) {
  Open(m_wavPath);
  Command(ID_EDIT_SELECT_ALL);
  struct State : CCmdUI {
    BOOL enabled = TRUE;
    int check = -1;
    void Enable(BOOL on) override { enabled = on; }
    void SetCheck(int c) override { check = c; }
  };
  auto checked = [&](UINT id) {
    State s;
    m_frame->OnCmdMsg(id, static_cast<int>(CN_UPDATE_COMMAND_UI), &s);
    return s.check;
  };
  EXPECT_EQ(checked(ID_CHANNEL_BOTH), 1);
  Command(ID_CHANNEL_LEFT);
  EXPECT_EQ(checked(ID_CHANNEL_LEFT), 1);
  EXPECT_EQ(checked(ID_CHANNEL_BOTH), 0);

  // Silence on the left channel only.
  Drag(X(1.0), X(2.0), TrackMiddle(0), false, TrackMiddle(1));
  const double t0 = Info().t0, t1 = Info().t1;
  Command(ID_CHANNEL_LEFT);
  Command(ID_EDIT_SILENCE);
  auto tracks = Doc()->GetProject()->GetTracks()->GetWaveTrackArray(false);
  ASSERT_EQ(tracks.size(), 2u);
  float min = 0, max = 0;
  tracks[0]->GetMinMax(&min, &max, t0 + 0.01, t1 - 0.01);
  EXPECT_EQ(max, 0.0f) << "left silenced";
  tracks[1]->GetMinMax(&min, &max, t0 + 0.01, t1 - 0.01);
  EXPECT_NEAR(max, 0.25f, 0.01f) << "right untouched";

  // Save Selection writes the selected, included channel over the selection: the
  // silenced stretch of the left channel, without the right one's sound.
  m_manager->m_answer = m_folder.File("selection.wav").c_str();
  Command(ID_FILE_SAVE_SELECTION);
  Audio part = ReadBack(m_folder.UnixPath() + "/selection.wav");
  ASSERT_GE(part.channels, 1);
  EXPECT_NEAR(part.seconds, t1 - t0, 1e-3);
  for (float peak : part.peaks) EXPECT_LT(peak, 0.01f);

  // Trim keeps the selection of both channels and moves it to time 0.
  Command(ID_CHANNEL_BOTH);
  Command(ID_EDIT_TRIM);
  EXPECT_NEAR(Shown().seconds, t1 - t0, 1e-3);
  EXPECT_EQ(Info().t0, 0.0);
  EXPECT_EQ(Info().t1, 0.0);
  UndoManager* undo = Doc()->GetProject()->GetUndoManager();
  EXPECT_EQ(undo->GetDescription(undo->GetCurrentStateNumber()), "Trim");
}

TEST_F(WaveformViewTest, InsertSilenceIntoAnEmptyProjectMakesASelectedTrack) {
  ASSERT_EQ(Shown().channels, 0);
  EXPECT_FALSE(Enabled(ID_EFFECT_INSERT_SILENCE)) << "needs tracks";
  RecordedMessageBoxes boxes;
  Command(ID_EFFECT_AMPLIFY);
  EXPECT_EQ(Shown().channels, 0);
  // The command itself, as a menu would send it when enabled, on a new project.
  DriveModal(
      "Insert Silence",
      [&](HWND dialog) {
        SetItemText(dialog, IDC_SILENCE_DURATION, "2");
        Press(dialog, IDOK);
      },
      [&] { Doc()->RunEffect(Effect::GeneratorEffectFlags, "Silence"); });
  Audio shown = Shown();
  ASSERT_EQ(shown.channels, 1);
  EXPECT_NEAR(shown.seconds, 2.0, 1e-3);
  EXPECT_EQ(shown.peaks[0], 0.0f);
}

TEST_F(WaveformViewTest, RightClickOffersTheContextMenuAtThePointer) {
  std::vector<UINT> ids;
  POINT where{};
  CTVLView::SetContextMenuHandler([&](CTVLView* view, HMENU popup, CPoint point) {
    EXPECT_EQ(view, View());
    where = point;
    for (int i = 0; i < ::GetMenuItemCount(popup); ++i) {
      if (HMENU sub = ::GetSubMenu(popup, i)) {
        for (int j = 0; j < ::GetMenuItemCount(sub); ++j) ids.push_back(::GetMenuItemID(sub, j));
      } else if (UINT id = ::GetMenuItemID(popup, i)) {
        ids.push_back(id);
      }
    }
  });
  POINT screen{100, 60};
  ::ClientToScreen(ViewWindow(), &screen);
  ::SendMessageA(ViewWindow(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(ViewWindow()),
                 MAKELPARAM(screen.x, screen.y));
  CTVLView::SetContextMenuHandler(nullptr);
  EXPECT_EQ(where.x, screen.x);
  EXPECT_EQ(where.y, screen.y);
  const std::vector<UINT> expected = {
      ID_EDIT_UNDO,           ID_EDIT_REDO,          ID_EDIT_CUT,           ID_EDIT_COPY,
      ID_EDIT_PASTE,          ID_EDIT_DELETE,        ID_EDIT_LOCATE_SELECT, ID_CURSOR_TO_TRACK_START,
      ID_CURSOR_TO_TRACK_END, ID_CHANNEL_LEFT,       ID_CHANNEL_RIGHT,      ID_CHANNEL_BOTH,
      ID_VIEW_OPTIONS,        ID_VIEW_RECORD_WIZARD, ID_SCHEDULE_SETTING,   ID_VIEW_REFRESH};
  EXPECT_EQ(ids, expected);
}

TEST_F(WaveformViewTest, DoubleClickSelectsTheVisibleRangeAndSpectrumModeColoursTheBands) {
  Open(m_wavPath);
  Command(ID_ZOOM_FIT);
  Command(ID_ZOOM_IN);
  ::SendMessageA(ViewWindow(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(50, TrackMiddle(0)));
  EXPECT_EQ(Info().t0, Info().h);
  EXPECT_NEAR(Info().t1, Info().h + Info().screen, 1e-9);

  Command(ID_ZOOM_FIT);
  for (WaveTrack* t : Doc()->GetProject()->GetTracks()->GetWaveTrackArray(false)) t->SetDisplay(2);
  Wave().RedrawAll(TRUE);
  PumpPendingMessages();
  CapturedImage view = CaptureWindow(ViewWindow(), true);
  ASSERT_FALSE(view.Empty());
  // The 440 Hz tone lights a band near the bottom of the left track; the rest of its
  // band is the gradient's quiet grey-blue, never the waveform colour.
  const COLORREF wave = SchemeColor(GetColorScheme().WaveformForeground);
  int top = 1, height = Doc()->GetProject()->GetTracks()->GetWaveTrackArray(false)[0]->GetHeight();
  int bright = 0, waveform = 0;
  for (int y = top + 3; y < top + height - 2; ++y) {
    COLORREF c = view.At(20, y);  // left of the selection
    if (c == wave) ++waveform;
    if (GetRValue(c) > 200 && GetGValue(c) < 120) ++bright;  // red-magenta end of the gradient
  }
  EXPECT_EQ(waveform, 0);
  EXPECT_GT(bright, 0);
  EXPECT_TRUE(
      SavePng(CaptureWindow(m_frame->m_hWnd, true), TARVEL_TEST_BINARY_DIR "/screenshots/spectrum-view.png"));
}

TEST_F(WaveformViewTest, OpenDialogOpensTheChosenFile) {
  m_manager->m_answer.Empty();
  DriveModal(
      "Open",
      [&](HWND dialog) {
        HWND name = ::GetDlgItem(dialog, 1148);
        if (!name) name = ::GetDlgItem(dialog, 1152);
        ASSERT_NE(name, nullptr);
        ::SetWindowTextA(name, m_wavPath.c_str());
        Press(dialog, IDOK);
      },
      [&] { m_app.OnFileOpen(); });
  PumpPendingMessages();
  ASSERT_NE(Doc(), nullptr);
  EXPECT_EQ(Doc()->GetPathName().str(), m_wavPath);
  EXPECT_EQ(Shown().channels, 2);
}

TEST_F(WaveformViewTest, PlaybackIsFollowedAndItsEndPostsStopToTheControlPanel) {
  AudioRigForView rig;
  ASSERT_TRUE(rig.Ok());
  CreateAudioIO();
  ASSERT_NE(gAudioIO, nullptr);
  Open(m_wavPath);
  Command(ID_ZOOM_FIT);
  Command(ID_ZOOM_IN);
  Command(ID_ZOOM_IN);  // a quarter of the file on screen
  Wave().ScrollToTime(0);
  ASSERT_LT(Info().screen, kSeconds / 2);

  PanelStandIn panel;
  ASSERT_TRUE(panel.CreateEx(0, AfxRegisterWndClass(0), "Panel", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  HWND stopButton = reinterpret_cast<HWND>(0x1234);
  SetControlPanelStop(panel.m_hWnd, stopButton);

  Project* project = Doc()->GetProject();
  int token = gAudioIO->StartStream(project->GetTracks()->GetWaveTrackArray(false), {}, nullptr, kRate, 0.0,
                                    kSeconds, 0);
  ASSERT_GT(token, 0);
  project->SetStreamToken(token);
  EXPECT_FALSE(Enabled(ID_EDIT_CUT)) << "edits wait while the project plays";

  // The main frame's 50 ms refresh tick, until the stop arrives or too long.
  double furthest = 0;
  int ticks = 0;
  const DWORD start = ::GetTickCount();
  while (panel.m_stops == 0 && ::GetTickCount() - start < 10000) {
    Wave().OnRefreshTick(50);
    PumpPendingMessages(50);
    furthest = std::max(furthest, Info().h);
    ++ticks;
  }
  EXPECT_EQ(panel.m_stops, 1) << "after " << ticks << " ticks";
  EXPECT_EQ(panel.m_stopButton, reinterpret_cast<LPARAM>(stopButton));
  EXPECT_GE(furthest, kSeconds / 2) << "the view scrolled along with the play position";

  gAudioIO->StopStream();
  Wave().OnRefreshTick(50);
  EXPECT_EQ(project->GetStreamToken(), 0) << "the stream's token is let go";
  EXPECT_TRUE(Enabled(ID_EDIT_SELECT_ALL));
  SetControlPanelStop(nullptr, nullptr);
  ::DestroyWindow(panel.m_hWnd);
  DestroyAudioIO();
}

TEST_F(WaveformViewTest, RecordingGrowsTheViewAndItsStopRecordsAnUndoState) {
  AudioRigForView rig;
  ASSERT_TRUE(rig.Ok());
  CreateAudioIO();
  ASSERT_NE(gAudioIO, nullptr);
  Project* project = Doc()->GetProject();
  ASSERT_TRUE(project->Record());
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < 2500) {  // past the 40th tick, when the scroll bars follow
    Wave().OnRefreshTick(50);
    PumpPendingMessages(50);
  }
  EXPECT_GT(Info().total, Info().screen * 0.5) << "the scroll range runs half a screen past the recorded end";
  project->Stop();  // as the control panel's Stop does
  Wave().OnRefreshTick(50);
  EXPECT_EQ(project->GetStreamToken(), 0);
  Audio shown = Shown();
  ASSERT_EQ(shown.channels, 2);
  EXPECT_GT(shown.seconds, 1.0);
  UndoManager* undo = project->GetUndoManager();
  EXPECT_EQ(undo->GetDescription(undo->GetCurrentStateNumber()), "Record");
  EXPECT_TRUE(Enabled(ID_EDIT_UNDO));
  DestroyAudioIO();
}

}  // namespace
