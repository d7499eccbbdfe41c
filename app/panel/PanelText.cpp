#include "app/panel/PanelText.h"

namespace panel_text {
const char* const kRecordOpenError =
    "Error while opening sound device. Please check the input device settings and the project sample rate.";
const char* const kPlayOpenError =
    "Error while opening sound device. Please check the output device settings and the project sample rate.";
const char* const kErrorCaption = "Error";
const char* const kNoInputDevice = "None input device";
const char* const kTimeZero = "000:00.000";
const char* const kTipPlay = "Play current music";
const char* const kTipRecord = "Record";
const char* const kTipPause = "Pause";
const char* const kTipStop = "Stop";
const char* const kTipOptions = "Options";
const char* const kTipWizard = "Record Wizard";
const char* const kTipLoop = "Loop play mode";
const char* const kTipRewind = "Skip to start";
const char* const kTipFfwd = "Skip to end";
const char* const kTipSpeaker = "Speaker volume";
const char* const kTipMicrophone = "Microphone volume";
const char* const kOutputVolumePrompt = "Control playback volume: %1";
const char* const kInputVolumePrompt = "Control input volume: %1";
const char* const kNoVolumeControl = "No volume control program was found on this system.";
const char* const kStopRecordingToClose = "Tarvel is recording. Stop the recording and close Tarvel?";
}  // namespace panel_text
