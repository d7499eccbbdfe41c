// The mouse manager's double-click commands per view, and their record in the
// registry: the REG_BINARY value "Mouse" of the "TKMouseManager" section.
#include "support/wine/GTestWin.h"

#include "toolkit/bars/TKMouseManager.h"

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

constexpr const char* kProfile = "Software\\Tarvel Tests\\Mouse\\";
constexpr const char* kSection = "Software\\Tarvel Tests\\Mouse\\TKMouseManager";

std::vector<BYTE> StoredValue() {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, kSection, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  DWORD type = 0, size = 0;
  std::vector<BYTE> bytes;
  if (::RegQueryValueExA(key, "Mouse", nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_BINARY) {
    bytes.resize(size);
    ::RegQueryValueExA(key, "Mouse", nullptr, &type, bytes.data(), &size);
  }
  ::RegCloseKey(key);
  return bytes;
}

void StoreValue(const std::vector<BYTE>& bytes) {
  HKEY key = nullptr;
  ASSERT_EQ(
      ::RegCreateKeyExA(HKEY_CURRENT_USER, kSection, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
      ERROR_SUCCESS);
  ::RegSetValueExA(key, "Mouse", 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
  ::RegCloseKey(key);
}

std::vector<BYTE> Words(std::initializer_list<DWORD> words) {
  std::vector<BYTE> bytes;
  for (DWORD word : words)
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<BYTE>(word >> (8 * i)));
  return bytes;
}

class MouseManager : public ::testing::Test {
protected:
  void SetUp() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tarvel Tests\\Mouse"); }
  void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tarvel Tests\\Mouse"); }
};

TEST_F(MouseManager, ViewsAreFoundByNameAndKeepOneDoubleClickCommandEach) {
  CTKMouseManager mouse;
  EXPECT_EQ(g_pMouseManager, &mouse);
  ASSERT_TRUE(mouse.AddView(7, "Waveform", 130));
  ASSERT_TRUE(mouse.AddView(8, "Rulers"));
  EXPECT_FALSE(mouse.AddView(9, "Waveform"));
  EXPECT_EQ(mouse.GetViewIdByName("Waveform"), 7);
  EXPECT_EQ(mouse.GetViewIdByName("Meter"), -1);
  EXPECT_EQ(mouse.GetViewIconId(7), 130u);
  EXPECT_EQ(mouse.GetViewIconId(8), 0u);
  CStringList names;
  mouse.GetViewNames(names);
  EXPECT_EQ(names.GetCount(), 2);

  struct Step {
    UINT assign;
    UINT expected;
  };
  // A second command replaces the first; 0 removes it.
  const Step steps[] = {{0, 0}, {32771, 32771}, {32772, 32772}, {0, 0}};
  for (const Step& s : steps) {
    mouse.SetCommandForDblClick(7, s.assign);
    EXPECT_EQ(mouse.GetViewDblClickCommand(7), s.expected) << s.assign;
    EXPECT_EQ(mouse.GetViewDblClickCommand(8), 0u);
  }
}

TEST_F(MouseManager, TheAssignmentsAreStoredAsACountAndPairsOfWords) {
  struct Case {
    const char* what;
    std::vector<std::pair<int, UINT>> assignments;
    std::vector<BYTE> stored;
  };
  const Case cases[] = {
      {"none: only a count of 0", {}, Words({0})},
      {"one view", {{7, 32771}}, Words({1, 7, 32771})},
  };
  for (const Case& c : cases) {
    {
      CTKMouseManager mouse;
      for (const auto& [view, command] : c.assignments) mouse.SetCommandForDblClick(view, command);
      ASSERT_TRUE(mouse.SaveState(kProfile)) << c.what;
    }
    EXPECT_EQ(StoredValue(), c.stored) << c.what;
    CTKMouseManager loaded;
    loaded.SetCommandForDblClick(3, 40000);
    ASSERT_TRUE(loaded.LoadState(kProfile)) << c.what;
    EXPECT_EQ(loaded.GetViewDblClickCommand(3), 0u) << c.what;
    for (const auto& [view, command] : c.assignments) EXPECT_EQ(loaded.GetViewDblClickCommand(view), command);
  }
}

TEST_F(MouseManager, ADamagedOrMissingValueLoadsNothing) {
  CTKMouseManager mouse;
  EXPECT_FALSE(mouse.LoadState(kProfile));
  // Two assignments announced, one and a half stored.
  std::vector<BYTE> damaged = Words({2, 7, 32771, 8});
  damaged.resize(damaged.size() - 2);
  StoreValue(damaged);
  EXPECT_FALSE(mouse.LoadState(kProfile));
  EXPECT_EQ(mouse.GetViewDblClickCommand(8), 0u);
}

}  // namespace
