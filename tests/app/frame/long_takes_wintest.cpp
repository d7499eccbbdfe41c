// Long and unattended takes through the program itself, at real lengths and times,
// with the rig's microphone playing a sine: a directly saved take split every 20
// seconds, the silence detection starting new files, a scheduled item made in its
// dialogs that starts and stops a take, and takes of a copy that is killed mid-take
// as a crash or a power cut would end it, then started again.
#include "app/frame/program_fixture.h"

#include "support/wine/ProgramDriver.h"
#include "support/wine/Wait.h"
#include "toolkit/bars/keyboard_input_support.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

using winetest::ProgramCopy;

constexpr const char* kUntitled = "Untitled - Tarvel 2.93";
using programtest::kSineHz;
constexpr UINT kRecordCommand = 32853;  // Record/Play > Record
constexpr UINT kStopCommand = 32852;
constexpr UINT kScheduleSettingsCommand = 32888;  // Options > Schedule Setting...
constexpr int kScheduleAdd = 1206, kScheduleActivate = 1209, kItemEnable = 1207, kItemStart = 1208,
              kItemStop = 1209;

// A top-level window of this title that shows within timeoutMs.
HWND WaitForWindow(const char* title, DWORD timeoutMs = 15000) {
  HWND found = nullptr;
  winetest::WaitUntil(
      [&] { return (found = ::FindWindowA(nullptr, title)) != nullptr && ::IsWindowVisible(found); },
      timeoutMs);
  return found;
}

// The user clicks a control of a window (its left part, where a picker's first field is).
void ClickControl(HWND control, int x = 6) {
  RECT r;
  ::GetClientRect(control, &r);
  toolbartest::ClickInWindow(control, POINT{x, r.bottom / 2});
}

// The user types a time into a time picker: a click on its hour, then the digits of
// each field, Right between them.
void TypeTime(HWND picker, const SYSTEMTIME& t) {
  ClickControl(picker);
  // The keys go where the focus is: on a busy machine the click takes a while to get
  // there.
  GUITHREADINFO focus{sizeof focus};
  EXPECT_TRUE(winetest::WaitUntil(
      [&] {
        return ::GetGUIThreadInfo(::GetWindowThreadProcessId(picker, nullptr), &focus) &&
               focus.hwndFocus == picker;
      },
      10000))
      << "the picker took no focus";
  char text[8];
  const WORD fields[] = {t.wHour, t.wMinute, t.wSecond};
  for (int i = 0; i < 3; ++i) {
    std::snprintf(text, sizeof text, "%02d", fields[i]);
    toolbartest::TypeText(text);
    if (i < 2) toolbartest::PressKey(0xFF53);  // Right
  }
}

// Seconds from now until the local time of the day t (negative when it has passed).
int SecondsUntil(const SYSTEMTIME& t);

SYSTEMTIME LocalTimeIn(int seconds) {
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER t;
  t.LowPart = now.dwLowDateTime;
  t.HighPart = now.dwHighDateTime;
  t.QuadPart += static_cast<ULONGLONG>(seconds) * 10000000ull;
  now.dwLowDateTime = t.LowPart;
  now.dwHighDateTime = t.HighPart;
  FILETIME local;
  ::FileTimeToLocalFileTime(&now, &local);
  SYSTEMTIME st;
  ::FileTimeToSystemTime(&local, &st);
  return st;
}

class LongTakeTest : public programtest::ProgramFixture {
protected:
  LongTakeTest() : ProgramFixture("long output", "long-temp", "app-long-") {}

  void Start(ProgramCopy& copy) {
    ASSERT_TRUE(copy.Start({}, m_log));
    ASSERT_NE(copy.WaitForMainWindow(kUntitled), nullptr) << "no main window; see " << m_log;
  }

  // The file of the output folder, once it is complete, as a decoder reads it.
  winetest::Decoded Output(const std::string& name) {
    std::string file;
    winetest::WaitUntil([&] { return !(file = winetest::FindFileNoCase(m_output.UnixPath(), name)).empty(); },
                        20000);
    if (file.empty() || !winetest::WaitForSettledFile(file, 20000)) return {};
    return winetest::DecodeWithSox(file, m_log + ".raw");
  }

