// The MP3 encoder library binding over our "lame_enc" library.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <thread>

#include "app/settings/FileEncodeOptions.h"
#include "audiofiles/io/LameEncoder.h"
#include "tests/support/native/AudioAnalysis.h"
#include "tests/support/native/Mp3Decode.h"
#include "tests/support/native/TempFolder.h"

namespace {

using audiotest::Rms;
using audiotest::ZeroCrossingFrequency;

const std::string kPartialLibraryDir =
    std::string(TARVEL_TEST_BINARY_DIR) + "/tests/fixtures/lame_enc_partial";

// Sets the binding's search path for one test and puts the old one back.
class SearchPathGuard {
public:
  explicit SearchPathGuard(const std::string& path) : m_old(LameEncoder::GetLibrarySearchPath()) {
    LameEncoder::SetLibrarySearchPath(path);
  }
  ~SearchPathGuard() { LameEncoder::SetLibrarySearchPath(m_old); }

private:
  std::string m_old;
};

FileEncodeOptions Mp3Options(int version, int rate, int encodeMode, int channelMode, int kbps) {
  FileEncodeOptions o;
  o.MP3Version = version;
  o.MP3SampleRate = rate;
  o.MP3EncodeMode = encodeMode;
  o.MP3ChannelMode = channelMode;
  o.MP3BitRate = kbps;
  o.MP3VBRMaxBitRate = 320;
  o.MP3ABRBitRate = 128000;
  o.MP3VBRQuality = 4;
  return o;
}

// Feeds interleaved pcm the way the exporter does: full chunks with
// EncodeChunk, the tail with EncodeSamples, then Finish, and the information
// frame over the stream's first bytes.
std::vector<uint8_t> EncodeThrough(LameEncoder& enc, int chunkFrames, int channels,
                                   const std::vector<int16_t>& pcm) {
  std::vector<uint8_t> out(enc.GetOutputBufferSize()), bytes;
  const size_t chunkValues = static_cast<size_t>(chunkFrames) * channels;
  for (size_t pos = 0; pos < pcm.size(); pos += chunkValues) {
    const size_t n = std::min(chunkValues, pcm.size() - pos);
    int got;
    if (n == chunkValues)
      got = channels == 2 ? enc.EncodeChunk(pcm.data() + pos, out.data())
                          : enc.EncodeMonoChunk(pcm.data() + pos, out.data());
    else
      got = channels == 2 ? enc.EncodeSamples(pcm.data() + pos, static_cast<int>(n), out.data())
                          : enc.EncodeMonoSamples(pcm.data() + pos, static_cast<int>(n), out.data());
    EXPECT_GE(got, 0);
    if (got > 0) bytes.insert(bytes.end(), out.begin(), out.begin() + got);
  }
  const int last = enc.Finish(out.data());
  EXPECT_GE(last, 0);
  if (last > 0) bytes.insert(bytes.end(), out.begin(), out.begin() + last);
  const std::vector<unsigned char> info = enc.GetInfoFrame();
  EXPECT_LE(info.size(), bytes.size());
  if (info.size() <= bytes.size()) std::copy(info.begin(), info.end(), bytes.begin());
  return bytes;
}

class LameEncoderTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_EQ(enc.Load(), 1) << enc.GetLastError(); }
  LameEncoder enc;
};

}  // namespace

TEST(LameEncoderLoad, FindsTheBuildsLibraryByItsWindowsName) {
  LameEncoder enc;
  EXPECT_EQ(enc.IsLoaded(), 0);
  EXPECT_EQ(enc.GetVersionText(), "");
  ASSERT_EQ(enc.Load(), 1) << enc.GetLastError();
  EXPECT_EQ(enc.IsLoaded(), 1);
  EXPECT_EQ(enc.GetLibraryPath(), "lame_enc.dll");
  const std::string file = enc.GetLoadedFile();
  EXPECT_EQ(file.substr(file.size() - 11), "lame_enc.so");
  EXPECT_EQ(enc.GetVersionText(), "LAME v3.100");
  EXPECT_EQ(enc.GetVersion().byMajorVersion, 3);
  // A second Load with the library held only resolves the entry points again.
  EXPECT_EQ(enc.Load(), 1);
  EXPECT_EQ(enc.IsLoaded(), 1);
}

