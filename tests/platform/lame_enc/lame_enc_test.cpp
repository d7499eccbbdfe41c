// The "lame_enc" library itself (platform/lame_enc): its records, its five
// entry points and what a decoder reads back from its streams.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cmath>
#include <cstring>
#include <functional>
#include <optional>
#include <ostream>
#include <thread>
#include <vector>

#include "platform/lame_enc/lame_enc.h"
#include "tests/support/native/AudioAnalysis.h"
#include "tests/support/native/Files.h"
#include "tests/support/native/Mp3Decode.h"
#include "tests/support/native/OutsideMp3Decoder.h"
#include "tests/support/native/TempFolder.h"

namespace {

using audiotest::Rms;
using audiotest::ZeroCrossingFrequency;

const std::string kLibrary = std::string(TARVEL_TEST_BINARY_DIR) + "/bin/lame_enc.so";

struct Library {
  void* module = nullptr;
  BEINITSTREAM init = nullptr;
  BEENCODECHUNK encode = nullptr;
  BEDEINITSTREAM deinit = nullptr;
  BECLOSESTREAM close = nullptr;
  BEVERSION version = nullptr;
  BEGETINFOTAG infoTag = nullptr;
  Library() {
    module = dlopen(kLibrary.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) return;
    init = reinterpret_cast<BEINITSTREAM>(dlsym(module, "beInitStream"));
    encode = reinterpret_cast<BEENCODECHUNK>(dlsym(module, "beEncodeChunk"));
    deinit = reinterpret_cast<BEDEINITSTREAM>(dlsym(module, "beDeinitStream"));
    close = reinterpret_cast<BECLOSESTREAM>(dlsym(module, "beCloseStream"));
    version = reinterpret_cast<BEVERSION>(dlsym(module, "beVersion"));
    infoTag = reinterpret_cast<BEGETINFOTAG>(dlsym(module, "beGetInfoTag"));
  }
};

Library& Lib() {
  static Library lib;
  return lib;
}

BE_CONFIG LameConfig(int rate, int mode, int kbps, int mpeg = MPEG1) {
  BE_CONFIG c;
  std::memset(&c, 0, sizeof(c));
  c.dwConfig = BE_CONFIG_LAME;
  auto& l = c.format.LHV1;
  l.dwStructVersion = CURRENT_STRUCT_VERSION;
  l.dwStructSize = CURRENT_STRUCT_SIZE;
  l.dwSampleRate = rate;
  l.dwReSampleRate = rate;
  l.nMode = mode;
  l.dwBitrate = kbps;
  l.dwMpegVersion = mpeg;
  l.bCRC = 1;
  l.nVbrMethod = VBR_METHOD_NONE;
  l.bNoRes = 1;
  return c;
}

struct Encoded {
  BE_ERR initResult = 0;
  uint32_t samplesPerChunk = 0;
  uint32_t bufferSize = 0;
  std::vector<uint8_t> bytes;
  uint32_t largestOutput = 0;
  uint32_t infoFrameBytes = 0;  // the information frame written over the first frame
};

// Encodes interleaved pcm chunk by chunk, as the program does.
Encoded EncodeAll(BE_CONFIG config, const std::vector<int16_t>& pcm) {
  Encoded e;
  HBE_STREAM h = 0;
  e.initResult = Lib().init(&config, &e.samplesPerChunk, &e.bufferSize, &h);
  if (e.initResult != BE_ERR_SUCCESSFUL) return e;
  std::vector<uint8_t> out(e.bufferSize);
  for (size_t pos = 0; pos < pcm.size(); pos += e.samplesPerChunk) {
    const uint32_t n = static_cast<uint32_t>(std::min<size_t>(e.samplesPerChunk, pcm.size() - pos));
    uint32_t bytes = 0;
    EXPECT_EQ(Lib().encode(h, n, pcm.data() + pos, out.data(), &bytes), BE_ERR_SUCCESSFUL);
    e.largestOutput = std::max(e.largestOutput, bytes);
    e.bytes.insert(e.bytes.end(), out.begin(), out.begin() + bytes);
  }
  uint32_t bytes = 0;
  EXPECT_EQ(Lib().deinit(h, out.data(), &bytes), BE_ERR_SUCCESSFUL);
  e.largestOutput = std::max(e.largestOutput, bytes);
  e.bytes.insert(e.bytes.end(), out.begin(), out.begin() + bytes);
  // The information frame goes over the blank first frame, as the program does.
  uint32_t infoBytes = 0;
  EXPECT_EQ(Lib().infoTag(h, out.data(), &infoBytes), BE_ERR_SUCCESSFUL);
  EXPECT_LE(infoBytes, e.bytes.size());
  if (infoBytes <= e.bytes.size()) std::copy(out.begin(), out.begin() + infoBytes, e.bytes.begin());
  e.infoFrameBytes = infoBytes;
  EXPECT_EQ(Lib().close(h), BE_ERR_SUCCESSFUL);
  return e;
}

BE_ERR TryInit(BE_CONFIG config) {
  uint32_t samples = 12345, size = 23456;
  HBE_STREAM h = 777;
  const BE_ERR err = Lib().init(&config, &samples, &size, &h);
  if (err == BE_ERR_SUCCESSFUL) {
    Lib().close(h);
  } else {
    // A refusal leaves the outputs alone.
    EXPECT_EQ(samples, 12345u);
    EXPECT_EQ(size, 23456u);
    EXPECT_EQ(h, 777u);
  }
  return err;
}

// Interleaved white noise from a linear congruential generator: full scale / divisor.
std::vector<int16_t> Noise(size_t samples, uint32_t seed, int divisor = 1) {
  std::vector<int16_t> pcm(samples);
  for (auto& s : pcm) {
    seed = seed * 1664525u + 1013904223u;
    s = static_cast<int16_t>((static_cast<int32_t>(seed >> 16) - 32768) / divisor);
  }
  return pcm;
}

class LameEncLibrary : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_NE(Lib().module, nullptr) << kLibrary << ": " << dlerror(); }
};

}  // namespace

