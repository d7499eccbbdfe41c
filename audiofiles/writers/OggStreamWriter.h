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

  explicit OggStreamWriter(StreamMixer** mixerSlot);
  ~OggStreamWriter() override;

  int Prepare() override;
  int Open(int channels, RingBuffer** inputs, double inputRate) override;
  int Close() override;
  int WriteBlock() override;
  int NextFile() override;
  int UpdateStereo() override;
  void GetRateAndType(int* rate, char* type) override;

  bool IsFileOpen() const { return m_file.IsOpen(); }
  // The serial number of the current file's stream.
  int GetSerial() const { return m_serial; }

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

  ogg_stream_state m_stream{};
  ogg_page m_page{};
  ogg_packet m_packet{};
  vorbis_info m_info{};
  vorbis_comment m_comment{};
  vorbis_dsp_state m_dsp{};
  vorbis_block m_block{};
  ogg_packet m_header{};
  ogg_packet m_headerComment{};
  ogg_packet m_headerCode{};
  COGGStdioFile m_file;

  bool m_encoderUp = false;  // info, comment, DSP, block and stream initialised
  bool m_infoUp = false;     // only vorbis_info_init done
  int m_serial = 0;
  int m_streamChannels = 0;  // channels of the encoder set up
  double m_streamRate = 0.0;
  // The mixer's set-up arguments, for setting it up again.
  int m_inputChannels = 0;
  RingBuffer** m_inputs = nullptr;
  double m_inputRate = 0.0;
};
