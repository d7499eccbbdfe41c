// The workspace against Wine's registry: the main window's placement with real
// windows, the stored version, and the whole-state save, load and clean.
#include "support/wine/GTestWin.h"

#include "toolkit/frames/FrameHelper.h"
#include "toolkit/frames/ShellManager.h"
#include "toolkit/frames/TKCommandManager.h"
#include "toolkit/frames/TKRegistry.h"
#include "toolkit/frames/TKWorkspace.h"

namespace {

// The application's key and name put the state below HKCU\Software\TarvelTest\WS.
class WorkspaceTest : public ::testing::Test {
protected:
  WorkspaceTest() : app_("WS") { app_.SetRegistryKey("TarvelTest"); }
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  static void Clean() {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarvelTest\\WS");
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\TarvelTest");
  }
  static bool KeyExists(const char* path) {
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
  }
  static HWND MakeWindow(int x, int y, int w, int h) {
    return ::CreateWindowExA(0, "STATIC", "placement", WS_OVERLAPPEDWINDOW, x, y, w, h, nullptr, nullptr,
                             ::GetModuleHandleA(nullptr), nullptr);
  }
  CWinApp app_;
};

TEST_F(WorkspaceTest, WindowPlacementRoundTripsThroughTheSettingsKey) {
  CTKWorkspace workspace;
  EXPECT_EQ(CurrentWorkspace(), &workspace);
  EXPECT_STREQ(workspace.SetStateKeyName("Settings"), "Settings");
  EXPECT_STREQ(workspace.GetSectionPath("WindowPlacement"),
               "SOFTWARE\\TarvelTest\\WS\\Settings\\WindowPlacement\\");

  RECT rect;
  int flags = 0, show = SW_SHOWNORMAL;
  EXPECT_FALSE(workspace.LoadWindowPlacement(rect, flags, show));  // nothing stored: default placement

  struct Case {
    RECT normal;
    int show;
  } cases[] = {{{40, 30, 440, 330}, SW_SHOWNORMAL}, {{100, 80, 400, 280}, SW_SHOWMAXIMIZED}};
  for (const Case& c : cases) {
    HWND first = MakeWindow(c.normal.left, c.normal.top, c.normal.right - c.normal.left,
                            c.normal.bottom - c.normal.top);
    ASSERT_TRUE(first);
    ::ShowWindow(first, c.show);
    WINDOWPLACEMENT wp = {sizeof wp};
    ASSERT_TRUE(::GetWindowPlacement(first, &wp));
    EXPECT_TRUE(workspace.StoreWindowPlacement(wp.rcNormalPosition, static_cast<int>(wp.flags),
                                               static_cast<int>(wp.showCmd)));
    ::DestroyWindow(first);

    RECT loaded = {};
    int loadedFlags = -1, loadedShow = -1;
    ASSERT_TRUE(workspace.LoadWindowPlacement(loaded, loadedFlags, loadedShow));
    EXPECT_TRUE(::EqualRect(&loaded, &c.normal));
    EXPECT_EQ(loadedShow, c.show);

    HWND second = MakeWindow(0, 0, 50, 50);
    WINDOWPLACEMENT restore = {sizeof restore};
    restore.flags = static_cast<UINT>(loadedFlags);
    restore.showCmd = static_cast<UINT>(loadedShow);
    restore.rcNormalPosition = loaded;
    ASSERT_TRUE(::SetWindowPlacement(second, &restore));
    WINDOWPLACEMENT back = {sizeof back};
    ::GetWindowPlacement(second, &back);
    EXPECT_TRUE(::EqualRect(&back.rcNormalPosition, &c.normal));
    EXPECT_EQ(back.showCmd, static_cast<UINT>(c.show));
    EXPECT_EQ(::IsZoomed(second) != FALSE, c.show == SW_SHOWMAXIMIZED);
    ::DestroyWindow(second);
  }

  // The stored values as the registry holds them.
  HKEY key;
  ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\TarvelTest\\WS\\Settings\\WindowPlacement", 0,
                            KEY_ALL_ACCESS, &key),
            ERROR_SUCCESS);
  struct Raw {
    const char* name;
    DWORD type, size;
  } raws[] = {{"MainWindowRect", REG_BINARY, 16}, {"Flags", REG_DWORD, 4}, {"ShowCmd", REG_DWORD, 4}};
  for (const Raw& r : raws) {
    DWORD type = 0, size = 0;
    EXPECT_EQ(::RegQueryValueExA(key, r.name, nullptr, &type, nullptr, &size), ERROR_SUCCESS) << r.name;
    EXPECT_EQ(type, r.type) << r.name;
    EXPECT_EQ(size, r.size) << r.name;
  }
  // A placement missing one value is not used.
  ::RegDeleteValueA(key, "ShowCmd");
  ::RegCloseKey(key);
  EXPECT_FALSE(workspace.LoadWindowPlacement(rect, flags, show));
}

