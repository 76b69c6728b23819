// lumenark-cli's Stop button: the time limit, SIGINT and SIGTERM. Each stops a long batch
// as Stop stops a window's command, the document is written, and the exit status says
// so; a second signal ends the program at once.

#include <gtest/gtest.h>

#include <string>

#include "CliRunner.h"

namespace lumenark::testing {
namespace {

// A formula of 400,001 letters, converted to conjunctions and back 2,000 times: every
// conversion rewrites every operator, so the batch runs for minutes (in tens of
// megabytes), far past the second these tests wait, however fast one conversion gets.
std::string LongFormula() {
  const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  std::string formula;
  for (int i = 0; i < 400'000; ++i) formula += std::string(1, letters[i % letters.size()]) + "|&"[i % 2];
  return formula + "A";
}

std::string LongBatch() {
  std::string batch = "--no-results compile";
  for (int i = 0; i < 2'000; ++i) batch += " conjunctions disjunctions";
  return batch;
}

// Starts the batch in the background with SIGINT at its default (a shell's background job
// would ignore it), waits until the program catches SIGINT and SIGTERM (their bits in
// /proc's SigCgt) and a second more, sends the signals, and ends with the program's
// status.
std::string SignalScript(const std::string& signals) {
  return "env --default-signal=INT \"$CLI\" " + LongBatch() +
         " < in & pid=$!\n"
         "caught() { m=$(awk '/^SigCgt/ { print substr($2, 13) }' /proc/$pid/status); [ $((0x$m & 0x4002)) -eq 16386 ]; }\n"
         "until caught; do kill -0 $pid || break; sleep 0.01; done\n"
         "sleep 1\n" +
         signals + "\nwait $pid\n";
}

TEST(CliStopTest, TimeLimitAndSignalsPressStop) {
  const std::string formula = LongFormula();
  struct Case {
    std::string script;
    std::string message;
  };
  const Case cases[] = {
      {"exec \"$CLI\" --time-limit 1 " + LongBatch() + " < in", "Stopped after 1 s.\n"},
      {SignalScript("kill -INT $pid"), "Stopped by SIGINT.\n"},
      {SignalScript("kill -TERM $pid"), "Stopped by SIGTERM.\n"},
  };
  for (const Case& c : cases) {
    CliRun run = RunScript(c.script, formula);
    EXPECT_EQ(run.status, 4) << c.message;
    EXPECT_EQ(run.err, c.message);
    EXPECT_TRUE(run.out == formula + "\n") << c.message << "the compiled document, nothing printed after it";
  }
}

TEST(CliStopTest, SecondSignalEndsTheProgramAtOnce) {
  CliRun run = RunScript(SignalScript("kill -INT $pid; kill -TERM $pid"), LongFormula());
  EXPECT_TRUE(run.status == 128 + 2 || run.status == 128 + 15) << run.status << " " << run.err;
}

TEST(CliStopTest, TimeLimitTakesWholeSeconds) {
  for (const char* limit : {"0", "1.5", "-1", "x", "1000000001"}) {
    CliRun run = RunCli({"--time-limit", limit, "-e", "A", "compile"});
    EXPECT_EQ(run.status, 2) << limit;
    EXPECT_NE(run.err.find("--time-limit"), std::string::npos) << limit;
  }
}

}  // namespace
}  // namespace lumenark::testing
