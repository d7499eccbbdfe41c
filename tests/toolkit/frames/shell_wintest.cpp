// The shell manager's item-ID-list arithmetic, the shell list showing a folder made for
// the test (its columns, sorting, sizes, navigation and the messages to its owner) and
// the shell tree linked to it.
#include "support/wine/GTestWin.h"

#include "support/wine/TempFolder.h"
#include "support/wine/WindowCapture.h"
#include "toolkit/frames/ShellManager.h"
#include "toolkit/frames/TKShellList.h"
#include "toolkit/frames/TKShellTree.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

// A folder of the test's own: two subfolders (one with a file and a folder inside) and
// three files of 2000, 1 and 0 bytes.
class TestFolder {
public:
  TestFolder() : m_folder("tkshell") {
    Dir("Mdir");
    Dir("Mdir/deep");
    File("Mdir/inner.txt", 10);
    Dir("zdir");
    File("A.wav", 2000);
    File("b.txt", 1);
    File("c.dat", 0);
  }
  // The folder as Wine's shell sees it.
  std::string Dos(const char* sub = nullptr) const { return sub ? m_folder.File(sub) : m_folder.Path(); }
  std::string Name() const { return m_folder.Name(); }

private:
  void Dir(const char* sub) { ::CreateDirectoryA(m_folder.File(sub).c_str(), nullptr); }
  void File(const char* sub, size_t bytes) {
    HANDLE h =
        ::CreateFileA(m_folder.File(sub).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    std::string data(bytes, 'x');
    DWORD written = 0;
    if (bytes) ::WriteFile(h, data.data(), static_cast<DWORD>(bytes), &written, nullptr);
    ::CloseHandle(h);
  }
  winetest::TempFolder m_folder;
};

// The owner of the list and tree: counts the shell messages it is sent.
struct Owner : CWnd {
  int folderChanges = 0;
  int shellCommands = 0;
  BOOL Make() {
    return CreateEx(0, nullptr, "shell", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, 640, 300, nullptr,
                    nullptr);
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == TKM_CHANGE_CURRENT_FOLDER) ++folderChanges;
    if (message == TKM_ON_AFTER_SHELL_COMMAND) ++shellCommands;
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

class ShellTest : public ::testing::Test {
protected:
  void SetUp() override { ::CoInitialize(nullptr); }
  void TearDown() override { ::CoUninitialize(); }

