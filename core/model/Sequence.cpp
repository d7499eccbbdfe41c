#include "core/model/Sequence.h"

#include <algorithm>
#include <cfloat>
#include <cstring>
#include <limits>

#include "core/model/DirManager.h"
#include "core/model/SilentBlockFile.h"
#include "platform/seams/Diagnostics.h"

namespace {

constexpr std::int64_t kMaxSamples = std::numeric_limits<std::int32_t>::max();
std::int32_t g_maxDiskBlockSize = 1032192;  // 1008 KiB

// A sample buffer freed at the end of the scope.
class SampleBuffer {
public:
  SampleBuffer(std::int64_t count, SampleFormat format)
      : mFormat(format),
        mData(NewSamples(static_cast<std::uint32_t>(std::max<std::int64_t>(count, 1)), format)) {}
  ~SampleBuffer() { DeleteSamples(mData); }
  SampleBuffer(const SampleBuffer&) = delete;
  SampleBuffer& operator=(const SampleBuffer&) = delete;
  SamplePtr get() const { return mData; }
  // The address of sample i.
  SamplePtr at(std::int64_t i) const { return mData + i * SampleSize(mFormat); }

private:
  SampleFormat mFormat;
  SamplePtr mData;
};

std::int32_t BlockEnd(const WaveBlock& b) { return b.start + b.f->GetLength(); }

// Writes samples of srcFormat into a buffer of dstFormat: converted when the formats
// differ, copied unchanged when they agree.
void CopyIn(ConstSamplePtr src, SampleFormat srcFormat, SamplePtr dst, SampleFormat dstFormat,
            std::int32_t len) {
  if (len <= 0) return;
  if (srcFormat == dstFormat)
    std::memcpy(dst, src, static_cast<std::size_t>(len) * SampleSize(dstFormat));
  else
    CopySamples(src, srcFormat, dst, dstFormat, static_cast<std::uint32_t>(len));
}

}  // namespace

void Sequence::SetMaxDiskBlockSize(std::int32_t bytes) { g_maxDiskBlockSize = bytes; }
std::int32_t Sequence::GetMaxDiskBlockSize() { return g_maxDiskBlockSize; }

Sequence::Sequence(DirManager* dirManager, SampleFormat format)
    : mDirManager(dirManager), mSampleFormat(format) {
  mMinSamples = g_maxDiskBlockSize / SampleSize(format) / 2;
  mMaxSamples = mMinSamples * 2;
  mDirManager->Ref();
}

Sequence::Sequence(const Sequence& orig)
    : mDirManager(orig.mDirManager),
      mSampleFormat(orig.mSampleFormat),
      mMinSamples(orig.mMinSamples),
      mMaxSamples(orig.mMaxSamples) {
  mDirManager->Ref();
  Paste(0, &orig);
}

Sequence::~Sequence() {
  for (const WaveBlock& b : mBlock) mDirManager->Deref(b.f);
  mBlock.clear();
  mDirManager->Deref();
}

bool Sequence::CanGrowBy(std::int64_t len) const { return mNumSamples + len <= kMaxSamples; }

BlockFile* Sequence::NewBlock(ConstSamplePtr buffer, std::int32_t len) {
  return mDirManager->NewSimpleBlockFile(buffer, len, mSampleFormat);
}

void Sequence::Release(const std::vector<WaveBlock>& list) {
  for (const WaveBlock& b : list) mDirManager->Deref(b.f);
}

int Sequence::FindBlock(std::int32_t pos) const {
  const int count = static_cast<int>(mBlock.size());
  if (count == 0 || pos <= 0) return 0;
  if (pos >= mNumSamples) return count - 1;
  int lo = 0, hi = count;  // the block is in [lo, hi)
  while (hi - lo > 1) {
    const int mid = lo + (hi - lo) / 2;
    if (mBlock[mid].start <= pos)
      lo = mid;
    else
      hi = mid;
  }
  return lo;
}

