#include "player_test_support.h"

#include "player/CircleBuffer.h"
#include "player/Equaliser.h"

namespace {

using namespace player_test;

struct BufferDeleter {
  void operator()(CircleBuffer* cb) const { cb->Destroy(cb); }
};
using BufferPtr = std::unique_ptr<CircleBuffer, BufferDeleter>;

TEST(CircleBuffer, KeepsOneByteFreeAndNeverOverwritesUnreadData) {
  BufferPtr cb(CircleBuffer_Create(65536));
  ASSERT_TRUE(cb);
  EXPECT_EQ(cb->GetFree(cb.get()), 65535u);
  EXPECT_EQ(cb->GetUsed(cb.get()), 0u);
  std::vector<uint8_t> data(70000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
  EXPECT_EQ(cb->Write(cb.get(), data.data(), 65535), 65535u);
  EXPECT_EQ(cb->GetFree(cb.get()), 0u);
  EXPECT_EQ(cb->GetUsed(cb.get()), 65535u);
  EXPECT_EQ(cb->Write(cb.get(), data.data(), 100), 0u) << "a full ring takes nothing more";

  std::vector<uint8_t> got(65535);
  DWORD n = 0;
  EXPECT_EQ(cb->Read(cb.get(), got.data(), 65535, &n), 1);
  EXPECT_EQ(n, 65535u);
  EXPECT_TRUE(std::equal(got.begin(), got.end(), data.begin()));
  cb->Flush(cb.get());
  EXPECT_EQ(cb->GetUsed(cb.get()), 0u);
}

struct ProducerArgs {
  CircleBuffer* cb;
  size_t total;
};

uint8_t PatternByte(size_t i) { return static_cast<uint8_t>((i * 31 + (i >> 9)) & 0xFF); }

DWORD WINAPI Producer(LPVOID argument) {
  auto* args = static_cast<ProducerArgs*>(argument);
  size_t sent = 0;
  uint8_t chunk[3001];
  while (sent < args->total) {
    size_t n = std::min<size_t>({sizeof chunk, args->total - sent, args->cb->GetFree(args->cb)});
    if (n == 0) {
      Sleep(1);
      continue;
    }
    for (size_t i = 0; i < n; ++i) chunk[i] = PatternByte(sent + i);
    sent += args->cb->Write(args->cb, chunk, static_cast<DWORD>(n));
  }
  args->cb->SetComplete(args->cb);
  return 0;
}

TEST(CircleBuffer, CarriesAStreamAcrossManyWrapsBetweenTwoThreads) {
  // A small ring and odd-sized pieces on both sides wrap at every possible offset.
  BufferPtr cb(CircleBuffer_Create(4099));
  ProducerArgs args = {cb.get(), 1000003};
  HANDLE thread = CreateThread(nullptr, 0, Producer, &args, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  size_t received = 0;
  bool intact = true;
  std::vector<uint8_t> piece(1777);
  int result = 1;
  while (result == 1) {
    DWORD n = 0;
    result = cb->Read(cb.get(), piece.data(), static_cast<DWORD>(piece.size()), &n);
    for (DWORD i = 0; i < n; ++i) intact = intact && piece[i] == PatternByte(received + i);
    received += n;
  }
  EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_EQ(received, args.total) << "the read that ends the data still hands out its bytes";
  EXPECT_TRUE(intact);
}

TEST(CircleBuffer, ReadsEndAtTheEndOfDataOrAfterTheTimeOut) {
  BufferPtr cb(CircleBuffer_Create(1024));
  uint8_t out[16];
  DWORD n = 99;
  // Nothing written and nothing more coming: the read gives up after its time-out.
  DWORD start = GetTickCount();
  EXPECT_EQ(cb->Read(cb.get(), out, sizeof out, &n), 0);
  DWORD waited = GetTickCount() - start;
  EXPECT_EQ(n, 0u);
  EXPECT_GE(waited, kCircleBufferReadTimeoutMs - 100);
  EXPECT_LT(waited, kCircleBufferReadTimeoutMs + 1000);

  // Complete and empty: 0 at once, also on a second read after the event was used up.
  cb->SetComplete(cb.get());
  for (int i = 0; i < 2; ++i) {
    start = GetTickCount();
    EXPECT_EQ(cb->Read(cb.get(), out, sizeof out, &n), 0);
    EXPECT_EQ(n, 0u);
    EXPECT_LT(GetTickCount() - start, 500u);
  }
}

// ---- equaliser ---------------------------------------------------------------------

class EqualiserTest : public ::testing::Test {
protected:
  void SetUp() override { Equaliser_Create(&eq_); }
  void TearDown() override { eq_.Free(&eq_); }
  void Set(std::initializer_list<int> bands, bool enabled = true) {
    EqualiserSettings s = {};
    s.enabled = enabled;
    int i = 0;
    for (int b : bands) s.bands[i++] = static_cast<signed char>(b);
    eq_.SetSettings(&eq_, &s);
  }
  void SetAll(int value) { Set({value, value, value, value, value, value, value, value}); }
  std::vector<uint8_t> Run(std::vector<uint8_t> pcm, DWORD piece = 1000) {
    for (size_t at = 0; at < pcm.size(); at += piece)
      eq_.Filter(&eq_, pcm.data() + at, static_cast<DWORD>(std::min<size_t>(piece, pcm.size() - at)));
    return pcm;
  }
  Equaliser eq_;
};

std::vector<uint8_t> Noise(size_t frames) {
  std::vector<int16_t> s(frames * 2);
  uint32_t r = 12345;
  for (auto& v : s) {
    r = r * 1664525u + 1013904223u;
    v = static_cast<int16_t>((r >> 16) - 32768) / 2;
  }
  return AsBytes(s);
}

TEST_F(EqualiserTest, FlatSettingsDelayByTheLineAndInactiveFormatsPassUntouched) {
  const std::vector<uint8_t> input = Noise(5000);
  eq_.Reset(&eq_, 44100, 1);
  SetAll(0);
  std::vector<uint8_t> out = Run(input);
  // Every component at unity adds up to the input 256 frames earlier, exactly.
  const size_t delay = kEqualiserDelayFrames * 4;
  ASSERT_EQ(out.size(), input.size());
  EXPECT_TRUE(std::all_of(out.begin(), out.begin() + delay, [](uint8_t b) { return b == 0; }));
  EXPECT_TRUE(std::equal(out.begin() + delay, out.end(), input.begin()));

  struct Case {
    DWORD rate;
    DWORD bits16;
    bool enabled;
  } cases[] = {{48000, 1, true}, {44100, 0, true}, {44100, 1, false}};
  for (const Case& c : cases) {
    eq_.Reset(&eq_, c.rate, c.bits16);
    Set({-128, 50, 0, 0, 0, 0, 0, 127}, c.enabled);
    EXPECT_EQ(Run(input), input) << c.rate << " Hz, 16-bit " << c.bits16 << ", enabled " << c.enabled;
  }
}

TEST_F(EqualiserTest, EveryBandCutSilencesAfterTheDelayLine) {
  eq_.Reset(&eq_, 44100, 1);
  SetAll(-128);
  std::vector<uint8_t> out = Run(Noise(4000));
  std::vector<double> left = Channel(out, 2, 0, kEqualiserDelayFrames);
  EXPECT_EQ(Rms(left), 0.0);
}

// A sine in the middle of each band: cutting that band takes most of it away,
// cutting a band far from it leaves it nearly whole, and raising the band lifts it.
TEST_F(EqualiserTest, BandGainsActOnTheirOwnFrequencies) {
  struct Case {
    double frequency;
    int band;
    int farBand;
  } cases[] = {{30, 0, 4},  {110, 1, 5},  {220, 2, 6},  {330, 3, 7},
               {660, 4, 0}, {1300, 5, 1}, {2600, 6, 2}, {8000, 7, 3}};
  for (const Case& c : cases) {
    const std::vector<uint8_t> input = AsBytes(Sine(c.frequency, 44100, 2, 0.5, 0.25));
    const size_t settle = 2048;
    double in = Rms(Channel(input, 2, 0, settle));
    auto level = [&](int band, int value) {
      eq_.Reset(&eq_, 44100, 1);
      int bands[8] = {};
      bands[band] = value;
      Set({bands[0], bands[1], bands[2], bands[3], bands[4], bands[5], bands[6], bands[7]});
      return Rms(Channel(Run(input), 2, 0, settle)) / in;
    };
    SCOPED_TRACE(testing::Message() << c.frequency << " Hz, band " << c.band);
    EXPECT_LT(level(c.band, -128), 0.45);
    EXPECT_GT(level(c.farBand, -128), 0.85);
    EXPECT_GT(level(c.band, 127), 1.4);
  }
}

}  // namespace
