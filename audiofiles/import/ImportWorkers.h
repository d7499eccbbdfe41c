// The helper threads of one import: they decode stretches of a compressed file and
// write block files while the calling thread fills the tracks in order and shows the
// progress. They are std::threads: a task never reaches a window (no Win32 call, no
// seam: not the progress, a message box or the diagnostics), it only decodes, copies
// samples and writes files. Tasks publish what they made under Lock(); the calling
// thread waits for it with WaitUntil.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// How imports use the machine's cores. Tests make the stretches short to see them on
// short files.
struct ImportConcurrency {
  // Helper threads; 0: one for each of the machine's cores.
  int threads = 0;
  // Samples per channel of a compressed file that one helper decodes at once (about).
  std::int64_t stretchSamples = 1 << 19;
  // Compressed files with fewer samples per channel than this decode in one pass on
  // the calling thread: helpers would save less than they cost.
  std::int64_t minParallelSamples = 3 << 19;
  // Sound files with fewer samples per channel than this write their blocks on the
  // calling thread.
  std::int64_t minHelpedSamples = 1 << 20;
};

const ImportConcurrency& GetImportConcurrency();
// Process-wide; set it while no import runs.
void SetImportConcurrency(const ImportConcurrency& concurrency);

class ImportWorkers {
public:
  // The threads of GetImportConcurrency (at least one).
  ImportWorkers();
  ImportWorkers(const ImportWorkers&) = delete;
  ImportWorkers& operator=(const ImportWorkers&) = delete;
  // Drops the tasks that have not started and waits for the running ones. Whatever
  // waits for tasks of these workers (an ImportBlockWriter) goes first.
  ~ImportWorkers();

  int Count() const { return static_cast<int>(mThreads.size()); }

  // A task gets the number (0 .. Count() - 1) of the thread that runs it, so that it
  // can keep a decoder per thread.
  using Task = std::function<void(int worker)>;
  // Urgent tasks run before the others (block writes free memory; decoding takes it).
  void Post(Task task, bool urgent = false);

  // Guards what tasks share with the calling thread.
  std::mutex& Lock() { return mLock; }
  // Waits (with Lock() held while ready is asked) until ready() holds or timeoutMs
  // have passed; returns ready(). Every finished task wakes it.
  bool WaitUntil(const std::function<bool()>& ready, int timeoutMs);

private:
  void Run(int worker);

  std::mutex mLock;
  std::condition_variable mWork;  // a task was queued or the threads are to end
  std::condition_variable mDone;  // a task finished
  std::deque<Task> mQueue;
  bool mQuit = false;
  std::vector<std::thread> mThreads;
};
