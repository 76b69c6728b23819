// The report output and the formula printer: parentheses, line wrapping, the stop
// dialog's visibility and printing under a stop.

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace lumenark::testing {
namespace {

struct PrintCase {
  const char* formula;  // fully parenthesised input
  const char* printed;
};

class PrinterTest : public ::testing::TestWithParam<PrintCase> {};

TEST_P(PrinterTest, WritesTheFormulaWithMinimalParentheses) {
  EXPECT_EQ(Written(Derive(GetParam().formula, {FormulaCommand::Compile, FormulaCommand::Decompile})),
            std::string(GetParam().printed) + "\n");
}

INSTANTIATE_TEST_SUITE_P(Examples, PrinterTest, ::testing::Values(
    PrintCase{"(A|B)&C", "(A|B)&C"},
    PrintCase{"A>(B>C)", "A>(B>C)"},
    PrintCase{"(A>B)>C", "A>B>C"},
    PrintCase{"A&(B&C)", "A&B&C"},
    PrintCase{"A=(B=C)", "A=B=C"},
    PrintCase{"A>(B|C)", "A>B|C"},
    PrintCase{"A|(B>C)", "A|(B>C)"},
    PrintCase{"(A=B)>C", "(A=B)>C"},
    PrintCase{"A>(B=C)", "A>(B=C)"},
    PrintCase{"~(A&B)=1", "~(A&B)=1"},
    PrintCase{"~A&~(B|C)", "~A&~(B|C)"},
    PrintCase{"(a&(b|c))>~d", "a&(b|c)>~d"},
    PrintCase{"~0", "~0"},
    PrintCase{"~(A>B)>~(C>D)", "~(A>B)>~(C>D)"},
    PrintCase{"(A|B)=(C&D)", "A|B=C&D"}));

TEST(PrinterTest, RightNestedChainReadsBackLeftNested) {
  Session session("A & (B & C)");
  session.Run(FormulaCommand::Compile);
  session.Run(FormulaCommand::Decompile);
  EXPECT_EQ(Written(session.Text()), "A&B&C\n");
  Session again("A&B&C");
  again.Run(FormulaCommand::Compile);
  EXPECT_EQ(Structure(again.doc.Root), "((A&B)&C)");
}

TEST(ReportOutputTest, ShortPiecesFillAtMostWidthMinusOneColumns) {
  std::string chain = "A";
  for (char c = 'B'; c <= 'N'; ++c) chain += std::string("&") + c;
  EXPECT_EQ(Written(Derive(chain, {FormulaCommand::Compile, FormulaCommand::Decompile}, {.width = 21})),
            "A&B&C&D&E&F&G&H&I&J&\nK&L&M&N\n");
}

TEST(ReportOutputTest, HeadingThatReachesTheWidthPushesTheFormulaDown) {
  Session session("A&B", {.width = 21});
  session.Run(FormulaCommand::Compile);
  session.doc.InsertString("Constant evaluation:");
  session.doc.XDecomp();
  EXPECT_EQ(Written(session.Text()), "Constant evaluation:\nA&B\n");
}

TEST(ReportOutputTest, LongTextGetsALineOfItsOwnAndIsNeverSplit) {
  Session session("", {.width = 21});
  session.doc.InsertString(std::string(30, 'x'));
  EXPECT_EQ(session.Text(), "\n" + std::string(30, 'x'));
  EXPECT_EQ(OutputColumn, 30);
  session.doc.InsertString("y");
  EXPECT_EQ(session.Text(), "\n" + std::string(30, 'x') + "\ny");
}

TEST(ReportOutputTest, ColumnIsSixteenBitsAndWraps) {
  Session session("", {.width = 250});
  OutputColumn = 65535;
  session.doc.InsertString("ab");  // a line break first: 2 + 65535 >= 250
  EXPECT_EQ(OutputColumn, 2);
  OutputColumn = 65535;
  session.doc.Text.ReplaceSelection("");
  session.doc.InsertLine();
  EXPECT_EQ(OutputColumn, 0);
}

TEST(ReportOutputTest, NoTreeWritesNothingAndLeavesTheDialogAlone) {
  Session session("");
  session.doc.XDecomp();
  EXPECT_EQ(session.Text(), "");
  EXPECT_TRUE(session.host.dialogChanges.empty());
}

TEST(ReportOutputTest, PrintingShowsTheStopDialogAndRestoresIt) {
  Session session("A|B");
  session.Run(FormulaCommand::Compile);
  session.doc.XDecomp();
  EXPECT_EQ(session.host.dialogChanges, (std::vector<bool>{true, false}));
  session.host.SetStopDialogVisible(true);
  session.host.dialogChanges.clear();
  session.doc.XDecomp();
  EXPECT_EQ(session.host.dialogChanges, (std::vector<bool>{true, true}));
}

TEST(ReportOutputTest, StopBeforePrintingWritesOnlyTheLineBreak) {
  Session session("A|B&C");
  session.Run(FormulaCommand::Compile);
  StopRequested = true;
  session.doc.XDecomp();
  StopRequested = false;
  EXPECT_EQ(Written(session.Text()), "\n");
}

TEST(ReportOutputTest, StopWhilePrintingKeepsWhatWasWritten) {
  Session session("A|B&C");
  session.Run(FormulaCommand::Compile);
  session.host.pendingInputCalls = 0;
  session.host.stopAtCall = 7;  // on entering B: three calls per node, A and '|' done
  session.doc.XDecomp();
  StopRequested = false;
  EXPECT_EQ(Written(session.Text()), "A|\n");
}

TEST(ReportOutputTest, DecompileReplacesTheSelection) {
  Session session("A&(B|C)");
  session.Run(FormulaCommand::Compile);
  session.text.SetSelectionStart(0);
  session.text.SetSelectionLength(7);
  session.Run(FormulaCommand::Decompile);
  EXPECT_EQ(session.Text(), "A&(B|C)\n\n");
}

}  // namespace
}  // namespace lumenark::testing
