#include "support/wine/DialogTestSupport.h"

#include "app/controls/NumSpinCtrl.h"

namespace {

using namespace dialogtest;

enum { kEdit = 200, kSpin = 201 };

// A window with an edit and a numeric spin made next to it (the spin takes the edit
// as its buddy).
class SpinFixture : public ::testing::Test {
protected:
  void Make(DWORD extraStyle = 0) {
    ASSERT_TRUE(parent_.CreateEx(0, nullptr, "Spin", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 120,
                                 nullptr, nullptr));
    edit_ = ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10,
                              120, 24, parent_.m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kEdit)),
                              nullptr, nullptr);
    ASSERT_NE(edit_, nullptr);
    RECT rect = {0, 0, 16, 24};
    ASSERT_TRUE(spin_.Create(WS_VISIBLE | UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_ARROWKEYS | extraStyle, rect,
                             &parent_, kSpin));
    ASSERT_EQ(reinterpret_cast<HWND>(spin_.SendMessage(UDM_GETBUDDY)), edit_);
  }
  void TearDown() override {
    if (parent_.m_hWnd) parent_.DestroyWindow();
  }
  std::string Text() const {
    char text[64] = {};
    ::GetWindowTextA(edit_, text, sizeof text);
    return text;
  }
  // One press of the up (+1) or down (-1) arrow, as the control reports it.
  void Step(int steps) {
    NMUPDOWN change{};
    change.hdr.hwndFrom = spin_.m_hWnd;
    change.hdr.idFrom = kSpin;
    change.hdr.code = UDN_DELTAPOS;
    change.iPos = spin_.GetPos32();
    change.iDelta = steps;
    EXPECT_EQ(parent_.SendMessage(WM_NOTIFY, kSpin, reinterpret_cast<LPARAM>(&change)), 0)
        << "the control may keep its own position change";
  }
  int IntPos() const { return spin_.GetPos32(); }

  CWnd parent_;
  HWND edit_ = nullptr;
  CNumSpinCtrl spin_;
};

TEST_F(SpinFixture, RangeBecomesWholeStepsAndThePositionFollowsTheValue) {
  spin_.SetRangeAndDelta(0.0, 1.0, 0.1);  // before the window: applied when it is made
  Make();
  int lower = -1, upper = -1;
  spin_.GetRange32(lower, upper);
  EXPECT_EQ(lower, 0);
  EXPECT_EQ(upper, 10);

  spin_.SetPos(0.5);
  EXPECT_EQ(Text(), "0.5");
  EXPECT_EQ(IntPos(), 5);
  EXPECT_DOUBLE_EQ(spin_.GetPos(), 0.5);
  spin_.SetPos(-3.0);
  EXPECT_EQ(IntPos(), 0);
  spin_.SetPos(7.0);
  EXPECT_EQ(IntPos(), 10);

  spin_.SetRangeAndDelta(0.0, 10000.0, 0.1);
  spin_.GetRange32(lower, upper);
  EXPECT_EQ(upper, 32767) << "the step count is capped";
}

TEST_F(SpinFixture, SteppingMovesByTheDeltaAndStopsAtTheEnds) {
  Make();
  spin_.SetDecimalPlaces(2);
  spin_.SetRangeAndDelta(0.0, 1.0, 0.1);
  struct Case {
    double start;
    int steps;
    const char* shown;
  } cases[] = {
      {0.3, 1, "0.4"}, {0.3, -1, "0.2"},
      {0.3, 5, "0.8"}, {0.9, 1, "1"},  // 0.9 + 0.1 misses 1 by a rounding error
      {1.0, 1, "1"},   {0.95, 1, "1"},
      {0.0, -1, "0"},  {0.05, -1, "0"},
  };
  for (const Case& c : cases) {
    spin_.SetPos(c.start);
    Step(c.steps);
    EXPECT_EQ(Text(), c.shown) << c.start << " by " << c.steps;
  }

  // A real key press on the buddy goes the same way.
  spin_.SetPos(0.2);
  ::SendMessageA(edit_, WM_KEYDOWN, VK_UP, 0);
  ::SendMessageA(edit_, WM_KEYUP, VK_UP, 0);
  EXPECT_EQ(Text(), "0.3");
}

