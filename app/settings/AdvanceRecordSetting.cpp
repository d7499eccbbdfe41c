#include "app/settings/AdvanceRecordSetting.h"

#include <algorithm>
#include <cmath>

#include "app/settings/SettingsText.h"
#include "app/settings/ZQRegistry.h"

namespace {

// A silence factor from the registry within what the options page can set (0 to
// 0.2): the audio callback turns it into an integer threshold, which a damaged
// value (NaN, an infinity, 1e272) must never reach. NaN takes the default.
double SilenceFactorInRange(double value, double fallback) {
  if (std::isnan(value)) return fallback;
  return std::clamp(value, 0.0, 0.2);
}

}  // namespace

void AdvanceRecordSetting::SetDefaults() {
  TimeLimitTo = 10.0;
  TimeLimitType = 0;
  ActiveRecordingMode = 0;
  EnableSilenceDetection = 0;
  SilenceDetectionAlgorihms = 2;
  SilenceDetectionLogic = 0;
  ZCRFactorLeft = 0.005;
  ZCRFactorRight = 0.005;
  SEFactorLeft = 0.016;
  SEFactorRight = 0.016;
  ZCRDelaySeconds = 0.3;
  SEDelaySeconds = 0.3;
  ActionsOfEditingMode = 1;
  ActionsOfSavingMode = 1;
  EnableAutoSplit = 0;
  AutoSplitTimeSeconds = 60.0;
  SilenceMonitorFlag = 0;
}

int AdvanceRecordSetting::Load() {
  ZQRegistryHolder holder;
  CZQRegistry* reg = settings::OpenSectionForReading(holder, kSection);
  if (!reg) return 1;            // a missing section keeps what the record holds
  const AdvanceRecordSetting d;  // the read defaults
  reg->ReadInt("TimeLimitType", &TimeLimitType, d.TimeLimitType);
  reg->ReadDouble("TimeLimitTo", &TimeLimitTo);
  reg->ReadInt("ActiveRecordingMode", &ActiveRecordingMode, d.ActiveRecordingMode);
  reg->ReadInt("EnableSilenceDetection", &EnableSilenceDetection, d.EnableSilenceDetection);
  reg->ReadDword("SilenceDetectionAlgorihms", &SilenceDetectionAlgorihms, d.SilenceDetectionAlgorihms);
  reg->ReadInt("SilenceDetectionLogic", &SilenceDetectionLogic, d.SilenceDetectionLogic);
  reg->ReadDouble("ZCRFactorLeft", &ZCRFactorLeft);
  reg->ReadDouble("ZCRFactorRight", &ZCRFactorRight);
  reg->ReadDouble("ZCRDelaySeconds", &ZCRDelaySeconds);
  reg->ReadDouble("SEFactorLeft", &SEFactorLeft);
  reg->ReadDouble("SEFactorRight", &SEFactorRight);
  reg->ReadDouble("SEDelaySeconds", &SEDelaySeconds);
  reg->ReadInt("ActionsOfEditingMode", &ActionsOfEditingMode, d.ActionsOfEditingMode);
  reg->ReadInt("ActionsOfSavingMode", &ActionsOfSavingMode, d.ActionsOfSavingMode);
  reg->ReadInt("EnableAutoSplit", &EnableAutoSplit, d.EnableAutoSplit);
  reg->ReadDouble("AutoSplitTimeSeconds", &AutoSplitTimeSeconds);
  ZCRFactorLeft = SilenceFactorInRange(ZCRFactorLeft, d.ZCRFactorLeft);
  ZCRFactorRight = SilenceFactorInRange(ZCRFactorRight, d.ZCRFactorRight);
  SEFactorLeft = SilenceFactorInRange(SEFactorLeft, d.SEFactorLeft);
  SEFactorRight = SilenceFactorInRange(SEFactorRight, d.SEFactorRight);
  return 1;
}

