// Colours picked the way a user picks them: from a colour bar placed in a window, from
// the popup that a toolbar's colour button drops down, and from the popup of a colour
// button in a dialog; what the cells, the marked entry and the buttons' colour strips
// show, and which command and colour arrive.
#include "support/wine/GTestWin.h"

#include "support/wine/DialogTestSupport.h"
#include "toolkit/bars/ColorPickerCtrl.h"
#include "toolkit/bars/ColorPopup.h"
#include "toolkit/bars/TKColorBar.h"
#include "toolkit/bars/TKColorMenuButton.h"
#include "toolkit/bars/TKColorPickerDialog.h"
#include "toolkit/bars/TKMenuButton.h"
#include "toolkit/bars/keyboard_input_support.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/MenuImages.h"
#include "toolkit/frames/TKColorButton.h"
#include "toolkit/frames/TKSizingControlBar.h"
#include "toolkit/frames/TKVisualManager.h"
#include "toolkit/frames/TKVisualManagerXP.h"
#include "toolkit/frames/TKWorkspace.h"

#include "platform/afx/linux_headers_begin.h"
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

using namespace toolbartest;

// Forty distinct colours, none of them grey, so no cell looks like the bar's face.
std::vector<COLORREF> FortyColours() {
  std::vector<COLORREF> colours;
  for (int i = 0; i < 40; ++i) colours.push_back(RGB(30 + (i % 8) * 28, 200 - (i / 8) * 40, (i * 53) % 256));
  return colours;
}

// The pointer put where no test's window lies, so that the next test's windows do not
// open under it.
void ParkPointer() { MoveMouseAndWait(POINT{10, 700}, false); }

// Handles messages as the program does until done() holds or the time is up.
bool WaitFor(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > ms) return false;
    PumpAsTheProgram(20);
  }
  return true;
}

void SaveScreenshot(HWND window, const char* name) {
  ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
  SavePng(CaptureWindow(window, false), std::string(TARVEL_TEST_BINARY_DIR "/screenshots/") + name);
}

// The colour shown in the middle of a bar's entry, as the screen has it.
COLORREF ShownAt(const CTKToolBar& bar, int index) {
  CRect rect;
  bar.GetItemRect(index, &rect);
  const CapturedImage image = CaptureWindow(bar.m_hWnd, true);
  if (image.Empty()) return CLR_INVALID;
  const CPoint centre = rect.CenterPoint();
  return image.At(centre.x, centre.y);
}

void ClickEntry(CTKColorBar& bar, int index) {
  CRect rect;
  bar.GetItemRect(index, &rect);
  ClickInWindow(bar.m_hWnd, rect.CenterPoint());
}

CColorButton* Entry(const CTKColorBar& bar, int index) {
  return dynamic_cast<CColorButton*>(bar.GetButton(index));
}

// The indexes of the bar's cells of each kind.
struct Entries {
  int automatic = -1, other = -1, custom = -1, label = -1;
  std::vector<int> cells, documents;
  std::vector<int> marked;
};
Entries EntriesOf(const CTKColorBar& bar) {
  Entries entries;
  for (int i = 0; i < bar.GetCount(); ++i) {
    CColorButton* entry = Entry(bar, i);
    if (!entry) continue;
    if (entry->m_bHighlight) entries.marked.push_back(i);
    if (entry->m_bIsAutomatic)
      entries.automatic = i;
    else if (entry->m_bIsOther)
      entries.other = i;
    else if (entry->m_bIsOtherColor)
      entries.custom = i;
    else if (entry->m_bIsLabel)
      entries.label = i;
    else if (entry->m_bIsDocument)
      entries.documents.push_back(i);
    else
      entries.cells.push_back(i);
  }
  return entries;
}

// A frame that hands out document colours when asked, and counts the requests.
class ColourFrame : public CommandFrame {
public:
  std::vector<COLORREF> documentColours;
  std::vector<UINT> documentRequests;

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == CTKColorMenuButton::GetDocumentColorsMessage()) {
      documentRequests.push_back(static_cast<UINT>(wParam));
      auto* list = reinterpret_cast<CList<COLORREF, COLORREF>*>(lParam);
      for (COLORREF colour : documentColours) list->AddTail(colour);
      return 0;
    }
    return CommandFrame::WindowProc(message, wParam, lParam);
  }
};

class ColourBars : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(AfxOleInit());
    ASSERT_TRUE(XDisplayInput::Get().Ready());
    frame = new ColourFrame;
    ASSERT_TRUE(frame->Create(nullptr, "Colours", WS_OVERLAPPEDWINDOW, CRect(40, 40, 560, 460)));
    frameHwnd = frame->m_hWnd;
    frame->EnableDocking(CBRS_ALIGN_ANY);
    ASSERT_TRUE(toolBar.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, kFileBarId));
    ASSERT_TRUE(toolBar.LoadToolBar(IDR_FILE_TOOLBAR));
    ASSERT_TRUE(frame->DockControlBar(&toolBar, AFX_IDW_DOCKBAR_TOP));
    frame->ShowWindow(SW_SHOWNORMAL);
    ::SetForegroundWindow(frameHwnd);
    frame->RecalcLayout();
    PumpAsTheProgram(100);
  }
  void TearDown() override {
    ParkPointer();
    if (::IsWindow(frameHwnd)) ::DestroyWindow(frameHwnd);
    CTKColorMenuButton::s_ColorsMap.RemoveAll();
    PumpAsTheProgram(50);
  }
  // A colour button for the command, appended to the toolbar.
  CTKColorMenuButton* AddColourButton(UINT command) {
    auto* button = new CTKColorMenuButton(command, "Colour");
    button->SetColors(FortyColours());
    button->EnableAutomaticButton("Automatic", RGB(0, 0, 0));
    button->EnableOtherButton("More Colors...");
    const int index = toolBar.InsertButton(button);
    EXPECT_GE(index, 0);
    toolBar.AdjustSize();
    frame->RecalcLayout();
    PumpAsTheProgram(100);
    return button;
  }
  // Clicks the button's arrow and answers the popup's colour bar.
  CTKColorBar* DropDown(CTKColorMenuButton* button) {
    CRect rect;
    toolBar.GetItemRect(toolBar.ButtonToIndex(button), &rect);
    ClickInWindow(toolBar.m_hWnd, CPoint(rect.right - 4, rect.CenterPoint().y));
    auto* popup = dynamic_cast<CColorPopup*>(button->GetPopupMenu());
    return popup && popup->m_hWnd ? popup->GetColorBar() : nullptr;
  }

  ColourFrame* frame = nullptr;
  HWND frameHwnd = nullptr;
  CTKToolBar toolBar;
};

