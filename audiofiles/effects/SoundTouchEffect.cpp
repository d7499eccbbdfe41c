#include "audiofiles/effects/SoundTouchEffect.h"

#include <SoundTouch.h>

#include <algorithm>
#include <vector>

#include "audiofiles/effects/ChannelJob.h"
#include "core/model/TrackFactory.h"
#include "core/model/WaveTrack.h"

SoundTouchEffect::SoundTouchEffect() = default;

SoundTouchEffect::~SoundTouchEffect() = default;

std::unique_ptr<soundtouch::SoundTouch> SoundTouchEffect::NewSoundTouch() const {
  auto st = std::make_unique<soundtouch::SoundTouch>();
  st->setChannels(1);
  SetUpSoundTouch(*st);
  return st;
}

void SoundTouchEffect::MakeSoundTouch() { mSoundTouch = NewSoundTouch(); }

void SoundTouchEffect::DeleteSoundTouch() { mSoundTouch.reset(); }

bool SoundTouchEffect::Process() {
  mCurTrackNum = 0;
  mNewLength = 0.0;
  return ForEachTrackPair([this](const std::vector<TrackSlot>& slots) {
    mCurTrackNum = slots.front().number;
    std::vector<std::pair<WaveTrack*, TrackPart>> tracks;
    for (const TrackSlot& slot : slots) tracks.emplace_back(slot.track, slot.part);
    return ProcessTracks(tracks);
  });
}

namespace {

// One track through its own SoundTouch object, a block of the track per step; then
// the flushed end.
class SoundTouchJob : public ChannelJob {
public:
  SoundTouchJob(const WaveTrack& track, std::int64_t start, std::int64_t end, soundtouch::SoundTouch& st)
      : ChannelJob(track, start, end), mSt(st), mBuffer(static_cast<std::size_t>(track.GetMaxBlockSize())) {}

  bool Step() override {
    mOutput.clear();
    if (mPos < mEnd) {
      const int block = ReadPiece(mBuffer, static_cast<int>(mBuffer.size()));
      if (block <= 0) return false;
      mSt.putSamples(mBuffer.data(), static_cast<unsigned>(block));
      mPos += block;
    } else {
      mSt.flush();
      mDone = true;
    }
    Drain();
    return true;
  }

private:
  // Takes everything SoundTouch has ready.
  void Drain() {
    for (;;) {
      const unsigned n = mSt.numSamples();
      if (n == 0) return;
      const std::size_t at = mOutput.size();
      mOutput.resize(at + n);
      const unsigned got = mSt.receiveSamples(mOutput.data() + at, n);
      mOutput.resize(at + got);
      if (got == 0) return;
    }
  }

  soundtouch::SoundTouch& mSt;
  std::vector<float> mBuffer;
};

}  // namespace

bool SoundTouchEffect::ProcessTrack(WaveTrack* track, std::int64_t start, std::int64_t end) {
  TrackPart part;
  part.s0 = start;
  part.s1 = end;
  return ProcessTracks({{track, part}});
}

bool SoundTouchEffect::ProcessTracks(const std::vector<std::pair<WaveTrack*, TrackPart>>& tracks) {
  // One SoundTouch object per channel: the effect's own for the first, a second one
  // set up the same way for the partner of a pair.
  std::unique_ptr<soundtouch::SoundTouch> second;
  std::vector<std::unique_ptr<SoundTouchJob>> jobs;
  std::vector<std::unique_ptr<WaveTrack>> outs;
  std::vector<ChannelJob*> jobList;
  std::vector<WaveTrack*> outList;
  for (const auto& [track, part] : tracks) {
    soundtouch::SoundTouch* st = mSoundTouch.get();
    if (!jobs.empty()) {
      second = NewSoundTouch();
      st = second.get();
    }
    st->setSampleRate(static_cast<unsigned>(track->GetRate() + 0.5));
    // Each track starts from a clean state: nothing of the previous track's end may
    // leak into this one's start.
    st->clear();
    jobs.push_back(std::make_unique<SoundTouchJob>(*track, part.s0, part.s1, *st));
    // The new audio is made at the track's own rate, so that its length in seconds
    // is the length it has once pasted.
    outs.emplace_back(mFactory->NewWaveTrack(track->GetSampleFormat(), track->GetRate()));
    jobList.push_back(jobs.back().get());
    outList.push_back(outs.back().get());
  }

  std::vector<WaveTrack*> sources;
  for (const auto& entry : tracks) sources.push_back(entry.first);
  return RunChannelJobsReplacing(
      jobList, sources, outList, mT0, mT1,
      [this](double fractionSum) { return TrackProgress(mCurTrackNum, fractionSum); }, mNewLength);
}
