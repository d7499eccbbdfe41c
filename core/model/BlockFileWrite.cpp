#include "core/model/BlockFileWrite.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// Offsets, lengths and memory of a direct write are whole pages: what every file
// system and disk here accepts.
constexpr std::size_t kDirectUnit = 4096;

bool WriteAll(int fd, std::vector<iovec> pieces) {
  std::size_t first = 0;
  while (first < pieces.size()) {
    const ssize_t n = ::writev(fd, pieces.data() + first, static_cast<int>(pieces.size() - first));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    std::size_t done = static_cast<std::size_t>(n);
    while (first < pieces.size() && done >= pieces[first].iov_len) {
      done -= pieces[first].iov_len;
      ++first;
    }
    if (first < pieces.size()) {
      pieces[first].iov_base = static_cast<char*>(pieces[first].iov_base) + done;
      pieces[first].iov_len -= done;
    }
  }
  return true;
}

// The pieces' bytes from..to (offsets into all of them end to end).
std::vector<iovec> Slice(const std::vector<iovec>& pieces, std::size_t from, std::size_t to) {
  std::vector<iovec> out;
  std::size_t at = 0;
  for (const iovec& p : pieces) {
    const std::size_t begin = std::max(from, at), end = std::min(to, at + p.iov_len);
    if (begin < end) out.push_back({static_cast<char*>(p.iov_base) + (begin - at), end - begin});
    at += p.iov_len;
  }
  return out;
}

bool SetDirect(int fd, bool direct) {
  const int flags = ::fcntl(fd, F_GETFL);
  return flags >= 0 && ::fcntl(fd, F_SETFL, direct ? flags | O_DIRECT : flags & ~O_DIRECT) == 0;
}

// A page-aligned buffer of at least bytes bytes, one per thread and kept: blocks are
// written over and over in the same size, and memory used again costs nothing new.
unsigned char* StagingBuffer(std::size_t bytes) {
  struct Free {
    void operator()(unsigned char* p) const { std::free(p); }
  };
  thread_local std::unique_ptr<unsigned char, Free> buffer;
  thread_local std::size_t capacity = 0;
  if (capacity < bytes) {
    buffer.reset(static_cast<unsigned char*>(std::aligned_alloc(kDirectUnit, bytes)));
    capacity = buffer ? bytes : 0;
  }
  return buffer.get();
}

}  // namespace

bool WriteBlockFileBytes(int fd, std::vector<iovec> pieces, std::size_t cachedHead, bool direct) {
  std::size_t total = 0;
  for (const iovec& p : pieces) total += p.iov_len;
  const std::size_t begin = (cachedHead + kDirectUnit - 1) / kDirectUnit * kDirectUnit;
  const std::size_t end = total / kDirectUnit * kDirectUnit;
  unsigned char* staging = direct && begin < end ? StagingBuffer(end - begin) : nullptr;
  if (!staging) return WriteAll(fd, std::move(pieces));

  if (!WriteAll(fd, Slice(pieces, 0, begin))) return false;
  // The pages in between are gathered into aligned memory and written past the cache.
  unsigned char* out = staging;
  for (const iovec& p : Slice(pieces, begin, end)) {
    std::memcpy(out, p.iov_base, p.iov_len);
    out += p.iov_len;
  }
  std::size_t done = 0;
  if (SetDirect(fd, true)) {
    while (done < end - begin) {
      const ssize_t n = ::write(fd, staging + done, end - begin - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno != EINVAL) {
        SetDirect(fd, false);
        return false;
      }
      if (n > 0) done += static_cast<std::size_t>(n);
      // Refused (EINVAL) or a short write that leaves the rest unaligned: the rest goes
      // through the page cache.
      if (n <= 0 || done % kDirectUnit != 0) break;
    }
    if (!SetDirect(fd, false)) return false;
  }
  if (done < end - begin && !WriteAll(fd, {{staging + done, end - begin - done}})) return false;
  return WriteAll(fd, Slice(pieces, end, total));
}
