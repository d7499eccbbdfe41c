#include <gtest/gtest.h>

#include <sndfile.h>
#include <sys/resource.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <csignal>
#include <cstring>
#include <fstream>
#include <vector>

#include "core/model/BlockFile.h"
#include "core/model/PCMAliasBlockFile.h"
#include "core/model/SilentBlockFile.h"
#include "core/model/SimpleBlockFile.h"
#include "core/model/SystemUtils.h"
#include "tests/support/native/TempFolder.h"
#include "tests/support/native/Files.h"
#include "tests/support/native/Programs.h"

namespace {

using testsupport::LE32;
using testsupport::ReadBytes;

std::vector<std::int16_t> Ramp16(int n, int step = 37) {
  std::vector<std::int16_t> v(n);
  for (int i = 0; i < n; ++i) v[i] = static_cast<std::int16_t>((i * step) % 60000 - 30000);
  return v;
}

SimpleBlockFile* MakeBlock(const std::string& base, const void* data, int len, SampleFormat format) {
  return new SimpleBlockFile(CFileName(base), static_cast<ConstSamplePtr>(data), len, format);
}

std::vector<float> ReadFrames(const BlockFile& b, bool level256) {
  const SummaryInfo& info = b.GetSummaryInfo();
  const int frames = level256 ? info.frames256 : info.frames64K;
  std::vector<float> out(3 * frames, -99.0f);
  EXPECT_TRUE(level256 ? b.Read256(out.data(), 0, frames) : b.Read64K(out.data(), 0, frames));
  return out;
}

TEST(SummaryInfo, LayoutFollowsTheLength) {
  struct Case {
    int n, frames64K, frames256, total;
  };
  const Case cases[] = {
      {0, 0, 0, 24},         {1, 1, 256, 24 + 12 + 3072},     {1000, 1, 256, 3108},
      {65536, 1, 256, 3108}, {65537, 2, 512, 24 + 24 + 6144}, {516096, 8, 2048, 24 + 96 + 24576}};
  for (const Case& c : cases) {
    SummaryInfo s(c.n);
    EXPECT_EQ(s.fields, 3);
    EXPECT_EQ(s.format, SampleFormatFloat);
    EXPECT_EQ(s.bytesPerFrame, 12);
    EXPECT_EQ(s.frames64K, c.frames64K) << c.n;
    EXPECT_EQ(s.frames256, c.frames256) << c.n;
    EXPECT_EQ(s.offset64K, 24);
    EXPECT_EQ(s.offset256, 24 + 12 * c.frames64K);
    EXPECT_EQ(s.totalSummaryBytes, c.total) << c.n;
  }
}

TEST(SimpleBlockFile, FileIsALittleEndianAuWithTheSummaryInItsHeader) {
  testsupport::TempFolder tmp;
  const auto samples = Ramp16(1000);
  BlockFile* b = MakeBlock(tmp / "$0000000", samples.data(), 1000, SampleFormatInt16);
  ASSERT_TRUE(b->WriteSucceeded());
  EXPECT_EQ(b->GetFileName().GetFullPath(), tmp / "$0000000.tmp");
  EXPECT_EQ(b->GetLength(), 1000);

  const auto bytes = ReadBytes(tmp / "$0000000.tmp");
  ASSERT_EQ(bytes.size(), 3132u + 2000u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "dns.");
  EXPECT_EQ(LE32(bytes, 4), 3132u);
  EXPECT_EQ(LE32(bytes, 8), 0xFFFFFFFFu);
  EXPECT_EQ(LE32(bytes, 12), 3u);
  EXPECT_EQ(LE32(bytes, 16), 44100u);
  EXPECT_EQ(LE32(bytes, 20), 1u);
  EXPECT_EQ(0, std::memcmp(bytes.data() + 24, kSummaryHeader, 24));
  EXPECT_EQ(0, std::memcmp(bytes.data() + 24, "\xAA\x55\xAA\x55ZQYBFTEMP\0\0\0\x01\0\x01\0\0\0\x14\0", 24));
  EXPECT_EQ(0, std::memcmp(bytes.data() + 3132, samples.data(), 2000)) << "samples as in memory";
  EXPECT_EQ(b->GetSpaceUsage(), bytes.size());
  b->Deref();
}

TEST(SimpleBlockFile, SummaryHoldsTheExtremesOfEveryFrameAndZerosPastTheData) {
  testsupport::TempFolder tmp;
  const int n = 1000;
  std::vector<std::int16_t> samples(n);
  for (int i = 0; i < n; ++i) samples[i] = static_cast<std::int16_t>(1000 + (i * 7919) % 20000);
  BlockFile* b = MakeBlock(tmp / "s", samples.data(), n, SampleFormatInt16);

  const auto f256 = ReadFrames(*b, true);
  for (int frame = 0; frame < 256; ++frame) {
    float mn = 0, mx = 0;
    if (frame * 256 < n) {
      auto first = samples.begin() + frame * 256;
      auto last = samples.begin() + std::min(n, frame * 256 + 256);
      mn = Int16ToFloatSample(*std::min_element(first, last));
      mx = Int16ToFloatSample(*std::max_element(first, last));
    }
    EXPECT_EQ(f256[3 * frame], mn) << frame;
    EXPECT_EQ(f256[3 * frame + 1], mx) << frame;
    EXPECT_EQ(f256[3 * frame + 2], 0.0f) << "RMS is always 0";
  }
  // The zero frames past the data belong to the 64K frame, so its minimum is 0 although
  // every sample is positive.
  const auto f64 = ReadFrames(*b, false);
  EXPECT_EQ(f64[0], 0.0f);
  EXPECT_EQ(f64[1], Int16ToFloatSample(*std::max_element(samples.begin(), samples.end())));
  float mn, mx, rms;
  b->GetMinMax(&mn, &mx, &rms);
  EXPECT_EQ(mn, 0.0f);
  EXPECT_EQ(mx, f64[1]);
  EXPECT_EQ(rms, 0.0f);

  // A range read from the samples themselves, through libsndfile's scaling.
  b->GetMinMax(100, 50, &mn, &mx, &rms);
  auto first = samples.begin() + 100, last = first + 50;
  EXPECT_EQ(mn, *std::min_element(first, last) / 32768.0f);
  EXPECT_EQ(mx, *std::max_element(first, last) / 32768.0f);

  // Reads past the summary's end are cut short.
  std::vector<float> tail(3 * 10, -5.0f);
  EXPECT_TRUE(b->Read256(tail.data(), 250, 10));
  EXPECT_EQ(tail[3 * 5], 0.0f);
  EXPECT_EQ(tail[3 * 6], -5.0f) << "only 6 frames remain from 250";
  b->Deref();
}

TEST(SimpleBlockFile, AFull64KFrameHasNoZeroFrames) {
  testsupport::TempFolder tmp;
  std::vector<std::int16_t> samples(65536, 100);
  samples[40000] = 5000;
  BlockFile* b = MakeBlock(tmp / "full", samples.data(), 65536, SampleFormatInt16);
  const auto f64 = ReadFrames(*b, false);
  EXPECT_EQ(f64[0], Int16ToFloatSample(100));
  EXPECT_EQ(f64[1], Int16ToFloatSample(5000));
  b->Deref();
}

TEST(SimpleBlockFile, ReadsBackInEveryFormat) {
  testsupport::TempFolder tmp;
  const auto s16 = Ramp16(3000);
  BlockFile* b16 = MakeBlock(tmp / "a", s16.data(), 3000, SampleFormatInt16);

  std::vector<std::int16_t> back16(1000);
  EXPECT_EQ(b16->ReadData(reinterpret_cast<SamplePtr>(back16.data()), SampleFormatInt16, 1500, 1000), 1000);
  EXPECT_TRUE(std::equal(back16.begin(), back16.end(), s16.begin() + 1500));

  std::vector<std::int32_t> back24(3000);
  EXPECT_EQ(b16->ReadData(reinterpret_cast<SamplePtr>(back24.data()), SampleFormatInt24, 0, 3000), 3000);
  for (int i = 0; i < 3000; ++i) ASSERT_EQ(back24[i], s16[i] * 256) << i;

  // Reading 16-bit data as float uses libsndfile's scaling, not the 1/32767.5 of CopySamples.
  std::vector<float> backF(3000);
  EXPECT_EQ(b16->ReadData(reinterpret_cast<SamplePtr>(backF.data()), SampleFormatFloat, 0, 3000), 3000);
  for (int i = 0; i < 3000; ++i) ASSERT_EQ(backF[i], s16[i] / 32768.0f) << i;

  EXPECT_EQ(b16->ReadData(reinterpret_cast<SamplePtr>(back16.data()), SampleFormatInt16, 2500, 1000), 500)
      << "a read past the end is short";

  std::vector<float> f(500);
  for (int i = 0; i < 500; ++i) f[i] = std::sin(i * 0.05f) * 0.8f;
  f[7] = 1.75f;  // out of range: clipped in the summary, kept in the data
  BlockFile* bf = MakeBlock(tmp / "f", f.data(), 500, SampleFormatFloat);
  EXPECT_EQ(LE32(ReadBytes(tmp / "f.tmp"), 12), 6u);
  std::vector<float> backFF(500);
  EXPECT_EQ(bf->ReadData(reinterpret_cast<SamplePtr>(backFF.data()), SampleFormatFloat, 0, 500), 500);
  for (int i = 0; i < 500; ++i) EXPECT_EQ(backFF[i], i == 7 ? 1.0f : f[i]) << i;
  float mn, mx, rms;
  bf->GetMinMax(&mn, &mx, &rms);
  EXPECT_EQ(mx, 1.0f);

  b16->Deref();
  bf->Deref();
}

TEST(SimpleBlockFile, TwentyFourBitSamplesArePackedInThreeLittleEndianBytes) {
  testsupport::TempFolder tmp;
  const std::vector<std::int32_t> s = {-1, 0, 1, 0x123456, -8388608, 8388607, -2};
  BlockFile* b = MakeBlock(tmp / "p", s.data(), static_cast<int>(s.size()), SampleFormatInt24);
  const auto bytes = ReadBytes(tmp / "p.tmp");
  EXPECT_EQ(LE32(bytes, 12), 4u);
  const std::size_t at = LE32(bytes, 4);
  ASSERT_EQ(bytes.size(), at + 3 * s.size());
  const std::vector<unsigned char> expected = {
      0xFF, 0xFF, 0xFF, 0, 0, 0, 1, 0, 0, 0x56, 0x34, 0x12, 0, 0, 0x80, 0xFF, 0xFF, 0x7F, 0xFE, 0xFF, 0xFF};
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bytes.begin() + at));

  std::vector<std::int32_t> back(s.size());
  EXPECT_EQ(b->ReadData(reinterpret_cast<SamplePtr>(back.data()), SampleFormatInt24, 0, 7), 7);
  EXPECT_EQ(back, s);
  b->Deref();
}

