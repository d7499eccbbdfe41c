// The toolbar button: its archive record under each stored-state version, its size
// rules, which commands may be edited, and its travel through OLE drag data.
#include "support/wine/GTestWin.h"

#include "platform/afx/afxole.h"
#include "toolkit/bars/TKToolbarButton.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKWorkspace.h"

namespace {

// The button's archive record (with its class tag) as bytes.
std::vector<BYTE> Record(CTKToolbarButton& button) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    ar.WriteObject(&button);
    ar.Close();
  }
  std::vector<BYTE> bytes(static_cast<size_t>(file.GetLength()));
  file.Seek(0, CFile::begin);
  file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
  return bytes;
}

CTKToolbarButton* FromRecord(std::vector<BYTE> bytes) {
  CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
  CArchive ar(&file, CArchive::load);
  return dynamic_cast<CTKToolbarButton*>(ar.ReadObject(RUNTIME_CLASS(CTKToolbarButton)));
}

}  // namespace

TEST(ToolbarButton, RecordCarriesTheVisibleWordFromVersionSixFortyAndWhenNoVersionIsKnown) {
  CTKToolbarButton button(41000, 5, "&Record");
  button.m_bText = TRUE;
  button.m_bVisible = FALSE;
  button.m_nStyle = TBBS_CHECKBOX;
  const size_t withoutWorkspace = Record(button).size();
  struct Case {
    int major, minor;
    bool visibleWord;
  };
  const Case cases[] = {{6, 39, false}, {6, 40, true}, {7, 0, true}, {5, 90, false}, {-1, -1, true}};
  CTKWorkspace workspace;
  for (const Case& c : cases) {
    workspace.m_savedMajor = c.major;
    workspace.m_savedMinor = c.minor;
    std::vector<BYTE> bytes = Record(button);
    EXPECT_EQ(bytes.size(), withoutWorkspace + (c.visibleWord ? 4 : 0)) << c.major << "." << c.minor;
    std::unique_ptr<CTKToolbarButton> back(FromRecord(bytes));
    ASSERT_TRUE(back) << c.major << "." << c.minor;
    EXPECT_EQ(back->m_nID, 41000u);
    EXPECT_EQ(back->m_nStyle, static_cast<UINT>(TBBS_CHECKBOX));
    EXPECT_EQ(back->GetImage(), 5);
    EXPECT_EQ(back->m_strText, "&Record");
    EXPECT_TRUE(back->m_bText);
    EXPECT_TRUE(back->m_bImage);
    EXPECT_EQ(back->IsVisible(), c.visibleWord ? FALSE : TRUE) << c.major << "." << c.minor;
  }
}

TEST(ToolbarButton, SizesFollowSeparatorVisibilityAndTextRules) {
  CClientDC screen(nullptr);
  HGDIOBJ old = ::SelectObject(screen.GetSafeHdc(), GlobalData::Get().regularFont.m_hObject);
  const SIZE defaultSize{23, 22};
  auto extent = [&](const char* text) {
    SIZE size{};
    ::GetTextExtentPoint32A(screen.GetSafeHdc(), text, static_cast<int>(strlen(text)), &size);
    return size.cx;
  };
  CTKToolbarButton separator;
  separator.m_nStyle = TBBS_SEPARATOR;
  separator.SetImage(0);
  EXPECT_EQ(CSize(separator.OnCalculateSize(&screen, defaultSize, TRUE)), CSize(8, 22));
  EXPECT_EQ(CSize(separator.OnCalculateSize(&screen, defaultSize, FALSE)), CSize(23, 8));
  separator.SetImage(12);  // a separator's image index is its width
  EXPECT_EQ(CSize(separator.OnCalculateSize(&screen, defaultSize, TRUE)), CSize(12, 22));

  CTKToolbarButton hidden(41001, 0);
  hidden.m_bVisible = FALSE;
  EXPECT_EQ(CSize(hidden.OnCalculateSize(&screen, defaultSize, TRUE)), CSize(0, 0));

  struct Case {
    const char* text;
    const char* shown;
  };
  const Case cases[] = {{"Save && Quit", "Save & Quit"}, {"&Save", "Save"}, {"Plain", "Plain"}};
  for (const Case& c : cases) {
    CTKToolbarButton button(41002, 0, c.text);
    button.m_bText = TRUE;
    EXPECT_EQ(button.OnCalculateSize(&screen, defaultSize, TRUE).cx, 23 + extent(c.shown) + 9) << c.text;
    EXPECT_EQ(button.OnCalculateSize(&screen, defaultSize, FALSE).cy, 22 + extent(c.shown) + 9) << c.text;
    // Without an image only the text counts.
    button.m_bImage = FALSE;
    EXPECT_EQ(button.OnCalculateSize(&screen, defaultSize, TRUE).cx, extent(c.shown) + 9) << c.text;
  }
  ::SelectObject(screen.GetSafeHdc(), old);
}

