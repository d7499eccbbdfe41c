#pragma once
// A block of silence: no file at all, zeros on every read.
#include "core/model/BlockFile.h"

class SilentBlockFile : public BlockFile {
public:
  explicit SilentBlockFile(std::int32_t len);

  int ReadData(SamplePtr data, SampleFormat format, std::int32_t start, std::int32_t len) const override;
  BlockFile* Copy(const CFileName& newFileName) const override;
  std::uint64_t GetSpaceUsage() const override { return 0; }
  bool ReadSummary(void* data) const override;
};
