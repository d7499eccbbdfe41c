#pragma once
// Writing the bytes of a block file. A block file is written once, in full, from a
// few pieces (header, summary, samples).
//
// Written straight to the disk (direct), the whole pages of the file past its first
// cachedHead bytes bypass the page cache: the block takes no new page-cache memory,
// and there is nothing left to write back or drop later. Its head (the header and the
// summary the display reads) and its last, partly filled page go through the page
// cache as usual. A file system that cannot write straight to the disk gets the
// whole file through the page cache.
#include <sys/uio.h>

#include <cstddef>
#include <vector>

// Writes every piece in full at the file's offset, resuming after short writes and
// interruptions. False when a write failed (the disk may be full).
bool WriteBlockFileBytes(int fd, std::vector<iovec> pieces, std::size_t cachedHead, bool direct);
