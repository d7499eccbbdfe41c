// The toolkit's registry object against Wine's real registry: paths, typed values,
// archived values, key deletion and read-only refusals.
#include "support/wine/GTestWin.h"

#include "toolkit/frames/TKRegistry.h"

namespace {

constexpr const char* kTestRoot = "Software\\TarvelTest\\TKRegistry";

class TKRegistryTest : public ::testing::Test {
protected:
  void SetUp() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, kTestRoot); }
  void TearDown() override {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kTestRoot);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\TarvelTest");
  }
  static CString Path(const char* sub) { return CString(kTestRoot) + "\\" + sub; }
};

TEST(GetRegistryPathTest, BuildsSectionPathsFromTheApplicationKeyAndProfile) {
  struct Case {
    const char* key;  // null: the application set none
    const char* section;
    const char* explicitPath;
    const char* expected;
  } cases[] = {
      {"K", "TKWorkspace", nullptr, "SOFTWARE\\K\\P\\TKWorkspace\\"},
      {"", "TKWorkspace", nullptr, "SOFTWARE\\P\\TKWorkspace\\"},
      {nullptr, "Settings", nullptr, "SOFTWARE\\P\\Settings\\"},
      {"K", "TKToolBars", "", "SOFTWARE\\K\\P\\TKToolBars\\"},
      {"K", "TKToolBars", "Mine\\Own", "Mine\\Own"},
  };
  for (const Case& c : cases) {
    CWinApp app("P");
    if (c.key) app.SetRegistryKey(c.key);
    EXPECT_STREQ(GetRegistryPath(c.section, c.explicitPath), c.expected)
        << c.section << " key " << (c.key ? c.key : "-");
  }
}

TEST_F(TKRegistryTest, TypedValuesRoundTripAndKeepTheirRegistryTypes) {
  {
    RegistryHolder holder;
    CTKRegistry& reg = holder.Obtain(FALSE, FALSE);
    EXPECT_EQ(&reg, &holder.Obtain(TRUE, TRUE));  // a second call gives the same object
    ASSERT_TRUE(reg.CreateKey(Path("Values\\")));
    EXPECT_TRUE(reg.WriteInt("Int", -7));
    EXPECT_TRUE(reg.WriteDword("Dword", 0xDEADBEEF));
    EXPECT_TRUE(reg.WriteString("Text", "hello"));
    const BYTE bytes[] = {1, 2, 3, 0, 255};
    EXPECT_TRUE(reg.WriteBinary("Bin", bytes, sizeof bytes));
  }
  // The raw values as another program sees them.
  HKEY key;
  ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, Path("Values"), 0, KEY_READ, &key), ERROR_SUCCESS);
  struct Raw {
    const char* name;
    DWORD type;
    DWORD size;
  } raws[] = {{"Int", REG_DWORD, 4}, {"Dword", REG_DWORD, 4}, {"Text", REG_SZ, 6}, {"Bin", REG_BINARY, 5}};
  for (const Raw& r : raws) {
    DWORD type = 0, size = 0;
    EXPECT_EQ(::RegQueryValueExA(key, r.name, nullptr, &type, nullptr, &size), ERROR_SUCCESS) << r.name;
    EXPECT_EQ(type, r.type) << r.name;
    EXPECT_EQ(size, r.size) << r.name;
  }
  ::RegCloseKey(key);

  RegistryHolder holder;
  CTKRegistry& reg = holder.Obtain(FALSE, TRUE);
  ASSERT_TRUE(reg.Open(Path("Values\\")));
  EXPECT_STREQ(reg.GetCurrentPath(), Path("Values\\"));  // kept as given
  int i = 0;
  DWORD d = 0;
  CString text = "old";
  EXPECT_TRUE(reg.ReadInt("Int", i));
  EXPECT_EQ(i, -7);
  EXPECT_TRUE(reg.ReadDword("Dword", d));
  EXPECT_EQ(d, 0xDEADBEEFu);
  EXPECT_TRUE(reg.ReadString("Text", text));
  EXPECT_STREQ(text, "hello");
  BYTE* data = nullptr;
  UINT size = 0;
  EXPECT_TRUE(reg.ReadBinary("Bin", data, size));
  ASSERT_EQ(size, 5u);
  EXPECT_EQ(data[4], 255);
  free(data);
  EXPECT_TRUE(reg.ValueExists("Text"));
  EXPECT_FALSE(reg.ValueExists("Missing"));
  EXPECT_FALSE(reg.ReadString("Missing", text));
  EXPECT_STREQ(text, "");

  CStringList names;
  EXPECT_TRUE(reg.ListValueNames(names));
  EXPECT_EQ(names.GetCount(), 4);
  CStringList subkeys;
  EXPECT_FALSE(reg.ListSubkeyNames(subkeys));  // none at all

  // A read-only object reads but refuses every change.
  EXPECT_FALSE(reg.CreateKey("Other"));
  EXPECT_FALSE(reg.WriteInt("Int", 1));
  EXPECT_FALSE(reg.WriteString("Text", "x"));
  EXPECT_FALSE(reg.WriteRect("R", RECT{1, 2, 3, 4}));
  EXPECT_FALSE(reg.DeleteKey(Path("Values")));
  EXPECT_TRUE(reg.ReadInt("Int", i));
  EXPECT_EQ(i, -7);
}

