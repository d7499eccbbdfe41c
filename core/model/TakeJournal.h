#pragma once
// What a recording into tracks keeps on the disk as it goes, so that a crash, a killed
// program or a power cut does not take the take with it: a journal that lists each
// track's blocks in order, with the take's rate and sample format, and the samples
// still waiting in each track's append buffer, written as they come into the file of
// the block they will become. The samples are written once: a full block's file is
// the one they were written into, completed by its summary. A take that ends normally
// removes the journal and the waiting files; after a crash the next start reads them
// back (Read) and gives the take to the user.
//
// Begin and the destructor run on the thread that starts and stops the stream; Keep,
// TakeBlock and BlockWritten on the one thread that appends to the tracks meanwhile.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/model/FileName.h"
#include "core/model/SampleFormat.h"

class BlockFile;
class DirManager;

class TakeJournal {
public:
  // The journal's file in the temporary folder.
  static constexpr const char* kFileName = "ZQ#Take.journal";
  // Waiting samples are written once this many seconds of them are new: a crash loses
  // at most about that, plus what the capture buffers held.
  static constexpr double kKeepSeconds = 0.5;

  // The journal of a take of `tracks` tracks whose blocks dirManager makes in its
  // temporary folder, blockLen samples each. Null when the journal cannot be written:
  // the take then goes on without one.
  static std::unique_ptr<TakeJournal> Begin(DirManager* dirManager, double rate, SampleFormat format,
                                            int tracks, std::int32_t blockLen);
  // The take ended: the journal and the waiting files go.
  ~TakeJournal();
  TakeJournal(const TakeJournal&) = delete;
  TakeJournal& operator=(const TakeJournal&) = delete;

  // The first `held` samples of waiting (the track's append buffer) wait for the
  // track's next block: those not on the disk yet are written when kKeepSeconds of
  // them are new.
  void Keep(int track, ConstSamplePtr waiting, std::int32_t held);
  // The first len samples of waiting become the track's next block, whose file is the
  // one they were written into. Null when the journal cannot give it: the track then
  // writes the block itself and tells BlockWritten.
  BlockFile* TakeBlock(int track, ConstSamplePtr waiting, std::int32_t len);
  // The track wrote its next block itself.
  void BlockWritten(int track, const BlockFile* block);

  // A journal read back.
  struct Block {
    std::string file;  // name and extension, in the journal's folder
    std::int32_t len = 0;
  };
  struct Track {
    std::vector<Block> blocks;
    std::string waiting;  // the file of the samples not yet in a block; empty when none
  };
  struct Contents {
    double rate = 0.0;
    SampleFormat format = SampleFormatInt16;
    std::int32_t blockLen = 0;
    std::vector<Track> tracks;
    bool torn = false;  // the journal's end was cut off or garbled
  };
  // False, with the reason, when the file is no journal or cannot be read.
  static bool Read(const std::string& path, Contents* out, std::string* error);

private:
  struct Waiting {
    CFileName file;
    int fd = -1;
    std::int32_t onDisk = 0;  // samples written into it
    bool ok = false;
  };

  TakeJournal(DirManager* dirManager, double rate, SampleFormat format, std::int32_t blockLen, int fd,
              std::string path, int tracks);
  void StartWaiting(int track);
  void DropWaiting(Waiting& w, bool removeFile);
  void Note(const std::string& line);

  DirManager* mDirManager;
  double mRate;
  SampleFormat mFormat;
  std::int32_t mBlockLen;
  std::int32_t mKeepSamples;
  int mFd;
  std::string mPath;
  std::vector<Waiting> mWaiting;
};
