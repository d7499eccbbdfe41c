// The recording control panel in a test frame above the wave frame, on the audio test
// rig with a 1 kHz sine on the microphone: Record and Stop from its buttons in the
// editing mode (the take shows as tracks) and in the directly saving mode (a WAV file
// with the automatic name, holding the sine); Pause; the time limit ending a recording
// started by a posted Record command; screenshots of the panel idle and recording.
#include "support/wine/GTestWin.h"

#include "app/panel/MMDialogBar.h"
#include "app/view/DocManagerEx.h"
#include "app/view/RecordInfoWnd.h"
#include "app/view/ShellServices.h"
#include "app/view/TVLDoc.h"
#include "app/view/TVLView.h"
#include "app/view/ViewInfo.h"
#include "app/view/WaveFrame.h"
#include "options/sheet/OptionsHost.h"
#include "platform/seams/win32/Win32Seams.h"
#include "resources/OptionsResource.h"
#include "resources/PanelResource.h"
#include "resources/resource.h"
#include "support/wine/AudioRigForWine.h"
#include "support/wine/DialogTestSupport.h"
#include "support/wine/TempFolder.h"
#include "support/wine/Wait.h"
#include "support/wine/WindowCapture.h"
#include "toolkit/frames/TKFrameWnd.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>
#include "app/settings/AdvanceRecordSetting.h"
#include "app/settings/FileEncodeOptions.h"
#include "app/settings/FileOutputOptions.h"
#include "app/settings/SoundDeviceOptions.h"
#include "audiofiles/writers/StreamFileWriter.h"
#include "core/engine/AudioIO.h"
#include "core/instances/InstanceManager.h"
#include "core/model/DirManager.h"
#include "core/model/TrackList.h"
#include "core/model/WaveTrack.h"
#include "platform/afx/linux_headers_end.h"

