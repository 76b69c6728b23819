#pragma once
// The semantic tableau (truth tree) of a formula's negation, built in memory. Its first
// line is the negated formula (for a formula "~X", the line "~~X", which the rule "~~"
// takes to X on the next line); every rule takes a compound formula of a branch apart
// and writes what follows from it at the end of that branch, on one new branch or on
// two. A branch closes as soon as it holds a formula and its negation, or a false
// constant (0, or ~1); a true constant (1, or ~0) asks nothing of a branch and no rule
// takes it: it is dropped. A branch on which no rule is left and that has not closed is
// open, and its letters give an assignment under which the formula is false.
//
// The order of the rules is fixed, so that the tree is the same every time and stays
// small:
//   1. the rules that do not branch, on the earliest line of the branch they can take;
//   2. then a branching rule, on the earliest line one of whose branches closes at once
//      (it holds a false constant or a formula whose negation is on the branch already);
//   3. else a branching rule on the earliest line.
// A formula that is on the branch already is not written again, and a formula one of
// whose branches is on the branch already (every formula of it) needs no rule. Both
// branches of a rule are written at once; the search takes first a branch that closes
// at once, else the rule's first branch, and its branches come first in segments'
// children. At the first open branch the tree is complete for its purpose: the branches
// not yet developed stay as they are.
//
// The search keeps its own stack, so formulas of any depth are fine; it beats the
// heartbeat as it goes and ends at a stop (Verdict::Stopped). Its memory counts against
// the budget; past it, std::bad_alloc, which the command frame reports.

#include <cstdint>

#include "formula/FormulaNode.h"
#include "proofs/SignedFormula.h"
#include "runtime/BudgetAllocator.h"

namespace lumenark {

struct TableauLine {
  SignedFormula formula;
  std::int32_t from;   // the line the rule took apart; -1 for the first line
  TableauRule rule;
  std::int32_t next;   // the next line of the same segment, -1 after the last
  std::uint32_t number = 0;  // the line's number as written, from 1 (set by the writer)
  // The first line of a formula "~X": written "~~X", and not on the branch itself; the
  // rule "~~" puts X there.
  bool doubleNegation = false;
};

// How a segment of a branch ends.
enum class BranchEnd : std::uint8_t { Split, Closed, Open, Undeveloped };

// A stretch of a branch without a fork: its lines, then its end.
struct TableauSegment {
  std::int32_t first = -1, last = -1;    // its lines, linked through next
  BranchEnd end = BranchEnd::Undeveloped;
  std::int32_t closedBy[2] = {-1, -1};   // the two lines that close it; [1] is -1 for a false constant
  std::int32_t children[2] = {-1, -1};   // after a split: the two branches, the one searched first first
};

struct TableauTree {
  enum class Verdict { Valid, Open, Stopped };
  BudgetVector<TableauLine> lines;
  BudgetVector<TableauSegment> segments;  // segments[0] starts with the first line
  Verdict verdict = Verdict::Stopped;
  std::uint64_t letters = 0;      // the formula's letters
  std::uint64_t trueLetters = 0;  // of the open branch: its letters asserted true
  std::int32_t openSegment = -1;
};

TableauTree BuildTableau(const FormulaNode* root);

}  // namespace lumenark
