#include "minimum/CoverSearch.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <numeric>
#include <span>
#include <utility>

#include "runtime/EngineGlobals.h"
#include "runtime/Heartbeat.h"
#include "runtime/StackRoom.h"

namespace lumenark {
namespace {

using Column = std::int32_t;
constexpr std::uint64_t kNoCover = std::numeric_limits<std::uint64_t>::max();

// A part of the chart still to be covered: its rows, each with the columns (ascending)
// that may still cover it.
struct Matrix {
  BudgetVector<std::uint32_t> start{0};
  BudgetVector<Column> columns;

  std::size_t Rows() const { return start.size() - 1; }
  std::span<const Column> Row(std::size_t r) const {
    return {columns.data() + start[r], columns.data() + start[r + 1]};
  }
  std::size_t RowSize(std::size_t r) const { return start[r + 1] - start[r]; }
  void EndRow() { start.push_back(static_cast<std::uint32_t>(columns.size())); }
};

bool Contains(std::span<const Column> row, Column c) { return std::binary_search(row.begin(), row.end(), c); }

template <typename T>
bool IsSubset(std::span<const T> small, std::span<const T> large) {
  return std::includes(large.begin(), large.end(), small.begin(), small.end());
}

class Search {
 public:
  Search(const CoverChart& chart, Host& host, std::uint64_t effort)
      : chart_(chart), host_(host), limit_(effort), local_(chart.Columns(), -1), mark_(chart.Columns(), 0) {}

  CoverAnswer Run() {
    Matrix whole;
    whole.columns.assign(chart_.columns.begin(), chart_.columns.end());
    whole.start.assign(chart_.rowStart.begin(), chart_.rowStart.end());
    BudgetVector<Column> chosen;
    std::uint64_t cost = 0;
    Reduce(whole, chosen, cost);
    BudgetVector<Matrix> parts = Going() ? Parts(whole) : BudgetVector<Matrix>();
    for (Matrix& part : parts) {
      best_ = kNoCover;
      if (getenv("KDEBUG")) fprintf(stderr, "part rows %zu entries %zu lb %llu work %llu\n", part.Rows(), part.columns.size(), (unsigned long long)(LowerBound(part)>>32), (unsigned long long)work_);
      Branch(part, {}, 0);
      if (getenv("KDEBUG")) fprintf(stderr, "phase1 best %llu work %llu\n", (unsigned long long)(best_>>32), (unsigned long long)work_);
      if (!Going()) break;
      // Phase 1 found a cover of this weight, so phase 2 finds one unless it is ended;
      // no cover is ever returned that was not found.
      if (!First(std::move(part), {}, 0, best_)) {
        gaveUp_ = gaveUp_ || !StopRequested;
        break;
      }
      chosen.insert(chosen.end(), found_.begin(), found_.end());
    }
    CoverAnswer answer;
    answer.outcome = StopRequested ? CoverOutcome::Stopped : gaveUp_ ? CoverOutcome::GaveUp : CoverOutcome::Proved;
    if (answer.outcome == CoverOutcome::Proved) {
      std::sort(chosen.begin(), chosen.end());
      answer.columns = std::move(chosen);
    }
    return answer;
  }

 private:
  // ---- Work and stopping --------------------------------------------------------------
  bool Going() {
    if (work_ > limit_) gaveUp_ = true;
    return !StopRequested && !gaveUp_;
  }
  void Work(std::size_t units) {
    work_ += units;
    for (std::size_t i = 0; i < units; i += 256) Heartbeat();
  }

