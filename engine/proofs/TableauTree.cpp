#include "proofs/TableauTree.h"

#include <unordered_map>
#include <utility>

#include "formula/LetterBits.h"
#include "proofs/Assignment.h"
#include "runtime/EngineGlobals.h"
#include "runtime/Heartbeat.h"

namespace lumenark {
namespace {

class TableauBuilder {
 public:
  explicit TableauBuilder(const FormulaNode* root) : root_(root), ids_(root) {}

  TableauTree Build() {
    tree_.letters = LettersOfTree(root_);
    const std::int32_t trunk = NewSegment();
    const SignedFormula negation = SignedFormula::Of(root_, false);
    if (root_->negated) {
      // "~~X", then X by the rule "~~": the first line says what it stands for.
      AppendLine(trunk, {negation, -1, TableauRule::Negation, -1, 0, true});
      AddLines(trunk, {negation}, 1, 0, TableauRule::DoubleNegation);
    } else {
      AddLines(trunk, {negation}, 1, -1, TableauRule::Negation);
    }
    std::int32_t current = trunk;
    for (;;) {
      Heartbeat();
      if (StopRequested) {
        tree_.verdict = TableauTree::Verdict::Stopped;
        return std::move(tree_);
      }
      if (tree_.segments[current].end == BranchEnd::Closed) {
        current = Backtrack();
        if (current < 0) {
          tree_.verdict = TableauTree::Verdict::Valid;
          return std::move(tree_);
        }
        continue;
      }
      if (ApplyNonBranchingRule(current)) continue;
      const std::int32_t branching = ChooseBranchingRule();
      if (branching < 0) {
        FinishOpen(current);
        return std::move(tree_);
      }
      current = Split(current, branching);
    }
  }

 private:
  enum class Kind : std::uint8_t { Plain, NonBranching, Branching };
  struct PathEntry {
    std::int32_t line;
    Kind kind;
    bool used;
  };
  // A fork whose second branch is still to come, with the state of the branch at the fork.
  struct Fork {
    std::int32_t segment;
    std::size_t pathSize, trailSize, ruleCursor, branchCursor;
    bool secondEntered;
  };

  std::int32_t NewSegment() {
    tree_.segments.push_back({});
    return static_cast<std::int32_t>(tree_.segments.size() - 1);
  }

  bool OnBranch(SignedFormula formula) const { return onBranch_.contains(ids_.Key(formula)); }
  bool NegationOnBranch(SignedFormula formula) const {
    return formula.IsFalseConstant() || onBranch_.contains(ids_.Key(formula) ^ 1);
  }

  // Puts a line of a segment on the current branch.
  void Enter(std::int32_t line) {
    const SignedFormula formula = tree_.lines[line].formula;
    Decomposition rule;
    const Kind kind = !Decompose(formula, rule) ? Kind::Plain : rule.branches ? Kind::Branching : Kind::NonBranching;
    onBranch_.emplace(ids_.Key(formula), line);
    path_.push_back({line, kind, false});
  }

  // Writes a line at the end of the segment; returns its index.
  std::int32_t AppendLine(std::int32_t segment, const TableauLine& content) {
    const std::int32_t line = static_cast<std::int32_t>(tree_.lines.size());
    tree_.lines.push_back(content);
    TableauSegment& s = tree_.segments[segment];
    (s.last < 0 ? s.first : tree_.lines[s.last].next) = line;
    s.last = line;
    return line;
  }

  // Writes the formulas at the end of the segment and puts them on the branch; a formula
  // on the branch already is left out, and the segment closes at the first formula whose
  // negation is there (or a false constant).
  void AddLines(std::int32_t segment, std::initializer_list<SignedFormula> formulas, int count, std::int32_t from,
                TableauRule rule) {
    int i = 0;
    for (const SignedFormula formula : formulas) {
      if (i++ == count) break;
      if (onBranch_.contains(ids_.Key(formula))) continue;
      const std::int32_t line = AppendLine(segment, {formula, from, rule, -1});
      TableauSegment& s = tree_.segments[segment];
      const bool falseConstant = formula.IsFalseConstant();
      const auto found = onBranch_.find(ids_.Key(formula) ^ 1);
      const std::int32_t negation = found == onBranch_.end() ? -1 : found->second;
      Enter(line);
      if (falseConstant || negation >= 0) {
        s.end = BranchEnd::Closed;
        s.closedBy[0] = falseConstant ? line : negation;
        s.closedBy[1] = falseConstant ? -1 : line;
        return;
      }
    }
  }

  void MarkUsed(std::size_t entry) {
    path_[entry].used = true;
    trail_.push_back(entry);
  }

  // The branch as it was: entries after pathSize leave it, later marks are undone.
  void Unwind(std::size_t pathSize, std::size_t trailSize) {
    while (trail_.size() > trailSize) {
      if (trail_.back() < path_.size()) path_[trail_.back()].used = false;
      trail_.pop_back();
    }
    while (path_.size() > pathSize) {
      onBranch_.erase(ids_.Key(tree_.lines[path_.back().line].formula));
      path_.pop_back();
    }
  }

  bool ApplyNonBranchingRule(std::int32_t segment) {
    for (; ruleCursor_ < path_.size(); ++ruleCursor_) {
      const PathEntry entry = path_[ruleCursor_];
      if (entry.kind != Kind::NonBranching || entry.used) continue;
      Decomposition rule;
      Decompose(tree_.lines[entry.line].formula, rule);
      MarkUsed(ruleCursor_);
      AddLines(segment, {rule.alternative[0][0], rule.alternative[0][1]}, rule.count[0], entry.line, rule.rule);
      return true;
    }
    return false;
  }

