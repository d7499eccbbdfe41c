// The engine's buffer thread: it empties the capture rings into the recorded
// tracks or lets the streaming writer pull from them, fills the playback rings
// from the playback mixers, serves the start and stop handshakes and splits the
// output files. It only posts to windows (the Stop command), never calls them.
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>

#include "app/settings/AdvanceRecordSetting.h"
#include "core/engine/AudioIO.h"
#include "core/engine/AutoResetEvent.h"
#include "audiofiles/writers/StreamFileWriter.h"
#include "core/model/Mixer.h"
#include "core/model/RingBuffer.h"
#include "core/model/WaveTrack.h"
#include "platform/portaudio/PortAudioV18.h"

namespace {

// Above the normal priority where the system allows it; the buffer thread
// must keep up with the sound card while the user interface is busy.
void RaisePriority() {
  const pid_t tid = static_cast<pid_t>(syscall(SYS_gettid));
  setpriority(PRIO_PROCESS, static_cast<id_t>(tid), -5);  // refused without the right: fine
}

}  // namespace

void AudioThread(AudioThreadBlock* block) {
  AutoResetEvent* quit = block->quit;
  AutoResetEvent* exited = block->exited;
  AutoResetEvent* work = block->work;
  AutoResetEvent* done = block->done;
  delete block;
  RaisePriority();

  AutoResetEvent* handles[2] = {quit, work};
  while (AudioIO* io = gAudioIO) {
    const int which = AutoResetEvent::WaitAny(handles, 2, io->mThreadTimeout.load());
    io = gAudioIO;
    if (!io || which == 0) break;
    if (which == 1) {
      io->ServeWork();
      done->Set();
    } else {
      io->ServeTimeout();
    }
  }
  exited->Set();
}

void AudioIO::ServeWork() {
  if (mSettings->SilenceMonitorFlag) return;
  StreamFileWriter* writer = mCurrentWriter.load();
  const bool stopping = mStopping.load() != 0;

  if (!stopping) {
    // A start: the first output file, then the playback rings filled ahead.
    mWriterOpened = false;
    mTracksFailed = false;
    if (writer && mStreamToken.load() == -1) {
      mWriterOpened = writer->Open(mNumCaptureChannels, mCaptureBuffers.data(), mRate) != 0;
      if (!mWriterOpened) {
        NoteFailure(kWriterFailed, writer->GetName());
        if (!mStopRequested.load()) RequestStop();
      }
    }
    FillBuffers(true);
    return;
  }

  // A stop (the PortAudio stream is closed already): everything captured
  // goes into the tracks or the file, which is closed. Nothing is posted
  // any more: a Stop command now could stop the next stream.
  if (!mStartFailed.load()) FillBuffers(true);
  if (writer && mWriterOpened) {
    if (!writer->Close()) NoteFailure(kWriterFailed, writer->GetName());
  }
  mWriterOpened = false;
  mThreadTimeout = -1;
}

void AudioIO::ServeTimeout() {
  if (mThreadTimeout.load() == -1 || mSettings->SilenceMonitorFlag || mStopping.load()) return;
  const int token = mStreamToken.load();
  const bool running = token != -1 && token != 0;
  StreamFileWriter* writer = mCurrentWriter.load();

  if (mSplitRequested.load()) {
    if (writer && running && mWriterOpened && !writer->NextFile()) {
      NoteFailure(kWriterFailed, writer->GetName());
      if (!mStopRequested.load()) RequestStop();
    }
    mSplitRequested = 0;
  }
  const AdvanceRecordSetting& s = *mSettings;
  if (s.ActiveRecordingMode == 1 && s.EnableAutoSplit && s.AutoSplitTimeSeconds > 0 && writer && running &&
      mWriterOpened && writer->GetFileSeconds() >= s.AutoSplitTimeSeconds) {
    if (!writer->NextFile()) {
      NoteFailure(kWriterFailed, writer->GetName());
      if (!mStopRequested.load()) RequestStop();
    }
  }
  FillBuffers(false);

  // A stream that stopped on its own (device gone, server gone) while nobody
  // asked: have it stopped, so it does not stay busy.
  if (running && !mFinished.load() && !mStopRequested.load()) {
    std::unique_lock lock(mStreamMutex, std::try_to_lock);
    void* stream = mPortStream.load();
    if (lock.owns_lock() && stream && !mStopping.load() && pa18::Pa_StreamActive(stream) <= 0 &&
        !mFinished.load()) {
      NoteFailure(kStreamDied);
      RequestStop();
    }
  }
}

