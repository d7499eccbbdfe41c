#include "audiofiles/import/ImportMP3.h"

#include <mad.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "audiofiles/import/ImportMP3InfoFrame.h"
#include "audiofiles/import/ImportText.h"
#include "core/model/WaveTrack.h"

namespace {

// Bytes of the file handed to libmad at once.
constexpr std::size_t kInputBufferSize = 65535;
// libmad's fixed-point samples carry 28 fraction bits.
constexpr float kFixedToFloat = 1.0f / static_cast<float>(1 << MAD_F_FRACBITS);

std::int64_t FileLength(std::FILE* file) {
  struct stat st {};
  if (fstat(fileno(file), &st) != 0) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

bool ReadAt(std::FILE* file, std::int64_t at, unsigned char* out, std::size_t count) {
  if (fseeko(file, static_cast<off_t>(at), SEEK_SET) != 0) return false;
  return std::fread(out, 1, count, file) == count;
}

}  // namespace

MP3ImportFormat::MP3ImportFormat() {
  for (const char* e : {"mp3", "mp2", "mpg", "mpeg"}) mExtensions.push_back(e);
}

std::string MP3ImportFormat::GetFormatDescription() { return import_text::kMp3Description; }

ImportFile* MP3ImportFormat::Open(const std::string& fileName) {
  std::FILE* file = std::fopen(fileName.c_str(), "rb");
  if (!file) return nullptr;
  // Only regular files: a device or a pipe could be endless.
  struct stat st {};
  if (fstat(fileno(file), &st) != 0 || !S_ISREG(st.st_mode)) {
    std::fclose(file);
    return nullptr;
  }
  return new MP3ImportFile(file);
}

MP3ImportFile::MP3ImportFile(std::FILE* file) : mFile(file) {}

MP3ImportFile::~MP3ImportFile() { std::fclose(mFile); }

std::string MP3ImportFile::GetFileDescription() { return import_text::kMp3Description; }

void MP3ImportFile::FindAudioRange(std::FILE* file, std::int64_t length, std::int64_t* begin,
                                   std::int64_t* end) {
  *begin = 0;
  *end = length;
  unsigned char h[10];
  // ID3v2 tags (some files carry more than one, back to back). A tag that
  // claims to run past the end of the file is not taken for one.
  for (int tags = 0; tags < 16 && *begin + 10 <= length; ++tags) {
    if (!ReadAt(file, *begin, h, 10)) break;
    if (std::memcmp(h, "ID3", 3) != 0 || h[3] == 0xFF || h[4] == 0xFF ||
        ((h[6] | h[7] | h[8] | h[9]) & 0x80) != 0)
      break;
    const std::int64_t size = (static_cast<std::int64_t>(h[6]) << 21) | (h[7] << 14) | (h[8] << 7) | h[9];
    const std::int64_t total = 10 + size + ((h[5] & 0x10) ? 10 : 0);
    if (*begin + total > length) break;
    *begin += total;
  }
  if (length - *begin >= 128 && ReadAt(file, length - 128, h, 3) && std::memcmp(h, "TAG", 3) == 0)
    *end = length - 128;
}

void MP3ImportFile::SkipInfoFrame(std::FILE* file, std::int64_t* begin, std::int64_t end, std::int64_t* skip,
                                  std::size_t* holdBack) {
  *skip = 0;
  *holdBack = 0;
  // The longest layer III frame: 320 kbit/s at 32 kHz, padded.
  unsigned char head[1441];
  const std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(sizeof(head), end - *begin));
  if (want < 4 || fseeko(file, static_cast<off_t>(*begin), SEEK_SET) != 0) return;
  const std::size_t got = std::fread(head, 1, want, file);
  MP3InfoFrame info;
  if (!ReadMP3InfoFrame(head, got, &info) || info.frameBytes > end - *begin) return;
  *begin += info.frameBytes;
  if (info.hasGapless) {
    *skip = info.encoderDelay + kMP3DecoderDelay;
    *holdBack = static_cast<std::size_t>(std::max(0, info.encoderPadding - kMP3DecoderDelay));
  }
}