TEST_F(SpinFixture, WrappingSpinGoesRoundAtTheEnds) {
  Make(UDS_WRAP);
  spin_.SetRangeAndDelta(0.0, 1.0, 0.1);
  spin_.SetPos(1.0);
  Step(1);
  EXPECT_EQ(Text(), "0");
  Step(-1);
  EXPECT_EQ(Text(), "1");
}

TEST_F(SpinFixture, ValuesAreFormattedWithTheirDecimalsAndTrimmed) {
  Make();
  struct Case {
    int decimals;
    bool trim;
    double value;
    const char* shown;
  } cases[] = {
      {2, true, 1.5, "1.5"},    {2, true, 2.0, "2"},          {-1, true, 0.1, "0.1"},
      {3, false, 1.5, "1.500"}, {3, true, 60.0, "60"},        {3, true, 0.25, "0.25"},
      {2, true, 1e-7, "1e-07"}, {2, false, 1e-7, "1.00e-07"}, {2, true, 2.5e20, "2.5e+20"},
      {5, true, 10.0, "10"},    {0, true, 100.0, "100"},      {-1, true, 1234567.0, "1.23457e+06"},
  };
  for (const Case& c : cases) {
    spin_.SetDecimalPlaces(c.decimals);
    spin_.SetTrimTrailingZeros(c.trim);
    spin_.SetPos(c.value);
    EXPECT_EQ(Text(), c.shown) << c.value << " with " << c.decimals << " decimals";
  }
  spin_.SetFormatString("%.1f s");
  spin_.SetPos(1.25);
  EXPECT_EQ(Text(), "1.2 s");
}

TEST(FloatRange, RangeTextDecidesWhatIsInsideAndTheMessage) {
  struct Case {
    const char* range;
    double value;
    const char* message;  // null: inside
  } cases[] = {
      {"Gain [0,100]", 100.0, nullptr},
      {"Gain [0,100)", 100.0, "Gain is out of range. The valid value range is [0,100)."},
      {"Gain [0,100)", -0.5, "Gain is out of range. The valid value range is [0,100)."},
      {"(-inf, 0]", 1.0, "Value is out of range. The value should be less than or equal to 0"},
      {"(-inf, 0]", 0.0, nullptr},
      {"(-~, 0)", 0.0, "Value is out of range. The value should be less than 0"},
      {"From [0.0, inf)", -1.0, "From is out of range. The value should be greater than or equal to 0.0"},
      {"From [0.0, inf)", 1e300, nullptr},
      {"X (0, ~)", 0.0, "X is out of range. The value should be greater than 0"},
      {"Decay ratio (0.0, 1.0]", 0.0, "Decay ratio is out of range. The valid value range is (0.0, 1.0]."},
      {"Decay ratio (0.0, 1.0]", 1.0, nullptr},
      {"Decay ratio (0.0, 1.0]", 1e-9, nullptr},
      {"Both open [ -INF , Inf ]", -1e300, nullptr},
      {"Gain (dB) [1, 2]", 3.0, "Gain (dB) is out of range. The valid value range is [1, 2]."},
      {"no brackets at all", 5.0, nullptr},
      {"only, a comma", 5.0, nullptr},
      {"comma first, [1 2]", 5.0, nullptr},
      {"closed before (1, 2", 5.0, nullptr},
  };
  for (const Case& c : cases) {
    CString message = "unchanged";
    BOOL inside = CheckFloatRange(c.value, c.range, message);
    if (c.message) {
      EXPECT_FALSE(inside) << c.range << " with " << c.value;
      EXPECT_EQ(message.str(), c.message);
    } else {
      EXPECT_TRUE(inside) << c.range << " with " << c.value << ": " << message.str();
    }
  }
}

