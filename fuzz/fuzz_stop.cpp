// Fuzz target: the command pipeline with Stop pressed at a chosen call of
// pending-input processing.
#include "FuzzPipeline.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return lumenark::fuzz::RunPipeline(data, size, true);
}