TEST(LameEncRecords, ConfigurationLayoutIsTheLhv1Form) {
  EXPECT_EQ(sizeof(BE_CONFIG), 331u);
  EXPECT_EQ(offsetof(BE_CONFIG, format), 4u);
  EXPECT_EQ(offsetof(BE_CONFIG, format.LHV1.dwSampleRate), 12u);
  EXPECT_EQ(offsetof(BE_CONFIG, format.LHV1.nMode), 20u);
  EXPECT_EQ(offsetof(BE_CONFIG, format.LHV1.dwMpegVersion), 36u);
  EXPECT_EQ(offsetof(BE_CONFIG, format.LHV1.bPrivate), 48u);
  EXPECT_EQ(offsetof(BE_CONFIG, format.LHV1.bCRC), 52u);
  EXPECT_EQ(offsetof(BE_CONFIG, format.LHV1.bWriteVBRHeader), 64u);
  EXPECT_EQ(offsetof(BE_CONFIG, format.LHV1.nVBRQuality), 72u);
  EXPECT_EQ(offsetof(BE_CONFIG, format.LHV1.dwVbrAbr_bps), 76u);
  EXPECT_EQ(offsetof(BE_CONFIG, format.LHV1.nVbrMethod), 80u);
  EXPECT_EQ(offsetof(BE_CONFIG, format.LHV1.bNoRes), 84u);
  EXPECT_EQ(offsetof(BE_CONFIG, format.LHV1.nQuality), 92u);
  EXPECT_EQ(offsetof(BE_CONFIG, format.LHV1.btReserved), 94u);
  EXPECT_EQ(offsetof(BE_CONFIG, format.mp3.byMode), 8u);
  EXPECT_EQ(offsetof(BE_CONFIG, format.mp3.wBitrate), 9u);
  EXPECT_EQ(offsetof(BE_VERSION, byMajorVersion), 2u);
  EXPECT_EQ(offsetof(BE_VERSION, zHomepage), 8u);
}

TEST_F(LameEncLibrary, ExportsTheFiveEntryPoints) {
  EXPECT_NE(Lib().init, nullptr);
  EXPECT_NE(Lib().encode, nullptr);
  EXPECT_NE(Lib().deinit, nullptr);
  EXPECT_NE(Lib().close, nullptr);
  EXPECT_NE(Lib().version, nullptr);
  // and the one that fills the information frame
  EXPECT_NE(Lib().infoTag, nullptr);
}

TEST_F(LameEncLibrary, VersionNamesTheEngine) {
  BE_VERSION v;
  std::memset(&v, 0xAB, sizeof(v));
  Lib().version(&v);
  EXPECT_EQ(v.byMajorVersion, 3);
  EXPECT_GE(v.byMinorVersion, 98);
  EXPECT_EQ(v.byDLLMajorVersion, 1);
  EXPECT_GT(std::strlen(v.zHomepage), 0u);
  EXPECT_LT(std::strlen(v.zHomepage), static_cast<size_t>(BE_MAX_HOMEPAGE + 1));
}