namespace {

using namespace dialogtest;

// The frame the main frame will be: the panel docked at the top, the wave frame below.
class PanelTestFrame : public CFrameWnd {
  DECLARE_DYNCREATE(PanelTestFrame)

public:
  CWaveFrame m_waveFrame;
  CMMDialogBar m_panel;

protected:
  BOOL OnCreateClient(LPCREATESTRUCT, CCreateContext* context) override {
    return m_waveFrame.Create(this, context->m_pNewViewClass, context);
  }
};
IMPLEMENT_DYNCREATE(PanelTestFrame, CFrameWnd)

struct Audio {
  int channels = 0;
  double seconds = 0;
  float peak = 0;
};

Audio Describe(Project& project) {
  Audio audio;
  for (WaveTrack* t : project.GetTracks()->GetWaveTrackArray(false)) {
    ++audio.channels;
    audio.seconds = std::max(audio.seconds, t->GetEndTime() - t->GetStartTime());
    float min = 0, max = 0;
    const double mid = (t->GetStartTime() + t->GetEndTime()) / 2;
    t->GetMinMax(&min, &max, std::max(t->GetStartTime(), mid - 0.3), mid + 0.3);
    audio.peak = std::max({audio.peak, -min, max});
  }
  return audio;
}

Audio ReadBack(const std::string& unixPath) {
  Project project;
  if (!project.OpenFile(unixPath)) return Audio();
  return Describe(project);
}

bool Exists(const std::string& unixPath) {
  struct stat s;
  return ::stat(unixPath.c_str(), &s) == 0;
}

class ControlPanelTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    s_rig = new winetest::AudioRigForWine;
    s_sine = s_rig->Ok() && s_rig->StartSine(1000);
  }
  static void TearDownTestSuite() {
    delete s_rig;
    s_rig = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(s_rig->Ok());
    ASSERT_TRUE(s_sine);
    seams::InstallWin32Seams();
    m_boxes = std::make_unique<RecordedMessageBoxes>();
    CreateClipboardTrackList();
    m_instances = std::make_unique<CInstanceManager>("TarvelPanelTest" + std::to_string(::getpid()));
    ASSERT_TRUE(m_instances->Startup(m_folder.UnixPath()));
    // Block files go to this copy's own folder, as in the program: names are unique only
    // within a process, so a folder shared with another test would mix their blocks.
    ASSERT_TRUE(DirManager::SetTempDir(m_instances->GetInstanceDir().c_str()));
    SetInstanceManager(m_instances.get());

    m_record.SetDefaults();
    m_record.ActiveRecordingMode = 0;
    m_record.EnableSilenceDetection = 0;
    m_record.TimeLimitType = 0;
    m_record.EnableAutoSplit = 0;
    m_device.PlaybackDeviceName = "testspk";
    m_device.RecordDeviceName = "testmic";
    m_device.ChannelCount = 2;
    m_device.SampleFormat = SampleFormatInt16;
    m_device.SampleRate = 44100;
    m_output.SetDefaults();
    m_output.strAutoNameFolder = m_folder.UnixPath();
    m_output.strFileLeadName = "rec";
    m_output.uFileNameDigitCount = 3;
    m_output.uStartNO = 1;
    m_output.bWrapCounter = 0;
    m_output.bSaveFile = 0;
    m_output.eFileType = 1;
    m_encode.SetDefaults();
    m_encode.WavFileFormat = 0x10000;
    m_encode.WavSampleRate = 44100;
    m_encode.WavSampleFormat = SampleFormatInt16;
    m_encode.WavChannelMode = 1;
    StreamWriterSettings s;
    s.encode = &m_encode;
    s.output = &m_output;
    s.record = &m_record;
    s.device = &m_device;
    m_oldWriterSettings = SetStreamWriterSettings(s);
    settings::SetApplicationSoundDeviceOptions(&m_device);
    CreateAudioIO(&m_record);
    ASSERT_NE(gAudioIO, nullptr);

    m_manager = new CDocManagerEx;
    m_app.m_pDocManager = m_manager;
    m_app.AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CTVLDoc),
                                                RUNTIME_CLASS(PanelTestFrame), RUNTIME_CLASS(CTVLView)));
    m_app.OnFileNew();
    m_frame = dynamic_cast<PanelTestFrame*>(m_app.m_pMainWnd);
    ASSERT_NE(m_frame, nullptr);
    ASSERT_TRUE(m_frame->m_panel.Create(m_frame, 0xE810));
    ::SetWindowPos(m_frame->m_hWnd, HWND_TOP, 20, 20, 760, 420, SWP_SHOWWINDOW);
    m_frame->RecalcLayout();
    PumpPendingMessages();
  }

  void TearDown() override {
    if (gAudioIO && gAudioIO->IsBusy()) gAudioIO->StopStream();
    if (m_frame) {
      CDocument* doc = m_frame->GetActiveDocument();
      m_app.m_pMainWnd = nullptr;
      if (doc)
        doc->OnCloseDocument();
      else
        ::DestroyWindow(m_frame->m_hWnd);
    }
    PumpPendingMessages(50);
    DestroyAudioIO();
    SetStreamWriterSettings(m_oldWriterSettings);
    settings::SetApplicationSoundDeviceOptions(nullptr);
    SetInstanceManager(nullptr);
    m_instances.reset();
    DestroyClipboardTrackList();
    m_boxes.reset();
    seams::RemoveWin32Seams();
  }

  CMMDialogBar& Panel() { return m_frame->m_panel; }

  // The application's side of the options: the test's records, and the mixer reopened
  // when the devices change, as the program does it.
  void InstallOptionsHost() {
    m_host.advance = &m_record;
    m_host.encode = &m_encode;
    m_host.output = &m_output;
    m_host.devices = &m_device;
    m_host.devicesChanged = [this] {
      ++m_devicesChanged;
      gAudioIO->OpenMixer();
    };
    m_host.controlPanel = [this] { return Panel().m_hWnd; };
    m_host.recordButton = [this] { return Panel().Button(IDC_PANEL_RECORD).m_hWnd; };
    m_previousHost = SetOptionsHost(&m_host);
    ForgetStoredOptions();
  }
  void RemoveOptionsHost() {
    SetOptionsHost(m_previousHost);
    ForgetStoredOptions();
  }
  static void ForgetStoredOptions() {
    for (const char* section : {"AdvanceRecordSetting", "FileEncodeOptions", "FileOutputOptions",
                                "ColorSchemeOptions", "SoundDeviceOptions"})
      ::RegDeleteTreeA(HKEY_CURRENT_USER, (std::string("Software\\Tarvel\\") + section).c_str());
  }

  // A second of the rig's sine recorded into the document and stopped.
  void RecordASecond() {
    Press(IDC_PANEL_RECORD);
    Ticks(1.0);
    Press(IDC_PANEL_STOP);
    Ticks(0.2);
  }

  // The user's click at a point of a window, through the system's input queue.
  static void ClickAt(HWND window, POINT client) {
    ::ClientToScreen(window, &client);
    INPUT inputs[3] = {};
    const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
    const DWORD flags[3] = {0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < 3; ++i) {
      inputs[i].type = INPUT_MOUSE;
      inputs[i].mi.dx = static_cast<LONG>((client.x * 65536 + cx - 1) / cx);
      inputs[i].mi.dy = static_cast<LONG>((client.y * 65536 + cy - 1) / cy);
      inputs[i].mi.dwFlags = flags[i] | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    }
    ::SendInput(3, inputs, sizeof(INPUT));
  }
  Project* CurrentProject() { return GetCurrentProject(); }

  // The user clicks a panel button in its middle.
  void Press(UINT id) {
    HWND button = ::GetDlgItem(Panel().m_hWnd, static_cast<int>(id));
    ASSERT_NE(button, nullptr) << id;
    RECT client;
    ::GetClientRect(button, &client);
    const LPARAM middle = MAKELPARAM(client.right / 2, client.bottom / 2);
    ::SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    ::SendMessageA(button, WM_LBUTTONUP, 0, middle);
    PumpPendingMessages(30);
  }

  // The frame's 50 ms heartbeat for that long: the wave frame every tick, the panel's
  // time every third; true when until() came true first.
  bool Ticks(double seconds, const std::function<bool()>& until = nullptr) {
    const DWORD start = ::GetTickCount();
    int tick = 0;
    while (::GetTickCount() - start < seconds * 1000) {
      m_frame->m_waveFrame.OnRefreshTick(50);
      if (++tick % 3 == 0) Panel().OnTick();
      PumpPendingMessages(50);
      if (until && until()) return true;
    }
    return false;
  }

  struct Buttons {
    bool playEnabled, recordDown, stopEnabled, pauseEnabled;
  };
  Buttons State() {
    return Buttons{!!Panel().Button(IDC_PANEL_PLAY).IsEnabled(), !!Panel().Button(IDC_PANEL_RECORD).IsDown(),
                   !!Panel().Button(IDC_PANEL_STOP).IsEnabled(),
                   !!Panel().Button(IDC_PANEL_PAUSE).IsEnabled()};
  }
  void ExpectIdle(const char* when) {
    Buttons b = State();
    EXPECT_TRUE(b.playEnabled) << when;
    EXPECT_FALSE(b.recordDown) << when;
    EXPECT_FALSE(b.stopEnabled) << when;
    EXPECT_FALSE(gAudioIO->IsBusy()) << when;
  }
  void ExpectRecording(const char* when) {
    Buttons b = State();
    EXPECT_FALSE(b.playEnabled) << when;
    EXPECT_TRUE(b.recordDown) << when;
    EXPECT_TRUE(b.stopEnabled) << when;
    EXPECT_TRUE(b.pauseEnabled) << when;
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(Panel().m_hWnd, IDC_PANEL_OPTIONS))) << when;
  }
  // Pixels of a small button drawn in near-black text.
  int BlackTextPixels(UINT id) {
    PumpPendingMessages(50);
    CapturedImage image = CaptureWindow(::GetDlgItem(Panel().m_hWnd, static_cast<int>(id)), true);
    int n = 0;
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x) {
        const COLORREF c = image.At(x, y);
        n += GetRValue(c) < 40 && GetGValue(c) < 40 && GetBValue(c) < 40;
      }
    return n;
  }
  void Screenshot(const char* name) {
    PumpPendingMessages(100);
    CapturedImage image = CaptureWindow(Panel().m_hWnd, true);
    ASSERT_FALSE(image.Empty());
    EXPECT_TRUE(
        SavePng(image, std::string(TARVEL_TEST_BINARY_DIR "/screenshots/control-panel-") + name + ".png"));
  }

  static winetest::AudioRigForWine* s_rig;
  static bool s_sine;
  std::unique_ptr<RecordedMessageBoxes> m_boxes;
  CWinApp m_app{"Tarvel"};
  winetest::TempFolder m_folder{"panel"};
  std::unique_ptr<CInstanceManager> m_instances;
  CDocManagerEx* m_manager = nullptr;
  PanelTestFrame* m_frame = nullptr;
  AdvanceRecordSetting m_record;
  SoundDeviceOptions m_device;
  FileOutputOptions m_output;
  FileEncodeOptions m_encode;
  StreamWriterSettings m_oldWriterSettings;
  OptionsHost m_host;
  OptionsHost* m_previousHost = nullptr;
  int m_devicesChanged = 0;
};
winetest::AudioRigForWine* ControlPanelTest::s_rig = nullptr;
bool ControlPanelTest::s_sine = false;

