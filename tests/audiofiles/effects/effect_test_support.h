#pragma once
// A small project for effect tests: the shared track project (block files in a fresh
// temporary folder, a track factory), a track list, and helpers to fill and read
// tracks. Blocks are kept small (see kBlockBytes) so short selections already cross
// block boundaries.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "audiofiles/effects/Effect.h"
#include "core/model/DirManager.h"
#include "core/model/Sequence.h"
#include "core/model/TrackFactory.h"
#include "core/model/TrackList.h"
#include "core/model/WaveTrack.h"
#include "tests/support/native/TrackProject.h"

namespace effecttest {

// Every sample of the track.
inline std::vector<float> TrackSamples(const WaveTrack* track) {
  const std::int64_t first = track->TimeToSamples(track->GetStartTime());
  std::vector<float> out(static_cast<std::size_t>(track->GetNumSamples()));
  if (!out.empty()) {
    EXPECT_TRUE(track->Get(reinterpret_cast<SamplePtr>(out.data()), SampleFormatFloat, first,
                           static_cast<std::int32_t>(out.size())));
  }
  return out;
}

// n samples rising evenly from `from` to `to`.
inline std::vector<float> MakeRamp(std::size_t n, float from = -0.9f, float to = 0.9f) {
  std::vector<float> v(n);
  for (std::size_t i = 0; i < n; ++i)
    v[i] = n > 1 ? from + (to - from) * static_cast<float>(i) / static_cast<float>(n - 1) : from;
  return v;
}

class EffectProject : public ::testing::Test {
protected:
  // Float blocks of 256 to 512 samples.
  static constexpr std::int32_t kBlockBytes = 2048;

  void TearDown() override {
    mList.Clear(false);
    mTracks.clear();
  }

  // A new float track holding `samples`, added to the list and selected.
  WaveTrack* AddTrack(const std::vector<float>& samples, double rate = 44100.0,
                      int channel = Track::MonoChannel, bool linked = false,
                      SampleFormat format = SampleFormatFloat) {
    std::unique_ptr<WaveTrack> track(mFactory->NewWaveTrack(format, rate));
    track->SetChannel(channel);
    track->SetLinked(linked);
    if (!samples.empty()) {
      EXPECT_TRUE(track->Append(reinterpret_cast<ConstSamplePtr>(samples.data()), SampleFormatFloat,
                                static_cast<std::int32_t>(samples.size())));
      EXPECT_TRUE(track->Flush());
    }
    track->SetSelected(true);
    WaveTrack* raw = track.get();
    std::vector<Track*> removed;
    mList.Add(raw, &removed);
    mTracks.push_back(std::move(track));
    return raw;
  }

  static std::vector<float> Samples(const WaveTrack* track) { return TrackSamples(track); }

  // Runs the effect on the list's selection t0 .. t1; the selection after the run
  // comes back in *t0out / *t1out when given.
  bool Run(Effect& effect, double t0, double t1, double* t0out = nullptr, double* t1out = nullptr) {
    double a = t0, b = t1;
    const bool ok = effect.Apply(0, effect.GetEffectFlags(), &mList, mFactory, &a, &b);
    if (t0out) *t0out = a;
    if (t1out) *t1out = b;
    return ok;
  }

  static std::vector<float> Ramp(std::size_t n, float from = -0.9f, float to = 0.9f) {
    return MakeRamp(n, from, to);
  }

  testsupport::TrackProject mProject{kBlockBytes};
  const std::string mFolder = mProject.folder().path();
  TrackFactory* mFactory = mProject.factory();
  TrackList mList;
  std::vector<std::unique_ptr<WaveTrack>> mTracks;
};

}  // namespace effecttest