void Sequence::Read(SamplePtr buffer, SampleFormat format, const WaveBlock& b, std::int32_t start,
                    std::int32_t len) const {
  const int count = b.f->ReadData(buffer, format, start, len);
  if (count < len) {
    seams::DiagnosticF(seams::DiagnosticStream::kStandardError,
                       "Expected to read %d samples, got %d samples.\n", len, count);
    const std::int32_t got = std::max(count, 0);
    ClearSamples(buffer, format, static_cast<std::uint32_t>(got), static_cast<std::uint32_t>(len - got));
  }
}

std::int32_t Sequence::GetBestBlockSize(std::int32_t start) const {
  if (start < 0 || start >= mNumSamples) return mMaxSamples;
  int b = FindBlock(start);
  std::int32_t result = BlockEnd(mBlock[b]) - start;
  const int count = static_cast<int>(mBlock.size());
  while (result < mMinSamples && b + 1 < count && result + mBlock[b + 1].f->GetLength() <= mMaxSamples) {
    ++b;
    result += mBlock[b].f->GetLength();
  }
  return result;
}

std::int32_t Sequence::GetIdealAppendLen() const {
  if (mBlock.empty()) return mMaxSamples;
  const std::int32_t last = mBlock.back().f->GetLength();
  return last == mMaxSamples ? mMaxSamples : mMaxSamples - last;
}

bool Sequence::Get(SamplePtr buffer, SampleFormat format, std::int32_t start, std::int32_t len) const {
  std::lock_guard lock(mAppendLock);
  if (start < 0 || len < 0 || start > mNumSamples || static_cast<std::int64_t>(start) + len > mNumSamples)
    return false;
  int b = FindBlock(start);
  while (len > 0) {
    const WaveBlock& block = mBlock[b];
    const std::int32_t offset = start - block.start;
    const std::int32_t n = std::min(len, block.f->GetLength() - offset);
    Read(buffer, format, block, offset, n);
    buffer += static_cast<std::size_t>(n) * SampleSize(format);
    start += n;
    len -= n;
    ++b;
  }
  return true;
}

bool Sequence::Set(ConstSamplePtr buffer, SampleFormat format, std::int32_t start, std::int32_t len) {
  if (start < 0 || len < 0 || start > mNumSamples || static_cast<std::int64_t>(start) + len > mNumSamples)
    return false;
  if (len == 0) return true;

  // New blocks are made first and take their places only when all could be written.
  std::vector<std::pair<int, BlockFile*>> replacements;
  auto abandon = [&] {
    for (auto& r : replacements) mDirManager->Deref(r.second);
    return false;
  };

  int b = FindBlock(start);
  while (len > 0) {
    const WaveBlock& block = mBlock[b];
    const std::int32_t blockLen = block.f->GetLength();
    const std::int32_t offset = start - block.start;
    const std::int32_t n = std::min(len, blockLen - offset);

    BlockFile* replacement;
    if (!buffer && offset == 0 && n == blockLen) {
      replacement = new SilentBlockFile(blockLen);
    } else if (offset == 0 && n == blockLen) {
      // The whole block is new: nothing of the old one needs reading.
      if (format == mSampleFormat) {
        replacement = NewBlock(buffer, blockLen);
      } else {
        SampleBuffer whole(blockLen, mSampleFormat);
        CopyIn(buffer, format, whole.get(), mSampleFormat, n);
        replacement = NewBlock(whole.get(), blockLen);
      }
      if (!replacement) return abandon();
    } else {
      // Read the whole block, overwrite the range, write it as a new block.
      SampleBuffer whole(blockLen, mSampleFormat);
      Read(whole.get(), mSampleFormat, block, 0, blockLen);
      if (buffer)
        CopyIn(buffer, format, whole.at(offset), mSampleFormat, n);
      else
        ClearSamples(whole.get(), mSampleFormat, static_cast<std::uint32_t>(offset),
                     static_cast<std::uint32_t>(n));
      replacement = NewBlock(whole.get(), blockLen);
      if (!replacement) return abandon();
    }
    replacements.emplace_back(b, replacement);

    if (buffer) buffer += static_cast<std::size_t>(n) * SampleSize(format);
    start += n;
    len -= n;
    ++b;
  }

  for (auto& [index, f] : replacements) {
    mDirManager->Deref(mBlock[index].f);
    mBlock[index].f = f;
  }
  ConsistencyCheck("Set");
  return true;
}

