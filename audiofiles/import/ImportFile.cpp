#include "audiofiles/import/ImportFile.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>

#include "audiofiles/import/ImportText.h"
#include "core/model/Track.h"
#include "core/model/TrackFactory.h"
#include "core/model/WaveTrack.h"

std::int64_t ReadFileAt(int fd, std::int64_t offset, unsigned char* out, std::size_t count) {
  std::size_t got = 0;
  while (got < count) {
    const ssize_t n = ::pread(fd, out + got, count - got, static_cast<off_t>(offset + got));
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return static_cast<std::int64_t>(got);
}

void ImportedTracks::Make(TrackFactory* factory, int channels, SampleFormat format, double rate) {
  DeleteAll();
  mTracks.reserve(static_cast<std::size_t>(channels > 0 ? channels : 0));
  for (int c = 0; c < channels; ++c) {
    WaveTrack* t = factory->NewWaveTrack(format, rate);
    mTracks.push_back(t);
    t->SetRate(rate);
    if (channels > 1)
      t->SetChannel(c == 0 ? Track::LeftChannel : c == 1 ? Track::RightChannel : Track::MonoChannel);
    else
      t->SetChannel(Track::MonoChannel);
  }
  if (channels == 2) mTracks[0]->SetLinked(true);
}

bool ImportedTracks::FlushAll() {
  bool ok = true;
  for (WaveTrack* t : mTracks)
    if (!t->Flush()) ok = false;
  return ok;
}

void ImportedTracks::HandOut(Track*** outTracks, int* outNumTracks) {
  Track** array = new Track*[mTracks.empty() ? 1 : mTracks.size()];
  for (std::size_t i = 0; i < mTracks.size(); ++i) array[i] = mTracks[i];
  *outTracks = array;
  *outNumTracks = static_cast<int>(mTracks.size());
  mTracks.clear();
}

void ImportedTracks::DeleteAll() {
  for (WaveTrack* t : mTracks) delete t;
  mTracks.clear();
}

void ImportFile::SetProgressCallback(ImportProgressCallback callback, void* userData) {
  mProgressCallback = callback;
  mUserData = userData;
}

bool ImportFile::ReportProgress(double fraction) {
  if (!mProgressCallback) return false;
  if (!(fraction >= 0.0)) fraction = 0.0;  // also NaN
  if (fraction > 1.0) fraction = 1.0;
  if (mProgressCallback(mUserData, static_cast<float>(fraction)) != 0) mCancelled = true;
  return mCancelled;
}

void ImportFile::ReportDone() {
  if (mProgressCallback) mProgressCallback(mUserData, 1.0f);
}

int ImportFile::HandOutTracks(ImportedTracks& tracks, Track*** outTracks, int* outNumTracks) {
  if (!tracks.FlushAll()) {
    mErrorMessage = import_text::kStoreFailed;
    return 0;
  }
  tracks.HandOut(outTracks, outNumTracks);
  return 1;
}