  bool Holds(const Decomposition& rule, int alternative) const {
    for (int i = 0; i < rule.count[alternative]; ++i) {
      if (!OnBranch(rule.alternative[alternative][i])) return false;
    }
    return true;
  }

  bool ClosesAtOnce(const Decomposition& rule, int alternative) const {
    const SignedFormula* formulas = rule.alternative[alternative];
    for (int i = 0; i < rule.count[alternative]; ++i) {
      if (NegationOnBranch(formulas[i])) return true;
    }
    return rule.count[alternative] == 2 && ids_.Key(formulas[0]) == (ids_.Key(formulas[1]) ^ 1);
  }

  // The path entry of the branching rule to apply next, or -1 when none is left. Rules
  // one of whose branches holds already are marked used on the way.
  std::int32_t ChooseBranchingRule() {
    std::int32_t first = -1;
    // The entries before the cursor take no rule: a long branch is not read again and
    // again from its first line.
    while (branchCursor_ < path_.size() && (path_[branchCursor_].kind != Kind::Branching || path_[branchCursor_].used)) {
      ++branchCursor_;
    }
    for (std::size_t i = branchCursor_; i < path_.size(); ++i) {
      Heartbeat();
      if (path_[i].kind != Kind::Branching || path_[i].used) continue;
      Decomposition rule;
      Decompose(tree_.lines[path_[i].line].formula, rule);
      if (Holds(rule, 0) || Holds(rule, 1)) {
        MarkUsed(i);
        continue;
      }
      if (ClosesAtOnce(rule, 0) || ClosesAtOnce(rule, 1)) return static_cast<std::int32_t>(i);
      if (first < 0) first = static_cast<std::int32_t>(i);
    }
    return first;
  }

  // Applies the branching rule at the path entry: both branches are written at once (so
  // that one that closes at once shows it even when the search ends in the other), then
  // the one that closes at once, or else the rule's first, is developed first.
  std::int32_t Split(std::int32_t segment, std::int32_t entry) {
    const std::int32_t line = path_[entry].line;
    Decomposition rule;
    Decompose(tree_.lines[line].formula, rule);
    MarkUsed(static_cast<std::size_t>(entry));
    std::int32_t children[2];
    const std::size_t pathSize = path_.size(), trailSize = trail_.size();
    for (int k = 0; k < 2; ++k) {
      children[k] = NewSegment();
      AddLines(children[k], {rule.alternative[k][0], rule.alternative[k][1]}, rule.count[k], line, rule.rule);
      Unwind(pathSize, trailSize);
    }
    if (tree_.segments[children[1]].end == BranchEnd::Closed && tree_.segments[children[0]].end != BranchEnd::Closed) {
      std::swap(children[0], children[1]);
    }
    TableauSegment& s = tree_.segments[segment];
    s.end = BranchEnd::Split;
    s.children[0] = children[0];
    s.children[1] = children[1];
    forks_.push_back({segment, pathSize, trailSize, ruleCursor_, branchCursor_, false});
    EnterSegment(children[0]);
    return children[0];
  }

  void EnterSegment(std::int32_t segment) {
    for (std::int32_t line = tree_.segments[segment].first; line >= 0; line = tree_.lines[line].next) Enter(line);
  }

  // After a closed branch: the next branch still to develop, or -1 when there is none.
  std::int32_t Backtrack() {
    while (!forks_.empty()) {
      Fork& fork = forks_.back();
      Unwind(fork.pathSize, fork.trailSize);
      ruleCursor_ = fork.ruleCursor;
      branchCursor_ = fork.branchCursor;
      if (!fork.secondEntered) {
        fork.secondEntered = true;
        const std::int32_t second = tree_.segments[fork.segment].children[1];
        EnterSegment(second);
        return second;
      }
      forks_.pop_back();
    }
    return -1;
  }

  void FinishOpen(std::int32_t segment) {
    tree_.verdict = TableauTree::Verdict::Open;
    tree_.openSegment = segment;
    tree_.segments[segment].end = BranchEnd::Open;
    for (const PathEntry& entry : path_) {
      const SignedFormula formula = tree_.lines[entry.line].formula;
      if (IsVariableLiteral(formula.node) && formula.truth) tree_.trueLetters |= LetterBit(formula.node->symbol);
    }
  }

  const FormulaNode* root_;
  FormulaIds ids_;
  TableauTree tree_;
  std::unordered_map<std::uint64_t, std::int32_t, std::hash<std::uint64_t>, std::equal_to<>,
                     BudgetAllocator<std::pair<const std::uint64_t, std::int32_t>>>
      onBranch_;  // the keys of the branch's formulas and their lines
  BudgetVector<PathEntry> path_;  // the branch's lines from the first on
  BudgetVector<std::size_t> trail_;  // path entries marked used, in order
  BudgetVector<Fork> forks_;
  std::size_t ruleCursor_ = 0;    // the entries before it take no rule that does not branch
  std::size_t branchCursor_ = 0;  // the entries before it take no rule that branches
};

}  // namespace

TableauTree BuildTableau(const FormulaNode* root) { return TableauBuilder(root).Build(); }

}  // namespace lumenark
