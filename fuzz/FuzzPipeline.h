#pragma once
// The command pipeline shared by the pipeline and stop fuzz targets: every command
// that ships, the minimum forms, the Karnaugh map, the tableau, equivalence and DIMACS
// included.
//
// Input layout: byte 0 the options (Details, Results, line length), byte 1 the number
// of commands (1 to 6) and the stop point's low bits, bytes 2.. the commands, one byte
// each; byte 2 + count the stop point's high bits; the rest is the selection text,
// which must stay small (at most 60 characters and 6 distinct letters) so that the
// normal forms do too.

#include <cstddef>
#include <cstdint>

namespace lumenark::fuzz {

// Runs the pipeline and aborts on any broken property. With stopAtCall set, the
// host presses Stop at that call of pending-input processing. Returns 0, or -1 for an
// input outside the bounds (not added to the corpus).
int RunPipeline(const std::uint8_t* data, std::size_t size, bool withStop);

}  // namespace lumenark::fuzz