TEST_F(ControlPanelTest, EditingModeRecordsTwoSecondsIntoTheDocumentAndStopShowsTheTake) {
  ExpectIdle("before");
  Screenshot("idle");
  Press(IDC_PANEL_RECORD);
  ExpectRecording("recording");
  Ticks(2.0);
  CapturedImage time = CaptureWindow(Panel().TimeDisplay().m_hWnd, true);
  EXPECT_NE(std::string(Panel().TimeDisplay().GetText()), "000:00.000") << "the time runs";
  Screenshot("recording");
  Press(IDC_PANEL_STOP);
  Ticks(0.2);
  ExpectIdle("after Stop");
  Audio take = Describe(*CurrentProject());
  EXPECT_EQ(take.channels, 2);
  EXPECT_NEAR(take.seconds, 2.0, 0.4);
  EXPECT_NEAR(take.peak, 0.5, 0.05) << "the rig's sine";
  EXPECT_TRUE(m_boxes->shown.empty());
  Screenshot("after-recording");
}

TEST_F(ControlPanelTest, DirectModeWritesAWavFileWithTheAutomaticName) {
  m_record.ActiveRecordingMode = 1;
  auto* view = dynamic_cast<CTVLView*>(m_frame->GetActiveView());
  ASSERT_NE(view, nullptr);
  auto* strip = dynamic_cast<CRecordInfoWnd*>(CWnd::FromHandlePermanent(view->GetInfoDisplay()));
  ASSERT_NE(strip, nullptr);
  const std::string first = "File Name: " + m_folder.UnixPath() + "/rec001.wav";
  const std::string second = "File Name: " + m_folder.UnixPath() + "/rec002.wav";
  EXPECT_EQ(strip->FileLine(), first) << "before: the name the recording will get";
  Press(IDC_PANEL_RECORD);
  ExpectRecording("recording");
  Ticks(2.0);
  // While it records: the file being written, its length so far, and the same time
  // in the panel's display.
  EXPECT_EQ(strip->FileLine(), first);
  int hours = -1, minutes = -1, seconds = -1, kilobytes = -1;
  ASSERT_EQ(std::sscanf(strip->TimeLine().c_str(), "Time: %d:%d:%d    |    File Size: %d", &hours, &minutes,
                        &seconds, &kilobytes),
            4)
      << strip->TimeLine();
  EXPECT_EQ(hours * 3600 + minutes * 60, 0);
  EXPECT_GE(seconds, 1);
  EXPECT_LE(seconds, 2);
  EXPECT_NEAR(kilobytes / (44100.0 * 4 / 1024), seconds + 0.5, 0.75) << "the time goes with the size";
  int shownMinutes = -1, shownSeconds = -1, shownMillis = -1;
  ASSERT_EQ(
      std::sscanf(Panel().TimeDisplay().GetText(), "%d:%d.%d", &shownMinutes, &shownSeconds, &shownMillis),
      3);
  EXPECT_NEAR(shownMinutes * 60 + shownSeconds + shownMillis / 1000.0, 2.0, 0.5)
      << "the panel counts the take: " << Panel().TimeDisplay().GetText();
  PumpPendingMessages(50);
  const CapturedImage running = CaptureWindow(strip->m_hWnd, true);
  Press(IDC_PANEL_STOP);
  ExpectIdle("after Stop");
  Ticks(0.3);
  // Afterwards the strip tells of the next recording, and shows it.
  EXPECT_EQ(strip->FileLine(), second);
  EXPECT_EQ(strip->TimeLine().substr(0, 14), "Time: 00:00:00");
  const CapturedImage after = CaptureWindow(strip->m_hWnd, true);
  ASSERT_EQ(after.pixels.size(), running.pixels.size());
  EXPECT_NE(after.pixels, running.pixels) << "the strip was drawn again after the take";
  const std::string file = m_folder.UnixPath() + "/rec001.wav";
  ASSERT_TRUE(Exists(file)) << file;
  Audio written = ReadBack(file);
  EXPECT_EQ(written.channels, 2);
  EXPECT_NEAR(written.seconds, 2.0, 0.4);
  EXPECT_NEAR(written.peak, 0.5, 0.05);
  EXPECT_EQ(m_output.uStartNO, 2u) << "the next recording takes the next name";
  EXPECT_TRUE(Describe(*CurrentProject()).channels == 0) << "nothing went into the document";
}

