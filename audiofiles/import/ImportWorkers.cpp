#include "audiofiles/import/ImportWorkers.h"

#include <algorithm>
#include <chrono>

namespace {

ImportConcurrency g_concurrency;

}  // namespace

const ImportConcurrency& GetImportConcurrency() { return g_concurrency; }

void SetImportConcurrency(const ImportConcurrency& concurrency) { g_concurrency = concurrency; }

ImportWorkers::ImportWorkers() {
  int count = g_concurrency.threads;
  // One helper a core: the calling thread mostly waits for them.
  if (count <= 0) count = static_cast<int>(std::thread::hardware_concurrency());
  count = std::max(1, count);
  mThreads.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) mThreads.emplace_back(&ImportWorkers::Run, this, i);
}

ImportWorkers::~ImportWorkers() {
  {
    std::lock_guard lock(mLock);
    mQuit = true;
    mQueue.clear();
  }
  mWork.notify_all();
  for (std::thread& t : mThreads) t.join();
}

void ImportWorkers::Post(Task task, bool urgent) {
  {
    std::lock_guard lock(mLock);
    if (urgent)
      mQueue.push_front(std::move(task));
    else
      mQueue.push_back(std::move(task));
  }
  mWork.notify_one();
}

bool ImportWorkers::WaitUntil(const std::function<bool()>& ready, int timeoutMs) {
  std::unique_lock lock(mLock);
  return mDone.wait_for(lock, std::chrono::milliseconds(std::max(0, timeoutMs)), ready);
}

void ImportWorkers::Run(int worker) {
  std::unique_lock lock(mLock);
  for (;;) {
    mWork.wait(lock, [&] { return mQuit || !mQueue.empty(); });
    if (mQuit) return;
    Task task = std::move(mQueue.front());
    mQueue.pop_front();
    lock.unlock();
    try {
      task(worker);
    } catch (...) {
      // Tasks report their own failures; nothing may end the thread.
    }
    task = nullptr;  // what it held goes before the waiting thread looks
    lock.lock();
    mDone.notify_all();
  }
}
