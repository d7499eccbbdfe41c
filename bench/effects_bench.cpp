// The effects against outside tools doing the same job on the same audio: a 16-bit
// stereo WAV file in, the effect, a 16-bit WAV file out.
//
//   effects_bench [folder] [minutes] [effect name ...]
//   effects_bench --rounds N ...      paired rounds per effect (5 by default)
//   effects_bench --scaling ...       our cost per minute of audio at 1, 10 and 60 minutes
//   effects_bench --scaling --lengths 1,60 ...   at other lengths (minutes)
//   effects_bench --scaling --cache fair ...     only the fair (or warm) cache state
//
// Our side runs in this process: the WAV file is read into two 16-bit tracks in block
// files (as the PCM importer does), the effect runs over the whole of both, and the
// tracks are written to a WAV file. The peer runs as a child process from the same
// WAV file to a WAV file. Where sox has the same algorithm it is the peer; where it
// has another, the peer is a tool over the library we use (soundstretch over
// SoundTouch for Change Pitch and Change Tempo, sndfile-resample over libsamplerate
// for Change Speed) or a sox FIR of the length our filter applies (Equalization, FFT
// Filter). Generators make their audio from nothing on both sides.
//
// The paired timing of BenchPairs.h: rounds take turns (ours, then the peer, ...), so
// both sides see the same load on a shared machine; each side's figure is the median
// of its rounds, in wall time and in CPU time (every thread of this process on our
// side, the child and what it waited for on the peer's), with the ratios ours / peer.
//
// Goals: 100x real time or more for the amplitude and order effects, 20x or more for
// the spectral and time effects; no slower than 1.5x the peer (1.2x sndfile-resample,
// 1.1x soundstretch), and a cost per minute at 60 minutes within 10 % of the cost per
// minute at 1 minute.
//
// The scaling table is printed twice (CacheState): warm, as the import left the block
// files, and fair, from the same cache state at every length with the effect's output
// flushed to the disk inside its time. Warm, a short job never pays for the disk: its
// source is still in the page cache and its output dies before the kernel writes it
// back; a long one reads its oldest blocks from the disk and writes its own back. The
// fair table is the one to compare lengths by.
//
// On a virtual machine whose host takes back the memory the guest frees, new
// page-cache memory costs about a second of CPU per gigabyte when it is first
// written; a long job's blocks therefore go straight to the disk once it is clearly
// long (BlockWriteback::LongRun), and take none. The benchmark's own WAV files are not
// ours and still take it. On a file system without a journal a new file's inode is
// searched for past every inode freed in the last minutes, so the first long job of a
// run (after the previous run deleted its files) costs more than the others; an
// uncounted job before the rounds pays for it. A folder on tmpfs (/dev/shm) shows our
// own cost per minute without the disk.
#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <sndfile.h>

#include "audiofiles/effects/Effect.h"
#include "audiofiles/effects/EffectAmplify.h"
#include "audiofiles/effects/EffectBassBoost.h"
#include "audiofiles/effects/EffectChangePitch.h"
#include "audiofiles/effects/EffectChangeSpeed.h"
#include "audiofiles/effects/EffectChangeTempo.h"
#include "audiofiles/effects/EffectCompressor.h"
#include "audiofiles/effects/EffectEcho.h"
#include "audiofiles/effects/EffectEqualization.h"
#include "audiofiles/effects/EffectFFTFilter.h"
#include "audiofiles/effects/EffectFadeIn.h"
#include "audiofiles/effects/EffectFadeOut.h"
#include "audiofiles/effects/EffectInvert.h"
#include "audiofiles/effects/EffectNoiseRemoval.h"
#include "audiofiles/effects/EffectNormalize.h"
#include "audiofiles/effects/EffectPhaser.h"
#include "audiofiles/effects/EffectRepeat.h"
#include "audiofiles/effects/EffectReverse.h"
#include "audiofiles/effects/EffectSilence.h"
#include "audiofiles/effects/EffectTone.h"
#include "audiofiles/effects/EffectWahwah.h"
#include "audiofiles/effects/EffectWhiteNoise.h"
#include "bench/BenchPairs.h"
#include "core/model/DirManager.h"
#include "core/model/Envelope.h"
#include "core/model/Sequence.h"
#include "core/model/TrackFactory.h"
#include "core/model/TrackList.h"
#include "core/model/WaveTrack.h"
#include "tests/support/native/Programs.h"
#include "tests/support/native/TrackProject.h"