TEST_F(TKRegistryTest, ArchivedValuesRoundTripInTheArchiveByteFormat) {
  RegistryHolder holder;
  CTKRegistry& reg = holder.Obtain(FALSE, FALSE);
  ASSERT_TRUE(reg.CreateKey(Path("Archived")));

  RECT rect = {-5, 10, 300, 400};
  EXPECT_TRUE(reg.WriteRect("Rect", rect));
  POINT pt = {17, -3};
  POINT* ppt = &pt;
  EXPECT_TRUE(reg.WritePoint("Point", ppt));
  CWordArray words;
  words.Add(1);
  words.Add(0xFFFF);
  EXPECT_TRUE(reg.WriteWordArray("Words", words));
  CStringList strings;
  strings.AddTail("one");
  strings.AddTail("two");
  EXPECT_TRUE(reg.Write("Strings", strings));
  CDWordArray dwords;
  EXPECT_TRUE(reg.Write("Empty", dwords));

  // Stored bytes: the rectangle's 16 bytes; the point as a five-element doubleword
  // array (22 bytes); the word array with a 32-bit count; an empty collection as a
  // 16-bit zero count.
  struct Stored {
    const char* name;
    std::vector<BYTE> bytes;
  } stored[] = {
      {"Rect", {0xFB, 0xFF, 0xFF, 0xFF, 10, 0, 0, 0, 0x2C, 1, 0, 0, 0x90, 1, 0, 0}},
      {"Point", {5, 0, 17, 0, 0, 0, 0xFD, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"Words", {2, 0, 0, 0, 1, 0, 0xFF, 0xFF}},
      {"Strings", {2, 0, 3, 'o', 'n', 'e', 3, 't', 'w', 'o'}},
      {"Empty", {0, 0}},
  };
  for (const Stored& s : stored) {
    BYTE* data = nullptr;
    UINT size = 0;
    ASSERT_TRUE(reg.ReadBinary(s.name, data, size)) << s.name;
    EXPECT_EQ(std::vector<BYTE>(data, data + size), s.bytes) << s.name;
    free(data);
  }

  RECT rectBack = {};
  EXPECT_TRUE(reg.ReadRect("Rect", rectBack));
  EXPECT_TRUE(EqualRect(&rectBack, &rect));
  POINT back = {0, 0};
  POINT* pback = &back;
  EXPECT_TRUE(reg.ReadPoint("Point", pback));
  EXPECT_EQ(back.x, 17);
  EXPECT_EQ(back.y, -3);
  CWordArray wordsBack;
  EXPECT_TRUE(reg.ReadWordArray("Words", wordsBack));
  ASSERT_EQ(wordsBack.GetSize(), 2);
  EXPECT_EQ(wordsBack[1], 0xFFFF);
  CStringList stringsBack;
  stringsBack.AddTail("stale");
  EXPECT_TRUE(reg.Read("Strings", stringsBack));
  ASSERT_EQ(stringsBack.GetCount(), 2);
  EXPECT_STREQ(stringsBack.GetTail(), "two");

  // Values that are not what the reader expects fail the read and leave the target.
  const BYTE shortRect[] = {1, 2, 3};
  EXPECT_TRUE(reg.WriteBinary("Short", shortRect, sizeof shortRect));
  EXPECT_TRUE(reg.WriteInt("Number", 5));
  RECT untouched = {1, 1, 1, 1};
  EXPECT_FALSE(reg.ReadRect("Short", untouched));
  EXPECT_EQ(untouched.right, 1);
  EXPECT_FALSE(reg.ReadPoint("Number", pback));  // not REG_BINARY
  EXPECT_FALSE(reg.ReadRect("Missing", untouched));
  CObject* object = reinterpret_cast<CObject*>(1);
  EXPECT_FALSE(reg.ReadObjectPtr("Short", object));  // a cut-short archive is an error, not a crash
}

TEST_F(TKRegistryTest, OpenDropsOneTrailingBackslashAndDeleteKeyRemovesNestedKeys) {
  HKEY made;
  for (const char* sub : {"Tree\\A\\B\\C", "Tree\\A\\D", "Tree\\E"}) {
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, Path(sub), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &made,
                                nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(made);
  }
  RegistryHolder holder;
  CTKRegistry& reg = holder.Obtain(FALSE, FALSE);
  EXPECT_TRUE(reg.KeyExists(Path("Tree\\A\\")));
  EXPECT_FALSE(reg.KeyExists(Path("Tree\\Z")));
  ASSERT_TRUE(reg.Open(Path("Tree\\")));
  CStringList subkeys;
  EXPECT_TRUE(reg.ListSubkeyNames(subkeys));
  EXPECT_EQ(subkeys.GetCount(), 2);
  EXPECT_FALSE(reg.Open("NoSuchKey"));  // stays on the key it had
  EXPECT_TRUE(reg.Open("A"));
  EXPECT_TRUE(reg.Open(""));  // the current key itself

  EXPECT_TRUE(reg.DeleteKey(Path("Tree\\")));
  EXPECT_FALSE(reg.KeyExists(Path("Tree")));
  EXPECT_FALSE(reg.DeleteKey(Path("Tree")));
}

}  // namespace