// DDX_FloatInRange on a small dialog: what the user typed, and whether they can reach
// the edit at all.
class RangeDialog : public CDialog {
public:
  explicit RangeDialog(const char* range) : range_(range) {
    tmpl_.Edit(kEdit, 7, 7);
    CreateIndirect(tmpl_.Get());
  }
  double value = 0.0;

protected:
  void DoDataExchange(CDataExchange* dx) override { DDX_FloatInRange(dx, kEdit, value, range_); }

private:
  const char* range_;
  DialogTemplate tmpl_{"Range", 100, 30};
};

TEST(FloatRange, ExchangeParsesTheWholeTextAndRefusesWhatTheUserCanFix) {
  struct Case {
    const char* text;
    bool accepted;
    double value;
    const char* message;
  } cases[] = {
      {"0", true, 0.0, nullptr},
      {"  0\t", true, 0.0, nullptr},
      {"-0", true, 0.0, nullptr},
      {"12.5", true, 12.5, nullptr},
      {".5", true, 0.5, nullptr},
      {"1e2", true, 100.0, nullptr},
      {"abc", false, 0, "Please enter a number."},
      {"", false, 0, "Please enter a number."},
      {"12 5", false, 0, "Please enter a number."},
      {"5s", false, 0, "Please enter a number."},
      {"nan", false, 0, "Please enter a number."},
      {"inf", false, 0, "Please enter a number."},
      {"100.5", false, 0, "Level is out of range. The valid value range is [0, 100]."},
      // Longer than any buffer a number would need: still read in full.
      {"0.00000000000000000000000000000000000000001", true, 1e-41, nullptr},
      {"1000000000000000000000000000000000000000000", false, 0,
       "Level is out of range. The valid value range is [0, 100]."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    RecordedMessageBoxes boxes;
    RangeDialog dialog("Level [0, 100]");
    ASSERT_NE(dialog.m_hWnd, nullptr);
    ::SetDlgItemTextA(dialog.m_hWnd, kEdit, c.text);
    EXPECT_EQ(dialog.UpdateData(TRUE) != FALSE, c.accepted);
    if (c.accepted) {
      EXPECT_EQ(dialog.value, c.value);
      EXPECT_TRUE(boxes.shown.empty());
    } else {
      ASSERT_EQ(boxes.shown.size(), 1u);
      EXPECT_EQ(boxes.shown[0].text, c.message);
      // Both the framework's own message and the range's warn.
      EXPECT_EQ(boxes.shown[0].flags, static_cast<unsigned>(MB_ICONEXCLAMATION));
    }
    dialog.DestroyWindow();
  }
}

TEST(FloatRange, LoadingShowsFifteenDigitsAndHiddenOrDisabledEditsAreNotComplainedAbout) {
  RecordedMessageBoxes boxes;
  RangeDialog dialog("Level [0, 100]");
  ASSERT_NE(dialog.m_hWnd, nullptr);
  HWND edit = ::GetDlgItem(dialog.m_hWnd, kEdit);
  dialog.value = 1.0 / 3.0;
  EXPECT_TRUE(dialog.UpdateData(FALSE));
  char text[64] = {};
  ::GetWindowTextA(edit, text, sizeof text);
  EXPECT_STREQ(text, "0.333333333333333");
  dialog.value = 250.0;  // out of range, but loading checks nothing
  EXPECT_TRUE(dialog.UpdateData(FALSE));
  EXPECT_TRUE(boxes.shown.empty());

  for (bool hide : {true, false}) {
    if (hide)
      ::ShowWindow(edit, SW_HIDE);
    else {
      ::ShowWindow(edit, SW_SHOW);
      ::EnableWindow(edit, FALSE);
    }
    ::SetWindowTextA(edit, "500");
    EXPECT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(dialog.value, 500.0);
    ::SetWindowTextA(edit, "junk");
    EXPECT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(dialog.value, 0.0);
  }
  EXPECT_TRUE(boxes.shown.empty());
  dialog.DestroyWindow();
}

}  // namespace
