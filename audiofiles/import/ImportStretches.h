// Decoding a compressed file in stretches on the helper threads: a few stretches
// ahead of the calling thread are decoded at once, and the calling thread takes them
// in order and appends them to the tracks. Only so many are decoded ahead, so the
// memory they hold stays bounded however long the file is.
#pragma once

#include <functional>
#include <map>
#include <memory>

class ImportWorkers;

class StretchDecoding {
public:
  // What a format decodes one stretch into.
  struct Stretch {
    virtual ~Stretch() = default;
  };
  // Decodes stretch index on helper thread worker; runs on a std::thread (see
  // ImportWorkers.h). reuse, when not null, is a stretch given back with Recycle, to
  // decode into: its memory is the process's already (new memory costs a page fault
  // per page, on a virtual machine a lot). stopping() turns true when the calling
  // thread stopped the decoding: a long decode may give up then.
  using Decode = std::function<std::unique_ptr<Stretch>(int worker, int index, std::unique_ptr<Stretch> reuse,
                                                        const std::function<bool()>& stopping)>;

  StretchDecoding(ImportWorkers& workers, int count, Decode decode);
  StretchDecoding(const StretchDecoding&) = delete;
  StretchDecoding& operator=(const StretchDecoding&) = delete;
  // Stop(), then waits for the decodes that run.
  ~StretchDecoding();

  int Count() const { return mCount; }
  // The index of the stretch Take gives next.
  int Next() const { return mNext; }
  // The next stretch in order once it is decoded, waiting at most timeoutMs; null
  // when it is not decoded by then, or when every stretch was taken.
  std::unique_ptr<Stretch> Take(int timeoutMs);
  // Gives back a stretch taken earlier whose samples are in the tracks, for a later
  // decode to reuse.
  void Recycle(std::unique_ptr<Stretch> stretch);
  // No further stretch is started; those decoding are told to stop.
  void Stop();

private:
  struct Shared;
  void Start(int index);

  ImportWorkers& mWorkers;
  int mCount;
  int mAhead;
  int mNext = 0;     // the next to take
  int mStarted = 0;  // stretches handed to the helpers
  std::shared_ptr<Shared> mShared;
};
