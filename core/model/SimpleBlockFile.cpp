#include "core/model/SimpleBlockFile.h"

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "core/model/BlockFileRecycler.h"
#include "core/model/BlockFileWrite.h"
#include "core/model/BlockWriteback.h"
#include "core/model/SoundFileOpen.h"

namespace {

constexpr std::int32_t kAuHeaderBytes = 24;

void PutLE32(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
  p[3] = static_cast<unsigned char>(v >> 24);
}

void MakeAuHeader(unsigned char* header, std::int32_t summaryBytes, SampleFormat format) {
  std::memcpy(header, "dns.", 4);  // ".snd" as a little-endian word: a little-endian AU file
  PutLE32(header + 4, static_cast<std::uint32_t>(summaryBytes + kAuHeaderBytes));
  PutLE32(header + 8, 0xFFFFFFFFu);  // data size not given
  PutLE32(header + 12, static_cast<std::uint32_t>(AuEncodingOf(format)));
  PutLE32(header + 16, 44100);
  PutLE32(header + 20, 1);
}

// Bytes a sample takes in the file: 24-bit samples are packed into three.
std::size_t DiskSampleSize(SampleFormat format) {
  return format == SampleFormatInt24 ? 3 : static_cast<std::size_t>(SampleSize(format));
}

// count samples as the file holds them: the memory itself, or packed into `packed`.
iovec DiskSamples(ConstSamplePtr data, std::size_t count, SampleFormat format,
                  std::vector<unsigned char>& packed) {
  if (format != SampleFormatInt24) return {const_cast<char*>(data), count * SampleSize(format)};
  // Three bytes per sample: the low 24 bits of the value, least significant first.
  packed.resize(count * 3);
  const auto* in = reinterpret_cast<const std::int32_t*>(data);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t v = static_cast<std::uint32_t>(in[i]);
    packed[3 * i] = static_cast<unsigned char>(v);
    packed[3 * i + 1] = static_cast<unsigned char>(v >> 8);
    packed[3 * i + 2] = static_cast<unsigned char>(v >> 16);
  }
  return {packed.data(), packed.size()};
}

bool WriteAllAt(int fd, const void* data, std::size_t bytes, off_t offset) {
  const auto* p = static_cast<const char*>(data);
  while (bytes > 0) {
    const ssize_t n = ::pwrite(fd, p, bytes, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    bytes -= static_cast<std::size_t>(n);
    offset += n;
  }
  return true;
}

}  // namespace

std::int32_t AuEncodingOf(SampleFormat format) {
  switch (format) {
    case SampleFormatInt16:
      return 3;
    case SampleFormatInt24:
      return 4;
    default:
      return 6;
  }
}

SimpleBlockFile::SimpleBlockFile(const CFileName& baseName, ConstSamplePtr sampleData, std::int32_t sampleLen,
                                 SampleFormat format)
    : BlockFile(CFileName(baseName.GetFullPath() + ".tmp"), sampleLen) {
  if (!WriteFile(sampleData, sampleLen, format)) SetWriteFailed();
}

SimpleBlockFile::SimpleBlockFile(const CFileName& existingFile, std::int32_t len, float min, float max,
                                 float rms)
    : BlockFile(existingFile, len) {
  mMin = min;
  mMax = max;
  mRMS = rms;
}

bool SimpleBlockFile::WriteFile(ConstSamplePtr sampleData, std::int32_t sampleLen, SampleFormat format) {
  // The summary is computed even when the file cannot be made, so the block's own
  // minimum and maximum stay meaningful.
  const char* summary = CalcSummary(sampleData, sampleLen, format);

  const std::string path = mFileName.GetFullPath();
  unsigned char header[kAuHeaderBytes];
  MakeAuHeader(header, mSummaryInfo.totalSummaryBytes, format);

  std::vector<unsigned char> packed;
  const std::size_t count = sampleLen > 0 ? static_cast<std::size_t>(sampleLen) : 0;
  std::vector<iovec> pieces{
      {header, sizeof header},
      {const_cast<char*>(summary), static_cast<std::size_t>(mSummaryInfo.totalSummaryBytes)},
      DiskSamples(sampleData, count, format, packed)};

  // A long job's blocks go straight to the disk past their header and summary: they
  // would be written back and dropped from the page cache soon anyway.
  const std::size_t head = kAuHeaderBytes + static_cast<std::size_t>(mSummaryInfo.totalSummaryBytes);
  auto write = [&] {
    // A dead block's file is overwritten in place when there is one; otherwise a new
    // file is made. Truncating matters only when a stale file of the same name is left
    // in the folder: its tail must not outlive the new block.
    int fd = -1;
    bool reused = false;
    if (BlockFileRecycler::Take(path)) {
      fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
      reused = fd >= 0;
    }
    if (fd < 0) fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool written = WriteBlockFileBytes(fd, pieces, head, BlockWriteback::Shared().LongRun());
    if (written && reused) {
      // A longer block lived in this file before: its tail goes.
      off_t size = 0;
      for (const iovec& piece : pieces) size += static_cast<off_t>(piece.iov_len);
      struct stat st {};
      written = ::fstat(fd, &st) == 0 && (st.st_size == size || ::ftruncate(fd, size) == 0);
    }
    const bool closed = ::close(fd) == 0;
    return written && closed;
  };
  if (!write()) {
    // The disk may be full: the spare files give their room back, and when they held
    // any, the block is written once more into the room they freed.
    const bool roomFreed = BlockFileRecycler::FullSpareBytes() > 0;
    BlockFileRecycler::Clear();
    if (!roomFreed || !write()) return false;
  }
  std::uint64_t bytes = 0;
  for (const iovec& piece : pieces) bytes += piece.iov_len;
  BlockWriteback::Shared().Add(path, bytes);
  return true;
}

