#pragma once
// Shared pieces of the stream mixer and streaming writer tests: known signals, an
// engine stand-in that feeds the capture rings as the audio callback and the buffer
// thread would, decoders (libsndfile, vorbisfile, libmad), signal measurements, the
// outside readers (sox, soxi, lame) and a file-size limit for full-disk faults.
#include <gtest/gtest.h>
#include <signal.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
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
#include "tests/support/native/TempFolder.h"
#include "tests/support/native/Files.h"
#include "tests/support/native/Programs.h"
#include "tests/support/native/AudioAnalysis.h"
#include "tests/support/native/Mp3Decode.h"

namespace writertest {

using audiotest::Rms;
using audiotest::ZeroCrossingFrequency;
using testsupport::HaveProgram;
using testsupport::Run;
using testsupport::TempFolder;

constexpr double kPi = 3.14159265358979323846;
// The engine stand-in's buffer-thread pass: every 26 callbacks of 512 frames (about
// 0.3 s at 44.1 kHz).
constexpr int kCallbackFrames = 512;
constexpr int kPassFrames = 26 * kCallbackFrames;

// Interleaved frames of a sine per channel: channel c has frequency freqs[c] and
// amplitude amps[c]; sample i of the whole recording is at time i / rate.
inline std::vector<float> Sines(std::int64_t frames, double rate, const std::vector<double>& freqs,
                                const std::vector<double>& amps, std::int64_t firstFrame = 0) {
  const int ch = static_cast<int>(freqs.size());
  std::vector<float> out(static_cast<std::size_t>(frames * ch));
  for (std::int64_t i = 0; i < frames; ++i)
    for (int c = 0; c < ch; ++c)
      out[i * ch + c] = static_cast<float>(
          amps[c] * std::sin(2.0 * kPi * freqs[c] * static_cast<double>(i + firstFrame) / rate));
  return out;
}

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

// One channel out of interleaved samples.
inline std::vector<float> Channel(const std::vector<float>& interleaved, int channels, int c) {
  std::vector<float> out(interleaved.size() / channels);
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = interleaved[i * channels + c];
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
inline std::int64_t BestLag(const std::vector<float>& a, const std::vector<float>& b,
                            std::int64_t from, std::int64_t len, std::int64_t lo, std::int64_t hi,
                            double* best = nullptr) {
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

// A decoded file: interleaved float samples.
struct Decoded {
  bool ok = false;
  int rate = 0;
  int channels = 0;
  std::vector<float> samples;
  std::int64_t frames() const { return channels ? static_cast<std::int64_t>(samples.size()) / channels : 0; }
  std::vector<float> channel(int c) const { return Channel(samples, channels, c); }
};

inline Decoded DecodeSndfile(const std::string& path) {
  Decoded d;
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f) return d;
  d.rate = info.samplerate;
  d.channels = info.channels;
  d.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
  const sf_count_t got = sf_readf_float(f, d.samples.data(), info.frames);
  d.samples.resize(static_cast<std::size_t>(got * info.channels));
  sf_close(f);
  d.ok = true;
  return d;
}

// The serial numbers of the logical streams of an Ogg file, in order of their first page.
inline std::vector<int> OggSerials(const std::string& path) {
  std::vector<int> serials;
  std::vector<unsigned char> bytes = testsupport::ReadBytes(path);
  for (std::size_t i = 0; i + 27 <= bytes.size();) {
    if (bytes[i] != 'O' || bytes[i + 1] != 'g' || bytes[i + 2] != 'g' || bytes[i + 3] != 'S') {
      ++i;
      continue;
    }
    const int serial = static_cast<int>(testsupport::LE32(bytes, i + 14));
    if (bytes[i + 5] & 0x02) serials.push_back(serial);  // beginning of a stream
    const int segments = bytes[i + 26];
    if (i + 27 + segments > bytes.size()) break;
    std::size_t body = 0;
    for (int s = 0; s < segments; ++s) body += bytes[i + 27 + s];
    i += 27 + segments + body;
  }
  return serials;
}

inline Decoded DecodeVorbis(const std::string& path) {
  Decoded d;
  OggVorbis_File vf;
  if (ov_fopen(path.c_str(), &vf) != 0) return d;
  vorbis_info* vi = ov_info(&vf, -1);
  d.rate = static_cast<int>(vi->rate);
  d.channels = vi->channels;
  int section = 0;
  for (;;) {
    float** pcm = nullptr;
    const long n = ov_read_float(&vf, &pcm, 4096, &section);
    if (n <= 0) {
      if (n == 0) break;
      continue;  // a hole: keep going
    }
    for (long i = 0; i < n; ++i)
      for (int c = 0; c < d.channels; ++c) d.samples.push_back(pcm[c][i]);
  }
  ov_clear(&vf);
  d.ok = true;
  return d;
}

// libmad over the whole file; counts the frames it decoded.
inline Decoded DecodeMp3(const std::string& path, int* frameCount = nullptr) {
  const mp3test::Decoded mp3 = mp3test::Decode(testsupport::ReadBytes(path));
  Decoded d;
  d.rate = mp3.rate;
  d.channels = mp3.channels;
  d.samples.reserve(mp3.samples() * mp3.channels);
  for (std::size_t i = 0; i < mp3.samples(); ++i)
    for (const std::vector<float>& channel : mp3.pcm) d.samples.push_back(channel[i]);
  if (frameCount) *frameCount = mp3.frames;
  d.ok = d.rate != 0;
  return d;
}

// A number after label in text (e.g. sox stat's "RMS     amplitude:"); NaN when absent.
inline double NumberAfter(const std::string& text, const std::string& label) {
  const std::size_t at = text.find(label);
  if (at == std::string::npos) return NAN;
  return std::atof(text.c_str() + at + label.size());
}

// What sox and soxi say about a file: rate, channels, frames, and of the first
// channel the RMS amplitude and rough frequency.
struct SoxView {
  bool ok = false;
  int rate = 0;
  int channels = 0;
  std::int64_t frames = 0;
  double rms = 0;
  double frequency = 0;
};

inline SoxView SoxRead(const std::string& path) {
  SoxView v;
  int status = 0;
  const std::string q = "'" + path + "'";
  v.rate = std::atoi(Run("soxi -r " + q, &status).c_str());
  if (status != 0) return v;
  v.channels = std::atoi(Run("soxi -c " + q).c_str());
  v.frames = std::atoll(Run("soxi -s " + q).c_str());
  const std::string stat = Run("sox " + q + " -n remix 1 stat");
  v.rms = NumberAfter(stat, "RMS     amplitude:");
  v.frequency = NumberAfter(stat, "Rough   frequency:");
  v.ok = v.rate > 0 && !std::isnan(v.rms);
  return v;
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
    for (int c = 0; c < channels; ++c)
      rings_.push_back(std::make_unique<RingBuffer>(captureFormat, ringLen));
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
    bool stopped = false;   // the engine stopped the recording on a 0
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

// A file-size limit on this process while it lives (SIGXFSZ ignored, so a write past
// the limit fails with EFBIG): a full disk without a full disk.
class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit lim = old_;
    lim.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lim);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    signal(SIGXFSZ, oldHandler_);
  }

private:
  rlimit old_{};
  sighandler_t oldHandler_;
};

}  // namespace writertest
