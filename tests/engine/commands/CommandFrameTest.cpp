// The frame every Formula command runs in: compiling a selection, working on the
// current tree without one, hiding the text while results are off, and the stop
// dialog's visibility around each command.

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace lumenark::testing {
namespace {

using C = FormulaCommand;

TEST(CommandFrameTest, WithoutSelectionOrTreeNothingHappens) {
  for (C command : {C::Conjunctions, C::Implications, C::Disjunctions, C::Literals, C::Evaluate, C::Conjunctive,
                    C::Disjunctive, C::MinimalCNF, C::MinimalDNF, C::Decision, C::Decompile}) {
    Session session("A|B", {.details = 3});
    session.text.Select(3, 0);
    EXPECT_EQ(session.Run(command), "A|B") << CommandName(command);
    EXPECT_TRUE(session.host.messages.empty());
    EXPECT_TRUE(session.host.dialogChanges.empty()) << "no stop dialog without a tree";
    EXPECT_TRUE(session.text.Visible());
  }
}

TEST(CommandFrameTest, CommandsChainOnTheCurrentTree) {
  Session session("A>B");
  session.Run(C::Literals);
  session.Run(C::Implications);
  EXPECT_EQ(Written(session.Text()), "~A|B\nA>B\n");
  session.Run(C::Conjunctive);
  session.Run(C::Conjunctive);
  EXPECT_EQ(Written(session.Text()), "~A|B\nA>B\n~A|B\n~A|B\n");
}

TEST(CommandFrameTest, MinimisesAnExistingNormalForm) {
  Session session("(A|B)&(~A|B)&(A|~B)");
  session.Run(C::Compile);
  session.Run(C::MinimalCNF);
  EXPECT_EQ(Written(session.Text()), "A&B\n");
}

TEST(CommandFrameTest, ResultsOffHidesTheTextWhileTheCommandRuns) {
  Session session("A|B&C", {.results = false});
  session.Run(C::Conjunctive);
  EXPECT_EQ(session.text.visibilityChanges, (std::vector<bool>{false, true}));
  EXPECT_EQ(Written(session.Text()), "");
  Session on("A|B&C");
  on.Run(C::Conjunctive);
  EXPECT_EQ(on.text.visibilityChanges, (std::vector<bool>{true}));
}

TEST(CommandFrameTest, FailedCompileShowsTheMessageRunsNothingAndShowsTheText) {
  Session session("A|B");
  session.Run(C::Compile);
  session.text.ReplaceSelection("A&");
  session.text.Select(session.text.Size() - 2, 2);
  session.doc.ShowResults = false;
  session.Run(C::MinimalCNF);
  EXPECT_EQ(session.host.messages, std::vector<std::string>{"Missing expression."});
  EXPECT_EQ(session.text.visibilityChanges, (std::vector<bool>{false, true}));
  EXPECT_TRUE(session.host.dialogChanges.empty()) << "the stop dialog is not shown";
  EXPECT_EQ(Structure(session.doc.Root), "(A|B)") << "the old tree stays";
}

// The order of the stop dialog's visibility changes: the command's own show and hide
// and, between them or after them, the printer's show and restore.
TEST(CommandFrameTest, StopDialogAroundTheLongCommands) {
  struct Case {
    C command;
    std::vector<bool> changes;
  };
  for (const Case& c : {Case{C::Conjunctive, {true, false, true, false}},
                        Case{C::Disjunctive, {true, false, true, false}},
                        Case{C::MinimalCNF, {true, true, true, false}},
                        Case{C::MinimalDNF, {true, true, true, false}},
                        Case{C::Evaluate, {true, true, true, false}},
                        Case{C::Decision, {true, true, true, false}},
                        Case{C::Literals, {true, false}},
                        Case{C::Decompile, {true, false}}}) {
    Session session("A|B&C");
    if (c.command == C::Decompile) session.Run(C::Compile);
    session.host.dialogChanges.clear();
    session.Run(c.command);
    EXPECT_EQ(session.host.dialogChanges, c.changes) << CommandName(c.command);
    EXPECT_FALSE(session.host.dialogVisible);
  }
}

TEST(CommandFrameTest, DecisionWritesItsVerdictWithResultsOff) {
  Session session("(A|B)&~A", {.results = false});
  EXPECT_EQ(Written(session.Run(C::Decision)), "This formula is consistent.Its models can be expressed as DNF:\n~A&B\n");
  EXPECT_EQ(Structure(session.doc.Root), "(~A&B)");
}

TEST(CommandFrameTest, StopRequestedIsClearAfterEveryCommand) {
  for (C command : {C::Conjunctions, C::Evaluate, C::Conjunctive, C::MinimalDNF, C::Decision}) {
    Session session("A=B");
    StopRequested = true;  // a click on Stop that came too late
    session.Run(command);
    EXPECT_FALSE(StopRequested) << CommandName(command);
  }
}

TEST(CommandFrameTest, StopDuringMinimalCnfDiscardsTheTree) {
  Session session("(a|b)&(c|d)&(e|f)>(a&c|b&d)");
  session.host.stopAtCall = 40;
  session.Run(C::MinimalCNF);
  EXPECT_EQ(session.doc.Root, nullptr);
  EXPECT_EQ(Written(session.Text()), "") << "no result line";
  session.host.stopAtCall = 0;
  session.Run(C::MinimalCNF);
  EXPECT_EQ(Written(session.Text()), "") << "no tree: the command does nothing";
}

TEST(CommandFrameTest, OverviewRequest) {
  EXPECT_EQ(Derive("A|B&C", {C::Conjunctive}, {.details = 3}),
            "A|B&C\n"
            "Result - Global conversion to literal form:A|B&C\n"
            "Result - Conversion to CNF:(A|B)&(A|C)\n"
            "(A|B)&(A|C)\n");
}

}  // namespace
}  // namespace lumenark::testing
