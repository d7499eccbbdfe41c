#include "audiofiles/effects/EffectSilence.h"

#include "audiofiles/effects/EffectDialogs.h"
#include "core/model/Track.h"
#include "core/model/TrackList.h"

bool EffectSilence::PromptUser() {
  double duration = mDuration;
  if (!GetEffectDialogs().InsertSilenceDialog(&duration)) return false;
  mDuration = duration;
  return true;
}

bool EffectSilence::Process() {
  // A duration of zero (which the dialog accepts) inserts nothing; a negative one
  // cannot be meant either. The selection then ends where it starts.
  const double d = mDuration > 0.0 ? mDuration : 0.0;
  if (d > 0.0 && mTracks) {
    TrackListIterator iter(mTracks);
    for (Track* t = iter.First(); t; t = iter.Next()) {
      if (!t->GetSelected() || t->GetExcluded()) continue;
      // A wave track that cannot take the silence (it would grow past the longest
      // track there can be) fails the effect, and Apply puts the tracks back.
      if (!t->InsertSilence(mT0, d) && t->GetKind() == Track::Wave) return false;
    }
  }
  mT1 = mT0 + d;
  return true;
}
