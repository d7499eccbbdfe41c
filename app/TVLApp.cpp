#include "app/TVLApp.h"

#include "app/AppText.h"
#include "app/MainFrame.h"
#include "app/controls/ProgressWndFactory.h"
#include "app/view/DocManagerEx.h"
#include "app/view/RecordInfoWnd.h"
#include "app/view/ShellServices.h"
#include "app/view/TVLDoc.h"
#include "app/view/TVLView.h"
#include "options/about/AboutDlg.h"
#include "options/help/HelpCommands.h"
#include "audiofiles/dialogs/WindowEffectDialogs.h"
#include "platform/afx/OleInit.h"
#include "platform/seams/ProcessSignals.h"
#include "platform/seams/win32/Win32Seams.h"
#include "resources/resource.h"
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/MenuSound.h"

#include <commctrl.h>
#include <commdlg.h>

#include "platform/afx/linux_headers_begin.h"
#include "app/settings/ZQRegistry.h"
#include "audiofiles/effects/EffectRegistry.h"
#include "audiofiles/export/ExportEncodeOptions.h"
#include "audiofiles/writers/StreamFileWriter.h"
#include "core/engine/AudioIO.h"
#include "core/model/DirManager.h"
#include "core/model/TakeJournal.h"
#include "core/project/Project.h"
#include "core/project/TakeRecovery.h"
#include "platform/portaudio/PortAudioV18.h"
#include "platform/afx/linux_headers_end.h"

BEGIN_MESSAGE_MAP(CTVLApp, CWinApp)
  ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
  ON_COMMAND(ID_HELP_FINDER, OnHelpFinder)
  ON_COMMAND(ID_FILE_NEW, OnFileNew)
  ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
  ON_COMMAND(ID_FILE_NEW_NEW_WINDOW, OnFileNewNewWindow)
  ON_COMMAND(ID_FILE_OPEN_NEW_WINDOW, OnFileOpenNewWindow)
  ON_UPDATE_COMMAND_UI(ID_FILE_NEW, OnUpdateFileCommand)
  ON_UPDATE_COMMAND_UI(ID_FILE_OPEN, OnUpdateFileCommand)
  ON_UPDATE_COMMAND_UI(ID_FILE_NEW_NEW_WINDOW, OnUpdateFileCommand)
  ON_UPDATE_COMMAND_UI(ID_FILE_OPEN_NEW_WINDOW, OnUpdateFileCommand)
END_MESSAGE_MAP()

namespace {
constexpr UINT kRecordCommand = 1059;
constexpr UINT kStopCommand = 1061;
constexpr int kRecentFiles = 8;

// The control panel's window and one of its buttons; null while there is none.
HWND ControlPanel() {
  HWND panel = GetOptionsHost().controlPanel ? GetOptionsHost().controlPanel() : nullptr;
  return panel && ::IsWindow(panel) ? panel : nullptr;
}

// Posts a transport command to the control panel, with its button as the sender.
void PostToControlPanel(UINT command) {
  HWND panel = ControlPanel();
  if (!panel) return;
  ::PostMessageA(panel, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(panel, static_cast<int>(command))));
}

// The main window, when it has a window.
CWnd* MainWindow() {
  CWnd* main = AfxGetMainWnd();
  return main && main->m_hWnd ? main : nullptr;
}

std::string ProgramPath() {
  char path[MAX_PATH] = {};
  DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return std::string();
  return path;
}
}  // namespace

// Makes the audio engine on a thread of its own, a Win32 one (a failure to start
// the sound system shows a message box). Starting the sound system loads the
// plug-in of every sound device the system's configuration names and opens each
// device, and opening the card's mixer talks to the sound server: together the
// longest part of the program's start. Meanwhile the window is built; the engine
// becomes the program's before the window shows (CTVLApp::InstallEngine).
class CTVLApp::CEngineStart {
public:
  explicit CEngineStart(AdvanceRecordSetting* settings) : m_pSettings(settings) {
    m_hThread = ::CreateThread(nullptr, 0, &CEngineStart::Run, this, 0, nullptr);
    if (!m_hThread) Run(this);
  }
  // An engine never taken goes with the start.
  ~CEngineStart() { Take(); }
  CEngineStart(const CEngineStart&) = delete;
  CEngineStart& operator=(const CEngineStart&) = delete;

  // The engine, once made.
  std::unique_ptr<AudioIO> Take() {
    if (m_hThread) {
      ::WaitForSingleObject(m_hThread, INFINITE);
      ::CloseHandle(m_hThread);
      m_hThread = nullptr;
    }
    return std::move(m_engine);
  }

private:
  static DWORD WINAPI Run(LPVOID self) {
    auto* start = static_cast<CEngineStart*>(self);
    start->m_engine = std::make_unique<AudioIO>(start->m_pSettings);
    return 0;
  }

