#include "support/wine/SoundFiles.h"

#include "platform/afx/linux_headers_begin.h"
#include <cmath>
#include <cstdint>
#include <cstdio>
#include "platform/afx/linux_headers_end.h"

namespace winetest {

bool WriteWav16(const std::string& unixPath, int rate, int channels, const std::vector<short>& interleaved) {
  std::FILE* f = std::fopen(unixPath.c_str(), "wb");
  if (!f) return false;
  const auto bytes = static_cast<std::uint32_t>(interleaved.size() * 2);
  bool ok = true;
  auto u32 = [&](std::uint32_t v) { ok = ok && std::fwrite(&v, 4, 1, f) == 1; };
  auto u16 = [&](std::uint16_t v) { ok = ok && std::fwrite(&v, 2, 1, f) == 1; };
  auto tag = [&](const char* t) { ok = ok && std::fwrite(t, 1, 4, f) == 4; };
  tag("RIFF");
  u32(36 + bytes);
  tag("WAVE");
  tag("fmt ");
  u32(16);
  u16(1);
  u16(static_cast<std::uint16_t>(channels));
  u32(static_cast<std::uint32_t>(rate));
  u32(static_cast<std::uint32_t>(rate * channels * 2));
  u16(static_cast<std::uint16_t>(channels * 2));
  u16(16);
  tag("data");
  u32(bytes);
  ok = ok && std::fwrite(interleaved.data(), 2, interleaved.size(), f) == interleaved.size();
  return std::fclose(f) == 0 && ok;
}

bool WriteTwoToneWav(const std::string& unixPath, int rate, double seconds) {
  const auto frames = static_cast<std::size_t>(rate * seconds);
  std::vector<short> data(frames * 2);
  for (std::size_t i = 0; i < frames; ++i) {
    data[2 * i] = static_cast<short>(16384 * std::sin(2 * M_PI * 440 * static_cast<double>(i) / rate));
    data[2 * i + 1] = static_cast<short>(8192 * std::sin(2 * M_PI * 880 * static_cast<double>(i) / rate));
  }
  return WriteWav16(unixPath, rate, 2, data);
}

}  // namespace winetest
