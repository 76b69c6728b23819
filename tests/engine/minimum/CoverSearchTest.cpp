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

// rows rows, columns columns of 1 to 6 literals, each row in 2 to 4 columns.
CoverChart MakeChart(std::mt19937& random, std::uint32_t rows, std::uint32_t columns) {
  CoverChart chart;
  chart.rows = rows;
  chart.rowStart.push_back(0);
  for (std::uint32_t r = 0; r < rows; ++r) {
    std::vector<std::int32_t> row;
    for (const std::uint32_t wanted = 2 + random() % 3; row.size() < wanted;) {
      const auto c = static_cast<std::int32_t>(random() % columns);
      if (std::find(row.begin(), row.end(), c) == row.end()) row.push_back(c);
    }
    std::sort(row.begin(), row.end());
    chart.columns.insert(chart.columns.end(), row.begin(), row.end());
    chart.rowStart.push_back(static_cast<std::uint32_t>(chart.columns.size()));
  }
  for (std::uint32_t c = 0; c < columns; ++c) chart.literals.push_back(1 + random() % 6);
  return chart;
}

// Of the covers with the fewest terms, then literals, the one whose columns in ascending
// order come first at the first difference: every set of columns tried.
std::vector<std::int32_t> BestCover(const CoverChart& chart) {
  std::vector<std::uint32_t> rowsOf(chart.Columns(), 0);  // per column: a bit per row
  for (std::uint32_t r = 0; r < chart.rows; ++r) {
    for (std::uint32_t i = chart.rowStart[r]; i < chart.rowStart[r + 1]; ++i) rowsOf[chart.columns[i]] |= 1u << r;
  }
  std::vector<std::int32_t> best;
  std::pair<std::size_t, std::uint32_t> bestSize{~std::size_t{0}, 0};
  for (std::uint32_t set = 0; set < (1u << chart.Columns()); ++set) {
    std::uint32_t covered = 0, literals = 0;
    std::vector<std::int32_t> chosen;
    for (std::uint32_t c = 0; c < chart.Columns(); ++c) {
      if (((set >> c) & 1) == 0) continue;
      covered |= rowsOf[c];
      literals += chart.literals[c];
      chosen.push_back(static_cast<std::int32_t>(c));
    }
    const std::pair<std::size_t, std::uint32_t> size{chosen.size(), literals};
    if (covered == (1u << chart.rows) - 1 && (size < bestSize || (size == bestSize && chosen < best))) {
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
    const CoverChart chart = MakeChart(random, rows, columns);
    const CoverAnswer answer = MinimumCover(chart, host);
    ASSERT_EQ(answer.outcome, CoverOutcome::Proved) << "chart " << k;
    const std::vector<std::int32_t> found(answer.columns.begin(), answer.columns.end());
    EXPECT_EQ(found, BestCover(chart)) << "chart " << k << ": " << rows << " rows, " << columns << " columns";
  }
}

}  // namespace
}  // namespace lumenark::testing
