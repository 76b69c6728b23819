// The routes that answer faster must leave the identical text and tree: Decision at
// Details 4 asks a decision diagram and the SAT solver before it rewrites, the direct products with more than
// 12 letters find vanishing products by a decision diagram or the solver, and
// minimisation passes over repeated clauses without looking at the departed ones. Each
// is compared with the exact route (Decision rewriting, the steps, the word-for-word
// minimisation), the tree printed after the command and shown in full.

#include <gtest/gtest.h>

#include "ReferenceAlgorithms.h"
#include "TestSupport.h"
#include "formula/NodeAllocator.h"
#include "normalforms/ChainProduct.h"
#include "normalforms/Verdict.h"
#include "runtime/MemoryBudget.h"

namespace lumenark::testing {
namespace {

enum class DecisionRoute { Fast, Exact };

struct DecisionOutcome {
  std::string text;  // what the command wrote, the tree printed, and its shape
  bool stopped;
};

DecisionOutcome Decide(const std::string& formula, int details, DecisionRoute route, std::uint64_t allocations = 0) {
  Session session(formula, {.details = details, .width = 70});
  session.Run(FormulaCommand::Compile);
  session.doc.DecisionBySolver = route == DecisionRoute::Fast;
  session.host.allocationBudget = allocations;
  session.doc.Decision();
  const bool stopped = StopRequested;
  StopRequested = false;
  session.doc.XDecomp();
  const FormulaNode* root = session.doc.Root;
  return {session.Text() + "\n" + (root != nullptr ? Structure(root) : "no tree"), stopped};
}

// Compares the two routes of Decision at Details 3 and 4 where the exact one finishes
// within the allocations; returns whether it did.
bool ExpectSameDecision(const std::string& formula) {
  bool compared = false;
  for (int details : {3, 4}) {
    const DecisionOutcome exact = Decide(formula, details, DecisionRoute::Exact, 100'000);
    if (exact.stopped) continue;
    // The verdict by the decision diagram, and (its bound lowered) by the solver.
    const std::size_t diagramLimit = VerdictDiagramNodeLimit;
    for (std::size_t limit : {diagramLimit, std::size_t{4}}) {
      VerdictDiagramNodeLimit = limit;
      EXPECT_EQ(Decide(formula, details, DecisionRoute::Fast).text, exact.text)
          << formula << " at Details " << details << ", diagram limit " << limit;
    }
    VerdictDiagramNodeLimit = diagramLimit;
    compared = true;
  }
  return compared;
}

TEST(SolverRouteTest, DecisionAsTheRewritingDecides) {
  std::mt19937 random(23);
  int compared = 0;
  for (int i = 0; i < 1200; ++i) {
    compared += ExpectSameDecision(
        RandomFormula(random, {.letters = 2 + i % 9, .maxDepth = 3 + i % 3, .constants = i % 3 == 0}));
  }
  for (int i = 0; i < 200; ++i) {
    const int letters = 4 + i % 5;
    const std::string cnf = RandomCnf(random, letters, letters * (3 + i % 4), 3);
    compared += ExpectSameDecision(cnf);
    compared += ExpectSameDecision("~(" + cnf + ")");
  }
  for (const std::string& family :
       {Pigeonhole(3, 2), Pigeonhole(4, 3), ExactlyOne(3), ExactlyOne(5), Parity(4), Parity(7), Parity(6, '>'),
        "~(" + Pigeonhole(3, 2) + ")", "~(" + Pigeonhole(4, 3) + ")", "~(" + ExactlyOne(4) + ")"}) {
    EXPECT_TRUE(ExpectSameDecision(family)) << family;
  }
  // Constants at the root, negated constants, and operators that reduce to them.
  for (const char* formula : {"0", "1", "~0", "~1", "~~1", "1&~1", "~(0|~1)", "~(A|~A)", "~(A&~A)", "(A=A)&1",
                              "0>A", "A>1", "~(1>0)", "(A|~A)=(B&~B)", "~(A=A)|~1"}) {
    EXPECT_TRUE(ExpectSameDecision(formula)) << formula;
  }
  EXPECT_GT(compared, 1400);
}

// The verdicts of formulas the rewriting cannot finish, checked against their models.
TEST(SolverRouteTest, DecisionAtFiftyTwoLetters) {
  const struct {
    std::string formula;
    const char* verdict;
  } cases[] = {
      {Pigeonhole(7, 6), "This formula is not consistent.\n"},
      {"~(" + Pigeonhole(7, 6) + ")", "This formula is valid.\n"},
      {"~(" + Parity(52) + ")|(" + Parity(52) + ")", "This formula is valid.\n"},
      {"(" + Parity(52) + ")&~(" + Parity(52) + ")", "This formula is not consistent.\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Written(Derive(c.formula, {FormulaCommand::Decision})), c.verdict);
  }
}

// The solver ends at Stop and at the memory budget as the rewriting does: no verdict,
// no tree, one message for the budget, nothing leaked.
TEST(SolverRouteTest, SolverStopsAndRunsOutOfMemory) {
  const std::string hard = Pigeonhole(7, 6);
  const std::size_t diagramLimit = VerdictDiagramNodeLimit;
  VerdictDiagramNodeLimit = 16;  // the diagram gives up at once, and the solver is asked
  for (int failure = 0; failure < 2; ++failure) {
    const std::size_t live = LiveNodeCount();
    {
      Session session(hard);
      session.Run(FormulaCommand::Compile);
      if (failure == 0) {
        session.host.stopAtCall = session.host.pendingInputCalls + 1;
      } else {
        SetMemoryLimit(1);  // the tree is compiled already; the solver gets nothing
      }
      session.Run(FormulaCommand::Decision);
      SetMemoryLimit(std::nullopt);
      BeginMemoryBudget();
      EXPECT_EQ(Written(session.Text()), "");
      EXPECT_EQ(session.doc.Root, nullptr);
      EXPECT_EQ(FirstLines(session.host.messages), failure == 0 ? std::vector<std::string>{}
                                                    : std::vector<std::string>{"Insuficient memory."});
      EXPECT_FALSE(StopRequested);
    }
    EXPECT_EQ(LiveNodeCount(), live);
  }
  VerdictDiagramNodeLimit = diagramLimit;
}

DecisionOutcome Convert(const std::string& formula, bool dnf, bool steps) {
  Session session(formula, {.details = 4, .width = 70});
  session.Run(FormulaCommand::Compile);
  session.doc.StepByStepNormalForms = steps;
  session.host.allocationBudget = steps ? 300'000 : 0;
  dnf ? session.doc.ToDNF() : session.doc.ToCNF();
  const bool stopped = StopRequested;
  StopRequested = false;
  session.doc.XDecomp();
  const FormulaNode* root = session.doc.Root;
  return {session.Text() + "\n" + (root != nullptr ? Structure(root) : "no tree"), stopped};
}

// Products over 13 to 30 letters, with the diagram and (its limit lowered) with the
// solver, against the steps.
TEST(SolverRouteTest, ProductsBeyondTwelveLetters) {
  std::mt19937 random(29);
  int compared = 0;
  for (std::size_t limit : {std::size_t{1} << 20, std::size_t{8}}) {
    ProductDiagramNodeLimit = limit;
    std::vector<std::string> formulas = {Parity(13), Pigeonhole(5, 3), "~(" + Parity(13, '>') + ")"};
    for (int i = 0; i < 150; ++i) {
      formulas.push_back(RandomFormula(random, {.letters = 13 + i % 18, .maxDepth = 4 + i % 2, .constants = false}));
    }
    for (const std::string& formula : formulas) {
      for (bool dnf : {false, true}) {
        const DecisionOutcome steps = Convert(formula, dnf, true);
        if (steps.stopped) continue;
        EXPECT_EQ(Convert(formula, dnf, false).text, steps.text) << formula;
        ++compared;
      }
    }
  }
  ProductDiagramNodeLimit = std::size_t{1} << 20;
  EXPECT_GT(compared, 400);
}

// The solver only answers faster: a budget too small for it leaves the decision to the
// rewriting, which here needs a few nodes and nothing multiplied out.
TEST(SolverRouteTest, WithoutRoomForTheSolverTheRewritingDecides) {
  for (const auto& [formula, verdict] : {std::pair{"A&~A&B", "This formula is not consistent.\n"},
                                         std::pair{"A|~A|B", "This formula is valid.\n"}}) {
    Session session(formula);
    session.Run(FormulaCommand::Compile);
    SetMemoryLimit(MemoryInUse() + 64 * 1024);
    session.Run(FormulaCommand::Decision);
    SetMemoryLimit(std::nullopt);
    BeginMemoryBudget();
    EXPECT_EQ(Written(session.Text()), verdict);
    EXPECT_TRUE(session.host.messages.empty());
  }
}

// Runs of repeated clauses, interleaved with others, minimised by the engine and word
// for word, at every Details level (the steps show every rule in its order).
TEST(SolverRouteTest, MinimisationOverRepeatedClauses) {
  std::mt19937 random(31);
  for (int i = 0; i < 300; ++i) {
    const bool cnf = i % 2 == 0;
    std::vector<std::string> clauses;
    for (int c = 0; c < 3 + i % 4; ++c) {
      std::string clause;
      for (int l = 0; l < 1 + static_cast<int>(random() % 3); ++l) {
        clause += (l > 0 ? (cnf ? "|" : "&") : "") + std::string(random() % 2 ? "~" : "") + "ABCD"[random() % 4];
      }
      const int copies = 1 + static_cast<int>(random() % 12);
      for (int k = 0; k < copies; ++k) clauses.insert(clauses.begin() + random() % (clauses.size() + 1), clause);
    }
    std::string formula;
    for (const std::string& clause : clauses) formula += (formula.empty() ? "(" : cnf ? "&(" : "|(") + clause + ")";
    const int details = i % 5;
    const auto minimise = [&](bool wordForWord) {
      Session session(formula, {.details = details, .width = 250});
      session.Run(FormulaCommand::Compile);
      cnf ? session.doc.ToCNF() : session.doc.ToDNF();
      wordForWord ? ReferenceMinimize(session.doc) : session.doc.Minimize();
      session.doc.XDecomp();
      return session.Text() + "\n" + (session.doc.Root ? Structure(session.doc.Root) : "no tree");
    };
    ASSERT_EQ(minimise(false), minimise(true)) << formula << " at Details " << details;
  }
}

}  // namespace
}  // namespace lumenark::testing
