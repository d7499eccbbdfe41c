#pragma once
// Posting a window message from any thread.
//
// The portable tier never talks to windows directly. Code that must tell a window
// something (levels for the peak meter, a Stop request, silence statistics) posts a
// message through this seam. Posting is safe from any thread, the audio callback
// included: it neither blocks nor allocates. The window tier installs a poster that
// relays to PostMessage from a thread Win32 created; tests install their own.
#include <cstdint>

namespace seams {

// A window handle as it crosses the seam: an opaque 32-bit value, 0 for none.
using WindowHandle = std::uint32_t;

class MessagePoster {
public:
  virtual ~MessagePoster() = default;
  // Queues the message for the window; false when it could not be queued.
  virtual bool Post(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                    std::intptr_t lParam) noexcept = 0;
};

// Installs the process-wide poster (null removes it) and returns the previous one.
MessagePoster* SetMessagePoster(MessagePoster* poster) noexcept;

// Posts through the installed poster; false when none is installed, the window is
// 0, or the poster refused.
bool PostWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam) noexcept;

}  // namespace seams
