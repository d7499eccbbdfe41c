#pragma once
// The keeper of the user interface's state between runs: the registry base that all
// state lives under, the main window's placement, the toolkit-wide managers it made,
// and the whole-state load, save and clean with hooks around them. The application
// object inherits it as a second base; the one instance is reached with CurrentWorkspace.
#include "platform/afx/afxwin.h"

class FrameHelper;

class CTKWorkspace {
public:
  explicit CTKWorkspace(BOOL resourceUpdate = FALSE);
  virtual ~CTKWorkspace();
  CTKWorkspace(const CTKWorkspace&) = delete;
  CTKWorkspace& operator=(const CTKWorkspace&) = delete;

  virtual void OnWorkspaceHook(void*) {}
  virtual BOOL LoadState(const char* section = nullptr, FrameHelper* helper = nullptr);
  virtual BOOL CleanState(const char* section = nullptr);
  virtual BOOL SaveState(const char* section = nullptr, FrameHelper* helper = nullptr);
  virtual BOOL OnViewDoubleClick(CWnd* window, int viewId);
  virtual BOOL ShowPopupMenu(UINT menuId, const POINT& point, CWnd* owner);
  // The program's help for the controls of a window (WinHelp's context-menu help).
  virtual BOOL ShowContextHelp(CWnd* window, const void* helpData);
  virtual BOOL SaveStateOfFrame(FrameHelper* helper) { return SaveState(nullptr, helper); }
  virtual void BeforeLoadState() {}
  virtual void AfterLoadState() {}
  virtual void BeforeSaveState() {}
  virtual void AfterSaveState() {}
  virtual BOOL LoadWindowPlacement(RECT& rect, int& flags, int& showCmd);
  virtual BOOL StoreWindowPlacement(const RECT& rect, int flags, int showCmd);

  const CString& SetStateKeyName(const char* name);
  const CString& GetStateKeyName() const { return m_registryBase; }
  // The registry path of the base, followed by the addition and a backslash.
  CString GetSectionPath(const char* addition) const;
  // The program's help file: the program's path with the extension ".HLP".
  static CString HelpFilePath();
  // The version the stored state was written with, packed as major << 16 plus the
  // minor as two hexadecimal digits of its decimal form; -1 when unknown.
  int StoredVersion() const;

  // Toolkit-wide managers made on demand and deleted with the workspace; FALSE when
  // one exists already.
  BOOL InitKeyboardManager();
  BOOL CreateContextMenuManager();
  BOOL CreateShellManager();
  BOOL InitMouseManager();
  BOOL InitUserToolsManager(UINT listCommand, UINT firstId, UINT lastId);
  BOOL InitTearOffManager(UINT firstId, UINT lastId);

  int m_savedMajor = -1;
  int m_savedMinor = -1;
  BOOL m_forceDockLayout = FALSE;
  BOOL m_ownFrameOnly = FALSE;
  BOOL m_savingEnabled = TRUE;
  BOOL m_resourceUpdate;
  BOOL m_forceRelayout = FALSE;

protected:
  CString m_registryBase = "TKWorkspace";
  // Which toolkit-wide managers this workspace made (and deletes): keyboard, context
  // menu, mouse, user tools, tear-off, one unused, shell.
  BOOL m_createdKeyboard = FALSE;
  BOOL m_createdContextMenu = FALSE;
  BOOL m_createdMouse = FALSE;
  BOOL m_createdUserTools = FALSE;
  BOOL m_createdTearOff = FALSE;
  BOOL m_createdUnused = FALSE;
  BOOL m_createdShell = FALSE;
};

CTKWorkspace* CurrentWorkspace();
