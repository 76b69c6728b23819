// The Karnaugh map: every cell against the test's own evaluator, the edges in Gray-code
// order, the groups of the minimum DNF against the cells they name, the map the window
// takes, and the messages for too many letters.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <map>
#include <sstream>

#include "TestSupport.h"
#include "analysis/LatexDocument.h"
#include "minimum/KarnaughMap.h"

namespace lumenark::testing {
namespace {

using C = FormulaCommand;

std::vector<std::string> Tokens(const std::string& line) {
  std::vector<std::string> tokens;
  std::istringstream in(line);
  for (std::string token; in >> token;) tokens.push_back(token);
  return tokens;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Neighbouring labels differ in one letter, within each map and round its edge.
void ExpectGrayOrder(const std::vector<std::string>& labels) {
  const std::size_t size = std::min<std::size_t>(labels.size(), 4);
  for (std::size_t first = 0; first < labels.size(); first += size) {
    for (std::size_t i = 0; i < size && size > 1; ++i) {
      const std::string& a = labels[first + i];
      const std::string& b = labels[first + (i + 1) % size];
      int differences = 0;
      for (std::size_t d = 0; d < a.size(); ++d) differences += a[d] != b[d];
      EXPECT_EQ(differences, 1) << a << " " << b;
    }
  }
}

TEST(KarnaughMapTest, CellsGroupsAndMinimumMatchTheFormula) {
  std::mt19937 random(6);
  for (int k = 0; k < 600; ++k) {
    const std::string formula = RandomFormula(random, {.letters = 1 + k % 6, .maxDepth = 2 + k % 4});
    std::string letters = LettersOf(formula);
    std::sort(letters.begin(), letters.end());
    const int n = static_cast<int>(letters.size());
    if (n == 0) continue;
    const std::vector<bool> table = TruthTableOfText(formula, letters);
    // The evaluator's assignment for the letters' values as the labels write them.
    auto bitsOf = [&](const std::string& digits) {
      std::uint32_t bits = 0;
      for (int i = 0; i < n; ++i) bits |= static_cast<std::uint32_t>(digits[i] - '0') << i;
      return bits;
    };
    auto value = [&](const std::string& digits) { return table[bitsOf(digits)]; };
    Session session(formula, {.details = 1, .width = 250});
    const std::vector<std::string> lines = Lines(Written(session.Run(C::KarnaughMap)));
    ASSERT_TRUE(session.host.messages.empty()) << formula;
    const int rowLetters = n / 2;
    const std::vector<std::string> heading = Tokens(lines.at(0));
    ASSERT_EQ(heading[0], letters.substr(0, rowLetters) + "\\" + letters.substr(rowLetters)) << formula;
    const std::vector<std::string> columns(heading.begin() + 1, heading.end());
    const std::size_t rows = std::size_t{1} << rowLetters;
    ASSERT_EQ(columns.size(), std::size_t{1} << (n - rowLetters));
    ExpectGrayOrder(columns);
    std::vector<std::string> rowLabels;
    std::map<std::string, bool> cells;  // by the letters' values
    for (std::size_t r = 0; r < rows; ++r) {
      std::vector<std::string> cellsOfRow = Tokens(lines.at(1 + r));
      const std::string label = rowLetters > 0 ? cellsOfRow.front() : "";
      if (rowLetters > 0) cellsOfRow.erase(cellsOfRow.begin());
      rowLabels.push_back(label);
      ASSERT_EQ(cellsOfRow.size(), columns.size()) << formula;
      for (std::size_t c = 0; c < columns.size(); ++c) {
        ASSERT_EQ(cellsOfRow[c] == "1", value(label + columns[c])) << formula << " row " << label << " column " << columns[c];
        cells[label + columns[c]] = cellsOfRow[c] == "1";
      }
    }
    if (rowLetters > 0) ExpectGrayOrder(rowLabels);
    // Each group names rows and columns whose cells are all 1s and are its term's cells;
    // together the groups cover every 1.
    std::map<std::string, int> covered;
    std::size_t line = 1 + rows;
    for (; lines.at(line).rfind("Group ", 0) == 0; ++line) {
      const std::string& group = lines[line];
      const std::string term = group.substr(group.find("):") + 2);
      const std::string extent = group.substr(group.find('(') + 1, group.find("):") - group.find('(') - 1);
      std::vector<std::string> groupRows{""}, groupColumns;
      std::vector<std::string>* into = &groupColumns;
      for (std::string word : Tokens(extent)) {
        if (word.back() == ',') word.pop_back();
        if (word == "rows") {
          groupRows.clear();
          into = &groupRows;
        } else if (word == "columns") {
          into = &groupColumns;
        } else {
          into->push_back(word);
        }
      }
      for (const auto& [digits, one] : cells) {
        const bool named = std::find(groupRows.begin(), groupRows.end(), digits.substr(0, rowLetters)) != groupRows.end() &&
                           std::find(groupColumns.begin(), groupColumns.end(), digits.substr(rowLetters)) != groupColumns.end();
        const bool inTerm = TruthTableOfText(term, letters)[bitsOf(digits)];
        ASSERT_EQ(named, inTerm) << formula << " " << group << " " << digits;
        if (named) {
          ASSERT_TRUE(one) << formula << " " << group;
          ++covered[digits];
        }
      }
    }
    for (const auto& [digits, one] : cells) ASSERT_EQ(one, covered.count(digits) != 0) << formula << " " << digits;
    // The last line is the minimum DNF, as Minimum DNF writes it.
    Session minimum(formula, {.width = 250});
    std::string result = Written(minimum.Run(C::MinimumDNF));
    result.pop_back();
    ASSERT_EQ(lines.at(line), "Result - Minimum DNF:" + result);
    // The tree stays, and the window gets the map once.
    Session compiled(formula);
    compiled.doc.XComp();
    ASSERT_EQ(Structure(session.doc.Root), Structure(compiled.doc.Root));
    const std::optional<KarnaughMap> map = TakeDrawnKarnaughMap(session.doc);
    ASSERT_TRUE(map.has_value());
    ASSERT_EQ(map->letters, letters);
    ASSERT_EQ(map->Lines(), std::vector<std::string>(lines.begin(), lines.begin() + 1 + rows));
    EXPECT_FALSE(TakeDrawnKarnaughMap(session.doc).has_value());
  }
}

// The map in the LaTeX export is a table, its groups text with their terms as math; a
// text that only looks like a map stays text.
TEST(KarnaughMapTest, ExampleLatexAndLimits) {
  Session four("A&B|~A&~C|D&~B", {.details = 1});
  const std::string written = Written(four.Run(C::KarnaughMap));
  EXPECT_EQ(written.substr(0, written.find("Group")),
            "AB\\CD 00 01 11 10\n00     1  1  1  0\n01     1  1  0  0\n11     1  1  1  1\n10     0  1  1  0\n");
  std::string tex;
  ASSERT_FALSE(ExportLatexDocument(written + "A\\B 0 1\n0   0 1\n", [&](std::string_view piece) { tex += piece; }));
  EXPECT_NE(tex.find("\\begin{tabular}{c|cccc}\n\\texttt{AB\\char92{}CD} & \\texttt{00} & \\texttt{01} & "
                     "\\texttt{11} & \\texttt{10} \\\\\n\\hline\n"
                     "\\texttt{00} & 1 & 1 & 1 & 0 \\\\\n\\texttt{01} & 1 & 1 & 0 & 0 \\\\\n"),
            std::string::npos) << tex;
  EXPECT_NE(tex.find("\\texttt{Group~1~(rows~11,~columns~00~01~11~10):}\\allowbreak$A \\land B$\\par"),
            std::string::npos) << tex;
  EXPECT_EQ(tex.find("tabular", tex.find("Result - Minimum DNF")), std::string::npos) << "a map of 2 letters has 2 rows";
  for (const char* formula : {"A&B&C&D&E&F&G", "1", "0|~1"}) {
    Session session(formula);
    EXPECT_EQ(Written(session.Run(C::KarnaughMap)), "") << formula;
    EXPECT_EQ(session.host.messages, std::vector<std::string>{std::string(kKarnaughLettersMessage)});
    EXPECT_FALSE(TakeDrawnKarnaughMap(session.doc).has_value());
  }
}

}  // namespace
}  // namespace lumenark::testing
