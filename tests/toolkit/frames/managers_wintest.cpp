// The toolkit-wide managers: keyboard shortcuts, command images, the menu button store,
// tear-off ids, usage counting, user tools and the menu-sound worker.
#include "support/wine/GTestWin.h"

#include "toolkit/frames/CommandUsageCounter.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/MenuButtonStore.h"
#include "toolkit/frames/MenuSound.h"
#include "toolkit/frames/TKCommandManager.h"
#include "toolkit/frames/TKKeyboardManager.h"
#include "toolkit/frames/TKRegistry.h"
#include "toolkit/frames/TKUserToolsManager.h"
#include "toolkit/frames/TearOffManager.h"

namespace {

constexpr const char* kPath = "Software\\TarvelTest\\Managers\\";

class ManagersTest : public ::testing::Test {
protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  static void Clean() {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarvelTest\\Managers");
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\TarvelTest");
  }
  static std::vector<BYTE> RawValue(const CString& key, const char* name) {
    RegistryHolder holder;
    CTKRegistry& reg = holder.Obtain(FALSE, TRUE);
    std::vector<BYTE> bytes;
    BYTE* data = nullptr;
    UINT size = 0;
    if (reg.Open(key) && reg.ReadBinary(name, data, size)) bytes.assign(data, data + size);
    free(data);
    return bytes;
  }
  static std::vector<ACCEL> Records(HACCEL table) {
    std::vector<ACCEL> records(::CopyAcceleratorTableA(table, nullptr, 0));
    ::CopyAcceleratorTableA(table, records.data(), static_cast<int>(records.size()));
    return records;
  }
};

TEST_F(ManagersTest, KeyboardManagerSavesLoadsAndDescribesAcceleratorTables) {
  CTKKeyboardManager keyboard;
  CFrameWnd frame;
  ACCEL original[] = {
      {FVIRTKEY | FCONTROL, 'S', 100}, {FVIRTKEY, VK_F5, 101}, {FVIRTKEY | FCONTROL | FSHIFT, 'Z', 102}};
  ASSERT_TRUE(keyboard.UpdateAcceleratorTable(original, 3, &frame));
  EXPECT_TRUE(keyboard.SaveState(kPath, &frame));
  CString key = CString(kPath) + "TKKeyboard-0";
  EXPECT_EQ(RawValue(key, "Accelerators").size(), 18u);  // three 6-byte records

  // Shortcut text and key use, from the same table.
  struct Text {
    UINT command;
    const char* text;
  } texts[] = {{100, "Ctrl+S"}, {101, "F5"}, {102, "Ctrl+Shift+Z"}, {999, ""}};
  for (const Text& t : texts) {
    CString text = "stale";
    EXPECT_EQ(keyboard.FindAcceleratorText(t.command, text, &frame, FALSE) != FALSE, *t.text != 0)
        << t.command;
    EXPECT_STREQ(text, t.text);
  }
  EXPECT_TRUE(keyboard.IsKeyUsed(VK_F5, FVIRTKEY, &frame, FALSE));
  EXPECT_FALSE(keyboard.IsKeyUsed(VK_F5, FVIRTKEY | FSHIFT, &frame, FALSE));

  // Another table in the frame; loading brings the stored one back, with a command
  // the user may not rebind cleared.
  ACCEL other[] = {{FVIRTKEY, 'Q', 7}};
  ASSERT_TRUE(keyboard.UpdateAcceleratorTable(other, 1, &frame));
  CTKKeyboardManager::s_nonCustomizableCommands.AddTail(101);
  EXPECT_TRUE(keyboard.LoadState(kPath, &frame));
  CTKKeyboardManager::s_nonCustomizableCommands.RemoveAll();
  std::vector<ACCEL> loaded = Records(frame.m_hAccelTable);
  ASSERT_EQ(loaded.size(), 3u);
  EXPECT_EQ(loaded[0].cmd, 100);
  EXPECT_EQ(loaded[1].cmd, 0);  // was 101
  EXPECT_EQ(loaded[2].key, 'Z');
  CString text;
  EXPECT_TRUE(keyboard.FindAcceleratorText(100, text, &frame, FALSE));  // the cache follows the new table

  // A stored value of 13 bytes gives two records; the rest is ignored.
  {
    RegistryHolder holder;
    CTKRegistry& reg = holder.Obtain(FALSE, FALSE);
    ASSERT_TRUE(reg.Open(key));
    BYTE bytes[13] = {};
    memcpy(bytes, original, 12);
    bytes[12] = 0x55;
    ASSERT_TRUE(reg.WriteBinary("Accelerators", bytes, sizeof bytes));
  }
  EXPECT_TRUE(keyboard.LoadState(kPath, &frame));
  EXPECT_EQ(Records(frame.m_hAccelTable).size(), 2u);

  // Without any frame nothing is saved and nothing installed, but saving succeeds.
  EXPECT_TRUE(keyboard.SaveState(CString(kPath) + "None\\", nullptr));
  EXPECT_FALSE(keyboard.UpdateAcceleratorTable(original, 3, nullptr));
  ::DestroyAcceleratorTable(frame.m_hAccelTable);
}

TEST(KeyboardManagerKeys, KeyToUpperCharUpperCasesWhileAltIsUp) {
  // Letter and digit keys are their own upper-case characters; other keys stay.
  for (UINT key :
       {static_cast<UINT>('A'), static_cast<UINT>('Q'), static_cast<UINT>('7'), static_cast<UINT>(VK_OEM_1)})
    EXPECT_EQ(CTKKeyboardManager::KeyToUpperChar(key), key);
}

TEST_F(ManagersTest, CommandManagerKeepsImagesApartAndStoresTheCommandsWithoutImages) {
  CTKCommandManager manager;
  manager.StoreImageOf(10, 1);
  manager.StoreImageOf(10, 5, TRUE);  // a default image stays; no user image added
  manager.StoreImageOf(20, 7, TRUE);
  manager.StoreImageOf(20, 2);  // likewise the other way round
  manager.StoreImageOf(0, 3);
  manager.StoreImageOf(static_cast<UINT>(-1), 3);
  manager.StoreImageOf(30, 4);
  manager.StoreImageOf(30, 6);  // overwrites in its own map
  struct Case {
    UINT command;
    int defaultImage, userImage;
  } cases[] = {{10, 1, -1}, {20, -1, 7}, {0, -1, -1}, {30, 6, -1}};
  for (const Case& c : cases) {
    EXPECT_EQ(manager.FindImageOf(c.command), c.defaultImage) << c.command;
    EXPECT_EQ(manager.FindImageOf(c.command, TRUE), c.userImage) << c.command;
  }
  manager.RemoveImageOf(20);
  EXPECT_EQ(manager.FindImageOf(20, TRUE), -1);

  CString key = CString(kPath) + "TKCommandManager";
  EXPECT_FALSE(manager.LoadState(kPath));  // nothing stored yet
  EXPECT_TRUE(manager.SaveState(kPath));
  EXPECT_EQ(RawValue(key, "CommandsWithoutImages"), (std::vector<BYTE>{0, 0}));
  // Each command once, in the order chosen; one shown with its image again leaves.
  for (UINT command : {5u, 5u, 9u, 70000u}) manager.EnableMenuItemImage(command, FALSE);
  manager.EnableMenuItemImage(9, TRUE);
  EXPECT_TRUE(manager.SaveState(kPath));
  EXPECT_EQ(RawValue(key, "CommandsWithoutImages"), (std::vector<BYTE>{2, 0, 5, 0, 0, 0, 0x70, 0x11, 1, 0}));

  manager.RemoveAllImages();
  EXPECT_EQ(manager.FindImageOf(10), -1);
  EXPECT_TRUE(manager.CommandsWithoutImages().IsEmpty());
  EXPECT_TRUE(manager.LoadState(kPath));
  ASSERT_EQ(manager.CommandsWithoutImages().GetCount(), 2);
  EXPECT_EQ(manager.CommandsWithoutImages().GetTail(), 70000u);
  EXPECT_TRUE(manager.IsMenuItemWithoutImage(5));
  EXPECT_FALSE(manager.IsMenuItemWithoutImage(9));
}

// The store's temporary files in the temporary folder.
int StoreFiles() {
  char folder[MAX_PATH];
  ::GetTempPathA(sizeof folder, folder);
  WIN32_FIND_DATAA found;
  HANDLE find = ::FindFirstFileA((CString(folder) + "TK*.tmp"), &found);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do ++count;
  while (::FindNextFileA(find, &found));
  ::FindClose(find);
  return count;
}

TEST(MenuButtonStoreTest, KeepsOneDeleteOnCloseFilePerMenu) {
  int before = StoreFiles();
  auto* store = new MenuButtonStore;
  HMENU menu = ::CreateMenu();
  CStringList buttons;
  buttons.AddTail("&File");
  buttons.AddTail("&Edit");
  EXPECT_FALSE(store->SaveButtons(menu, nullptr));
  ASSERT_TRUE(store->SaveButtons(menu, &buttons));
  EXPECT_EQ(StoreFiles(), before + 1);
  buttons.AddTail("&View");
  ASSERT_TRUE(store->SaveButtons(menu, &buttons));  // replaces the first copy
  EXPECT_EQ(StoreFiles(), before + 1);

  for (int round = 0; round < 2; ++round) {  // the file stays open for later loads
    CStringList back;
    ASSERT_TRUE(store->LoadButtons(menu, &back));
    ASSERT_EQ(back.GetCount(), 3);
    EXPECT_STREQ(back.GetTail(), "&View");
  }
  CStringList none;
  EXPECT_FALSE(store->LoadButtons(::CreateMenu(), &none));
  delete store;  // closing the files deletes them
  EXPECT_EQ(StoreFiles(), before);
  ::DestroyMenu(menu);
}

// The program's store is emptied by the toolkit's clean-up at exit, not by a static
// destructor (which would close handles after the process has left Win32).
TEST(MenuButtonStoreTest, TheToolkitCleanUpEmptiesTheProgramsStore) {
  const int before = StoreFiles();
  HMENU menus[2] = {::CreateMenu(), ::CreateMenu()};
  CStringList buttons;
  buttons.AddTail("&File");
  for (HMENU menu : menus) ASSERT_TRUE(MenuButtonStore::Instance().SaveButtons(menu, &buttons));
  EXPECT_EQ(StoreFiles(), before + 2);
  ToolkitCleanUp();
  EXPECT_EQ(StoreFiles(), before);
  for (HMENU menu : menus) {
    EXPECT_EQ(MenuButtonStore::Instance().FileOf(menu), INVALID_HANDLE_VALUE);
    ::DestroyMenu(menu);
  }
}

TEST(TearOffManagerTest, HandsOutIdsAndMarksMenuItems) {
  TearOffManager tearOff;
  EXPECT_EQ(tearOff.GetFreeId(), 0u);  // no range
  tearOff.SetRange(500, 502);
  tearOff.ChangeUseCount(500, TRUE);
  tearOff.ChangeUseCount(501, TRUE);
  tearOff.ChangeUseCount(900, TRUE);  // outside: ignored
  EXPECT_EQ(tearOff.GetFreeId(), 502u);
  EXPECT_EQ(tearOff.GetFreeId(), 0u);
  tearOff.ChangeUseCount(501, FALSE);
  tearOff.ChangeUseCount(501, FALSE);  // never below 0
  EXPECT_EQ(tearOff.UseCount(501), 0);

  struct Case {
    const char* text;
    UINT id;
    const char* rest;
  } cases[] = {{"\x01"
                "7\x01"
                "Colors",
                7, "Colors"},
               {"Plain", 0, "Plain"},
               {"\x01"
                "7 no end",
                0,
                "\x01"
                "7 no end"},
               {"", 0, ""}};
  for (const Case& c : cases) {
    CString text = c.text;
    EXPECT_EQ(TearOffManager::ReadIdFromText(text), c.id) << c.rest;
    EXPECT_STREQ(text, c.rest);
  }
  CString prefixed = "Tools";
  TearOffManager::PrefixItemText(7, prefixed);
  EXPECT_EQ(TearOffManager::ReadIdFromText(prefixed), 7u);
  EXPECT_STREQ(prefixed, "Tools");

  // A real menu: the popup marked as a tear-off gets an id and keeps its submenu.
  tearOff.ReleaseIds(nullptr);
  HMENU bar = ::CreateMenu();
  HMENU popup = ::CreatePopupMenu();
  ::AppendMenuA(popup, MF_STRING, 1, "Item");
  ::AppendMenuA(bar, MF_POPUP | MF_MENUBARBREAK, reinterpret_cast<UINT_PTR>(popup), "Tear");
  ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(::CreatePopupMenu()), "Plain");
  tearOff.AssignIds(bar);
  char text[64] = "";
  ::GetMenuStringA(bar, 0, text, sizeof text, MF_BYPOSITION);
  CString marked = text;
  EXPECT_EQ(TearOffManager::ReadIdFromText(marked), 500u);
  EXPECT_STREQ(marked, "Tear");
  EXPECT_EQ(::GetSubMenu(bar, 0), popup);
  ::GetMenuStringA(bar, 1, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Plain");
  EXPECT_EQ(tearOff.UseCount(500), 1);
  tearOff.AssignIds(bar);  // already marked: no second id
  EXPECT_EQ(tearOff.UseCount(501), 0);
  tearOff.ReleaseIds(bar);
  EXPECT_EQ(tearOff.UseCount(500), 0);
  ::DestroyMenu(bar);
}

TEST(CommandUsageCounterTest, CountsOnlyPersonalisableCommandsAndJudgesFrequency) {
  CommandUsageCounter counter;
  for (UINT command : {0u, static_cast<UINT>(-1), 57616u, 57631u, 61440u, 61935u, 65280u, 57872u, 57887u})
    counter.CountUse(command);
  CommandUsageCounter::s_basicCommands.AddTail(300);
  counter.CountUse(300);
  CommandUsageCounter::s_basicCommands.RemoveAll();
  CommandUsageCounter::s_customizing = TRUE;
  counter.CountUse(200);
  CommandUsageCounter::s_customizing = FALSE;
  EXPECT_EQ(counter.Total(), 0u);
  EXPECT_FALSE(counter.IsFrequent(200));  // no data yet

  struct Case {
    UINT uses, total;
    bool frequent;
  } cases[] = {{1, 20, false}, {2, 20, true}, {1, 19, false}, {0, 5, false}, {5, 5, true}};
  for (const Case& c : cases) {
    counter.Clear();
    for (UINT i = 0; i < c.uses; ++i) counter.CountUse(200);
    for (UINT i = c.uses; i < c.total; ++i) EXPECT_EQ(counter.CountUse(201), i + 1);
    EXPECT_EQ(counter.UseCount(200), c.uses);
    EXPECT_EQ(counter.IsFrequent(200) != FALSE, c.frequent) << c.uses << " of " << c.total;
  }

  // Stored form: the total, then the map of counts.
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    counter.Serialize(ar);
    ar.Close();
  }
  EXPECT_EQ(file.GetLength(), 4u + 2u + 8u);  // one command counted
  file.Seek(0, CFile::begin);
  CommandUsageCounter back;
  CArchive ar(&file, CArchive::load);
  back.Serialize(ar);
  EXPECT_EQ(back.Total(), 5u);
  EXPECT_EQ(back.UseCount(200), 5u);
  EXPECT_TRUE(back.HasEnoughData());
}