  AdvanceRecordSetting* m_pSettings;
  std::unique_ptr<AudioIO> m_engine;
  HANDLE m_hThread = nullptr;
};

CWin32SettingsInstaller::CWin32SettingsInstaller()
    : m_pPrevious(settings::SetSettingsPlatform(&m_platform)) {}

CWin32SettingsInstaller::~CWin32SettingsInstaller() { settings::SetSettingsPlatform(m_pPrevious); }

CTVLApp::CTVLApp() : CTKWorkspace(TRUE), m_instances("Tarvel"), m_pEncode(&m_encode) {
  ResetViewInfo();
  SetViewInfo(&m_viewInfo);
  SetColorScheme(&m_colorScheme);
  settings::SetStoredEncodeOptions(&m_encode);
  settings::SetApplicationSoundDeviceOptions(&m_devices);
  SetExportEncodeOptions(m_pEncode);
  SetStreamWriterSettings({&m_encode, &m_output, &m_advance, &m_devices});
}

CTVLApp::~CTVLApp() {
  SetStreamWriterSettings({});
  SetExportEncodeOptions(nullptr);
  settings::SetApplicationSoundDeviceOptions(nullptr);
  settings::SetStoredEncodeOptions(nullptr);
  SetInstanceManager(nullptr);
  SetViewInfo(nullptr);
  SetColorScheme(nullptr);
  SetOptionsHost(nullptr);
  m_pInputSources.reset();
  if (m_hInstanceMutex) ::CloseHandle(m_hInstanceMutex);
}

CTVLApp* GetTVLApp() { return dynamic_cast<CTVLApp*>(AfxGetApp()); }

BOOL CTVLApp::IsIdleMessage(MSG* msg) {
  if (!CWinApp::IsIdleMessage(msg)) return FALSE;
  if (msg->message == WM_TVL_LEVELS) return FALSE;
  auto* frame = dynamic_cast<CMainFrame*>(m_pMainWnd);
  if (frame && msg->hwnd == frame->m_hWnd && msg->message == WM_TIMER &&
      msg->wParam == CMainFrame::kHeartbeatTimer)
    return frame->IsIdleTick();
  if (frame) frame->NoteIdleMessage();
  return TRUE;
}

BOOL CTVLApp::OnIdle(LONG count) {
  // The bars take drops from the first idle moment on, once the window has shown.
  if (count == 0) CTKToolBar::RegisterHeldDropTargets();
  return CWinApp::OnIdle(count);
}

BOOL CTVLApp::InitInstance() {
  // Copies start one after another: the whole start-up holds the mutex, and every
  // way out releases it.
  m_hInstanceMutex = ::CreateMutexA(nullptr, FALSE, kInstanceMutexName);
  if (m_hInstanceMutex) ::WaitForSingleObject(m_hInstanceMutex, INFINITE);
  const BOOL started = StartUp();
  if (m_hInstanceMutex) ::ReleaseMutex(m_hInstanceMutex);
  if (!started) return FALSE;
  m_pMainWnd->SendMessage(kZoomToFitMessage, 0, 0);
  m_resourceUpdate = FALSE;
  // What a start does not ask of the sound devices (their rates) is found out now,
  // while the user looks at the window.
  pa18::Pa_ProbeDevicesAhead();
  // Takes of copies that ended while they recorded come back now that the window
  // shows; other copies may start meanwhile.
  take_recovery::GiveBackTakes(m_instances.RescuedFolders(), &m_output);
  return TRUE;
}

