// The bounds on a normal form's size (normalforms/ProductBound.h) against the products
// themselves, multiplied out here one by one: the upper bound counts every product, the
// lower bound never passes the nodes of the products that survive. Then the commands
// that multiply out: where the bound shows that the products cannot fit in the budget,
// they end at once as out of memory, at every Details level, and Decision says the
// verdict with a model below the limit, and what Formula > Minimum forms gives instead.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "TestSupport.h"
#include "formula/LetterBits.h"
#include "formula/TreeOperations.h"
#include "minimum/QuickMinimum.h"
#include "normalforms/MinimalNormalForm.h"
#include "normalforms/ProductBound.h"
#include "runtime/MemoryBudget.h"

namespace lumenark::testing {
namespace {

// A product: its literals, each as the letter's bit and its sign.
using Product = std::vector<std::pair<std::uint64_t, bool>>;

// Every product of the literal form, in no particular order; nothing past most.
std::optional<std::vector<Product>> Products(const FormulaNode* node, char outer, std::size_t most) {
  if (IsLiteral(node)) return std::vector<Product>{{{LetterBit(node->symbol), node->negated != 0}}};
  const auto left = Products(node->left, outer, most);
  const auto right = Products(node->right, outer, most);
  if (!left || !right) return std::nullopt;
  std::vector<Product> out;
  if (node->symbol == outer) {
    out = *left;
    out.insert(out.end(), right->begin(), right->end());
  } else {
    if (left->size() * right->size() > most) return std::nullopt;
    for (const Product& a : *left) {
      for (const Product& b : *right) {
        out.push_back(a);
        out.back().insert(out.back().end(), b.begin(), b.end());
      }
    }
  }
  if (out.size() > most) return std::nullopt;
  return out;
}

// The nodes of the surviving products as the conversion holds them: each product's
// letters once (2k - 1 nodes), and a node to join each to the next.
std::uint64_t SurvivingNodes(const std::vector<Product>& products) {
  std::uint64_t nodes = 0, survivors = 0;
  for (const Product& p : products) {
    std::uint64_t plain = 0, negated = 0;
    for (const auto& [bit, sign] : p) (sign ? negated : plain) |= bit;
    if ((plain & negated) != 0) continue;
    nodes += 2 * static_cast<std::uint64_t>(__builtin_popcountll(plain | negated)) - 1;
    ++survivors;
  }
  return survivors == 0 ? 0 : nodes + survivors - 1;
}

// The literal form's size, foretold from the formula, is the size ToConDis gives it.
TEST(ProductBoundTest, LiteralFormNodesAsToConDisMakesThem) {
  std::mt19937 random(67);
  for (int i = 0; i < 800; ++i) {
    Session session(RandomFormula(random, {.letters = 2 + i % 6, .maxDepth = 2 + i % 5}));
    session.Run(FormulaCommand::Compile);
    const std::uint64_t foretold = LiteralFormNodes(session.doc.Root);
    session.doc.ToConDis();
    EXPECT_EQ(foretold, CountNodes(session.doc.Root)) << session.Text();
  }
  // A=B=...: each equivalence doubles what it holds; 70 of them pass any count.
  Session chain(Parity(52) + "=" + Parity(18));
  chain.Run(FormulaCommand::Compile);
  EXPECT_EQ(LiteralFormNodes(chain.doc.Root), ~std::uint64_t{0});
}

TEST(ProductBoundTest, BoundsHoldAgainstTheProductsThemselves) {
  std::mt19937 random(61);
  int compared = 0, tight = 0;
  for (int i = 0; i < 1500; ++i) {
    const std::string formula =
        i % 3 == 0 ? RandomCnf(random, 3 + i % 6, 3 + i % 9, 1 + i % 3)
                   : RandomFormula(random, {.letters = 2 + i % 7, .maxDepth = 3 + i % 3, .constants = false});
    Session session(formula);
    session.Run(FormulaCommand::Compile);
    session.doc.ToConDis();
    session.doc.ConstEval();
    const FormulaNode* root = session.doc.Root;
    if (IsLiteral(root)) continue;
    for (const char outer : {'&', '|'}) {
      const auto products = Products(root, outer, 50'000);
      if (!products) continue;
      EXPECT_EQ(ElementsAtMost(root, outer), products->size()) << formula << " " << outer;
      const std::uint64_t exact = SurvivingNodes(*products);
      const std::uint64_t bound = NodesAtLeast(root, outer, std::nullopt, ~std::uint64_t{0}, session.host);
      EXPECT_LE(bound, exact) << formula << " " << outer;
      // Where products survive, the solver finds an assignment under which some do.
      EXPECT_EQ(bound == 0, exact == 0) << formula << " " << outer;
      tight += bound == exact;
      ++compared;
    }
  }
  EXPECT_GT(compared, 1500);
  EXPECT_GT(tight, compared / 4);  // the bound is no mere formality
}

struct EarlyEnd {
  FormulaCommand command;
  int details;
};

// ExactlyOne(12) multiplies out into a DNF of 12 * 2^55 products at least under any model
// (its negation into as large a CNF): no budget holds them, and the commands end before
// they start on them. At Details 4 the compressed route is tried first, and where it
// gives up (here with a small effort), so does the command.
TEST(ProductBoundTest, ProductsBeyondTheBudgetEndTheCommandAtOnce) {
  const std::uint64_t effort = CompressedRouteEffort;
  CompressedRouteEffort = 1 << 12;
  const std::string limit = "Insuficient memory.\nThe limit is 64 MiB, as set; set another with "
                            "LUMENARK_MEMORY_LIMIT or lumenark-cli --memory-limit.";
  for (const EarlyEnd& c : std::vector<EarlyEnd>{{FormulaCommand::Conjunctive, 0},
                                                 {FormulaCommand::MinimalCNF, 4},
                                                 {FormulaCommand::Disjunctive, 0},
                                                 {FormulaCommand::Disjunctive, 3},
                                                 {FormulaCommand::Disjunctive, 4},
                                                 {FormulaCommand::MinimalDNF, 2},
                                                 {FormulaCommand::MinimalDNF, 4},
                                                 {FormulaCommand::Decision, 0},
                                                 {FormulaCommand::Decision, 1},
                                                 {FormulaCommand::Decision, 2},
                                                 {FormulaCommand::Decision, 3},
                                                 {FormulaCommand::Decision, 4}}) {
    const bool cnf = c.command == FormulaCommand::Conjunctive || c.command == FormulaCommand::MinimalCNF;
    Session session(cnf ? "~(" + ExactlyOne(12) + ")" : ExactlyOne(12), {.details = c.details});
    SetMemoryLimit(64 << 20);
    session.Run(c.command);
    SetMemoryLimit(std::nullopt);
    const std::string what = std::string(CommandName(c.command)) + " at Details " + std::to_string(c.details);
    EXPECT_EQ(session.doc.Root, nullptr) << what;
    ASSERT_EQ(session.host.messages.size(), 1u) << what;
    const std::string& message = session.host.messages[0];
    EXPECT_EQ(message.rfind(limit, 0), 0u) << what << ": " << message;
    // The conversion never started: at most the steps of the literal form were written.
    EXPECT_EQ(Written(session.Text()).find("Distribution:"), std::string::npos) << what;
    if (c.command != FormulaCommand::Decision) {
      EXPECT_EQ(message, limit) << what;
      continue;
    }
    EXPECT_EQ(message.find(limit + "\nThis formula is consistent (a model: "), 0u) << what << ": " << message;
    EXPECT_NE(message.find("), but rewriting it into its minimal DNF needs more memory than the limit.\n" +
                           MinimumDnfNote(12)),
              std::string::npos)
        << what << ": " << message;
  }
  CompressedRouteEffort = effort;
}

// Where the verdict is that the formula is not consistent or valid, the rewriting at
// Details 0 to 3 still shows it, and out of memory (here the literal form of the
// equivalences would not fit) the message says the verdict, and what Formula > Minimum
// forms gives.
TEST(ProductBoundTest, MessageSaysTheVerdictAtEveryDetailsLevel) {
  const std::string parity = "(" + Parity(16) + ")";
  for (const auto& [formula, verdict] : std::vector<std::pair<std::string, std::string>>{
           {parity + "&~" + parity, "\nThis formula is not consistent (it has no model), but the rewriting"},
           {parity + "|~" + parity, "\nThis formula is valid (every assignment is a model), but the rewriting"},
           {parity, "\nThis formula is consistent (a model: A="}}) {
    for (int details = 0; details <= 4; ++details) {
      Session session(formula, {.details = details});
      SetMemoryLimit(MemoryInUse() + (8 << 20));
      session.Run(FormulaCommand::Decision);
      SetMemoryLimit(std::nullopt);
      if (details == 4 && verdict.find("consistent (a") == std::string::npos) {
        EXPECT_TRUE(session.host.messages.empty()) << formula;  // the verdict at once, without rewriting
        continue;
      }
      ASSERT_EQ(session.host.messages.size(), 1u) << formula << " at Details " << details;
      const std::string& message = session.host.messages[0];
      EXPECT_EQ(message.rfind("Insuficient memory.\nThe limit is ", 0), 0u) << message;
      EXPECT_NE(message.find(verdict), std::string::npos) << message;
      // The literal form is known not to fit before it is made: the minimum may come with its terms.
      EXPECT_NE(message.find("\nIts Minimum DNF, proved and without multiplying out, "), std::string::npos) << message;
      EXPECT_TRUE(message.ends_with("Formula > Minimum forms > Minimum DNF (lumenark-cli minimumdnf).")) << message;
    }
  }
}

}  // namespace
}  // namespace lumenark::testing
