// A small disk of a test's own: a filesystem of a given size that fills up for real,
// in a child process (a tmpfs in a private mount namespace, made as root or, where
// the system allows one, inside a user namespace). Where neither works the result
// says why, and the test skips.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

struct ChildResult {
  bool available = false;             // the child (and its disk) could be made and ran to its end
  std::string why;                    // when not: what failed
  std::vector<std::int64_t> numbers;  // what the body returned
};

// Runs body in a child process; the numbers it returns come back (available is false
// when the child ended without them). For what a test may not do to itself, such as
// giving up its privileges.
ChildResult RunInChildProcess(const std::function<std::vector<std::int64_t>()>& body);

// Runs body in a child process with a fresh filesystem of bytes mounted at the path
// it is given; the numbers it returns come back. The child ends when the body does.
ChildResult RunOnSmallDisk(std::size_t bytes,
                           const std::function<std::vector<std::int64_t>(const std::string& disk)>& body);

// Fills the disk at path with a file of its own until about bytes are left free.
bool LeaveFree(const std::string& path, std::size_t bytes);

// The bytes still free on the disk at path.
std::int64_t FreeBytes(const std::string& path);

// Gives up every capability of this process, so that file modes bind it even as root
// (a folder of mode 0555 then takes no new file). Call it in a child process.
bool DropCapabilities();

}  // namespace testsupport
