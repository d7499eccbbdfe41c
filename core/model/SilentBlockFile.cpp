#include "core/model/SilentBlockFile.h"

#include <cstring>

SilentBlockFile::SilentBlockFile(std::int32_t len) : BlockFile(CFileName(), len) {}

int SilentBlockFile::ReadData(SamplePtr data, SampleFormat format, std::int32_t start,
                              std::int32_t len) const {
  if (len <= 0) return 0;
  ClearSamples(data, format, 0, static_cast<std::uint32_t>(len));
  return len;
}

BlockFile* SilentBlockFile::Copy(const CFileName&) const { return new SilentBlockFile(mLen); }

bool SilentBlockFile::ReadSummary(void* data) const {
  std::memset(data, 0, static_cast<std::size_t>(mSummaryInfo.totalSummaryBytes));
  return true;
}
