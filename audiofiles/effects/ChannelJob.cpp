#include "audiofiles/effects/ChannelJob.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
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
      mWake.notify_one();
    }
    mThread.join();
  }

  void Start(ChannelJob* job) {
    std::lock_guard lock(mMutex);
    mJob = job;
    mFinished = false;
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

bool Append(const std::vector<float>& samples, WaveTrack& out) {
  return samples.empty() || out.Append(reinterpret_cast<ConstSamplePtr>(samples.data()), SampleFormatFloat,
                                       static_cast<std::int32_t>(samples.size()));
}

double FractionSum(const std::vector<ChannelJob*>& jobs) {
  double sum = 0.0;
  for (const ChannelJob* job : jobs) sum += job->Fraction();
  return sum;
}

}  // namespace

bool RunChannelJobs(const std::vector<ChannelJob*>& jobs, const std::vector<WaveTrack*>& outs,
                    const std::function<bool(double fractionSum)>& progress) {
  const std::size_t count = jobs.size();
  std::vector<std::unique_ptr<StepWorker>> workers;
  for (std::size_t i = 0; i < count; ++i) workers.push_back(std::make_unique<StepWorker>());
  // What the previous step of each job gave, appended while the next step runs.
  std::vector<std::vector<float>> pending(count);

  auto anyLeft = [&] {
    for (const ChannelJob* job : jobs)
      if (!job->Done()) return true;
    return false;
  };
  bool ok = true;
  while (ok && anyLeft()) {
    std::vector<bool> started(count, false);
    for (std::size_t i = 0; i < count; ++i)
      if (!jobs[i]->Done()) {
        workers[i]->Start(jobs[i]);
        started[i] = true;
      }
    for (std::size_t i = 0; i < count; ++i) ok = Append(pending[i], *outs[i]) && ok;
    for (std::size_t i = 0; i < count; ++i) {
      pending[i].clear();
      if (!started[i]) continue;
      ok = workers[i]->Wait() && ok;
      jobs[i]->TakeOutput(pending[i]);
    }
    if (ok && progress && progress(FractionSum(jobs))) ok = false;
  }
  for (std::size_t i = 0; i < count && ok; ++i) ok = Append(pending[i], *outs[i]);
  return ok;
}

bool RunInPlaceJobs(const std::vector<ChannelJob*>& jobs, const std::vector<WaveTrack*>& tracks,
                    const std::function<bool(double fractionSum)>& progress) {
  const std::size_t count = jobs.size();
  std::unique_ptr<StepWorker> worker;
  if (count > 1) worker = std::make_unique<StepWorker>();
  for (;;) {
    std::vector<bool> stepped(count, false);
    for (std::size_t i = 0; i < count; ++i) stepped[i] = !jobs[i]->Done();
    if (std::find(stepped.begin(), stepped.end(), true) == stepped.end()) {
      // Two channels move the bar twice as fast, so the window has half as many
      // chances to deliver a Cancel: it gets a last one before the pair is done.
      return count < 2 || !progress || !progress(FractionSum(jobs));
    }
    if (count > 1 && stepped[1]) worker->Start(jobs[1]);
    bool ok = !stepped[0] || jobs[0]->Step();
    if (count > 1 && stepped[1]) ok = worker->Wait() && ok;
    if (!ok) return false;
    for (std::size_t i = 0; i < count; ++i) {
      const std::vector<float>& o = jobs[i]->Output();
      if (!stepped[i] || o.empty()) continue;
      if (!tracks[i]->Set(reinterpret_cast<ConstSamplePtr>(o.data()), SampleFormatFloat,
                          jobs[i]->WriteStart(), static_cast<std::int32_t>(o.size())))
        return false;
    }
    if (progress && progress(FractionSum(jobs))) return false;
  }
}

bool RunChannelJobsReplacing(const std::vector<ChannelJob*>& jobs, const std::vector<WaveTrack*>& sources,
                             const std::vector<WaveTrack*>& outs, double t0, double t1,
                             const std::function<bool(double fractionSum)>& progress, double& newLength) {
  if (!RunChannelJobs(jobs, outs, progress)) return false;
  for (std::size_t i = 0; i < sources.size(); ++i) {
    if (!outs[i]->Flush()) return false;
    if (!sources[i]->Clear(t0, t1)) return false;
    if (!sources[i]->Paste(t0, outs[i])) return false;
    newLength = std::max(newLength, outs[i]->GetEndTime());
  }
  return true;
}