  // Record, and the time the take really began: the first copy's journal (editing
  // mode) or the first file (directly saving) is there. The lengths a kill keeps are
  // counted from then, as a busy machine may take a moment to open the devices.
  void RecordAndWaitForTheTake(ProgramCopy& copy, const std::string& folder, const char* name) {
    copy.Command(kRecordCommand);
    ASSERT_TRUE(winetest::WaitUntil([&] { return !winetest::FindFileNoCase(folder, name).empty(); }, 20000))
        << "the take did not begin: no " << name << " in " << folder;
  }
  std::string FirstCopysFolder() { return m_temp.UnixPath() + "/$ZQY#Tmp#01$"; }

  // Starts the copy after a killed one: the box that tells of the recovered take
  // (its text in *text) is confirmed and the main window shows.
  void StartAndConfirmRecovery(ProgramCopy& next, DWORD timeoutMs, std::string* text) {
    ASSERT_TRUE(next.Start({}, m_log));
    HWND box = winetest::WaitForProgramMessageBox(timeoutMs, text);
    ASSERT_NE(box, nullptr) << "nothing told the user; see " << m_log;
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_NE(next.WaitForMainWindow(kUntitled), nullptr);
  }

  void SplitTake(int fileType, const char* extension);
};

// 45 seconds split every 20: three parts that together hold the whole take, and the
// program still runs after each split.
void LongTakeTest::SplitTake(int fileType, const char* extension) {
  Configure(1, fileType);
  winetest::WriteProgramDword("AdvanceRecordSetting", "EnableAutoSplit", 1);
  winetest::WriteProgramDouble("AdvanceRecordSetting", "AutoSplitTimeSeconds", 20.0);
  ProgramCopy copy;
  ASSERT_NO_FATAL_FAILURE(Start(copy));
  copy.Command(kRecordCommand);
  for (int second = 0; second < 45; ++second) {
    ::Sleep(1000);
    ASSERT_TRUE(copy.Running()) << "the program ended " << second << " s into the take; see " << m_log;
  }
  copy.Command(kStopCommand);
  double total = 0;
  for (int part = 1; part <= 3; ++part) {
    const std::string name = "take001-" + std::to_string(part) + "." + extension;
    const winetest::Decoded decoded = Output(name);
    SCOPED_TRACE(name);
    EXPECT_NEAR(decoded.frequency, kSineHz, kSineHz * 0.02)
        << "folder: " << winetest::ListFolder(m_output.UnixPath());
    if (part < 3) EXPECT_NEAR(decoded.seconds, 20.0, 0.5);
    total += decoded.seconds;
  }
  EXPECT_NEAR(total, 45.0, 1.5) << "the parts hold the whole take";
  EXPECT_TRUE(winetest::FindFileNoCase(m_output.UnixPath(), std::string("take001-4.") + extension).empty());
  EXPECT_TRUE(copy.Running());
  EXPECT_TRUE(copy.Close());
}

TEST_F(LongTakeTest, DirectWavTakeSplitEvery20SecondsKeepsEverySecond) { SplitTake(1, "wav"); }

TEST_F(LongTakeTest, DirectMp3TakeSplitEvery20SecondsKeepsEverySecond) { SplitTake(0, "mp3"); }

int SecondsUntil(const SYSTEMTIME& t) {
  const SYSTEMTIME now = LocalTimeIn(0);
  return (t.wHour * 3600 + t.wMinute * 60 + t.wSecond) - (now.wHour * 3600 + now.wMinute * 60 + now.wSecond);
}

// Silence in the middle of a directly saved take starts the next file (the silence
// detection's "start a new file"): two parts, each with its sound, and the program
// goes on.
TEST_F(LongTakeTest, SilenceInADirectTakeStartsTheNextFileAndTheProgramGoesOn) {
  Configure(1, 1);
  winetest::WriteProgramDword("AdvanceRecordSetting", "EnableSilenceDetection", 1);
  winetest::WriteProgramDword("AdvanceRecordSetting", "ActionsOfSavingMode", 3);
  ProgramCopy copy;
  ASSERT_NO_FATAL_FAILURE(Start(copy));
  copy.Command(kRecordCommand);
  ::Sleep(4000);
  s_rig->StopSine();
  ::Sleep(3000);
  ASSERT_TRUE(s_rig->StartSine(kSineHz));
  ::Sleep(4000);
  ASSERT_TRUE(copy.Running()) << "see " << m_log;
  copy.Command(kStopCommand);
  for (int part = 1; part <= 2; ++part) {
    const std::string name = "take001-" + std::to_string(part) + ".wav";
    const winetest::Decoded decoded = Output(name);
    EXPECT_GT(decoded.seconds, 3.0) << name << "; folder: " << winetest::ListFolder(m_output.UnixPath());
    EXPECT_NEAR(decoded.frequency, kSineHz, kSineHz * 0.02) << name;
  }
  EXPECT_TRUE(copy.Running());
  EXPECT_TRUE(copy.Close());
}

