#include "core/model/WaveTrack.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

#include "core/model/DirManager.h"
#include "core/model/Envelope.h"
#include "core/model/FFT.h"
#include "core/model/ModelText.h"
#include "core/model/Sequence.h"
#include "core/model/TakeJournal.h"

namespace {

std::atomic<WaveTrack::DefaultRateFunction> g_defaultRate{nullptr};

constexpr int kSpectrumWindow = 256;
constexpr int kSpectrumTopFrequency = 8000;
// Display columns are drawn from summary frames of 65536 or 256 samples when
// a pixel spans that many, else from the samples. A column whose frames all
// lay inside the blocks cannot change through appends; the last frame of the
// blocks may still have been partly filled, so keep one frame away from it.
std::int64_t AppendMargin(double samplesPerPixel) {
  return samplesPerPixel >= 65536 ? 65536 : samplesPerPixel >= 256 ? 256 : 1;
}

std::int32_t ClampToInt32(double v) {
  if (v < static_cast<double>(std::numeric_limits<std::int32_t>::min()))
    return std::numeric_limits<std::int32_t>::min();
  if (v > static_cast<double>(std::numeric_limits<std::int32_t>::max()))
    return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(v);
}

}  // namespace

struct WaveTrack::WaveCache {
  explicit WaveCache(int n) : len(n), where(n + 1), min(n), max(n), rms(n) {}
  int changeCounter = -1;
  std::int64_t seqSamples = 0;  // samples in blocks when the columns were computed
  std::int32_t appendLen = 0;   // and samples waiting to be appended then
  int len;
  double start = -1.0;
  double pps = 0.0;
  std::vector<std::int32_t> where;
  std::vector<float> min, max, rms;
};

struct WaveTrack::SpecCache {
  SpecCache(int n, int bins) : len(n), bins(bins), where(n + 1), values(std::size_t(n) * bins) {}
  int changeCounter = -1;
  std::int64_t seqSamples = 0;
  int len;
  int bins;
  bool autocorrelation = false;
  double start = -1.0;
  double pps = 0.0;
  std::vector<std::int32_t> where;
  std::vector<float> values;
};

void WaveTrack::SetDefaultRateFunction(DefaultRateFunction f) { g_defaultRate.store(f); }

double WaveTrack::GetDefaultRate() {
  DefaultRateFunction f = g_defaultRate.load();
  return f ? static_cast<double>(f()) : 44100.0;
}

WaveTrack::WaveTrack(DirManager* dirManager, SampleFormat format, double rate) : Track(dirManager) {
  if (format == static_cast<SampleFormat>(0)) format = SampleFormatInt16;
  if (rate == 0.0 || std::isnan(rate)) rate = GetDefaultRate();
  mRate = rate;
  mName = model_text::kNewTrackName;
  mSequence = new Sequence(dirManager, format);
  mEnvelope = new Envelope;
}

WaveTrack::WaveTrack(const WaveTrack& orig) : Track(orig) {
  Init(orig);
  mSequence = new Sequence(*orig.mSequence);
  mEnvelope = new Envelope;
  // The envelope's curve and its settings travel with the track.
  mEnvelope->Flatten(orig.mEnvelope->GetDefaultValue());
  mEnvelope->SetInterpolateDB(orig.mEnvelope->GetInterpolateDB());
  mEnvelope->Paste(0.0, orig.mEnvelope);
  mEnvelope->SetOffset(orig.mOffset);
  SetEnvelopeLengthFromSequence();
}

WaveTrack::~WaveTrack() {
  delete mSequence;
  delete mEnvelope;
  if (mAppendBuffer) DeleteSamples(mAppendBuffer);
}

void WaveTrack::Init(const WaveTrack& orig) {
  Track::Init(orig);
  mRate = orig.mRate;
  mGain = orig.mGain;
  mPan = orig.mPan;
  mName = orig.mName;
  mDisplay = orig.mDisplay;
  mDisplayMin = orig.mDisplayMin;
  mDisplayMax = orig.mDisplayMax;
}