TEST_F(LameEncLibrary, CbrStereoSineDecodesToTheSameSignal) {
  const int rate = 44100;
  const size_t frames = 2 * rate;
  const auto pcm = mp3test::Sine(rate, 2, frames, {1000.0, 1500.0}, 0.5);
  const Encoded e = EncodeAll(LameConfig(rate, BE_MP3_MODE_STEREO, 128), pcm);
  ASSERT_EQ(e.initResult, BE_ERR_SUCCESSFUL);
  EXPECT_EQ(e.samplesPerChunk, 2304u);  // 1152 frames, both channels counted
  EXPECT_GE(e.bufferSize, 7200u);
  EXPECT_LE(e.largestOutput, e.bufferSize);

  const auto d = mp3test::Decode(e.bytes);
  EXPECT_EQ(d.badFrames, 0);
  EXPECT_EQ(d.layer, 3);
  EXPECT_EQ(d.mpegVersion, 1);
  EXPECT_EQ(d.rate, rate);
  ASSERT_EQ(d.channels, 2);
  EXPECT_EQ(d.mode, MAD_MODE_STEREO);
  EXPECT_TRUE(d.crc);
  for (unsigned b : d.bitrates) EXPECT_EQ(b, 128000u);
  // Length: the input plus the codec's delay and the last frame's padding.
  EXPECT_GE(d.samples(), frames + 576);
  EXPECT_LE(d.samples(), frames + 4 * 1152);
  const size_t onset = mp3test::FirstAbove(d.pcm[0], 0.05f);
  EXPECT_GE(onset, 400u);
  EXPECT_LE(onset, 1800u);
  const size_t a = onset + 4410, b = onset + frames - 4410;
  EXPECT_NEAR(ZeroCrossingFrequency(d.pcm[0], rate, a, b), 1000.0, 2.0);
  EXPECT_NEAR(ZeroCrossingFrequency(d.pcm[1], rate, a, b), 1500.0, 3.0);
  // The level, within what the codec takes at 64 kbit/s a channel (the lame
  // command line gives the same -0.45 dB here).
  const double expected = 0.5 / std::sqrt(2.0);
  EXPECT_NEAR(20 * std::log10(Rms(d.pcm[0], a, b) / expected), 0.0, 0.6);
  EXPECT_NEAR(20 * std::log10(Rms(d.pcm[1], a, b) / expected), 0.0, 0.6);
  // The sound ends where the input ended.
  EXPECT_GT(Rms(d.pcm[0], onset + frames - 2000, onset + frames - 1000), 0.3);
  EXPECT_LT(Rms(d.pcm[0], onset + frames + 1000, d.samples()), 0.01);
}

TEST_F(LameEncLibrary, VbrKeepsTheFramesWithinItsBounds) {
  BE_CONFIG c = LameConfig(44100, BE_MP3_MODE_JSTEREO, 96);
  c.format.LHV1.bEnableVBR = 1;
  c.format.LHV1.bWriteVBRHeader = 1;
  c.format.LHV1.dwMaxBitrate = 192;
  c.format.LHV1.nVBRQuality = 2;
  c.format.LHV1.nVbrMethod = VBR_METHOD_NEW;
  c.format.LHV1.dwVbrAbr_bps = static_cast<uint32_t>(-1);
  // Noise and a sine: frames of different bit rates.
  auto pcm = mp3test::Sine(44100, 2, 3 * 44100, {300.0, 5000.0}, 0.3);
  const std::vector<int16_t> noise = Noise(pcm.size() - pcm.size() / 2, 1, 2);
  std::copy(noise.begin(), noise.end(), pcm.begin() + pcm.size() / 2);
  const Encoded e = EncodeAll(c, pcm);
  ASSERT_EQ(e.initResult, BE_ERR_SUCCESSFUL);
  const auto d = mp3test::Decode(e.bytes);
  EXPECT_EQ(d.badFrames, 0);
  ASSERT_GT(d.frames, 100);
  unsigned lo = ~0u, hi = 0;
  for (unsigned b : d.bitrates) {
    lo = std::min(lo, b);
    hi = std::max(hi, b);
  }
  EXPECT_GE(lo, 96000u);
  EXPECT_LE(hi, 192000u);
  EXPECT_LT(lo, hi);  // really variable
  // No blank frame in front: the first is the filled information frame, which
  // tells every audio frame, and the first audio frame already carries sound.
  EXPECT_GT(e.infoFrameBytes, 0u);
  EXPECT_TRUE(d.infoFrame);
  EXPECT_EQ(d.infoFrameCount, d.frames);
  EXPECT_GT(Rms(d.pcm[0], 0, 1152), 0.0);
}

TEST_F(LameEncLibrary, AbrMeetsItsMeanRate) {
  BE_CONFIG c = LameConfig(44100, BE_MP3_MODE_JSTEREO, 128);
  c.format.LHV1.bEnableVBR = 1;
  c.format.LHV1.dwMaxBitrate = 320;
  c.format.LHV1.nVBRQuality = 5;
  c.format.LHV1.nVbrMethod = VBR_METHOD_ABR;
  c.format.LHV1.dwVbrAbr_bps = 96000;  // below the minimum: the minimum gives way
  const std::vector<int16_t> pcm = Noise(2 * 5 * 44100, 7, 4);
  const Encoded e = EncodeAll(c, pcm);
  ASSERT_EQ(e.initResult, BE_ERR_SUCCESSFUL);
  const double kbps = e.bytes.size() * 8.0 / 5.0 / 1000.0;
  EXPECT_NEAR(kbps, 96.0, 20.0);
}

