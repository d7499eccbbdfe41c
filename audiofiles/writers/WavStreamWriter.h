// The WAV streaming writer: direct recording into a libsndfile file
// (WAV, AIFF, AU or VOC container, 16-bit or float samples).
//
// Failures are reported: a libsndfile write that puts fewer frames than asked, or a
// failing sf_close, makes the operation return 0 (the engine stops the recording);
// Close drains everything the rings and the stream mixer still hold, also a tail
// shorter than the mixer's 1024-frame fill minimum. While recording, the header's
// sizes are brought up to date about once a second of audio, so a file cut off by a
// crash opens with nearly all that was written.
#pragma once

#include <sndfile.h>

#include "audiofiles/writers/StreamFileWriter.h"

class WavStreamWriter : public StreamFileWriter {
public:
  static constexpr int kBlockSize = 220500;
  // Seconds of audio between two updates of the header's sizes while recording.
  static constexpr double kHeaderUpdateSeconds = 1.0;

  explicit WavStreamWriter(StreamMixer** mixerSlot);
  ~WavStreamWriter() override;

  int Prepare() override;
  int Open(int channels, RingBuffer** inputs, double inputRate) override;
  int Close() override;
  int WriteBlock() override;
  int NextFile() override;
  int UpdateStereo() override;
  void GetRateAndType(int* rate, char* type) override;

  int GetMixerFormat() const { return mMixerFormat; }
  const SF_INFO& GetInfo() const { return mInfo; }
  bool IsFileOpen() const { return mFile != nullptr; }

private:
  // drain: the last write of the recording (take every sample, empty the mixer).
  int Write(bool drain);

  SF_INFO mInfo{};
  SNDFILE* mFile = nullptr;
  int mMixerFormat = 0x20001;
  int mBlockSize = kBlockSize;
  // The mixer's time at the last header update (or the file's start).
  double mHeaderTime = 0.0;
};
