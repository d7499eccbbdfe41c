#include "audiofiles/import/ImportMP3InfoFrame.h"

#include <cstring>
#include <initializer_list>

#include "audiofiles/import/ImportMP3Frames.h"

namespace {

std::uint32_t BigEndian32(const unsigned char* p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
         (static_cast<std::uint32_t>(p[2]) << 8) | p[3];
}

// CRC-16 (polynomial 0x8005, reflected, initial 0): the checksum of the
// encoder extension over the frame's bytes before it.
std::uint16_t Crc16(const unsigned char* p, std::size_t n) {
  std::uint16_t crc = 0;
  for (std::size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int b = 0; b < 8; ++b) crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
  }
  return crc;
}

// The encoder extension after the information fields: 36 bytes.
constexpr std::size_t kExtensionBytes = 36;

}  // namespace

bool ReadMP3InfoFrame(const unsigned char* d, std::size_t count, MP3InfoFrame* info) {
  if (!d || !info || count < 4) return false;
  MP3FrameHeader header;
  if (!ReadMP3FrameHeader(d, &header) || header.layer != 3) return false;
  const bool mpeg1 = header.version == 3;
  const bool mono = (d[3] >> 6) == 3;
  const int frameBytes = header.bytes;
  const std::size_t sideInfo = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
  const std::size_t available = count < static_cast<std::size_t>(frameBytes) ? count : frameBytes;

  // Encoders put the mark right after the side information; some count the
  // checksum of a protected frame in, some do not.
  std::size_t at = 0;
  for (std::size_t offset : {4 + sideInfo, 4 + sideInfo + 2}) {
    if (offset + 8 > available) continue;
    if (std::memcmp(d + offset, "Xing", 4) == 0 || std::memcmp(d + offset, "Info", 4) == 0) {
      at = offset;
      break;
    }
    if (d[1] & 1) break;  // an unprotected frame has no checksum to count
  }
  if (at == 0) return false;

  MP3InfoFrame out;
  out.frameBytes = frameBytes;
  out.samplesPerFrame = header.samples;
  const std::uint32_t flags = BigEndian32(d + at + 4);
  std::size_t p = at + 8;
  if (flags & 1) {
    if (p + 4 > available) return false;
    out.frameCount = BigEndian32(d + p);
    p += 4;
  }
  if (flags & 2) p += 4;    // bytes
  if (flags & 4) p += 100;  // seek table
  if (flags & 8) p += 4;    // quality
  if (p + kExtensionBytes <= available && Crc16(d, p + 34) == ((d[p + 34] << 8) | d[p + 35])) {
    const unsigned char* g = d + p + 21;
    out.encoderDelay = (g[0] << 4) | (g[1] >> 4);
    out.encoderPadding = ((g[1] & 0x0F) << 8) | g[2];
    out.hasGapless = true;
  }
  *info = out;
  return true;
}
