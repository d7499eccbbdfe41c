// The program's millisecond clock (SetTickCountFunction) in the test's hand while the
// object lives: every reading gives the time and then moves it `step` milliseconds on,
// so progress windows and stopwatches see whatever time the test wants. One clock at
// a time.
#pragma once

#include <cstdint>

#include "core/model/SystemUtils.h"

namespace testsupport {

class FakeClock {
public:
  explicit FakeClock(std::uint32_t now = 0, std::uint32_t step = 0);
  ~FakeClock();
  FakeClock(const FakeClock&) = delete;
  FakeClock& operator=(const FakeClock&) = delete;

  // What the next reading gives.
  void Set(std::uint32_t now);
  // How far each reading moves the clock on.
  void SetStep(std::uint32_t step);

private:
  TickCountFunction mPrevious = nullptr;
};

}  // namespace testsupport
