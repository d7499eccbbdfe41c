#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/settings/ArchiveBytes.h"

using settings::Archive;
using settings::ArchiveException;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Stored(void (*fill)(Archive&)) {
  Archive ar;
  fill(ar);
  return ar.bytes();
}

TEST(ArchiveBytes, ScalarsAreLittleEndian) {
  Archive ar;
  ar << std::uint8_t{0xAB} << std::uint16_t{0x1234} << std::uint32_t{0x89ABCDEF} << std::int32_t{-2};
  ar.WriteDouble(1.0);
  EXPECT_EQ(ar.bytes(), (Bytes{0xAB, 0x34, 0x12, 0xEF, 0xCD, 0xAB, 0x89, 0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0,
                               0, 0, 0xF0, 0x3F}));
  Archive in(ar.bytes());
  EXPECT_EQ(in.ReadByte(), 0xAB);
  EXPECT_EQ(in.ReadWord(), 0x1234);
  EXPECT_EQ(in.ReadDword(), 0x89ABCDEFu);
  EXPECT_EQ(in.ReadInt(), -2);
  EXPECT_EQ(in.ReadDouble(), 1.0);
  EXPECT_EQ(in.Remaining(), 0u);
}

TEST(ArchiveBytes, StringLengthPrefixes) {
  EXPECT_EQ(Stored([](Archive& ar) { ar.WriteString("ab"); }), (Bytes{2, 'a', 'b'}));
  EXPECT_EQ(Stored([](Archive& ar) { ar.WriteString(""); }), (Bytes{0}));

  Bytes b254 = Stored([](Archive& ar) { ar.WriteString(std::string(254, 'x')); });
  EXPECT_EQ(b254.size(), 255u);
  EXPECT_EQ(b254[0], 254);

  Bytes b255 = Stored([](Archive& ar) { ar.WriteString(std::string(255, 'x')); });
  ASSERT_EQ(b255.size(), 258u);
  EXPECT_EQ(b255[0], 0xFF);
  EXPECT_EQ(b255[1], 0xFF);
  EXPECT_EQ(b255[2], 0x00);

  Bytes big = Stored([](Archive& ar) { ar.WriteString(std::string(0xFFFE, 'y')); });
  ASSERT_EQ(big.size(), 7u + 0xFFFE);
  EXPECT_EQ((Bytes(big.begin(), big.begin() + 7)), (Bytes{0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0, 0}));

  for (std::size_t len : {0u, 1u, 254u, 255u, 0xFFFDu, 0xFFFEu, 70000u}) {
    Archive ar;
    std::string s(len, 'q');
    ar.WriteString(s);
    Archive in(ar.bytes());
    EXPECT_EQ(in.ReadString(), s) << len;
  }
}

TEST(ArchiveBytes, ReadsAUtf16StringOfALaterFramework) {
  // 0xFF, 0xFFFE marker, then the length and UTF-16 units.
  Archive in(Bytes{0xFF, 0xFE, 0xFF, 3, 'a', 0, 0xE9, 0, 0xAC, 0x20});
  EXPECT_EQ(in.ReadString(), "a\xC3\xA9\xE2\x82\xAC");
}

TEST(ArchiveBytes, CountsAndCollections) {
  EXPECT_EQ(Stored([](Archive& ar) { ar.WriteCount(5); }), (Bytes{5, 0}));
  EXPECT_EQ(Stored([](Archive& ar) { ar.WriteCount(0xFFFF); }), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0, 0}));
  EXPECT_EQ(Stored([](Archive& ar) {
              ar.WriteStringArray({"a", "bc"});
            }),
            (Bytes{2, 0, 1, 'a', 2, 'b', 'c'}));
  EXPECT_EQ(Stored([](Archive& ar) { ar.WriteByteArray({1, 2}); }), (Bytes{2, 0, 1, 2}));
  EXPECT_EQ(Stored([](Archive& ar) { ar.WriteWordArray({0x102}); }), (Bytes{1, 0, 2, 1}));
  EXPECT_EQ(Stored([](Archive& ar) { ar.WriteDwordArray({7}); }), (Bytes{1, 0, 7, 0, 0, 0}));

  Archive ar;
  ar.WriteStringArray({"x", "", std::string(300, 'z')});
  ar.WriteByteArray({9, 8, 7});
  ar.WriteWordArray({1, 0xFFFF});
  ar.WriteDwordArray({0xDEADBEEF, 0});
  Archive in(ar.bytes());
  std::vector<std::string> s = {"old"};
  std::vector<std::uint8_t> b;
  std::vector<std::uint16_t> w;
  std::vector<std::uint32_t> d;
  in.ReadStringArray(&s);
  in.ReadByteArray(&b);
  in.ReadWordArray(&w);
  in.ReadDwordArray(&d);
  EXPECT_EQ(s, (std::vector<std::string>{"x", "", std::string(300, 'z')}));
  EXPECT_EQ(b, (std::vector<std::uint8_t>{9, 8, 7}));
  EXPECT_EQ(w, (std::vector<std::uint16_t>{1, 0xFFFF}));
  EXPECT_EQ(d, (std::vector<std::uint32_t>{0xDEADBEEF, 0}));
}

