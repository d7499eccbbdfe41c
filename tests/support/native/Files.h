// Whole files as bytes, and reading little-endian numbers out of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// The file's bytes; empty when it cannot be read.
std::vector<unsigned char> ReadBytes(const std::string& path);
// Writes bytes as the whole file; false when that fails.
bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);

// The little-endian 32-bit number at b[at].
std::uint32_t LE32(const std::vector<unsigned char>& b, std::size_t at);

}  // namespace testsupport
