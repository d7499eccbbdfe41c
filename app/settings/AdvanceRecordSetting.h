#pragma once
// The recording settings record, registry section "AdvanceRecordSetting".
// Fields carry their registry value names; the audio engine reads them by these names.
#include <cstdint>
#include <string>
#include <vector>

class AdvanceRecordSetting {
public:
  static constexpr const char* kSection = "AdvanceRecordSetting";

  AdvanceRecordSetting() { SetDefaults(); }

  void SetDefaults();
  int Load();
  int Save();
  // Only "ActiveRecordingMode" / only "EnableSilenceDetection".
  int SaveRecordingMode();
  int SaveSilenceDetection();
  // The directly saving mode with auto split, or with silence detection whose saving-mode
  // action is New File (3).
  bool SplitsFiles() const;
  void GetSummary(std::vector<std::string>* lines) const;

  double TimeLimitTo;                // seconds
  std::int32_t TimeLimitType;        // 0 no limit, 1 limit
  std::int32_t ActiveRecordingMode;  // 0 editing, 1 directly saving
  std::int32_t EnableSilenceDetection;
  std::uint32_t SilenceDetectionAlgorihms;  // bit 0 ZCR, bit 1 signal energy (name spelled so)
  std::int32_t SilenceDetectionLogic;       // with both algorithms: nonzero AND, 0 OR
  double ZCRFactorLeft;
  double ZCRFactorRight;
  double SEFactorLeft;
  double SEFactorRight;
  double ZCRDelaySeconds;
  double SEDelaySeconds;
  std::int32_t ActionsOfEditingMode;  // 1 Pause, 2 Stop, other None
  std::int32_t ActionsOfSavingMode;   // 1 Pause, 2 Stop, 3 New File, other None
  std::int32_t EnableAutoSplit;
  double AutoSplitTimeSeconds;
  std::int32_t SilenceMonitorFlag;  // not stored; 1 while the monitor dialog measures
};
