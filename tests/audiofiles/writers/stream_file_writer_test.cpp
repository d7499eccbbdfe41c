// What the streaming writers share: the output file names of split and unsplit
// recordings, the automatic names from the output settings, and the read-outs the
// recording display asks for.
#include <gtest/gtest.h>

#include <string>

#include "app/settings/FileOutputOptions.h"
#include "app/settings/SettingsPlatform.h"
#include "app/settings/SoundDeviceOptions.h"
#include "audiofiles/writers/WavStreamWriter.h"
#include "tests/audiofiles/writers/writer_test_support.h"

namespace {

using namespace writertest;

// The program file lies in the test's folder, so the output settings' default folder
// is made there.
class TempProgramPlatform : public settings::NativeSettingsPlatform {
public:
  explicit TempProgramPlatform(std::string program) : program_(std::move(program)) {}
  std::string ProgramFilePath() override { return program_; }

private:
  std::string program_;
};

class StreamFileWriterTest : public ::testing::Test {
protected:
  void SetUp() override { oldPlatform_ = settings::SetSettingsPlatform(&platform_); }
  void TearDown() override { settings::SetSettingsPlatform(oldPlatform_); }

  TempFolder dir;
  TempProgramPlatform platform_{dir / "tarvel"};
  settings::SettingsPlatform* oldPlatform_ = nullptr;
  WriterSettingsScope scope{dir / "rec", "wav"};
};

TEST_F(StreamFileWriterTest, NamesOfSplitAndUnsplitRecordings) {
  EngineRig rig(2, 44100);
  WavStreamWriter writer(rig.slot());
  EXPECT_EQ(writer.MakeNextName(), dir / "rec.wav");
  EXPECT_EQ(writer.MakeNextName(), dir / "rec.wav");
  EXPECT_EQ(writer.GetFileCounter(), 1);

  scope.Split(1.0);
  EXPECT_EQ(writer.MakeNextName(), dir / "rec-1.wav");
  EXPECT_EQ(writer.MakeNextName(), dir / "rec-2.wav");
  EXPECT_EQ(writer.GetName(), dir / "rec-2.wav");
  EXPECT_EQ(writer.GetFileCounter(), 3);
  EXPECT_EQ(writer.Prepare(), 1);
  EXPECT_EQ(writer.GetFileCounter(), 1);

  // Silence detection with the New File action splits too; the editing mode never does.
  scope.record.EnableAutoSplit = 0;
  scope.record.EnableSilenceDetection = 1;
  scope.record.ActionsOfSavingMode = 3;
  EXPECT_EQ(writer.MakeNextName(), dir / "rec-1.wav");
  scope.record.ActiveRecordingMode = 0;
  EXPECT_EQ(writer.MakeNextName(), dir / "rec.wav");
}

TEST_F(StreamFileWriterTest, AutomaticNamesComeFromTheOutputSettings) {
  FileOutputOptions output;
  output.strAutoNameFolder = dir.path();
  output.strFileLeadName = "Take";
  output.uFileNameDigitCount = 3;
  output.uStartNO = 7;
  output.eFileType = 1;
  StreamWriterSettings s = GetStreamWriterSettings();
  s.output = &output;
  const StreamWriterSettings old = SetStreamWriterSettings(s);

  EngineRig rig(2, 44100);
  WavStreamWriter writer(rig.slot());
  std::string shown;
  ASSERT_EQ(writer.MakeFileName(&shown), 1);
  EXPECT_EQ(shown, dir / "Take007.wav");
  EXPECT_EQ(output.uStartNO, 7u) << "showing the name does not count";

  ASSERT_EQ(PrepareAutoFileName(), 1);
  EXPECT_EQ(GetAutoBaseName(), dir / "Take007");
  EXPECT_EQ(GetAutoExtension(), "wav");
  EXPECT_EQ(output.uStartNO, 8u);

  // A split recording that has started its third file shows the fourth.
  scope.Split(0.5);
  EXPECT_EQ(writer.Prepare(), 1);
  for (int i = 0; i < 3; ++i) writer.MakeNextName();
  EXPECT_EQ(writer.GetName(), dir / "Take007-3.wav");
  EXPECT_EQ(writer.GetFileCounter(), 4);
  ASSERT_EQ(writer.MakeFileName(&shown), 1);
  EXPECT_EQ(shown, dir / "Take008-4.wav");

  SetStreamWriterSettings(old);
  EXPECT_EQ(writer.MakeFileName(&shown), 0) << "no output settings, no name";
  const std::string base = GetAutoBaseName();
  EXPECT_EQ(PrepareAutoFileName(), 0);
  EXPECT_EQ(GetAutoBaseName(), base);
}

TEST_F(StreamFileWriterTest, ReadOutsForTheRecordingDisplay) {
  StreamMixer* none = nullptr;
  WavStreamWriter lonely(&none);
  EXPECT_EQ(lonely.GetFileSeconds(), 0.0);
  EXPECT_EQ(lonely.GetFileBytes(), 0);

  SoundDeviceOptions device;
  device.SampleRate = 22050;
  StreamWriterSettings s = GetStreamWriterSettings();
  s.device = &device;
  const StreamWriterSettings old = SetStreamWriterSettings(s);
  EXPECT_EQ(GetRecordingSampleRate(), 22050);
  SetStreamWriterSettings(old);

  // The mixer's time, from the start of the current file.
  EngineRig rig(1, 44100);
  scope.encode.WavChannelMode = 0;
  WavStreamWriter writer(rig.slot());
  ASSERT_EQ(writer.Open(1, rig.rings(), 44100), 1);
  std::vector<float> signal = Sines(22050, 44100, {440.0}, {0.5});
  rig.Callback(signal.data(), 22050);
  ASSERT_EQ(writer.WriteBlock(), 1);
  EXPECT_NEAR(writer.GetFileSeconds(), 0.5, 1e-9);
  ASSERT_EQ(writer.NextFile(), 1);
  rig.Callback(signal.data(), 11025);
  ASSERT_EQ(writer.WriteBlock(), 1);
  EXPECT_NEAR(writer.GetFileSeconds(), 0.25, 1e-9);
  EXPECT_EQ(writer.GetFileBytes(), 11025 * 2);
  EXPECT_EQ(writer.Close(), 1);
}

}  // namespace
