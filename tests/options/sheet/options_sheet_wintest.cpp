// The options sheet driven as a user drives it: pages chosen by their tabs, values
// typed and picked, OK or Cancel pressed; what counts is what lands in the registry
// and what the pages tell the view.
#include "options_test_support.h"

#include "options/sheet/OptionsCommands.h"
#include "options/sheet/OptionsText.h"
#include "resources/resource.h"

#include <shlobj.h>

namespace {

using namespace dialogtest;
using namespace optionstest;
using winetest::TempFolder;

enum Page { kColorPage, kEncodePage, kDevicePage, kOutputPage, kAdvancePage };

class OptionsSheetTest : public OptionsFixture {};

TEST_F(OptionsSheetTest, OkStoresTheValueChangedOnEachPage) {
  TempFolder folder("tvl-options");
  const std::string outputFolder = folder.File("Recordings\\Talks");
  RecordedMessageBoxes boxes;
  INT_PTR result = 0;
  DriveModal(
      "Options",
      [&](HWND sheet) {
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(sheet, 0x3021))) << "Apply is hidden";
        HWND page = ShowPage(sheet, kEncodePage);
        EXPECT_EQ(::SendDlgItemMessageA(page, IDC_FF_TAB, TCM_GETCURSEL, 0, 0), 1)
            << "MP3 output opens the Mp3 tab";
        Screenshot(sheet, "options-encode-mp3");
        page = ShowPage(sheet, kColorPage);
        PickCombo(page, IDC_CS_PRESETS, 8);  // "Midnight"
        EXPECT_EQ(ComboText(page, IDC_CS_PRESETS), "Midnight");
        Screenshot(sheet, "options-color-scheme");

        page = ShowPage(sheet, kOutputPage);
        SetItemText(page, IDC_FO_DIGITS, "6");
        SetItemText(page, IDC_FO_START_NO, "100000");
        SetItemText(page, IDC_FO_LEAD_NAME, "Talk one.x");
        SetItemText(page, IDC_FO_FOLDER, outputFolder.c_str());
        PickCombo(page, IDC_FO_FILE_TYPE, 1);  // WAV
        Screenshot(sheet, "options-file-output");

        // Leaving the File Output page with WAV chosen shows the Wav panel.
        page = ShowPage(sheet, kEncodePage);
        EXPECT_EQ(::SendDlgItemMessageA(page, IDC_FF_TAB, TCM_GETCURSEL, 0, 0), 0);
        HWND wav = VisiblePanel(page);
        EXPECT_TRUE(wav && ::GetDlgItem(wav, IDC_WAV_CONTAINER));
        Screenshot(sheet, "options-encode-wav");
        // The Ogg tab, then a rate on its panel.
        NMHDR change{::GetDlgItem(page, IDC_FF_TAB), IDC_FF_TAB, static_cast<UINT>(TCN_SELCHANGE)};
        ::SendDlgItemMessageA(page, IDC_FF_TAB, TCM_SETCURSEL, 2, 0);
        ::SendMessageA(page, WM_NOTIFY, IDC_FF_TAB, reinterpret_cast<LPARAM>(&change));
        HWND ogg = VisiblePanel(page);
        if (ogg && ::GetDlgItem(ogg, IDC_OGG_VBR_QUALITY))
          PickCombo(ogg, IDC_OGG_RATE, 4);  // 22050
        else
          ADD_FAILURE() << "no Ogg panel";
        Screenshot(sheet, "options-encode-ogg");

        page = ShowPage(sheet, kDevicePage);
        Screenshot(sheet, "options-sound-device");
        Click(page, IDC_SD_MONO);

        page = ShowPage(sheet, kAdvancePage);
        Screenshot(sheet, "options-advance-recording");
        Click(page, IDC_AR_SAVING_MODE);
        Press(sheet, IDOK);
      },
      [&] { result = RunOptionsSheet(nullptr); });
  ASSERT_EQ(result, IDOK);
  EXPECT_TRUE(boxes.shown.empty()) << boxes.shown[0].text;

  ColorSchemeOptions colors;
  colors.Load();
  EXPECT_EQ(colors.WaveformForeground, ColorSchemeOptions::Preset(8)[1]);
  EXPECT_EQ(colors.ControlBar, ColorSchemeOptions::Preset(8)[0]);
  FileEncodeOptions encode;
  encode.Load();
  EXPECT_EQ(encode.OGGSampleRate, 22050);
  SoundDeviceOptions devices;
  devices.Load();
  EXPECT_EQ(devices.ChannelCount, 1);
  FileOutputOptions output;
  output.Load();
  EXPECT_EQ(output.uFileNameDigitCount, 6u) << "kept as typed";
  EXPECT_EQ(output.uStartNO, 100000u) << "kept as typed";
  EXPECT_EQ(output.eFileType, 1);
  EXPECT_EQ(output.strFileLeadName, "Talk");
  EXPECT_EQ(output.strAutoNameFolder, outputFolder + "\\");
  EXPECT_NE(::GetFileAttributesA(outputFolder.c_str()), INVALID_FILE_ATTRIBUTES) << "the folder is made";
  AdvanceRecordSetting advance;
  advance.Load();
  EXPECT_EQ(advance.ActiveRecordingMode, 1);
  // The application's records took the values too, and the view heard of the new mode.
  EXPECT_EQ(advance_.ActiveRecordingMode, 1);
  EXPECT_EQ(output_.uFileNameDigitCount, 6u);
  EXPECT_EQ(ViewMessages(kRecordingModeMessage), std::vector<WPARAM>{1});
  EXPECT_FALSE(ViewMessages(kRepaintInfoMessage).empty());
}