bool Sequence::SetSilence(std::int32_t start, std::int32_t len) {
  return Set(nullptr, mSampleFormat, start, len);
}

bool Sequence::Append(ConstSamplePtr buffer, SampleFormat format, std::int32_t len) {
  if (len < 0 || !CanGrowBy(len)) return false;
  if (len == 0) return true;

  // Fill a short last block up first, then add new blocks of at most the maximum.
  BlockFile* newLast = nullptr;
  std::vector<WaveBlock> added;
  std::int32_t numSamples = mNumSamples;
  if (!mBlock.empty() && mBlock.back().f->GetLength() < mMinSamples) {
    const WaveBlock& last = mBlock.back();
    const std::int32_t lastLen = last.f->GetLength();
    const std::int32_t k = lastLen + len >= mMaxSamples ? mMaxSamples - lastLen : len;
    SampleBuffer joined(static_cast<std::int64_t>(lastLen) + k, mSampleFormat);
    Read(joined.get(), mSampleFormat, last, 0, lastLen);
    CopyIn(buffer, format, joined.at(lastLen), mSampleFormat, k);
    newLast = NewBlock(joined.get(), lastLen + k);
    if (!newLast) return false;
    buffer += static_cast<std::size_t>(k) * SampleSize(format);
    len -= k;
    numSamples += k;
  }

  SampleBuffer converted(format == mSampleFormat ? 0 : std::min(len, mMaxSamples), mSampleFormat);
  while (len > 0) {
    const std::int32_t n = std::min(len, mMaxSamples);
    ConstSamplePtr data = buffer;
    if (format != mSampleFormat) {
      CopySamples(buffer, format, converted.get(), mSampleFormat, static_cast<std::uint32_t>(n));
      data = converted.get();
    }
    BlockFile* f = NewBlock(data, n);
    if (!f) {
      if (newLast) mDirManager->Deref(newLast);
      Release(added);
      return false;
    }
    added.push_back({f, numSamples});
    buffer += static_cast<std::size_t>(n) * SampleSize(format);
    numSamples += n;
    len -= n;
  }

  {
    std::lock_guard lock(mAppendLock);
    if (newLast) {
      mDirManager->Deref(mBlock.back().f);
      mBlock.back().f = newLast;
    }
    mBlock.insert(mBlock.end(), added.begin(), added.end());
    mNumSamples = numSamples;
  }
  ConsistencyCheck("Append");
  return true;
}

bool Sequence::AppendAsNewBlock(ConstSamplePtr buffer, std::int32_t len) {
  if (len <= 0 || len > mMaxSamples || !CanGrowBy(len)) return false;
  BlockFile* f = NewBlock(buffer, len);
  if (!f) return false;
  std::lock_guard lock(mAppendLock);
  mBlock.push_back({f, mNumSamples});
  mNumSamples += len;
  return true;
}

std::int32_t Sequence::ShortenTo(std::int32_t len) {
  len = std::max(len, 0);
  if (len >= mNumSamples) return mNumSamples;
  {
    std::lock_guard lock(mAppendLock);
    while (!mBlock.empty() && mBlock.back().start >= len) {
      mDirManager->Deref(mBlock.back().f);
      mNumSamples = mBlock.back().start;
      mBlock.pop_back();
    }
  }
  if (!mBlock.empty() && mNumSamples > len) {
    // The head of the cut block is held in memory and its old file goes before the
    // new one is written: on a full disk that room is what the head needs.
    const WaveBlock last = mBlock.back();
    const std::int32_t keep = len - last.start;
    SampleBuffer head(keep, mSampleFormat);
    Read(head.get(), mSampleFormat, last, 0, keep);
    {
      std::lock_guard lock(mAppendLock);
      mBlock.pop_back();
      mNumSamples = last.start;
    }
    mDirManager->Deref(last.f);
    AppendAsNewBlock(head.get(), keep);
  }
  ConsistencyCheck("ShortenTo");
  return mNumSamples;
}