TEST_F(LameEncLibrary, PresetsOpenAndDecode) {
  const int presets[] = {LQP_NOPRESET,
                         LQP_NORMAL_QUALITY,
                         LQP_LOW_QUALITY,
                         LQP_HIGH_QUALITY,
                         LQP_VOICE_QUALITY,
                         LQP_R3MIX,
                         LQP_VERYHIGH_QUALITY,
                         LQP_STANDARD,
                         LQP_FAST_STANDARD,
                         LQP_EXTREME,
                         LQP_FAST_EXTREME,
                         LQP_INSANE,
                         LQP_ABR,
                         LQP_CBR,
                         LQP_MEDIUM,
                         LQP_FAST_MEDIUM,
                         LQP_PHONE,
                         LQP_SW,
                         LQP_AM,
                         LQP_FM,
                         LQP_VOICE,
                         LQP_RADIO,
                         LQP_TAPE,
                         LQP_HIFI,
                         LQP_CD,
                         LQP_STUDIO};
  const auto pcm = mp3test::Sine(44100, 2, 44100 / 2, {1000.0, 1000.0}, 0.5);
  for (int p : presets) {
    SCOPED_TRACE(p);
    BE_CONFIG c = LameConfig(44100, BE_MP3_MODE_JSTEREO, 128);
    c.format.LHV1.nPreset = p;
    c.format.LHV1.dwVbrAbr_bps = 160000;
    const Encoded e = EncodeAll(c, pcm);
    ASSERT_EQ(e.initResult, BE_ERR_SUCCESSFUL);
    const auto d = mp3test::Decode(e.bytes);
    EXPECT_EQ(d.badFrames, 0);
    EXPECT_EQ(d.rate, 44100);
    EXPECT_EQ(d.channels, 2);  // no preset changes the channel count
    EXPECT_NEAR(ZeroCrossingFrequency(d.pcm[0], 44100, 4410, 20000), 1000.0, 3.0);
    if (p == LQP_PHONE) {
      for (unsigned b : d.bitrates) EXPECT_EQ(b, 32000u);  // 16 kbit/s is below MPEG I's table
    }
    if (p == LQP_STUDIO) {
      for (unsigned b : d.bitrates) EXPECT_EQ(b, 256000u);
    }
  }
}

// A sine encoded with one configuration and decoded by libmad: what the stream is
// and the tones it carries. Unset expectations are not checked.
struct ToneCase {
  const char* name;
  BE_CONFIG config;
  int inputRate;
  int inputChannels;
  std::vector<double> freqs;  // of each input channel
  double amp;
  // The stream.
  std::optional<uint32_t> samplesPerChunk;
  int rate;
  int channels;
  std::optional<int> mode;
  std::optional<int> mpegVersion;
  std::optional<bool> crc;
  std::optional<unsigned> kbps;  // of every frame
  // The decoded sound between from and to: the frequency of each channel (0: not
  // checked) within its tolerance, the RMS of the first, the length.
  std::size_t from = 0, to = 0;
  std::vector<double> tones = {};
  std::vector<double> tolerances = {};
  std::optional<double> rms = {};
  std::optional<double> samples = {};
};

BE_CONFIG Resampled(int rate, int mode, int kbps, int streamRate) {
  BE_CONFIG c = LameConfig(rate, mode, kbps);
  c.format.LHV1.dwReSampleRate = streamRate;
  return c;
}

// The simple form: MPEG I, constant bit rate, no CRC.
BE_CONFIG SimpleForm(int rate, int mode, int kbps) {
  BE_CONFIG c;
  std::memset(&c, 0, sizeof(c));
  c.dwConfig = BE_CONFIG_MP3;
  c.format.mp3.dwSampleRate = rate;
  c.format.mp3.byMode = static_cast<uint8_t>(mode);
  c.format.mp3.wBitrate = static_cast<uint16_t>(kbps);
  return c;
}

// MPEG II and II.5 rates: a 500 Hz and a 700 Hz channel within 1 % (the lowest rates
// carry little); a chunk is 576 frames of two channels.
ToneCase MpegTwo(const char* name, int rate, int kbps, int version) {
  return {name,
          LameConfig(rate, BE_MP3_MODE_JSTEREO, kbps, MPEG2),
          rate,
          2,
          {500.0, 700.0},
          0.5,
          1152u,
          rate,
          2,
          MAD_MODE_JOINT_STEREO,
          version,
          {},
          static_cast<unsigned>(kbps),
          static_cast<std::size_t>(rate / 10),
          static_cast<std::size_t>(rate * 9 / 10),
          {500.0, 700.0},
          {5.0, 7.0}};
}

