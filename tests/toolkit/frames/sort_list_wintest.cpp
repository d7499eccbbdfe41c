// The toolkit's sorting list and its header: header clicks sorting through the
// list's comparison (descending first), Shift with and without multiple sort, and
// the shade of the sorted column in the cells' custom draw.
#include "support/wine/GTestWin.h"

#include "support/wine/DialogTestSupport.h"
#include "look_canvas.h"
#include "toolkit/frames/TKListCtrl.h"
#include "toolkit/frames/TKVisualManager.h"

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

// A look that paints sort arrows as solid boxes and remembers how header items were
// asked for.
class ArrowLook : public CTKVisualManager {
  DECLARE_DYNCREATE(ArrowLook)

public:
  static std::vector<std::pair<BOOL, BOOL>> items;  // (pressed, hot) per item drawn
  static int ascendingArrows, descendingArrows;
  void PaintHeaderItemBorder(CTKHeaderCtrlBase* header, CDC* dc, CRect& rect, BOOL pressed,
                             BOOL hot) override {
    items.emplace_back(pressed, hot);
    CTKVisualManager::PaintHeaderItemBorder(header, dc, rect, pressed, hot);
  }
  void PaintHeaderSortArrow(CTKHeaderCtrlBase*, CDC* dc, CRect rect, BOOL ascending) override {
    (ascending ? ascendingArrows : descendingArrows)++;
    dc->FillSolidRect(&rect, RGB(255, 0, 255));
  }
};
IMPLEMENT_DYNCREATE(ArrowLook, CTKVisualManager)
std::vector<std::pair<BOOL, BOOL>> ArrowLook::items;
int ArrowLook::ascendingArrows = 0;
int ArrowLook::descendingArrows = 0;

namespace {

constexpr int kList = 500;

struct Row {
  const char* name;
  int size;
};
const Row kRows[] = {{"beta", 30}, {"alpha", 10}, {"delta", 40}, {"gamma", 20}};

// Rows carry their index as item data; columns are name and size.
struct RowList : CTKListCtrl {
  COLORREF column1Background = (COLORREF)-1;
  int CompareItems(LPARAM a, LPARAM b, int column) override {
    const Row& x = kRows[a];
    const Row& y = kRows[b];
    if (column == 0) return std::string(x.name).compare(y.name);
    return x.size - y.size;
  }
  COLORREF GetCellBkColor(int row, int column) override {
    if (column == 1 && column1Background != (COLORREF)-1) return column1Background;
    return CTKListCtrl::GetCellBkColor(row, column);
  }
  std::string Order() {
    std::string order;
    for (int i = 0; i < GetItemCount(); ++i) order += std::string(i ? " " : "") + kRows[GetItemData(i)].name;
    return order;
  }
};

struct ListRig {
  dialogtest::DialogTemplate tpl{"Sorting", 220, 120};
  CDialog host;
  RowList list;
  ListRig() {
    EXPECT_TRUE(host.CreateIndirect(tpl.Get()));
    RECT rect{5, 5, 305, 165};
    EXPECT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, rect, &host, kList));
    list.InsertColumn(0, "Name", LVCFMT_LEFT, 120);
    list.InsertColumn(1, "Size", LVCFMT_RIGHT, 80);
    for (int i = 0; i < 4; ++i) {
      LVITEMA item{};
      item.mask = LVIF_TEXT | LVIF_PARAM;
      item.iItem = i;
      item.pszText = const_cast<char*>(kRows[i].name);
      item.lParam = i;
      list.InsertItem(&item);
    }
  }
  ~ListRig() { host.DestroyWindow(); }
  // A click on a column heading, with or without Shift held.
  void Click(int column, bool shift) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    ::SetKeyboardState(keys);
    NMHEADERA notify{};
    notify.hdr.hwndFrom = list.GetHeaderCtrl().m_hWnd;
    notify.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(notify.hdr.hwndFrom));
    notify.hdr.code = HDN_ITEMCLICKA;
    notify.iItem = column;
    list.SendMessage(WM_NOTIFY, notify.hdr.idFrom, reinterpret_cast<LPARAM>(&notify));
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
  }
};

TEST(ToolkitSortList, HeaderClicksSortByColumnsAndKeepTheArrows) {
  ListRig rig;
  ASSERT_NE(rig.list.GetHeaderCtrl().m_hWnd, nullptr) << "the list's own header is subclassed";
  EXPECT_EQ(rig.list.GetHeaderCtrl().m_hWnd, rig.list.GetHeaderWnd());

  struct Case {
    int column;
    bool shift;
    bool multipleSort;
    const char* order;
    int state0, state1;
  };
  const Case cases[] = {
      {0, false, false, "gamma delta beta alpha", -1, 0},  // first click: descending
      {0, false, false, "alpha beta delta gamma", 1, 0},   // then ascending
      {0, false, false, "gamma delta beta alpha", -1, 0},  // and back
      {1, false, false, "delta beta gamma alpha", 0, -1},  // another column clears the first
      {0, true, false, "gamma delta beta alpha", -1, 0},   // Shift without multiple sort: plain
      {1, true, true, "delta beta gamma alpha", -1, -1},   // Shift with it: both arrows
      {1, true, true, "alpha gamma beta delta", -1, 1},
      {0, false, true, "alpha beta delta gamma", 1, 0},  // no Shift: one column again
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("click on column ") + std::to_string(c.column) + (c.shift ? " with Shift" : ""));
    rig.list.GetHeaderCtrl().EnableMultipleSort(c.multipleSort);
    rig.Click(c.column, c.shift);
    EXPECT_EQ(rig.list.Order(), c.order);
    EXPECT_EQ(rig.list.GetSortColumn(), c.column);
    EXPECT_EQ(rig.list.GetHeaderCtrl().GetColumnState(0), c.state0);
    EXPECT_EQ(rig.list.GetHeaderCtrl().GetColumnState(1), c.state1);
  }
  // A real click on the heading takes the same road.
  CTKSortHeaderCtrl& header = rig.list.GetHeaderCtrl();
  RECT sizeHeading{};
  header.GetItemRect(1, &sizeHeading);
  const LPARAM at = MAKELPARAM((sizeHeading.left + sizeHeading.right) / 2, sizeHeading.bottom / 2);
  header.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
  header.SendMessage(WM_LBUTTONUP, 0, at);
  EXPECT_EQ(rig.list.GetSortColumn(), 1);
  EXPECT_EQ(rig.list.Order(), "delta beta gamma alpha");

  // A negative column clears every arrow.
  rig.list.GetHeaderCtrl().SetSortColumn(-1);
  EXPECT_EQ(rig.list.GetHeaderCtrl().GetColumnState(0), 0);
  EXPECT_EQ(rig.list.GetHeaderCtrl().GetColumnState(1), 0);
}