TEST(SimpleBlockFile, OutsideReadersSeeAPlainAuFile) {
  testsupport::TempFolder tmp;
  const auto s16 = Ramp16(4410, 101);
  BlockFile* b = MakeBlock(tmp / "x", s16.data(), 4410, SampleFormatInt16);
  const std::string path = b->GetFileName().GetFullPath();

  SF_INFO info{};
  SNDFILE* sf = sf_open(path.c_str(), SFM_READ, &info);
  ASSERT_NE(sf, nullptr) << sf_strerror(nullptr);
  EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_AU);
  EXPECT_EQ(info.format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16);
  EXPECT_EQ(info.channels, 1);
  EXPECT_EQ(info.samplerate, 44100);
  EXPECT_EQ(info.frames, 4410);
  sf_close(sf);

  if (!testsupport::HaveProgram("sox") || !testsupport::HaveProgram("soxi")) {
    b->Deref();
    GTEST_SKIP() << "sox is not installed";
  }
  const std::string raw = tmp / "x.raw", count = tmp / "count.txt";
  ASSERT_EQ(std::system(("soxi -s '" + path + "' > '" + count + "' 2>/dev/null").c_str()), 0);
  std::ifstream in(count);
  long frames = 0;
  in >> frames;
  EXPECT_EQ(frames, 4410);
  ASSERT_EQ(std::system(("sox '" + path + "' -t raw -e signed-integer -b 16 -L '" + raw + "'").c_str()), 0);
  const auto rawBytes = ReadBytes(raw);
  ASSERT_EQ(rawBytes.size(), 4410u * 2);
  EXPECT_EQ(0, std::memcmp(rawBytes.data(), s16.data(), rawBytes.size()));

  // 24-bit data through the same outside tool.
  const std::vector<std::int32_t> s24 = {-1, 0x123456, -8388608, 8388607};
  BlockFile* b24 = MakeBlock(tmp / "y", s24.data(), 4, SampleFormatInt24);
  ASSERT_EQ(
      std::system(("sox '" + (tmp / "y.tmp") + "' -t raw -e signed-integer -b 32 -L '" + raw + "'").c_str()),
      0);
  const auto raw24 = ReadBytes(raw);
  ASSERT_EQ(raw24.size(), 16u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(static_cast<std::int32_t>(LE32(raw24, 4 * i)) >> 8, s24[i]);
  b->Deref();
  b24->Deref();
}

