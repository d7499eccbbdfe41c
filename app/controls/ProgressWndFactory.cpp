#include "app/controls/ProgressWndFactory.h"

#include "app/controls/ProgressWnd.h"

namespace {
class ProgressWndWindow final : public seams::ProgressWindow {
public:
  bool Show(const std::string& caption) override { return window_.Show(caption.c_str()) != FALSE; }
  void SetRange(int lower, int upper, int step) override { window_.SetRange(lower, upper, step); }
  int SetPos(int position) override { return window_.SetPos(position); }
  // The text is shown as it is, never read as a format.
  void SetText(const std::string& text) override { window_.SetText("%s", text.c_str()); }
  void PumpMessages(bool escapeCancels) override { window_.PumpMessages(escapeCancels); }
  bool Cancelled() const override { return window_.Cancelled() != FALSE; }
  void Hide() override { window_.Hide(); }

private:
  CProgressWnd window_;
};
}  // namespace

std::unique_ptr<seams::ProgressWindow> ProgressWndFactory::Create() {
  return std::make_unique<ProgressWndWindow>();
}

ProgressWndFactory& ProgressWndFactory::Instance() {
  static ProgressWndFactory factory;
  return factory;
}
