#pragma once
// A cube: the minterms that agree with it on the variables it fixes. As a term of a DNF
// it is the conjunction of its literals (a fixed 1 is the letter, a fixed 0 its
// negation); as a clause of a CNF it is the cube of the 0s the clause excludes, the
// disjunction of the opposite literals.

#include <bit>
#include <cstdint>
#include <string>

#include "minimum/BooleanFunction.h"

namespace lumenark {

struct Cube {
  std::uint32_t care = 0;   // bit v set: the cube fixes variable v
  std::uint32_t value = 0;  // the fixed values (only under care)

  int Literals() const { return std::popcount(care); }
  bool Covers(std::uint32_t minterm) const { return (minterm & care) == value; }
  bool operator==(const Cube&) const = default;
};

// How a cube reads: as a term of a minimum DNF, or as a clause of a minimum CNF.
enum class CubeReading { Term, Clause };

// The literal of the formula's letter i in the cube as it reads: 0 the letter, 1 its
// negation, 2 none. This is also the term order (TermBefore).
inline int LiteralKey(const Cube& cube, const BooleanFunction& f, int i, CubeReading reading) {
  const int v = f.VariableOfLetter(i);
  if (((cube.care >> v) & 1) == 0) return 2;
  const bool one = ((cube.value >> v) & 1) != 0;
  return one == (reading == CubeReading::Term) ? 0 : 1;
}

// The order of the terms (clauses) of a minimum form, in which they are printed and by
// which equal covers are told apart: letter by letter from the first, a term with the
// letter comes before one with its negation, which comes before one without either.
inline bool TermBefore(const Cube& a, const Cube& b, const BooleanFunction& f, CubeReading reading) {
  for (int i = 0; i < f.count; ++i) {
    const int ka = LiteralKey(a, f, i, reading), kb = LiteralKey(b, f, i, reading);
    if (ka != kb) return ka < kb;
  }
  return false;
}

// The cube as textbooks write it in the tabulation: one character per letter, '1', '0'
// or '-'. A clause is written as the cube of its 0s.
inline std::string CubeNotation(const Cube& cube, const BooleanFunction& f) {
  std::string text;
  for (int i = 0; i < f.count; ++i) {
    const int v = f.VariableOfLetter(i);
    text += ((cube.care >> v) & 1) == 0 ? '-' : ((cube.value >> v) & 1) != 0 ? '1' : '0';
  }
  return text;
}

// The term ("~A&C", "1" for the cube of every minterm) or clause ("A|~C", "0") as the
// printer prints it.
inline std::string CubeFormula(const Cube& cube, const BooleanFunction& f, CubeReading reading) {
  std::string text;
  for (int i = 0; i < f.count; ++i) {
    const int key = LiteralKey(cube, f, i, reading);
    if (key == 2) continue;
    if (!text.empty()) text += reading == CubeReading::Term ? '&' : '|';
    if (key == 1) text += '~';
    text += f.Letter(i);
  }
  if (text.empty()) text = reading == CubeReading::Term ? "1" : "0";
  return text;
}

}  // namespace lumenark
