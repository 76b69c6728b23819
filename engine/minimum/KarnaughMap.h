#pragma once
// The Karnaugh map of a formula of 1 to 6 letters, in the textbooks' layout: the rows
// are labelled by the values of the first half of the letters (the first n/2, rounded
// down, in the order A..Z, a..z), the columns by the rest, each edge in Gray-code order
// (00, 01, 11, 10) so that neighbouring cells differ in one letter, also across the
// edges; the letters are named at the corner. With 5 and 6 letters the first column
// letter (and with 6 the first row letter) chooses one of two (four) maps of 4 by 4
// cells, side by side: its 0 map first.
//
//   AB\CD 00 01 11 10
//   00     1  1  0  0
//   01     0  1  1  0
//   ...
//
// At Details 0 and 1 the map is followed by the groups of the minimum DNF (Minimum
// DNF's cover), each with its rows and columns and its term, and the minimum DNF:
//
//   Group 1 (rows 00 01, columns 01):~A&~C&D
//   Result - Minimum DNF:...
//
// The tree is left as it is. A window shows the map with its groups drawn as loops: it
// takes the map the command drew with TakeDrawnKarnaughMap.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formula/FormulaDocument.h"

namespace lumenark {

inline constexpr std::string_view kKarnaughLettersMessage = "A Karnaugh map is drawn for formulas of 1 to 6 letters.";
inline constexpr int kMostKarnaughLetters = 6;

struct KarnaughGroup {
  std::uint32_t care = 0;   // the cube of the term, over minterm bits (minimum/Cube.h)
  std::uint32_t value = 0;
  std::string term;         // as the printer prints it
};

struct KarnaughMap {
  std::string letters;       // the formula's letters, in order
  int rowLetters = 0;        // the first rowLetters letters label the rows
  int columnLetters = 0;     // the rest label the columns
  std::uint64_t ones = 0;    // bit m: the formula's value on minterm m
  std::vector<KarnaughGroup> groups;  // the minimum DNF's terms, in its order
  std::string minimum;       // the minimum DNF as printed

  // The codes of the rows (columns) in map order: the values of their letters, the first
  // letter the most significant bit. Codes 4 and up belong to the second map.
  std::vector<std::uint32_t> RowCodes() const { return Codes(rowLetters); }
  std::vector<std::uint32_t> ColumnCodes() const { return Codes(columnLetters); }
  std::uint32_t Minterm(std::uint32_t row, std::uint32_t column) const { return (row << columnLetters) | column; }
  bool Value(std::uint32_t row, std::uint32_t column) const { return ((ones >> Minterm(row, column)) & 1) != 0; }
  bool Covers(const KarnaughGroup& group, std::uint32_t row, std::uint32_t column) const {
    return (Minterm(row, column) & group.care) == group.value;
  }
  std::string RowLabel(std::uint32_t row) const { return Binary(row, rowLetters); }
  std::string ColumnLabel(std::uint32_t column) const { return Binary(column, columnLetters); }
  // The map as text lines: the heading, then each row.
  std::vector<std::string> Lines() const;

  static std::vector<std::uint32_t> Codes(int letters);
  static std::string Binary(std::uint32_t code, int digits);
};

// Writes the map of the document's tree at the caret, as above. More than 6 letters, or
// none, is the message kKarnaughLettersMessage.
void WriteKarnaughMap(FormulaDocument& doc);

// The map that the document's last Karnaugh map command drew in full, once; nothing when
// it drew none (a message, a stop) or it was taken already.
std::optional<KarnaughMap> TakeDrawnKarnaughMap(const FormulaDocument& doc);

}  // namespace lumenark