  // ---- The columns of a matrix, row by row --------------------------------------------
  // Numbers the matrix's columns 0.. in order of appearance and lists the rows of each.
  // local_ maps a column to its number until the index goes.
  class Index {
   public:
    Index(Search& search, const Matrix& m) : search_(search) {
      for (const Column c : m.columns) {
        if (search_.local_[c] < 0) {
          search_.local_[c] = static_cast<std::int32_t>(columns.size());
          columns.push_back(c);
          start.push_back(0);
        }
        ++start[search_.local_[c]];
      }
      std::uint32_t sum = 0;
      for (std::uint32_t& s : start) sum += std::exchange(s, sum);
      start.push_back(sum);
      rows.resize(sum);
      BudgetVector<std::uint32_t> fill(start.begin(), start.end() - 1);
      for (std::size_t r = 0; r < m.Rows(); ++r) {
        for (const Column c : m.Row(r)) rows[fill[search_.local_[c]]++] = static_cast<std::uint32_t>(r);
      }
      search_.Work(2 * m.columns.size());
    }
    ~Index() {
      for (const Column c : columns) search_.local_[c] = -1;
    }
    Index(const Index&) = delete;
    Index& operator=(const Index&) = delete;

    std::int32_t Of(Column c) const { return search_.local_[c]; }
    std::span<const std::uint32_t> Rows(std::int32_t local) const {
      return {rows.data() + start[local], rows.data() + start[local + 1]};
    }

    BudgetVector<Column> columns;      // by number
    BudgetVector<std::uint32_t> start;  // by number: its rows are rows[start[k] .. start[k+1])
    BudgetVector<std::uint32_t> rows;   // ascending for each column

   private:
    Search& search_;
  };

  // ---- Reduction -----------------------------------------------------------------------
  // The matrix without the rows and columns marked in dropRow and mark_ (which is
  // cleared for the columns it held).
  Matrix Rebuilt(const Matrix& m, const BudgetVector<char>& dropRow) {
    Matrix out;
    out.columns.reserve(m.columns.size());
    out.start.reserve(m.start.size());
    for (std::size_t r = 0; r < m.Rows(); ++r) {
      if (dropRow[r]) continue;
      for (const Column c : m.Row(r)) {
        if (mark_[c] == 0) out.columns.push_back(c);
      }
      out.EndRow();
    }
    for (const Column c : m.columns) mark_[c] = 0;
    Work(m.columns.size());
    return out;
  }

  // Takes the forced columns and drops dominated rows and columns until nothing
  // changes. False when a row can no longer be covered, or the search is to end.
  bool Reduce(Matrix& m, BudgetVector<Column>& chosen, std::uint64_t& cost) {
    for (;;) {
      if (!Going()) return false;
      if (m.Rows() == 0) return true;
      const Index index(*this, m);
      BudgetVector<char> dropRow(m.Rows(), 0);
      // A row with one column left: that column is in every cover.
      bool forced = false;
      for (std::size_t r = 0; r < m.Rows(); ++r) {
        if (m.RowSize(r) == 0) return false;
        const Column c = m.Row(r)[0];
        if (m.RowSize(r) == 1 && mark_[c] == 0) {
          mark_[c] = 1;
          chosen.push_back(c);
          cost += chart_.weight[c];
          forced = true;
        }
      }
      if (forced) {
        for (std::size_t r = 0; r < m.Rows(); ++r) {
          for (const Column c : m.Row(r)) dropRow[r] = dropRow[r] || mark_[c] != 0;
        }
        m = Rebuilt(m, dropRow);
        continue;
      }
      bool dropped = DropDominatedRows(m, index, dropRow);
      dropped = DropDominatedColumns(m, index) || dropped;
      if (!dropped) return true;
      m = Rebuilt(m, dropRow);
    }
  }

  // A row with every column of another row is covered whenever that one is. Of equal
  // rows the first stays.
  bool DropDominatedRows(const Matrix& m, const Index& index, BudgetVector<char>& dropRow) {
    bool dropped = false;
    for (std::size_t r = 0; r < m.Rows(); ++r) {
      if (dropRow[r]) continue;
      const std::span<const Column> row = m.Row(r);
      std::int32_t scarce = index.Of(row[0]);
      for (const Column c : row) {
        if (index.Rows(index.Of(c)).size() < index.Rows(scarce).size()) scarce = index.Of(c);
      }
      for (const std::uint32_t other : index.Rows(scarce)) {
        if (other == r || dropRow[other] || m.RowSize(other) < row.size()) continue;
        if (m.RowSize(other) == row.size() && other < r) continue;
        Work(row.size());
        if (IsSubset(row, m.Row(other))) {
          dropRow[other] = 1;
          dropped = true;
        }
      }
    }
    return dropped;
  }

