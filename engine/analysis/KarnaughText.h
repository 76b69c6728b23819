#pragma once
// A Karnaugh map as the Karnaugh Map command writes it, read back from the lines of a
// document (for the LaTeX export): the corner "AB\CD" (the row letters, a backslash, the
// column letters; the rows take the first half of the letters, rounded down), the column
// labels, then a line per row, its label first (none without row letters) and a 0 or 1
// per column.
//
//   AB\CD 00 01 11 10
//   00     1  1  0  0
//   ...

#include <cstddef>
#include <optional>
#include <string>
#include <span>
#include <string_view>
#include <vector>

namespace lumenark {

struct KarnaughText {
  std::string rowLetters, columnLetters;
  std::vector<std::string> columns;           // the column labels, in order
  std::vector<std::string> rows;              // the row labels (empty strings without row letters)
  std::vector<std::vector<char>> cells;       // per row, per column: '0' or '1'
  std::size_t lines = 0;                      // the heading and the rows
};

// The map whose heading is lines[first], or nothing when no map starts there.
std::optional<KarnaughText> ReadKarnaughText(std::span<const std::string_view> lines, std::size_t first);

}  // namespace lumenark
