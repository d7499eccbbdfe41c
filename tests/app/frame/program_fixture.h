// What the tests that drive the program through a take share: the audio rig with its
// microphone playing a sine, the program's settings cleared before and after each test,
// an output and a temporary folder of the test's own, and a log file named after it.
#pragma once

#include "support/wine/GTestWin.h"

#include "support/wine/AudioRigForWine.h"
#include "support/wine/ProgramDriver.h"
#include "support/wine/TempFolder.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdio>
#include <string>
#include "platform/afx/linux_headers_end.h"

namespace programtest {

constexpr int kSineHz = 1000;

class ProgramFixture : public ::testing::Test {
protected:
  // Folder names as the user would see them; logPrefix names the test's log file.
  ProgramFixture(const char* outputName, const char* tempName, const char* logPrefix)
      : m_output(outputName), m_temp(tempName), m_logPrefix(logPrefix) {}

  static void SetUpTestSuite() { s_rig = new winetest::AudioRigForWine; }
  static void TearDownTestSuite() {
    delete s_rig;
    s_rig = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(s_rig->Ok());
    ASSERT_TRUE(s_rig->StartSine(kSineHz));
    winetest::ClearProgramSettings();
    m_log = std::string(TARVEL_TEST_BINARY_DIR) + "/" + m_logPrefix +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".log";
    std::remove(m_log.c_str());
  }
  void TearDown() override { winetest::ClearProgramSettings(); }

  // The settings a user would have chosen: the rig's devices, 16-bit stereo at 44.1 kHz,
  // takes named "take001…" in the test's folder and saved when they stop.
  void Configure(int mode, int fileType) {
    winetest::WriteRecordingSettings(mode, fileType, m_output.Path(), m_temp.Path());
  }

  static inline winetest::AudioRigForWine* s_rig = nullptr;
  winetest::TempFolder m_output;
  winetest::TempFolder m_temp;
  std::string m_logPrefix;
  std::string m_log;
};

}  // namespace programtest
