#include "core/model/PCMAliasBlockFile.h"

#include <fcntl.h>
#include <sndfile.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "core/model/SoundFileOpen.h"

AliasBlockFile::AliasBlockFile(const CFileName& fileName, const CFileName& aliasedFile,
                               std::int32_t aliasStart, std::int32_t aliasLen, std::int32_t aliasChannel)
    : BlockFile(fileName, aliasLen),
      mAliasedFile(aliasedFile),
      mAliasStart(aliasStart),
      mAliasChannel(aliasChannel) {}

std::uint64_t AliasBlockFile::GetSpaceUsage() const { return FileSize(mFileName.GetFullPath()); }

bool AliasBlockFile::ReadSummary(void* data) const {
  return ReadFileBytes(mFileName.GetFullPath(), 0, data,
                       static_cast<std::size_t>(mSummaryInfo.totalSummaryBytes));
}

void AliasBlockFile::WriteSummary() {
  const int fd = ::open(mFileName.GetFullPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    SetWriteFailed();
    return;
  }
  std::vector<float> samples(mLen > 0 ? mLen : 0);
  const int got = ReadData(reinterpret_cast<SamplePtr>(samples.data()), SampleFormatFloat, 0, mLen);
  // Samples the aliased file could not give count as silence in the summary.
  for (std::size_t i = got > 0 ? static_cast<std::size_t>(got) : 0; i < samples.size(); ++i)
    samples[i] = 0.0f;
  const char* summary =
      CalcSummary(reinterpret_cast<ConstSamplePtr>(samples.data()), mLen, SampleFormatFloat);
  const std::size_t want = static_cast<std::size_t>(mSummaryInfo.totalSummaryBytes);
  std::size_t done = 0;
  while (done < want) {
    const ssize_t n = ::write(fd, summary + done, want - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0 || done != want) SetWriteFailed();
}

PCMAliasBlockFile::PCMAliasBlockFile(const CFileName& baseName, const CFileName& aliasedFile,
                                     std::int32_t aliasStart, std::int32_t aliasLen,
                                     std::int32_t aliasChannel)
    : AliasBlockFile(CFileName(baseName.GetFullPath() + ".tmp"), aliasedFile, aliasStart, aliasLen,
                     aliasChannel) {
  WriteSummary();
}

PCMAliasBlockFile::PCMAliasBlockFile(const CFileName& existingFile, const CFileName& aliasedFile,
                                     std::int32_t aliasStart, std::int32_t aliasLen,
                                     std::int32_t aliasChannel, float min, float max, float rms)
    : AliasBlockFile(existingFile, aliasedFile, aliasStart, aliasLen, aliasChannel) {
  if (existingFile.Exists()) {
    mMin = min;
    mMax = max;
    mRMS = rms;
  }
}

int PCMAliasBlockFile::ReadData(SamplePtr data, SampleFormat format, std::int32_t start,
                                std::int32_t len) const {
  SF_INFO info{};
  SNDFILE* sf = OpenSoundFileForReading(mAliasedFile.GetFullPath(), &info);
  if (!sf) return 0;
  sf_seek(sf, static_cast<sf_count_t>(mAliasStart) + start, SEEK_SET);

  const int channels = info.channels > 0 ? info.channels : 1;
  if (mAliasChannel < 0 || mAliasChannel >= channels) {  // no such channel: no data
    sf_close(sf);
    return 0;
  }
  const int channel = mAliasChannel;
  const std::size_t frames = len > 0 ? static_cast<std::size_t>(len) : 0;
  sf_count_t got;
  if (format == SampleFormatInt16 && !IsHighBitSubtype(info.format)) {
    std::vector<short> temp(frames * channels);
    got = sf_readf_short(sf, temp.data(), len);
    auto* out = reinterpret_cast<std::int16_t*>(data);
    for (sf_count_t i = 0; i < got; ++i) out[i] = temp[i * channels + channel];
  } else {
    std::vector<float> temp(frames * channels);
    got = sf_readf_float(sf, temp.data(), len);
    if (got > 0)
      CopySamples(reinterpret_cast<ConstSamplePtr>(temp.data() + channel), SampleFormatFloat, data, format,
                  static_cast<std::uint32_t>(got), true, static_cast<std::uint32_t>(channels));
  }
  sf_close(sf);
  return static_cast<int>(got);
}

BlockFile* PCMAliasBlockFile::Copy(const CFileName& newFileName) const {
  return new PCMAliasBlockFile(newFileName, mAliasedFile, mAliasStart, mLen, mAliasChannel, mMin, mMax, mRMS);
}
