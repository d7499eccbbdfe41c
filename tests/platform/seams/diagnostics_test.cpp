#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/seams/Diagnostics.h"
#include "platform/seams/MessageBox.h"

namespace {

using seams::DiagnosticStream;

class RecordingSink : public seams::DiagnosticSink {
public:
  void Write(DiagnosticStream stream, const char* text) noexcept override {
    std::lock_guard lock(mutex);
    written.emplace_back(stream, text);
  }
  std::mutex mutex;
  std::vector<std::pair<DiagnosticStream, std::string>> written;
};

TEST(Diagnostics, WithoutASinkEachTextGoesToTheStreamItNames) {
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  seams::Diagnostic("to the error stream\n");
  seams::Diagnostic("to the output stream\n", DiagnosticStream::kStandardOutput);
  seams::DiagnosticF(DiagnosticStream::kStandardError, "%d is %s\n", 7, "formatted");
  const std::string out = testing::internal::GetCapturedStdout();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "to the error stream\n7 is formatted\n");
  EXPECT_EQ(out, "to the output stream\n");
}

TEST(Diagnostics, AnInstalledSinkTakesEveryTextWithItsStreamUntilItIsRemoved) {
  RecordingSink sink;
  EXPECT_EQ(seams::SetDiagnosticSink(&sink), nullptr);
  const std::string wide(3000, 'w');  // past the stack buffer of a formatted text
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  seams::Diagnostic("plain\n");
  seams::DiagnosticF(DiagnosticStream::kStandardOutput, "[%s]\n", wide.c_str());
  // The native message box tells its text as a diagnostic.
  EXPECT_EQ(seams::ShowMessageBox("Nothing was imported.", "Tarvel", seams::kMbOk), seams::kIdOk);
  EXPECT_EQ(seams::SetDiagnosticSink(nullptr), &sink);
  seams::Diagnostic("after\n");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "after\n");

  ASSERT_EQ(sink.written.size(), 3u);
  EXPECT_EQ(sink.written[0], std::make_pair(DiagnosticStream::kStandardError, std::string("plain\n")));
  EXPECT_EQ(sink.written[1], std::make_pair(DiagnosticStream::kStandardOutput, "[" + wide + "]\n"));
  EXPECT_EQ(sink.written[2],
            std::make_pair(DiagnosticStream::kStandardError, std::string("Tarvel: Nothing was imported.\n")));
}

// A sink may be destroyed as soon as it is replaced: no emission still running on
// another thread reaches it afterwards.
TEST(Diagnostics, NoEmissionReachesASinkAfterItWasReplaced) {
  class RetiringSink : public seams::DiagnosticSink {
  public:
    void Write(DiagnosticStream, const char*) noexcept override {
      if (retired.load()) lateCalls.fetch_add(1);
      calls.fetch_add(1);
    }
    std::atomic<bool> retired{false};
    std::atomic<int> calls{0};
    std::atomic<int> lateCalls{0};
  };
  RecordingSink last;
  std::atomic<bool> stop{false};
  std::vector<std::thread> emitters;
  for (int t = 0; t < 4; ++t)
    emitters.emplace_back([&stop] {
      while (!stop.load()) seams::DiagnosticF(DiagnosticStream::kStandardError, "tick %d\n", 1);
    });
  int totalCalls = 0;
  int lateCalls = 0;
  for (int round = 0; round < 200; ++round) {
    RetiringSink sink;
    seams::SetDiagnosticSink(&sink);
    while (sink.calls.load() < 5) std::this_thread::yield();
    seams::SetDiagnosticSink(&last);
    sink.retired = true;
    std::this_thread::yield();
    totalCalls += sink.calls.load();
    lateCalls += sink.lateCalls.load();
  }
  stop = true;
  for (std::thread& t : emitters) t.join();
  seams::SetDiagnosticSink(nullptr);
  EXPECT_GE(totalCalls, 200 * 5);
  EXPECT_EQ(lateCalls, 0);
  EXPECT_FALSE(last.written.empty());
}

}  // namespace
