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
  // An unlocked block's file becomes a spare for a new block (BlockFileRecycler) or
  // is removed.
  ~SimpleBlockFile() override;

  int ReadData(SamplePtr data, SampleFormat format, std::int32_t start, std::int32_t len) const override;
  BlockFile* Copy(const CFileName& newFileName) const override;
  std::uint64_t GetSpaceUsage() const override;
  bool ReadSummary(void* data) const override;

private:
  bool WriteFile(ConstSamplePtr sampleData, std::int32_t sampleLen, SampleFormat format);
};

// The AU encoding code stored for each sample format.
std::int32_t AuEncodingOf(SampleFormat format);