struct MP3ImportFile::DecodeState {
  MP3ImportFile* owner = nullptr;
  std::FILE* file = nullptr;
  std::int64_t length = 0;    // bytes in the file
  std::int64_t position = 0;  // the next byte to read
  std::int64_t end = 0;       // the first byte after the frames
  std::vector<unsigned char> buffer;
  bool padded = false;  // the end of the frames has been handed over
  bool readError = false;
  bool storeError = false;
  bool outOfMemory = false;

  TrackFactory* factory = nullptr;
  ImportedTracks tracks;
  int channels = 0;
  std::vector<float> channelBuffer;

  // Gapless trimming, from the stream's information frame: samples still to
  // drop at the start (the encoder's and the decoder's delay), and samples
  // held back per channel, never appended unless more audio follows them (the
  // encoder's padding, less the decoder's delay that moved it later).
  std::int64_t skip = 0;
  std::size_t holdBack = 0;
  std::vector<std::vector<float>> held;

  bool Append(int c, const float* samples, std::size_t n);

  mad_flow Input(mad_stream* stream);
  mad_flow Output(const mad_pcm* pcm);
};

mad_flow MP3ImportFile::DecodeState::Input(mad_stream* stream) {
  if (owner->ReportProgress(length > 0 ? static_cast<double>(position) / length : 1.0))
    return MAD_FLOW_STOP;  // cancelled: what was decoded so far stays

  // Keep the bytes libmad has not used yet (a frame cut by the end of the
  // buffer) at the start of the buffer.
  std::size_t keep = 0;
  if (stream->next_frame) {
    keep = static_cast<std::size_t>(stream->bufend - stream->next_frame);
    // A full buffer without a frame boundary cannot be decoded; dropping it
    // keeps decoding from asking for the same bytes forever.
    if (keep >= kInputBufferSize) keep = 0;
    if (keep > 0) std::memmove(buffer.data(), stream->next_frame, keep);
  }

  std::size_t got = 0;
  if (position < end) {
    const std::size_t want =
        std::min<std::size_t>(kInputBufferSize - keep, static_cast<std::size_t>(end - position));
    if (fseeko(file, static_cast<off_t>(position), SEEK_SET) != 0) {
      readError = true;
      return MAD_FLOW_STOP;
    }
    got = std::fread(buffer.data() + keep, 1, want, file);
    if (got < want) {
      if (std::ferror(file)) {
        readError = true;
        return MAD_FLOW_STOP;
      }
      end = position + static_cast<std::int64_t>(got);  // the file got shorter
    }
    position += static_cast<std::int64_t>(got);
  }

  if (got == 0) {
    // The end of the frames. libmad decodes a frame only when a few bytes
    // follow it, so the last one is handed over once more with zeros after
    // it; without them the last frame of every file would be lost.
    if (!padded && keep > 0) {
      padded = true;
      std::memset(buffer.data() + keep, 0, MAD_BUFFER_GUARD);
      mad_stream_buffer(stream, buffer.data(), keep + MAD_BUFFER_GUARD);
      return MAD_FLOW_CONTINUE;
    }
    owner->ReportDone();
    return MAD_FLOW_STOP;
  }

  mad_stream_buffer(stream, buffer.data(), keep + got);
  return MAD_FLOW_CONTINUE;
}