bool Sequence::AppendAlias(const std::string& fullPath, std::int32_t start, std::int32_t len,
                           std::int32_t channel) {
  if (len <= 0 || !CanGrowBy(len)) return false;
  BlockFile* f = mDirManager->NewAliasBlockFile(fullPath, start, len, channel);
  if (!f) return false;
  std::lock_guard lock(mAppendLock);
  mBlock.push_back({f, mNumSamples});
  mNumSamples += len;
  return true;
}

bool Sequence::AppendBlock(const WaveBlock& b) {
  if (!b.f || !CanGrowBy(b.f->GetLength())) return false;
  BlockFile* f = mDirManager->CopyBlockFile(b.f);
  if (!f) return false;
  std::lock_guard lock(mAppendLock);
  mBlock.push_back({f, mNumSamples});
  mNumSamples += f->GetLength();
  return true;
}

bool Sequence::Blockify(std::vector<WaveBlock>& list, std::int32_t offset, ConstSamplePtr buffer,
                        std::int32_t len) {
  if (len <= 0) return true;
  const std::int64_t n = (static_cast<std::int64_t>(len) + mMaxSamples - 1) / mMaxSamples;
  const std::size_t firstNew = list.size();
  for (std::int64_t i = 0; i < n; ++i) {
    const std::int32_t s = static_cast<std::int32_t>(i * len / n);
    const std::int32_t e = static_cast<std::int32_t>((i + 1) * len / n);
    BlockFile* f = NewBlock(buffer + static_cast<std::size_t>(s) * SampleSize(mSampleFormat), e - s);
    if (!f) {
      Release(std::vector<WaveBlock>(list.begin() + firstNew, list.end()));
      list.resize(firstNew);
      return false;
    }
    list.push_back({f, offset + s});
  }
  return true;
}

bool Sequence::Paste(std::int32_t s, const Sequence* src) {
  if (!src) return false;
  s = std::clamp(s, 0, mNumSamples.load());
  const std::int32_t addedLen = src->mNumSamples;
  if (!CanGrowBy(addedLen)) return false;
  if (addedLen == 0) return true;
  // Pasting a sequence into itself reads the source as it was.
  const std::vector<WaveBlock> srcBlocks = src->mBlock;
  const int srcCount = static_cast<int>(srcBlocks.size());

  // Branch one: append the source's blocks as they are.
  if (mBlock.empty() || (s == mNumSamples && mBlock.back().f->GetLength() >= mMinSamples)) {
    std::vector<WaveBlock> added;
    std::int32_t start = mNumSamples;
    for (const WaveBlock& sb : srcBlocks) {
      BlockFile* f = mDirManager->CopyBlockFile(sb.f);
      if (!f) {
        Release(added);
        return false;
      }
      added.push_back({f, start});
      start += f->GetLength();
    }
    mBlock.insert(mBlock.end(), added.begin(), added.end());
    mNumSamples += addedLen;
    ConsistencyCheck("Paste branch one");
    return true;
  }

  const int b = FindBlock(s);
  const WaveBlock target = mBlock[b];
  const std::int32_t targetLen = target.f->GetLength();
  const std::int32_t before = s - target.start;
  const std::int32_t after = targetLen - before;

  // Branch two: the block and the source fit into one block.
  if (static_cast<std::int64_t>(targetLen) + addedLen < mMaxSamples) {
    SampleBuffer joined(static_cast<std::int64_t>(targetLen) + addedLen, mSampleFormat);
    Read(joined.get(), mSampleFormat, target, 0, before);
    src->Get(joined.at(before), mSampleFormat, 0, addedLen);
    Read(joined.at(before + addedLen), mSampleFormat, target, before, after);
    BlockFile* f = NewBlock(joined.get(), targetLen + addedLen);
    if (!f) return false;
    mDirManager->Deref(target.f);
    mBlock[b].f = f;
    for (std::size_t i = b + 1; i < mBlock.size(); ++i) mBlock[i].start += addedLen;
    mNumSamples += addedLen;
    ConsistencyCheck("Paste branch two");
    return true;
  }

  // Branch three: a new array with the block split around the source.
  std::vector<WaveBlock> middle;
  auto abandon = [&] {
    Release(middle);
    return false;
  };
  if (srcCount <= 4) {
    SampleBuffer joined(static_cast<std::int64_t>(targetLen) + addedLen, mSampleFormat);
    Read(joined.get(), mSampleFormat, target, 0, before);
    src->Get(joined.at(before), mSampleFormat, 0, addedLen);
    Read(joined.at(before + addedLen), mSampleFormat, target, before, after);
    if (!Blockify(middle, target.start, joined.get(), targetLen + addedLen)) return abandon();
  } else {
    // Only the source's first two and last two blocks are rewritten (together with the
    // split block's two parts); the blocks between are shared.
    const std::int32_t headLen = srcBlocks[2].start;
    SampleBuffer head(static_cast<std::int64_t>(before) + headLen, mSampleFormat);
    Read(head.get(), mSampleFormat, target, 0, before);
    src->Get(head.at(before), mSampleFormat, 0, headLen);
    if (!Blockify(middle, target.start, head.get(), before + headLen)) return abandon();

    for (int i = 2; i < srcCount - 2; ++i) {
      BlockFile* f = mDirManager->CopyBlockFile(srcBlocks[i].f);
      if (!f) return abandon();
      middle.push_back({f, s + srcBlocks[i].start});
    }

    const std::int32_t tailStart = srcBlocks[srcCount - 2].start;
    const std::int32_t tailLen = addedLen - tailStart;
    SampleBuffer tail(static_cast<std::int64_t>(tailLen) + after, mSampleFormat);
    src->Get(tail.get(), mSampleFormat, tailStart, tailLen);
    Read(tail.at(tailLen), mSampleFormat, target, before, after);
    if (!Blockify(middle, s + tailStart, tail.get(), tailLen + after)) return abandon();
  }

  std::vector<WaveBlock> newBlock(mBlock.begin(), mBlock.begin() + b);
  newBlock.insert(newBlock.end(), middle.begin(), middle.end());
  for (std::size_t i = b + 1; i < mBlock.size(); ++i)
    newBlock.push_back({mBlock[i].f, mBlock[i].start + addedLen});
  mDirManager->Deref(target.f);
  mBlock.swap(newBlock);
  mNumSamples += addedLen;
  ConsistencyCheck("Paste branch three");
  return true;
}