TEST_F(ControlPanelTest, EditingModeWithSaveFileOnSavesTheTakeUnderTheAutomaticName) {
  m_output.bSaveFile = 1;
  m_output.bAutoName = 1;
  Press(IDC_PANEL_RECORD);
  Ticks(1.5);
  Press(IDC_PANEL_STOP);
  const std::string file = m_folder.UnixPath() + "/rec001.wav";
  ASSERT_TRUE(Exists(file)) << file;
  Audio saved = ReadBack(file);
  EXPECT_EQ(saved.channels, 2);
  EXPECT_NEAR(saved.seconds, 1.5, 0.4);
  EXPECT_NEAR(saved.peak, 0.5, 0.05);
}

TEST_F(ControlPanelTest, PauseHoldsTheRecordingAndResumesIt) {
  Press(IDC_PANEL_RECORD);
  Ticks(1.0);
  Press(IDC_PANEL_PAUSE);
  EXPECT_TRUE(Panel().IsPaused());
  EXPECT_TRUE(Panel().Button(IDC_PANEL_PAUSE).IsDown());
  EXPECT_TRUE(gAudioIO->IsPaused());
  const double heldAt = gAudioIO->GetStreamTime();
  Ticks(1.5);
  EXPECT_NEAR(gAudioIO->GetStreamTime(), heldAt, 0.1) << "the time stands still while paused";
  Press(IDC_PANEL_PAUSE);
  EXPECT_FALSE(Panel().IsPaused());
  EXPECT_FALSE(gAudioIO->IsPaused());
  Ticks(1.0);
  Press(IDC_PANEL_STOP);
  ExpectIdle("after Stop");
  EXPECT_FALSE(Panel().Button(IDC_PANEL_PAUSE).IsDown());
  Audio take = Describe(*CurrentProject());
  EXPECT_NEAR(take.seconds, 2.0, 0.45) << "the paused stretch is not in the take";
}

TEST_F(ControlPanelTest, TimeLimitStopsARecordingThatAPostedRecordCommandStarted) {
  m_record.ActiveRecordingMode = 1;
  m_record.TimeLimitType = 1;
  m_record.TimeLimitTo = 1.5;
  // As the scheduler and the wizard start a recording.
  ::PostMessageA(Panel().m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_PANEL_RECORD, 0),
                 reinterpret_cast<LPARAM>(::GetDlgItem(Panel().m_hWnd, IDC_PANEL_RECORD)));
  PumpPendingMessages(30);
  ExpectRecording("recording");
  EXPECT_TRUE(Ticks(6.0, [&] { return !gAudioIO->IsBusy(); })) << "the limit ended the recording";
  ExpectIdle("after the limit");
  Audio written = ReadBack(m_folder.UnixPath() + "/rec001.wav");
  EXPECT_EQ(written.channels, 2);
  EXPECT_NEAR(written.seconds, 1.5, 0.3);
}

TEST_F(ControlPanelTest, DirectRecordThatCannotStartLeavesThePanelIdle) {
  m_record.ActiveRecordingMode = 1;
  m_output.strAutoNameFolder = m_folder.UnixPath() + "/no such folder";
  Press(IDC_PANEL_RECORD);
  Ticks(0.3);
  ExpectIdle("after the failed start");
  EXPECT_FALSE(m_boxes->shown.empty()) << "the user is told why";
}

TEST_F(ControlPanelTest, RewindAndFastForwardMoveTheSelectionAndShiftExtendsIt) {
  Press(IDC_PANEL_RECORD);
  Ticks(1.0);
  Press(IDC_PANEL_STOP);
  const double end = CurrentProject()->GetTracks()->GetEndTime();
  ASSERT_GT(end, 0.5);
  ViewInfo& info = *GetViewInfo();
  struct Case {
    UINT button;
    bool shift;
    double t0, t1;                  // before
    double expectedT0, expectedT1;  // after; -1 stands for the end of the take
  } cases[] = {
      {IDC_PANEL_FFWD, true, 0.2, 0.4, 0.2, -1},
      {IDC_PANEL_FFWD, false, 0.2, 0.4, -1, -1},
      {IDC_PANEL_REWIND, true, 0.2, 0.4, 0.0, 0.4},
      {IDC_PANEL_REWIND, false, 0.2, 0.4, 0.0, 0.0},
  };
  for (const Case& c : cases) {
    info.t0 = c.t0;
    info.t1 = c.t1;
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = c.shift ? 0x80 : 0;
    ::SetKeyboardState(keys);
    HWND button = ::GetDlgItem(Panel().m_hWnd, static_cast<int>(c.button));
    ::SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 8));
    ::SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(8, 8));
    PumpPendingMessages(30);
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
    const std::string name =
        std::string(c.button == IDC_PANEL_FFWD ? "FFwd" : "Rewind") + (c.shift ? "+Shift" : "");
    EXPECT_NEAR(info.t0, c.expectedT0 < 0 ? end : c.expectedT0, 1e-9) << name;
    EXPECT_NEAR(info.t1, c.expectedT1 < 0 ? end : c.expectedT1, 1e-9) << name;
  }
}

