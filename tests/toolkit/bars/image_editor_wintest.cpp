// The button image editor: figures drawn with its tools land in the caller's bitmap
// cell by cell when the user confirms, and not at all when the user cancels; the tools
// are picked on its toolbar, which shows the current one pressed.
#include "support/wine/DialogTestSupport.h"

#include "support/wine/WindowCapture.h"
#include "toolkit/bars/ColorButton.h"
#include "toolkit/bars/TKImageEditDialog.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <utility>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

constexpr int kWidth = 16;
constexpr int kHeight = 15;
using Cells = std::vector<std::pair<int, int>>;

struct Stroke {
  UINT tool;   // 0: the current one
  Cells path;  // pressed at the first cell, moved through the others, released at the last
};

// A press, moves and a release inside the drawing area, at the cells' centres.
void Draw(HWND dialog, const Stroke& stroke) {
  if (stroke.tool) dialogtest::Press(dialog, static_cast<int>(stroke.tool));
  HWND area = ::GetDlgItem(dialog, IDC_TKIMAGE_DRAW);
  RECT client;
  ::GetClientRect(area, &client);
  const int cx = client.right / kWidth, cy = client.bottom / kHeight;
  auto at = [&](const std::pair<int, int>& cell) {
    return MAKELPARAM(cell.first * cx + cx / 2, cell.second * cy + cy / 2);
  };
  ::SendMessageA(area, WM_LBUTTONDOWN, MK_LBUTTON, at(stroke.path.front()));
  for (const auto& cell : stroke.path) ::SendMessageA(area, WM_MOUSEMOVE, MK_LBUTTON, at(cell));
  ::SendMessageA(area, WM_LBUTTONUP, 0, at(stroke.path.back()));
}

CTKToolBar* Tools(HWND dialog) {
  return dynamic_cast<CTKToolBar*>(CWnd::FromHandlePermanent(::GetDlgItem(dialog, IDC_TKIMAGE_TOOLS)));
}

// How a tool's button shows: pressed (checked) or greyed (disabled).
bool ToolShows(HWND dialog, UINT tool, UINT state) {
  CTKToolBar* tools = Tools(dialog);
  const int index = tools ? tools->CommandToIndex(tool) : -1;
  return index >= 0 && (tools->GetButtonStyle(index) & state) != 0;
}

// A click on a tool's button in the toolbar.
void ClickTool(HWND dialog, UINT tool) {
  CTKToolBar* tools = Tools(dialog);
  ASSERT_NE(tools, nullptr);
  CRect rect;
  tools->GetItemRect(tools->CommandToIndex(tool), &rect);
  const LPARAM at = MAKELPARAM(rect.CenterPoint().x, rect.CenterPoint().y);
  ::SendMessageA(tools->m_hWnd, WM_MOUSEMOVE, 0, at);
  ::SendMessageA(tools->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageA(tools->m_hWnd, WM_LBUTTONUP, 0, at);
  PumpPendingMessages(100);
}

// A click on the palette's cell of a colour.
void ClickColour(HWND dialog, COLORREF colour) {
  auto* palette =
      dynamic_cast<CTKColorBar*>(CWnd::FromHandlePermanent(::GetDlgItem(dialog, IDC_TKIMAGE_PALETTE)));
  ASSERT_NE(palette, nullptr);
  for (int i = 0; i < palette->GetCount(); ++i) {
    auto* cell = dynamic_cast<CColorButton*>(palette->GetButton(i));
    if (!cell || cell->m_Color != colour) continue;
    const LPARAM at = MAKELPARAM(cell->m_rect.CenterPoint().x, cell->m_rect.CenterPoint().y);
    ::SendMessageA(palette->m_hWnd, WM_MOUSEMOVE, 0, at);
    ::SendMessageA(palette->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageA(palette->m_hWnd, WM_LBUTTONUP, 0, at);
    PumpPendingMessages(100);
    return;
  }
  ADD_FAILURE() << "no cell of colour " << std::hex << colour;
}

HBITMAP FaceBitmap() {
  HDC screen = ::GetDC(nullptr);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, kWidth, kHeight);
  HDC dc = ::CreateCompatibleDC(screen);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  RECT all{0, 0, kWidth, kHeight};
  ::FillRect(dc, &all, ::GetSysColorBrush(COLOR_BTNFACE));
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
  return bitmap;
}

// The cells that are no longer the button face.
Cells DrawnCells(HBITMAP bitmap) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  Cells cells;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (::GetPixel(dc, x, y) != ::GetSysColor(COLOR_BTNFACE)) cells.emplace_back(x, y);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  return cells;
}

