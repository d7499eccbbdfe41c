// The program's file prompts: the filters of the Open and Save dialogs, the save
// filter chosen by the proposed name's extension, and the extension a change of file
// type puts on the typed name, taken from the name's last dot and never from a
// folder's.
#include "support/wine/GTestWin.h"

#include "app/view/DocManagerEx.h"
#include "support/wine/DialogTestSupport.h"

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include "platform/afx/linux_headers_end.h"

namespace {

using namespace dialogtest;

TEST(FilePrompts, ExtensionsComeFromTheLastDotOfTheFileName) {
  struct Case {
    const char* name;
    const char* extension;
    const char* asAu;
    int saveFilter;
  } cases[] = {
      {"take.mp3", ".mp3", "take.au", 2},
      {"take.one.ogg", ".ogg", "take.one.au", 1},
      {"C:\\my.music\\take", "", "C:\\my.music\\take.au", 0},
      {"C:\\my.music\\take.VOC", ".VOC", "C:\\my.music\\take.au", 6},
      {"Z:/tmp/a.b/c.wav", ".wav", "Z:/tmp/a.b/c.au", 3},
      {"noext", "", "noext.au", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CDocManagerEx::ExtensionOf(c.name), c.extension);
    EXPECT_EQ(CDocManagerEx::WithExtension(c.name, "au"), c.asAu);
    EXPECT_EQ(CDocManagerEx::SaveFilterIndexFor(c.name), c.saveFilter);
  }
  const char* typeExtensions[] = {"ogg", "mp3", "wav", "aif", "au", "voc", "wav"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(CDocManagerEx::ExtensionForTypeIndex(i), typeExtensions[i]) << i;
}

TEST(FilePrompts, FiltersInTheirOrderWithAllSupportedFormatsLast) {
  auto open = CDocManagerEx::OpenFilters();
  ASSERT_EQ(open.size(), 7u);
  EXPECT_EQ(open[0].name, "MPEG Audio III File(*.mp3,*.mp2,*.mp1)");
  EXPECT_EQ(open[1].name, "Microsoft WAV(*.wav)");
  EXPECT_EQ(open[4].name, "VOC files(*.voc)");
  EXPECT_EQ(open[5].name, "OGG Vorbis File(*.ogg)");
  EXPECT_EQ(open[6].name, "All supported wave formats");
  EXPECT_EQ(open[6].pattern, "*.mp3;*.mp2;*.mp1;*.wav;*.aif;*.snd;*.au;*.snd;*.voc;*.ogg");

  auto save = CDocManagerEx::SaveFilters();
  ASSERT_EQ(save.size(), 6u);
  EXPECT_EQ(save[0].name, "Vorbis OGG file (*.ogg)");
  EXPECT_EQ(save[1].name, "Mpeg layer 3 file (*.mp3,*.mp2,*.mp1)");
  EXPECT_EQ(save[5].extension, ".voc");
  std::string text = CDocManagerEx::FilterText(save);
  EXPECT_EQ(text.substr(0, 30), std::string("Vorbis OGG file (*.ogg)\0*.ogg\0", 30));
  EXPECT_EQ(text.back(), '\0');

  std::string filter, all;
  AppendFilter(filter, all, "A", "*.a");
  AppendFilter(filter, all, "B", "*.b");
  EXPECT_EQ(filter, std::string("A\0*.a\0B\0*.b\0", 12));
  EXPECT_EQ(all, "*.a;*.b");
}

TEST(FilePrompts, SaveDialogPreselectsTheTypeAndATypeChangeRenamesTheFile) {
  CDocManagerEx manager;
  CString name = "Z:\\tmp\\my.takes\\evening.voc";
  std::string typeShown, nameAfterChange;
  BOOL ok = TRUE;
  DriveModal(
      "Save As",
      [&](HWND dialog) {
        HWND types = ::GetDlgItem(dialog, 1136);
        ASSERT_NE(types, nullptr);
        char text[128] = {};
        int selected = static_cast<int>(::SendMessageA(types, CB_GETCURSEL, 0, 0));
        ::SendMessageA(types, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text));
        typeShown = text;
        // The user picks "Sun/NeXT AU(*.au,*.snd)".
        ::SendMessageA(types, CB_SETCURSEL, 4, 0);
        // A choice in the list sends both notifications.
        ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1136, CBN_SELCHANGE), reinterpret_cast<LPARAM>(types));
        ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1136, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
        HWND edit = ::GetDlgItem(dialog, 1148);
        if (!edit) edit = ::GetDlgItem(dialog, 1152);
        ::GetWindowTextA(edit, text, sizeof text);
        nameAfterChange = text;
        Press(dialog, IDCANCEL);
      },
      [&] { ok = manager.DoPromptFileName(name, 0, 0, FALSE, nullptr); });
  EXPECT_FALSE(ok) << "cancelled";
  EXPECT_EQ(typeShown, "VOC files(*.voc)");
  EXPECT_EQ(nameAfterChange, "evening.au");
  EXPECT_EQ(name.str(), "Z:\\tmp\\my.takes\\evening.voc") << "cancel leaves the name";
}

}  // namespace
