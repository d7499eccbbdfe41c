// The toolbar image list: loading strips from bitmap resources and files, drawing one
// image transparently and disabled, and saving an edited strip.
#include "support/wine/GTestWin.h"

#include "support/wine/TempFolder.h"
#include "toolkit/bars/TKToolbarImageList.h"
#include "toolkit/bars/toolbar_test_resource.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKCommandManager.h"
#include "toolkit/frames/look_canvas.h"

namespace {

// The colour inside each image of the test strips, in strip order.
const COLORREF kFileColours[] = {RGB(220, 0, 0), RGB(0, 160, 0), RGB(0, 0, 220), RGB(230, 200, 0)};
const COLORREF kEditColours[] = {RGB(200, 0, 200), RGB(0, 180, 180), RGB(240, 120, 0)};

std::string SourceFile(const char* name) {
  std::string path = std::string("Z:") + TARVEL_SOURCE_DIR + "/tests/toolkit/bars/" + name;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

}  // namespace

TEST(ToolbarImageList, StripsLoadOnceEachAndKnowWhereEachResourceStarts) {
  CTKToolbarImageList list;
  EXPECT_EQ(list.GetImageSize().cx, 16);
  EXPECT_EQ(list.GetImageSize().cy, 15);
  EXPECT_TRUE(list.IsEmpty());
  ASSERT_TRUE(list.Load(IDR_FILE_TOOLBAR, nullptr, TRUE));
  EXPECT_EQ(list.GetCount(), 4);  // 64 pixels of 16-pixel images
  // Loading the same resource again adds nothing; another resource is appended.
  ASSERT_TRUE(list.Load(IDR_FILE_TOOLBAR, nullptr, TRUE));
  EXPECT_EQ(list.GetCount(), 4);
  ASSERT_TRUE(list.Load(IDR_EDIT_TOOLBAR, nullptr, TRUE));
  EXPECT_EQ(list.GetCount(), 7);
  EXPECT_EQ(list.GetResourceOffset(IDR_FILE_TOOLBAR), 0);
  EXPECT_EQ(list.GetResourceOffset(IDR_EDIT_TOOLBAR), 4);
  EXPECT_EQ(list.GetResourceOffset(12345), -1);
  // A missing resource fails and leaves the strip; a list that borrows another's strip
  // loads nothing.
  EXPECT_FALSE(list.Load(12345, nullptr, TRUE));
  EXPECT_EQ(list.GetCount(), 7);
  CTKToolbarImageList borrowed;
  list.ShareWith(borrowed);
  EXPECT_EQ(borrowed.GetCount(), 7);
  EXPECT_FALSE(borrowed.Load(IDR_FILE_TOOLBAR));
  EXPECT_EQ(borrowed.AddImage(list.GetImageWell()), -1);
  borrowed.Clear();
  EXPECT_EQ(list.GetCount(), 7);  // the owner's strip survives the borrower
}

TEST(ToolbarImageList, DrawsTheChosenImageTransparentlyAndDisabledImagesWithoutTheirColour) {
  CTKToolbarImageList list;
  ASSERT_TRUE(list.Load(IDR_FILE_TOOLBAR, nullptr, TRUE));
  ASSERT_TRUE(list.Load(IDR_EDIT_TOOLBAR, nullptr, TRUE));
  list.SetTransparentColor(GlobalData::Get().buttonFace);
  LookCanvas canvas(200, 40);
  const COLORREF paper = RGB(10, 20, 30);
  canvas.Clear(paper);
  ASSERT_TRUE(list.PrepareDraw(&canvas.dc));
  for (int i = 0; i < 7; ++i) EXPECT_TRUE(list.Draw(&canvas.dc, i * 20, 0, i));
  EXPECT_FALSE(list.Draw(&canvas.dc, 0, 20, 7));  // past the end
  EXPECT_TRUE(list.Draw(&canvas.dc, 0, 20, 2, FALSE, TRUE));
  list.EndDraw();
  for (int i = 0; i < 7; ++i) {
    const COLORREF expected = i < 4 ? kFileColours[i] : kEditColours[i - 4];
    EXPECT_EQ(canvas.At(i * 20 + 7, 7), expected) << "image " << i;
    EXPECT_EQ(canvas.At(i * 20 + 3, 3), RGB(0, 0, 0)) << "frame of image " << i;
    // The face-coloured corners let the paper show through.
    EXPECT_EQ(canvas.At(i * 20 + 1, 1), paper) << "corner of image " << i;
  }
  // Disabled: the shape embossed, never in its own colour, the corners still clear.
  EXPECT_NE(canvas.At(7, 27), kFileColours[2]);
  EXPECT_EQ(canvas.At(1, 21), paper);
}

TEST(ToolbarImageList, FileStripsSaveOnlyWhenChangedAndComeBackWithTheirNewImages) {
  winetest::TempFolder folder("imagelist");
  const std::string copy = folder.File("strip.bmp");
  ASSERT_TRUE(::CopyFileA(SourceFile("file_toolbar.bmp").c_str(), copy.c_str(), FALSE));
  CTKToolbarImageList list;
  ASSERT_TRUE(list.LoadFromFile(copy.c_str()));
  EXPECT_EQ(list.GetCount(), 4);
  EXPECT_FALSE(list.IsModified());

  // Unchanged, saving to its own path writes nothing and succeeds.
  ::DeleteFileA(copy.c_str());
  EXPECT_TRUE(list.Save());
  EXPECT_EQ(::GetFileAttributesA(copy.c_str()), INVALID_FILE_ATTRIBUTES);

  // Two images more (the edit strip's first image over the last file image, then the
  // whole edit strip), saved and loaded again.
  CTKToolbarImageList edit;
  ASSERT_TRUE(edit.Load(IDR_EDIT_TOOLBAR));
  EXPECT_EQ(list.AddImage(edit.GetImageWell()), 6);
  ASSERT_TRUE(list.UpdateImage(3, edit.GetImageWell()));
  EXPECT_TRUE(list.IsModified());
  ASSERT_TRUE(list.Save());
  EXPECT_FALSE(list.IsModified());
  CTKToolbarImageList again;
  ASSERT_TRUE(again.LoadFromFile(copy.c_str()));
  ASSERT_EQ(again.GetCount(), 7);
  LookCanvas canvas(160, 20);
  canvas.Clear(RGB(1, 1, 1));
  ASSERT_TRUE(again.PrepareDraw(&canvas.dc));
  for (int i = 0; i < 7; ++i) again.Draw(&canvas.dc, i * 20, 0, i);
  again.EndDraw();
  const COLORREF expected[] = {kFileColours[0], kFileColours[1], kFileColours[2], kEditColours[0],
                               kEditColours[0], kEditColours[1], kEditColours[2]};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(canvas.At(i * 20 + 7, 7), expected[i]) << "image " << i;
  // A resource strip is not a file: it does not save.
  EXPECT_FALSE(edit.Save(folder.File("other.bmp").c_str()));
}

TEST(ToolbarImageList, AlphaImagesBlendAndDisabledOnesAtHalfStrength) {
  // One opaque red 32-bit image and one half-transparent (premultiplied) blue one.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 32;
  info.bmiHeader.biHeight = -15;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP strip = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_TRUE(strip);
  auto* pixels = static_cast<DWORD*>(bits);
  for (int y = 0; y < 15; ++y)
    for (int x = 0; x < 32; ++x) pixels[y * 32 + x] = x < 16 ? 0xFFFF0000 : 0x80000080;
  CTKToolbarImageList list;
  ASSERT_EQ(list.AddImage(strip, TRUE), 1);
  ::DeleteObject(strip);
  EXPECT_EQ(list.GetBitsPerPixel(), 32);
  LookCanvas canvas(60, 20);
  canvas.Clear(RGB(255, 255, 255));
  ASSERT_TRUE(list.PrepareDraw(&canvas.dc));
  list.Draw(&canvas.dc, 0, 0, 0);
  list.Draw(&canvas.dc, 20, 0, 0, FALSE, TRUE);
  list.Draw(&canvas.dc, 40, 0, 1);
  list.EndDraw();
  auto similar = [](COLORREF a, COLORREF b) {
    return abs(GetRValue(a) - GetRValue(b)) <= 2 && abs(GetGValue(a) - GetGValue(b)) <= 2 &&
           abs(GetBValue(a) - GetBValue(b)) <= 2;
  };
  EXPECT_EQ(canvas.At(8, 8), RGB(255, 0, 0));
  // Disabled: constant alpha 127 over white.
  EXPECT_TRUE(similar(canvas.At(28, 8), RGB(255, 128, 128))) << std::hex << canvas.At(28, 8);
  // Half-transparent blue over white.
  EXPECT_TRUE(similar(canvas.At(48, 8), RGB(127, 127, 255))) << std::hex << canvas.At(48, 8);
}

TEST(ToolbarImageList, AfterTheToolkitsCleanUpListsMakeTheirDrawingObjectsAgain) {
  GetCommandManager()->StoreImageOf(ID_TEST_OPEN, 1);
  {
    CTKToolbarImageList before;
    ASSERT_TRUE(before.Load(IDR_FILE_TOOLBAR));
  }
  ToolkitCleanUp();
  EXPECT_EQ(GetCommandManager()->FindImageOf(ID_TEST_OPEN), -1);
  CTKToolbarImageList after;
  ASSERT_TRUE(after.Load(IDR_FILE_TOOLBAR));
  LookCanvas canvas(20, 20);
  canvas.Clear(RGB(1, 1, 1));
  ASSERT_TRUE(after.PrepareDraw(&canvas.dc));
  after.Draw(&canvas.dc, 0, 0, 1);
  after.EndDraw();
  EXPECT_EQ(canvas.At(7, 7), kFileColours[1]);
}