Cells Border(int left, int top, int right, int bottom) {
  Cells cells;
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x)
      if (x == left || x == right || y == top || y == bottom) cells.emplace_back(x, y);
  return cells;
}

TEST(ImageEditor, EachToolDrawsItsFigureIntoTheImageOnOk) {
  struct Case {
    const char* what;
    std::vector<Stroke> strokes;
    int ending;
    Cells drawn;
  };
  const Case cases[] = {
      {"a single click with the line tool sets one pixel", {{ID_TKIMAGE_LINE, {{3, 3}}}}, IDOK, {{3, 3}}},
      {"a line includes its end",
       {{ID_TKIMAGE_LINE, {{1, 2}, {4, 2}}}},
       IDOK,
       {{1, 2}, {2, 2}, {3, 2}, {4, 2}}},
      {"a rectangle from cell 2 to cell 5 covers 2 to 5",
       {{ID_TKIMAGE_RECTANGLE, {{2, 2}, {4, 4}, {5, 5}}}},
       IDOK,
       Border(2, 2, 5, 5)},
      {"the pencil sets every cell it passes",
       {{ID_TKIMAGE_PENCIL, {{7, 1}, {7, 2}, {7, 3}}}},
       IDOK,
       {{7, 1}, {7, 2}, {7, 3}}},
      {"cancelled, nothing changes", {{ID_TKIMAGE_LINE, {{3, 3}, {9, 3}}}}, IDCANCEL, {}},
  };
  for (const Case& c : cases) {
    HBITMAP bitmap = FaceBitmap();
    INT_PTR result = 0;
    dialogtest::DriveModal(
        "Edit Button Image",
        [&](HWND dialog) {
          for (const Stroke& stroke : c.strokes) Draw(dialog, stroke);
          dialogtest::Press(dialog, c.ending);
        },
        [&] {
          CTKImageEditDialog editor(bitmap);
          result = editor.DoModal();
        });
    EXPECT_EQ(result, c.ending) << c.what;
    EXPECT_EQ(DrawnCells(bitmap), c.drawn) << c.what;
    ::DeleteObject(bitmap);
  }
}

TEST(ImageEditor, FillFloodsTheClickedAreaAndClearEmptiesTheImage) {
  HBITMAP bitmap = FaceBitmap();
  dialogtest::DriveModal(
      "Edit Button Image",
      [&](HWND dialog) {
        Draw(dialog, {ID_TKIMAGE_RECTANGLE, {{2, 2}, {5, 5}}});
        Draw(dialog, {ID_TKIMAGE_FILL, {{3, 3}}});
        dialogtest::Press(dialog, IDOK);
      },
      [&] {
        CTKImageEditDialog editor(bitmap);
        editor.DoModal();
      });
  Cells filled;
  for (int y = 2; y <= 5; ++y)
    for (int x = 2; x <= 5; ++x) filled.emplace_back(x, y);
  EXPECT_EQ(DrawnCells(bitmap), filled);

  dialogtest::DriveModal(
      "Edit Button Image",
      [&](HWND dialog) {
        dialogtest::Press(dialog, ID_TKIMAGE_CLEAR);
        dialogtest::Press(dialog, IDOK);
      },
      [&] {
        CTKImageEditDialog editor(bitmap);
        editor.DoModal();
      });
  EXPECT_EQ(DrawnCells(bitmap), Cells{});
  ::DeleteObject(bitmap);
}

