// The minimal normal forms where no step is written hold the products as a compressed
// sequence and minimise it before building a tree. That route must leave the text and
// the tree that multiplying out in full leaves; each case runs both, the tree printed
// after the command and shown in full, and compares. The compressed passes run all the
// way (down to no element) and with the tree built early, so that both ways of handing
// over to the tree's passes are met. Stops and failed allocations at every point end the
// command as they end the full route.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "formula/NodeAllocator.h"
#include "normalforms/MinimalNormalForm.h"
#include "runtime/MemoryBudget.h"

namespace lumenark::testing {
namespace {

using C = FormulaCommand;

// The tunables of the compressed route, set for one run and put back afterwards. A
// small effort makes the route give up partway, for the full products.
class RouteSettings {
 public:
  RouteSettings(bool compressed, std::uint64_t passesDownTo, std::uint64_t effort = ~std::uint64_t{0})
      : minimum_(CompressedProductsMinimum),
        downTo_(CompressedPassesDownTo),
        effort_(CompressedRouteEffort),
        compressed_(compressed) {
    CompressedProductsMinimum = 0;
    CompressedPassesDownTo = passesDownTo;
    CompressedRouteEffort = effort;
  }
  ~RouteSettings() {
    CompressedProductsMinimum = minimum_;
    CompressedPassesDownTo = downTo_;
    CompressedRouteEffort = effort_;
  }
  bool Compressed() const { return compressed_; }

