// A track of audio: a sequence of samples in blocks, a gain envelope, a rate,
// a place on the time line, and an append buffer through which recording and
// import stream samples into whole blocks.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/model/SampleFormat.h"
#include "core/model/Track.h"

class BlockFile;
class DirManager;
class Envelope;
class Sequence;
class TakeJournal;

class WaveTrack final : public Track {
public:
  // format 0 means 16-bit; a rate of 0 (or NaN) means the default rate of
  // the sound devices (see SetDefaultRateFunction).
  WaveTrack(DirManager* dirManager, SampleFormat format = static_cast<SampleFormat>(0), double rate = 0.0);
  // The same settings, the same blocks (shared), the envelope; not the
  // samples waiting in the append buffer. A new change counter.
  WaveTrack(const WaveTrack& orig);
  ~WaveTrack() override;

  // The rule that gives new tracks their rate when none is given. The program
  // installs the sound devices' default rate at start-up; until then 44100.
  using DefaultRateFunction = int (*)();
  static void SetDefaultRateFunction(DefaultRateFunction f);
  static double GetDefaultRate();

  // Track operations. Times are seconds on the time line. The new tracks of
  // Duplicate, Cut and Copy belong to the caller.
  Track* Duplicate() const override;
  void SetOffset(double t) override;
  bool Cut(double t0, double t1, Track** dest) override;
  bool Copy(double t0, double t1, Track** dest) override;
  bool Clear(double t0, double t1) override;
  bool Paste(double t0, const Track* src) override;
  bool Silence(double t0, double t1) override;
  bool InsertSilence(double t, double len) override;
  int GetKind() const override { return Wave; }
  bool GetErrorOpening() const override { return false; }
  double GetStartTime() const override;
  double GetEndTime() const override;

  // Copies the Track settings (with a reference on orig's directory manager),
  // rate, gain, pan, name, display mode and range.
  void Init(const WaveTrack& orig);

  double GetRate() const { return mRate; }
  void SetRate(double rate);  // an edit
  float GetGain() const { return mGain; }
  void SetGain(float gain) { mGain = gain; }
  float GetPan() const { return mPan; }  // -1 left .. +1 right
  void SetPan(float pan) { mPan = pan; }
  // Gain of channel 0 (left) or 1 (right) after panning.
  float GetChannelGain(int channel) const;

  SampleFormat GetSampleFormat() const;
  // Samples in blocks (not counting the append buffer).
  std::int64_t GetNumSamples() const;
  // Samples waiting in the append buffer.
  int GetAppendLength() const { return mAppendLen.load(std::memory_order_acquire); }

  // floor(t * rate + 0.5).
  std::int64_t TimeToSamples(double t) const;
  // The sample index inside the track at time t: 0 before the offset, the
  // number of samples after the end.
  std::int64_t TimeToSamplesClip(double t) const;

  // Samples start .. start+len-1 as absolute indexes (the track's first
  // sample is TimeToSamples(offset)); the parts outside the track are zeros.
  // False (all zeros) when the samples cannot be read.
  bool Get(SamplePtr buffer, SampleFormat format, std::int64_t start, std::int32_t len) const;
  // Overwrites the part of the range inside the track; an edit. False when a
  // block cannot be written.
  bool Set(ConstSamplePtr buffer, SampleFormat format, std::int64_t start, std::int32_t len);

  // Appends samples (every stride-th of buffer) through the append buffer:
  // whole blocks go to the sequence, the rest waits for more or for Flush.
  // False when a block cannot be written; what was not written stays in the
  // append buffer.
  bool Append(ConstSamplePtr buffer, SampleFormat format, std::int32_t len, unsigned int stride = 1);
  // Adds a block written elsewhere (an import writes its blocks on helper threads)
  // at the end of the samples; the track takes a reference of its own. Only while
  // nothing waits in the append buffer; false, nothing added, otherwise or when the
  // track cannot grow by the block.
  bool AppendBlock(BlockFile* block);
  // While set, what Append gathers is kept on the disk through the journal as it
  // comes (as the journal's track `track`), and whole blocks are the journal's files;
  // null ends that. For the tracks a recording appends to, set while it runs.
  void SetTakeJournal(TakeJournal* journal, int track);
  // Appends one block over samples of an imported file; an edit.
  bool AppendAlias(const std::string& fullPath, std::int32_t start, std::int32_t len, int channel);
  // Writes what waits in the append buffer as blocks. False when a block
  // cannot be written (the samples keep waiting).
  bool Flush();
  // Flush after a failed write, for the tracks of one recording (its channels): what
  // waits in their append buffers goes to disk as far as the disk takes it, in pieces
  // of one length on every track so that no track takes the room another one needs;
  // what does not fit is dropped and the tracks are cut to one length, so they stay
  // in step. True when nothing had to be dropped.
  static bool FlushInStep(const std::vector<WaveTrack*>& tracks);

