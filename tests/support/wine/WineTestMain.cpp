// main of every winelib test binary.
#include "platform/seams/ProcessSignals.h"
#include "support/wine/GTestWin.h"

int main(int argc, char** argv) {
  seams::IgnoreFileSizeSignal();  // as the program does
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
