#include "core/TrackFactory.h"

#include "core/WaveTrack.h"

WaveTrack *TrackFactory::NewWaveTrack(SampleFormat format, double rate) {
  return new WaveTrack(mDirManager, format, rate);
}