Track* WaveTrack::Duplicate() const { return new WaveTrack(*this); }

bool WaveTrack::OnlyAppendedSince(int counter) const {
  if (!mHaveAppendRun) return false;
  const unsigned now = static_cast<unsigned>(GetChangeCounter());
  const unsigned runStart = static_cast<unsigned>(mAppendRunStart);
  if (now != static_cast<unsigned>(mLastAppendCounter)) return false;
  return static_cast<unsigned>(counter) - runStart <= now - runStart;
}

void WaveTrack::SetEnvelopeLengthFromSequence() {
  mEnvelope->SetTrackLen(static_cast<double>(mSequence->GetNumSamples()) / mRate);
}

void WaveTrack::SetRate(double rate) {
  mRate = rate;
  MarkChanged();
}

void WaveTrack::SetOffset(double t) {
  Track::SetOffset(t);
  mEnvelope->SetOffset(t);
  MarkChanged();
}

float WaveTrack::GetChannelGain(int channel) const {
  if (channel == 0) return mPan > 0.0f ? mGain * (1.0f - mPan) : mGain;
  return mPan < 0.0f ? mGain * (1.0f + mPan) : mGain;
}

SampleFormat WaveTrack::GetSampleFormat() const { return mSequence->GetSampleFormat(); }

std::int64_t WaveTrack::GetNumSamples() const { return mSequence->GetNumSamples(); }

double WaveTrack::GetStartTime() const { return mOffset; }

double WaveTrack::GetEndTime() const {
  const double samples = static_cast<double>(mSequence->GetNumSamples()) + GetAppendLength();
  return samples / mRate + mOffset;
}

std::int64_t WaveTrack::TimeToSamples(double t) const {
  return static_cast<std::int64_t>(std::floor(t * mRate + 0.5));
}

std::int64_t WaveTrack::TimeToSamplesClip(double t) const {
  if (t < mOffset) return 0;
  const std::int64_t n = mSequence->GetNumSamples();
  const double s = std::floor((t - mOffset) * mRate + 0.5);
  if (s > static_cast<double>(n)) return n;
  return std::max<std::int64_t>(static_cast<std::int64_t>(s), 0);
}

std::int64_t WaveTrack::FirstSample() const { return TimeToSamples(mOffset); }

bool WaveTrack::Cut(double t0, double t1, Track** dest) {
  *dest = nullptr;
  if (t1 < t0) return false;
  const std::int64_t s0 = TimeToSamplesClip(t0);
  const std::int64_t s1 = TimeToSamplesClip(t1);

  Sequence* part = nullptr;
  if (!mSequence->Copy(static_cast<std::int32_t>(s0), static_cast<std::int32_t>(s1), &part)) return false;
  if (!mSequence->Delete(static_cast<std::int32_t>(s0), static_cast<std::int32_t>(s1 - s0))) {
    delete part;
    return false;
  }

  WaveTrack* newTrack = new WaveTrack(mDirManager, GetSampleFormat(), mRate);
  newTrack->Init(*this);
  delete newTrack->mSequence;
  newTrack->mSequence = part;
  newTrack->mEnvelope->CopyFrom(mEnvelope, t0, t1);
  mEnvelope->CollapseRegion(t0, t1);

  *dest = newTrack;
  MarkChanged();
  return true;
}

bool WaveTrack::Copy(double t0, double t1, Track** dest) {
  *dest = nullptr;
  if (t1 < t0) return false;
  const std::int64_t s0 = TimeToSamplesClip(t0);
  const std::int64_t s1 = TimeToSamplesClip(t1);

  Sequence* part = nullptr;
  if (!mSequence->Copy(static_cast<std::int32_t>(s0), static_cast<std::int32_t>(s1), &part)) return false;

  WaveTrack* newTrack = new WaveTrack(mDirManager, GetSampleFormat(), mRate);
  newTrack->Init(*this);
  delete newTrack->mSequence;
  newTrack->mSequence = part;
  newTrack->mEnvelope->CopyFrom(mEnvelope, t0, t1);

  *dest = newTrack;
  MarkChanged();
  return true;
}

