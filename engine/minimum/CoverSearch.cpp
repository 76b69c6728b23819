#include "minimum/CoverSearch.h"

#include <algorithm>
#include <cmath>
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
constexpr std::uint64_t kNone = std::numeric_limits<std::uint64_t>::max();
// What floating-point sums may be off by; the costs are whole numbers.
constexpr double kSlack = 1e-6;

// A part of the chart still to be covered: its rows (by their number in the chart), each
// with the columns (ascending) that may still cover it.
struct Matrix {
  BudgetVector<std::uint32_t> start{0};
  BudgetVector<Column> columns;
  BudgetVector<std::uint32_t> id;

  std::size_t Rows() const { return id.size(); }
  std::span<const Column> Row(std::size_t r) const {
    return {columns.data() + start[r], columns.data() + start[r + 1]};
  }
  std::size_t RowSize(std::size_t r) const { return start[r + 1] - start[r]; }
  void EndRow(std::uint32_t chartRow) {
    start.push_back(static_cast<std::uint32_t>(columns.size()));
    id.push_back(chartRow);
  }
};

// A node of the search: what is left, what is taken, and its cost under the goal.
struct Node {
  Matrix m;
  BudgetVector<Column> taken;
  std::uint64_t cost = 0;
};

bool Contains(std::span<const Column> row, Column c) { return std::binary_search(row.begin(), row.end(), c); }
bool Contains(std::span<const std::uint32_t> rows, std::uint32_t r) { return std::binary_search(rows.begin(), rows.end(), r); }

template <typename T>
bool IsSubset(std::span<const T> small, std::span<const T> large) {
  return std::includes(large.begin(), large.end(), small.begin(), small.end());
}

class Search {
 public:
  Search(const CoverChart& chart, Host& host, std::uint64_t effort)
      : chart_(chart),
        host_(host),
        limit_(effort),
        local_(chart.Columns(), -1),
        mark_(chart.Columns(), 0),
        termPrice_(chart.rows, 0.0),
        literalPrice_(chart.rows, 0.0) {}

  CoverAnswer Run() {
    Node whole;
    whole.m.columns.assign(chart_.columns.begin(), chart_.columns.end());
    whole.m.start.assign(chart_.rowStart.begin(), chart_.rowStart.end());
    whole.m.id.resize(chart_.rows);
    std::iota(whole.m.id.begin(), whole.m.id.end(), 0u);
    // Reduced so that no cover of the fewest terms and literals, first in the order, is lost.
    goal_ = Goal::Literals;
    terms_ = static_cast<std::uint32_t>(-1);
    ordered_ = true;
    Reduce(whole);
    BudgetVector<Column> chosen = whole.taken;
    // A search that gives up while reducing estimates the whole of what is left.
    BudgetVector<Matrix> parts;
    if (Going()) parts = Parts(whole.m);
    else if (whole.m.Rows() > 0) parts.push_back(std::move(whole.m));
    std::uint64_t bestTerms = chosen.size(), fewestTerms = chosen.size();
    for (Matrix& part : parts) {
      if (StopRequested) break;
      // Once the search has given up, the other parts are only estimated, for the message.
      const PartTerms terms = gaveUp_ ? Estimate(part) : SearchPart(std::move(part), chosen);
      bestTerms += terms.best;
      fewestTerms += terms.fewest;
    }
    CoverAnswer answer;
    answer.outcome = StopRequested ? CoverOutcome::Stopped : gaveUp_ ? CoverOutcome::GaveUp : CoverOutcome::Proved;
    if (answer.outcome == CoverOutcome::Proved) {
      std::sort(chosen.begin(), chosen.end());
      answer.columns = std::move(chosen);
    }
    if (answer.outcome == CoverOutcome::GaveUp) {
      answer.bestTerms = bestTerms;
      answer.fewestTerms = fewestTerms;
    }
    return answer;
  }

 private:
  // What a stage minimises: the number of terms, or the literals of covers with terms_
  // terms (the fewest).
  enum class Goal { Terms, Literals };

  // The terms of a part's best cover found, and the fewest any cover of it can have.
  struct PartTerms {
    std::uint64_t best;
    std::uint64_t fewest;
  };