bool Sequence::InsertSilence(std::int32_t s, std::int32_t len) {
  if (len < 0 || !CanGrowBy(len)) return false;
  if (len == 0) return true;
  Sequence silence(mDirManager, mSampleFormat);
  silence.mMinSamples = mMinSamples;
  silence.mMaxSamples = mMaxSamples;
  while (silence.mNumSamples < len) {
    const std::int32_t n = std::min(mMaxSamples, len - silence.mNumSamples);
    silence.mBlock.push_back({new SilentBlockFile(n), silence.mNumSamples});
    silence.mNumSamples += n;
  }
  const bool pasted = Paste(s, &silence);
  ConsistencyCheck("InsertSilence");
  return pasted;
}

bool Sequence::Copy(std::int32_t s0, std::int32_t s1, Sequence** dest) const {
  *dest = nullptr;
  s0 = std::max(s0, 0);
  s1 = std::min(s1, mNumSamples.load());
  if (s0 >= s1) return false;

  auto* out = new Sequence(mDirManager, mSampleFormat);
  out->mMinSamples = mMinSamples;
  out->mMaxSamples = mMaxSamples;
  auto fail = [&] {
    delete out;
    return false;
  };

  const int count = static_cast<int>(mBlock.size());
  const int b0 = FindBlock(s0);
  const int b1 = s1 == mNumSamples ? count : FindBlock(s1);

  int first = b0;
  if (s0 != mBlock[b0].start) {
    // The part of the first block from s0 becomes new samples.
    const std::int32_t n = std::min(s1 - s0, BlockEnd(mBlock[b0]) - s0);
    SampleBuffer part(n, mSampleFormat);
    Read(part.get(), mSampleFormat, mBlock[b0], s0 - mBlock[b0].start, n);
    if (!out->Append(part.get(), mSampleFormat, n)) return fail();
    first = b0 + 1;
  }
  for (int b = first; b < b1; ++b)
    if (!out->AppendBlock(mBlock[b])) return fail();
  if (b1 < count && b1 >= first) {
    const std::int32_t n = s1 - mBlock[b1].start;
    if (n > 0) {
      SampleBuffer part(n, mSampleFormat);
      Read(part.get(), mSampleFormat, mBlock[b1], 0, n);
      if (!out->Append(part.get(), mSampleFormat, n)) return fail();
    }
  }
  *dest = out;
  return true;
}

