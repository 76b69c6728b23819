#include "proofs/Tableau.h"

#include <optional>
#include <stdexcept>
#include <string>

#include "proofs/Assignment.h"
#include "proofs/TableauTree.h"
#include "runtime/EngineGlobals.h"
#include "runtime/Heartbeat.h"

namespace lumenark {
namespace {

// The tree in the order it is written: a segment's lines, then its end or its two
// branches, the one with fewer lines first and two places further in.
class TableauWriter {
 public:
  TableauWriter(FormulaDocument& doc, TableauTree& tree) : doc_(doc), tree_(tree), sizes_(tree.segments.size()) {
    // Branches come after the segment they grow from, so one pass from the end sums them.
    for (std::size_t s = tree_.segments.size(); s-- > 0;) {
      const TableauSegment& segment = tree_.segments[s];
      std::uint64_t size = segment.end == BranchEnd::Split ? sizes_[segment.children[0]] + sizes_[segment.children[1]] : 1;
      for (std::int32_t line = segment.first; line >= 0; line = tree_.lines[line].next) ++size;
      sizes_[s] = size;
    }
  }

  std::uint64_t WrittenLines() const { return sizes_[0]; }

  // Numbers the lines in the order they are written.
  void Number() {
    std::uint32_t number = 0;
    Walk([&](std::int32_t line, std::size_t) { tree_.lines[line].number = ++number; }, [](std::int32_t, std::size_t) {});
  }

  // Finds the column of the justifications of the numbered lines; then writes.
  void Write(bool justify) {
    justify_ = justify;
    Walk([&](std::int32_t line, std::size_t depth) {
      const std::size_t length = Prefix(line, depth).size() + FormulaText(tree_.lines[line].formula).size();
      if (length + 2 + Justification(line).size() < LineWidth()) {
        column_ = std::max(column_, length + 2);
      }
    }, [](std::int32_t, std::size_t) {});
    Walk([&](std::int32_t line, std::size_t depth) { WriteLine(line, depth); },
         [&](std::int32_t segment, std::size_t depth) { WriteEnd(segment, depth); });
  }

 private:
  template <typename OnLine, typename OnEnd>
  void Walk(OnLine onLine, OnEnd onEnd) {
    BudgetVector<std::pair<std::int32_t, std::size_t>> pending{{0, 0}};
    while (!pending.empty() && !StopRequested) {
      const auto [s, depth] = pending.back();
      pending.pop_back();
      const TableauSegment& segment = tree_.segments[s];
      for (std::int32_t line = segment.first; line >= 0 && !StopRequested; line = tree_.lines[line].next) {
        Heartbeat();
        onLine(line, depth);
      }
      if (segment.end != BranchEnd::Split) {
        onEnd(s, depth);
        continue;
      }
      const std::int32_t a = segment.children[0], b = segment.children[1];
      const bool aFirst = sizes_[a] <= sizes_[b];
      pending.push_back({aFirst ? b : a, depth});
      pending.push_back({aFirst ? a : b, depth + 1});
    }
  }

  std::size_t LineWidth() const { return static_cast<std::size_t>(doc_.LineWidth); }

  static std::string Indent(std::size_t depth) { return std::string(2 * depth, ' '); }

  std::string Prefix(std::int32_t line, std::size_t depth) const {
    return Indent(depth) + std::to_string(tree_.lines[line].number) + ". ";
  }

  std::string Justification(std::int32_t line) const {
    if (!justify_) return {};
    const TableauLine& l = tree_.lines[line];
    if (l.from < 0) return RuleName(l.rule);
    return std::to_string(tree_.lines[l.from].number) + ", " + RuleName(l.rule);
  }

