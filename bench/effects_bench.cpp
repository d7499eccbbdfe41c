// Runs each effect on 10 minutes of 44.1 kHz 16-bit stereo held in block files, and,
// where sox does the same job, sox on the same audio (a 16-bit WAV file in, one out).
//
//   effects_bench [folder] [minutes] [effect name ...]
//
// Prints, per effect, our seconds and real-time factor, sox's seconds and the ratio of
// the times (ours / sox), each the best of three runs. Each run starts from the same
// audio: the tracks are copies of one recording (shared blocks), made fresh for every
// run and not timed.
// Goals: 100x real time or more for the amplitude and order effects, 20x or more for
// the spectral and time effects; no slower than 1.5x sox where sox does the same job.
#include <stdlib.h>

#include <algorithm>
#include <chrono>
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
#include "core/model/DirManager.h"
#include "core/model/Envelope.h"
#include "core/model/TrackFactory.h"
#include "core/model/TrackList.h"
#include "core/model/WaveTrack.h"
#include "tests/support/native/Programs.h"
#include "tests/support/native/TrackProject.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int kRounds = 3;

double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// One benchmark case: how to make the effect, and sox's words for the same job
// (empty when sox has no such effect). "IN" and "OUT" stand for the files; a sox
// command without "IN" generates its audio.
struct Case {
  const char* name;
  std::function<std::unique_ptr<Effect>()> make;
  std::string sox;
};

template <class E>
std::unique_ptr<Effect> Make() {
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
       [] {
         auto e = std::make_unique<EffectAmplify>();
         e->SetRatio(0.5f);
         return std::unique_ptr<Effect>(std::move(e));
       },
       "sox -V1 -D IN OUT vol 0.5"},
      {"Invert", Make<EffectInvert>, "sox -V1 -D IN OUT vol -1"},
      {"Fade In", Make<EffectFadeIn>, "sox -V1 -D IN OUT fade t SECONDS"},
      {"Fade Out", Make<EffectFadeOut>, "sox -V1 -D IN OUT fade t 0 SECONDS SECONDS"},
      {"Reverse", Make<EffectReverse>, "sox -V1 -D IN OUT reverse"},
      // sox's normalize has no DC removal; both read the audio twice.
      {"Normalize", Make<EffectNormalize>, "sox -V1 -D IN OUT gain -n -3"},
      // sox's echo is one echo of the input; ours feeds back (the same work per sample).
      {"Echo",
       [] {
         auto e = std::make_unique<EffectEcho>();
         e->SetParameters(1.0f, 0.5f);
         return std::unique_ptr<Effect>(std::move(e));
       },
       "sox -V1 -D IN OUT echo 1 1 1000 0.5"},
      {"BassBoost", Make<EffectBassBoost>, "sox -V1 -D IN OUT bass 12 200 1s"},
      // sox's phaser is another design; no reference.
      {"Phaser", Make<EffectPhaser>, ""},
      {"Wahwah", Make<EffectWahwah>, ""},
      // The generators insert a selection's length of new audio into both tracks.
      {"Tone", Make<EffectTone>, "sox -V1 -D -n -r 44100 -b 16 -c 2 OUT synth SECONDS sine 440"},
      {"White Noise", Make<EffectWhiteNoise>,
       "sox -V1 -D -n -r 44100 -b 16 -c 2 OUT synth SECONDS whitenoise"},
      {"Silence", Make<EffectSilence>, ""},
      // The spectral effects: sox has no filter by a table of per-bin gains.
      {"Equalization",
       [] {
         auto e = std::make_unique<EffectEqualization>();
         e->SetCurve(kRate, {{100.0, 6.0}, {1000.0, 0.0}, {8000.0, -6.0}});
         return std::unique_ptr<Effect>(std::move(e));
       },
       ""},
      {"FFT Filter",
       [] {
         auto e = std::make_unique<EffectFFTFilter>();
         e->GetResponse().Insert(0.0, 0.7);
         e->GetResponse().Insert(1.0, 0.3);
         return std::unique_ptr<Effect>(std::move(e));
       },
       ""},
      // sox's noise reduction also gates bins against a profile of the first seconds.
      {"Noise Removal", Make<ProfiledNoiseRemoval>,
       "sox -V1 IN -n trim 0 2 noiseprof OUT.prof && sox -V1 -D IN OUT noisered OUT.prof"},
      // sox's compand with the same attack, decay, ratio 2 above -12 dB and make-up
      // gain (its level detector differs).
      {"Compressor", Make<EffectCompressor>, "sox -V1 -D IN OUT compand 0.2,1 -90,-90,-12,-12,0,-6 4.2"},
      {"Change Speed",
       [] {
         auto e = std::make_unique<EffectChangeSpeed>();
         e->SetPercentChange(25.0);
         return std::unique_ptr<Effect>(std::move(e));
       },
       "sox -V1 -D IN OUT speed 1.25"},
      {"Change Pitch",
       [] {
         auto e = std::make_unique<EffectChangePitch>();
         e->SetSemitonesChange(3.0);
         return std::unique_ptr<Effect>(std::move(e));
       },
       "sox -V1 -D IN OUT pitch 300"},
      {"Change Tempo",
       [] {
         auto e = std::make_unique<EffectChangeTempo>();
         e->SetPercentChange(25.0);
         return std::unique_ptr<Effect>(std::move(e));
       },
       "sox -V1 -D IN OUT tempo 1.25"},
      // One more copy (sox writes all of it; ours shares the blocks).
      {"Repeat",
       [] {
         auto e = std::make_unique<EffectRepeat>();
         e->SetCount(1);
         return std::unique_ptr<Effect>(std::move(e));
       },
       "sox -V1 -D IN OUT repeat 1"},
  };
}

