#pragma once
// Helpers of the options tests: a host of the test's own records stored in Wine's
// registry, and driving the sheet's pages and controls the way a user does.
#include "support/wine/DialogTestSupport.h"
#include "support/wine/TempFolder.h"
#include "support/wine/WindowCapture.h"

#include <prsht.h>

#include "options/sheet/OptionsHost.h"
#include "platform/seams/win32/Win32Seams.h"
#include "platform/seams/win32/Win32SettingsPlatform.h"

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include "app/settings/AdvanceRecordSetting.h"
#include "app/settings/ColorSchemeOptions.h"
#include "app/settings/FileEncodeOptions.h"
#include "app/settings/FileOutputOptions.h"
#include "app/settings/InputSourceSetting.h"
#include "app/settings/SoundDeviceOptions.h"
#include "platform/afx/linux_headers_end.h"

namespace optionstest {

inline const char* const kSections[] = {"AdvanceRecordSetting", "FileEncodeOptions", "FileOutputOptions",
                                        "ColorSchemeOptions", "SoundDeviceOptions"};

// Wine's registry and file system behind the records, the sections emptied, and a host
// of fresh records whose active view is a window of the test (it collects what the
// pages post to the view).
class OptionsFixture : public ::testing::Test {
protected:
  void SetUp() override {
    previousRegistry_ = seams::SetRegistryBackend(&registry_);
    previousPlatform_ = settings::SetSettingsPlatform(&platform_);
    for (const char* section : kSections)
      registry_.DeleteKey(seams::RegistryRoot::CurrentUser, std::string("Software\\Tarvel\\") + section);
    view_ =
        ::CreateWindowExA(0, "STATIC", "view", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    host_.advance = &advance_;
    host_.encode = &encode_;
    host_.output = &output_;
    host_.colors = &colors_;
    host_.devices = &devices_;
    host_.inputSource = &inputSource_;
    host_.activeView = [this] { return view_; };
    previousHost_ = SetOptionsHost(&host_);
  }
  void TearDown() override {
    SetOptionsHost(previousHost_);
    ::DestroyWindow(view_);
    settings::SetSettingsPlatform(previousPlatform_);
    seams::SetRegistryBackend(previousRegistry_);
  }

  // The messages of one kind waiting for the view, with their wParam.
  std::vector<WPARAM> ViewMessages(UINT message) {
    std::vector<WPARAM> seen;
    MSG msg;
    while (::PeekMessageA(&msg, view_, message, message, PM_REMOVE)) seen.push_back(msg.wParam);
    return seen;
  }

  bool KeyExists(const char* section) {
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, (std::string("Software\\Tarvel\\") + section).c_str(), 0, KEY_READ,
                        &key) != ERROR_SUCCESS)
      return false;
    ::RegCloseKey(key);
    return true;
  }

  seams::Win32Registry registry_;
  seams::Win32SettingsPlatform platform_;
  AdvanceRecordSetting advance_;
  FileEncodeOptions encode_;
  FileOutputOptions output_;
  ColorSchemeOptions colors_;
  SoundDeviceOptions devices_;
  InputSourceSetting inputSource_;
  OptionsHost host_;
  HWND view_ = nullptr;

private:
  seams::RegistryBackend* previousRegistry_ = nullptr;
  settings::SettingsPlatform* previousPlatform_ = nullptr;
  OptionsHost* previousHost_ = nullptr;
};

// ---- driving the sheet

inline HWND CurrentPage(HWND sheet) {
  return reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}
// Clicks the page's tab; answers the page.
inline HWND ShowPage(HWND sheet, int index) {
  ::SendMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
  PumpPendingMessages(50);
  return CurrentPage(sheet);
}
// Picks an entry of a drop-down list as a user does: the selection, then the
// notification the list sends its dialog.
inline void PickCombo(HWND dialog, int id, int index) {
  HWND combo = ::GetDlgItem(dialog, id);
  ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}
inline int ComboIndex(HWND dialog, int id) {
  return static_cast<int>(::SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}
inline std::string ComboText(HWND dialog, int id) {
  const int index = ComboIndex(dialog, id);
  char text[256] = {};
  if (index >= 0) ::SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
  return text;
}
inline void Click(HWND dialog, int id) { ::SendMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
inline bool Checked(HWND dialog, int id) { return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
inline bool Enabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }

// The panel of the File Output Encode page that is shown (a child dialog of the page).
inline HWND VisiblePanel(HWND page) {
  for (HWND child = ::GetWindow(page, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    char name[32] = {};
    ::GetClassNameA(child, name, sizeof name);
    if (std::string(name) == "#32770" && ::IsWindowVisible(child)) return child;
  }
  return nullptr;
}

inline void Screenshot(HWND window, const std::string& name) {
  ::RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpPendingMessages(100);
  EXPECT_TRUE(::IsWindowVisible(window)) << name << ": a hidden window captures black";
  CapturedImage image = CaptureWindow(window, false);
  EXPECT_FALSE(image.Empty()) << name;
  size_t dark = 0;
  for (std::uint32_t pixel : image.pixels) dark += pixel == 0;
  EXPECT_LT(dark, image.pixels.size() / 2) << name << " is mostly black";
  EXPECT_TRUE(SavePng(image, std::string(TARVEL_TEST_BINARY_DIR "/screenshots/") + name + ".png")) << name;
}

}  // namespace optionstest
