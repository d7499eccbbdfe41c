#include "platform/seams/win32/Win32Seams.h"

#include "platform/afx/linux_headers_begin.h"
#include "platform/seams/message_box.h"
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

Win32MessageBox g_message_box;
Win32Registry g_registry;
}  // namespace

void InstallWin32Seams() {
  StartWin32MessagePoster();
  SetMessageBoxService(&g_message_box);
  SetRegistryBackend(&g_registry);
}

void RemoveWin32Seams() {
  StopWin32MessagePoster();
  SetMessageBoxService(nullptr);
  SetRegistryBackend(nullptr);
}

}  // namespace seams