int AdvanceRecordSetting::Save() {
  ZQRegistryHolder holder;
  CZQRegistry* reg = settings::OpenSectionForWriting(holder, kSection);
  if (!reg) return 1;
  reg->WriteInt("TimeLimitType", TimeLimitType);
  reg->WriteDouble("TimeLimitTo", TimeLimitTo);
  reg->WriteInt("ActiveRecordingMode", ActiveRecordingMode);
  reg->WriteInt("EnableSilenceDetection", EnableSilenceDetection);
  reg->WriteDword("SilenceDetectionAlgorihms", SilenceDetectionAlgorihms);
  reg->WriteInt("SilenceDetectionLogic", SilenceDetectionLogic);
  reg->WriteDouble("ZCRFactorLeft", ZCRFactorLeft);
  reg->WriteDouble("ZCRFactorRight", ZCRFactorRight);
  reg->WriteDouble("ZCRDelaySeconds", ZCRDelaySeconds);
  reg->WriteDouble("SEFactorLeft", SEFactorLeft);
  reg->WriteDouble("SEFactorRight", SEFactorRight);
  reg->WriteDouble("SEDelaySeconds", SEDelaySeconds);
  reg->WriteInt("ActionsOfEditingMode", ActionsOfEditingMode);
  reg->WriteInt("ActionsOfSavingMode", ActionsOfSavingMode);
  reg->WriteInt("EnableAutoSplit", EnableAutoSplit);
  reg->WriteDouble("AutoSplitTimeSeconds", AutoSplitTimeSeconds);
  return 1;
}

int AdvanceRecordSetting::SaveRecordingMode() {
  ZQRegistryHolder holder;
  if (CZQRegistry* reg = settings::OpenSectionForWriting(holder, kSection))
    reg->WriteInt("ActiveRecordingMode", ActiveRecordingMode);
  return 1;
}

int AdvanceRecordSetting::SaveSilenceDetection() {
  ZQRegistryHolder holder;
  if (CZQRegistry* reg = settings::OpenSectionForWriting(holder, kSection))
    reg->WriteInt("EnableSilenceDetection", EnableSilenceDetection);
  return 1;
}

bool AdvanceRecordSetting::SplitsFiles() const {
  return ActiveRecordingMode == 1 &&
         (EnableAutoSplit != 0 || (EnableSilenceDetection != 0 && ActionsOfSavingMode == 3));
}

void AdvanceRecordSetting::GetSummary(std::vector<std::string>* lines) const {
  namespace text = settings_text;
  if (ActiveRecordingMode == 0)
    lines->push_back(text::kEditingModeLine);
  else if (ActiveRecordingMode == 1)
    lines->push_back(text::kDirectModeLine);

  if (TimeLimitType == 1)
    lines->push_back(text::Format(text::kTimeLimitFormat, TimeLimitTo));
  else if (TimeLimitType == 0)
    lines->push_back(text::kNoTimeLimitLine);

  lines->push_back(
      text::Format(text::kSilenceDetectionFormat, EnableSilenceDetection ? text::kEnable : text::kDisable));

  const char* algorithms;
  if (SilenceDetectionAlgorihms < 3)
    algorithms = (SilenceDetectionAlgorihms & 1) ? text::kZeroCrossing : text::kSignalEnergy;
  else
    algorithms = SilenceDetectionLogic ? text::kBothAlgorithms : text::kEitherAlgorithm;
  lines->push_back(text::Format(text::kAlgorithmsFormat, algorithms));

  const char* action = text::kNone;
  if (ActiveRecordingMode != 0) {
    if (ActionsOfSavingMode == 1)
      action = text::kActionPause;
    else if (ActionsOfSavingMode == 2)
      action = text::kActionStop;
    else if (ActionsOfSavingMode == 3)
      action = text::kActionNewFile;
  } else {
    if (ActionsOfEditingMode == 1)
      action = text::kActionPause;
    else if (ActionsOfEditingMode == 2)
      action = text::kActionStop;
  }
  lines->push_back(text::Format(text::kSilenceActionFormat, action));

  if (ActiveRecordingMode == 1) {
    if (EnableAutoSplit)
      lines->push_back(text::Format(text::kAutoSplitFormat, AutoSplitTimeSeconds));
    else
      lines->push_back(text::kNoAutoSplitLine);
  }
}
