#include "analysis/TruthTable.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <string>

#include "analysis/FormulaText.h"
#include "formula/LetterBits.h"
#include "formula/RowEvaluation.h"
#include "runtime/BudgetAllocator.h"
#include "runtime/EngineGlobals.h"
#include "runtime/Heartbeat.h"

namespace lumenark {
namespace {

using Entry = RowEntry;
using Entries = RowEntries;

// One column of the table: its heading, the entry whose value it shows, and where in the
// heading that value stands.
struct Column {
  std::string heading;
  std::int32_t entry;
  std::size_t mark = 0;
  bool inverted = false;  // the subformula without its negation
  std::string legend;  // the formula behind a numbered heading
};

// Where a subformula's value goes under its printed text: under '~' when it is negated,
// else under its main operator (after the left operand and its parentheses).
std::size_t MarkOf(const FormulaNode* node, bool withNegation = true) {
  if ((node->negated && withNegation) || IsLiteral(node)) return 0;
  const FormulaNode* left = node->left;
  const bool parens = !left->negated && left->kind < node->kind;
  return FormulaString(left).size() + (parens ? 2 : 0);
}

// The columns after the letters: the subformulas (where the Details level asks for them)
// and the formula itself, last.
BudgetVector<Column> FormulaColumns(const FormulaDocument& doc, const Entries& entries) {
  BudgetVector<Column> columns;
  const std::size_t headingLimit = std::max<std::size_t>(8, (doc.LineWidth - 1) / 2);
  int operators = 0;
  for (const Entry& e : entries) operators += IsLiteral(e.node) ? 0 : 1;
  const bool subformulas = doc.DetailLevel <= 1 && operators <= kMaxSubformulaColumns;
  const std::int32_t last = static_cast<std::int32_t>(entries.size()) - 1;
  int numbered = 0;
  BudgetVector<std::string> seen{FormulaString(entries[last].node, headingLimit)};
  // A subformula is shown once, at its first place.
  auto fresh = [&](const std::string& text) {
    for (const std::string& s : seen) {
      if (s == text) return false;
    }
    seen.push_back(text);
    return true;
  };
  for (std::int32_t i = 0; i <= last; ++i) {
    const FormulaNode* node = entries[i].node;
    if (i != last && (!subformulas || IsLiteral(node))) continue;
    std::string text = FormulaString(node, headingLimit);
    // A negated operator shows its operator's value first, as ~( ... ) takes it.
    if (subformulas && node->negated && !IsLiteral(node) && text.size() <= headingLimit) {
      std::string inner = text.substr(2, text.size() - 3);
      if (fresh(inner)) columns.push_back({inner, i, MarkOf(node, false), true, {}});
    }
    if (i != last && !fresh(text)) continue;
    Column column{text, i, 0, false, {}};
    if (text.size() > headingLimit) {
      char number[16];
      std::snprintf(number, sizeof number, "(%d)", ++numbered);
      column.heading = number;
      column.legend = column.heading;
    } else {
      column.mark = MarkOf(node);
    }
    columns.push_back(std::move(column));
  }
  return columns;
}

// The cells of a row laid out on lines no longer than the line width allows: the
// position of each column's value, and where each line ends.
struct Layout {
  BudgetVector<std::size_t> line;      // the line of each column
  BudgetVector<std::size_t> position;  // the value's position within its line
  BudgetVector<std::string> headings;  // the heading lines
};

Layout LayOut(const BudgetVector<Column>& columns, std::size_t letterCount, std::size_t width) {
  Layout layout;
  std::string current;
  std::size_t lineNumber = 0;
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const std::string separator = c == 0 ? "" : (c < letterCount ? " " : "  ");
    if (!current.empty() && current.size() + separator.size() + columns[c].heading.size() > width) {
      layout.headings.push_back(current);
      current.clear();
      ++lineNumber;
    }
    current += separator;
    layout.line.push_back(lineNumber);
    layout.position.push_back(current.size() + columns[c].mark);
    current += columns[c].heading;
  }
  layout.headings.push_back(current);
  return layout;
}

void WriteLine(FormulaDocument& doc, std::string_view line) {
  doc.InsertString(line);
  doc.InsertLine();
}

// The numbered formulas, each written as the printer writes a formula, in pieces.
void WriteLegend(FormulaDocument& doc, const Entries& entries, const BudgetVector<Column>& columns) {
  for (const Column& column : columns) {
    if (column.legend.empty() || StopRequested) continue;
    doc.InsertString(column.legend + " ");
    PrintFormula(entries[column.entry].node, kPlainSymbols, [&](std::string_view piece) {
      doc.InsertString(piece);
      return !StopRequested;
    });
    doc.InsertLine();
  }
}

}  // namespace

void WriteTruthTable(FormulaDocument& doc) {
  if (doc.Root == nullptr) return;
  const std::uint64_t letters = LettersOfTree(doc.Root);
  const int letterCount = std::popcount(letters);
  const Entries entries = RowOrder(doc.Root, letters);
  if (StopRequested) return;
  BudgetVector<Column> columns;
  for (std::uint64_t rest = letters; rest != 0; rest &= rest - 1) {
    const int bit = std::countr_zero(rest);
    const char letter = static_cast<char>(bit < 26 ? 'A' + bit : 'a' + bit - 26);
    columns.push_back({std::string(1, letter), -1, 0, false, {}});
  }
  for (Column& column : FormulaColumns(doc, entries)) columns.push_back(std::move(column));
  if (OutputColumn != 0) doc.InsertLine();
  WriteLegend(doc, entries, columns);
  const Layout layout = LayOut(columns, static_cast<std::size_t>(letterCount), static_cast<std::size_t>(doc.LineWidth - 1));
  for (const std::string& heading : layout.headings) {
    if (StopRequested) return;
    WriteLine(doc, heading);
  }
  BudgetVector<std::uint64_t> values(entries.size());
  // Each line of a row is a template of blanks as long as its last value reaches; a row
  // only sets its values' characters.
  BudgetVector<std::string> lines(layout.headings.size());
  for (std::size_t c = 0; c < columns.size(); ++c) lines[layout.line[c]].resize(layout.position[c] + 1, ' ');
  const std::uint64_t rows = std::uint64_t{1} << letterCount;
  for (std::uint64_t row = 0; row < rows && !StopRequested; ++row) {
    if ((row & 63) == 0) EvaluateRows(entries, row, values);
    for (std::size_t c = 0; c < columns.size(); ++c) {
      const bool value = c < static_cast<std::size_t>(letterCount)
                             ? ((row >> (letterCount - 1 - c)) & 1) != 0
                             : (((values[columns[c].entry] >> (row & 63)) & 1) != 0) != columns[c].inverted;
      lines[layout.line[c]][layout.position[c]] = value ? '1' : '0';
    }
    for (const std::string& line : lines) {
      if (!StopRequested) WriteLine(doc, line);
    }
    doc.Platform.ProcessPendingInput();
  }
}

}  // namespace lumenark
