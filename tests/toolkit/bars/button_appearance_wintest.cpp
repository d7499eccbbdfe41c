// The Button Appearance dialog: the style, the text (its shortcut part kept) and the
// image of one button, and the checks on OK that keep the dialog open.
#include "support/wine/DialogTestSupport.h"

#include "toolkit/bars/TKButtonAppearanceDlg.h"
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/bars/TKToolbarButton.h"
#include "toolkit/bars/TKToolbarImageList.h"
#include "toolkit/bars/toolbar_test_resource.h"
#include "toolkit/frames/TKCommandManager.h"

#include "platform/afx/linux_headers_begin.h"
#include <functional>
#include <string>
#include "platform/afx/linux_headers_end.h"

namespace {

constexpr UINT kCommand = 40051;

struct Outcome {
  INT_PTR result = 0;
  std::string shownText;
  bool stillOpenAfterOk = false;
  std::vector<std::string> messages;
};

// Opens the dialog on the button, runs the script's choices, presses OK, and, when
// the dialog stays open, Cancel.
Outcome RunDialog(CTKToolbarButton& button, CTKToolbarImageList* images,
                  const std::function<void(HWND)>& choose, BOOL menuMode = FALSE) {
  Outcome outcome;
  dialogtest::RecordedMessageBoxes boxes(IDOK);
  dialogtest::DriveModal(
      "Button Appearance",
      [&](HWND dialog) {
        outcome.shownText = dialogtest::ItemText(dialog, IDC_TKAPPEARANCE_TEXT);
        choose(dialog);
        dialogtest::Press(dialog, IDOK);
        outcome.stillOpenAfterOk = dialogtest::StillOpen(dialog);
        if (outcome.stillOpenAfterOk) dialogtest::Press(dialog, IDCANCEL);
      },
      [&] {
        CTKButtonAppearanceDlg dialog(&button, images, nullptr, 0, menuMode);
        outcome.result = dialog.DoModal();
      });
  for (const auto& box : boxes.shown) outcome.messages.push_back(box.text);
  return outcome;
}

TEST(ButtonAppearance, OkRefusesAnImageStyleWithoutImageAndATextStyleWithoutText) {
  CTKToolbarImageList userImages;
  userImages.SetImageSize(SIZE{16, 15});
  struct Case {
    const char* what;
    int style;
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"image only, no image chosen", IDC_TKAPPEARANCE_IMAGE_ONLY, "Record", "You should select an image!"},
      {"text only, no text", IDC_TKAPPEARANCE_TEXT_ONLY, "", "You should enter a text!"},
  };
  for (const Case& c : cases) {
    CTKToolbarButton button(kCommand, -1, "Record");
    const Outcome outcome = RunDialog(button, &userImages, [&](HWND dialog) {
      dialogtest::Press(dialog, c.style);
      dialogtest::SetItemText(dialog, IDC_TKAPPEARANCE_TEXT, c.text);
    });
    EXPECT_TRUE(outcome.stillOpenAfterOk) << c.what;
    EXPECT_EQ(outcome.result, IDCANCEL) << c.what;
    EXPECT_EQ(outcome.messages, std::vector<std::string>{c.message}) << c.what;
    EXPECT_EQ(std::string(button.m_strText), "Record") << c.what;
  }
}

TEST(ButtonAppearance, TheTextIsEditedWithoutItsShortcutAndSavedWithIt) {
  // No user image list: the text can still change.
  CTKToolbarButton button(kCommand, -1, "Open\tCtrl+O");
  const Outcome outcome = RunDialog(button, nullptr, [](HWND dialog) {
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, IDC_TKAPPEARANCE_USER_IMAGE)));
    dialogtest::Press(dialog, IDC_TKAPPEARANCE_TEXT_ONLY);
    dialogtest::SetItemText(dialog, IDC_TKAPPEARANCE_TEXT, "Open a take");
  });
  EXPECT_EQ(outcome.result, IDOK);
  EXPECT_EQ(outcome.shownText, "Open");
  EXPECT_TRUE(outcome.messages.empty());
  EXPECT_EQ(std::string(button.m_strText), "Open a take\tCtrl+O");
  EXPECT_TRUE(button.m_bText);
  EXPECT_FALSE(button.m_bImage);
}

