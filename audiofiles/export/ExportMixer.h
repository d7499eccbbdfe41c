#pragma once
// The mix of an export, handed out piece by piece in order, mixed ahead on worker
// threads while the caller writes or encodes.
//
// The audio is mixed in blocks of whole pieces. When every track is at the output rate
// and nothing warps time, the blocks are independent (a mixer started at a block's
// first sample gives exactly what one mixer going through the range gives there), so
// several workers mix blocks side by side, each block with its own `Mixer`. Otherwise
// the resamplers carry state from one block to the next, and one worker runs one
// `Mixer` through the whole range.
//
// No more than (t1 - t0) x rate frames, rounded, are handed out: a resampling mixer
// fills its whole buffer at the end of the range, and that tail is not audio of the
// range.
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/model/SampleFormat.h"

class Mixer;
class Track;
class WaveTrack;

class ExportMixer {
public:
  // Mixes tracks (not owned; they must stay unchanged while the mixer lives) over
  // t0..t1 into pieces of at most pieceFrames frames in format, interleaved or one
  // buffer per channel. workers 0 picks a count from the machine.
  ExportMixer(int trackCount, WaveTrack* const* tracks, const Track* timeTrack, double t0, double t1,
              int channels, int pieceFrames, bool interleaved, double rate, SampleFormat format,
              int workers = 0);
  // Stops the workers.
  ~ExportMixer();
  ExportMixer(const ExportMixer&) = delete;
  ExportMixer& operator=(const ExportMixer&) = delete;

  // The next piece: its frame count (a full piece except at the end), 0 at the end.
  int Process(int maxFrames);
  // The piece's samples: the interleaved buffer, or one channel's buffer. Valid until
  // the next Process.
  SamplePtr GetBuffer() { return GetChannelBuffer(0); }
  SamplePtr GetChannelBuffer(int channel);
  // Seconds of the range handed out so far, from t0.
  double GetCurrentTime() const;
  // True when a worker could not mix (out of memory); the mix then ends early.
  bool Failed() const;
  // True when blocks are mixed side by side (every track at the output rate).
  bool MixesInParallel() const { return mParallel; }
  // Frames per block: whole pieces, about five seconds at 44100 Hz. The mix equals
  // what one Mixer with a buffer of this size gives through the range.
  int GetBlockFrames() const { return mBlockFrames; }

private:
  struct Block {
    int frames = 0;
    std::vector<std::vector<char>> buffers;  // one, or one per channel
  };

  void Work(int worker);
  std::unique_ptr<Block> MixBlock(std::int64_t index, Mixer* running);

  std::vector<WaveTrack*> mTracks;
  const Track* mTimeTrack;
  double mT0, mT1, mRate;
  int mChannels;
  bool mInterleaved;
  SampleFormat mFormat;
  int mPieceFrames;
  int mBlockFrames;
  std::int64_t mFirstSample = 0;  // of the range, at the output rate
  std::int64_t mTotalFrames = 0;
  std::int64_t mBlockCount = 0;
  bool mParallel = false;

  // Shared with the workers.
  mutable std::mutex mLock;
  std::condition_variable mReady;  // a block is done
  std::condition_variable mRoom;   // the caller took a block
  std::map<std::int64_t, std::unique_ptr<Block>> mDone;
  std::int64_t mNextToMix = 0;
  std::int64_t mConsumed = 0;  // blocks the caller has taken
  std::int64_t mAhead = 0;     // how many blocks may be mixed ahead of the caller
  bool mStop = false;
  bool mFailed = false;
  std::vector<std::thread> mWorkers;

  // The caller's side.
  std::unique_ptr<Block> mCurrent;
  std::int64_t mCurrentIndex = -1;
  int mOffset = 0;      // frames of mCurrent handed out
  int mPieceStart = 0;  // first frame of the last piece within mCurrent
  std::int64_t mHandedOut = 0;
  bool mEnded = false;
};