TEST(ImageEditor, PasteIsOfferedOnlyWhileTheClipboardHoldsABitmap) {
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  ::CloseClipboard();
  HBITMAP bitmap = FaceBitmap();
  bool before = true, after = false;
  dialogtest::DriveModal(
      "Edit Button Image",
      [&](HWND dialog) {
        before = !ToolShows(dialog, ID_TKIMAGE_PASTE, TBBS_DISABLED);
        ClickTool(dialog, ID_TKIMAGE_COPY);
        after = !ToolShows(dialog, ID_TKIMAGE_PASTE, TBBS_DISABLED);
        dialogtest::Press(dialog, IDCANCEL);
      },
      [&] {
        CTKImageEditDialog editor(bitmap);
        editor.DoModal();
      });
  EXPECT_FALSE(before);
  EXPECT_TRUE(after);
  EXPECT_TRUE(::IsClipboardFormatAvailable(CF_BITMAP));
  ::DeleteObject(bitmap);
}

TEST(ImageEditor, ItsToolbarOffersTheToolsWithTheirPicturesAndShowsTheCurrentOnePressed) {
  HBITMAP bitmap = FaceBitmap();
  std::vector<UINT> ids;
  std::vector<std::vector<UINT>> pressed;
  int yellow = 0, red = 0;
  dialogtest::DriveModal(
      "Edit Button Image",
      [&](HWND dialog) {
        CTKToolBar* tools = Tools(dialog);
        ASSERT_NE(tools, nullptr);
        ASSERT_TRUE(::IsWindowVisible(tools->m_hWnd));
        for (int i = 0; i < tools->GetCount(); ++i)
          if (tools->GetItemID(i) != 0) ids.push_back(tools->GetItemID(i));
        auto pressedTools = [&] {
          std::vector<UINT> now;
          for (UINT id : ids)
            if (ToolShows(dialog, id, TBBS_CHECKED)) now.push_back(id);
          return now;
        };
        pressed.push_back(pressedTools());
        // The pencil's yellow and the clear tool's red cross are on the bar.
        PumpPendingMessages();
        ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
        SavePng(CaptureWindow(dialog, false), TARVEL_TEST_BINARY_DIR "/screenshots/image-editor.png");
        const CapturedImage bar = CaptureWindow(tools->m_hWnd, true);
        for (int y = 0; y < bar.height; ++y)
          for (int x = 0; x < bar.width; ++x) {
            yellow += bar.At(x, y) == RGB(255, 255, 0);
            red += bar.At(x, y) == RGB(255, 0, 0);
          }
        // Picked on the bar, the rectangle tool draws and shows pressed; a command
        // such as Clear leaves the tool as it was.
        ClickTool(dialog, ID_TKIMAGE_RECTANGLE);
        pressed.push_back(pressedTools());
        Draw(dialog, {0, {{2, 2}, {5, 5}}});
        ClickTool(dialog, ID_TKIMAGE_CLEAR);
        ClickTool(dialog, ID_TKIMAGE_ELLIPSE);
        ClickTool(dialog, ID_TKIMAGE_RECTANGLE);
        pressed.push_back(pressedTools());
        Draw(dialog, {0, {{1, 1}, {3, 4}}});
        dialogtest::Press(dialog, IDOK);
      },
      [&] {
        CTKImageEditDialog editor(bitmap);
        editor.DoModal();
      });
  EXPECT_EQ(ids, (std::vector<UINT>{ID_TKIMAGE_PENCIL, ID_TKIMAGE_FILL, ID_TKIMAGE_LINE, ID_TKIMAGE_RECTANGLE,
                                    ID_TKIMAGE_ELLIPSE, ID_TKIMAGE_PICK, ID_TKIMAGE_COPY, ID_TKIMAGE_PASTE,
                                    ID_TKIMAGE_CLEAR}));
  EXPECT_EQ(pressed, (std::vector<std::vector<UINT>>{
                         {ID_TKIMAGE_PENCIL}, {ID_TKIMAGE_RECTANGLE}, {ID_TKIMAGE_RECTANGLE}}));
  EXPECT_GT(yellow, 10);
  EXPECT_GT(red, 10);
  // Cleared after the first rectangle: only the second is in the image.
  EXPECT_EQ(DrawnCells(bitmap), Border(1, 1, 3, 4));
  ::DeleteObject(bitmap);
}

