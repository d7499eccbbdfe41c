// The registry store against the in-memory backend and an independent
// backend with advapi32's stricter rules.
#include <gtest/gtest.h>

#include <cstring>

#include "app/settings/ZQRegistry.h"
#include "tests/support/native/SettingsEnvironment.h"

using settings_test::Backend;
using settings_test::SettingsEnvironment;

namespace {

class ZQRegistryTest : public testing::TestWithParam<Backend> {
protected:
  ZQRegistryTest() : env(GetParam()) {}

  std::unique_ptr<seams::RegistryKey> Raw(const std::string& path,
                                          seams::RegistryRoot root = seams::RegistryRoot::CurrentUser) {
    return env.backend().OpenKey(root, path, false);
  }

  SettingsEnvironment env;
};

TEST_P(ZQRegistryTest, SectionsLiveUnderSoftwareTarvelOfTheCurrentUser) {
  ZQRegistryHolder holder;
  CZQRegistry* reg = holder.Create(false, false);
  EXPECT_EQ(reg->FullPath("FileOutputOptions"), "Software\\Tarvel\\FileOutputOptions");
  EXPECT_EQ(reg->FullPath("FileOutputOptions\\"), "Software\\Tarvel\\FileOutputOptions");
  ASSERT_EQ(reg->CreateKey("Sec"), 1);
  EXPECT_EQ(reg->WriteInt("n", 3), 1);
  EXPECT_TRUE(Raw("Software\\Tarvel\\Sec"));
  EXPECT_FALSE(Raw("Software\\Tarvel\\Sec", seams::RegistryRoot::LocalMachine));

  CZQRegistry::SetApplicationKey("Company", "Tarvel");
  EXPECT_EQ(reg->FullPath("Sec"), "Software\\Company\\Tarvel\\Sec");
  CZQRegistry::SetApplicationKey("", "Tarvel");
}

TEST_P(ZQRegistryTest, AdminUsesTheLocalMachineRoot) {
  ZQRegistryHolder holder;
  CZQRegistry* reg = holder.Create(true, false);
  EXPECT_TRUE(reg->admin());
  ASSERT_EQ(reg->CreateKey("Sec"), 1);
  EXPECT_TRUE(Raw("Software\\Tarvel\\Sec", seams::RegistryRoot::LocalMachine));
  EXPECT_FALSE(Raw("Software\\Tarvel\\Sec"));
}

TEST_P(ZQRegistryTest, TheHolderMakesOneObjectAndKeepsItsFirstFlags) {
  ZQRegistryHolder holder;
  EXPECT_EQ(holder.get(), nullptr);
  CZQRegistry* first = holder.Create(false, true);
  EXPECT_EQ(holder.Create(true, false), first);
  EXPECT_TRUE(first->read_only());
  EXPECT_FALSE(first->admin());
  EXPECT_FALSE(first->path_is_whole());
  EXPECT_STREQ(first->GetRuntimeClass(), "CZQRegistry");
}

TEST_P(ZQRegistryTest, APathEndingInABackslashOpensTheSameKey) {
  ZQRegistryHolder writer;
  CZQRegistry* w = writer.Create(false, false);
  ASSERT_EQ(w->CreateKey("Sec\\"), 1);
  ASSERT_EQ(w->WriteString("name", "value"), 1);
  w->Close();

  ZQRegistryHolder reader;
  CZQRegistry* r = reader.Create(false, true);
  EXPECT_EQ(r->KeyExists("Sec\\"), 1);
  EXPECT_EQ(r->KeyExists("Sec"), 1);
  ASSERT_EQ(r->Open("Sec\\"), 1);
  EXPECT_EQ(r->current_path(), "Sec\\");
  std::string text;
  EXPECT_EQ(r->ReadString("name", &text, "default"), 1);
  EXPECT_EQ(text, "value");
}

TEST_P(ZQRegistryTest, PathIsWholeUsesThePathUnchanged) {
  ZQRegistryHolder holder(true);
  CZQRegistry* reg = holder.Create(false, false);
  EXPECT_TRUE(reg->path_is_whole());
  EXPECT_EQ(reg->FullPath("Software\\Microsoft\\Windows\\CurrentVersion\\Run\\"),
            "Software\\Microsoft\\Windows\\CurrentVersion\\Run");
  ASSERT_EQ(reg->CreateKey("Software\\Microsoft\\Windows\\CurrentVersion\\Run"), 1);
  ASSERT_EQ(reg->WriteString("Tarvel", "C:\\TVL.EXE"), 1);
  EXPECT_TRUE(Raw("Software\\Microsoft\\Windows\\CurrentVersion\\Run"));
}

TEST_P(ZQRegistryTest, AReadOnlyObjectReadsButRefusesEveryWrite) {
  {
    ZQRegistryHolder writer;
    CZQRegistry* w = writer.Create(false, false);
    ASSERT_EQ(w->CreateKey("Sec"), 1);
    w->WriteInt("n", 7);
    w->CreateKey("Sec\\Sub");
  }
  ZQRegistryHolder holder;
  CZQRegistry* reg = holder.Create(false, true);
  EXPECT_EQ(reg->CreateKey("Other"), 0);
  EXPECT_EQ(reg->last_result(), kZqErrorAccessDenied);
  EXPECT_FALSE(Raw("Software\\Tarvel\\Other"));
  ASSERT_EQ(reg->Open("Sec"), 1);
  std::int32_t n = 0;
  EXPECT_EQ(reg->ReadInt("n", &n, -1), 1);
  EXPECT_EQ(n, 7);
  const std::uint8_t bytes[2] = {1, 2};
  EXPECT_EQ(reg->WriteInt("n", 8), 0);
  EXPECT_EQ(reg->WriteDword("d", 8), 0);
  EXPECT_EQ(reg->WriteString("s", "x"), 0);
  EXPECT_EQ(reg->WriteBinary("b", bytes, 2), 0);
  EXPECT_EQ(reg->WriteDouble("f", 1.5), 0);
  EXPECT_EQ(reg->WriteStringArray("a", {"x"}), 0);
  EXPECT_EQ(reg->WriteRect("r", ZqRect{1, 2, 3, 4}), 0);
  EXPECT_EQ(reg->DeleteValue("n"), 0);
  EXPECT_EQ(reg->DeleteKey("Sec\\Sub"), 0);
  EXPECT_EQ(reg->ReadInt("n", &n, -1), 1);
  EXPECT_EQ(n, 7);
  std::vector<std::string> names;
  reg->ReadValueNames(&names);
  EXPECT_EQ(names, std::vector<std::string>{"n"});
  EXPECT_TRUE(Raw("Software\\Tarvel\\Sec\\Sub"));
}

TEST_P(ZQRegistryTest, StringsAreStoredWithTheirTerminator) {
  ZQRegistryHolder holder;
  CZQRegistry* reg = holder.Create(false, false);
  ASSERT_EQ(reg->CreateKey("Sec"), 1);
  ASSERT_EQ(reg->WriteString("s", "abc"), 1);
  EXPECT_EQ(reg->last_value_type(), 1u);
  EXPECT_EQ(reg->last_value_length(), 4u);
  ASSERT_EQ(reg->WriteString("empty", ""), 1);
  seams::RegistryValue raw;
  ASSERT_TRUE(Raw("Software\\Tarvel\\Sec")->ReadValue("s", &raw));
  EXPECT_EQ(raw.type, seams::kRegSz);
  EXPECT_EQ(raw.data, (std::vector<std::uint8_t>{'a', 'b', 'c', 0}));
  ASSERT_TRUE(Raw("Software\\Tarvel\\Sec")->ReadValue("empty", &raw));
  EXPECT_EQ(raw.data, (std::vector<std::uint8_t>{0}));

  std::string text = "x";
  EXPECT_EQ(reg->ReadString("empty", &text, "default"), 1);
  EXPECT_EQ(text, "");
  // Text stops at the first terminator; a value without one is read whole.
  auto key = env.backend().OpenKey(seams::RegistryRoot::CurrentUser, "Software\\Tarvel\\Sec", true);
  seams::RegistryValue odd;
  odd.type = seams::kRegSz;
  odd.data = {'h', 'i', 0, 'x', 0};
  key->WriteValue("odd", odd);
  odd.data = {'n', 'o', 'z'};
  key->WriteValue("unterminated", odd);
  EXPECT_EQ(reg->ReadString("odd", &text, "d"), 1);
  EXPECT_EQ(text, "hi");
  EXPECT_EQ(reg->ReadString("unterminated", &text, "d"), 1);
  EXPECT_EQ(text, "noz");
  // A missing value, or one that is not a string, gives the default.
  EXPECT_EQ(reg->ReadString("missing", &text, "d"), 0);
  EXPECT_EQ(text, "d");
  EXPECT_EQ(reg->last_result(), kZqErrorFileNotFound);
  reg->WriteInt("number", 5);
  EXPECT_EQ(reg->ReadString("number", &text, "d2"), 0);
  EXPECT_EQ(text, "d2");
}

TEST_P(ZQRegistryTest, NumbersAreDwordsAndReadsFallBackToTheirDefaults) {
  ZQRegistryHolder holder;
  CZQRegistry* reg = holder.Create(false, false);
  ASSERT_EQ(reg->CreateKey("Sec"), 1);
  ASSERT_EQ(reg->WriteInt("i", -5), 1);
  ASSERT_EQ(reg->WriteDword("d", 0xFFFFFFFEu), 1);
  seams::RegistryValue raw;
  ASSERT_TRUE(Raw("Software\\Tarvel\\Sec")->ReadValue("i", &raw));
  EXPECT_EQ(raw.type, seams::kRegDword);
  EXPECT_EQ(raw.data, (std::vector<std::uint8_t>{0xFB, 0xFF, 0xFF, 0xFF}));

  std::int32_t i = 0;
  std::uint32_t d = 0;
  EXPECT_EQ(reg->ReadInt("i", &i, 9), 1);
  EXPECT_EQ(i, -5);
  EXPECT_EQ(reg->ReadDword("d", &d, 9), 1);
  EXPECT_EQ(d, 0xFFFFFFFEu);
  EXPECT_EQ(reg->last_value_type(), 4u);
  EXPECT_EQ(reg->last_value_length(), 4u);
  EXPECT_EQ(reg->ReadInt("missing", &i, 9), 0);
  EXPECT_EQ(i, 9);
  EXPECT_EQ(reg->ReadDword("missing", &d, 10), 0);
  EXPECT_EQ(d, 10u);
  // A value that is not 4 bytes long is no number.
  reg->WriteString("s", "long text");
  EXPECT_EQ(reg->ReadInt("s", &i, 11), 0);
  EXPECT_EQ(i, 11);
}

TEST_P(ZQRegistryTest, DoublesAreEightByteBinaryValues) {
  ZQRegistryHolder holder;
  CZQRegistry* reg = holder.Create(false, false);
  ASSERT_EQ(reg->CreateKey("Sec"), 1);
  ASSERT_EQ(reg->WriteDouble("x", 0.016), 1);
  EXPECT_EQ(reg->last_value_type(), 3u);
  EXPECT_EQ(reg->last_value_length(), 8u);
  seams::RegistryValue raw;
  ASSERT_TRUE(Raw("Software\\Tarvel\\Sec")->ReadValue("x", &raw));
  EXPECT_EQ(raw.type, seams::kRegBinary);
  double expected = 0.016;
  std::uint8_t bytes[8];
  std::memcpy(bytes, &expected, 8);  // little-endian machine: memory order
  EXPECT_EQ(raw.data, std::vector<std::uint8_t>(bytes, bytes + 8));

  double v = 0;
  EXPECT_EQ(reg->ReadDouble("x", &v), 1);
  EXPECT_EQ(v, 0.016);
  v = 3.5;
  EXPECT_EQ(reg->ReadDouble("missing", &v), 0);
  EXPECT_EQ(v, 3.5);
  const std::uint8_t shortBlock[4] = {1, 2, 3, 4};
  reg->WriteBinary("short", shortBlock, 4);
  EXPECT_EQ(reg->ReadDouble("short", &v), 0);
  EXPECT_EQ(v, 3.5);

  ASSERT_EQ(reg->WriteUint64("big", 200000000ull * 100), 1);
  std::uint64_t big = 0;
  EXPECT_EQ(reg->ReadUint64("big", &big), 1);
  EXPECT_EQ(big, 20000000000ull);
}

TEST_P(ZQRegistryTest, ReadBinaryOfAMissingValueGivesANullBlock) {
  ZQRegistryHolder holder;
  CZQRegistry* reg = holder.Create(false, false);
  ASSERT_EQ(reg->CreateKey("Sec"), 1);
  std::uint8_t* data = reinterpret_cast<std::uint8_t*>(1);
  std::uint32_t length = 99;
  EXPECT_EQ(reg->ReadBinary("missing", &data, &length), 0);
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(length, 0u);

  const std::uint8_t bytes[3] = {7, 8, 9};
  ASSERT_EQ(reg->WriteBinary("b", bytes, 3), 1);
  ASSERT_EQ(reg->ReadBinary("b", &data, &length), 1);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(length, 3u);
  EXPECT_EQ(data[2], 9);
  delete[] data;
}

TEST_P(ZQRegistryTest, OpenCloseAndExistence) {
  ZQRegistryHolder holder;
  CZQRegistry* reg = holder.Create(false, false);
  EXPECT_EQ(reg->Open("Missing"), 0);
  EXPECT_EQ(reg->last_result(), kZqErrorFileNotFound);
  EXPECT_FALSE(reg->has_open_key());
  EXPECT_EQ(reg->KeyExists("Missing"), 0);
  EXPECT_FALSE(Raw("Software\\Tarvel\\Missing")) << "reading never creates keys";

  ASSERT_EQ(reg->CreateKey("A"), 1);
  EXPECT_TRUE(reg->has_open_key());
  reg->WriteInt("x", 1);
  EXPECT_EQ(reg->ValueExists("x"), 1);
  EXPECT_EQ(reg->ValueExists("y"), 0);
  ASSERT_EQ(reg->CreateKey("B"), 1);
  EXPECT_EQ(reg->ValueExists("x"), 0);
  ASSERT_EQ(reg->Open("A"), 1);
  EXPECT_EQ(reg->last_value_type(), 0u);
  EXPECT_EQ(reg->ValueExists("x"), 1);
  EXPECT_EQ(reg->DeleteValue("x"), 1);
  EXPECT_EQ(reg->ValueExists("x"), 0);
  EXPECT_EQ(reg->Close(), 1);
  EXPECT_FALSE(reg->has_open_key());
  EXPECT_EQ(reg->current_path(), "");
  // A failed open leaves the object on the root.
  EXPECT_EQ(reg->Open("A"), 1);
  EXPECT_EQ(reg->Open("Nope"), 0);
  EXPECT_FALSE(reg->has_open_key());
}

TEST_P(ZQRegistryTest, DeleteKeyRemovesNestedSubkeysDepthFirst) {
  ZQRegistryHolder holder;
  CZQRegistry* reg = holder.Create(false, false);
  for (const char* path : {"Top\\A\\A1\\A11", "Top\\A\\A2", "Top\\B", "Keep"}) {
    ASSERT_EQ(reg->CreateKey(path), 1);
    reg->WriteInt("v", 1);
  }
  ASSERT_EQ(reg->Open("Top\\A"), 1);  // an open key under the one deleted is closed first
  EXPECT_EQ(reg->DeleteKey("Top\\"), 1);
  EXPECT_FALSE(reg->has_open_key());
  EXPECT_FALSE(Raw("Software\\Tarvel\\Top"));
  EXPECT_TRUE(Raw("Software\\Tarvel\\Keep"));
  EXPECT_EQ(reg->DeleteKey("Top"), 0);
}

TEST_P(ZQRegistryTest, EnumeratesValueAndSubkeyNames) {
  ZQRegistryHolder holder;
  CZQRegistry* reg = holder.Create(false, false);
  ASSERT_EQ(reg->CreateKey("Sec\\Child"), 1);
  ASSERT_EQ(reg->CreateKey("Sec"), 1);
  std::vector<std::string> names = {"kept"};
  EXPECT_EQ(reg->ReadValueNames(&names), 0) << "no values";
  reg->WriteInt("one", 1);
  reg->WriteString("two", "2");
  EXPECT_EQ(reg->ReadValueNames(&names), 1);
  EXPECT_EQ(names, (std::vector<std::string>{"kept", "one", "two"}));
  std::vector<std::string> keys;
  EXPECT_EQ(reg->ListSubkeyNames(&keys), 1);
  EXPECT_EQ(keys, std::vector<std::string>{"Child"});
}

class Pair : public settings::ArchiveObject {
public:
  void Serialize(settings::Archive& ar) override {
    if (ar.IsStoring())
      ar << a << name;
    else
      ar >> a >> name;
  }
  std::int32_t a = 0;
  std::string name;
};

TEST_P(ZQRegistryTest, CompositeValuesAreArchiveBytesInOneBinaryValue) {
  ZQRegistryHolder holder;
  CZQRegistry* reg = holder.Create(false, false);
  ASSERT_EQ(reg->CreateKey("Sec"), 1);
  ASSERT_EQ(reg->WriteStringArray("strings", {"a", "bc"}), 1);
  seams::RegistryValue raw;
  ASSERT_TRUE(Raw("Software\\Tarvel\\Sec")->ReadValue("strings", &raw));
  EXPECT_EQ(raw.type, seams::kRegBinary);
  EXPECT_EQ(raw.data, (std::vector<std::uint8_t>{2, 0, 1, 'a', 2, 'b', 'c'}));

  ASSERT_EQ(reg->WriteStringList("list", {"x"}), 1);
  ASSERT_EQ(reg->WriteByteArray("bytes", {1, 2, 3}), 1);
  ASSERT_EQ(reg->WriteWordArray("words", {0x1234}), 1);
  ASSERT_EQ(reg->WriteDwordArray("dwords", {5, 6}), 1);
  ASSERT_EQ(reg->WriteRect("rect", ZqRect{-1, 2, 300, 400}), 1);
  ASSERT_EQ(reg->WritePoint("point", ZqPoint{-7, 8}), 1);
  Pair p;
  p.a = 42;
  p.name = "pair";
  ASSERT_EQ(reg->WriteObject("object", p), 1);
  ASSERT_TRUE(Raw("Software\\Tarvel\\Sec")->ReadValue("rect", &raw));
  EXPECT_EQ(raw.data.size(), 16u);
  ASSERT_TRUE(Raw("Software\\Tarvel\\Sec")->ReadValue("point", &raw));
  EXPECT_EQ(raw.data.size(), 22u);

  ZQRegistryHolder readerHolder;
  CZQRegistry* r = readerHolder.Create(false, true);
  ASSERT_EQ(r->Open("Sec"), 1);
  std::vector<std::string> strings = {"stale"};
  EXPECT_EQ(r->ReadStringArray("strings", &strings), 1);
  EXPECT_EQ(strings, (std::vector<std::string>{"a", "bc"}));
  EXPECT_EQ(r->ReadStringList("list", &strings), 1);
  EXPECT_EQ(strings, std::vector<std::string>{"x"});
  std::vector<std::uint8_t> bytes;
  std::vector<std::uint16_t> words;
  std::vector<std::uint32_t> dwords;
  EXPECT_EQ(r->ReadByteArray("bytes", &bytes), 1);
  EXPECT_EQ(r->ReadWordArray("words", &words), 1);
  EXPECT_EQ(r->ReadDwordArray("dwords", &dwords), 1);
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(words, std::vector<std::uint16_t>{0x1234});
  EXPECT_EQ(dwords, (std::vector<std::uint32_t>{5, 6}));
  ZqRect rect;
  EXPECT_EQ(r->ReadRect("rect", &rect, ZqRect{}), 1);
  EXPECT_EQ(rect, (ZqRect{-1, 2, 300, 400}));
  ZqPoint point;
  EXPECT_EQ(r->ReadPoint("point", &point, ZqPoint{}), 1);
  EXPECT_EQ(point, (ZqPoint{-7, 8}));
  Pair q;
  EXPECT_EQ(r->ReadObject("object", q), 1);
  EXPECT_EQ(q.a, 42);
  EXPECT_EQ(q.name, "pair");

  // Missing or damaged values: the default, or 0.
  EXPECT_EQ(r->ReadRect("missing", &rect, ZqRect{1, 1, 1, 1}), 0);
  EXPECT_EQ(rect, (ZqRect{1, 1, 1, 1}));
  EXPECT_EQ(r->ReadPoint("missing", &point, ZqPoint{3, 3}), 0);
  EXPECT_EQ(point, (ZqPoint{3, 3}));
}

TEST_P(ZQRegistryTest, DamagedArchivesAnswerZero) {
  ZQRegistryHolder holder;
  CZQRegistry* reg = holder.Create(false, false);
  ASSERT_EQ(reg->CreateKey("Sec"), 1);
  const std::uint8_t damaged[3] = {9, 0, 1};  // nine strings announced, one byte left
  reg->WriteBinary("bad", damaged, 3);
  std::vector<std::string> strings;
  EXPECT_EQ(reg->ReadStringArray("bad", &strings), 0);
  EXPECT_EQ(reg->last_result(), kZqErrorInvalidData);
  ZqRect rect;
  EXPECT_EQ(reg->ReadRect("bad", &rect, ZqRect{5, 6, 7, 8}), 0);
  EXPECT_EQ(rect, (ZqRect{5, 6, 7, 8}));
  ZqPoint point;
  EXPECT_EQ(reg->ReadPoint("bad", &point, ZqPoint{1, 2}), 0);
  EXPECT_EQ(point, (ZqPoint{1, 2}));
  std::unique_ptr<settings::ArchiveObject> object;
  const std::uint8_t unknownClass[] = {0xFF, 0xFF, 1, 0, 3, 0, 'C', 'Z', 'z'};
  reg->WriteBinary("unknown", unknownClass, sizeof unknownClass);
  EXPECT_EQ(reg->ReadObjectPtr("unknown", &object), 0);
  EXPECT_FALSE(object);
}

INSTANTIATE_TEST_SUITE_P(Backends, ZQRegistryTest, testing::Values(Backend::Memory, Backend::Strict),
                         settings_test::BackendName);

}  // namespace
