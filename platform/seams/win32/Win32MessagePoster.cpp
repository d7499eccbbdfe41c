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
    std::size_t pos = m_tail.load(std::memory_order_relaxed);
    for (;;) {
      Cell& cell = m_cells[pos & (kCapacity - 1)];
      std::size_t seq = cell.sequence.load(std::memory_order_acquire);
      auto diff = static_cast<std::intptr_t>(seq) - static_cast<std::intptr_t>(pos);
      if (diff == 0) {
        if (m_tail.compare_exchange_weak(pos, pos + 1, std::memory_order_relaxed)) {
          cell.msg = msg;
          cell.sequence.store(pos + 1, std::memory_order_release);
          return true;
        }
      } else if (diff < 0) {
        return false;  // full
      } else {
        pos = m_tail.load(std::memory_order_relaxed);
      }
    }
  }

  bool Pop(MSG* msg) noexcept {
    Cell& cell = m_cells[m_head & (kCapacity - 1)];
    std::size_t seq = cell.sequence.load(std::memory_order_acquire);
    if (static_cast<std::intptr_t>(seq) - static_cast<std::intptr_t>(m_head + 1) < 0) return false;
    *msg = cell.msg;
    cell.sequence.store(m_head + kCapacity, std::memory_order_release);
    ++m_head;
    return true;
  }

  PostQueue() {
    for (std::size_t i = 0; i < kCapacity; ++i) m_cells[i].sequence.store(i);
  }

private:
  struct Cell {
    std::atomic<std::size_t> sequence;
    MSG msg;
  };
  Cell m_cells[kCapacity];
  alignas(64) std::atomic<std::size_t> m_tail{0};
  alignas(64) std::size_t m_head = 0;  // the relay thread's alone
};

class Win32MessagePoster final : public MessagePoster {
public:
  bool Start() {
    m_thread = ::CreateThread(nullptr, 0, &Win32MessagePoster::RelayMain, this, 0, nullptr);
    return m_thread != nullptr;
  }

  void Stop() {
    if (!m_thread) return;
    m_quit.store(true, std::memory_order_release);
    Wake();
    ::WaitForSingleObject(m_thread, INFINITE);
    ::CloseHandle(m_thread);
    m_thread = nullptr;
  }

  bool Post(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
            std::intptr_t lParam) noexcept override {
    MSG msg{};
    msg.hwnd = ToHwnd(window);
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    if (!m_queue.Push(msg)) return false;
    Wake();
    return true;
  }

private:
  void Wake() noexcept {
    m_wake.fetch_add(1, std::memory_order_release);
    m_wake.notify_one();
  }

  static DWORD WINAPI RelayMain(void* self) {
    static_cast<Win32MessagePoster*>(self)->Relay();
    return 0;
  }

  void Relay() {
    for (;;) {
      std::uint32_t seen = m_wake.load(std::memory_order_acquire);
      MSG msg;
      while (m_queue.Pop(&msg)) ::PostMessageA(msg.hwnd, msg.message, msg.wParam, msg.lParam);
      if (m_quit.load(std::memory_order_acquire)) {
        while (m_queue.Pop(&msg)) ::PostMessageA(msg.hwnd, msg.message, msg.wParam, msg.lParam);
        return;
      }
      m_wake.wait(seen, std::memory_order_acquire);
    }
  }

  PostQueue m_queue;
  std::atomic<std::uint32_t> m_wake{0};
  std::atomic<bool> m_quit{false};
  HANDLE m_thread = nullptr;
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
