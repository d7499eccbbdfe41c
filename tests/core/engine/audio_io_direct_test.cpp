// Recording straight into files on the audio test rig: the MP3, Ogg Vorbis and
// WAV writers under the engine, with automatic names and a split every second;
// the parts decode back to the microphone's sine and join without gaps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "core/model/BlockFileRecycler.h"
#include "tests/core/engine/audio_io_test_support.h"
#include "tests/support/native/AudioFiles.h"
#include "tests/support/native/Files.h"

namespace {

using namespace enginetest;
namespace fs = std::filesystem;

const double kSineDbfs = 20 * std::log10(0.5 / std::numbers::sqrt2);

struct FileKind {
  int fileType;           // FileOutputOptions::eFileType
  const char* extension;  // of the automatic names
};

// Keeps the test names free of the parameter's bytes.
void PrintTo(const FileKind& kind, std::ostream* out) { *out << kind.extension; }

std::string PrintKind(const ::testing::TestParamInfo<FileKind>& info) { return info.param.extension; }

class EngineDirectRecording : public EngineOnRig, public ::testing::WithParamInterface<FileKind> {};

audiotest::Decoded Decode(const std::string& path, int fileType) {
  if (fileType == 1) return audiotest::DecodeSndfile(path);
  if (fileType == 2) return audiotest::DecodeVorbis(path);
  return audiotest::DecodeMp3(path);
}

TEST_P(EngineDirectRecording, WritesNamedSplitFilesThatJoinIntoTheSine) {
  const FileKind kind = GetParam();
  output.eFileType = kind.fileType;
  record.ActiveRecordingMode = 1;
  record.EnableAutoSplit = 1;
  record.AutoSplitTimeSeconds = 1.0;

  // A spare block file that an editing project keeps for its next block, holding its
  // bytes: the recording into files takes all the room, so the spare gives it back.
  const std::string blocks = tmp / "blocks";
  fs::create_directories(blocks);
  BlockFileRecycler::SetFolder(blocks);
  testsupport::WriteBytes(blocks + "/dead.au", std::vector<unsigned char>(65536, 1));
  ASSERT_TRUE(BlockFileRecycler::Keep(blocks + "/dead.au"));
  ASSERT_GT(BlockFileRecycler::FullSpareBytes(), 0u);

  const int sine = Rig().StartSine(1000);
  ASSERT_GE(sine, 0) << Rig().error();
  int token = 0;
  {
    audiotest::QuietStderr quiet;
    token = gAudioIO->StartDirectToFileRecording();
  }
  ASSERT_GT(token, 0) << "open error " << gAudioIO->GetLastOpenError();
  EXPECT_EQ(BlockFileRecycler::SpareCount(), 0u);
  BlockFileRecycler::SetFolder("");
  EXPECT_EQ(gAudioIO->GetCurrentWriter(), gAudioIO->GetOutputWriter());
  EXPECT_EQ(gAudioIO->GetThreadTimeout(), 75) << "stereo into a file wakes every 75 ms";
  Sleep(3.3);
  Stop();
  Rig().StopSine(sine);
  EXPECT_EQ(gAudioIO->GetCurrentWriter(), nullptr);
  EXPECT_EQ(gAudioIO->GetDroppedCaptureFrames(), 0);
  EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Boxes()[0].text;
  EXPECT_EQ(poster.StopCommands(), 0u);

  // rec001-1.ext, rec001-2.ext, ... and nothing else.
  std::vector<std::string> parts;
  for (int n = 1;; ++n) {
    const std::string path = tmp / ("rec001-" + std::to_string(n) + "." + kind.extension);
    if (!fs::exists(path)) break;
    parts.push_back(path);
  }
  ASSERT_GE(parts.size(), 3u);
  EXPECT_LE(parts.size(), 4u);
  EXPECT_FALSE(fs::exists(tmp / (std::string("rec001.") + kind.extension)));
  EXPECT_EQ(output.uStartNO, 2u) << "the next recording gets the next number";

  std::vector<float> joined;  // left channel of all parts in order
  std::vector<unsigned char> mp3Bytes;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    audiotest::Decoded d = Decode(parts[i], kind.fileType);
    ASSERT_TRUE(d.ok) << parts[i];
    EXPECT_EQ(d.rate, 44100);
    EXPECT_EQ(d.channels, 2);
    std::vector<float> left = d.channel(0);
    if (i + 1 < parts.size()) {
      // A part ends at the first wake-up of the buffer thread after one second
      // has been written into it.
      EXPECT_GE(left.size() / 44100.0, 0.99) << parts[i];
      EXPECT_LE(left.size() / 44100.0, 1.3) << parts[i];
    }
    // Away from the start (server, encoder) and the end (encoder padding).
    if (left.size() > 3 * 4410) {
      std::vector<float> body(left.begin() + 4410, left.end() - 4410);
      EXPECT_NEAR(audiotest::FrequencyByZeroCrossings(body, 44100.0), 1000.0, 5.0) << parts[i];
      EXPECT_NEAR(audiotest::RmsDbfs(body), kSineDbfs, 0.5) << parts[i];
    }
    joined.insert(joined.end(), left.begin(), left.end());
    std::vector<unsigned char> bytes = testsupport::ReadBytes(parts[i]);
    mp3Bytes.insert(mp3Bytes.end(), bytes.begin(), bytes.end());
  }
  if (kind.fileType == 0) {
    // MP3 parts carry one encoder stream on: played one after the other (as
    // one byte stream) they are that stream.
    const std::string all = tmp / "all.mp3";
    testsupport::WriteBytes(all, mp3Bytes);
    joined = Decode(all, 0).channel(0);
  }
  EXPECT_NEAR(joined.size() / 44100.0, 3.3, 0.35);
  // Away from the start (server and encoder start-up) and the end.
  ASSERT_GT(joined.size(), 44100u);
  std::vector<float> middle(joined.begin() + 4410, joined.end() - 4410);
  const audiotest::PeriodStats periods = audiotest::MeasurePeriods(middle, 44100.0);
  EXPECT_GT(periods.periods, 2500u);
  EXPECT_EQ(periods.irregular, 0u) << "a gap where the parts join";
}

INSTANTIATE_TEST_SUITE_P(Kinds, EngineDirectRecording,
                         ::testing::Values(FileKind{1, "wav"}, FileKind{2, "OGG"}, FileKind{0, "MP3"}),
                         PrintKind);

}  // namespace
