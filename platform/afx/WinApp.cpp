#include "platform/afx/WinApp.h"

#include "platform/afx/ControlBar.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp* AfxGetApp() { return g_app; }

HINSTANCE AfxGetInstanceHandle() {
  return g_app && g_app->m_hInstance ? g_app->m_hInstance : ::GetModuleHandleA(nullptr);
}

CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

CWinApp::CWinApp(const char* appName) {
  g_app = this;
  if (appName) {
    m_strAppName = appName;
    m_pszAppName = m_strAppName;
  }
}

void CWinApp::SetRegistryKey(const char* key) {
  m_strRegistryKey = key;
  m_pszRegistryKey = m_strRegistryKey;
  m_strProfileName = m_pszAppName ? m_pszAppName : "";
  m_pszProfileName = m_strProfileName;
}

CWinApp::~CWinApp() {
  ExitDocuments();
  if (g_app == this) g_app = nullptr;
}

int CWinThread::ExitInstance() { return m_nExitCode; }

BOOL CWinThread::OnIdle(LONG count) {
  // The main window's bars bring their buttons and controls up to date.
  if (count == 0 && m_pMainWnd && m_pMainWnd->m_hWnd)
    ::SendMessageA(m_pMainWnd->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
  if (count == 0) CWnd::DeleteTempMap();
  return FALSE;
}

BOOL CWinThread::PreTranslateMessage(MSG* msg) {
  // Offer the message to each window from the target up to the main window.
  for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
    if (CWnd* wnd = CWnd::FromHandlePermanent(hwnd))
      if (wnd->PreTranslateMessage(msg)) return TRUE;
    if (m_pMainWnd && hwnd == m_pMainWnd->m_hWnd) break;
  }
  return FALSE;
}

BOOL CWinThread::PumpMessage() {
  MSG& msg = m_msgCur;
  BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
  if (got == -1) {
    // The queue could not be read: nothing more can arrive, so the loop ends.
    m_nExitCode = -1;
    return FALSE;
  }
  if (!got) {
    m_nExitCode = static_cast<int>(msg.wParam);
    return FALSE;
  }
  if (!PreTranslateMessage(&msg)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return TRUE;
}

BOOL CWinThread::IsIdleMessage(MSG* msg) {
  switch (msg->message) {
    case WM_PAINT:
    case WM_NCPAINT:
    case 0x0118:  // the system's caret blink timer
      return FALSE;
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE: {
      const bool same =
          msg->message == m_nLastMouseMessage && msg->pt.x == m_ptLastMouse.x && msg->pt.y == m_ptLastMouse.y;
      m_nLastMouseMessage = msg->message;
      m_ptLastMouse = msg->pt;
      return !same;
    }
    default:
      return TRUE;
  }
}

int CWinThread::Run() {
  // The idle work runs when the queue has become empty after a message that may have
  // changed something; other messages go straight back to waiting.
  // Without idle work pending the loop goes straight to waiting: each look at the
  // queue is a request to the window system.
  BOOL idle = TRUE;
  LONG idleCount = 0;
  for (;;) {
    MSG msg;
    while (idle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(idleCount++)) idle = FALSE;
    }
    if (!PumpMessage()) return ExitInstance();
    if (IsIdleMessage(&m_msgCur)) {
      idle = TRUE;
      idleCount = 0;
    }
  }
}

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCmd) {
  CWinApp* app = AfxGetApp();
  if (!app) return -1;
  app->m_hInstance = instance;
  app->m_nCmdShow = showCmd;
  app->m_lpCmdLine = commandLine ? commandLine : "";
  static CString title;
  if (!app->m_pszAppName) {
    if (!title.LoadString(AFX_IDS_APP_TITLE)) title = "Tarvel";
    app->m_pszAppName = title;
  }
  if (!app->InitApplication() || !app->InitInstance()) {
    int code = app->ExitInstance();
    return code ? code : -1;
  }
  return app->Run();
}

namespace {
CString ProfileKeyPath(const CWinApp& app, const char* section) {
  // An empty key puts the program's settings straight under Software.
  CString path = "Software\\";
  if (*app.m_pszRegistryKey) {
    path += app.m_pszRegistryKey;
    path += "\\";
  }
  path += app.m_pszProfileName ? app.m_pszProfileName : "";
  path += "\\";
  path += section ? section : "";
  return path;
}
CString ProfileFile(const CWinApp& app) {
  CString file = app.m_pszProfileName ? app.m_pszProfileName : (app.m_pszAppName ? app.m_pszAppName : "app");
  file += ".ini";
  return file;
}
}  // namespace

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) {
  if (!m_pszRegistryKey) return ::GetPrivateProfileIntA(section, entry, defaultValue, ProfileFile(*this));
  HKEY key;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, ProfileKeyPath(*this, section), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return static_cast<UINT>(defaultValue);
  DWORD value = 0, type = 0, size = sizeof value;
  LONG status = ::RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  ::RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value)
    return static_cast<UINT>(defaultValue);
  return value;
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* entry, int value) {
  if (!m_pszRegistryKey) {
    char text[16];
    ::wsprintfA(text, "%d", value);
    return ::WritePrivateProfileStringA(section, entry, text, ProfileFile(*this));
  }
  HKEY key;
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, ProfileKeyPath(*this, section), 0, nullptr, 0, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
    return FALSE;
  DWORD data = static_cast<DWORD>(value);
  LONG status = ::RegSetValueExA(key, entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
  ::RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

CString CWinApp::GetProfileString(const char* section, const char* entry, const char* defaultValue) {
  if (!m_pszRegistryKey) {
    char text[1024] = {};
    ::GetPrivateProfileStringA(section, entry, defaultValue ? defaultValue : "", text, sizeof text,
                               ProfileFile(*this));
    return text;
  }
  HKEY key;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, ProfileKeyPath(*this, section), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return defaultValue;
  char text[1024] = {};
  DWORD type = 0, size = sizeof text - 1;
  LONG status = ::RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
  ::RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_SZ) return defaultValue;
  return text;
}

BOOL CWinApp::WriteProfileString(const char* section, const char* entry, const char* value) {
  if (!m_pszRegistryKey) return ::WritePrivateProfileStringA(section, entry, value, ProfileFile(*this));
  HKEY key;
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, ProfileKeyPath(*this, section), 0, nullptr, 0, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
    return FALSE;
  LONG status = value ? ::RegSetValueExA(key, entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                         static_cast<DWORD>(lstrlenA(value) + 1))
                      : ::RegDeleteValueA(key, entry);
  ::RegCloseKey(key);
  return status == ERROR_SUCCESS || (!value && status == ERROR_FILE_NOT_FOUND);
}
