// The per-channel work of the effects that build new audio for a track (Change
// Speed, Change Pitch, Change Tempo), cut into steps, and the runner that takes the
// two channels of a stereo pair through their steps at the same time.
//
// A job reads its track's part of the selection piece by piece and turns each piece
// into output samples. A step touches only its own job: it reads the source track and
// computes, and never writes a track, makes a block file or calls a seam. So the jobs
// step on worker threads, one per channel, while everything else (appending the
// output to the new tracks, progress, Cancel) stays on the effect's thread. Each channel computes exactly
// what it computes when the channels run one after the other.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

class WaveTrack;

class ChannelJob {
public:
  // Samples start .. end-1 of track are the job's input.
  ChannelJob(const WaveTrack& track, std::int64_t start, std::int64_t end);
  virtual ~ChannelJob();
  ChannelJob(const ChannelJob&) = delete;
  ChannelJob& operator=(const ChannelJob&) = delete;

  // Replaces the output with what the next piece gives. False when the track cannot
  // be read or the processing fails.
  virtual bool Step() = 0;
  // True once the input is used up and the processing has given its last output.
  bool Done() const { return mDone; }
  // The fraction of the input used so far.
  double Fraction() const;

  const std::vector<float>& Output() const { return mOutput; }
  // Hands the output over (into takes it; the job keeps into's old buffer to reuse).
  void TakeOutput(std::vector<float>& into) { into.swap(mOutput); }
  // For a job that changes its track in place: the sample of the track where the
  // output goes.
  std::int64_t WriteStart() const { return mWriteStart; }

protected:
  // Reads up to `limit` samples from the current position (no further than the
  // track's best block and the end); the count read, 0 at the end, -1 on failure.
  int ReadPiece(std::vector<float>& buffer, int limit);

  const WaveTrack& mTrack;
  const std::int64_t mStart;
  const std::int64_t mEnd;
  std::int64_t mPos;  // the next sample to read
  bool mDone = false;
  std::vector<float> mOutput;
  std::int64_t mWriteStart = 0;
};

// Takes one job (a mono track) or two (a stereo pair) through all their steps and
// appends each job's output to its own track (outs[i] for jobs[i]). Each job steps on
// a worker thread of its own, up to a few steps ahead of the calling thread, which
// appends the outputs in order, one step of each job in turn; the jobs never wait for
// each other, so a channel held up for a moment costs the pair nothing. progress
// receives the sum of the jobs' fractions after every such turn, on the calling
// thread; true from it cancels. False on a failed step or append, or on a cancel.
bool RunChannelJobs(const std::vector<ChannelJob*>& jobs, const std::vector<WaveTrack*>& outs,
                    const std::function<bool(double fractionSum)>& progress);

// RunChannelJobs, then each new track (outs[i]) takes the place of t0..t1 of its source
// track (sources[i]); newLength grows to the longest new audio. False as RunChannelJobs,
// or when a track cannot be flushed, cleared or pasted.
bool RunChannelJobsReplacing(const std::vector<ChannelJob*>& jobs, const std::vector<WaveTrack*>& sources,
                             const std::vector<WaveTrack*>& outs, double t0, double t1,
                             const std::function<bool(double fractionSum)>& progress, double& newLength);

// The same for jobs that change their own tracks in place (tracks[i] is what jobs[i]
// reads): after every step the calling thread writes each job's output back into its
// track at WriteStart, and no step runs while it does. One or two jobs; with two the
// second steps on a worker thread while the first steps on the calling thread, and
// progress is asked once more at the end (true still cancels).
bool RunInPlaceJobs(const std::vector<ChannelJob*>& jobs, const std::vector<WaveTrack*>& tracks,
                    const std::function<bool(double fractionSum)>& progress);