TEST_F(ManagersTest, UserToolsHaveTheirOwnIdsAndRoundTripThroughTheRegistry) {
  CTKUserToolsManager tools(800, 900, 902);
  CTKUserTool* a = tools.NewTool();
  CTKUserTool* b = tools.NewTool();
  CTKUserTool* c = tools.NewTool();
  ASSERT_TRUE(a && b && c);
  EXPECT_EQ(tools.NewTool(), nullptr);  // the range is full
  EXPECT_EQ(b->m_uiCmdId, 901u);
  EXPECT_TRUE(tools.EraseTool(b));
  EXPECT_FALSE(tools.EraseTool(b));
  CTKUserTool* d = tools.NewTool();
  ASSERT_TRUE(d);
  EXPECT_EQ(d->m_uiCmdId, 901u);  // the freed id
  EXPECT_EQ(tools.LookupTool(901), d);
  EXPECT_EQ(tools.LookupTool(800), nullptr);
  EXPECT_FALSE(tools.ShiftToolUp(a));
  EXPECT_FALSE(tools.ShiftToolDown(d));
  EXPECT_TRUE(tools.ShiftToolUp(d));        // a, d, c
  EXPECT_TRUE(tools.ShiftToolUp(d));        // d, a, c
  EXPECT_FALSE(tools.RunToolCommand(902));  // c has no program

  a->m_strLabel = "Editor";
  a->SetCommand("notepad.exe");
  a->m_strArguments = "$(File)";
  a->m_strInitialDirectory = "C:\\";
  d->m_strLabel = "Shell";
  ASSERT_TRUE(tools.SaveState(kPath));
  std::vector<BYTE> stored = RawValue(kPath, "Tools");
  ASSERT_GE(stored.size(), 19u);
  // Three tools; the first with its class record.
  EXPECT_EQ(std::vector<BYTE>(stored.begin(), stored.begin() + 19),
            (std::vector<BYTE>{3, 0, 0xFF, 0xFF, 1, 0, 11, 0, 'C', 'T', 'K', 'U', 's', 'e', 'r', 'T', 'o',
                               'o', 'l'}));

  CTKUserToolsManager loaded(800, 900, 902);
  loaded.NewTool();  // replaced by the stored ones
  ASSERT_TRUE(loaded.LoadState(kPath));
  ASSERT_EQ(loaded.GetUserTools().GetCount(), 3);
  POSITION pos = loaded.GetUserTools().GetHeadPosition();
  auto* first = static_cast<CTKUserTool*>(loaded.GetUserTools().GetNext(pos));
  auto* second = static_cast<CTKUserTool*>(loaded.GetUserTools().GetNext(pos));
  EXPECT_STREQ(first->m_strLabel, "Shell");
  EXPECT_EQ(first->m_uiCmdId, 901u);
  EXPECT_STREQ(second->m_strLabel, "Editor");
  EXPECT_STREQ(second->GetCommand(), "notepad.exe");
  EXPECT_STREQ(second->m_strArguments, "$(File)");
  EXPECT_STREQ(second->m_strInitialDirectory, "C:\\");
  EXPECT_EQ(loaded.LookupTool(900), second);

  // Damaged stored bytes empty the list and fail.
  {
    RegistryHolder holder;
    CTKRegistry& reg = holder.Obtain(FALSE, FALSE);
    ASSERT_TRUE(reg.Open(kPath));
    ASSERT_TRUE(reg.WriteBinary("Tools", stored.data(), 12));
  }
  EXPECT_FALSE(loaded.LoadState(kPath));
  EXPECT_EQ(loaded.GetUserTools().GetCount(), 0);
}

TEST(MenuSoundTest, OneWorkerAtMostAndNoneWhileSoundsAreOff) {
  SetMenuSounds(FALSE);
  PlayMenuSound(kMenuSoundCommand);
  EXPECT_EQ(MenuSoundWorkerStarts(), 0);
  SetMenuSounds(TRUE);
  PlayMenuSound(kMenuSoundEnd);  // a stop before any sound starts nothing
  EXPECT_EQ(MenuSoundWorkerStarts(), 0);
  EXPECT_EQ(MenuSoundRequest(), kMenuSoundNotStarted);

  PlayMenuSound(kMenuSoundPopup);
  EXPECT_EQ(MenuSoundWorkerStarts(), 1);
  PlayMenuSound(kMenuSoundCommand);  // the running worker takes it
  PlayMenuSound(kMenuSoundEnd);
  EXPECT_EQ(MenuSoundRequest(), kMenuSoundEnd);
  PlayMenuSound(kMenuSoundPopup);  // no worker reads it any more, and none is started
  EXPECT_EQ(MenuSoundWorkerStarts(), 1);
  SetMenuSounds(FALSE);
}

}  // namespace
