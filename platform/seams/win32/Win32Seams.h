#pragma once
// The Win32 side of the seams the portable tier talks through.
#include <windows.h>

#include "platform/afx/linux_headers_begin.h"
#include "platform/seams/Registry.h"
#include "platform/seams/WindowMessages.h"
#include "platform/afx/linux_headers_end.h"

namespace seams {

// Installs the Win32 poster, message boxes and registry backend. Call once, on the
// user-interface thread, before the portable tier may post or ask.
void InstallWin32Seams();
// Stops the relay thread (posts still queued are delivered first) and removes the
// Win32 versions again.
void RemoveWin32Seams();

// Handles as they cross the seam.
inline WindowHandle ToWindowHandle(HWND hwnd) {
  return static_cast<WindowHandle>(reinterpret_cast<UINT_PTR>(hwnd));
}
inline HWND ToHwnd(WindowHandle handle) { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(handle)); }

// The registry of advapi32.
class Win32Registry final : public RegistryBackend {
public:
  std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, const std::string& path, bool writable) override;
  std::unique_ptr<RegistryKey> CreateKey(RegistryRoot root, const std::string& path) override;
  bool DeleteKey(RegistryRoot root, const std::string& path) override;
};

}  // namespace seams
