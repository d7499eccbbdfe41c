#pragma once
// The user's keyboard shortcuts: the main frame's accelerator table saved to and loaded
// from the registry, restored from the resources, the shortcut text of a command for
// menus and tooltips, and virtual keys mapped to the characters menu access keys are
// compared with. One toolkit-wide object, reached through g_pKeyboardManager.
#include "platform/afx/afxwin.h"

class CMultiDocTemplate;

class CTKKeyboardManager {
public:
  CTKKeyboardManager() = default;
  virtual ~CTKKeyboardManager();
  CTKKeyboardManager(const CTKKeyboardManager&) = delete;
  CTKKeyboardManager& operator=(const CTKKeyboardManager&) = delete;

  // path: null or empty for the "TKKeyboardManager" section; frame: null for the
  // application's main frame.
  BOOL SaveState(const char* path = nullptr, CFrameWnd* frame = nullptr);
  BOOL LoadState(const char* path = nullptr, CFrameWnd* frame = nullptr);
  // Installs a new table made from the records as the frame's (the main frame's when
  // none is given); the replaced table is destroyed.
  BOOL UpdateAcceleratorTable(const ACCEL* records, int count, CFrameWnd* frame = nullptr);
  // With a template: the table becomes the template's, and its windows that still use
  // the replaced table get the new one.
  BOOL UpdateAcceleratorTable(CMultiDocTemplate* docTemplate, const ACCEL* records, int count,
                              CFrameWnd* frame = nullptr);
  BOOL RestoreDefaults();
  // Frees the copies of the frame's and the default accelerator tables kept for the
  // shortcut texts (at the toolkit's clean-up; they are made again when asked for).
  void CleanUp();

  BOOL FindAcceleratorText(UINT command, CString& text, CFrameWnd* frame, BOOL defaultTable);
  BOOL IsKeyUsed(WORD key, BYTE flags, CFrameWnd* frame, BOOL defaultTable);
  static UINT KeyToUpperChar(UINT key);

  // The text a menu shows for one shortcut, e.g. "Ctrl+Shift+S".
  static CString ShortcutText(const ACCEL& accel);

  // Commands the user may not rebind: stored shortcuts for them load as command 0.
  static CList<UINT, UINT> s_nonCustomizableCommands;
  // Letter keys are translated through the keyboard layout (for layouts whose letter
  // keys do not give Latin letters).
  static BOOL s_layoutLetters;

private:
  struct Cache {
    HACCEL table = nullptr;
    ACCEL* records = nullptr;
    int count = 0;
  };
  static BOOL SaveTable(const CString& path, int id, HACCEL table);
  static HACCEL LoadTable(const CString& path, int id);
  static CFrameWnd* MainFrame();
  // The multi-document templates that have an accelerator table.
  static CList<CMultiDocTemplate*, CMultiDocTemplate*>& TemplatesWithTables();
  BOOL InstallLoaded(HACCEL loaded, CMultiDocTemplate* docTemplate, CFrameWnd* frame);
  const Cache* CachedTable(CFrameWnd* frame, BOOL defaultTable);
  void ForgetTable(HACCEL table);

  Cache m_frameCache;
  Cache m_defaultCache;
};

extern CTKKeyboardManager* g_pKeyboardManager;
