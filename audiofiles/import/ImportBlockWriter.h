// Fills the tracks of one import from the calling thread, in order, while the helper
// threads write the blocks: each channel's samples are gathered into whole blocks,
// a full block goes to a helper (which computes its summary and writes its file), and
// the written blocks are linked into their tracks in order. What is left at the end
// goes through the tracks' own append buffers. The blocks come out as appending
// makes them (every block full but the last), so the tracks are the same as if every
// sample had gone through WaveTrack::Append.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "core/model/SampleFormat.h"

class ImportWorkers;
class ImportedTracks;

class ImportBlockWriter {
public:
  // Every track of the import is of one sample format and block size.
  ImportBlockWriter(ImportedTracks& tracks, ImportWorkers& workers);
  ImportBlockWriter(const ImportBlockWriter&) = delete;
  ImportBlockWriter& operator=(const ImportBlockWriter&) = delete;
  ~ImportBlockWriter();  // Abandon()

  // Appends n samples to channel c: every stride-th sample of samples, converted
  // from format to the tracks' format. Waits while many blocks are being written
  // (the memory they hold stays bounded). False when a block could not be stored.
  bool Append(int c, ConstSamplePtr samples, SampleFormat format, std::int64_t n, unsigned stride = 1);
  // Links the blocks written so far into their tracks; false when one could not be
  // written.
  bool Collect();
  // Waits for every block, links them all, then appends what is left through the
  // tracks (it waits in their append buffers, for their Flush). False when a block
  // could not be stored.
  bool Finish();
  // Waits for the blocks being written and drops them; the tracks keep only what was
  // linked.
  void Abandon();

private:
  struct Job;
  struct Shared;
  struct Channel {
    char* filling = nullptr;  // the block being gathered
    std::int32_t filled = 0;
    std::deque<std::shared_ptr<Job>> written;  // handed out, in order, not linked yet
  };

  // Hands channel c's full block to a helper.
  void Post(int c);
  bool Link(int c, bool wait);

  ImportedTracks& mTracks;
  ImportWorkers& mWorkers;
  std::shared_ptr<Shared> mShared;
  std::vector<Channel> mChannels;
  // The memory of every block on its way, allocated once (see ImportMemory.h).
  char* mArena = nullptr;
  std::size_t mArenaBytes = 0;
  SampleFormat mFormat;
  int mBytes;
  std::int32_t mBlockSamples;
  int mMaxInFlight;
  bool mFailed = false;
};
