// The Auto Detect Silence monitor without a sound device to listen to: it says so and
// stays usable, and the engine is not left measuring. With the audio rig's microphone
// it measures silence and a sine, and hands its factors to the recording page.
#include "options_test_support.h"

#include "options/sheet/AutoDetectSilenceDlg.h"
#include "options/sheet/OptionsCommands.h"
#include "options/sheet/OptionsText.h"
#include "resources/resource.h"
#include "support/wine/AudioRigForWine.h"
#include "support/wine/Wait.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdlib>
#include "core/engine/AudioIO.h"
#include "platform/afx/linux_headers_end.h"

namespace {

using namespace dialogtest;
using namespace optionstest;

class SilenceMonitorTest : public OptionsFixture {};

TEST_F(SilenceMonitorTest, AStreamThatCannotStartIsReportedAndLeavesTheDialogIdle) {
  RecordedMessageBoxes boxes;
  INT_PTR result = 0;
  DriveModal(
      "Auto Detect Silence",
      [&](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDOK), "Detect Silence");
        EXPECT_EQ(ItemText(dialog, IDC_ADS_ZCR_AVG_L), "0.005");
        EXPECT_EQ(ItemText(dialog, IDC_ADS_SE_MIN_R), "0.016");
        EXPECT_EQ(ItemText(dialog, IDC_ADS_COUNT), "1");
        EXPECT_TRUE(Checked(dialog, IDC_ADS_AVERAGE));
        EXPECT_FALSE(Enabled(dialog, IDC_ADS_SET_FACTORS)) << "no page to take the factors";
        Screenshot(dialog, "auto-detect-silence");

        Press(dialog, IDOK);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, options_text::kStreamCannotStart);
        EXPECT_TRUE(StillOpen(dialog));
        EXPECT_EQ(ItemText(dialog, IDOK), "Detect Silence");
        EXPECT_TRUE(Enabled(dialog, IDCANCEL));
        EXPECT_TRUE(Enabled(dialog, IDC_ADS_SOURCES));
        EXPECT_EQ(advance_.SilenceMonitorFlag, 0);
        // Statistics arriving now are not taken.
        ::SendMessageA(dialog, 0x5F8, MAKELONG(500, 100), MAKELONG(500, 100));
        EXPECT_EQ(ItemText(dialog, IDC_ADS_COUNT), "1");
        Press(dialog, IDCANCEL);
      },
      [&] {
        CAutoDetectSilenceDlg dialog(nullptr);
        result = dialog.DoModal();
      });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(advance_.SilenceMonitorFlag, 0);
}

double ItemNumber(HWND dialog, int id) { return std::atof(ItemText(dialog, id).c_str()); }

// One run of the monitor: Detect, wait for enough statistics, Stop. Answers the
// average zero-crossing rate and signal energy of the left channel.
std::pair<double, double> MeasureOnce(HWND monitor) {
  // The count of the previous run stays on show until the new run's first statistics.
  const std::string previous = ItemText(monitor, IDC_ADS_COUNT);
  Press(monitor, IDOK);
  EXPECT_EQ(ItemText(monitor, IDOK), options_text::kStopDetecting);
  EXPECT_TRUE(winetest::WaitUntil(
      [&] {
        return ItemText(monitor, IDC_ADS_COUNT) != previous && ItemNumber(monitor, IDC_ADS_COUNT) >= 150;
      },
      20000))
      << "statistics arrive from the running engine";
  const std::pair<double, double> averages{ItemNumber(monitor, IDC_ADS_ZCR_AVG_L),
                                           ItemNumber(monitor, IDC_ADS_SE_AVG_L)};
  Press(monitor, IDOK);
  EXPECT_EQ(ItemText(monitor, IDOK), options_text::kSilenceDetect);
  EXPECT_FALSE(gAudioIO->IsStreamActive());
  return averages;
}

TEST_F(SilenceMonitorTest, MeasuresTheRigsSilenceAndSineAndHandsTheFactorsToThePage) {
  winetest::AudioRigForWine rig;
  ASSERT_TRUE(rig.Ok()) << "the audio rig did not start";
  seams::InstallWin32Seams();
  seams::SetRegistryBackend(&registry_);
  CreateAudioIO(&advance_);
  ASSERT_NE(gAudioIO, nullptr);
  RecordedMessageBoxes boxes;
  std::pair<double, double> silence, sine;
  std::string zcrFactor, seFactor;
  INT_PTR result = 0;
  DriveModal(
      "Options",
      [&](HWND sheet) {
        HWND page = CurrentPage(sheet);
        Click(page, IDC_AR_ENABLE_SILENCE);
        DriveModal(
            "Auto Detect Silence",
            [&](HWND monitor) {
              silence = MeasureOnce(monitor);
              ASSERT_TRUE(rig.StartSine(441));
              sine = MeasureOnce(monitor);
              Screenshot(monitor, "auto-detect-silence-measured");
              EXPECT_TRUE(Enabled(monitor, IDC_ADS_SET_FACTORS));
              Press(monitor, IDC_ADS_SET_FACTORS);
              Press(monitor, IDCANCEL);
            },
            [&] { Click(page, IDC_AR_AUTO_DETECT); });
        zcrFactor = ItemText(page, IDC_AR_ZCR_LEFT);
        seFactor = ItemText(page, IDC_AR_SE_LEFT);
        Press(sheet, IDOK);
      },
      [&] { result = RunAdvanceRecordSettingSheet(nullptr); });
  DestroyAudioIO();
  seams::RemoveWin32Seams();
  seams::SetRegistryBackend(&registry_);
  EXPECT_TRUE(boxes.shown.empty()) << boxes.shown[0].text;
  EXPECT_EQ(result, IDOK);

  // Silence crosses zero nowhere and carries no energy; a 441 Hz sine at 44.1 kHz
  // crosses zero twice in 100 samples.
  EXPECT_LT(silence.first, 0.002);
  EXPECT_LT(silence.second, 0.001);
  EXPECT_NEAR(sine.first, 0.020, 0.002);
  EXPECT_GT(sine.second, silence.second + 0.01);
  // The page took the averages plus the margin, and the sheet stored them.
  EXPECT_NEAR(std::atof(zcrFactor.c_str()), sine.first + 0.002, 0.0015) << zcrFactor;
  AdvanceRecordSetting stored;
  stored.Load();
  EXPECT_NEAR(stored.ZCRFactorLeft, sine.first + 0.002, 0.0015);
  EXPECT_NEAR(stored.SEFactorLeft, std::min(sine.second + 0.002, 0.2), 0.0015) << seFactor;
  EXPECT_EQ(advance_.SilenceMonitorFlag, 0) << "the engine is left not measuring";
}

}  // namespace
