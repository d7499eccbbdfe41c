#include "audiofiles/effects/ChannelJob.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "core/model/WaveTrack.h"

ChannelJob::ChannelJob(const WaveTrack& track, std::int64_t start, std::int64_t end)
    : mTrack(track), mStart(start), mEnd(end), mPos(start) {}

ChannelJob::~ChannelJob() = default;

double ChannelJob::Fraction() const {
  if (mEnd <= mStart) return 1.0;
  return static_cast<double>(mPos - mStart) / static_cast<double>(mEnd - mStart);
}

int ChannelJob::ReadPiece(std::vector<float>& buffer, int limit) {
  if (mPos >= mEnd) return 0;
  const int n = static_cast<int>(std::min<std::int64_t>(
      std::min<std::int64_t>(mTrack.GetBestBlockSize(mPos), mEnd - mPos), static_cast<std::int64_t>(limit)));
  if (buffer.size() < static_cast<std::size_t>(n)) buffer.resize(static_cast<std::size_t>(n));
  if (!mTrack.Get(reinterpret_cast<SamplePtr>(buffer.data()), SampleFormatFloat, mPos, n)) return -1;
  return n;
}

namespace {

// One thread that runs a job's step whenever it is asked to, until it is let go.
class StepWorker {
public:
  StepWorker() : mThread([this] { Loop(); }) {}
  ~StepWorker() {
    {
      std::lock_guard lock(mMutex);
      mQuit = true;
    }
    mWake.notify_one();
    mThread.join();
  }

  void Start(ChannelJob* job) {
    {
      std::lock_guard lock(mMutex);
      mJob = job;
      mFinished = false;
    }
    mWake.notify_one();
  }

  // Waits for the step begun by Start; its result.
  bool Wait() {
    std::unique_lock lock(mMutex);
    mDoneSignal.wait(lock, [this] { return mFinished; });
    return mResult;
  }

private:
  void Loop() {
    std::unique_lock lock(mMutex);
    for (;;) {
      mWake.wait(lock, [this] { return mQuit || mJob; });
      if (mQuit) return;
      ChannelJob* job = mJob;
      mJob = nullptr;
      lock.unlock();
      const bool result = job->Step();
      lock.lock();
      mResult = result;
      mFinished = true;
      mDoneSignal.notify_one();
    }
  }

  std::mutex mMutex;
  std::condition_variable mWake, mDoneSignal;
  ChannelJob* mJob = nullptr;
  bool mFinished = false;
  bool mResult = false;
  bool mQuit = false;
  std::thread mThread;  // last: starts once the state above exists
};

bool AppendOutput(const ChannelJob& job, WaveTrack& out) {
  const std::vector<float>& o = job.Output();
  return o.empty() || out.Append(reinterpret_cast<ConstSamplePtr>(o.data()), SampleFormatFloat,
                                 static_cast<std::int32_t>(o.size()));
}

double FractionSum(const std::vector<ChannelJob*>& jobs) {
  double sum = 0.0;
  for (const ChannelJob* job : jobs) sum += job->Fraction();
  return sum;
}

}  // namespace

bool RunChannelJobs(const std::vector<ChannelJob*>& jobs, const std::vector<WaveTrack*>& outs,
                    const std::function<bool(double fractionSum)>& progress) {
  if (jobs.size() == 1) {
    while (!jobs[0]->Done()) {
      if (!jobs[0]->Step() || !AppendOutput(*jobs[0], *outs[0])) return false;
      if (progress && progress(FractionSum(jobs))) return false;
    }
    return true;
  }

  StepWorker worker;
  while (!jobs[0]->Done() || !jobs[1]->Done()) {
    // A job that has finished sits out while its partner finishes; its last output
    // has been appended already.
    const bool second = !jobs[1]->Done();
    if (second) worker.Start(jobs[1]);
    const bool firstOk = jobs[0]->Done() || (jobs[0]->Step() && AppendOutput(*jobs[0], *outs[0]));
    const bool secondOk = !second || worker.Wait();
    if (!firstOk || !secondOk) return false;
    if (second && !AppendOutput(*jobs[1], *outs[1])) return false;
    if (progress && progress(FractionSum(jobs))) return false;
  }
  return true;
}
