#pragma once
// Giving back the takes of copies that ended while they recorded into a project (a
// crash, a kill, a power cut). The folder such a copy kept its blocks in was set aside
// at start-up (the instance manager's rescued folders); its take journal says which
// blocks made each track, in order. The tracks are written, in step, as one WAV file,
// and the user is told in plain words what was found, where it is now and what could
// not be given back.
#include <cstdint>
#include <string>
#include <vector>

#include "core/model/TakeJournal.h"

class FileOutputOptions;

namespace seams {
class ProgressWindow;
}

namespace take_recovery {

// A rescued folder's take as its journal and its files tell it.
struct Take {
  // A piece of a track: a block file's samples, or silence where a block is missing.
  struct Piece {
    std::string path;  // empty: silence
    std::int64_t frames = 0;
  };
  bool journalRead = false;
  TakeJournal::Contents journal;
  std::vector<std::vector<Piece>> tracks;
  std::int64_t frames = 0;   // the length every track is given back with
  std::int64_t missing = 0;  // frames of blocks that never reached the disk, silence now
  std::string journalError;  // why the journal could not be read
};

// Reads what a rescued folder holds of its take.
Take ReadTake(const std::string& folder);

// Writes the take as a WAV file (the take's rate and sample format, one channel per
// track) at nativePath. The progress window, when given, shows once the work has
// taken showAfterMs; its Cancel stops the work and removes the file.
enum class WriteResult { Written, Cancelled, Failed };
WriteResult WriteTake(const Take& take, const std::string& nativePath, seams::ProgressWindow* progress,
                      std::string* error, int showAfterMs = 500);

// The start-up step: each rescued folder's take is written into the output folder
// under the next automatic name with the extension "wav", the user is told, and the
// folder goes once its take is safe or it had none. A take that could not be written,
// or whose writing the user cancelled, keeps its folder for the next start.
void GiveBackTakes(const std::vector<std::string>& folders, FileOutputOptions* output);

}  // namespace take_recovery