TEST_F(ColourBars, ABarInAWindowShowsItsCellsMarksTheSelectionAndSendsTheChosenColour) {
  struct Case {
    const char* name;
    int columns;
    COLORREF selected;
    const char* automatic;
    const char* other;
    int expectColumns, expectRows;
    enum { kCell, kCustom, kAutomatic } marked;
  };
  const std::vector<COLORREF> colours = FortyColours();
  const Case cases[] = {
      {"a listed colour", 8, colours[5], "Automatic", "Other...", 8, 5, Case::kCell},
      {"an unlisted colour", 8, RGB(1, 2, 3), "Automatic", "Other...", 8, 5, Case::kCustom},
      {"automatic", 10, (COLORREF)-1, "Automatic", "Other...", 10, 4, Case::kAutomatic},
      {"no other entry", 5, colours[7], nullptr, nullptr, 5, 8, Case::kCell},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CTKColorBar bar(colours, c.selected, c.automatic, c.other, nullptr, {}, c.columns, -1, -1, RGB(0, 0, 255),
                    ID_TEST_EXPORT, nullptr);
    ASSERT_TRUE(bar.CreateControl(frame, CRect(10, 60, 330, 400), ID_TEST_EXPORT, c.columns));
    PumpAsTheProgram(100);
    int columns = 0, rows = 0;
    bar.GetGridSize(columns, rows);
    EXPECT_EQ(columns, c.expectColumns);
    EXPECT_EQ(rows, c.expectRows);
    const Entries entries = EntriesOf(bar);
    ASSERT_EQ(entries.cells.size(), colours.size());
    EXPECT_EQ(entries.other >= 0, c.other != nullptr);
    EXPECT_EQ(entries.custom >= 0, c.other != nullptr) << "the custom cell comes with the other entry";
    ASSERT_EQ(entries.marked.size(), 1u);
    switch (c.marked) {
      case Case::kCell:
        EXPECT_EQ(Entry(bar, entries.marked[0])->m_Color, c.selected);
        EXPECT_NE(entries.marked[0], entries.custom);
        break;
      case Case::kCustom:
        EXPECT_EQ(entries.marked[0], entries.custom);
        EXPECT_EQ(ShownAt(bar, entries.custom), c.selected) << "the custom cell shows the colour";
        break;
      case Case::kAutomatic:
        EXPECT_EQ(entries.marked[0], entries.automatic);
        break;
    }
    // Every cell shows its colour, in rows of the column count, left to right.
    for (size_t i = 0; i < colours.size(); ++i) EXPECT_EQ(ShownAt(bar, entries.cells[i]), colours[i]) << i;
    CRect first, next, below;
    bar.GetItemRect(entries.cells[0], &first);
    bar.GetItemRect(entries.cells[1], &next);
    bar.GetItemRect(entries.cells[c.expectColumns], &below);
    EXPECT_EQ(next.left, first.right);
    EXPECT_EQ(below.left, first.left);
    EXPECT_EQ(below.top, first.bottom);
    if (c.marked == Case::kAutomatic) SaveScreenshot(bar.m_hWnd, "colour-bar-control.png");

    // A click on a cell selects it and sends the bar's command to its owner.
    frame->commands.clear();
    ClickEntry(bar, entries.cells[12]);
    EXPECT_EQ(frame->commands, std::vector<UINT>{ID_TEST_EXPORT});
    EXPECT_EQ(bar.GetColor(), colours[12]);
    const Entries after = EntriesOf(bar);
    EXPECT_EQ(after.marked, std::vector<int>{entries.cells[12]});
    bar.DestroyWindow();
  }
}

TEST_F(ColourBars, ADockedBarLaysItsCellsInTheDockedRowsAndFollowsItsCommandsState) {
  const std::vector<COLORREF> colours = FortyColours();
  CTKColorBar bar(colours, colours[0], "Automatic", "More...", nullptr, {}, 0, 2, 3, 0, ID_TEST_EXPORT,
                  nullptr);
  ASSERT_TRUE(bar.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, kEditBarId, 0, 2, 3));
  ASSERT_TRUE(frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP));
  frame->RecalcLayout();
  PumpAsTheProgram(150);
  // Docked along the top: two rows of twenty.
  int columns = 0, rows = 0;
  bar.GetGridSize(columns, rows);
  EXPECT_EQ(columns, 20);
  EXPECT_EQ(rows, 2);
  const Entries entries = EntriesOf(bar);
  ASSERT_EQ(entries.cells.size(), 40u);
  CRect first, second, below;
  bar.GetItemRect(entries.cells[0], &first);
  bar.GetItemRect(entries.cells[1], &second);
  bar.GetItemRect(entries.cells[20], &below);
  EXPECT_EQ(second.left, first.right);
  EXPECT_EQ(CPoint(below.left, below.top), CPoint(first.left, first.bottom));
  for (int i : {0, 19, 20, 39}) EXPECT_EQ(ShownAt(bar, entries.cells[i]), colours[i]) << i;
  CRect window;
  bar.GetWindowRect(&window);
  EXPECT_GE(window.Width(), 20 * first.Width());
  SaveScreenshot(bar.m_hWnd, "colour-bar-docked.png");

  // A click chooses the colour for the command and tells the frame.
  frame->commands.clear();
  ClickEntry(bar, entries.cells[25]);
  EXPECT_EQ(frame->commands, std::vector<UINT>{ID_TEST_EXPORT});
  EXPECT_EQ(bar.GetColor(), colours[25]);
  EXPECT_EQ(CTKColorMenuButton::GetColorByCmd(ID_TEST_EXPORT), colours[25]);

  // A command nobody handles disables every entry: clicks then do nothing.
  constexpr UINT kUnhandled = 40100;
  bar.SetCommandID(kUnhandled);
  bar.OnUpdateCmdUI(frame, TRUE);
  PumpAsTheProgram(100);
  for (int i = 0; i < bar.GetCount(); ++i)
    if (!bar.GetButton(i)->IsSeparator()) {
      EXPECT_TRUE(bar.GetButton(i)->m_nStyle & TBBS_DISABLED) << i;
    }
  frame->commands.clear();
  ClickEntry(bar, entries.cells[3]);
  EXPECT_EQ(bar.GetColor(), colours[25]);
  // Handled again, the entries come back.
  bar.SetCommandID(ID_TEST_EXPORT);
  bar.OnUpdateCmdUI(frame, TRUE);
  EXPECT_FALSE(bar.GetButton(entries.cells[3])->m_nStyle & TBBS_DISABLED);
  ClickEntry(bar, entries.cells[3]);
  EXPECT_EQ(bar.GetColor(), colours[3]);
  EXPECT_EQ(frame->commands, std::vector<UINT>{ID_TEST_EXPORT});
  bar.DestroyWindow();
}

// A colour bar and a toolbar that count how often they are laid out again.
struct CountedColourBar : CTKColorBar {
  using CTKColorBar::CTKColorBar;
  int adjusted = 0;
  void AdjustSize() override {
    ++adjusted;
    CTKColorBar::AdjustSize();
  }
};
struct CountedToolBar : CTKToolBar {
  int adjusted = 0;
  void AdjustSize() override {
    ++adjusted;
    CTKToolBar::AdjustSize();
  }
};
// A sizing bar that counts its paints.
struct CountedSizingBar : CTKSizingControlBar {
  int paints = 0;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_PAINT) ++paints;
    return CTKSizingControlBar::WindowProc(message, wParam, lParam);
  }
};

