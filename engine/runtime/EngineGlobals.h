#pragma once
// The two values that all documents share, and the memory-exhaustion note.

#include <cstdint>

namespace lumenark {

// Set by the stop dialog's Stop button; polled by the long operations, which then
// return leaving a well-formed tree; cleared by the commands and by a new window.
extern bool StopRequested;

// Characters written by the report output since its last line break. One counter
// for the whole program, 16 bits wide; it wraps modulo 65536.
extern std::uint16_t OutputColumn;

// Set when a node could not be allocated. An operation that meets it stops as if
// Stop had been pressed; the command frame reports it once and clears it.
extern bool MemoryExhausted;

// Called where an operation could not allocate a node: the operation and every
// recursive worker above it wind down exactly as after a click on Stop.
inline void StopForExhaustedMemory() {
  MemoryExhausted = true;
  StopRequested = true;
}

}  // namespace lumenark
