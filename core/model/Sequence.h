#pragma once
// The sample data of one wave track: an ordered array of blocks that together hold
// the track's samples in one sample format. Edits rewrite only the blocks at the edges
// of the edited range and move the others by reference, so cut, copy, paste and undo
// share blocks instead of copying audio. Every block but the last holds between the
// minimum and the maximum block size.
//
// Operations that change the sequence either succeed as a whole or leave it as it was:
// a block that cannot be written makes them return false.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "core/model/BlockFile.h"
#include "core/model/SampleFormat.h"

class DirManager;

// One entry of the block array: one counted reference on a block, and the index of
// the block's first sample within the sequence.
struct WaveBlock {
  BlockFile* f = nullptr;
  std::int32_t start = 0;
};

class Sequence {
public:
  // An empty sequence; takes a reference on the manager.
  Sequence(DirManager* dirManager, SampleFormat format);
  // Same manager, format and block sizes; the other's blocks are shared (locked ones
  // are copied).
  Sequence(const Sequence& orig);
  Sequence& operator=(const Sequence&) = delete;
  virtual ~Sequence();

  SampleFormat GetSampleFormat() const { return mSampleFormat; }
  std::int32_t GetNumSamples() const { return mNumSamples.load(std::memory_order_acquire); }
  std::int32_t GetMinBlockSize() const { return mMinSamples; }
  std::int32_t GetMaxBlockSize() const { return mMaxSamples; }
  DirManager* GetDirManager() const { return mDirManager; }
  const std::vector<WaveBlock>& GetBlockArray() const { return mBlock; }

  // How many samples from start a reader should take at once.
  std::int32_t GetBestBlockSize(std::int32_t start) const;
  // The maximum block size when there is no block or the last block is full, else the
  // room left in the last block.
  std::int32_t GetIdealAppendLen() const;

  // Copies samples into buffer, converted to format. False, buffer untouched, when the
  // range does not lie inside the sequence.
  bool Get(SamplePtr buffer, SampleFormat format, std::int32_t start, std::int32_t len) const;
  // Overwrites samples; a null buffer writes silence. Same range rule as Get.
  bool Set(ConstSamplePtr buffer, SampleFormat format, std::int32_t start, std::int32_t len);
  bool SetSilence(std::int32_t start, std::int32_t len);

  // Adds samples at the end. False, nothing added, when a block cannot be written or
  // the sequence would pass 2147483647 samples.
  bool Append(ConstSamplePtr buffer, SampleFormat format, std::int32_t len);
  // Adds len samples (at most the largest block, in the sequence's format) as one new
  // block, never rewriting a short last block: on a nearly full disk a piece that fits
  // goes in. False, nothing added, when the block cannot be written.
  bool AppendAsNewBlock(ConstSamplePtr buffer, std::int32_t len);
  // Cuts the sequence to at most len samples and returns its length then. Blocks past
  // len go first, freeing their room; a block that len cuts gives way to its head, or
  // goes as well when its head cannot be written (so the result may be shorter).
  std::int32_t ShortenTo(std::int32_t len);
  // Adds one block over samples of an imported sound file.
  bool AppendAlias(const std::string& fullPath, std::int32_t start, std::int32_t len, std::int32_t channel);
  // Adds a block of another sequence at the end (shared, or copied when locked).
  bool AppendBlock(const WaveBlock& b);

  // A new sequence with samples s0..s1-1 in *dest (s1 is clipped to the end).
  bool Copy(std::int32_t s0, std::int32_t s1, Sequence** dest) const;
  // Inserts the source's samples at s (clamped to 0..number of samples).
  bool Paste(std::int32_t s, const Sequence* src);
  bool InsertSilence(std::int32_t s, std::int32_t len);
  // Removes len samples from start; a range that runs past the end is cut at the end.
  bool Delete(std::int32_t start, std::int32_t len);

  // Extremes of a range (clipped to the sequence); 0 and 0 for an empty range.
  bool GetMinMax(std::int32_t start, std::int32_t len, float* outMin, float* outMax) const;
  // Per-column extremes for drawing: column i covers the samples where[i] ..
  // where[i + 1] - 1 (where has len + 1 entries). Pixels of 256 samples or more are
  // drawn from the summaries. RMS is always 0.
  bool GetWaveDisplay(float* min, float* max, float* rms, int len, const std::int32_t* where,
                      double samplesPerPixel) const;

  bool LockAllBlocks();
  bool UnlockAllBlocks();

  // True when the starts follow each other without gaps and the lengths add up to the
  // number of samples; otherwise emits a dump of the blocks as diagnostics (to standard
  // output unless a sink takes them).
  bool ConsistencyCheck(const char* whereStr) const;

  // The index of the block holding sample pos; the last block for pos = number of samples.
  int FindBlock(std::int32_t pos) const;

  // Block sizes of sequences made from now on: minimum = bytes / sample size / 2,
  // maximum = twice that. 1032192 unless changed (tests use small blocks).
  static void SetMaxDiskBlockSize(std::int32_t bytes);
  static std::int32_t GetMaxDiskBlockSize();

private:
  // Reads from one block; what the block cannot give reads as zeros.
  void Read(SamplePtr buffer, SampleFormat format, const WaveBlock& b, std::int32_t start,
            std::int32_t len) const;
  // A new simple block in this sequence's format; null when it cannot be written.
  BlockFile* NewBlock(ConstSamplePtr buffer, std::int32_t len);
  // Cuts len samples into new blocks of equal shares no longer than the maximum, with
  // starts counted from offset. False (nothing added) when one cannot be written.
  bool Blockify(std::vector<WaveBlock>& list, std::int32_t offset, ConstSamplePtr buffer, std::int32_t len);
  // Releases the blocks of a list that was never committed.
  void Release(const std::vector<WaveBlock>& list);
  bool CanGrowBy(std::int64_t len) const;

  DirManager* mDirManager;
  std::vector<WaveBlock> mBlock;
  // While a recording appends on the buffer thread, the display reads on the
  // user-interface thread: appends change the block array under this lock and the
  // display holds it while it reads. Edits happen only while nothing records.
  mutable std::mutex mAppendLock;
  SampleFormat mSampleFormat;
  std::atomic<std::int32_t> mNumSamples{0};
  std::int32_t mMinSamples;
  std::int32_t mMaxSamples;
};