TEST(ArchiveBytes, ReadingPastTheEndThrows) {
  Archive in(Bytes{1, 2, 3});
  EXPECT_THROW(in.ReadDword(), ArchiveException);
  Archive s(Bytes{5, 'a'});
  EXPECT_THROW(s.ReadString(), ArchiveException);
  Archive huge(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F});  // a count far beyond the bytes
  std::vector<std::string> strings;
  EXPECT_THROW(huge.ReadStringArray(&strings), ArchiveException);
  Archive storing;
  EXPECT_THROW(storing.ReadByte(), ArchiveException);
}

// Objects by pointer: class tags and back references.
class Item : public settings::ArchiveObject {
public:
  static const settings::ArchiveClass kClass;
  const settings::ArchiveClass* GetArchiveClass() const override { return &kClass; }
  void Serialize(Archive& ar) override {
    if (ar.IsStoring())
      ar << value;
    else
      ar >> value;
  }
  std::int32_t value = 0;
};
const settings::ArchiveClass Item::kClass = {
    "CItem", 1, [] { return std::unique_ptr<settings::ArchiveObject>(new Item); }};

TEST(ArchiveBytes, ObjectsCarryClassTagsAndBackReferences) {
  settings::RegisterArchiveClass(&Item::kClass);
  Item a, b;
  a.value = 5;
  b.value = 6;
  Archive ar;
  ar.WriteObject(&a);
  ar.WriteObject(&b);
  ar.WriteObject(&a);
  ar.WriteObject(nullptr);
  EXPECT_EQ(ar.bytes(),
            (Bytes{0xFF, 0xFF, 1, 0, 5, 0, 'C', 'I', 't', 'e', 'm', 5, 0, 0, 0,  // new class 1, object 2
                   0x01, 0x80, 6, 0, 0, 0,                                       // class 1, object 3
                   0x02, 0x00,                                                   // object 2 again
                   0x00, 0x00}));                                                // null

  Archive in(ar.bytes());
  auto first = in.ReadObject();
  auto second = in.ReadObject();
  settings::ArchiveObject* shared = nullptr;
  auto third = in.ReadObject(&shared);
  auto fourth = in.ReadObject();
  ASSERT_TRUE(first && second);
  EXPECT_EQ(static_cast<Item*>(first.get())->value, 5);
  EXPECT_EQ(static_cast<Item*>(second.get())->value, 6);
  EXPECT_FALSE(third);
  EXPECT_EQ(shared, first.get());
  EXPECT_FALSE(fourth);
}

TEST(ArchiveBytes, ObjectListsRoundTripAndUnknownClassesThrow) {
  settings::RegisterArchiveClass(&Item::kClass);
  Item a, b;
  a.value = -1;
  b.value = 1000;
  Archive ar;
  ar.WriteObjectList({&a, &b});
  Archive in(ar.bytes());
  std::vector<std::unique_ptr<settings::ArchiveObject>> list;
  in.ReadObjectList(&list);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(static_cast<Item*>(list[0].get())->value, -1);
  EXPECT_EQ(static_cast<Item*>(list[1].get())->value, 1000);

  Archive unknown(Bytes{0xFF, 0xFF, 1, 0, 4, 0, 'C', 'N', 'o', 'p'});
  EXPECT_THROW(unknown.ReadObject(), ArchiveException);
  Archive badSchema(Bytes{0xFF, 0xFF, 2, 0, 5, 0, 'C', 'I', 't', 'e', 'm', 0, 0, 0, 0});
  EXPECT_THROW(badSchema.ReadObject(), ArchiveException);
  Archive badIndex(Bytes{0x05, 0x80});
  EXPECT_THROW(badIndex.ReadObject(), ArchiveException);
}

}  // namespace
