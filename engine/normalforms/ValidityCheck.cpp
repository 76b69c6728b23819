#include "normalforms/ValidityCheck.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "runtime/BudgetAllocator.h"

#include "formula/LetterBits.h"
#include "runtime/EngineGlobals.h"

namespace lumenark {
namespace {

// A clause of the DNF by the letters of its plain and of its negated literals. It is
// false once one plain letter is false or one negated letter true.
struct Clause {
  std::uint64_t plain = 0;
  std::uint64_t negated = 0;
};

// Without recursion: a clause may be a chain as long as the formula.
void AddLiterals(const FormulaNode* clauseNode, Clause& clause, BudgetVector<const FormulaNode*>& pending) {
  pending.assign(1, clauseNode);
  while (!pending.empty()) {
    const FormulaNode* node = pending.back();
    pending.pop_back();
    if (IsLiteral(node)) {
      (node->negated ? clause.negated : clause.plain) |= LetterBit(node->symbol);
    } else {
      pending.push_back(node->right);
      pending.push_back(node->left);
    }
  }
}

BudgetVector<Clause> ClausesOf(const FormulaNode* root) {
  BudgetVector<Clause> clauses;
  BudgetVector<const FormulaNode*> inClause;
  BudgetVector<const FormulaNode*> pending{root};
  while (!pending.empty()) {
    const FormulaNode* node = pending.back();
    pending.pop_back();
    if (node->symbol == '|' && !node->negated) {
      pending.push_back(node->right);
      pending.push_back(node->left);
    } else {
      AddLiterals(node, clauses.emplace_back(), inClause);
    }
  }
  return clauses;
}

// An assignment under construction: the letters set true and those set false.
struct Assignment {
  std::uint64_t isTrue = 0;
  std::uint64_t isFalse = 0;
  std::uint64_t Assigned() const { return isTrue | isFalse; }
};

class FalsifyingSearch {
 public:
  explicit FalsifyingSearch(Host& host) : host_(host) {}

  // Whether the assignment extends to one under which every clause is false.
  bool Extends(BudgetVector<Clause> open, Assignment assignment) {
    if (!Propagate(open, assignment)) return false;
    if (open.empty()) return true;
    // Branch on a letter of the first open clause: first the value that makes it false.
    const Clause& first = open.front();
    const std::uint64_t free = ~assignment.Assigned();
    const std::uint64_t plain = first.plain & free;
    const std::uint64_t letter = plain != 0 ? plain & -plain : (first.negated & free) & -(first.negated & free);
    Assignment falsifying = assignment;
    Assignment other = assignment;
    (plain != 0 ? falsifying.isFalse : falsifying.isTrue) |= letter;
    (plain != 0 ? other.isTrue : other.isFalse) |= letter;
    return Extends(open, falsifying) || (!stopped_ && Extends(std::move(open), other));
  }

  bool Stopped() const { return stopped_; }

 private:
  // Drops the clauses the assignment makes false and sets the letters that are forced
  // (the last open literal of a clause) or free to choose (a letter only plain, or only
  // negated, in the open clauses), until nothing changes. False when a clause is true
  // under the assignment, or the search was stopped.
  bool Propagate(BudgetVector<Clause>& open, Assignment& assignment) {
    for (bool changed = true; changed;) {
      if (Pace(open.size())) return false;
      changed = false;
      std::uint64_t plainLetters = 0;
      std::uint64_t negatedLetters = 0;
      std::size_t kept = 0;
      for (const Clause& clause : open) {
        if ((clause.plain & assignment.isFalse) != 0 || (clause.negated & assignment.isTrue) != 0) continue;
        const std::uint64_t free = ~assignment.Assigned();
        const std::uint64_t plain = clause.plain & free;
        const std::uint64_t negated = clause.negated & free;
        if ((plain | negated) == 0) return false;  // every literal true: the clause holds
        if (__builtin_popcountll(plain | negated) == 1) {
          (plain != 0 ? assignment.isFalse : assignment.isTrue) |= plain | negated;
          changed = true;
        }
        plainLetters |= plain;
        negatedLetters |= negated;
        open[kept++] = clause;
      }
      open.resize(kept);
      const std::uint64_t free = ~assignment.Assigned();
      const std::uint64_t onlyPlain = plainLetters & ~negatedLetters & free;
      const std::uint64_t onlyNegated = negatedLetters & ~plainLetters & free;
      if ((onlyPlain | onlyNegated) != 0) {
        assignment.isFalse |= onlyPlain;
        assignment.isTrue |= onlyNegated;
        changed = true;
      }
    }
    return true;
  }

  // Counts clause visits; every so many the window gets its turn. True once stopped.
  bool Pace(std::size_t visits) {
    work_ += visits + 1;
    if (work_ >= kVisitsPerTurn) {
      work_ = 0;
      host_.ProcessPendingInput();
      if (StopRequested) stopped_ = true;
    }
    return stopped_;
  }

  static constexpr std::size_t kVisitsPerTurn = 1 << 16;
  Host& host_;
  std::size_t work_ = 0;
  bool stopped_ = false;
};

}  // namespace

Validity CheckDnfValidity(const FormulaNode* root, Host& host) {
  FalsifyingSearch search(host);
  const bool falsifiable = search.Extends(ClausesOf(root), Assignment{});
  if (search.Stopped()) return Validity::Stopped;
  return falsifiable ? Validity::NotValid : Validity::Valid;
}

}  // namespace lumenark
