#pragma once
// The byte source of the MP3 codec: a local file, or an HTTP download that a reader
// thread of its own pours into a ring while the engine thread decodes.
#include <windows.h>

struct InputStream {
  void (*Close)(InputStream* stream);  // releases everything, the record included
  int (*Read)(InputStream* stream, void* buffer, DWORD length, DWORD* got);
  void (*Seek)(InputStream* stream, DWORD position);
  DWORD (*GetSize)(InputStream* stream);
  int (*IsSeekable)(InputStream* stream);
  void* data;
};

constexpr DWORD kHttpRingBytes = 0x40000;
constexpr DWORD kHttpPrebufferBytes = 32768;
// No data (or no answer) for this long ends a download; the engine would end the
// file after its own 2-s read time-out anyway.
constexpr DWORD kHttpReceiveTimeoutMs = 2000;
// How long closing waits for the reader before leaving it to finish on its own.
constexpr DWORD kHttpCloseWaitMs = 500;

// An HTTP stream for names longer than 5 characters that begin with "http:" (any
// case), when it can be created; else a file stream. Null when nothing opens.
InputStream* OpenInputStream(const char* name, HWND notifyWindow);
InputStream* OpenFileStream(const char* name);
InputStream* OpenHttpStream(const char* url, HWND notifyWindow);
