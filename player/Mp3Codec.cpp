// The MP3 codec: decodes with libmad from an input stream (a file or an HTTP
// download) and dithers to 16-bit PCM.
#include "player/CodecModule.h"
#include "player/InputStream.h"

#include "platform/afx/linux_headers_begin.h"
#include <mad.h>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include "platform/afx/linux_headers_end.h"

namespace {

constexpr DWORD kInputBufferBytes = 40000;
constexpr DWORD kScanBufferBytes = 8192;

struct XingRecord {
  DWORD flags;  // 1 frames, 2 bytes, 4 table, 8 scale
  DWORD frames;
  DWORD bytes;
  BYTE table[100];
  DWORD scale;
};

struct Mp3State {
  InputStream* stream;
  DWORD fileSize;
  XingRecord xing;
  mad_stream madStream;
  mad_frame madFrame;
  mad_synth madSynth;
  bool madOpen;
  DWORD readPos;  // inside the synth's PCM output
  mad_timer_t currentTime;
  mad_timer_t duration;
  DWORD kbpsSum;
  DWORD framesDecoded;
  PlayFileInfo info;
  BYTE input[kInputBufferBytes + MAD_BUFFER_GUARD];
  DWORD inputBytes;
  bool streamEnded;  // the stream reported the end of its data
  bool endOfInput;   // the guard bytes after the last frame are in the buffer
};

Mp3State* State(CodecModule* module) { return static_cast<Mp3State*>(module->ModuleData); }

// The error-feedback dither, one state per channel (only the engine thread uses it).
struct DitherState {
  mad_fixed_t error[3];
  uint32_t random;
};
DitherState g_dither[2];

inline int16_t Dither(mad_fixed_t sample, DitherState* d) {
  int64_t s = static_cast<int64_t>(sample) + d->error[0] - d->error[1] + d->error[2];
  d->error[2] = d->error[1];
  d->error[1] = d->error[0] / 2;
  int64_t out = s + 4096;  // round at bit 13 (28 fraction bits down to 15)
  uint32_t next = d->random * 1664525u + 1013904223u;
  out += static_cast<int64_t>(next & 0x1FFF) - static_cast<int64_t>(d->random & 0x1FFF);
  d->random = next;
  const int64_t kMax = 0x0FFFFFFF, kMin = -0x10000000;
  if (out > kMax) {
    out = kMax;
    if (s > kMax) s = kMax;
  } else if (out < kMin) {
    out = kMin;
    if (s < kMin) s = kMin;
  }
  out &= ~static_cast<int64_t>(0x1FFF);
  d->error[0] = static_cast<mad_fixed_t>(s - out);
  return static_cast<int16_t>(out >> 13);
}

void DitherToPcm16(BYTE* out, const mad_fixed_t* left, const mad_fixed_t* right, DWORD frames, bool stereo) {
  for (DWORD i = 0; i < frames; ++i) {
    int16_t l = Dither(left[i], &g_dither[0]);
    *out++ = static_cast<BYTE>(l & 0xFF);
    *out++ = static_cast<BYTE>((l >> 8) & 0xFF);
    if (stereo) {
      int16_t r = Dither(right[i], &g_dither[1]);
      *out++ = static_cast<BYTE>(r & 0xFF);
      *out++ = static_cast<BYTE>((r >> 8) & 0xFF);
    }
  }
}

// 0 when the ancillary bits hold a Xing header (its fields go to xing), else -1.
int ParseXingHeader(mad_bitptr ptr, unsigned bitlen, XingRecord* xing) {
  xing->flags = 0;
  if (bitlen < 64 || mad_bit_read(&ptr, 32) != 0x58696E67UL) return -1;
  DWORD flags = static_cast<DWORD>(mad_bit_read(&ptr, 32));
  bitlen -= 64;
  auto fail = [&] {
    xing->flags = 0;
    return -1;
  };
  if (flags & 1) {
    if (bitlen < 32) return fail();
    xing->frames = static_cast<DWORD>(mad_bit_read(&ptr, 32));
    bitlen -= 32;
  }
  if (flags & 2) {
    if (bitlen < 32) return fail();
    xing->bytes = static_cast<DWORD>(mad_bit_read(&ptr, 32));
    bitlen -= 32;
  }
  if (flags & 4) {
    if (bitlen < 800) return fail();
    for (int i = 0; i < 100; ++i) xing->table[i] = static_cast<BYTE>(mad_bit_read(&ptr, 8));
    bitlen -= 800;
  }
  if (flags & 8) {
    if (bitlen < 32) return fail();
    xing->scale = static_cast<DWORD>(mad_bit_read(&ptr, 32));
    bitlen -= 32;
  }
  xing->flags = flags;
  return 0;
}

// Decodes the first frames of the stream: up to the first that carries a Xing
// header, else the second. header receives that frame's header.
bool ScanMp3Header(InputStream* stream, mad_header* header, XingRecord* xing) {
  xing->flags = 0;
  BYTE buffer[kScanBufferBytes + MAD_BUFFER_GUARD];
  DWORD length = 0;
  mad_stream ms;
  mad_frame mf;
  mad_stream_init(&ms);
  mad_frame_init(&mf);
  bool ok = false;
  int decoded = 0;
  // Garbage in front of the first frame is skipped, but not forever.
  for (int refills = 0; refills < 256 && !ok; ++refills) {
    // A read that reports the end may still bring its last bytes: only no bytes
    // at all end the scan.
    DWORD got = 0;
    if (length < kScanBufferBytes) stream->Read(stream, buffer + length, kScanBufferBytes - length, &got);
    if (got == 0) break;
    length += got;
    mad_stream_buffer(&ms, buffer, length);
    bool failed = false;
    for (;;) {
      if (mad_frame_decode(&mf, &ms) == -1) {
        if (MAD_RECOVERABLE(ms.error)) continue;
        if (ms.error != MAD_ERROR_BUFLEN) failed = true;
        break;
      }
      ++decoded;
      if (ParseXingHeader(ms.anc_ptr, ms.anc_bitlen, xing) == 0 || decoded == 2) {
        *header = mf.header;
        ok = true;
        break;
      }
    }
    if (failed) break;
    if (!ok) {
      // Keep what follows the last frame and read more.
      const BYTE* from = ms.next_frame ? ms.next_frame : buffer;
      DWORD keep = static_cast<DWORD>(buffer + length - from);
      std::memmove(buffer, from, keep);
      length = keep;
    }
  }
  mad_frame_finish(&mf);
  mad_stream_finish(&ms);
  return ok;
}

void Mp3Codec_CloseFile(CodecModule* module) {
  Mp3State* s = State(module);
  if (s->stream) {
    s->stream->Close(s->stream);
    s->stream = nullptr;
  }
  if (s->madOpen) {
    mad_synth_finish(&s->madSynth);
    mad_frame_finish(&s->madFrame);
    mad_stream_finish(&s->madStream);
    s->madOpen = false;
  }
}

void Mp3Codec_Uninitialise(CodecModule* module) {
  Mp3Codec_CloseFile(module);
  std::free(module->ModuleData);
  module->ModuleData = nullptr;
  ExtensionList_Free(module);
}

int Mp3Codec_OpenFile(CodecModule* module, const char* path, DWORD_PTR, HWND notifyWindow) {
  Mp3State* s = State(module);
  Mp3Codec_CloseFile(module);
  s->stream = OpenInputStream(path, notifyWindow);
  if (!s->stream) return 0;
  DWORD audioStart = 0;
  if (s->stream->IsSeekable(s->stream)) {
    BYTE head[10];
    DWORD got = 0;
    if (!s->stream->Read(s->stream, head, sizeof head, &got)) got = 0;
    audioStart = Id3v2AudioStart(head, got);
    s->stream->Seek(s->stream, audioStart);
  }
  mad_stream_init(&s->madStream);
  mad_frame_init(&s->madFrame);
  mad_synth_init(&s->madSynth);
  s->madOpen = true;
  mad_header header;
  mad_header_init(&header);
  if (!ScanMp3Header(s->stream, &header, &s->xing) || header.bitrate == 0) {
    // Free-format streams (bit rate 0) give no length or position here.
    Mp3Codec_CloseFile(module);
    return 0;
  }
  s->stream->Seek(s->stream, audioStart);
  s->fileSize = s->stream->GetSize(s->stream);
  s->madSynth.pcm.length = 0;
  s->readPos = 0;
  s->currentTime = mad_timer_zero;
  if (s->xing.flags & 1) {
    s->duration = header.duration;
    mad_timer_multiply(&s->duration, s->xing.frames);
  } else {
    mad_timer_set(&s->duration, 0, 1, header.bitrate / 8);
    mad_timer_multiply(&s->duration, s->fileSize);
  }
  s->kbpsSum = 0;
  s->framesDecoded = 0;
  s->info.lengthSeconds = static_cast<DWORD>(mad_timer_count(s->duration, MAD_UNITS_SECONDS));
  s->info.kbps = header.bitrate / 1000;
  s->info.sampleRate = header.samplerate;
  s->info.stereo = header.mode != MAD_MODE_SINGLE_CHANNEL ? 1 : 0;
  s->info.bits16 = 1;
  s->inputBytes = 0;
  s->streamEnded = false;
  s->endOfInput = false;
  return 1;
}

// Moves the undecoded tail to the front and reads more. False at the end of data.
bool RefillInput(Mp3State* s) {
  if (s->endOfInput) return false;
  DWORD keep = 0;
  if (s->madStream.buffer && s->madStream.next_frame) {
    keep = static_cast<DWORD>(s->madStream.bufend - s->madStream.next_frame);
    std::memmove(s->input, s->madStream.next_frame, keep);
  }
  // The last read of a download reports the end together with its last bytes:
  // those are still decoded, and the stream is not asked (and waited for) again.
  DWORD got = 0;
  if (!s->streamEnded && keep < kInputBufferBytes &&
      !s->stream->Read(s->stream, s->input + keep, kInputBufferBytes - keep, &got))
    s->streamEnded = true;
  if (got == 0) {
    // The last frame needs a few zero bytes behind it before libmad decodes it.
    if (keep == 0) return false;
    std::memset(s->input + keep, 0, MAD_BUFFER_GUARD);
    got = MAD_BUFFER_GUARD;
    s->endOfInput = true;
  }
  s->inputBytes = keep + got;
  mad_stream_buffer(&s->madStream, s->input, s->inputBytes);
  return true;
}

// Decodes the next frame into madFrame. False at the end of the data.
bool DecodeNextFrame(Mp3State* s) {
  for (;;) {
    if (!s->madStream.buffer) {
      if (!RefillInput(s)) return false;
      continue;
    }
    if (mad_frame_decode(&s->madFrame, &s->madStream) == 0) return true;
    if (MAD_RECOVERABLE(s->madStream.error)) continue;
    if (!RefillInput(s)) return false;
  }
}

int Mp3Codec_GetPcmBlock(CodecModule* module, void* buffer, DWORD* bytes) {
  Mp3State* s = State(module);
  const bool stereo = s->info.stereo != 0;
  DWORD wanted = *bytes / 2;
  if (stereo) wanted /= 2;
  DWORD produced = 0;
  *bytes = 0;
  if (!s->stream) return 0;
  BYTE* out = static_cast<BYTE*>(buffer);
  while (wanted > 0) {
    DWORD available = s->madSynth.pcm.length > s->readPos ? s->madSynth.pcm.length - s->readPos : 0;
    if (available > 0) {
      DWORD n = available < wanted ? available : wanted;
      const mad_fixed_t* left = s->madSynth.pcm.samples[0] + s->readPos;
      const mad_fixed_t* right =
          (s->madSynth.pcm.channels == 2 ? s->madSynth.pcm.samples[1] : s->madSynth.pcm.samples[0]) +
          s->readPos;
      DitherToPcm16(out + produced, left, right, n, stereo);
      produced += n * (stereo ? 4 : 2);
      s->readPos += n;
      wanted -= n;
      if (wanted == 0) break;
    }
    if (!DecodeNextFrame(s)) {
      *bytes = produced;
      return 0;
    }
    s->framesDecoded += 1;
    DWORD frameKbps = s->madFrame.header.bitrate / 1000;
    s->kbpsSum += frameKbps;
    s->info.kbps = frameKbps;
    mad_synth_frame(&s->madSynth, &s->madFrame);
    s->readPos = 0;
    mad_timer_add(&s->currentTime, s->madFrame.header.duration);
  }
  *bytes = produced;
  return 1;
}

void Mp3Codec_GetFileInfo(CodecModule* module, PlayFileInfo* info) {
  Mp3State* s = State(module);
  if (!(s->xing.flags & 1) && s->framesDecoded > 0 && s->stream) {
    DWORD averageKbps = s->kbpsSum / s->framesDecoded;
    if (averageKbps > 0) {
      mad_timer_set(&s->duration, s->fileSize / (averageKbps * 125), 0, 1);
      if (mad_timer_compare(s->currentTime, s->duration) > 0) {
        // A growing file: what was played is the length so far.
        s->duration = s->currentTime;
        s->fileSize = s->stream->GetSize(s->stream);
      }
    }
  }
  s->info.lengthSeconds = static_cast<DWORD>(mad_timer_count(s->duration, MAD_UNITS_SECONDS));
  *info = s->info;
}

void Mp3Codec_Seek(CodecModule* module, DWORD numerator, DWORD denominator) {
  Mp3State* s = State(module);
  if (!s->stream || !s->stream->IsSeekable(s->stream) || denominator == 0) return;
  double f = static_cast<double>(numerator) / denominator;
  if (f < 0) f = 0;
  if (f > 1) f = 1;
  double ms = static_cast<double>(mad_timer_count(s->duration, MAD_UNITS_MILLISECONDS)) * f;
  mad_timer_set(&s->currentTime, 0, static_cast<unsigned long>(ms), 1000);
  if (s->xing.flags & 4) {
    double p = f * 100;
    int i = static_cast<int>(p);
    double a = i < 100 ? s->xing.table[i] : 256;
    double b = i < 99 ? s->xing.table[i + 1] : 256;
    f = (a + (b - a) * (p - i)) / 256;
  }
  s->stream->Seek(s->stream, static_cast<DWORD>(s->fileSize * f));
  DWORD got = 0;
  s->stream->Read(s->stream, s->input, kInputBufferBytes, &got);
  s->inputBytes = got;
  s->streamEnded = false;
  s->endOfInput = false;
  mad_stream_buffer(&s->madStream, s->input, s->inputBytes);
  mad_frame_mute(&s->madFrame);
  mad_synth_mute(&s->madSynth);
  if (numerator != 0) {
    // The first frames after a jump lack their bit reservoir: decode two to prime.
    for (int i = 0; i < 2;) {
      if (mad_frame_decode(&s->madFrame, &s->madStream) == -1) {
        if (MAD_RECOVERABLE(s->madStream.error)) continue;
        break;
      }
      mad_timer_add(&s->currentTime, s->madFrame.header.duration);
      if (++i == 2) mad_synth_frame(&s->madSynth, &s->madFrame);
    }
  }
  s->madSynth.pcm.length = 0;
  s->readPos = 0;
}

DWORD Mp3Codec_GetPosition(CodecModule* module) {
  return static_cast<DWORD>(mad_timer_count(State(module)->currentTime, MAD_UNITS_SECONDS));
}

}  // namespace

void Mp3Codec_Init(CodecModule* module) {
  module->Uninitialise = Mp3Codec_Uninitialise;
  module->OpenFile = Mp3Codec_OpenFile;
  module->CloseFile = Mp3Codec_CloseFile;
  module->Seek = Mp3Codec_Seek;
  module->GetFileInfo = Mp3Codec_GetFileInfo;
  module->GetPcmBlock = Mp3Codec_GetPcmBlock;
  module->GetPosition = Mp3Codec_GetPosition;
  module->ModuleData = std::calloc(1, sizeof(Mp3State));
  ExtensionList_Init(module);
  ExtensionList_Add(module, "MP3", 0);
  ExtensionList_Add(module, "MP2", 0);
  ExtensionList_Add(module, "MP1", 0);
}
