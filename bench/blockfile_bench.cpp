// Writes and reads back 1 GiB of 16-bit samples through block files, and the same bytes
// through plain files of the same count and size, in the same run.
//
//   blockfile_bench [folder] [MiB]
//
// Prints MB/s (10^6 bytes of samples per second) of both and the ratio of the times
// (block files / plain files). Five rounds; the best time of each side counts.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/model/SimpleBlockFile.h"
#include "tests/support/native/TempFolder.h"

namespace {

constexpr std::int32_t kBlockSamples = 516096;  // the largest 16-bit block of a sequence

double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void Fail(const char* what) {
  std::perror(what);
  std::exit(1);
}

struct Times {
  double write = 1e30, read = 1e30;
};

}  // namespace

int main(int argc, char** argv) {
  const std::string base = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
  const std::uint64_t mib = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1024;
  const std::uint64_t totalSamples = mib * 1024 * 1024 / 2;
  const std::size_t blocks = (totalSamples + kBlockSamples - 1) / kBlockSamples;

  auto folder = std::make_unique<testsupport::TempFolder>("tarvel-blockbench", base);
  const std::string dir = folder->path();

  // Two blocks' worth of varied samples; each block starts at a different place.
  std::vector<std::int16_t> source(2 * kBlockSamples);
  std::uint32_t seed = 12345;
  for (auto& s : source) {
    seed = seed * 1664525u + 1013904223u;
    s = static_cast<std::int16_t>(seed >> 16);
  }
  auto lengthOf = [&](std::size_t i) {
    const std::uint64_t left = totalSamples - static_cast<std::uint64_t>(i) * kBlockSamples;
    return static_cast<std::int32_t>(std::min<std::uint64_t>(left, kBlockSamples));
  };
  auto dataOf = [&](std::size_t i) {
    return reinterpret_cast<ConstSamplePtr>(source.data() + (i * 7919) % kBlockSamples);
  };
  std::vector<std::int16_t> back(kBlockSamples);
  std::uint64_t checksum = 0;

  // Block files and plain files take turns block by block, so that both meet the same
  // state of the page cache and the same load from anything else running.
  auto plainPath = [&](std::size_t i) { return dir + "/plain" + std::to_string(i); };
  Times blockTimes, plainTimes;
  for (int round = 0; round < 5; ++round) {
    Times block{0, 0}, plain{0, 0};
    std::vector<BlockFile*> made(blocks);
    for (std::size_t i = 0; i < blocks; ++i) {
      // Block file: header, summary and samples written together.
      char name[32];
      std::snprintf(name, sizeof name, "$%07zu", i);
      double t0 = Now();
      made[i] = new SimpleBlockFile(CFileName(dir, name), dataOf(i), lengthOf(i), SampleFormatInt16);
      if (!made[i]->WriteSucceeded()) Fail("block write");
      double t1 = Now();
      // Plain file: the same sample bytes alone.
      const int fd = ::open(plainPath(i).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd < 0) Fail("plain open");
      const std::size_t bytes = static_cast<std::size_t>(lengthOf(i)) * 2;
      if (::write(fd, dataOf(i), bytes) != static_cast<ssize_t>(bytes)) Fail("plain write");
      if (::close(fd) != 0) Fail("plain close");
      double t2 = Now();
      block.write += t1 - t0;
      plain.write += t2 - t1;
    }
    for (std::size_t i = 0; i < blocks; ++i) {
      // Block file: read back through libsndfile as 16-bit samples.
      double t0 = Now();
      const int n =
          made[i]->ReadData(reinterpret_cast<SamplePtr>(back.data()), SampleFormatInt16, 0, lengthOf(i));
      if (n != lengthOf(i)) Fail("block read");
      checksum += static_cast<std::uint16_t>(back[n - 1]);
      double t1 = Now();
      const int fd = ::open(plainPath(i).c_str(), O_RDONLY);
      if (fd < 0) Fail("plain open");
      const std::size_t bytes = static_cast<std::size_t>(lengthOf(i)) * 2;
      if (::read(fd, back.data(), bytes) != static_cast<ssize_t>(bytes)) Fail("plain read");
      ::close(fd);
      checksum += static_cast<std::uint16_t>(back[lengthOf(i) - 1]);
      double t2 = Now();
      block.read += t1 - t0;
      plain.read += t2 - t1;
    }
    for (BlockFile* b : made) b->Deref();
    for (std::size_t i = 0; i < blocks; ++i) ::unlink(plainPath(i).c_str());
    blockTimes.write = std::min(blockTimes.write, block.write);
    blockTimes.read = std::min(blockTimes.read, block.read);
    plainTimes.write = std::min(plainTimes.write, plain.write);
    plainTimes.read = std::min(plainTimes.read, plain.read);
  }
  folder.reset();

  const double mb = static_cast<double>(totalSamples) * 2 / 1e6;
  std::printf("block files: %zu blocks of up to %d 16-bit samples, %.0f MB of samples in %s\n", blocks,
              kBlockSamples, mb, base.c_str());
  std::printf("%-8s %14s %14s %8s\n", "", "block MB/s", "plain MB/s", "ratio");
  std::printf("%-8s %14.0f %14.0f %8.2f\n", "write", mb / blockTimes.write, mb / plainTimes.write,
              blockTimes.write / plainTimes.write);
  std::printf("%-8s %14.0f %14.0f %8.2f\n", "read", mb / blockTimes.read, mb / plainTimes.read,
              blockTimes.read / plainTimes.read);
  const double blockAll = blockTimes.write + blockTimes.read;
  const double plainAll = plainTimes.write + plainTimes.read;
  std::printf("%-8s %14.0f %14.0f %8.2f   (goal: ratio <= 1.3)\n", "both", 2 * mb / blockAll,
              2 * mb / plainAll, blockAll / plainAll);
  std::printf("(checksum %llu)\n", static_cast<unsigned long long>(checksum));
  return 0;
}
