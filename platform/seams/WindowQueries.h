#pragma once
// Questions about other programs' windows that the portable tier needs: is a handle
// still a window, and bring a window (another running copy's) to the front.
#include "platform/seams/WindowMessages.h"

namespace seams {

class WindowQueries {
public:
  virtual ~WindowQueries() = default;
  virtual bool IsWindow(WindowHandle window) = 0;
  // Restores the window when it is minimised and makes its last active popup the
  // foreground window.
  virtual void BringToFront(WindowHandle window) = 0;
};

WindowQueries* SetWindowQueries(WindowQueries* queries) noexcept;

// Through the installed queries. Without them every non-zero handle counts as a
// window and bringing one forward does nothing.
bool IsWindowHandle(WindowHandle window);
void BringWindowToFront(WindowHandle window);

}  // namespace seams
