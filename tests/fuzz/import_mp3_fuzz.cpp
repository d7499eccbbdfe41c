// Fuzz target: arbitrary bytes opened and imported by the MP3ImportFormat.
#include <cstddef>
#include <cstdint>

#include "audiofiles/import/ImportMP3.h"
#include "import_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static MP3ImportFormat format;
  importfuzz::TheHarness().Run(format, data, size);
  return 0;
}
