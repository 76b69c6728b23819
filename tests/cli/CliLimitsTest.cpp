// lumenark-cli at the machine's limits: the memory budget, a limited address space, and
// standard input and output that fail. Each case ends with a message and an exit status,
// never with a signal.

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "CliRunner.h"
#include "runtime/AddressSanitizer.h"
#include "text/LineBreaks.h"

namespace lumenark::testing {
namespace {

// A=B=C=...=T=A=...: every equivalence copies both sides, so any rewriting of it grows
// exponentially.
std::string EquivalenceChain() {
  std::string chain = "A";
  for (int i = 1; i <= 400; ++i) chain += std::string("=") + static_cast<char>('A' + i % 20);
  return chain;
}

// A&a|B&b|... (or (A|a)&(B|b)&...): its CNF (DNF) has 2^26 clauses.
std::string Pairs(char inner, char outer) {
  std::string pairs;
  for (int i = 0; i < 26; ++i) {
    if (i > 0) pairs += outer;
    const std::string pair = std::string(1, static_cast<char>('A' + i)) + inner + static_cast<char>('a' + i);
    pairs += outer == '&' ? "(" + pair + ")" : pair;
  }
  return pairs;
}

// (A&B)|(C&D)|..., n terms: its CNF has 2^n clauses. With 24 terms they cannot be held
// within 64 MiB, and the conversion says so before it starts; with 14 they can, but
// their derivation at Details 0 to 2 is gigabytes of text.
std::string DisjointPairs(int n) {
  const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  std::string pairs;
  for (int i = 0; i < n; ++i) pairs += std::string(i > 0 ? "|(" : "(") + letters[2 * i] + '&' + letters[2 * i + 1] + ')';
  return pairs;
}
std::string TwentyFourPairs() { return DisjointPairs(24); }

// The message at a limit given on the command line or in the environment: the limit
// and how to set another, below the first line.
std::string MemoryMessage(const std::string& limit) {
  return "Insuficient memory.\nThe limit is " + limit +
         ", as set; set another with LUMENARK_MEMORY_LIMIT or lumenark-cli --memory-limit.\n";
}
const std::string kAt64M = MemoryMessage("64 MiB");

// The message at the machine's own limit, whatever it was: what the system can spare,
// or what a limit of the process leaves.
bool IsMachineMemoryMessage(const std::string& err) {
  static const std::regex message(
      "Insuficient memory\\.\nThe limit is [0-9.]+ (bytes|KiB|MiB|GiB|TiB), (what the system can spare; "
      "set another with LUMENARK_MEMORY_LIMIT or lumenark-cli --memory-limit|what the address-space limit \\(ulimit -v\\) "
      "leaves; raise that limit for more)\\.\n");
  return std::regex_match(err, message);
}

constexpr long kBudgetKilobytes = 64 * 1024;
// The program itself, its libraries and its stacks, which the budget does not count.
constexpr long kSlackKilobytes = 16 * 1024;
#ifdef LUMENARK_ASAN
// The sanitizer's own besides: its runtime, and the shadow of what the budget counts.
constexpr long kPeakSlackKilobytes = kSlackKilobytes + kBudgetKilobytes / 8;
#else
constexpr long kPeakSlackKilobytes = kSlackKilobytes;
#endif

void ExpectEndsAtTheBudget(const CliRun& run, const std::string& what) {
  if (what == "decision") {
    // The decision knows that the formula is consistent, and says so below the limit.
    EXPECT_EQ(run.err.rfind(kAt64M + "This formula is consistent (a model: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("), but rewriting it into its minimal DNF needs more memory than the limit.\n"),
              std::string::npos)
        << run.err;
  } else {
    EXPECT_EQ(run.err, kAt64M) << what;
  }
  EXPECT_EQ(run.status, 1) << what;  // a leak would end it with the sanitizer's status instead
#ifndef LUMENARK_ASAN  // the sanitizer's shadow memory and quarantine are not the program's
  EXPECT_LT(run.peakKilobytes, kBudgetKilobytes + kSlackKilobytes) << what;
#endif
}

TEST(CliLimitsTest, LongCommandsEndAtTheMemoryBudget) {
  const std::string chain = EquivalenceChain();
  for (const char* command :
       {"implications", "conjunctions", "disjunctions", "literals", "cnf", "dnf", "mincnf", "mindnf", "decision"}) {
    ExpectEndsAtTheBudget(RunCli({"--memory-limit", "64M", command}, chain), command);
  }
  // Past the literal form, in the distribution.
  for (const char* command : {"cnf", "mincnf"}) {
    ExpectEndsAtTheBudget(RunCli({"--memory-limit", "64M", command}, Pairs('&', '|')), command);
  }
  for (const char* command : {"dnf", "mindnf", "decision"}) {
    ExpectEndsAtTheBudget(RunCli({"--memory-limit", "64M", command}, Pairs('|', '&')), command);
  }
  ExpectEndsAtTheBudget(RunScript("LUMENARK_MEMORY_LIMIT=64M exec \"$CLI\" literals < in", chain), "environment");
  // A small formula still fits, and the budget is taken afresh for every command.
  CliRun small = RunCli({"--memory-limit", "64M", "compile", "mindnf", "decision"}, "A=B=C");
  EXPECT_EQ(small.status, 0);
  EXPECT_EQ(small.err, "");
}

// lumenark-cli with the arguments, its peak measured by /usr/bin/time, which runs it as
// a child of its own: a process forked from this one counts this one's pages in its peak
// until it execs, and under the sanitizer those are hundreds of megabytes. The
// sanitizer's quarantine of freed blocks is not the program's memory; the run does
// without it.
CliRun RunMeasured(const std::string& arguments, const std::string& input) {
  CliRun run = RunScript("ASAN_OPTIONS=\"$ASAN_OPTIONS:quarantine_size_mb=0\" /usr/bin/time -q -f %M -o peak \"$CLI\" " +
                             arguments + " < in; status=$?; tail -n 1 peak >&2; exit $status",
                         input);
  const std::size_t lastLine = run.err.find_last_of('\n', run.err.size() - 2) + 1;  // npos + 1 is 0
  run.peakKilobytes = std::stol(run.err.substr(lastLine));
  run.err.resize(lastLine);
  return run;
}

// The text of a derivation counts as its nodes do, and writing the document out, with
// either kind of line break, copies nothing whole: the peak stays within the budget at
// every Details level.
TEST(CliLimitsTest, PeakStaysWithinTheBudgetAtEveryDetailsLevel) {
  const std::string pairs = TwentyFourPairs();
  for (const char* details : {"0", "1", "2", "3", "4"}) {
    for (const char* breaks : {"--results", "--crlf"}) {
      const std::string what = std::string("--details ") + details + " " + breaks;
      CliRun run = RunMeasured("--memory-limit 64M " + what + " cnf", pairs);
      EXPECT_EQ(run.err, kAt64M) << what;
      EXPECT_EQ(run.status, 1) << what;
      EXPECT_LT(run.peakKilobytes, kBudgetKilobytes + kPeakSlackKilobytes) << what;
    }
  }
}

// Large documents, at every Details level: equivalence of two lines of 4.75 MB each and
// the DIMACS of a million clauses end at the budget, and the process never passes it by
// more than 4 MiB (the program's own code and libraries count against it too).
TEST(CliLimitsTest, LargeDocumentsStayWithinTheBudget) {
  std::string line;
  for (int i = 0; line.size() < 4'750'000; ++i) line += std::string(i ? "&(" : "(") + "ABCDEFGH"[i % 8] + "|" + "abcdefgh"[i % 7] + ")";
  const std::string twoLines = line + "\n" + line + "\n";
  const std::string dimacs =
      "awk 'BEGIN { srand(5); print \"p cnf 52 1000000\"; for (i = 0; i < 1000000; i++) "
      "print int(rand() * 52) + 1, -int(rand() * 52) - 1, int(rand() * 52) + 1, 0 }' > f.cnf; ";
  for (const char* details : {"0", "2", "4"}) {
    struct Case {
      std::string script, input;
    };
    const Case cases[] = {
        {std::string("--memory-limit 64M --details ") + details + " equivalence", twoLines},
        {std::string("--memory-limit 64M --details ") + details + " --dimacs f.cnf dimacs", ""},
    };
    for (const Case& c : cases) {
      CliRun run = RunScript(dimacs + "ASAN_OPTIONS=\"$ASAN_OPTIONS:quarantine_size_mb=0\" /usr/bin/time -q -f %M -o peak \"$CLI\" " +
                                 c.script + " < in > /dev/null; status=$?; tail -n 1 peak >&2; exit $status",
                             c.input);
      const std::size_t lastLine = run.err.find_last_of('\n', run.err.size() - 2) + 1;
      const long peak = std::stol(run.err.substr(lastLine));
      run.err.resize(lastLine);
      EXPECT_EQ(run.err, kAt64M) << c.script;
      EXPECT_EQ(run.status, 1) << c.script;
#ifndef LUMENARK_ASAN  // the sanitizer's shadow memory is not the program's
      EXPECT_LT(peak, kBudgetKilobytes + 4 * 1024) << c.script;
#endif
    }
  }
}

// The minimum forms of a 20-letter parity (512K prime implicants, each a minterm) end at
// the budget with the process at most 4 MB above it: the steps' lists and the search's
// matrices give their memory back before the result's nodes are taken.
TEST(CliLimitsTest, MinimumFormsPeakWithinFourMegabytesOfTheBudget) {
  for (const char* command : {"minimumdnf", "minimumcnf"}) {
    for (const char* details : {"0", "4"}) {
      const std::string what = std::string(command) + " at Details " + details;
      CliRun run = RunMeasured(std::string("--memory-limit 64M --details ") + details + " " + command,
                               "A=B=C=D=E=F=G=H=I=J=K=L=M=N=O=P=Q=R=S=T");
      EXPECT_EQ(run.err, kAt64M) << what;
      EXPECT_EQ(run.status, 1) << what;
#ifndef LUMENARK_ASAN
      EXPECT_LT(run.peakKilobytes, kBudgetKilobytes + 4 * 1024) << what;
#endif
    }
  }
}

// When memory runs out, the document is written as the stopped command leaves it: whole,
// once, with one message, in either kind of line break.
TEST(CliLimitsTest, DocumentIsWrittenOnceWhenMemoryRunsOut) {
  const std::string pairs = DisjointPairs(14);
  CliRun lf = RunCli({"--memory-limit", "64M", "--details", "1", "cnf"}, pairs);
  CliRun crlf = RunCli({"--memory-limit", "64M", "--details", "1", "--crlf", "cnf"}, pairs);
  for (const CliRun* run : {&lf, &crlf}) {
    EXPECT_EQ(run->err, kAt64M);
    EXPECT_EQ(run->status, 1);
  }
  EXPECT_EQ(lf.out.rfind(pairs + "\n", 0), 0u);
  EXPECT_NE(lf.out.find("Distribution:"), std::string::npos);
  EXPECT_GT(lf.out.size(), std::size_t{16} << 20);
  EXPECT_TRUE(lf.out == CrLfToLf(crlf.out)) << "the same document in both forms";
#ifndef LUMENARK_ASAN  // the sanitizer's shadow memory does not fit under such a limit
  // The budget names more than the address space allows: allocation itself fails.
  for (const char* breaks : {"--results", "--crlf"}) {
    CliRun run = RunScript(std::string("ulimit -v 300000; exec \"$CLI\" --memory-limit 2G --details 1 ") + breaks +
                               " cnf < in",
                           pairs);
    // The message names the limit that bound: the address space, not the 2 GiB set.
    static const std::regex bound(
        "Insuficient memory\\.\nThe limit is [0-9.]+ MiB, what the address-space limit \\(ulimit -v\\) leaves "
        "\\(2 GiB was set\\); raise that limit for more\\.\n");
    EXPECT_TRUE(std::regex_match(run.err, bound)) << breaks << ": " << run.err;
    EXPECT_EQ(run.status, 1) << breaks;
    EXPECT_EQ(run.out.rfind(pairs + (breaks == std::string("--crlf") ? "\r\n" : "\n"), 0), 0u) << breaks;
    EXPECT_GT(run.out.size(), std::size_t{16} << 20) << breaks;
  }
#endif
}

// A chain a million letters long: the conversions recurse a million levels deep on the
// engine stack before the budget ends them, and what is thrown there unwinds cleanly
// (in the sanitizer's build too, which must see the engine stack's extent for that).
TEST(CliLimitsTest, MillionLetterChainEndsAtTheBudget) {
  const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  std::string chain = "A";
  for (int i = 1; i < 1'000'000; ++i) chain += std::string("|") + letters[i % letters.size()];
  for (const char* command : {"cnf", "mincnf", "mindnf"}) {
    CliRun run = RunCli({"--memory-limit", "128M", command}, chain);
    EXPECT_EQ(run.err, MemoryMessage("128 MiB")) << command;
    EXPECT_EQ(run.status, 1) << command;
    EXPECT_TRUE(run.out == chain + "\n") << command;
  }
}

TEST(CliLimitsTest, StandardInputIsReadWithinTheBudget) {
  ExpectEndsAtTheBudget(RunScript("exec \"$CLI\" --memory-limit 64M cnf < /dev/zero"), "/dev/zero");
  CliRun bad = RunCli({"--memory-limit", "12Q", "cnf"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("--memory-limit"), std::string::npos);
}

// A limit in the environment that is no size is a usage error naming the variable, as
// one on the command line is; --memory-limit, which the variable stands in for, wins.
TEST(CliLimitsTest, BadLimitInTheEnvironmentIsAUsageError) {
  for (const char* value : {"abc", "0", "-5", "99999999999G", "12Q", ""}) {
    CliRun run = RunScript(std::string("LUMENARK_MEMORY_LIMIT=") + Quote(value) + " exec \"$CLI\" -e A cnf");
    EXPECT_EQ(run.status, 2) << value;
    EXPECT_EQ(run.err, std::string("lumenark-cli: The environment variable LUMENARK_MEMORY_LIMIT is \"") + value +
                           "\", not a size such as 512M or 2G.\n")
        << value;
    EXPECT_EQ(run.out, "") << value;
    CliRun overridden = RunScript(std::string("LUMENARK_MEMORY_LIMIT=") + Quote(value) +
                                  " exec \"$CLI\" --memory-limit 64M -e A cnf");
    EXPECT_EQ(overridden.status, 0) << value;
    EXPECT_EQ(overridden.out, "A\nA\n") << value;
  }
  CliRun good = RunScript("LUMENARK_MEMORY_LIMIT=64M exec \"$CLI\" -e A cnf");
  EXPECT_EQ(good.status, 0);
  EXPECT_EQ(good.err, "");
}

TEST(CliLimitsTest, UnreadableInputIsAnInputError) {
  for (const char* redirect : {"< /", "<&-"}) {
    CliRun run = RunScript(std::string("exec \"$CLI\" decision ") + redirect);
    EXPECT_EQ(run.status, 3) << redirect;
    EXPECT_NE(run.err.find("lumenark-cli: cannot read standard input: "), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
}

TEST(CliLimitsTest, UnwritableOutputIsAnOutputError) {
  for (const char* redirect : {"> /dev/full", ">&-"}) {
    CliRun run = RunScript(std::string("exec \"$CLI\" -e 'A|B' cnf ") + redirect);
    EXPECT_EQ(run.status, 3) << redirect;
    EXPECT_NE(run.err.find("lumenark-cli: "), std::string::npos) << run.err;
  }
  // A reader that stops early: the pipe breaks while two megabytes are still to come.
  std::string chain = "A";
  while (chain.size() < 1'000'000) chain += "&A";
  CliRun run = RunScript("(\"$CLI\" compile decompile < in; echo $? > status) | head -c1 > /dev/null; cat status", chain);
  EXPECT_EQ(run.out, "3\n");
  EXPECT_NE(run.err.find("cannot write standard output: Broken pipe"), std::string::npos) << run.err;
}

#ifndef LUMENARK_ASAN  // the sanitizer's shadow memory does not fit under such a limit
// A million levels of nesting under a limited address space: the engine stack takes what
// the limit allows; deep as the input is, it either fits or ends as exhausted memory.
TEST(CliLimitsTest, DeepInputUnderALimitedAddressSpace) {
  const std::string nested = std::string(1'000'000, '(') + "A" + std::string(1'000'000, ')');
  std::string chain = "A";
  for (int i = 1; i < 1'000'000; ++i) chain += "&A";
  auto run = [](const char* limit, const char* command, const std::string& input) {
    return RunScript(std::string("ulimit -v ") + limit + "; exec \"$CLI\" " + command + " < in", input);
  };
  CliRun fits = run("6000000", "compile", nested);
  EXPECT_EQ(fits.status, 0);
  EXPECT_TRUE(fits.out == nested + "\n");
  fits = run("6000000", "cnf", chain);
  EXPECT_EQ(fits.status, 0);
  EXPECT_TRUE(fits.out == chain + "\nA\n");
  fits = run("400000", "compile decompile", chain);  // compiled without recursion, printed deep
  EXPECT_TRUE(fits.status == 0 || IsMachineMemoryMessage(fits.err)) << fits.status << fits.err;
  // The parser and the printer keep stacks of their own: the nested input needs no deep
  // engine stack and fits where the chain's CNF, which recurses, runs out.
  CliRun tight = run("200000", "compile", nested);
  EXPECT_EQ(tight.status, 0) << tight.err;
  EXPECT_TRUE(tight.out == nested + "\n");
  tight = run("200000", "cnf", chain);
  EXPECT_TRUE(IsMachineMemoryMessage(tight.err)) << tight.err;
  EXPECT_EQ(tight.status, 1);
}
#endif

}  // namespace
}  // namespace lumenark::testing
