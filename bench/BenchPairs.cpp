#include "bench/BenchPairs.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <utility>

namespace bench {
namespace {

double WallNow() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double CpuOf(int who) {
  rusage u{};
  getrusage(who, &u);
  auto secs = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; };
  return secs(u.ru_utime) + secs(u.ru_stime);
}

template <class F>
double MedianOf(const std::vector<Cost>& costs, F field) {
  std::vector<double> v;
  for (const Cost& c : costs) v.push_back(field(c));
  return Median(std::move(v));
}

std::vector<std::string> FilesUnder(const std::string& path) {
  std::vector<std::string> files;
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    for (const auto& e : std::filesystem::recursive_directory_iterator(path, ec))
      if (e.is_regular_file(ec)) files.push_back(e.path().string());
  } else {
    files.push_back(path);
  }
  return files;
}

}  // namespace

double ProcessCpuSeconds() { return CpuOf(RUSAGE_SELF); }
double ChildrenCpuSeconds() { return CpuOf(RUSAGE_CHILDREN); }

Cost MeasureSelf(const std::function<bool()>& job) {
  CpuMeter meter(CpuMeter::Scope::Process);
  const bool ok = job();
  Cost c = meter.Elapsed();
  c.ok = ok;
  return c;
}

Cost MeasureCommand(const std::string& command) {
  std::fflush(nullptr);
  CpuMeter meter(CpuMeter::Scope::Children);
  const int rc = std::system(command.c_str());
  Cost c = meter.Elapsed();
  c.ok = rc == 0;
  return c;
}

Run Ours(std::function<bool()> job) {
  return [job = std::move(job)] { return MeasureSelf(job); };
}

Run Peer(std::string command) {
  return [command = std::move(command)] { return MeasureCommand(command); };
}

CpuMeter::CpuMeter(Scope scope) : mScope(scope) { Restart(); }

void CpuMeter::Restart() {
  mWall0 = WallNow();
  mCpu0 = mScope == Scope::Process ? ProcessCpuSeconds() : ChildrenCpuSeconds();
}

Cost CpuMeter::Elapsed() const {
  Cost c;
  c.wall = WallNow() - mWall0;
  c.cpu = (mScope == Scope::Process ? ProcessCpuSeconds() : ChildrenCpuSeconds()) - mCpu0;
  return c;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double PairResult::OursWall() const {
  return MedianOf(ours, [](const Cost& c) { return c.wall; });
}
double PairResult::OursCpu() const {
  return MedianOf(ours, [](const Cost& c) { return c.cpu; });
}
double PairResult::PeerWall() const {
  return MedianOf(peer, [](const Cost& c) { return c.wall; });
}
double PairResult::PeerCpu() const {
  return MedianOf(peer, [](const Cost& c) { return c.cpu; });
}

PairResult RunPairs(int rounds, const Run& ours, const Run& peer, const std::function<void()>& before) {
  PairResult r;
  for (int i = 0; i < std::max(1, rounds); ++i) {
    if (before) before();
    r.ours.push_back(ours());
    if (before) before();
    r.peer.push_back(peer());
    r.ok = r.ok && r.ours.back().ok && r.peer.back().ok;
  }
  return r;
}

void PrintHeader() {
  std::printf("%-34s %-8s | %9s %9s %6s | %9s %9s %6s | %s\n", "", "peer", "wall ours", "wall peer", "ratio",
              "CPU ours", "CPU peer", "ratio", "rounds");
}

void PrintRow(const std::string& what, const std::string& peerName, const PairResult& r) {
  if (!r.ok) {
    std::printf("%-34s %-8s | failed (%s)\n", what.c_str(), peerName.c_str(),
                std::all_of(r.ours.begin(), r.ours.end(), [](const Cost& c) { return c.ok; })
                    ? peerName.c_str()
                    : "ours");
    return;
  }
  std::printf("%-34s %-8s | %8.3fs %8.3fs %6.2f | %8.3fs %8.3fs %6.2f | %zu, medians\n", what.c_str(),
              peerName.c_str(), r.OursWall(), r.PeerWall(), r.WallRatio(), r.OursCpu(), r.PeerCpu(),
              r.CpuRatio(), r.ours.size());
  std::fflush(stdout);
}

bool DropFromPageCache(const std::string& path) {
  bool ok = true;
  for (const std::string& file : FilesUnder(path)) {
    const int fd = ::open(file.c_str(), O_RDONLY);
    if (fd < 0) {
      ok = false;
      continue;
    }
    // Dirty pages are not dropped: write them back first.
    ::fdatasync(fd);
    ok = ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0 && ok;
    ::close(fd);
  }
  return ok;
}

bool FlushToDisk(const std::string& path) {
  bool ok = true;
  for (const std::string& file : FilesUnder(path)) {
    const int fd = ::open(file.c_str(), O_RDONLY);
    ok = fd >= 0 && ::fdatasync(fd) == 0 && ok;
    if (fd >= 0) ::close(fd);
  }
  return ok;
}

double ResidentShare(const std::string& path) {
  const long page = ::sysconf(_SC_PAGESIZE);
  std::size_t pages = 0, resident = 0;
  for (const std::string& file : FilesUnder(path)) {
    const int fd = ::open(file.c_str(), O_RDONLY);
    if (fd < 0) continue;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0) {
      const std::size_t length = static_cast<std::size_t>(st.st_size);
      void* map = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, 0);
      if (map != MAP_FAILED) {
        const std::size_t n = (length + page - 1) / page;
        std::vector<unsigned char> in(n);
        if (::mincore(map, length, in.data()) == 0) {
          pages += n;
          for (unsigned char b : in) resident += b & 1;
        }
        ::munmap(map, length);
      }
    }
    ::close(fd);
  }
  return pages ? static_cast<double>(resident) / pages : 0.0;
}

std::string Quote(const std::string& text) {
  std::string q = "'";
  for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

}  // namespace bench