TEST(SimpleBlockFile, AByteSwappedSummaryIsRepairedOnReading) {
  testsupport::TempFolder tmp;
  const auto s16 = Ramp16(70000, 53);
  BlockFile* b = MakeBlock(tmp / "w", s16.data(), 70000, SampleFormatInt16);
  const auto f256 = ReadFrames(*b, true);
  const auto f64 = ReadFrames(*b, false);

  auto bytes = ReadBytes(tmp / "w.tmp");
  const int total = b->GetSummaryInfo().totalSummaryBytes;
  for (int i = 24; i < 24 + total; i += 4) {
    std::swap(bytes[i], bytes[i + 3]);
    std::swap(bytes[i + 1], bytes[i + 2]);
  }
  testsupport::WriteBytes(tmp / "w.tmp", bytes);
  EXPECT_EQ(ReadFrames(*b, true), f256);
  EXPECT_EQ(ReadFrames(*b, false), f64);

  std::vector<char> raw(total);
  ASSERT_TRUE(b->ReadSummary(raw.data()));
  EXPECT_EQ(0, std::memcmp(raw.data(), kSummaryHeader, 24)) << "the header is swapped back too";
  b->Deref();
}

TEST(BlockFile, FileGoesWithTheLastReferenceUnlessLocked) {
  testsupport::TempFolder tmp;
  const auto s16 = Ramp16(100);
  BlockFile* b = MakeBlock(tmp / "r", s16.data(), 100, SampleFormatInt16);
  b->Ref();
  EXPECT_EQ(b->GetRefCount(), 2);
  EXPECT_FALSE(b->Deref());
  EXPECT_TRUE(FileExists(tmp / "r.tmp"));
  EXPECT_TRUE(b->Deref());
  EXPECT_FALSE(FileExists(tmp / "r.tmp"));

  BlockFile* locked = MakeBlock(tmp / "l", s16.data(), 100, SampleFormatInt16);
  locked->Lock();
  locked->Lock();
  locked->Unlock();
  EXPECT_TRUE(locked->IsLocked());
  EXPECT_TRUE(locked->Deref());
  EXPECT_TRUE(FileExists(tmp / "l.tmp")) << "a locked block's file survives its last reference";

  BlockFile* unlocked = MakeBlock(tmp / "u", s16.data(), 100, SampleFormatInt16);
  unlocked->Lock();
  unlocked->Unlock();
  EXPECT_FALSE(unlocked->IsLocked());
  unlocked->Deref();
  EXPECT_FALSE(FileExists(tmp / "u.tmp"));
}

