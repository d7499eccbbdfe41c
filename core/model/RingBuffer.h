// A ring of samples between one producer and one consumer, taking no lock.
//
// The audio callback must never block or allocate; the slow work of mixing,
// writing blocks and encoding happens on another thread. One ring per channel
// sits between them. Exactly one thread puts and exactly one thread gets (or
// discards): `end` is written only by the producer, `start` only by the
// consumer, and each side reads the other's index once per operation. Four
// slots always stay free, so a full ring is never mistaken for an empty one.
#pragma once

#include <atomic>

#include "core/model/SampleFormat.h"

class RingBuffer {
public:
  // size below 65 becomes 64. Samples are stored in `format` and converted
  // on the way in and out.
  RingBuffer(SampleFormat format, int size);
  ~RingBuffer();

  RingBuffer(const RingBuffer&) = delete;
  RingBuffer& operator=(const RingBuffer&) = delete;

  // Samples held. From either side; exact on the consumer's side, a lower
  // bound on the producer's.
  int Len() const;
  int AvailForGet() const { return Len(); }
  // Room for Put: size - Len - 4.
  int AvailForPut() const;

  // Producer side: copies in min(count, AvailForPut) samples from buffer (in
  // bufferFormat) and returns how many; 0 when full. Never blocks.
  int Put(ConstSamplePtr buffer, SampleFormat bufferFormat, int count);

  // Consumer side: copies out min(count, Len) samples into buffer (in
  // bufferFormat) and returns how many. Never blocks.
  int Get(SamplePtr buffer, SampleFormat bufferFormat, int count);
  // Consumer side: drops min(count, Len) samples; returns how many.
  int Discard(int count);

  SampleFormat GetFormat() const { return mFormat; }
  int GetSize() const { return mSize; }

private:
  static constexpr int kFreeSlots = 4;

  const SampleFormat mFormat;
  std::atomic<int> mStart{0};  // oldest held sample; consumer writes
  std::atomic<int> mEnd{0};    // one past the newest; producer writes
  const int mSize;
  SamplePtr mBuffer;
};
