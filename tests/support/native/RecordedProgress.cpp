#include "tests/support/native/RecordedProgress.h"

namespace testsupport {
namespace {

class RecordedWindow final : public seams::ProgressWindow {
public:
  explicit RecordedWindow(ProgressLog& log) : mLog(log) {}
  bool Show(const std::string& caption) override {
    ++mLog.shows;
    mLog.caption = caption;
    return true;
  }
  void SetRange(int lower, int upper, int step) override {
    mLog.lower = lower;
    mLog.upper = upper;
    mLog.step = step;
  }
  int SetPos(int position) override {
    const int previous = mLog.positions.empty() ? 0 : mLog.positions.back();
    mLog.positions.push_back(position);
    return previous;
  }
  void SetText(const std::string& text) override { mLog.text = text; }
  void PumpMessages(bool escapeCancels) override {
    ++mLog.pumps;
    if (!escapeCancels) ++mLog.pumpsEscapeDoesNotCancel;
  }
  bool Cancelled() const override {
    const bool atPosition = mLog.cancelAtPosition >= 0 && mLog.LastPosition() >= mLog.cancelAtPosition;
    const bool afterPumps = mLog.cancelAfterPumps >= 0 && mLog.pumps >= mLog.cancelAfterPumps;
    return mLog.cancel || atPosition || afterPumps;
  }
  void Hide() override { ++mLog.hides; }

private:
  ProgressLog& mLog;
};

}  // namespace

RecordedProgress::RecordedProgress() { mPrevious = seams::SetProgressFactory(this); }

RecordedProgress::~RecordedProgress() { seams::SetProgressFactory(mPrevious); }

std::unique_ptr<seams::ProgressWindow> RecordedProgress::Create() {
  ++log.created;
  return std::make_unique<RecordedWindow>(log);
}

}  // namespace testsupport
