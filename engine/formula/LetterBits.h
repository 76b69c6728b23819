#pragma once
// Sets of letters as 64-bit masks: one bit per letter 'A'..'Z', 'a'..'z'.

#include <cstdint>

namespace lumenark {

// The letter's bit; 0 for a constant or any other character.
inline std::uint64_t LetterBit(char letter) {
  if (letter >= 'A' && letter <= 'Z') return std::uint64_t{1} << (letter - 'A');
  if (letter >= 'a' && letter <= 'z') return std::uint64_t{1} << (26 + letter - 'a');
  return 0;
}

}  // namespace lumenark