TEST(ButtonAppearance, AUserImageChosenInTheListBecomesTheButtonsImage) {
  CTKToolbarImageList userImages;
  userImages.SetImageSize(SIZE{16, 15});
  HDC screen = ::GetDC(nullptr);
  for (int i = 0; i < 3; ++i) {
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 16, 15);
    ASSERT_GE(userImages.AddImage(bitmap), 0);
    ::DeleteObject(bitmap);
  }
  ::ReleaseDC(nullptr, screen);
  CTKToolbarButton button(kCommand, -1, "Record");
  const Outcome outcome = RunDialog(button, &userImages, [](HWND dialog) {
    dialogtest::Press(dialog, IDC_TKAPPEARANCE_IMAGE_ONLY);
    dialogtest::Press(dialog, IDC_TKAPPEARANCE_USER_IMAGE);
    // A click on the second cell of the image list.
    HWND list = ::GetDlgItem(dialog, IDC_TKAPPEARANCE_IMAGES);
    POINT second{22 + 11, 11};
    ::ClientToScreen(list, &second);
    ::SetCursorPos(second.x, second.y);
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_TKAPPEARANCE_IMAGES, STN_CLICKED),
                   reinterpret_cast<LPARAM>(list));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog, IDC_TKAPPEARANCE_EDIT)));
  });
  EXPECT_EQ(outcome.result, IDOK);
  EXPECT_TRUE(outcome.messages.empty());
  EXPECT_TRUE(button.m_bUserImage);
  EXPECT_EQ(button.m_iUserImage, 1);
  EXPECT_TRUE(button.m_bImage);
  EXPECT_FALSE(button.m_bText);
}

TEST(ButtonAppearance, InMenuModeTheStyleSaysWhetherTheCommandsMenuItemsShowItsImage) {
  // Cut gets its default image from the edit toolbar.
  ASSERT_TRUE(CTKToolBar::AddToolBarImages(IDR_EDIT_TOOLBAR));
  struct Case {
    const char* what;
    UINT command;
    int shown;   // the style checked when the dialog opens
    int chosen;  // the style chosen (0: none)
    bool withoutImage;
  };
  const Case cases[] = {
      {"text only", ID_TEST_CUT, IDC_TKAPPEARANCE_IMAGE_TEXT, IDC_TKAPPEARANCE_TEXT_ONLY, true},
      {"image and text", ID_TEST_CUT, IDC_TKAPPEARANCE_TEXT_ONLY, IDC_TKAPPEARANCE_IMAGE_TEXT, false},
      {"a command without an image", kCommand, IDC_TKAPPEARANCE_TEXT_ONLY, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // A menu item shows its text.
    CTKToolbarButton button(c.command, CTKToolBar::GetDefaultImage(c.command), "Record");
    button.m_bText = TRUE;
    int shown = 0;
    bool imageOnlyEnabled = true;
    const Outcome outcome = RunDialog(
        button, nullptr,
        [&](HWND dialog) {
          for (int style :
               {IDC_TKAPPEARANCE_IMAGE_ONLY, IDC_TKAPPEARANCE_TEXT_ONLY, IDC_TKAPPEARANCE_IMAGE_TEXT})
            if (::IsDlgButtonChecked(dialog, style)) shown = style;
          imageOnlyEnabled = ::IsWindowEnabled(::GetDlgItem(dialog, IDC_TKAPPEARANCE_IMAGE_ONLY));
          if (c.chosen) dialogtest::Press(dialog, c.chosen);
        },
        TRUE);
    EXPECT_EQ(shown, c.shown);
    EXPECT_FALSE(imageOnlyEnabled);
    EXPECT_EQ(outcome.result, IDOK);
    EXPECT_TRUE(outcome.messages.empty());
    EXPECT_EQ(bool(GetCommandManager()->IsMenuItemWithoutImage(c.command)), c.withoutImage);
    EXPECT_TRUE(button.m_bText);
  }
  GetCommandManager()->CommandsWithoutImages().RemoveAll();
}

}  // namespace
