// Equivalence of the two formulas of a selection: exact text and messages for
// examples; the first differing row and both values against truth tables on random
// pairs; 52 letters checked by evaluation.

#include <gtest/gtest.h>

#include <bit>
#include <map>
#include <sstream>

#include "TestSupport.h"
#include "formula/LetterBits.h"
#include "proofs/Equivalence.h"

namespace lumenark::testing {
namespace {

using C = FormulaCommand;

std::vector<std::string> EquivalenceLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The formula a command makes of another, as one line.
std::string RewrittenBy(const std::string& formula, C command) {
  std::string result = Written(Derive(formula, {command}, {.width = 250}));
  std::erase(result, '\n');
  return result;
}

struct EquivalenceExample {
  const char* text;   // the whole text, selected
  const char* after;  // the whole text afterwards
  const char* message;
  const char* tree;   // the document's tree afterwards ("" for none)
};

void PrintTo(const EquivalenceExample& e, std::ostream* os) { *os << e.text; }

class EquivalenceExampleTest : public ::testing::TestWithParam<EquivalenceExample> {};

TEST_P(EquivalenceExampleTest, WritesOrShowsExactly) {
  const EquivalenceExample& e = GetParam();
  Session session(e.text);
  EXPECT_EQ(session.Run(C::Equivalence), e.after);
  EXPECT_EQ(session.host.messages, e.message[0] ? std::vector<std::string>{e.message} : std::vector<std::string>{});
  EXPECT_EQ(session.doc.Root ? Structure(session.doc.Root) : "", e.tree);
  EXPECT_FALSE(StopRequested);
  EXPECT_FALSE(session.host.dialogVisible);
  EXPECT_TRUE(session.text.Visible());
}

INSTANTIATE_TEST_SUITE_P(Examples, EquivalenceExampleTest, ::testing::Values(
    EquivalenceExample{"A>B\n~A|B", "A>B\n~A|B\nThese formulas are equivalent.\n", "", "(~A|B)"},
    // A student's wrong De Morgan step; the second formula's lines may run on.
    EquivalenceExample{"~(A&B)\n\t~A&\n~B", "~(A&B)\n\t~A&\n~B\nThese formulas are not equivalent.\n"
                       "First difference: A=0 B=1\nValues: first formula 1, second formula 0.\n", "", "(~A&~B)"},
    EquivalenceExample{"1\n~0|A", "1\n~0|A\nThese formulas are equivalent.\n", "", "(~0|A)"},
    EquivalenceExample{"1\n0", "1\n0\nThese formulas are not equivalent.\nValues: first formula 1, second formula 0.\n", "", "0"},
    EquivalenceExample{"A|B", "A|B", "Select two formulas, one on each line.", ""},
    EquivalenceExample{"A\nB\nC", "A\nB\nC", "Select two formulas, one on each line.", ""},
    EquivalenceExample{"A B", "A B", "Missing operator.", ""},
    EquivalenceExample{"A&\nB|", "A&\nB|", "Missing expression.", ""},
    EquivalenceExample{"A\nB&(C", "A\nB&(C", "Missing right bracket.", ""}));

// The row order: the first letter (of A..Z, a..z) most significant.
std::string AssignmentOfRow(const std::string& letters, std::uint64_t row) {
  std::string text;
  for (std::size_t i = 0; i < letters.size(); ++i) {
    if (i > 0) text += ' ';
    text += letters[i];
    text += (row >> (letters.size() - 1 - i)) & 1 ? "=1" : "=0";
  }
  return text;
}

TEST(EquivalencePropertyTest, FirstDifferenceAndValuesAgreeWithTruthTables) {
  std::mt19937 random(2929);
  int equivalent = 0;
  for (int n = 0; n < 2000; ++n) {
    const FormulaShape shape{.letters = 2 + n % 5, .maxDepth = 1 + n % 4};
    const std::string a = RandomFormula(random, shape);
    // Now and then the second is the first rewritten, so that many pairs are equivalent.
    std::string b = RandomFormula(random, shape);
    if (n % 3 == 0) b = RewrittenBy(a, C::Disjunctions);
    std::string letters = LettersOf(a + b);
    std::sort(letters.begin(), letters.end(), [](char x, char y) { return LetterBit(x) < LetterBit(y); });
    const std::vector<bool> ta = TruthTableOfText(a, letters), tb = TruthTableOfText(b, letters);
    std::string expected = "These formulas are equivalent.\n";
    for (std::uint64_t row = 0; row < ta.size(); ++row) {
      std::uint32_t bits = 0;  // the evaluator's assignment: letter i is bit i
      for (std::size_t i = 0; i < letters.size(); ++i) bits |= ((row >> (letters.size() - 1 - i)) & 1) << i;
      if (ta[bits] == tb[bits]) continue;
      expected = "These formulas are not equivalent.\n" +
                 (letters.empty() ? "" : "First difference: " + AssignmentOfRow(letters, row) + "\n") + "Values: first formula " +
                 (ta[bits] ? "1" : "0") + ", second formula " + (tb[bits] ? "1" : "0") + ".\n";
      break;
    }
    equivalent += expected.starts_with("These formulas are equivalent") ? 1 : 0;
    Session session(a + "\n" + b, {.width = 250});
    const std::string written = session.Run(C::Equivalence);
    ASSERT_EQ(written.substr(a.size() + b.size() + 2), expected) << a << "\n" << b;
  }
  EXPECT_GT(equivalent, 500);
}

bool EvaluateUnder(const FormulaNode* node, const std::map<char, bool>& values) {
  bool value;
  if (IsLiteral(node)) {
    value = IsConstant(node) ? node->symbol == '1' : values.at(node->symbol);
  } else {
    const bool a = EvaluateUnder(node->left, values), b = EvaluateUnder(node->right, values);
    value = node->symbol == '&' ? a && b : node->symbol == '|' ? a || b : node->symbol == '>' ? !a || b : a == b;
  }
  return node->negated ? !value : value;
}

// 52 letters: a formula against its literal form (equivalent), and against itself with
// one letter's sign changed (not): the difference found is one, with the values
// written, and no row before it differs where the letters before it are fixed.
TEST(EquivalencePropertyTest, FiftyTwoLettersCheckedByEvaluation) {
  const std::string all = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  std::mt19937 random(52);
  auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
  for (int n = 0; n < 20; ++n) {
    std::string a;
    for (int c = 0; c < 60; ++c) {
      a += c == 0 ? "(" : (pick(3) ? "&(" : "|(");
      for (int l = 0; l < 3; ++l) a += std::string(l ? (pick(4) ? "|" : ">") : "") + (pick(2) ? "~" : "") + all[pick(52)];
      a += ")";
    }
    for (char letter : all) a += std::string("|") + letter + "&~" + letter;  // every letter, changing nothing
    const std::string literal = RewrittenBy(a, C::Literals);
    Session same(a + "\n" + literal, {.width = 250});
    EXPECT_TRUE(same.Run(C::Equivalence).ends_with("\nThese formulas are equivalent.\n"));
    std::string changed = a;
    const std::size_t at = changed.find_first_of(all, pick(changed.size() / 2));
    changed.insert(changed.begin() + static_cast<std::ptrdiff_t>(at), '~');
    Session session(a + "\n" + changed, {.width = 250});
    const std::vector<std::string> written = EquivalenceLines(session.Run(C::Equivalence));
    if (written[2] == "These formulas are equivalent.") continue;  // the sign did not matter
    ASSERT_EQ(written[2], "These formulas are not equivalent.");
    std::map<char, bool> values;
    std::istringstream cells(written[3].substr(std::string("First difference:").size()));
    for (std::string cell; cells >> cell;) values[cell[0]] = cell[2] == '1';
    ASSERT_EQ(values.size(), 52u);
    Session first(a);
    first.doc.XComp();
    const bool va = EvaluateUnder(first.doc.Root, values), vb = EvaluateUnder(session.doc.Root, values);
    EXPECT_NE(va, vb);
    EXPECT_EQ(written[4], std::string("Values: first formula ") + (va ? "1" : "0") + ", second formula " + (vb ? "1" : "0") + ".");
  }
}

}  // namespace
}  // namespace lumenark::testing