TEST_F(OptionsSheetTest, CancelLeavesRecordsAndRegistryAlone) {
  RecordedMessageBoxes boxes;
  INT_PTR result = 0;
  DriveModal(
      "Options",
      [&](HWND sheet) {
        HWND page = ShowPage(sheet, kOutputPage);
        SetItemText(page, IDC_FO_DIGITS, "3");
        page = ShowPage(sheet, kAdvancePage);
        Click(page, IDC_AR_SAVING_MODE);
        page = ShowPage(sheet, kDevicePage);
        Click(page, IDC_SD_MONO);
        Press(sheet, IDCANCEL);
      },
      [&] { result = RunOptionsSheet(nullptr); });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(output_.uFileNameDigitCount, FileOutputOptions().uFileNameDigitCount);
  EXPECT_EQ(advance_.ActiveRecordingMode, 0);
  EXPECT_EQ(devices_.ChannelCount, SoundDeviceOptions().ChannelCount);
  for (const char* section : kSections) EXPECT_FALSE(KeyExists(section)) << section;
  EXPECT_TRUE(ViewMessages(kRecordingModeMessage).empty());
}

// The Sound Device page shows the channels the recordings are made with.
TEST_F(OptionsSheetTest, TheSoundDevicePageShowsTheStoredChannelCount) {
  for (const int channels : {1, 2}) {
    SCOPED_TRACE(channels);
    devices_.ChannelCount = channels;
    bool mono = false, stereo = false;
    DriveModal(
        "Options",
        [&](HWND sheet) {
          HWND page = ShowPage(sheet, kDevicePage);
          mono = ::IsDlgButtonChecked(page, IDC_SD_MONO) == BST_CHECKED;
          stereo = ::IsDlgButtonChecked(page, IDC_SD_STEREO) == BST_CHECKED;
          Press(sheet, IDOK);
        },
        [&] { RunOptionsSheet(nullptr); });
    EXPECT_EQ(mono, channels == 1);
    EXPECT_EQ(stereo, channels == 2);
    EXPECT_EQ(devices_.ChannelCount, channels) << "OK keeps what was shown";
  }
}

