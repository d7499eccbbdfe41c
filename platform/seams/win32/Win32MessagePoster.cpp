// Posting from any thread. Only threads that Win32 created may call Win32 here, and
// the audio callback must neither block nor allocate, so a post only puts the message
// into a fixed lock-free queue and wakes a relay thread (made with CreateThread),
// which calls PostMessage.
#include "platform/seams/win32/Win32Seams.h"

#include "platform/afx/linux_headers_begin.h"
#include <atomic>
#include <cstddef>
#include <cstdint>
#include "platform/afx/linux_headers_end.h"

namespace seams {
namespace {

// A bounded multi-producer queue: each cell carries a sequence number that tells
// producers and the consumer whose turn the cell is.
class PostQueue {
public:
  static constexpr std::size_t kCapacity = 8192;  // a power of two

  bool Push(const MSG& msg) noexcept {
    std::size_t pos = tail_.load(std::memory_order_relaxed);
    for (;;) {
      Cell& cell = cells_[pos & (kCapacity - 1)];
      std::size_t seq = cell.sequence.load(std::memory_order_acquire);
      auto diff = static_cast<std::intptr_t>(seq) - static_cast<std::intptr_t>(pos);
      if (diff == 0) {
        if (tail_.compare_exchange_weak(pos, pos + 1, std::memory_order_relaxed)) {
          cell.msg = msg;
          cell.sequence.store(pos + 1, std::memory_order_release);
          return true;
        }
      } else if (diff < 0) {
        return false;  // full
      } else {
        pos = tail_.load(std::memory_order_relaxed);
      }
    }
  }

  bool Pop(MSG* msg) noexcept {
    Cell& cell = cells_[head_ & (kCapacity - 1)];
    std::size_t seq = cell.sequence.load(std::memory_order_acquire);
    if (static_cast<std::intptr_t>(seq) - static_cast<std::intptr_t>(head_ + 1) < 0) return false;
    *msg = cell.msg;
    cell.sequence.store(head_ + kCapacity, std::memory_order_release);
    ++head_;
    return true;
  }

  PostQueue() {
    for (std::size_t i = 0; i < kCapacity; ++i) cells_[i].sequence.store(i);
  }

private:
  struct Cell {
    std::atomic<std::size_t> sequence;
    MSG msg;
  };
  Cell cells_[kCapacity];
  alignas(64) std::atomic<std::size_t> tail_{0};
  alignas(64) std::size_t head_ = 0;  // the relay thread's alone
};

class Win32MessagePoster final : public MessagePoster {
public:
  bool Start() {
    thread_ = ::CreateThread(nullptr, 0, &Win32MessagePoster::RelayMain, this, 0, nullptr);
    return thread_ != nullptr;
  }

  void Stop() {
    if (!thread_) return;
    quit_.store(true, std::memory_order_release);
    Wake();
    ::WaitForSingleObject(thread_, INFINITE);
    ::CloseHandle(thread_);
    thread_ = nullptr;
  }

  bool Post(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
            std::intptr_t lParam) noexcept override {
    MSG msg{};
    msg.hwnd = ToHwnd(window);
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    if (!queue_.Push(msg)) return false;
    Wake();
    return true;
  }

private:
  void Wake() noexcept {
    wake_.fetch_add(1, std::memory_order_release);
    wake_.notify_one();
  }

  static DWORD WINAPI RelayMain(void* self) {
    static_cast<Win32MessagePoster*>(self)->Relay();
    return 0;
  }

  void Relay() {
    for (;;) {
      std::uint32_t seen = wake_.load(std::memory_order_acquire);
      MSG msg;
      while (queue_.Pop(&msg)) ::PostMessageA(msg.hwnd, msg.message, msg.wParam, msg.lParam);
      if (quit_.load(std::memory_order_acquire)) {
        while (queue_.Pop(&msg)) ::PostMessageA(msg.hwnd, msg.message, msg.wParam, msg.lParam);
        return;
      }
      wake_.wait(seen, std::memory_order_acquire);
    }
  }

  PostQueue queue_;
  std::atomic<std::uint32_t> wake_{0};
  std::atomic<bool> quit_{false};
  HANDLE thread_ = nullptr;
};

Win32MessagePoster* g_poster = nullptr;
}  // namespace

void StartWin32MessagePoster() {
  if (g_poster) return;
  g_poster = new Win32MessagePoster;
  if (!g_poster->Start()) {
    delete g_poster;
    g_poster = nullptr;
    return;
  }
  SetMessagePoster(g_poster);
}

void StopWin32MessagePoster() {
  if (!g_poster) return;
  SetMessagePoster(nullptr);
  g_poster->Stop();
  delete g_poster;
  g_poster = nullptr;
}

}  // namespace seams
