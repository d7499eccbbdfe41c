#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

#include "platform/seams/MessageBox.h"
#include "platform/seams/Progress.h"
#include "platform/seams/Registry.h"
#include "platform/seams/WindowMessages.h"

namespace {

struct Recorded {
  seams::WindowHandle window;
  std::uint32_t message;
  std::uintptr_t wParam;
  std::intptr_t lParam;
};

class RecordingPoster : public seams::MessagePoster {
public:
  bool Post(seams::WindowHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) noexcept override {
    std::lock_guard lock(mutex);
    posted.push_back({w, m, wp, lp});
    return true;
  }
  std::mutex mutex;
  std::vector<Recorded> posted;
};

TEST(MessagePosting, ReachesTheInstalledPosterFromAnyThreadAndRefusesWithoutOne) {
  EXPECT_FALSE(seams::PostWindowMessage(7, 0x5E0, 1, 2));

  RecordingPoster poster;
  seams::SetMessagePoster(&poster);
  std::thread other([] {
    for (int i = 0; i < 100; ++i) seams::PostWindowMessage(7, 0x5E0, i, -i);
  });
  other.join();
  EXPECT_FALSE(seams::PostWindowMessage(0, 0x5E0, 0, 0)) << "no window, no message";
  seams::SetMessagePoster(nullptr);

  ASSERT_EQ(poster.posted.size(), 100u);
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(poster.posted[i].wParam, static_cast<std::uintptr_t>(i));
    EXPECT_EQ(poster.posted[i].lParam, -i);
  }
}

TEST(MessageBox, WithoutAServiceAnswersTheDefaultButton) {
  EXPECT_EQ(seams::ShowMessageBox("text", "caption", seams::kMbOk), seams::kIdOk);
  EXPECT_EQ(seams::ShowMessageBox("Save?", "caption", seams::kMbYesNoCancel), seams::kIdYes);
}

TEST(Progress, WithoutAFactoryIsSilentAndNeverCancelled) {
  auto progress = seams::CreateProgressWindow();
  ASSERT_TRUE(progress->Show("Progress"));
  EXPECT_EQ(progress->SetPos(10), 0);
  EXPECT_EQ(progress->SetPos(20), 10);
  progress->PumpMessages(true);
  EXPECT_FALSE(progress->Cancelled());
}

TEST(MemoryRegistry, KeysValuesEnumerationAndDeletion) {
  seams::MemoryRegistry reg;
  using seams::RegistryRoot;
  EXPECT_EQ(reg.OpenKey(RegistryRoot::CurrentUser, "Software\\Tarvel", false), nullptr);

  auto key = reg.CreateKey(RegistryRoot::CurrentUser, "Software\\Tarvel\\Section\\");
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(key->WriteValue("Name", seams::MakeStringValue("abc")));
  ASSERT_TRUE(key->WriteValue("Count", seams::MakeDwordValue(0x12345678)));

  auto read_only = reg.OpenKey(RegistryRoot::CurrentUser, "software\\TARVEL\\section", false);
  ASSERT_NE(read_only, nullptr) << "names compare case-insensitively";
  EXPECT_FALSE(read_only->WriteValue("x", seams::MakeDwordValue(1)));
  seams::RegistryValue value;
  ASSERT_TRUE(read_only->ReadValue("name", &value));
  EXPECT_EQ(value.data.size(), 4u) << "strings keep their terminator";
  std::string text;
  ASSERT_TRUE(seams::ValueAsString(value, &text));
  EXPECT_EQ(text, "abc");
  std::uint32_t number = 0;
  ASSERT_TRUE(read_only->ReadValue("COUNT", &value));
  ASSERT_TRUE(seams::ValueAsDword(value, &number));
  EXPECT_EQ(number, 0x12345678u);
  EXPECT_FALSE(seams::ValueAsDword(seams::MakeStringValue("1"), &number));

  std::string name;
  ASSERT_TRUE(read_only->EnumValue(0, &name));
  EXPECT_EQ(name, "Count");
  EXPECT_FALSE(read_only->EnumValue(2, &name));
  auto parent = reg.OpenKey(RegistryRoot::CurrentUser, "Software\\Tarvel", false);
  ASSERT_TRUE(parent->EnumKey(0, &name));
  EXPECT_EQ(name, "Section") << "enumeration keeps the original spelling";

  EXPECT_TRUE(reg.DeleteKey(RegistryRoot::CurrentUser, "Software\\Tarvel"));
  EXPECT_EQ(reg.OpenKey(RegistryRoot::CurrentUser, "Software\\Tarvel\\Section", false), nullptr);
  EXPECT_FALSE(reg.DeleteKey(RegistryRoot::CurrentUser, "Software\\Tarvel"));
}

}  // namespace