SimpleBlockFile::SimpleBlockFile(const CFileName& file, int fd, ConstSamplePtr sampleData,
                                 std::int32_t sampleLen, SampleFormat format, std::int32_t onDisk)
    : BlockFile(file, sampleLen) {
  const char* summary = CalcSummary(sampleData, sampleLen, format);
  const bool written =
      WriteSamplesAt(fd, sampleLen, sampleData, format, std::clamp(onDisk, 0, sampleLen), sampleLen) &&
      WriteAllAt(fd, summary, static_cast<std::size_t>(mSummaryInfo.totalSummaryBytes), kAuHeaderBytes);
  if (!written) {
    SetWriteFailed();
    return;
  }
  BlockWriteback::Shared().Add(
      file.GetFullPath(),
      SampleOffset(sampleLen) + static_cast<std::size_t>(sampleLen) * DiskSampleSize(format));
}

std::size_t SimpleBlockFile::SampleOffset(std::int32_t len) {
  return kAuHeaderBytes + static_cast<std::size_t>(SummaryInfo(len).totalSummaryBytes);
}

bool SimpleBlockFile::WriteProvisionalHead(int fd, std::int32_t len, SampleFormat format) {
  std::vector<unsigned char> head(SampleOffset(len), 0);
  MakeAuHeader(head.data(), SummaryInfo(len).totalSummaryBytes, format);
  return WriteAllAt(fd, head.data(), head.size(), 0);
}

bool SimpleBlockFile::WriteSamplesAt(int fd, std::int32_t len, ConstSamplePtr samples, SampleFormat format,
                                     std::int32_t from, std::int32_t to) {
  if (to <= from) return true;
  std::vector<unsigned char> packed;
  const iovec piece = DiskSamples(samples + static_cast<std::size_t>(from) * SampleSize(format),
                                  static_cast<std::size_t>(to - from), format, packed);
  const off_t at =
      static_cast<off_t>(SampleOffset(len) + static_cast<std::size_t>(from) * DiskSampleSize(format));
  return WriteAllAt(fd, piece.iov_base, piece.iov_len, at);
}

SimpleBlockFile::~SimpleBlockFile() {
  // An unlocked block's file is kept for a new block to be written into; when it is
  // not kept, the base removes it.
  if (!IsLocked() && WriteSucceeded() && !mFileName.GetName().empty() &&
      BlockFileRecycler::Keep(mFileName.GetFullPath()))
    mFileName = CFileName();
}

int SimpleBlockFile::ReadData(SamplePtr data, SampleFormat format, std::int32_t start,
                              std::int32_t len) const {
  SF_INFO info{};
  SNDFILE* sf = OpenSoundFileForReading(mFileName.GetFullPath(), &info);
  if (!sf) return 0;
  sf_seek(sf, start, SEEK_SET);

  sf_count_t got;
  if (format == SampleFormatInt16 && IsPCMSubtype(info.format)) {
    got = sf_readf_short(sf, reinterpret_cast<short*>(data), len);
  } else if (format == SampleFormatInt24 && IsPCMSubtype(info.format)) {
    auto* out = reinterpret_cast<int*>(data);
    got = sf_readf_int(sf, out, len);
    for (sf_count_t i = 0; i < got; ++i) out[i] >>= 8;
  } else if (format == SampleFormatFloat) {
    // Straight into the caller's buffer, clipped as a conversion to float clips.
    auto* out = reinterpret_cast<float*>(data);
    got = len > 0 ? sf_readf_float(sf, out, len) : 0;
    for (sf_count_t i = 0; i < got; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
  } else {
    std::vector<float> temp(len > 0 ? len : 0);
    got = sf_readf_float(sf, temp.data(), len);
    if (got > 0)
      CopySamples(reinterpret_cast<ConstSamplePtr>(temp.data()), SampleFormatFloat, data, format,
                  static_cast<std::uint32_t>(got));
  }
  sf_close(sf);
  return static_cast<int>(got);
}

bool SimpleBlockFile::ReadSummary(void* data) const {
  if (!ReadFileBytes(mFileName.GetFullPath(), kAuHeaderBytes, data,
                     static_cast<std::size_t>(mSummaryInfo.totalSummaryBytes)))
    return false;
  FixSummary(data);
  return true;
}

BlockFile* SimpleBlockFile::Copy(const CFileName& newFileName) const {
  return new SimpleBlockFile(newFileName, mLen, mMin, mMax, mRMS);
}

std::uint64_t SimpleBlockFile::GetSpaceUsage() const { return FileSize(mFileName.GetFullPath()); }
