#include "options/help/HelpCommands.h"

#include "options/help/HelpText.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/afx/Wnd.h"

#include <htmlhelp.h>
#include <shellapi.h>

#include "platform/afx/linux_headers_begin.h"
#include <sys/stat.h>
#include "platform/afx/linux_headers_end.h"

namespace {

constexpr char kHelpFile[] = "TVLHelp.chm";
constexpr char kFirstPage[] = "::/index.html";
constexpr char kPagesFolder[] = "TVLHelp\\";
constexpr char kFirstPageFile[] = "index.html";
// How long the browser's starter may take to say whether it found a browser.
constexpr DWORD kBrowserStartMs = 10000;

std::string FolderOf(const std::string& programPath) {
  const size_t slash = programPath.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : programPath.substr(0, slash + 1);
}

std::string ProgramOrOwn(const std::string& programPath) {
  if (!programPath.empty()) return programPath;
  char path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
  return length == 0 || length >= sizeof path ? std::string() : std::string(path);
}

#ifdef __WINE__
bool UnixFolderExists(const char* path) {
  struct stat info {};
  return ::stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}
#endif

BOOL WINAPI ProgramWinHelp(HWND, LPCSTR, UINT command, ULONG_PTR) {
  if (command == HELP_QUIT) return TRUE;
  ShowHelpTopics();
  return TRUE;
}

}  // namespace

std::string HelpTopicsAddress(const std::string& programPath) {
  return FolderOf(programPath) + kHelpFile + kFirstPage;
}

std::string HelpPageFile(const std::string& programPath) {
  return FolderOf(programPath) + kPagesFolder + kFirstPageFile;
}

bool HelpViewerDrawsPages() {
#ifdef __WINE__
  // Wine draws HTML with its Gecko engine, which comes apart from wine: installed into
  // the prefix by wine's add-on installer, or for the whole system. Without it, or with
  // the HTML library switched off, the viewer's pages stay blank.
  HMODULE html = ::LoadLibraryA("mshtml.dll");
  if (!html) return false;
  ::FreeLibrary(html);
  char windows[MAX_PATH] = {};
  const UINT length = ::GetWindowsDirectoryA(windows, sizeof windows);
  if (length > 0 && length < sizeof windows) {
    const DWORD attributes = ::GetFileAttributesA((std::string(windows) + "\\system32\\gecko").c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
  }
  for (const char* shared : {"/usr/share/wine/gecko", "/usr/local/share/wine/gecko", "/opt/wine/gecko"})
    if (UnixFolderExists(shared)) return true;
  return false;
#else
  return true;
#endif
}

HWND ShowHelpInViewer(const std::string& programPath) {
  const std::string program = ProgramOrOwn(programPath);
  if (program.empty()) return nullptr;
  const std::string address = HelpTopicsAddress(program);
  return ::HtmlHelpA(::GetDesktopWindow(), address.c_str(), HH_DISPLAY_TOPIC, 0);
}

bool ShowHelpInBrowser(const std::string& programPath) {
  const std::string page = HelpPageFile(ProgramOrOwn(programPath));
  // The system's way to show an HTML file in the browser (under wine, its browser
  // starter hands the page to the desktop's browser), even where no program claims
  // the extension.
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_CLASSNAME | SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.lpClass = "htmlfile";
  info.lpVerb = "open";
  info.lpFile = page.c_str();
  info.nShow = SW_SHOWNORMAL;
  bool started = ::ShellExecuteExA(&info) != FALSE;
  if (started && info.hProcess) {
    // The starter ends at once, with a failure when it found no browser to hand the
    // page to; a browser that stays is a browser shown.
    DWORD code = 0;
    if (::WaitForSingleObject(info.hProcess, kBrowserStartMs) == WAIT_OBJECT_0 &&
        ::GetExitCodeProcess(info.hProcess, &code) && code != 0)
      started = false;
    ::CloseHandle(info.hProcess);
  }
  if (!started) AfxMessageBox(help_text::NoBrowser(page).c_str(), MB_OK | MB_ICONEXCLAMATION);
  return started;
}

void ShowHelpTopics(const std::string& programPath) {
  if (HelpViewerDrawsPages() && ShowHelpInViewer(programPath)) return;
  ShowHelpInBrowser(programPath);
}

void InstallProgramHelp() { AfxSetWinHelpFunction(ProgramWinHelp); }