namespace {

constexpr double kRate = 44100.0;

using bench::Cost;

Cost MedianCost(const std::vector<Cost>& costs) {
  std::vector<double> wall, cpu;
  for (const Cost& c : costs) {
    wall.push_back(c.wall);
    cpu.push_back(c.cpu);
  }
  return {bench::Median(wall), bench::Median(cpu)};
}

// ---- the cases ----

// One benchmark case: how to make the effect, and the peer's command for the same job
// ("IN" and "OUT" stand for the files, "SECONDS" for the length; empty when no tool
// does the same job). A generator starts from empty tracks, and its peer from nothing.
struct Case {
  const char* name;
  std::function<std::unique_ptr<Effect>(double seconds)> make;
  std::string peer;
  bool generator = false;
};

template <class E>
std::unique_ptr<Effect> Make(double) {
  return std::make_unique<E>();
}

// Noise Removal as it is used: a profile of the first two seconds, then the removal
// over the whole selection (both timed).
struct ProfiledNoiseRemoval : EffectNoiseRemoval {
  bool Process() override {
    const double t1 = mT1;
    mT1 = mT0 + 2.0;
    SetProfileMode(true);
    if (!EffectNoiseRemoval::Process()) return false;
    mT1 = t1;
    return EffectNoiseRemoval::Process();
  }
};

std::vector<Case> Cases() {
  return {
      {"Amplify",
       [](double) {
         auto e = std::make_unique<EffectAmplify>();
         e->SetRatio(0.5f);
         return std::unique_ptr<Effect>(std::move(e));
       },
       "sox -D IN OUT vol 0.5"},
      {"Invert", Make<EffectInvert>, "sox -D IN OUT vol -1"},
      {"Fade In", Make<EffectFadeIn>, "sox -D IN OUT fade t SECONDS"},
      {"Fade Out", Make<EffectFadeOut>, "sox -D IN OUT fade t 0 SECONDS SECONDS"},
      {"Reverse", Make<EffectReverse>, "sox -D IN OUT reverse"},
      // sox's normalize has no DC removal; both read the audio twice.
      {"Normalize", Make<EffectNormalize>, "sox -D IN OUT gain -n -3"},
      // sox's echo is one echo of the input; ours feeds back (the same work per sample).
      {"Echo",
       [](double) {
         auto e = std::make_unique<EffectEcho>();
         e->SetParameters(1.0f, 0.5f);
         return std::unique_ptr<Effect>(std::move(e));
       },
       "sox -D IN OUT echo 1 1 1000 0.5"},
      {"BassBoost", Make<EffectBassBoost>, "sox -D IN OUT bass 12 200 1s"},
      // sox's phaser is another design; no reference.
      {"Phaser", Make<EffectPhaser>, ""},
      {"Wahwah", Make<EffectWahwah>, ""},
      {"Tone", Make<EffectTone>, "sox -D -n -r 44100 -b 16 -c 2 OUT synth SECONDS sine 440", true},
      {"White Noise", Make<EffectWhiteNoise>, "sox -D -n -r 44100 -b 16 -c 2 OUT synth SECONDS whitenoise",
       true},
      {"Silence",
       [](double seconds) {
         auto e = std::make_unique<EffectSilence>();
         e->SetDuration(seconds);
         return std::unique_ptr<Effect>(std::move(e));
       },
       "sox -D -n -r 44100 -b 16 -c 2 OUT trim 0 SECONDS", true},
      // No tool filters by a table of per-bin gains; a sox FIR of the length of our
      // frame does the same amount of filtering work.
      {"Equalization",
       [](double) {
         auto e = std::make_unique<EffectEqualization>();
         e->SetCurve(kRate, {{100.0, 6.0}, {1000.0, 0.0}, {8000.0, -6.0}});
         return std::unique_ptr<Effect>(std::move(e));
       },
       "sox -D IN OUT sinc -n 16384 100-8000"},
      {"FFT Filter",
       [](double) {
         auto e = std::make_unique<EffectFFTFilter>();
         e->GetResponse().Insert(0.0, 0.7);
         e->GetResponse().Insert(1.0, 0.3);
         return std::unique_ptr<Effect>(std::move(e));
       },
       "sox -D IN OUT sinc -n 256 100-8000"},
      // sox's noise reduction also gates bins against a profile of the first seconds.
      {"Noise Removal", Make<ProfiledNoiseRemoval>,
       "sox IN -n trim 0 2 noiseprof OUT.prof && sox -D IN OUT noisered OUT.prof"},
      // sox's compand with the same attack, decay, ratio 2 above -12 dB and make-up
      // gain (its level detector differs).
      {"Compressor", Make<EffectCompressor>, "sox -D IN OUT compand 0.2,1 -90,-90,-12,-12,0,-6 4.2"},
      // The same converter (libsamplerate's fastest sinc) at the same factor 0.8.
      {"Change Speed",
       [](double) {
         auto e = std::make_unique<EffectChangeSpeed>();
         e->SetPercentChange(25.0);
         return std::unique_ptr<Effect>(std::move(e));
       },
       "sndfile-resample -to 35280 -c 2 IN OUT"},
      // The same library (SoundTouch) with the same settings.
      {"Change Pitch",
       [](double) {
         auto e = std::make_unique<EffectChangePitch>();
         e->SetSemitonesChange(3.0);
         return std::unique_ptr<Effect>(std::move(e));
       },
       "soundstretch IN OUT -pitch=3"},
      {"Change Tempo",
       [](double) {
         auto e = std::make_unique<EffectChangeTempo>();
         e->SetPercentChange(25.0);
         return std::unique_ptr<Effect>(std::move(e));
       },
       "soundstretch IN OUT -tempo=25"},
      // One more copy (the peer writes all of it; ours shares the blocks until export).
      {"Repeat",
       [](double) {
         auto e = std::make_unique<EffectRepeat>();
         e->SetCount(1);
         return std::unique_ptr<Effect>(std::move(e));
       },
       "sox -D IN OUT repeat 1"},
  };
}

std::string Replace(std::string s, const std::string& key, const std::string& value) {
  for (std::size_t at = s.find(key); at != std::string::npos; at = s.find(key, at + value.size()))
    s.replace(at, key.size(), value);
  return s;
}

// System (kernel) seconds so far of this process, all threads.
double SystemSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_stime.tv_sec) + static_cast<double>(u.ru_stime.tv_usec) / 1e6;
}

