#include "audiofiles/effects/Effect.h"

#include <algorithm>
#include <cmath>

#include "audiofiles/effects/EffectText.h"
#include "core/model/Envelope.h"
#include "core/model/Sequence.h"
#include "core/model/SystemUtils.h"
#include "core/model/TrackList.h"
#include "core/model/WaveTrack.h"
#include "platform/seams/Progress.h"

double ClampDouble(double value, double low, double high) {
  if (value <= low) return low;
  if (value >= high) return high;
  return value;
}

Effect::Effect() = default;

Effect::~Effect() { DeleteWaveTrackList(); }

std::string Effect::GetEffectDescription() const { return effect_text::kAppliedEffectLine + GetEffectName(); }

int Effect::GetEffectFlags() const { return ProcessEffectFlags; }

bool Effect::Init() { return true; }

bool Effect::PromptUser() { return true; }

void Effect::End() {}

void Effect::DeleteWaveTrackList() {
  // The list only borrows the project's tracks.
  delete mWaveTracks;
  mWaveTracks = nullptr;
}

void Effect::DeleteProgress() { mProgress.reset(); }

std::vector<WaveTrack*> Effect::GetSelectedWaveTracks() const {
  std::vector<WaveTrack*> result;
  if (!mWaveTracks) return result;
  TrackListIterator iter(mWaveTracks);
  for (Track* t = iter.First(); t; t = iter.Next()) result.push_back(static_cast<WaveTrack*>(t));
  return result;
}

bool Effect::ForEachTrackPart(
    const std::function<bool(int number, WaveTrack* track, const TrackPart& part)>& process) {
  int number = 0;
  for (WaveTrack* track : GetSelectedWaveTracks()) {
    TrackPart part;
    part.t0 = std::max(mT0, track->GetStartTime());
    part.t1 = std::min(mT1, track->GetEndTime());
    if (part.t1 > part.t0) {
      part.s0 = track->TimeToSamples(part.t0);
      part.s1 = track->TimeToSamples(part.t1);
      if (!process(number, track, part)) return false;
    }
    ++number;
  }
  return true;
}

bool Effect::ForEachTrackPair(const std::function<bool(const std::vector<TrackSlot>& slots)>& process) {
  std::vector<TrackSlot> slots;
  if (!ForEachTrackPart([&](int number, WaveTrack* track, const TrackPart& part) {
        slots.push_back({number, track, part});
        return true;
      }))
    return false;
  for (std::size_t i = 0; i < slots.size();) {
    const bool pair = i + 1 < slots.size() && slots[i + 1].number == slots[i].number + 1;
    const std::size_t count = pair ? 2 : 1;
    if (!process(std::vector<TrackSlot>(slots.begin() + i, slots.begin() + i + count))) return false;
    i += count;
  }
  return true;
}

namespace {

// What a selected track held before the effect ran, to put back when the effect
// fails or is cancelled. The copy shares the track's blocks, so it costs no audio
// copying; blocks the effect rewrites stay alive until the copy goes.
struct SavedTrack {
  WaveTrack* track;
  std::unique_ptr<WaveTrack> copy;
};

std::vector<SavedTrack> SaveTracks(const std::vector<WaveTrack*>& tracks) {
  std::vector<SavedTrack> saved;
  for (WaveTrack* t : tracks)
    saved.push_back({t, std::unique_ptr<WaveTrack>(static_cast<WaveTrack*>(t->Duplicate()))});
  return saved;
}

bool SameBlocks(const Sequence& a, const Sequence& b) {
  const auto& x = a.GetBlockArray();
  const auto& y = b.GetBlockArray();
  if (x.size() != y.size() || a.GetNumSamples() != b.GetNumSamples()) return false;
  for (std::size_t i = 0; i < x.size(); ++i)
    if (x[i].f != y[i].f || x[i].start != y[i].start) return false;
  return true;
}

// Puts the samples and the envelope of `copy` back into `track` through the track's
// own edits, so its change counter and display caches follow. A track whose blocks
// are still the copy's was not touched and is left alone. The saved audio goes in
// behind the changed audio before the changed audio is removed: a paste that fails
// then leaves the changed audio rather than nothing. Both steps normally only move
// block references.
void RestoreTrack(WaveTrack* track, const WaveTrack& copy) {
  if (SameBlocks(*track->GetSequence(), *copy.GetSequence())) return;
  const double start = track->GetStartTime();
  const double changedEnd = track->GetEndTime();
  if (!track->Paste(changedEnd, &copy)) return;
  track->Clear(start, changedEnd);
  *track->GetEnvelope() = *copy.GetEnvelope();
}

void RestoreTracks(std::vector<SavedTrack>& saved) {
  for (SavedTrack& s : saved) RestoreTrack(s.track, *s.copy);
}

}  // namespace

bool Effect::Apply(std::uint32_t parent, int flags, TrackList* tracks, TrackFactory* factory, double* t0,
                   double* t1) {
  (void)flags;
  DeleteWaveTrackList();
  mParent = parent;
  mTracks = tracks;
  mFactory = factory;
  mT0 = *t0;
  mT1 = *t1;

  mNumTracks = 0;
  mNumGroups = 0;
  mWaveTracks = new TrackList();
  if (tracks) {
    TrackListIterator iter(tracks);
    for (Track* t = iter.First(); t; t = iter.Next()) {
      if (!t->GetSelected() || t->GetExcluded() || t->GetKind() != Track::Wave) continue;
      // The list must never destroy a project track it lets go of.
      std::vector<Track*> removed;
      mWaveTracks->Add(t, &removed);
      ++mNumTracks;
      if (!t->GetLinked()) ++mNumGroups;
    }
  }

  if (!Init() || !PromptUser()) {
    DeleteWaveTrackList();
    return false;
  }

  std::vector<SavedTrack> saved = SaveTracks(GetSelectedWaveTracks());
  StopwatchStart();
  const bool result = Process();
  End();

  if (!result) RestoreTracks(saved);
  saved.clear();
  DeleteProgress();
  DeleteWaveTrackList();

  if (result) {
    *t0 = mT0;
    *t1 = mT1;
  }
  return result;
}

bool Effect::TotalProgress(double frac) {
  if (!mProgress && StopwatchElapsed(false) > ProgressDelayMs) {
    mProgress = seams::CreateProgressWindow();
    if (mProgress) {
      mProgress->Show(GetEffectName());
      mProgress->SetRange(0, 1000, 1);
      mProgress->SetText(GetEffectDescription());
    }
  }
  if (!mProgress) return false;

  mProgress->PumpMessages(false);
  const bool cancelled = mProgress->Cancelled();
  mProgress->SetPos(static_cast<int>(std::floor(frac * 1000.0 + 0.5)));
  return cancelled;
}

bool Effect::TrackProgress(int whichTrack, double frac) {
  if (mNumTracks <= 0) return TotalProgress(frac);
  return TotalProgress((whichTrack + frac) / mNumTracks);
}