TEST(WorkspaceVersionTest, StoredVersionPacksMajorAndMinor) {
  struct Case {
    int major, minor, expected;
  } cases[] = {{6, 5, 0x60500},  {6, 50, 0x60500}, {6, 40, 0x60400},
               {4, 71, 0x40710}, {-1, 50, -1},     {6, -1, -1}};
  CTKWorkspace workspace;
  for (const Case& c : cases) {
    workspace.m_savedMajor = c.major;
    workspace.m_savedMinor = c.minor;
    EXPECT_EQ(workspace.StoredVersion(), c.expected) << c.major << "." << c.minor;
  }
}

TEST(WorkspaceManagersTest, TheShellManagerIsMadeOnceAndGoesWithTheWorkspaceThatMadeIt) {
  ASSERT_EQ(g_pShellManager, nullptr);
  {
    CTKWorkspace workspace;
    EXPECT_TRUE(workspace.CreateShellManager());
    ShellManager* made = g_pShellManager;
    ASSERT_NE(made, nullptr);
    EXPECT_FALSE(workspace.CreateShellManager());
    EXPECT_EQ(g_pShellManager, made);
    {
      CTKWorkspace other;
      EXPECT_FALSE(other.CreateShellManager());
    }
    EXPECT_EQ(g_pShellManager, made) << "only the workspace that made it deletes it";
  }
  EXPECT_EQ(g_pShellManager, nullptr);
}

TEST_F(WorkspaceTest, SaveLoadAndCleanTheWholeState) {
  CTKWorkspace workspace;
  EXPECT_EQ(workspace.StoredVersion(), -1);

  workspace.m_savingEnabled = FALSE;
  EXPECT_FALSE(workspace.SaveState("Layout"));
  EXPECT_FALSE(KeyExists("Software\\TarvelTest\\WS\\Layout"));  // not even the version

  workspace.m_savingEnabled = TRUE;
  GetCommandManager()->CommandsWithoutImages().AddTail(42);
  EXPECT_TRUE(workspace.SaveState("Layout"));
  EXPECT_STREQ(workspace.GetStateKeyName(), "Layout");
  GetCommandManager()->CommandsWithoutImages().RemoveAll();

  {
    RegistryHolder holder;
    CTKRegistry& reg = holder.Obtain(FALSE, TRUE);
    ASSERT_TRUE(reg.Open("Software\\TarvelTest\\WS\\Layout\\TKVersion"));
    DWORD major = 0, minor = 0;
    EXPECT_TRUE(reg.ReadDword("Major", major));
    EXPECT_TRUE(reg.ReadDword("Minor", minor));
    EXPECT_EQ(major, 6u);
    EXPECT_EQ(minor, 50u);
  }
  EXPECT_TRUE(KeyExists("Software\\TarvelTest\\WS\\Layout\\TKCommandManager"));

  // Hooks run around the load, and the version seen inside is the stored one.
  struct Watching : CTKWorkspace {
    int seenInside = 0;
    void AfterLoadState() override { seenInside = StoredVersion(); }
  } watching;
  watching.m_savedMajor = 5;
  watching.m_savedMinor = 0;
  EXPECT_TRUE(watching.LoadState("Layout"));
  EXPECT_EQ(watching.seenInside, 0x60500);
  EXPECT_EQ(watching.StoredVersion(), 0x60500);
  ASSERT_EQ(GetCommandManager()->CommandsWithoutImages().GetCount(), 1);
  EXPECT_EQ(GetCommandManager()->CommandsWithoutImages().GetHead(), 42u);
  GetCommandManager()->CommandsWithoutImages().RemoveAll();

  EXPECT_TRUE(watching.CleanState());
  EXPECT_FALSE(KeyExists("Software\\TarvelTest\\WS\\Layout"));
  EXPECT_FALSE(watching.CleanState());  // nothing left to remove
}

}  // namespace
