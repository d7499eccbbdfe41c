// The model's diagnostics reach the installed sink, with the stream each goes to
// when no sink is installed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "core/model/DirManager.h"
#include "core/model/Envelope.h"
#include "core/model/FFT.h"
#include "core/model/Resample.h"
#include "core/model/Sequence.h"
#include "platform/seams/Diagnostics.h"
#include "tests/support/native/TrackProject.h"

namespace {

using seams::DiagnosticStream;

// Installed for its lifetime; keeps what it is given.
class RecordingSink : public seams::DiagnosticSink {
public:
  RecordingSink() { previous = seams::SetDiagnosticSink(this); }
  ~RecordingSink() override { seams::SetDiagnosticSink(previous); }
  void Write(DiagnosticStream stream, const char* text) noexcept override {
    std::lock_guard lock(mutex);
    written.emplace_back(stream, text);
  }
  std::string All(DiagnosticStream stream) {
    std::lock_guard lock(mutex);
    std::string all;
    for (const auto& [s, text] : written)
      if (s == stream) all += text;
    return all;
  }
  seams::DiagnosticSink* previous = nullptr;
  std::mutex mutex;
  std::vector<std::pair<DiagnosticStream, std::string>> written;
};

// Marks what it is given, on standard error, so a test of a dying process can see
// that the text passed through the sink.
class MarkingSink : public seams::DiagnosticSink {
public:
  void Write(DiagnosticStream, const char* text) noexcept override {
    std::fprintf(stderr, "[sink] %s", text);
  }
};

TEST(ModelDiagnostics, AnFFTOfABadSizeTellsTheSinkBeforeItExits) {
  std::vector<float> in(8, 0.0f), re(8), im(8);
  struct Case {
    std::function<void()> call;
    const char* expected;
  };
  const Case cases[] = {
      {[] { NumberOfBitsNeeded(1); }, "\\[sink\\] Error: FFT called with size 1\n"},
      {[&] { FFT(6, false, in.data(), nullptr, re.data(), im.data()); },
       "\\[sink\\] 6 is not a power of two\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EXIT(
        {
          MarkingSink sink;
          seams::SetDiagnosticSink(&sink);
          c.call();
        },
        ::testing::ExitedWithCode(1), c.expected);
  }
}

TEST(ModelDiagnostics, ResamplingFactorsOutOfRangeAndLibraryErrorsReachTheSink) {
  RecordingSink sink;
  testing::internal::CaptureStderr();
  Resample outOfRange(true, 1.0 / 13, 1.0);
  EXPECT_FALSE(outOfRange.Ok());
  Resample r(true, 1.0, 1.0);
  float in[1024] = {}, out[4096];
  int used = 0;
  EXPECT_EQ(r.Process(1000.0, in, 1024, false, &used, out, 4096), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "the sink takes them instead";

  ASSERT_EQ(sink.written.size(), 3u);
  EXPECT_EQ(sink.written[0].second, "Libsamplerate only supports resampling factors\n");
  EXPECT_EQ(sink.written[1].second, "between 1/12 and 12\n");
  EXPECT_EQ(sink.written[2].second.rfind("Libsamplerate error: ", 0), 0u) << sink.written[2].second;
  for (const auto& [stream, text] : sink.written) EXPECT_EQ(stream, DiagnosticStream::kStandardError) << text;
}

TEST(ModelDiagnostics, AnEnvelopeIntegralBackwardsIsReported) {
  RecordingSink sink;
  Envelope e;
  e.Flatten(0.5);
  EXPECT_EQ(e.Integral(2.0, 1.0), 0.5);
  EXPECT_EQ(sink.All(DiagnosticStream::kStandardOutput), "Odd things happening in Integral!\n");
  EXPECT_EQ(sink.All(DiagnosticStream::kStandardError), "");
}

TEST(ModelDiagnostics, AFailedConsistencyCheckDumpsItsBlocksToTheSink) {
  testsupport::TrackProject project(64);  // 16 to 32 samples a block
  DirManager* dm = project.dirManager();
  {
    Sequence s(dm, SampleFormatInt16);
    std::vector<std::int16_t> samples(40, 100);
    ASSERT_TRUE(s.Append(reinterpret_cast<ConstSamplePtr>(samples.data()), SampleFormatInt16, 40));
    ASSERT_EQ(s.GetBlockArray().size(), 2u);

    RecordingSink sink;
    EXPECT_TRUE(s.ConsistencyCheck("Nothing"));
    EXPECT_TRUE(sink.written.empty());
    // Break the array on purpose: the second block claims a wrong start.
    const_cast<WaveBlock&>(s.GetBlockArray()[1]).start = 31;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(s.ConsistencyCheck("Test"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "the sink takes the dump instead";
    const_cast<WaveBlock&>(s.GetBlockArray()[1]).start = 32;

    const std::string dump = sink.All(DiagnosticStream::kStandardOutput);
    EXPECT_EQ(
        dump.rfind("*** Consistency check failed after Test ***\nBlock   0: start        0 len       ", 0),
        0u)
        << dump;
    EXPECT_NE(dump.find("Block   1: start       31 len        8 refs 1 "), std::string::npos) << dump;
    EXPECT_NE(dump.find("  ERROR\n"), std::string::npos) << dump;
    const std::string ending =
        "\nRecommended course of action:\nUndo the failed operation(s), then export or save your work and "
        "quit.\n";
    ASSERT_GE(dump.size(), ending.size());
    EXPECT_EQ(dump.substr(dump.size() - ending.size()), ending);
    // One diagnostic a line.
    for (const auto& [stream, text] : sink.written) {
      EXPECT_EQ(text.find('\n'), text.size() - 1) << text;
    }
  }
}

}  // namespace
