#pragma once
// The exact cover behind a minimum form: the cheapest set of columns (prime implicants)
// that covers every row (minterm), proved so by a complete search.
//
// Columns are numbered in the term order (Cube.h); a column's weight is what it adds to
// a cover. The minimum forms weigh a term as kTermWeight plus its literals, so a cover
// with fewer terms is always cheaper, and of two with as many terms the one with fewer
// literals.
//
// Among the cheapest covers the search returns the one whose columns come first in
// their order: the two covers' columns are compared in ascending order, and the first
// difference decides, for the cover holding the earlier column. (Since equal covers
// have equal numbers of columns, this is the cover that takes the earliest columns it
// can.)
//
// The search has two phases, after the chart is reduced (a row with one column left
// forces that column; a row with all the columns of another is dropped; a column whose
// rows another column covers as cheaply, or as cheaply and earlier in the order, is
// dropped) and split into independent parts:
//
// 1. branch and bound for the least weight: branch on a row with the fewest columns,
//    one branch per column that may cover it; a branch ends where its weight plus a
//    lower bound (rows that share no column each need a column of their own) reaches
//    the best cover found;
// 2. the first cover of that weight in the order: take or leave each column in turn,
//    taking first, and end a branch that cannot stay within the weight.
//
// Each step of either phase reduces the chart again. The search counts its work; past a
// limit it gives up rather than run for hours, and no cover is returned then.

#include <cstdint>

#include "runtime/BudgetAllocator.h"
#include "runtime/Host.h"

namespace lumenark {

inline constexpr std::uint64_t kTermWeight = std::uint64_t{1} << 32;

// The chart: for each column, its weight and the rows it covers (ascending).
struct CoverChart {
  std::uint32_t rows = 0;
  BudgetVector<std::uint64_t> weight;     // per column
  BudgetVector<std::uint32_t> rowStart;   // per row r: its columns are columns[rowStart[r] .. rowStart[r+1])
  BudgetVector<std::int32_t> columns;     // ascending within each row
  std::size_t Columns() const { return weight.size(); }
};

enum class CoverOutcome { Proved, Stopped, GaveUp };

struct CoverAnswer {
  CoverOutcome outcome = CoverOutcome::Stopped;
  BudgetVector<std::int32_t> columns;  // ascending; only when proved
};

// The default limit on the search's work, in chart entries visited: about half a
// minute on a desktop machine of 2024.
inline constexpr std::uint64_t kDefaultCoverEffort = std::uint64_t{6} << 30;

// The cheapest cover of the chart (which every row can be covered in), first in the
// order among the cheapest. Stop and exhausted memory end it as Stopped; more work than
// effort as GaveUp. The host processes pending input as the search goes.
CoverAnswer MinimumCover(const CoverChart& chart, Host& host, std::uint64_t effort = kDefaultCoverEffort);

}  // namespace lumenark