std::string Replace(std::string s, const std::string& key, const std::string& value) {
  for (std::size_t at = s.find(key); at != std::string::npos; at = s.find(key, at + value.size()))
    s.replace(at, key.size(), value);
  return s;
}

// A signal with some life in it: two tones, a slow swell and a little noise.
void MakeSignal(std::vector<float>& left, std::vector<float>& right) {
  std::uint32_t seed = 1;
  for (std::size_t i = 0; i < left.size(); ++i) {
    seed = seed * 1664525u + 1013904223u;
    const double noise = (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 0.02;
    const double t = static_cast<double>(i) / kRate;
    const double swell = 0.6 + 0.4 * std::sin(2 * M_PI * 0.1 * t);
    left[i] = static_cast<float>(
        swell * (0.3 * std::sin(2 * M_PI * 220 * t) + 0.1 * std::sin(2 * M_PI * 1770 * t)) + noise);
    right[i] = static_cast<float>(
        swell * (0.3 * std::sin(2 * M_PI * 330 * t) + 0.1 * std::sin(2 * M_PI * 2500 * t)) - noise);
  }
}

bool WriteWav(const std::string& path, const std::vector<float>& left, const std::vector<float>& right) {
  SF_INFO info{};
  info.samplerate = static_cast<int>(kRate);
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f) return false;
  std::vector<float> frames(2 * 65536);
  for (std::size_t at = 0; at < left.size(); at += 65536) {
    const std::size_t n = std::min<std::size_t>(65536, left.size() - at);
    for (std::size_t i = 0; i < n; ++i) {
      frames[2 * i] = left[at + i];
      frames[2 * i + 1] = right[at + i];
    }
    sf_writef_float(f, frames.data(), static_cast<sf_count_t>(n));
  }
  sf_close(f);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string base = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
  const double minutes = argc > 2 ? std::atof(argv[2]) : 10.0;
  std::vector<std::string> only(argv + std::min(argc, 3), argv + argc);
  const double seconds = minutes * 60.0;
  const std::size_t frames = static_cast<std::size_t>(seconds * kRate);

  testsupport::TrackProject project(0, base);
  TrackFactory& factory = *project.factory();

  std::printf("effects on %.1f minutes of 44.1 kHz 16-bit stereo in block files (%s)\n", minutes,
              project.blocks().c_str());
  std::vector<float> left(frames), right(frames);
  MakeSignal(left, right);
  const std::string wav = project / "source.wav", out = project / "sox-out.wav";
  const bool haveSox = testsupport::HaveProgram("sox") && WriteWav(wav, left, right);
  if (!haveSox) std::printf("(no sox: no reference figures)\n");

  std::unique_ptr<WaveTrack> source[2];
  for (int c = 0; c < 2; ++c) {
    source[c].reset(factory.NewWaveTrack(SampleFormatInt16, kRate));
    const std::vector<float>& samples = c == 0 ? left : right;
    for (std::size_t at = 0; at < frames; at += 1 << 20) {
      const std::int32_t n = static_cast<std::int32_t>(std::min<std::size_t>(1 << 20, frames - at));
      source[c]->Append(reinterpret_cast<ConstSamplePtr>(samples.data() + at), SampleFormatFloat, n);
    }
    source[c]->Flush();
    source[c]->SetChannel(c == 0 ? Track::LeftChannel : Track::RightChannel);
    source[c]->SetLinked(c == 0);
    source[c]->SetSelected(true);
  }
  left.clear();
  left.shrink_to_fit();
  right.clear();
  right.shrink_to_fit();

  std::printf("%-14s %10s %10s %10s %12s\n", "effect", "ours [s]", "x realtime", "sox [s]", "ours / sox");
  for (const Case& c : Cases()) {
    if (!only.empty() && std::find(only.begin(), only.end(), c.name) == only.end()) continue;

    // Best of three runs, each on fresh tracks over the same blocks.
    double ours = 1e30;
    bool ok = true;
    for (int round = 0; round < kRounds; ++round) {
      std::unique_ptr<WaveTrack> tracks[2];
      TrackList list;
      for (int i = 0; i < 2; ++i) {
        tracks[i].reset(static_cast<WaveTrack*>(source[i]->Duplicate()));
        std::vector<Track*> removed;
        list.Add(tracks[i].get(), &removed);
      }
      std::unique_ptr<Effect> effect = c.make();
      double t0 = 0.0, t1 = seconds;
      const double start = Now();
      ok = effect->Apply(0, effect->GetEffectFlags(), &list, &factory, &t0, &t1) && ok;
      ours = std::min(ours, Now() - start);
      list.Clear(false);
    }

    double soxTime = 0.0;
    if (haveSox && !c.sox.empty()) {
      std::string command = Replace(c.sox, "IN", "'" + wav + "'");
      command = Replace(command, "OUT", "'" + out + "'");
      command = Replace(command, "SECONDS", std::to_string(seconds));
      soxTime = 1e30;
      for (int round = 0; round < kRounds && soxTime > 0.0; ++round) {
        const double soxStart = Now();
        const int status = std::system(command.c_str());
        soxTime = status == 0 ? std::min(soxTime, Now() - soxStart) : 0.0;
        std::filesystem::remove(out);
      }
    }
    std::printf("%-14s %10.3f %10.1f", c.name, ours, seconds / ours);
    if (soxTime > 0.0)
      std::printf(" %10.3f %12.2f", soxTime, ours / soxTime);
    else
      std::printf(" %10s %12s", "-", "-");
    std::printf("%s\n", ok ? "" : "  (effect failed)");
    std::fflush(stdout);
  }

  for (auto& t : source) t.reset();
  return 0;
}