// A user makes an Every Day item in the schedule dialogs, a little ahead of now, with
// the program idle in the directly saving mode and the only copy running: at its start
// a real recording starts, at its stop it stops, and the file holds the item's length.
TEST_F(LongTakeTest, AScheduledItemMadeInItsDialogsRecordsAtItsTime) {
  ASSERT_TRUE(toolbartest::XDisplayInput::Get().Ready()) << "no X display to type and click at";
  Configure(1, 1);
  ProgramCopy copy;
  ASSERT_NO_FATAL_FAILURE(Start(copy));
  // An item that would cross midnight is not what this checks: wait for the new day.
  while (LocalTimeIn(0).wHour == 23 && LocalTimeIn(0).wMinute >= 58) ::Sleep(5000);

  copy.Command(kScheduleSettingsCommand);
  HWND settings = WaitForWindow("Schedule Setting Dialog");
  ASSERT_NE(settings, nullptr);
  if (::SendDlgItemMessageA(settings, kScheduleActivate, BM_GETCHECK, 0, 0) != BST_CHECKED)
    ClickControl(::GetDlgItem(settings, kScheduleActivate));
  ClickControl(::GetDlgItem(settings, kScheduleAdd), 10);
  HWND item = WaitForWindow("Schedule item property");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(::SendDlgItemMessageA(item, kItemEnable, BM_GETCHECK, 0, 0), BST_CHECKED)
      << "a new item is enabled";
  const SYSTEMTIME start = LocalTimeIn(45), stop = LocalTimeIn(57);
  TypeTime(::GetDlgItem(item, kItemStart), start);
  TypeTime(::GetDlgItem(item, kItemStop), stop);
  ClickControl(::GetDlgItem(item, IDOK), 10);
  ASSERT_TRUE(winetest::WaitUntil([&] { return !::IsWindow(item); }, 10000)) << "the item was refused";
  ClickControl(::GetDlgItem(settings, IDOK), 10);
  ASSERT_TRUE(winetest::WaitUntil([&] { return !::IsWindow(settings); }, 10000));

  // The stored item holds the typed times.
  unsigned char stored[56] = {};
  DWORD size = sizeof stored, type = 0;
  HKEY key;
  ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tarvel\\ScheduleSettings", 0, KEY_READ, &key),
            ERROR_SUCCESS);
  EXPECT_EQ(::RegQueryValueExA(key, "1", nullptr, &type, stored, &size), ERROR_SUCCESS);
  ::RegCloseKey(key);
  std::uint64_t storedStart = 0, storedStop = 0;
  std::memcpy(&storedStart, stored + 16, 8);
  std::memcpy(&storedStop, stored + 24, 8);
  EXPECT_EQ(storedStart, start.wHour * 3600u + start.wMinute * 60u + start.wSecond);
  EXPECT_EQ(storedStop, stop.wHour * 3600u + stop.wMinute * 60u + stop.wSecond);

  // Nothing before the start; the take at its time, as long as the item.
  ::Sleep(std::max(0, SecondsUntil(start) - 3) * 1000);
  EXPECT_TRUE(winetest::FilesEndingIn(m_output.UnixPath(), ".wav").empty()) << "started early";
  ::Sleep(std::max(0, SecondsUntil(stop) + 1) * 1000);
  const winetest::Decoded decoded = Output("take001.wav");
  EXPECT_NEAR(decoded.seconds, 12.0, 1.5) << winetest::ListFolder(m_output.UnixPath());
  EXPECT_NEAR(decoded.frequency, kSineHz, kSineHz * 0.02);
  EXPECT_TRUE(copy.Running());
  EXPECT_TRUE(copy.Close());
}