TEST(LameEncoderLoad, SearchPathMayNameAFolderOrAFile) {
  const std::string dir = std::string(TARVEL_TEST_BINARY_DIR) + "/bin";
  {
    SearchPathGuard guard(dir);
    LameEncoder enc;
    ASSERT_EQ(enc.Load(), 1);
    EXPECT_EQ(enc.GetLoadedFile(), dir + "/lame_enc.so");
  }
  {
    SearchPathGuard guard(dir + "/lame_enc.so");
    LameEncoder enc;
    ASSERT_EQ(enc.Load(), 1);
    EXPECT_EQ(enc.GetLoadedFile(), dir + "/lame_enc.so");
  }
}

TEST(LameEncoderLoad, MissingLibraryFailsLoadAndEveryStreamOperation) {
  testsupport::TempFolder empty;
  SearchPathGuard guard(empty.path());
  LameEncoder enc;
  EXPECT_EQ(enc.Load(), 0);
  EXPECT_EQ(enc.IsLoaded(), 0);
  EXPECT_EQ(enc.GetLoadedFile(), "");
  EXPECT_EQ(enc.GetLibraryPath(), "");
  EXPECT_NE(enc.GetLastError(), "");
  EXPECT_EQ(enc.GetVersionText(), "");
  FileEncodeOptions o;
  EXPECT_EQ(enc.InitStream(&o), -1);
  EXPECT_EQ(enc.InitSimple(0, 44100), -1);
  EXPECT_FALSE(enc.IsStreamOpen());
  short pcm[4] = {};
  unsigned char out[16];
  EXPECT_EQ(enc.GetOutputBufferSize(), -1);
  EXPECT_EQ(enc.EncodeChunk(pcm, out), -1);
  EXPECT_EQ(enc.EncodeSamples(pcm, 4, out), -1);
  EXPECT_EQ(enc.EncodeMonoChunk(pcm, out), -1);
  EXPECT_EQ(enc.EncodeMonoSamples(pcm, 4, out), -1);
  EXPECT_EQ(enc.Finish(out), -1);
  EXPECT_EQ(enc.CloseStream(), -1);
  EXPECT_EQ(enc.Load(), 0);
}

TEST(LameEncoderLoad, EnvironmentVariableAlsoPointsTheSearch) {
  testsupport::TempFolder empty;
  ASSERT_EQ(LameEncoder::GetLibrarySearchPath(), "");
  ::setenv("TARVEL_LAME_ENC", empty.path().c_str(), 1);
  LameEncoder missing;
  EXPECT_EQ(missing.Load(), 0);
  ::setenv("TARVEL_LAME_ENC", (std::string(TARVEL_TEST_BINARY_DIR) + "/bin").c_str(), 1);
  LameEncoder found;
  EXPECT_EQ(found.Load(), 1);
  ::unsetenv("TARVEL_LAME_ENC");
}

TEST(LameEncoderLoad, LibraryWithoutBeVersionIsNotUsable) {
  SearchPathGuard guard(kPartialLibraryDir);
  LameEncoder enc;
  EXPECT_EQ(enc.Load(), 0);
  EXPECT_EQ(enc.IsLoaded(), 0);
  // The module stays loaded, and Load keeps returning 0.
  EXPECT_EQ(enc.GetLoadedFile(), kPartialLibraryDir + "/lame_enc.so");
  EXPECT_EQ(enc.Load(), 0);
  FileEncodeOptions o;
  EXPECT_EQ(enc.InitStream(&o), -1);
}

TEST(LameEncoderLoad, OneProcessWideBinding) {
  LameEncoder* a = GetLameEncoder();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(GetLameEncoder(), a);
  EXPECT_EQ(a->Load(), 1);
  EXPECT_EQ(a->IsLoaded(), 1);
  DestroyLameEncoder();
  LameEncoder* b = GetLameEncoder();
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->IsLoaded(), 0);  // a new binding, loaded on its first Load
}

