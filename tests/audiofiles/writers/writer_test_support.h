#pragma once
// Shared pieces of the stream mixer and streaming writer tests: a sweep and the lag
// between two signals, an engine stand-in that feeds the capture rings as the audio
// callback and the buffer thread would, and the writers' settings. Known signals, the
// decoders, sox's view and the file-size limit come from the test support library.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/settings/AdvanceRecordSetting.h"
#include "app/settings/FileEncodeOptions.h"
#include "audiofiles/writers/StreamFileWriter.h"
#include "audiofiles/writers/StreamMixer.h"
#include "core/model/RingBuffer.h"
#include "tests/support/native/AudioAnalysis.h"
#include "tests/support/native/AudioFiles.h"
#include "tests/support/native/Files.h"
#include "tests/support/native/Mp3Decode.h"
#include "tests/support/native/Programs.h"
#include "tests/support/native/TempFolder.h"

namespace writertest {

using audiotest::Channel;
using audiotest::Decoded;
using audiotest::DecodeMp3;
using audiotest::DecodeSndfile;
using audiotest::DecodeVorbis;
using audiotest::NumberAfter;
using audiotest::OggSerials;
using audiotest::Rms;
using audiotest::Sines;
using audiotest::SoxHeader;
using audiotest::SoxRead;
using audiotest::SoxView;
using audiotest::ZeroCrossingFrequency;
using testsupport::FileSizeLimit;
using testsupport::HaveProgram;
using testsupport::Run;
using testsupport::TempFolder;

constexpr double kPi = 3.14159265358979323846;
// The engine stand-in's buffer-thread pass: every 26 callbacks of 512 frames (about
// 0.3 s at 44.1 kHz).
constexpr int kCallbackFrames = 512;
constexpr int kPassFrames = 26 * kCallbackFrames;

// A linear sweep from f0 to f1 Hz over the frames, on every channel: unlike a sine
// it lines up with a copy of itself at one lag only.
inline std::vector<float> Sweep(std::int64_t frames, double rate, double f0, double f1, double amp,
                                int channels) {
  std::vector<float> out(static_cast<std::size_t>(frames * channels));
  const double seconds = frames / rate;
  for (std::int64_t i = 0; i < frames; ++i) {
    const double t = i / rate;
    const double phase = 2.0 * kPi * (f0 * t + (f1 - f0) * t * t / (2.0 * seconds));
    for (int c = 0; c < channels; ++c) out[i * channels + c] = static_cast<float>(amp * std::sin(phase));
  }
  return out;
}

// Normalised correlation of a[from, from+len) with b[from+lag, ...).
inline double Correlation(const std::vector<float>& a, const std::vector<float>& b, std::int64_t from,
                          std::int64_t len, std::int64_t lag) {
  double ab = 0, aa = 0, bb = 0;
  for (std::int64_t i = from; i < from + len; ++i) {
    const std::int64_t j = i + lag;
    if (i < 0 || j < 0 || i >= static_cast<std::int64_t>(a.size()) ||
        j >= static_cast<std::int64_t>(b.size()))
      continue;
    ab += static_cast<double>(a[i]) * b[j];
    aa += static_cast<double>(a[i]) * a[i];
    bb += static_cast<double>(b[j]) * b[j];
  }
  if (aa <= 0 || bb <= 0) return 0.0;
  return ab / std::sqrt(aa * bb);
}

// The lag in [lo, hi] at which b best matches a over a[from, from+len).
inline std::int64_t BestLag(const std::vector<float>& a, const std::vector<float>& b, std::int64_t from,
                            std::int64_t len, std::int64_t lo, std::int64_t hi, double* best = nullptr) {
  std::int64_t bestLag = lo;
  double bestC = -2;
  for (std::int64_t lag = lo; lag <= hi; ++lag) {
    const double c = Correlation(a, b, from, len, lag);
    if (c > bestC) {
      bestC = c;
      bestLag = lag;
    }
  }
  if (best) *best = bestC;
  return bestLag;
}

// The engine stand-in: the capture rings the engine makes for a direct recording
// (capture ring seconds 0.5 c + 8.5, in the capture format), a stream mixer in the
// engine's slot, a "callback" that puts 512-frame pieces into the rings and a "buffer
// thread" pass that calls WriteBlock and serves the automatic split.
class EngineRig {
public:
  EngineRig(int channels, double rate, SampleFormat captureFormat = SampleFormatFloat)
      : channels_(channels), rate_(rate) {
    const int ringLen = static_cast<int>((0.5 * channels + 8.5) * rate + 0.5);
    for (int c = 0; c < channels; ++c) rings_.push_back(std::make_unique<RingBuffer>(captureFormat, ringLen));
    for (auto& r : rings_) ringPtrs_.push_back(r.get());
    slot_ = &mixer_;
  }

