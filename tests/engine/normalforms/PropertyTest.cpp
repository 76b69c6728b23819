// Properties over thousands of seeded random formulas, checked against truth tables:
// every command leaves an equivalent formula; normal forms have their shape; a
// minimised normal form admits no pairwise rule; Decision's verdict is the table's.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "TestSupport.h"

namespace lumenark::testing {
namespace {

using C = FormulaCommand;

constexpr int kFormulas = 3000;
// Normal forms grow exponentially with nested alternations; a formula whose command
// needs more than this many pending-input calls is stopped and left out.
constexpr std::uint64_t kWorkBudget = 200'000;

// The literals of one element of a normal form's outer chain: letter to negated flags.
using LiteralSet = std::multimap<char, int>;

void CollectLiterals(const FormulaNode* node, LiteralSet& out) {
  if (node->kind == nkLiteral) {
    out.emplace(node->symbol, node->negated);
  } else {
    CollectLiterals(node->left, out);
    CollectLiterals(node->right, out);
  }
}

void CollectElements(const FormulaNode* node, char outer, std::vector<const FormulaNode*>& out) {
  if (node->kind != nkLiteral && node->symbol == outer) {
    CollectElements(node->left, outer, out);
    CollectElements(node->right, outer, out);
  } else {
    out.push_back(node);
  }
}

// Empty when the tree has the shape of a CNF (outer '&') or DNF (outer '|').
std::string CheckNormalForm(const FormulaNode* root, char outer) {
  const char inner = outer == '&' ? '|' : '&';
  if (root->kind == nkLiteral) return {};
  std::vector<const FormulaNode*> elements;
  CollectElements(root, root->symbol == inner ? inner : outer, elements);
  if (root->symbol == inner) elements = {root};  // the formula is a single clause
  std::string previousUnit;
  for (const FormulaNode* element : elements) {
    std::vector<const FormulaNode*> literals;
    CollectElements(element, inner, literals);
    std::set<char> letters;
    unsigned char previous = 0;
    for (const FormulaNode* literal : literals) {
      if (literal->kind != nkLiteral) return "a clause holds an operator other than its own";
      if (literal->symbol == '0' || literal->symbol == '1') return "a constant is left in a larger formula";
      if (!letters.insert(literal->symbol).second) return "a letter occurs twice in a clause";
      if (static_cast<unsigned char>(literal->symbol) < previous) return "a clause is not in letter order";
      previous = static_cast<unsigned char>(literal->symbol);
    }
  }
  // Unit clauses of the outer chain are in order among themselves.
  unsigned char previous = 0;
  for (const FormulaNode* element : elements) {
    if (element->kind != nkLiteral) continue;
    if (static_cast<unsigned char>(element->symbol) < previous) return "unit clauses out of order";
    previous = static_cast<unsigned char>(element->symbol);
  }
  return {};
}

// Whether a pairwise rule of minimisation applies to two elements.
bool RuleApplies(const LiteralSet& x, const LiteralSet& y) {
  bool xMore = false, yMore = false;
  int pairs = 0;
  for (const auto& [letter, negated] : x) {
    auto found = y.find(letter);
    if (found == y.end()) xMore = true;
    else if (found->second != negated) ++pairs;
  }
  for (const auto& [letter, negated] : y) {
    if (x.find(letter) == x.end()) yMore = true;
  }
  return !(xMore && yMore) && pairs <= 1;
}

std::string CheckMinimal(const FormulaNode* root) {
  if (root->kind == nkLiteral) return {};
  std::vector<const FormulaNode*> elements;
  CollectElements(root, root->symbol, elements);
  std::vector<LiteralSet> sets(elements.size());
  for (std::size_t i = 0; i < elements.size(); ++i) CollectLiterals(elements[i], sets[i]);
  for (std::size_t i = 0; i < sets.size(); ++i) {
    for (std::size_t j = i + 1; j < sets.size(); ++j) {
      if (RuleApplies(sets[i], sets[j])) return "a pair of elements still simplifies";
    }
  }
  return {};
}

class PropertyTest : public ::testing::TestWithParam<FormulaCommand> {};

TEST_P(PropertyTest, ResultIsEquivalentAndWellShaped) {
  const C command = GetParam();
  std::mt19937 random(7 + static_cast<int>(command));
  int skipped = 0;
  for (int i = 0; i < kFormulas; ++i) {
    const int letters = 1 + i % 8;
    const std::string formula =
        RandomFormula(random, {.letters = letters, .maxDepth = letters <= 4 ? 5 : 4});
    const std::string names = LettersOf(formula);
    // Low Details levels print the whole formula at every step; keep those formulas small.
    const int details = i % 10 == 0 ? i % 3 : 3 + i % 2;
    Session session(formula, {.details = details, .results = i % 2 == 0, .width = 250});
    session.host.stopAtCall = details < 3 ? kWorkBudget / 20 : kWorkBudget;
    session.Run(command);
    ASSERT_EQ(session.doc.ParseError, 0) << formula;
    if (session.host.pendingInputCalls >= session.host.stopAtCall) {
      ++skipped;
      ASSERT_EQ(CheckTree(session.doc.Root), "") << formula;
      continue;
    }
    ASSERT_NE(session.doc.Root, nullptr) << formula;
    ASSERT_EQ(CheckTree(session.doc.Root), "") << formula;
    ASSERT_EQ(TruthTable(session.doc.Root, names), TruthTableOfText(formula, names))
        << formula << " -> " << Structure(session.doc.Root);
    ASSERT_TRUE(session.host.messages.empty());
    const FormulaNode* root = session.doc.Root;
    switch (command) {
      case C::Conjunctive:
      case C::MinimalCNF:
        ASSERT_EQ(CheckNormalForm(root, '&'), "") << formula << " -> " << Structure(root);
        break;
      case C::Disjunctive:
      case C::MinimalDNF:
      case C::Decision:
        ASSERT_EQ(CheckNormalForm(root, '|'), "") << formula << " -> " << Structure(root);
        break;
      case C::Literals:
        for (std::vector<const FormulaNode*> pending{root}; !pending.empty();) {
          const FormulaNode* node = pending.back();
          pending.pop_back();
          if (node->kind == nkLiteral) continue;
          ASSERT_TRUE(IsAndOr(node->symbol) && !node->negated) << formula;
          pending.push_back(node->left);
          pending.push_back(node->right);
        }
        break;
      default:
        break;
    }
    if (command == C::MinimalCNF || command == C::MinimalDNF || command == C::Decision) {
      ASSERT_EQ(CheckMinimal(root), "") << formula << " -> " << Structure(root);
    }
    if (command == C::Decision) {
      const std::vector<bool> table = TruthTableOfText(formula, names);
      const bool valid = std::find(table.begin(), table.end(), false) == table.end();
      const bool inconsistent = std::find(table.begin(), table.end(), true) == table.end();
      const std::string written = Written(session.Text());
      const char* verdict = valid          ? "This formula is valid.\n"
                            : inconsistent ? "This formula is not consistent.\n"
                                           : "This formula is consistent.Its models can be expressed as DNF:\n";
      ASSERT_NE(written.find(verdict), std::string::npos) << formula << "\n" << written;
    }
  }
  EXPECT_LT(skipped, kFormulas / 20) << "too few formulas checked";
}

INSTANTIATE_TEST_SUITE_P(Commands, PropertyTest,
                         ::testing::Values(C::Conjunctions, C::Implications, C::Disjunctions, C::Literals, C::Evaluate,
                                           C::Conjunctive, C::Disjunctive, C::MinimalCNF, C::MinimalDNF, C::Decision),
                         [](const auto& info) { return std::string(CommandName(info.param)); });

// The negation of a random 3-CNF with many clauses: valid when the CNF has no model,
// and then its DNF (the negated clauses) is mostly left with clauses that no pairwise
// rule combines. The verdict is the truth table's either way, and a valid formula's
// tree becomes the constant 1.
TEST(PropertyTest, DecisionFindsValidityBeyondPairwiseRules) {
  std::mt19937 random(11);
  int valid = 0;
  int validBeyondPairs = 0;
  for (int i = 0; i < 1500; ++i) {
    const int letters = 5 + i % 3;
    std::string cnf;
    for (int c = 0; c < 5 * letters; ++c) {
      cnf += c > 0 ? "&(" : "(";
      for (int l = 0; l < 3; ++l) {
        if (l > 0) cnf += '|';
        if (random() % 2 == 0) cnf += '~';
        cnf += static_cast<char>('A' + random() % letters);
      }
      cnf += ')';
    }
    const std::string formula = "~(" + cnf + ")";
    const std::vector<bool> table = TruthTableOfText(formula, LettersOf(formula));
    const bool isValid = std::find(table.begin(), table.end(), false) == table.end();
    Session minimal(formula);
    minimal.Run(C::MinimalDNF);
    Session session(formula);
    const std::string written = Written(session.Run(C::Decision));
    if (isValid) {
      ++valid;
      if (!IsConstant(minimal.doc.Root)) ++validBeyondPairs;
      ASSERT_EQ(written, "This formula is valid.\n") << formula;
      ASSERT_EQ(Structure(session.doc.Root), "1") << formula;
    } else {
      ASSERT_EQ(written.rfind("This formula is consistent.", 0), 0u) << formula << "\n" << written;
      ASSERT_EQ(TruthTable(session.doc.Root, LettersOf(formula)), table) << formula;
    }
    ASSERT_EQ(CheckTree(session.doc.Root), "") << formula;
  }
  EXPECT_GT(valid, 400);
  EXPECT_GT(validBeyondPairs, 20);
}

TEST(PropertyTest, EvaluateLeavesNoConstantInALargerFormula) {
  std::mt19937 random(99);
  for (int i = 0; i < kFormulas; ++i) {
    const std::string formula = RandomFormula(random, {.letters = 5, .maxDepth = 5});
    Session session(formula);
    session.Run(C::Evaluate);
    if (session.doc.Root->kind == nkLiteral) continue;
    for (std::vector<const FormulaNode*> pending{session.doc.Root}; !pending.empty();) {
      const FormulaNode* node = pending.back();
      pending.pop_back();
      ASSERT_FALSE(node->symbol == '0' || node->symbol == '1') << formula;
      if (node->kind == nkLiteral) continue;
      pending.push_back(node->left);
      pending.push_back(node->right);
    }
  }
}

}  // namespace
}  // namespace lumenark::testing
