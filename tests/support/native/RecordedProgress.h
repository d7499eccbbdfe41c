// Progress windows in tests: made by a factory that is the program's progress factory
// while it lives, they show nothing and note what they are told; the user's Cancel
// comes when the test says.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/seams/Progress.h"

namespace testsupport {

// What the progress windows were told, and when the user cancels.
struct ProgressLog {
  int created = 0;  // windows made
  int shows = 0;
  std::string caption;
  std::string text;
  int lower = -1, upper = -1, step = -1;
  std::vector<int> positions;
  int pumps = 0;
  int pumpsEscapeDoesNotCancel = 0;  // message pumps in which Escape would not cancel
  int hides = 0;

  // Cancel is pressed as soon as a window shows (cancel), once a position at or past
  // cancelAtPosition was set, or after cancelAfterPumps message pumps (-1: never).
  bool cancel = false;
  int cancelAtPosition = -1;
  int cancelAfterPumps = -1;

  // The last position set; -1 before any.
  int LastPosition() const { return positions.empty() ? -1 : positions.back(); }
};

class RecordedProgress final : public seams::ProgressFactory {
public:
  RecordedProgress();
  ~RecordedProgress() override;
  RecordedProgress(const RecordedProgress&) = delete;
  RecordedProgress& operator=(const RecordedProgress&) = delete;

  std::unique_ptr<seams::ProgressWindow> Create() override;

  ProgressLog log;

private:
  seams::ProgressFactory* mPrevious = nullptr;
};

}  // namespace testsupport