TEST(SimpleBlockFile, CopyIsAnObjectOverTheCopiedFile) {
  testsupport::TempFolder tmp;
  const auto s16 = Ramp16(2000);
  BlockFile* b = MakeBlock(tmp / "c", s16.data(), 2000, SampleFormatInt16);
  ASSERT_TRUE(CopyFileTo(tmp / "c.tmp", tmp / "d.tmp", true));
  BlockFile* c = b->Copy(CFileName(tmp / "d.tmp"));
  EXPECT_EQ(c->GetLength(), 2000);
  float m1, x1, r1, m2, x2, r2;
  b->GetMinMax(&m1, &x1, &r1);
  c->GetMinMax(&m2, &x2, &r2);
  EXPECT_EQ(m1, m2);
  EXPECT_EQ(x1, x2);
  std::vector<std::int16_t> back(2000);
  EXPECT_EQ(c->ReadData(reinterpret_cast<SamplePtr>(back.data()), SampleFormatInt16, 0, 2000), 2000);
  EXPECT_EQ(back, s16);
  b->Deref();
  c->Deref();
  EXPECT_FALSE(FileExists(tmp / "d.tmp"));
}

// Whoever makes a block must learn when its file could not be made or written: the
// samples would otherwise turn into silence without a word.
TEST(SimpleBlockFile, AFileThatCannotBeWrittenIsReported) {
  testsupport::TempFolder tmp;
  const auto s16 = Ramp16(1000);

  // A folder whose parent is a regular file cannot exist, even for root.
  testsupport::WriteBytes(tmp / "plainfile", {0});
  BlockFile* b = MakeBlock(tmp / "plainfile/sub/$0000000", s16.data(), 1000, SampleFormatInt16);
  EXPECT_FALSE(b->WriteSucceeded());
  std::vector<std::int16_t> back(1000);
  EXPECT_LE(b->ReadData(reinterpret_cast<SamplePtr>(back.data()), SampleFormatInt16, 0, 1000), 0);
  std::vector<float> frames(3);
  EXPECT_FALSE(b->Read64K(frames.data(), 0, 1));
  b->Deref();

  // A volume that fills up part-way through the write.
  struct rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  BlockFile* partial = MakeBlock(tmp / "partial", s16.data(), 1000, SampleFormatInt16);
  BlockFile* fits = MakeBlock(tmp / "fits", s16.data(), 400, SampleFormatInt16);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(partial->WriteSucceeded());
  EXPECT_TRUE(fits->WriteSucceeded());
  partial->Deref();
  fits->Deref();
  EXPECT_FALSE(FileExists(tmp / "partial.tmp"));
}

