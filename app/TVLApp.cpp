#include "app/TVLApp.h"

#include "app/MainFrame.h"
#include "app/controls/ProgressWndFactory.h"
#include "app/view/ShellServices.h"
#include "audiofiles/dialogs/WindowEffectDialogs.h"
#include "platform/seams/ProcessSignals.h"
#include "platform/seams/win32/Win32Seams.h"
#include "resources/resource.h"

CTVLApp::CTVLApp() {
  ResetViewInfo();
  SetViewInfo(&m_viewInfo);
  SetColorScheme(&m_colorScheme);
}

CTVLApp::~CTVLApp() {
  SetViewInfo(nullptr);
  SetColorScheme(nullptr);
}

BOOL CTVLApp::InitInstance() {
  seams::IgnoreFileSizeSignal();  // a file past the size limit fails its write, not the program
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&icc);
  seams::InstallWin32Seams();
  seams::SetProgressFactory(&ProgressWndFactory::Instance());
  SetEffectDialogs(&WindowEffectDialogs::Instance());

  auto* frame = new CMainFrame;
  // The frame deletes itself when its window goes, also when creation fails.
  if (!frame->LoadFrame(IDR_MAINFRAME)) return FALSE;
  m_pMainWnd = frame;
  frame->ShowWindow(m_nCmdShow);
  frame->UpdateWindow();
  return TRUE;
}

int CTVLApp::ExitInstance() {
  seams::RemoveWin32Seams();
  return CWinApp::ExitInstance();
}
