#pragma once
// A block whose samples and summary share one file: a little-endian AU header whose
// data offset skips the summary, then the summary, then the samples.
#include "core/model/BlockFile.h"

class SimpleBlockFile : public BlockFile {
public:
  // Writes baseName + ".tmp" at once. When the file cannot be created or written in
  // full the block still exists but WriteSucceeded() is false.
  SimpleBlockFile(const CFileName& baseName, ConstSamplePtr sampleData, std::int32_t sampleLen,
                  SampleFormat format);
  // An object over a block file that already exists; writes nothing.
  SimpleBlockFile(const CFileName& existingFile, std::int32_t len, float min, float max, float rms);
  // A block over the open file fd, which already holds samples [0, onDisk) of sampleData
  // at their places (WriteSamplesAt): writes the rest of them, then the summary over the
  // provisional one. The caller closes fd. WriteSucceeded() as for a new block.
  SimpleBlockFile(const CFileName& file, int fd, ConstSamplePtr sampleData, std::int32_t sampleLen,
                  SampleFormat format, std::int32_t onDisk);
  // An unlocked block's file becomes a spare for a new block (BlockFileRecycler) or
  // is removed.
  ~SimpleBlockFile() override;

  int ReadData(SamplePtr data, SampleFormat format, std::int32_t start, std::int32_t len) const override;
  BlockFile* Copy(const CFileName& newFileName) const override;
  std::uint64_t GetSpaceUsage() const override;
  bool ReadSummary(void* data) const override;

  // A block file can be written as its samples come: a provisional head (the header
  // and an empty summary of a block of len samples) makes a file that reads as the
  // samples written after it so far, and samples go to their places one piece after
  // another. False when a write failed.
  static bool WriteProvisionalHead(int fd, std::int32_t len, SampleFormat format);
  static bool WriteSamplesAt(int fd, std::int32_t len, ConstSamplePtr samples, SampleFormat format,
                             std::int32_t from, std::int32_t to);
  // Where the samples of a block of len samples start in its file.
  static std::size_t SampleOffset(std::int32_t len);

private:
  bool WriteFile(ConstSamplePtr sampleData, std::int32_t sampleLen, SampleFormat format);
};

// The AU encoding code stored for each sample format.
std::int32_t AuEncodingOf(SampleFormat format);