TEST_F(ControlPanelTest, VolumeSlidersSetTheMixerAndNameTheirValue) {
  int source = 0;
  float input = 0, output = 0;
  gAudioIO->GetMixer(&source, &input, &output);
  CBitmapSlider& slider = Panel().InputSlider();
  ::SendMessageA(slider.m_hWnd, WM_KEYDOWN, VK_HOME, 1);
  PumpPendingMessages(30);
  float nowInput = 1, nowOutput = 0;
  gAudioIO->GetMixer(nullptr, &nowInput, &nowOutput);
  EXPECT_NEAR(nowInput, 0.0f, 0.01f);
  EXPECT_NEAR(nowOutput, output, 0.01f) << "the other volume stays";
  EXPECT_EQ(std::string(Panel().GetMessageString(IDC_PANEL_INPUT_VOLUME)), "Control input volume: 0.00");
  ::SendMessageA(slider.m_hWnd, WM_KEYDOWN, VK_NEXT, 1);
  PumpPendingMessages(30);
  gAudioIO->GetMixer(nullptr, &nowInput, nullptr);
  EXPECT_NEAR(nowInput, 0.1f, 0.01f) << "a page is a tenth";
  EXPECT_EQ(std::string(Panel().GetMessageString(IDC_PANEL_INPUT_VOLUME)), "Control input volume: 0.10");
  gAudioIO->SetMixer(source, input, output);
}

TEST_F(ControlPanelTest, ChoosingTheInputSourceInTheSelectorsListSetsTheMixer) {
  // The application looks the chosen name up among its names (the first source when
  // it knows none).
  InstallOptionsHost();
  std::vector<std::string> lookedUp;
  m_host.findInputSource = [&](const char* name) {
    lookedUp.emplace_back(name);
    return 0;
  };
  int source = 0;
  float input = 0, output = 0;
  gAudioIO->GetMixer(&source, &input, &output);
  const std::vector<std::string> sources = gAudioIO->GetInputSources();
  ASSERT_FALSE(sources.empty()) << "the rig's microphone has an input";
  // The input slider at 0, the mixer's input turned up behind the panel's back: a
  // choice in the list hands the mixer the source with the sliders' volumes.
  ::SendMessageA(Panel().InputSlider().m_hWnd, WM_KEYDOWN, VK_HOME, 1);
  PumpPendingMessages(30);
  gAudioIO->SetMixer(source, 0.6f, output);
  CPopupComboButton& selector = Panel().InputSource();
  ::SetForegroundWindow(m_frame->m_hWnd);
  ClickAt(selector.m_hWnd, POINT{40, 10});
  ASSERT_TRUE(winetest::WaitUntil([&] { return selector.IsDropped() != FALSE; }, 2000));
  RECT line;
  ::SendMessageA(selector.GetListWindow(), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&line));
  ClickAt(selector.GetListWindow(), POINT{(line.left + line.right) / 2, (line.top + line.bottom) / 2});
  EXPECT_TRUE(winetest::WaitUntil([&] { return !selector.IsDropped(); }, 2000));
  PumpPendingMessages(50);
  float nowInput = 1;
  int nowSource = -1;
  gAudioIO->GetMixer(&nowSource, &nowInput, nullptr);
  gAudioIO->SetMixer(source, input, output);
  EXPECT_EQ(nowSource, 0);
  EXPECT_NEAR(nowInput, 0.0f, 0.01f) << "the slider's volume came with the choice";
  CString text;
  selector.GetWindowText(text);
  EXPECT_EQ(std::string(text), sources[0]);
  EXPECT_EQ(lookedUp, std::vector<std::string>{sources[0]});
  RemoveOptionsHost();
}

TEST_F(ControlPanelTest, PlayPlaysTheTakeToTheEndAndThePanelComesBackToIdle) {
  Press(IDC_PANEL_RECORD);
  Ticks(1.0);
  Press(IDC_PANEL_STOP);
  Ticks(0.2);
  ASSERT_GT(CurrentProject()->GetTracks()->GetEndTime(), 0.5);
  Press(IDC_PANEL_PLAY);
  EXPECT_TRUE(gAudioIO->IsBusy());
  EXPECT_TRUE(Panel().Button(IDC_PANEL_PLAY).IsDown());
  EXPECT_FALSE(Panel().Button(IDC_PANEL_RECORD).IsEnabled());
  EXPECT_TRUE(Panel().Button(IDC_PANEL_STOP).IsEnabled());
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(Panel().m_hWnd, IDC_PANEL_LOOP)));
  EXPECT_EQ(BlackTextPixels(IDC_PANEL_LOOP), 0) << "a disabled button looks disabled";
  Screenshot("playing");
  EXPECT_TRUE(Ticks(5.0, [&] { return !gAudioIO->IsBusy(); })) << "the end of the take stops playback";
  ExpectIdle("after playback");
  EXPECT_FALSE(Panel().Button(IDC_PANEL_PLAY).IsDown());
  EXPECT_GT(BlackTextPixels(IDC_PANEL_LOOP), 0);
  EXPECT_TRUE(m_boxes->shown.empty());
}