TEST_F(ColourBars, ANewLookRelaysTheToolbarsButTheColourBarAndRepaintsFloatingSizingBars) {
  const std::vector<COLORREF> colours = FortyColours();
  CountedColourBar colourBar(colours, colours[0], "Automatic", "More...", nullptr, {}, 0, 2, 3, 0,
                             ID_TEST_EXPORT, nullptr);
  ASSERT_TRUE(colourBar.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, kEditBarId, 0, 2, 3));
  ASSERT_TRUE(frame->DockControlBar(&colourBar, AFX_IDW_DOCKBAR_TOP));
  CountedToolBar plain;
  ASSERT_TRUE(plain.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, kEditBarId + 1));
  ASSERT_TRUE(plain.LoadToolBar(IDR_EDIT_TOOLBAR));
  ASSERT_TRUE(frame->DockControlBar(&plain, AFX_IDW_DOCKBAR_TOP));
  CountedSizingBar floating;
  ASSERT_TRUE(floating.Create("Levels", frame, CSize(120, 90), TRUE, kEditBarId + 2,
                              WS_CHILD | WS_VISIBLE | CBRS_LEFT));
  floating.EnableDocking(CBRS_ALIGN_ANY);
  frame->FloatControlBar(&floating, CPoint(600, 200));
  frame->RecalcLayout();
  PumpAsTheProgram(150);
  colourBar.adjusted = plain.adjusted = floating.paints = 0;
  CRect before;
  colourBar.GetWindowRect(&before);

  CTKVisualManager::SelectLookClass(RUNTIME_CLASS(CTKVisualManagerXP));
  PumpAsTheProgram(150);
  EXPECT_EQ(colourBar.adjusted, 0) << "the colour bar keeps its own layout";
  EXPECT_EQ(plain.adjusted, 1);
  EXPECT_GE(floating.paints, 1) << "the floating sizing bar shows the new look";
  CRect after;
  colourBar.GetWindowRect(&after);
  EXPECT_EQ(after.Size(), before.Size());
  CTKVisualManager::SelectLookClass(RUNTIME_CLASS(CTKVisualManager));
  PumpAsTheProgram(50);
  floating.DestroyWindow();
  plain.DestroyWindow();
  colourBar.DestroyWindow();
}

TEST_F(ColourBars, DockedSideAndDocumentSwitchDecideTheGridAndWhetherDocumentColoursShow) {
  const std::vector<COLORREF> colours = FortyColours();
  const std::vector<COLORREF> documents = {RGB(250, 0, 0), RGB(0, 0, 250)};
  struct Case {
    const char* name;
    UINT dockBar;
    BOOL documentsDocked;
    int columns, rows;
  };
  const Case cases[] = {
      {"top, documents shown", AFX_IDW_DOCKBAR_TOP, TRUE, 20, 2},
      {"left, documents hidden", AFX_IDW_DOCKBAR_LEFT, FALSE, 3, 14},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CTKColorBar bar(colours, (COLORREF)-1, nullptr, nullptr, "Document", documents, 0, 2, 3, 0,
                    ID_TEST_EXPORT, nullptr);
    bar.SetShowDocumentColorsWhenDocked(c.documentsDocked);
    const DWORD side = c.dockBar == AFX_IDW_DOCKBAR_TOP ? CBRS_TOP : CBRS_LEFT;
    ASSERT_TRUE(bar.Create(frame, WS_CHILD | WS_VISIBLE | side, kEditBarId, 0, 2, 3));
    ASSERT_TRUE(frame->DockControlBar(&bar, c.dockBar));
    frame->RecalcLayout();
    PumpAsTheProgram(150);
    int columns = 0, rows = 0;
    bar.GetGridSize(columns, rows);
    EXPECT_EQ(columns, c.columns);
    EXPECT_EQ(rows, c.rows);
    const Entries entries = EntriesOf(bar);
    ASSERT_EQ(entries.documents.size(), documents.size());
    for (size_t i = 0; i < documents.size(); ++i) {
      CRect rect;
      bar.GetItemRect(entries.documents[i], &rect);
      EXPECT_EQ(!rect.IsRectEmpty(), c.documentsDocked == TRUE) << i;
      if (c.documentsDocked) {
        EXPECT_EQ(ShownAt(bar, entries.documents[i]), documents[i]);
      }
    }
    CRect last;
    bar.GetItemRect(entries.cells.back(), &last);
    CRect window;
    bar.GetClientRect(&window);
    EXPECT_LE(last.bottom, window.bottom) << "the grid fits the docked bar";
    EXPECT_LE(last.right, window.right);
    bar.DestroyWindow();
    frame->RecalcLayout();
  }
}

TEST_F(ColourBars, AStoredBarComesBackWithItsColoursEntriesAndCommand) {
  const std::vector<COLORREF> stored = {RGB(200, 2, 3), RGB(4, 200, 6), RGB(7, 8, 200)};
  CTKColorBar source(stored, (COLORREF)-1, "Auto", "Other", nullptr, {}, 2, 1, 3, RGB(9, 9, 9),
                     ID_TEST_EXPORT, nullptr);
  CMemFile file;
  {
    CArchive out(&file, CArchive::store);
    source.Serialize(out);
    out.Close();
  }
  file.Seek(0, CFile::begin);
  CTKColorBar loaded(FortyColours(), (COLORREF)-1, nullptr, nullptr, nullptr, {}, 8, -1, -1, 0, 0, nullptr);
  ASSERT_TRUE(loaded.CreateControl(frame, CRect(10, 60, 330, 400), 77, 8));
  {
    CArchive in(&file, CArchive::load);
    loaded.Serialize(in);
  }
  PumpAsTheProgram(100);
  const Entries entries = EntriesOf(loaded);
  ASSERT_EQ(entries.cells.size(), stored.size());
  EXPECT_GE(entries.automatic, 0);
  EXPECT_GE(entries.other, 0);
  EXPECT_EQ(loaded.GetCommandID(), static_cast<UINT>(ID_TEST_EXPORT));
  EXPECT_EQ(loaded.GetColumns(), 2);
  for (size_t i = 0; i < stored.size(); ++i) EXPECT_EQ(ShownAt(loaded, entries.cells[i]), stored[i]) << i;
  loaded.DestroyWindow();
}

TEST_F(ColourBars, TooltipsNameTheColourOrGiveItsHexAndDisabledEntriesHaveNone) {
  const std::vector<COLORREF> colours = {RGB(0x12, 0xAB, 0x0F), RGB(40, 160, 40), RGB(200, 100, 0)};
  CColorButton::s_colorNames[colours[1]] = "Leaf green";
  CTKColorBar bar(colours, (COLORREF)-1, "Automatic", nullptr, nullptr, {}, 3, 1, -1, 0, ID_TEST_EXPORT,
                  nullptr);
  ASSERT_TRUE(bar.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS, kEditBarId, 3, 1, -1));
  ASSERT_TRUE(frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP));
  frame->RecalcLayout();
  PumpAsTheProgram(150);
  const Entries entries = EntriesOf(bar);
  ASSERT_EQ(entries.cells.size(), 3u);
  // The tooltip over an entry, empty when none shows.
  auto tipOver = [&](int index) {
    MoveMouseAndWait(POINT{10, 700}, true);
    PumpAsTheProgram(200);
    CRect rect;
    bar.GetItemRect(index, &rect);
    const POINT centre = ScreenPointOf(bar, rect.CenterPoint());
    for (int step = 0; step < 4; ++step) {
      MoveMouse(POINT{centre.x - 3 + step, centre.y});
      PumpAsTheProgram(50);
    }
    if (!WaitFor([&] { return bar.m_hToolTip && ::IsWindowVisible(bar.m_hToolTip); }, 2500))
      return std::string();
    char text[80] = "";
    TOOLINFOA info{};
    info.cbSize = sizeof info;
    info.hwnd = bar.m_hWnd;
    info.uId = 1;
    info.lpszText = text;
    ::SendMessageA(bar.m_hToolTip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
    return std::string(text);
  };
  struct Case {
    int index;
    std::string tip;
  };
  const Case cases[] = {{entries.cells[0], "Hex={12,AB,0F}"},
                        {entries.cells[1], "Leaf green"},
                        {entries.automatic, "Automatic"}};
  for (const Case& c : cases) EXPECT_EQ(tipOver(c.index), c.tip);
  bar.SetCommandID(40100);
  bar.OnUpdateCmdUI(frame, TRUE);
  EXPECT_EQ(tipOver(entries.cells[2]), "") << "a disabled cell";
  CColorButton::s_colorNames.clear();
  bar.DestroyWindow();
}

