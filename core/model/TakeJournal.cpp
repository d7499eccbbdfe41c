#include "core/model/TakeJournal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "core/model/BlockFile.h"
#include "core/model/DirManager.h"
#include "core/model/SimpleBlockFile.h"

namespace {

constexpr const char* kMagic = "Tarvel take journal 1";

bool WriteAll(int fd, const std::string& text) {
  const char* p = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

bool KnownFormat(long value) {
  return value == SampleFormatInt16 || value == SampleFormatInt24 || value == SampleFormatFloat;
}

}  // namespace

std::unique_ptr<TakeJournal> TakeJournal::Begin(DirManager* dirManager, double rate, SampleFormat format,
                                                int tracks, std::int32_t blockLen) {
  const std::string& folder = DirManager::GetTempDir();
  if (!dirManager || folder.empty() || tracks <= 0 || blockLen <= 0 || !(rate > 0) || !KnownFormat(format))
    return nullptr;
  const std::string path = CFileName(folder, kFileName).GetFullPath();
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return nullptr;
  std::unique_ptr<TakeJournal> journal(new TakeJournal(dirManager, rate, format, blockLen, fd, path, tracks));
  char head[160];
  std::snprintf(head, sizeof head, "%s\nrate %.17g\nformat %d\ntracks %d\nblocklen %d\n", kMagic, rate,
                static_cast<int>(format), tracks, static_cast<int>(blockLen));
  journal->Note(head);
  if (journal->mFd < 0) return nullptr;  // the destructor removes what was made
  for (int t = 0; t < tracks; ++t) journal->StartWaiting(t);
  return journal;
}

TakeJournal::TakeJournal(DirManager* dirManager, double rate, SampleFormat format, std::int32_t blockLen,
                         int fd, std::string path, int tracks)
    : mDirManager(dirManager),
      mRate(rate),
      mFormat(format),
      mBlockLen(blockLen),
      mKeepSamples(std::max<std::int32_t>(1, static_cast<std::int32_t>(std::lround(rate * kKeepSeconds)))),
      mFd(fd),
      mPath(std::move(path)),
      mWaiting(static_cast<std::size_t>(tracks)) {}

TakeJournal::~TakeJournal() {
  for (Waiting& w : mWaiting) DropWaiting(w, true);
  if (mFd >= 0) ::close(mFd);
  ::unlink(mPath.c_str());
}

void TakeJournal::Note(const std::string& line) {
  // A journal that cannot be written any more is given up: it could only tell a part.
  if (mFd >= 0 && !WriteAll(mFd, line)) {
    ::close(mFd);
    mFd = -1;
  }
}

void TakeJournal::DropWaiting(Waiting& w, bool removeFile) {
  if (w.fd >= 0) ::close(w.fd);
  if (removeFile && !w.file.GetName().empty()) ::unlink(w.file.GetFullPath().c_str());
  w = Waiting();
}

void TakeJournal::StartWaiting(int track) {
  Waiting& w = mWaiting[static_cast<std::size_t>(track)];
  DropWaiting(w, true);
  if (mFd < 0) return;
  w.file = mDirManager->MakeBlockFileName(DirManager::GetTempDir());
  w.file.SetExt(".tmp");
  w.fd = ::open(w.file.GetFullPath().c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  w.ok = w.fd >= 0 && SimpleBlockFile::WriteProvisionalHead(w.fd, mBlockLen, mFormat);
  if (!w.ok) {
    DropWaiting(w, true);
    return;
  }
  Note("wait " + std::to_string(track) + " " + w.file.GetNameExt() + "\n");
}

void TakeJournal::Keep(int track, ConstSamplePtr waiting, std::int32_t held) {
  if (track < 0 || static_cast<std::size_t>(track) >= mWaiting.size()) return;
  Waiting& w = mWaiting[static_cast<std::size_t>(track)];
  held = std::min(held, mBlockLen);
  if (!w.ok || held - w.onDisk < mKeepSamples) return;
  if (!SimpleBlockFile::WriteSamplesAt(w.fd, mBlockLen, waiting, mFormat, w.onDisk, held)) {
    // The take goes on; only what is on the disk already is kept for a recovery.
    w.ok = false;
    return;
  }
  w.onDisk = held;
}

BlockFile* TakeJournal::TakeBlock(int track, ConstSamplePtr waiting, std::int32_t len) {
  if (track < 0 || static_cast<std::size_t>(track) >= mWaiting.size()) return nullptr;
  Waiting& w = mWaiting[static_cast<std::size_t>(track)];
  // The file was laid out for a block of mBlockLen samples: a block whose summary is
  // of another size starts its samples elsewhere.
  if (!w.ok || len <= 0 || len > mBlockLen ||
      SimpleBlockFile::SampleOffset(len) != SimpleBlockFile::SampleOffset(mBlockLen))
    return nullptr;
  if (w.onDisk > len) {
    // Samples past the block's end belong to the next one.
    const off_t size = static_cast<off_t>(SimpleBlockFile::SampleOffset(len)) +
                       static_cast<off_t>(len) * (mFormat == SampleFormatInt24 ? 3 : SampleSize(mFormat));
    if (::ftruncate(w.fd, size) != 0) return nullptr;
    w.onDisk = len;
  }
  BlockFile* block = mDirManager->NewSimpleBlockFileFrom(w.file, w.fd, waiting, len, mFormat, w.onDisk);
  if (!block) {
    // The failed block took its file with it.
    DropWaiting(w, false);
    return nullptr;
  }
  Note("block " + std::to_string(track) + " " + w.file.GetNameExt() + " " + std::to_string(len) + "\n");
  DropWaiting(w, false);  // the file is the block's now
  StartWaiting(track);
  return block;
}

void TakeJournal::BlockWritten(int track, const BlockFile* block) {
  if (!block || track < 0 || static_cast<std::size_t>(track) >= mWaiting.size()) return;
  Note("block " + std::to_string(track) + " " + block->GetFileName().GetNameExt() + " " +
       std::to_string(block->GetLength()) + "\n");
  // The waiting samples are in that block now.
  StartWaiting(track);
}

bool TakeJournal::Read(const std::string& path, Contents* out, std::string* error) {
  *out = Contents();
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "its journal cannot be read";
    return false;
  }
  std::stringstream whole;
  whole << in.rdbuf();
  const std::string text = whole.str();
  std::size_t at = text.find('\n');
  if (at == std::string::npos || text.compare(0, at, kMagic) != 0) {
    *error = "its journal is damaged";
    return false;
  }
  int tracks = -1;
  bool haveRate = false, haveFormat = false;
  for (std::size_t start = at + 1; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {  // the last line was being written
      out->torn = true;
      break;
    }
    std::istringstream line(text.substr(start, end - start));
    start = end + 1;
    std::string key;
    line >> key;
    bool ok = true;
    if (key == "rate") {
      ok = static_cast<bool>(line >> out->rate) && out->rate > 0 && std::isfinite(out->rate);
      haveRate = ok;
    } else if (key == "format") {
      long format = 0;
      ok = static_cast<bool>(line >> format) && KnownFormat(format);
      out->format = static_cast<SampleFormat>(format);
      haveFormat = ok;
    } else if (key == "tracks") {
      ok = static_cast<bool>(line >> tracks) && tracks > 0 && tracks <= 64 && out->tracks.empty();
      if (ok) out->tracks.resize(static_cast<std::size_t>(tracks));
    } else if (key == "blocklen") {
      ok = static_cast<bool>(line >> out->blockLen) && out->blockLen > 0;
    } else if (key == "block" && tracks > 0) {
      int track = -1;
      Block block;
      ok = static_cast<bool>(line >> track >> block.file >> block.len) && block.len > 0 && track >= 0 &&
           track < tracks;
      if (ok) {
        Track& t = out->tracks[static_cast<std::size_t>(track)];
        if (t.waiting == block.file) t.waiting.clear();
        t.blocks.push_back(block);
      }
    } else if (key == "wait" && tracks > 0) {
      int track = -1;
      std::string file;
      ok = static_cast<bool>(line >> track >> file) && track >= 0 && track < tracks;
      if (ok) out->tracks[static_cast<std::size_t>(track)].waiting = file;
    } else {
      ok = false;
    }
    if (!ok) {
      out->torn = true;
      break;
    }
  }
  if (!haveRate || !haveFormat || tracks <= 0) {
    *error = "its journal is damaged";
    return false;
  }
  return true;
}
