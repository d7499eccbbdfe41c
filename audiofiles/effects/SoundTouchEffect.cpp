#include "audiofiles/effects/SoundTouchEffect.h"

#include <SoundTouch.h>

#include <algorithm>
#include <vector>

#include "core/model/TrackFactory.h"
#include "core/model/WaveTrack.h"

SoundTouchEffect::SoundTouchEffect() = default;

SoundTouchEffect::~SoundTouchEffect() = default;

void SoundTouchEffect::MakeSoundTouch() {
  mSoundTouch = std::make_unique<soundtouch::SoundTouch>();
  mSoundTouch->setChannels(1);
}

void SoundTouchEffect::DeleteSoundTouch() { mSoundTouch.reset(); }

bool SoundTouchEffect::Process() {
  mCurTrackNum = 0;
  mNewLength = 0.0;
  if (!ForEachTrackPart([this](int number, WaveTrack* track, const TrackPart& part) {
        mCurTrackNum = number;
        return ProcessTrack(track, part.s0, part.s1);
      }))
    return false;
  return true;
}

namespace {

// Moves what SoundTouch has ready into the track; false when a block cannot be
// written.
bool Drain(soundtouch::SoundTouch& st, WaveTrack& out, std::vector<float>& scratch) {
  for (;;) {
    const unsigned n = st.numSamples();
    if (n == 0) return true;
    if (scratch.size() < n) scratch.resize(n);
    const unsigned got = st.receiveSamples(scratch.data(), n);
    if (got == 0) return true;
    if (!out.Append(reinterpret_cast<ConstSamplePtr>(scratch.data()), SampleFormatFloat,
                    static_cast<std::int32_t>(got)))
      return false;
  }
}

}  // namespace

bool SoundTouchEffect::ProcessTrack(WaveTrack* track, std::int64_t start, std::int64_t end) {
  soundtouch::SoundTouch& st = *mSoundTouch;
  st.setSampleRate(static_cast<unsigned>(track->GetRate() + 0.5));
  // Each track starts from a clean state: nothing of the previous track's end may
  // leak into this one's start.
  st.clear();

  // The new audio is made at the track's own rate, so that its length in seconds
  // is the length it has once pasted.
  std::unique_ptr<WaveTrack> out(mFactory->NewWaveTrack(track->GetSampleFormat(), track->GetRate()));
  const double length = static_cast<double>(end - start);
  std::vector<float> buffer(static_cast<std::size_t>(track->GetMaxBlockSize()));
  std::vector<float> scratch;

  std::int64_t s = start;
  while (s < end) {
    const int block =
        static_cast<int>(std::min<std::int64_t>(std::min<std::int64_t>(track->GetBestBlockSize(s), end - s),
                                                static_cast<std::int64_t>(buffer.size())));
    if (!track->Get(reinterpret_cast<SamplePtr>(buffer.data()), SampleFormatFloat, s, block)) return false;
    st.putSamples(buffer.data(), static_cast<unsigned>(block));
    if (!Drain(st, *out, scratch)) return false;
    s += block;
    if (TrackProgress(mCurTrackNum, static_cast<double>(s - start) / length)) return false;
  }
  st.flush();
  if (!Drain(st, *out, scratch)) return false;
  if (!out->Flush()) return false;

  if (!track->Clear(mT0, mT1)) return false;
  if (!track->Paste(mT0, out.get())) return false;
  mNewLength = std::max(mNewLength, out->GetEndTime());
  return true;
}
