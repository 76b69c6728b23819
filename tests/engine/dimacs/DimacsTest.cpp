// DIMACS out and in: exact files for examples; on random formulas, the CNF read back is
// equivalent (truth table) and a second round trip gives the same formula, and picosat
// agrees with the truth table on both encodings, its model a model of the formula; every
// hostile file ends in its message, and random ones never in a crash.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TestSupport.h"
#include "dimacs/DimacsReader.h"
#include "dimacs/DimacsWriter.h"
#include "runtime/EngineStack.h"
#include "runtime/Heartbeat.h"
#include "runtime/MemoryBudget.h"

namespace lumenark::testing {
namespace {

using C = FormulaCommand;

// The DIMACS file the writer makes of a formula: the text after the formula's line.
std::string DimacsOf(const std::string& formula, DimacsEncoding encoding, int width = 77) {
  Session session(formula, {.width = width});
  session.doc.XComp();
  RunOnEngineStack([&] {
    HeartbeatScope beat(session.host);
    WriteDimacs(session.doc, encoding);
  });
  const std::string text = session.Text();
  return text.substr(text.find("\nc ") + 1);
}

std::string FormulaOf(const std::string& file, int width = 250) {
  BeginMemoryBudget();
  const DimacsFormula read = ReadDimacs(file, width, std::size_t{1} << 26);
  EXPECT_EQ(read.message, "") << file;
  std::string text(read.text.begin(), read.text.end());
  std::erase(text, '\r');
  return text;
}

std::string MessageOf(const std::string& file) { return ReadDimacs(file, 77, std::size_t{1} << 26).message; }

TEST(DimacsWriterTest, ExamplesAsTheCommandWritesThem) {
  EXPECT_EQ(Written(Derive("(A|B)&(~A|C)>B|C", {C::Dimacs})), "c CNF of the formula\nc 1 = A\nc 2 = B\nc 3 = C\np cnf 3 0\n");
  EXPECT_EQ(Written(Derive("a=~b", {C::Dimacs})), "c CNF of the formula\nc 1 = a\nc 2 = b\np cnf 2 2\n-1 -2 0\n1 2 0\n");
  EXPECT_EQ(Written(Derive("A&~A", {C::Dimacs})), "c CNF of the formula\nc 1 = A\np cnf 1 1\n0\n");
  // Long clauses continue on the next line.
  const std::string chain = DimacsOf("A|B|C|D|E|F|G|H|I|J|K", DimacsEncoding::Cnf, 21);
  EXPECT_EQ(chain.substr(chain.find("p cnf")), "p cnf 11 1\n1 2 3 4 5 6 7 8 9 10\n11 0\n");
  // 2^14 clauses: the Tseitin encoding, which says what it is.
  const std::string pairs = "(A&B)|(C&D)|(E&F)|(G&H)|(I&J)|(K&L)|(M&N)|(O&P)|(Q&R)|(S&T)|(U&V)|(W&X)|(Y&Z)|(a&b)";
  const std::string tseitin = Written(Derive(pairs, {C::Dimacs}));
  EXPECT_TRUE(tseitin.starts_with(std::string(kDimacsTseitinComment) + "\nc variables 29 to 55 stand for its subformulas\nc 1 = A\n"));
  EXPECT_NE(tseitin.find("\nc 28 = b\np cnf 55 82\n"), std::string::npos);
  Session session(pairs);
  session.doc.XComp();
  EXPECT_EQ(CnfClauseBound(session.doc.Root), 16384u);
}

// Stop pressed at every point of the command, and memory that runs out at every point:
// the DIMACS text in the document is whole or absent, never cut short.
TEST(DimacsWriterTest, StoppedFileIsWholeOrAbsent) {
  std::string chain = "A";  // a Tseitin encoding of 160,000 clauses, written in 480,000 pieces
  for (int i = 1; i < 40000; ++i) chain += std::string("=") + LetterName(i % 52);
  const std::string before = chain + "\n";
  const std::string whole = Derive(chain, {C::Dimacs});
  ASSERT_TRUE(whole.ends_with(" 0\n")) << whole.substr(whole.size() - 100);
  std::uint64_t calls = 0;
  {
    Session session(chain);
    session.Run(C::Dimacs);
    calls = session.host.pendingInputCalls;
  }
  ASSERT_GT(calls, 8u);
  int absent = 0;
  for (std::uint64_t stop = 1; stop <= calls; ++stop) {
    Session session(chain);
    session.host.stopAtCall = stop;
    const std::string text = session.Run(C::Dimacs);
    EXPECT_TRUE(text == before || text == whole) << "Stop at call " << stop << ": " << text.size() << " of "
                                                 << whole.size() << " characters";
    absent += text == before;
  }
  EXPECT_GT(absent, 0);
  // The budget reached while the file is written, at several sizes of the text.
  int ended = 0;
  for (std::size_t room = whole.size() / 8; room < 4 * whole.size(); room += whole.size() / 8) {
    Session session(chain);
    session.doc.XComp();
    const std::string compiled = session.Text();
    SetMemoryLimit(MemoryInUse() + room);
    session.Run(C::Dimacs);
    SetMemoryLimit(std::nullopt);
    const std::string text = session.Text();
    EXPECT_TRUE(text == compiled || text == whole) << room << ": " << text.size() << " of " << whole.size() << " "
                                                    << compiled.size() << " " << text.substr(text.size() - 50)
                                                    << (session.host.messages.empty() ? "" : session.host.messages[0]);
    ended += !session.host.messages.empty();
  }
  EXPECT_GT(ended, 0);
}

// picosat on a file: its answer, and the letters its model makes true (as variables).
struct Solved {
  bool satisfiable = false;
  std::vector<int> model;
};

std::optional<Solved> Picosat(const std::string& file) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() / ("lumenark-dimacs-" + std::to_string(getpid()) + ".cnf");
  std::ofstream(path) << file;
  FILE* out = popen(("picosat " + path.string() + " 2>&1").c_str(), "r");
  if (out == nullptr) return std::nullopt;
  std::string text;
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, out)) > 0;) text.append(buffer, n);
  const int status = pclose(out);
  std::filesystem::remove(path);
  if (!WIFEXITED(status) || (WEXITSTATUS(status) != 10 && WEXITSTATUS(status) != 20)) return std::nullopt;
  Solved solved{WEXITSTATUS(status) == 10, {}};
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (!line.starts_with("v ")) continue;
    std::istringstream values(line.substr(2));
    for (int v; values >> v;) {
      if (v > 0) solved.model.push_back(v);
    }
  }
  return solved;
}

