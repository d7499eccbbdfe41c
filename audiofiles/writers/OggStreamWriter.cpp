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
  mName = "c:\\aa.ogg";
}

OggStreamWriter::~OggStreamWriter() {
  ClearStream();
  mFile.Abort();
}

int OggStreamWriter::Prepare() {
  mFileCounter = 1;
  return Mixer() ? 1 : 0;
}

int OggStreamWriter::UpdateStereo() {
  mStereo = StreamWriterEncodeOptions()->OGGChannelMode == 1;
  return mStereo ? 1 : 0;
}

void OggStreamWriter::GetRateAndType(int* rate, char* type) {
  if (rate) *rate = StreamWriterEncodeOptions()->OGGSampleRate;
  if (type) std::strcpy(type, "OGG");
}

void OggStreamWriter::ClearStream() {
  if (mEncoderUp) {
    ogg_stream_clear(&mStream);
    vorbis_block_clear(&mBlock);
    vorbis_dsp_clear(&mDsp);
    vorbis_comment_clear(&mComment);
    vorbis_info_clear(&mInfo);
  } else if (mInfoUp) {
    vorbis_info_clear(&mInfo);
  }
  mEncoderUp = false;
  mInfoUp = false;
}

bool OggStreamWriter::WritePage(const ogg_page& page) {
  try {
    mFile.Write(page.header, static_cast<std::size_t>(page.header_len));
    mBytesTotal += static_cast<std::uint64_t>(page.header_len);
    mFile.Write(page.body, static_cast<std::size_t>(page.body_len));
    mBytesTotal += static_cast<std::uint64_t>(page.body_len);
  } catch (const StdioFileException&) {
    mFailed = true;
    return false;
  }
  return true;
}

int OggStreamWriter::StartStream(bool firstFile) {
  ClearStream();
  const FileEncodeOptions* options = StreamWriterEncodeOptions();
  mRate = options->OGGSampleRate;
  mStereo = options->OGGChannelMode == 1;
  const float quality = static_cast<float>(options->OGGVBRQuality * 0.1);
  const int channels = mStereo ? 2 : 1;
  const long rate = static_cast<long>(mRate + 0.5);

  vorbis_info_init(&mInfo);
  mInfoUp = true;
  int ret;
  if (options->OGGEncodeMode == 0) {
    if (firstFile) {
      ret = vorbis_encode_setup_managed(&mInfo, channels, rate, -1, options->OGGBitRate, -1);
      if (ret == 0) ret = vorbis_encode_ctl(&mInfo, OV_ECTL_RATEMANAGE_AVG, nullptr);
      if (ret == 0) ret = vorbis_encode_setup_init(&mInfo);
    } else {
      ret = vorbis_encode_init(&mInfo, channels, rate, -1, options->OGGBitRate, -1);
    }
  } else {
    ret = vorbis_encode_init_vbr(&mInfo, channels, rate, quality);
  }
  if (ret != 0) {
    ClearStream();
    return 0;
  }

  vorbis_comment_init(&mComment);
  vorbis_analysis_init(&mDsp, &mInfo);
  vorbis_block_init(&mDsp, &mBlock);
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  int serial = std::rand();
  // Files started within the same second would get the same number.
  if (!firstFile && serial == mSerial) serial = std::rand();
  mSerial = serial;
  ogg_stream_init(&mStream, mSerial);
  mEncoderUp = true;
  mStreamChannels = channels;
  mStreamRate = mRate;
  if (StreamMixer* mixer = Mixer()) mFlushTime = mixer->GetTime();

  vorbis_analysis_headerout(&mDsp, &mComment, &mHeader, &mHeaderComment, &mHeaderCode);
  ogg_stream_packetin(&mStream, &mHeader);
  ogg_stream_packetin(&mStream, &mHeaderComment);
  ogg_stream_packetin(&mStream, &mHeaderCode);
  while (ogg_stream_flush(&mStream, &mPage) != 0)
    if (!WritePage(mPage)) return 0;
  return 1;
}

