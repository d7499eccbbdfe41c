// Linked into every native test program: what the program does to its process at
// start-up, done before the tests run.
#include "platform/seams/ProcessSignals.h"

namespace {

struct ProcessSetup {
  ProcessSetup() { seams::IgnoreFileSizeSignal(); }
};

const ProcessSetup g_processSetup;

}  // namespace