  // The three stages on one part; appends its cover to chosen. Where the search ends
  // before its cover is proved, what it found and proved of the terms.
  PartTerms SearchPart(Matrix part, BudgetVector<Column>& chosen) {
    goal_ = Goal::Terms;
    terms_ = static_cast<std::uint32_t>(-1);
    ordered_ = false;
    bestCover_ = Greedy(part);
    best_ = bestCover_.size();
    const std::uint64_t fewest = RootBound(part);
    if (fewest < best_) Branch(Node{part, {}, 0});
    if (!Going()) return PartTerms{best_, fewest};
    const std::uint64_t terms = bestCover_.size();
    goal_ = Goal::Literals;
    terms_ = static_cast<std::uint32_t>(terms);
    best_ = 0;
    for (const Column c : bestCover_) best_ += chart_.literals[c];
    Branch(Node{part, {}, 0});
    if (!Going()) return PartTerms{terms, terms};
    // Stage 2 found a cover of these literals, so stage 3 finds one unless it is ended:
    // no cover is returned that was not found.
    ordered_ = true;
    if (!First(Node{std::move(part), {}, 0}, best_ + 1)) {
      gaveUp_ = gaveUp_ || !StopRequested;
      return PartTerms{terms, terms};
    }
    chosen.insert(chosen.end(), found_.begin(), found_.end());
    return PartTerms{terms, terms};
  }

  // A part the search did not reach: a quick cover and bound.
  PartTerms Estimate(const Matrix& part) {
    goal_ = Goal::Terms;
    terms_ = static_cast<std::uint32_t>(-1);
    return PartTerms{Greedy(part).size(), DisjointRowsBound(part, true)};
  }

  // The fewest terms a cover of the part can have, by a long Lagrangian run from which
  // covers are also built (PricedCover); the best of them improves best_ and bestCover_.
  std::uint64_t RootBound(const Matrix& part) {
    const Index index(*this, part);
    BudgetVector<double> reduced;
    primal_ = true;
    const double bound = LagrangeBound(part, index, static_cast<double>(best_), kNone, reduced, kRootSteps);
    primal_ = false;
    const std::uint64_t disjoint = DisjointRowsBound(part, true);
    return std::max<std::uint64_t>(disjoint, static_cast<std::uint64_t>(std::ceil(std::max(0.0, bound) - kSlack)));
  }
  static constexpr int kRootSteps = 3000;

  // ---- Work and stopping --------------------------------------------------------------
  bool Going() {
    if (work_ > limit_) gaveUp_ = true;
    return !StopRequested && !gaveUp_;
  }
  void Work(std::size_t units) {
    work_ += units;
    for (std::size_t i = 0; i < units; i += 256) Heartbeat();
  }
  std::uint64_t Cost(Column c) const { return goal_ == Goal::Terms ? 1 : chart_.literals[c]; }
  // How many more terms a cover in the node may take.
  std::uint64_t TermRoom(const Node& node) const {
    return goal_ == Goal::Terms ? kNone : terms_ - std::min<std::uint64_t>(terms_, node.taken.size());
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

    std::size_t Size() const { return columns.size(); }
    std::int32_t Of(Column c) const { return search_.local_[c]; }
    std::span<const std::uint32_t> Rows(std::size_t k) const { return {rows.data() + start[k], rows.data() + start[k + 1]}; }

    BudgetVector<Column> columns;       // by number
    BudgetVector<std::uint32_t> start;  // by number: its rows are rows[start[k] .. start[k+1])
    BudgetVector<std::uint32_t> rows;   // ascending for each column

   private:
    Search& search_;
  };

  // ---- Reduction -----------------------------------------------------------------------
  // The matrix without the rows marked in dropRow and the columns marked in mark_ (whose
  // marks it clears).
  Matrix Rebuilt(const Matrix& m, const BudgetVector<char>& dropRow) {
    Matrix out;
    out.columns.reserve(m.columns.size());
    out.start.reserve(m.start.size());
    out.id.reserve(m.id.size());
    for (std::size_t r = 0; r < m.Rows(); ++r) {
      if (dropRow[r]) continue;
      for (const Column c : m.Row(r)) {
        if (mark_[c] == 0) out.columns.push_back(c);
      }
      out.EndRow(m.id[r]);
    }
    for (const Column c : m.columns) mark_[c] = 0;
    Work(m.columns.size());
    return out;
  }