TEST_F(ControlPanelTest, OptionsButtonStoresTheSheetsRecordsOnOkAndTheNextTakeFollowsThem) {
  InstallOptionsHost();
  struct Case {
    int button;
    int channels;  // of the device record afterwards and of the next take
    int devicesChanged;
  } cases[] = {{IDCANCEL, 2, 0}, {IDOK, 1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button == IDOK ? "OK" : "Cancel");
    m_devicesChanged = 0;
    DriveModal(
        "Options",
        [&](HWND sheet) {
          ::SendMessageA(sheet, PSM_SETCURSEL, 2, 0);  // the sound device page
          PumpPendingMessages(50);
          HWND page = reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
          ::SendMessageA(::GetDlgItem(page, IDC_SD_MONO), BM_CLICK, 0, 0);
          dialogtest::Press(sheet, c.button);
        },
        [&] { Press(IDC_PANEL_OPTIONS); });
    EXPECT_EQ(m_device.ChannelCount, c.channels);
    EXPECT_EQ(m_devicesChanged, c.devicesChanged) << "the mixer is reopened for new devices only";
    SoundDeviceOptions stored;
    stored.Load();
    EXPECT_EQ(stored.ChannelCount, c.button == IDOK ? 1 : SoundDeviceOptions().ChannelCount);
    ExpectIdle("after the sheet");
    RecordASecond();
    EXPECT_EQ(Describe(*CurrentProject()).channels, c.channels);
    // The take is done with (the next Record starts a new document without asking).
    m_frame->GetActiveDocument()->SetModifiedFlag(FALSE);
  }
  for (const auto& box : m_boxes->shown) ADD_FAILURE() << box.text;
  RemoveOptionsHost();
}

// The panel only looks as if it records once the user has answered whether to save
// the take in the window, and a second Record meanwhile (the scheduler's) starts
// nothing.
TEST_F(ControlPanelTest, RecordOverUnsavedEditsShowsRecordingOnlyAfterTheSaveQuestion) {
  RecordASecond();
  ASSERT_TRUE(m_frame->GetActiveDocument()->IsModified());
  struct Asking final : seams::MessageBoxService {
    std::function<bool()> showsRecording;
    std::function<void()> recordAgain;
    std::vector<std::string> texts;
    std::vector<bool> recordingShown;
    unsigned flags = 0;
    int answer = IDCANCEL;
    int Show(const std::string& text, const std::string&, unsigned boxFlags) override {
      texts.push_back(text);
      flags = boxFlags;
      recordingShown.push_back(showsRecording());
      // The scheduler's Record arrives while the question is open.
      if (texts.size() == 1) recordAgain();
      return answer;
    }
  } asking;
  asking.showsRecording = [this] { return State().recordDown || State().stopEnabled; };
  asking.recordAgain = [this] { Panel().OnRecord(); };
  seams::MessageBoxService* previous = seams::SetMessageBoxService(&asking);
  for (const int answer : {IDCANCEL, IDNO}) {
    SCOPED_TRACE(answer == IDCANCEL ? "Cancel" : "No");
    asking.answer = answer;
    asking.texts.clear();
    asking.recordingShown.clear();
    Press(IDC_PANEL_RECORD);
    ASSERT_EQ(asking.texts.size(), 1u) << "one question, also with the second Record";
    EXPECT_EQ(asking.flags & MB_ICONMASK, static_cast<unsigned>(MB_ICONQUESTION)) << "the question's mark";
    EXPECT_FALSE(asking.recordingShown[0]) << "the panel showed a recording before the answer";
    if (answer == IDCANCEL) {
      ExpectIdle("after Cancel");
      EXPECT_GT(Describe(*CurrentProject()).seconds, 0.5) << "the old take stays";
    } else {
      ExpectRecording("after No");
      Ticks(0.5);
      Press(IDC_PANEL_STOP);
    }
  }
  seams::SetMessageBoxService(previous);
}

// The wizard sums up what the next take uses: the device it records from when none
// was chosen, and the mixer's volumes as the panel's sliders set them.
TEST_F(ControlPanelTest, TheWizardSummaryNamesTheDeviceAndTheVolumesInUse) {
  InstallOptionsHost();
  m_device.RecordDeviceName.clear();
  int source = 0;
  float input = 0, output = 0;
  gAudioIO->GetMixer(&source, &input, &output);
  ::SendMessageA(Panel().InputSlider().m_hWnd, WM_KEYDOWN, VK_END, 1);
  PumpPendingMessages(30);
  std::vector<std::string> lines;
  DriveModal(
      "Record Wizard",
      [&](HWND wizard) {
        HWND list = ::GetDlgItem(wizard, IDC_RW_SUMMARY);
        const int count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
          char text[512] = {};
          ::SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
          const std::string whole = text;
          if (whole.size() > 14) lines.push_back(whole.substr(14));  // after the line's colours and step
        }
        dialogtest::Press(wizard, IDCANCEL);
      },
      [&] { Press(IDC_PANEL_WIZARD); });
  gAudioIO->SetMixer(source, input, output);
  RemoveOptionsHost();
  auto line = [&](const char* start) {
    for (const std::string& l : lines)
      if (l.find(start) != std::string::npos) return l;
    return std::string();
  };
  const std::string device = line("Recording device: ");
  ASSERT_FALSE(device.empty());
  EXPECT_GT(device.size(), std::string("    Recording device: ").size()) << "names a device";
  const std::string volume = line("volume: ");
  ASSERT_FALSE(volume.empty());
  if (volume.find("None") == std::string::npos)
    EXPECT_NE(volume.find("volume: 1.00"), std::string::npos) << volume << ": the slider stands at the top";
}

