// The recording log driven as a user drives it: it opens at the output folder, lists
// the recordings there (their names and the folder's in letters of any language),
// plays one on a double click into the audio rig's speaker,
// pauses and resumes, and hands a file to the editor.
#include "player/player_rig_support.h"

#include "support/wine/DialogTestSupport.h"
#include "support/wine/WindowCapture.h"

#include <commctrl.h>

#include "options/log/LogCommands.h"
#include "options/log/LogFileDlg.h"
#include "resources/resource.h"
#include "toolkit/frames/ShellManager.h"

namespace {

using namespace dialogtest;
using namespace player_test;

constexpr char kCaption[] = "Recording log view";

void Screenshot(HWND window, const std::string& name) {
  ::RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpPendingMessages(100);
  CapturedImage image = CaptureWindow(window, false);
  EXPECT_FALSE(image.Empty()) << name;
  EXPECT_TRUE(SavePng(image, std::string(TARVEL_TEST_BINARY_DIR "/screenshots/") + name + ".png")) << name;
}

std::vector<std::string> ListedNames(HWND dialog) {
  HWND list = ::GetDlgItem(dialog, IDC_LOG_LIST);
  std::vector<std::string> names;
  const int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    char text[MAX_PATH] = {};
    LVITEMA item{};
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    names.push_back(text);
  }
  return names;
}

// Which of Play, Pause, Stop and Edit are enabled, as "1010".
std::string Buttons(HWND dialog) {
  std::string state;
  for (int id : {IDC_LOG_PLAY, IDC_LOG_PAUSE, IDC_LOG_STOP, IDC_LOG_EDIT})
    state += ::IsWindowEnabled(::GetDlgItem(dialog, id)) ? '1' : '0';
  return state;
}

// Focuses a row and double-clicks it.
void DoubleClickRow(HWND dialog, int row) {
  HWND list = ::GetDlgItem(dialog, IDC_LOG_LIST);
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = state.stateMask;
  ::SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
  RECT cell{};
  cell.left = LVIR_LABEL;
  ::SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
  ::SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(cell.left + 4, (cell.top + cell.bottom) / 2));
}

class RecordingLogTest : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = std::make_unique<TempFolder>("tvl-log \xC3\xB1 \xE6\x97\xA5\xE6\x9C\xAC");
    ::CreateDirectoryA(folder_->File("Older.wav").c_str(), nullptr);  // a folder, not a recording
    ASSERT_TRUE(
        WriteBytes(folder_->File("Take1.WAV"), MakeWav(AsBytes(Sine(440, 44100, 2, 6.0)), 44100, 2, 16)));
    ASSERT_TRUE(WriteBytes(folder_->File("t\xC3\xA5ke2 \xE6\x97\xA5.mp3"), std::vector<uint8_t>(100, 0)));
    ASSERT_TRUE(WriteBytes(folder_->File("notes.txt"), std::vector<uint8_t>(10, 'x')));
  }
  std::unique_ptr<TempFolder> folder_;
  ShellManager shell_;
};

TEST_F(RecordingLogTest, ListsOnlyTheSoundFilesOfTheOutputFolderAndEditOpensOne) {
  std::vector<std::string> opened;
  INT_PTR result = 0;
  DriveModal(
      kCaption,
      [&](HWND dialog) {
        std::vector<std::string> names = ListedNames(dialog);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"Take1.WAV", "t\xC3\xA5ke2 \xE6\x97\xA5.mp3"}));
        EXPECT_EQ(Buttons(dialog), "1001");
        Screenshot(dialog, "recording-log");
        // Play with no focused file does nothing.
        Press(dialog, IDC_LOG_PLAY);
        EXPECT_EQ(Buttons(dialog), "1001");
        // Edit opens the focused file and closes the log.
        const int row = names[0] == ListedNames(dialog)[0] ? 0 : 1;
        LVITEMA state{};
        state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendDlgItemMessageA(dialog, IDC_LOG_LIST, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
        Press(dialog, IDC_LOG_EDIT);
      },
      [&] {
        result = RunRecordingLogDialog(nullptr, folder_->Path() + "\\",
                                       [&](const std::string& path) { opened.push_back(path); });
      });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(opened, std::vector<std::string>{folder_->File("Take1.WAV")});
}