  // Takes the columns marked 1 in mark_ (their rows drop out) and drops those marked 2.
  void TakeMarked(Node& node, const Index& index) {
    BudgetVector<char> dropRow(node.m.Rows(), 0);
    for (std::size_t k = 0; k < index.Size(); ++k) {
      const Column c = index.columns[k];
      if (mark_[c] != 1) continue;
      node.taken.push_back(c);
      node.cost += Cost(c);
      for (const std::uint32_t r : index.Rows(k)) dropRow[r] = 1;
    }
    node.m = Rebuilt(node.m, dropRow);
  }

  // Takes the forced columns and drops dominated rows and columns until nothing
  // changes. False when a row can no longer be covered, or the search is to end.
  bool Reduce(Node& node) {
    for (;;) {
      if (!Going()) return false;
      const Matrix& m = node.m;
      if (m.Rows() == 0) return true;
      const Index index(*this, m);
      // A row with one column left: that column is in every cover.
      bool forced = false;
      for (std::size_t r = 0; r < m.Rows(); ++r) {
        if (m.RowSize(r) == 0) {
          for (const Column c : index.columns) mark_[c] = 0;
          return false;
        }
        if (m.RowSize(r) == 1) {
          mark_[m.Row(r)[0]] = 1;
          forced = true;
        }
      }
      if (forced) {
        TakeMarked(node, index);
        continue;
      }
      BudgetVector<char> dropRow(m.Rows(), 0);
      bool dropped = DropDominatedRows(m, index, dropRow);
      dropped = DropDominatedColumns(m, index) || dropped;
      if (!dropped) return true;
      node.m = Rebuilt(m, dropRow);
    }
  }

