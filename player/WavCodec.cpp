// The WAV codec: parses RIFF itself and hands out the PCM of the data chunk.
#include "player/CodecModule.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdlib>
#include <cstring>
#include "platform/afx/linux_headers_end.h"

namespace {

struct WavState {
  HANDLE file;
  DWORD dataStart;
  DWORD dataSize;
  PlayFileInfo info;
  DWORD bytesPerSecond;
  DWORD elapsedSeconds;
  DWORD remainder;  // bytes past the last whole second
  DWORD dataLeft;   // bytes of the data chunk not yet handed out
};

WavState* State(CodecModule* module) { return static_cast<WavState*>(module->ModuleData); }

bool ReadExactly(HANDLE file, void* buffer, DWORD length) {
  DWORD got = 0;
  return ReadFile(file, buffer, length, &got, nullptr) && got == length;
}

DWORD LittleEndian32(const BYTE* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<DWORD>(p[3]) << 24);
}

// Walks chunk headers from the current position to the chunk named id; on success
// the file stands at the chunk's data and size holds its stated size.
bool FindRiffChunk(HANDLE file, const char* id, DWORD* size) {
  for (;;) {
    BYTE header[8];
    if (!ReadExactly(file, header, sizeof header)) return false;
    DWORD chunkSize = LittleEndian32(header + 4);
    if (std::memcmp(header, id, 4) == 0) {
      *size = chunkSize;
      return true;
    }
    // A chunk of odd size is followed by a pad byte that its size does not count.
    const DWORD skip = chunkSize + (chunkSize & 1);
    if (SetFilePointer(file, static_cast<LONG>(skip), nullptr, FILE_CURRENT) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
      return false;
  }
}

void WavCodec_CloseFile(CodecModule* module) {
  WavState* s = State(module);
  if (s->file != INVALID_HANDLE_VALUE) CloseHandle(s->file);
  s->file = INVALID_HANDLE_VALUE;
}

void WavCodec_Uninitialise(CodecModule* module) {
  WavCodec_CloseFile(module);
  std::free(module->ModuleData);
  module->ModuleData = nullptr;
  ExtensionList_Free(module);
}

int WavCodec_OpenFile(CodecModule* module, const char* path, DWORD_PTR, HWND) {
  WavState* s = State(module);
  WavCodec_CloseFile(module);
  s->file =
      CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (s->file == INVALID_HANDLE_VALUE) return 0;
  auto fail = [&] {
    WavCodec_CloseFile(module);
    return 0;
  };
  BYTE head[12];
  DWORD got = 0;
  if (!ReadFile(s->file, head, 10, &got, nullptr)) return fail();
  SetFilePointer(s->file, static_cast<LONG>(Id3v2AudioStart(head, got)), nullptr, FILE_BEGIN);
  if (!ReadExactly(s->file, head, 12)) return fail();
  if (std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0) return fail();

  DWORD fmtSize = 0;
  if (!FindRiffChunk(s->file, "fmt ", &fmtSize) || fmtSize < 16 || fmtSize > 4096) return fail();
  BYTE fmt[4096];
  if (!ReadExactly(s->file, fmt, fmtSize)) return fail();
  if (fmtSize & 1) SetFilePointer(s->file, 1, nullptr, FILE_CURRENT);
  WORD formatTag = fmt[0] | (fmt[1] << 8);
  WORD channels = fmt[2] | (fmt[3] << 8);
  DWORD rate = LittleEndian32(fmt + 4);
  WORD bits = fmt[14] | (fmt[15] << 8);
  if (formatTag != 1) return fail();
  // The outputs play 8- or 16-bit PCM in one or two channels; anything else would be
  // heard as noise at the wrong speed.
  if ((channels != 1 && channels != 2) || (bits != 8 && bits != 16) || rate == 0) return fail();

  s->info.sampleRate = rate;
  s->info.stereo = channels == 2 ? 1 : 0;
  s->info.bits16 = bits == 16 ? 1 : 0;
  s->info.kbps = 0;
  s->bytesPerSecond = (s->info.stereo ? 2 : 1) * (s->info.bits16 ? 2 : 1) * rate;

  DWORD dataSize = 0;
  if (!FindRiffChunk(s->file, "data", &dataSize)) return fail();
  s->dataStart = SetFilePointer(s->file, 0, nullptr, FILE_CURRENT);
  // A recording that was cut short leaves its data size 0 or too large: the data
  // then runs to the end of the file.
  DWORD fileSize = GetFileSize(s->file, nullptr);
  DWORD available = fileSize > s->dataStart ? fileSize - s->dataStart : 0;
  if (dataSize == 0 || dataSize > available) dataSize = available;
  s->dataSize = dataSize;
  s->dataLeft = dataSize;
  s->elapsedSeconds = 0;
  s->remainder = 0;
  s->info.lengthSeconds = dataSize / s->bytesPerSecond;
  return 1;
}

void WavCodec_Seek(CodecModule* module, DWORD numerator, DWORD denominator) {
  WavState* s = State(module);
  if (s->file == INVALID_HANDLE_VALUE || denominator == 0 || s->bytesPerSecond == 0) return;
  double f = static_cast<double>(numerator) / denominator;
  if (f < 0) f = 0;
  if (f > 1) f = 1;
  DWORD offset = static_cast<DWORD>(f * s->dataSize) & ~3u;
  s->elapsedSeconds = offset / s->bytesPerSecond;
  s->remainder = offset % s->bytesPerSecond;
  s->dataLeft = s->dataSize - offset;
  SetFilePointer(s->file, static_cast<LONG>(s->dataStart + offset), nullptr, FILE_BEGIN);
}

void WavCodec_GetFileInfo(CodecModule* module, PlayFileInfo* info) { *info = State(module)->info; }

int WavCodec_GetPcmBlock(CodecModule* module, void* buffer, DWORD* bytes) {
  WavState* s = State(module);
  DWORD wanted = *bytes;
  *bytes = 0;
  if (s->file == INVALID_HANDLE_VALUE) return 0;
  // Chunks after the data (lists, tags) are not sound.
  if (wanted > s->dataLeft) wanted = s->dataLeft;
  DWORD got = 0;
  if (wanted == 0 || !ReadFile(s->file, buffer, wanted, &got, nullptr) || got == 0) return 0;
  *bytes = got;
  s->dataLeft -= got;
  s->remainder += got;
  while (s->remainder > s->bytesPerSecond) {
    s->elapsedSeconds += 1;
    s->remainder -= s->bytesPerSecond;
  }
  return s->dataLeft > 0 ? 1 : 0;
}

DWORD WavCodec_GetPosition(CodecModule* module) { return State(module)->elapsedSeconds; }

}  // namespace

void WavCodec_Init(CodecModule* module) {
  module->Uninitialise = WavCodec_Uninitialise;
  module->OpenFile = WavCodec_OpenFile;
  module->CloseFile = WavCodec_CloseFile;
  module->Seek = WavCodec_Seek;
  module->GetFileInfo = WavCodec_GetFileInfo;
  module->GetPcmBlock = WavCodec_GetPcmBlock;
  module->GetPosition = WavCodec_GetPosition;
  auto* s = static_cast<WavState*>(std::calloc(1, sizeof(WavState)));
  s->file = INVALID_HANDLE_VALUE;
  module->ModuleData = s;
  ExtensionList_Init(module);
  ExtensionList_Add(module, "WAV", 0);
}