bool HavePicosat() { return std::system("command -v picosat >/dev/null 2>&1") == 0; }

TEST(DimacsPropertyTest, CnfReadsBackEquivalentAndTwiceTheSame) {
  std::mt19937 random(1931);
  for (int n = 0; n < 1500; ++n) {
    const std::string formula = RandomFormula(random, {.letters = 1 + n % 8, .maxDepth = 1 + n % 5});
    const std::string letters = LettersOf(formula);
    const std::string file = DimacsOf(formula, DimacsEncoding::Cnf, 21 + n % 40);
    ASSERT_TRUE(file.starts_with(kDimacsCnfComment)) << formula;
    const std::string cnf = FormulaOf(file);
    EXPECT_EQ(TruthTableOfText(cnf, letters), TruthTableOfText(formula, letters)) << formula << "\n" << file;
    EXPECT_EQ(FormulaOf(DimacsOf(cnf, DimacsEncoding::Cnf)), cnf) << formula;
  }
}

TEST(DimacsPropertyTest, PicosatAgreesWithTheTruthTableOnBothEncodings) {
  if (!HavePicosat()) GTEST_SKIP() << "picosat is not installed (scripts/install-deps)";
  std::mt19937 random(4242);
  for (int n = 0; n < 250; ++n) {
    const std::string formula = RandomFormula(random, {.letters = 2 + n % 7, .maxDepth = 2 + n % 4});
    std::string letters = LettersOf(formula);
    std::sort(letters.begin(), letters.end(), [](char a, char b) { return (a >= 'a') != (b >= 'a') ? a < 'a' : a < b; });
    const std::vector<bool> table = TruthTableOfText(formula, letters);
    const bool consistent = std::find(table.begin(), table.end(), true) != table.end();
    for (DimacsEncoding encoding : {DimacsEncoding::Cnf, DimacsEncoding::Tseitin}) {
      const std::optional<Solved> solved = Picosat(DimacsOf(formula, encoding));
      ASSERT_TRUE(solved.has_value()) << formula;
      ASSERT_EQ(solved->satisfiable, consistent) << formula;
      if (!consistent) continue;
      std::uint32_t bits = 0;  // variable i + 1 is the i-th letter in A..Z, a..z
      for (int v : solved->model) {
        if (v <= static_cast<int>(letters.size())) bits |= 1u << (v - 1);
      }
      EXPECT_TRUE(table[bits]) << formula;
    }
  }
}

