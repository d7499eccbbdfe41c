#include "audiofiles/writers/WavStreamWriter.h"

#include <cstring>

#include "app/settings/FileEncodeOptions.h"
#include "audiofiles/writers/StreamMixer.h"
#include "core/model/SampleFormat.h"

WavStreamWriter::WavStreamWriter(StreamMixer** mixerSlot) : StreamFileWriter(mixerSlot) {
  mName = "c:\\aa.wav";
}

WavStreamWriter::~WavStreamWriter() {
  if (mFile) sf_close(mFile);
}

int WavStreamWriter::Prepare() {
  mFileCounter = 1;
  return Mixer() ? 1 : 0;
}

int WavStreamWriter::UpdateStereo() {
  mStereo = StreamWriterEncodeOptions()->WavChannelMode == 1;
  return mStereo ? 1 : 0;
}

void WavStreamWriter::GetRateAndType(int* rate, char* type) {
  if (rate) *rate = StreamWriterEncodeOptions()->WavSampleRate;
  if (type) std::strcpy(type, "WAV");
}

int WavStreamWriter::Open(int channels, RingBuffer** inputs, double inputRate) {
  ResetCounters();
  if (mFile) {
    sf_close(mFile);
    mFile = nullptr;
  }
  StreamMixer* mixer = Mixer();
  if (!mixer) return 0;

  const FileEncodeOptions* options = StreamWriterEncodeOptions();
  mRate = options->WavSampleRate;
  mStereo = options->WavChannelMode == 1;
  const int format = options->WavFileFormat | (options->WavSampleFormat == 0x4000F ? 6 : 2);

  std::memset(&mInfo, 0, sizeof mInfo);
  mInfo.frames = 4096;
  mInfo.samplerate = static_cast<int>(mRate + 0.5);
  mInfo.channels = mStereo ? 2 : 1;
  mInfo.format = format;
  mInfo.sections = 1;
  mInfo.seekable = 0;
  if (!sf_format_check(&mInfo)) {
    mInfo.format = format & SF_FORMAT_TYPEMASK;
    if (!sf_format_check(&mInfo)) return 0;
  }

  SF_INFO info = mInfo;
  mFile = sf_open(MakeNextOpenablePath().c_str(), SFM_WRITE, &info);
  if (!mFile) return 0;

  mMixerFormat = IsHighBitSubtype(mInfo.format) ? SampleFormatFloat : SampleFormatInt16;
  mBlockSize = kBlockSize;
  mHeaderTime = 0.0;
  mOpened = mixer->MixerSetup(channels, inputs, inputRate, mStereo ? 2 : 1, mBlockSize, true, mRate,
                              mMixerFormat, true) != 0;
  if (!mOpened) {
    sf_close(mFile);
    mFile = nullptr;
    return 0;
  }
  return 1;
}

int WavStreamWriter::Write(bool drain) {
  StreamMixer* mixer = Mixer();
  if (!mOpened || !mFile || !mixer) return 0;
  mixer->FillInputs(drain);
  const int channels = mInfo.channels;
  for (;;) {
    const int n = mixer->Process(mBlockSize, drain);
    if (n <= 0) break;
    sf_count_t put;
    if (mMixerFormat != SampleFormatInt16)
      put = sf_writef_float(mFile, reinterpret_cast<const float*>(mixer->GetBuffer()), n);
    else
      put = sf_writef_short(mFile, reinterpret_cast<const short*>(mixer->GetBuffer()), n);
    if (put > 0) mBytesTotal += static_cast<std::uint64_t>(mMixerFormat >> 16) * put * channels;
    if (put != n) {  // a short write: the disk is full or the file too large
      mFailed = true;
      return 0;
    }
  }
  // The header's sizes follow the data about once a second of audio, so a recording
  // cut off by a crash or a power loss still opens with what reached the disk.
  if (!drain && mixer->GetTime() - mHeaderTime >= kHeaderUpdateSeconds) {
    sf_command(mFile, SFC_UPDATE_HEADER_NOW, nullptr, 0);
    mHeaderTime = mixer->GetTime();
  }
  return 1;
}

int WavStreamWriter::WriteBlock() { return Write(false); }

int WavStreamWriter::Close() {
  if (!mOpened) return 0;
  const int written = Write(true);
  int closed = 1;
  if (mFile) {
    // sf_close writes the final header; its failure is a failed file.
    closed = sf_close(mFile) == 0 ? 1 : 0;
    mFile = nullptr;
  } else {
    closed = 0;
  }
  mBytesTotal = 0;
  mOpened = false;
  const bool failed = mFailed;
  mFailed = false;
  return written && closed && !failed ? 1 : 0;
}

int WavStreamWriter::NextFile() {
  if (!Write(false)) return 0;
  const int closed = sf_close(mFile) == 0 ? 1 : 0;
  mFile = nullptr;
  MarkFileStart();
  if (!closed) {
    mFailed = true;
    return 0;
  }
  SF_INFO info = mInfo;
  mFile = sf_open(MakeNextOpenablePath().c_str(), SFM_WRITE, &info);
  if (!mFile) mFailed = true;
  mHeaderTime = mTimeAtFileStart;
  return mFile ? 1 : 0;
}
