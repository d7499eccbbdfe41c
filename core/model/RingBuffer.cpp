#include "core/model/RingBuffer.h"

#include <algorithm>

RingBuffer::RingBuffer(SampleFormat format, int size) : mFormat(format), mSize(size > 64 ? size : 64) {
  mBuffer = NewSamples(static_cast<std::uint32_t>(mSize), mFormat);
}

RingBuffer::~RingBuffer() { DeleteSamples(mBuffer); }

int RingBuffer::Len() const {
  const int start = mStart.load(std::memory_order_acquire);
  const int end = mEnd.load(std::memory_order_acquire);
  return (end - start + mSize) % mSize;
}

int RingBuffer::AvailForPut() const { return std::max(mSize - Len() - kFreeSlots, 0); }

int RingBuffer::Put(ConstSamplePtr buffer, SampleFormat bufferFormat, int count) {
  // The consumer's index once: it only ever moves on, so the room seen here
  // can only grow behind our back.
  const int start = mStart.load(std::memory_order_acquire);
  const int end = mEnd.load(std::memory_order_relaxed);
  const int held = (end - start + mSize) % mSize;
  const int room = std::max(mSize - held - kFreeSlots, 0);
  const int n = std::clamp(count, 0, room);
  if (n == 0) return 0;

  const int srcBytes = SampleSize(bufferFormat);
  const int ringBytes = SampleSize(mFormat);
  const int first = std::min(n, mSize - end);
  CopySamples(buffer, bufferFormat, mBuffer + end * ringBytes, mFormat, static_cast<std::uint32_t>(first),
              true, 1);
  if (n > first)
    CopySamples(buffer + first * srcBytes, bufferFormat, mBuffer, mFormat,
                static_cast<std::uint32_t>(n - first), true, 1);

  // Publish the samples with the new end.
  mEnd.store((end + n) % mSize, std::memory_order_release);
  return n;
}

int RingBuffer::Get(SamplePtr buffer, SampleFormat bufferFormat, int count) {
  const int end = mEnd.load(std::memory_order_acquire);
  const int start = mStart.load(std::memory_order_relaxed);
  const int held = (end - start + mSize) % mSize;
  const int n = std::clamp(count, 0, held);
  if (n == 0) return 0;

  const int dstBytes = SampleSize(bufferFormat);
  const int ringBytes = SampleSize(mFormat);
  const int first = std::min(n, mSize - start);
  CopySamples(mBuffer + start * ringBytes, mFormat, buffer, bufferFormat, static_cast<std::uint32_t>(first),
              true, 1);
  if (n > first)
    CopySamples(mBuffer, mFormat, buffer + first * dstBytes, bufferFormat,
                static_cast<std::uint32_t>(n - first), true, 1);

  // Hand the slots back only after they have been read.
  mStart.store((start + n) % mSize, std::memory_order_release);
  return n;
}

int RingBuffer::Discard(int count) {
  const int end = mEnd.load(std::memory_order_acquire);
  const int start = mStart.load(std::memory_order_relaxed);
  const int held = (end - start + mSize) % mSize;
  const int n = std::clamp(count, 0, held);
  mStart.store((start + n) % mSize, std::memory_order_release);
  return n;
}
