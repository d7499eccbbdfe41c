// Writes and reads back 1 GiB of 16-bit samples through block files, and the same bytes
// through plain files of the same count and size, in the same run.
//
//   blockfile_bench [folder] [MiB] [rounds]
//
// Prints MB/s (10^6 bytes of samples per second) of both, and the ratios of the wall
// and the CPU times (this thread's user + system) of block files / plain files; the
// medians of the rounds (5 by default). Both sides take turns block by block. The
// reads are measured twice: right after the writes, when both come from the page
// cache (one read() per block on both sides: this compares the decoding, not the
// disk), and after both sides' files were dropped from the page cache, when both
// come from the disk.
#include <fcntl.h>
#include <sys/resource.h>
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

#include "bench/BenchPairs.h"
#include "core/model/SimpleBlockFile.h"
#include "tests/support/native/TempFolder.h"

namespace {

constexpr std::int32_t kBlockSamples = 516096;  // the largest 16-bit block of a sequence

// Wall and CPU time of this thread, in seconds.
struct Clock {
  double wall, cpu;
};
Clock Now() {
  using namespace std::chrono;
  rusage u{};
  getrusage(RUSAGE_THREAD, &u);
  auto secs = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; };
  return {duration<double>(steady_clock::now().time_since_epoch()).count(),
          secs(u.ru_utime) + secs(u.ru_stime)};
}

void Fail(const char* what) {
  std::perror(what);
  std::exit(1);
}

// One side's wall and CPU seconds of one round.
struct Times {
  double write = 0, read = 0, coldRead = 0;
  double writeCpu = 0, readCpu = 0, coldReadCpu = 0;
};

void Add(double& wall, double& cpu, const Clock& from, const Clock& to) {
  wall += to.wall - from.wall;
  cpu += to.cpu - from.cpu;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string base = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
  const std::uint64_t mib = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1024;
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
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
  std::vector<Times> blockRounds, plainRounds;
  for (int round = 0; round < rounds; ++round) {
    Times block, plain;
    std::vector<BlockFile*> made(blocks);
    for (std::size_t i = 0; i < blocks; ++i) {
      // Block file: header, summary and samples written together.
      char name[32];
      std::snprintf(name, sizeof name, "$%07zu", i);
      const Clock t0 = Now();
      made[i] = new SimpleBlockFile(CFileName(dir, name), dataOf(i), lengthOf(i), SampleFormatInt16);
      if (!made[i]->WriteSucceeded()) Fail("block write");
      const Clock t1 = Now();
      // Plain file: the same sample bytes alone.
      const int fd = ::open(plainPath(i).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd < 0) Fail("plain open");
      const std::size_t bytes = static_cast<std::size_t>(lengthOf(i)) * 2;
      if (::write(fd, dataOf(i), bytes) != static_cast<ssize_t>(bytes)) Fail("plain write");
      if (::close(fd) != 0) Fail("plain close");
      const Clock t2 = Now();
      Add(block.write, block.writeCpu, t0, t1);
      Add(plain.write, plain.writeCpu, t1, t2);
    }
    for (const bool cold : {false, true}) {
      if (cold && !(bench::DropFromPageCache(dir))) Fail("dropping the page cache");
      for (std::size_t i = 0; i < blocks; ++i) {
        // Block file: read back through libsndfile as 16-bit samples.
        const Clock t0 = Now();
        const int n =
            made[i]->ReadData(reinterpret_cast<SamplePtr>(back.data()), SampleFormatInt16, 0, lengthOf(i));
        if (n != lengthOf(i)) Fail("block read");
        checksum += static_cast<std::uint16_t>(back[n - 1]);
        const Clock t1 = Now();
        const int fd = ::open(plainPath(i).c_str(), O_RDONLY);
        if (fd < 0) Fail("plain open");
        const std::size_t bytes = static_cast<std::size_t>(lengthOf(i)) * 2;
        if (::read(fd, back.data(), bytes) != static_cast<ssize_t>(bytes)) Fail("plain read");
        ::close(fd);
        checksum += static_cast<std::uint16_t>(back[lengthOf(i) - 1]);
        const Clock t2 = Now();
        Add(cold ? block.coldRead : block.read, cold ? block.coldReadCpu : block.readCpu, t0, t1);
        Add(cold ? plain.coldRead : plain.read, cold ? plain.coldReadCpu : plain.readCpu, t1, t2);
      }
    }
    for (BlockFile* b : made) b->Deref();
    for (std::size_t i = 0; i < blocks; ++i) ::unlink(plainPath(i).c_str());
    blockRounds.push_back(block);
    plainRounds.push_back(plain);
  }
  folder.reset();

  const double mb = static_cast<double>(totalSamples) * 2 / 1e6;
  std::printf("block files: %zu blocks of up to %d 16-bit samples, %.0f MB of samples in %s, %d rounds\n",
              blocks, kBlockSamples, mb, base.c_str(), rounds);
  std::printf("%-22s %11s %11s %7s | %9s %9s %7s\n", "(medians)", "block MB/s", "plain MB/s", "ratio",
              "block CPU", "plain CPU", "ratio");
  auto row = [&](const char* what, double Times::*wall, double Times::*cpu, const char* note) {
    auto median = [](const std::vector<Times>& v, double Times::*field) {
      std::vector<double> values;
      for (const Times& t : v) values.push_back(t.*field);
      return bench::Median(values);
    };
    const double bw = median(blockRounds, wall), pw = median(plainRounds, wall);
    const double bc = median(blockRounds, cpu), pc = median(plainRounds, cpu);
    std::printf("%-22s %11.0f %11.0f %7.2f | %8.3fs %8.3fs %7.2f %s\n", what, mb / bw, mb / pw, bw / pw, bc,
                pc, bc / pc, note);
  };
  row("write", &Times::write, &Times::writeCpu, "");
  row("read (page cache)", &Times::read, &Times::readCpu, "(both sides from memory)");
  row("read (from the disk)", &Times::coldRead, &Times::coldReadCpu, "(page cache dropped first)");
  for (auto* v : {&blockRounds, &plainRounds})
    for (Times& t : *v) {
      t.write += t.coldRead;
      t.writeCpu += t.coldReadCpu;
    }
  row("write + disk read", &Times::write, &Times::writeCpu, "(goal: wall ratio <= 1.3)");
  std::printf("(checksum %llu)\n", static_cast<unsigned long long>(checksum));
  return 0;
}