bool Sequence::Delete(std::int32_t start, std::int32_t len) {
  if (len == 0) return true;
  if (len < 0 || start < 0 || start >= mNumSamples) return false;
  len = static_cast<std::int32_t>(std::min<std::int64_t>(len, mNumSamples - start));
  const std::int32_t end = start + len;

  const int count = static_cast<int>(mBlock.size());
  const int b0 = FindBlock(start);
  const int b1 = FindBlock(end - 1);
  const WaveBlock first = mBlock[b0];
  const WaveBlock last = mBlock[b1];

  // Branch one: the cut stays inside one block, which keeps at least the minimum.
  if (b0 == b1 && first.f->GetLength() - len >= mMinSamples) {
    const std::int32_t blockLen = first.f->GetLength();
    const std::int32_t pos = start - first.start;
    SampleBuffer kept(blockLen - len, mSampleFormat);
    Read(kept.get(), mSampleFormat, first, 0, pos);
    Read(kept.at(pos), mSampleFormat, first, pos + len, blockLen - pos - len);
    BlockFile* f = NewBlock(kept.get(), blockLen - len);
    if (!f) return false;
    mDirManager->Deref(first.f);
    mBlock[b0].f = f;
    for (int i = b0 + 1; i < count; ++i) mBlock[i].start -= len;
    mNumSamples -= len;
    ConsistencyCheck("Delete - branch one");
    return true;
  }

  // Branch two: a new array; the parts left of b0 and b1 become new blocks, merged with
  // their neighbours when they would be too short.
  std::vector<WaveBlock> made;      // new blocks, released if the edit is abandoned
  std::vector<BlockFile*> dropped;  // old blocks, released when the edit stands
  int keepBefore = b0;              // blocks kept as they are before the edit
  int resumeAfter = b1 + 1;         // first block kept (moved) after the edit

  const std::int32_t preLen = start - first.start;
  if (preLen > 0) {
    if (preLen < mMinSamples && b0 > 0) {
      const WaveBlock& prev = mBlock[b0 - 1];
      const std::int32_t prevLen = prev.f->GetLength();
      SampleBuffer joined(static_cast<std::int64_t>(prevLen) + preLen, mSampleFormat);
      Read(joined.get(), mSampleFormat, prev, 0, prevLen);
      Read(joined.at(prevLen), mSampleFormat, first, 0, preLen);
      if (!Blockify(made, prev.start, joined.get(), prevLen + preLen)) return false;
      dropped.push_back(prev.f);
      keepBefore = b0 - 1;
    } else {
      SampleBuffer pre(preLen, mSampleFormat);
      Read(pre.get(), mSampleFormat, first, 0, preLen);
      BlockFile* f = NewBlock(pre.get(), preLen);
      if (!f) return false;
      made.push_back({f, first.start});
    }
  }

  const std::int32_t postOffset = end - last.start;
  const std::int32_t postLen = last.f->GetLength() - postOffset;
  if (postLen > 0) {
    if (postLen < mMinSamples && b1 + 1 < count) {
      const WaveBlock& next = mBlock[b1 + 1];
      const std::int32_t nextLen = next.f->GetLength();
      SampleBuffer joined(static_cast<std::int64_t>(postLen) + nextLen, mSampleFormat);
      Read(joined.get(), mSampleFormat, last, postOffset, postLen);
      Read(joined.at(postLen), mSampleFormat, next, 0, nextLen);
      if (!Blockify(made, start, joined.get(), postLen + nextLen)) {
        Release(made);
        return false;
      }
      dropped.push_back(next.f);
      resumeAfter = b1 + 2;
    } else {
      SampleBuffer post(postLen, mSampleFormat);
      Read(post.get(), mSampleFormat, last, postOffset, postLen);
      BlockFile* f = NewBlock(post.get(), postLen);
      if (!f) {
        Release(made);
        return false;
      }
      made.push_back({f, start});
    }
  }

  for (int i = b0; i <= b1; ++i) dropped.push_back(mBlock[i].f);

  std::vector<WaveBlock> newBlock(mBlock.begin(), mBlock.begin() + keepBefore);
  newBlock.insert(newBlock.end(), made.begin(), made.end());
  for (int i = resumeAfter; i < count; ++i) newBlock.push_back({mBlock[i].f, mBlock[i].start - len});
  for (BlockFile* f : dropped) mDirManager->Deref(f);
  mBlock.swap(newBlock);
  mNumSamples -= len;
  ConsistencyCheck("Delete - branch two");
  return true;
}