  // A row with every column of another row is covered whenever that one is. Of equal
  // rows the first stays.
  bool DropDominatedRows(const Matrix& m, const Index& index, BudgetVector<char>& dropRow) {
    bool dropped = false;
    for (std::size_t r = 0; r < m.Rows(); ++r) {
      if (dropRow[r]) continue;
      const std::span<const Column> row = m.Row(r);
      std::size_t scarce = static_cast<std::size_t>(index.Of(row[0]));
      for (const Column c : row) {
        if (index.Rows(index.Of(c)).size() < index.Rows(scarce).size()) scarce = static_cast<std::size_t>(index.Of(c));
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

  // A column whose rows another column covers at no more cost is not needed. Where the
  // first cover in the order is sought, a column gives way only to a cheaper one or to
  // one of equal cost before it in the order; otherwise of two equal columns the later
  // goes. Marks the columns in mark_.
  bool DropDominatedColumns(const Matrix& m, const Index& index) {
    bool dropped = false;
    for (std::size_t k = 0; k < index.Size(); ++k) {
      const Column c = index.columns[k];
      const std::span<const std::uint32_t> rows = index.Rows(k);
      std::uint32_t scarce = rows[0];
      for (const std::uint32_t r : rows) {
        if (m.RowSize(r) < m.RowSize(scarce)) scarce = r;
      }
      for (const Column other : m.Row(scarce)) {
        if (other == c || mark_[other] != 0) continue;
        const std::uint64_t w = Cost(c), v = Cost(other);
        const std::span<const std::uint32_t> covered = index.Rows(static_cast<std::size_t>(index.Of(other)));
        if (v > w || covered.size() < rows.size()) continue;
        const bool tie = ordered_ ? v == w : v == w && covered.size() == rows.size();
        if (tie && other > c) continue;
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

  // ---- Bounds ----------------------------------------------------------------------------
  // Rows that share no column need a column each: the number of such rows (terms), or the
  // sum of their cheapest columns, taking the rows with the fewest columns first.
  std::uint64_t DisjointRowsBound(const Matrix& m, bool terms) {
    BudgetVector<std::uint32_t> order(m.Rows());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return m.RowSize(a) < m.RowSize(b); });
    std::uint64_t bound = 0;
    for (const std::uint32_t r : order) {
      const std::span<const Column> row = m.Row(r);
      if (std::any_of(row.begin(), row.end(), [&](Column c) { return mark_[c] != 0; })) continue;
      std::uint64_t cheapest = kNone;
      for (const Column c : row) {
        cheapest = std::min<std::uint64_t>(cheapest, terms ? 1 : chart_.literals[c]);
        mark_[c] = 1;
      }
      bound += cheapest;
    }
    for (const Column c : m.columns) mark_[c] = 0;
    Work(2 * m.columns.size() + m.Rows());
    return bound;
  }

  // The k-th smallest of the values (k from 1), where the cover may take as many terms as
  // there are columns or more, 0: a price on terms that the cover need not reach bounds
  // nothing.
  double KthSmallest(BudgetVector<double> values, std::uint64_t k) {
    if (k == 0 || k >= values.size()) return 0.0;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(k - 1), values.end());
    Work(8 * values.size());  // the copy and the selection: as long as eight looks at the chart each
    return values[k - 1];
  }

  // The Lagrangian bound on the cost still to come. With a price u_r >= 0 on each row,
  // and for the literals a price mu on each of the k terms the cover still takes:
  //   sum of u_r + mu k + sum over columns of min(0, cost - mu - prices of its rows)
  // The literals are sought among covers of the fewest terms, so a cover here takes
  // exactly k more (fewer would beat the fewest); mu may then be any number, and the
  // best one is the k-th smallest of the columns' costs less their row prices, which
  // makes the bound the row prices plus the k smallest of those. The row prices are
  // improved by subgradient steps, starting from the last ones each row had. reduced
  // receives each column's cost less its prices and mu.
  double LagrangeBound(const Matrix& m, const Index& index, double room, std::uint64_t termRoom,
                       BudgetVector<double>& reduced, int steps) {
    const bool literals = goal_ == Goal::Literals;
    BudgetVector<double>& prices = literals ? literalPrice_ : termPrice_;
    const std::size_t rows = m.Rows(), columns = index.Size();
    const double k = literals ? static_cast<double>(termRoom) : 0.0;
    BudgetVector<double> price(rows), best(rows), subgradient(rows), slack(columns);
    for (std::size_t r = 0; r < rows; ++r) price[r] = prices[m.id[r]];
    double mu = 0.0, bestMu = 0.0;
    double bestBound = -std::numeric_limits<double>::infinity();
    double step = 1.0;
    int stalled = 0;
    const bool longRun = steps > 300;
    for (int i = 0; i < steps; ++i) {
      if (primal_ && i % kPrimalEvery == kPrimalEvery - 1) room = TryPricedCover(m, index, price, room);
      for (std::size_t c = 0; c < columns; ++c) {
        double sum = 0;
        for (const std::uint32_t r : index.Rows(c)) sum += price[r];
        slack[c] = static_cast<double>(Cost(index.columns[c])) - sum;
      }
      if (literals) mu = KthSmallest(slack, termRoom);
      double bound = mu * k;
      for (std::size_t r = 0; r < rows; ++r) bound += price[r];
      std::fill(subgradient.begin(), subgradient.end(), 1.0);
      // The columns the bound takes: those below mu, and for the literals as many at mu
      // as make up the k terms.
      std::uint64_t level = 0;
      for (std::size_t c = 0; c < columns; ++c) level += slack[c] < mu;
      for (std::size_t c = 0; c < columns; ++c) {
        const double rc = slack[c] - mu;
        if (rc < 0 || (literals && rc == 0 && level < termRoom && ++level)) {
          bound += rc;
          for (const std::uint32_t r : index.Rows(c)) subgradient[r] -= 1.0;
        }
      }
      Work(2 * m.columns.size());
      if (bound > bestBound + kSlack) {
        bestBound = bound;
        best = price;
        bestMu = mu;
        stalled = 0;
      } else if (++stalled >= (longRun ? 20 : 5)) {
        step /= 2;
        stalled = 0;
        if (step < (longRun ? 1e-4 : 0.005)) break;
      }
      if (bound > room - 1 + kSlack) break;  // enough to end the branch
      double norm = 0.0;
      for (const double g : subgradient) norm += g * g;
      if (norm == 0) break;  // the prices are optimal
      const double t = step * std::max(room - bound, 1.0) / norm;
      for (std::size_t r = 0; r < rows; ++r) price[r] = std::max(0.0, price[r] + t * subgradient[r]);
    }
    for (std::size_t r = 0; r < rows; ++r) prices[m.id[r]] = best[r];
    reduced.assign(columns, 0.0);
    for (std::size_t c = 0; c < columns; ++c) {
      double sum = bestMu;
      for (const std::uint32_t r : index.Rows(c)) sum += best[r];
      reduced[c] = static_cast<double>(Cost(index.columns[c])) - sum;
    }
    Work(m.columns.size());
    return bestBound;
  }

  // Whether covers of cost below limit may remain in the node. Where the Lagrangian
  // bound shows that a column cannot be left out of such a cover, it is taken; where it
  // cannot be in one, it is dropped; *changed says whether either happened.
  bool WithinBounds(Node& node, std::uint64_t limit, bool* changed) {
    *changed = false;
    const Matrix& m = node.m;
    const std::uint64_t termRoom = TermRoom(node);
    if (node.cost >= limit) return false;
    if (goal_ == Goal::Literals && DisjointRowsBound(m, true) > termRoom) return false;
    if (node.cost + DisjointRowsBound(m, goal_ == Goal::Terms) >= limit) return false;
    BudgetVector<double> reduced;
    const Index index(*this, m);
    const double room = static_cast<double>(limit - node.cost);
    const double bound = LagrangeBound(m, index, room, termRoom, reduced, node.taken.empty() ? 300 : 40);
    if (bound > room - 1 + kSlack) return false;
    bool any = false;
    for (std::size_t c = 0; c < index.Size(); ++c) {
      if (reduced[c] >= 0 && bound + reduced[c] > room - 1 + kSlack) {
        mark_[index.columns[c]] = 2;
        any = true;
      } else if (reduced[c] < 0 && bound - reduced[c] > room - 1 + kSlack) {
        mark_[index.columns[c]] = 1;
        any = true;
      }
    }
    if (!any) return true;
    *changed = true;
    TakeMarked(node, index);
    return node.cost < limit;
  }

  // Reduces the node and applies the bounds until neither changes it. False when no
  // cover of cost below limit is left.
  bool Settle(Node& node, std::uint64_t limit) {
    for (;;) {
      if (!Reduce(node) || node.cost >= limit || node.taken.size() > terms_) return false;
      if (node.m.Rows() == 0) return true;
      bool changed = false;
      if (!WithinBounds(node, limit, &changed)) return false;
      if (!changed) return true;
    }
  }

  // Covers built from the prices during the long run at a part's root: every so many
  // steps, a cover that favours the columns whose rows are priced high; a smaller one
  // than the best is the new best, and the bound aims at it. Returns the room.
  static constexpr int kPrimalEvery = 25;
  double TryPricedCover(const Matrix& m, const Index& index, const BudgetVector<double>& price, double room) {
    BudgetVector<Column> cover = PricedCover(m, index, price);
    if (cover.size() <= best_) TwoForOne(m, index, cover);
    if (cover.size() >= best_) return room;
    best_ = cover.size();
    bestCover_ = std::move(cover);
    return static_cast<double>(best_);
  }

  // Takes, again and again, the column whose uncovered rows have the highest prices
  // (a tiny price for each row, so that a zero price still counts), of equal ones the
  // one with fewer literals, then the first; then leaves out the columns the others
  // make superfluous, those whose rows are priced lowest first. The scores only fall,
  // so a column's score is recomputed only when it comes to the top of the queue.
  BudgetVector<Column> PricedCover(const Matrix& m, const Index& index, const BudgetVector<double>& price) {
    constexpr double kFloor = 1e-3;
    const std::size_t rows = m.Rows(), columns = index.Size();
    BudgetVector<char> covered(rows, 0);
    auto score = [&](std::size_t k) {
      double sum = 0;
      for (const std::uint32_t r : index.Rows(k)) {
        if (!covered[r]) sum += price[r] + kFloor;
      }
      return sum;
    };
    auto before = [&](const std::pair<double, std::uint32_t>& a, const std::pair<double, std::uint32_t>& b) {
      if (a.first != b.first) return a.first < b.first;
      const std::uint32_t la = chart_.literals[index.columns[a.second]], lb = chart_.literals[index.columns[b.second]];
      return la != lb ? la > lb : index.columns[a.second] > index.columns[b.second];
    };
    BudgetVector<std::pair<double, std::uint32_t>> queue;
    queue.reserve(columns);
    for (std::size_t k = 0; k < columns; ++k) queue.emplace_back(score(k), static_cast<std::uint32_t>(k));
    std::make_heap(queue.begin(), queue.end(), before);
    BudgetVector<std::uint32_t> picked;
    for (std::size_t left = rows; left > 0 && !queue.empty();) {
      std::pop_heap(queue.begin(), queue.end(), before);
      auto top = queue.back();
      queue.pop_back();
      const double now = score(top.second);
      if (now < top.first - kSlack) {
        queue.emplace_back(now, top.second);
        std::push_heap(queue.begin(), queue.end(), before);
        continue;
      }
      picked.push_back(top.second);
      for (const std::uint32_t r : index.Rows(top.second)) {
        if (!covered[r]) --left;
        covered[r] = 1;
      }
    }
    Work(2 * m.columns.size());
    // Superfluous columns out, the least valuable first.
    BudgetVector<std::uint32_t> coverCount(rows, 0);
    BudgetVector<double> value(columns, 0.0);
    for (const std::uint32_t k : picked) {
      for (const std::uint32_t r : index.Rows(k)) {
        ++coverCount[r];
        value[k] += price[r];
      }
    }
    std::stable_sort(picked.begin(), picked.end(), [&](std::uint32_t a, std::uint32_t b) { return value[a] < value[b]; });
    BudgetVector<Column> cover;
    for (const std::uint32_t k : picked) {
      const std::span<const std::uint32_t> rowsOfK = index.Rows(k);
      if (std::all_of(rowsOfK.begin(), rowsOfK.end(), [&](std::uint32_t r) { return coverCount[r] > 1; })) {
        for (const std::uint32_t r : rowsOfK) --coverCount[r];
      } else {
        cover.push_back(index.columns[k]);
      }
    }
    return cover;
  }

  // Shrinks a cover by replacing two of its columns with one: the rows that only the two
  // cover, covered by a single column. Tried for every pair until none is found.
  void TwoForOne(const Matrix& m, const Index& index, BudgetVector<Column>& cover) {
    const std::size_t rows = m.Rows();
    BudgetVector<std::uint32_t> coverCount(rows, 0);
    BudgetVector<std::uint32_t> local;
    for (const Column c : cover) local.push_back(static_cast<std::uint32_t>(index.Of(c)));
    for (const std::uint32_t k : local) {
      for (const std::uint32_t r : index.Rows(k)) ++coverCount[r];
    }
    BudgetVector<std::uint32_t> only;  // rows covered by the pair alone
    for (bool shrunk = true; shrunk && Going();) {
      shrunk = false;
      for (std::size_t a = 0; a < local.size() && !shrunk; ++a) {
        for (std::size_t b = a + 1; b < local.size() && !shrunk; ++b) {
          only.clear();
          for (const std::size_t k : {a, b}) {
            for (const std::uint32_t r : index.Rows(local[k])) {
              const std::uint32_t byPair = 1 + (k == a && Contains(index.Rows(local[b]), r) ? 1 : 0);
              if (coverCount[r] == byPair && (k == a || !Contains(index.Rows(local[a]), r))) only.push_back(r);
            }
          }
          Work(index.Rows(local[a]).size() + index.Rows(local[b]).size());
          const std::int32_t single = CoveringAll(m, index, only);
          if (single < 0) continue;
          for (const std::size_t k : {b, a}) {
            for (const std::uint32_t r : index.Rows(local[k])) --coverCount[r];
            local.erase(local.begin() + static_cast<std::ptrdiff_t>(k));
          }
          for (const std::uint32_t r : index.Rows(static_cast<std::size_t>(single))) ++coverCount[r];
          local.push_back(static_cast<std::uint32_t>(single));
          shrunk = true;
        }
      }
    }
    cover.clear();
    for (const std::uint32_t k : local) cover.push_back(index.columns[k]);
  }

  // A column (by its number in the index) that covers all the rows; -1 if none does.
  std::int32_t CoveringAll(const Matrix& m, const Index& index, const BudgetVector<std::uint32_t>& rows) {
    if (rows.empty()) return -1;  // the pair is superfluous; the cover's cleanup drops such columns
    std::uint32_t scarce = rows[0];
    for (const std::uint32_t r : rows) {
      if (m.RowSize(r) < m.RowSize(scarce)) scarce = r;
    }
    for (const Column c : m.Row(scarce)) {
      const std::span<const std::uint32_t> covered = index.Rows(static_cast<std::size_t>(index.Of(c)));
      Work(rows.size());
      if (std::all_of(rows.begin(), rows.end(), [&](std::uint32_t r) { return Contains(covered, r); })) {
        return index.Of(c);
      }
    }
    return -1;
  }

  // A first cover: the column that covers the most rows not yet covered (of those, the
  // one with the fewest literals, then the first), again and again; then without the
  // columns the others make superfluous, those with the most literals first.
  BudgetVector<Column> Greedy(const Matrix& m) {
    const Index index(*this, m);
    BudgetVector<char> covered(m.Rows(), 0);
    BudgetVector<std::uint32_t> open(index.Size());
    for (std::size_t k = 0; k < index.Size(); ++k) open[k] = static_cast<std::uint32_t>(index.Rows(k).size());
    BudgetVector<std::size_t> order;
    for (std::size_t left = m.Rows(); left > 0;) {
      std::size_t pick = 0;
      for (std::size_t k = 1; k < index.Size(); ++k) {
        const std::uint32_t a = chart_.literals[index.columns[k]], b = chart_.literals[index.columns[pick]];
        if (open[k] > open[pick] || (open[k] == open[pick] && (a < b || (a == b && index.columns[k] < index.columns[pick])))) {
          pick = k;
        }
      }
      Work(index.Size());
      order.push_back(pick);
      for (const std::uint32_t r : index.Rows(pick)) {
        if (covered[r]) continue;
        covered[r] = 1;
        --left;
        for (const Column c : m.Row(r)) --open[static_cast<std::size_t>(index.Of(c))];
      }
    }
    BudgetVector<std::uint32_t> coverCount(m.Rows(), 0);
    for (const std::size_t k : order) {
      for (const std::uint32_t r : index.Rows(k)) ++coverCount[r];
    }
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
      return chart_.literals[index.columns[a]] > chart_.literals[index.columns[b]];
    });
    BudgetVector<Column> cover;
    for (const std::size_t k : order) {
      const std::span<const std::uint32_t> rows = index.Rows(k);
      if (std::all_of(rows.begin(), rows.end(), [&](std::uint32_t r) { return coverCount[r] > 1; })) {
        for (const std::uint32_t r : rows) --coverCount[r];
      } else {
        cover.push_back(index.columns[k]);
      }
    }
    return cover;
  }

  // The node once column c is taken (its rows are covered) and the columns in mark_ are
  // left out.
  Node Taking(const Node& node, Column c) {
    Node out{{}, node.taken, node.cost + Cost(c)};
    out.taken.push_back(c);
    for (std::size_t r = 0; r < node.m.Rows(); ++r) {
      const std::span<const Column> row = node.m.Row(r);
      if (Contains(row, c)) continue;
      for (const Column k : row) {
        if (mark_[k] == 0) out.m.columns.push_back(k);
      }
      out.m.EndRow(node.m.id[r]);
    }
    Work(node.m.columns.size());
    return out;
  }

  // ---- Stages 1 and 2: the least cost, in best_ and bestCover_ ------------------------------
  void Branch(Node node) {
    StackLevel level;
    if (!level.Enter()) return;
    host_.ProcessPendingInput();
    if (!Settle(node, best_)) return;
    if (node.m.Rows() == 0) {
      best_ = node.cost;
      bestCover_ = std::move(node.taken);
      return;
    }
    const Matrix& m = node.m;
    std::size_t row = 0;
    for (std::size_t r = 1; r < m.Rows(); ++r) {
      if (m.RowSize(r) < m.RowSize(row)) row = r;
    }
    // The columns of the row, the most promising (lowest reduced cost) first.
    const BudgetVector<double>& prices = goal_ == Goal::Literals ? literalPrice_ : termPrice_;
    BudgetVector<Column> candidates(m.Row(row).begin(), m.Row(row).end());
    BudgetVector<double> reduced(candidates.size());
    {
      const Index index(*this, m);
      for (std::size_t i = 0; i < candidates.size(); ++i) {
        double sum = 0;
        for (const std::uint32_t r : index.Rows(static_cast<std::size_t>(index.Of(candidates[i])))) sum += prices[m.id[r]];
        reduced[i] = static_cast<double>(Cost(candidates[i])) - sum;
      }
    }
    BudgetVector<std::uint32_t> order(candidates.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return reduced[a] < reduced[b]; });
    // Branch k takes the k-th column and leaves out the ones before it.
    BudgetVector<Column> left;
    for (const std::uint32_t i : order) {
      for (const Column k : left) mark_[k] = 1;
      Node child = Taking(node, candidates[i]);
      for (const Column k : left) mark_[k] = 0;
      Branch(std::move(child));
      if (!Going()) return;
      left.push_back(candidates[i]);
    }
  }

