#include "support/wine/DialogTestSupport.h"

#include "audiofiles/dialogs/AmplifyDlg.h"
#include "audiofiles/dialogs/WindowEffectDialogs.h"
#include "support/wine/WindowCapture.h"

#include "platform/afx/linux_headers_begin.h"
#include <cmath>
#include "audiofiles/effects/EffectAmplify.h"
#include "audiofiles/effects/EffectEcho.h"
#include "audiofiles/effects/EffectSilence.h"
#include "platform/afx/linux_headers_end.h"

namespace {

using namespace dialogtest;

// The effects ask through the window dialogs, as in the program.
class EffectDialogsTest : public ::testing::Test {
protected:
  void SetUp() override { previous_ = SetEffectDialogs(&WindowEffectDialogs::Instance()); }
  void TearDown() override { SetEffectDialogs(previous_); }

  RecordedMessageBoxes boxes_;

private:
  EffectDialogs* previous_ = nullptr;
};

int SpinPos(HWND dialog, int id) {
  return static_cast<int>(::SendDlgItemMessageA(dialog, id, UDM_GETPOS32, 0, 0));
}
int SpinUpper(HWND dialog, int id) {
  int lower = -1, upper = -1;
  ::SendDlgItemMessageA(dialog, id, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
                        reinterpret_cast<LPARAM>(&upper));
  EXPECT_EQ(lower, 0);
  return upper;
}
// One press of the arrow key in an edit that has a spin.
void ArrowKey(HWND dialog, int editId, int key) {
  HWND edit = ::GetDlgItem(dialog, editId);
  ::SendMessageA(edit, WM_KEYDOWN, key, 0);
  ::SendMessageA(edit, WM_KEYUP, key, 0);
}

// ---- Echo --------------------------------------------------------------------------

TEST_F(EffectDialogsTest, EchoOpensWithTheEffectsValuesAndOkHandsBackTheTypedOnes) {
  EffectEcho echo;
  echo.SetParameters(0.25f, 0.5f);
  bool ok = false;
  DriveModal(
      "Echo",
      [&](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_ECHO_DELAY), "0.250");
        EXPECT_EQ(ItemText(dialog, IDC_ECHO_DECAY), "0.50");
        EXPECT_EQ(SpinUpper(dialog, IDC_ECHO_DELAY_SPIN), 1200);  // 60 s in steps of 0.05
        EXPECT_EQ(SpinPos(dialog, IDC_ECHO_DELAY_SPIN), 5);
        EXPECT_EQ(SpinUpper(dialog, IDC_ECHO_DECAY_SPIN), 20);
        EXPECT_EQ(SpinPos(dialog, IDC_ECHO_DECAY_SPIN), 10);

        PumpPendingMessages(100);
        CapturedImage image = CaptureWindow(dialog, false);
        ASSERT_FALSE(image.Empty());
        EXPECT_TRUE(SavePng(image, TARVEL_TEST_BINARY_DIR "/screenshots/echo-dialog.png"));
        // The edits are drawn with their text: dark pixels inside the delay edit.
        RECT edit, window;
        ::GetWindowRect(::GetDlgItem(dialog, IDC_ECHO_DELAY), &edit);
        ::GetWindowRect(dialog, &window);
        int dark = 0;
        for (int y = edit.top - window.top; y < edit.bottom - window.top; ++y)
          for (int x = edit.left - window.left; x < edit.right - window.left; ++x)
            if (GetRValue(image.At(x, y)) < 80) ++dark;
        EXPECT_GT(dark, 10);

        SetItemText(dialog, IDC_ECHO_DELAY, "1.5");
        SetItemText(dialog, IDC_ECHO_DECAY, " 0.75 ");
        Press(dialog, IDOK);
      },
      [&] { ok = echo.PromptUser(); });
  EXPECT_TRUE(ok);
  EXPECT_FLOAT_EQ(echo.GetDelay(), 1.5f);
  EXPECT_FLOAT_EQ(echo.GetDecay(), 0.75f);
  EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(EffectDialogsTest, EchoRefusesValuesOutsideItsRangesAndStaysOnTheEdit) {
  struct Case {
    const char* delay;
    const char* decay;
    int badEdit;
    const char* message;
  } cases[] = {
      {"60.001", "0.5", IDC_ECHO_DELAY, "Delay Time is out of range. The valid value range is [0.0, 60.0]."},
      {"-0.1", "0.5", IDC_ECHO_DELAY, "Delay Time is out of range. The valid value range is [0.0, 60.0]."},
      {"one", "0.5", IDC_ECHO_DELAY, "Please enter a number."},
      {"1", "0", IDC_ECHO_DECAY, "Decay ratio is out of range. The valid value range is (0.0, 1.0]."},
      {"1", "1.01", IDC_ECHO_DECAY, "Decay ratio is out of range. The valid value range is (0.0, 1.0]."},
      {"1", "", IDC_ECHO_DECAY, "Please enter a number."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.delay) + " / " + c.decay);
    RecordedMessageBoxes boxes;
    EffectEcho echo;
    bool ok = false;
    DriveModal(
        "Echo",
        [&](HWND dialog) {
          SetItemText(dialog, IDC_ECHO_DELAY, c.delay);
          SetItemText(dialog, IDC_ECHO_DECAY, c.decay);
          Press(dialog, IDOK);
          EXPECT_TRUE(StillOpen(dialog));
          ASSERT_EQ(boxes.shown.size(), 1u);
          EXPECT_EQ(boxes.shown[0].text, c.message);
          EXPECT_EQ(::GetFocus(), ::GetDlgItem(dialog, c.badEdit));
          // Both ends that the ranges include are accepted.
          SetItemText(dialog, IDC_ECHO_DELAY, "60");
          SetItemText(dialog, IDC_ECHO_DECAY, "1");
          Press(dialog, IDOK);
        },
        [&] { ok = echo.PromptUser(); });
    EXPECT_TRUE(ok);
    EXPECT_EQ(echo.GetDelay(), 60.0f);
    EXPECT_EQ(echo.GetDecay(), 1.0f);
  }
}