// Bytes this process has had read from the disk and written to it so far (/proc/self/io):
// reads that the page cache served and writes cancelled before they reached the disk
// (a file deleted while still dirty) do not count. A write through the page cache
// counts when it is made, even though the kernel writes it back later.
struct DiskBytes {
  double read = 0, written = 0;
};

DiskBytes DiskBytesSoFar() {
  DiskBytes d;
  double cancelled = 0;
  if (std::FILE* f = std::fopen("/proc/self/io", "r")) {
    char key[64];
    double value;
    while (std::fscanf(f, "%63[^:]: %lf\n", key, &value) == 2) {
      if (std::strcmp(key, "read_bytes") == 0) d.read = value;
      if (std::strcmp(key, "write_bytes") == 0) d.written = value;
      if (std::strcmp(key, "cancelled_write_bytes") == 0) cancelled = value;
    }
    std::fclose(f);
  }
  d.written -= cancelled;
  return d;
}

// The machine's load average over the last minute.
double LoadAverage() {
  double load[1] = {0.0};
  return getloadavg(load, 1) == 1 ? load[0] : 0.0;
}

// "1,10,60": lengths in minutes; the default ones when none can be read.
std::vector<double> ParseLengths(const std::string& text) {
  std::vector<double> lengths;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t comma = std::min(text.find(',', at), text.size());
    const double minutes = std::atof(text.substr(at, comma - at).c_str());
    if (minutes > 0.0) lengths.push_back(minutes);
    at = comma + 1;
  }
  if (lengths.empty()) lengths = {1.0, 10.0, 60.0};
  return lengths;
}

std::string PeerProgram(const std::string& command) { return command.substr(0, command.find(' ')); }

// ---- the audio ----