  // ---- Stage 3: the first cover of cost below limit in the order, in found_ -----------------
  bool First(Node node, std::uint64_t limit) {
    StackLevel level;
    if (!level.Enter()) return false;
    for (;;) {
      host_.ProcessPendingInput();
      if (!Settle(node, limit)) return false;
      if (node.m.Rows() == 0) {
        found_ = std::move(node.taken);
        return true;
      }
      const Column c = *std::min_element(node.m.columns.begin(), node.m.columns.end());
      if (First(Taking(node, c), limit)) return true;
      if (!Going()) return false;
      mark_[c] = 1;
      node.m = Rebuilt(node.m, BudgetVector<char>(node.m.Rows(), 0));
    }
  }

  // ---- Independent parts -----------------------------------------------------------------
  // The matrix split where no column links its rows, each part in the order of its first
  // row. Parts are covered on their own; the minimum cover is theirs together, and so is
  // the first in the order.
  BudgetVector<Matrix> Parts(const Matrix& m) {
    const Index index(*this, m);
    BudgetVector<std::size_t> parent(index.Size());
    std::iota(parent.begin(), parent.end(), std::size_t{0});
    auto root = [&](std::size_t k) {
      while (parent[k] != k) k = parent[k] = parent[parent[k]];
      return k;
    };
    auto rootOf = [&](Column c) { return root(static_cast<std::size_t>(index.Of(c))); };
    for (std::size_t r = 0; r < m.Rows(); ++r) {
      const std::size_t first = rootOf(m.Row(r)[0]);
      for (const Column c : m.Row(r)) parent[rootOf(c)] = first;
    }
    BudgetVector<std::int32_t> partOf(index.Size(), -1);
    BudgetVector<Matrix> parts;
    for (std::size_t r = 0; r < m.Rows(); ++r) {
      std::int32_t& part = partOf[rootOf(m.Row(r)[0])];
      if (part < 0) {
        part = static_cast<std::int32_t>(parts.size());
        parts.emplace_back();
      }
      Matrix& into = parts[static_cast<std::size_t>(part)];
      into.columns.insert(into.columns.end(), m.Row(r).begin(), m.Row(r).end());
      into.EndRow(m.id[r]);
    }
    Work(m.columns.size());
    return parts;
  }

  const CoverChart& chart_;
  Host& host_;
  const std::uint64_t limit_;
  std::uint64_t work_ = 0;
  bool gaveUp_ = false;
  BudgetVector<std::int32_t> local_;   // per column: its number in the current Index, or -1
  BudgetVector<char> mark_;            // per column: scratch marks, all 0 between uses
  BudgetVector<double> termPrice_;     // per chart row: its last Lagrangian price, for terms
  BudgetVector<double> literalPrice_;  // ... for literals
  Goal goal_ = Goal::Terms;
  bool primal_ = false;                // the Lagrangian run builds covers from its prices
  bool ordered_ = true;                // the first cover in the order is sought
  std::uint32_t terms_ = 0;            // for Goal::Literals: the terms of every cover sought
  std::uint64_t best_ = kNone;
  BudgetVector<Column> bestCover_;
  BudgetVector<Column> found_;
};

}  // namespace

CoverAnswer MinimumCover(const CoverChart& chart, Host& host, std::uint64_t effort) {
  return Search(chart, host, effort).Run();
}

}  // namespace lumenark