TEST_F(EffectDialogsTest, EchoSpinsStepTheEditsWithinTheirRanges) {
  EffectEcho echo;
  echo.SetParameters(59.98f, 0.5f);
  bool ok = false;
  DriveModal(
      "Echo",
      [&](HWND dialog) {
        ArrowKey(dialog, IDC_ECHO_DELAY, VK_UP);
        EXPECT_EQ(ItemText(dialog, IDC_ECHO_DELAY), "60") << "stops at the maximum";
        ArrowKey(dialog, IDC_ECHO_DELAY, VK_DOWN);
        EXPECT_EQ(ItemText(dialog, IDC_ECHO_DELAY), "59.95");
        ArrowKey(dialog, IDC_ECHO_DECAY, VK_DOWN);
        EXPECT_EQ(ItemText(dialog, IDC_ECHO_DECAY), "0.45");
        Press(dialog, IDOK);
      },
      [&] { ok = echo.PromptUser(); });
  EXPECT_TRUE(ok);
  EXPECT_FLOAT_EQ(echo.GetDelay(), 59.95f);
  EXPECT_FLOAT_EQ(echo.GetDecay(), 0.45f);
}

TEST_F(EffectDialogsTest, CancelAndEscapeLeaveTheEffectsAsTheyWere) {
  for (bool escape : {false, true}) {
    EffectEcho echo;
    echo.SetParameters(0.25f, 0.5f);
    bool ok = true;
    DriveModal(
        "Echo",
        [&](HWND dialog) {
          SetItemText(dialog, IDC_ECHO_DELAY, "5");
          SetItemText(dialog, IDC_ECHO_DECAY, "0.9");
          if (escape) {
            HWND edit = ::GetDlgItem(dialog, IDC_ECHO_DELAY);
            ::SetFocus(edit);
            ::PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
          } else {
            Press(dialog, IDCANCEL);
          }
        },
        [&] { ok = echo.PromptUser(); });
    EXPECT_FALSE(ok);
    EXPECT_EQ(echo.GetDelay(), 0.25f);
    EXPECT_EQ(echo.GetDecay(), 0.5f);
  }

  EffectSilence silence;
  silence.SetDuration(12.0);
  bool ok = true;
  DriveModal(
      "Insert Silence",
      [&](HWND dialog) {
        SetItemText(dialog, IDC_SILENCE_DURATION, "99");
        Press(dialog, IDCANCEL);
      },
      [&] { ok = silence.PromptUser(); });
  EXPECT_FALSE(ok);
  EXPECT_EQ(silence.GetDuration(), 12.0);

  EffectAmplify amplify;
  amplify.SetRatio(2.0f);
  ok = true;
  DriveModal(
      "Amplify",
      [&](HWND dialog) {
        HWND slider = ::GetDlgItem(dialog, IDC_AMPLIFY_SLIDER);
        ::SendMessageA(slider, WM_KEYDOWN, VK_RIGHT, 0);
        Press(dialog, IDCANCEL);
      },
      [&] { ok = amplify.PromptUser(); });
  EXPECT_FALSE(ok);
  EXPECT_EQ(amplify.GetRatio(), 2.0f);
  EXPECT_TRUE(boxes_.shown.empty());
}

// ---- Insert Silence ----------------------------------------------------------------