bool WaveTrack::Clear(double t0, double t1) {
  if (t1 < t0) return false;
  const std::int64_t s0 = TimeToSamplesClip(t0);
  const std::int64_t s1 = TimeToSamplesClip(t1);
  if (!mSequence->Delete(static_cast<std::int32_t>(s0), static_cast<std::int32_t>(s1 - s0))) return false;
  mEnvelope->CollapseRegion(t0, t1);
  MarkChanged();
  return true;
}

bool WaveTrack::Paste(double t0, const Track* src) {
  if (!src || src->GetKind() != Wave) return false;
  const WaveTrack* other = static_cast<const WaveTrack*>(src);
  const std::int64_t s = TimeToSamplesClip(t0);

  // Samples of another format are converted first, so that every block of
  // this track keeps its format and block sizes.
  const Sequence* srcSeq = other->mSequence;
  std::unique_ptr<Sequence> converted;
  if (srcSeq->GetSampleFormat() != GetSampleFormat() && srcSeq->GetNumSamples() > 0) {
    converted = std::make_unique<Sequence>(mDirManager, GetSampleFormat());
    const std::int32_t total = srcSeq->GetNumSamples();
    const std::int32_t chunk = converted->GetMaxBlockSize();
    SamplePtr buf = NewSamples(static_cast<std::uint32_t>(chunk), GetSampleFormat());
    bool ok = true;
    for (std::int32_t pos = 0; ok && pos < total; pos += chunk) {
      const std::int32_t n = std::min(chunk, total - pos);
      ok = srcSeq->Get(buf, GetSampleFormat(), pos, n) && converted->Append(buf, GetSampleFormat(), n);
    }
    DeleteSamples(buf);
    if (!ok) return false;
    srcSeq = converted.get();
  }

  if (!mSequence->Paste(static_cast<std::int32_t>(s), srcSeq)) return false;
  mEnvelope->Paste(t0, other->mEnvelope);
  MarkChanged();
  return true;
}

bool WaveTrack::Silence(double t0, double t1) {
  if (t1 < t0) return false;
  const std::int64_t s0 = TimeToSamplesClip(t0);
  const std::int64_t s1 = TimeToSamplesClip(t1);
  const bool ok = mSequence->SetSilence(static_cast<std::int32_t>(s0), static_cast<std::int32_t>(s1 - s0));
  MarkChanged();
  return ok;
}

bool WaveTrack::InsertSilence(double t, double len) {
  if (len < 0) return false;
  const std::int64_t s = TimeToSamplesClip(t);
  const double n = std::floor(len * mRate + 0.5);
  if (n > static_cast<double>(std::numeric_limits<std::int32_t>::max())) return false;
  if (n > 0 && !mSequence->InsertSilence(static_cast<std::int32_t>(s), static_cast<std::int32_t>(n)))
    return false;
  mEnvelope->InsertSpace(t - mOffset, len);
  MarkChanged();
  return true;
}

bool WaveTrack::Get(SamplePtr buffer, SampleFormat format, std::int64_t start, std::int32_t len) const {
  if (len <= 0) return true;
  const int bytes = SampleSize(format);
  const std::int64_t rel = start - FirstSample();
  const std::int64_t n = mSequence->GetNumSamples();
  const std::int64_t s0 = std::clamp<std::int64_t>(rel, 0, n);
  const std::int64_t s1 = std::clamp<std::int64_t>(rel + len, 0, n);

  // Zeros before the first sample and after the last.
  if (s0 > rel)
    std::memset(buffer, 0, static_cast<std::size_t>(std::min<std::int64_t>(s0 - rel, len)) * bytes);
  if (rel + len > s1) {
    const std::int64_t from = std::max<std::int64_t>(s1 - rel, 0);
    std::memset(buffer + from * bytes, 0, static_cast<std::size_t>(len - from) * bytes);
  }
  if (s1 <= s0) return true;
  if (!mSequence->Get(buffer + (s0 - rel) * bytes, format, static_cast<std::int32_t>(s0),
                      static_cast<std::int32_t>(s1 - s0))) {
    std::memset(buffer, 0, static_cast<std::size_t>(len) * bytes);
    return false;
  }
  return true;
}

