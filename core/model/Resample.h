// Sample-rate conversion of one channel: a thin wrapper over one libsamplerate
// converter. Used by the project mixer, the stream mixer of direct recording and an
// effect.
#pragma once

struct SRC_STATE_tag;

class Resample {
public:
  // Opens a converter when minFactor >= 1/12 and maxFactor <= 12; otherwise emits
  // the diagnostics "Libsamplerate only supports resampling factors\n" and "between
  // 1/12 and 12\n" and keeps no converter. The high-quality flag does not change
  // the method.
  Resample(bool highQuality, double minFactor, double maxFactor);
  ~Resample();

  Resample(const Resample&) = delete;
  Resample& operator=(const Resample&) = delete;

  // The converter type: always 2 (SRC_SINC_FASTEST); the option pages name it.
  static int GetMethod();

  // Converts up to inLen input samples at the given factor (output rate / input
  // rate) into at most outLen output samples; last marks the end of the input, so
  // the converter hands out what it still holds. On success *outUsed is the input
  // consumed and the result the output produced. A libsamplerate error emits
  // the diagnostic "Libsamplerate error: %d\n" and gives 0 with *outUsed = 0.
  // Without a converter (factors out of range) the result is -1 and *outUsed 0.
  int Process(double factor, const float* inBuffer, int inLen, bool last, int* outUsed, float* outBuffer,
              int outLen);

  // Forgets what the converter holds (after a last piece), so it can start over.
  void Reset();

  bool Ok() const { return mHandle != nullptr; }

private:
  int mMethod;
  SRC_STATE_tag* mHandle;
  bool mInitial;
};
