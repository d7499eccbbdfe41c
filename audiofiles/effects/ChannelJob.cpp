#include "audiofiles/effects/ChannelJob.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
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

// A job that steps on a thread of its own, as far as a few steps ahead of the thread
// that takes its outputs: the channels of a pair never wait for each other at every
// step, only a channel that runs that far ahead waits for its outputs to be taken.
class JobThread {
public:
  // One piece of output: the samples of one step, and the job's fraction after it.
  struct Piece {
    std::vector<float> samples;
    double fraction = 0.0;
  };
  enum class Next { kPiece, kEnd, kFailed };

  explicit JobThread(ChannelJob& job) : mJob(job), mThread([this] { Loop(); }) {}
  ~JobThread() {
    {
      std::lock_guard lock(mMutex);
      mStop = true;
      mRoom.notify_one();
    }
    mThread.join();
  }

  // Waits for the next piece (into takes it), or for the job to end or fail.
  Next Take(Piece& into) {
    std::unique_lock lock(mMutex);
    mReady.wait(lock, [this] { return !mPieces.empty() || mEnded || mFailed; });
    if (!mPieces.empty()) {
      into.samples.swap(mPieces.front().samples);
      into.fraction = mPieces.front().fraction;
      mFree.push_back(std::move(mPieces.front().samples));  // into's old buffer, to reuse
      mPieces.pop_front();
      mRoom.notify_one();
      return Next::kPiece;
    }
    return mFailed ? Next::kFailed : Next::kEnd;
  }

private:
  // How many pieces a job may make before the first of them is taken.
  static constexpr std::size_t kAhead = 3;

  void Loop() {
    std::unique_lock lock(mMutex);
    for (;;) {
      mRoom.wait(lock, [this] { return mStop || mPieces.size() < kAhead; });
      if (mStop) return;
      lock.unlock();
      const bool done = mJob.Done();
      const bool ok = done || mJob.Step();
      Piece piece;
      if (!done && ok) {
        piece.fraction = mJob.Fraction();
        lock.lock();
        if (!mFree.empty()) {
          piece.samples = std::move(mFree.back());
          mFree.pop_back();
        }
        lock.unlock();
        mJob.TakeOutput(piece.samples);
      }
      lock.lock();
      if (done || !ok) {
        (done ? mEnded : mFailed) = true;
        mReady.notify_one();
        return;
      }
      mPieces.push_back(std::move(piece));
      mReady.notify_one();
    }
  }

  ChannelJob& mJob;
  std::mutex mMutex;
  std::condition_variable mReady, mRoom;
  std::deque<Piece> mPieces;
  std::vector<std::vector<float>> mFree;
  bool mEnded = false;
  bool mFailed = false;
  bool mStop = false;
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
  std::vector<double> fractions;
  for (const ChannelJob* job : jobs) fractions.push_back(job->Fraction());
  // The threads go (stopped and joined) before the jobs are looked at again.
  std::vector<std::unique_ptr<JobThread>> threads;
  for (ChannelJob* job : jobs) threads.push_back(std::make_unique<JobThread>(*job));

  std::vector<bool> ended(count, false);
  JobThread::Piece piece;
  bool ok = true;
  while (ok && std::find(ended.begin(), ended.end(), false) != ended.end()) {
    // One piece of each channel in turn, then the progress.
    for (std::size_t i = 0; i < count && ok; ++i) {
      if (ended[i]) continue;
      switch (threads[i]->Take(piece)) {
        case JobThread::Next::kPiece:
          ok = Append(piece.samples, *outs[i]);
          fractions[i] = piece.fraction;
          break;
        case JobThread::Next::kEnd:
          ended[i] = true;
          break;
        case JobThread::Next::kFailed:
          ok = false;
          break;
      }
    }
    double sum = 0.0;
    for (double f : fractions) sum += f;
    if (ok && progress && progress(sum)) ok = false;
  }
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