TEST_F(RecordingLogTest, PlaysARecordingIntoTheSpeakerWithPauseAndResume) {
  AudioRigForWine rig;
  ASSERT_TRUE(rig.Ok()) << "the audio rig did not start";
  CLogFileDlg dialog(folder_->Path(), {});
  std::string recording;
  DriveModal(
      kCaption,
      [&](HWND hwnd) {
        const std::vector<std::string> names = ListedNames(hwnd);
        const int row = names.size() > 1 && names[1] == "Take1.WAV" ? 1 : 0;
        recording = rig.StartRecording();
        DoubleClickRow(hwnd, row);
        EXPECT_EQ(Buttons(hwnd), "0110");
        EXPECT_EQ(dialog.GetInfoPanel().GetFileName(), "Take1.WAV");
        EXPECT_TRUE(winetest::WaitUntil([&] { return dialog.GetInfoPanel().GetTotalSeconds() == 6; }, 5000))
            << "the length arrives from the engine";
        EXPECT_TRUE(winetest::WaitUntil([&] { return dialog.GetInfoPanel().GetCurrentSecond() >= 1; }, 5000));
        Screenshot(hwnd, "recording-log-playing");
        Press(hwnd, IDC_LOG_PAUSE);
        EXPECT_EQ(Buttons(hwnd), "1010");
        winetest::WaitUntil([] { return false; }, 300);
        Press(hwnd, IDC_LOG_PLAY);  // resumes without opening the file again
        EXPECT_EQ(Buttons(hwnd), "0110");
        winetest::WaitUntil([] { return false; }, 1500);
        Press(hwnd, IDC_LOG_STOP);
        winetest::WaitUntil([] { return false; }, 300);
        rig.StopRecording();
        EXPECT_EQ(Buttons(hwnd), "1001");
        Press(hwnd, IDOK);
      },
      [&] { dialog.DoModal(); });
  EXPECT_EQ(dialog.GetEngine(), nullptr) << "closing the log ends its engine";
  std::vector<double> left = Sounding(Channel(SpeakerPcm(recording), 2, 0));
  EXPECT_GT(left.size() / 44100.0, 1.5) << "played before and after the pause";
  EXPECT_LT(left.size() / 44100.0, 5.0) << "Stop ended the sound before the file's end";
  EXPECT_NEAR(ZeroCrossingFrequency(left, 44100), 440, 4.4);
  EXPECT_NEAR(20 * std::log10(Rms(left) + 1e-12), 20 * std::log10(0.5 / std::sqrt(2.0)), 1.0);
}

// What a user sees while a recording plays to its end: the second heard (not the one
// the decoder has reached, seconds ahead of the speaker), the whole name of each file,
// the chosen row in the selection's colours while the buttons have the focus, and the
// buttons of a stopped player once the file has played out.
TEST_F(RecordingLogTest, AFilePlayedToItsEndShowsTheSecondHeardAndThePlayerStopsByItself) {
  AudioRigForWine rig;
  ASSERT_TRUE(rig.Ok()) << "the audio rig did not start";
  TempFolder folder("tvl-log-end");
  const std::string longName = "An evening recording with a long name 0001.wav";
  ASSERT_TRUE(WriteBytes(folder.File(longName), MakeWav(AsBytes(Sine(440, 44100, 2, 3.0)), 44100, 2, 16)));
  ASSERT_TRUE(WriteBytes(folder.File("b.wav"), MakeWav(AsBytes(Sine(440, 44100, 2, 1.0)), 44100, 2, 16)));
  CLogFileDlg dialog(folder.Path(), {});
  DriveModal(
      kCaption,
      [&](HWND hwnd) {
        HWND list = ::GetDlgItem(hwnd, IDC_LOG_LIST);
        const std::vector<std::string> names = ListedNames(hwnd);
        const int row = names.size() > 1 && names[1] == longName ? 1 : 0;
        ASSERT_EQ(names[static_cast<size_t>(row)], longName);
        const int nameWidth = static_cast<int>(
            ::SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(longName.c_str())));
        EXPECT_GE(::SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0), nameWidth)
            << "the Name column shows it whole";

        DoubleClickRow(hwnd, row);
        const DWORD started = ::GetTickCount();
        ::SetFocus(::GetDlgItem(hwnd, IDC_LOG_STOP));
        ASSERT_TRUE(winetest::WaitUntil([&] { return dialog.GetInfoPanel().GetTotalSeconds() == 3; }, 5000));
        // 1.2 s after the start nothing past the second second can have been heard.
        winetest::WaitUntil([&] { return ::GetTickCount() - started >= 1200; }, 3000);
        EXPECT_LE(dialog.GetInfoPanel().GetCurrentSecond(), 1) << "the current time runs with what is heard";

        // The row being played stands out in the selection's colour.
        RECT cell{};
        cell.left = LVIR_BOUNDS;
        ::SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
        ::RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        CapturedImage shot = CaptureWindow(list, true);
        const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
        int highlighted = 0;
        for (int x = cell.left; x < std::min<int>(cell.right, shot.width); ++x)
          highlighted += shot.At(x, (cell.top + cell.bottom) / 2) == highlight;
        EXPECT_GT(highlighted, (cell.right - cell.left) / 2) << "the selected row without the focus";
        Screenshot(hwnd, "recording-log-row-playing");

        EXPECT_TRUE(winetest::WaitUntil([&] { return Buttons(hwnd) == "1001"; }, 8000))
            << "at its end the player is stopped: Play and Edit, not Pause and Stop (" << Buttons(hwnd)
            << ")";
        EXPECT_EQ(dialog.GetInfoPanel().GetCurrentSecond(), 3) << "the end was heard";
        Press(hwnd, IDOK);
      },
      [&] { dialog.DoModal(); });
}

}  // namespace
