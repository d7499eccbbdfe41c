#include "support/wine/DialogTestSupport.h"

#include "platform/afx/afxwin.h"

namespace {

using namespace dialogtest;

enum { kCount = 100, kGain = 101, kName = 102, kFirst = 103, kSecond = 104, kThird = 105 };

// A dialog with one value of each kind the exchange knows.
class ValuesDialog : public CDialog {
public:
  ValuesDialog() {
    tmpl_.Edit(kCount, 7, 7).Edit(kGain, 7, 22).Edit(kName, 7, 37);
    tmpl_.Radio(kFirst, "First", 7, 55, true).Radio(kSecond, "Second", 7, 67, false);
    tmpl_.Radio(kThird, "Third", 7, 79, false);
    tmpl_.Button(IDOK, "OK", 100, 7, true).Button(IDCANCEL, "Cancel", 100, 25);
    InitModalIndirect(tmpl_.Get());
  }
  int count = 7;
  double gain = 0.25;
  CString name = "abc";
  int choice = 1;
  int initCalls = 0;

protected:
  BOOL OnInitDialog() override {
    ++initCalls;
    return CDialog::OnInitDialog();
  }
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Text(dx, kCount, count);
    DDX_Text(dx, kGain, gain);
    DDX_Text(dx, kName, name);
    DDX_Radio(dx, kFirst, choice);
  }

private:
  DialogTemplate tmpl_{"Values", 160, 95};
};

bool Checked(HWND dialog, int id) {
  return ::SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

TEST(Dialog, ModalDialogLoadsItsValuesAndOkStoresTheEditedOnes) {
  RecordedMessageBoxes boxes;
  ValuesDialog dialog;
  INT_PTR result = 0;
  DriveModal(
      "Values",
      [&](HWND hwnd) {
        EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), &dialog) << "the dialog routes through its object";
        EXPECT_EQ(ItemText(hwnd, kCount), "7");
        EXPECT_EQ(ItemText(hwnd, kGain), "0.25");
        EXPECT_EQ(ItemText(hwnd, kName), "abc");
        EXPECT_FALSE(Checked(hwnd, kFirst));
        EXPECT_TRUE(Checked(hwnd, kSecond));
        EXPECT_FALSE(Checked(hwnd, kThird));

        SetItemText(hwnd, kCount, " -12 ");
        SetItemText(hwnd, kGain, "\t1.5e3");
        SetItemText(hwnd, kName, "new name");
        ::SendDlgItemMessageA(hwnd, kThird, BM_CLICK, 0, 0);
        Press(hwnd, IDOK);
      },
      [&] { result = dialog.DoModal(); });

  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(dialog.initCalls, 1);
  EXPECT_EQ(dialog.count, -12);
  EXPECT_EQ(dialog.gain, 1500.0);
  EXPECT_EQ(dialog.name, "new name");
  EXPECT_EQ(dialog.choice, 2);
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(dialog.m_hWnd, nullptr) << "the object lets go of the destroyed window";
}

TEST(Dialog, RefusedValueTellsTheUserAndKeepsTheDialogOpenOnThatEdit) {
  struct Case {
    int id;
    const char* text;
    const char* message;
  } cases[] = {
      {kCount, "12a", "Please enter an integer."}, {kCount, "", "Please enter an integer."},
      {kCount, "1.5", "Please enter an integer."}, {kCount, "99999999999", "Please enter an integer."},
      {kGain, "x", "Please enter a number."},      {kGain, "1,5", "Please enter a number."},
      {kGain, "nan", "Please enter a number."},    {kGain, "1e999", "Please enter a number."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    RecordedMessageBoxes boxes;
    ValuesDialog dialog;
    INT_PTR result = 0;
    DriveModal(
        "Values",
        [&](HWND hwnd) {
          SetItemText(hwnd, c.id, c.text);
          Press(hwnd, IDOK);
          EXPECT_TRUE(StillOpen(hwnd));
          ASSERT_EQ(boxes.shown.size(), 1u);
          EXPECT_EQ(boxes.shown[0].text, c.message);
          EXPECT_EQ(boxes.shown[0].caption, "Tarvel") << "the program's name";
          EXPECT_EQ(::GetFocus(), ::GetDlgItem(hwnd, c.id));
          DWORD from = 0, to = 0;
          ::SendDlgItemMessageA(hwnd, c.id, EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                                reinterpret_cast<LPARAM>(&to));
          EXPECT_EQ(to - from, static_cast<DWORD>(strlen(c.text))) << "the bad text is selected";
          Press(hwnd, IDCANCEL);
        },
        [&] { result = dialog.DoModal(); });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.name, "abc") << "Cancel stores nothing";
  }
}

TEST(Dialog, EnterAndEscapeReachOkAndCancelThroughTheDialogManager) {
  for (auto [key, expected] : {std::pair{VK_RETURN, IDOK}, {VK_ESCAPE, IDCANCEL}}) {
    RecordedMessageBoxes boxes;
    ValuesDialog dialog;
    INT_PTR result = 0;
    DriveModal(
        "Values",
        [&](HWND hwnd) {
          SetItemText(hwnd, kCount, "3");
          HWND edit = ::GetDlgItem(hwnd, kCount);
          ::SetFocus(edit);
          ::PostMessageA(edit, WM_KEYDOWN, key, 0);
        },
        [&] { result = dialog.DoModal(); });
    EXPECT_EQ(result, expected);
    EXPECT_EQ(dialog.count, expected == IDOK ? 3 : 7);
  }
}

TEST(Dialog, ModelessDialogExchangesOnRequestAndDestroysCleanly) {
  RecordedMessageBoxes boxes;
  ValuesDialog dialog;
  DialogTemplate tmpl("Modeless", 160, 60);
  tmpl.Edit(kCount, 7, 7).Edit(kGain, 7, 22).Edit(kName, 7, 37);
  tmpl.Radio(kFirst, "First", 80, 7, true);
  ASSERT_TRUE(dialog.CreateIndirect(tmpl.Get()));
  HWND hwnd = dialog.m_hWnd;
  EXPECT_EQ(ItemText(hwnd, kGain), "0.25");
  SetItemText(hwnd, kGain, "2");
  EXPECT_TRUE(dialog.UpdateData(TRUE));
  EXPECT_EQ(dialog.gain, 2.0);
  EXPECT_EQ(dialog.choice, -1) << "a group of one unchecked button";

  SetItemText(hwnd, kCount, "not a count");
  EXPECT_FALSE(dialog.UpdateData(TRUE));
  EXPECT_EQ(boxes.shown.size(), 1u);

  EXPECT_TRUE(dialog.DestroyWindow());
  EXPECT_EQ(dialog.m_hWnd, nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

TEST(Dialog, MessageBoxAnswerComesBackToTheCaller) {
  RecordedMessageBoxes boxes(IDNO);
  EXPECT_EQ(AfxMessageBox("Keep it?", MB_YESNO | MB_ICONQUESTION), IDNO);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "Keep it?");
  EXPECT_EQ(boxes.shown[0].flags, static_cast<unsigned>(MB_YESNO | MB_ICONQUESTION));
}

}  // namespace
