#include "normalforms/ProductBound.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "formula/LetterBits.h"
#include "formula/TreeFold.h"
#include "formula/TreeOperations.h"
#include "runtime/BudgetAllocator.h"
#include "runtime/EngineGlobals.h"
#include "runtime/Heartbeat.h"
#include "sat/FormulaSat.h"

namespace lumenark {
namespace {

constexpr std::uint64_t kMost = std::numeric_limits<std::uint64_t>::max();

std::uint64_t SaturatingSum(std::uint64_t a, std::uint64_t b) { return a > kMost - b ? kMost : a + b; }
std::uint64_t SaturatingProduct(std::uint64_t a, std::uint64_t b) {
  if (a == 0 || b == 0) return 0;
  return a > kMost / b ? kMost : a * b;
}

bool InLiteralForm(const FormulaNode* node) {
  return IsLiteral(node) ? LetterBit(node->symbol) != 0 : !node->negated && (node->symbol == '&' || node->symbol == '|');
}

// The products that survive under an assignment, and the letters all of them hold.
struct Share {
  double elements = 0;
  std::uint64_t letters = ~std::uint64_t{0};
};

// Each survivor is a chain of k literals (2k - 1 nodes) and is joined to the others.
double NodesOf(const Share& share) {
  return share.elements * 2 * std::max(1, __builtin_popcountll(share.letters));
}

// The literal form as a list of operations, operands before the node, counted again and
// again under different assignments.
class Counter {
 public:
  // Counting stops climbing once it has visited about this many nodes in all.
  explicit Counter(std::uint64_t budget) : budget_(budget) {}
  bool Spent() const { return counted_ >= budget_; }

  // False where the tree is not in literal form.
  bool Flatten(const FormulaNode* root, char outer) {
    bool supported = true;
    const std::optional<std::uint32_t> top = FoldTree<std::uint32_t>(
        root,
        [&](const FormulaNode* node) {
          supported = supported && InLiteralForm(node);
          return Add(Step{0, 0, LetterBit(node->symbol), node->negated != 0, false});
        },
        [&](const FormulaNode* node, std::uint32_t left, std::uint32_t right) {
          supported = supported && InLiteralForm(node);
          return Add(Step{left, right, 0, false, node->symbol == outer});
        });
    wanted_ = outer == '|';  // a DNF's terms true, a CNF's clauses false
    return top.has_value() && supported;
  }

  Share Under(std::uint64_t assignment) {
    counted_ += steps_.size();
    for (std::size_t i = 0; i < steps_.size(); ++i) {
      const Step& s = steps_[i];
      Share& share = shares_[i];
      if (s.bit != 0) {
        const bool value = ((assignment & s.bit) != 0) != s.negated;
        share = value == wanted_ ? Share{1, s.bit} : Share{};
        continue;
      }
      const Share& a = shares_[s.left];
      const Share& b = shares_[s.right];
      if (s.outer) {
        share = Share{a.elements + b.elements, a.letters & b.letters};
      } else if (a.elements == 0 || b.elements == 0) {
        share = Share{};
      } else {
        share = Share{a.elements * b.elements, a.letters | b.letters};
      }
    }
    Heartbeat();
    return shares_.back();
  }

  // The assignment with letters flipped one at a time while a flip adds nodes, within
  // the counting's budget.
  std::uint64_t Climb(std::uint64_t assignment) {
    double best = NodesOf(Under(assignment));
    for (int round = 0; round < 4 && !StopRequested && !Spent(); ++round) {
      bool improved = false;
      for (std::uint64_t rest = letters_; rest != 0 && !Spent(); rest &= rest - 1) {
        const std::uint64_t flipped = assignment ^ (rest & (~rest + 1));
        const double nodes = NodesOf(Under(flipped));
        if (nodes > best) {
          best = nodes;
          assignment = flipped;
          improved = true;
        }
      }
      if (!improved || std::isinf(best)) break;
    }
    return assignment;
  }

  std::uint64_t Letters() const { return letters_; }
  std::size_t Size() const { return steps_.size(); }

