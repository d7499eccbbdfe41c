#include "core/model/TrackFactory.h"

#include "core/model/WaveTrack.h"

WaveTrack* TrackFactory::NewWaveTrack(SampleFormat format, double rate) {
  return new WaveTrack(mDirManager, format, rate);
}
