#include "audiofiles/import/ImportMP3Frames.h"

#include <algorithm>
#include <cstring>

namespace {

// Bytes of the file handed to libmad at once, at most.
constexpr std::size_t kInputBufferSize = 65535;
// Reads end at multiples of this in the file.
constexpr std::int64_t kReadPiece = 32768;
// The longest frame with a known length: layer II of MPEG-2.5 at 160 kbit/s and 8 kHz,
// padded.
constexpr int kMaxFrameBytes = 2881;

// libmad's fixed-point samples carry 28 fraction bits.
constexpr float kFixedToFloat = 1.0f / static_cast<float>(1 << MAD_F_FRACBITS);

bool SameStream(const MP3FrameHeader& a, const MP3FrameHeader& b) {
  return a.version == b.version && a.layer == b.layer && a.rate == b.rate;
}

}  // namespace

void AppendMP3Frame(const mad_pcm& pcm, ImportVector<float>& left, ImportVector<float>& right) {
  const int n = std::min<int>(pcm.length, kMP3MaxFrameSamples);
  const mad_fixed_t* l = pcm.samples[0];
  const mad_fixed_t* r = pcm.samples[std::min(1, pcm.channels - 1)];
  const std::size_t at = left.size();
  left.resize(at + static_cast<std::size_t>(n));
  right.resize(at + static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    left[at + i] = static_cast<float>(l[i]) * kFixedToFloat;
    right[at + i] = static_cast<float>(r[i]) * kFixedToFloat;
  }
}