bool WaveTrack::Set(ConstSamplePtr buffer, SampleFormat format, std::int64_t start, std::int32_t len) {
  MarkChanged();
  if (len <= 0) return true;
  const int bytes = SampleSize(format);
  const std::int64_t rel = start - FirstSample();
  const std::int64_t n = mSequence->GetNumSamples();
  const std::int64_t s0 = std::clamp<std::int64_t>(rel, 0, n);
  const std::int64_t s1 = std::clamp<std::int64_t>(rel + len, 0, n);
  if (s1 <= s0) return true;  // wholly outside the track
  return mSequence->Set(buffer + (s0 - rel) * bytes, format, static_cast<std::int32_t>(s0),
                        static_cast<std::int32_t>(s1 - s0));
}

bool WaveTrack::Append(ConstSamplePtr buffer, SampleFormat format, std::int32_t len, unsigned int stride) {
  const SampleFormat seqFormat = mSequence->GetSampleFormat();
  const int seqBytes = SampleSize(seqFormat);
  if (!mAppendBuffer) {
    mAppendBufferSize = mSequence->GetMaxBlockSize();
    mAppendBuffer = NewSamples(static_cast<std::uint32_t>(mAppendBufferSize), seqFormat);
  }
  if (stride == 0) stride = 1;

  std::int32_t appendLen = mAppendLen.load(std::memory_order_relaxed);
  for (;;) {
    // Whole blocks (or what fills the last one) go to the sequence.
    std::int32_t ideal = mSequence->GetIdealAppendLen();
    while (ideal > 0 && appendLen >= ideal) {
      if (!AppendBlockFromBuffer(ideal)) {
        mAppendLen.store(appendLen, std::memory_order_release);
        return false;
      }
      std::memmove(mAppendBuffer, mAppendBuffer + ideal * seqBytes,
                   static_cast<std::size_t>(appendLen - ideal) * seqBytes);
      appendLen -= ideal;
      mAppendLen.store(appendLen, std::memory_order_release);
      ideal = mSequence->GetIdealAppendLen();
    }

    if (len <= 0) break;

    const std::int32_t toCopy = std::min(len, mAppendBufferSize - appendLen);
    CopySamples(buffer, format, mAppendBuffer + appendLen * seqBytes, seqFormat,
                static_cast<std::uint32_t>(toCopy), true, stride);
    appendLen += toCopy;
    mAppendLen.store(appendLen, std::memory_order_release);
    buffer += static_cast<std::size_t>(toCopy) * SampleSize(format) * stride;
    len -= toCopy;
  }

  if (mJournal) mJournal->Keep(mJournalTrack, mAppendBuffer, appendLen);
  SetEnvelopeLengthFromSequence();
  NoteAppended();
  return true;
}

void WaveTrack::NoteAppended() {
  // A run of appends (nothing else changed in between) only adds samples at
  // the end; the display caches keep the columns before them.
  if (!mHaveAppendRun || GetChangeCounter() != mLastAppendCounter) {
    mAppendRunStart = GetChangeCounter();
    mHaveAppendRun = true;
  }
  MarkChanged();
  mLastAppendCounter = GetChangeCounter();
}

bool WaveTrack::AppendBlock(BlockFile* block) {
  if (!block || mAppendLen.load(std::memory_order_acquire) > 0) return false;
  if (!mSequence->AppendBlock(WaveBlock{block, 0})) return false;
  SetEnvelopeLengthFromSequence();
  NoteAppended();
  return true;
}

