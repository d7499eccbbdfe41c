// Paired timing of one of our jobs against an outside program doing the same job.
//
// Both sides are measured in wall time and in CPU time (user + system):
//   ours  - the whole process (getrusage RUSAGE_SELF), so work our code hands to
//           helper threads counts too;
//   peer  - a shell command, with everything it ran and waited for
//           (getrusage RUSAGE_CHILDREN around the command).
// Rounds take turns, ours then the peer (A B A B ...), so a busy moment of the
// machine or a page-cache state falls on both alike, and the medians are compared.
//
//   bench::PairResult r = bench::RunPairs(5, bench::Ours([&] { return Export(); }),
//                                         bench::Peer("sox in.wav out.wav"));
//   bench::PrintHeader();
//   bench::PrintRow("WAV export", "sox", r);
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace bench {

// What one run cost.
struct Cost {
  double wall = 0;  // seconds
  double cpu = 0;   // user + system seconds
  bool ok = true;   // the job reported success / the command exited with 0
};

using Run = std::function<Cost()>;

// Measures a job run in this process (all its threads).
Cost MeasureSelf(const std::function<bool()>& job);
// Measures a shell command (/bin/sh -c) and all it waited for.
Cost MeasureCommand(const std::string& command);

// A run of our job / of a shell command, for RunPairs.
Run Ours(std::function<bool()> job);
Run Peer(std::string command);

// Wall and CPU time since it was made (or since Restart), for work that is not one
// function call, such as a recording left running for a while.
class CpuMeter {
public:
  enum class Scope { Process, Children };
  explicit CpuMeter(Scope scope = Scope::Process);
  void Restart();
  Cost Elapsed() const;
  double StartCpu() const { return mCpu0; }

private:
  Scope mScope;
  double mWall0 = 0, mCpu0 = 0;
};

// User + system seconds so far of this process (all threads) or of its waited-for children.
double ProcessCpuSeconds();
double ChildrenCpuSeconds();

double Median(std::vector<double> values);

struct PairResult {
  std::vector<Cost> ours, peer;
  bool ok = true;  // every run of both sides succeeded
  double OursWall() const;
  double OursCpu() const;
  double PeerWall() const;
  double PeerCpu() const;
  double WallRatio() const { return OursWall() / PeerWall(); }
  double CpuRatio() const { return OursCpu() / PeerCpu(); }
};

// rounds x (ours, peer). `before`, when given, runs untimed before every run of either
// side (for example to drop files from the page cache).
PairResult RunPairs(int rounds, const Run& ours, const Run& peer, const std::function<void()>& before = {});

// The table: one row per comparison, medians of wall and CPU time of both sides and
// their ratios (ours / peer).
void PrintHeader();
void PrintRow(const std::string& what, const std::string& peerName, const PairResult& r);

// Writes back and then drops a file's pages from the page cache (a folder: every
// regular file under it), so the next read comes from the disk. Needs no privileges.
// False when a file could not be opened or the kernel refused.
bool DropFromPageCache(const std::string& path);
// Writes a file's dirty pages to the disk and waits for them (a folder: every regular
// file under it); the pages stay in the page cache. False when a file could not be
// opened or written.
bool FlushToDisk(const std::string& path);
// The share (0..1) of a file's pages in the page cache; a folder: of all its files.
double ResidentShare(const std::string& path);

// A string quoted for /bin/sh.
std::string Quote(const std::string& text);

}  // namespace bench
