// Fuzz target: arbitrary bytes opened and imported by the PCMImportFormat.
#include <cstddef>
#include <cstdint>

#include "audiofiles/import/ImportPCM.h"
#include "import_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static PCMImportFormat format;
  importfuzz::TheHarness().Run(format, data, size);
  return 0;
}
