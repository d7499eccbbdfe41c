#pragma once
// The application object: one per program, reached with AfxGetApp. It owns the main
// window and runs the message loop with idle-time work between messages.
#include "platform/afx/Wnd.h"

class CWinThread : public CCmdTarget {
public:
  CWinThread() = default;
  CWnd* m_pMainWnd = nullptr;

  virtual BOOL InitInstance() { return FALSE; }
  virtual int ExitInstance();
  // The message loop: returns the exit code of WM_QUIT after ExitInstance.
  virtual int Run();
  // Work done when the queue is empty; return TRUE while more idle work remains.
  virtual BOOL OnIdle(LONG count);
  virtual BOOL PreTranslateMessage(MSG* msg);
  // Handles one message; FALSE when it was WM_QUIT or the queue could not be read.
  virtual BOOL PumpMessage();

protected:
  int m_nExitCode = 0;
};

class CWinApp : public CWinThread {
public:
  // appName: the program's name; null takes string AFX_IDS_APP_TITLE of the module.
  explicit CWinApp(const char* appName = nullptr);
  ~CWinApp() override;

  HINSTANCE m_hInstance = nullptr;
  const char* m_pszAppName = nullptr;
  int m_nCmdShow = SW_SHOWNORMAL;
  const char* m_lpCmdLine = "";

  virtual BOOL InitApplication() { return TRUE; }

  // The company key under HKEY_CURRENT_USER\Software that settings live below, and the
  // profile name (the program's name) below it. SetRegistryKey sets the key and makes
  // the profile name the application's name.
  const char* m_pszRegistryKey = nullptr;
  const char* m_pszProfileName = nullptr;
  void SetRegistryKey(const char* key);
  // Integer settings: under HKEY_CURRENT_USER\Software\<key>\<profile>\<section> when
  // a registry key is set, else in the profile file "<profile>.ini".
  UINT GetProfileInt(const char* section, const char* entry, int defaultValue);
  BOOL WriteProfileInt(const char* section, const char* entry, int value);

private:
  CString m_strAppName;
  CString m_strRegistryKey;
  CString m_strProfileName;
};

// The string resource that names the program (the main window's title).
#define AFX_IDS_APP_TITLE 0xE000

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
CWnd* AfxGetMainWnd();
// The framework's start-up: set the application up, run it, tear it down.
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCmd);
