// Truth tables, models and countermodels, and LaTeX math: exact output for examples,
// and every row, model and countermodel of thousands of random formulas against the
// tests' own parser and evaluator.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

#include "TestSupport.h"
#include "analysis/FormulaText.h"
#include "formula/LetterBits.h"
#include "runtime/MemoryBudget.h"

namespace lumenark::testing {
namespace {

using C = FormulaCommand;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Tokens(const std::string& line) {
  std::vector<std::string> tokens;
  std::istringstream in(line);
  for (std::string token; in >> token;) tokens.push_back(token);
  return tokens;
}

// The formula's letters in the table's order: A..Z, then a..z.
std::string TableLetters(const std::string& formula) {
  std::string letters = LettersOf(formula);
  std::sort(letters.begin(), letters.end(), [](char a, char b) { return LetterBit(a) < LetterBit(b); });
  return letters;
}

// The evaluator's assignment for row r of the table (first letter most significant).
std::uint32_t Assignment(std::uint64_t row, std::size_t letters) {
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < letters; ++i) bits |= ((row >> (letters - 1 - i)) & 1) << i;
  return bits;
}

std::string Expected(const std::string& formula, C command) {
  const std::string letters = TableLetters(formula);
  const std::vector<bool> table = TruthTableOfText(formula, letters);
  const bool wanted = command == C::Model;
  for (std::uint64_t row = 0; row < (std::uint64_t{1} << letters.size()); ++row) {
    if (table[Assignment(row, letters.size())] != wanted) continue;
    std::string line = wanted ? "Model:" : "Countermodel:";
    for (std::size_t i = 0; i < letters.size(); ++i) {
      line += " " + std::string(1, letters[i]) + ((row >> (letters.size() - 1 - i)) & 1 ? "=1" : "=0");
    }
    return line + "\n";
  }
  return wanted ? "This formula is not consistent.\n" : "This formula is valid.\n";
}

struct AnalysisExample {
  const char* formula;
  C command;
  int details;
  const char* written;
};

void PrintTo(const AnalysisExample& e, std::ostream* os) { *os << e.formula << " " << CommandName(e.command) << " " << e.details; }

class AnalysisExampleTest : public ::testing::TestWithParam<AnalysisExample> {};

TEST_P(AnalysisExampleTest, WritesExactlyAndKeepsTheTree) {
  const AnalysisExample& e = GetParam();
  Session session(e.formula, {.details = e.details, .width = 40});
  EXPECT_EQ(Written(session.Run(e.command)), e.written);
  EXPECT_TRUE(session.host.messages.empty());
  Session compiled(e.formula);
  compiled.doc.XComp();
  EXPECT_EQ(Structure(session.doc.Root), Structure(compiled.doc.Root));
  EXPECT_FALSE(session.host.dialogVisible);
}

INSTANTIATE_TEST_SUITE_P(Examples, AnalysisExampleTest, ::testing::Values(
    AnalysisExample{"B|a&A", C::TruthTable, 4, "A B a  B|a&A\n0 0 0   0\n0 0 1   0\n0 1 0   1\n0 1 1   1\n"
                                       "1 0 0   0\n1 0 1   1\n1 1 0   1\n1 1 1   1\n"},
    AnalysisExample{"~(A>B)=A", C::TruthTable, 1, "A B  A>B  ~(A>B)  ~(A>B)=A\n0 0   1   0             1\n"
                                          "0 1   1   0             1\n1 0   0   1             1\n1 1   1   0             0\n"},
    // Headings longer than half the line are numbered and listed first; the table wraps
    // at the same columns in every row.
    AnalysisExample{"(A&B|~A&~B)>(A|B)&~(A&B)", C::TruthTable, 1,
            "(1) A&B|~A&~B>(A|B)&~(A&B)\nA B  A&B  ~A&~B  A&B|~A&~B  A|B  ~(A&B)\n  (A|B)&~(A&B)  (1)\n"
            "0 0   0     1       1        0   1\n       0        0\n0 1   0     0       0        1   1\n"
            "       1        1\n1 0   0     0       0        1   1\n       1        1\n"
            "1 1   1     0       1        1   0\n       0        0\n"},
    AnalysisExample{"1|0", C::TruthTable, 0, "1|0\n 1\n"},
    AnalysisExample{"a", C::TruthTable, 1, "a  a\n0  0\n1  1\n"},
    AnalysisExample{"(A|B)&~A", C::Model, 4, "Model: A=0 B=1\n"},
    AnalysisExample{"(A|B)&~A", C::Countermodel, 4, "Countermodel: A=0 B=0\n"},
    AnalysisExample{"A&~A", C::Model, 4, "This formula is not consistent.\n"},
    AnalysisExample{"A|~A", C::Countermodel, 4, "This formula is valid.\n"},
    AnalysisExample{"1", C::Model, 4, "Model:\n"},
    AnalysisExample{"A&B&C&D&E&F&G&H&I&J", C::Model, 4, "Model: A=1 B=1 C=1 D=1 E=1 F=1 G=1 H=1\nI=1 J=1\n"},
    AnalysisExample{"1", C::Countermodel, 4, "This formula is valid.\n"},
    AnalysisExample{"~(A>B)=1|0", C::Latex, 4, "$\\neg (A \\rightarrow \nB) \\leftrightarrow \\top \\lor \\bot$\n"},
    AnalysisExample{"(A=B)>(C>(D|E))>~E", C::Latex, 4,
            "$((A \\leftrightarrow B) \\rightarrow \n(C \\rightarrow D \\lor E)) \\rightarrow \n\\neg E$\n"}));

// Every row of the tables of random formulas, at Details 4 (letters and value) and 1
// (also a column per compound subformula, each checked by evaluating its heading).
TEST(TruthTableTest, EveryRowMatchesTheEvaluator) {
  std::mt19937 random(19);
  for (int n = 0; n < 1500; ++n) {
    const std::string formula = RandomFormula(random, {.letters = 6 + n % 10, .maxDepth = 3 + n % 3});
    const std::string letters = TableLetters(formula);
    const int details = n % 2 == 0 ? 4 : 1;
    Session session(formula, {.details = details, .width = 250});
    // A row wider than the line continues on further lines, as many for every row.
    const std::vector<std::string> written = Lines(Written(session.Run(C::TruthTable)));
    const std::size_t rows = std::size_t{1} << letters.size(), perRow = written.size() / (rows + 1);
    ASSERT_EQ(written.size(), perRow * (1 + rows)) << formula;
    std::vector<std::string> lines(rows + 1);
    for (std::size_t i = 0; i < written.size(); ++i) lines[i / perRow] += " " + written[i];
    const std::vector<std::string> heading = Tokens(lines[0]);
    ASSERT_GT(heading.size(), letters.size()) << formula;
    for (std::size_t i = 0; i < letters.size(); ++i) ASSERT_EQ(heading[i], std::string(1, letters[i])) << formula;
    if (details == 4) {
      ASSERT_EQ(heading.size(), letters.size() + 1) << formula;
    }
    std::vector<std::vector<bool>> columns;
    for (std::size_t c = letters.size(); c < heading.size(); ++c) {
      columns.push_back(TruthTableOfText(heading[c], letters));
    }
    EXPECT_EQ(columns.back(), TruthTableOfText(formula, letters)) << formula;
    for (std::uint64_t row = 0; row + 1 < lines.size(); ++row) {
      const std::vector<std::string> cells = Tokens(lines[row + 1]);
      ASSERT_EQ(cells.size(), heading.size()) << formula << " row " << row;
      for (std::size_t i = 0; i < letters.size(); ++i) {
        ASSERT_EQ(cells[i], (row >> (letters.size() - 1 - i)) & 1 ? "1" : "0") << formula;
      }
      for (std::size_t c = 0; c < columns.size(); ++c) {
        const bool value = columns[c][Assignment(row, letters.size())];
        ASSERT_EQ(cells[letters.size() + c], value ? "1" : "0") << formula << " row " << row << " " << heading[letters.size() + c];
      }
    }
    EXPECT_EQ(StopRequested, false);
  }
}

TEST(ModelTest, FirstModelAndCountermodelInRowOrder) {
  std::mt19937 random(52);
  for (int n = 0; n < 3000; ++n) {
    const std::string formula = RandomFormula(random, {.letters = 3 + n % 14, .maxDepth = 2 + n % 4});
    for (C command : {C::Model, C::Countermodel}) {
      Session session(formula, {.width = 250});
      ASSERT_EQ(Written(session.Run(command)), Expected(formula, command)) << formula << " " << CommandName(command);
    }
  }
}

// At 52 letters no table can be enumerated: the model is checked by evaluating the
// formula under it, and a formula with a single model must give that one.
bool EvaluateAt(const FormulaNode* node, const std::map<char, bool>& values) {
  bool value;
  if (IsLiteral(node)) {
    value = IsConstant(node) ? node->symbol == '1' : values.at(node->symbol);
  } else {
    const bool a = EvaluateAt(node->left, values), b = EvaluateAt(node->right, values);
    value = node->symbol == '&' ? a && b : node->symbol == '|' ? a || b : node->symbol == '>' ? !a || b : a == b;
  }
  return node->negated ? !value : value;
}

TEST(ModelTest, FiftyTwoLettersCheckedByEvaluation) {
  const std::string all = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  std::mt19937 random(7);
  auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
  for (int n = 0; n < 40; ++n) {
    // Random three-literal clauses over all 52 letters; every fourth formula also fixes
    // every letter, so that it has exactly one model.
    std::string formula, single;
    for (int c = 0; c < 120; ++c) {
      formula += c == 0 ? "(" : "&(";
      for (int l = 0; l < 3; ++l) formula += std::string(l ? "|" : "") + (pick(2) ? "~" : "") + all[pick(52)];
      formula += ")";
    }
    for (char letter : all) single += std::string(single.empty() ? "" : "&") + (pick(2) ? "~" : "") + letter;
    if (n % 4 == 0) formula = single + "|(" + formula + ")&" + all.substr(0, 1) + "&~" + all.substr(0, 1);
    for (C command : {C::Model, C::Countermodel}) {
      Session session(formula);
      const std::string written = Written(session.Run(command));
      std::map<char, bool> values;
      for (const std::string& cell : Tokens(written)) {
        if (cell.size() == 3 && cell[1] == '=') values[cell[0]] = cell[2] == '1';
      }
      ASSERT_EQ(values.size(), LettersOf(formula).size()) << written;
      EXPECT_EQ(EvaluateAt(session.doc.Root, values), command == C::Model) << formula;
      if (n % 4 == 0 && command == C::Model) {
        for (char letter : all) EXPECT_EQ(values[letter], single.find(std::string("~") + letter) == std::string::npos);
      }
    }
  }
}

// The plain walk prints exactly what the printer prints.
TEST(FormulaTextTest, MatchesThePrinter) {
  std::mt19937 random(3);
  for (int n = 0; n < 1000; ++n) {
    const std::string formula = RandomFormula(random, {.letters = 8, .maxDepth = 5});
    Session session(formula, {.width = 250});
    session.doc.XComp();
    const std::vector<std::string> lines = Lines(session.Run(C::Decompile));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(FormulaString(session.doc.Root), lines[1]) << formula;
  }
}

// A long formula breaks after operators, within the line.
TEST(LatexFormulaTest, BreaksAtOperatorsWithinTheLine) {
  std::mt19937 random(5);
  for (int n = 0; n < 200; ++n) {
    const std::string formula = RandomFormula(random, {.letters = 12, .maxDepth = 7});
    Session session(formula, {.width = 21 + n % 60});
    const std::vector<std::string> lines = Lines(Written(session.Run(C::Latex)));
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      EXPECT_LT(lines[i].size(), static_cast<std::size_t>(21 + n % 60) + 20) << formula;
      ASSERT_FALSE(lines[i].empty()) << formula;
      if (i + 1 < lines.size()) {
        EXPECT_EQ(lines[i].back(), ' ') << lines[i];
      }
      joined += lines[i];
    }
    EXPECT_EQ(joined.front(), '$');
    EXPECT_EQ(joined.back(), '$');
  }
}