TEST(DimacsReaderTest, ReadsTheFormatAsSolversWriteIt) {
  EXPECT_EQ(FormulaOf("c made by hand\np cnf 3 2\n1 -3 0\n-1 2 3 0\n"), "(A|~C)&(~A|B|C)");
  // Clauses over lines, tabs, CR LF, SATLIB's closing '%', an empty clause, no clauses.
  EXPECT_EQ(FormulaOf("p  cnf\t3 3\r\n1\r\n -2 0 3 0\n0\n%\n0\n"), "(A|~B)&C&0");
  EXPECT_EQ(FormulaOf("p cnf 0 0\n"), "1");
  EXPECT_EQ(FormulaOf("p cnf 2 1\n-2 -2 2 0"), "~B|~B|B");
  // Named letters, and the 52nd variable.
  EXPECT_EQ(FormulaOf("c 1 = q\nc 2 = Z\np cnf 2 1\n2 -1 0\n"), "Z|~q");
  EXPECT_EQ(FormulaOf("p cnf 52 2\n52 0\n-27 0\n"), "z&~a");
  EXPECT_EQ(FormulaOf("p cnf 4 3\n1 2 3 4 0 1 0 -1 0\n", 21), "(A|B|C|D)&A&~A");
  const std::string wrapped = FormulaOf("p cnf 26 1\n1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 0\n", 21);
  EXPECT_EQ(wrapped, "A|B|C|D|E|F|G|H|I|J\n|K|L|M|N|O|P|Q|R");
  // A UTF-8 byte-order mark, and lines ending in a CR alone, as some editors write them.
  EXPECT_EQ(FormulaOf("\xEF\xBB\xBFp cnf 2 1\n1 -2 0\n"), "A|~B");
  EXPECT_EQ(FormulaOf("\xEF\xBB\xBF" "c named\r\np cnf 2 2\r\n1 0\r\n-2 0\r\n"), "A&~B");
  EXPECT_EQ(FormulaOf("c old\rp cnf 2 2\r1 0\r-2 0\r"), "A&~B");
}

struct HostileFile {
  const char* file;
  const char* message;
};

TEST(DimacsReaderTest, EveryMalformedFileGetsItsMessage) {
  const HostileFile files[] = {
      {"", "The file has no header \"p cnf VARIABLES CLAUSES\"."},
      {"c only a comment\n", "The file has no header \"p cnf VARIABLES CLAUSES\"."},
      {"1 2 0\np cnf 2 1\n", "Line 1: a clause before the header \"p cnf VARIABLES CLAUSES\"."},
      {"p cnf 3\n", "Line 1: the header must read \"p cnf VARIABLES CLAUSES\"."},
      {"p dnf 3 1\n1 0\n", "Line 1: the header must read \"p cnf VARIABLES CLAUSES\"."},
      {"p cnf -3 1\n", "Line 1: the header must read \"p cnf VARIABLES CLAUSES\"."},
      {"p cnf 3 1 7\n", "Line 1: the header must read \"p cnf VARIABLES CLAUSES\"."},
      {"p cnf 53 1\n1 0\n", "Line 1: the file has 53 variables; a formula has at most 52 letters."},
      {"c\np cnf 99999999999999999999999999 1\n", "Line 2: the number \"99999999999999999999...\" is too large."},
      {"p cnf 3 2147483648\n", "Line 1: the number \"2147483648\" is too large."},
      {"p cnf 3 1\n-2147483649 0\n", "Line 2: the number \"-2147483649\" is too large."},
      {"p cnf 3 1\n1 2\n", "Line 2: the last clause does not end with 0."},
      {"p cnf 3 2\n1 0\n2\n\n", "Line 3: the last clause does not end with 0."},
      {"p cnf 3 1\n1 0x 0\n", "Line 2: \"0x\" is not a number."},
      {"p cnf 3 1\n1 \x01\xff 0\n", "Line 2: \"??\" is not a number."},
      {"p cnf 3 1\n1 --2 0\n", "Line 2: \"--2\" is not a number."},
      {"p cnf 3 1\n1 +2 0\n", "Line 2: \"+2\" is not a number."},
      {"p cnf 3 2\n1 2 -0\n-1 0\n", "Line 2: \"-0\" is no literal: a clause ends in 0, which takes no sign."},
      {"c\rp cnf 3 1\r1 0\r2 0\r", "Line 4: more clauses than the header's 1 clause."},
      {"\xEF\xBB\xBF\xEF\xBB\xBFp cnf 1 0\n", "Line 1: \"???p\" is not a number."},
      {"p cnf 3 1\n4 0\n", "Line 2: variable 4 is not among the header's 3 variables."},
      {"p cnf 3 1\n1 0\n2 0\n", "Line 3: more clauses than the header's 1 clause."},
      {"p cnf 3 3\n1 0\n2 0\n", "Line 1: the header announces 3 clauses, the file has 2."},
      {"p cnf 2 1\np cnf 2 1\n", "Line 2: a second header."},
      {"c 1 = A\nc 1 = B\n", "Line 2: variable 1 is named twice."},
      {"c 1 = A\nc 2 = A\n", "Line 2: the letter A names two variables."},
      {"c 1 = A\np cnf 2 1\n1 2 0\n", "Line 3: variable 2 has no letter among the file's lines \"c N = X\"."},
  };
  for (const HostileFile& hostile : files) EXPECT_EQ(MessageOf(hostile.file), hostile.message) << hostile.file;
}