TEST_F(EffectDialogsTest, InsertSilenceTakesADurationUpToFiveMinutes) {
  EffectSilence silence;  // 30 s to start with
  bool ok = false;
  DriveModal(
      "Insert Silence",
      [&](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_SILENCE_DURATION), "30.000");
        EXPECT_EQ(SpinUpper(dialog, IDC_SILENCE_DURATION_SPIN), 3000);
        EXPECT_EQ(SpinPos(dialog, IDC_SILENCE_DURATION_SPIN), 300);

        SetItemText(dialog, IDC_SILENCE_DURATION, "300.5");
        Press(dialog, IDOK);
        EXPECT_TRUE(StillOpen(dialog));
        ASSERT_EQ(boxes_.shown.size(), 1u);
        EXPECT_EQ(boxes_.shown[0].text,
                  "Duration of silence is out of range. The valid value range is [0.0, 300.0].");
        EXPECT_EQ(boxes_.shown[0].flags, static_cast<unsigned>(MB_ICONEXCLAMATION));

        SetItemText(dialog, IDC_SILENCE_DURATION, "0");  // allowed; the effect then uses 30 s
        Press(dialog, IDOK);
      },
      [&] { ok = silence.PromptUser(); });
  EXPECT_TRUE(ok);
  EXPECT_EQ(silence.GetDuration(), 0.0);

  silence.SetDuration(2.5);
  DriveModal(
      "Insert Silence",
      [&](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_SILENCE_DURATION), "2.500");
        ArrowKey(dialog, IDC_SILENCE_DURATION, VK_UP);
        EXPECT_EQ(ItemText(dialog, IDC_SILENCE_DURATION), "2.6");
        Press(dialog, IDOK);
      },
      [&] { ok = silence.PromptUser(); });
  EXPECT_TRUE(ok);
  EXPECT_DOUBLE_EQ(silence.GetDuration(), 2.6);
}

// ---- Amplify -----------------------------------------------------------------------

TEST_F(EffectDialogsTest, AmplifySliderStartsAtTheRatioInTenthsOfADecibel) {
  struct Case {
    double ratio;
    int position;
    const char* shown;
  } cases[] = {
      {1.0, 240, "1.000"},       {2.0, 300, "2.000"},  // 60.7 cut to 60
      {0.5, 181, "0.500"},                             // -59.7 cut toward zero to -59
      {1000.0, 480, "1000.000"}, {0.0, 0, "0.000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ratio);
    CAmplifyDlg amplify(c.ratio, 0.25);
    DriveModal(
        "Amplify",
        [&](HWND dialog) {
          EXPECT_EQ(::SendDlgItemMessageA(dialog, IDC_AMPLIFY_SLIDER, TBM_GETRANGEMAX, 0, 0), 480);
          EXPECT_EQ(::SendDlgItemMessageA(dialog, IDC_AMPLIFY_SLIDER, TBM_GETPOS, 0, 0), c.position);
          EXPECT_EQ(ItemText(dialog, IDC_AMPLIFY_RATIO), c.shown);
          EXPECT_EQ(ItemText(dialog, IDC_AMPLIFY_PEAK), "0.250") << "the selection's own peak";
          Press(dialog, IDCANCEL);
        },
        [&] { amplify.DoModal(); });
  }
}

TEST_F(EffectDialogsTest, AmplifySliderChangesTheRatioAndShowsTheAmplifiedPeak) {
  EffectAmplify amplify;  // ratio 1, peak 0 (a silent selection)
  bool ok = false;
  DriveModal(
      "Amplify",
      [&](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_AMPLIFY_PEAK), "0.000");
        HWND slider = ::GetDlgItem(dialog, IDC_AMPLIFY_SLIDER);
        // The user drags to +6.0 dB, then one key step right: +6.1 dB.
        ::SendMessageA(slider, TBM_SETPOS, TRUE, 300);
        ::SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 300),
                       reinterpret_cast<LPARAM>(slider));
        EXPECT_EQ(ItemText(dialog, IDC_AMPLIFY_RATIO), "1.995");
        ::SetFocus(slider);
        ::SendMessageA(slider, WM_KEYDOWN, VK_RIGHT, 0);
        EXPECT_EQ(ItemText(dialog, IDC_AMPLIFY_RATIO), "2.018");
        Press(dialog, IDOK);
      },
      [&] { ok = amplify.PromptUser(); });
  EXPECT_TRUE(ok);
  EXPECT_NEAR(amplify.GetRatio(), std::pow(10.0, 6.1 / 20.0), 1e-5);

  CAmplifyDlg withPeak(1.0, 0.4);
  DriveModal(
      "Amplify",
      [&](HWND dialog) {
        HWND slider = ::GetDlgItem(dialog, IDC_AMPLIFY_SLIDER);
        ::SendMessageA(slider, TBM_SETPOS, TRUE, 0);  // -24.0 dB
        ::SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(slider));
        EXPECT_EQ(ItemText(dialog, IDC_AMPLIFY_RATIO), "0.063");
        EXPECT_EQ(ItemText(dialog, IDC_AMPLIFY_PEAK), "0.025") << "0.4 amplified";
        Press(dialog, IDOK);
      },
      [&] { EXPECT_EQ(withPeak.DoModal(), IDOK); });
  EXPECT_NEAR(withPeak.GetRatio(), std::pow(10.0, -24.0 / 20.0), 1e-9);
}

}  // namespace
