#include "audiofiles/writers/MP3StreamWriter.h"

#include <algorithm>
#include <cstring>

#include "app/settings/FileEncodeOptions.h"
#include "audiofiles/io/IoText.h"
#include "audiofiles/io/LameEncoder.h"
#include "audiofiles/writers/StreamMixer.h"
#include "core/model/SampleFormat.h"
#include "platform/seams/MessageBox.h"

namespace {
constexpr unsigned kFileFlags =
    COGGStdioFile::modeCreate | COGGStdioFile::modeWrite | COGGStdioFile::typeBinary;
}

MP3StreamWriter::MP3StreamWriter(StreamMixer** mixerSlot) : StreamFileWriter(mixerSlot) {
  mName = "c:\\aa.mp3";
}

MP3StreamWriter::~MP3StreamWriter() {
  if (mStreamOpen) FinishEncoder();
  FreeBuffers();
  mFile.Abort();
}

LameEncoder* MP3StreamWriter::Encoder() const { return mEncoder ? mEncoder : GetLameEncoder(); }

int MP3StreamWriter::Prepare() {
  if (!Encoder()->Load()) {
    seams::ShowMessageBox(io_text::kEncoderCannotOpen);
    return 0;
  }
  mFileCounter = 1;
  return Mixer() ? 1 : 0;
}

int MP3StreamWriter::UpdateStereo() {
  mStereo = StreamWriterEncodeOptions()->MP3ChannelMode != 0;
  return mStereo ? 1 : 0;
}

void MP3StreamWriter::GetRateAndType(int* rate, char* type) {
  if (rate) *rate = StreamWriterEncodeOptions()->MP3SampleRate;
  if (type) std::strcpy(type, "MP3");
}

void MP3StreamWriter::FreeBuffers() {
  mOutBuffer.clear();
  mOutBuffer.shrink_to_fit();
  mOutBufferSize = 0;
  mPcm.clear();
  mPcm.shrink_to_fit();
  mPcmCapacity = 0;
  mConsumed = 0;
  mHeld = 0;
}

int MP3StreamWriter::FinishEncoder() {
  if (!mStreamOpen) return 0;
  mStreamOpen = false;
  LameEncoder* encoder = Encoder();
  const int size = std::max(encoder->GetOutputBufferSize(), 0);
  if (static_cast<int>(mOutBuffer.size()) < size) mOutBuffer.resize(size);
  if (mOutBuffer.empty()) mOutBuffer.resize(1);
  return encoder->Finish(mOutBuffer.data());
}

int MP3StreamWriter::Open(int channels, RingBuffer** inputs, double inputRate) {
  ResetCounters();
  mSamplesPerChunk = 0;
  mOutBufferSize = 0;
  if (mStreamOpen) FinishEncoder();
  FreeBuffers();
  mFile.Abort();

  StreamMixer* mixer = Mixer();
  if (!mixer) return 0;
  if (!mFile.Open(MakeNextOpenablePath(), kFileFlags)) return 0;

  FileEncodeOptions* options = StreamWriterEncodeOptions();
  LameEncoder* encoder = Encoder();
  mRate = options->MP3SampleRate;
  encoder->SetBitrate(128);
  const int chunk = encoder->InitStream(options);
  mStereo = options->MP3ChannelMode != 0;
  if (chunk <= 0) {
    // The encoder refused the configuration (or is busy): no stream was opened.
    mFile.Abort();
    return 0;
  }
  mStreamOpen = true;
  mInfoFrameDue = true;
  mSamplesPerChunk = chunk;
  mChannels = mStereo ? 2 : 1;

  mOutBufferSize = encoder->GetOutputBufferSize();
  if (mOutBufferSize <= 0) {
    FinishEncoder();
    mFile.Abort();
    return 0;
  }
  mOutBuffer.assign(static_cast<std::size_t>(mOutBufferSize), 0);
  mPcmCapacity = 2 * mSamplesPerChunk * mChannels;
  mPcm.assign(static_cast<std::size_t>(mPcmCapacity), 0);
  mConsumed = mHeld = 0;

  mOpened = mixer->MixerSetup(channels, inputs, inputRate, mChannels, mSamplesPerChunk, true, mRate,
                              SampleFormatInt16, true) != 0;
  if (!mOpened) {
    FinishEncoder();
    FreeBuffers();
    mFile.Abort();
    return 0;
  }
  return 1;
}