TEST(LameEncoderLoad, ExitWithAStreamStillOpenIsClean) {
  // The exit handler closes the stream after the library's own statics are gone.
  EXPECT_EXIT(
      {
        LameEncoder* enc = GetLameEncoder();
        FileEncodeOptions o;
        if (enc->Load() != 1 || enc->InitStream(&o) <= 0) std::exit(2);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(LameEncoderConfig, ConstructorPrefill) {
  LameEncoder enc;
  const BE_CONFIG& c = enc.GetConfig();
  EXPECT_EQ(c.dwConfig, 256u);
  EXPECT_EQ(c.format.LHV1.dwStructVersion, 1u);
  EXPECT_EQ(c.format.LHV1.dwStructSize, 331u);
  EXPECT_EQ(c.format.LHV1.dwBitrate, 128u);
  EXPECT_EQ(c.format.LHV1.dwMaxBitrate, 320u);
  EXPECT_EQ(c.format.LHV1.nPreset, 4);
  EXPECT_EQ(c.format.LHV1.dwMpegVersion, 1u);
  EXPECT_EQ(c.format.LHV1.bCRC, 1);
  EXPECT_EQ(c.format.LHV1.bNoRes, 0);
  EXPECT_EQ(c.format.LHV1.nVBRQuality, 5);
  EXPECT_EQ(static_cast<int32_t>(c.format.LHV1.dwVbrAbr_bps), -1);
  EXPECT_EQ(c.format.LHV1.dwSampleRate, 0u);
  EXPECT_EQ(c.format.LHV1.nMode, 0);
  EXPECT_EQ(enc.GetBitrate(), 128);
  EXPECT_EQ(enc.ReservedQuery(), -1);
  EXPECT_EQ(enc.ReservedFlag(), 1);
  EXPECT_EQ(enc.ReservedQuery2(), -1);
  enc.ReservedSetting(7);
  EXPECT_EQ(enc.GetOutputBufferSize(), -1);
}

TEST_F(LameEncoderTest, CbrConfiguration) {
  FileEncodeOptions o = Mp3Options(0, 44100, 0, 1, 128);
  o.MP3VBRMaxBitRate = 256;
  enc.SetBitrate(64);
  EXPECT_EQ(enc.InitStream(&o), 1152);
  EXPECT_TRUE(enc.IsHalved());
  EXPECT_EQ(enc.GetBitrate(), 128);
  const auto& l = enc.GetConfig().format.LHV1;
  EXPECT_EQ(enc.GetConfig().dwConfig, 256u);
  EXPECT_EQ(l.dwStructVersion, 1u);
  EXPECT_EQ(l.dwStructSize, 331u);
  EXPECT_EQ(l.dwSampleRate, 44100u);
  EXPECT_EQ(l.dwReSampleRate, 44100u);
  EXPECT_EQ(l.nMode, 0);
  EXPECT_EQ(l.dwBitrate, 128u);
  EXPECT_EQ(l.dwMaxBitrate, 0u);
  EXPECT_EQ(l.nPreset, 0);
  EXPECT_EQ(l.dwMpegVersion, 1u);
  EXPECT_EQ(l.dwPsyModel, 0u);
  EXPECT_EQ(l.dwEmphasis, 0u);
  EXPECT_EQ(l.bPrivate, 0);
  EXPECT_EQ(l.bCopyright, 0);
  EXPECT_EQ(l.bOriginal, 0);
  EXPECT_EQ(l.bCRC, 1);
  // CBR streams too begin with the information frame: the library can fill it in.
  EXPECT_EQ(l.bWriteVBRHeader, 1);
  EXPECT_EQ(l.bEnableVBR, 0);
  EXPECT_EQ(l.nVBRQuality, 0);
  EXPECT_EQ(l.dwVbrAbr_bps, 0u);
  EXPECT_EQ(l.nVbrMethod, -1);
  EXPECT_EQ(l.bNoRes, 1);
  EXPECT_EQ(l.bStrictIso, 0);
  EXPECT_EQ(l.nQuality, 0);
  for (uint8_t b : l.btReserved) EXPECT_EQ(b, 0);
  EXPECT_EQ(o.MP3VBRMaxBitRate, 256);  // not lowered
  EXPECT_GE(enc.GetOutputBufferSize(), 7200);
  unsigned char out[16384];
  EXPECT_GE(enc.Finish(out), 0);
}

TEST_F(LameEncoderTest, AbrAndVbrConfiguration) {
  FileEncodeOptions o = Mp3Options(0, 48000, 1, 2, 128);
  o.MP3VBRMaxBitRate = 224;
  o.MP3ABRBitRate = 160000;
  o.MP3VBRQuality = 3;
  ASSERT_EQ(enc.InitStream(&o), 1152);
  {
    const auto& l = enc.GetConfig().format.LHV1;
    EXPECT_EQ(l.nMode, 1);
    EXPECT_EQ(l.dwMaxBitrate, 224u);
    EXPECT_EQ(l.bWriteVBRHeader, 1);
    EXPECT_EQ(l.bEnableVBR, 1);
    EXPECT_EQ(l.nVBRQuality, 3);
    EXPECT_EQ(l.dwVbrAbr_bps, 160000u);
    EXPECT_EQ(l.nVbrMethod, 4);
  }
  std::vector<unsigned char> out(enc.GetOutputBufferSize());
  enc.Finish(out.data());

  o.MP3EncodeMode = 2;
  ASSERT_EQ(enc.InitStream(&o), 1152);
  {
    const auto& l = enc.GetConfig().format.LHV1;
    EXPECT_EQ(l.dwMaxBitrate, 224u);
    EXPECT_EQ(l.bEnableVBR, 1);
    EXPECT_EQ(static_cast<int32_t>(l.dwVbrAbr_bps), -1);
    EXPECT_EQ(l.nVbrMethod, 2);
  }
  enc.Finish(out.data());
}

TEST_F(LameEncoderTest, BitRateAboveTheMaximumRaisesTheStoredMaximum) {
  FileEncodeOptions o = Mp3Options(0, 44100, 2, 1, 192);
  o.MP3VBRMaxBitRate = 160;
  ASSERT_GT(enc.InitStream(&o), 0);
  EXPECT_EQ(o.MP3VBRMaxBitRate, 192);
  EXPECT_EQ(enc.GetConfig().format.LHV1.dwMaxBitrate, 192u);
  std::vector<unsigned char> out(enc.GetOutputBufferSize());
  enc.Finish(out.data());
}

TEST_F(LameEncoderTest, MpegVersionsAndChannelModes) {
  std::vector<unsigned char> out(65536);
  struct Case {
    int version, rate, kbps, channelMode;
    uint32_t mpeg;
    int mode, chunk;
  } cases[] = {
      {0, 44100, 128, 1, 1, 0, 1152}, {1, 22050, 64, 1, 0, 0, 576},   {2, 11025, 32, 2, 0, 1, 576},
      {5, 32000, 96, 3, 1, 2, 1152},  {-1, 48000, 64, 0, 1, 3, 1152},  // mono: an unhalved chunk
      {0, 44100, 128, 7, 1, 0, 1152},                                  // another channel mode: stereo
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version * 100 + c.channelMode);
    FileEncodeOptions o = Mp3Options(c.version, c.rate, 0, c.channelMode, c.kbps);
    EXPECT_EQ(enc.InitStream(&o), c.chunk);
    EXPECT_EQ(enc.GetConfig().format.LHV1.dwMpegVersion, c.mpeg);
    EXPECT_EQ(enc.GetConfig().format.LHV1.nMode, c.mode);
    EXPECT_EQ(enc.IsHalved(), c.channelMode != 0);
    EXPECT_GE(enc.Finish(out.data()), 0);
  }
}

TEST_F(LameEncoderTest, RefusedConfigurationOpensNoStream) {
  // MPEG I has no 22050 Hz: the library refuses, the binding reports it.
  FileEncodeOptions o = Mp3Options(0, 22050, 0, 1, 128);
  EXPECT_EQ(enc.InitStream(&o), -1);
  EXPECT_FALSE(enc.IsStreamOpen());
  EXPECT_NE(enc.GetLastError().find("refused"), std::string::npos);
  EXPECT_EQ(enc.GetOutputBufferSize(), -1);
  short pcm[2304] = {};
  std::vector<unsigned char> out(16384);
  EXPECT_EQ(enc.EncodeChunk(pcm, out.data()), -1);
  EXPECT_EQ(enc.EncodeSamples(pcm, 2304, out.data()), -1);
  EXPECT_EQ(enc.Finish(out.data()), -1);

  // No such MPEG II bit rate; VBR quality out of range; an unknown rate.
  o = Mp3Options(1, 22050, 0, 1, 192);
  EXPECT_EQ(enc.InitStream(&o), -1);
  o = Mp3Options(0, 44100, 2, 1, 128);
  o.MP3VBRQuality = 12;
  EXPECT_EQ(enc.InitStream(&o), -1);
  o = Mp3Options(0, 44000, 0, 1, 128);
  EXPECT_EQ(enc.InitStream(&o), -1);
  EXPECT_EQ(enc.InitStream(nullptr), -1);

  // A good configuration afterwards opens as usual.
  o = Mp3Options(0, 44100, 0, 1, 128);
  EXPECT_EQ(enc.InitStream(&o), 1152);
  EXPECT_TRUE(enc.IsStreamOpen());
  EXPECT_EQ(enc.GetLastError(), "");
  EXPECT_GE(enc.Finish(out.data()), 0);
}

TEST_F(LameEncoderTest, StereoSineComesBackAsItWent) {
  const int rate = 44100;
  const size_t frames = 2 * rate + 777;  // not a whole number of chunks
  FileEncodeOptions o = Mp3Options(0, rate, 0, 1, 192);
  const int chunk = enc.InitStream(&o);
  ASSERT_EQ(chunk, 1152);
  const auto pcm = mp3test::Sine(rate, 2, frames, {1000.0, 440.0}, 0.5);
  const auto bytes = EncodeThrough(enc, chunk, 2, pcm);
  EXPECT_FALSE(enc.IsStreamOpen());

  const auto d = mp3test::Decode(bytes);
  EXPECT_EQ(d.badFrames, 0);
  EXPECT_EQ(d.layer, 3);
  EXPECT_EQ(d.mpegVersion, 1);
  EXPECT_EQ(d.rate, rate);
  ASSERT_EQ(d.channels, 2);
  EXPECT_TRUE(d.crc);
  for (unsigned b : d.bitrates) EXPECT_EQ(b, 192000u);
  // Length: the input and the codec's delay (576 encoder + 529 decoder
  // samples), rounded up to whole frames.
  EXPECT_GE(d.samples(), frames + 1105);
  EXPECT_LE(d.samples(), frames + 1105 + 2 * 1152);
  const size_t onset = mp3test::FirstAbove(d.pcm[0], 0.05f);
  EXPECT_NEAR(static_cast<double>(onset), 1105.0, 200.0);
  const size_t a = onset + 2205, b = onset + frames - 2205;
  EXPECT_NEAR(ZeroCrossingFrequency(d.pcm[0], rate, a, b), 1000.0, 1.0);
  EXPECT_NEAR(ZeroCrossingFrequency(d.pcm[1], rate, a, b), 440.0, 0.5);
  const double expected = 0.5 / std::sqrt(2.0);
  EXPECT_NEAR(20 * std::log10(Rms(d.pcm[0], a, b) / expected), 0.0, 0.5);
  EXPECT_NEAR(20 * std::log10(Rms(d.pcm[1], a, b) / expected), 0.0, 0.5);
  // The tail held in the last partial chunk came through: sound up to the end.
  EXPECT_GT(Rms(d.pcm[0], onset + frames - 600, onset + frames - 100), 0.3);
  EXPECT_LT(Rms(d.pcm[0], onset + frames + 300, d.samples()), 0.01);
}

TEST_F(LameEncoderTest, MonoSineThroughTheOneChannelEntries) {
  const int rate = 22050;
  const size_t frames = rate + 100;
  FileEncodeOptions o = Mp3Options(1, rate, 0, 0, 64);
  const int chunk = enc.InitStream(&o);
  ASSERT_EQ(chunk, 576);
  EXPECT_FALSE(enc.IsHalved());
  const auto pcm = mp3test::Sine(rate, 1, frames, {300.0}, 0.25);
  const auto d = mp3test::Decode(EncodeThrough(enc, chunk, 1, pcm));
  EXPECT_EQ(d.badFrames, 0);
  EXPECT_EQ(d.mpegVersion, 2);
  EXPECT_EQ(d.rate, rate);
  ASSERT_EQ(d.channels, 1);
  EXPECT_GE(d.samples(), frames + 576);
  EXPECT_LE(d.samples(), frames + 1105 + 3 * 576);
  EXPECT_NEAR(ZeroCrossingFrequency(d.pcm[0], rate, 2000, frames - 1000), 300.0, 0.5);
  EXPECT_NEAR(20 * std::log10(Rms(d.pcm[0], 2000, frames - 1000) / (0.25 / std::sqrt(2.0))), 0.0, 0.5);
}

TEST_F(LameEncoderTest, VbrAndAbrStreamsDecode) {
  for (int mode : {1, 2}) {
    SCOPED_TRACE(mode);
    FileEncodeOptions o = Mp3Options(0, 44100, mode, 2, 64);
    o.MP3VBRMaxBitRate = 256;
    o.MP3ABRBitRate = 128000;
    const int chunk = enc.InitStream(&o);
    ASSERT_EQ(chunk, 1152);
    const auto pcm = mp3test::Sine(44100, 2, 44100, {2000.0, 3000.0}, 0.5);
    const auto d = mp3test::Decode(EncodeThrough(enc, chunk, 2, pcm));
    EXPECT_EQ(d.badFrames, 0);
    ASSERT_EQ(d.channels, 2);
    for (unsigned b : d.bitrates) {
      EXPECT_GE(b, 64000u);
      EXPECT_LE(b, 256000u);
    }
    EXPECT_NEAR(ZeroCrossingFrequency(d.pcm[0], 44100, 4410, 40000), 2000.0, 2.0);
    EXPECT_NEAR(ZeroCrossingFrequency(d.pcm[1], 44100, 4410, 40000), 3000.0, 3.0);
  }
}

TEST_F(LameEncoderTest, InitSimple) {
  std::vector<unsigned char> out(65536);
  enc.SetBitrate(96);
  EXPECT_EQ(enc.InitSimple(1, 44100), 1152);  // mono
  EXPECT_EQ(enc.GetConfig().dwConfig, static_cast<uint32_t>(BE_CONFIG_MP3));
  EXPECT_EQ(static_cast<int>(enc.GetConfig().format.mp3.byMode), BE_MP3_MODE_MONO);
  EXPECT_EQ(static_cast<int>(enc.GetConfig().format.mp3.wBitrate), 96);
  EXPECT_EQ(enc.GetConfig().format.mp3.dwSampleRate, 44100u);
  enc.Finish(out.data());
  EXPECT_EQ(enc.InitSimple(2, 48000), 1152);  // stereo, halved
  EXPECT_TRUE(enc.IsHalved());
  EXPECT_EQ(static_cast<int>(enc.GetConfig().format.mp3.byMode), BE_MP3_MODE_STEREO);
  enc.Finish(out.data());
  EXPECT_EQ(enc.InitSimple(0, 32000), 2304);  // stereo, as the library counts
  EXPECT_FALSE(enc.IsHalved());
  enc.Finish(out.data());
  EXPECT_EQ(enc.InitSimple(0, 22050), -1);  // not an MPEG I rate
}

TEST_F(LameEncoderTest, CloseStreamEndsTheStream) {
  FileEncodeOptions o;
  ASSERT_GT(enc.InitStream(&o), 0);
  EXPECT_EQ(enc.CloseStream(), 0);
  EXPECT_FALSE(enc.IsStreamOpen());
  EXPECT_EQ(enc.CloseStream(), -1);
  EXPECT_GT(enc.InitStream(&o), 0);
  std::vector<unsigned char> out(enc.GetOutputBufferSize());
  EXPECT_GE(enc.Finish(out.data()), 0);
  EXPECT_EQ(enc.Finish(out.data()), -1);
}

// An export while a direct recording runs must not take over
// the recording's stream.
TEST(LameEncoderSharing, SecondUserIsRefusedAndTheFirstStreamCarriesOn) {
  const auto pcm = mp3test::Sine(44100, 2, 44100, {1000.0, 1500.0}, 0.5);
  FileEncodeOptions recording = Mp3Options(0, 44100, 0, 2, 128);

  // The reference: the same recording with nobody else about.
  std::vector<uint8_t> reference;
  {
    LameEncoder alone;
    ASSERT_EQ(alone.Load(), 1);
    const int chunk = alone.InitStream(&recording);
    reference = EncodeThrough(alone, chunk, 2, pcm);
  }

  LameEncoder* shared = GetLameEncoder();
  ASSERT_EQ(shared->Load(), 1);
  const int chunk = shared->InitStream(&recording);
  ASSERT_EQ(chunk, 1152);
  std::vector<uint8_t> out(shared->GetOutputBufferSize()), bytes;
  const size_t half = (pcm.size() / 2 / 2304) * 2304;
  for (size_t pos = 0; pos < half; pos += 2304) {
    const int n = shared->EncodeChunk(pcm.data() + pos, out.data());
    bytes.insert(bytes.end(), out.begin(), out.begin() + n);
  }

  // An export asks the same binding for a stream of other settings.
  FileEncodeOptions exportOptions = Mp3Options(1, 22050, 0, 0, 32);
  EXPECT_EQ(shared->Load(), 1);
  EXPECT_EQ(shared->InitStream(&exportOptions), LameEncoder::kStreamBusy);
  EXPECT_EQ(shared->InitSimple(1, 32000), LameEncoder::kStreamBusy);
  EXPECT_NE(shared->GetLastError().find("in use"), std::string::npos);
  EXPECT_TRUE(shared->IsStreamOpen());
  EXPECT_EQ(shared->GetConfig().format.LHV1.dwSampleRate, 44100u);  // untouched

  // The recording goes on to the end, unharmed.
  for (size_t pos = half; pos < pcm.size(); pos += 2304) {
    const size_t n = std::min<size_t>(2304, pcm.size() - pos);
    const int got = n == 2304 ? shared->EncodeChunk(pcm.data() + pos, out.data())
                              : shared->EncodeSamples(pcm.data() + pos, static_cast<int>(n), out.data());
    bytes.insert(bytes.end(), out.begin(), out.begin() + got);
  }
  const int last = shared->Finish(out.data());
  bytes.insert(bytes.end(), out.begin(), out.begin() + last);
  const std::vector<unsigned char> info = shared->GetInfoFrame();
  ASSERT_LE(info.size(), bytes.size());
  std::copy(info.begin(), info.end(), bytes.begin());
  EXPECT_EQ(bytes, reference);

  // With the recording finished, the export may have the binding.
  const int exportChunk = shared->InitStream(&exportOptions);
  EXPECT_EQ(exportChunk, 576);
  shared->Finish(out.data());
}

TEST(LameEncoderSharing, AnExportWithItsOwnBindingRunsBesideTheRecording) {
  const auto recordingPcm = mp3test::Sine(44100, 2, 3 * 44100, {1000.0, 1500.0}, 0.5);
  const auto exportPcm = mp3test::Sine(22050, 1, 3 * 22050, {250.0}, 0.5);
  FileEncodeOptions recordingOptions = Mp3Options(0, 44100, 0, 2, 128);
  FileEncodeOptions exportOptions = Mp3Options(1, 22050, 2, 0, 32);

  std::vector<uint8_t> recordingReference, exportReference;
  {
    LameEncoder a;
    ASSERT_EQ(a.Load(), 1);
    recordingReference = EncodeThrough(a, a.InitStream(&recordingOptions), 2, recordingPcm);
    exportReference = EncodeThrough(a, a.InitStream(&exportOptions), 1, exportPcm);
  }

  // The recording on the process-wide binding (the buffer thread), the export
  // on a binding of its own (the user-interface thread), at the same time.
  std::vector<uint8_t> recordingBytes, exportBytes;
  LameEncoder* shared = GetLameEncoder();
  ASSERT_EQ(shared->Load(), 1);
  const int recordingChunk = shared->InitStream(&recordingOptions);
  ASSERT_EQ(recordingChunk, 1152);
  std::thread bufferThread([&] { recordingBytes = EncodeThrough(*shared, recordingChunk, 2, recordingPcm); });
  {
    LameEncoder own;
    ASSERT_EQ(own.Load(), 1);
    const int exportChunk = own.InitStream(&exportOptions);
    ASSERT_EQ(exportChunk, 576);
    exportBytes = EncodeThrough(own, exportChunk, 1, exportPcm);
  }
  bufferThread.join();
  EXPECT_EQ(recordingBytes, recordingReference);
  EXPECT_EQ(exportBytes, exportReference);
  const auto d = mp3test::Decode(exportBytes);
  EXPECT_EQ(d.rate, 22050);
  EXPECT_EQ(d.channels, 1);
  EXPECT_NEAR(ZeroCrossingFrequency(d.pcm[0], 22050, 2205, 60000), 250.0, 0.5);
}