TEST(ToolkitSortList, SortedColumnCellsOnTheListBackgroundGetTheShade) {
  ListRig rig;
  rig.list.SendMessage(LVM_SETBKCOLOR, 0, RGB(200, 100, 50));
  rig.list.SendMessage(WM_SYSCOLORCHANGE);
  EXPECT_EQ(rig.list.GetSortedColumnColor(), RGB(194, 97, 48));
  rig.list.EnableMarkSortedColumn(TRUE);
  rig.list.column1Background = RGB(1, 2, 3);

  // What a sub-item's custom draw gets, sent the way the list sends it.
  auto cell = [&](int column, LRESULT* result) {
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr.hwndFrom = rig.list.m_hWnd;
    draw.nmcd.hdr.idFrom = kList;
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
    draw.nmcd.dwItemSpec = 0;
    draw.iSubItem = column;
    *result = rig.host.SendMessage(WM_NOTIFY, kList, reinterpret_cast<LPARAM>(&draw));
    return draw.clrTextBk;
  };
  LRESULT result = 0;
  struct Case {
    int sortedColumn;
    int cellColumn;
    COLORREF background;
  };
  const Case cases[] = {
      {0, 0, RGB(194, 97, 48)},  // sorted column on the list's background: shaded
      {0, 1, RGB(1, 2, 3)},      // another column keeps its colour
      {1, 1, RGB(1, 2, 3)},      // sorted, but its own colour: kept
      {1, 0, RGB(200, 100, 50)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cellColumn);
    rig.list.SortByColumn(c.sortedColumn, TRUE);
    EXPECT_EQ(cell(c.cellColumn, &result), c.background);
    EXPECT_TRUE(result & CDRF_NEWFONT);
  }
  rig.list.EnableMarkSortedColumn(FALSE);
  rig.list.SortByColumn(0, TRUE);
  EXPECT_EQ(cell(0, &result), RGB(200, 100, 50)) << "no shade unless marking is on";
}

TEST(ToolkitSortList, HeaderDrawsArrowsAndTheHotColumnThroughTheLook) {
  ListRig rig;
  ASSERT_TRUE(CTKVisualManager::SelectLookClass(RUNTIME_CLASS(ArrowLook)));
  CTKSortHeaderCtrl& header = rig.list.GetHeaderCtrl();
  rig.list.SortByColumn(1, FALSE);
  RECT size{}, name{};
  header.GetItemRect(1, &size);
  header.GetItemRect(0, &name);
  // The cursor over the name heading makes it the hot column.
  header.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(name.left + 10, name.bottom / 2));
  EXPECT_EQ(header.GetHotColumn(), 0);

  RECT client{};
  header.GetClientRect(&client);
  LookCanvas canvas(client.right, client.bottom);
  ArrowLook::items.clear();
  ArrowLook::ascendingArrows = ArrowLook::descendingArrows = 0;
  header.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc.m_hDC), PRF_CLIENT);
  // Two headings and the strip after them; the first hot, none pressed.
  ASSERT_EQ(ArrowLook::items.size(), 3u);
  EXPECT_EQ(ArrowLook::items[0], std::make_pair(FALSE, TRUE));
  EXPECT_EQ(ArrowLook::items[1], std::make_pair(FALSE, FALSE));
  EXPECT_EQ(ArrowLook::descendingArrows, 1);
  EXPECT_EQ(ArrowLook::ascendingArrows, 0);
  // The arrow is square at the right end of its heading, 5 pixels in.
  const int midY = (size.top + size.bottom) / 2;
  // (The heading's right-aligned text stops before it.)
  EXPECT_EQ(canvas.At(size.right - 7, midY), RGB(255, 0, 255));
  EXPECT_NE(canvas.At(size.left + 3, midY), RGB(255, 0, 255));
  EXPECT_NE(canvas.At(name.right - 7, midY), RGB(255, 0, 255)) << "no arrow on an unsorted column";

  // Leaving the header clears the hot column.
  header.SendMessage(WM_MOUSELEAVE);
  EXPECT_EQ(header.GetHotColumn(), -1);
  CTKVisualManager::SelectLookClass(nullptr);
}

}  // namespace
