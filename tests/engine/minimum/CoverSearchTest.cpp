// The cover search on charts of its own, not drawn from a function: rows that many
// columns share, columns of unequal literals, so that many covers have the fewest terms
// and the literals, then the order, tell them apart. Every answer is checked against all
// the sets of columns.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "TestSupport.h"
#include "minimum/CoverSearch.h"

namespace lumenark::testing {
namespace {

struct RandomChart {
  CoverChart chart;
  std::vector<std::uint32_t> rowsOf;  // per column: a bit per row
};

// rows rows, columns columns of 1 to 6 literals, each row in 2 to 4 columns.
RandomChart MakeChart(std::mt19937& random, std::uint32_t rows, std::uint32_t columns) {
  RandomChart made;
  made.rowsOf.assign(columns, 0);
  CoverChart& chart = made.chart;
  chart.rows = rows;
  chart.rowStart.push_back(0);
  for (std::uint32_t r = 0; r < rows; ++r) {
    const std::uint32_t wanted = 2 + random() % 3;
    std::vector<std::int32_t> row;
    while (row.size() < wanted) {
      const auto c = static_cast<std::int32_t>(random() % columns);
      if (std::find(row.begin(), row.end(), c) == row.end()) row.push_back(c);
    }
    std::sort(row.begin(), row.end());
    for (const std::int32_t c : row) {
      chart.columns.push_back(c);
      made.rowsOf[c] |= std::uint32_t{1} << r;
    }
    chart.rowStart.push_back(static_cast<std::uint32_t>(chart.columns.size()));
  }
  for (std::uint32_t c = 0; c < columns; ++c) chart.literals.push_back(1 + random() % 6);
  return made;
}

// Of the covers with the fewest terms, then literals, the one whose columns in ascending
// order come first at the first difference.
std::vector<std::int32_t> BestCover(const RandomChart& made) {
  const CoverChart& chart = made.chart;
  const std::uint32_t all = (std::uint32_t{1} << chart.rows) - 1;
  std::vector<std::int32_t> best;
  std::pair<std::size_t, std::uint32_t> bestSize{~std::size_t{0}, 0};
  for (std::uint32_t set = 0; set < (std::uint32_t{1} << chart.Columns()); ++set) {
    std::uint32_t covered = 0, literals = 0;
    std::vector<std::int32_t> chosen;
    for (std::uint32_t c = 0; c < chart.Columns(); ++c) {
      if (((set >> c) & 1) == 0) continue;
      covered |= made.rowsOf[c];
      literals += chart.literals[c];
      chosen.push_back(static_cast<std::int32_t>(c));
    }
    const std::pair<std::size_t, std::uint32_t> size{chosen.size(), literals};
    if (covered == all && (size < bestSize || (size == bestSize && chosen < best))) {
      bestSize = size;
      best = chosen;
    }
  }
  return best;
}

TEST(CoverSearchTest, FewestTermsThenLiteralsThenTheOrderOnRandomCharts) {
  TestHost host;
  std::mt19937 random(37);
  for (int k = 0; k < 300; ++k) {
    const std::uint32_t rows = 8 + random() % 17, columns = 8 + random() % 9;
    const RandomChart made = MakeChart(random, rows, columns);
    const CoverAnswer answer = MinimumCover(made.chart, host);
    ASSERT_EQ(answer.outcome, CoverOutcome::Proved) << "chart " << k;
    const std::vector<std::int32_t> found(answer.columns.begin(), answer.columns.end());
    EXPECT_EQ(found, BestCover(made)) << "chart " << k << ": " << rows << " rows, " << columns << " columns";
  }
}

}  // namespace
}  // namespace lumenark::testing
