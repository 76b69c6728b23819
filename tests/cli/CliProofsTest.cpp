// lumenark-cli's proofs and checks: equivalence of the document's first two lines,
// DIMACS written with `dimacs` and read with --dimacs FILE, and every way a file can be
// wrong, up to a million clauses.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "CliRunner.h"

namespace lumenark::testing {
namespace {

TEST(CliProofsTest, TableauAndEquivalenceOfTheFirstTwoLines) {
  CliRun run = RunCli({"-e", "A|B>B|A", "tableau"});
  EXPECT_EQ(run.out, "A|B>B|A\nAll branches close: the formula is valid.\n");
  EXPECT_EQ(run.status, 0);
  // The first two lines; the third is a note. The tree is then the second formula.
  run = RunCli({"equivalence", "tableau"}, "~(A|B)\n~A|~B\nnote: De Morgan?");
  EXPECT_EQ(run.out, "~(A|B)\n~A|~B\nThese formulas are not equivalent.\nFirst difference: A=0 B=1\n"
                     "Values: first formula 0, second formula 1.\nA branch stays open: the formula is not valid.\n"
                     "Countermodel: A=1 B=1\n\nnote: De Morgan?");
  EXPECT_EQ(run.status, 0);
  run = RunCli({"equivalence"}, "A>B");
  EXPECT_EQ(run.err, "Select two formulas, one on each line.\n");
  EXPECT_EQ(run.status, 1);
}

// A tableau that branches at every '=' of eighteen letters ends at the time limit (it
// takes seconds and more than a gigabyte to finish).
TEST(CliProofsTest, TimeLimitEndsTheTableau) {
  const std::string formula = "(A=B=C=D=E=F=G=H=I=J=K=L=M=N=O=P=Q=R)=(R=Q=P=O=N=M=L=K=J=I=H=G=F=E=D=C=B=A)";
  CliRun run = RunCli({"--time-limit", "1", "--details", "1", "-e", formula, "tableau"});
  EXPECT_EQ(run.status, 4);
  EXPECT_EQ(run.err, "Stopped after 1 s.\n");
  EXPECT_EQ(run.out, formula + "\n");
}

TEST(CliProofsTest, DimacsOutAndBackIn) {
  CliRun run = RunScript("\"$CLI\" dimacs < in | tail -n +2 > f.cnf && exec \"$CLI\" --dimacs f.cnf decision",
                         "(A=B)&(B>~c)");
  EXPECT_EQ(run.out, "(~A|B)&(A|~B)&(~B|~c)\nThis formula is consistent.Its models can be expressed as DNF:\n"
                     "~A&~B|A&B&~c\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 0);
  // Alone, the formula is the document, on a line of its own; long ones break within --width.
  run = RunScript("printf 'p cnf 30 1\\n1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 0\\n' > f.cnf; "
                  "exec \"$CLI\" --width 21 --dimacs f.cnf");
  EXPECT_EQ(run.out, "A|B|C|D|E|F|G|H|I|J\n|K|L|M|N|O|P|Q|R|S|T\n");
  EXPECT_EQ(run.status, 0);
}

// A stop while the file is read ends the reading, as it ends reading standard input: the
// file comes from a pipe that stays open, and SIGINT is sent once the program catches it.
TEST(CliProofsTest, StopWhileTheFileIsRead) {
  const CliRun run = RunScript(
      "mkfifo f.cnf\n"
      "env --default-signal=INT \"$CLI\" --dimacs f.cnf dimacs > doc 2> messages & pid=$!\n"
      "caught() { m=$(awk '/^SigCgt/ { print substr($2, 13) }' /proc/$pid/status); [ $((0x$m & 0x4002)) -eq 16386 ]; }\n"
      "until caught; do kill -0 $pid || break; sleep 0.01; done\n"
      "exec 3> f.cnf\n"
      "printf 'p cnf 2 1\\n1 ' >&3\n"
      "kill -INT $pid\n"
      "exec 3>&-\n"
      "wait $pid; echo \"status=$?\"; cat messages doc");
  EXPECT_EQ(run.out, "status=4\nStopped by SIGINT.\n");
}

// A stop while the DIMACS of a million clauses is made or written leaves it whole or
// takes it out: a solver never gets a file cut short.
TEST(CliProofsTest, StoppedDimacsIsWholeOrAbsent) {
  const CliRun run = RunScript(
      "awk 'BEGIN { srand(3); print \"p cnf 52 1000000\"; for (i = 0; i < 1000000; i++) "
      "print int(rand() * 52) + 1, -int(rand() * 52) - 1, int(rand() * 52) + 1, 0 }' > f.cnf\n"
      "\"$CLI\" --memory-limit 2G --time-limit 2 --dimacs f.cnf dimacs > doc 2> messages; echo \"status=$?\"\n"
      "awk '/^p cnf/ { header = $4; next } header != \"\" && /(^| )0$/ { clauses++ }"
      "     END { print header == \"\" ? \"absent\" : clauses == header ? \"whole\" : \"cut\" }' doc\n"
      "tail -c 1 doc | od -An -c; cat messages");
  // Stopped (while the file was read, made or written), or not: never cut short.
  EXPECT_TRUE((run.out.starts_with("status=4\nabsent\n") && run.out.ends_with("\nStopped after 2 s.\n")) ||
              run.out == "status=0\nwhole\n  \\n\n")
      << run.out;
}

TEST(CliProofsTest, EveryWrongFileEndsInAMessage) {
  struct Case {
    const char* script;
    int status;
    const char* err;
  };
  const Case cases[] = {
      {"printf 'p cnf 60 1\\n1 0\\n' > f.cnf; exec \"$CLI\" --dimacs f.cnf decision", 1,
       "f.cnf: Line 1: the file has 60 variables; a formula has at most 52 letters.\n"},
      {"printf 'p cnf 2 1\\n1 2\\n' > f.cnf; exec \"$CLI\" --dimacs f.cnf", 1,
       "f.cnf: Line 2: the last clause does not end with 0.\n"},
      {"exec \"$CLI\" --dimacs missing.cnf", 3, "lumenark-cli: cannot read missing.cnf: No such file or directory\n"},
      {"exec \"$CLI\" --dimacs .", 3, "lumenark-cli: cannot read .: Is a directory\n"},
      {"exec \"$CLI\" --dimacs f.cnf -e A compile", 2, nullptr},
      {"exec \"$CLI\" --dimacs", 2, nullptr},
      // A million clauses: one too many for the header, or past the memory limit.
      {"awk 'BEGIN { print \"p cnf 52 999999\"; for (i = 0; i < 1000000; i++) print (i % 52) + 1, -((i * 7) % 52) - 1, 0 }' "
       "> f.cnf; exec \"$CLI\" --dimacs f.cnf", 1, "f.cnf: Line 1000001: more clauses than the header's 999999 clauses.\n"},
      {"awk 'BEGIN { print \"p cnf 52 1000000\"; for (i = 0; i < 1000000; i++) print (i % 52) + 1, -((i * 7) % 52) - 1, 0 }' "
       "> f.cnf; exec \"$CLI\" --memory-limit 8M --dimacs f.cnf", 1,
       "Insuficient memory.\nThe limit is 8 MiB, as set; set another with LUMENARK_MEMORY_LIMIT or lumenark-cli --memory-limit.\n"},
  };
  for (const Case& c : cases) {
    CliRun run = RunScript(c.script);
    EXPECT_EQ(run.status, c.status) << c.script;
    EXPECT_EQ(run.out, "") << c.script;
    if (c.err != nullptr) {
      EXPECT_EQ(run.err, c.err) << c.script;
    } else {
      EXPECT_NE(run.err.find("usage: lumenark-cli"), std::string::npos) << c.script;
    }
  }
  // Within the budget, a million clauses make a formula of 9 MB.
  CliRun run = RunScript(
      "awk 'BEGIN { print \"p cnf 52 1000000\"; for (i = 0; i < 1000000; i++) print (i % 52) + 1, -((i * 7) % 52) - 1, 0 }' "
      "> f.cnf; exec \"$CLI\" --dimacs f.cnf");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(run.out.starts_with("(A|~A)&(B|~H)&(C|~O)&")) << run.out.substr(0, 100);
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '&'), 999999);
}

}  // namespace
}  // namespace lumenark::testing
