#pragma once
// Shared pieces of the exporter tests: a project of known sines in a fresh folder, the
// export encode record, the shared recorders of message boxes and progress windows, the
// shared clock the test moves, and a look at what a folder holds after an export.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/settings/FileEncodeOptions.h"
#include "core/model/DirManager.h"
#include "core/model/SystemUtils.h"
#include "core/model/TrackFactory.h"
#include "core/model/TrackList.h"
#include "core/model/WaveTrack.h"
#include "audiofiles/export/ExportEncodeOptions.h"
#include "core/project/Project.h"
#include "platform/seams/MessageBox.h"
#include "platform/seams/Progress.h"
#include "tests/audiofiles/writers/writer_test_support.h"
#include "tests/support/native/FakeClock.h"
#include "tests/support/native/RecordedMessageBoxes.h"
#include "tests/support/native/RecordedProgress.h"

namespace exporttest {

using namespace writertest;

// A project in a fresh folder, with the export record, message boxes, progress
// windows and the clock under the test's control.
class ExportFixture : public ::testing::Test {
protected:
  void SetUp() override {
    std::filesystem::create_directory(dir / "blocks");
    ASSERT_TRUE(DirManager::SetTempDir((dir / "blocks").c_str()));
    project = std::make_unique<Project>();
    project->SetRate(44100.0);
    record.SetDefaults();
    SetExportEncodeOptions(&record);
  }
  void TearDown() override {
    SetExportEncodeOptions(nullptr);
    project.reset();
  }

  // A track of a sine (amplitude amp, frequency freq) lasting seconds, appended to the
  // project. channel: Track::LeftChannel, RightChannel or MonoChannel.
  WaveTrack* AddSine(double freq, double amp, double seconds, int channel, double rate = 44100.0,
                     double offset = 0.0, SampleFormat format = SampleFormatFloat, bool selected = true) {
    WaveTrack* t = project->GetTrackFactory()->NewWaveTrack(format, rate);
    const auto frames = static_cast<std::int64_t>(std::llround(seconds * rate));
    std::vector<float> s = Sines(frames, rate, {freq}, {amp});
    EXPECT_TRUE(t->Append(reinterpret_cast<ConstSamplePtr>(s.data()), SampleFormatFloat,
                          static_cast<std::int32_t>(frames)));
    EXPECT_TRUE(t->Flush());
    t->SetChannel(channel);
    t->SetLinked(channel == Track::LeftChannel);
    t->SetOffset(offset);
    t->SetSelected(selected);
    project->GetTracks()->Add(t);
    return t;
  }

  // The usual stereo recording: 440 Hz at 0.5 on the left, 660 Hz at 0.25 on the right.
  void AddStereoPair(double seconds, double rate = 44100.0, double offset = 0.0,
                     SampleFormat format = SampleFormatFloat) {
    AddSine(440.0, 0.5, seconds, Track::LeftChannel, rate, offset, format);
    AddSine(660.0, 0.25, seconds, Track::RightChannel, rate, offset, format);
  }

  // The names in the test folder other than the block folder.
  std::vector<std::string> FilesInDir(const std::string& folder = "") const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder.empty() ? dir.path() : folder))
      if (e.path().filename() != "blocks") names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  TempFolder dir;
  std::unique_ptr<Project> project;
  FileEncodeOptions record;
  testsupport::RecordedMessageBoxes messages;
  testsupport::RecordedProgress progressWindows;
  testsupport::ProgressLog& progress = progressWindows.log;
  // The clock stands still: no progress window unless a test moves it.
  testsupport::FakeClock clock{1000, 0};
};

// What sox and soxi say about a file, their warnings (such as the short float header
// libsndfile writes) set aside and a missing length measured.
inline SoxView SoxLook(const std::string& path) { return SoxRead(path, SoxHeader::Lenient); }

// Of a decoded file between from and to: is channel c a sine of freq at amp?
inline void ExpectSine(const Decoded& d, int c, double freq, double amp, std::size_t from, std::size_t to,
                       double levelTolerance = 0.02) {
  const std::vector<float> ch = d.channel(c);
  EXPECT_NEAR(ZeroCrossingFrequency(ch, d.rate, from, to), freq, freq * 0.002) << "channel " << c;
  EXPECT_NEAR(Rms(ch, from, to), amp / std::sqrt(2.0), amp * levelTolerance) << "channel " << c;
}

}  // namespace exporttest
