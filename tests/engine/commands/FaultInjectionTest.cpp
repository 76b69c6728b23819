// Exhausted memory: the n-th node allocation fails, for every n a command makes. The
// command ends as a stop would, shows "Insuficient memory." once, leaves the tree well
// formed (or discarded where a stop discards it) and leaks nothing.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "TestSupport.h"
#include "formula/NodeAllocator.h"

namespace lumenark::testing {
namespace {

using C = FormulaCommand;

class FaultInjectionTest : public ::testing::TestWithParam<FormulaCommand> {
 protected:
  void TearDown() override {
    ArmAllocationFailure(0);
    MemoryExhausted = false;
  }
};

TEST_P(FaultInjectionTest, EveryFailedAllocationIsSurvived) {
  const C command = GetParam();
  // The last one is multiplied out directly at Details 3 and 4.
  for (const char* formula : {"(A=B)|(C&~D)", "(a>b)&(b>c)>(a>c)", "A&B|~A&C|~B|~C", "((a&(b|c))&~a)|a|(d&e)"}) {
    const std::string letters = LettersOf(formula);
    const std::vector<bool> table = TruthTableOfText(formula, letters);
    // The conversions that write no step (Details 3 and 4) allocate otherwise than the
    // steps do: each level is counted on its own. The levels take turns, and Details 4
    // (the direct products) meets every failure point.
    std::uint64_t allocations[5];
    for (int details = 0; details < 5; ++details) {
      Session unfailed(formula, {.details = details});
      const std::uint64_t before = AllocationCount();
      unfailed.Run(command);
      allocations[details] = AllocationCount() - before;
    }
    const std::uint64_t most = *std::max_element(std::begin(allocations), std::end(allocations));
    for (bool persistent : {false, true}) {
      for (std::uint64_t point = 1; point <= 2 * most; ++point) {
        const std::uint64_t n = (point + 1) / 2;
        const int details = point % 2 == 0 ? 4 : static_cast<int>(n % 5);
        if (n > allocations[details] || (point % 2 == 1 && details == 4)) continue;
        const std::size_t live = LiveNodeCount();
        {
          Session session(formula, {.details = details});
          ArmAllocationFailure(n, persistent);
          session.Run(command);
          ArmAllocationFailure(0);
          ASSERT_EQ(session.host.messages.size(), 1u) << formula << " n=" << n;
          const bool parseFailed = session.doc.ParseError != 0;
          ASSERT_EQ(FirstLines(session.host.messages)[0], "Insuficient memory.");
          ASSERT_FALSE(StopRequested);
          ASSERT_FALSE(MemoryExhausted);
          ASSERT_FALSE(session.host.dialogVisible);
          ASSERT_TRUE(session.text.Visible());
          ASSERT_EQ(CheckTree(session.doc.Root), "") << formula << " n=" << n;
          if (session.doc.Root != nullptr) {
            ASSERT_EQ(TruthTable(session.doc.Root, letters), table) << formula << " n=" << n;
          } else {
            ASSERT_TRUE(parseFailed || command == C::Conjunctive || command == C::Disjunctive ||
                        command == C::MinimalCNF || command == C::MinimalDNF || command == C::Decision);
          }
        }
        ASSERT_EQ(LiveNodeCount(), live) << formula << " n=" << n << ": nodes leaked";
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Commands, FaultInjectionTest,
                         ::testing::Values(C::Compile, C::Conjunctions, C::Implications, C::Disjunctions, C::Literals,
                                           C::Conjunctive, C::Disjunctive, C::MinimalCNF, C::MinimalDNF, C::Decision,
                                           C::TruthTable, C::Model, C::Countermodel, C::Latex),
                         [](const auto& info) { return std::string(CommandName(info.param)); });

}  // namespace
}  // namespace lumenark::testing
