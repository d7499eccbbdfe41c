#include "audiofiles/writers/OggStreamWriter.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "app/settings/FileEncodeOptions.h"
#include "audiofiles/writers/StreamMixer.h"
#include "core/model/SampleFormat.h"

namespace {
constexpr unsigned kFileFlags =
    COGGStdioFile::modeCreate | COGGStdioFile::modeWrite | COGGStdioFile::typeBinary;
}

OggStreamWriter::OggStreamWriter(StreamMixer** mixerSlot) : StreamFileWriter(mixerSlot) {
  m_name = "c:\\aa.ogg";
}

OggStreamWriter::~OggStreamWriter() {
  ClearStream();
  m_file.Abort();
}

int OggStreamWriter::Prepare() {
  m_fileCounter = 1;
  return Mixer() ? 1 : 0;
}

int OggStreamWriter::UpdateStereo() {
  m_stereo = StreamWriterEncodeOptions()->OGGChannelMode == 1;
  return m_stereo ? 1 : 0;
}

void OggStreamWriter::GetRateAndType(int* rate, char* type) {
  if (rate) *rate = StreamWriterEncodeOptions()->OGGSampleRate;
  if (type) std::strcpy(type, "OGG");
}

void OggStreamWriter::ClearStream() {
  if (m_encoderUp) {
    ogg_stream_clear(&m_stream);
    vorbis_block_clear(&m_block);
    vorbis_dsp_clear(&m_dsp);
    vorbis_comment_clear(&m_comment);
    vorbis_info_clear(&m_info);
  } else if (m_infoUp) {
    vorbis_info_clear(&m_info);
  }
  m_encoderUp = false;
  m_infoUp = false;
}

bool OggStreamWriter::WritePage(const ogg_page& page) {
  try {
    m_file.Write(page.header, static_cast<std::size_t>(page.header_len));
    m_bytesTotal += static_cast<std::uint64_t>(page.header_len);
    m_file.Write(page.body, static_cast<std::size_t>(page.body_len));
    m_bytesTotal += static_cast<std::uint64_t>(page.body_len);
  } catch (const StdioFileException&) {
    m_failed = true;
    return false;
  }
  return true;
}

int OggStreamWriter::StartStream(bool firstFile) {
  ClearStream();
  const FileEncodeOptions* options = StreamWriterEncodeOptions();
  m_rate = options->OGGSampleRate;
  m_stereo = options->OGGChannelMode == 1;
  const float quality = static_cast<float>(options->OGGVBRQuality * 0.1);
  const int channels = m_stereo ? 2 : 1;
  const long rate = static_cast<long>(m_rate + 0.5);

  vorbis_info_init(&m_info);
  m_infoUp = true;
  int ret;
  if (options->OGGEncodeMode == 0) {
    if (firstFile) {
      ret = vorbis_encode_setup_managed(&m_info, channels, rate, -1, options->OGGBitRate, -1);
      if (ret == 0) ret = vorbis_encode_ctl(&m_info, OV_ECTL_RATEMANAGE_AVG, nullptr);
      if (ret == 0) ret = vorbis_encode_setup_init(&m_info);
    } else {
      ret = vorbis_encode_init(&m_info, channels, rate, -1, options->OGGBitRate, -1);
    }
  } else {
    ret = vorbis_encode_init_vbr(&m_info, channels, rate, quality);
  }
  if (ret != 0) {
    ClearStream();
    return 0;
  }

  vorbis_comment_init(&m_comment);
  vorbis_analysis_init(&m_dsp, &m_info);
  vorbis_block_init(&m_dsp, &m_block);
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  int serial = std::rand();
  // Files started within the same second would get the same number.
  if (!firstFile && serial == m_serial) serial = std::rand();
  m_serial = serial;
  ogg_stream_init(&m_stream, m_serial);
  m_encoderUp = true;
  m_streamChannels = channels;
  m_streamRate = m_rate;

  vorbis_analysis_headerout(&m_dsp, &m_comment, &m_header, &m_headerComment, &m_headerCode);
  ogg_stream_packetin(&m_stream, &m_header);
  ogg_stream_packetin(&m_stream, &m_headerComment);
  ogg_stream_packetin(&m_stream, &m_headerCode);
  while (ogg_stream_flush(&m_stream, &m_page) != 0)
    if (!WritePage(m_page)) return 0;
  return 1;
}