int OggStreamWriter::Open(int channels, RingBuffer** inputs, double inputRate) {
  ResetCounters();
  ClearStream();
  mFile.Abort();
  StreamMixer* mixer = Mixer();
  if (!mixer) return 0;
  if (!mFile.Open(MakeNextOpenablePath(), kFileFlags)) return 0;
  if (!StartStream(true)) {
    ClearStream();
    mFile.Abort();
    return 0;
  }
  mInputChannels = channels;
  mInputs = inputs;
  mInputRate = inputRate;
  mOpened = mixer->MixerSetup(channels, inputs, inputRate, mStreamChannels, kBlockSize, false, mRate,
                              SampleFormatFloat, true) != 0;
  if (!mOpened) {
    ClearStream();
    mFile.Abort();
    return 0;
  }
  mFlushTime = mixer->GetTime();
  return 1;
}

int OggStreamWriter::Write(bool final, bool drain) {
  StreamMixer* mixer = Mixer();
  if (!mFile.IsOpen() || !mOpened || !mEncoderUp || !mixer) return 0;
  mixer->FillInputs(drain);
  bool eos = false;
  while (!eos) {
    float** buffer = vorbis_analysis_buffer(&mDsp, kBlockSize);
    const int n = mixer->Process(kBlockSize, drain);
    if (n == 0) {
      if (!final) break;
      vorbis_analysis_wrote(&mDsp, 0);
    } else {
      for (int c = 0; c < mStreamChannels; ++c)
        std::memcpy(buffer[c], mixer->GetChannelBuffer(c), sizeof(float) * n);
      vorbis_analysis_wrote(&mDsp, n);
    }
    while (vorbis_analysis_blockout(&mDsp, &mBlock) == 1) {
      vorbis_analysis(&mBlock, nullptr);
      vorbis_bitrate_addblock(&mBlock);
      while (vorbis_bitrate_flushpacket(&mDsp, &mPacket)) {
        ogg_stream_packetin(&mStream, &mPacket);
        while (!eos && ogg_stream_pageout(&mStream, &mPage) != 0) {
          if (!WritePage(mPage)) return 0;
          if (ogg_page_eos(&mPage)) eos = true;
        }
      }
    }
  }
  if (!final && mixer->GetTime() - mFlushTime >= kPageFlushSeconds) {
    // What was encoded goes into a page of its own now rather than when a page fills,
    // and out of the library's buffer into the file.
    while (ogg_stream_flush(&mStream, &mPage) != 0)
      if (!WritePage(mPage)) return 0;
    try {
      mFile.Flush();
    } catch (const StdioFileException&) {
      mFailed = true;
      return 0;
    }
    mFlushTime = mixer->GetTime();
  }
  return 1;
}

int OggStreamWriter::WriteBlock() { return Write(false, false); }

int OggStreamWriter::Close() {
  if (!mOpened) return 0;
  if (!mFile.IsOpen()) {
    ClearStream();
    mOpened = false;
    return 0;
  }
  int result = Write(true, true);
  ClearStream();
  try {
    mFile.Close();
  } catch (const StdioFileException&) {
    result = 0;
  }
  if (mFailed) result = 0;
  mFailed = false;
  mBytesTotal = 0;
  mOpened = false;
  return result;
}

int OggStreamWriter::NextFile() {
  if (!Write(true, false)) return 0;
  ClearStream();
  try {
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
  const int oldChannels = mStreamChannels;
  const double oldRate = mStreamRate;
  if (!StartStream(false)) {
    // The encoder refused the settings (or the headers could not be written): the
    // recording cannot go on.
    ClearStream();
    mFile.Abort();
    mOpened = false;
    return 0;
  }
  if (mStreamChannels != oldChannels || mStreamRate != oldRate) {
    // The settings changed since the last file was opened: the mixer must deliver
    // the new channel count and rate.
    StreamMixer* mixer = Mixer();
    if (!mixer || !mixer->MixerSetup(mInputChannels, mInputs, mInputRate, mStreamChannels, kBlockSize, false,
                                     mRate, SampleFormatFloat, true)) {
      ClearStream();
      mFile.Abort();
      mOpened = false;
      return 0;
    }
    mTimeAtFileStart = mixer->GetTime();
  }
  return 1;
}