bool WaveTrack::AppendBlockFromBuffer(std::int32_t len) {
  const SampleFormat format = mSequence->GetSampleFormat();
  if (!mJournal) return mSequence->Append(mAppendBuffer, format, len);
  // The journal has been writing these samples into the file of this block.
  if (BlockFile* block = mJournal->TakeBlock(mJournalTrack, mAppendBuffer, len)) {
    const bool appended = mSequence->AppendBlock({block, 0});
    mSequence->GetDirManager()->Deref(block);  // the sequence holds its own reference
    return appended;
  }
  if (!mSequence->Append(mAppendBuffer, format, len)) return false;
  mJournal->BlockWritten(mJournalTrack, mSequence->GetBlockArray().back().f);
  return true;
}

void WaveTrack::SetTakeJournal(TakeJournal* journal, int track) {
  mJournal = journal;
  mJournalTrack = track;
}

bool WaveTrack::AppendAlias(const std::string& fullPath, std::int32_t start, std::int32_t len, int channel) {
  const bool ok = mSequence->AppendAlias(fullPath, start, len, channel);
  if (ok) SetEnvelopeLengthFromSequence();
  MarkChanged();
  return ok;
}

bool WaveTrack::Flush() {
  const std::int32_t appendLen = mAppendLen.load(std::memory_order_acquire);
  if (appendLen > 0) {
    if (!mSequence->Append(mAppendBuffer, mSequence->GetSampleFormat(), appendLen)) return false;
    mAppendLen.store(0, std::memory_order_release);
    SetEnvelopeLengthFromSequence();
  }
  return true;
}

bool WaveTrack::FlushInStep(const std::vector<WaveTrack*>& tracks) {
  if (tracks.empty()) return true;
  auto written = [](const WaveTrack* t) { return static_cast<std::int64_t>(t->mSequence->GetNumSamples()); };

  // Per track, the samples still to write (in the sequence's format): what was written
  // past the others comes back into memory, whole blocks at a time (so nothing needs
  // writing), until every track is written to one length; the append buffer follows.
  std::vector<std::vector<char>> waiting(tracks.size());
  for (bool same = false; !same;) {
    std::int64_t pos = written(tracks[0]);
    for (const WaveTrack* t : tracks) pos = std::min(pos, written(t));
    same = true;
    for (std::size_t i = 0; i < tracks.size(); ++i) {
      Sequence* seq = tracks[i]->mSequence;
      const std::int64_t end = written(tracks[i]);
      if (end == pos) continue;
      same = false;
      std::int32_t from = 0;  // the start of the block that holds pos
      for (const WaveBlock& b : seq->GetBlockArray())
        if (b.start <= pos) from = b.start;
      const int bytes = SampleSize(seq->GetSampleFormat());
      std::vector<char> back(static_cast<std::size_t>(end - from) * bytes);
      seq->Get(back.data(), seq->GetSampleFormat(), from, static_cast<std::int32_t>(end - from));
      seq->ShortenTo(from);
      waiting[i].insert(waiting[i].begin(), back.begin(), back.end());
    }
  }
  std::int64_t goal = std::numeric_limits<std::int64_t>::max();
  std::int64_t most = 0;
  std::int32_t piece = std::numeric_limits<std::int32_t>::max();
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    WaveTrack* t = tracks[i];
    const int bytes = SampleSize(t->mSequence->GetSampleFormat());
    const std::int32_t pending = t->GetAppendLength();
    waiting[i].insert(waiting[i].end(), t->mAppendBuffer,
                      t->mAppendBuffer + static_cast<std::size_t>(pending) * bytes);
    t->mAppendLen.store(0, std::memory_order_release);
    const std::int64_t held = static_cast<std::int64_t>(waiting[i].size()) / bytes;
    goal = std::min(goal, held);
    most = std::max(most, held);
    piece = std::min(piece, t->mSequence->GetMaxBlockSize());
  }

  // Pieces of one length bring the tracks forward together, each piece a block of its
  // own; a piece the disk refuses is halved, down to one too small to matter. A round
  // that fails part-way leaves pieces on some tracks only: they go again.
  constexpr std::int32_t kSmallestPiece = 1024;
  const std::int64_t base = written(tracks[0]);
  std::int64_t done = 0;
  while (done < goal && piece >= kSmallestPiece) {
    const std::int32_t n = static_cast<std::int32_t>(std::min<std::int64_t>(piece, goal - done));
    bool ok = true;
    for (std::size_t i = 0; i < tracks.size() && ok; ++i) {
      Sequence* seq = tracks[i]->mSequence;
      const std::size_t at = static_cast<std::size_t>(done) * SampleSize(seq->GetSampleFormat());
      ok = seq->AppendAsNewBlock(waiting[i].data() + at, n);
    }
    if (ok) {
      done += n;
    } else {
      for (WaveTrack* t : tracks) t->mSequence->ShortenTo(static_cast<std::int32_t>(base + done));
      piece /= 2;
    }
  }
  for (WaveTrack* t : tracks) {
    t->SetEnvelopeLengthFromSequence();
    t->MarkChanged();
  }
  return done == most;
}

