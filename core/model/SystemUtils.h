#pragma once
// Small file-system helpers, the free space of a volume and a millisecond stopwatch.
#include <cstdint>
#include <string>

// True when the path names something that exists and is not a directory.
bool FileExists(const std::string& path);
// True when the path, less its trailing separators (down to a root), is a directory.
bool DirectoryExists(const std::string& path);
// True when the last character is '\' or '/'; false for an empty path.
bool EndsWithSeparator(const std::string& path);
// Copies a file; fails when the destination exists unless overwrite is set.
bool CopyFileTo(const std::string& source, const std::string& destination, bool overwrite);
bool RemoveFile(const std::string& path);
// Removes a directory; succeeds only when it is empty.
bool RemoveDir(const std::string& path);
// Total bytes of the volume holding path and the bytes available to this user; either
// pointer may be null. False for an empty path or when the volume cannot be asked. The
// room that spare block files hold on the volume counts as available: they give it
// back as soon as a write needs it (BlockFileRecycler).
bool GetDiskFreeSpace64(const std::string& path, std::uint64_t* total, std::uint64_t* free);

// The program-wide stopwatch (milliseconds on a 32-bit tick count). One reference
// point is shared by every user: a start by one moves it for all.
std::uint32_t StopwatchStart();
// Milliseconds since the reference point, correct across the wrap of the tick count;
// with restart set the reference point becomes now.
std::uint32_t StopwatchElapsed(bool restart = false);

// Test hooks: replace the volume query and the tick source; null restores the real
// ones. Each returns the previous hook.
using DiskFreeSpaceFunction = bool (*)(const std::string& path, std::uint64_t* total, std::uint64_t* free);
DiskFreeSpaceFunction SetDiskFreeSpaceFunction(DiskFreeSpaceFunction function);
using TickCountFunction = std::uint32_t (*)();
TickCountFunction SetTickCountFunction(TickCountFunction function);
// The current tick count (milliseconds, wrapping at 2^32).
std::uint32_t GetTickCount32();