  // A column whose rows another column covers at no more weight is not needed: at equal
  // weight the later column in the order goes. Marks the columns in mark_.
  bool DropDominatedColumns(const Matrix& m, const Index& index) {
    bool dropped = false;
    for (std::int32_t k = 0; k < static_cast<std::int32_t>(index.columns.size()); ++k) {
      const Column c = index.columns[k];
      const std::span<const std::uint32_t> rows = index.Rows(k);
      std::uint32_t scarce = rows[0];
      for (const std::uint32_t r : rows) {
        if (m.RowSize(r) < m.RowSize(scarce)) scarce = r;
      }
      for (const Column other : m.Row(scarce)) {
        if (other == c || mark_[other] != 0) continue;
        const std::uint64_t w = chart_.weight[c], v = chart_.weight[other];
        if (v > w || (v == w && other > c)) continue;
        const std::span<const std::uint32_t> covered = index.Rows(index.Of(other));
        if (covered.size() < rows.size()) continue;
        Work(rows.size());
        if (IsSubset(rows, covered)) {
          mark_[c] = 1;
          dropped = true;
          break;
        }
      }
    }
    return dropped;
  }

  // ---- Bounds and branches -------------------------------------------------------------
  // Rows that share no column need a column each: the sum of their cheapest columns,
  // taking the rows with the fewest columns first.
  std::uint64_t LowerBound(const Matrix& m) {
    BudgetVector<std::uint32_t> order(m.Rows());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return m.RowSize(a) < m.RowSize(b); });
    std::uint64_t bound = 0;
    for (const std::uint32_t r : order) {
      const std::span<const Column> row = m.Row(r);
      if (std::any_of(row.begin(), row.end(), [&](Column c) { return mark_[c] != 0; })) continue;
      std::uint64_t cheapest = kNoCover;
      for (const Column c : row) {
        cheapest = std::min(cheapest, chart_.weight[c]);
        mark_[c] = 1;
      }
      bound += cheapest;
    }
    for (const Column c : m.columns) mark_[c] = 0;
    Work(2 * m.columns.size() + m.Rows());
    return bound;
  }

  // The matrix once column c is taken (its rows are covered) and the columns in mark_
  // are left out.
  Matrix Taking(const Matrix& m, Column c) {
    Matrix out;
    for (std::size_t r = 0; r < m.Rows(); ++r) {
      const std::span<const Column> row = m.Row(r);
      if (Contains(row, c)) continue;
      for (const Column k : row) {
        if (mark_[k] == 0) out.columns.push_back(k);
      }
      out.EndRow();
    }
    Work(m.columns.size());
    return out;
  }

