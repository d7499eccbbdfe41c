// The Ogg Vorbis codec, over vorbisfile.
#include "player/CodecModule.h"

#include "platform/afx/linux_headers_begin.h"
#include <vorbis/vorbisfile.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "platform/afx/linux_headers_end.h"

namespace {

// vorbisfile reads through a Win32 file handle, so the engine's Windows paths work
// under every C runtime. The audio may start after an ID3v2 tag: positions the
// decoder sees count from there.
struct OggSource {
  HANDLE file;
  DWORD start;
};

struct OggState {
  OggSource source;
  PlayFileInfo info;
  OggVorbis_File decoder;
  bool decoderOpen;
  int bitstream;
};

OggState* State(CodecModule* module) { return static_cast<OggState*>(module->ModuleData); }

size_t OggRead(void* buffer, size_t size, size_t count, void* source) {
  auto* src = static_cast<OggSource*>(source);
  DWORD got = 0;
  if (size == 0 || !ReadFile(src->file, buffer, static_cast<DWORD>(size * count), &got, nullptr)) return 0;
  return got / size;
}

int OggSeek(void* source, ogg_int64_t offset, int whence) {
  auto* src = static_cast<OggSource*>(source);
  LARGE_INTEGER to;
  DWORD method = FILE_BEGIN;
  to.QuadPart = offset;
  if (whence == SEEK_SET)
    to.QuadPart += src->start;
  else if (whence == SEEK_CUR)
    method = FILE_CURRENT;
  else
    method = FILE_END;
  return SetFilePointerEx(src->file, to, nullptr, method) ? 0 : -1;
}

long OggTell(void* source) {
  auto* src = static_cast<OggSource*>(source);
  LARGE_INTEGER zero, at;
  zero.QuadPart = 0;
  if (!SetFilePointerEx(src->file, zero, &at, FILE_CURRENT)) return -1;
  return static_cast<long>(at.QuadPart - src->start);
}

void OggCodec_CloseFile(CodecModule* module) {
  OggState* s = State(module);
  if (s->decoderOpen) {
    ov_clear(&s->decoder);
    s->decoderOpen = false;
  }
  if (s->source.file != INVALID_HANDLE_VALUE) {
    CloseHandle(s->source.file);
    s->source.file = INVALID_HANDLE_VALUE;
  }
}

void OggCodec_Uninitialise(CodecModule* module) {
  OggCodec_CloseFile(module);
  std::free(module->ModuleData);
  module->ModuleData = nullptr;
  ExtensionList_Free(module);
}

int OggCodec_OpenFile(CodecModule* module, const char* path, DWORD_PTR, HWND) {
  OggState* s = State(module);
  OggCodec_CloseFile(module);
  s->source.file =
      CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (s->source.file == INVALID_HANDLE_VALUE) return 0;
  BYTE head[10];
  DWORD got = 0;
  if (!ReadFile(s->source.file, head, sizeof head, &got, nullptr)) got = 0;
  s->source.start = Id3v2AudioStart(head, got);
  SetFilePointer(s->source.file, static_cast<LONG>(s->source.start), nullptr, FILE_BEGIN);
  ov_callbacks callbacks = {OggRead, OggSeek, nullptr, OggTell};
  if (ov_open_callbacks(&s->source, &s->decoder, nullptr, 0, callbacks) != 0) {
    OggCodec_CloseFile(module);
    return 0;
  }
  s->decoderOpen = true;
  vorbis_info* vi = ov_info(&s->decoder, -1);
  if (ov_streams(&s->decoder) != 1 || !vi || vi->channels < 1 || vi->channels > 2) {
    OggCodec_CloseFile(module);
    return 0;
  }
  double total = ov_time_total(&s->decoder, -1);
  s->info.lengthSeconds = total > 0 ? static_cast<DWORD>(total) : 0;
  long bitrate = ov_bitrate(&s->decoder, -1);
  s->info.kbps = bitrate > 0 ? static_cast<DWORD>(bitrate / 1000) : 0;
  s->info.sampleRate = static_cast<DWORD>(vi->rate);
  s->info.stereo = vi->channels == 2 ? 1 : 0;
  s->info.bits16 = 1;
  s->bitstream = 0;
  return 1;
}

int OggCodec_GetPcmBlock(CodecModule* module, void* buffer, DWORD* bytes) {
  OggState* s = State(module);
  DWORD wanted = *bytes;
  if (wanted == 0) return 1;
  *bytes = 0;
  if (!s->decoderOpen) return 0;
  char* out = static_cast<char*>(buffer);
  DWORD produced = 0;
  while (produced < wanted) {
    long n =
        ov_read(&s->decoder, out + produced, static_cast<int>(wanted - produced), 0, 2, 1, &s->bitstream);
    if (n == 0) {
      *bytes = produced;
      return 0;
    }
    if (n < 0) {
      // A hole in the data is skipped; any other error would repeat for ever.
      if (n == OV_HOLE) continue;
      *bytes = produced;
      return 0;
    }
    produced += static_cast<DWORD>(n);
  }
  *bytes = produced;
  return 1;
}

void OggCodec_Seek(CodecModule* module, DWORD numerator, DWORD denominator) {
  OggState* s = State(module);
  if (!s->decoderOpen || denominator == 0) return;
  ogg_int64_t total = ov_pcm_total(&s->decoder, -1);
  if (total <= 0) return;
  ogg_int64_t target = static_cast<ogg_int64_t>(static_cast<double>(total) * numerator / denominator);
  if (target > total) target = total;
  ov_pcm_seek(&s->decoder, target);
}

void OggCodec_GetFileInfo(CodecModule* module, PlayFileInfo* info) { *info = State(module)->info; }

DWORD OggCodec_GetPosition(CodecModule* module) {
  OggState* s = State(module);
  if (!s->decoderOpen) return 0;
  double t = ov_time_tell(&s->decoder);
  return t > 0 ? static_cast<DWORD>(t) : 0;
}

}  // namespace

void OggCodec_Init(CodecModule* module) {
  module->Uninitialise = OggCodec_Uninitialise;
  module->OpenFile = OggCodec_OpenFile;
  module->CloseFile = OggCodec_CloseFile;
  module->Seek = OggCodec_Seek;
  module->GetFileInfo = OggCodec_GetFileInfo;
  module->GetPcmBlock = OggCodec_GetPcmBlock;
  module->GetPosition = OggCodec_GetPosition;
  auto* s = static_cast<OggState*>(std::calloc(1, sizeof(OggState)));
  s->source.file = INVALID_HANDLE_VALUE;
  module->ModuleData = s;
  ExtensionList_Init(module);
  ExtensionList_Add(module, "OGG", 0);
}
