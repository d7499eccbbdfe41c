// Change Speed: resamples the selection, so that speed and pitch change together
// and the selection's length changes by the inverse factor.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "audiofiles/effects/Effect.h"
#include "audiofiles/effects/EffectText.h"

class EffectChangeSpeed : public Effect {
public:
  std::string GetEffectName() const override { return effect_text::kChangeSpeedName; }
  std::string GetEffectAction() const override { return effect_text::kChangeSpeedAction; }
  // "Applied effect: Change Speed... 100.0%"
  std::string GetEffectDescription() const override;

  // Refuses a change the resampler cannot make: the length factor
  // 100 / (100 + percent) must lie within 1/12 .. 12, that is the percent change
  // within -91.67 .. +1100.
  bool Init() override;
  bool Process() override;

  double GetPercentChange() const { return mPercentChange; }
  void SetPercentChange(double percent) { mPercentChange = percent; }

  // Resamples samples start .. end-1 of track into a new track and puts it in place
  // of the selection on that track.
  bool ProcessTrack(WaveTrack* track, std::int64_t start, std::int64_t end);

private:
  // Resamples one track's part, or the two channels of a pair at the same time, and
  // puts the results in place.
  bool ProcessTracks(const std::vector<std::pair<WaveTrack*, TrackPart>>& tracks);

  int mCurTrackNum = 0;
  double mNewLength = 0.0;
  double mPercentChange = 0.0;
};