// The texts of a window's static controls.
BOOL CALLBACK CollectStaticText(HWND window, LPARAM param) {
  char name[32] = "", text[MAX_PATH] = "";
  ::GetClassNameA(window, name, sizeof name);
  if (lstrcmpiA(name, "Static") == 0 && ::GetWindowTextA(window, text, sizeof text) > 0)
    reinterpret_cast<std::vector<std::string>*>(param)->emplace_back(text);
  return TRUE;
}
std::vector<std::string> StaticTexts(HWND window) {
  std::vector<std::string> texts;
  ::EnumChildWindows(window, CollectStaticText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}
bool Shows(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST_F(OptionsSheetTest, TheFolderButtonBrowsesFromTheTypedFolderShowingTheChosenPathAndTakesIt) {
  TempFolder folder("tvl-browse");
  const std::string start = folder.Path();
  ASSERT_TRUE(::CreateDirectoryA(folder.File("Takes").c_str(), nullptr));
  const std::string chosen = folder.File("Takes");
  RecordedMessageBoxes boxes;
  std::vector<std::string> atStart, afterChoice;
  std::string taken;
  DriveModal(
      "Options",
      [&](HWND sheet) {
        HWND page = ShowPage(sheet, kOutputPage);
        SetItemText(page, IDC_FO_FOLDER, start.c_str());
        DriveModal(
            "Browse for Folder",
            [&](HWND browser) {
              // It opens on the typed folder, whose path its status line shows; the
              // user picks the folder inside it, and the status line follows.
              atStart = StaticTexts(browser);
              ::SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(chosen.c_str()));
              afterChoice = StaticTexts(browser);
              Screenshot(browser, "options-folder-browser");
              Press(browser, IDOK);
            },
            [&] { Press(page, IDC_FO_FOLDER_BROWSE); });
        taken = ItemText(page, IDC_FO_FOLDER);
        Press(sheet, IDCANCEL);
      },
      [&] { RunOptionsSheet(nullptr); });
  EXPECT_TRUE(Shows(atStart, options_text::kChooseDirectory)) << "the browser's title";
  EXPECT_TRUE(Shows(atStart, start)) << "the start folder in the status line";
  EXPECT_TRUE(Shows(afterChoice, chosen)) << "the chosen folder in the status line";
  EXPECT_EQ(taken, chosen);
  EXPECT_TRUE(boxes.shown.empty());
}

// Values the pages refuse: a message, and the page stays up on the offending value.
TEST_F(OptionsSheetTest, RefusedValuesKeepTheSheetOpen) {
  struct Case {
    Page page;
    int edit;
    const char* text;
    const char* message;
  } cases[] = {
      {kOutputPage, IDC_FO_DIGITS, "7", options_text::kDigitCountRange},
      {kOutputPage, IDC_FO_DIGITS, "1", options_text::kDigitCountRange},
      {kOutputPage, IDC_FO_START_NO, "1000000", options_text::kStartNumberRange},
      {kOutputPage, IDC_FO_START_NO, "0", options_text::kStartNumberRange},
      {kAdvancePage, IDC_AR_SPLIT, "19.5",
       "Auto split time limit to is out of range. The value should be greater than or equal to 20.000"},
      {kAdvancePage, IDC_AR_SPLIT, "twenty", "Please enter a number."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    RecordedMessageBoxes boxes;
    DriveModal(
        "Options",
        [&](HWND sheet) {
          HWND page = ShowPage(sheet, c.page);
          if (c.edit == IDC_AR_SPLIT) Click(page, IDC_AR_AUTO_SPLIT);
          SetItemText(page, c.edit, c.text);
          Press(sheet, IDOK);
          EXPECT_TRUE(StillOpen(sheet));
          ASSERT_EQ(boxes.shown.size(), 1u);
          EXPECT_EQ(boxes.shown[0].text, c.message);
          EXPECT_EQ(boxes.shown[0].flags & MB_ICONMASK, static_cast<unsigned>(MB_ICONEXCLAMATION));
          EXPECT_EQ(::GetFocus(), ::GetDlgItem(page, c.edit)) << "the field to mend has the focus";
          Press(sheet, IDCANCEL);
        },
        [&] { RunOptionsSheet(nullptr); });
    EXPECT_FALSE(KeyExists("FileOutputOptions"));
    EXPECT_FALSE(KeyExists("AdvanceRecordSetting"));
  }
}

}  // namespace
