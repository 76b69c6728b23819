// Stop at every point: the host presses Stop at the k-th call of pending-input
// processing, for every k up to the last call of an unstopped run. After each command
// the tree is well formed and equivalent to the input, or discarded where a stop
// discards it; StopRequested is clear; the stop dialog is hidden; nothing leaks.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "formula/NodeAllocator.h"

namespace lumenark::testing {
namespace {

using C = FormulaCommand;

const char* const kStopFormulas[] = {
    "(A|B)&(~A|B)&(A|~B)",
    "A&B|~A&C|~B|~C",
    "(A=B)>~(C&(A|1))",
    "(a>b)&(b>c)>(a>c)",
    "~(A=(B=C))|0",
    "((a&(b|c))&~a)|a|(d&e)",  // multiplied out directly at Details 4
};

bool DiscardsOnStop(C command) {
  return command == C::Conjunctive || command == C::Disjunctive || command == C::MinimalCNF ||
         command == C::MinimalDNF || command == C::Decision;
}

bool ShowsStopDialog(C command) { return DiscardsOnStop(command) || command == C::Evaluate; }

class StopTest : public ::testing::TestWithParam<FormulaCommand> {};

TEST_P(StopTest, EveryStopPointLeavesASoundDocument) {
  const C command = GetParam();
  for (const char* formula : kStopFormulas) {
    const std::string letters = LettersOf(formula);
    const std::vector<bool> table = TruthTableOfText(formula, letters);
    // Every stop point at Details "Nothing"; a sample of them at the levels that report
    // each step, whose printing multiplies the number of points.
    std::uint64_t calls = 0;
    std::uint64_t reportingCalls = 0;
    for (int details : {4, 1}) {
      Session unstopped(formula, {.details = details});
      unstopped.Run(command);
      (details == 4 ? calls : reportingCalls) = unstopped.host.pendingInputCalls;
    }
    const std::uint64_t stride = std::max<std::uint64_t>(1, reportingCalls / 150);
    for (std::uint64_t point = 1; point <= calls + reportingCalls; ++point) {
      const bool reporting = point > calls;
      const std::uint64_t k = reporting ? point - calls : point;
      if (reporting && k % stride != 0) continue;
      const std::size_t live = LiveNodeCount();
      {
        Session session(formula, {.details = reporting ? static_cast<int>(k % 3) : 4});
        session.host.stopAtCall = k;
        session.Run(command);
        ASSERT_FALSE(StopRequested) << formula << " k=" << k;
        ASSERT_TRUE(session.text.Visible());
        if (ShowsStopDialog(command)) {
          ASSERT_FALSE(session.host.dialogVisible) << formula << " k=" << k;
        }
        ASSERT_EQ(CheckTree(session.doc.Root), "") << formula << " k=" << k;
        if (session.doc.Root != nullptr) {
          ASSERT_EQ(TruthTable(session.doc.Root, letters), table) << formula << " k=" << k;
        } else {
          ASSERT_TRUE(DiscardsOnStop(command)) << "only a normal form discards its tree";
        }
        // The document goes on working after the stop.
        session.host.stopAtCall = 0;
        session.text.ReplaceSelection(formula);
        session.text.Select(session.text.Size() - std::string(formula).size(), std::string(formula).size());
        session.Run(command);
        ASSERT_NE(session.doc.Root, nullptr);
        ASSERT_EQ(TruthTable(session.doc.Root, letters), table);
      }
      ASSERT_EQ(LiveNodeCount(), live) << formula << " k=" << k << ": nodes leaked";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(LongCommands, StopTest,
                         ::testing::Values(C::Conjunctions, C::Implications, C::Disjunctions, C::Literals, C::Evaluate,
                                           C::Conjunctive, C::Disjunctive, C::MinimalCNF, C::MinimalDNF, C::Decision,
                                           C::Decompile),
                         [](const auto& info) { return std::string(CommandName(info.param)); });

TEST(StopTest, StopDuringDistributionLeavesNoTreeAndNoResultLine) {
  // 256 clauses: the literal form is printed by the 200th call, the clauses are not
  // all made by then.
  Session session("(a&b)|(c&d)|(e&f)|(g&h)|(i&j)|(k&l)|(m&n)|(o&p)", {.details = 3});
  session.host.stopAtCall = 200;
  session.Run(C::Conjunctive);
  EXPECT_EQ(session.doc.Root, nullptr);
  EXPECT_EQ(Written(session.Text()), "Result - Global conversion to literal form:a&b|c&d|e&f|g&h|i&j|k&l|m&n|o&p\n");
}

TEST(StopTest, StopDuringLiteralFormStillWritesTheResultComment) {
  Session session("(A=B)=(C=D)", {.details = 3});
  session.host.stopAtCall = 3;
  session.Run(C::Literals);
  const std::string written = Written(session.Text());
  EXPECT_EQ(written.rfind("Result - Global conversion to literal form:\n", 0), 0u) << written;
  EXPECT_NE(session.doc.Root, nullptr) << "a stopped conversion keeps its partly converted tree";
}

}  // namespace
}  // namespace lumenark::testing
