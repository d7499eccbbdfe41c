#include "player/InputStream.h"

#include <wininet.h>

#include "player/CircleBuffer.h"
#include "player/PlayerMessages.h"
#include "player/PlayerStrings.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdlib>
#include <cstring>
#include "platform/afx/linux_headers_end.h"

namespace {

// ---- file stream -------------------------------------------------------------

void FileStream_Close(InputStream* stream) {
  CloseHandle(static_cast<HANDLE>(stream->data));
  std::free(stream);
}

int FileStream_Read(InputStream* stream, void* buffer, DWORD length, DWORD* got) {
  DWORD read = 0;
  BOOL ok = ReadFile(static_cast<HANDLE>(stream->data), buffer, length, &read, nullptr);
  if (got) *got = read;
  return ok ? 1 : 0;
}

void FileStream_Seek(InputStream* stream, DWORD position) {
  SetFilePointer(static_cast<HANDLE>(stream->data), static_cast<LONG>(position), nullptr, FILE_BEGIN);
}

DWORD FileStream_GetSize(InputStream* stream) {
  return GetFileSize(static_cast<HANDLE>(stream->data), nullptr);
}

int FileStream_IsSeekable(InputStream*) { return 1; }

// ---- HTTP stream -------------------------------------------------------------

// Shared by the stream and its reader thread; whoever lets go last frees it, so a
// reader stuck in a slow network call never holds up (or outlives) the engine.
struct HttpReaderParams {
  char* url;
  CircleBuffer* ring;
  volatile LONG stop;
  HWND notifyWindow;
  volatile LONG references;
};

struct HttpStreamData {
  CircleBuffer* ring;
  HANDLE thread;
  HttpReaderParams* params;
};

void ReleaseParams(HttpReaderParams* params) {
  if (InterlockedDecrement(&params->references) != 0) return;
  std::free(params->url);
  params->ring->Destroy(params->ring);
  std::free(params);
}

void Notify(HWND window, DWORD buffering, DWORD percent) {
  if (window) PostMessageA(window, kNotifyBuffering, buffering, percent);
}

DWORD WINAPI HttpStreamThread(LPVOID argument) {
  auto* params = static_cast<HttpReaderParams*>(argument);
  CircleBuffer* ring = params->ring;
  Notify(params->notifyWindow, 1, 0);
  HINTERNET internet = InternetOpenA("Larkspin", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (!internet) {
    ring->SetComplete(ring);
    Notify(params->notifyWindow, 0, 0);
    ReleaseParams(params);
    return 0;
  }
  DWORD timeout = kHttpReceiveTimeoutMs;
  InternetSetOptionA(internet, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout);
  // Without these a server that accepts and then says nothing would block the
  // reader (and whoever waits for it) for good.
  InternetSetOptionA(internet, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
  InternetSetOptionA(internet, INTERNET_OPTION_SEND_TIMEOUT, &timeout, sizeof timeout);
  HINTERNET request = InternetOpenUrlA(internet, params->url, nullptr, 0,
                                       INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE, 0);
  if (!request) {
    InternetCloseHandle(internet);
    ring->SetComplete(ring);
    Notify(params->notifyWindow, 0, 0);
    ReleaseParams(params);
    return 0;
  }
  char chunk[4096];
  while (!params->stop) {
    bool idle = true;
    bool ended = false;
    if (ring->GetFree(ring) >= sizeof chunk) {
      INTERNET_BUFFERSA buffers;
      std::memset(&buffers, 0, sizeof buffers);
      buffers.dwStructSize = sizeof buffers;
      buffers.lpvBuffer = chunk;
      buffers.dwBufferLength = sizeof chunk;
      if (!InternetReadFileExA(request, &buffers, IRF_NO_WAIT, 0)) {
        ended = true;
      } else if (buffers.dwBufferLength > 0) {
        ring->Write(ring, chunk, buffers.dwBufferLength);
        Notify(params->notifyWindow, 1, ring->GetUsed(ring) * 100 / kHttpRingBytes);
        idle = false;
      } else {
        // Nothing came: either nothing is there yet or the download has ended.
        // Asking how much is available waits for data and answers 0 only at the
        // end, so a finished download ends the file at once instead of after the
        // reader's time-out.
        DWORD available = 0;
        if (!InternetQueryDataAvailable(request, &available, 0, 0) || available == 0) ended = true;
      }
    }
    if (ended) break;
    if (idle) Sleep(20);
  }
  InternetCloseHandle(request);
  InternetCloseHandle(internet);
  ring->SetComplete(ring);
  Notify(params->notifyWindow, 0, 0);
  ReleaseParams(params);
  return 0;
}

void HttpStream_Close(InputStream* stream) {
  auto* data = static_cast<HttpStreamData*>(stream->data);
  InterlockedExchange(&data->params->stop, 1);
  if (data->thread) {
    // The reader checks the stop flag between reads and its network calls time out;
    // should one still hang, the reader is left to finish and free the shared block.
    WaitForSingleObject(data->thread, kHttpCloseWaitMs);
    CloseHandle(data->thread);
  }
  ReleaseParams(data->params);
  std::free(data);
  std::free(stream);
}

int HttpStream_Read(InputStream* stream, void* buffer, DWORD length, DWORD* got) {
  auto* data = static_cast<HttpStreamData*>(stream->data);
  return data->ring->Read(data->ring, buffer, length, got);
}

void HttpStream_Seek(InputStream*, DWORD) {}
DWORD HttpStream_GetSize(InputStream*) { return 0; }
int HttpStream_IsSeekable(InputStream*) { return 0; }

bool HasHttpPrefix(const char* name) { return std::strlen(name) > 5 && EqualNoCase(name, "http:", 5); }

}  // namespace

InputStream* OpenFileStream(const char* name) {
  HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  auto* stream = static_cast<InputStream*>(std::calloc(1, sizeof(InputStream)));
  if (!stream) {
    CloseHandle(file);
    return nullptr;
  }
  stream->Close = FileStream_Close;
  stream->Read = FileStream_Read;
  stream->Seek = FileStream_Seek;
  stream->GetSize = FileStream_GetSize;
  stream->IsSeekable = FileStream_IsSeekable;
  stream->data = file;
  return stream;
}

InputStream* OpenHttpStream(const char* url, HWND notifyWindow) {
  auto* stream = static_cast<InputStream*>(std::calloc(1, sizeof(InputStream)));
  auto* data = static_cast<HttpStreamData*>(std::calloc(1, sizeof(HttpStreamData)));
  auto* params = static_cast<HttpReaderParams*>(std::calloc(1, sizeof(HttpReaderParams)));
  CircleBuffer* ring = CircleBuffer_Create(kHttpRingBytes);
  char* urlCopy = CopyString(url);
  if (!stream || !data || !params || !ring || !urlCopy) {
    std::free(stream);
    std::free(data);
    std::free(params);
    std::free(urlCopy);
    if (ring) ring->Destroy(ring);
    return nullptr;
  }
  params->url = urlCopy;
  params->ring = ring;
  params->notifyWindow = notifyWindow;
  params->references = 2;  // the stream and the reader
  data->ring = ring;
  data->params = params;
  stream->Close = HttpStream_Close;
  stream->Read = HttpStream_Read;
  stream->Seek = HttpStream_Seek;
  stream->GetSize = HttpStream_GetSize;
  stream->IsSeekable = HttpStream_IsSeekable;
  stream->data = data;

  data->thread = CreateThread(nullptr, 0, HttpStreamThread, params, 0, nullptr);
  if (!data->thread) {
    // No reader: an empty, finished download.
    ring->SetComplete(ring);
    ReleaseParams(params);
    return stream;
  }
  // Pre-buffer, giving way at once to a stop command waiting in this thread's queue.
  while (!ring->IsComplete(ring)) {
    Sleep(100);
    MSG msg;
    if (PeekMessageA(&msg, nullptr, kCmdStop, kCmdStop, PM_NOREMOVE)) break;
    if (ring->GetUsed(ring) >= kHttpPrebufferBytes) break;
  }
  return stream;
}

InputStream* OpenInputStream(const char* name, HWND notifyWindow) {
  if (!name) return nullptr;
  if (HasHttpPrefix(name)) {
    if (InputStream* stream = OpenHttpStream(name, notifyWindow)) return stream;
  }
  return OpenFileStream(name);
}
