// The Auto Detect Silence monitor without a sound device to listen to: it says so and
// stays usable, and the engine is not left measuring.
#include "options_test_support.h"

#include "options/sheet/AutoDetectSilenceDlg.h"
#include "options/sheet/OptionsText.h"
#include "resources/resource.h"

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

}  // namespace