// The analyses answer Stop at every point and exhausted memory, and keep the tree.
TEST(AnalysisStopTest, StopAndMemoryLeaveTheTree) {
  const std::string formula = "(A|B|C|D|E|F|G|H|I|J|K|L|M|N|O|P|Q|R|S|T|U|V|W|X|Y)&~(a=b)";
  for (C command : {C::TruthTable, C::Model, C::Countermodel, C::Latex}) {
    for (std::uint64_t stopAt : {1, 2, 5, 50, 500}) {
      Session session(formula);
      session.doc.XComp();
      const std::string before = Structure(session.doc.Root);
      session.text.SelectAll();
      session.host.stopAtCall = stopAt;
      session.Run(command);
      EXPECT_EQ(Structure(session.doc.Root), before) << CommandName(command);
      EXPECT_FALSE(StopRequested);
      EXPECT_FALSE(session.host.dialogVisible);
      if (command == C::TruthTable) {
        EXPECT_LT(session.text.Size(), std::size_t{1} << 20);
      }
    }
  }
  // A table larger than the budget, and a solver that cannot start within it.
  for (auto [command, room] : {std::pair{C::TruthTable, 64 << 20}, {C::Model, 256 << 10}, {C::Countermodel, 256 << 10}}) {
    Session session(formula);
    SetMemoryLimit(MemoryInUse() + room);
    session.Run(command);
    SetMemoryLimit(std::nullopt);
    BeginMemoryBudget();  // the machine's budget again, for what the next tests allocate
    EXPECT_EQ(FirstLines(session.host.messages), std::vector<std::string>{"Insuficient memory."}) << CommandName(command);
    EXPECT_NE(session.doc.Root, nullptr);
    EXPECT_FALSE(StopRequested);
  }
}

}  // namespace
}  // namespace lumenark::testing