TEST_F(ControlPanelTest, WizardButtonOpensTheWizardWhoseRecordStartsThePanel) {
  InstallOptionsHost();
  DriveModal(
      "Record Wizard", [](HWND wizard) { dialogtest::Press(wizard, IDC_RW_RECORD); },
      [&] { Press(IDC_PANEL_WIZARD); });
  PumpPendingMessages(50);
  ExpectRecording("started from the wizard");
  Ticks(1.0);
  Press(IDC_PANEL_STOP);
  ExpectIdle("after Stop");
  Audio take = Describe(*CurrentProject());
  EXPECT_EQ(take.channels, 2);
  EXPECT_NEAR(take.peak, 0.5, 0.05);
  RemoveOptionsHost();
}

TEST_F(ControlPanelTest, ClickOnTheTimeLocatesAndSelectsInTheTake) {
  // Nothing to locate in yet: the click opens nothing.
  ::SetForegroundWindow(m_frame->m_hWnd);
  HWND time = Panel().TimeDisplay().m_hWnd;
  ClickAt(time, POINT{20, 10});
  PumpPendingMessages(200);
  EXPECT_EQ(::FindWindowA(nullptr, "Locate and Select"), nullptr);

  RecordASecond();
  ASSERT_GT(CurrentProject()->GetTracks()->GetEndTime(), 0.6);
  DriveModal(
      "Locate and Select",
      [](HWND dialog) {
        ::SendDlgItemMessageA(dialog, IDC_SELECT, BM_CLICK, 0, 0);
        SetItemText(dialog, IDC_FROM, "0.6");
        SetItemText(dialog, IDC_TO, "0.2");
        dialogtest::Press(dialog, IDOK);
      },
      [&] {
        ClickAt(time, POINT{20, 10});
        PumpPendingMessages(1000);
      });
  const ViewInfo& info = *GetViewInfo();
  EXPECT_NEAR(info.t0, 0.2, 1e-9);
  EXPECT_NEAR(info.t1, 0.6, 1e-9);
  // The take's state in the history holds the new selection.
  UndoManager* undo = CurrentProject()->GetUndoManager();
  double sel0 = -1, sel1 = -1;
  ASSERT_NE(undo->SetStateTo(undo->GetCurrentStateNumber(), &sel0, &sel1), nullptr);
  EXPECT_NEAR(sel0, 0.2, 1e-9);
  EXPECT_NEAR(sel1, 0.6, 1e-9);
}

TEST_F(ControlPanelTest, FrameCommandStatesFollowThePanelsButtons) {
  // What the frame's menus and toolbars read, idle and recording.
  struct Probe : CCmdUI {
    int enabled = -1, checked = -1;
    void Enable(BOOL on) override { enabled = on ? 1 : 0; }
    void SetCheck(int check) override { checked = check; }
  };
  using Update = void (CMMDialogBar::*)(CCmdUI*);
  struct Case {
    const char* name;
    Update update;
    // -1: not set; 2: whatever the button shows (the idle set leaves Pause as it is)
    int idleEnabled, idleChecked, recordingEnabled, recordingChecked;
  } cases[] = {
      {"Play", &CMMDialogBar::OnUpdatePlay, 1, 0, 0, 0},
      {"Record", &CMMDialogBar::OnUpdateRecord, 1, 0, 1, 1},
      {"Pause", &CMMDialogBar::OnUpdatePause, 2, 0, 1, 0},
      {"Stop", &CMMDialogBar::OnUpdateStop, 0, 0, 1, 0},
      {"Options", &CMMDialogBar::OnUpdateOptions, 1, -1, 0, -1},
      {"Wizard", &CMMDialogBar::OnUpdateWizard, 1, -1, 0, -1},
      {"Loop Play", &CMMDialogBar::OnUpdateLoopPlay, 1, 0, 1, 0},
  };
  for (bool recording : {false, true}) {
    if (recording) Press(IDC_PANEL_RECORD);
    for (const Case& c : cases) {
      Probe probe;
      (Panel().*c.update)(&probe);
      int enabled = recording ? c.recordingEnabled : c.idleEnabled;
      if (enabled == 2) enabled = Panel().Button(IDC_PANEL_PAUSE).IsEnabled() ? 1 : 0;
      EXPECT_EQ(probe.enabled, enabled) << c.name << recording;
      EXPECT_EQ(probe.checked, recording ? c.recordingChecked : c.idleChecked) << c.name << recording;
    }
  }
  Press(IDC_PANEL_STOP);
  // The loop toggle shows as a check mark.
  Panel().ToggleLoopPlay();
  Probe loop;
  Panel().OnUpdateLoopPlay(&loop);
  EXPECT_EQ(loop.checked, 1);
}

