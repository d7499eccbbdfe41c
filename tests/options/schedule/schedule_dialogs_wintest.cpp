// The schedule dialogs driven as a user drives them: a type picked in the tree, Add,
// Edit and Remove pressed, times set in the pickers, OK. What counts is what the
// scheduler then holds and runs, and what lands in Wine's registry.
#include "support/wine/DialogTestSupport.h"
#include "support/wine/WindowCapture.h"

#include <commctrl.h>

#include "options/schedule/ScheduleCommands.h"
#include "options/schedule/ScheduleDialogText.h"
#include "platform/seams/win32/Win32Seams.h"
#include "platform/seams/win32/Win32SettingsPlatform.h"
#include "resources/resource.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <string>
#include <vector>
#include "app/settings/SettingsPlatform.h"
#include "options/scheduler/ScheduleManager.h"
#include "platform/afx/linux_headers_end.h"

namespace {

using namespace dialogtest;
using scheduler::MakeSystemTime;

constexpr char kSettingCaption[] = "Schedule Setting Dialog";
constexpr char kItemCaption[] = "Schedule item property";
constexpr char kConflictCaption[] = "Error Information";
constexpr char kSection[] = "Software\\Tarvel\\ScheduleSettings";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

void Screenshot(HWND window, const std::string& name) {
  ::RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpPendingMessages(100);
  CapturedImage image = CaptureWindow(window, false);
  EXPECT_FALSE(image.Empty()) << name;
  EXPECT_TRUE(SavePng(image, std::string(TARVEL_TEST_BINARY_DIR "/screenshots/") + name + ".png")) << name;
}

// Picks a schedule type in the tree by its position, as a click on it does.
void PickType(HWND dialog, int type) {
  HWND tree = ::GetDlgItem(dialog, IDC_SS_TYPES);
  HTREEITEM item = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  for (int i = 0; i < type && item; ++i)
    item = reinterpret_cast<HTREEITEM>(
        ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
  ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

void SelectRow(HWND dialog, int id, int row) {
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = state.stateMask;
  ::SendDlgItemMessageA(dialog, id, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
}

// The rows of a report list, each row's cells joined by "|".
std::vector<std::string> Rows(HWND dialog, int id) {
  HWND list = ::GetDlgItem(dialog, id);
  HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
  const int columns = static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
  std::vector<std::string> rows;
  const int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    std::string line;
    for (int c = 0; c < columns; ++c) {
      char text[128] = {};
      LVITEMA item{};
      item.iSubItem = c;
      item.pszText = text;
      item.cchTextMax = sizeof text;
      ::SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
      line += (c ? "|" : "") + std::string(text);
    }
    rows.push_back(line);
  }
  return rows;
}

int SelectedRow(HWND dialog, int id) {
  return static_cast<int>(::SendDlgItemMessageA(dialog, id, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
}

void SetPicker(HWND dialog, int id, WORD hour, WORD minute, WORD second, WORD year = 2030, WORD month = 5,
               WORD day = 6) {
  SYSTEMTIME t{};
  t.wYear = year;
  t.wMonth = month;
  t.wDay = day;
  t.wHour = hour;
  t.wMinute = minute;
  t.wSecond = second;
  ::SendDlgItemMessageA(dialog, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&t));
}

// Fills the item dialog that the button opens and presses OK.
void AddOrEdit(HWND settings, int button, int startH, int startM, int stopH, int stopM) {
  DriveModal(
      kItemCaption,
      [&](HWND item) {
        SetPicker(item, IDC_SI_START, startH, startM, 0);
        SetPicker(item, IDC_SI_STOP, stopH, stopM, 0);
        Press(item, IDOK);
      },
      [&] { Press(settings, button); });
}

std::vector<std::string> StoredValueNames() {
  std::vector<std::string> names;
  HKEY key;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, kSection, 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
  char name[64];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    if (::RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.push_back(name);
  }
  ::RegCloseKey(key);
  std::sort(names.begin(), names.end());
  return names;
}

std::string RunValue() {
  char text[MAX_PATH + 1] = {};
  DWORD size = sizeof text - 1;
  HKEY key;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
  const LONG result =
      ::RegQueryValueExA(key, "Tarvel", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
  ::RegCloseKey(key);
  return result == ERROR_SUCCESS ? text : "";
}

// Wine's registry behind the scheduler, its clock in the test's hand (Monday
// 2030-05-06, 09:00:00), and callbacks that count the starts and stops.
class ScheduleDialogTest : public ::testing::Test {
protected:
  void SetUp() override {
    previousRegistry_ = seams::SetRegistryBackend(&registry_);
    previousPlatform_ = settings::SetSettingsPlatform(&platform_);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kSection);
    HKEY run;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_ALL_ACCESS, &run) == ERROR_SUCCESS) {
      ::RegDeleteValueA(run, "Tarvel");
      ::RegCloseKey(run);
    }
    manager_ = std::make_unique<CScheduleManager>([this] { return now_; });
    manager_->SetStartCallback([this](std::uint32_t) { return ++starts_, 1; });
    manager_->SetStopCallback([this](std::uint32_t) { return ++stops_, 1; });
    manager_->Load();
  }
  void TearDown() override {
    manager_.reset();
    settings::SetSettingsPlatform(previousPlatform_);
    seams::SetRegistryBackend(previousRegistry_);
  }

  seams::Win32Registry registry_;
  seams::Win32SettingsPlatform platform_;
  scheduler::SystemTime now_ = MakeSystemTime(2030, 5, 6, 9, 0, 0);
  std::unique_ptr<CScheduleManager> manager_;
  int starts_ = 0;
  int stops_ = 0;

private:
  seams::RegistryBackend* previousRegistry_ = nullptr;
  settings::SettingsPlatform* previousPlatform_ = nullptr;
};

TEST_F(ScheduleDialogTest, AddEditRemoveReachTheSchedulerAndTheRegistry) {
  RecordedMessageBoxes boxes;
  INT_PTR result = 0;
  DriveModal(
      kSettingCaption,
      [&](HWND dialog) {
        EXPECT_TRUE(Rows(dialog, IDC_SS_ITEMS).empty());
        // An Every Day item 10:00-11:00.
        AddOrEdit(dialog, IDC_SS_ADD, 10, 0, 11, 0);
        EXPECT_EQ(Rows(dialog, IDC_SS_ITEMS),
                  std::vector<std::string>{"Enable|10:00:00|11:00:00|2030-05-06"});
        EXPECT_EQ(SelectedRow(dialog, IDC_SS_ITEMS), 0);
        EXPECT_EQ(Rows(dialog, IDC_SS_TODAY),
                  std::vector<std::string>{"1|10:00:00|11:00:00|Waiting...|2030-05-06"});

        // A Monday item 10:30-11:30 collides with it: the conflicts are shown, nothing added.
        PickType(dialog, kScheduleMonday);
        EXPECT_TRUE(Rows(dialog, IDC_SS_ITEMS).empty());
        std::vector<std::string> conflicts;
        DriveModal(
            kConflictCaption,
            [&](HWND conflict) {
              conflicts = Rows(conflict, IDC_SC_CONFLICTS);
              Screenshot(conflict, "schedule-conflicts");
              Press(conflict, IDOK);
            },
            [&] { AddOrEdit(dialog, IDC_SS_ADD, 10, 30, 11, 30); });
        EXPECT_EQ(conflicts, std::vector<std::string>{"1|Every Day|10:00:00|11:00:00|xxxx-xx-xx"});
        EXPECT_TRUE(Rows(dialog, IDC_SS_ITEMS).empty());

        // Later on Monday it fits; stop before start is swapped without a word.
        AddOrEdit(dialog, IDC_SS_ADD, 13, 0, 12, 0);
        EXPECT_EQ(Rows(dialog, IDC_SS_ITEMS),
                  std::vector<std::string>{"Enable|12:00:00|13:00:00|2030-05-06"});
        // A Saturday item 08:00-08:30 shows the coming Saturday.
        PickType(dialog, kScheduleSaturday);
        AddOrEdit(dialog, IDC_SS_ADD, 8, 0, 8, 30);
        EXPECT_EQ(Rows(dialog, IDC_SS_ITEMS),
                  std::vector<std::string>{"Enable|08:00:00|08:30:00|2030-05-11"});

        // Edit the Every Day item to 14:00-15:00 through a double click on its row.
        PickType(dialog, kScheduleEveryDay);
        SelectRow(dialog, IDC_SS_ITEMS, 0);
        DriveModal(
            kItemCaption,
            [&](HWND item) {
              SetPicker(item, IDC_SI_START, 14, 0, 0);
              SetPicker(item, IDC_SI_STOP, 15, 0, 0);
              Press(item, IDOK);
            },
            [&] {
              NMITEMACTIVATE click{};
              click.hdr.hwndFrom = ::GetDlgItem(dialog, IDC_SS_ITEMS);
              click.hdr.idFrom = IDC_SS_ITEMS;
              click.hdr.code = NM_DBLCLK;
              click.iItem = 0;
              ::SendMessageA(dialog, WM_NOTIFY, IDC_SS_ITEMS, reinterpret_cast<LPARAM>(&click));
            });
        EXPECT_EQ(Rows(dialog, IDC_SS_ITEMS),
                  std::vector<std::string>{"Enable|14:00:00|15:00:00|2030-05-06"});
        EXPECT_EQ(Rows(dialog, IDC_SS_TODAY),
                  (std::vector<std::string>{"1|12:00:00|13:00:00|Waiting...|2030-05-06",
                                            "2|14:00:00|15:00:00|Waiting...|2030-05-06"}));
        Screenshot(dialog, "schedule-setting");

        // Remove the Saturday item.
        PickType(dialog, kScheduleSaturday);
        SelectRow(dialog, IDC_SS_ITEMS, 0);
        Press(dialog, IDC_SS_REMOVE);
        EXPECT_TRUE(Rows(dialog, IDC_SS_ITEMS).empty());

        ::CheckDlgButton(dialog, IDC_SS_RUN_AT_STARTUP, BST_CHECKED);
        Press(dialog, IDOK);
      },
      [&] { result = RunScheduleSettingDialog(nullptr, manager_.get(), 1); });
  EXPECT_EQ(result, IDOK);
  EXPECT_TRUE(boxes.shown.empty()) << boxes.shown[0].text;

  // The registry holds the two items, the scheduler runs them.
  EXPECT_EQ(StoredValueNames(), (std::vector<std::string>{"1", "2", "Active", "Count"}));
  CScheduleManager reloaded([this] { return now_; });
  EXPECT_EQ(reloaded.Load(), 1);
  ASSERT_EQ(reloaded.GetItemCount(), 2);
  const CScheduleItem* daily = reloaded.GetTypeList(kScheduleEveryDay).GetHead();
  ASSERT_TRUE(daily);
  EXPECT_EQ(daily->start, 14u * 3600);
  EXPECT_EQ(daily->stop, 15u * 3600);
  EXPECT_EQ(reloaded.GetTypeList(kScheduleMonday).GetHead()->start, 12u * 3600);

  const std::string run = RunValue();
  EXPECT_EQ(run, platform_.ProgramFilePath());
  EXPECT_EQ(reloaded.ReadRunAtStartup(), 1);

  // The clock runs: the Monday item starts at 12:00 and stops after 13:00.
  const std::pair<scheduler::SystemTime, std::pair<int, int>> steps[] = {
      {MakeSystemTime(2030, 5, 6, 11, 58, 0), {0, 0}},
      {MakeSystemTime(2030, 5, 6, 12, 0, 0), {1, 0}},
      {MakeSystemTime(2030, 5, 6, 13, 0, 1), {1, 1}},
      {MakeSystemTime(2030, 5, 6, 14, 0, 0), {2, 1}},
  };
  for (const auto& [time, counts] : steps) {
    now_ = time;
    manager_->CheckSchedule();
    manager_->CheckSchedule();
    EXPECT_EQ(starts_, counts.first) << time.wHour << ":" << time.wMinute;
    EXPECT_EQ(stops_, counts.second) << time.wHour << ":" << time.wMinute;
  }
}

TEST_F(ScheduleDialogTest, RefusedInputKeepsTheDialogOpenWithItsMessage) {
  RecordedMessageBoxes boxes;
  DriveModal(
      kSettingCaption,
      [&](HWND dialog) {
        // Edit and Remove with nothing selected.
        Press(dialog, IDC_SS_EDIT);
        Press(dialog, IDC_SS_REMOVE);
        ASSERT_EQ(boxes.shown.size(), 2u);
        for (const auto& box : boxes.shown) {
          EXPECT_EQ(box.text, schedule_dialog_text::kSelectItem);
          EXPECT_EQ(box.caption, "Information");
          EXPECT_EQ(box.flags & MB_ICONMASK, static_cast<unsigned>(MB_ICONINFORMATION));
        }
        boxes.shown.clear();
        // Equal times; then a Fixed Day date before today.
        DriveModal(
            kItemCaption,
            [&](HWND item) {
              SetPicker(item, IDC_SI_START, 10, 0, 0);
              SetPicker(item, IDC_SI_STOP, 10, 0, 0);
              Press(item, IDOK);
              EXPECT_TRUE(StillOpen(item));
              Screenshot(item, "schedule-item");
              Press(item, IDCANCEL);
            },
            [&] { Press(dialog, IDC_SS_ADD); });
        PickType(dialog, kScheduleFixedDay);
        DriveModal(
            kItemCaption,
            [&](HWND item) {
              EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(item, IDC_SI_DATE)));
              SetPicker(item, IDC_SI_DATE, 0, 0, 0, 2030, 5, 5);
              SetPicker(item, IDC_SI_START, 10, 0, 0);
              SetPicker(item, IDC_SI_STOP, 11, 0, 0);
              Press(item, IDOK);
              EXPECT_TRUE(StillOpen(item));
              // Today with a time already past is fine.
              SetPicker(item, IDC_SI_DATE, 0, 0, 0, 2030, 5, 6);
              SetPicker(item, IDC_SI_START, 7, 0, 0);
              SetPicker(item, IDC_SI_STOP, 8, 0, 0);
              Press(item, IDOK);
            },
            [&] { Press(dialog, IDC_SS_ADD); });
        EXPECT_EQ(Rows(dialog, IDC_SS_ITEMS),
                  std::vector<std::string>{"Enable|07:00:00|08:00:00|2030-05-06"});
        EXPECT_EQ(Rows(dialog, IDC_SS_TODAY),
                  std::vector<std::string>{"1|07:00:00|08:00:00|Expired|2030-05-06"});
        Press(dialog, IDCANCEL);
      },
      [&] { RunScheduleSettingDialog(nullptr, manager_.get(), 1); });
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0].text, schedule_dialog_text::kStartNotBeforeStop);
  EXPECT_EQ(boxes.shown[1].text, schedule_dialog_text::kDateBeforeToday);
  // Escape keeps the item in force for this run but stores nothing.
  EXPECT_EQ(manager_->GetItemCount(), 1);
  EXPECT_TRUE(manager_->IsDirty());
  EXPECT_TRUE(StoredValueNames().empty());
}

TEST_F(ScheduleDialogTest, TwoRunningCopiesDisableEveryScheduleControl) {
  RecordedMessageBoxes boxes;
  DriveModal(
      kSettingCaption,
      [&](HWND dialog) {
        for (int id : {IDC_SS_RUN_AT_STARTUP, IDC_SS_ACTIVATE, IDC_SS_TYPES, IDC_SS_ITEMS, IDC_SS_TODAY,
                       IDC_SS_ADD, IDC_SS_REMOVE, IDC_SS_EDIT})
          EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, id))) << id;
        EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog, IDOK)));
        Press(dialog, IDOK);
      },
      [&] { RunScheduleSettingDialog(nullptr, manager_.get(), 2); });
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, schedule_dialog_text::kManyInstances);
}

}  // namespace
