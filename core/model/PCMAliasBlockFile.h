#pragma once
// Blocks whose samples stay in an imported sound file: only the summary lies in the
// block's own file.
#include "core/model/BlockFile.h"

class AliasBlockFile : public BlockFile {
public:
  AliasBlockFile(const CFileName& fileName, const CFileName& aliasedFile, std::int32_t aliasStart,
                 std::int32_t aliasLen, std::int32_t aliasChannel);

  bool IsAlias() const override { return true; }
  std::uint64_t GetSpaceUsage() const override;
  bool ReadSummary(void* data) const override;
  // Computes the summary from the aliased samples and writes it, alone, to the
  // block's own file. WriteSucceeded() tells whether that worked.
  virtual void WriteSummary();

  const CFileName& GetAliasedFile() const { return mAliasedFile; }
  std::int32_t GetAliasStart() const { return mAliasStart; }
  std::int32_t GetAliasChannel() const { return mAliasChannel; }

protected:
  CFileName mAliasedFile;
  std::int32_t mAliasStart;  // frames into the aliased file
  std::int32_t mAliasChannel;
};

class PCMAliasBlockFile : public AliasBlockFile {
public:
  // Names its file baseName + ".tmp" and writes the summary there.
  PCMAliasBlockFile(const CFileName& baseName, const CFileName& aliasedFile, std::int32_t aliasStart,
                    std::int32_t aliasLen, std::int32_t aliasChannel);
  // An object over a summary file that already exists; the three values are taken
  // only when that file exists.
  PCMAliasBlockFile(const CFileName& existingFile, const CFileName& aliasedFile, std::int32_t aliasStart,
                    std::int32_t aliasLen, std::int32_t aliasChannel, float min, float max, float rms);

  int ReadData(SamplePtr data, SampleFormat format, std::int32_t start, std::int32_t len) const override;
  BlockFile* Copy(const CFileName& newFileName) const override;
};
