// main of every winelib test binary.
#include "support/wine/GTestWin.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