TEST_F(ColourBars, ABarWithoutColoursTakesThemFromThePaletteOrTheTwentySystemColours) {
  HPALETTE halftone = ::CreateHalftonePalette(nullptr);
  PALETTEENTRY entries[256] = {};
  struct Case {
    const char* name;
    HPALETTE palette;
  };
  for (const Case& c : {Case{"no palette", nullptr}, Case{"halftone", halftone}}) {
    SCOPED_TRACE(c.name);
    HPALETTE source = c.palette ? c.palette : static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE));
    const UINT count = ::GetPaletteEntries(source, 0, 256, entries);
    if (!c.palette) {
      EXPECT_EQ(count, 20u);
    }
    CTKColorBar bar({}, (COLORREF)-1, nullptr, nullptr, nullptr, {}, 8, -1, -1, 0, ID_TEST_EXPORT, nullptr);
    ASSERT_TRUE(bar.CreateControl(frame, CRect(10, 60, 410, 400), ID_TEST_EXPORT, 16, c.palette));
    PumpAsTheProgram(100);
    const Entries cells = EntriesOf(bar);
    ASSERT_EQ(cells.cells.size(), count);
    for (UINT i = 0; i < count; i += 7)
      EXPECT_EQ(Entry(bar, cells.cells[i])->m_Color,
                RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue))
          << i;
    EXPECT_EQ(ShownAt(bar, cells.cells[count - 1]),
              RGB(entries[count - 1].peRed, entries[count - 1].peGreen, entries[count - 1].peBlue));
    bar.DestroyWindow();
  }
  ::DeleteObject(halftone);
}

TEST_F(ColourBars, ColourCellsDrawThroughAPaletteOnlyOnTwoHundredFiftySixColourDisplays) {
  const std::vector<COLORREF> many(130, RGB(10, 20, 30));
  CTKColorBar bar(many, (COLORREF)-1, nullptr, nullptr, nullptr, {}, 10, -1, -1, 0, ID_TEST_EXPORT, nullptr);
  ASSERT_TRUE(bar.CreateControl(frame, CRect(10, 60, 330, 400), ID_TEST_EXPORT, 10));
  GlobalData& gd = GlobalData::Get();
  const int depth = gd.bitsPerPixel;
  struct Case {
    int bits;
    int entries;  // 0: no palette
  };
  for (const Case& c : {Case{8, 100}, Case{16, 0}, Case{32, 0}, Case{8, 100}}) {
    gd.bitsPerPixel = c.bits;
    HPALETTE palette = bar.GetDrawPalette();
    if (c.entries == 0) {
      EXPECT_EQ(palette, nullptr) << c.bits;
      continue;
    }
    ASSERT_NE(palette, nullptr) << c.bits;
    PALETTEENTRY entries[256] = {};
    EXPECT_EQ(::GetPaletteEntries(palette, 0, 256, entries), static_cast<UINT>(c.entries));
    EXPECT_EQ(RGB(entries[99].peRed, entries[99].peGreen, entries[99].peBlue), RGB(10, 20, 30));
    // The bar still paints (through the palette) what a user sees.
    bar.Invalidate();
    PumpAsTheProgram(50);
    EXPECT_EQ(ShownAt(bar, 0), RGB(10, 20, 30));
  }
  // A colour button's own palette is the one a popup of that button draws with.
  CTKColorButton owner;
  HPALETTE own = ::CreateHalftonePalette(nullptr);
  owner.RebuildPalette(own);
  CTKColorBar popupBar(many, (COLORREF)-1, nullptr, nullptr, nullptr, {}, 10, -1, -1, 0, 0, &owner);
  gd.bitsPerPixel = 8;
  EXPECT_EQ(popupBar.GetDrawPalette(), owner.m_Palette);
  gd.bitsPerPixel = depth;
  ::DeleteObject(own);
  bar.DestroyWindow();
}

TEST_F(ColourBars, KeysMoveThroughTheGridAndEnterChoosesTheHighlightedCell) {
  const std::vector<COLORREF> colours = FortyColours();
  CTKColorBar bar(colours, colours[9], nullptr, nullptr, nullptr, {}, 8, -1, -1, 0, ID_TEST_EXPORT, nullptr);
  ASSERT_TRUE(bar.CreateControl(frame, CRect(10, 60, 330, 400), ID_TEST_EXPORT, 8));
  PumpAsTheProgram(100);
  bar.SetFocus();
  PumpAsTheProgram(50);
  struct Step {
    unsigned long key;
    COLORREF chosen;  // after Enter
  };
  // From the marked 9: right to 10, down a row to 18, up again to 10, left to 9.
  const Step steps[] = {
      {0xFF53, colours[10]}, {kKeyDown, colours[18]}, {kKeyUp, colours[10]}, {0xFF51, colours[9]}};
  for (const Step& step : steps) {
    frame->commands.clear();
    PressKey(step.key);
    PressKey(kKeyReturn);
    PumpAsTheProgram(150);
    EXPECT_EQ(bar.GetColor(), step.chosen);
    EXPECT_EQ(frame->commands, std::vector<UINT>{ID_TEST_EXPORT});
    bar.SetFocus();
  }
  bar.DestroyWindow();
}

