#include "options/sheet/OptionsHost.h"

#include "platform/afx/linux_headers_begin.h"
#include "app/settings/AdvanceRecordSetting.h"
#include "app/settings/ColorSchemeOptions.h"
#include "app/settings/FileEncodeOptions.h"
#include "app/settings/FileOutputOptions.h"
#include "app/settings/InputSourceSetting.h"
#include "app/settings/SoundDeviceOptions.h"
#include "platform/afx/linux_headers_end.h"

namespace {

OptionsHost* g_host = nullptr;

// Records of the dialogs' own, made when first asked for.
OptionsHost& BuiltInHost() {
  static AdvanceRecordSetting advance;
  static FileEncodeOptions encode;
  static FileOutputOptions output;
  static ColorSchemeOptions colors;
  static SoundDeviceOptions devices;
  static InputSourceSetting inputSource;
  static OptionsHost host = [] {
    OptionsHost h;
    h.advance = &advance;
    h.encode = &encode;
    h.output = &output;
    h.colors = &colors;
    h.devices = &devices;
    h.inputSource = &inputSource;
    return h;
  }();
  return host;
}

}  // namespace

OptionsHost& GetOptionsHost() { return g_host ? *g_host : BuiltInHost(); }

OptionsHost* SetOptionsHost(OptionsHost* host) {
  OptionsHost* previous = g_host;
  g_host = host;
  return previous;
}

void PostToActiveView(UINT message, WPARAM wParam) {
  const OptionsHost& host = GetOptionsHost();
  HWND view = host.activeView ? host.activeView() : nullptr;
  if (view && ::IsWindow(view)) ::PostMessageA(view, message, wParam, 0);
}