BOOL CTVLApp::StartUp() {
  seams::IgnoreFileSizeSignal();  // a file past the size limit fails its write, not the program
  if (!AfxOleInit()) {
    AfxMessageBox(app_text::kOleInitFailed);
    return FALSE;
  }
  SetMenuSounds(FALSE);
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&icc);
  // The view's context menu and the log's folder browser need these; the workspace
  // deletes them with itself.
  CreateContextMenuManager();
  CreateShellManager();
  seams::InstallWin32Seams();
  seams::SetProgressFactory(&ProgressWndFactory::Instance());
  SetEffectDialogs(&WindowEffectDialogs::Instance());
  InstallProgramHelp();

  // Settings live under HKEY_CURRENT_USER\Software\Tarvel.
  SetRegistryKey("");
  CZQRegistry::SetApplicationKey("", m_pszAppName ? m_pszAppName : "Tarvel");
  LoadStdProfileSettings(kRecentFiles);
  SetStateKeyName("Settings");

  m_output.Load();
  m_output.ApplyStartupReset();

  // This copy's slot and temporary folder; the block files live there. A gone copy's
  // folder that holds a take journal is kept for its take to be given back.
  m_instances.SetRescueMarker(TakeJournal::kFileName);
  if (!m_instances.Startup(NativePath(m_output.strTempFolder.c_str()))) return FALSE;
  // The first copy runs the schedule; a later one takes it over when told (0x5FB).
  m_bSchedulingAllowed = m_instances.IsPrimary() ? TRUE : FALSE;
  SetInstanceManager(&m_instances);
  if (!DirManager::SetTempDir(m_instances.GetInstanceDir().c_str())) return FALSE;

  m_scheduler.SetStartCallback([](std::uint32_t) { return OnScheduledStart(); });
  m_scheduler.SetStopCallback([](std::uint32_t) { return OnScheduledStop(); });
  CRecordInfoWnd::SetStatusTextSource([this] { return m_scheduler.GetStatusText(); });
  m_scheduler.SetStatusWindowFinder([] {
    HWND view = GetOptionsHost().activeView ? GetOptionsHost().activeView() : nullptr;
    return seams::ToWindowHandle(view);
  });

  m_advance.Load();
  m_encode.Load();
  m_devices.Load();
  m_colorScheme.Load();
  m_scheduler.Load();

  // A plain start builds the window while the engine is being made, and joins the
  // two before the window shows; a start that opens a file waits for the engine
  // first, as the import asks it for the devices' rates.
  CCommandLineInfo commandLine;
  ParseCommandLine(commandLine);
  const bool windowFirst = commandLine.m_nShellCommand == CCommandLineInfo::FileNew;
  CEngineStart engine(&m_advance);
  if (!windowFirst) InstallEngine(engine);
  InstallOptionsHost();

  RegisterAllEffects();
  CreateClipboardTrackList();

  // One document, one frame, one view; the program's file prompts.
  auto* docTemplate = new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CTVLDoc), RUNTIME_CLASS(CMainFrame),
                                             RUNTIME_CLASS(CTVLView));
  delete m_pDocManager;
  m_pDocManager = new CDocManagerEx;
  AddDocTemplate(docTemplate);

  CMainFrame::HoldFirstShow();
  CTKToolBar::HoldDropTargets();
  // A file named on the command line that cannot be opened has been told about; the
  // copy goes on with the new document the failed open leaves, as after Open.
  if (!ProcessShellCommand(commandLine) && commandLine.m_nShellCommand != CCommandLineInfo::FileOpen)
    return FALSE;
  if (!MainWindow()) return FALSE;
  auto* frame = dynamic_cast<CMainFrame*>(m_pMainWnd);
  if (windowFirst) {
    InstallEngine(engine);
    if (frame) frame->ConnectEngine();
  }
  if (frame) frame->ShowComplete();

  m_pMainWnd->ShowWindow(SW_SHOW);
  m_pMainWnd->UpdateWindow();
  m_instances.SetMainWindow(seams::ToWindowHandle(m_pMainWnd->m_hWnd));
  return TRUE;
}

void CTVLApp::InstallEngine(CEngineStart& engine) {
  InstallAudioIO(engine.Take());
  RefreshInputSources();
}

int CTVLApp::ExitInstance() {
  m_output.SaveStartNumber();
  ExitDocuments();
  DestroyClipboardTrackList();
  ToolkitCleanUp();
  UnregisterAllEffects();
  DestroyAudioIO();
  // This copy's slot and folder are free again, and the scheduling goes on in another
  // copy, if one runs.
  m_instances.Unregister();
  SetInstanceManager(nullptr);
  seams::RemoveWin32Seams();
  return CWinApp::ExitInstance();
}

BOOL CTVLApp::LoadWindowPlacement(RECT& rect, int& flags, int& showCmd) {
  if (!CTKWorkspace::LoadWindowPlacement(rect, flags, showCmd)) return FALSE;
  const int step = ::GetSystemMetrics(SM_CYCAPTION) + ::GetSystemMetrics(SM_CYFRAME);
  const std::vector<seams::WindowHandle> others = m_instances.OtherWindows();
  for (bool moved = true; moved;) {
    moved = false;
    for (seams::WindowHandle other : others) {
      RECT there;
      HWND window = seams::ToHwnd(other);
      if (::IsWindow(window) && ::GetWindowRect(window, &there) && there.left == rect.left &&
          there.top == rect.top) {
        ::OffsetRect(&rect, step, step);
        moved = true;
      }
    }
  }
  return TRUE;
}

