#include "audiofiles/writers/WavStreamWriter.h"

#include <cstring>

#include "app/settings/FileEncodeOptions.h"
#include "audiofiles/writers/StreamMixer.h"
#include "core/model/SampleFormat.h"

WavStreamWriter::WavStreamWriter(StreamMixer** mixerSlot) : StreamFileWriter(mixerSlot) {
  m_name = "c:\\aa.wav";
}

WavStreamWriter::~WavStreamWriter() {
  if (m_file) sf_close(m_file);
}

int WavStreamWriter::Prepare() {
  m_fileCounter = 1;
  return Mixer() ? 1 : 0;
}

int WavStreamWriter::UpdateStereo() {
  m_stereo = StreamWriterEncodeOptions()->WavChannelMode == 1;
  return m_stereo ? 1 : 0;
}

void WavStreamWriter::GetRateAndType(int* rate, char* type) {
  if (rate) *rate = StreamWriterEncodeOptions()->WavSampleRate;
  if (type) std::strcpy(type, "WAV");
}

int WavStreamWriter::Open(int channels, RingBuffer** inputs, double inputRate) {
  ResetCounters();
  if (m_file) {
    sf_close(m_file);
    m_file = nullptr;
  }
  StreamMixer* mixer = Mixer();
  if (!mixer) return 0;

  const FileEncodeOptions* options = StreamWriterEncodeOptions();
  m_rate = options->WavSampleRate;
  m_stereo = options->WavChannelMode == 1;
  const int format = options->WavFileFormat | (options->WavSampleFormat == 0x4000F ? 6 : 2);

  std::memset(&m_info, 0, sizeof m_info);
  m_info.frames = 4096;
  m_info.samplerate = static_cast<int>(m_rate + 0.5);
  m_info.channels = m_stereo ? 2 : 1;
  m_info.format = format;
  m_info.sections = 1;
  m_info.seekable = 0;
  if (!sf_format_check(&m_info)) {
    m_info.format = format & SF_FORMAT_TYPEMASK;
    if (!sf_format_check(&m_info)) return 0;
  }

  SF_INFO info = m_info;
  m_file = sf_open(MakeNextName().c_str(), SFM_WRITE, &info);
  if (!m_file) return 0;

  m_mixerFormat = IsHighBitSubtype(m_info.format) ? SampleFormatFloat : SampleFormatInt16;
  m_blockSize = kBlockSize;
  m_opened = mixer->MixerSetup(channels, inputs, inputRate, m_stereo ? 2 : 1, m_blockSize, true,
                               m_rate, m_mixerFormat, true) != 0;
  if (!m_opened) {
    sf_close(m_file);
    m_file = nullptr;
    return 0;
  }
  return 1;
}

int WavStreamWriter::Write(bool drain) {
  StreamMixer* mixer = Mixer();
  if (!m_opened || !m_file || !mixer) return 0;
  mixer->FillInputs(drain);
  const int channels = m_info.channels;
  for (;;) {
    const int n = mixer->Process(m_blockSize, drain);
    if (n <= 0) break;
    sf_count_t put;
    if (m_mixerFormat != SampleFormatInt16)
      put = sf_writef_float(m_file, reinterpret_cast<const float*>(mixer->GetBuffer()), n);
    else
      put = sf_writef_short(m_file, reinterpret_cast<const short*>(mixer->GetBuffer()), n);
    if (put > 0)
      m_bytesTotal += static_cast<std::uint64_t>(m_mixerFormat >> 16) * put * channels;
    if (put != n) {  // a short write: the disk is full or the file too large
      m_failed = true;
      return 0;
    }
  }
  return 1;
}

int WavStreamWriter::WriteBlock() { return Write(false); }

int WavStreamWriter::Close() {
  if (!m_opened) return 0;
  const int written = Write(true);
  int closed = 1;
  if (m_file) {
    // sf_close writes the final header; its failure is a failed file.
    closed = sf_close(m_file) == 0 ? 1 : 0;
    m_file = nullptr;
  } else {
    closed = 0;
  }
  m_bytesTotal = 0;
  m_opened = false;
  const bool failed = m_failed;
  m_failed = false;
  return written && closed && !failed ? 1 : 0;
}

int WavStreamWriter::NextFile() {
  if (!Write(false)) return 0;
  const int closed = sf_close(m_file) == 0 ? 1 : 0;
  m_file = nullptr;
  MarkFileStart();
  if (!closed) {
    m_failed = true;
    return 0;
  }
  SF_INFO info = m_info;
  m_file = sf_open(MakeNextName().c_str(), SFM_WRITE, &info);
  if (!m_file) m_failed = true;
  return m_file ? 1 : 0;
}