bool Sequence::GetMinMax(std::int32_t start, std::int32_t len, float* outMin, float* outMax) const {
  std::lock_guard lock(mAppendLock);
  const std::int32_t s0 = std::max(start, 0);
  const std::int32_t s1 = static_cast<std::int32_t>(
      std::min<std::int64_t>(static_cast<std::int64_t>(start) + std::max(len, 0), mNumSamples));
  if (s1 <= s0 || mBlock.empty()) {
    *outMin = 0.0f;
    *outMax = 0.0f;
    return true;
  }

  float mn = FLT_MAX, mx = -FLT_MAX, rms;
  const int b0 = FindBlock(s0);
  const int b1 = FindBlock(s1 - 1);
  for (int b = b0 + 1; b < b1; ++b) {
    float bmin, bmax;
    mBlock[b].f->GetMinMax(&bmin, &bmax, &rms);
    mn = std::min(mn, bmin);
    mx = std::max(mx, bmax);
  }
  // The end blocks are read only when their whole-block values could change the result.
  for (int b : {b0, b1}) {
    const WaveBlock& block = mBlock[b];
    float bmin, bmax;
    block.f->GetMinMax(&bmin, &bmax, &rms);
    if (bmin >= mn && bmax <= mx) {
      if (b0 == b1) break;
      continue;
    }
    const std::int32_t from = std::max(s0, block.start);
    const std::int32_t to = std::min(s1, BlockEnd(block));
    block.f->GetMinMax(from - block.start, to - from, &bmin, &bmax, &rms);
    mn = std::min(mn, bmin);
    mx = std::max(mx, bmax);
    if (b0 == b1) break;
  }
  if (mn > mx) mn = mx = 0.0f;  // nothing could be read
  *outMin = mn;
  *outMax = mx;
  return true;
}

