// A recording into tracks keeps its take on the disk as it goes: killed mid-take (a
// child process that appends the way the buffer thread does, then dies by SIGKILL),
// the journal and the block files give the take back, sample for sample, up to its
// last moments and in step on both channels; what the disk lost is silence and is
// told; a take that ends normally leaves nothing behind; the start-up step writes the
// take into the output folder under the next automatic name and tells the user.
#include <gtest/gtest.h>

#include <sndfile.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/settings/FileOutputOptions.h"
#include "core/model/DirManager.h"
#include "core/model/Sequence.h"
#include "core/model/TakeJournal.h"
#include "core/model/TrackFactory.h"
#include "core/model/WaveTrack.h"
#include "core/project/TakeRecovery.h"
#include "tests/support/native/RecordedProgress.h"
#include "tests/support/native/SettingsEnvironment.h"
#include "tests/support/native/TempFolder.h"
#include "tests/support/native/TrackProject.h"

namespace {

namespace fs = std::filesystem;

constexpr double kRate = 44100.0;

// The value of frame i of channel c, as a sample of the format: every frame and
// channel differs, so a sample out of place shows.
float Value(std::int64_t i, int c) {
  return static_cast<float>(0.5 * std::sin(0.001 * static_cast<double>(i) * (c + 1)) + 0.01 * c);
}

// A take as the buffer thread records it: pieces of `piece` frames appended to two
// tracks of one journal. Leaves the process without stopping when killAfter frames
// are in (a crash); else ends the take normally.
void RecordTake(const std::string& parent, SampleFormat format, std::int64_t frames, std::int32_t piece,
                bool kill) {
  testsupport::TrackProject project(0, parent);
  std::unique_ptr<WaveTrack> left(project.factory()->NewWaveTrack(format, kRate));
  std::unique_ptr<WaveTrack> right(project.factory()->NewWaveTrack(format, kRate));
  std::unique_ptr<TakeJournal> journal =
      TakeJournal::Begin(project.dirManager(), kRate, format, 2, left->GetMaxBlockSize());
  if (!journal) std::_Exit(3);
  left->SetTakeJournal(journal.get(), 0);
  right->SetTakeJournal(journal.get(), 1);
  std::vector<float> values(static_cast<std::size_t>(piece));
  std::vector<char> samples(static_cast<std::size_t>(piece) * 4);
  for (std::int64_t at = 0; at < frames; at += piece) {
    WaveTrack* tracks[] = {left.get(), right.get()};
    for (int c = 0; c < 2; ++c) {
      for (std::int32_t i = 0; i < piece; ++i) values[static_cast<std::size_t>(i)] = Value(at + i, c);
      CopySamples(reinterpret_cast<ConstSamplePtr>(values.data()), SampleFormatFloat, samples.data(), format,
                  static_cast<std::uint32_t>(piece), false);
      if (!tracks[c]->Append(samples.data(), format, piece)) std::_Exit(4);
    }
  }
  if (kill) ::kill(::getpid(), SIGKILL);
  left->Flush();
  right->Flush();
  left->SetTakeJournal(nullptr, 0);
  right->SetTakeJournal(nullptr, 0);
  journal.reset();
}

// Runs RecordTake in a child process; true when it ended as asked.
bool RecordTakeInChild(const std::string& parent, SampleFormat format, std::int64_t frames,
                       std::int32_t piece, bool kill) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    RecordTake(parent, format, frames, piece, kill);
    std::_Exit(0);
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return false;
  return kill ? WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL
              : WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct Wav {
  int channels = 0, rate = 0, format = 0;
  std::vector<float> samples;  // interleaved
  std::int64_t Frames() const { return channels ? static_cast<std::int64_t>(samples.size()) / channels : 0; }
};
Wav ReadWav(const std::string& path) {
  Wav wav;
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return wav;
  wav.channels = info.channels;
  wav.rate = info.samplerate;
  wav.format = info.format;
  wav.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
  sf_readf_float(file, wav.samples.data(), info.frames);
  sf_close(file);
  return wav;
}

std::string BlocksFolder(const testsupport::TempFolder& parent) {
  for (const auto& entry : fs::directory_iterator(parent.path()))
    if (fs::exists(entry.path() / "blocks")) return (entry.path() / "blocks").string();
  return "";
}

struct FormatCase {
  const char* name;
  SampleFormat format;
  int subtype;
  float tolerance;  // of the sample value after a round trip through the format
};

class KilledTake : public ::testing::TestWithParam<FormatCase> {};

TEST_P(KilledTake, ComesBackSampleForSampleUpToItsLastMomentsOnBothChannels) {
  const FormatCase& c = GetParam();
  testsupport::TempFolder parent;
  // Two and a half blocks of 16-bit samples, more of the wider ones; pieces of about
  // a tenth of a second, as the buffer thread takes them from the capture ring.
  const std::int64_t frames = 4410 * 295;
  ASSERT_TRUE(RecordTakeInChild(parent.path(), c.format, frames, 4410, true));
  const std::string folder = BlocksFolder(parent);
  ASSERT_FALSE(folder.empty());
  ASSERT_TRUE(fs::exists(fs::path(folder) / TakeJournal::kFileName));

  const take_recovery::Take take = take_recovery::ReadTake(folder);
  ASSERT_TRUE(take.journalRead) << take.journalError;
  EXPECT_EQ(take.missing, 0);
  // All but at most the last half second (the journal writes waiting samples in
  // halves of a second) and the piece being appended.
  EXPECT_LE(take.frames, frames);
  EXPECT_GE(take.frames, frames - static_cast<std::int64_t>(kRate * TakeJournal::kKeepSeconds) - 4410);

  const std::string out = parent / "recovered.wav";
  std::string error;
  ASSERT_EQ(take_recovery::WriteTake(take, out, nullptr, &error), take_recovery::WriteResult::Written)
      << error;
  const Wav wav = ReadWav(out);
  EXPECT_EQ(wav.channels, 2);
  EXPECT_EQ(wav.rate, 44100);
  EXPECT_EQ(wav.format & SF_FORMAT_SUBMASK, c.subtype);
  ASSERT_EQ(wav.Frames(), take.frames);
  int wrong = 0;
  for (std::int64_t i = 0; i < wav.Frames() && wrong < 5; ++i)
    for (int ch = 0; ch < 2; ++ch)
      if (std::fabs(wav.samples[static_cast<std::size_t>(i * 2 + ch)] - Value(i, ch)) > c.tolerance) {
        ADD_FAILURE() << "frame " << i << " channel " << ch;
        ++wrong;
      }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, KilledTake,
    ::testing::Values(FormatCase{"Int16", SampleFormatInt16, SF_FORMAT_PCM_16, 1.0f / 16000},
                      FormatCase{"Int24", SampleFormatInt24, SF_FORMAT_PCM_24, 1.0f / 4e6f},
                      FormatCase{"Float", SampleFormatFloat, SF_FORMAT_FLOAT, 0.0f}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TakeJournal, ATakeThatEndsNormallyLeavesNeitherJournalNorWaitingFiles) {
  testsupport::TempFolder parent;
  ASSERT_TRUE(RecordTakeInChild(parent.path(), SampleFormatInt16, 700000, 4410, false));
  // The project's blocks went with it; nothing of the journal is left either.
  const std::string folder = BlocksFolder(parent);
  if (!folder.empty()) {
    EXPECT_FALSE(fs::exists(fs::path(folder) / TakeJournal::kFileName));
    for (const auto& entry : fs::directory_iterator(folder))
      EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
  }
}

// What the disk lost: a block that never reached it is silence of its length, the
// user is told how much; a journal cut off in a line keeps what came before.
TEST(TakeJournal, WhatTheDiskLostIsSilenceAndAGarbledEndKeepsWhatCameBefore) {
  testsupport::TempFolder parent;
  const std::int64_t frames = 1300000;
  ASSERT_TRUE(RecordTakeInChild(parent.path(), SampleFormatInt16, frames, 4410, true));
  const std::string folder = BlocksFolder(parent);
  const std::string journalPath = (fs::path(folder) / TakeJournal::kFileName).string();
  TakeJournal::Contents contents;
  std::string error;
  ASSERT_TRUE(TakeJournal::Read(journalPath, &contents, &error)) << error;
  ASSERT_EQ(contents.tracks.size(), 2u);
  ASSERT_GE(contents.tracks[1].blocks.size(), 2u);
  const TakeJournal::Block lost = contents.tracks[1].blocks[0];
  fs::remove(fs::path(folder) / lost.file);
  {
    std::ofstream garble(journalPath, std::ios::app);
    garble << "block 1 $99";  // torn: no end of line
  }
  const take_recovery::Take take = take_recovery::ReadTake(folder);
  ASSERT_TRUE(take.journalRead);
  EXPECT_TRUE(take.journal.torn);
  EXPECT_EQ(take.missing, lost.len);
  const std::string out = parent / "recovered.wav";
  ASSERT_EQ(take_recovery::WriteTake(take, out, nullptr, &error), take_recovery::WriteResult::Written);
  const Wav wav = ReadWav(out);
  ASSERT_EQ(wav.Frames(), take.frames);
  for (std::int64_t i : {std::int64_t{0}, std::int64_t{lost.len - 1}}) {
    EXPECT_EQ(wav.samples[static_cast<std::size_t>(i * 2 + 1)], 0.0f) << "the lost block is silence";
    EXPECT_NEAR(wav.samples[static_cast<std::size_t>(i * 2)], Value(i, 0), 1.0 / 16000)
        << "the other channel";
  }
  EXPECT_NEAR(wav.samples[static_cast<std::size_t>(lost.len * 2 + 1)], Value(lost.len, 1), 1.0 / 16000);

  std::ofstream(journalPath, std::ios::trunc) << "not a journal\n";
  EXPECT_FALSE(take_recovery::ReadTake(folder).journalRead);
}

// The start-up step, as the user meets it: the take is in the output folder under the
// next automatic name, the box says where and how long; the folder goes; a folder
// whose journal is damaged is told about and goes.
TEST(GiveBackTakes, WritesUnderTheNextAutomaticNameTellsTheUserAndCleansUp) {
  settings_test::SettingsEnvironment env;
  testsupport::TempFolder parent, output;
  ASSERT_TRUE(RecordTakeInChild(parent.path(), SampleFormatInt16, 300000, 4410, true));
  const std::string folder = BlocksFolder(parent);
  FileOutputOptions options;
  options.strAutoNameFolder = output.path() + "/";
  options.strFileLeadName = "take";
  options.uFileNameDigitCount = 3;
  options.uStartNO = 7;
  options.eFileType = 0;  // MP3 for the recordings; the recovered take is a WAV all the same

  take_recovery::GiveBackTakes({folder}, &options);
  const std::string recovered = output / "take007.wav";
  ASSERT_TRUE(fs::exists(recovered));
  EXPECT_GT(ReadWav(recovered).Frames(), 300000 - 30000);
  ASSERT_EQ(env.messages.Texts().size(), 1u);
  const std::string text = env.messages.Texts()[0];
  EXPECT_NE(text.find("recovered and saved as"), std::string::npos) << text;
  EXPECT_NE(text.find(recovered), std::string::npos) << text;
  EXPECT_NE(text.find("stereo"), std::string::npos) << text;
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_EQ(options.uStartNO, 8u);

  env.messages.Clear();
  const std::string damaged = parent / "damaged";
  fs::create_directories(damaged);
  std::ofstream(damaged + "/" + TakeJournal::kFileName) << "Tarvel take journal 1\nrate x\n";
  take_recovery::GiveBackTakes({damaged}, &options);
  ASSERT_EQ(env.messages.Texts().size(), 1u);
  EXPECT_NE(env.messages.Texts()[0].find("could not be recovered: its journal is damaged"), std::string::npos)
      << env.messages.Texts()[0];
  EXPECT_FALSE(fs::exists(damaged));
  EXPECT_EQ(options.uStartNO, 8u) << "no name was used";
}

TEST(GiveBackTakes, ACancelledWritingLeavesNoFile) {
  testsupport::TempFolder parent;
  ASSERT_TRUE(RecordTakeInChild(parent.path(), SampleFormatInt16, 300000, 4410, true));
  const take_recovery::Take take = take_recovery::ReadTake(BlocksFolder(parent));
  testsupport::RecordedProgress progress;
  progress.log.cancel = true;
  std::unique_ptr<seams::ProgressWindow> window = seams::CreateProgressWindow();
  std::string error;
  EXPECT_EQ(take_recovery::WriteTake(take, parent / "take.wav", window.get(), &error, 0),
            take_recovery::WriteResult::Cancelled);
  EXPECT_EQ(progress.log.caption, "Recovering a Recording");
  EXPECT_FALSE(fs::exists(parent / "take.wav"));
}

}  // namespace
