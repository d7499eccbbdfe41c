// The frames of an MPEG audio file: their headers, found without decoding, and the
// decoding of the frames of a byte range of the file with libmad, one frame at a
// time.
#pragma once

#include <mad.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "audiofiles/import/ImportFile.h"
#include "audiofiles/import/ImportMemory.h"

struct MP3FrameHeader {
  int version = 0;  // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
  int layer = 0;    // 1 to 3
  int rate = 0;     // samples per second
  int bytes = 0;    // the frame's length, header included
  int samples = 0;  // samples per channel
};

// Samples a frame gives at most; libmad never gives more.
constexpr int kMP3MaxFrameSamples = 1152;

// Appends a decoded frame's samples as float: its first channel on the left, its
// second (or, in a mono frame, its only one) on the right.
void AppendMP3Frame(const mad_pcm& pcm, ImportVector<float>& left, ImportVector<float>& right);

// Reads the header in the four bytes at p. False for anything that is no frame
// header with a known length (a free bit rate's frames have none).
bool ReadMP3FrameHeader(const unsigned char* p, MP3FrameHeader* header);

// The first offset in [from, to) where kMP3ChainFrames frames of one version, layer
// and rate follow each other, all before end; -1 when there is none. A run of frames
// that long does not turn up by chance inside another frame's data.
constexpr int kMP3ChainFrames = 4;
std::int64_t FindMP3FrameChain(int fd, std::int64_t from, std::int64_t to, std::int64_t end);
// Whether the frames that follow each other from the frame at from reach the one at at.
bool MP3FramesReach(int fd, std::int64_t from, std::int64_t at);

// Decodes the frames in bytes [begin, end) of a file: damaged frames are skipped,
// the last one is decoded too (libmad wants a few bytes after a frame, which it gets
// as zeros). The file is read in pieces that end at fixed places of the file, so two
// readers that started at different frames hold the same bytes once they are at the
// same frame. Reads with pread: several readers may share the descriptor.
class MP3FrameReader {
public:
  MP3FrameReader(int fd, std::int64_t begin, std::int64_t end);
  MP3FrameReader(const MP3FrameReader&) = delete;
  MP3FrameReader& operator=(const MP3FrameReader&) = delete;
  ~MP3FrameReader();

  enum class Result {
    Frame,      // Pcm() holds the next frame
    End,        // no more frames
    ReadError,  // the file could not be read
    Broken,     // libmad gave up (it does not on any data)
    Stopped,    // the before-read hook said stop
  };
  Result Next();

  const mad_pcm& Pcm() const { return mSynth.pcm; }
  // Where the frame of the last Frame result starts in the file.
  std::int64_t FrameOffset() const { return mFrameOffset; }
  // The next byte to read.
  std::int64_t Position() const { return mPosition; }

  // Asked before each read from the file; true stops the reading (Next gives Stopped).
  void SetBeforeRead(std::function<bool(const MP3FrameReader&)> beforeRead) {
    mBeforeRead = std::move(beforeRead);
  }

private:
  Result Refill();

  int mFd;
  std::int64_t mPosition;
  std::int64_t mEnd;
  std::vector<unsigned char> mBuffer;
  std::int64_t mBufferStart;  // where the buffer's first byte is in the file
  bool mNeedInput = true;
  bool mPadded = false;  // the end of the frames has been handed over with zeros after it
  std::int64_t mFrameOffset = -1;
  std::function<bool(const MP3FrameReader&)> mBeforeRead;
  mad_stream mStream;
  mad_frame mFrame;
  mad_synth mSynth;
};