  StreamMixer** slot() { return &slot_; }
  StreamMixer& mixer() { return mixer_; }
  RingBuffer** rings() { return ringPtrs_.data(); }
  int channels() const { return channels_; }
  double rate() const { return rate_; }

  // Puts frames of interleaved samples into the rings (one callback); returns the
  // frames that fitted.
  int Callback(const float* interleaved, int frames) {
    int avail = frames;
    for (auto& r : rings_) avail = std::min(avail, r->AvailForPut());
    std::vector<float> one(static_cast<std::size_t>(avail));
    for (int c = 0; c < channels_; ++c) {
      for (int i = 0; i < avail; ++i) one[i] = interleaved[i * channels_ + c];
      rings_[c]->Put(reinterpret_cast<ConstSamplePtr>(one.data()), SampleFormatFloat, avail);
    }
    return avail;
  }

  struct Result {
    int open = -1;
    int writeFailures = 0;  // WriteBlock passes that returned 0
    int nextFiles = 0;
    int nextFileFailed = 0;
    int close = -1;
    bool stopped = false;  // the engine stopped the recording on a 0
  };

  // Records the interleaved signal through writer: Open, callbacks of 512 frames, a
  // buffer-thread pass (WriteBlock, then the automatic split when splitSeconds > 0)
  // every passFrames, Close. beforeSplit runs right before each NextFile. The engine
  // stops at the first 0 of WriteBlock or NextFile.
  Result Record(StreamFileWriter& writer, const std::vector<float>& signal, double splitSeconds = 0,
                int passFrames = kPassFrames, std::function<void(int)> beforeSplit = nullptr) {
    Result res;
    res.open = writer.Open(channels_, ringPtrs_.data(), rate_);
    if (!res.open) {
      res.stopped = true;
      return res;
    }
    const std::int64_t total = static_cast<std::int64_t>(signal.size()) / channels_;
    std::int64_t pos = 0, sincePass = 0;
    while (pos < total) {
      const int n = static_cast<int>(std::min<std::int64_t>(kCallbackFrames, total - pos));
      const int put = Callback(signal.data() + pos * channels_, n);
      pos += put;
      sincePass += put;
      if (sincePass >= passFrames || put < n || pos == total) {
        sincePass = 0;
        if (!Pass(writer, splitSeconds, res, beforeSplit)) break;
      }
    }
    if (!res.stopped && pos == total) {
      // The stream stops: one last pass, then Close.
    }
    res.close = writer.Close();
    return res;
  }

  // One buffer-thread pass; false when the engine stops the recording.
  bool Pass(StreamFileWriter& writer, double splitSeconds, Result& res,
            const std::function<void(int)>& beforeSplit) {
    if (!writer.WriteBlock()) {
      ++res.writeFailures;
      res.stopped = true;
      return false;
    }
    if (splitSeconds > 0 && writer.GetFileSeconds() >= splitSeconds) {
      if (beforeSplit) beforeSplit(res.nextFiles);
      ++res.nextFiles;
      if (!writer.NextFile()) {
        ++res.nextFileFailed;
        res.stopped = true;
        return false;
      }
    }
    return true;
  }

