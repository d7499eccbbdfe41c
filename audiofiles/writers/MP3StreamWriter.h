// The MP3 streaming writer: direct recording through the outside MP3 encoder
// library (LameEncoder) into a COGGStdioFile. The encoder is fed
// exactly one chunk (the size it asks for) at a time; a split recording carries the
// encoder stream and the held samples on into the next file, so only the first file
// begins at an encoder stream start.
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
  void SetEncoder(LameEncoder* encoder) { m_encoder = encoder; }
  LameEncoder* Encoder() const;

  bool IsFileOpen() const { return m_file.IsOpen(); }
  int GetSamplesPerChunk() const { return m_samplesPerChunk; }
  // 16-bit values held in the PCM buffer, not yet encoded.
  int GetHeldSamples() const { return m_held; }

private:
  int Write(bool final);
  // Ends the encoder stream when this writer holds one; the flushed bytes into out.
  int FinishEncoder();
  void FreeBuffers();

  std::string m_unused;
  std::vector<unsigned char> m_outBuffer;
  int m_outBufferSize = 0;
  COGGStdioFile m_file;
  int m_samplesPerChunk = 0;
  std::vector<std::int16_t> m_pcm;
  int m_pcmCapacity = 0;
  int m_consumed = 0;
  int m_held = 0;

  LameEncoder* m_encoder = nullptr;
  bool m_streamOpen = false;  // this writer opened the encoder stream
  int m_channels = 2;         // output channels of the stream
};
