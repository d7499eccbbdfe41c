// (a) Appends one hour of 44.1 kHz stereo 16-bit audio to two sequences in 512-frame
//     buffers, the way recording does: each channel gathers samples in an append buffer
//     and hands the sequence whole blocks. Prints the time per hour of audio and the
//     real-time factor (goal: >= 500x).
// (b) Per-column extremes for 1000 display columns of the one-hour track, from the
//     summaries, cold (first call) and warm (best of 20), against reading the same
//     samples raw and scanning them. Goal: warm <= 5 ms.
//
//   sequence_bench [folder] [minutes]
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/model/DirManager.h"
#include "core/model/Sequence.h"
#include "tests/support/native/TempFolder.h"

namespace {

double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// One channel's append buffer, as a wave track keeps it while recording.
struct Channel {
  Sequence* sequence;
  std::vector<std::int16_t> pending;

  bool Add(const std::int16_t* interleaved, int frames, int channel) {
    for (int i = 0; i < frames; ++i) pending.push_back(interleaved[2 * i + channel]);
    std::size_t used = 0;
    for (std::int32_t ideal = sequence->GetIdealAppendLen();
         pending.size() - used >= static_cast<std::size_t>(ideal); ideal = sequence->GetIdealAppendLen()) {
      if (!sequence->Append(reinterpret_cast<ConstSamplePtr>(pending.data() + used), SampleFormatInt16,
                            ideal))
        return false;
      used += ideal;
    }
    pending.erase(pending.begin(), pending.begin() + used);
    return true;
  }
  bool Flush() {
    const bool ok =
        pending.empty() || sequence->Append(reinterpret_cast<ConstSamplePtr>(pending.data()),
                                            SampleFormatInt16, static_cast<std::int32_t>(pending.size()));
    pending.clear();
    return ok;
  }
};

}  // namespace

int main(int argc, char** argv) {
  const std::string base = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
  const double minutes = argc > 2 ? std::atof(argv[2]) : 60.0;
  const int rate = 44100;
  const std::int64_t frames = static_cast<std::int64_t>(minutes * 60 * rate);

  const testsupport::TempFolder folder("tarvel-seqbench", base);
  DirManager::SetTempDir(folder.path().c_str());
  auto* dm = new DirManager;
  auto* leftSequence = new Sequence(dm, SampleFormatInt16);
  auto* rightSequence = new Sequence(dm, SampleFormatInt16);
  dm->Deref();  // the sequences hold the manager from here on
  Sequence& left = *leftSequence;
  Channel channels[2] = {{leftSequence, {}}, {rightSequence, {}}};

  // A second of varied stereo input, replayed.
  std::vector<std::int16_t> input(2 * rate);
  std::uint32_t seed = 7;
  for (std::size_t i = 0; i < input.size(); ++i) {
    seed = seed * 1664525u + 1013904223u;
    input[i] = static_cast<std::int16_t>(((seed >> 16) % 40000) - 20000);
  }

  const int kBuffer = 512;
  double t0 = Now();
  std::int64_t done = 0;
  while (done < frames) {
    const int n = static_cast<int>(std::min<std::int64_t>(kBuffer, frames - done));
    const std::int16_t* chunk = input.data() + 2 * ((done % rate) / kBuffer * kBuffer % (rate - kBuffer));
    for (int c = 0; c < 2; ++c)
      if (!channels[c].Add(chunk, n, c)) {
        std::fprintf(stderr, "append failed\n");
        return 1;
      }
    done += n;
  }
  for (Channel& c : channels) c.Flush();
  const double appendTime = Now() - t0;
  const double audioSeconds = static_cast<double>(frames) / rate;
  std::printf(
      "(a) append %.0f s of 44.1 kHz stereo 16-bit in %d-frame buffers: %.2f s "
      "(%.2f s per hour of audio), %.0fx real time (goal >= 500x); %zu blocks per channel\n",
      audioSeconds, kBuffer, appendTime, appendTime * 3600 / audioSeconds, audioSeconds / appendTime,
      left.GetBlockArray().size());

  // (b) 1000 columns over the whole track.
  const int columns = 1000;
  const std::int32_t total = left.GetNumSamples();
  std::vector<std::int32_t> where(columns + 1);
  for (int p = 0; p <= columns; ++p)
    where[p] = static_cast<std::int32_t>(static_cast<std::int64_t>(total) * p / columns);
  const double spp = static_cast<double>(total) / columns;
  std::vector<float> mn(columns), mx(columns), rms(columns);

  t0 = Now();
  left.GetWaveDisplay(mn.data(), mx.data(), rms.data(), columns, where.data(), spp);
  const double cold = Now() - t0;
  double warm = 1e30;
  for (int i = 0; i < 20; ++i) {
    t0 = Now();
    left.GetWaveDisplay(mn.data(), mx.data(), rms.data(), columns, where.data(), spp);
    warm = std::min(warm, Now() - t0);
  }

  // The same extremes from the samples themselves.
  std::vector<float> rawMin(columns), rawMax(columns), buffer(left.GetMaxBlockSize());
  t0 = Now();
  for (int p = 0; p < columns; ++p) {
    float lo = 1e30f, hi = -1e30f;
    for (std::int32_t s = where[p]; s < where[p + 1];) {
      const std::int32_t n =
          std::min<std::int32_t>(where[p + 1] - s, static_cast<std::int32_t>(buffer.size()));
      left.Get(reinterpret_cast<SamplePtr>(buffer.data()), SampleFormatFloat, s, n);
      for (std::int32_t i = 0; i < n; ++i) {
        lo = std::min(lo, buffer[i]);
        hi = std::max(hi, buffer[i]);
      }
      s += n;
    }
    rawMin[p] = lo;
    rawMax[p] = hi;
  }
  const double raw = Now() - t0;
  double worst = 0;
  for (int p = 0; p < columns; ++p)
    worst = std::max({worst, static_cast<double>(std::abs(mn[p] - rawMin[p])),
                      static_cast<double>(std::abs(mx[p] - rawMax[p]))});
  std::printf(
      "(b) 1000 columns over %d samples: summaries cold %.2f ms, warm %.2f ms (goal <= 5 ms); "
      "raw samples %.1f ms; raw / warm = %.0f; largest difference %.6f\n",
      total, cold * 1e3, warm * 1e3, raw * 1e3, raw / warm, worst);

  delete leftSequence;  // releases the blocks; the last one takes the manager along
  delete rightSequence;
  return 0;
}