bool Sequence::GetWaveDisplay(float* min, float* max, float* rms, int len, const std::int32_t* where,
                              double samplesPerPixel) const {
  if (len <= 0) return true;
  std::lock_guard lock(mAppendLock);
  const std::int32_t level = samplesPerPixel >= 65536 ? 65536 : samplesPerPixel >= 256 ? 256 : 1;
  const std::int32_t s1 = std::min(where[len], mNumSamples.load());

  // The frames of one block that lie in the drawn range, loaded once per block.
  int loadedBlock = -1;
  std::int32_t loadedFirst = 0;  // frame index (within the block) of frames[0]
  std::vector<float> frames;     // minimum, maximum per frame
  std::vector<float> raw;
  auto load = [&](int b) {
    if (b == loadedBlock) return;
    const WaveBlock& block = mBlock[b];
    const std::int32_t from = std::max(where[0], block.start) - block.start;
    const std::int32_t to = std::min(s1, BlockEnd(block)) - block.start;
    loadedFirst = from / level;
    const std::int32_t count = std::max((to + level - 1) / level - loadedFirst, 0);
    frames.assign(2 * static_cast<std::size_t>(count), 0.0f);
    if (level == 1) {
      raw.resize(count);
      Read(reinterpret_cast<SamplePtr>(raw.data()), SampleFormatFloat, block, loadedFirst, count);
      for (std::int32_t i = 0; i < count; ++i) frames[2 * i] = frames[2 * i + 1] = raw[i];
    } else {
      raw.assign(3 * static_cast<std::size_t>(count), 0.0f);
      if (level == 256)
        block.f->Read256(raw.data(), loadedFirst, count);
      else
        block.f->Read64K(raw.data(), loadedFirst, count);
      for (std::int32_t i = 0; i < count; ++i) {
        frames[2 * i] = raw[3 * i];
        frames[2 * i + 1] = raw[3 * i + 1];
      }
    }
    loadedBlock = b;
  };

  float lastMin = 0.0f, lastMax = 0.0f;
  int b = mBlock.empty() ? 0 : FindBlock(std::max(where[0], 0));
  for (int p = 0; p < len; ++p) {
    const std::int32_t a = std::max(where[p], 0);
    if (mBlock.empty() || a >= s1) {
      // Columns no frame reaches keep the last values.
      min[p] = lastMin;
      max[p] = lastMax;
      rms[p] = 0.0f;
      continue;
    }
    const std::int32_t next = std::max(where[p + 1], a);
    if (mBlock[b].start > a) b = FindBlock(a);  // columns that step back
    while (BlockEnd(mBlock[b]) <= a) ++b;

    // The frame holding the column's first sample, then every frame that ends by the
    // next column's first sample.
    float mn = FLT_MAX, mx = -FLT_MAX;
    int fb = b;
    std::int32_t frame = (a - mBlock[fb].start) / level;
    bool firstFrame = true;
    while (fb < static_cast<int>(mBlock.size())) {
      const WaveBlock& block = mBlock[fb];
      const std::int32_t frameStart = block.start + frame * level;
      const std::int32_t frameEnd = std::min(frameStart + level, BlockEnd(block));
      if (frameStart >= s1 || (!firstFrame && frameEnd > next)) break;
      load(fb);
      const std::int32_t i = frame - loadedFirst;
      if (i >= 0 && 2 * static_cast<std::size_t>(i) < frames.size()) {
        mn = std::min(mn, frames[2 * i]);
        mx = std::max(mx, frames[2 * i + 1]);
      }
      firstFrame = false;
      if (frameEnd >= BlockEnd(block)) {
        ++fb;
        frame = 0;
      } else {
        ++frame;
      }
    }
    if (mn > mx) mn = mx = 0.0f;  // nothing could be read
    min[p] = lastMin = mn;
    max[p] = lastMax = mx;
    rms[p] = 0.0f;
  }
  return true;
}

bool Sequence::LockAllBlocks() {
  for (const WaveBlock& b : mBlock) b.f->Lock();
  return true;
}

bool Sequence::UnlockAllBlocks() {
  for (const WaveBlock& b : mBlock) b.f->Unlock();
  return true;
}

bool Sequence::ConsistencyCheck(const char* whereStr) const {
  std::int64_t pos = 0;
  bool error = false;
  for (const WaveBlock& b : mBlock) {
    if (b.start != pos) error = true;
    pos += b.f->GetLength();
  }
  if (pos != mNumSamples) error = true;
  if (!error) return true;

  // The dump goes to standard output unless a sink takes it.
  constexpr seams::DiagnosticStream kDump = seams::DiagnosticStream::kStandardOutput;
  seams::DiagnosticF(kDump, "*** Consistency check failed after %s ***\n", whereStr);
  pos = 0;
  for (std::size_t i = 0; i < mBlock.size(); ++i) {
    const WaveBlock& b = mBlock[i];
    seams::DiagnosticF(kDump, "Block %3d: start %8d len %8d refs %d %s%s", static_cast<int>(i), b.start,
                       b.f->GetLength(), b.f->GetRefCount(), b.f->GetFileName().GetNameExt().c_str(),
                       b.start != pos ? "  ERROR\n" : "\n");
    pos += b.f->GetLength();
  }
  if (pos != mNumSamples) seams::DiagnosticF(kDump, "ERROR mNumSamples = %d\n", mNumSamples.load());
  seams::Diagnostic("\n", kDump);
  seams::Diagnostic("Recommended course of action:\n", kDump);
  seams::Diagnostic("Undo the failed operation(s), then export or save your work and quit.\n", kDump);
  return false;
}
