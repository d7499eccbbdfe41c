#include "platform/seams/Progress.h"

#include <atomic>

namespace seams {
namespace {
std::atomic<ProgressFactory*> g_factory{nullptr};

class SilentProgress final : public ProgressWindow {
public:
  bool Show(const std::string&) override { return true; }
  void SetRange(int, int, int) override {}
  int SetPos(int position) override {
    int previous = mPos;
    mPos = position;
    return previous;
  }
  void SetText(const std::string&) override {}
  void PumpMessages(bool) override {}
  bool Cancelled() const override { return false; }
  void Hide() override {}

private:
  int mPos = 0;
};
}  // namespace

ProgressFactory* SetProgressFactory(ProgressFactory* factory) noexcept {
  return g_factory.exchange(factory, std::memory_order_acq_rel);
}

std::unique_ptr<ProgressWindow> CreateProgressWindow() {
  if (ProgressFactory* factory = g_factory.load(std::memory_order_acquire)) return factory->Create();
  return std::make_unique<SilentProgress>();
}

}  // namespace seams
