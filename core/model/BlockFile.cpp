#include "core/model/BlockFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <cstring>
#include <vector>

#include "core/model/SystemUtils.h"

const unsigned char kSummaryHeader[kSummaryHeaderBytes] = {
    0xAA, 0x55, 0xAA, 0x55, 'Z', 'Q', 'Y', 'B', 'F', 'T', 'E', 'M', 'P', 0, 0, 0, 1, 0, 1, 0, 0, 0, 0x14, 0};

SummaryInfo::SummaryInfo(std::int32_t samples) : fields(3), format(SampleFormatFloat), bytesPerFrame(12) {
  const std::int64_t n = std::max<std::int64_t>(samples, 0);
  frames64K = static_cast<std::int32_t>((n + 65535) / 65536);
  offset64K = kSummaryHeaderBytes;
  frames256 = frames64K * 256;
  offset256 = kSummaryHeaderBytes + frames64K * bytesPerFrame;
  totalSummaryBytes = kSummaryHeaderBytes + frames64K * bytesPerFrame + frames256 * bytesPerFrame;
}

namespace {

// Minimum and maximum of n samples (n >= 1) as float. The integer-to-float scaling is
// monotonic and float copies clip to -1..1, so taking the extremes first and converting
// two values gives exactly what converting every sample and scanning would.
template <typename T>
void Extremes(const T* p, std::int32_t n, T& lo, T& hi) {
  T mn = p[0], mx = p[0];
  for (std::int32_t k = 1; k < n; ++k) {
    mn = p[k] < mn ? p[k] : mn;
    mx = p[k] > mx ? p[k] : mx;
  }
  lo = mn;
  hi = mx;
}

// One 256-sample frame's extremes, with the inner loop of a full frame at a fixed length
// so that the compiler can vectorise it.
template <typename T>
void FrameExtremes(const T* p, std::int32_t n, T& lo, T& hi) {
  if (n == 256) {
    T mn = p[0], mx = p[0];
    for (int k = 0; k < 256; ++k) {
      mn = p[k] < mn ? p[k] : mn;
      mx = p[k] > mx ? p[k] : mx;
    }
    lo = mn;
    hi = mx;
  } else {
    Extremes(p, n, lo, hi);
  }
}

void FrameToFloat(std::int16_t lo, std::int16_t hi, float* out) {
  out[0] = Int16ToFloatSample(lo);
  out[1] = Int16ToFloatSample(hi);
}
void FrameToFloat(std::int32_t lo, std::int32_t hi, float* out) {
  out[0] = Int24ToFloatSample(lo);
  out[1] = Int24ToFloatSample(hi);
}
void FrameToFloat(float lo, float hi, float* out) {
  out[0] = std::clamp(lo, -1.0f, 1.0f);
  out[1] = std::clamp(hi, -1.0f, 1.0f);
}

template <typename T>
void Fill256Level(const T* samples, std::int32_t len, float* frames) {
  const std::int32_t count = (len + 255) / 256;
  for (std::int32_t i = 0; i < count; ++i) {
    const std::int32_t n = std::min<std::int32_t>(256, len - i * 256);
    T lo, hi;
    FrameExtremes(samples + static_cast<std::size_t>(i) * 256, n, lo, hi);
    FrameToFloat(lo, hi, frames + 3 * i);
    frames[3 * i + 2] = 0.0f;
  }
}

float* FloatsAt(void* data, std::int32_t offset) {
  return reinterpret_cast<float*>(static_cast<char*>(data) + offset);
}

void SwapWords(void* data, std::int32_t bytes) {
  auto* p = static_cast<unsigned char*>(data);
  for (std::int32_t i = 0; i + 4 <= bytes; i += 4) {
    std::swap(p[i], p[i + 3]);
    std::swap(p[i + 1], p[i + 2]);
  }
}

}  // namespace

BlockFile::BlockFile(const CFileName& fileName, std::int32_t samples)
    : mFileName(fileName), mLen(samples), mSummaryInfo(samples) {}

BlockFile::~BlockFile() {
  if (!IsLocked() && !mFileName.GetName().empty()) RemoveFile(mFileName.GetFullPath());
}

