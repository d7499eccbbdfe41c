// The lock-free sample ring: capacity, wrap-around, conversion, and one
// producer with one consumer on two threads.
#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

#include "core/model/RingBuffer.h"

namespace {

SamplePtr Ptr(std::vector<std::int16_t>& v) { return reinterpret_cast<SamplePtr>(v.data()); }
ConstSamplePtr CPtr(const std::vector<std::int16_t>& v) { return reinterpret_cast<ConstSamplePtr>(v.data()); }

std::vector<std::int16_t> Ramp(int n, int from = 0) {
  std::vector<std::int16_t> v(n);
  for (int i = 0; i < n; ++i) v[i] = static_cast<std::int16_t>(from + i);
  return v;
}

}  // namespace

TEST(RingBuffer, SmallRingsHold60AndFourSlotsStayFree) {
  RingBuffer ring(SampleFormatInt16, 10);
  EXPECT_EQ(ring.GetSize(), 64);
  EXPECT_EQ(ring.AvailForPut(), 60);
  EXPECT_EQ(ring.Len(), 0);

  auto in = Ramp(100);
  EXPECT_EQ(ring.Put(CPtr(in), SampleFormatInt16, 100), 60);
  EXPECT_EQ(ring.AvailForPut(), 0);
  EXPECT_EQ(ring.Put(CPtr(in), SampleFormatInt16, 1), 0);  // full
  EXPECT_EQ(ring.Len(), 60);

  std::vector<std::int16_t> out(100, -1);
  EXPECT_EQ(ring.Get(Ptr(out), SampleFormatInt16, 100), 60);
  for (int i = 0; i < 60; ++i) EXPECT_EQ(out[i], i);
  EXPECT_EQ(out[60], -1);
  EXPECT_EQ(ring.Len(), 0);
  EXPECT_EQ(ring.Get(Ptr(out), SampleFormatInt16, 5), 0);  // empty

  RingBuffer big(SampleFormatFloat, 65);
  EXPECT_EQ(big.GetSize(), 65);
  EXPECT_EQ(big.AvailForPut(), 61);
}

TEST(RingBuffer, PutAndGetWrapAroundTheEndOfTheStorage) {
  RingBuffer ring(SampleFormatInt16, 64);
  auto first = Ramp(60);
  std::vector<std::int16_t> scratch(64);
  ASSERT_EQ(ring.Put(CPtr(first), SampleFormatInt16, 60), 60);
  ASSERT_EQ(ring.Get(Ptr(scratch), SampleFormatInt16, 50), 50);  // start 50, end 60

  auto second = Ramp(10, 1000);
  EXPECT_EQ(ring.Put(CPtr(second), SampleFormatInt16, 10), 10);  // 4 at the end, 6 at 0
  EXPECT_EQ(ring.Len(), 20);
  EXPECT_EQ(ring.AvailForPut(), 40);

  // A put that fills the ring, and then the whole content comes out in order
  // across the seam, in two gets that each wrap.
  auto third = Ramp(40, 2000);
  EXPECT_EQ(ring.Put(CPtr(third), SampleFormatInt16, 50), 40);
  std::vector<std::int16_t> out(60);
  EXPECT_EQ(ring.Get(Ptr(out), SampleFormatInt16, 7), 7);
  EXPECT_EQ(ring.Get(Ptr(out) + 7 * 2, SampleFormatInt16, 100), 53);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(out[i], 50 + i);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(out[10 + i], 1000 + i);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(out[20 + i], 2000 + i);
}

TEST(RingBuffer, DiscardDropsTheOldestSamples) {
  RingBuffer ring(SampleFormatInt16, 64);
  auto in = Ramp(30);
  ring.Put(CPtr(in), SampleFormatInt16, 30);
  EXPECT_EQ(ring.Discard(12), 12);
  std::vector<std::int16_t> out(1);
  ring.Get(Ptr(out), SampleFormatInt16, 1);
  EXPECT_EQ(out[0], 12);
  EXPECT_EQ(ring.Discard(100), 17);
  EXPECT_EQ(ring.Len(), 0);
  EXPECT_EQ(ring.Discard(3), 0);
}

TEST(RingBuffer, ConvertsOnTheWayInAndOut) {
  RingBuffer ring(SampleFormatFloat, 128);
  std::vector<std::int16_t> in = {-32768, 32767, 0, -2};
  ASSERT_EQ(ring.Put(CPtr(in), SampleFormatInt16, 4), 4);
  std::vector<float> f(2);
  ASSERT_EQ(ring.Get(reinterpret_cast<SamplePtr>(f.data()), SampleFormatFloat, 2), 2);
  EXPECT_EQ(f[0], -1.0f);
  EXPECT_EQ(f[1], 1.0f);
  std::vector<std::int16_t> back(2);
  ASSERT_EQ(ring.Get(Ptr(back), SampleFormatInt16, 2), 2);
  EXPECT_EQ(back[0], 0);
  EXPECT_EQ(back[1], -2);
}

// A producer and a consumer on their own threads, each moving odd-sized
// chunks and retrying when the ring is full or empty: every sample arrives
// once, in order, whatever the interleaving.
TEST(RingBuffer, OneProducerAndOneConsumerOnTwoThreads) {
  constexpr int kTotal = 2'000'000;
  RingBuffer ring(SampleFormatInt16, 301);

  std::thread producer([&] {
    std::vector<std::int16_t> chunk(97);
    int sent = 0, k = 0;
    while (sent < kTotal) {
      const int want = std::min(1 + (k++ * 37) % 97, kTotal - sent);
      for (int i = 0; i < want; ++i) chunk[i] = static_cast<std::int16_t>((sent + i) & 0x7FFF);
      int done = 0;
      while (done < want) {
        const int n = ring.Put(CPtr(chunk) + done * 2, SampleFormatInt16, want - done);
        EXPECT_LE(ring.Len(), ring.GetSize() - 4);
        if (n == 0) std::this_thread::yield();
        done += n;
      }
      sent += want;
    }
  });

  std::vector<std::int16_t> chunk(131);
  int received = 0, errors = 0, k = 0;
  while (received < kTotal) {
    const int want = 1 + (k++ * 53) % 131;
    const int n = ring.Get(Ptr(chunk), SampleFormatInt16, want);
    if (n == 0) {
      std::this_thread::yield();
      continue;
    }
    for (int i = 0; i < n; ++i)
      if (chunk[i] != static_cast<std::int16_t>((received + i) & 0x7FFF)) ++errors;
    received += n;
  }
  producer.join();
  EXPECT_EQ(received, kTotal);
  EXPECT_EQ(errors, 0);
  EXPECT_EQ(ring.Len(), 0);
}