 private:
  struct Step {
    std::uint32_t left;  // an operator: its operands' steps
    std::uint32_t right;
    std::uint64_t bit;   // a literal: its letter (0 for an operator)
    bool negated;
    bool outer;          // an operator: whether it is the outer one (it adds)
  };
  std::uint32_t Add(const Step& step) {
    steps_.push_back(step);
    shares_.emplace_back();
    letters_ |= step.bit;
    return static_cast<std::uint32_t>(steps_.size() - 1);
  }
  BudgetVector<Step> steps_;
  BudgetVector<Share> shares_;
  std::uint64_t letters_ = 0;
  bool wanted_ = true;
  std::uint64_t budget_;
  std::uint64_t counted_ = 0;
};

// An assignment whose survivors are counted, with the letters they all hold.
struct Counted {
  std::uint64_t assignment;
  std::uint64_t letters;
};

// Whether b's survivors are none of those counted before: b differs from each earlier
// assignment on a letter all of that one's survivors hold, or the other way round.
bool Apart(const Counted& b, const BudgetVector<Counted>& counted) {
  for (const Counted& a : counted) {
    const std::uint64_t differ = a.assignment ^ b.assignment;
    if ((differ & a.letters) == 0 && (differ & b.letters) == 0) return false;
  }
  return true;
}

// The clause that keeps the solver's next assignment apart from a counted one.
bool KeepApart(FormulaSat& sat, const Counted& counted) {
  BudgetVector<int> clause;
  for (std::uint64_t rest = counted.letters; rest != 0; rest &= rest - 1) {
    const std::uint64_t bit = rest & (~rest + 1);
    const int variable = FormulaSat::LetterVariable(LetterOfBit(bit));
    clause.push_back((counted.assignment & bit) != 0 ? -variable : variable);
  }
  return sat.AddClause(clause);
}

}  // namespace

std::uint64_t LiteralFormNodes(const FormulaNode* root) {
  return FoldTree<std::uint64_t>(
             root, [](const FormulaNode*) { return std::uint64_t{1}; },
             [](const FormulaNode* node, std::uint64_t left, std::uint64_t right) {
               const std::uint64_t operands = SaturatingSum(left, right);
               return node->symbol == '=' ? SaturatingSum(SaturatingProduct(2, operands), 3) : SaturatingSum(operands, 1);
             })
      .value_or(kMost);
}

std::uint64_t ElementsAtMost(const FormulaNode* root, char outer) {
  bool supported = true;
  const std::optional<std::uint64_t> count = FoldTree<std::uint64_t>(
      root,
      [&](const FormulaNode* node) {
        supported = supported && InLiteralForm(node);
        return std::uint64_t{1};
      },
      [&](const FormulaNode* node, std::uint64_t left, std::uint64_t right) {
        supported = supported && InLiteralForm(node);
        return node->symbol == outer ? SaturatingSum(left, right) : SaturatingProduct(left, right);
      });
  return count && supported ? *count : kMost;
}

std::uint64_t NodesAtLeast(const FormulaNode* root, char outer, std::optional<std::uint64_t> first,
                           std::uint64_t enough, Host& host) {
  // The solver's share: a few conflicts for each of a few dozen assignments, since the
  // bound only has to show the obvious; the counting's share: a number of nodes
  // counted, so that a large tree climbs less.
  constexpr int kMostAssignments = 64;
  constexpr int kConflicts = 1'000;
  constexpr std::uint64_t kCounting = std::uint64_t{1} << 26;
  constexpr std::size_t kLargeForm = std::size_t{1} << 16;
  Counter counter(kCounting);
  if (!counter.Flatten(root, outer)) return 0;
  // A large literal form is costly to encode and search: one assignment must do.
  const int assignments = counter.Size() > kLargeForm ? 1 : kMostAssignments;
  FormulaSat sat(host, FormulaSat::Refusal::EndsSolver);
  bool asserted = false;
  BudgetVector<Counted> counted;
  double nodes = 0;
  for (int round = 0; round < assignments && nodes <= static_cast<double>(enough) && !StopRequested &&
                     !counter.Spent();
       ++round) {
    std::uint64_t assignment = 0;
    if (round == 0 && first) {
      assignment = *first;
    } else {
      if (!asserted) {
        asserted = true;
        if (!sat.Assert(root, outer == '|')) break;
        for (const Counted& c : counted) {
          if (!KeepApart(sat, c)) break;
        }
      }
      if (sat.Solve(std::initializer_list<int>{}, kConflicts) != SatAnswer::Satisfiable) break;
      assignment = sat.TrueLetters(counter.Letters());
    }
    // The climbed assignment counts more, if it is still apart from the others.
    Counted next{assignment, counter.Under(assignment).letters};
    const std::uint64_t climbed = counter.Climb(assignment);
    const Counted higher{climbed, counter.Under(climbed).letters};
    if (Apart(higher, counted)) next = higher;
    else if (!Apart(next, counted)) break;
    const Share share = counter.Under(next.assignment);
    nodes += NodesOf(share);
    // Where the assignments so far add too little to reach enough in the rounds left,
    // the solver is asked no more.
    if (round >= 4 && nodes / (round + 1) * kMostAssignments < static_cast<double>(enough)) break;
    // Without letters common to its survivors, nothing keeps the next one apart.
    if (share.elements == 0 || share.letters == 0) break;
    counted.push_back(next);
    if (asserted && !KeepApart(sat, next)) break;
  }
  if (nodes < 1) return 0;
  return nodes >= 1.8e19 ? kMost : static_cast<std::uint64_t>(nodes - 1);
}

}  // namespace lumenark