  static std::vector<std::string> Column(CTKShellList& list, int column) {
    std::vector<std::string> texts;
    for (int i = 0; i < list.GetItemCount(); ++i) texts.emplace_back(list.GetItemText(i, column));
    return texts;
  }
  static int Find(CTKShellList& list, const char* name) {
    for (int i = 0; i < list.GetItemCount(); ++i)
      if (list.GetItemText(i, 0) == name) return i;
    return -1;
  }
  static std::vector<std::string> Children(CTKShellTree& tree, HTREEITEM item) {
    std::vector<std::string> names;
    for (HTREEITEM child = tree.GetChildItem(item); child; child = tree.GetNextSiblingItem(child))
      names.emplace_back(tree.GetItemText(child));
    return names;
  }
  static HTREEITEM Child(CTKShellTree& tree, HTREEITEM item, const char* name) {
    for (HTREEITEM child = tree.GetChildItem(item); child; child = tree.GetNextSiblingItem(child))
      if (tree.GetItemText(child) == name) return child;
    return nullptr;
  }
};

TEST_F(ShellTest, ManagerWalksItemListsAndParents) {
  TestFolder folder;
  ShellManager manager;
  ASSERT_EQ(g_pShellManager, &manager);
  LPITEMIDLIST list = nullptr;
  ASSERT_EQ(manager.ItemFromPath(folder.Dos().c_str(), list), S_OK);
  UINT count = manager.GetItemCount(list);
  ASSERT_GE(count, 3u);  // at least the drive, "tmp" and the folder

  UINT sum = 0;
  for (LPCITEMIDLIST item = list; item->mkid.cb; item = manager.GetNextItem(item)) sum += item->mkid.cb;
  EXPECT_EQ(manager.GetItemSize(list), sum + 2);
  EXPECT_EQ(manager.GetItemSize(nullptr), 0u);
  EXPECT_EQ(manager.GetNextItem(nullptr), nullptr);

  // Parent plus last item gives the list back, byte for byte.
  LPITEMIDLIST parent = nullptr;
  EXPECT_EQ(manager.ParentOf(list, parent), static_cast<int>(count - 1));
  ASSERT_NE(parent, nullptr);
  LPCITEMIDLIST last = list;
  for (UINT i = 0; i + 1 < count; ++i) last = manager.GetNextItem(last);
  LPITEMIDLIST joined = manager.ConcatenateItem(parent, last);
  ASSERT_EQ(manager.GetItemSize(joined), manager.GetItemSize(list));
  EXPECT_EQ(std::memcmp(joined, list, manager.GetItemSize(list)), 0);

  // A one-item list's parent is the desktop (an empty list); the desktop has none.
  LPITEMIDLIST first = manager.CopyItem(list);
  *reinterpret_cast<USHORT*>(manager.GetNextItem(first)) = 0;
  LPITEMIDLIST desktop = nullptr;
  EXPECT_EQ(manager.ParentOf(first, desktop), 0);
  ASSERT_NE(desktop, nullptr);
  EXPECT_EQ(manager.GetItemSize(desktop), 2u);
  LPITEMIDLIST none = reinterpret_cast<LPITEMIDLIST>(1);
  EXPECT_EQ(manager.ParentOf(desktop, none), -1);
  EXPECT_EQ(none, nullptr);

  LPITEMIDLIST missing = nullptr;
  EXPECT_TRUE(FAILED(manager.ItemFromPath((folder.Dos() + "\\no such folder").c_str(), missing)));
  for (LPITEMIDLIST l : {list, parent, joined, first, desktop, missing}) manager.FreeItem(l);
}

TEST_F(ShellTest, SizesAreWholeStartedKilobytes) {
  CTKShellList list;
  struct Case {
    ULONGLONG bytes;
    const char* text;
  } cases[] = {{0, "0 KB"}, {1, "1 KB"}, {1023, "1 KB"}, {1024, "2 KB"}, {5 * 1024 * 1024, "5,121 KB"}};
  for (const Case& c : cases) {
    CString text = "stale";
    list.FormatFileSize(c.bytes, text);
    EXPECT_STREQ(text, c.text) << c.bytes;
  }
}

TEST_F(ShellTest, ListRefusedWithoutManagerAndNavigationFails) {
  ASSERT_EQ(g_pShellManager, nullptr);
  Owner owner;
  ASSERT_TRUE(owner.Make());
  CTKShellList list;
  EXPECT_FALSE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 300, 200), &owner, 1));
  EXPECT_EQ(list.ShowFolderPath("Z:\\tmp"), E_FAIL);
  EXPECT_EQ(list.ShowParentFolder(), E_FAIL);
  CTKShellTree tree;
  EXPECT_FALSE(tree.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), &owner, 2));
  owner.DestroyWindow();
}

