// The document and the waveform view in a plain test frame: a stereo WAV and an MP3
// opened into the document show their waveforms; the mouse and the keys select; zoom
// in, out and to fit; cut, paste, undo and redo; Amplify through its dialog; saving
// as MP3, Ogg Vorbis and WAV and reading the files back; files that cannot be opened
// or saved; the clipboard held by another running copy.
#include "support/wine/AudioRigForWine.h"
#include "support/wine/GTestWin.h"

#include "app/view/DCStateGuard.h"
#include "app/view/DocManagerEx.h"
#include "app/view/ShellServices.h"
#include "app/view/TVLDoc.h"
#include "app/view/TVLView.h"
#include "app/view/TrackArtist.h"
#include "app/view/ViewInfo.h"
#include "app/view/WaveFrame.h"
#include "platform/seams/win32/Win32SettingsPlatform.h"
#include "audiofiles/dialogs/WindowEffectDialogs.h"
#include "resources/resource.h"
#include "support/wine/DialogTestSupport.h"
#include "support/wine/SoundFiles.h"
#include "support/wine/TempFolder.h"
#include "support/wine/Wait.h"
#include "support/wine/WindowCapture.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/frames/TKPrintPreviewView.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>
#include <fcntl.h>
#include <unistd.h>
#include <fstream>
#include <iterator>
#include "app/settings/FileEncodeOptions.h"
#include "audiofiles/effects/Effect.h"
#include "audiofiles/export/ExportEncodeOptions.h"
#include "audiofiles/effects/EffectRegistry.h"
#include "core/engine/AudioIO.h"
#include "core/instances/InstanceManager.h"
#include "core/model/DirManager.h"
#include "core/model/Envelope.h"
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
    // Block files go to this copy's own folder, as in the program: names are unique only
    // within a process, so a folder shared with another test would mix their blocks.
    ASSERT_TRUE(DirManager::SetTempDir(m_instances->GetInstanceDir().c_str()));
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
    ASSERT_TRUE(winetest::WriteTwoToneWav(m_folder.UnixPath() + "/stereo take.wav", static_cast<int>(kRate),
                                          kSeconds));
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
  // A file the system does not let the program make: the box names it as the user
  // typed it, says why, and warns.
  struct Refused {
    const char* path;
    const char* says;
  } refused[] = {
      {"Z:\\sys\\take.wav", "Cannot export audio to Z:\\sys\\take.wav\n\nPermission denied."},
      {"Z:\\sys\\take.mp3", "Unable to open target file for writing Z:\\sys\\take.mp3\n\nPermission denied."},
      {"Z:\\sys\\take.ogg", "Unable to open target file for writing Z:\\sys\\take.ogg\n\nPermission denied."},
  };
  seams::Win32SettingsPlatform platform;  // the program's view of paths
  settings::SettingsPlatform* previous = settings::SetSettingsPlatform(&platform);
  for (const Refused& c : refused) {
    RecordedMessageBoxes boxes;
    SaveAs(c.path);
    ASSERT_EQ(boxes.shown.size(), 1u) << c.path;
    EXPECT_EQ(boxes.shown[0].text, c.says);
    EXPECT_EQ(boxes.shown[0].flags & MB_ICONMASK, static_cast<unsigned>(MB_ICONEXCLAMATION));
    EXPECT_TRUE(Doc()->IsModified());
  }
  settings::SetSettingsPlatform(previous);

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
  EXPECT_GE(r.right - r.left, 440);
  EXPECT_EQ(r.bottom - r.top, 120);
  EXPECT_NEAR((r.left + r.right) / 2, (view.left + view.right) / 2, 2) << "centred in the view";
  // Its lines are not cut on the right, also for a long take at a high rate, in the
  // strip's own font.
  HFONT font = ::CreateFontA(18, 0, 0, 0, 500, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS Sans Serif");
  HDC dc = ::GetDC(strip);
  HGDIOBJ oldFont = ::SelectObject(dc, font);
  for (const char* line : {"Time: 10:00:00    |    File Size: 6201562 KiloBytes    |    Encode: WAV",
                           "Input: 48000 Hz  Stereo    |    Output: 48000 Hz  Stereo"}) {
    SIZE size{};
    ::GetTextExtentPoint32A(dc, line, static_cast<int>(std::strlen(line)), &size);
    EXPECT_LE(size.cx + 2 * CRecordInfoWnd::kTextInset, r.right - r.left) << line;
  }
  ::SelectObject(dc, oldFont);
  ::ReleaseDC(strip, dc);
  ::DeleteObject(font);
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

// Pointer input as the user gives it (through the window system), each step
// followed by the messages it brings.
void SendPointer(DWORD flags, POINT screen = {0, 0}) {
  const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_MOVE) {
    in.mi.dx = (screen.x * 65536 + w - 1) / w;
    in.mi.dy = (screen.y * 65536 + h - 1) / h;
    in.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE;
  }
  ::SendInput(1, &in, sizeof in);
}