std::int32_t WaveTrack::GetBestBlockSize(std::int64_t start) const {
  const std::int64_t rel = start - FirstSample();
  if (rel >= 0 && rel < mSequence->GetNumSamples())
    return mSequence->GetBestBlockSize(static_cast<std::int32_t>(rel));
  return mSequence->GetMaxBlockSize();
}

std::int32_t WaveTrack::GetMaxBlockSize() const { return mSequence->GetMaxBlockSize(); }

bool WaveTrack::GetMinMax(float* min, float* max, double t0, double t1) const {
  *min = 0.0f;
  *max = 0.0f;
  if (t1 < t0) return false;
  if (t0 == t1) return true;
  const std::int64_t s0 = TimeToSamplesClip(t0);
  const std::int64_t s1 = TimeToSamplesClip(t1);
  return mSequence->GetMinMax(static_cast<std::int32_t>(s0), static_cast<std::int32_t>(s1 - s0), min, max);
}

void WaveTrack::RestoreContent(const WaveTrack& saved) {
  if (&saved == this) return;
  Sequence* seq = new Sequence(*saved.mSequence);
  delete mSequence;
  mSequence = seq;
  *mEnvelope = *saved.mEnvelope;
  mRate = saved.mRate;
  Track::SetOffset(saved.mOffset);
  mAppendLen.store(0, std::memory_order_release);
  MarkChanged();
}

bool WaveTrack::Lock() { return mSequence->LockAllBlocks(); }
bool WaveTrack::Unlock() { return mSequence->UnlockAllBlocks(); }

// ---- Display caches ----

void WaveTrack::ComputeWaveColumns(WaveCache& c, int p0, int p1) const {
  const std::int64_t numSamples = c.seqSamples;
  const std::int32_t appendLen = c.appendLen;

  // Column x covers where[x] .. max(where[x+1], where[x]+1) - 1. Columns
  // wholly before the track are empty; those from the end of the blocks on
  // can only hold waiting samples; the rest are drawn from the blocks.
  int a = p0;
  while (a < p1 && std::max<std::int64_t>(c.where[a + 1], std::int64_t(c.where[a]) + 1) <= 0) {
    c.min[a] = c.max[a] = c.rms[a] = 0.0f;
    ++a;
  }
  int b = a;
  while (b < p1 && c.where[b] < numSamples) ++b;
  if (b > a) mSequence->GetWaveDisplay(&c.min[a], &c.max[a], &c.rms[a], b - a, &c.where[a], mRate / c.pps);

  // Samples still in the append buffer (a recording in progress) fold into
  // the columns that reach past the blocks.
  const int seqLast = b - 1;  // may straddle the end of the blocks
  std::vector<float> scratch;
  for (int x = std::max(a, seqLast); x < p1; ++x) {
    if (x < a) continue;
    const bool fromBlocks = x < b;
    const std::int64_t from = std::max<std::int64_t>(c.where[x], numSamples);
    const std::int64_t to = std::min<std::int64_t>(
        std::max<std::int64_t>(c.where[x + 1], std::int64_t(c.where[x]) + 1), numSamples + appendLen);
    float mn = fromBlocks ? c.min[x] : FLT_MAX;
    float mx = fromBlocks ? c.max[x] : -FLT_MAX;
    if (to > from && mAppendBuffer) {
      const std::int32_t n = static_cast<std::int32_t>(to - from);
      scratch.resize(n);
      const SampleFormat seqFormat = mSequence->GetSampleFormat();
      CopySamples(mAppendBuffer + (from - numSamples) * SampleSize(seqFormat), seqFormat,
                  reinterpret_cast<SamplePtr>(scratch.data()), SampleFormatFloat,
                  static_cast<std::uint32_t>(n));
      for (float v : scratch) {
        mn = std::min(mn, v);
        mx = std::max(mx, v);
      }
    }
    if (mn > mx) mn = mx = 0.0f;  // no samples at all
    c.min[x] = mn;
    c.max[x] = mx;
    if (!fromBlocks) c.rms[x] = 0.0f;
  }
}