// A WAV file of a signal with some life in it: two tones, a slow swell and a little noise.
bool WriteSourceWav(const std::string& path, double seconds) {
  SF_INFO info{};
  info.samplerate = static_cast<int>(kRate);
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f) return false;
  const std::size_t frames = static_cast<std::size_t>(seconds * kRate);
  std::vector<float> chunk(2 * 65536);
  std::uint32_t seed = 1;
  for (std::size_t at = 0; at < frames; at += 65536) {
    const std::size_t n = std::min<std::size_t>(65536, frames - at);
    for (std::size_t i = 0; i < n; ++i) {
      seed = seed * 1664525u + 1013904223u;
      const double noise = (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 0.02;
      const double t = static_cast<double>(at + i) / kRate;
      const double swell = 0.6 + 0.4 * std::sin(2 * M_PI * 0.1 * t);
      chunk[2 * i] = static_cast<float>(
          swell * (0.3 * std::sin(2 * M_PI * 220 * t) + 0.1 * std::sin(2 * M_PI * 1770 * t)) + noise);
      chunk[2 * i + 1] = static_cast<float>(
          swell * (0.3 * std::sin(2 * M_PI * 330 * t) + 0.1 * std::sin(2 * M_PI * 2500 * t)) - noise);
    }
    sf_writef_float(f, chunk.data(), static_cast<sf_count_t>(n));
  }
  sf_close(f);
  return true;
}

// Our side of one job. The tracks live from the import to the export.
class OurJob {
public:
  explicit OurJob(TrackFactory& factory) : mFactory(factory) {}
  ~OurJob() { mList.Clear(false); }

  // Two empty 16-bit tracks, a stereo pair, selected.
  void MakeTracks() {
    for (int c = 0; c < 2; ++c) {
      mTracks[c].reset(mFactory.NewWaveTrack(SampleFormatInt16, kRate));
      mTracks[c]->SetChannel(c == 0 ? Track::LeftChannel : Track::RightChannel);
      mTracks[c]->SetLinked(c == 0);
      mTracks[c]->SetSelected(true);
      std::vector<Track*> removed;
      mList.Add(mTracks[c].get(), &removed);
    }
  }

  // Reads a stereo WAV file into the tracks, as the PCM importer does.
  bool Import(const std::string& path) {
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f || info.channels != 2) return false;
    const std::int32_t chunk = mTracks[0]->GetMaxBlockSize();
    std::vector<float> frames(2 * static_cast<std::size_t>(chunk)), channel(static_cast<std::size_t>(chunk));
    bool ok = true;
    for (;;) {
      const sf_count_t n = sf_readf_float(f, frames.data(), chunk);
      if (n <= 0) break;
      for (int c = 0; c < 2 && ok; ++c) {
        for (sf_count_t i = 0; i < n; ++i) channel[i] = frames[2 * i + c];
        ok = mTracks[c]->Append(reinterpret_cast<ConstSamplePtr>(channel.data()), SampleFormatFloat,
                                static_cast<std::int32_t>(n));
      }
    }
    sf_close(f);
    return ok && mTracks[0]->Flush() && mTracks[1]->Flush();
  }

  bool Apply(Effect& effect, double seconds) {
    double t0 = 0.0, t1 = seconds;
    return effect.Apply(0, effect.GetEffectFlags(), &mList, &mFactory, &t0, &t1);
  }

  // Writes the tracks as a 16-bit stereo WAV file.
  bool Export(const std::string& path) {
    SF_INFO info{};
    info.samplerate = static_cast<int>(kRate);
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f) return false;
    const std::int64_t total = std::max(mTracks[0]->TimeToSamples(mTracks[0]->GetEndTime()),
                                        mTracks[1]->TimeToSamples(mTracks[1]->GetEndTime()));
    const std::int32_t chunk = mTracks[0]->GetMaxBlockSize();
    std::vector<float> channel(static_cast<std::size_t>(chunk)), frames(2 * static_cast<std::size_t>(chunk));
    bool ok = true;
    for (std::int64_t at = 0; at < total && ok; at += chunk) {
      const std::int32_t n = static_cast<std::int32_t>(std::min<std::int64_t>(chunk, total - at));
      for (int c = 0; c < 2; ++c) {
        const std::int64_t have = mTracks[c]->TimeToSamples(mTracks[c]->GetEndTime());
        const std::int32_t got = static_cast<std::int32_t>(std::clamp<std::int64_t>(have - at, 0, n));
        std::fill(channel.begin(), channel.end(), 0.0f);
        if (got > 0)
          ok = mTracks[c]->Get(reinterpret_cast<SamplePtr>(channel.data()), SampleFormatFloat, at, got);
        for (std::int32_t i = 0; i < n; ++i) frames[2 * i + c] = channel[i];
      }
      ok = ok && sf_writef_float(f, frames.data(), n) == n;
    }
    return sf_close(f) == 0 && ok;
  }

  // The files of the tracks' blocks (silence has none).
  std::vector<std::string> BlockFiles() const {
    std::vector<std::string> files;
    for (const WaveTrack* t : mList.GetWaveTrackArray(false))
      for (const WaveBlock& b : t->GetSequence()->GetBlockArray())
        if (!b.f->GetFileName().GetName().empty()) files.push_back(b.f->GetFileName().GetFullPath());
    return files;
  }