bool ReadMP3FrameHeader(const unsigned char* p, MP3FrameHeader* header) {
  if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return false;
  const int version = (p[1] >> 3) & 3;
  const int layer = 4 - ((p[1] >> 1) & 3);
  const int bitrateIndex = p[2] >> 4, rateIndex = (p[2] >> 2) & 3;
  if (version == 1 || layer == 4 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return false;
  static const int kKbps[2][3][15] = {{{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
                                       {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
                                       {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
                                      {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
                                       {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
                                       {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
  static const int kRates[3] = {44100, 48000, 32000};
  const bool mpeg1 = version == 3;
  const int bitrate = kKbps[mpeg1 ? 0 : 1][layer - 1][bitrateIndex] * 1000;
  const int rate = kRates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
  const int padding = (p[2] >> 1) & 1;
  MP3FrameHeader h;
  h.version = version;
  h.layer = layer;
  h.rate = rate;
  if (layer == 1) {
    h.bytes = (12 * bitrate / rate + padding) * 4;
    h.samples = 384;
  } else if (layer == 3 && !mpeg1) {
    h.bytes = 72 * bitrate / rate + padding;
    h.samples = 576;
  } else {
    h.bytes = 144 * bitrate / rate + padding;
    h.samples = 1152;
  }
  *header = h;
  return true;
}

std::int64_t FindMP3FrameChain(int fd, std::int64_t from, std::int64_t to, std::int64_t end) {
  from = std::max<std::int64_t>(from, 0);
  to = std::min(to, end);
  if (from >= to) return -1;
  const std::int64_t stop = std::min(end, to + kMP3ChainFrames * kMaxFrameBytes);
  std::vector<unsigned char> bytes(static_cast<std::size_t>(stop - from));
  const std::int64_t got = ReadFileAt(fd, from, bytes.data(), bytes.size());
  if (got < 4) return -1;
  for (std::int64_t p = 0; p < to - from && p + 4 <= got; ++p) {
    MP3FrameHeader first;
    if (!ReadMP3FrameHeader(&bytes[static_cast<std::size_t>(p)], &first)) continue;
    std::int64_t at = p + first.bytes;
    int frames = 1;
    for (; frames < kMP3ChainFrames && at + 4 <= got; ++frames) {
      MP3FrameHeader next;
      if (!ReadMP3FrameHeader(&bytes[static_cast<std::size_t>(at)], &next) || !SameStream(first, next)) break;
      at += next.bytes;
    }
    if (frames == kMP3ChainFrames && from + at <= end) return from + p;
  }
  return -1;
}

bool MP3FramesReach(int fd, std::int64_t from, std::int64_t at) {
  if (from > at) return false;
  std::vector<unsigned char> bytes(static_cast<std::size_t>(at - from + 4));
  const std::int64_t got = ReadFileAt(fd, from, bytes.data(), bytes.size());
  std::int64_t p = 0;
  while (p < at - from && p + 4 <= got) {
    MP3FrameHeader h;
    if (!ReadMP3FrameHeader(&bytes[static_cast<std::size_t>(p)], &h)) return false;
    p += h.bytes;
  }
  return p == at - from;
}

MP3FrameReader::MP3FrameReader(int fd, std::int64_t begin, std::int64_t end)
    : mFd(fd),
      mPosition(begin),
      mEnd(end),
      mBuffer(kInputBufferSize + MAD_BUFFER_GUARD),
      mBufferStart(begin) {
  mad_stream_init(&mStream);
  mad_frame_init(&mFrame);
  mad_synth_init(&mSynth);
}

MP3FrameReader::~MP3FrameReader() {
  mad_synth_finish(&mSynth);
  mad_frame_finish(&mFrame);
  mad_stream_finish(&mStream);
}

MP3FrameReader::Result MP3FrameReader::Refill() {
  if (mBeforeRead && mBeforeRead(*this)) return Result::Stopped;

  // Keep the bytes libmad has not used yet (a frame cut by the end of the buffer) at
  // the start of the buffer.
  std::size_t keep = 0;
  if (mStream.next_frame) {
    keep = static_cast<std::size_t>(mStream.bufend - mStream.next_frame);
    // A full buffer without a frame boundary cannot be decoded; dropping it keeps
    // decoding from asking for the same bytes forever.
    if (keep >= kInputBufferSize) keep = 0;
    if (keep > 0) {
      mBufferStart += mStream.next_frame - mBuffer.data();
      std::memmove(mBuffer.data(), mStream.next_frame, keep);
    }
  }
  if (keep == 0) mBufferStart = mPosition;

  std::int64_t got = 0;
  if (mPosition < mEnd) {
    const std::int64_t pieceEnd = (mPosition / kReadPiece + 1) * kReadPiece;
    const std::size_t want = static_cast<std::size_t>(std::min(
        {static_cast<std::int64_t>(kInputBufferSize - keep), mEnd - mPosition, pieceEnd - mPosition}));
    got = ReadFileAt(mFd, mPosition, mBuffer.data() + keep, want);
    if (got < 0) return Result::ReadError;
    if (static_cast<std::size_t>(got) < want) mEnd = mPosition + got;  // the file got shorter
    mPosition += got;
  }

  if (got == 0) {
    // The end of the frames. libmad decodes a frame only when a few bytes follow it,
    // so the last one is handed over once more with zeros after it; without them the
    // last frame of every file would be lost.
    if (!mPadded && keep > 0) {
      mPadded = true;
      std::memset(mBuffer.data() + keep, 0, MAD_BUFFER_GUARD);
      mad_stream_buffer(&mStream, mBuffer.data(), keep + MAD_BUFFER_GUARD);
      return Result::Frame;
    }
    return Result::End;
  }
  mad_stream_buffer(&mStream, mBuffer.data(), keep + static_cast<std::size_t>(got));
  return Result::Frame;
}

MP3FrameReader::Result MP3FrameReader::Next() {
  for (;;) {
    if (mNeedInput) {
      const Result r = Refill();
      if (r != Result::Frame) return r;
      mNeedInput = false;
    }
    if (mad_frame_decode(&mFrame, &mStream) == -1) {
      if (MAD_RECOVERABLE(mStream.error)) continue;  // a damaged frame is skipped
      if (mStream.error != MAD_ERROR_BUFLEN) return Result::Broken;
      mNeedInput = true;
      continue;
    }
    mad_synth_frame(&mSynth, &mFrame);
    mFrameOffset = mBufferStart + (mStream.this_frame - mBuffer.data());
    return Result::Frame;
  }
}
