#include "app/controls/ProgressWndFactory.h"

#include "app/controls/ProgressWnd.h"

namespace {
class ProgressWndWindow final : public seams::ProgressWindow {
public:
  bool Show(const std::string& caption) override { return m_window.Show(caption.c_str()) != FALSE; }
  void SetRange(int lower, int upper, int step) override { m_window.SetRange(lower, upper, step); }
  int SetPos(int position) override { return m_window.SetPos(position); }
  // The text is shown as it is, never read as a format.
  void SetText(const std::string& text) override { m_window.SetText("%s", text.c_str()); }
  void PumpMessages(bool escapeCancels) override { m_window.PumpMessages(escapeCancels); }
  bool Cancelled() const override { return m_window.Cancelled() != FALSE; }
  void Hide() override { m_window.Hide(); }

private:
  CProgressWnd m_window;
};
}  // namespace

std::unique_ptr<seams::ProgressWindow> ProgressWndFactory::Create() {
  return std::make_unique<ProgressWndWindow>();
}

ProgressWndFactory& ProgressWndFactory::Instance() {
  static ProgressWndFactory factory;
  return factory;
}