const ToneCase kToneCases[] = {
    // A mono chunk is one frame.
    {"MonoChunkIsOneFrame",
     LameConfig(48000, BE_MP3_MODE_MONO, 64),
     48000,
     1,
     {440.0},
     0.25,
     1152u,
     48000,
     1,
     MAD_MODE_SINGLE_CHANNEL,
     {},
     {},
     {},
     4800,
     40000,
     {440.0},
     {1.0},
     0.25 / std::sqrt(2.0)},
    MpegTwo("MpegTwoAt22050", 22050, 64, 2),
    MpegTwo("MpegTwoAt24000", 24000, 96, 2),
    MpegTwo("MpegTwoAt16000", 16000, 48, 2),
    MpegTwo("MpegTwoPointFiveAt11025", 11025, 32, 25),
    MpegTwo("MpegTwoPointFiveAt8000", 8000, 16, 25),
    // Forced stereo is joint stereo.
    {"ForcedStereoIsJointStereo",
     LameConfig(44100, BE_MP3_MODE_DUALCHANNEL, 160),
     44100,
     2,
     {1000.0, 1000.0},
     0.5,
     {},
     44100,
     2,
     MAD_MODE_JOINT_STEREO,
     {},
     {},
     {},
     4410,
     40000,
     {0.0, 1000.0},
     {0.0, 2.0}},
    {"ResamplesToTheStreamRate",
     Resampled(48000, BE_MP3_MODE_STEREO, 128, 44100),
     48000,
     2,
     {1000.0, 2000.0},
     0.5,
     {},
     44100,
     2,
     {},
     {},
     {},
     {},
     4410,
     40000,
     {1000.0, 2000.0},
     {2.0, 4.0},
     {},
     44100.0},
    {"SimpleFormIsMpegOneCbr",
     SimpleForm(32000, BE_MP3_MODE_MONO, 56),
     32000,
     1,
     {800.0},
     0.5,
     1152u,
     32000,
     1,
     {},
     {},
     false,
     56u},
};

// A case shows as its name in test listings.
void PrintTo(const ToneCase& c, std::ostream* os) { *os << c.name; }

class LameEncTone : public LameEncLibrary, public ::testing::WithParamInterface<ToneCase> {};

TEST_P(LameEncTone, DecodesToTheSameTone) {
  const ToneCase& c = GetParam();
  const auto pcm = mp3test::Sine(c.inputRate, c.inputChannels, c.inputRate, c.freqs, c.amp);
  const Encoded e = EncodeAll(c.config, pcm);
  ASSERT_EQ(e.initResult, BE_ERR_SUCCESSFUL);
  if (c.samplesPerChunk) {
    EXPECT_EQ(e.samplesPerChunk, *c.samplesPerChunk);
  }
  EXPECT_LE(e.largestOutput, e.bufferSize);

  const auto d = mp3test::Decode(e.bytes);
  EXPECT_EQ(d.badFrames, 0);
  EXPECT_EQ(d.rate, c.rate);
  ASSERT_EQ(d.channels, c.channels);
  if (c.mode) {
    EXPECT_EQ(d.mode, *c.mode);
  }
  if (c.mpegVersion) {
    EXPECT_EQ(d.mpegVersion, *c.mpegVersion);
  }
  if (c.crc) {
    EXPECT_EQ(d.crc, *c.crc);
  }
  if (c.kbps) {
    for (unsigned b : d.bitrates) EXPECT_EQ(b, *c.kbps * 1000);
  }
  for (std::size_t ch = 0; ch < c.tones.size(); ++ch) {
    if (c.tones[ch] == 0.0) continue;
    SCOPED_TRACE(ch);
    EXPECT_NEAR(ZeroCrossingFrequency(d.pcm[ch], c.rate, c.from, c.to), c.tones[ch], c.tolerances[ch]);
  }
  if (c.rms) {
    EXPECT_NEAR(Rms(d.pcm[0], c.from, c.to), *c.rms, 0.01);
  }
  if (c.samples) {
    EXPECT_NEAR(d.samples(), *c.samples, 4 * 1152.0);
  }
}

INSTANTIATE_TEST_SUITE_P(Configurations, LameEncTone, ::testing::ValuesIn(kToneCases),
                         [](const ::testing::TestParamInfo<ToneCase>& info) { return info.param.name; });

TEST_F(LameEncLibrary, SimpleFormRefusesRatesOutsideMpegOne) {
  EXPECT_EQ(TryInit(SimpleForm(22050, BE_MP3_MODE_MONO, 56)), BE_ERR_INVALID_FORMAT_PARAMETERS);
}

