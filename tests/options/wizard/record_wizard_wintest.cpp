// The Record Wizard driven as a user drives it: a double click on a step opens that
// step's page in an options sheet, OK there changes the summary, OK or "&Record" of the
// wizard stores everything (and records), Cancel changes nothing.
#include "options/sheet/options_test_support.h"

#include "options/wizard/RecordWizardDlg.h"
#include "resources/resource.h"

namespace {

using namespace dialogtest;
using namespace optionstest;

constexpr char kCaption[] = "Record Wizard";

struct Line {
  int flag;
  std::string text;
};

// The summary's lines: the flag byte and the visible text of each.
std::vector<Line> Summary(HWND wizard) {
  HWND list = ::GetDlgItem(wizard, IDC_RW_SUMMARY);
  std::vector<Line> lines;
  const int count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[512] = {};
    ::SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    const std::string whole = text;
    if (whole.size() < 14) continue;
    const int flag = ((whole[12] - 1) & 0x0F) | (((whole[13] - 1) & 0x0F) << 4);
    lines.push_back({flag, whole.substr(14)});
  }
  return lines;
}

std::vector<std::string> StepTexts(const std::vector<Line>& lines, int step) {
  std::vector<std::string> texts;
  for (const Line& line : lines)
    if (line.flag == step) texts.push_back(line.text);
  return texts;
}

// Double-clicks the first detail line of a step (the line after its header).
void OpenStep(HWND wizard, int step) {
  const std::vector<Line> lines = Summary(wizard);
  int index = -1;
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].flag == step) {
      index = static_cast<int>(i) + 1;
      break;
    }
  ASSERT_GE(index, 1);
  HWND list = ::GetDlgItem(wizard, IDC_RW_SUMMARY);
  ::SendMessageA(list, LB_SETCURSEL, index, 0);
  RECT item{};
  ::SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
  ::SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(item.left + 4, (item.top + item.bottom) / 2));
}

class RecordWizardTest : public OptionsFixture {
protected:
  void SetUp() override {
    OptionsFixture::SetUp();
    panel_ =
        ::CreateWindowExA(0, "STATIC", "panel", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    button_ =
        ::CreateWindowExA(0, "BUTTON", "Record", WS_CHILD, 0, 0, 5, 5, panel_, nullptr, nullptr, nullptr);
    host_.controlPanel = [this] { return panel_; };
    host_.recordButton = [this] { return button_; };
    host_.inputSourceNames = {"Line In", "Microphone"};
  }
  void TearDown() override {
    ::DestroyWindow(panel_);
    OptionsFixture::TearDown();
  }
  // The Record commands the panel received, as their lParam.
  std::vector<LPARAM> RecordCommands() {
    std::vector<LPARAM> seen;
    MSG msg;
    while (::PeekMessageA(&msg, panel_, WM_COMMAND, WM_COMMAND, PM_REMOVE))
      if (LOWORD(msg.wParam) == 1059) seen.push_back(msg.lParam);
    return seen;
  }
  HWND panel_ = nullptr;
  HWND button_ = nullptr;
};

TEST_F(RecordWizardTest, AStepsPageChangesTheSummaryAndCancelKeepsTheRecords) {
  const FileEncodeOptions before = encode_;
  INT_PTR result = 0;
  DriveModal(
      kCaption,
      [&](HWND wizard) {
        const std::vector<Line> first = Summary(wizard);
        ASSERT_FALSE(first.empty());
        EXPECT_EQ(first[0].text, "1.Step one: Recording source device options:");
        EXPECT_EQ(StepTexts(first, 1),
                  (std::vector<std::string>{"2.Step two: Recording sound source options:",
                                            "    Input source: Line In    volume: 0.30"}));
        const std::vector<std::string> encoding = StepTexts(first, 3);
        ASSERT_FALSE(encoding.empty());
        EXPECT_EQ(encoding[0], "    MP3 file encoding options:");
        Screenshot(wizard, "record-wizard");

        DriveModal(
            "Options",
            [&](HWND sheet) {
              HWND page = CurrentPage(sheet);
              EXPECT_EQ(::SendDlgItemMessageA(page, IDC_FF_TAB, TCM_GETCURSEL, 0, 0), 1) << "the Mp3 tab";
              HWND panel = VisiblePanel(page);
              ASSERT_TRUE(panel && ::GetDlgItem(panel, IDC_MP3_BITRATE));
              const int bitRate = ComboIndex(panel, IDC_MP3_BITRATE);
              PickCombo(panel, IDC_MP3_BITRATE, bitRate > 0 ? bitRate - 1 : bitRate + 1);
              Press(sheet, IDOK);
            },
            [&] { OpenStep(wizard, 3); });
        const std::vector<std::string> after = StepTexts(Summary(wizard), 3);
        ASSERT_FALSE(after.empty());
        EXPECT_EQ(after[0], "    MP3 file encoding options:");
        EXPECT_NE(after, encoding) << "the new encoding lines";
        Press(wizard, IDCANCEL);
      },
      [&] { result = RunRecordWizard(nullptr); });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(encode_.MP3BitRate, before.MP3BitRate);
  for (const char* section : kSections) EXPECT_FALSE(KeyExists(section)) << section;
  EXPECT_TRUE(RecordCommands().empty());
}

TEST_F(RecordWizardTest, RecordStoresEveryStepThenAsksThePanelToRecord) {
  RecordedMessageBoxes boxes;
  DriveModal(
      kCaption,
      [&](HWND wizard) {
        DriveModal(
            "Options",
            [&](HWND sheet) {
              Click(CurrentPage(sheet), IDC_AR_SAVING_MODE);
              Press(sheet, IDOK);
            },
            [&] { OpenStep(wizard, 4); });
        DriveModal(
            "Options",
            [&](HWND sheet) {
              HWND page = CurrentPage(sheet);
              PickCombo(page, IDC_FO_FILE_TYPE, 2);  // OGG
              Press(sheet, IDOK);
            },
            [&] { OpenStep(wizard, 2); });
        EXPECT_EQ(StepTexts(Summary(wizard), 3)[0], "    OGG file encoding options:");
        Press(wizard, IDC_RW_RECORD);
      },
      [&] { RunRecordWizard(nullptr); });
  EXPECT_TRUE(boxes.shown.empty()) << boxes.shown[0].text;
  AdvanceRecordSetting advance;
  advance.Load();
  EXPECT_EQ(advance.ActiveRecordingMode, 1);
  FileOutputOptions output;
  output.Load();
  EXPECT_EQ(output.eFileType, 2);
  EXPECT_TRUE(KeyExists("FileEncodeOptions"));
  EXPECT_TRUE(KeyExists("SoundDeviceOptions"));
  EXPECT_EQ(advance_.ActiveRecordingMode, 1);
  EXPECT_EQ(output_.eFileType, 2);
  EXPECT_EQ(RecordCommands(), std::vector<LPARAM>{reinterpret_cast<LPARAM>(button_)});
}

}  // namespace
