#pragma once
// What the options dialogs need of the application: its settings records, the names of
// the mixer's inputs, the view that shows the recording mode and the information strip,
// and what to do when the devices or the colours changed. The application fills one
// and installs it at start-up; until then the dialogs work on records of their own.
#include <windows.h>

#include "platform/afx/linux_headers_begin.h"
#include <functional>
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

class AdvanceRecordSetting;
class ColorSchemeOptions;
class FileEncodeOptions;
class FileOutputOptions;
class InputSourceSetting;
class SoundDeviceOptions;

// Messages between the program's windows.
inline constexpr UINT kRecordingModeMessage = 0x5F7;  // wParam: the new recording mode
inline constexpr UINT kRepaintInfoMessage = 0x5F9;    // wParam: erase flag
inline constexpr UINT kFileTypeMessage = 0x5FA;       // wParam: file type 0 MP3, 1 WAV, 2 OGG

struct OptionsHost {
  AdvanceRecordSetting* advance = nullptr;
  FileEncodeOptions* encode = nullptr;          // the record recordings use
  FileEncodeOptions* encodeForSaves = nullptr;  // the working copy of saves; may be null
  FileOutputOptions* output = nullptr;
  ColorSchemeOptions* colors = nullptr;
  SoundDeviceOptions* devices = nullptr;
  InputSourceSetting* inputSource = nullptr;
  std::vector<std::string> inputSourceNames;
  // The main frame's active view; null when there is none.
  std::function<HWND()> activeView;
  // The control panel and its Record button (the wizard's "&Record").
  std::function<HWND()> controlPanel;
  std::function<HWND()> recordButton;
  // The device record changed: reopen the mixer for it and read the input names again.
  std::function<void()> devicesChanged;
  // Applies the application's colour scheme to the windows.
  std::function<void()> colorsChanged;
  // The index of an input source's name among the application's names (compared as the
  // user's locale compares texts); 0, the first source, when none matches.
  std::function<int(const char*)> findInputSource;
};

// The installed host; before one is installed, a host with default records of its own.
OptionsHost& GetOptionsHost();
// Returns the previous host; null goes back to the built-in one.
OptionsHost* SetOptionsHost(OptionsHost* host);

// Posts to the active view when there is one.
void PostToActiveView(UINT message, WPARAM wParam);