void CTVLApp::InstallOptionsHost() {
  m_optionsHost.advance = &m_advance;
  m_optionsHost.encode = &m_encode;
  m_optionsHost.encodeForSaves = GetExportEncodeOptionsCopy();
  m_optionsHost.output = &m_output;
  m_optionsHost.colors = &m_colorScheme;
  m_optionsHost.devices = &m_devices;
  m_optionsHost.inputSource = &m_inputSource;
  m_optionsHost.inputSourceNames = m_pInputSources ? *m_pInputSources : std::vector<std::string>();
  m_optionsHost.activeView = [] {
    auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
    CView* view = frame ? frame->GetActiveView() : nullptr;
    return view ? view->m_hWnd : nullptr;
  };
  m_optionsHost.controlPanel = [] {
    auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    return frame ? frame->GetControlPanel()->m_hWnd : nullptr;
  };
  m_optionsHost.recordButton = [] {
    auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    HWND panel = frame ? frame->GetControlPanel()->m_hWnd : nullptr;
    return panel ? ::GetDlgItem(panel, static_cast<int>(kRecordCommand)) : nullptr;
  };
  m_optionsHost.devicesChanged = [this] {
    if (gAudioIO) gAudioIO->OpenMixer();
    RefreshInputSources();
  };
  m_optionsHost.findInputSource = [this](const char* name) { return FindInputSource(name); };
  m_optionsHost.colorsChanged = [] {
    if (auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd())) frame->ApplyColorScheme();
  };
  SetOptionsHost(&m_optionsHost);
}

void CTVLApp::RefreshInputSources() {
  m_pInputSources = std::make_unique<std::vector<std::string>>();
  if (gAudioIO) *m_pInputSources = gAudioIO->GetInputSources();
  m_optionsHost.inputSourceNames = *m_pInputSources;
}

int CTVLApp::FindInputSource(const char* name) const {
  if (!m_pInputSources || !name) return 0;
  for (size_t i = 0; i < m_pInputSources->size(); ++i)
    if (::CompareStringA(LOCALE_USER_DEFAULT, 0, (*m_pInputSources)[i].c_str(), -1, name, -1) == CSTR_EQUAL)
      return static_cast<int>(i);
  return 0;
}

bool CTVLApp::IsRecordingInEditingMode() {
  CTVLApp* app = GetTVLApp();
  return app && gAudioIO && gAudioIO->IsStreamActive() && gAudioIO->GetNumCaptureChannels() > 0 &&
         app->m_advance.ActiveRecordingMode == 0;
}

std::int32_t CTVLApp::OnScheduledStart() {
  if (!MainWindow() || !(GetCommandState() & kStateIdle)) return 0;
  PostToControlPanel(kRecordCommand);
  return 1;
}

std::int32_t CTVLApp::OnScheduledStop() {
  if (MainWindow()) PostToControlPanel(kStopCommand);
  return 1;
}

void CTVLApp::WinHelp(DWORD_PTR data, UINT) {
  if (data == 0) ShowHelpTopics();
}

void CTVLApp::OnHelpFinder() { WinHelp(0, 1); }

void CTVLApp::OnAppAbout() { RunAboutDialog(m_pMainWnd); }

void CTVLApp::OnUpdateFileCommand(CCmdUI* ui) {
  const bool directRecording = gAudioIO && gAudioIO->IsStreamActive() &&
                               gAudioIO->GetNumCaptureChannels() > 0 && m_advance.ActiveRecordingMode == 1;
  ui->Enable(!directRecording);
}

std::string CTVLApp::NewWindowCommandLine(const std::string& programPath, const std::string& filePath) {
  std::string line = "\"" + programPath + "\"";
  if (!filePath.empty()) line += " \"" + filePath + "\"";
  return line;
}

void CTVLApp::StartNewCopy(const char* filePath) {
  const std::string program = ProgramPath();
  if (program.empty()) {
    AfxMessageBox(app_text::kModuleNameError);
    return;
  }
  std::string line = NewWindowCommandLine(program, filePath ? filePath : "");
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (::CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                       &startup, &process)) {
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
  }
}

void CTVLApp::OnFileNewNewWindow() { StartNewCopy(nullptr); }

void CTVLApp::OnFileOpenNewWindow() {
  const std::string program = ProgramPath();
  if (program.empty()) {
    AfxMessageBox(app_text::kModuleNameError);
    return;
  }
  CString path;
  if (!DoPromptFileName(path, AFX_IDS_OPENFILE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, TRUE, nullptr)) return;
  StartNewCopy(path);
}
