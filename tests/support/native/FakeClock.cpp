#include "tests/support/native/FakeClock.h"

namespace testsupport {
namespace {

// SetTickCountFunction takes a plain function: the clock's time lives here.
std::uint32_t gNow = 0;
std::uint32_t gStep = 0;

std::uint32_t Read() {
  const std::uint32_t now = gNow;
  gNow += gStep;
  return now;
}

}  // namespace

FakeClock::FakeClock(std::uint32_t now, std::uint32_t step) {
  gNow = now;
  gStep = step;
  mPrevious = SetTickCountFunction(&Read);
}

FakeClock::~FakeClock() { SetTickCountFunction(mPrevious); }

void FakeClock::Set(std::uint32_t now) { gNow = now; }

void FakeClock::SetStep(std::uint32_t step) { gStep = step; }

}  // namespace testsupport