TEST_F(LameEncLibrary, RefusesWhatItCannotEncode) {
  BE_CONFIG good = LameConfig(44100, BE_MP3_MODE_JSTEREO, 128);
  auto vbr = [](BE_CONFIG& c, int method, int quality) {
    c.format.LHV1.bEnableVBR = 1;
    c.format.LHV1.nVbrMethod = method;
    c.format.LHV1.nVBRQuality = quality;
  };
  const struct {
    const char* what;
    std::function<void(BE_CONFIG&)> change;
    BE_ERR expected;
  } cases[] = {
      {"the good configuration", [](BE_CONFIG&) {}, BE_ERR_SUCCESSFUL},
      {"an unknown form", [](BE_CONFIG& c) { c.dwConfig = 5; }, BE_ERR_INVALID_FORMAT},
      {"an old record version", [](BE_CONFIG& c) { c.format.LHV1.dwStructVersion = 2; },
       BE_ERR_INVALID_FORMAT_PARAMETERS},
      {"a short record", [](BE_CONFIG& c) { c.format.LHV1.dwStructSize = 330; },
       BE_ERR_INVALID_FORMAT_PARAMETERS},
      {"MPEG I at 22050 Hz",
       [](BE_CONFIG& c) { c.format.LHV1.dwSampleRate = c.format.LHV1.dwReSampleRate = 22050; },
       BE_ERR_INVALID_FORMAT_PARAMETERS},
      {"MPEG II at 44100 Hz", [](BE_CONFIG& c) { c = LameConfig(44100, BE_MP3_MODE_JSTEREO, 64, MPEG2); },
       BE_ERR_INVALID_FORMAT_PARAMETERS},
      {"no such MPEG II bit rate",
       [](BE_CONFIG& c) { c = LameConfig(22050, BE_MP3_MODE_JSTEREO, 192, MPEG2); },
       BE_ERR_INVALID_FORMAT_PARAMETERS},
      {"no such bit rate", [](BE_CONFIG& c) { c.format.LHV1.dwBitrate = 100; },
       BE_ERR_INVALID_FORMAT_PARAMETERS},
      {"no bit rate", [](BE_CONFIG& c) { c.format.LHV1.dwBitrate = 0; }, BE_ERR_INVALID_FORMAT_PARAMETERS},
      {"no such rate",
       [](BE_CONFIG& c) { c.format.LHV1.dwSampleRate = c.format.LHV1.dwReSampleRate = 12345; },
       BE_ERR_INVALID_FORMAT_PARAMETERS},
      {"no rate", [](BE_CONFIG& c) { c.format.LHV1.dwSampleRate = 0; }, BE_ERR_INVALID_FORMAT_PARAMETERS},
      {"no such mode", [](BE_CONFIG& c) { c.format.LHV1.nMode = 4; }, BE_ERR_INVALID_FORMAT_PARAMETERS},
      {"no such MPEG version", [](BE_CONFIG& c) { c.format.LHV1.dwMpegVersion = 2; },
       BE_ERR_INVALID_FORMAT_PARAMETERS},
      {"no such emphasis", [](BE_CONFIG& c) { c.format.LHV1.dwEmphasis = 2; },
       BE_ERR_INVALID_FORMAT_PARAMETERS},
      {"no such preset", [](BE_CONFIG& c) { c.format.LHV1.nPreset = 99; }, BE_ERR_INVALID_FORMAT_PARAMETERS},
      {"VBR quality 10", [&](BE_CONFIG& c) { vbr(c, VBR_METHOD_NEW, 10); }, BE_ERR_INVALID_FORMAT_PARAMETERS},
      {"VBR quality 9", [&](BE_CONFIG& c) { vbr(c, VBR_METHOD_NEW, 9); }, BE_ERR_SUCCESSFUL},
      {"ABR at 4000 bit/s",
       [&](BE_CONFIG& c) {
         vbr(c, VBR_METHOD_ABR, 9);
         c.format.LHV1.dwVbrAbr_bps = 4000;
       },
       BE_ERR_INVALID_FORMAT_PARAMETERS},
      {"ABR at 128000 bit/s",
       [&](BE_CONFIG& c) {
         vbr(c, VBR_METHOD_ABR, 9);
         c.format.LHV1.dwVbrAbr_bps = 128000;
       },
       BE_ERR_SUCCESSFUL},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    BE_CONFIG config = good;
    c.change(config);
    EXPECT_EQ(TryInit(config), c.expected);
  }

  uint32_t samples = 0, size = 0;
  HBE_STREAM h = 0;
  EXPECT_EQ(Lib().init(nullptr, &samples, &size, &h), BE_ERR_INVALID_FORMAT_PARAMETERS);
  EXPECT_EQ(Lib().init(&good, nullptr, &size, &h), BE_ERR_INVALID_FORMAT_PARAMETERS);
}

