#include "support/wine/DialogTestSupport.h"

#include "audiofiles/dialogs/LocateSelectDlg.h"

namespace {

using namespace dialogtest;

bool Checked(HWND dialog, int id) {
  return ::SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
void Choose(HWND dialog, int radioId) { ::SendDlgItemMessageA(dialog, radioId, BM_CLICK, 0, 0); }

// Runs the dialog on the selection `times` of a project `end` seconds long.
INT_PTR RunDialog(double* times, double end, const std::function<void(HWND)>& script) {
  CLocateSelectDlg dialog(times, [end] { return end; });
  INT_PTR result = 0;
  DriveModal("Locate and Select", script, [&] { result = dialog.DoModal(); });
  return result;
}

TEST(LocateSelect, OpensInLocateModeOnACursorAndInSelectModeOnASelection) {
  RecordedMessageBoxes boxes;
  double cursor[2] = {2.0, 2.0};
  RunDialog(cursor, 10.0, [](HWND dialog) {
    EXPECT_TRUE(Checked(dialog, IDC_LOCATE));
    EXPECT_FALSE(Checked(dialog, IDC_SELECT));
    EXPECT_EQ(ItemText(dialog, IDC_FROM), "2.00000");
    EXPECT_EQ(ItemText(dialog, IDC_TO), "2.00000");
    int lower = -1, upper = -1;
    ::SendDlgItemMessageA(dialog, IDC_FROM_SPIN, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
                          reinterpret_cast<LPARAM>(&upper));
    EXPECT_EQ(upper, 200) << "the project's length in steps of 0.05 s";
    Press(dialog, IDCANCEL);
  });
  double selection[2] = {1.0, 3.25};
  RunDialog(selection, 10.0, [](HWND dialog) {
    EXPECT_TRUE(Checked(dialog, IDC_SELECT));
    EXPECT_EQ(ItemText(dialog, IDC_FROM), "1.00000");
    EXPECT_EQ(ItemText(dialog, IDC_TO), "3.25000");
    Press(dialog, IDCANCEL);
  });
  EXPECT_TRUE(boxes.shown.empty());
}

TEST(LocateSelect, OkGivesACursorInLocateModeAndTheOrderedPairInSelectMode) {
  struct Case {
    int mode;
    const char* from;
    const char* to;
    double start, end;
  } cases[] = {
      {IDC_SELECT, "5", "2", 2.0, 5.0},   {IDC_SELECT, "2", "5", 2.0, 5.0},
      {IDC_LOCATE, "5", "2", 5.0, 5.0},   {IDC_LOCATE, "2", "5", 2.0, 2.0},
      {IDC_SELECT, "0", "10", 0.0, 10.0}, {IDC_SELECT, " 4.5 ", "4.5", 4.5, 4.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.from) + " to " + c.to);
    RecordedMessageBoxes boxes;
    double times[2] = {1.0, 1.0};
    INT_PTR result = RunDialog(times, 10.0, [&](HWND dialog) {
      Choose(dialog, c.mode);
      SetItemText(dialog, IDC_FROM, c.from);
      SetItemText(dialog, IDC_TO, c.to);
      Press(dialog, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(times[0], c.start);
    EXPECT_EQ(times[1], c.end);
    EXPECT_TRUE(boxes.shown.empty());
  }
}

TEST(LocateSelect, TimeBeyondTheProjectIsSetToItsEndAndTheNextOkAccepts) {
  struct Case {
    int edit;
    const char* field;
  } cases[] = {{IDC_FROM, "From"}, {IDC_TO, "To"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    RecordedMessageBoxes boxes;
    double times[2] = {1.0, 2.0};
    INT_PTR result = RunDialog(times, 10.0, [&](HWND dialog) {
      SetItemText(dialog, c.edit, "12");
      Press(dialog, IDOK);
      EXPECT_TRUE(StillOpen(dialog));
      ASSERT_EQ(boxes.shown.size(), 1u);
      EXPECT_EQ(boxes.shown[0].text, std::string("\"") + c.field +
                                         "\" is not in the range of 0.00000 to 10.00000. "
                                         "Value has been adjusted.");
      EXPECT_EQ(ItemText(dialog, c.edit), "10.00000");
      EXPECT_EQ(::GetFocus(), ::GetDlgItem(dialog, c.edit));
      Press(dialog, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(boxes.shown.size(), 1u);
    // Select mode orders the pair: {2, 10} after From went to the end, {1, 10} after To.
    EXPECT_EQ(times[0], c.edit == IDC_FROM ? 2.0 : 1.0);
    EXPECT_EQ(times[1], 10.0);
  }
}

TEST(LocateSelect, EndTimeThatFiveDecimalsRoundUpIsStillAccepted) {
  // 1.234567 s shows as 1.23457: the shown end must not count as past the end.
  const double end = 1.234567;
  RecordedMessageBoxes boxes;
  double times[2] = {0.5, end};
  INT_PTR result = RunDialog(times, end, [&](HWND dialog) {
    EXPECT_EQ(ItemText(dialog, IDC_TO), "1.23457");
    SetItemText(dialog, IDC_FROM, "9");
    Press(dialog, IDOK);
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(ItemText(dialog, IDC_FROM), "1.23457");
    Press(dialog, IDOK);  // untouched otherwise: accepted
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(times[0], end) << "set to the end itself, not past it";
  EXPECT_EQ(times[1], end);
}

TEST(LocateSelect, EmptyProjectAcceptsOnlyZeroAndNegativeTimesAreRefused) {
  RecordedMessageBoxes boxes;
  double times[2] = {0.0, 0.0};
  INT_PTR result = RunDialog(times, 0.0, [&](HWND dialog) {
    SetItemText(dialog, IDC_FROM, "0.1");
    Press(dialog, IDOK);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              "\"From\" is not in the range of 0.00000 to 0.00000. Value has been adjusted.");

    SetItemText(dialog, IDC_TO, "-1");
    Press(dialog, IDOK);
    EXPECT_TRUE(StillOpen(dialog));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].text, "To is out of range. The value should be greater than or equal to 0.0");
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(dialog, IDC_TO));

    SetItemText(dialog, IDC_TO, "soon");
    Press(dialog, IDOK);
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[2].text, "Please enter a number.");

    SetItemText(dialog, IDC_TO, "0");
    Press(dialog, IDOK);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(times[0], 0.0);
  EXPECT_EQ(times[1], 0.0);
}

TEST(LocateSelect, CancelLeavesTheSelectionAlone) {
  RecordedMessageBoxes boxes;
  double times[2] = {1.5, 2.5};
  INT_PTR result = RunDialog(times, 10.0, [](HWND dialog) {
    Choose(dialog, IDC_LOCATE);
    SetItemText(dialog, IDC_FROM, "7");
    Press(dialog, IDCANCEL);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(times[0], 1.5);
  EXPECT_EQ(times[1], 2.5);
}

}  // namespace