TEST(DimacsReaderTest, AMillionClausesReadOrEndInTheTextLimit) {
  std::string file = "p cnf 52 1000000\n";
  std::mt19937 random(6);
  std::uniform_int_distribution<int> variable(1, 52), sign(0, 1);
  for (int c = 0; c < 1000000; ++c) {
    for (int l = 0; l < 3; ++l) file += std::to_string(sign(random) ? variable(random) : -variable(random)) + " ";
    file += "0\n";
  }
  BeginMemoryBudget();
  const DimacsFormula read = ReadDimacs(file, 77, std::size_t{1} << 26);
  ASSERT_EQ(read.message, "");
  EXPECT_EQ(std::count(read.text.begin(), read.text.end(), '&'), 999999);
  EXPECT_EQ(ReadDimacs(file, 77, 1 << 20).message, "The formula of this file is too long for the text: more than 1048576 characters.");
  // The same with the header's count one short: the message comes at the last clause.
  file.replace(0, 17, "p cnf 52  999999\n");
  EXPECT_EQ(ReadDimacs(file, 77, std::size_t{1} << 26).message, "Line 1000001: more clauses than the header's 999999 clauses.");
}

// A stop ends the reading of a large file: neither a formula nor a message.
TEST(DimacsReaderTest, StopEndsTheReading) {
  std::string file = "p cnf 3 200000\n";
  for (int c = 0; c < 200000; ++c) file += "1 -2 3 0\n";
  TestHost host;
  host.stopAtCall = 1;
  BeginMemoryBudget();
  const HeartbeatScope beat(host);
  const DimacsFormula read = ReadDimacs(file, 77, std::size_t{1} << 26);
  StopRequested = false;
  EXPECT_TRUE(read.stopped);
  EXPECT_EQ(read.message, "");
  EXPECT_TRUE(read.text.empty());
  EXPECT_EQ(host.pendingInputCalls, 1u);
}

// Random files: well-formed ones with a few random changes (a piece inserted, a
// character dropped or replaced). Each ends in a message or in a formula that compiles.
TEST(DimacsReaderTest, RandomFilesNeverCrash) {
  const char* pieces[] = {"p", "cnf", "c", "%", "0", "1", "-1", "52", "53", "-0", "3", " ", "\n", "\r\n",
                          "\t", "=", "A", "x", "99999999999", "2147483647", "-", "c 1 = B\n", "p cnf 3 2\n"};
  std::mt19937 random(77);
  auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
  int formulas = 0, messages = 0;
  for (int n = 0; n < 20000; ++n) {
    const std::size_t variables = pick(53), clauses = pick(6);
    std::string file = "p cnf " + std::to_string(variables) + " " + std::to_string(clauses) + "\n";
    for (std::size_t c = 0; c < clauses; ++c) {
      for (std::size_t l = pick(4); l > 0 && variables > 0; --l) file += std::to_string((1 + pick(variables)) * (pick(2) ? 1 : -1)) + " ";
      file += "0\n";
    }
    for (std::size_t change = pick(4); change > 0; --change) {
      const std::size_t at = pick(file.size() + 1);
      switch (pick(3)) {
        case 0: file.insert(at, pieces[pick(std::size(pieces))]); break;
        case 1: if (at < file.size()) file.erase(at, 1); break;
        default: if (at < file.size()) file[at] = static_cast<char>(pick(256)); break;
      }
    }
    const DimacsFormula read = ReadDimacs(file, 21 + n % 50, 4096);
    if (!read.message.empty()) {
      ++messages;
      continue;
    }
    ++formulas;
    Session session(std::string(read.text.begin(), read.text.end()));
    session.Run(C::Compile);
    ASSERT_TRUE(session.host.messages.empty()) << file;
  }
  EXPECT_GT(formulas, 1000);
  EXPECT_GT(messages, 3000);
}

}  // namespace
}  // namespace lumenark::testing
