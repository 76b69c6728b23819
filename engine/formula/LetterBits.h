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

// The letter of a single bit of such a mask.
inline char LetterOfBit(std::uint64_t bit) {
  const int index = __builtin_ctzll(bit);
  return static_cast<char>(index < 26 ? 'A' + index : 'a' + index - 26);
}

}  // namespace lumenark