int MP3StreamWriter::Write(bool final) {
  StreamMixer* mixer = Mixer();
  if (!mFile.IsOpen() || mOutBuffer.empty() || !mOpened || !mixer || !mStreamOpen) return 0;
  LameEncoder* encoder = Encoder();
  mixer->FillInputs(final);
  const int ch = mChannels;
  const int chunkValues = mSamplesPerChunk * ch;
  for (;;) {
    const int n = mixer->Process(mSamplesPerChunk, final);
    const auto* buffer = reinterpret_cast<const std::int16_t*>(mixer->GetBuffer());
    if (mConsumed != 0) {
      std::memmove(mPcm.data(), mPcm.data() + mConsumed, sizeof(std::int16_t) * mHeld);
      mConsumed = 0;
    }
    if (n > 0) {
      std::memcpy(mPcm.data() + mHeld, buffer, sizeof(std::int16_t) * n * ch);
      mHeld += n * ch;
    }

    int bytes = 0;
    if (mHeld >= chunkValues) {
      bytes = ch == 2 ? encoder->EncodeChunk(mPcm.data(), mOutBuffer.data())
                      : encoder->EncodeMonoChunk(mPcm.data(), mOutBuffer.data());
      mHeld -= chunkValues;
      mConsumed += chunkValues;
    } else if (final && mHeld > 0) {
      bytes = ch == 2 ? encoder->EncodeSamples(mPcm.data(), mHeld, mOutBuffer.data())
                      : encoder->EncodeMonoSamples(mPcm.data(), mHeld, mOutBuffer.data());
      mHeld = mConsumed = 0;
    }
    if (bytes < 0) return 0;  // the encoder stream is gone
    if (bytes > 0) {
      try {
        mFile.Write(mOutBuffer.data(), static_cast<std::size_t>(bytes));
      } catch (const StdioFileException&) {
        mFailed = true;
        return 0;
      }
      mBytesTotal += static_cast<std::uint64_t>(bytes);
    }
    if (final) {
      if (n == 0 && mHeld == 0) break;
    } else if (n == 0 && mHeld < chunkValues) {
      break;
    }
  }
  return 1;
}

int MP3StreamWriter::WriteBlock() { return Write(false); }

void MP3StreamWriter::WriteInfoFrame() {
  if (!mInfoFrameDue) return;
  mInfoFrameDue = false;
  const std::vector<unsigned char> info = Encoder()->GetInfoFrame();
  if (info.empty()) return;
  mFile.Seek(0, COGGStdioFile::begin);
  mFile.Write(info.data(), info.size());
}

int MP3StreamWriter::Close() {
  if (!mOpened) return 0;
  int result = mFile.IsOpen() ? Write(true) : 0;
  const int n = FinishEncoder();
  if (result && n > 0) {
    try {
      mFile.Write(mOutBuffer.data(), static_cast<std::size_t>(n));
      mBytesTotal += static_cast<std::uint64_t>(n);
    } catch (const StdioFileException&) {
      result = 0;
    }
  }
  FreeBuffers();
  if (result) {
    try {
      WriteInfoFrame();
      mFile.Close();
    } catch (const StdioFileException&) {
      mFile.Abort();
      result = 0;
    }
  } else {
    mFile.Abort();
  }
  if (mFailed) result = 0;
  mFailed = false;
  mBytesTotal = 0;
  mSamplesPerChunk = 0;
  mOpened = false;
  return result;
}

int MP3StreamWriter::NextFile() {
  if (!mOpened) return 0;
  try {
    // The first file ends while the stream goes on: its information frame
    // tells the frames it holds.
    WriteInfoFrame();
    mFile.Close();
  } catch (const StdioFileException&) {
    mFailed = true;
    return 0;
  }
  MarkFileStart();
  if (!mFile.Open(MakeNextOpenablePath(), kFileFlags)) {
    mFailed = true;
    return 0;
  }
  return 1;
}