  // How many samples from absolute index start a reader should take at once.
  std::int32_t GetBestBlockSize(std::int64_t start) const;
  std::int32_t GetMaxBlockSize() const;

  // Extremes of the samples between t0 and t1: false with 0, 0 when t1 < t0;
  // 0, 0 for an empty range.
  bool GetMinMax(float* min, float* max, double t0, double t1) const;

  // Per-column minimum, maximum and RMS of numPixels columns for drawing, t0
  // in seconds from the track's start (its first sample), pixelsPerSecond the
  // zoom. where receives numPixels + 1 sample positions relative to the track
  // (column i covers where[i] .. where[i+1] - 1). Cached: while nothing
  // changes, repaints and scrolling reuse the computed columns, and while
  // samples are only being appended only the newest columns are computed.
  // Columns past all samples are 0. Not thread-safe against edits; a
  // recording's appends may run alongside.
  bool GetWaveDisplay(float* min, float* max, float* rms, std::int32_t* where, int numPixels, double t0,
                      double pixelsPerSecond);
  // numPixels columns of `height` spectrum values each (0..1, see
  // ComputeSpectrum), from 256 samples at each column's position; cached like
  // the wave display.
  bool GetSpectrogram(float* buffer, std::int32_t* where, int numPixels, int height, double t0,
                      double pixelsPerSecond, bool autocorrelation);

  void GetDisplayBounds(float* min, float* max) const {
    *min = mDisplayMin;
    *max = mDisplayMax;
  }
  void SetDisplayBounds(float min, float max) {
    mDisplayMin = min;
    mDisplayMax = max;
  }
  int GetDisplay() const { return mDisplay; }
  void SetDisplay(int display) { mDisplay = display; }

  bool Lock();
  bool Unlock();

  // Puts back the samples (sharing saved's blocks), envelope and rate of a
  // copy made earlier with Duplicate, e.g. when an operation on the track
  // fails half-way; what waits in the append buffer is dropped. An edit.
  void RestoreContent(const WaveTrack& saved);

  Sequence* GetSequence() const { return mSequence; }
  Envelope* GetEnvelope() const { return mEnvelope; }

private:
  struct WaveCache;
  struct SpecCache;

  // The absolute index of the track's first sample.
  std::int64_t FirstSample() const;
  // True when every change since the change counter had the value `counter`
  // was an append (display columns over older samples are still good).
  bool OnlyAppendedSince(int counter) const;
  void SetEnvelopeLengthFromSequence();
  // Counts an append as a change that only added samples at the end.
  void NoteAppended();
  // The first len samples of the append buffer as the sequence's next block.
  bool AppendBlockFromBuffer(std::int32_t len);
  // Computes wave display columns p0 .. p1-1 of cache c from the samples it was made
  // over: c.seqSamples in blocks and c.appendLen waiting to be appended.
  void ComputeWaveColumns(WaveCache& c, int p0, int p1) const;

  Sequence* mSequence = nullptr;
  double mRate = 44100.0;
  float mGain = 1.0f;
  float mPan = 0.0f;
  Envelope* mEnvelope = nullptr;

  SamplePtr mAppendBuffer = nullptr;
  std::int32_t mAppendBufferSize = 0;
  std::atomic<std::int32_t> mAppendLen{0};
  TakeJournal* mJournal = nullptr;
  int mJournalTrack = 0;

  std::unique_ptr<WaveCache> mWaveCache;
  std::unique_ptr<SpecCache> mSpecCache;
  // The current run of appends: the change counter before its first append
  // and after its latest one.
  bool mHaveAppendRun = false;
  int mAppendRunStart = 0;
  int mLastAppendCounter = 0;

  int mDisplay = 0;
  float mDisplayMin = -1.0f;
  float mDisplayMax = 1.0f;
};