TEST_F(LameEncLibrary, StreamsAreIndependent) {
  const BE_CONFIG c = LameConfig(44100, BE_MP3_MODE_JSTEREO, 128);
  const auto pcm = mp3test::Sine(44100, 2, 44100, {1000.0, 1200.0}, 0.5);
  const Encoded alone = EncodeAll(c, pcm);
  ASSERT_EQ(alone.initResult, BE_ERR_SUCCESSFUL);

  // Two streams open at once, fed in turns, give the same bytes as one alone.
  BE_CONFIG c1 = c, c2 = c;
  uint32_t s1, s2, b1, b2;
  HBE_STREAM h1 = 0, h2 = 0;
  ASSERT_EQ(Lib().init(&c1, &s1, &b1, &h1), BE_ERR_SUCCESSFUL);
  ASSERT_EQ(Lib().init(&c2, &s2, &b2, &h2), BE_ERR_SUCCESSFUL);
  EXPECT_NE(h1, 0u);
  EXPECT_NE(h2, 0u);
  EXPECT_NE(h1, h2);
  std::vector<uint8_t> out1, out2, buf(b1);
  for (size_t pos = 0; pos < pcm.size(); pos += s1) {
    const uint32_t n = static_cast<uint32_t>(std::min<size_t>(s1, pcm.size() - pos));
    uint32_t bytes = 0;
    ASSERT_EQ(Lib().encode(h1, n, pcm.data() + pos, buf.data(), &bytes), 0u);
    out1.insert(out1.end(), buf.begin(), buf.begin() + bytes);
    ASSERT_EQ(Lib().encode(h2, n, pcm.data() + pos, buf.data(), &bytes), 0u);
    out2.insert(out2.end(), buf.begin(), buf.begin() + bytes);
  }
  uint32_t bytes = 0;
  ASSERT_EQ(Lib().deinit(h1, buf.data(), &bytes), 0u);
  out1.insert(out1.end(), buf.begin(), buf.begin() + bytes);
  ASSERT_EQ(Lib().deinit(h2, buf.data(), &bytes), 0u);
  out2.insert(out2.end(), buf.begin(), buf.begin() + bytes);
  EXPECT_EQ(Lib().close(h1), 0u);
  EXPECT_EQ(Lib().close(h2), 0u);
  EXPECT_EQ(out1, alone.bytes);
  EXPECT_EQ(out2, alone.bytes);
}

TEST_F(LameEncLibrary, StreamsOnTwoThreadsAtOnce) {
  const BE_CONFIG c = LameConfig(44100, BE_MP3_MODE_JSTEREO, 128);
  const auto pcm = mp3test::Sine(44100, 2, 3 * 44100, {1000.0, 1200.0}, 0.5);
  const Encoded alone = EncodeAll(c, pcm);
  Encoded r[4];
  std::vector<std::thread> threads;
  for (auto& e : r) threads.emplace_back([&e, &c, &pcm] { e = EncodeAll(c, pcm); });
  for (auto& t : threads) t.join();
  for (const auto& e : r) EXPECT_EQ(e.bytes, alone.bytes);
}

// A stream that asks for the information frame begins with a blank frame; the
// frame the library fills in afterwards tells every audio frame, and an
// outside gapless decoder then gives back exactly the samples encoded. Asked
// before the flush, it tells the frames given so far. A stream that does not
// ask has no such frame.
TEST_F(LameEncLibrary, TheInformationFrameTellsTheStream) {
  struct Case {
    const char* name;
    int rate, mode, kbps, mpeg;
    bool vbr;
  } cases[] = {
      {"cbr", 44100, BE_MP3_MODE_JSTEREO, 128, MPEG1, false},
      {"vbr", 44100, BE_MP3_MODE_JSTEREO, 32, MPEG1, true},
      {"mpeg2 mono", 22050, BE_MP3_MODE_MONO, 64, MPEG2, false},
  };
  // (A CBR frame too small to hold the frame's fields, such as 48 kbit/s
  // mono, gets none: the encoder then keeps no blank frame either.)
  testsupport::TempFolder dir;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    BE_CONFIG c = LameConfig(k.rate, k.mode, k.kbps, k.mpeg);
    c.format.LHV1.bWriteVBRHeader = 1;
    if (k.vbr) {
      c.format.LHV1.bEnableVBR = 1;
      c.format.LHV1.nVBRQuality = 4;
      c.format.LHV1.nVbrMethod = VBR_METHOD_NEW;
    }
    const int channels = k.mode == BE_MP3_MODE_MONO ? 1 : 2;
    const size_t frames = static_cast<size_t>(k.rate) * 3 / 2 + 99;
    const auto pcm = mp3test::Sine(k.rate, channels, frames, {500.0, 700.0}, 0.4);

    uint32_t samples = 0, size = 0, bytes = 0;
    HBE_STREAM h = 0;
    ASSERT_EQ(Lib().init(&c, &samples, &size, &h), BE_ERR_SUCCESSFUL);
    std::vector<uint8_t> out(size), stream, info(size);
    for (size_t pos = 0; pos < pcm.size(); pos += samples) {
      const uint32_t n = static_cast<uint32_t>(std::min<size_t>(samples, pcm.size() - pos));
      ASSERT_EQ(Lib().encode(h, n, pcm.data() + pos, out.data(), &bytes), BE_ERR_SUCCESSFUL);
      stream.insert(stream.end(), out.begin(), out.begin() + bytes);
      if (pos == pcm.size() / 2 / samples * samples) {
        // Half way: the frame tells what the stream has given so far.
        uint32_t infoBytes = 0;
        ASSERT_EQ(Lib().infoTag(h, info.data(), &infoBytes), BE_ERR_SUCCESSFUL);
        ASSERT_GT(infoBytes, 0u);
        std::vector<uint8_t> part(stream);
        std::copy(info.begin(), info.begin() + infoBytes, part.begin());
        const auto d = mp3test::Decode(part);
        EXPECT_TRUE(d.infoFrame);
        EXPECT_EQ(d.infoFrameCount, d.frames);
        EXPECT_EQ(d.badFrames, 0);
      }
    }
    ASSERT_EQ(Lib().deinit(h, out.data(), &bytes), BE_ERR_SUCCESSFUL);
    stream.insert(stream.end(), out.begin(), out.begin() + bytes);
    // Before the frame is filled in, the first frame is blank: no mark.
    EXPECT_FALSE(mp3test::Decode(stream).infoFrame);
    uint32_t infoBytes = 0;
    ASSERT_EQ(Lib().infoTag(h, info.data(), &infoBytes), BE_ERR_SUCCESSFUL);
    EXPECT_EQ(Lib().close(h), BE_ERR_SUCCESSFUL);
    ASSERT_GT(infoBytes, 0u);
    std::copy(info.begin(), info.begin() + infoBytes, stream.begin());
    const auto d = mp3test::Decode(stream);
    EXPECT_TRUE(d.infoFrame);
    EXPECT_EQ(d.infoFrameCount, d.frames);
    EXPECT_EQ(d.badFrames, 0);

    if (audiotest::HaveOutsideMp3Decoder()) {
      const std::string file = dir / (std::string(k.name) + ".mp3");
      testsupport::WriteBytes(file, std::vector<unsigned char>(stream.begin(), stream.end()));
      const audiotest::Decoded outside = audiotest::DecodeMp3Outside(file);
      ASSERT_TRUE(outside.ok);
      EXPECT_EQ(outside.frames(), static_cast<std::int64_t>(frames));
      EXPECT_NEAR(audiotest::Mp3AnnouncedSeconds(file), static_cast<double>(frames) / k.rate, 0.02);
    }
  }

  // Not asked for: no blank frame, and no information frame to fill in.
  BE_CONFIG c = LameConfig(44100, BE_MP3_MODE_STEREO, 128);
  const auto pcm = mp3test::Sine(44100, 2, 44100, {1000.0, 1000.0}, 0.5);
  const Encoded e = EncodeAll(c, pcm);
  EXPECT_EQ(e.infoFrameBytes, 0u);
  const auto d = mp3test::Decode(e.bytes);
  EXPECT_FALSE(d.infoFrame);
  EXPECT_GT(Rms(d.pcm[0], 0, 1152), 0.0);
  uint32_t bytes = 99;
  std::vector<uint8_t> out(8192);
  EXPECT_EQ(Lib().infoTag(0, out.data(), &bytes), BE_ERR_INVALID_HANDLE);
}

