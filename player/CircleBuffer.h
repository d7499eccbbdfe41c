#pragma once
// A thread-safe byte ring with a blocking read: the pipe between one producer
// thread (an HTTP download, an input plug-in's decoder) and the engine thread.
#include <windows.h>

struct CircleBuffer {
  void (*Destroy)(CircleBuffer* cb);
  // Copies the bytes in; never more than GetFree allows (the excess is dropped, so
  // unread data is never overwritten). Returns the bytes taken.
  DWORD (*Write)(CircleBuffer* cb, const void* data, DWORD length);
  // Blocks until length bytes came, the data ended (complete and empty) or no data
  // came for 2 s. Returns 1, or 0 when the data ended or the wait timed out; got
  // holds the bytes copied in both cases.
  int (*Read)(CircleBuffer* cb, void* destination, DWORD length, DWORD* got);
  void (*Flush)(CircleBuffer* cb);
  DWORD (*GetUsed)(CircleBuffer* cb);
  DWORD (*GetFree)(CircleBuffer* cb);
  void (*SetComplete)(CircleBuffer* cb);
  int (*IsComplete)(CircleBuffer* cb);

  BYTE* data;
  DWORD size;
  DWORD readPos;
  DWORD writePos;
  HANDLE dataEvent;  // auto-reset: new data or the end
  CRITICAL_SECTION lock;
  volatile LONG complete;
};

// How long a reader waits for new data before it gives up.
constexpr DWORD kCircleBufferReadTimeoutMs = 2000;

CircleBuffer* CircleBuffer_Create(DWORD size);
