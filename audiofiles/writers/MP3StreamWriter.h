// The MP3 streaming writer: direct recording through the outside MP3 encoder
// library (LameEncoder) into a COGGStdioFile. The encoder is fed
// exactly one chunk (the size it asks for) at a time; a split recording carries the
// encoder stream and the held samples on into the next file, so only the first file
// begins at an encoder stream start.
//
// That first file begins with the stream's information frame (its length, seek
// table, encoder delay and padding), written over the blank frame the encoder
// kept for it when the file is done: at Close, or at the first split, where it
// tells the frames the file holds.
//
// Robustness:
// - The encoder's start-up result is read: a configuration it refuses (or a stream
//   it cannot open because another user holds it) fails Open with 0.
// - A write that fails or puts fewer bytes than asked, and a failing close, make the
//   operation return 0; Close still ends the encoder stream, so the process-wide
//   encoder is free for the next user.
// - Close drains everything the rings and the stream mixer still hold.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audiofiles/io/COGGStdioFile.h"
#include "audiofiles/writers/StreamFileWriter.h"

class LameEncoder;

class MP3StreamWriter : public StreamFileWriter {
public:
  explicit MP3StreamWriter(StreamMixer** mixerSlot);
  ~MP3StreamWriter() override;

  int Prepare() override;
  int Open(int channels, RingBuffer** inputs, double inputRate) override;
  int Close() override;
  int WriteBlock() override;
  int NextFile() override;
  int UpdateStereo() override;
  void GetRateAndType(int* rate, char* type) override;

  // The encoder used; the process-wide one (GetLameEncoder) unless set.
  void SetEncoder(LameEncoder* encoder) { mEncoder = encoder; }
  LameEncoder* Encoder() const;

  bool IsFileOpen() const { return mFile.IsOpen(); }
  int GetSamplesPerChunk() const { return mSamplesPerChunk; }
  // 16-bit values held in the PCM buffer, not yet encoded.
  int GetHeldSamples() const { return mHeld; }

private:
  int Write(bool final);
  // Writes the information frame over the first frame of a file that began at
  // the encoder stream's start; throws StdioFileException.
  void WriteInfoFrame();
  // Ends the encoder stream when this writer holds one; the flushed bytes into out.
  int FinishEncoder();
  void FreeBuffers();

  std::string mUnused;
  std::vector<unsigned char> mOutBuffer;
  int mOutBufferSize = 0;
  COGGStdioFile mFile;
  int mSamplesPerChunk = 0;
  std::vector<std::int16_t> mPcm;
  int mPcmCapacity = 0;
  int mConsumed = 0;
  int mHeld = 0;

  LameEncoder* mEncoder = nullptr;
  bool mStreamOpen = false;    // this writer opened the encoder stream
  bool mInfoFrameDue = false;  // the open file began at the stream's start
  int mChannels = 2;           // output channels of the stream
};
