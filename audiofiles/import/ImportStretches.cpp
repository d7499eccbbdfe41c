#include "audiofiles/import/ImportStretches.h"

#include <atomic>
#include <new>
#include <set>
#include <vector>

#include "audiofiles/import/ImportWorkers.h"

// What the decoding tasks share with the calling thread (under the workers' lock but
// the stop flag).
struct StretchDecoding::Shared {
  Decode decode;
  std::atomic<bool> stop{false};
  int running = 0;  // tasks handed out and not finished
  std::map<int, std::unique_ptr<Stretch>> done;
  std::set<int> failed;  // decodes that threw (out of memory)
  std::vector<std::unique_ptr<Stretch>> spare;
};

StretchDecoding::StretchDecoding(ImportWorkers& workers, int count, Decode decode)
    : mWorkers(workers), mCount(count), mShared(std::make_shared<Shared>()) {
  mShared->decode = std::move(decode);
  // Every helper busy, and one more stretch waiting for each of two of them.
  mAhead = workers.Count() + 2;
  while (mStarted < mCount && mStarted < mAhead) Start(mStarted++);
}

StretchDecoding::~StretchDecoding() {
  Stop();
  std::shared_ptr<Shared> shared = mShared;
  while (!mWorkers.WaitUntil([&] { return shared->running == 0; }, 100)) {
  }
}

void StretchDecoding::Stop() { mShared->stop.store(true, std::memory_order_relaxed); }

void StretchDecoding::Start(int index) {
  std::shared_ptr<Shared> shared = mShared;
  std::mutex* lock = &mWorkers.Lock();
  {
    std::lock_guard hold(*lock);
    ++shared->running;
  }
  mWorkers.Post([shared, lock, index](int worker) {
    std::unique_ptr<Stretch> stretch;
    bool failed = false;
    if (!shared->stop.load(std::memory_order_relaxed)) {
      std::unique_ptr<Stretch> reuse;
      {
        std::lock_guard hold(*lock);
        if (!shared->spare.empty()) {
          reuse = std::move(shared->spare.back());
          shared->spare.pop_back();
        }
      }
      try {
        stretch = shared->decode(worker, index, std::move(reuse),
                                 [&] { return shared->stop.load(std::memory_order_relaxed); });
      } catch (...) {
        failed = true;  // out of memory: the calling thread says so
      }
    }
    std::lock_guard hold(*lock);
    shared->done[index] = std::move(stretch);
    if (failed) shared->failed.insert(index);
    --shared->running;
  });
}

void StretchDecoding::Recycle(std::unique_ptr<Stretch> stretch) {
  if (!stretch) return;
  std::lock_guard hold(mWorkers.Lock());
  mShared->spare.push_back(std::move(stretch));
}

std::unique_ptr<StretchDecoding::Stretch> StretchDecoding::Take(int timeoutMs) {
  if (mNext >= mCount) return nullptr;
  std::shared_ptr<Shared> shared = mShared;
  const int index = mNext;
  if (!mWorkers.WaitUntil([&] { return shared->done.count(index) != 0; }, timeoutMs)) return nullptr;
  std::unique_ptr<Stretch> stretch;
  bool failed;
  {
    std::lock_guard hold(mWorkers.Lock());
    stretch = std::move(shared->done[index]);
    shared->done.erase(index);
    failed = shared->failed.erase(index) != 0;
  }
  ++mNext;
  if (mStarted < mCount && !mShared->stop.load(std::memory_order_relaxed)) Start(mStarted++);
  if (failed) throw std::bad_alloc();
  return stretch;
}