TEST(PCMAliasBlockFile, ReadsOneChannelOfTheAliasedFileAndKeepsOnlyTheSummary) {
  testsupport::TempFolder tmp;
  const std::string wav = tmp / "source.wav";
  SF_INFO info{};
  info.samplerate = 22050;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* sf = sf_open(wav.c_str(), SFM_WRITE, &info);
  ASSERT_NE(sf, nullptr);
  std::vector<short> frames(2 * 5000);
  for (int i = 0; i < 5000; ++i) {
    frames[2 * i] = static_cast<short>(i);
    frames[2 * i + 1] = static_cast<short>(-i);
  }
  sf_writef_short(sf, frames.data(), 5000);
  sf_close(sf);

  auto* a = new PCMAliasBlockFile(CFileName(tmp / "$0000003"), CFileName(wav), 1000, 3000, 1);
  EXPECT_TRUE(a->WriteSucceeded());
  EXPECT_TRUE(a->IsAlias());
  EXPECT_EQ(a->GetLength(), 3000);
  EXPECT_EQ(a->GetSpaceUsage(), 3108u) << "summary only, no AU header";
  EXPECT_EQ(ReadBytes(tmp / "$0000003.tmp").size(), 3108u);

  std::vector<std::int16_t> back(10);
  EXPECT_EQ(a->ReadData(reinterpret_cast<SamplePtr>(back.data()), SampleFormatInt16, 5, 10), 10);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(back[i], -(1005 + i));
  std::vector<float> backF(10);
  EXPECT_EQ(a->ReadData(reinterpret_cast<SamplePtr>(backF.data()), SampleFormatFloat, 0, 10), 10);
  EXPECT_EQ(backF[3], -1003 / 32768.0f);

  float mn, mx, rms;
  a->GetMinMax(&mn, &mx, &rms);
  EXPECT_EQ(mn, -3999 / 32768.0f);
  EXPECT_EQ(mx, 0.0f) << "the zero frames past the data count";
  const auto f256 = ReadFrames(*a, true);
  EXPECT_EQ(f256[0], -1255 / 32768.0f);
  EXPECT_EQ(f256[1], -1000 / 32768.0f);

  ASSERT_TRUE(CopyFileTo(tmp / "$0000003.tmp", tmp / "$0000004.tmp", true));
  BlockFile* copy = a->Copy(CFileName(tmp / "$0000004.tmp"));
  auto* alias = dynamic_cast<PCMAliasBlockFile*>(copy);
  ASSERT_NE(alias, nullptr);
  EXPECT_EQ(alias->GetAliasedFile().GetFullPath(), wav);
  EXPECT_EQ(alias->GetAliasStart(), 1000);
  EXPECT_EQ(alias->GetAliasChannel(), 1);
  float cm, cx, cr;
  copy->GetMinMax(&cm, &cx, &cr);
  EXPECT_EQ(cm, mn);

  a->Deref();
  copy->Deref();
  EXPECT_FALSE(FileExists(tmp / "$0000003.tmp"));
  EXPECT_TRUE(FileExists(wav)) << "the aliased file is never touched";

  auto* missing =
      new PCMAliasBlockFile(CFileName(tmp / "gone.tmp"), CFileName(wav), 0, 10, 0, -0.5f, 0.5f, 0);
  missing->GetMinMax(&mn, &mx, &rms);
  EXPECT_EQ(mn, 0.0f) << "values are taken only over an existing summary file";
  EXPECT_EQ(missing->ReadData(reinterpret_cast<SamplePtr>(back.data()), SampleFormatInt16, 0, 10), 10);
  missing->Deref();

  auto* noChannel = new PCMAliasBlockFile(CFileName(tmp / "nc"), CFileName(wav), 0, 10, 2);
  EXPECT_EQ(noChannel->ReadData(reinterpret_cast<SamplePtr>(back.data()), SampleFormatInt16, 0, 10), 0);
  noChannel->Deref();
}

TEST(SilentBlockFile, HasNoFileAndReadsZeros) {
  auto* s = new SilentBlockFile(70000);
  EXPECT_EQ(s->GetFileName().GetFullPath(), "");
  EXPECT_EQ(s->GetSpaceUsage(), 0u);
  std::vector<std::int16_t> back(100, 7);
  EXPECT_EQ(s->ReadData(reinterpret_cast<SamplePtr>(back.data()), SampleFormatInt16, 69950, 100), 100);
  EXPECT_TRUE(std::all_of(back.begin(), back.end(), [](std::int16_t v) { return v == 0; }));
  const auto f64 = ReadFrames(*s, false);
  EXPECT_EQ(f64, std::vector<float>(6, 0.0f));
  float mn, mx, rms;
  s->GetMinMax(&mn, &mx, &rms);
  EXPECT_EQ(mn, 0.0f);
  EXPECT_EQ(mx, 0.0f);
  BlockFile* c = s->Copy(CFileName("ignored"));
  EXPECT_EQ(c->GetLength(), 70000);
  EXPECT_NE(dynamic_cast<SilentBlockFile*>(c), nullptr);
  c->Deref();
  s->Deref();
}

}  // namespace
