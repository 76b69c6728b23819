#pragma once
// The exact cover behind a minimum form: the set of columns (prime implicants) that
// covers every row (minterm) with the fewest columns, among those with the fewest
// literals, proved so by a complete search.
//
// Columns are numbered in the term order (Cube.h). Among the covers with the fewest
// terms and literals the search returns the one whose columns come first in their
// order: the two covers' columns are compared in ascending order, and the first
// difference decides, for the cover holding the earlier column. (Equal covers have as
// many columns, so this is the cover that takes the earliest columns it can.)
//
// The chart is first reduced (a row with one column left forces that column; a row with
// all the columns of another is dropped; a column whose rows another column covers with
// no more literals, or as many and earlier in the order, is dropped) and split into
// independent parts. Each part is then searched in three stages:
//
// 1. the fewest terms, by branch and bound from the cover a greedy choice gives: branch
//    on a row with the fewest columns, one branch per column that may cover it; a
//    branch ends where what it has taken and a lower bound on what it still needs reach
//    the best cover found;
// 2. the fewest literals with that many terms, by the same search;
// 3. the first cover in the order with those terms and literals: take or leave each
//    column in turn, taking first, and end a branch that cannot stay within them.
//
// The lower bounds: rows that share no column each need a column of their own; and the
// Lagrangian bound (a price on each row, and in stages 2 and 3 on the number of terms,
// improved by subgradient steps), which also shows columns that a better cover must
// take, or cannot take. Each step of every stage reduces the chart again. The search
// counts its work; past a limit it gives up rather than run for hours, and no cover is
// returned then.

#include <cstdint>

#include "runtime/BudgetAllocator.h"
#include "runtime/Host.h"

namespace lumenark {

// The chart: each row's columns, and each column's literals.
struct CoverChart {
  std::uint32_t rows = 0;
  BudgetVector<std::uint32_t> literals;  // per column
  BudgetVector<std::uint32_t> rowStart;  // per row r: its columns are columns[rowStart[r] .. rowStart[r+1])
  BudgetVector<std::int32_t> columns;    // ascending within each row
  std::size_t Columns() const { return literals.size(); }
};

enum class CoverOutcome { Proved, Stopped, GaveUp };

struct CoverAnswer {
  CoverOutcome outcome = CoverOutcome::Stopped;
  BudgetVector<std::int32_t> columns;  // ascending; only when proved
  // Only when the search gave up: the columns of the best cover found, and the fewest
  // columns that any cover has, proved. Equal where the fewest columns were proved but
  // not which of those covers has the fewest literals.
  std::uint64_t bestTerms = 0;
  std::uint64_t fewestTerms = 0;
};

// The default limit on the search's work, in chart entries visited: some twenty seconds
// on a desktop machine of 2024.
inline constexpr std::uint64_t kDefaultCoverEffort = std::uint64_t{4} << 30;

// The minimum cover of the chart (whose every row can be covered), first in the order
// among the minimum ones. Stop and exhausted memory end it as Stopped; more work than
// effort as GaveUp. The host processes pending input as the search goes.
CoverAnswer MinimumCover(const CoverChart& chart, Host& host, std::uint64_t effort = kDefaultCoverEffort);

}  // namespace lumenark
