// The Ogg Vorbis streaming writer: direct recording through libvorbis
// and libogg into a COGGStdioFile. Every file of a split recording is a complete Ogg
// Vorbis stream with its own header pages and serial number.
//
// Robustness:
// - NextFile reads the encoder's set-up results (a refused configuration fails it
//   with 0), and sets the stream mixer up again when the channel count or the rate
//   changed since the file before was opened.
// - A write that fails or puts fewer bytes than asked, and a failing close, make the
//   operation return 0.
// - Close drains everything the rings and the stream mixer still hold.
#pragma once

#include <ogg/ogg.h>
#include <vorbis/codec.h>

#include "audiofiles/io/COGGStdioFile.h"
#include "audiofiles/writers/StreamFileWriter.h"

class OggStreamWriter : public StreamFileWriter {
public:
  static constexpr int kBlockSize = 8192;
  // The pages of the encoded sound reach the file at least this often (seconds of
  // audio), so a take cut off by a crash or a power loss keeps all but its last moments.
  static constexpr double kPageFlushSeconds = 1.0;

  explicit OggStreamWriter(StreamMixer** mixerSlot);
  ~OggStreamWriter() override;

  int Prepare() override;
  int Open(int channels, RingBuffer** inputs, double inputRate) override;
  int Close() override;
  int WriteBlock() override;
  int NextFile() override;
  int UpdateStereo() override;
  void GetRateAndType(int* rate, char* type) override;

  bool IsFileOpen() const { return mFile.IsOpen(); }
  // The serial number of the current file's stream.
  int GetSerial() const { return mSerial; }

private:
  // final: end the Vorbis stream (end-of-stream page). drain: the last write of the
  // recording (take every sample, empty the mixer).
  int Write(bool final, bool drain);
  // Reads the settings, opens the encoder and writes the header pages into the open
  // file. 0 when the encoder refuses the configuration or a write fails.
  int StartStream(bool firstFile);
  // Clears the encoder state (when it was set up).
  void ClearStream();
  // Writes a page; false on a failed write.
  bool WritePage(const ogg_page& page);

  ogg_stream_state mStream{};
  ogg_page mPage{};
  ogg_packet mPacket{};
  vorbis_info mInfo{};
  vorbis_comment mComment{};
  vorbis_dsp_state mDsp{};
  vorbis_block mBlock{};
  ogg_packet mHeader{};
  ogg_packet mHeaderComment{};
  ogg_packet mHeaderCode{};
  COGGStdioFile mFile;

  bool mEncoderUp = false;  // info, comment, DSP, block and stream initialised
  bool mInfoUp = false;     // only vorbis_info_init done
  double mFlushTime = 0.0;  // the mixer's time at the last page flush
  int mSerial = 0;
  int mStreamChannels = 0;  // channels of the encoder set up
  double mStreamRate = 0.0;
  // The mixer's set-up arguments, for setting it up again.
  int mInputChannels = 0;
  RingBuffer** mInputs = nullptr;
  double mInputRate = 0.0;
};