  // Phase 1: the least weight of a cover, in best_.
  void Branch(Matrix m, BudgetVector<Column> chosen, std::uint64_t cost) {
    if (!EnterRecursion()) return;
    host_.ProcessPendingInput();
    if (!Reduce(m, chosen, cost) || cost >= best_) return;
    if (m.Rows() == 0) {
      best_ = cost;
      return;
    }
    if (cost + LowerBound(m) >= best_) return;
    std::size_t row = 0;
    for (std::size_t r = 1; r < m.Rows(); ++r) {
      if (m.RowSize(r) < m.RowSize(row)) row = r;
    }
    // The columns of the row, those covering the most rows first.
    BudgetVector<Column> candidates(m.Row(row).begin(), m.Row(row).end());
    BudgetVector<std::uint32_t> covers(candidates.size());
    {
      const Index index(*this, m);
      for (std::size_t i = 0; i < candidates.size(); ++i) {
        covers[i] = static_cast<std::uint32_t>(index.Rows(index.Of(candidates[i])).size());
      }
    }
    BudgetVector<std::uint32_t> order(candidates.size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
      if (covers[a] != covers[b]) return covers[a] > covers[b];
      if (chart_.weight[candidates[a]] != chart_.weight[candidates[b]]) {
        return chart_.weight[candidates[a]] < chart_.weight[candidates[b]];
      }
      return candidates[a] < candidates[b];
    });
    // Branch k takes the k-th column and leaves out the ones before it.
    BudgetVector<Column> left;
    for (const std::uint32_t i : order) {
      const Column c = candidates[i];
      for (const Column k : left) mark_[k] = 1;
      Matrix child = Taking(m, c);
      for (const Column k : left) mark_[k] = 0;
      BudgetVector<Column> taken = chosen;
      taken.push_back(c);
      Branch(std::move(child), std::move(taken), cost + chart_.weight[c]);
      if (!Going()) return;
      left.push_back(c);
    }
  }

  // Phase 2: the first cover of weight target in the order, in found_; false if none.
  bool First(Matrix m, BudgetVector<Column> chosen, std::uint64_t cost, std::uint64_t target) {
    if (!EnterRecursion()) return false;
    for (;;) {
      host_.ProcessPendingInput();
      if (!Reduce(m, chosen, cost) || cost > target) return false;
      if (m.Rows() == 0) {
        found_ = std::move(chosen);
        return true;
      }
      if (cost + LowerBound(m) > target) return false;
      const Column c = *std::min_element(m.columns.begin(), m.columns.end());
      BudgetVector<Column> taken = chosen;
      taken.push_back(c);
      if (First(Taking(m, c), std::move(taken), cost + chart_.weight[c], target)) return true;
      if (!Going()) return false;
      mark_[c] = 1;
      m = Rebuilt(m, BudgetVector<char>(m.Rows(), 0));
    }
  }

  // ---- Independent parts -----------------------------------------------------------------
  // The matrix split where no column links its rows, each part in the order of its first
  // row. Parts are covered on their own; the cheapest cover is theirs together, and so is
  // the first in the order.
  BudgetVector<Matrix> Parts(const Matrix& m) {
    const Index index(*this, m);
    BudgetVector<std::int32_t> parent(index.columns.size());
    std::iota(parent.begin(), parent.end(), 0);
    auto root = [&](std::int32_t k) {
      while (parent[k] != k) k = parent[k] = parent[parent[k]];
      return k;
    };
    for (std::size_t r = 0; r < m.Rows(); ++r) {
      const std::int32_t first = root(index.Of(m.Row(r)[0]));
      for (const Column c : m.Row(r)) parent[root(index.Of(c))] = first;
    }
    BudgetVector<std::int32_t> partOf(index.columns.size(), -1);
    BudgetVector<Matrix> parts;
    for (std::size_t r = 0; r < m.Rows(); ++r) {
      std::int32_t& part = partOf[root(index.Of(m.Row(r)[0]))];
      if (part < 0) {
        part = static_cast<std::int32_t>(parts.size());
        parts.emplace_back();
      }
      Matrix& into = parts[part];
      into.columns.insert(into.columns.end(), m.Row(r).begin(), m.Row(r).end());
      into.EndRow();
    }
    Work(m.columns.size());
    return parts;
  }

  const CoverChart& chart_;
  Host& host_;
  const std::uint64_t limit_;
  std::uint64_t work_ = 0;
  bool gaveUp_ = false;
  BudgetVector<std::int32_t> local_;  // per column: its number in the current Index, or -1
  BudgetVector<char> mark_;           // per column: scratch marks, all 0 between uses
  std::uint64_t best_ = kNoCover;
  BudgetVector<Column> found_;
};

}  // namespace

CoverAnswer MinimumCover(const CoverChart& chart, Host& host, std::uint64_t effort) {
  return Search(chart, host, effort).Run();
}

}  // namespace lumenark