bool WaveTrack::GetWaveDisplay(float* min, float* max, float* rms, std::int32_t* where, int numPixels,
                               double t0, double pixelsPerSecond) {
  if (numPixels <= 0) return true;
  const int counter = GetChangeCounter();

  WaveCache* old = mWaveCache.get();
  if (old && old->changeCounter == counter && old->start == t0 && old->len >= numPixels &&
      old->pps == pixelsPerSecond) {
    std::copy_n(old->min.begin(), numPixels, min);
    std::copy_n(old->max.begin(), numPixels, max);
    std::copy_n(old->rms.begin(), numPixels, rms);
    std::copy_n(old->where.begin(), numPixels + 1, where);
    return true;
  }

  auto cache = std::make_unique<WaveCache>(numPixels);
  cache->start = t0;
  cache->pps = pixelsPerSecond;
  cache->seqSamples = mSequence->GetNumSamples();
  cache->appendLen = GetAppendLength();
  for (int x = 0; x <= numPixels; ++x)
    cache->where[x] = ClampToInt32(std::floor(t0 * mRate + x * mRate / pixelsPerSecond + 0.5));

  // Columns of the old cache over exactly the same samples keep their values
  // when nothing changed (the view only scrolled), or when only appends
  // happened and those samples lay well inside the blocks. While a recording
  // fills the append buffer and no block was added since, a column whose samples
  // were all there is computed from the same samples again: it is kept too.
  std::vector<bool> done(numPixels, false);
  if (old && old->pps == pixelsPerSecond && old->len > 0) {
    const bool unchanged = old->changeCounter == counter;
    const bool onlyAppended = OnlyAppendedSince(old->changeCounter);
    const bool sameBlocks = onlyAppended && old->seqSamples == cache->seqSamples;
    const std::int64_t margin = AppendMargin(mRate / pixelsPerSecond);
    const std::int64_t oldAvailable = old->seqSamples + old->appendLen;
    for (int x = 0; x < numPixels; ++x) {
      auto it = std::lower_bound(old->where.begin(), old->where.begin() + old->len, cache->where[x]);
      if (it == old->where.begin() + old->len || *it != cache->where[x]) continue;
      const int j = static_cast<int>(it - old->where.begin());
      if (old->where[j + 1] != cache->where[x + 1]) continue;
      const std::int64_t end = std::max<std::int64_t>(old->where[j + 1], std::int64_t(old->where[j]) + 1);
      if (!unchanged && !(onlyAppended && std::int64_t(old->where[j + 1]) + margin <= old->seqSamples) &&
          !(sameBlocks && end <= oldAvailable))
        continue;
      // A run of columns at one position shares its running extremes; take
      // only the first of such a run.
      if (j > 0 && old->where[j - 1] == old->where[j]) continue;
      cache->min[x] = old->min[j];
      cache->max[x] = old->max[j];
      cache->rms[x] = old->rms[j];
      done[x] = true;
    }
  }

  for (int x = 0; x < numPixels;) {
    if (done[x]) {
      ++x;
      continue;
    }
    int y = x;
    while (y < numPixels && !done[y]) ++y;
    ComputeWaveColumns(*cache, x, y);
    x = y;
  }

  cache->changeCounter = counter;

  std::copy_n(cache->min.begin(), numPixels, min);
  std::copy_n(cache->max.begin(), numPixels, max);
  std::copy_n(cache->rms.begin(), numPixels, rms);
  std::copy_n(cache->where.begin(), numPixels + 1, where);
  mWaveCache = std::move(cache);
  return true;
}

