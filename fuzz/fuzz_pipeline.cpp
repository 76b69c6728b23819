// Fuzz target: a selection, output options and a sequence of Formula commands.
#include "FuzzPipeline.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return lumenark::fuzz::RunPipeline(data, size, false);
}