TEST_F(ColourBars, AToolbarColourButtonDropsDownItsColoursAndAChoiceColoursEveryButtonOfTheCommand) {
  CTKColorMenuButton* first = AddColourButton(ID_TEST_EXPORT);
  CTKColorMenuButton* second = AddColourButton(ID_TEST_EXPORT);
  const std::vector<COLORREF> colours = FortyColours();

  CTKColorBar* bar = DropDown(first);
  ASSERT_TRUE(bar);
  PumpAsTheProgram(100);
  // 40 colours, no column count: 7 columns (square root 6.3, plus 1) in 6 rows.
  int columns = 0, rows = 0;
  bar->GetGridSize(columns, rows);
  EXPECT_EQ(columns, 7);
  EXPECT_EQ(rows, 6);
  Entries entries = EntriesOf(*bar);
  ASSERT_EQ(entries.cells.size(), 40u);
  EXPECT_EQ(entries.marked, std::vector<int>{entries.automatic}) << "no colour yet: automatic";
  EXPECT_EQ(ShownAt(*bar, entries.cells[0]), colours[0]);
  EXPECT_EQ(ShownAt(*bar, entries.cells[39]), colours[39]);
  // The popup lies under the button.
  CRect buttonRect, popupRect;
  toolBar.GetItemRect(toolBar.ButtonToIndex(first), &buttonRect);
  ::MapWindowPoints(toolBar.m_hWnd, nullptr, reinterpret_cast<POINT*>(&buttonRect), 2);
  first->GetPopupMenu()->GetWindowRect(&popupRect);
  EXPECT_NEAR(popupRect.top, buttonRect.bottom, 2);
  SaveScreenshot(first->GetPopupMenu()->m_hWnd, "colour-popup.png");

  frame->commands.clear();
  ClickEntry(*bar, entries.cells[10]);
  EXPECT_TRUE(WaitFor([&] { return !frame->commands.empty(); }, 2000));
  EXPECT_EQ(frame->commands, std::vector<UINT>{ID_TEST_EXPORT});
  EXPECT_EQ(first->GetPopupMenu(), nullptr) << "the choice closes the popup";
  EXPECT_EQ(first->GetColor(), colours[10]);
  EXPECT_EQ(second->GetColor(), colours[10]) << "buttons of one command share the colour";
  EXPECT_EQ(CTKColorMenuButton::GetColorByCmd(ID_TEST_EXPORT), colours[10]);
  // Both buttons show it in their strip under the image.
  PumpAsTheProgram(100);
  const CapturedImage image = CaptureWindow(toolBar.m_hWnd, true);
  for (CTKColorMenuButton* button : {first, second}) {
    CRect rect;
    toolBar.GetItemRect(toolBar.ButtonToIndex(button), &rect);
    EXPECT_EQ(image.At(rect.left + 6, rect.bottom - 5), colours[10]);
  }
  SaveScreenshot(toolBar.m_hWnd, "colour-buttons.png");

  // Opened from the other button: the chosen colour is marked; Escape chooses nothing.
  bar = DropDown(second);
  ASSERT_TRUE(bar);
  entries = EntriesOf(*bar);
  EXPECT_EQ(entries.marked, std::vector<int>{entries.cells[10]});
  frame->commands.clear();
  PressKey(kKeyEscape);
  PumpAsTheProgram(200);
  EXPECT_EQ(second->GetPopupMenu(), nullptr);
  EXPECT_TRUE(frame->commands.empty());
  EXPECT_EQ(first->GetColor(), colours[10]);

  // The keys choose too: right from the marked cell, then Enter.
  bar = DropDown(first);
  ASSERT_TRUE(bar);
  PressKey(0xFF53);
  PressKey(kKeyReturn);
  EXPECT_TRUE(WaitFor([&] { return !frame->commands.empty(); }, 2000));
  EXPECT_EQ(frame->commands, std::vector<UINT>{ID_TEST_EXPORT});
  EXPECT_EQ(second->GetColor(), colours[11]);
  // The automatic entry takes the colour back to automatic (-1).
  bar = DropDown(first);
  ASSERT_TRUE(bar);
  ClickEntry(*bar, EntriesOf(*bar).automatic);
  PumpAsTheProgram(100);
  EXPECT_EQ(first->GetColor(), (COLORREF)-1);
  EXPECT_EQ(second->GetColor(), (COLORREF)-1);
}

TEST_F(ColourBars, InAMenuTheColourEntryOpensItsColoursBesideItAndShowsTheChoiceInItsImageColumn) {
  const std::vector<COLORREF> colours = FortyColours();
  CTKColorMenuButton entry(ID_TEST_EXPORT, "Line colour");
  entry.SetColors(colours);
  entry.EnableAutomaticButton("Automatic", RGB(0, 0, 0));
  CRect barWindow;
  toolBar.GetWindowRect(&barWindow);
  // A menu holding the entry, opened under the toolbar.
  auto openMenu = [&]() -> CTKPopupMenu* {
    auto* menu = new CTKPopupMenu;
    if (!menu->Create(frame, barWindow.left + 20, barWindow.bottom + 30, nullptr)) return nullptr;
    menu->InsertItem(entry);
    menu->RecalcLayout();
    PumpAsTheProgram(100);
    return menu;
  };
  CTKPopupMenu* menu = openMenu();
  ASSERT_TRUE(menu);
  const HWND menuWindow = menu->m_hWnd;
  CTKPopupMenuBar* items = menu->GetMenuBar();
  auto* item = dynamic_cast<CTKColorMenuButton*>(items->GetButton(0));
  ASSERT_TRUE(item);
  CRect itemRect;
  items->GetItemRect(0, &itemRect);
  ClickInWindow(items->m_hWnd, itemRect.CenterPoint());
  ASSERT_TRUE(WaitFor([&] { return item->GetPopupMenu() != nullptr; }, 2000));
  auto* colourPopup = dynamic_cast<CColorPopup*>(item->GetPopupMenu());
  ASSERT_TRUE(colourPopup);
  PumpAsTheProgram(100);
  CRect menuRect, colourRect;
  ::GetWindowRect(menuWindow, &menuRect);
  colourPopup->GetWindowRect(&colourRect);
  EXPECT_GE(colourRect.left, menuRect.right - 8) << "the colours open beside the entry";
  SaveScreenshot(colourPopup->m_hWnd, "colour-popup-from-menu.png");

  frame->commands.clear();
  ClickEntry(*colourPopup->GetColorBar(), EntriesOf(*colourPopup->GetColorBar()).cells[5]);
  EXPECT_TRUE(WaitFor([&] { return !frame->commands.empty(); }, 2000));
  EXPECT_EQ(frame->commands, std::vector<UINT>{ID_TEST_EXPORT});
  EXPECT_EQ(CTKColorMenuButton::GetColorByCmd(ID_TEST_EXPORT), colours[5]);
  EXPECT_TRUE(WaitFor([&] { return !::IsWindow(menuWindow); }, 2000)) << "the whole menu closes";

  // Opened again, the entry shows the colour in its image column.
  entry.SetColor(CTKColorMenuButton::GetColorByCmd(ID_TEST_EXPORT), FALSE);
  menu = openMenu();
  ASSERT_TRUE(menu);
  items = menu->GetMenuBar();
  items->GetItemRect(0, &itemRect);
  const CapturedImage image = CaptureWindow(items->m_hWnd, true);
  EXPECT_EQ(image.At(itemRect.left + 10, itemRect.bottom - 5), colours[5]);
  SaveScreenshot(menu->m_hWnd, "colour-menu-entry.png");
  menu->DestroyWindow();
}

