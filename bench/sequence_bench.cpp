// (a) Appends one hour of 44.1 kHz stereo 16-bit audio to two sequences in 512-frame
//     buffers, the way recording does: each channel gathers samples in an append buffer
//     and hands the sequence whole blocks. Prints the time per hour of audio and the
//     real-time factor (goal: >= 500x).
// (b) Per-column extremes for 1000 display columns of the one-hour track, from the
//     summaries, cold (first call, with the block files dropped from the page cache
//     first, so they come from the disk) and warm (best of 20), against reading the
//     same samples and scanning them, cold and page-cache warm. Goal: warm <= 5 ms.
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
#include "bench/BenchPairs.h"
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
  double c0 = bench::ProcessCpuSeconds();
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
  const double appendCpu = bench::ProcessCpuSeconds() - c0;
  const double audioSeconds = static_cast<double>(frames) / rate;
  std::printf(
      "(a) append %.0f s of 44.1 kHz stereo 16-bit in %d-frame buffers: %.2f s wall, %.2f s CPU "
      "(%.2f s per hour of audio), %.0fx real time (goal >= 500x); %zu blocks per channel\n",
      audioSeconds, kBuffer, appendTime, appendCpu, appendTime * 3600 / audioSeconds,
      audioSeconds / appendTime, left.GetBlockArray().size());

  // (b) 1000 columns over the whole track.
  const int columns = 1000;
  const std::int32_t total = left.GetNumSamples();
  std::vector<std::int32_t> where(columns + 1);
  for (int p = 0; p <= columns; ++p)
    where[p] = static_cast<std::int32_t>(static_cast<std::int64_t>(total) * p / columns);
  const double spp = static_cast<double>(total) / columns;
  std::vector<float> mn(columns), mx(columns), rms(columns);

  // Truly cold: the block files written above are still in the page cache.
  const std::string blocks = folder.path();
  const bool dropped = bench::DropFromPageCache(blocks);
  const double residentBefore = bench::ResidentShare(blocks);
  t0 = Now();
  c0 = bench::ProcessCpuSeconds();
  left.GetWaveDisplay(mn.data(), mx.data(), rms.data(), columns, where.data(), spp);
  const double cold = Now() - t0;
  const double coldCpu = bench::ProcessCpuSeconds() - c0;
  double warm = 1e30, warmCpu = 1e30;
  for (int i = 0; i < 20; ++i) {
    t0 = Now();
    c0 = bench::ProcessCpuSeconds();
    left.GetWaveDisplay(mn.data(), mx.data(), rms.data(), columns, where.data(), spp);
    warm = std::min(warm, Now() - t0);
    warmCpu = std::min(warmCpu, bench::ProcessCpuSeconds() - c0);
  }

  // The same extremes from the samples themselves, first from the disk, then from the
  // page cache.
  std::vector<float> rawMin(columns), rawMax(columns), buffer(left.GetMaxBlockSize());
  bench::DropFromPageCache(blocks);
  double rawCold = 0, rawColdCpu = 0;
  for (int pass = 0; pass < 2; ++pass) {
    t0 = Now();
    c0 = bench::ProcessCpuSeconds();
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
    if (pass == 0) {
      rawCold = Now() - t0;
      rawColdCpu = bench::ProcessCpuSeconds() - c0;
    }
  }
  const double raw = Now() - t0;
  const double rawCpu = bench::ProcessCpuSeconds() - c0;
  double worst = 0;
  for (int p = 0; p < columns; ++p)
    worst = std::max({worst, static_cast<double>(std::abs(mn[p] - rawMin[p])),
                      static_cast<double>(std::abs(mx[p] - rawMax[p]))});
  std::printf("(b) 1000 columns over %d samples; largest difference %.6f\n", total, worst);
  std::printf("  %-44s %9s %9s\n", "", "wall ms", "CPU ms");
  auto line = [](const char* what, double wall, double cpu) {
    std::printf("  %-44s %9.2f %9.2f\n", what, wall * 1e3, cpu * 1e3);
  };
  line(dropped ? "summaries, cold (block files from the disk)" : "summaries, cold (page cache NOT dropped)",
       cold, coldCpu);
  line("summaries, warm (best of 20; goal <= 5 ms)", warm, warmCpu);
  line("samples read and scanned, from the disk", rawCold, rawColdCpu);
  line("samples read and scanned, page-cache warm", raw, rawCpu);
  std::printf("  samples / summaries: cold wall %.0f, CPU %.0f; warm wall %.0f, CPU %.0f\n", rawCold / cold,
              rawColdCpu / coldCpu, raw / warm, rawCpu / warmCpu);
  std::printf("  (%.0f %% of the block files' pages were in the page cache before the cold read)\n",
              residentBefore * 100);

  delete leftSequence;  // releases the blocks; the last one takes the manager along
  delete rightSequence;
  return 0;
}
