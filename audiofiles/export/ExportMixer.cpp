#include "audiofiles/export/ExportMixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/model/Mixer.h"
#include "core/model/WaveTrack.h"
#include "audiofiles/export/ExportSupport.h"

namespace {
// About five seconds at 44100 Hz per block.
constexpr int kBlockTarget = 220500;
constexpr int kMaxWorkers = 4;
}  // namespace

ExportMixer::ExportMixer(int trackCount, WaveTrack* const* tracks, const Track* timeTrack, double t0,
                         double t1, int channels, int pieceFrames, bool interleaved, double rate,
                         SampleFormat format, int workers)
    : mTimeTrack(timeTrack),
      mT0(t0),
      mT1(t1),
      mRate(rate),
      mChannels(std::max(channels, 1)),
      mInterleaved(interleaved),
      mFormat(format) {
  if (tracks && trackCount > 0) mTracks.assign(tracks, tracks + trackCount);
  mPieceFrames = std::max(pieceFrames, 1);
  mBlockFrames = std::max(mPieceFrames, kBlockTarget / mPieceFrames * mPieceFrames);
  mTotalFrames = ExportFrameCount(t0, t1, rate);
  mBlockCount = (mTotalFrames + mBlockFrames - 1) / mBlockFrames;
  mFirstSample = static_cast<std::int64_t>(std::floor(t0 * rate + 0.5));

  mParallel = !timeTrack && !mTracks.empty() &&
              std::all_of(mTracks.begin(), mTracks.end(),
                          [rate](const WaveTrack* t) { return t->GetRate() == rate; });
  int count = 1;
  if (mParallel) {
    if (workers > 0) {
      count = workers;
    } else {
      const unsigned cores = std::thread::hardware_concurrency();
      count = cores > 1 ? static_cast<int>(cores) - 1 : 1;
    }
    count = std::clamp(count, 1, kMaxWorkers);
  }
  mAhead = 2 * count;
  if (mBlockCount == 0) return;
  for (int w = 0; w < count; ++w) mWorkers.emplace_back([this, w] { Work(w); });
}

ExportMixer::~ExportMixer() {
  {
    std::lock_guard<std::mutex> guard(mLock);
    mStop = true;
  }
  mRoom.notify_all();
  for (std::thread& t : mWorkers) t.join();
}

std::unique_ptr<ExportMixer::Block> ExportMixer::MixBlock(std::int64_t index, Mixer* running) {
  const int wanted =
      static_cast<int>(std::min<std::int64_t>(mBlockFrames, mTotalFrames - index * mBlockFrames));
  std::unique_ptr<Mixer> own;
  Mixer* mixer = running;
  if (!mixer) {
    // Starting at the block's first sample gives the same samples as a mixer that
    // came through the blocks before.
    const double start = static_cast<double>(mFirstSample + index * mBlockFrames) / mRate;
    own = std::make_unique<Mixer>(static_cast<int>(mTracks.size()), mTracks.data(), mTimeTrack, start, mT1,
                                  mChannels, mBlockFrames, mInterleaved, mRate, mFormat, true);
    mixer = own.get();
  }
  auto block = std::make_unique<Block>();
  block->frames = std::clamp(mixer->Process(wanted), 0, wanted);
  const std::size_t bytes = static_cast<std::size_t>(block->frames) * SampleSize(mFormat);
  if (mInterleaved) {
    block->buffers.emplace_back(mixer->GetBuffer(), mixer->GetBuffer() + bytes * mChannels);
  } else {
    for (int c = 0; c < mChannels; ++c)
      block->buffers.emplace_back(mixer->GetChannelBuffer(c), mixer->GetChannelBuffer(c) + bytes);
  }
  return block;
}

void ExportMixer::Work(int) {
  try {
    std::unique_ptr<Mixer> running;
    if (!mParallel)
      running = std::make_unique<Mixer>(static_cast<int>(mTracks.size()), mTracks.data(), mTimeTrack, mT0,
                                        mT1, mChannels, mBlockFrames, mInterleaved, mRate, mFormat, true);
    for (;;) {
      std::int64_t index;
      {
        std::unique_lock<std::mutex> lock(mLock);
        mRoom.wait(lock,
                   [this] { return mStop || mNextToMix >= mBlockCount || mNextToMix < mConsumed + mAhead; });
        if (mStop || mNextToMix >= mBlockCount) return;
        index = mNextToMix++;
      }
      std::unique_ptr<Block> block = MixBlock(index, running.get());
      {
        std::lock_guard<std::mutex> guard(mLock);
        mDone[index] = std::move(block);
      }
      mReady.notify_all();
    }
  } catch (...) {
    // Out of memory: the mix ends here and the caller learns it from Failed.
    {
      std::lock_guard<std::mutex> guard(mLock);
      mFailed = true;
    }
    mReady.notify_all();
  }
}

int ExportMixer::Process(int maxFrames) {
  if (mEnded || maxFrames <= 0) return 0;
  if (!mCurrent || mOffset >= mCurrent->frames) {
    // A short block is the last one.
    if (mCurrent && mCurrent->frames < mBlockFrames) {
      mEnded = true;
      return 0;
    }
    const std::int64_t index = mCurrentIndex + 1;
    if (index >= mBlockCount) {
      mEnded = true;
      return 0;
    }
    {
      std::unique_lock<std::mutex> lock(mLock);
      mReady.wait(lock, [&] { return mDone.count(index) != 0 || mFailed; });
      auto found = mDone.find(index);
      if (found == mDone.end()) {
        mEnded = true;
        return 0;
      }
      mCurrent = std::move(found->second);
      mDone.erase(found);
      mConsumed = index + 1;
    }
    mRoom.notify_all();
    mCurrentIndex = index;
    mOffset = 0;
    if (mCurrent->frames == 0) {
      mEnded = true;
      return 0;
    }
  }
  const int n = std::min(maxFrames, mCurrent->frames - mOffset);
  mPieceStart = mOffset;
  mOffset += n;
  mHandedOut += n;
  return n;
}

SamplePtr ExportMixer::GetChannelBuffer(int channel) {
  if (!mCurrent || mCurrent->buffers.empty()) return nullptr;
  const std::size_t size = SampleSize(mFormat);
  if (mInterleaved)
    return channel == 0 ? mCurrent->buffers[0].data() + mPieceStart * size * mChannels : nullptr;
  if (channel < 0 || channel >= static_cast<int>(mCurrent->buffers.size())) return nullptr;
  return mCurrent->buffers[channel].data() + mPieceStart * size;
}

double ExportMixer::GetCurrentTime() const { return mT0 + static_cast<double>(mHandedOut) / mRate; }

bool ExportMixer::Failed() const {
  std::lock_guard<std::mutex> guard(mLock);
  return mFailed;
}
