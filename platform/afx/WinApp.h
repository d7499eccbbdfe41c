#pragma once
// The application object: one per program, reached with AfxGetApp. It owns the main
// window and runs the message loop with idle-time work between messages.
#include "platform/afx/Wnd.h"

class CCommandLineInfo;
class CDocManager;
class CDocTemplate;
class CDocument;
class CRecentFileList;

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
  // Whether the message may have changed what the bars show, so that the idle work
  // runs again once the queue is empty. Paint messages and a mouse that moved to
  // where it already was change nothing.
  virtual BOOL IsIdleMessage(MSG* msg);

  // The message handled last by PumpMessage.
  MSG m_msgCur{};

protected:
  int m_nExitCode = 0;

private:
  UINT m_nLastMouseMessage = 0;
  POINT m_ptLastMouse{-1, -1};
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
  // a registry key is set (Software\<profile>\<section> for an empty key), else in the
  // profile file "<profile>.ini".
  UINT GetProfileInt(const char* section, const char* entry, int defaultValue);
  BOOL WriteProfileInt(const char* section, const char* entry, int value);
  // Text settings, in the same places; a null value removes the entry.
  CString GetProfileString(const char* section, const char* entry, const char* defaultValue = nullptr);
  BOOL WriteProfileString(const char* section, const char* entry, const char* value);

  // Documents (AppDoc.cpp). The application owns its document manager (made by the
  // first AddDocTemplate unless the program installed its own) and the recent-file
  // list (made by LoadStdProfileSettings).
  CDocManager* m_pDocManager = nullptr;
  CRecentFileList* m_pRecentFileList = nullptr;
  void AddDocTemplate(CDocTemplate* docTemplate);
  virtual CDocument* OpenDocumentFile(const char* path);
  virtual void AddToRecentFileList(const char* path);
  // Reads the recent-file list ("Recent File List", "File%d") of maxFiles entries.
  void LoadStdProfileSettings(UINT maxFiles = 4);
  BOOL DoPromptFileName(CString& fileName, UINT titleId, DWORD flags, BOOL openFileDialog,
                        CDocTemplate* docTemplate);
  // The command line's parameters, one by one, into info.
  void ParseCommandLine(CCommandLineInfo& info);
  // New document or open the file the command line names; FALSE when that failed.
  BOOL ProcessShellCommand(CCommandLineInfo& info);
  // Handlers for the application's New and Open commands (a program puts them in
  // its message map).
  void OnFileNew();
  void OnFileOpen();
  // The recent-file entries' commands open their files (an entry whose file does not
  // open leaves the list); then the program's own map.
  BOOL OnCmdMsg(UINT id, int code, void* extra) override;
  // Saves the recent-file list and lets the documents go; called from ExitInstance.
  void ExitDocuments();

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
