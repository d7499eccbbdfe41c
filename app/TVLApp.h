#pragma once
// The application object of the program: it owns the settings records, the registry
// of running copies, the scheduler, the mixer's input names and the view state, and
// it runs start-up and exit in their fixed order. It also carries the commands that
// concern the whole program (New and Open, in this window or in a new copy of the
// program, Help Topics) and the scheduler's start and stop callbacks.
#include "app/view/ViewInfo.h"
#include "options/sheet/OptionsHost.h"
#include "platform/afx/afxwin.h"
#include "platform/seams/win32/Win32SettingsPlatform.h"
#include "toolkit/frames/TKWorkspace.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdint>
#include <memory>
#include <string>
#include <vector>
#include "app/settings/AdvanceRecordSetting.h"
#include "app/settings/ColorSchemeOptions.h"
#include "app/settings/FileEncodeOptions.h"
#include "app/settings/FileOutputOptions.h"
#include "app/settings/InputSourceSetting.h"
#include "app/settings/SoundDeviceOptions.h"
#include "core/instances/InstanceManager.h"
#include "options/scheduler/ScheduleManager.h"
#include "platform/afx/linux_headers_end.h"

// Commands of the application.
#define ID_APP_ABOUT 0xE140
#define ID_HELP_FINDER 0xE142
#define ID_FILE_OPEN_NEW_WINDOW 32864
#define ID_FILE_NEW_NEW_WINDOW 32872

// Settings paths are Windows paths (as the folder dialogs show them): the Win32 view
// of the system is installed before any settings record is built, so even their
// defaults are.
class CWin32SettingsInstaller {
public:
  CWin32SettingsInstaller();
  ~CWin32SettingsInstaller();

private:
  seams::Win32SettingsPlatform m_platform;
  settings::SettingsPlatform* m_pPrevious;
};

class CTVLApp : public CWinApp, private CWin32SettingsInstaller, public CTKWorkspace {
public:
  static constexpr const char* kInstanceMutexName = "TVL_Instance_Mutex";

  // Builds the members and hands the view state, the colour scheme and the records
  // to the parts of the program that read them.
  CTVLApp();
  ~CTVLApp() override;
  BOOL InitInstance() override;
  int ExitInstance() override;
  // The engine's level messages move the meter only, and the heartbeat brings the
  // panes up to date every few ticks and the buttons when the state moved: neither
  // asks for the idle work otherwise.
  BOOL IsIdleMessage(MSG* msg) override;
  BOOL OnIdle(LONG count) override;
  // Data 0 opens the help file's first page; other values do nothing.
  virtual void WinHelp(DWORD_PTR data, UINT command);
  // Of the user interface only the main window's place is kept between runs: the bars,
  // menus, keys and tools always start as the program's resources have them.
  BOOL LoadState(const char*, FrameHelper*) override { return TRUE; }
  BOOL SaveState(const char*, FrameHelper*) override { return TRUE; }
  BOOL CleanState(const char*) override { return TRUE; }
  // The stored place, moved down and right past the main windows of the other running
  // copies that sit there already, so that a second copy does not hide the first.
  BOOL LoadWindowPlacement(RECT& rect, int& flags, int& showCmd) override;

  // The scheduler's callbacks: post Record or Stop to the control panel; 1 when acted.
  static std::int32_t OnScheduledStart();
  static std::int32_t OnScheduledStop();
  // The engine's stream is active, it records and the mode is the editing one.
  static bool IsRecordingInEditingMode();
  // Index of the first input-source name equal to name; 0 when none matches.
  int FindInputSource(const char* name) const;
  // Reads the input-source names again from the engine.
  void RefreshInputSources();

  // The command line a new copy of the program is started with: the program path
  // and, when given, the file path, each quoted so blanks stay inside one argument.
  static std::string NewWindowCommandLine(const std::string& programPath, const std::string& filePath);

  void ResetViewInfo() { ::ResetViewInfo(&m_viewInfo); }

  CInstanceManager m_instances;
  BOOL m_bSchedulingAllowed = FALSE;
  // The view state shared by the document, the view, the wave frame and the rulers.
  ViewInfo m_viewInfo;
  std::unique_ptr<std::vector<std::string>> m_pInputSources;
  ColorSchemeOptions m_colorScheme;
  FileEncodeOptions m_encode;
  FileEncodeOptions* m_pEncode;
  SoundDeviceOptions m_devices;
  FileOutputOptions m_output;
  AdvanceRecordSetting m_advance;
  InputSourceSetting m_inputSource;
  CScheduleManager m_scheduler;

protected:
  void OnFileNewNewWindow();
  void OnFileOpenNewWindow();
  void OnHelpFinder();
  void OnAppAbout();
  void OnUpdateFileCommand(CCmdUI* ui);

  // Starts a copy of the program on the command line; the box says so when the
  // program's path cannot be had.
  void StartNewCopy(const char* filePath);

private:
  class CEngineStart;
  // Start-up after the instance mutex is held.
  BOOL StartUp();
  // Makes the engine being made the program's one.
  void InstallEngine(CEngineStart& engine);
  void InstallOptionsHost();

  HANDLE m_hInstanceMutex = nullptr;
  OptionsHost m_optionsHost;

  DECLARE_MESSAGE_MAP()
};

CTVLApp* GetTVLApp();