private:
  TrackFactory& mFactory;
  TrackList mList;
  std::unique_ptr<WaveTrack> mTracks[2];
};

// How the block files stand when the effect starts, in the scaling table.
enum class CacheState {
  // As the import left them: a short job's source is all in the page cache and its
  // output never leaves it, a long one's oldest source blocks were written back and
  // dropped (the effect reads them from the disk) and it writes its own output back.
  Warm,
  // The same at every length: the source blocks written back and dropped from the
  // page cache before the effect, and the effect's output written to the disk (and
  // waited for) inside its timed part.
  Fair,
};

struct Options {
  std::string base;
  double minutes = 10.0;
  int rounds = 5;
  bool scaling = false;
  std::vector<double> lengths{1.0, 10.0, 60.0};                        // minutes, for --scaling
  std::vector<CacheState> states{CacheState::Warm, CacheState::Fair};  // for --scaling
  std::vector<std::string> only;
};

bool Wanted(const Options& o, const Case& c) {
  return o.only.empty() || std::find(o.only.begin(), o.only.end(), c.name) != o.only.end();
}

// The effect's own part of one run of our job: its cost, the kernel's share of its CPU
// time and what it had read from the disk and written to it.
struct EffectPart {
  Cost cost;
  double system = 0.0;
  DiskBytes disk;
};

// One run of our job; effect (when given) receives the effect's own part.
Cost RunOurs(TrackFactory& factory, const Case& c, const std::string& in, const std::string& out,
             double seconds, EffectPart* effect = nullptr, CacheState state = CacheState::Warm) {
  OurJob job(factory);
  std::unique_ptr<Effect> made = c.make(seconds);
  EffectPart part;
  const bool fair = state == CacheState::Fair;
  // Only the job's own blocks: the folder also holds spare files of earlier rounds,
  // more of them after a long job, and touching those would cost a short job more.
  auto each = [](const std::vector<std::string>& files, bool (*what)(const std::string&)) {
    bool ok = true;
    for (const std::string& f : files) ok = what(f) && ok;
    return ok;
  };
  const Cost whole = bench::MeasureSelf([&] {
    job.MakeTracks();
    if (!c.generator && !job.Import(in)) return false;
    if (fair && !each(job.BlockFiles(), bench::DropFromPageCache)) return false;
    const double system0 = SystemSeconds();
    const DiskBytes disk0 = DiskBytesSoFar();
    part.cost = bench::MeasureSelf(
        [&] { return job.Apply(*made, seconds) && (!fair || each(job.BlockFiles(), bench::FlushToDisk)); });
    part.system = SystemSeconds() - system0;
    const DiskBytes disk1 = DiskBytesSoFar();
    part.disk = {disk1.read - disk0.read, disk1.written - disk0.written};
    return part.cost.ok && job.Export(out);
  });
  if (effect) *effect = part;
  std::filesystem::remove(out);
  return whole;
}

std::string PeerCommand(const Case& c, const std::string& in, const std::string& out, double seconds) {
  std::string command = Replace(c.peer, "IN", "'" + in + "'");
  command = Replace(command, "OUT", "'" + out + "'");
  return Replace(command, "SECONDS", std::to_string(seconds));
}

