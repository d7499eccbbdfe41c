// The project's streams through the audio engine.
#include "core/project/Project.h"

#include <chrono>
#include <thread>
#include <vector>

#include "core/engine/AudioIO.h"
#include "core/model/TrackFactory.h"
#include "core/model/TrackList.h"
#include "core/model/WaveTrack.h"
#include "core/project/ProjectText.h"
#include "platform/seams/MessageBox.h"

namespace {
void WaitWhileEngineBusy() {
  while (gAudioIO && gAudioIO->IsBusy()) std::this_thread::sleep_for(std::chrono::milliseconds(100));
}
}  // namespace

void Project::StopOwnStreamAndWait() {
  // Also a stream of ours that has finished but not been stopped yet: the engine still
  // holds our tracks until it is.
  if (gAudioIO && gAudioIO->IsTokenCurrent(mStreamToken)) {
    gAudioIO->StopStream();
    WaitWhileEngineBusy();
  }
}

bool Project::Play() {
  if (!gAudioIO || gAudioIO->IsBusy()) return false;
  double t0 = mTracks->GetStartTime();
  double t1 = mTracks->GetEndTime();
  if (t1 <= t0) return false;
  std::vector<WaveTrack*> playback = mTracks->GetWaveTrackArray(false);
  int token =
      gAudioIO->StartStream(playback, std::vector<WaveTrack*>(), mTracks->GetTimeTrack(), mRate, t0, t1, 1);
  if (token <= 0) {
    seams::ShowMessageBox(project_text::kPlaybackFailed, seams::kProgramCaption,
                          seams::kMbOk | seams::kMbIconError);
    return false;
  }
  mStreamToken = token;
  return true;
}

bool Project::Record() {
  if (!gAudioIO || gAudioIO->IsBusy()) return false;
  WaveTrack* left = mTrackFactory->NewWaveTrack(static_cast<SampleFormat>(0), 0.0);
  WaveTrack* right = mTrackFactory->NewWaveTrack(static_cast<SampleFormat>(0), 0.0);
  for (WaveTrack* t : {left, right}) {
    t->SetOffset(0.0);
    t->SetRate(mRate);
  }
  left->SetChannel(Track::LeftChannel);
  left->SetLinked(true);
  right->SetChannel(Track::RightChannel);
  // The old audio goes only once the new stream runs: a start that fails leaves the
  // project as it was.
  int token = gAudioIO->StartStream(std::vector<WaveTrack*>(), {left, right}, mTracks->GetTimeTrack(), mRate,
                                    0.0, 1e9, 0);
  if (token <= 0) {
    delete left;
    delete right;
    return false;
  }
  mTracks->Clear(true);
  Track* pair[] = {left, right};
  mTracks->AddGroup(pair, 2);
  mStreamToken = token;
  return true;
}

void Project::Stop() {
  if (gAudioIO && gAudioIO->IsStreamActive()) {
    gAudioIO->StopStream();
    gAudioIO->SetPaused(false);
  }
}
