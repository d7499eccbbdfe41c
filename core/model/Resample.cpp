#include "core/model/Resample.h"

#include <samplerate.h>

#include "platform/seams/Diagnostics.h"

namespace {
constexpr double kMinFactor = 1.0 / 12.0;
constexpr double kMaxFactor = 12.0;
}  // namespace

Resample::Resample(bool highQuality, double minFactor, double maxFactor)
    : mMethod(GetMethod()), mHandle(nullptr), mInitial(true) {
  (void)highQuality;
  if (!(minFactor >= kMinFactor) || !(maxFactor <= kMaxFactor)) {
    seams::Diagnostic("Libsamplerate only supports resampling factors\n");
    seams::Diagnostic("between 1/12 and 12\n");
    return;
  }
  int error = 0;
  mHandle = src_new(mMethod, 1, &error);
}

Resample::~Resample() {
  if (mHandle) src_delete(mHandle);
}

int Resample::GetMethod() { return SRC_SINC_FASTEST; }

int Resample::Process(double factor, const float* inBuffer, int inLen, bool last, int* outUsed,
                      float* outBuffer, int outLen) {
  if (outUsed) *outUsed = 0;
  if (!mHandle) return -1;
  if (mInitial) {
    src_set_ratio(mHandle, factor);
    mInitial = false;
  }
  SRC_DATA data{};
  data.data_in = inBuffer;
  data.input_frames = inLen;
  data.data_out = outBuffer;
  data.output_frames = outLen;
  data.end_of_input = last ? 1 : 0;
  data.src_ratio = factor;
  const int err = src_process(mHandle, &data);
  if (err) {
    seams::DiagnosticF(seams::DiagnosticStream::kStandardError, "Libsamplerate error: %d\n", err);
    return 0;
  }
  if (outUsed) *outUsed = static_cast<int>(data.input_frames_used);
  return static_cast<int>(data.output_frames_gen);
}

void Resample::Reset() {
  if (mHandle) src_reset(mHandle);
  mInitial = true;
}
