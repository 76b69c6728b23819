#pragma once
// How much of the browser's stack is left, for the engine's depth limit
// (runtime/StackRoom.h): a probe recurses until the stack ends, and the JavaScript side,
// which catches the RangeError that ends it, reads how many of its frames fit.

#include <cstdint>

namespace lumenark::web {

// The probe's frames that fit below the calling point now (asks lumenark-engine.js).
std::uint32_t ProbeFramesLeft();

// Hands the probe to the engine, with what a level and the margin take in its frames.
void UseStackProbe();

}  // namespace lumenark::web