  // A line that fits is written whole; a longer formula is written in pieces, so that
  // it continues on the next line where this one is full.
  void WriteLine(std::int32_t line, std::size_t depth) {
    const std::string prefix = Prefix(line, depth);
    const std::string formula = FormulaText(tree_.lines[line].formula);
    const std::string justification = Justification(line);
    std::string whole = prefix + formula;
    if (!justification.empty()) {
      // In the column where the line leaves room for it, else two places after the formula.
      const bool inColumn = whole.size() + 2 <= column_ && column_ + justification.size() < LineWidth();
      whole += std::string(inColumn ? column_ - whole.size() : 2, ' ') + justification;
    }
    if (whole.size() < LineWidth()) {
      doc_.InsertString(whole);
    } else {
      doc_.InsertString(prefix);
      for (std::size_t i = 0; i < formula.size() && !StopRequested; ++i) doc_.InsertString(std::string_view(&formula[i], 1));
      if (!justification.empty()) doc_.InsertString("  " + justification);
    }
    if (!StopRequested) doc_.InsertLine();
  }

  void WriteEnd(std::int32_t s, std::size_t depth) {
    const TableauSegment& segment = tree_.segments[s];
    std::string text = Indent(depth);
    if (segment.end == BranchEnd::Closed) {
      text += "closed: " + std::to_string(tree_.lines[segment.closedBy[0]].number);
      if (segment.closedBy[1] >= 0) text += ", " + std::to_string(tree_.lines[segment.closedBy[1]].number);
    } else {
      text += segment.end == BranchEnd::Open ? "open" : "not developed";
    }
    doc_.InsertString(text);
    if (!StopRequested) doc_.InsertLine();
  }

  FormulaDocument& doc_;
  TableauTree& tree_;
  BudgetVector<std::uint64_t> sizes_;  // lines written for each segment and all below it
  std::size_t column_ = 0;             // where the justifications start
  bool justify_ = true;
};

void WriteTableauLine(FormulaDocument& doc, std::string_view text) {
  doc.InsertString(text);
  if (!StopRequested) doc.InsertLine();
}

void WriteSummary(FormulaDocument& doc, const TableauTree& tree) {
  std::uint64_t branches = 0, closed = 0;
  for (const TableauSegment& segment : tree.segments) {
    branches += segment.end != BranchEnd::Split ? 1 : 0;
    closed += segment.end == BranchEnd::Closed ? 1 : 0;
  }
  WriteTableauLine(doc, "Result - Tableau: " + std::to_string(tree.lines.size()) + " lines, " + std::to_string(branches) +
                     " branches, " + std::to_string(closed) + " closed");
}

void WriteVerdict(FormulaDocument& doc, const TableauTree& tree) {
  if (StopRequested) return;
  if (tree.verdict == TableauTree::Verdict::Valid) {
    WriteTableauLine(doc, kTableauValid);
    return;
  }
  // An open branch on which every rule has been applied is satisfied by its letters; if
  // the formula came out true, the tree would be wrong, and no verdict is better than a
  // wrong one.
  if (ValueUnder(doc.Root, tree.trueLetters)) throw std::logic_error("the open branch of the tableau is no countermodel");
  WriteTableauLine(doc, kTableauOpen);
  if (tree.letters != 0) WriteAssignment(doc, "Countermodel:", tree.letters, tree.trueLetters);
}

TableauObserver observer = nullptr;

}  // namespace

void ObserveTableaux(TableauObserver observe) { observer = observe; }

void WriteTableau(FormulaDocument& doc) {
  if (doc.Root == nullptr) return;
  TableauTree tree = BuildTableau(doc.Root);
  if (tree.verdict == TableauTree::Verdict::Stopped) return;
  if (OutputColumn != 0) doc.InsertLine();
  if (doc.DetailLevel == 3) WriteSummary(doc, tree);
  std::optional<TableauWriter> writer;
  if (doc.DetailLevel <= 2 || observer != nullptr) {
    writer.emplace(doc, tree);
    writer->Number();
  }
  if (doc.DetailLevel <= 2) {
    if (writer->WrittenLines() > kMaxTableauLines) {
      WriteTableauLine(doc, "The tableau has " + std::to_string(writer->WrittenLines()) + " lines: too many for the text.");
    } else {
      WriteTableauLine(doc, kTableauHeading);
      writer->Write(doc.DetailLevel <= 1);
    }
  }
  WriteVerdict(doc, tree);
  if (observer != nullptr && !StopRequested) observer(doc, tree);
}

}  // namespace lumenark