TEST_F(LameEncLibrary, BadHandlesAndCounts) {
  BE_CONFIG c = LameConfig(44100, BE_MP3_MODE_STEREO, 128);
  uint32_t samples = 0, size = 0, bytes = 99;
  HBE_STREAM h = 0;
  ASSERT_EQ(Lib().init(&c, &samples, &size, &h), 0u);
  std::vector<uint8_t> out(size);
  std::vector<int16_t> pcm(samples, 0);
  EXPECT_EQ(Lib().encode(0, samples, pcm.data(), out.data(), &bytes), BE_ERR_INVALID_HANDLE);
  EXPECT_EQ(Lib().encode(h + 1000, samples, pcm.data(), out.data(), &bytes), BE_ERR_INVALID_HANDLE);
  EXPECT_EQ(Lib().encode(h, 3, pcm.data(), out.data(), &bytes), BE_ERR_INVALID_FORMAT_PARAMETERS);
  EXPECT_EQ(bytes, 0u);
  EXPECT_EQ(Lib().encode(h, 0, nullptr, out.data(), &bytes), 0u);
  EXPECT_EQ(bytes, 0u);
  EXPECT_EQ(Lib().deinit(h, out.data(), &bytes), 0u);
  // Flushed: no more samples.
  EXPECT_EQ(Lib().encode(h, samples, pcm.data(), out.data(), &bytes), BE_ERR_INVALID_HANDLE);
  EXPECT_EQ(Lib().deinit(h, out.data(), &bytes), BE_ERR_INVALID_HANDLE);
  EXPECT_EQ(Lib().close(h), 0u);
  EXPECT_EQ(Lib().close(h), BE_ERR_INVALID_HANDLE);
  EXPECT_EQ(Lib().close(0), BE_ERR_INVALID_HANDLE);
}

TEST_F(LameEncLibrary, LoudNoiseAtTheTopRateFitsTheBuffer) {
  BE_CONFIG c = LameConfig(48000, BE_MP3_MODE_STEREO, 320);
  const std::vector<int16_t> pcm = Noise(2 * 48000, 3);
  const Encoded e = EncodeAll(c, pcm);
  ASSERT_EQ(e.initResult, BE_ERR_SUCCESSFUL);
  EXPECT_LE(e.largestOutput, e.bufferSize);
  EXPECT_EQ(mp3test::Decode(e.bytes).badFrames, 0);
}