void Compare(const Options& o, TrackFactory& factory, const testsupport::TrackProject& project) {
  const double seconds = o.minutes * 60.0;
  const std::string in = project / "source.wav", oursOut = project / "ours.wav",
                    peerOut = project / "peer.wav";
  if (!WriteSourceWav(in, seconds)) {
    std::printf("cannot write %s\n", in.c_str());
    return;
  }
  std::printf(
      "the job: %.1f minutes of 44.1 kHz 16-bit stereo, WAV in, effect, WAV out; median of %d paired "
      "rounds\n",
      o.minutes, o.rounds);
  bench::PrintHeader();
  for (const Case& c : Cases()) {
    if (!Wanted(o, c)) continue;
    const bool havePeer = !c.peer.empty() && testsupport::HaveProgram(PeerProgram(c.peer));
    const bench::Run ours = [&] { return RunOurs(factory, c, in, oursOut, seconds); };
    if (!havePeer) {
      std::vector<Cost> costs;
      for (int round = 0; round < o.rounds; ++round) costs.push_back(ours());
      const Cost a = MedianCost(costs);
      std::printf("%-34s %-8s | %8.3fs %9s %6s | %8.3fs %9s %6s | %d, medians\n", c.name, "-", a.wall, "-",
                  "-", a.cpu, "-", "-", o.rounds);
      continue;
    }
    const bench::PairResult r = bench::RunPairs(
        o.rounds, ours, bench::Peer(PeerCommand(c, in, peerOut, seconds) + " >/dev/null 2>&1"), [&] {
          std::filesystem::remove(peerOut);
          std::filesystem::remove(peerOut + ".prof");
        });
    bench::PrintRow(c.name, PeerProgram(c.peer), r);
    std::fflush(stdout);
  }
}

// Our cost per minute of audio at each length (1, 10 and 60 minutes unless given):
// the whole job and the effect alone, medians of the rounds, CPU (with its user and
// kernel parts) and wall, with the block files warm and in the fair state (CacheState).
// A round runs every length once in each state, shortest first, so a busy spell of a
// shared machine falls on all lengths alike instead of on one of them. A length shorter
// than kMinutesPerSample runs its job that many times over in a round and adds them up:
// the kernel splits CPU time into user and system by sampling at its clock tick (4 ms
// here), and a minute of a fast effect takes only a few ticks.
constexpr double kMinutesPerSample = 10.0;