mad_flow MP3ImportFile::DecodeState::Output(const mad_pcm* pcm) {
  if (pcm->channels < 1) return MAD_FLOW_CONTINUE;
  if (channels == 0) {
    // The first frame decides the channels and the rate of the tracks.
    channels = std::min<int>(pcm->channels, 2);
    tracks.Make(factory, channels, SampleFormatFloat, pcm->samplerate);
    channelBuffer.resize(1152);
  }
  const int n = std::min<int>(pcm->length, 1152);
  const int dropped = static_cast<int>(std::min<std::int64_t>(skip, n));
  skip -= dropped;
  for (int c = 0; c < channels; ++c) {
    // A mono frame in a stereo file feeds both tracks, not stale samples.
    const mad_fixed_t* src = pcm->samples[std::min<int>(c, pcm->channels - 1)];
    for (int i = dropped; i < n; ++i) channelBuffer[i] = static_cast<float>(src[i]) * kFixedToFloat;
    if (!Append(c, channelBuffer.data() + dropped, static_cast<std::size_t>(n - dropped))) {
      storeError = true;
      return MAD_FLOW_BREAK;
    }
  }
  return MAD_FLOW_CONTINUE;
}

bool MP3ImportFile::DecodeState::Append(int c, const float* samples, std::size_t n) {
  if (n == 0) return true;
  if (holdBack == 0)
    return tracks[c]->Append(reinterpret_cast<ConstSamplePtr>(samples), SampleFormatFloat, n);
  if (held.size() < static_cast<std::size_t>(channels)) held.resize(channels);
  std::vector<float>& h = held[c];
  h.insert(h.end(), samples, samples + n);
  if (h.size() <= holdBack) return true;
  const std::size_t out = h.size() - holdBack;
  if (!tracks[c]->Append(reinterpret_cast<ConstSamplePtr>(h.data()), SampleFormatFloat, out)) return false;
  h.erase(h.begin(), h.begin() + static_cast<std::ptrdiff_t>(out));
  return true;
}

namespace {

// libmad is C: nothing may unwind through it.
mad_flow InputCallback(void* data, mad_stream* stream) {
  auto* s = static_cast<MP3ImportFile::DecodeState*>(data);
  try {
    return s->Input(stream);
  } catch (...) {
    s->outOfMemory = true;
    return MAD_FLOW_BREAK;
  }
}

mad_flow OutputCallback(void* data, const mad_header*, mad_pcm* pcm) {
  auto* s = static_cast<MP3ImportFile::DecodeState*>(data);
  try {
    return s->Output(pcm);
  } catch (...) {
    s->outOfMemory = true;
    return MAD_FLOW_BREAK;
  }
}

// Damaged frames are skipped.
mad_flow ErrorCallback(void*, mad_stream*, mad_frame*) { return MAD_FLOW_CONTINUE; }

}  // namespace

int MP3ImportFile::Import(TrackFactory* trackFactory, Track*** outTracks, int* outNumTracks) {
  mErrorMessage.clear();
  DecodeState state;
  state.owner = this;
  state.file = mFile;
  state.factory = trackFactory;
  state.length = FileLength(mFile);
  if (state.length < 0) return 0;
  FindAudioRange(mFile, state.length, &state.position, &state.end);
  SkipInfoFrame(mFile, &state.position, state.end, &state.skip, &state.holdBack);
  state.buffer.resize(kInputBufferSize + MAD_BUFFER_GUARD);

  mad_decoder decoder;
  mad_decoder_init(&decoder, &state, InputCallback, nullptr, nullptr, OutputCallback, ErrorCallback, nullptr);
  const int result = mad_decoder_run(&decoder, MAD_DECODER_MODE_SYNC);
  mad_decoder_finish(&decoder);

  *outNumTracks = state.tracks.Count();
  if (state.outOfMemory) throw std::bad_alloc();
  if (state.storeError) {
    mErrorMessage = import_text::kStoreFailed;
    return 0;
  }
  if (state.readError) {
    mErrorMessage = import_text::kReadIncomplete;
    return 0;
  }
  if (result != 0 || state.tracks.Empty()) return 0;  // no MPEG audio in it
  if (!state.tracks.FlushAll()) {
    mErrorMessage = import_text::kStoreFailed;
    return 0;
  }
  state.tracks.HandOut(outTracks, outNumTracks);
  return 1;
}
