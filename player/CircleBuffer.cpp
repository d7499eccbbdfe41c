#include "player/CircleBuffer.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdlib>
#include <cstring>
#include "platform/afx/linux_headers_end.h"

namespace {

DWORD UsedLocked(const CircleBuffer* cb) { return (cb->writePos + cb->size - cb->readPos) % cb->size; }

DWORD FreeLocked(const CircleBuffer* cb) {
  // One byte always stays empty, so equal positions mean empty.
  return (cb->readPos + cb->size - cb->writePos - 1) % cb->size;
}

void CircleBuffer_Destroy(CircleBuffer* cb) {
  if (!cb) return;
  DeleteCriticalSection(&cb->lock);
  CloseHandle(cb->dataEvent);
  std::free(cb->data);
  std::free(cb);
}

DWORD CircleBuffer_Write(CircleBuffer* cb, const void* data, DWORD length) {
  const BYTE* src = static_cast<const BYTE*>(data);
  EnterCriticalSection(&cb->lock);
  DWORD room = FreeLocked(cb);
  if (length > room) length = room;
  DWORD done = 0;
  while (done < length) {
    DWORD piece = length - done;
    if (piece > cb->size - cb->writePos) piece = cb->size - cb->writePos;
    std::memcpy(cb->data + cb->writePos, src + done, piece);
    cb->writePos = (cb->writePos + piece) % cb->size;
    done += piece;
  }
  SetEvent(cb->dataEvent);
  LeaveCriticalSection(&cb->lock);
  return done;
}

int CircleBuffer_Read(CircleBuffer* cb, void* destination, DWORD length, DWORD* got) {
  BYTE* dst = static_cast<BYTE*>(destination);
  DWORD copied = 0;
  int result = 1;
  while (copied < length) {
    // An empty buffer whose producer has finished answers at once instead of
    // waiting for an event that an earlier read already consumed.
    EnterCriticalSection(&cb->lock);
    bool ended = cb->complete && cb->readPos == cb->writePos;
    LeaveCriticalSection(&cb->lock);
    if (ended) {
      result = 0;
      break;
    }
    if (WaitForSingleObject(cb->dataEvent, kCircleBufferReadTimeoutMs) != WAIT_OBJECT_0) {
      result = 0;
      break;
    }
    EnterCriticalSection(&cb->lock);
    DWORD available = cb->writePos >= cb->readPos ? cb->writePos - cb->readPos : cb->size - cb->readPos;
    DWORD n = length - copied;
    if (n > available) n = available;
    std::memcpy(dst + copied, cb->data + cb->readPos, n);
    cb->readPos = (cb->readPos + n) % cb->size;
    copied += n;
    ended = cb->readPos == cb->writePos && cb->complete;
    if (!ended && cb->readPos != cb->writePos) SetEvent(cb->dataEvent);
    LeaveCriticalSection(&cb->lock);
    if (ended) {
      result = 0;
      break;
    }
  }
  if (got) *got = copied;
  return result;
}

void CircleBuffer_Flush(CircleBuffer* cb) {
  EnterCriticalSection(&cb->lock);
  cb->readPos = cb->writePos = 0;
  LeaveCriticalSection(&cb->lock);
}

DWORD CircleBuffer_GetUsed(CircleBuffer* cb) {
  EnterCriticalSection(&cb->lock);
  DWORD used = UsedLocked(cb);
  LeaveCriticalSection(&cb->lock);
  return used;
}

DWORD CircleBuffer_GetFree(CircleBuffer* cb) {
  EnterCriticalSection(&cb->lock);
  DWORD room = FreeLocked(cb);
  LeaveCriticalSection(&cb->lock);
  return room;
}

void CircleBuffer_SetComplete(CircleBuffer* cb) {
  EnterCriticalSection(&cb->lock);
  cb->complete = 1;
  SetEvent(cb->dataEvent);
  LeaveCriticalSection(&cb->lock);
}

int CircleBuffer_IsComplete(CircleBuffer* cb) { return cb->complete ? 1 : 0; }

}  // namespace

CircleBuffer* CircleBuffer_Create(DWORD size) {
  if (size < 2) return nullptr;
  auto* cb = static_cast<CircleBuffer*>(std::calloc(1, sizeof(CircleBuffer)));
  if (!cb) return nullptr;
  cb->data = static_cast<BYTE*>(std::malloc(size));
  cb->dataEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!cb->data || !cb->dataEvent) {
    if (cb->dataEvent) CloseHandle(cb->dataEvent);
    std::free(cb->data);
    std::free(cb);
    return nullptr;
  }
  InitializeCriticalSection(&cb->lock);
  cb->size = size;
  cb->Destroy = CircleBuffer_Destroy;
  cb->Write = CircleBuffer_Write;
  cb->Read = CircleBuffer_Read;
  cb->Flush = CircleBuffer_Flush;
  cb->GetUsed = CircleBuffer_GetUsed;
  cb->GetFree = CircleBuffer_GetFree;
  cb->SetComplete = CircleBuffer_SetComplete;
  cb->IsComplete = CircleBuffer_IsComplete;
  return cb;
}
