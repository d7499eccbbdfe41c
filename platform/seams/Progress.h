#pragma once
// The progress window seen from the portable tier: a modeless window with a text
// line, a bar and a Cancel button. Long work shows it, moves the bar, pumps the
// window messages now and then and stops when the user cancelled.
#include <memory>
#include <string>

namespace seams {

class ProgressWindow {
public:
  virtual ~ProgressWindow() = default;
  // Creates (if needed) and shows the window; false when it cannot be created.
  virtual bool Show(const std::string& caption) = 0;
  virtual void SetRange(int lower, int upper, int step) = 0;
  // Moves the bar; returns the previous position.
  virtual int SetPos(int position) = 0;
  virtual void SetText(const std::string& text) = 0;
  // Handles pending window messages; Escape cancels when escapeCancels is true.
  virtual void PumpMessages(bool escapeCancels) = 0;
  virtual bool Cancelled() const = 0;
  virtual void Hide() = 0;
};

class ProgressFactory {
public:
  virtual ~ProgressFactory() = default;
  virtual std::unique_ptr<ProgressWindow> Create() = 0;
};

ProgressFactory* SetProgressFactory(ProgressFactory* factory) noexcept;

// A new progress window from the installed factory; without one, a window that shows
// nothing and is never cancelled.
std::unique_ptr<ProgressWindow> CreateProgressWindow();

}  // namespace seams
