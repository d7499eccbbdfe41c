#include "audiofiles/effects/EffectEcho.h"

#include <algorithm>
#include <vector>

#include "audiofiles/effects/EffectDialogs.h"
#include "core/model/WaveTrack.h"

bool EffectEcho::PromptUser() {
  float delay = mDelay, decay = mDecay;
  if (!GetEffectDialogs().EchoDialog(&delay, &decay)) return false;
  mDelay = delay;
  mDecay = decay;
  return true;
}

bool EffectEcho::Process() {
  return ForEachTrackPart([this](int number, WaveTrack* track, const TrackPart& part) {
    mCurTrackNum = number;
    return ProcessOne(track, part.s0, part.s1 - part.s0);
  });
}

bool EffectEcho::ProcessOne(WaveTrack* track, std::int64_t s0, std::int64_t length) {
  const double delaySamples = track->GetRate() * static_cast<double>(mDelay);
  // A delay of less than one sample, or longer than the selection, echoes nothing.
  if (!(delaySamples >= 1.0) || delaySamples > static_cast<double>(length)) return true;
  const std::int64_t offset = static_cast<std::int64_t>(delaySamples);

  // The track is walked in its own blocks (a short delay must not turn into many
  // small rewrites of the same block file); `history` keeps the last `offset`
  // echoed samples, so sample k reads y[k - offset] from history[k % offset].
  std::vector<float> history(static_cast<std::size_t>(offset));
  std::vector<float> buffer(static_cast<std::size_t>(track->GetMaxBlockSize()));
  const float decay = mDecay;
  std::int64_t done = 0;
  std::int64_t slot = 0;  // done % offset
  while (done < length) {
    const int n = static_cast<int>(
        std::min<std::int64_t>(std::min<std::int64_t>(track->GetBestBlockSize(s0 + done), length - done),
                               static_cast<std::int64_t>(buffer.size())));
    SamplePtr data = reinterpret_cast<SamplePtr>(buffer.data());
    if (!track->Get(data, SampleFormatFloat, s0 + done, n)) return false;
    bool changed = false;
    for (int i = 0; i < n; ++i) {
      float y = buffer[i];
      if (done + i >= offset) {
        y += history[static_cast<std::size_t>(slot)] * decay;
        buffer[i] = y;
        changed = true;
      }
      history[static_cast<std::size_t>(slot)] = y;
      if (++slot == offset) slot = 0;
    }
    if (changed && !track->Set(data, SampleFormatFloat, s0 + done, n)) return false;
    done += n;
    if (TrackProgress(mCurTrackNum, static_cast<double>(done) / static_cast<double>(length))) return false;
  }
  return true;
}