 private:
  std::uint64_t minimum_;
  std::uint64_t downTo_;
  std::uint64_t effort_;
  bool compressed_;
};

struct RouteOutcome {
  std::string text;  // the document, the tree printed after it, and its shape
  bool stopped;      // the full route ran past its allocations, or its memory
};

RouteOutcome RunRoute(const std::string& formula, C command, int details, const RouteSettings& route,
                 std::uint64_t allocations = 0) {
  Session session(formula, {.details = details, .width = 70});
  session.Run(C::Compile);
  session.doc.CompressedProducts = route.Compressed();
  session.doc.DecisionBySolver = false;  // the verdict's own routes are compared elsewhere
  session.host.allocationBudget = allocations;
  session.Run(command);
  // Stopped, or out of memory: the full products that the machine's budget cannot hold
  // are known before they are made.
  const bool stopped = session.host.Stopped() || !session.host.messages.empty();
  session.doc.XDecomp();
  const FormulaNode* root = session.doc.Root;
  EXPECT_EQ(root != nullptr ? CheckTree(root) : "", "") << formula;
  return {session.Text() + "\n" + (root != nullptr ? Structure(root) : "no tree"), stopped};
}

// Compares the routes on the formula for the three commands; returns how many
// comparisons the full route finished in time for.
int ExpectSameRoutes(const std::string& formula, std::initializer_list<int> details = {4}) {
  int compared = 0;
  for (C command : {C::MinimalDNF, C::MinimalCNF, C::Decision}) {
    for (int level : details) {
      const RouteOutcome full = RunRoute(formula, command, level, RouteSettings(false, 0), 100'000);
      if (full.stopped) continue;
      for (std::uint64_t downTo : {std::uint64_t{0}, std::uint64_t{6}}) {
        EXPECT_EQ(RunRoute(formula, command, level, RouteSettings(true, downTo)).text, full.text)
            << formula << ", command " << CommandName(command) << ", Details " << level << ", passes down to "
            << downTo;
      }
      EXPECT_EQ(RunRoute(formula, command, level, RouteSettings(true, 0, 300)).text, full.text)
          << formula << ", command " << CommandName(command) << ", Details " << level << ", effort 300";
      ++compared;
    }
  }
  return compared;
}

// At most one of the first letters, as a CNF: one clause per pair. Its products are the
// sets of all letters but at most one, negated, in every order: the live lists of the
// passes hold them in every order too, and few of those orders matter.
std::string AtMostOne(int letters) {
  std::string cnf;
  for (int i = 0; i < letters; ++i) {
    for (int j = i + 1; j < letters; ++j) cnf += (cnf.empty() ? "(~" : "&(~") + LetterName(i) + "|~" + LetterName(j) + ")";
  }
  return cnf;
}

TEST(CompressedRouteTest, FamiliesAsTheFullProducts) {
  int compared = 0;
  for (int k = 3; k <= 6; ++k) compared += ExpectSameRoutes(ExactlyOne(k), {3, 4});
  for (int k = 3; k <= 5; ++k) compared += ExpectSameRoutes(AtMostOne(k), {3, 4});
  // 32,768 products of 7 distinct terms, in full.
  for (C command : {C::MinimalDNF, C::Decision}) {
    const RouteOutcome full = RunRoute(AtMostOne(6), command, 4, RouteSettings(false, 0));
    EXPECT_EQ(RunRoute(AtMostOne(6), command, 4, RouteSettings(true, 0)).text, full.text);
  }
  // 229,376 products of 7 distinct terms, in full.
  const RouteOutcome full = RunRoute(ExactlyOne(7), C::MinimalDNF, 4, RouteSettings(false, 0));
  EXPECT_EQ(RunRoute(ExactlyOne(7), C::MinimalDNF, 4, RouteSettings(true, 0)).text, full.text);
  compared += ExpectSameRoutes("~(" + ExactlyOne(4) + ")");
  compared += ExpectSameRoutes(Colouring(3, 3, {{0, 1}, {1, 2}}));
  compared += ExpectSameRoutes(Colouring(3, 2, {{0, 1}, {1, 2}, {0, 2}}));  // a triangle has no 2-colouring
  compared += ExpectSameRoutes(Colouring(4, 2, {{0, 1}, {1, 2}, {2, 3}}));
  std::mt19937 random(41);
  // Consistent and inconsistent random 3-CNFs, 2 to 4.3 clauses a letter.
  for (int i = 0; i < 120; ++i) {
    const int letters = 3 + i % 5;
    const int clauses = letters * (20 + i % 24) / 10;
    compared += ExpectSameRoutes(RandomCnf(random, letters, clauses, 3), i % 10 == 0 ? std::initializer_list<int>{3, 4}
                                                                                      : std::initializer_list<int>{4});
  }
  // Clauses of repeated and complementary literals, and CNFs with a literal in every
  // clause (products of a single literal, sorted into the outer chain's places).
  for (int i = 0; i < 60; ++i) {
    const std::string cnf = RandomCnf(random, 2 + i % 3, 4 + i % 6, 1 + i % 3);
    compared += ExpectSameRoutes(cnf);
    compared += ExpectSameRoutes("(A|" + cnf + ")&(A|~B)&(C|A)");
  }
  EXPECT_GT(compared, 600);
}

TEST(CompressedRouteTest, RandomFormulasAsTheFullProducts) {
  std::mt19937 random(43);
  int compared = 0;
  for (int i = 0; i < 500; ++i) {
    compared += ExpectSameRoutes(
        RandomFormula(random, {.letters = 2 + i % 7, .maxDepth = 3 + i % 3, .constants = i % 4 == 0}));
  }
  // Few letters and deep nesting: a pass leaves single letters that a later pass finds
  // with their negation, and the formula becomes a constant.
  for (int i = 0; i < 300; ++i) {
    compared += ExpectSameRoutes(RandomFormula(random, {.letters = 2 + i % 2, .maxDepth = 4 + i % 3}));
  }
  for (const char* formula : {"0", "1", "~0", "~1", "A", "~A", "(A|~A)&(B|C)", "(A&~A)|(B&C)", "(0|A)&(B|1)",
                              "~(A|B)&(C|D)", "(A|B)&(~A|B)&(A|~B)&(~A|~B)", "(A&B)=~(A&B)=0", "(A|B)=~(A|B)=1"}) {
    compared += ExpectSameRoutes(formula);
  }
  EXPECT_GT(compared, 2000);
}

// A stop at every point of the compressed route ends the command as a stop during the
// conversion or the minimisation does: no tree, nothing written, nothing leaked. A node
// allocation that fails at any point, for good or only once, shows "Insuficient memory."
// and leaves no tree; and a memory budget too small for the compressed sequence leaves
// the full route to run into it.
TEST(CompressedRouteTest, StopsAndFailedAllocations) {
  const RouteSettings route(true, 2);
  const std::string formula = ExactlyOne(4) + "&(A|B|~C)";
  Session unstopped(formula);
  unstopped.Run(C::Compile);
  unstopped.doc.DecisionBySolver = false;
  const std::uint64_t callsBefore = unstopped.host.pendingInputCalls;
  const std::uint64_t allocationsBefore = AllocationCount();
  const std::string finished = unstopped.Run(C::Decision);
  const std::uint64_t calls = unstopped.host.pendingInputCalls - callsBefore;
  const std::uint64_t allocations = AllocationCount() - allocationsBefore;
  ASSERT_GT(calls, 4u);
  ASSERT_GT(allocations, 4u);
  const std::size_t live = LiveNodeCount();
  std::uint64_t discarded = 0;
  for (std::uint64_t call = 1; call <= calls; ++call) {
    Session session(formula);
    session.Run(C::Compile);
    session.doc.DecisionBySolver = false;
    const std::string compiled = session.Text();
    session.host.stopAtCall = session.host.pendingInputCalls + call;
    session.Run(C::Decision);
    // Stopped during the conversion or the minimisation: no tree and no verdict; later,
    // while the result was printed, the finished tree.
    if (session.doc.Root == nullptr) {
      EXPECT_EQ(session.Text(), compiled) << "stop at call " << call;
      ++discarded;
    } else {
      EXPECT_EQ(Structure(session.doc.Root), Structure(unstopped.doc.Root)) << "stop at call " << call;
    }
  }
  EXPECT_GT(discarded, calls / 2);
  for (bool persistent : {false, true}) {
    for (std::uint64_t n = 1; n <= allocations; ++n) {
      Session session(formula);
      session.Run(C::Compile);
      session.doc.DecisionBySolver = false;
      ArmAllocationFailure(n, persistent);
      const std::string text = session.Run(C::Decision);
      ArmAllocationFailure(0);
      EXPECT_EQ(FirstLines(session.host.messages), std::vector<std::string>{"Insuficient memory."}) << "allocation " << n;
      EXPECT_EQ(session.doc.Root, nullptr);
      EXPECT_FALSE(StopRequested);
    }
  }
  for (std::uint64_t limit : {std::uint64_t{1} << 10, std::uint64_t{1} << 16, std::uint64_t{1} << 20}) {
    Session session(formula);
    session.Run(C::Compile);
    session.doc.DecisionBySolver = false;
    SetMemoryLimit(limit);
    RunFormulaCommand(session.doc, C::Decision);
    SetMemoryLimit(std::nullopt);
    BeginMemoryBudget();
    const std::string text = session.Text();
    EXPECT_TRUE(text == finished || FirstLines(session.host.messages) == std::vector<std::string>{"Insuficient memory."})
        << "limit " << limit;
  }
  EXPECT_EQ(LiveNodeCount(), live);
}

}  // namespace
}  // namespace lumenark::testing
