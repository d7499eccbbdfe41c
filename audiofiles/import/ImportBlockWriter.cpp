#include "audiofiles/import/ImportBlockWriter.h"

#include <algorithm>
#include <new>

#include "audiofiles/import/ImportFile.h"
#include "audiofiles/import/ImportMemory.h"
#include "audiofiles/import/ImportWorkers.h"
#include "core/model/DirManager.h"
#include "core/model/WaveTrack.h"

namespace {

// How long a wait for the helpers lasts before it looks again (a wait never
// misses its wake-up; this only bounds it).
constexpr int kWaitMs = 100;

}  // namespace

// One block on its way: its samples until a helper wrote it, then the block.
struct ImportBlockWriter::Job {
  char* data = nullptr;
  std::int32_t length = 0;
  BlockFile* block = nullptr;  // null after a failed write
  bool done = false;           // under the workers' lock
};

// What the helpers share with the writer (under the workers' lock but the constants).
struct ImportBlockWriter::Shared {
  DirManager* dirManager = nullptr;
  SampleFormat format = SampleFormatFloat;
  bool dropped = false;  // blocks not written yet are not wanted any more
  int inFlight = 0;
  // Block memory not in use.
  std::vector<char*> spare;
};

ImportBlockWriter::ImportBlockWriter(ImportedTracks& tracks, ImportWorkers& workers)
    : mTracks(tracks), mWorkers(workers), mShared(std::make_shared<Shared>()) {
  WaveTrack* first = tracks.Empty() ? nullptr : tracks[0];
  mFormat = first ? first->GetSampleFormat() : SampleFormatFloat;
  mBytes = SampleSize(mFormat);
  mBlockSamples = first ? first->GetMaxBlockSize() : 1;
  mShared->dirManager = first ? first->GetDirManager() : nullptr;
  mShared->format = mFormat;
  mChannels.resize(static_cast<std::size_t>(tracks.Count()));
  // Enough blocks in flight to keep every helper busy, and a few to spare.
  mMaxInFlight = 2 * workers.Count() + 2;

  // Memory for them and for the block each channel gathers.
  const std::size_t blockBytes = static_cast<std::size_t>(mBlockSamples) * static_cast<std::size_t>(mBytes);
  const std::size_t blocks = static_cast<std::size_t>(mMaxInFlight) + mChannels.size();
  mArenaBytes = blockBytes * blocks;
  mArena = static_cast<char*>(AllocateLargeMemory(mArenaBytes));
  if (!mArena) throw std::bad_alloc();
  for (std::size_t i = 0; i < blocks; ++i) mShared->spare.push_back(mArena + i * blockBytes);
}

ImportBlockWriter::~ImportBlockWriter() {
  Abandon();
  FreeLargeMemory(mArena, mArenaBytes);
}

bool ImportBlockWriter::Append(int c, ConstSamplePtr samples, SampleFormat format, std::int64_t n,
                               unsigned stride) {
  if (mFailed) return false;
  if (stride == 0) stride = 1;
  Channel& ch = mChannels[static_cast<std::size_t>(c)];
  while (n > 0) {
    if (!ch.filling) {
      // There is always one: the blocks on their way hold at most all but one per
      // channel.
      std::lock_guard lock(mWorkers.Lock());
      ch.filling = mShared->spare.back();
      mShared->spare.pop_back();
    }
    const std::int32_t take = static_cast<std::int32_t>(std::min<std::int64_t>(n, mBlockSamples - ch.filled));
    CopySamples(samples, format, ch.filling + static_cast<std::size_t>(ch.filled) * mBytes, mFormat,
                static_cast<std::uint32_t>(take), true, stride);
    ch.filled += take;
    samples += static_cast<std::size_t>(take) * SampleSize(format) * stride;
    n -= take;
    if (ch.filled == mBlockSamples) Post(c);
  }
  return Collect();
}

void ImportBlockWriter::Post(int c) {
  Channel& ch = mChannels[static_cast<std::size_t>(c)];
  // Not too many at once: the blocks' memory stays bounded however long the file.
  std::shared_ptr<Shared> shared = mShared;
  while (!mWorkers.WaitUntil([&] { return shared->inFlight < mMaxInFlight; }, kWaitMs)) {
  }

  auto job = std::make_shared<Job>();
  job->data = ch.filling;
  ch.filling = nullptr;
  job->length = ch.filled;
  ch.filled = 0;
  ch.written.push_back(job);
  std::mutex* lock = &mWorkers.Lock();
  {
    std::lock_guard hold(*lock);
    ++shared->inFlight;
  }
  mWorkers.Post(
      [shared, job, lock](int) {
        bool dropped;
        {
          std::lock_guard hold(*lock);
          dropped = shared->dropped;
        }
        BlockFile* block = nullptr;
        if (!dropped) {
          try {
            block = shared->dirManager->NewSimpleBlockFile(job->data, job->length, shared->format);
          } catch (const std::bad_alloc&) {
            block = nullptr;  // counts as a block that could not be stored
          }
        }
        std::lock_guard hold(*lock);
        job->block = block;
        job->done = true;
        shared->spare.push_back(job->data);
        --shared->inFlight;
      },
      true);
}

bool ImportBlockWriter::Link(int c, bool wait) {
  Channel& ch = mChannels[static_cast<std::size_t>(c)];
  WaveTrack* track = mTracks[c];
  while (!ch.written.empty()) {
    std::shared_ptr<Job> job = ch.written.front();
    if (wait) {
      while (!mWorkers.WaitUntil([&] { return job->done; }, kWaitMs)) {
      }
    } else {
      std::lock_guard lock(mWorkers.Lock());
      if (!job->done) return true;
    }
    ch.written.pop_front();
    if (!job->block) return false;
    const bool linked = track->AppendBlock(job->block);
    mShared->dirManager->Deref(job->block);  // the track holds it now, or nobody
    job->block = nullptr;
    if (!linked) return false;
  }
  return true;
}

bool ImportBlockWriter::Collect() {
  if (mFailed) return false;
  for (int c = 0; c < static_cast<int>(mChannels.size()); ++c)
    if (!Link(c, false)) mFailed = true;
  return !mFailed;
}

bool ImportBlockWriter::Finish() {
  if (mFailed) return false;
  for (int c = 0; c < static_cast<int>(mChannels.size()); ++c) {
    if (!Link(c, true)) {
      mFailed = true;
      return false;
    }
    Channel& ch = mChannels[static_cast<std::size_t>(c)];
    if (ch.filled > 0 && !mTracks[c]->Append(ch.filling, mFormat, ch.filled)) {
      mFailed = true;
      return false;
    }
    ch.filled = 0;
  }
  return true;
}

void ImportBlockWriter::Abandon() {
  {
    std::lock_guard lock(mWorkers.Lock());
    mShared->dropped = true;
  }
  std::shared_ptr<Shared> shared = mShared;
  while (!mWorkers.WaitUntil([&] { return shared->inFlight == 0; }, kWaitMs)) {
  }
  for (Channel& ch : mChannels) {
    for (const std::shared_ptr<Job>& job : ch.written)
      if (job->block) shared->dirManager->Deref(job->block);
    ch.written.clear();
    ch.filled = 0;
  }
}
