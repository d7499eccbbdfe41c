// One opened sound file being turned into wave tracks: the base of the files
// each import format opens, the progress callback they report through, and the
// small helpers they share (making one track per channel, handing the tracks
// out, and giving them back when an import fails).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/model/SampleFormat.h"

class Track;
class TrackFactory;
class WaveTrack;

// Called now and then while a file imports, with the caller's user data and
// the fraction done (0.0 to 1.0). A non-zero result asks the import to stop
// (the user pressed Cancel).
using ImportProgressCallback = int (*)(void* userData, float fraction);

// More channels than this are refused with a message: every channel becomes a
// track with a block-sized append buffer, so a hostile header announcing
// hundreds of channels would otherwise cost gigabytes before a sample is read.
constexpr int kMaxImportChannels = 64;

// Reads up to count bytes at offset of a file with pread (several threads may share
// the descriptor): the count read, short only at the end of the file, or -1 when the
// file could not be read.
std::int64_t ReadFileAt(int fd, std::int64_t offset, unsigned char* out, std::size_t count);

// The tracks of one import while they are being filled. Deletes them when it
// goes, unless they were handed out: a failed, cancelled or interrupted import
// leaves nothing behind.
class ImportedTracks {
public:
  ImportedTracks() = default;
  ImportedTracks(const ImportedTracks&) = delete;
  ImportedTracks& operator=(const ImportedTracks&) = delete;
  ~ImportedTracks() { DeleteAll(); }

  // channels new tracks of format at rate: with more than one channel the
  // first is the left channel, the second the right one and any further track
  // mono; with exactly two the first is linked to the second (a stereo pair).
  void Make(TrackFactory* factory, int channels, SampleFormat format, double rate);

  int Count() const { return static_cast<int>(mTracks.size()); }
  bool Empty() const { return mTracks.empty(); }
  WaveTrack* operator[](int i) const { return mTracks[static_cast<std::size_t>(i)]; }

  // Writes what waits in every track's append buffer; false when a block
  // could not be written.
  bool FlushAll();
  // A new array (owned by the caller, freed with delete[]) holding the
  // tracks, which then belong to the caller.
  void HandOut(Track*** outTracks, int* outNumTracks);
  void DeleteAll();

private:
  std::vector<WaveTrack*> mTracks;
};

class ImportFile {
public:
  ImportFile() = default;
  ImportFile(const ImportFile&) = delete;
  ImportFile& operator=(const ImportFile&) = delete;

  virtual void SetProgressCallback(ImportProgressCallback callback, void* userData);
  virtual std::string GetFileDescription() = 0;
  // 1 on success with *outTracks a new array (owned by the caller, freed with
  // delete[]) of *outNumTracks wave tracks; 0 on failure, with every track it
  // made deleted, *outTracks untouched and *outNumTracks the number of tracks
  // it had made (0 when the file turned out not to be of this format). Never throws out of a format's own
  // failures; running out of memory may still throw std::bad_alloc, which leaves nothing behind.
  virtual int Import(TrackFactory* trackFactory, Track*** outTracks, int* outNumTracks) = 0;
  virtual ~ImportFile() = default;

  // True once the progress callback asked to stop.
  bool WasCancelled() const { return mCancelled; }
  // Why the last import failed, for the user; empty when the file gave no
  // reason (it was not of this format, or the user cancelled).
  const std::string& GetErrorMessage() const { return mErrorMessage; }

protected:
  // Calls the progress callback (when one is set) with fraction clamped to
  // 0..1 (a damaged header can make the estimate run wild); true, and
  // remembered, when it asks to stop.
  bool ReportProgress(double fraction);
  // The closing call with 1.0 (when a callback is set); its answer is not a
  // cancel any more, the audio is all read.
  void ReportDone();
  bool HasProgressCallback() const { return mProgressCallback != nullptr; }
  // The end of an import that read its audio: what waits in the tracks' append
  // buffers is written and the tracks are handed out. 1; 0 when a block could not be
  // stored (the message says so).
  int HandOutTracks(ImportedTracks& tracks, Track*** outTracks, int* outNumTracks);

  ImportProgressCallback mProgressCallback = nullptr;
  void* mUserData = nullptr;
  bool mCancelled = false;
  std::string mErrorMessage;
};