void Scaling(const Options& o, TrackFactory& factory, const testsupport::TrackProject& project) {
  const std::vector<double>& lengths = o.lengths;
  const std::size_t count = lengths.size();
  const std::vector<Case> cases = Cases();
  // [state][case][length][round]: the whole job and the effect's part, per minute of audio
  struct Rounds {
    std::vector<double> job, cpu, user, system, wall, wait, read, written;
  };
  const std::vector<CacheState> states = o.states;
  std::vector<std::vector<std::vector<Rounds>>> runs(
      states.size(), std::vector<std::vector<Rounds>>(cases.size(), std::vector<Rounds>(count)));
  const std::string ours = project / "ours.wav";
  std::vector<std::string> sources;
  for (double minutes : lengths) {
    sources.push_back(project / ("source-" + std::to_string(sources.size()) + ".wav"));
    if (!WriteSourceWav(sources.back(), minutes * 60.0)) return;
  }
  // The first long job of a run makes the block files that later jobs write into again
  // (BlockFileRecycler); on a file system without a journal making them costs more for a
  // while after another run deleted its files. One Amplify job at the longest length,
  // not counted, makes them, so that every round sees what a program that has already
  // run a long job sees.
  const std::size_t longest =
      static_cast<std::size_t>(std::max_element(lengths.begin(), lengths.end()) - lengths.begin());
  RunOurs(factory, cases.front(), sources[longest], ours, lengths[longest] * 60.0);
  const double loadBefore = LoadAverage();
  for (int round = 0; round < o.rounds; ++round)
    for (std::size_t l = 0; l < count; ++l)
      for (std::size_t k = 0; k < cases.size(); ++k)
        for (std::size_t s = 0; s < states.size(); ++s) {
          if (!Wanted(o, cases[k])) continue;
          const int times = std::max(1, static_cast<int>(std::ceil(kMinutesPerSample / lengths[l] - 1e-9)));
          double job = 0, cpu = 0, system = 0, wall = 0, read = 0, written = 0;
          for (int t = 0; t < times; ++t) {
            EffectPart e;
            job += RunOurs(factory, cases[k], sources[l], ours, lengths[l] * 60.0, &e, states[s]).cpu;
            cpu += e.cost.cpu;
            system += e.system;
            wall += e.cost.wall;
            read += e.disk.read;
            written += e.disk.written;
          }
          const double ms = 1000.0 / (lengths[l] * times), mib = 1.0 / (1024.0 * 1024.0 * lengths[l] * times);
          Rounds& r = runs[s][k][l];
          r.job.push_back(job * ms);
          r.cpu.push_back(cpu * ms);
          r.user.push_back((cpu - system) * ms);
          r.system.push_back(system * ms);
          r.wall.push_back(wall * ms);
          r.wait.push_back(std::max(0.0, wall - cpu) * ms);
          r.read.push_back(read * mib);
          r.written.push_back(written * mib);
        }
  const double loadAfter = LoadAverage();
  for (const std::string& in : sources) std::filesystem::remove(in);

  std::printf(
      "cost per minute of audio, median of %d rounds (lengths under %g minutes: the sum of that many minutes "
      "of jobs per round), after one uncounted Amplify job at the longest length; load average %.1f before, "
      "%.1f after\n"
      "the effect alone: cpu = user + sys [ms], wall [ms], wait = wall - cpu [ms] (for the disk, or for a "
      "processor on a busy machine), disk read and written [MiB] (page-cache writes count when made); job = "
      "the whole job's cpu [ms]; ratio = longest / shortest\n",
      o.rounds, kMinutesPerSample, loadBefore, loadAfter);
  const char* names[] = {"cpu", "user", "sys", "wall", "wait", "read", "write", "job"};
  for (std::size_t s = 0; s < states.size(); ++s) {
    std::printf(
        states[s] == CacheState::Warm
            ? "warm: the block files as the import left them (a short job's in the page cache, its "
              "output left to the kernel)\n"
            : "fair: the source blocks written back and dropped from the page cache before the effect, "
              "the output flushed to the disk inside the effect's time, at every length\n");
    std::printf("%-14s", "effect");
    for (const char* what : names) {
      std::printf(" |");
      for (double m : lengths) std::printf(" %5s %-3g", what, m);
      std::printf(" %6s", count > 1 ? "ratio" : "");
    }
    std::printf("\n");
    for (std::size_t k = 0; k < cases.size(); ++k) {
      if (!Wanted(o, cases[k])) continue;
      std::printf("%-14s", cases[k].name);
      for (std::vector<double> Rounds::*column :
           {&Rounds::cpu, &Rounds::user, &Rounds::system, &Rounds::wall, &Rounds::wait, &Rounds::read,
            &Rounds::written, &Rounds::job}) {
        std::vector<double> medians;
        for (std::size_t l = 0; l < count; ++l) medians.push_back(bench::Median(runs[s][k][l].*column));
        std::printf(" |");
        for (double v : medians) std::printf(" %9.1f", v);
        if (count > 1 && medians.front() > 0.05)
          std::printf(" %6.2f", medians.back() / medians.front());
        else
          std::printf(" %6s", "-");
      }
      std::printf("\n");
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--scaling")
      o.scaling = true;
    else if (arg == "--rounds" && i + 1 < argc)
      o.rounds = std::max(1, std::atoi(argv[++i]));
    else if (arg == "--lengths" && i + 1 < argc)
      o.lengths = ParseLengths(argv[++i]);
    else if (arg == "--cache" && i + 1 < argc) {
      const std::string state = argv[++i];
      if (state == "warm") o.states = {CacheState::Warm};
      if (state == "fair") o.states = {CacheState::Fair};
    } else
      positional.push_back(arg);
  }
  o.base = positional.size() > 0 ? positional[0] : std::filesystem::temp_directory_path().string();
  if (positional.size() > 1) o.minutes = std::atof(positional[1].c_str());
  if (positional.size() > 2) o.only.assign(positional.begin() + 2, positional.end());

  testsupport::TrackProject project(0, o.base);
  TrackFactory& factory = *project.factory();
  std::printf("block files in %s\n", project.blocks().c_str());
  if (o.scaling)
    Scaling(o, factory, project);
  else
    Compare(o, factory, project);
  return 0;
}