bool BlockFile::ReadFileBytes(const std::string& path, std::int64_t offset, void* data, std::size_t bytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  std::size_t done = 0;
  while (done < bytes) {
    const ssize_t n =
        ::pread(fd, static_cast<char*>(data) + done, bytes - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  return done == bytes;
}

std::uint64_t BlockFile::FileSize(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return 0;
  return static_cast<std::uint64_t>(st.st_size);
}

bool BlockFile::Deref() {
  if (mRefCount.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    delete this;
    return true;
  }
  return false;
}

void BlockFile::GetMinMax(float* outMin, float* outMax, float* outRMS) const {
  *outMin = mMin;
  *outMax = mMax;
  *outRMS = mRMS;
}

void BlockFile::GetMinMax(std::int32_t start, std::int32_t len, float* outMin, float* outMax,
                          float* outRMS) const {
  float mn = FLT_MAX, mx = -FLT_MAX;
  if (len > 0) {
    std::vector<float> samples(len);
    const int got = ReadData(reinterpret_cast<SamplePtr>(samples.data()), SampleFormatFloat, start, len);
    for (int i = 0; i < std::min(got, len); ++i) {
      mn = std::min(mn, samples[i]);
      mx = std::max(mx, samples[i]);
    }
  }
  *outMin = mn;
  *outMax = mx;
  *outRMS = 0.0f;
}

const char* BlockFile::CalcSummary(ConstSamplePtr buffer, std::int32_t len, SampleFormat format) {
  const SummaryInfo info(len);
  thread_local std::vector<char> summary;
  summary.assign(info.totalSummaryBytes, 0);
  std::memcpy(summary.data(), kSummaryHeader, kSummaryHeaderBytes);

  float* frames256 = FloatsAt(summary.data(), info.offset256);
  switch (format) {
    case SampleFormatInt16:
      Fill256Level(reinterpret_cast<const std::int16_t*>(buffer), len, frames256);
      break;
    case SampleFormatInt24:
      Fill256Level(reinterpret_cast<const std::int32_t*>(buffer), len, frames256);
      break;
    default:
      Fill256Level(reinterpret_cast<const float*>(buffer), len, frames256);
      break;
  }
  // The 256-level frames past the data are already zeros, and they take part in their
  // 64K frame: a short block's values always include 0.0.

  float* frames64K = FloatsAt(summary.data(), info.offset64K);
  float blockMin = FLT_MAX, blockMax = -FLT_MAX;
  for (std::int32_t j = 0; j < info.frames64K; ++j) {
    float mn = FLT_MAX, mx = -FLT_MAX;
    const float* f = frames256 + static_cast<std::size_t>(j) * 256 * 3;
    for (int i = 0; i < 256; ++i) {
      mn = std::min(mn, f[3 * i]);
      mx = std::max(mx, f[3 * i + 1]);
    }
    frames64K[3 * j] = mn;
    frames64K[3 * j + 1] = mx;
    frames64K[3 * j + 2] = 0.0f;
    blockMin = std::min(blockMin, mn);
    blockMax = std::max(blockMax, mx);
  }
  if (info.frames64K == 0) blockMin = blockMax = 0.0f;
  mMin = blockMin;
  mMax = blockMax;
  mRMS = 0.0f;
  return summary.data();
}

void BlockFile::FixSummary(void* data) const {
  const SummaryInfo& info = mSummaryInfo;
  if (info.format != SampleFormatFloat || info.fields != 3 || info.frames64K == 0) return;

  auto consistent = [&] {
    const float* frames256 = FloatsAt(data, info.offset256);
    const float* frames64K = FloatsAt(data, info.offset64K);
    float mn = 1.0f, mx = -1.0f;
    for (int i = 0; i < 256 && i < info.frames256; ++i) {
      mn = std::min(mn, frames256[3 * i]);
      mx = std::max(mx, frames256[3 * i + 1]);
    }
    return mn == frames64K[0] && mx == frames64K[1];
  };

  if (consistent()) return;
  SwapWords(data, info.totalSummaryBytes);
  if (consistent()) return;
  SwapWords(data, info.totalSummaryBytes);
}

bool BlockFile::ReadLevel(float* buffer, std::int32_t start, std::int32_t len, std::int32_t frames,
                          std::int32_t offset) const {
  const SummaryInfo& info = mSummaryInfo;
  std::vector<char> summary(info.totalSummaryBytes);
  if (!ReadSummary(summary.data())) return false;
  if (start < 0) start = 0;
  len = std::min(len, frames - start);
  if (len <= 0) return true;

  CopySamples(summary.data() + offset + static_cast<std::size_t>(start) * info.bytesPerFrame, info.format,
              reinterpret_cast<SamplePtr>(buffer), SampleFormatFloat,
              static_cast<std::uint32_t>(info.fields * len));
  if (info.fields == 2) {
    for (std::int32_t i = len - 1; i >= 0; --i) {
      buffer[3 * i + 1] = buffer[2 * i + 1];
      buffer[3 * i] = buffer[2 * i];
      buffer[3 * i + 2] = 0.0f;
    }
  }
  return true;
}

bool BlockFile::Read256(float* buffer, std::int32_t start, std::int32_t len) const {
  return ReadLevel(buffer, start, len, mSummaryInfo.frames256, mSummaryInfo.offset256);
}

bool BlockFile::Read64K(float* buffer, std::int32_t start, std::int32_t len) const {
  return ReadLevel(buffer, start, len, mSummaryInfo.frames64K, mSummaryInfo.offset64K);
}