TEST_F(ShellTest, ListShowsFolderSortedAndNavigates) {
  TestFolder folder;
  ShellManager manager;
  Owner owner;
  ASSERT_TRUE(owner.Make());
  CTKShellList list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 640, 300), &owner, 1));
  EXPECT_TRUE(list.IsDesktop());  // shows the desktop until told otherwise
  EXPECT_TRUE(list.GetStyle() & LVS_SHAREIMAGELISTS);

  // Columns.
  HWND header = list.GetHeaderWnd();
  ASSERT_EQ(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 4);
  const char* names[] = {"Name", "Size", "Type", "Modified"};
  for (int column = 0; column < 4; ++column) {
    char text[32] = "";
    HDITEMA item{};
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_WIDTH;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    ::SendMessageA(header, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, names[column]);
    EXPECT_EQ(item.cxy, 100);
    EXPECT_EQ(item.fmt & HDF_JUSTIFYMASK, column == 1 ? HDF_RIGHT : HDF_LEFT) << column;
  }

  // The folder: subfolders first, each group in name order; sizes of files only.
  int changes = owner.folderChanges;
  ASSERT_EQ(list.ShowFolderPath(folder.Dos().c_str()), S_OK);
  EXPECT_EQ(owner.folderChanges, changes + 1);
  EXPECT_FALSE(list.IsDesktop());
  CString path;
  ASSERT_TRUE(list.GetCurrentFolderPath(path));
  EXPECT_STREQ(path, folder.Dos().c_str());
  EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"Mdir", "zdir", "A.wav", "b.txt", "c.dat"}));
  EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"", "", "2 KB", "1 KB", "0 KB"}));
  for (const std::string& type : Column(list, 2)) EXPECT_FALSE(type.empty());
  for (const std::string& date : Column(list, 3)) EXPECT_FALSE(date.empty());
  for (int i = 0; i < list.GetItemCount(); ++i) {
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = i;
    ::SendMessageA(list.m_hWnd, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_GE(item.iImage, 0) << i;
  }

  // Sorting by size through the sorting list: folders have no size and read as the
  // smallest.
  list.SortByColumn(1, TRUE);
  std::vector<std::string> bySize = Column(list, 0);
  EXPECT_EQ(std::vector<std::string>(bySize.begin() + 2, bySize.end()),
            (std::vector<std::string>{"c.dat", "b.txt", "A.wav"}));
  EXPECT_EQ(list.GetHeaderCtrl().GetColumnState(1), 1);  // the sorting header shows it
  EXPECT_EQ(list.GetHeaderCtrl().GetColumnState(0), 0);
  list.SortByColumn(1, FALSE);
  EXPECT_EQ(Column(list, 0).front(), "A.wav");
  list.SortByColumn(0, TRUE);

  // Opening a subfolder with Return shows it; the parent goes back.
  int sub = Find(list, "Mdir");
  ASSERT_GE(sub, 0);
  list.SetItemState(sub, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
  ::SendMessageA(list.m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"deep", "inner.txt"}));
  ASSERT_TRUE(list.GetCurrentFolderPath(path));
  EXPECT_STREQ(path, folder.Dos("Mdir").c_str());
  EXPECT_EQ(owner.folderChanges, changes + 2);
  EXPECT_EQ(list.ShowParentFolder(), S_OK);
  EXPECT_EQ(Column(list, 0).size(), 5u);
  ASSERT_TRUE(list.GetCurrentFolderPath(path));
  EXPECT_STREQ(path, folder.Dos().c_str());

  // A screenshot of the list: the sizes right-aligned in their column, the rows on the
  // window colour.
  ::RedrawWindow(owner.m_hWnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpPendingMessages();
  CapturedImage image = CaptureWindow(list.m_hWnd, true);
  ASSERT_FALSE(image.Empty());
  const COLORREF window = ::GetSysColor(COLOR_WINDOW);
  EXPECT_EQ(image.At(image.width - 5, image.height - 5), window);
  RECT row{};
  row.left = LVIR_BOUNDS;
  ::SendMessageA(list.m_hWnd, LVM_GETITEMRECT, Find(list, "A.wav"), reinterpret_cast<LPARAM>(&row));
  auto inked = [&](int x0, int x1) {
    int count = 0;
    for (int y = row.top; y < row.bottom; ++y)
      for (int x = x0; x < x1; ++x) count += image.At(x, y) != window;
    return count;
  };
  EXPECT_GT(inked(15, 95), 0);    // the name
  EXPECT_EQ(inked(105, 150), 0);  // the left of the size column stays empty
  EXPECT_GT(inked(150, 198), 0);  // "2 KB" at its right
  EXPECT_TRUE(SavePng(image, TARVEL_TEST_BINARY_DIR "/screenshots/shell-list.png"));

  // The context-menu key with nothing selected shows nothing and runs nothing.
  for (int i = 0; i < list.GetItemCount(); ++i) list.SetItemState(i, 0, LVIS_SELECTED);
  ::SendMessageA(list.m_hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list.m_hWnd), MAKELPARAM(-1, -1));
  EXPECT_EQ(g_pShellContextMenu2, nullptr);
  EXPECT_EQ(owner.shellCommands, 0);

  // Up to the desktop, where there is no parent left.
  int steps = 0;
  while (!list.IsDesktop() && steps < 10) {
    EXPECT_EQ(list.ShowParentFolder(), S_OK);
    ++steps;
  }
  EXPECT_TRUE(list.IsDesktop());
  EXPECT_EQ(list.ShowParentFolder(), E_FAIL);

  // A folder that does not exist leaves the list as it was.
  int shown = list.GetItemCount();
  EXPECT_TRUE(FAILED(list.ShowFolderPath((folder.Dos() + "\\gone").c_str())));
  EXPECT_EQ(list.GetItemCount(), shown);
  owner.DestroyWindow();
}

