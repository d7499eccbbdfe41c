#include "platform/seams/ProcessSignals.h"

#include <signal.h>

namespace seams {

void IgnoreFileSizeSignal() noexcept {
  struct sigaction action {};
  action.sa_handler = SIG_IGN;
  sigemptyset(&action.sa_mask);
  sigaction(SIGXFSZ, &action, nullptr);
}

}  // namespace seams
