#include "support/wine/GTestWin.h"

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include "app/settings/AdvanceRecordSetting.h"
#include "app/settings/FileOutputOptions.h"
#include "platform/afx/linux_headers_end.h"

#include "platform/seams/win32/Win32Seams.h"

namespace {

// The settings records against Wine's real registry: what one run saves, the next run
// reads back, with the value types other tools see.
TEST(SettingsInWinesRegistry, RecordsRoundTripWithTheirValueTypes) {
  seams::Win32Registry registry;
  seams::RegistryBackend* previous = seams::SetRegistryBackend(&registry);
  registry.DeleteKey(seams::RegistryRoot::CurrentUser, "Software\\Tarvel\\AdvanceRecordSetting");
  registry.DeleteKey(seams::RegistryRoot::CurrentUser, "Software\\Tarvel\\FileOutputOptions");

  AdvanceRecordSetting saved;
  saved.TimeLimitTo = 1234.5;
  saved.TimeLimitType = 1;
  saved.ActiveRecordingMode = 1;
  saved.ActionsOfSavingMode = 3;
  saved.AutoSplitTimeSeconds = 0.25;
  ASSERT_NE(saved.Save(), 0);
  FileOutputOptions output;
  output.strAutoNameFolder = "C:\\Recordings\\";
  output.strFileLeadName = "Lecture";
  ASSERT_NE(output.Save(), 0);

  AdvanceRecordSetting loaded;
  ASSERT_NE(loaded.Load(), 0);
  EXPECT_EQ(loaded.TimeLimitTo, 1234.5);
  EXPECT_EQ(loaded.TimeLimitType, 1);
  EXPECT_EQ(loaded.ActiveRecordingMode, 1);
  EXPECT_EQ(loaded.ActionsOfSavingMode, 3);
  EXPECT_EQ(loaded.AutoSplitTimeSeconds, 0.25);
  FileOutputOptions reread;
  ASSERT_NE(reread.Load(), 0);
  EXPECT_EQ(reread.strAutoNameFolder, "C:\\Recordings\\");
  EXPECT_EQ(reread.strFileLeadName, "Lecture");

  HKEY key;
  ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tarvel\\AdvanceRecordSetting", 0, KEY_READ, &key),
            ERROR_SUCCESS);
  struct Expected {
    const char* name;
    DWORD type;
    DWORD size;
  };
  for (const Expected& e : {Expected{"TimeLimitTo", REG_BINARY, 8}, Expected{"TimeLimitType", REG_DWORD, 4},
                            Expected{"AutoSplitTimeSeconds", REG_BINARY, 8}}) {
    DWORD type = 0, size = 0;
    ASSERT_EQ(::RegQueryValueExA(key, e.name, nullptr, &type, nullptr, &size), ERROR_SUCCESS) << e.name;
    EXPECT_EQ(type, e.type) << e.name;
    EXPECT_EQ(size, e.size) << e.name;
  }
  ::RegCloseKey(key);
  ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tarvel\\FileOutputOptions", 0, KEY_READ, &key),
            ERROR_SUCCESS);
  DWORD type = 0, size = 0;
  ASSERT_EQ(::RegQueryValueExA(key, "strAutoNameFolder", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, sizeof("C:\\Recordings\\")) << "the text and its terminator";
  ::RegCloseKey(key);

  seams::SetRegistryBackend(previous);
}

}  // namespace
