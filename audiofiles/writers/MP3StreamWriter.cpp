#include "audiofiles/writers/MP3StreamWriter.h"

#include <algorithm>
#include <cstring>

#include "app/settings/FileEncodeOptions.h"
#include "audiofiles/io/IoText.h"
#include "audiofiles/io/LameEncoder.h"
#include "audiofiles/writers/StreamMixer.h"
#include "core/model/SampleFormat.h"
#include "platform/seams/message_box.h"

namespace {
constexpr unsigned kFileFlags =
    COGGStdioFile::modeCreate | COGGStdioFile::modeWrite | COGGStdioFile::typeBinary;
}

MP3StreamWriter::MP3StreamWriter(StreamMixer** mixerSlot) : StreamFileWriter(mixerSlot) {
  m_name = "c:\\aa.mp3";
}

MP3StreamWriter::~MP3StreamWriter() {
  if (m_streamOpen) FinishEncoder();
  FreeBuffers();
  m_file.Abort();
}

LameEncoder* MP3StreamWriter::Encoder() const {
  return m_encoder ? m_encoder : GetLameEncoder();
}

int MP3StreamWriter::Prepare() {
  if (!Encoder()->Load()) {
    seams::ShowMessageBox(io_text::kEncoderCannotOpen);
    return 0;
  }
  m_fileCounter = 1;
  return Mixer() ? 1 : 0;
}

int MP3StreamWriter::UpdateStereo() {
  m_stereo = StreamWriterEncodeOptions()->MP3ChannelMode != 0;
  return m_stereo ? 1 : 0;
}

void MP3StreamWriter::GetRateAndType(int* rate, char* type) {
  if (rate) *rate = StreamWriterEncodeOptions()->MP3SampleRate;
  if (type) std::strcpy(type, "MP3");
}

void MP3StreamWriter::FreeBuffers() {
  m_outBuffer.clear();
  m_outBuffer.shrink_to_fit();
  m_outBufferSize = 0;
  m_pcm.clear();
  m_pcm.shrink_to_fit();
  m_pcmCapacity = 0;
  m_consumed = 0;
  m_held = 0;
}

int MP3StreamWriter::FinishEncoder() {
  if (!m_streamOpen) return 0;
  m_streamOpen = false;
  LameEncoder* encoder = Encoder();
  const int size = std::max(encoder->GetOutputBufferSize(), 0);
  if (static_cast<int>(m_outBuffer.size()) < size) m_outBuffer.resize(size);
  if (m_outBuffer.empty()) m_outBuffer.resize(1);
  return encoder->Finish(m_outBuffer.data());
}

int MP3StreamWriter::Open(int channels, RingBuffer** inputs, double inputRate) {
  ResetCounters();
  m_samplesPerChunk = 0;
  m_outBufferSize = 0;
  if (m_streamOpen) FinishEncoder();
  FreeBuffers();
  m_file.Abort();

  StreamMixer* mixer = Mixer();
  if (!mixer) return 0;
  if (!m_file.Open(MakeNextName(), kFileFlags)) return 0;

  FileEncodeOptions* options = StreamWriterEncodeOptions();
  LameEncoder* encoder = Encoder();
  m_rate = options->MP3SampleRate;
  encoder->SetBitrate(128);
  const int chunk = encoder->InitStream(options);
  m_stereo = options->MP3ChannelMode != 0;
  if (chunk <= 0) {
    // The encoder refused the configuration (or is busy): no stream was opened.
    m_file.Abort();
    return 0;
  }
  m_streamOpen = true;
  m_samplesPerChunk = chunk;
  m_channels = m_stereo ? 2 : 1;

  m_outBufferSize = encoder->GetOutputBufferSize();
  if (m_outBufferSize <= 0) {
    FinishEncoder();
    m_file.Abort();
    return 0;
  }
  m_outBuffer.assign(static_cast<std::size_t>(m_outBufferSize), 0);
  m_pcmCapacity = 2 * m_samplesPerChunk * m_channels;
  m_pcm.assign(static_cast<std::size_t>(m_pcmCapacity), 0);
  m_consumed = m_held = 0;

  m_opened = mixer->MixerSetup(channels, inputs, inputRate, m_channels, m_samplesPerChunk, true,
                               m_rate, SampleFormatInt16, true) != 0;
  if (!m_opened) {
    FinishEncoder();
    FreeBuffers();
    m_file.Abort();
    return 0;
  }
  return 1;
}

int MP3StreamWriter::Write(bool final) {
  StreamMixer* mixer = Mixer();
  if (!m_file.IsOpen() || m_outBuffer.empty() || !m_opened || !mixer || !m_streamOpen) return 0;
  LameEncoder* encoder = Encoder();
  mixer->FillInputs(final);
  const int ch = m_channels;
  const int chunkValues = m_samplesPerChunk * ch;
  for (;;) {
    const int n = mixer->Process(m_samplesPerChunk, final);
    const auto* buffer = reinterpret_cast<const std::int16_t*>(mixer->GetBuffer());
    if (m_consumed != 0) {
      std::memmove(m_pcm.data(), m_pcm.data() + m_consumed, sizeof(std::int16_t) * m_held);
      m_consumed = 0;
    }
    if (n > 0) {
      std::memcpy(m_pcm.data() + m_held, buffer, sizeof(std::int16_t) * n * ch);
      m_held += n * ch;
    }

    int bytes = 0;
    if (m_held >= chunkValues) {
      bytes = ch == 2 ? encoder->EncodeChunk(m_pcm.data(), m_outBuffer.data())
                      : encoder->EncodeMonoChunk(m_pcm.data(), m_outBuffer.data());
      m_held -= chunkValues;
      m_consumed += chunkValues;
    } else if (final && m_held > 0) {
      bytes = ch == 2 ? encoder->EncodeSamples(m_pcm.data(), m_held, m_outBuffer.data())
                      : encoder->EncodeMonoSamples(m_pcm.data(), m_held, m_outBuffer.data());
      m_held = m_consumed = 0;
    }
    if (bytes < 0) return 0;  // the encoder stream is gone
    if (bytes > 0) {
      try {
        m_file.Write(m_outBuffer.data(), static_cast<std::size_t>(bytes));
      } catch (const StdioFileException&) {
        m_failed = true;
        return 0;
      }
      m_bytesTotal += static_cast<std::uint64_t>(bytes);
    }
    if (final) {
      if (n == 0 && m_held == 0) break;
    } else if (n == 0 && m_held < chunkValues) {
      break;
    }
  }
  return 1;
}

int MP3StreamWriter::WriteBlock() { return Write(false); }

int MP3StreamWriter::Close() {
  if (!m_opened) return 0;
  int result = m_file.IsOpen() ? Write(true) : 0;
  const int n = FinishEncoder();
  if (result && n > 0) {
    try {
      m_file.Write(m_outBuffer.data(), static_cast<std::size_t>(n));
      m_bytesTotal += static_cast<std::uint64_t>(n);
    } catch (const StdioFileException&) {
      result = 0;
    }
  }
  FreeBuffers();
  if (result) {
    try {
      m_file.Close();
    } catch (const StdioFileException&) {
      result = 0;
    }
  } else {
    m_file.Abort();
  }
  if (m_failed) result = 0;
  m_failed = false;
  m_bytesTotal = 0;
  m_samplesPerChunk = 0;
  m_opened = false;
  return result;
}

int MP3StreamWriter::NextFile() {
  if (!m_opened) return 0;
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
  return 1;
}
