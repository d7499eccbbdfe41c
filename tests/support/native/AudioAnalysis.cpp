#include "tests/support/native/AudioAnalysis.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <numbers>

namespace audiotest {
namespace {

std::uint32_t Le32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

bool Error(std::string* error, const std::string& text) {
  if (error) *error = text;
  return false;
}

void Put16(std::string& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}
void Put32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

std::vector<float> WavData::Channel(int channel) const {
  std::vector<float> out;
  if (channel < 0 || channel >= channels) return out;
  out.reserve(frames());
  for (std::size_t i = channel; i < samples.size(); i += channels) out.push_back(samples[i]);
  return out;
}

bool ReadWav(const std::string& path, WavData& wav, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Error(error, "cannot open " + path);
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
      std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
    return Error(error, path + " is not a WAV file");

  int format = 0, channels = 0, bits = 0;
  std::uint32_t rate = 0;
  std::size_t pos = 12, dataStart = 0, dataSize = 0;
  bool haveFmt = false, haveData = false;
  while (pos + 8 <= bytes.size()) {
    const std::uint32_t size = Le32(&bytes[pos + 4]);
    const unsigned char* body = &bytes[pos + 8];
    const std::size_t left = bytes.size() - (pos + 8);
    if (std::memcmp(&bytes[pos], "fmt ", 4) == 0 && size >= 16 && left >= 16) {
      format = Le16(body);
      channels = Le16(body + 2);
      rate = Le32(body + 4);
      bits = Le16(body + 14);
      if (format == 0xFFFE && size >= 26 && left >= 26) format = Le16(body + 24);
      haveFmt = true;
    } else if (std::memcmp(&bytes[pos], "data", 4) == 0) {
      dataStart = pos + 8;
      dataSize = (size == 0 || size > left) ? left : size;
      haveData = true;
      break;
    }
    pos += 8 + size + (size & 1);
  }
  if (!haveFmt || !haveData) return Error(error, path + " has no fmt or data chunk");
  if (channels <= 0 || rate == 0) return Error(error, path + " has a bad format chunk");

  const int width = bits / 8;
  const bool isFloat = format == 3 && (bits == 32 || bits == 64);
  const bool isPcm = format == 1 && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
  if (!isFloat && !isPcm)
    return Error(error, path + ": unsupported format " + std::to_string(format) + "/" + std::to_string(bits));

  const std::size_t count = dataSize / width;
  wav.rate = static_cast<int>(rate);
  wav.channels = channels;
  wav.samples.assign(count - count % channels, 0.0f);
  const unsigned char* p = &bytes[dataStart];
  for (std::size_t i = 0; i < wav.samples.size(); ++i, p += width) {
    float v = 0;
    if (isFloat && bits == 32) {
      std::uint32_t u = Le32(p);
      std::memcpy(&v, &u, 4);
    } else if (isFloat) {
      std::uint64_t u = Le32(p) | (static_cast<std::uint64_t>(Le32(p + 4)) << 32);
      double d;
      std::memcpy(&d, &u, 8);
      v = static_cast<float>(d);
    } else if (bits == 8) {
      v = (static_cast<int>(p[0]) - 128) / 128.0f;
    } else if (bits == 16) {
      v = static_cast<std::int16_t>(Le16(p)) / 32768.0f;
    } else if (bits == 24) {
      const std::int32_t s =
          static_cast<std::int32_t>((p[0] << 8) | (p[1] << 16) | (static_cast<std::uint32_t>(p[2]) << 24)) >>
          8;
      v = s / 8388608.0f;
    } else {
      v = static_cast<float>(static_cast<std::int32_t>(Le32(p)) / 2147483648.0);
    }
    wav.samples[i] = v;
  }
  return true;
}

bool WriteWav(const std::string& path, const WavData& wav) {
  if (wav.channels <= 0 || wav.rate <= 0) return false;
  const std::uint32_t dataBytes = static_cast<std::uint32_t>(wav.frames() * wav.channels * 2);
  std::string out;
  out += "RIFF";
  Put32(out, 36 + dataBytes);
  out += "WAVEfmt ";
  Put32(out, 16);
  Put16(out, 1);
  Put16(out, static_cast<std::uint16_t>(wav.channels));
  Put32(out, static_cast<std::uint32_t>(wav.rate));
  Put32(out, static_cast<std::uint32_t>(wav.rate * wav.channels * 2));
  Put16(out, static_cast<std::uint16_t>(wav.channels * 2));
  Put16(out, 16);
  out += "data";
  Put32(out, dataBytes);
  for (std::size_t i = 0; i < wav.frames() * wav.channels; ++i) {
    const float v = std::clamp(wav.samples[i], -1.0f, 1.0f);
    Put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v * 32767.0f))));
  }
  std::ofstream file(path, std::ios::binary);
  file.write(out.data(), static_cast<std::streamsize>(out.size()));
  return static_cast<bool>(file);
}