TEST_F(ColourBars, ATornOffPopupBecomesABarWhoseChoiceColoursTheButtonsOfItsCommand) {
  CTKColorMenuButton* button = AddColourButton(ID_TEST_EXPORT);
  const std::vector<COLORREF> colours = FortyColours();
  CTKColorBar* bar = DropDown(button);
  ASSERT_TRUE(bar);
  auto* popup = dynamic_cast<CColorPopup*>(button->GetPopupMenu());
  ASSERT_TRUE(popup);
  CTKColorBar* torn = popup->TearOff(frame, kEditBarId, "Line colours");
  ASSERT_TRUE(torn);
  PressKey(kKeyEscape);
  PumpAsTheProgram(100);
  ASSERT_TRUE(frame->DockControlBar(torn, AFX_IDW_DOCKBAR_BOTTOM));
  frame->RecalcLayout();
  PumpAsTheProgram(150);
  EXPECT_EQ(torn->GetCommandID(), static_cast<UINT>(ID_TEST_EXPORT));
  char title[32] = "";
  ::GetWindowTextA(torn->m_hWnd, title, sizeof title);
  EXPECT_EQ(std::string(title), "Line colours");
  const Entries entries = EntriesOf(*torn);
  ASSERT_EQ(entries.cells.size(), colours.size());
  EXPECT_GE(entries.automatic, 0);
  EXPECT_EQ(ShownAt(*torn, entries.cells[8]), colours[8]);
  SaveScreenshot(torn->m_hWnd, "colour-bar-torn-off.png");

  frame->commands.clear();
  ClickEntry(*torn, entries.cells[8]);
  EXPECT_EQ(frame->commands, std::vector<UINT>{ID_TEST_EXPORT});
  EXPECT_EQ(button->GetColor(), colours[8]) << "the toolbar's colour button follows";
  EXPECT_EQ(torn->GetColor(), colours[8]);
  // Chosen on the button's popup, the colour shows as the torn-off bar's selection.
  bar = DropDown(button);
  ASSERT_TRUE(bar);
  ClickEntry(*bar, EntriesOf(*bar).cells[30]);
  PumpAsTheProgram(100);
  EXPECT_EQ(torn->GetColor(), colours[30]);
  EXPECT_EQ(EntriesOf(*torn).marked, std::vector<int>{entries.cells[30]});
  torn->DestroyWindow();  // and it goes with its window
  frame->RecalcLayout();
}

TEST_F(ColourBars, DocumentColoursComeFromTheFrameOnlyWhenTheButtonAsksForThem) {
  frame->documentColours = {RGB(250, 10, 10), RGB(10, 250, 10), RGB(10, 10, 250)};
  CTKColorMenuButton* button = AddColourButton(ID_TEST_EXPORT);
  struct Case {
    BOOL asks;
    size_t requests, documents;
  };
  for (const Case& c : {Case{FALSE, 0, 0}, Case{TRUE, 1, 3}}) {
    frame->documentRequests.clear();
    button->EnableDocumentColors("Document's colours", c.asks);
    CTKColorBar* bar = DropDown(button);
    ASSERT_TRUE(bar);
    EXPECT_EQ(frame->documentRequests.size(), c.requests);
    if (c.requests) {
      EXPECT_EQ(frame->documentRequests[0], static_cast<UINT>(ID_TEST_EXPORT));
    }
    const Entries entries = EntriesOf(*bar);
    ASSERT_EQ(entries.documents.size(), c.documents);
    EXPECT_EQ(entries.label >= 0, c.documents > 0);
    for (size_t i = 0; i < entries.documents.size(); ++i)
      EXPECT_EQ(ShownAt(*bar, entries.documents[i]), frame->documentColours[i]);
    if (c.asks) {
      SaveScreenshot(button->GetPopupMenu()->m_hWnd, "colour-popup-document.png");
      // A document colour is chosen like any other.
      frame->commands.clear();
      ClickEntry(*bar, entries.documents[1]);
      EXPECT_TRUE(WaitFor([&] { return !frame->commands.empty(); }, 2000));
      EXPECT_EQ(button->GetColor(), RGB(10, 250, 10));
    } else {
      PressKey(kKeyEscape);
      PumpAsTheProgram(150);
    }
  }
}

TEST(ColourMenuButton, RecordsCarryTheDockedCountsFromStoredStateFourSeventyOne) {
  CTKColorMenuButton button(ID_TEST_EXPORT, "Colour");
  button.SetColors({RGB(1, 2, 3), RGB(4, 5, 6)});
  button.SetColumnsNumber(3);
  button.SetDockedLayout(2, 4);
  button.EnableAutomaticButton("Automatic", RGB(7, 8, 9));
  button.EnableOtherButton("More", TRUE);
  button.EnableDocumentColors("Mine");
  struct Case {
    int major, minor;
    bool dockedCounts;
  };
  const Case cases[] = {{4, 70, false}, {4, 71, true}, {5, 0, true}, {-1, -1, true}};
  CTKWorkspace workspace;
  // What the colour record adds to a plain menu button's record of the same version.
  CTKToolbarMenuButton plain(ID_TEST_EXPORT, nullptr, -1, "Colour");
  auto recordSize = [](CTKToolbarButton& button, CMemFile& file) {
    CArchive out(&file, CArchive::store);
    out.WriteObject(&button);
    out.Close();
    return static_cast<size_t>(file.GetLength());
  };
  int withoutCounts = -1;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.major << "." << c.minor);
    workspace.m_savedMajor = c.major;
    workspace.m_savedMinor = c.minor;
    CMemFile plainFile, file;
    const int added =
        static_cast<int>(recordSize(button, file)) - static_cast<int>(recordSize(plain, plainFile));
    if (!c.dockedCounts) withoutCounts = added;
    ASSERT_GE(withoutCounts, 0);
    EXPECT_EQ(added, withoutCounts + (c.dockedCounts ? 8 : 0));
    file.Seek(0, CFile::begin);
    CTKColorMenuButton::s_ColorsMap.SetAt(ID_TEST_EXPORT, RGB(99, 98, 97));
    CArchive in(&file, CArchive::load);
    std::unique_ptr<CObject> back(in.ReadObject(RUNTIME_CLASS(CTKToolbarButton)));
    auto* loaded = dynamic_cast<CTKColorMenuButton*>(back.get());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->GetColors(), button.GetColors());
    EXPECT_EQ(loaded->m_nColumns, 3);
    EXPECT_EQ(loaded->m_nHorzDockRows, c.dockedCounts ? 2 : -1);
    EXPECT_EQ(loaded->m_nVertDockColumns, c.dockedCounts ? 4 : -1);
    EXPECT_TRUE(loaded->m_bIsAutomaticButton && loaded->m_bIsOtherButton && loaded->m_bIsDocumentColors);
    EXPECT_EQ(loaded->m_strAutomaticButtonLabel, "Automatic");
    EXPECT_EQ(loaded->m_strOtherButtonLabel, "More");
    EXPECT_EQ(loaded->m_strDocumentColorsLabel, "Mine");
    EXPECT_TRUE(loaded->m_bStdColorDlg);
    EXPECT_EQ(loaded->GetColor(), RGB(99, 98, 97)) << "the command's shared colour wins";
  }
  CTKColorMenuButton::s_ColorsMap.RemoveAll();
}

// A dialog that counts the commands of its controls.
struct ColourHost : CDialog {
  std::vector<int> commands;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (HIWORD(wParam) == BN_CLICKED && lParam) commands.push_back(LOWORD(wParam));
    return CDialog::OnCommand(wParam, lParam);
  }
};