TEST(ToolbarButton, RecentFilesSystemAndWindowCommandsAreNotEditable) {
  struct Case {
    UINT id;
    bool editable;
  };
  const Case cases[] = {{0xE110, false}, {0xE11F, false}, {0xE120, true},  {0xE215, false}, {0xF000, false},
                        {0xF1EF, false}, {0xF1F0, true},  {0xFF00, false}, {40001, true}};
  for (const Case& c : cases) {
    CTKToolbarButton button(c.id, -1);
    EXPECT_EQ(button.IsEditable(), c.editable ? TRUE : FALSE) << std::hex << c.id;
  }
  CTKToolbarButton::s_nonEditableIds.AddTail(40001);
  EXPECT_FALSE(CTKToolbarButton(40001, -1).IsEditable());
  CTKToolbarButton::s_nonEditableIds.RemoveAll();
}

TEST(ToolbarButton, TravelsThroughOleDragDataAsACopyAndForeignDataGivesNone) {
  ASSERT_TRUE(AfxOleInit());
  CTKToolbarButton button(41003, 2, "Copy me");
  button.m_bText = TRUE;
  button.m_bFromToolbar = TRUE;
  COleDataSource source;
  ASSERT_TRUE(button.PrepareDrag(source));
  COleDataObject data;
  data.Attach(source.GetDataObject(), FALSE);
  ASSERT_TRUE(data.IsDataAvailable(CTKToolbarButton::GetClipboardFormat()));
  std::unique_ptr<CTKToolbarButton> copy(CTKToolbarButton::CreateFromOleData(&data));
  ASSERT_TRUE(copy);
  EXPECT_NE(copy.get(), &button);
  EXPECT_EQ(copy->m_nID, 41003u);
  EXPECT_EQ(copy->m_strText, "Copy me");
  EXPECT_TRUE(copy->m_bFromToolbar);
  // The format's name carries the instance handle.
  char name[64] = "";
  ::GetClipboardFormatNameA(CTKToolbarButton::GetClipboardFormat(), name, sizeof name);
  EXPECT_EQ(std::string(name).rfind("TKToolbarButton", 0), 0u) << name;

  // Data without the format, and data whose bytes are no button, give nothing.
  COleDataSource foreign;
  HGLOBAL junk = ::GlobalAlloc(GMEM_MOVEABLE, 3);
  foreign.CacheGlobalData(CF_TEXT, junk);
  COleDataObject other;
  other.Attach(foreign.GetDataObject(), FALSE);
  EXPECT_EQ(CTKToolbarButton::CreateFromOleData(&other), nullptr);
  COleDataSource broken;
  HGLOBAL bytes = ::GlobalAlloc(GMEM_MOVEABLE, 5);
  memcpy(::GlobalLock(bytes), "\x01\x02\x03\x04\x05", 5);
  ::GlobalUnlock(bytes);
  broken.CacheGlobalData(CTKToolbarButton::GetClipboardFormat(), bytes);
  COleDataObject corrupt;
  corrupt.Attach(broken.GetDataObject(), FALSE);
  EXPECT_EQ(CTKToolbarButton::CreateFromOleData(&corrupt), nullptr);
}