TEST_F(ShellTest, TreeFindsFoldersAndFollowsLinkedList) {
  TestFolder folder;
  ShellManager manager;
  Owner owner;
  ASSERT_TRUE(owner.Make());
  CTKShellTree tree;
  ASSERT_TRUE(
      tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES, CRect(0, 0, 300, 300), &owner, 2));
  CTKShellList list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(300, 0, 640, 300), &owner, 1));
  tree.LinkList(&list);
  EXPECT_EQ(list.LinkedTree(), &tree);
  EXPECT_EQ(tree.LinkedList(), &list);

  // The desktop is the one root, expanded.
  HTREEITEM root = tree.GetRootItem();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(tree.GetNextSiblingItem(root), nullptr);
  EXPECT_NE(tree.GetChildItem(root), nullptr);

  // Found by path: only folders below it, in order, with buttons where there is more.
  ASSERT_TRUE(tree.SelectByPath(folder.Dos().c_str()));
  HTREEITEM selected = tree.GetSelectedItem();
  EXPECT_EQ(tree.GetItemText(selected), folder.Name().c_str());
  CString path;
  ASSERT_TRUE(tree.PathOfItem(path));
  EXPECT_STREQ(path, folder.Dos().c_str());
  EXPECT_EQ(Children(tree, selected), (std::vector<std::string>{"Mdir", "zdir"}));
  HTREEITEM mdir = Child(tree, selected, "Mdir");
  HTREEITEM zdir = Child(tree, selected, "zdir");
  ASSERT_TRUE(mdir && zdir);
  tree.Expand(zdir, TVE_EXPAND);
  TVITEMA item{};
  item.mask = TVIF_CHILDREN;
  item.hItem = zdir;
  ::SendMessageA(tree.m_hWnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(item.cChildren, 0);  // nothing inside: no button
  // Searching by path selected without telling the list.
  EXPECT_TRUE(list.IsDesktop());

  // Selecting in the tree shows the folder in the list; the list leaves the tree alone.
  int changes = owner.folderChanges;
  tree.SelectItem(mdir);
  ASSERT_TRUE(list.GetCurrentFolderPath(path));
  EXPECT_STREQ(path, folder.Dos("Mdir").c_str());
  EXPECT_EQ(owner.folderChanges, changes + 1);
  EXPECT_EQ(tree.GetSelectedItem(), mdir);

  // Navigating in the list selects its folder in the tree.
  EXPECT_EQ(list.ShowParentFolder(), S_OK);
  EXPECT_EQ(tree.GetSelectedItem(), selected);
  ASSERT_TRUE(list.GetCurrentFolderPath(path));
  EXPECT_STREQ(path, folder.Dos().c_str());

  // Collapsing a folder that holds the selection selects the folder.
  tree.SelectItem(mdir);
  tree.Expand(selected, TVE_COLLAPSE);
  EXPECT_EQ(tree.GetSelectedItem(), selected);

  // Destroying the tree unlinks the list.
  tree.DestroyWindow();
  EXPECT_EQ(list.m_hwndTree, nullptr);
  EXPECT_EQ(list.LinkedTree(), nullptr);
  owner.DestroyWindow();
}

}  // namespace
