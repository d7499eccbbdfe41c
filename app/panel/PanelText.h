#pragma once
// What the recording control panel says to the user.
namespace panel_text {
extern const char* const kRecordOpenError;
extern const char* const kPlayOpenError;
extern const char* const kErrorCaption;
extern const char* const kNoInputDevice;
extern const char* const kTimeZero;
extern const char* const kTipPlay;
extern const char* const kTipRecord;
extern const char* const kTipPause;
extern const char* const kTipStop;
extern const char* const kTipOptions;
extern const char* const kTipWizard;
extern const char* const kTipLoop;
extern const char* const kTipRewind;
extern const char* const kTipFfwd;
extern const char* const kTipSpeaker;
extern const char* const kTipMicrophone;
extern const char* const kOutputVolumePrompt;  // %1: the value, "%.2f"
extern const char* const kInputVolumePrompt;
extern const char* const kNoVolumeControl;
extern const char* const kStopRecordingToClose;
}  // namespace panel_text
