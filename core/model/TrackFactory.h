// Makes the wave tracks of a project, bound to its directory manager.
#pragma once

#include "core/model/SampleFormat.h"

class DirManager;
class WaveTrack;

class TrackFactory {
public:
  explicit TrackFactory(DirManager* dirManager) : mDirManager(dirManager) {}

  // A new track (owned by the caller). format 0 becomes 16-bit; a rate of 0
  // or NaN becomes the sound devices' default rate.
  WaveTrack* NewWaveTrack(SampleFormat format = static_cast<SampleFormat>(0), double rate = 0.0);

  DirManager* GetDirManager() const { return mDirManager; }

private:
  DirManager* mDirManager;
};