int AudioIO::GetCommonlyAvailPlayback() {
  if (mPlaybackBuffers.empty()) return 0;
  int avail = mPlaybackBuffers[0]->AvailForPut();
  for (RingBuffer* ring : mPlaybackBuffers) avail = std::min(avail, ring->AvailForPut());
  return avail;
}

int AudioIO::GetCommonlyAvailCapture() {
  if (mCaptureBuffers.empty()) return 0;
  int avail = mCaptureBuffers[0]->Len();
  for (RingBuffer* ring : mCaptureBuffers) avail = std::min(avail, ring->Len());
  return avail;
}

void AudioIO::FillBuffers(bool drain) {
  if (!mPlaybackTracks.empty()) {
    mThreadTimeout = std::min(static_cast<int>(mMaxPlaybackSecsToCopy * 300.0), 400);
    double secs = GetCommonlyAvailPlayback() / mRate;
    const double position = mTime.load();
    // Small pieces are not worth mixing, except the last one before t1.
    if (secs >= mMaxPlaybackSecsToCopy || (!mLoop && secs > 0 && position + secs >= mT1)) {
      if (secs > mMaxPlaybackSecsToCopy) secs = mMaxPlaybackSecsToCopy;
      double deltat = 0.0;
      do {
        deltat = secs;
        double t = mTime.load();
        if (t + deltat > mT1) deltat = std::max(mT1 - t, 0.0);
        mTime = t + deltat;
        secs -= deltat;
        const int samples = static_cast<int>(deltat * mRate + 0.5);
        for (std::size_t i = 0; i < mPlaybackMixers.size(); ++i) {
          const int produced = samples > 0 ? mPlaybackMixers[i]->Process(samples) : 0;
          if (produced > 0)
            mPlaybackBuffers[i]->Put(mPlaybackMixers[i]->GetBuffer(), SampleFormatFloat, produced);
        }
        if (!mLoop) break;
        if (mTime.load() >= mT1) {
          for (Mixer* m : mPlaybackMixers) m->Restart();
          mTime = mT0;
        }
      } while (secs > 0 && deltat > 0);
    }
  }

  if (!mCaptureTracks.empty() || mNumCaptureChannels > 0) {
    mThreadTimeout = std::min(static_cast<int>(mMinCaptureSecsToCopy * 250.0 + 0.5), 350);
    const int avail = GetCommonlyAvailCapture();
    // Into the tracks this stream records into. Once a block could not be
    // written nothing more goes in: each channel keeps an unbroken start, and the
    // stop saves what still fits of it, the channels in step.
    if (!mCaptureTracks.empty() && avail > 0 && !mTracksFailed &&
        (drain || avail / mRate >= mMinCaptureSecsToCopy)) {
      for (std::size_t i = 0; i < mCaptureTracks.size(); ++i) {
        WaveTrack* track = mCaptureTracks[i];
        const SampleFormat format = track->GetSampleFormat();
        const std::size_t bytes = static_cast<std::size_t>(avail) * SampleSize(format);
        if (mTrackScratch.size() < bytes) mTrackScratch.resize(bytes);
        const int got = mCaptureBuffers[i]->Get(mTrackScratch.data(), format, avail);
        if (!track->Append(mTrackScratch.data(), format, got, 1)) {
          mTracksFailed = true;
          NoteFailure(kTracksFailed);
          if (!mStopping.load() && !mStopRequested.load()) RequestStop();
        }
      }
    }
    StreamFileWriter* writer = mCurrentWriter.load();
    if (writer && mWriterOpened && !writer->WriteBlock()) {
      NoteFailure(kWriterFailed, writer->GetName());
      if (!mStopping.load()) RequestStop();
    }
  }
}

void AudioIO::RequestStop() { PostStopCommand(); }
