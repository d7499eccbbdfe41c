#pragma once
// A block of samples kept in a file of its own, with a summary (minimum, maximum and
// RMS per 256 and per 65536 samples) from which the waveform is drawn without reading
// the samples. Blocks are shared by reference counting; the file goes with the last
// reference unless the block is locked. A block's contents never change.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/model/FileName.h"
#include "core/model/SampleFormat.h"

// The layout of a summary of n samples. The 256-sample level always has a whole
// multiple of 256 frames; frames past the end of the data are zeros.
struct SummaryInfo {
  explicit SummaryInfo(std::int32_t samples = 0);

  std::int32_t fields;  // values per frame: minimum, maximum, RMS
  SampleFormat format;  // of the values: float
  std::int32_t bytesPerFrame;
  std::int32_t frames64K;  // (n + 65535) / 65536
  std::int32_t offset64K;  // 24
  std::int32_t frames256;  // frames64K * 256
  std::int32_t offset256;  // 24 + frames64K * 12
  std::int32_t totalSummaryBytes;
};

// The 24 bytes that open every summary.
constexpr int kSummaryHeaderBytes = 24;
extern const unsigned char kSummaryHeader[kSummaryHeaderBytes];

class BlockFile {
public:
  BlockFile(const CFileName& fileName, std::int32_t samples);
  BlockFile(const BlockFile&) = delete;
  BlockFile& operator=(const BlockFile&) = delete;
  // Removes the file unless the block is locked or has no file.
  virtual ~BlockFile();

  // Reads len samples from start, converted to format; returns the count read
  // (0 or less when the data cannot be read).
  virtual int ReadData(SamplePtr data, SampleFormat format, std::int32_t start, std::int32_t len) const = 0;
  virtual CFileName GetFileName() const { return mFileName; }
  virtual std::int32_t GetLength() const { return mLen; }
  virtual void Lock() { ++mLockCount; }
  virtual void Unlock() { --mLockCount; }
  virtual bool IsLocked() const { return mLockCount > 0; }
  // The whole block's values.
  virtual void GetMinMax(float* outMin, float* outMax, float* outRMS) const;
  // The extremes of a range, read from the samples; RMS 0.
  virtual void GetMinMax(std::int32_t start, std::int32_t len, float* outMin, float* outMax,
                         float* outRMS) const;
  // Summary frames (3 floats each) per 256 or per 65536 samples; false when the
  // summary cannot be read.
  virtual bool Read256(float* buffer, std::int32_t start, std::int32_t len) const;
  virtual bool Read64K(float* buffer, std::int32_t start, std::int32_t len) const;
  virtual bool IsAlias() const { return false; }
  // A new block object over newFileName, to which this block's file was copied.
  virtual BlockFile* Copy(const CFileName& newFileName) const = 0;
  virtual std::uint64_t GetSpaceUsage() const = 0;

  void Ref() { mRefCount.fetch_add(1, std::memory_order_relaxed); }
  // Drops one reference; at the last one the object deletes itself and true is returned.
  bool Deref();
  int GetRefCount() const { return mRefCount.load(std::memory_order_relaxed); }

  // False when the block's file could not be created or written in full: its data is
  // missing on disk, and whoever made the block must not count on it.
  bool WriteSucceeded() const { return !mWriteFailed; }

  const SummaryInfo& GetSummaryInfo() const { return mSummaryInfo; }

  // The summary of len samples in this thread's summary buffer, valid until the
  // thread's next call; also sets the block's minimum, maximum and RMS.
  virtual const char* CalcSummary(ConstSamplePtr buffer, std::int32_t len, SampleFormat format);
  // Reads the whole summary (totalSummaryBytes) into data.
  virtual bool ReadSummary(void* data) const = 0;
  // Repairs a summary read in the other byte order.
  virtual void FixSummary(void* data) const;

protected:
  // Reads a summary level into buffer (see Read256).
  bool ReadLevel(float* buffer, std::int32_t start, std::int32_t len, std::int32_t frames,
                 std::int32_t offset) const;
  void SetWriteFailed() { mWriteFailed = true; }
  // Reads exactly bytes bytes from offset of a file; false when it cannot.
  static bool ReadFileBytes(const std::string& path, std::int64_t offset, void* data, std::size_t bytes);
  // Size of a file on disk, 0 when it cannot be asked.
  static std::uint64_t FileSize(const std::string& path);

  std::int32_t mLockCount = 0;
  std::atomic<int> mRefCount{1};
  CFileName mFileName;
  std::int32_t mLen;
  SummaryInfo mSummaryInfo;
  float mMin = 0.0f;
  float mMax = 0.0f;
  float mRMS = 0.0f;

private:
  bool mWriteFailed = false;
};