TEST(ToolkitColourButton, ItsPopupIsAColourBarWhosePickReachesTheButtonAndItsDialog) {
  ASSERT_TRUE(XDisplayInput::Get().Ready());
  constexpr int kColour = 305;
  dialogtest::DialogTemplate tpl("Colours", 200, 120);
  tpl.Control(0x80, kColour, "", BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 90, 16);
  ColourHost host;
  ASSERT_TRUE(host.CreateIndirect(tpl.Get()));
  ::SetWindowPos(host.m_hWnd, HWND_TOP, 60, 60, 0, 0, SWP_NOSIZE);
  CTKColorButton button;
  ASSERT_TRUE(button.SubclassDlgItem(kColour, &host));
  button.SetAutomaticEntry("Automatic", RGB(0, 0, 255));
  button.SetOtherEntry("Other", TRUE);
  button.SetColumnsNumber(8);
  ::SetForegroundWindow(host.m_hWnd);
  PumpAsTheProgram(150);

  auto open = [&]() -> CTKColorBar* {
    ClickInWindow(button.m_hWnd, POINT{10, 8});
    auto* popup = dynamic_cast<CColorPopup*>(button.GetPopup());
    return popup && popup->m_hWnd ? popup->GetColorBar() : nullptr;
  };
  CTKColorBar* bar = open();
  ASSERT_TRUE(bar);
  PumpAsTheProgram(100);
  std::vector<COLORREF> table;
  CTKColorButton::FillDefaultColorTable(table);
  Entries entries = EntriesOf(*bar);
  ASSERT_EQ(entries.cells.size(), table.size()) << "the default table of 40";
  EXPECT_GE(entries.automatic, 0);
  EXPECT_GE(entries.other, 0);
  EXPECT_EQ(ShownAt(*bar, entries.cells[16]), table[16]);
  CRect popupRect, buttonRect;
  button.GetWindowRect(&buttonRect);
  ::GetWindowRect(::GetParent(bar->m_hWnd), &popupRect);
  EXPECT_EQ(CPoint(popupRect.left, popupRect.top), CPoint(buttonRect.left, buttonRect.bottom));
  SaveScreenshot(::GetParent(bar->m_hWnd), "colour-button-popup.png");

  ClickEntry(*bar, entries.cells[16]);
  EXPECT_EQ(button.GetPopup(), nullptr) << "the pick closes the popup";
  EXPECT_EQ(button.GetColor(), table[16]);
  EXPECT_EQ(host.commands, std::vector<int>{kColour});
  // The button shows the colour it got.
  PumpAsTheProgram(100);
  const CapturedImage shown = CaptureWindow(button.m_hWnd, true);
  EXPECT_EQ(shown.At(shown.width / 4, shown.height / 2), table[16]);

  // Closing without a pick: Escape, a click outside the popup, a click on the button
  // again (which opens no new popup).
  const char* const ways[] = {"escape", "click outside", "button again"};
  for (int way = 0; way < 3; ++way) {
    SCOPED_TRACE(ways[way]);
    host.commands.clear();
    bar = open();
    ASSERT_TRUE(bar);
    if (way == 0) {
      PressKey(kKeyEscape);
      PumpAsTheProgram(150);
    } else if (way == 1) {
      ClickInWindow(host.m_hWnd, POINT{250, 12});
    } else {
      ClickInWindow(button.m_hWnd, POINT{10, 8});
    }
    EXPECT_EQ(button.GetPopup(), nullptr);
    EXPECT_TRUE(host.commands.empty());
    EXPECT_EQ(button.GetColor(), table[16]);
  }
  host.DestroyWindow();
  ParkPointer();
}

}  // namespace

namespace {

// A script run from inside a modal loop once its window (found by title) is up.
std::function<void(HWND)> g_modalScript;
const char* g_modalTitle = nullptr;

void CALLBACK RunModalScript(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND window = ::FindWindowA(nullptr, g_modalTitle);
  if (!window || !::IsWindowVisible(window) || !g_modalScript) return;
  ::KillTimer(nullptr, timer);
  auto script = std::move(g_modalScript);
  g_modalScript = nullptr;
  script(window);
}

struct ChildSearch {
  int id;
  HWND found;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<ChildSearch*>(param);
  if (::GetDlgCtrlID(child) != search->id || !::IsWindowVisible(child)) return TRUE;
  search->found = child;
  return FALSE;
}

HWND FindChildById(HWND parent, int id) {
  ChildSearch search{id, nullptr};
  ::EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Holds the left button down while Down, Down and Enter are pressed, then lets go.
DWORD WINAPI ChooseSecondItemWhileHeld(void*) {
  MouseButton(true);
  ::Sleep(500);
  for (unsigned long key : {kKeyDown, kKeyDown, kKeyReturn}) {
    XDisplayInput::Get().Key(key, true);
    XDisplayInput::Get().Key(key, false);
    ::Sleep(150);
  }
  ::Sleep(200);
  MouseButton(false);
  return 0;
}

}  // namespace

TEST_F(ColourBars, TheOtherEntryOpensTheColourDialogAndItsColourBecomesTheButtonsColour) {
  CTKColorMenuButton* button = AddColourButton(ID_TEST_EXPORT);
  button->SetColor(RGB(10, 20, 30), FALSE);
  struct Case {
    const char* name;
    bool ok;
  };
  for (const Case& c : {Case{"cancelled", false}, Case{"picked", true}}) {
    SCOPED_TRACE(c.name);
    CTKColorBar* bar = DropDown(button);
    ASSERT_TRUE(bar);
    const Entries entries = EntriesOf(*bar);
    ASSERT_GE(entries.other, 0);
    EXPECT_EQ(ShownAt(*bar, entries.custom), RGB(10, 20, 30))
        << "an unlisted colour shows in the custom cell";
    COLORREF picked = CLR_INVALID;
    bool dialogSeen = false;
    g_modalTitle = "Colors";
    g_modalScript = [&](HWND dialog) {
      dialogSeen = true;
      PumpAsTheProgram(150);
      if (c.ok) {
        HWND honeycomb = FindChildById(dialog, IDC_TKCOLOR_HEXAGONS);
        auto* picker = dynamic_cast<CColorPickerCtrl*>(CWnd::FromHandlePermanent(honeycomb));
        ASSERT_TRUE(picker);
        const auto& cell = picker->GetCells()[40];
        picked = cell.colour;
        ClickInWindow(honeycomb, cell.centre);
        ClickInWindow(::GetDlgItem(dialog, IDOK), POINT{10, 6});
      } else {
        ClickInWindow(::GetDlgItem(dialog, IDCANCEL), POINT{10, 6});
      }
      // Whatever happened, the dialog ends.
      if (::IsWindow(dialog)) ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    };
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, RunModalScript);
    frame->commands.clear();
    ClickEntry(*bar, entries.other);
    EXPECT_TRUE(WaitFor([&] { return dialogSeen && !::FindWindowA(nullptr, "Colors"); }, 10000));
    // A dialog that opens only now (its click came late) is closed rather than left
    // waiting for a user.
    if (!dialogSeen) g_modalScript = [](HWND dialog) { ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); };
    PumpAsTheProgram(200);
    ::KillTimer(nullptr, timer);
    g_modalScript = nullptr;
    EXPECT_EQ(button->GetPopupMenu(), nullptr) << "the popup is gone either way";
    if (c.ok) {
      EXPECT_EQ(frame->commands, std::vector<UINT>{ID_TEST_EXPORT});
      EXPECT_EQ(button->GetColor(), picked);
    } else {
      EXPECT_TRUE(frame->commands.empty());
      EXPECT_EQ(button->GetColor(), RGB(10, 20, 30));
    }
  }
}

