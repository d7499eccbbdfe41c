#include "platform/seams/win32/Win32Seams.h"

#include "platform/afx/linux_headers_begin.h"
#include "platform/seams/MessageBox.h"
#include "platform/seams/WindowQueries.h"
#include "platform/afx/linux_headers_end.h"

namespace seams {

void StartWin32MessagePoster();
void StopWin32MessagePoster();

namespace {

class Win32MessageBox final : public MessageBoxService {
public:
  int Show(const std::string& text, const std::string& caption, unsigned flags) override {
    // Owned by the active window so it stays in front of the program.
    return ::MessageBoxA(::GetActiveWindow(), text.c_str(), caption.c_str(), flags);
  }
};

class Win32WindowQueries final : public WindowQueries {
public:
  bool IsWindow(WindowHandle window) override { return ::IsWindow(ToHwnd(window)) != FALSE; }
  void BringToFront(WindowHandle window) override {
    HWND hwnd = ToHwnd(window);
    if (!::IsWindow(hwnd)) return;
    if (::IsIconic(hwnd)) ::ShowWindow(hwnd, SW_RESTORE);
    ::SetForegroundWindow(::GetLastActivePopup(hwnd));
  }
};

Win32MessageBox g_messageBox;
Win32WindowQueries g_windowQueries;
Win32Registry g_registry;
}  // namespace

void InstallWin32Seams() {
  StartWin32MessagePoster();
  SetMessageBoxService(&g_messageBox);
  SetRegistryBackend(&g_registry);
  SetWindowQueries(&g_windowQueries);
}

void RemoveWin32Seams() {
  StopWin32MessagePoster();
  SetMessageBoxService(nullptr);
  SetRegistryBackend(nullptr);
  SetWindowQueries(nullptr);
}

}  // namespace seams
