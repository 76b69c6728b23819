// lumenark-cli end to end: the command-line contract, byte for byte.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CliRunner.h"
#include "Version.h"
#include "commands/CommandFrame.h"

namespace lumenark::testing {
namespace {

TEST(CliTest, CompileAndDecompile) {
  CliRun run = RunCli({"-e", "A|B&C", "compile", "decompile"});
  EXPECT_EQ(run.out, "A|B&C\nA|B&C\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 0);
}

TEST(CliTest, TreeOfTheWorkedExample) {
  CliRun run = RunCli({"-e", "~(A&B)=1", "tree"});
  EXPECT_EQ(run.out, "~(A&B)=1\n    =\n __/ \\\n~    1\n \\\n  &\n / \\\n A B\n\n");
  EXPECT_EQ(run.status, 0);
}

TEST(CliTest, SyntaxErrorStopsTheCommandsAndStillWritesTheDocument) {
  CliRun run = RunCli({"-e", "A B", "compile", "cnf"});
  EXPECT_EQ(run.out, "A B");
  EXPECT_EQ(run.err, "Missing operator.\n");
  EXPECT_EQ(run.status, 1);
}

TEST(CliTest, MacrostepsOfAConjunctiveNormalForm) {
  CliRun run = RunCli({"--details", "3", "-e", "A|B&C", "cnf"});
  EXPECT_EQ(run.out,
            "A|B&C\n"
            "Result - Global conversion to literal form:A|B&C\n"
            "Result - Conversion to CNF:(A|B)&(A|C)\n"
            "(A|B)&(A|C)\n");
}

TEST(CliTest, CommandsChainOnTheCurrentTree) {
  CliRun run = RunCli({"--no-results", "compile", "mincnf", "decompile", "decision"}, "(A|B)&(~A|B)");
  EXPECT_EQ(run.out, "(A|B)&(~A|B)\nB\nThis formula is consistent.Its models can be expressed as DNF:\nB\n");
  EXPECT_EQ(run.status, 0);
}

TEST(CliTest, StandardInputLineBreaksAndCrLfOutput) {
  CliRun run = RunCli({"--crlf", "compile"}, "A\rB\n&C");  // selection spans three lines
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Missing operator.\n");
  EXPECT_EQ(run.out, "A\r\nB\r\n&C");
  run = RunCli({"--width", "21", "compile", "literals"}, "A=B");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "A=B\n(~A|B)&(~B|A)\n");
}

// Only the first command finds the document selected, whether or not it wrote anything.
TEST(CliTest, LaterCommandsRunWithNothingSelected) {
  for (const char* first : {"compile", "decompile"}) {
    CliRun run = RunCli({"-e", "A", first, "compile"});
    EXPECT_EQ(run.err, "No selected text.\n") << first;
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, first == std::string("compile") ? "A\n" : "A");
  }
  CliRun run = RunCli({"-e", "A>B", "decompile", "implications", "dnf"});
  EXPECT_EQ(run.out, "A>B");
  EXPECT_EQ(run.status, 0);
}

// One rule for every command with nothing to work on (an empty document, or nothing
// compiled before it): the commands that read their formulas from the selection say so,
// every other does nothing and says nothing. A later tree draws the current tree.
TEST(CliTest, NothingToWorkOnOneRuleForEveryCommand) {
  for (int c = 0; c <= static_cast<int>(FormulaCommand::Dimacs); ++c) {
    const std::string command(CommandName(static_cast<FormulaCommand>(c)));
    const bool readsTheSelection = command == "compile" || command == "tree" || command == "equivalence";
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"-e", "", command}, std::vector<std::string>{"-e", "A", "decompile", command}}) {
      const CliRun run = RunCli(arguments);
      const bool later = arguments.size() == 4;
      // Equivalence selects the document's first two lines wherever it comes.
      const bool message = readsTheSelection && !(later && command == "tree");
      const std::string expected = !message ? "" : later && command == "equivalence" ? "Select two formulas, one on each line.\n"
                                                                                       : "No selected text.\n";
      EXPECT_EQ(run.err, expected) << command << (later ? " later" : "");
      EXPECT_EQ(run.status, message ? 1 : 0) << command;
      EXPECT_EQ(run.out, arguments[1]) << command;
    }
  }
  const CliRun run = RunCli({"-e", "A>B", "truthtable", "tree"});
  EXPECT_EQ(run.out, "A>B\nA B  A>B\n0 0   1\n0 1   1\n1 0   0\n1 1   1\n >\n/ \\\nA B\n\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 0);
}

TEST(CliTest, UsageErrorsWriteNothingToStandardOutput) {
  for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
           {}, {"-e", "A"}, {"frobnicate"}, {"--details", "5", "compile"}, {"--width", "20", "compile"},
           {"--width", "251", "compile"}, {"--details"}, {"--colour", "compile"}, {"-e"}, {"--width", "7x", "cnf"},
           {"--version=2"}}) {
    CliRun run = RunCli(arguments, "A");
    EXPECT_EQ(run.status, 2) << arguments.size();
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("usage: lumenark-cli"), std::string::npos);
  }
  CliRun help = RunCli({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("usage: lumenark-cli"), std::string::npos);
  CliRun version = RunCli({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("lumenark-cli ") + kLumenarkVersion + "\n");
}

TEST(CliTest, EveryCommandRuns) {
  struct Case {
    const char* command;
    const char* result;
  };
  for (const Case& c : {Case{"conjunctions", "~(A&~B)"}, Case{"implications", "A>B"}, Case{"disjunctions", "~A|B"},
                        Case{"literals", "~A|B"}, Case{"evaluate", "A>B"}, Case{"cnf", "~A|B"},
                        Case{"dnf", "~A|B"}, Case{"mincnf", "~A|B"}, Case{"mindnf", "~A|B"}}) {
    CliRun run = RunCli({"-e", "A>B", c.command});
    EXPECT_EQ(run.out, std::string("A>B\n") + c.result + "\n") << c.command;
    EXPECT_EQ(run.status, 0);
  }
}

TEST(CliTest, MillionCharacterChainCompilesAndPrints) {
  std::string chain = "A";
  while (chain.size() < 1'000'000) chain += "&A";
  CliRun run = RunCli({"--width", "250", "compile", "decompile"}, chain);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  std::string printed = run.out.substr(chain.size() + 1);
  std::erase(printed, '\n');
  EXPECT_EQ(printed, chain);
}

}  // namespace
}  // namespace lumenark::testing