// The menu push button's menu, chosen from with the keys while the button is held.
TEST(MenuPushButton, TheChosenCommandIsKeptAndTheParentToldWithTheButtonsId) {
  ASSERT_TRUE(XDisplayInput::Get().Ready());
  constexpr int kMenuButton = 306;
  struct Case {
    const char* name;
    BOOL toolkitMenu;
  };
  for (const Case& c : {Case{"system menu", FALSE}, Case{"toolkit menu", TRUE}}) {
    SCOPED_TRACE(c.name);
    dialogtest::DialogTemplate tpl("Menus", 200, 120);
    tpl.Control(0x80, kMenuButton, "Actions", BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 80, 16);
    ColourHost host;
    ASSERT_TRUE(host.CreateIndirect(tpl.Get()));
    ::SetWindowPos(host.m_hWnd, HWND_TOP, 60, 60, 0, 0, SWP_NOSIZE);
    CTKMenuButton button;
    ASSERT_TRUE(button.SubclassDlgItem(kMenuButton, &host));
    button.m_bDontUseWinXPTheme = TRUE;
    button.m_hMenu = ::CreatePopupMenu();
    ::AppendMenuA(button.m_hMenu, MF_STRING, 5001, "Alpha");
    ::AppendMenuA(button.m_hMenu, MF_STRING, 5002, "Beta");
    button.m_bToolkitMenu = c.toolkitMenu;
    ::SetForegroundWindow(host.m_hWnd);
    PumpAsTheProgram(150);

    // The arrow sits right of the caption.
    SIZE fitted{0, 0};
    button.FitToContent(fitted, TRUE);
    EXPECT_GT(fitted.cx, MenuImages::Size().cx);
    const CapturedImage face = CaptureWindow(button.m_hWnd, true);
    const COLORREF faceColour = face.At(face.width - 5, 4);
    int drawn = 0;
    for (int y = 4; y < face.height - 4; ++y)
      for (int x = face.width - MenuImages::Size().cx - 6; x < face.width - 4; ++x)
        drawn += face.At(x, y) != faceColour;
    EXPECT_GT(drawn, 3) << "the arrow glyph";
    if (c.toolkitMenu) SaveScreenshot(button.m_hWnd, "menu-push-button.png");

    RECT rect{};
    button.GetWindowRect(&rect);
    const POINT at{rect.left + 12, (rect.top + rect.bottom) / 2};
    ASSERT_TRUE(MoveMouseAndWait(at, true));
    HANDLE thread = ::CreateThread(nullptr, 0, ChooseSecondItemWhileHeld, nullptr, 0, nullptr);
    ASSERT_TRUE(thread);
    EXPECT_TRUE(WaitFor([&] { return ::WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 10000));
    ::CloseHandle(thread);
    PumpAsTheProgram(200);
    EXPECT_EQ(button.GetMenuResult(), 5002u);
    EXPECT_EQ(host.commands, std::vector<int>{kMenuButton}) << "one command, and no click of its own";
    EXPECT_FALSE(button.m_bMenuIsActive);
    ::DestroyMenu(button.m_hMenu);
    host.DestroyWindow();
  }
  ParkPointer();
}

namespace {

// The visible dialog of this thread other than the given window, if any.
struct DialogSearch {
  HWND except;
  HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<DialogSearch*>(param);
  char name[16] = "";
  ::GetClassNameA(window, name, sizeof name);
  if (window == search->except || !::IsWindowVisible(window) || std::string(name) != "#32770") return TRUE;
  search->found = window;
  return FALSE;
}

HWND OtherDialog(HWND except) {
  DialogSearch search{except, nullptr};
  ::EnumThreadWindows(::GetCurrentThreadId(), MatchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::function<void(HWND)> g_dialogScript;
HWND g_dialogHost = nullptr;

void CALLBACK RunDialogScript(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = OtherDialog(g_dialogHost);
  if (!dialog || !g_dialogScript) return;
  ::KillTimer(nullptr, timer);
  auto script = std::move(g_dialogScript);
  g_dialogScript = nullptr;
  script(dialog);
}

}  // namespace

TEST(ToolkitColourButton, ItsOtherEntryOpensThePlatformsOrTheToolkitsColourDialog) {
  ASSERT_TRUE(XDisplayInput::Get().Ready());
  constexpr int kColour = 307;
  struct Case {
    const char* name;
    BOOL toolkitDialog;
  };
  for (const Case& c : {Case{"platform dialog", FALSE}, Case{"toolkit dialog", TRUE}}) {
    SCOPED_TRACE(c.name);
    dialogtest::DialogTemplate tpl("Colours", 200, 120);
    tpl.Control(0x80, kColour, "", BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 90, 16);
    ColourHost host;
    ASSERT_TRUE(host.CreateIndirect(tpl.Get()));
    ::SetWindowPos(host.m_hWnd, HWND_TOP, 60, 60, 0, 0, SWP_NOSIZE);
    CTKColorButton button;
    ASSERT_TRUE(button.SubclassDlgItem(kColour, &host));
    button.SetOtherEntry("Other", TRUE);
    button.SetColor(RGB(12, 34, 56));
    button.m_bAltColorDlg = c.toolkitDialog;
    ::SetForegroundWindow(host.m_hWnd);
    PumpAsTheProgram(150);
    ClickInWindow(button.m_hWnd, POINT{10, 8});
    auto* popup = dynamic_cast<CColorPopup*>(button.GetPopup());
    ASSERT_TRUE(popup && popup->m_hWnd);
    CTKColorBar* bar = popup->GetColorBar();
    const Entries entries = EntriesOf(*bar);
    ASSERT_GE(entries.other, 0);
    EXPECT_EQ(entries.marked, std::vector<int>{entries.custom}) << "a colour of no list";

    std::string title;
    COLORREF picked = RGB(12, 34, 56);
    g_dialogHost = host.m_hWnd;
    g_dialogScript = [&](HWND dialog) {
      char text[64] = "";
      ::GetWindowTextA(dialog, text, sizeof text);
      title = text;
      PumpAsTheProgram(150);
      if (c.toolkitDialog) {
        HWND honeycomb = FindChildById(dialog, IDC_TKCOLOR_HEXAGONS);
        if (auto* picker = dynamic_cast<CColorPickerCtrl*>(CWnd::FromHandlePermanent(honeycomb))) {
          const auto& cell = picker->GetCells()[20];
          picked = cell.colour;
          ClickInWindow(honeycomb, cell.centre);
        }
      }
      RECT ok{};
      ::GetClientRect(::GetDlgItem(dialog, IDOK), &ok);
      ClickInWindow(::GetDlgItem(dialog, IDOK), POINT{ok.right / 2, ok.bottom / 2});
      if (::IsWindow(dialog) && ::IsWindowVisible(dialog)) ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    };
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, RunDialogScript);
    ClickEntry(*bar, entries.other);
    EXPECT_TRUE(WaitFor([&] { return !title.empty() && !OtherDialog(host.m_hWnd); }, 10000));
    ::KillTimer(nullptr, timer);
    PumpAsTheProgram(150);
    EXPECT_EQ(title == "Colors", c.toolkitDialog == TRUE) << title;
    EXPECT_EQ(button.GetPopup(), nullptr);
    EXPECT_EQ(button.GetColor(), picked);
    EXPECT_EQ(host.commands, std::vector<int>{kColour});
    host.DestroyWindow();
  }
  ParkPointer();
}
