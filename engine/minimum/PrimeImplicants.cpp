#include "minimum/PrimeImplicants.h"

#include <algorithm>

#include "runtime/EngineGlobals.h"
#include "runtime/Heartbeat.h"

namespace lumenark {
namespace {

// Within a word: the positions whose bit v is 0.
constexpr std::uint64_t kZeroAt[6] = {0x5555555555555555ull, 0x3333333333333333ull, 0x0F0F0F0F0F0F0F0Full,
                                      0x00FF00FF00FF00FFull, 0x0000FFFF0000FFFFull, 0x00000000FFFFFFFFull};

// The word with each minterm's value moved to the minterm that differs in variable v.
std::uint64_t Flip(std::uint64_t x, int v) {
  const int shift = 1 << v;
  return ((x >> shift) & kZeroAt[v]) | ((x & kZeroAt[v]) << shift);
}

class PrimeFinder {
 public:
  explicit PrimeFinder(BudgetVector<Cube>& out) : out_(out) {}

  // The primes of the table t over the variables below m, each with the variables from
  // m on fixed as care and value say.
  void Table(const std::uint64_t* t, int m, std::uint32_t care, std::uint32_t value) {
    if (StopRequested) return;
    if (m <= 6) {
      Word(t[0], m, care, value);
      return;
    }
    const std::size_t words = std::size_t{1} << (m - 6), half = words / 2;
    bool zero = true, one = true, lowInHigh = true, highInLow = true;
    for (std::size_t w = 0; w < half; ++w) {
      const std::uint64_t a = t[w], b = t[half + w];
      zero = zero && (a | b) == 0;
      one = one && (a & b) == ~0ull;
      lowInHigh = lowInHigh && (a & ~b) == 0;
      highInLow = highInLow && (b & ~a) == 0;
    }
    Beat(words);
    if (zero) return;
    if (one) {
      out_.push_back({care, value});
      return;
    }
    const int v = m - 1;
    const std::uint32_t bit = std::uint32_t{1} << v;
    const std::uint64_t* low = t;
    const std::uint64_t* high = t + half;
    if (lowInHigh || highInLow) {
      // The smaller half is the conjunction of both: its primes are those with v free.
      Table(lowInHigh ? low : high, m - 1, care, value);
      if (lowInHigh && !highInLow) Filtered(high, low, m - 1, care | bit, value | bit);
      if (highInLow && !lowInHigh) Filtered(low, high, m - 1, care | bit, value);
      return;
    }
    {
      BudgetVector<std::uint64_t> both(half);
      for (std::size_t w = 0; w < half; ++w) both[w] = low[w] & high[w];
      Table(both.data(), m - 1, care, value);
    }
    Filtered(low, high, m - 1, care | bit, value);
    Filtered(high, low, m - 1, care | bit, value | bit);
  }

 private:
  // The primes of t that are not inside other (both over the variables below m).
  void Filtered(const std::uint64_t* t, const std::uint64_t* other, int m, std::uint32_t care, std::uint32_t value) {
    const std::size_t first = out_.size();
    Table(t, m, care, value);
    std::size_t kept = first;
    for (std::size_t i = first; i < out_.size(); ++i) {
      if (!Inside(out_[i], other, m)) out_[kept++] = out_[i];
    }
    out_.resize(kept);
  }

  // Whether every minterm of the cube (on the variables below m) is a 1 of t.
  bool Inside(const Cube& cube, const std::uint64_t* t, int m) {
    std::uint64_t mask = TableBits(m);
    for (int v = 0; v < std::min(m, 6); ++v) {
      if (((cube.care >> v) & 1) != 0) mask &= ((cube.value >> v) & 1) != 0 ? ~kZeroAt[v] : kZeroAt[v];
    }
    if (m <= 6) return (t[0] & mask) == mask;
    const std::uint32_t words = (std::uint32_t{1} << (m - 6)) - 1;
    const std::uint32_t fixed = (cube.care >> 6) & words, at = (cube.value >> 6) & words, free = ~fixed & words;
    std::uint32_t s = 0;
    do {
      Heartbeat();
      if ((t[at | s] & mask) != mask) return false;
      s = (s - free) & free;
    } while (s != 0);
    return true;
  }

  // The primes of a table of at most 64 minterms. For each set D of variables, g is the
  // set of minterms x whose cube with D free lies within the table; such a cube is prime
  // when no neighbour across a variable outside D is in g as well. Each cube is written
  // once, from its minterm with the D variables 0.
  void Word(std::uint64_t w, int m, std::uint32_t care, std::uint32_t value) {
    const std::uint32_t all = (std::uint32_t{1} << m) - 1;
    std::uint64_t g[64];
    std::uint64_t canonical[64];
    g[0] = w & TableBits(m);
    canonical[0] = ~0ull;
    for (std::uint32_t d = 0; d <= all; ++d) {
      if (d != 0) {
        const int top = 31 - std::countl_zero(d);
        const std::uint32_t rest = d & ~(std::uint32_t{1} << top);
        g[d] = g[rest] & Flip(g[rest], top);
        canonical[d] = canonical[rest] & kZeroAt[top];
      }
      if (g[d] == 0) continue;
      std::uint64_t neighbours = 0;
      for (int v = 0; v < m; ++v) {
        if (((d >> v) & 1) == 0) neighbours |= Flip(g[d], v);
      }
      for (std::uint64_t primes = g[d] & ~neighbours & canonical[d]; primes != 0; primes &= primes - 1) {
        const auto x = static_cast<std::uint32_t>(std::countr_zero(primes));
        out_.push_back({care | (all & ~d), value | (x & ~d)});
      }
    }
    Beat(all + 1);
  }

  static void Beat(std::size_t units) {
    for (std::size_t i = 0; i < units; i += 16) Heartbeat();
  }

  BudgetVector<Cube>& out_;
};

}  // namespace

BudgetVector<Cube> PrimeImplicants(const BooleanFunction& f) {
  BudgetVector<Cube> primes;
  PrimeFinder(primes).Table(f.table.data(), f.count, 0, 0);
  return primes;
}

}  // namespace lumenark