  // The same recording with a real callback thread (512 frames every ~2 ms) and this
  // thread as the buffer thread (a pass every ~5 ms).
  Result RecordThreaded(StreamFileWriter& writer, const std::vector<float>& signal) {
    Result res;
    res.open = writer.Open(channels_, ringPtrs_.data(), rate_);
    if (!res.open) return res;
    const std::int64_t total = static_cast<std::int64_t>(signal.size()) / channels_;
    std::atomic<bool> done{false};
    std::thread callback([&] {
      std::int64_t pos = 0;
      while (pos < total) {
        const int n = static_cast<int>(std::min<std::int64_t>(512, total - pos));
        pos += Callback(signal.data() + pos * channels_, n);
        std::this_thread::sleep_for(std::chrono::microseconds(300));
      }
      done = true;
    });
    while (!done) {
      if (!writer.WriteBlock()) ++res.writeFailures;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    callback.join();
    res.close = writer.Close();
    return res;
  }

private:
  int channels_;
  double rate_;
  std::vector<std::unique_ptr<RingBuffer>> rings_;
  std::vector<RingBuffer*> ringPtrs_;
  StreamMixer mixer_;
  StreamMixer* slot_ = nullptr;
};

// A recording that meets a full disk (a file-size limit of limitBytes on this
// process): the write at the limit fails, the engine stops, the close fails, the
// writer is closed and the file is no larger than the limit.
inline void ExpectAFullDiskStopsTheRecording(EngineRig& rig, StreamFileWriter& writer,
                                             const std::vector<float>& signal, rlim_t limitBytes,
                                             const std::string& file) {
  EngineRig::Result res;
  {
    FileSizeLimit limit(limitBytes);
    res = rig.Record(writer, signal);
  }
  EXPECT_EQ(res.open, 1);
  EXPECT_EQ(res.writeFailures, 1) << "WriteBlock returned 0 at the limit";
  EXPECT_TRUE(res.stopped);
  EXPECT_EQ(res.close, 0);
  EXPECT_FALSE(writer.IsOpened());
  EXPECT_LE(std::filesystem::file_size(file), limitBytes);
}

// A recording whose process is killed (a crash, a power loss) with its file still
// open: a child process opens the writer on the rig, hands it `frames` frames of the
// interleaved signal pass by pass, then waits to be killed with SIGKILL. True when
// it got that far before the kill.
template <typename Writer>
bool RecordThenGetKilled(int channels, double rate, const std::vector<float>& signal, std::int64_t frames) {
  int ready[2];
  if (pipe(ready) != 0) return false;
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    EngineRig rig(channels, rate);
    Writer writer(rig.slot());
    if (writer.Open(channels, rig.rings(), rate) != 1) _exit(1);
    for (std::int64_t pos = 0; pos < frames; pos += kPassFrames) {
      rig.Callback(signal.data() + pos * channels, kPassFrames);
      if (writer.WriteBlock() != 1) _exit(2);
    }
    const char done = 1;
    if (write(ready[1], &done, 1) != 1) _exit(3);
    for (;;) pause();  // killed here
  }
  close(ready[1]);
  char done = 0;
  const bool wrote = read(ready[0], &done, 1) == 1;
  close(ready[0]);
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  return wrote;
}

// What sox and soxi read from a recorded file: its rate, channels and length, and on
// the first channel the level (within levelTolerance) and frequency (within 10 Hz) of
// a sine of amplitude amp.
inline void ExpectSoxReads(const std::string& file, int rate, int channels, std::int64_t frames, double freq,
                           double amp, double levelTolerance) {
  SoxView v = SoxRead(file);
  ASSERT_TRUE(v.ok);
  EXPECT_EQ(v.rate, rate);
  EXPECT_EQ(v.channels, channels);
  EXPECT_EQ(v.frames, frames);
  EXPECT_NEAR(v.rms, amp / std::sqrt(2.0), levelTolerance);
  EXPECT_NEAR(v.frequency, freq, 10.0);
}

// Installs a stored encode record and a recording record for the writers, and an
// automatic name in a fresh folder; restores the previous ones at the end.
class WriterSettingsScope {
public:
  explicit WriterSettingsScope(const std::string& base, const std::string& ext) {
    record.SetDefaults();
    record.ActiveRecordingMode = 1;
    record.EnableAutoSplit = 0;
    StreamWriterSettings s;
    s.encode = &encode;
    s.record = &record;
    old_ = SetStreamWriterSettings(s);
    oldBase_ = GetAutoBaseName();
    oldExt_ = GetAutoExtension();
    SetAutoFileName(base, ext);
  }
  ~WriterSettingsScope() {
    SetStreamWriterSettings(old_);
    SetAutoFileName(oldBase_, oldExt_);
  }
  void Split(double seconds) {
    record.EnableAutoSplit = 1;
    record.AutoSplitTimeSeconds = seconds;
  }

  FileEncodeOptions encode;
  AdvanceRecordSetting record;

private:
  StreamWriterSettings old_;
  std::string oldBase_, oldExt_;
};

}  // namespace writertest
