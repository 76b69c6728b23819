// The semantic tableau: exact text for examples at every Details level; on thousands of
// random formulas the verdict against the truth table and the decision, every open
// branch's countermodel against evaluation, every closed branch's pair against the
// truth tables of its two lines, every non-branching step against entailment; stop,
// memory and a tree too large for the text.

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "TestSupport.h"
#include "analysis/LatexDocument.h"
#include "proofs/SignedFormula.h"
#include "proofs/Tableau.h"
#include "runtime/MemoryBudget.h"

namespace lumenark::testing {
namespace {

using C = FormulaCommand;

std::vector<std::string> TableauLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct TableauExample {
  const char* formula;
  int details;
  const char* written;
};

void PrintTo(const TableauExample& e, std::ostream* os) { *os << e.formula << " at " << e.details; }

class TableauExampleTest : public ::testing::TestWithParam<TableauExample> {};

TEST_P(TableauExampleTest, WritesExactlyAndKeepsTheTree) {
  const TableauExample& e = GetParam();
  Session session(e.formula, {.details = e.details});
  EXPECT_EQ(Written(session.Run(C::Tableau)), e.written);
  EXPECT_TRUE(session.host.messages.empty());
  Session compiled(e.formula);
  compiled.doc.XComp();
  EXPECT_EQ(Structure(session.doc.Root), Structure(compiled.doc.Root));
  EXPECT_FALSE(session.host.dialogVisible);
}

INSTANTIATE_TEST_SUITE_P(Examples, TableauExampleTest, ::testing::Values(
    // The branch the search takes first (one that closes at once) further in; the other
    // continues below it.
    TableauExample{"(A>B)&(B>C)>(A>C)", 1,
                   "Tableau:\n"
                   "1. ~((A>B)&(B>C)>(A>C))  negated formula\n"
                   "2. (A>B)&(B>C)           1, ~>\n"
                   "3. ~(A>C)                1, ~>\n"
                   "4. A>B                   2, &\n"
                   "5. B>C                   2, &\n"
                   "6. A                     3, ~>\n"
                   "7. ~C                    3, ~>\n"
                   "  8. ~A                  4, >\n"
                   "  closed: 6, 8\n"
                   "9. B                     4, >\n"
                   "  10. ~B                 5, >\n"
                   "  closed: 9, 10\n"
                   "11. C                    5, >\n"
                   "closed: 7, 11\n"
                   "All branches close: the formula is valid.\n"},
    // A rule one of whose branches is on the branch already is not needed (A>B, with B).
    TableauExample{"(A>B)>(B>A)", 2,
                   "Tableau:\n1. ~(A>B>(B>A))\n2. A>B\n3. ~(B>A)\n4. B\n5. ~A\nopen\n"
                   "A branch stays open: the formula is not valid.\nCountermodel: A=0 B=1\n"},
    // A chain splits as it is written: line 1 is the negation the formula stands for.
    TableauExample{"~(A&(B&C))", 1,
                   "Tableau:\n"
                   "1. ~~(A&(B&C))  negated formula\n"
                   "2. A&(B&C)      1, ~~\n"
                   "3. A            2, &\n"
                   "4. B&C          2, &\n"
                   "5. B            4, &\n"
                   "6. C            4, &\n"
                   "open\n"
                   "A branch stays open: the formula is not valid.\nCountermodel: A=1 B=1 C=1\n"},
    TableauExample{"(A&B)&C", 2,
                   "Tableau:\n1. ~(A&B&C)\n  2. ~(A&B)\n    3. ~A\n    open\n  4. ~B\n  not developed\n5. ~C\n"
                   "not developed\nA branch stays open: the formula is not valid.\nCountermodel: A=0 B=0 C=0\n"},
    // Constants: a true one is dropped, with its line; a false one closes its branch.
    TableauExample{"~(1|t)", 1,
                   "Tableau:\n"
                   "1. ~~(1|t)  negated formula\n"
                   "2. 1|t      1, ~~\n"
                   "  3. 1      2, |; dropped\n"
                   "  open\n"
                   "4. t        2, |\n"
                   "not developed\n"
                   "A branch stays open: the formula is not valid.\nCountermodel: t=0\n"},
    TableauExample{"0&C", 1,
                   "Tableau:\n"
                   "1. ~(0&C)  negated formula\n"
                   "  2. ~0    1, ~&; dropped\n"
                   "  open\n"
                   "3. ~C      1, ~&\n"
                   "not developed\n"
                   "A branch stays open: the formula is not valid.\nCountermodel: C=0\n"},
    // The text follows the search: the branches after the first open one are not developed.
    TableauExample{"(P|1)&K&~K", 1,
                   "Tableau:\n"
                   "1. ~((P|1)&K&~K)  negated formula\n"
                   "  2. ~((P|1)&K)   1, ~&\n"
                   "    3. ~(P|1)     2, ~&\n"
                   "    4. ~P         3, ~|\n"
                   "    5. ~1         3, ~|\n"
                   "    closed: 5 (~1)\n"
                   "  6. ~K           2, ~&\n"
                   "  open\n"
                   "7. K              1, ~&\n"
                   "not developed\n"
                   "A branch stays open: the formula is not valid.\nCountermodel: K=0 P=0\n"},
    TableauExample{"(A|0)&(B|~1)", 0,
                   "Tableau:\n"
                   "1. ~((A|0)&(B|~1))  negated formula\n"
                   "  2. ~(A|0)         1, ~&\n"
                   "  3. ~A             2, ~|\n"
                   "  4. ~0             2, ~|; dropped\n"
                   "  open\n"
                   "5. ~(B|~1)          1, ~&\n"
                   "not developed\n"
                   "A branch stays open: the formula is not valid.\nCountermodel: A=0 B=0\n"},
    // A false constant closes a branch alone.
    TableauExample{"A|1", 1, "Tableau:\n1. ~(A|1)  negated formula\n2. ~A      1, ~|\n3. ~1      1, ~|\nclosed: 3 (~1)\n"
                             "All branches close: the formula is valid.\n"},
    TableauExample{"~1", 1, "Tableau:\n1. ~~1  negated formula\n2. 1    1, ~~; dropped\nopen\n"
                            "A branch stays open: the formula is not valid.\n"},
    TableauExample{"0", 1, "Tableau:\n1. ~0  negated formula; dropped\nopen\nA branch stays open: the formula is not valid.\n"},
    TableauExample{"~A", 3, "Result - Tableau: 2 lines, 1 branch, 0 closed\n"
                            "A branch stays open: the formula is not valid.\nCountermodel: A=1\n"},
    TableauExample{"(A=B)=(B=A)", 3, "Result - Tableau: 21 lines, 8 branches, 8 closed\nAll branches close: the formula is valid.\n"},
    TableauExample{"(A=B)=(B=A)", 4, "All branches close: the formula is valid.\n"},
    TableauExample{"a&(b|c)>a&b|a&c|d", 4, "All branches close: the formula is valid.\n"},
    TableauExample{"a&(b|c)>a&b|d", 4, "A branch stays open: the formula is not valid.\nCountermodel: a=1 b=0 c=1 d=0\n"},
    // A countermodel longer than the line goes on with the next letter on the next.
    TableauExample{"A|B|C|D|E|F|G|H|I|J|K|L|M|N|O|P|Q|R|S|T|U|V|W|X|Y|Z|a|b|c|d", 4,
                   "A branch stays open: the formula is not valid.\n"
                   "Countermodel: A=0 B=0 C=0 D=0 E=0 F=0 G=0 H=0 I=0 J=0 K=0 L=0 M=0 N=0 O=0\n"
                   "P=0 Q=0 R=0 S=0 T=0 U=0 V=0 W=0 X=0 Y=0 Z=0 a=0 b=0 c=0 d=0\n"}));

// A tableau line: its number, formula, and the line and rule it came from.
struct TreeLine {
  std::string formula;
  int from = -1;
  std::string rule;
  bool dropped = false;
};

// The written tree read back: each line by number; each closed branch's pair.
struct ReadTableauTree {
  std::map<int, TreeLine> lines;
  std::vector<std::pair<int, int>> closures;  // second -1: a false constant
  int open = 0;
};

ReadTableauTree ReadTableauBack(const std::vector<std::string>& written) {
  ReadTableauTree tree;
  for (const std::string& text : written) {
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string::npos) continue;
    std::istringstream in(text.substr(start));
    std::string first, formula, rest;
    in >> first;
    if (first == "open") {
      ++tree.open;
    } else if (first == "closed:") {
      // "closed: 5, 6", or "closed: 5 (0)" for a false constant.
      int a = 0, b = -1;
      std::string second;
      in >> a >> second;
      if (second == ",") in >> b;
      else if (second != "(0)" && second != "(~1)") b = -2;
      tree.closures.push_back({a, b});
    } else if (first.size() > 1 && first.back() == '.') {
      in >> formula >> std::ws;
      std::getline(in, rest);
      // A true constant is dropped: its justification says so.
      const bool dropped = rest.ends_with("; dropped");
      if (dropped) rest.resize(rest.size() - 9);
      TreeLine line{formula, -1, rest, dropped};
      if (const std::size_t comma = rest.find(", "); comma != std::string::npos) {
        line.from = std::stoi(rest.substr(0, comma));
        line.rule = rest.substr(comma + 2);
      }
      tree.lines[std::stoi(first)] = line;
    }
  }
  return tree;
}

bool TableauEntails(const std::string& premise, const std::string& conclusion, const std::string& letters) {
  const std::vector<bool> p = TruthTableOfText(premise, letters), c = TruthTableOfText(conclusion, letters);
  for (std::size_t i = 0; i < p.size(); ++i) {
    if (p[i] && !c[i]) return false;
  }
  return true;
}

// Every random formula: the verdict is the truth table's; the tree read back holds
// together: line 1 is the negated formula, every line names an earlier line, what a
// rule that does not branch writes follows from its line, every closed branch holds a
// formula and its negation (or a false constant), every countermodel falsifies.
TEST(TableauPropertyTest, VerdictsTreesAndCountermodelsAgreeWithTruthTables) {
  std::mt19937 random(29);
  int valid = 0, open = 0;
  for (int n = 0; n < 2500; ++n) {
    const std::string formula = RandomFormula(random, {.letters = 2 + n % 6, .maxDepth = 2 + n % 4});
    const std::string letters = LettersOf(formula);
    const std::vector<bool> table = TruthTableOfText(formula, letters);
    const bool isValid = std::find(table.begin(), table.end(), false) == table.end();
    Session session(formula, {.details = 1, .width = 250});
    const std::vector<std::string> written = TableauLines(Written(session.Run(C::Tableau)));
    ASSERT_GE(written.size(), 3u) << formula;
    ASSERT_EQ(written[0], "Tableau:");
    const ReadTableauTree tree = ReadTableauBack(written);
    ASSERT_EQ(tree.lines.at(1).rule, "negated formula") << formula;
    EXPECT_EQ(TruthTableOfText(tree.lines.at(1).formula, letters), TruthTableOfText("~(" + formula + ")", letters));
    for (const auto& [number, line] : tree.lines) {
      // Exactly the true constants are dropped.
      const std::vector<bool> values = TruthTableOfText(line.formula, letters);
      const bool trueConstant = line.formula == "1" || line.formula == "~0";
      EXPECT_EQ(line.dropped, trueConstant) << formula << " line " << number;
      if (trueConstant) EXPECT_EQ(std::count(values.begin(), values.end(), false), 0);
      if (number == 1) continue;
      ASSERT_TRUE(line.from >= 1 && line.from < number) << formula << " line " << number;
      const std::string& rule = line.rule;
      const bool branches = rule == "|" || rule == "~&" || rule == ">" || rule == "=" || rule == "~=";
      if (!branches) {
        EXPECT_TRUE(TableauEntails(tree.lines.at(line.from).formula, line.formula, letters)) << formula << " line " << number;
      }
    }
    for (const auto& [a, b] : tree.closures) {
      const std::vector<bool> first = TruthTableOfText(tree.lines.at(a).formula, letters);
      if (b < 0) {
        EXPECT_EQ(std::count(first.begin(), first.end(), true), 0) << formula << " closed by " << a;
        continue;
      }
      const std::vector<bool> second = TruthTableOfText(tree.lines.at(b).formula, letters);
      for (std::size_t i = 0; i < first.size(); ++i) ASSERT_NE(first[i], second[i]) << formula << " closed by " << a << ", " << b;
    }
    // The text follows the search: every branch before the open one is closed, every
    // one after it is not developed.
    bool openSeen = false;
    for (const std::string& text : written) {
      const std::string end = text.substr(std::min(text.size(), text.find_first_not_of(' ')));
      if (end == "not developed") EXPECT_TRUE(openSeen) << formula;
      if (end.starts_with("closed:")) EXPECT_FALSE(openSeen) << formula;
      openSeen |= end == "open";
    }
    if (isValid) {
      ++valid;
      EXPECT_EQ(written.back(), kTableauValid) << formula;
      EXPECT_EQ(tree.open, 0) << formula;
      continue;
    }
    ++open;
    EXPECT_EQ(tree.open, 1) << formula;
    // The countermodel: the letters in the order A..Z, a..z, each once.
    std::uint32_t bits = 0;
    std::string named;
    if (!letters.empty()) {
      ASSERT_EQ(written.back().rfind("Countermodel:", 0), 0u) << formula;
      std::istringstream cells(written.back().substr(13));
      for (std::string cell; cells >> cell;) {
        ASSERT_EQ(cell.size(), 3u);
        named += cell[0];
        if (cell[2] == '1') bits |= 1u << letters.find(cell[0]);
      }
      ASSERT_EQ(named.size(), letters.size()) << formula;
    }
    EXPECT_EQ(written[written.size() - (letters.empty() ? 1 : 2)], kTableauOpen) << formula;
    EXPECT_FALSE(table[bits]) << formula << " countermodel " << written.back();
  }
  EXPECT_GT(valid, 200);
  EXPECT_GT(open, 200);
}

// Larger formulas, beyond what a table shows: the tableau decides as Decision does.
TEST(TableauPropertyTest, VerdictsAgreeWithTheDecision) {
  std::mt19937 random(5229);
  for (int n = 0; n < 300; ++n) {
    // Implications of random formulas over the same letters are valid now and then.
    const std::string a = RandomFormula(random, {.letters = 12, .maxDepth = 4});
    const std::string formula = n % 3 == 0 ? "(" + a + ")>(" + a + ")|" + RandomFormula(random, {.letters = 12, .maxDepth = 3})
                                           : RandomFormula(random, {.letters = 20, .maxDepth = 6});
    Session tableau(formula);
    const std::string verdict = Written(tableau.Run(C::Tableau));
    Session decision(formula);
    const bool valid = Written(decision.Run(C::Decision)) == "This formula is valid.\n";
    EXPECT_EQ(verdict == std::string(kTableauValid) + "\n", valid) << formula << "\n" << verdict;
  }
}

// The tableau's own printer writes a formula as XDecomp does, and brackets a right
// operand of its operator's kind, so that the text compiles back into the same tree
// (a chain splits as it is written).
TEST(TableauPropertyTest, FormulaTextReadsBackIntoTheSameTree) {
  std::mt19937 random(3);
  int bracketed = 0;
  for (int n = 0; n < 500; ++n) {
    Session session(RandomFormula(random, {.letters = 8, .maxDepth = 5}), {.width = 250});
    session.doc.XComp();
    const std::string text = FormulaText(SignedFormula::Of(session.doc.Root, true));
    const std::vector<std::string> printed = TableauLines(session.Run(C::Decompile));
    std::string unbracketed = text;
    std::erase_if(unbracketed, [](char c) { return c == '(' || c == ')'; });
    std::string printedUnbracketed = printed.back();
    std::erase_if(printedUnbracketed, [](char c) { return c == '(' || c == ')'; });
    EXPECT_EQ(unbracketed, printedUnbracketed);
    bracketed += text != printed.back();
    Session again(text);
    again.doc.XComp();
    EXPECT_EQ(Structure(again.doc.Root), Structure(session.doc.Root)) << text;
  }
  EXPECT_GT(bracketed, 50);
}

std::size_t Occurrences(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

// Exported to LaTeX, a written tableau is a tree with a fork for each branching line
// pair and a cross for each closed branch; one whose lines the width broke stays text.
TEST(TableauLatexTest, WrittenTreesExportAsTrees) {
  std::mt19937 random(17);
  std::size_t allForks = 0;
  for (int n = 0; n < 300; ++n) {
    const std::string formula = RandomFormula(random, {.letters = 4, .maxDepth = 2 + n % 3});
    Session session(formula, {.details = n % 3, .width = 250});
    const std::string text = session.Run(C::Tableau);
    std::string latex;
    ASSERT_FALSE(ExportLatexDocument(text, [&](std::string_view piece) { latex += piece; }));
    // A fork is where a line stands further in than the one before it.
    std::size_t forks = 0, previous = 0;
    for (const std::string& line : TableauLines(text)) {
      const std::size_t indent = line.find_first_not_of(' ');
      forks += indent > previous && indent != std::string::npos ? 1 : 0;
      previous = indent;
    }
    EXPECT_EQ(Occurrences(latex, "\\begin{tabular}[t]{c|c}"), forks) << text;
    allForks += forks;
    EXPECT_EQ(Occurrences(latex, "$\\times$ "), Occurrences(text, "closed: ")) << text;
    EXPECT_EQ(Occurrences(latex, "\\begin{center}"), 1u) << text;
  }
  EXPECT_GT(allForks, 200u);
  Session narrow("(A>B)&(B>C)&(C>D)&(D>E)>(A>E)", {.details = 1, .width = 21});
  std::string latex;
  ExportLatexDocument(narrow.Run(C::Tableau), [&](std::string_view piece) { latex += piece; });
  EXPECT_EQ(latex.find("\\begin{center}"), std::string::npos);
}

// (A=B=...=L)=(L=...=A): a valid formula whose tableau has 245,757 lines.
std::string EquivalenceChains(int letters) {
  std::string forward, backward;
  for (int i = 0; i < letters; ++i) {
    forward += std::string(i ? "=" : "") + static_cast<char>('A' + i);
    backward = static_cast<char>('A' + i) + std::string(i ? "=" : "") + backward;
  }
  return "(" + forward + ")=(" + backward + ")";
}

TEST(TableauLimitTest, TooLargeForTheTextSaysSoAndGivesTheVerdict) {
  Session session(EquivalenceChains(12), {.details = 1});
  EXPECT_EQ(Written(session.Run(C::Tableau)),
            "The tableau has 327677 lines: too many for the text.\nAll branches close: the formula is valid.\n");
  EXPECT_TRUE(session.host.messages.empty());
}

// Stop along the way, and exhausted memory: no verdict, the tree as it was.
TEST(TableauLimitTest, StopAndMemoryEndItWithoutAVerdict) {
  const std::string formula = EquivalenceChains(12);
  Session unstopped(formula);
  unstopped.Run(C::Tableau);
  const std::uint64_t calls = unstopped.host.pendingInputCalls;
  // The heartbeat's count runs on from command to command, so the last call may not
  // come in another run. Eight points spread over the run, the first among them.
  ASSERT_GE(calls, 2u);
  for (std::uint64_t k = 1; k < calls; k += std::max<std::uint64_t>(1, calls / 8)) {
    Session session(formula, {.details = static_cast<int>(k % 2) * 4});
    session.host.stopAtCall = k;
    session.Run(C::Tableau);
    EXPECT_EQ(session.Text().find("All branches"), std::string::npos) << k;
    EXPECT_EQ(CheckTree(session.doc.Root), "");
    EXPECT_FALSE(StopRequested);
    EXPECT_FALSE(session.host.dialogVisible);
  }
  Session session(formula);
  SetMemoryLimit(MemoryInUse() + (1 << 20));
  session.Run(C::Tableau);
  SetMemoryLimit(std::nullopt);
  BeginMemoryBudget();
  EXPECT_EQ(FirstLines(session.host.messages), std::vector<std::string>{"Insuficient memory."});
  EXPECT_EQ(Written(session.Text()), "");
  EXPECT_NE(session.doc.Root, nullptr);
}

}  // namespace
}  // namespace lumenark::testing