bool WaveTrack::GetSpectrogram(float* buffer, std::int32_t* where, int numPixels, int height, double t0,
                               double pixelsPerSecond, bool autocorrelation) {
  if (numPixels <= 0 || height <= 0) return true;
  const int counter = GetChangeCounter();

  SpecCache* old = mSpecCache.get();
  if (old && old->changeCounter == counter && old->start == t0 && old->len >= numPixels &&
      old->pps == pixelsPerSecond && old->bins == height && old->autocorrelation == autocorrelation) {
    std::copy_n(old->values.begin(), std::size_t(numPixels) * height, buffer);
    std::copy_n(old->where.begin(), numPixels + 1, where);
    return true;
  }

  auto cache = std::make_unique<SpecCache>(numPixels, height);
  cache->start = t0;
  cache->pps = pixelsPerSecond;
  cache->autocorrelation = autocorrelation;
  for (int x = 0; x <= numPixels; ++x)
    cache->where[x] = ClampToInt32(std::floor(t0 * mRate + x * mRate / pixelsPerSecond + 0.5));

  const bool sameKind = old && old->pps == pixelsPerSecond && old->bins == height &&
                        old->autocorrelation == autocorrelation && old->len > 0;
  const bool unchanged = sameKind && old->changeCounter == counter;
  const bool onlyAppended = sameKind && OnlyAppendedSince(old->changeCounter);

  const std::int64_t numSamples = mSequence->GetNumSamples();
  std::vector<float> window(kSpectrumWindow);
  for (int x = 0; x < numPixels; ++x) {
    float* out = &cache->values[std::size_t(x) * height];
    const std::int64_t pos = cache->where[x];

    if (sameKind) {
      auto it = std::lower_bound(old->where.begin(), old->where.begin() + old->len, cache->where[x]);
      if (it != old->where.begin() + old->len && *it == cache->where[x]) {
        const int j = static_cast<int>(it - old->where.begin());
        if (unchanged || (onlyAppended && pos + kSpectrumWindow <= old->seqSamples)) {
          std::copy_n(&old->values[std::size_t(j) * height], height, out);
          continue;
        }
      }
    }

    if (pos >= numSamples) {
      std::fill_n(out, height, 0.0f);
      continue;
    }
    // 256 samples from the column's position; zeros outside the track.
    std::fill(window.begin(), window.end(), 0.0f);
    const std::int64_t s0 = std::max<std::int64_t>(pos, 0);
    const std::int64_t s1 = std::min<std::int64_t>(pos + kSpectrumWindow, numSamples);
    if (s1 > s0)
      mSequence->Get(reinterpret_cast<SamplePtr>(window.data() + (s0 - pos)), SampleFormatFloat,
                     static_cast<std::int32_t>(s0), static_cast<std::int32_t>(s1 - s0));
    ComputeSpectrum(window.data(), kSpectrumWindow, height, kSpectrumTopFrequency, kSpectrumWindow, mRate,
                    out, autocorrelation);
  }

  cache->changeCounter = counter;
  cache->seqSamples = numSamples;

  std::copy_n(cache->values.begin(), std::size_t(numPixels) * height, buffer);
  std::copy_n(cache->where.begin(), numPixels + 1, where);
  mSpecCache = std::move(cache);
  return true;
}