int OggStreamWriter::Open(int channels, RingBuffer** inputs, double inputRate) {
  ResetCounters();
  ClearStream();
  m_file.Abort();
  StreamMixer* mixer = Mixer();
  if (!mixer) return 0;
  if (!m_file.Open(MakeNextName(), kFileFlags)) return 0;
  if (!StartStream(true)) {
    ClearStream();
    m_file.Abort();
    return 0;
  }
  m_inputChannels = channels;
  m_inputs = inputs;
  m_inputRate = inputRate;
  m_opened = mixer->MixerSetup(channels, inputs, inputRate, m_streamChannels, kBlockSize, false,
                               m_rate, SampleFormatFloat, true) != 0;
  if (!m_opened) {
    ClearStream();
    m_file.Abort();
    return 0;
  }
  return 1;
}

int OggStreamWriter::Write(bool final, bool drain) {
  StreamMixer* mixer = Mixer();
  if (!m_file.IsOpen() || !m_opened || !m_encoderUp || !mixer) return 0;
  mixer->FillInputs(drain);
  bool eos = false;
  while (!eos) {
    float** buffer = vorbis_analysis_buffer(&m_dsp, kBlockSize);
    const int n = mixer->Process(kBlockSize, drain);
    if (n == 0) {
      if (!final) break;
      vorbis_analysis_wrote(&m_dsp, 0);
    } else {
      for (int c = 0; c < m_streamChannels; ++c)
        std::memcpy(buffer[c], mixer->GetChannelBuffer(c), sizeof(float) * n);
      vorbis_analysis_wrote(&m_dsp, n);
    }
    while (vorbis_analysis_blockout(&m_dsp, &m_block) == 1) {
      vorbis_analysis(&m_block, nullptr);
      vorbis_bitrate_addblock(&m_block);
      while (vorbis_bitrate_flushpacket(&m_dsp, &m_packet)) {
        ogg_stream_packetin(&m_stream, &m_packet);
        while (!eos && ogg_stream_pageout(&m_stream, &m_page) != 0) {
          if (!WritePage(m_page)) return 0;
          if (ogg_page_eos(&m_page)) eos = true;
        }
      }
    }
  }
  return 1;
}

int OggStreamWriter::WriteBlock() { return Write(false, false); }

int OggStreamWriter::Close() {
  if (!m_opened) return 0;
  if (!m_file.IsOpen()) {
    ClearStream();
    m_opened = false;
    return 0;
  }
  int result = Write(true, true);
  ClearStream();
  try {
    m_file.Close();
  } catch (const StdioFileException&) {
    result = 0;
  }
  if (m_failed) result = 0;
  m_failed = false;
  m_bytesTotal = 0;
  m_opened = false;
  return result;
}

int OggStreamWriter::NextFile() {
  if (!Write(true, false)) return 0;
  ClearStream();
  try {
    m_file.Close();
  } catch (const StdioFileException&) {
    m_failed = true;
    return 0;
  }
  MarkFileStart();

  if (!m_file.Open(MakeNextName(), kFileFlags)) {
    m_failed = true;
    return 0;
  }
  const int oldChannels = m_streamChannels;
  const double oldRate = m_streamRate;
  if (!StartStream(false)) {
    // The encoder refused the settings (or the headers could not be written): the
    // recording cannot go on.
    ClearStream();
    m_file.Abort();
    m_opened = false;
    return 0;
  }
  if (m_streamChannels != oldChannels || m_streamRate != oldRate) {
    // The settings changed since the last file was opened: the mixer must deliver
    // the new channel count and rate.
    StreamMixer* mixer = Mixer();
    if (!mixer || !mixer->MixerSetup(m_inputChannels, m_inputs, m_inputRate, m_streamChannels,
                                     kBlockSize, false, m_rate, SampleFormatFloat, true)) {
      ClearStream();
      m_file.Abort();
      m_opened = false;
      return 0;
    }
    m_timeAtFileStart = mixer->GetTime();
  }
  return 1;
}