TEST_F(ControlPanelTest, DockedAtTheBottomOfADockingFrameItShowsEveryControlAndTakesRealClicks) {
  // The panel as the main frame makes it: at the bottom, sized like a sizing bar.
  auto* frame = new CTKFrameWnd;  // deletes itself with its window
  // Below the test's own frame, which a new recording brings to the front.
  ASSERT_TRUE(frame->Create(nullptr, "Panel", WS_OVERLAPPEDWINDOW, CRect(30, 445, 830, 765)));
  const HWND frameHwnd = frame->m_hWnd;
  frame->EnableDocking(CBRS_ALIGN_ANY);
  CMMDialogBar panel;
  ASSERT_TRUE(panel.Create("", frame, FALSE, MAKEINTRESOURCEA(IDD_RECORD_PANEL),
                           WS_CHILD | WS_VISIBLE | CBRS_GRIPPER | CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP |
                               CBRS_FLYBY | CBRS_TOOLTIPS | CBRS_SIZE_DYNAMIC,
                           AFX_IDW_CONTROLBAR_FIRST + 16));
  panel.EnableDocking(CBRS_ALIGN_ANY);
  ASSERT_TRUE(frame->DockControlBar(&panel, AFX_IDW_DOCKBAR_BOTTOM));
  frame->ShowWindow(SW_SHOWNORMAL);
  ::SetForegroundWindow(frameHwnd);
  frame->RecalcLayout();
  PumpPendingMessages(200);

  RECT client;
  ::GetClientRect(panel.m_hWnd, &client);
  EXPECT_GE(client.right, CMMDialogBar::kMinWidth);
  EXPECT_GE(client.bottom, CMMDialogBar::kMinHeight);
  for (UINT id : {IDC_PANEL_PLAY, IDC_PANEL_RECORD, IDC_PANEL_STOP, IDC_PANEL_OPTIONS, IDC_PANEL_TIME}) {
    HWND child = ::GetDlgItem(panel.m_hWnd, static_cast<int>(id));
    ASSERT_TRUE(child && ::IsWindowVisible(child)) << id;
    RECT rect;
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, panel.m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= client.right && rect.bottom <= client.bottom)
        << id << " lies inside the panel";
  }

  // Clicks of the mouse reach the panel's buttons; a drag on the panel itself moves
  // nothing.
  RECT before;
  ::GetWindowRect(panel.m_hWnd, &before);
  ClickAt(::GetDlgItem(panel.m_hWnd, IDC_PANEL_RECORD), POINT{24, 24});
  PumpPendingMessages(100);
  EXPECT_TRUE(panel.Button(IDC_PANEL_RECORD).IsDown());
  EXPECT_TRUE(gAudioIO->IsBusy()) << "recording";
  Ticks(0.5);
  ClickAt(::GetDlgItem(panel.m_hWnd, IDC_PANEL_STOP), POINT{24, 24});
  PumpPendingMessages(200);
  EXPECT_FALSE(gAudioIO->IsBusy()) << "stopped";
  EXPECT_FALSE(panel.Button(IDC_PANEL_RECORD).IsDown());
  EXPECT_EQ(Describe(*CurrentProject()).channels, 2);
  RECT after;
  ::GetWindowRect(panel.m_hWnd, &after);
  EXPECT_TRUE(::EqualRect(&before, &after));
  ::DestroyWindow(frameHwnd);
  PumpPendingMessages(50);
}

TEST_F(ControlPanelTest, InputVolumeSliderSetsTheLevelOfTheNextTake) {
  int source = 0;
  float input = 0, output = 0;
  gAudioIO->GetMixer(&source, &input, &output);
  CBitmapSlider& slider = Panel().InputSlider();
  // The user sets the slider with its keys (Home, then a tenth per Page Down) and records.
  auto takePeak = [&](int tenths) {
    ::SendMessageA(slider.m_hWnd, WM_KEYDOWN, VK_HOME, 1);
    for (int i = 0; i < tenths; ++i) ::SendMessageA(slider.m_hWnd, WM_KEYDOWN, VK_NEXT, 1);
    PumpPendingMessages(30);
    RecordASecond();
    return Describe(*CurrentProject()).peak;
  };
  const float full = takePeak(10);
  const float half = takePeak(5);
  gAudioIO->SetMixer(source, input, output);
  EXPECT_NEAR(full, 0.5f, 0.05f) << "the rig's sine at full input volume";
  // The sound server's volume scale is cubic: half the slider is an eighth of the amplitude.
  EXPECT_NEAR(half / full, 0.125f, 0.02f);
}

TEST_F(ControlPanelTest, SilenceOnTheMicrophoneStopsTheRecordingWhenTheSettingsSaySo) {
  m_record.EnableSilenceDetection = 1;
  m_record.SilenceDetectionAlgorihms = 3;
  m_record.SilenceDetectionLogic = 0;
  m_record.ZCRFactorLeft = m_record.ZCRFactorRight = 0.005;
  m_record.SEFactorLeft = m_record.SEFactorRight = 0.016;
  m_record.ZCRDelaySeconds = m_record.SEDelaySeconds = 0.3;
  m_record.ActionsOfEditingMode = 2;  // "Stop recording"
  auto idle = [] { return !gAudioIO->IsBusy(); };
  Press(IDC_PANEL_RECORD);
  ExpectRecording("sound on the microphone");
  EXPECT_FALSE(Ticks(1.0, idle)) << "sound keeps it recording";
  s_rig->StopSine();
  const bool stopped = Ticks(3.0, idle);
  s_sine = s_rig->StartSine(1000);
  EXPECT_TRUE(stopped) << "silence stops the recording";
  ExpectIdle("after the silence");
  EXPECT_GT(Describe(*CurrentProject()).seconds, 0.9) << "the take is kept";
}

}  // namespace