std::vector<float> MakeSine(double frequency, double rate, std::size_t frames, double amplitude) {
  std::vector<float> out(frames);
  for (std::size_t i = 0; i < frames; ++i)
    out[i] = static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * frequency * i / rate));
  return out;
}

PeriodStats MeasurePeriods(std::span<const float> samples, double rate) {
  PeriodStats stats;
  float peak = 0;
  for (float s : samples) peak = std::max(peak, std::fabs(s));
  if (peak <= 0 || samples.size() < 2) return stats;
  const float hysteresis = 0.05f * peak;

  std::vector<double> crossings;
  bool armed = false;
  for (std::size_t i = 1; i < samples.size(); ++i) {
    const float a = samples[i - 1];
    const float b = samples[i];
    if (b < -hysteresis) armed = true;
    if (armed && a < 0 && b >= 0) {
      crossings.push_back(static_cast<double>(i - 1) + a / (a - b));
      armed = false;
    }
  }
  if (crossings.size() < 3) return stats;
  std::vector<double> periods;
  for (std::size_t i = 1; i < crossings.size(); ++i) periods.push_back(crossings[i] - crossings[i - 1]);
  std::vector<double> sorted = periods;
  std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
  const double median = sorted[sorted.size() / 2];
  stats.periods = periods.size();
  stats.frequency = rate / median;
  for (double p : periods) {
    if (std::fabs(p - median) > 0.02 * median) ++stats.irregular;
  }
  return stats;
}

double FrequencyByZeroCrossings(std::span<const float> samples, double rate) {
  return MeasurePeriods(samples, rate).frequency;
}

double Rms(std::span<const float> samples, std::size_t from, std::size_t to) {
  to = std::min(to, samples.size());
  if (to <= from) return 0.0;
  double sum = 0.0;
  for (std::size_t i = from; i < to; ++i) sum += static_cast<double>(samples[i]) * samples[i];
  return std::sqrt(sum / static_cast<double>(to - from));
}

double ZeroCrossingFrequency(std::span<const float> samples, double rate, std::size_t from, std::size_t to) {
  to = std::min(to, samples.size());
  double first = -1.0, last = -1.0;
  int count = 0;
  for (std::size_t i = from + 1; i < to; ++i) {
    const float a = samples[i - 1];
    const float b = samples[i];
    if (a < 0 && b >= 0) {
      const double t = static_cast<double>(i - 1) + a / (a - b);
      if (count == 0) first = t;
      last = t;
      ++count;
    }
  }
  if (count < 2) return 0.0;
  return rate * (count - 1) / (last - first);
}

double RmsDbfs(std::span<const float> samples) {
  double sum = 0;
  for (float s : samples) sum += static_cast<double>(s) * s;
  if (samples.empty() || sum <= 0) return -std::numeric_limits<double>::infinity();
  return 10.0 * std::log10(sum / samples.size());
}

std::pair<std::size_t, std::size_t> FindSound(std::span<const float> samples, float threshold) {
  std::size_t first = samples.size(), last = 0;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    if (std::fabs(samples[i]) >= threshold) {
      first = std::min(first, i);
      last = i + 1;
    }
  }
  return first < last ? std::make_pair(first, last) : std::make_pair<std::size_t, std::size_t>(0, 0);
}

}  // namespace audiotest
