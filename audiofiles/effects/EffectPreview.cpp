#include "audiofiles/effects/EffectPreview.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include "audiofiles/effects/Effect.h"
#include "audiofiles/effects/EffectText.h"
#include "core/model/TrackList.h"
#include "core/model/WaveTrack.h"
#include "platform/seams/MessageBox.h"

namespace {
std::atomic<EffectPreviewPlayer*> g_player{nullptr};
}

EffectPreviewPlayer* SetEffectPreviewPlayer(EffectPreviewPlayer* player) { return g_player.exchange(player); }

EffectPreviewPlayer* GetEffectPreviewPlayer() { return g_player.load(); }

void Effect::Preview() {
  EffectPreviewPlayer* player = GetEffectPreviewPlayer();
  if (!player || player->IsBusy() || !mWaveTracks) return;

  // At most the first three seconds of the selection.
  const double t0 = mT0;
  const double t1 = std::min(mT1, mT0 + 3.0);
  if (t1 <= t0) return;

  // Copies of the selected tracks' part of that range: they share the tracks' blocks
  // and keep channel, link, rate and envelope, so the effect sees what it would see
  // on the real tracks. The player mixes them as it mixes any tracks.
  std::vector<std::unique_ptr<WaveTrack>> copies;
  auto previewList = std::make_unique<TrackList>();
  for (WaveTrack* track : GetSelectedWaveTracks()) {
    const double a = std::max(t0, track->GetStartTime());
    const double b = std::min(t1, track->GetEndTime());
    if (b <= a) continue;
    Track* piece = nullptr;
    if (!track->Copy(a, b, &piece) || !piece) continue;
    std::unique_ptr<WaveTrack> copy(static_cast<WaveTrack*>(piece));
    copy->SetOffset(a - t0);
    std::vector<Track*> removed;
    previewList->Add(copy.get(), &removed);
    copies.push_back(std::move(copy));
  }
  if (copies.empty()) return;

  // Run the effect on the copies, then put back the run's own state.
  TrackList* const savedList = mWaveTracks;
  const double savedT0 = mT0, savedT1 = mT1;
  const int savedNumTracks = mNumTracks, savedNumGroups = mNumGroups;
  mWaveTracks = previewList.get();
  mNumTracks = static_cast<int>(copies.size());
  mNumGroups = 0;
  for (const auto& c : copies)
    if (!c->GetLinked()) ++mNumGroups;
  mT0 = 0.0;
  mT1 = previewList->GetEndTime();
  const double end = mT1;

  const bool processed = Process();
  End();
  DeleteProgress();

  mWaveTracks = savedList;
  mT0 = savedT0;
  mT1 = savedT1;
  mNumTracks = savedNumTracks;
  mNumGroups = savedNumGroups;
  // Prepare again for the real run, from the real selection (not the preview's
  // processed copies).
  Init();

  if (!processed) return;
  std::vector<WaveTrack*> play;
  for (const auto& c : copies) play.push_back(c.get());
  if (!player->PlayAndWait(play.data(), static_cast<int>(play.size()), 0.0, end))
    seams::ShowMessageBox(effect_text::kPreviewDeviceFailed);
}