void ClickAt(POINT screen, bool right) {
  SendPointer(MOUSEEVENTF_MOVE, screen);
  PumpPendingMessages(120);
  SendPointer(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
  PumpPendingMessages(60);
  SendPointer(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
  PumpPendingMessages(200);
}

CTKPopupMenu* ShownPopup() {
  CTKPopupMenu* popup = CTKPopupMenu::GetActiveMenu();
  return popup && popup->m_hWnd && ::IsWindowVisible(popup->m_hWnd) ? popup : nullptr;
}

TEST_F(WaveformViewTest, RightClickShowsTheToolkitMenuWhoseChoiceEditsTheSelection) {
  Open(m_wavPath);
  Drag(X(1.0), X(2.0), TrackMiddle(0), false, TrackMiddle(1));
  const double cut = Info().t1 - Info().t0;
  ASSERT_NEAR(cut, 1.0, 3 / Info().zoom);
  ::SetForegroundWindow(m_frame->m_hWnd);
  PumpPendingMessages(50);

  POINT where{X(1.5), TrackMiddle(0)};
  ::ClientToScreen(ViewWindow(), &where);
  ClickAt(where, true);
  CTKPopupMenu* popup = ShownPopup();
  ASSERT_NE(popup, nullptr) << "the right click shows the toolkit's popup menu";
  CRect rect;
  popup->GetWindowRect(&rect);
  EXPECT_EQ(rect.TopLeft(), CPoint(where.x, where.y)) << "at the pointer";
  std::vector<UINT> ids;
  for (int i = 0; i < popup->GetMenuItemCount(); ++i)
    if (!popup->GetMenuItem(i)->IsSeparator()) ids.push_back(popup->GetMenuItem(i)->m_nID);
  EXPECT_EQ(ids.size(), 12u) << "ten commands and two sub-menus";
  EXPECT_EQ(ids.front(), static_cast<UINT>(ID_EDIT_UNDO));
  EXPECT_EQ(ids.back(), static_cast<UINT>(ID_VIEW_REFRESH));
  CapturedImage screen = CaptureWindow(::GetDesktopWindow(), true);
  EXPECT_TRUE(SavePng(screen, TARVEL_TEST_BINARY_DIR "/screenshots/waveform-view-context-menu.png"));

  // Choosing Cut takes the selection out, as the menu bar's Cut would.
  int cutIndex = -1;
  for (int i = 0; i < popup->GetMenuItemCount(); ++i)
    if (popup->GetMenuItem(i)->m_nID == ID_EDIT_CUT) cutIndex = i;
  ASSERT_GE(cutIndex, 0);
  POINT item = popup->GetMenuItem(cutIndex)->m_rect.CenterPoint();
  ::ClientToScreen(popup->GetMenuBar()->m_hWnd, &item);
  ClickAt(item, false);
  PumpPendingMessages(100);
  EXPECT_EQ(ShownPopup(), nullptr);
  EXPECT_NEAR(Shown().seconds, kSeconds - cut, 1e-3);
  EXPECT_EQ(Info().t0, Info().t1);
  EXPECT_TRUE(Enabled(ID_EDIT_UNDO));
  Command(ID_EDIT_UNDO);
  EXPECT_NEAR(Shown().seconds, kSeconds, 1e-3) << "the cut is one undo step";

  // From the keyboard (no pointer position) the menu opens just inside the view.
  ::SendMessageA(ViewWindow(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(ViewWindow()), MAKELPARAM(-1, -1));
  PumpPendingMessages(100);
  popup = ShownPopup();
  ASSERT_NE(popup, nullptr);
  POINT origin{5, 5};
  ::ClientToScreen(ViewWindow(), &origin);
  popup->GetWindowRect(&rect);
  EXPECT_EQ(rect.TopLeft(), CPoint(origin.x, origin.y));
  popup->DestroyWindow();
  PumpPendingMessages(50);
  CTKPopupMenu::DeleteClosedMenus();
}

// Print preview shows the waveform as the view shows it on the page, and closing it
// brings the view back with its document unchanged.
TEST_F(WaveformViewTest, PrintPreviewShowsTheWaveformOnThePageAndClosesBackToTheView) {
  Open(m_wavPath);
  CView* view = m_frame->GetActiveView();
  Command(ID_FILE_PRINT_PREVIEW);
  PumpPendingMessages(200);
  auto* preview = dynamic_cast<CTKPrintPreviewView*>(m_frame->GetActiveView());
  ASSERT_NE(preview, nullptr) << "the preview takes the view's place";
  EXPECT_FALSE(::IsWindowVisible(view->m_hWnd));
  ::RedrawWindow(preview->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  CapturedImage image = CaptureWindow(preview->m_hWnd, true);
  ASSERT_FALSE(image.Empty());
  EXPECT_TRUE(SavePng(image, TARVEL_TEST_BINARY_DIR "/screenshots/waveform-print-preview.png"));
  // The page is white but for what the view drew into it.
  const CRect page = preview->PageRect(0);
  const COLORREF waveColour = SchemeColor(GetColorScheme().WaveformForeground);
  int wavePixels = 0, drawnPixels = 0;
  for (int y = page.top + 2; y < page.bottom - 2 && y < image.height; ++y)
    for (int x = page.left + 2; x < page.right - 2 && x < image.width; ++x)
      if (image.At(x, y) == waveColour)
        ++wavePixels;
      else if (image.At(x, y) != RGB(255, 255, 255))
        ++drawnPixels;
  EXPECT_GT(wavePixels, 20) << "the waveform is on the page";
  EXPECT_GT(drawnPixels, 200) << "and the view's background around it";
  // The picture fills the page's width inside its margins, at the top, framed.
  RECT drawn{page.right, page.bottom, page.left, page.top};
  for (int y = page.top + 2; y < page.bottom - 2 && y < image.height; ++y)
    for (int x = page.left + 2; x < page.right - 2 && x < image.width; ++x)
      if (image.At(x, y) != RGB(255, 255, 255)) {
        drawn.left = std::min<LONG>(drawn.left, x);
        drawn.right = std::max<LONG>(drawn.right, x + 1);
        drawn.top = std::min<LONG>(drawn.top, y);
        drawn.bottom = std::max<LONG>(drawn.bottom, y + 1);
      }
  const int margin = page.Width() / 17;  // half an inch of an A4 page, less a little
  EXPECT_GE(drawn.left - page.left, margin) << "a margin on the left";
  EXPECT_GE(page.right - drawn.right, margin) << "and on the right";
  EXPECT_GE(drawn.top - page.top, margin) << "and at the top";
  EXPECT_GT(drawn.right - drawn.left, page.Width() * 3 / 4) << "scaled to the page";
  const CRect expected = CTVLView::PrintedRect(CSize(2480, 3508), CSize(300, 300), CSize(800, 300));
  EXPECT_EQ(expected, CRect(150, 150, 2330, 967));

  // This machine has no printer: Print says so and prints nothing.
  {
    RecordedMessageBoxes boxes;
    preview->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_PRINT);
    PumpPendingMessages(100);
    ASSERT_EQ(boxes.shown.size(), 1u) << "Print tells the user";
    EXPECT_NE(boxes.shown[0].text.find("No printer"), std::string::npos) << boxes.shown[0].text;
    EXPECT_EQ(boxes.shown[0].flags & MB_ICONMASK, static_cast<unsigned>(MB_ICONINFORMATION));
  }
  EXPECT_EQ(m_frame->GetActiveView(), view) << "Print left the preview";
  EXPECT_TRUE(::IsWindowVisible(view->m_hWnd));
  EXPECT_NEAR(Shown().seconds, kSeconds, 1e-3);
}

// The first visible window with the control id among a dialog's descendants (the
// encoding panels share ids; only the shown one counts).
struct ControlSearch {
  int id;
  HWND found;
};

BOOL CALLBACK FindVisibleControl(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<ControlSearch*>(lParam);
  if (::GetDlgCtrlID(hwnd) == search->id && ::IsWindowVisible(hwnd)) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND VisibleControl(HWND dialog, int id) {
  ControlSearch search{id, nullptr};
  ::EnumChildWindows(dialog, FindVisibleControl, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Which encoding panel the save dialog shows, by a control only that panel has.
std::string ShownPanel(HWND dialog) {
  if (VisibleControl(dialog, IDC_WAV_CONTAINER)) return "wav";
  if (VisibleControl(dialog, IDC_MP3_VERSION)) return "mp3";
  if (VisibleControl(dialog, IDC_OGG_MODE)) return "ogg";
  return "none";
}

// Picks the entry with this text in a panel's list, as a click in the list does.
bool Choose(HWND dialog, int id, const char* text) {
  HWND combo = VisibleControl(dialog, id);
  if (!combo) return false;
  const LRESULT index =
      ::SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
  if (index == CB_ERR) return false;
  ::SendMessageA(combo, CB_SETCURSEL, index, 0);
  ::SendMessageA(::GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
  return true;
}

std::vector<unsigned char> FileBytes(const std::string& unixPath) {
  std::ifstream in(unixPath, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What the frames of an MP3 file say: MPEG version (1, 2 or 25 for 2.5), rate,
// channels and the bit rate of the frames after the first (which may be an
// information frame).
struct Mp3Frames {
  int version = 0, rate = 0, channels = 0, kbps = 0, frames = 0;
};

Mp3Frames ReadMp3Frames(const std::string& unixPath) {
  static const int kKbpsI[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
  static const int kKbpsII[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
  static const int kRates[3][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};
  const std::vector<unsigned char> b = FileBytes(unixPath);
  Mp3Frames info;
  size_t at = 0;
  if (b.size() > 10 && b[0] == 'I' && b[1] == 'D' && b[2] == '3')
    at = 10 + ((b[6] & 0x7F) << 21 | (b[7] & 0x7F) << 14 | (b[8] & 0x7F) << 7 | (b[9] & 0x7F));
  while (at + 4 <= b.size() && info.frames < 20) {
    if (b[at] != 0xFF || (b[at + 1] & 0xE0) != 0xE0) {
      ++at;
      continue;
    }
    const int versionBits = (b[at + 1] >> 3) & 3;
    const int row = versionBits == 3 ? 0 : versionBits == 2 ? 1 : 2;
    const int kbps = (row == 0 ? kKbpsI : kKbpsII)[b[at + 2] >> 4];
    const int rateIndex = (b[at + 2] >> 2) & 3;
    if (versionBits == 1 || ((b[at + 1] >> 1) & 3) != 1 || kbps == 0 || rateIndex == 3) {
      ++at;
      continue;
    }
    info.version = row == 0 ? 1 : row == 1 ? 2 : 25;
    info.rate = kRates[row][rateIndex];
    info.channels = (b[at + 3] >> 6) == 3 ? 1 : 2;
    if (info.frames > 0) info.kbps = kbps;
    ++info.frames;
    const int padding = (b[at + 2] >> 1) & 1;
    at += (row == 0 ? 144 : 72) * kbps * 1000 / info.rate + padding;
  }
  return info;
}

// The identification header of an Ogg Vorbis file: channels, rate, nominal bit rate.
struct VorbisHeader {
  int channels = 0, rate = 0, nominal = 0;
};

VorbisHeader ReadVorbisHeader(const std::string& unixPath) {
  const std::vector<unsigned char> b = FileBytes(unixPath);
  static const unsigned char kTag[] = {1, 'v', 'o', 'r', 'b', 'i', 's'};
  auto it = std::search(b.begin(), b.end(), std::begin(kTag), std::end(kTag));
  VorbisHeader header;
  if (it == b.end() || b.end() - it < 7 + 4 + 1 + 4 + 4 + 4) return header;
  const unsigned char* p = &*it + 7 + 4;
  auto u32 = [](const unsigned char* q) { return q[0] | q[1] << 8 | q[2] << 16 | q[3] << 24; };
  header.channels = p[0];
  header.rate = u32(p + 1);
  header.nominal = u32(p + 9);
  return header;
}

TEST_F(WaveformViewTest, SaveDialogShowsThePanelOfTheChosenTypeAndItsChoicesReachTheFile) {
  Open(m_wavPath);
  RecordedMessageBoxes boxes;
  struct Choice {
    int id;
    const char* text;  // null: click the button
  };
  struct Case {
    const char* file;
    int type;  // 0-based in the type list
    const char* panel;
    std::vector<Choice> choices;
    int channels, rate, kbps;
  } cases[] = {
      {"low.mp3",
       1,
       "mp3",
       {{IDC_MP3_MODE, "CBR"},
        {IDC_MP3_VERSION, "MPEG II"},
        {IDC_MP3_RATE, "22050 Hz"},
        {IDC_MP3_BITRATE, "64 kbps"},
        {IDC_MP3_CHANNEL, "Mono"}},
       1,
       22050,
       64},
      {"small.ogg",
       0,
       "ogg",
       {{IDC_OGG_MODE, "ABR"},
        {IDC_OGG_RATE, "32000 Hz"},
        {IDC_OGG_CHANNEL, "Mono"},
        {IDC_OGG_BITRATE, "48 kbps"}},
       1,
       32000,
       48},
      {"narrow.au", 4, "wav", {{IDC_WAV_RATE, "22050 Hz"}, {IDC_WAV_MONO, nullptr}}, 1, 22050, 0},
      {"wide.wav", 2, "wav", {{IDC_WAV_RATE, "11025 Hz"}, {IDC_WAV_STEREO, nullptr}}, 2, 11025, 0},
  };
  std::string lastPanel = "wav";  // the opened file's
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    m_manager->m_answer.Empty();
    std::string panelFirst, panelChosen, container;
    DriveModal(
        "Save As",
        [&](HWND dialog) {
          panelFirst = ShownPanel(dialog);
          HWND types = ::GetDlgItem(dialog, 1136);
          ::SendMessageA(types, CB_SETCURSEL, c.type, 0);
          ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1136, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(types));
          ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1136, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
          panelChosen = ShownPanel(dialog);
          // The panel lies wholly inside the dialog's own part.
          if (HWND field = VisibleControl(dialog, IDC_MP3_RATE)) {
            HWND panel = ::GetParent(field);
            RECT panelRect, hostRect;
            ::GetWindowRect(panel, &panelRect);
            ::GetClientRect(::GetParent(panel), &hostRect);
            ::MapWindowPoints(::GetParent(panel), nullptr, reinterpret_cast<POINT*>(&hostRect), 2);
            EXPECT_GE(panelRect.top, hostRect.top);
            EXPECT_LE(panelRect.bottom, hostRect.bottom) << "the panel is not cut off";
            EXPECT_LE(panelRect.right, hostRect.right);
          }
          if (c.type == 1) {
            PumpPendingMessages(100);
            EXPECT_TRUE(SavePng(CaptureWindow(dialog, false),
                                TARVEL_TEST_BINARY_DIR "/screenshots/save-dialog-mp3-panel.png"));
          }
          if (HWND list = VisibleControl(dialog, IDC_WAV_CONTAINER)) {
            char text[128] = {};
            ::GetWindowTextA(list, text, sizeof text);
            container = text;
          }
          for (const Choice& choice : c.choices) {
            if (choice.text) {
              EXPECT_TRUE(Choose(dialog, choice.id, choice.text)) << choice.text;
            } else if (HWND button = VisibleControl(dialog, choice.id)) {
              ::SendMessageA(button, BM_CLICK, 0, 0);
            } else {
              ADD_FAILURE() << "no button " << choice.id;
            }
          }
          HWND edit = ::GetDlgItem(dialog, 1148);
          if (!edit) edit = ::GetDlgItem(dialog, 1152);
          ::SetWindowTextA(edit, m_folder.File(c.file).c_str());
          Press(dialog, IDOK);
        },
        [&] { Command(ID_FILE_SAVE_AS); });
    EXPECT_EQ(panelFirst, lastPanel) << "the type of the document's name at first";
    lastPanel = c.panel;
    EXPECT_EQ(panelChosen, c.panel);
    const std::string path = m_folder.UnixPath() + "/" + c.file;
    if (c.type >= 2)
      EXPECT_EQ(container, CDocManagerEx::SaveFilters()[c.type].name) << "the type's container";
    if (std::string(c.panel) == "mp3") {
      Mp3Frames frames = ReadMp3Frames(path);
      ASSERT_GT(frames.frames, 2);
      EXPECT_EQ(frames.version, 2);
      EXPECT_EQ(frames.rate, c.rate);
      EXPECT_EQ(frames.channels, c.channels);
      EXPECT_EQ(frames.kbps, c.kbps);
    } else if (std::string(c.panel) == "ogg") {
      VorbisHeader header = ReadVorbisHeader(path);
      EXPECT_EQ(header.channels, c.channels);
      EXPECT_EQ(header.rate, c.rate);
      EXPECT_EQ(header.nominal, c.kbps * 1000);
    } else {
      const std::vector<unsigned char> bytes = FileBytes(path);
      ASSERT_GT(bytes.size(), 4u);
      EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), c.type == 4 ? ".snd" : "RIFF");
    }
    Audio back = ReadBack(path);
    EXPECT_EQ(back.channels, c.channels);
    EXPECT_EQ(back.rate, c.rate);
    EXPECT_NEAR(back.seconds, kSeconds, 0.1);
  }
  EXPECT_TRUE(boxes.shown.empty()) << (boxes.shown.empty() ? "" : boxes.shown[0].text);

  // Choices made in a dialog that is then cancelled reach nothing.
  const FileEncodeOptions before = *GetExportEncodeOptions();
  ASSERT_EQ(before.MP3BitRate, 64);
  DriveModal(
      "Save As",
      [&](HWND dialog) {
        HWND types = ::GetDlgItem(dialog, 1136);
        ::SendMessageA(types, CB_SETCURSEL, 1, 0);
        ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1136, CBN_SELCHANGE), reinterpret_cast<LPARAM>(types));
        ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1136, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
        EXPECT_TRUE(Choose(dialog, IDC_MP3_BITRATE, "32 kbps"));
        EXPECT_TRUE(Choose(dialog, IDC_MP3_CHANNEL, "Stereo"));
        Press(dialog, IDCANCEL);
      },
      [&] { Command(ID_FILE_SAVE_AS); });
  EXPECT_EQ(GetExportEncodeOptions()->MP3BitRate, before.MP3BitRate);
  EXPECT_EQ(GetExportEncodeOptions()->MP3ChannelMode, before.MP3ChannelMode);
  EXPECT_EQ(Doc()->GetTitle().str(), "wide.wav");
}

// The painter's picture of the opened tracks, drawn into a memory image of the given
// size with or without the volume envelope; given an earlier picture and columns, only
// those columns painted over it.
CapturedImage PaintTracks(TrackList* tracks, const ViewInfo& info, int width, int height, bool envelope,
                          const CapturedImage* under = nullptr, int fromColumn = 0, int toColumn = 0) {
  void* bits = nullptr;
  HDC dc = ::CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateOffscreenBitmap(width, height, &bits);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  RECT all{0, 0, width, height};
  RECT clip = all;
  if (under) {
    std::copy(under->pixels.begin(), under->pixels.end(), static_cast<std::uint32_t*>(bits));
    clip = {fromColumn, 0, toColumn, height};
  } else {
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  }
  {
    TrackArtist artist;
    CDCStateGuard guard(dc);
    artist.DrawTracks(tracks, guard, dc, all, clip, info, envelope, false, false);
  }
  ::GdiFlush();
  CapturedImage image;
  image.width = width;
  image.height = height;
  const auto* p = static_cast<const std::uint32_t*>(bits);
  image.pixels.assign(p, p + static_cast<size_t>(width) * height);
  ::SelectObject(dc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  return image;
}

TEST_F(WaveformViewTest, EnvelopeOverlayMarksTheVolumeCurveOnlyWhenAsked) {
  Open(m_wavPath);
  WaveTrack* left = Doc()->GetProject()->GetTracks()->GetWaveTrackArray(false)[0];
  const int band = left->GetHeight();
  const COLORREF envelopeColour = RGB(110, 110, 220);
  const int width = 200;
  struct Case {
    double envelope;
    bool shown;
    int upperRow, lowerRow;  // rows marked in every column; -1: none
    bool edgeGaps;           // every fourth column left out (the curve is off the band)
  } cases[] = {
      {0.5, false, -1, -1, false},
      {0.5, true, band / 4 + 1, band * 3 / 4 - 2, false},
      {1.0, true, 1, band - 2, false},
      {2.0, true, 1, band - 2, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.envelope << (c.shown ? " shown" : " not shown"));
    left->GetEnvelope()->Flatten(c.envelope);
    CapturedImage image = PaintTracks(Doc()->GetProject()->GetTracks(), Info(), width, band, c.shown);
    int marked = 0;
    for (int y = 0; y < band; ++y)
      for (int x = 0; x < width; ++x) marked += image.At(x, y) == envelopeColour;
    if (!c.shown) {
      EXPECT_EQ(marked, 0);
      continue;
    }
    for (int x = 0; x < width; ++x) {
      const bool gap = c.edgeGaps && x % 4 == 3;
      EXPECT_EQ(image.At(x, c.upperRow) == envelopeColour, !gap) << "column " << x;
      EXPECT_EQ(image.At(x, c.lowerRow) == envelopeColour, !gap) << "column " << x;
    }
    EXPECT_LE(marked, width * 6) << "three-pixel strokes only";
  }
  left->GetEnvelope()->Flatten(1.0);
}

TEST_F(WaveformViewTest, EveryZoomLevelPaintsTheWaveformBackgroundAndTheSelection) {
  Open(m_wavPath);
  const ColorSchemeOptions& scheme = GetColorScheme();
  const COLORREF background = SchemeColor(scheme.WaveformBackground);
  const COLORREF selection = SchemeColor(scheme.SelectionBackground);
  WaveTrack* left = Doc()->GetProject()->GetTracks()->GetWaveTrackArray(false)[0];
  const int band = left->GetHeight();
  const int width = 200;
  ViewInfo info = Info();
  info.h = 1.0;
  left->SetSelected(true);
  // Summary columns, single samples, and samples with dots.
  for (double pixelsPerSample : {0.25, 2.0, 5.0}) {
    SCOPED_TRACE(pixelsPerSample);
    info.zoom = pixelsPerSample * kRate;
    // The right half of the picture is selected.
    info.t0 = info.h + (width / 2) / info.zoom;
    info.t1 = info.h + 2 * width / info.zoom;
    CapturedImage image = PaintTracks(Doc()->GetProject()->GetTracks(), info, width, band, false);
    int unselected = 0, selected = 0;
    for (int y = 0; y < band; ++y) {
      unselected += image.At(width / 4, y) == background;
      selected += image.At(width * 3 / 4, y) == selection;
    }
    EXPECT_GT(unselected, band / 4) << "background left of the selection";
    EXPECT_GT(selected, band / 4) << "selection background inside it";
  }
  left->SetSelected(false);
}

TEST_F(WaveformViewTest, ColumnsPaintedAloneMatchAWholePaintAndLeaveTheOthersAlone) {
  Open(m_wavPath);
  TrackList* tracks = Doc()->GetProject()->GetTracks();
  WaveTrack* left = tracks->GetWaveTrackArray(false)[0];
  left->SetSelected(true);
  const int width = 240, height = 2 * left->GetHeight();
  const int from = 80, to = 180;  // the columns painted, as a recording's new end asks
  ViewInfo info = Info();
  info.h = 0.5;
  // Summary columns (each joined to its left neighbour), samples, dots and the spectrum;
  // the selection ends inside the columns.
  struct Case {
    double pixelsPerSample;
    int display;
  } cases[] = {{0.02, 0}, {0.25, 0}, {0.25, 1}, {2.0, 0}, {5.0, 0}, {0.25, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pixelsPerSample << " pixels a sample, display " << c.display);
    left->SetDisplay(c.display);
    info.zoom = c.pixelsPerSample * kRate;
    info.t0 = info.h + 20 / info.zoom;
    info.t1 = info.h + 120.5 / info.zoom;
    const CapturedImage whole = PaintTracks(tracks, info, width, height, false);
    CapturedImage blank = whole;
    std::fill(blank.pixels.begin(), blank.pixels.end(), 0xFFFFFFu);
    const CapturedImage strip = PaintTracks(tracks, info, width, height, false, &blank, from, to);
    int wrong = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const COLORREF expected = x >= from && x < to ? whole.At(x, y) : RGB(255, 255, 255);
        wrong += strip.At(x, y) != expected;
      }
    EXPECT_EQ(wrong, 0);
  }
  left->SetDisplay(0);
  left->SetSelected(false);
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
  winetest::AudioRigForWine rig;
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

TEST_F(WaveformViewTest, PlayIndicatorCrossesThePictureAndTheCursorLineWithoutTrace) {
  winetest::AudioRigForWine rig;
  ASSERT_TRUE(rig.Ok());
  CreateAudioIO();
  ASSERT_NE(gAudioIO, nullptr);
  Open(m_wavPath);
  Command(ID_ZOOM_FIT);
  Command(ID_ZOOM_OUT);  // the whole take in the left half: the view does not scroll
  Drag(X(1.0), X(1.0), TrackMiddle(0));
  ASSERT_EQ(Info().t0, Info().t1) << "a cursor, which the indicator passes";
  const CapturedImage picture = CaptureWindow(ViewWindow(), true);

  Project* project = Doc()->GetProject();
  const int token = gAudioIO->StartStream(project->GetTracks()->GetWaveTrackArray(false), {}, nullptr, kRate,
                                          0.0, kSeconds, 0);
  ASSERT_GT(token, 0);
  project->SetStreamToken(token);
  // At every tick the screen is the picture but for one column: the indicator's.
  int withIndicator = 0, ticks = 0;
  const DWORD start = ::GetTickCount();
  while (gAudioIO->IsStreamActiveToken(token) && ::GetTickCount() - start < 10000) {
    Wave().OnRefreshTick(50);
    PumpPendingMessages(20);
    const CapturedImage now = CaptureWindow(ViewWindow(), true);
    ASSERT_EQ(now.pixels.size(), picture.pixels.size());
    std::vector<int> columns;
    for (size_t i = 0; i < now.pixels.size(); ++i) {
      const int x = static_cast<int>(i % static_cast<size_t>(now.width));
      if (now.pixels[i] != picture.pixels[i] && std::find(columns.begin(), columns.end(), x) == columns.end())
        columns.push_back(x);
    }
    EXPECT_LE(columns.size(), 1u) << "tick " << ticks;
    withIndicator += columns.size() == 1;
    ++ticks;
  }
  EXPECT_GT(withIndicator, 0) << "the indicator was drawn in " << ticks << " ticks";
  gAudioIO->StopStream();
  Wave().OnRefreshTick(50);
  Wave().OnRefreshTick(50);
  PumpPendingMessages(50);
  EXPECT_EQ(CaptureWindow(ViewWindow(), true).pixels, picture.pixels) << "the indicator is gone";
  DestroyAudioIO();
}

TEST_F(WaveformViewTest, RecordingGrowsTheViewAndItsStopRecordsAnUndoState) {
  winetest::AudioRigForWine rig;
  ASSERT_TRUE(rig.Ok());
  CreateAudioIO();
  ASSERT_NE(gAudioIO, nullptr);
  Project* project = Doc()->GetProject();
  ASSERT_TRUE(project->Record());
  // Counted in ticks, not in time: on a busy machine fewer ticks fit in a given time,
  // and the scroll bars follow the recording only at the 40th.
  for (int tick = 0; tick < 50; ++tick) {
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