// Two copies run; the second shows the schedule locked while the first runs. The first
// exits: the lock goes, and the second runs the schedule: an item stored as the
// settings store it records in the second copy at its time.
TEST_F(LongTakeTest, TheSecondCopyTakesTheScheduleOverWhenTheFirstExits) {
  Configure(1, 1);
  while (LocalTimeIn(0).wHour == 23 && LocalTimeIn(0).wMinute >= 58) ::Sleep(5000);
  const SYSTEMTIME start = LocalTimeIn(40), stop = LocalTimeIn(50);
  unsigned char item[56] = {};
  const std::int32_t enabled = 1, everyDay = 0;
  const std::uint64_t from = start.wHour * 3600u + start.wMinute * 60u + start.wSecond;
  const std::uint64_t to = stop.wHour * 3600u + stop.wMinute * 60u + stop.wSecond;
  std::memcpy(item + 8, &enabled, 4);
  std::memcpy(item + 12, &everyDay, 4);
  std::memcpy(item + 16, &from, 8);
  std::memcpy(item + 24, &to, 8);
  winetest::WriteProgramDword("ScheduleSettings", "Active", 1);
  winetest::WriteProgramDword("ScheduleSettings", "Count", 1);
  winetest::WriteProgramValue("ScheduleSettings", "1", REG_BINARY, item, sizeof item);

  ProgramCopy first, second;
  ASSERT_NO_FATAL_FAILURE(Start(first));
  ASSERT_NO_FATAL_FAILURE(Start(second));
  // The schedule dialog of a second copy: each try tells whether its controls are locked.
  auto locked = [&] {
    second.Command(kScheduleSettingsCommand);
    std::string text;
    HWND box = winetest::WaitForProgramMessageBox(3000, &text);
    if (box) {
      EXPECT_NE(text.find("You are running many Tarvel instances"), std::string::npos) << text;
      ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    HWND settings = WaitForWindow("Schedule Setting Dialog");
    EXPECT_NE(settings, nullptr);
    const bool addEnabled = settings && ::IsWindowEnabled(::GetDlgItem(settings, kScheduleAdd));
    EXPECT_EQ(addEnabled, box == nullptr);
    if (settings) ::PostMessageA(settings, WM_COMMAND, IDCANCEL, 0);
    winetest::WaitUntil([&] { return !::IsWindow(settings); }, 10000);
    return box != nullptr;
  };
  EXPECT_TRUE(locked()) << "two copies run";
  EXPECT_TRUE(first.Close());
  EXPECT_FALSE(locked()) << "one copy runs";

  ::Sleep(std::max(0, SecondsUntil(stop) + 1) * 1000);
  const winetest::Decoded decoded = Output("take001.wav");
  EXPECT_NEAR(decoded.seconds, 10.0, 1.5) << winetest::ListFolder(m_output.UnixPath());
  EXPECT_NEAR(decoded.frequency, kSineHz, kSineHz * 0.02);
  EXPECT_TRUE(second.Close());
}

// A copy killed five seconds into a take in the editing mode (the default): the next
// copy that starts gives the take back as a WAV file in the output folder under the
// automatic name, says so in plain words, and only then cleans up; a copy that runs
// beside the dead one keeps its own folder; copies that end normally leave nothing
// to recover.
TEST_F(LongTakeTest, AnEditingTakeOfAKilledCopyComesBackAtTheNextStart) {
  Configure(0, 1);
  const std::string temp = m_temp.UnixPath();
  ProgramCopy killed, beside;
  ASSERT_NO_FATAL_FAILURE(Start(killed));
  ASSERT_NO_FATAL_FAILURE(Start(beside));
  ASSERT_NO_FATAL_FAILURE(RecordAndWaitForTheTake(killed, FirstCopysFolder(), "ZQ#Take.journal"));
  ::Sleep(5000);
  killed.Kill();
  ASSERT_TRUE(beside.Running());
  EXPECT_GE(winetest::FileSizeOf(FirstCopysFolder() + "/ZQ#Take.journal"), 0) << "the dead copy's journal";

  ProgramCopy next;
  std::string text;
  ASSERT_NO_FATAL_FAILURE(StartAndConfirmRecovery(next, 30000, &text));
  EXPECT_NE(text.find("was ended while it was recording"), std::string::npos) << text;
  EXPECT_NE(text.find("recovered and saved as"), std::string::npos) << text;
  EXPECT_NE(text.find(m_output.Path() + "\\take001.wav"), std::string::npos) << text;
  EXPECT_NE(text.find("stereo"), std::string::npos) << text;

  const winetest::Decoded decoded = Output("take001.wav");
  EXPECT_GE(decoded.seconds, 4.0) << "all but about the last second";
  EXPECT_LE(decoded.seconds, 5.5);
  EXPECT_NEAR(decoded.frequency, kSineHz, kSineHz * 0.02);
  EXPECT_GT(decoded.amplitude, 0.3);
  EXPECT_LT(winetest::FileSizeOf(temp + "/$ZQY#Rescue#1$"), 0) << "the rescued folder went";
  EXPECT_GE(winetest::FileSizeOf(temp + "/$ZQY#Tmp#02$"), 0) << "the copy beside keeps its folder";
  EXPECT_TRUE(beside.Running());

  // A take that stops normally, and copies that end normally, leave nothing behind.
  next.Command(kRecordCommand);
  ::Sleep(2000);
  next.Command(kStopCommand);
  EXPECT_GT(Output("take002.wav").seconds, 1.0) << winetest::ListFolder(m_output.UnixPath());
  EXPECT_TRUE(next.Close());
  EXPECT_TRUE(beside.Close());
  EXPECT_EQ(winetest::ListFolder(temp).find("$ZQY#"), std::string::npos)
      << "no folder of a copy, no journal: " << winetest::ListFolder(temp);
  ProgramCopy last;
  ASSERT_NO_FATAL_FAILURE(Start(last));
  EXPECT_EQ(winetest::WaitForProgramMessageBox(2000, nullptr), nullptr) << "nothing to recover";
  EXPECT_TRUE(last.Close());
}

// A take of minutes in the editing mode, many blocks long, killed: it comes back
// whole but for about its last second.
TEST_F(LongTakeTest, AnEditingTakeOfMinutesKilledComesBackWhole) {
  Configure(0, 0);
  ProgramCopy killed;
  ASSERT_NO_FATAL_FAILURE(Start(killed));
  ASSERT_NO_FATAL_FAILURE(RecordAndWaitForTheTake(killed, FirstCopysFolder(), "ZQ#Take.journal"));
  ::Sleep(90000);
  ASSERT_TRUE(killed.Running());
  killed.Kill();
  ProgramCopy next;
  std::string text;
  ASSERT_NO_FATAL_FAILURE(StartAndConfirmRecovery(next, 60000, &text));
  EXPECT_TRUE(text.find("(1 min 29 s") != std::string::npos || text.find("(1 min 30 s") != std::string::npos)
      << text;
  const winetest::Decoded decoded = Output("take001.wav");
  EXPECT_GE(decoded.seconds, 88.5);
  EXPECT_LE(decoded.seconds, 90.5);
  EXPECT_NEAR(decoded.frequency, kSineHz, kSineHz * 0.02);
  EXPECT_TRUE(next.Close());
}

// A direct Ogg Vorbis take of a killed copy keeps all but about its last second, as
// the WAV and MP3 takes do.
TEST_F(LongTakeTest, ADirectOggTakeOfAKilledCopyKeepsWhatWasWritten) {
  Configure(1, 2);
  ProgramCopy copy;
  ASSERT_NO_FATAL_FAILURE(Start(copy));
  ASSERT_NO_FATAL_FAILURE(RecordAndWaitForTheTake(copy, m_output.UnixPath(), "take001.ogg"));
  ::Sleep(5000);
  copy.Kill();
  const std::string file = winetest::FindFileNoCase(m_output.UnixPath(), "take001.ogg");
  ASSERT_FALSE(file.empty()) << winetest::ListFolder(m_output.UnixPath());
  const winetest::Decoded decoded = winetest::DecodeWithSox(file, m_log + ".raw");
  EXPECT_GE(decoded.seconds, 3.8);
  EXPECT_NEAR(decoded.frequency, kSineHz, kSineHz * 0.02);
}

}  // namespace