TEST(ImageEditor, ThePaletteGivesTheToolsTheirColourAndAPickedColourIsSelectedThere) {
  HBITMAP bitmap = FaceBitmap();
  COLORREF selectedAfterPick = 0;
  dialogtest::DriveModal(
      "Edit Button Image",
      [&](HWND dialog) {
        // Red for a pixel and a line; light grey, the button face, rubs a pixel out.
        ClickColour(dialog, RGB(255, 0, 0));
        Draw(dialog, {ID_TKIMAGE_PENCIL, {{4, 4}}});
        Draw(dialog, {ID_TKIMAGE_LINE, {{1, 8}, {3, 8}}});
        ClickColour(dialog, RGB(192, 192, 192));
        Draw(dialog, {ID_TKIMAGE_PENCIL, {{2, 8}}});
        // Blue is chosen, then the picker takes red from the image again.
        ClickColour(dialog, RGB(0, 0, 255));
        Draw(dialog, {ID_TKIMAGE_PICK, {{4, 4}}});
        auto* palette =
            dynamic_cast<CTKColorBar*>(CWnd::FromHandlePermanent(::GetDlgItem(dialog, IDC_TKIMAGE_PALETTE)));
        selectedAfterPick = palette ? palette->GetColor() : 0;
        Draw(dialog, {ID_TKIMAGE_PENCIL, {{6, 6}}});
        dialogtest::Press(dialog, IDOK);
      },
      [&] {
        CTKImageEditDialog editor(bitmap);
        editor.DoModal();
      });
  EXPECT_EQ(DrawnCells(bitmap), (Cells{{4, 4}, {6, 6}, {1, 8}, {3, 8}}));
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  EXPECT_EQ(::GetPixel(dc, 6, 6), RGB(255, 0, 0));
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  EXPECT_EQ(selectedAfterPick, RGB(255, 0, 0));
  ::DeleteObject(bitmap);
}

TEST(ImageEditor, OverThePictureTheCursorIsTheCurrentTools) {
  HBITMAP bitmap = FaceBitmap();
  struct Case {
    UINT tool;
    int cursor;
  };
  const Case cases[] = {{ID_TKIMAGE_PENCIL, 16140},    {ID_TKIMAGE_FILL, 16141},    {ID_TKIMAGE_LINE, 16142},
                        {ID_TKIMAGE_RECTANGLE, 16143}, {ID_TKIMAGE_ELLIPSE, 16144}, {ID_TKIMAGE_PICK, 16145}};
  std::vector<HCURSOR> shown, expected;
  dialogtest::DriveModal(
      "Edit Button Image",
      [&](HWND dialog) {
        HWND area = ::GetDlgItem(dialog, IDC_TKIMAGE_DRAW);
        for (const Case& c : cases) {
          ClickTool(dialog, c.tool);
          ::SendMessageA(area, WM_SETCURSOR, reinterpret_cast<WPARAM>(area),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
          shown.push_back(::GetCursor());
          expected.push_back(::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(c.cursor)));
        }
        dialogtest::Press(dialog, IDCANCEL);
      },
      [&] {
        CTKImageEditDialog editor(bitmap);
        editor.DoModal();
      });
  EXPECT_EQ(shown, expected);
  // Six different cursors, all found in the resources.
  std::vector<HCURSOR> distinct = expected;
  std::sort(distinct.begin(), distinct.end());
  EXPECT_EQ(std::unique(distinct.begin(), distinct.end()) - distinct.begin(), 6);
  EXPECT_EQ(std::count(expected.begin(), expected.end(), nullptr), 0);
  ::DeleteObject(bitmap);
}

}  // namespace
