// Minimum DNF and CNF: every result equivalent to its formula; its terms and literals
// the fewest, against a dynamic programme over all implicants for every function of up
// to 4 letters and against an exhaustive search over the test's own primes for random
// functions of 5 and 6; among equal covers the one the documented order puts first;
// the textbook steps of worked examples exactly; stop, exhausted memory and a search
// that gives up leave the formula as it was.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <map>
#include <optional>
#include <unordered_map>

#include "TestSupport.h"
#include "formula/NodeAllocator.h"
#include "minimum/MinimumForm.h"
#include "minimum/MinimumFormCommand.h"
#include "runtime/MemoryBudget.h"

namespace lumenark::testing {
namespace {

using C = FormulaCommand;

// ---- The test's own view of a function of n letters: minterm m gives letter i the
// value of bit n-1-i, its cubes are (care, value) pairs over minterm bits ------------
struct Size {
  int terms = 0, literals = 0;
  auto operator<=>(const Size&) const = default;
};

struct TestCube {
  std::uint32_t care, value;
  std::uint64_t minterms;  // bit m
  int literals;
};

// Every cube whose minterms are all 1s of the function, and of them the prime ones.
std::vector<TestCube> Implicants(std::uint64_t ones, int n, bool primeOnly) {
  std::vector<TestCube> cubes;
  const std::uint32_t all = (1u << n) - 1;
  for (std::uint32_t care = 0; care <= all; ++care) {
    for (std::uint32_t value = 0; value <= all; ++value) {
      if ((value & ~care) != 0) continue;
      std::uint64_t minterms = 0;
      for (std::uint32_t m = 0; m <= all; ++m) minterms |= (m & care) == value ? std::uint64_t{1} << m : 0;
      if ((minterms & ~ones) == 0) cubes.push_back({care, value, minterms, std::popcount(care)});
    }
  }
  if (!primeOnly) return cubes;
  std::vector<TestCube> primes;
  for (const TestCube& c : cubes) {
    if (std::none_of(cubes.begin(), cubes.end(), [&](const TestCube& d) {
          return d.minterms != c.minterms && (c.minterms & ~d.minterms) == 0;
        })) {
      primes.push_back(c);
    }
  }
  return primes;
}

// The fewest terms, then literals, of a cover of the 1s: a programme over the sets of
// minterms still to cover, each step covering the lowest of them.
Size ReferenceSize(std::uint64_t ones, int n, bool primesOnly) {
  const std::vector<TestCube> cubes = Implicants(ones, n, primesOnly);
  std::unordered_map<std::uint64_t, Size> known{{0, {}}};
  auto best = [&](auto& self, std::uint64_t left) -> Size {
    if (auto it = known.find(left); it != known.end()) return it->second;
    const std::uint64_t low = left & -left;
    Size result{1 << 20, 0};
    for (const TestCube& c : cubes) {
      if ((c.minterms & low) == 0) continue;
      Size rest = self(self, left & ~c.minterms);
      result = std::min(result, Size{rest.terms + 1, rest.literals + c.literals});
    }
    return known[left] = result;
  };
  return best(best, ones);
}

BooleanFunction FunctionOf(std::uint64_t ones, int n) {
  BooleanFunction f;
  f.count = n;
  f.letters = (std::uint64_t{1} << n) - 1;  // A, B, ...
  f.table.assign(1, ones);
  return f;
}

Size SizeOf(const MinimumForm& form) {
  Size size;
  for (const std::int32_t j : form.cover) size = {size.terms + 1, size.literals + form.primes[j].Literals()};
  return size;
}

// The cover's minterms, checked to be the function's 1s.
std::uint64_t Covered(const MinimumForm& form) {
  std::uint64_t minterms = 0;
  for (const std::int32_t j : form.cover) {
    ForEachMinterm(form.primes[j], form.covered.count, [&](std::uint32_t m) { minterms |= std::uint64_t{1} << m; });
  }
  return minterms;
}

TEST(MinimumFormTest, FewestTermsAndLiteralsForEveryFunctionOfUpToFourLetters) {
  TestHost host;
  for (int n = 0; n <= 4; ++n) {
    const std::uint64_t functions = std::uint64_t{1} << (1u << n);
    for (std::uint64_t ones = 0; ones < functions; ++ones) {
      const MinimumForm form = FindMinimumForm(FunctionOf(ones, n), CubeReading::Term, host);
      ASSERT_EQ(form.outcome, CoverOutcome::Proved);
      ASSERT_EQ(Covered(form), ones) << n << " letters, function " << ones;
      ASSERT_EQ(SizeOf(form), ReferenceSize(ones, n, false)) << n << " letters, function " << ones;
    }
  }
}

TEST(MinimumFormTest, FewestTermsAndLiteralsForRandomFunctionsOfFiveAndSixLetters) {
  TestHost host;
  std::mt19937_64 random(28);
  for (int k = 0; k < 300; ++k) {
    const int n = k % 3 == 0 ? 6 : 5;
    // Six letters with up to about 30 ones, so that the reference stays quick.
    const std::uint64_t ones = n == 5 ? random() & 0xFFFFFFFFull : random() & random() & (random() | random());
    for (const CubeReading reading : {CubeReading::Term, CubeReading::Clause}) {
      const BooleanFunction f = FunctionOf(ones, n);
      const MinimumForm form = FindMinimumForm(f, reading, host);
      const std::uint64_t covered = reading == CubeReading::Term ? ones : f.Complement().table[0];
      ASSERT_EQ(form.outcome, CoverOutcome::Proved);
      ASSERT_EQ(Covered(form), covered);
      ASSERT_EQ(SizeOf(form), ReferenceSize(covered, n, true)) << n << " letters, function " << ones;
    }
  }
}

// A search that gives up says what it found and what it proved: the best cover found
// has at least the fewest terms, which are at least the bound; where the two are equal,
// that many terms are the fewest.
TEST(MinimumFormTest, GivingUpTellsTheBestFoundAndABoundThatHold) {
  TestHost host;
  std::mt19937_64 random(31);
  int gaveUp = 0, apart = 0;
  for (int k = 0; k < 200; ++k) {
    const int n = k % 2 == 0 ? 6 : 5;
    const std::uint64_t ones = n == 5 ? random() & 0xFFFFFFFFull : random() & random() & (random() | random());
    MinimumForm form;
    form.covered = FunctionOf(ones, n);
    ASSERT_TRUE(PrepareMinimumForm(form));
    const int fewest = ReferenceSize(ones, n, true).terms;
    for (const std::uint64_t effort : {1, 30, 300, 3000}) {
      const CoverAnswer answer = MinimumCover(form.chart, host, effort);
      if (answer.outcome != CoverOutcome::GaveUp) continue;
      ++gaveUp;
      apart += answer.bestTerms != answer.fewestTerms;
      EXPECT_LE(answer.fewestTerms, static_cast<std::uint64_t>(fewest)) << ones << " effort " << effort;
      EXPECT_GE(answer.bestTerms, static_cast<std::uint64_t>(fewest)) << ones << " effort " << effort;
    }
  }
  EXPECT_GT(gaveUp, 200);
  EXPECT_GT(apart, 20);
  // Dense functions of 8 letters, against the minimum the full search proves: the covers
  // built from the prices at the root, and the bound, hold where the search stops early.
  int dense = 0;
  for (int k = 0; k < 12; ++k) {
    BooleanFunction f;
    f.count = 8;
    f.letters = 0xFF;
    f.table.assign(4, 0);
    for (auto& word : f.table) word = random() | random() | (random() & random());
    MinimumForm form;
    form.covered = f;
    ASSERT_TRUE(PrepareMinimumForm(form));
    const CoverAnswer proved = MinimumCover(form.chart, host);
    if (proved.outcome != CoverOutcome::Proved) continue;
    for (const std::uint64_t effort : {3'000, 30'000, 300'000}) {
      const CoverAnswer answer = MinimumCover(form.chart, host, effort);
      if (answer.outcome != CoverOutcome::GaveUp) continue;
      ++dense;
      EXPECT_LE(answer.fewestTerms, proved.columns.size()) << k << " effort " << effort;
      EXPECT_GE(answer.bestTerms, proved.columns.size()) << k << " effort " << effort;
    }
  }
  EXPECT_GT(dense, 6);
}

TEST(MinimumFormTest, GivingUpMessageSaysBothNumbers) {
  EXPECT_EQ(MinimumNotProvedMessage(MinimumKind::DNF, 312, 307),
            "No minimum form could be proved in reasonable time: the best found has 312 terms; no DNF has fewer "
            "than 307. The formula is unchanged.");
  EXPECT_EQ(MinimumNotProvedMessage(MinimumKind::CNF, 77, 77),
            "No minimum form could be proved in reasonable time: the fewest clauses are 77, but not which of those "
            "CNFs has the fewest literals. The formula is unchanged.");
}

// The term order: letter by letter, the letter before its negation before neither.
bool TestTermBefore(const TestCube& a, const TestCube& b, int n) {
  for (int v = n - 1; v >= 0; --v) {
    auto key = [&](const TestCube& c) { return ((c.care >> v) & 1) == 0 ? 2 : ((c.value >> v) & 1) != 0 ? 0 : 1; };
    if (key(a) != key(b)) return key(a) < key(b);
  }
  return false;
}

std::string TestTerm(const TestCube& c, int n) {
  std::string term;
  for (int v = n - 1; v >= 0; --v) {
    if (((c.care >> v) & 1) == 0) continue;
    term += std::string(term.empty() ? "" : "&") + (((c.value >> v) & 1) != 0 ? "" : "~") + static_cast<char>('A' + n - 1 - v);
  }
  return term.empty() ? "1" : term;
}

// Of all covers with the fewest terms and literals, the one whose primes, taken in the
// term order, come first at the first difference.
TEST(MinimumFormTest, EqualCoversAreToldApartByTheTermOrder) {
  TestHost host;
  std::mt19937_64 random(3);
  for (int k = 0; k < 1200; ++k) {
    const int n = k < 256 ? 3 : 4;
    const std::uint64_t ones = k < 256 ? static_cast<std::uint64_t>(k) : random() & 0xFFFF;
    std::vector<TestCube> primes = Implicants(ones, n, true);
    std::sort(primes.begin(), primes.end(), [&](const TestCube& a, const TestCube& b) { return TestTermBefore(a, b, n); });
    if (primes.size() > 18) continue;
    std::vector<int> best;
    Size bestSize{1 << 20, 0};
    for (std::uint32_t set = 0; set < (1u << primes.size()); ++set) {
      std::uint64_t covered = 0;
      Size size;
      std::vector<int> chosen;
      for (std::size_t j = 0; j < primes.size(); ++j) {
        if (((set >> j) & 1) == 0) continue;
        covered |= primes[j].minterms;
        size = {size.terms + 1, size.literals + primes[j].literals};
        chosen.push_back(static_cast<int>(j));
      }
      if (covered != ones) continue;
      if (size < bestSize || (size == bestSize && chosen < best)) {
        bestSize = size;
        best = chosen;
      }
    }
    std::string expected;
    for (const int j : best) expected += (expected.empty() ? "" : "|") + TestTerm(primes[j], n);
    const MinimumForm form = FindMinimumForm(FunctionOf(ones, n), CubeReading::Term, host);
    EXPECT_EQ(FormulaOfPrimes(form, form.cover), expected.empty() ? "0" : expected) << "function " << ones;
  }
}

// The terms (clauses) of a normal form with outer operator outer and their literals;
// nothing when the tree has another shape.
std::optional<Size> NormalFormSize(const FormulaNode* node, char outer) {
  if (IsLiteral(node)) return Size{1, IsConstant(node) ? 0 : 1};
  if (node->negated) return std::nullopt;
  if (node->symbol == outer) {
    const std::optional<Size> left = NormalFormSize(node->left, outer), right = NormalFormSize(node->right, outer);
    if (!left || !right) return std::nullopt;
    return Size{left->terms + right->terms, left->literals + right->literals};
  }
  const std::optional<Size> term = NormalFormSize(node, outer == '|' ? '&' : '|');
  if (!term || node->symbol != (outer == '|' ? '&' : '|')) return std::nullopt;
  return Size{1, term->literals};
}

// The commands on random formulas: a DNF (CNF) equivalent to the formula, with the
// fewest terms and literals, that prints and compiles back into the same tree.
TEST(MinimumFormTest, CommandsLeaveAnEquivalentMinimumTree) {
  std::mt19937 random(11);
  for (int k = 0; k < 400; ++k) {
    const std::string formula = RandomFormula(random, {.letters = 2 + k % 4, .maxDepth = 2 + k % 4});
    std::string letters = LettersOf(formula);
    std::sort(letters.begin(), letters.end());
    const std::vector<bool> table = TruthTableOfText(formula, letters);
    const int n = static_cast<int>(letters.size());
    std::uint64_t ones = 0;  // minterm m: letter i has bit n-1-i
    for (std::uint32_t m = 0; m < table.size(); ++m) {
      std::uint32_t bits = 0;
      for (int i = 0; i < n; ++i) bits |= ((m >> (n - 1 - i)) & 1) << i;
      ones |= table[bits] ? std::uint64_t{1} << m : 0;
    }
    for (const C command : {C::MinimumDNF, C::MinimumCNF}) {
      Session session(formula, {.width = 250});
      const std::string written = Written(session.Run(command));
      ASSERT_TRUE(session.host.messages.empty()) << formula;
      ASSERT_EQ(CheckTree(session.doc.Root), "");
      ASSERT_EQ(TruthTable(session.doc.Root, letters), table) << formula;
      Session again(written.substr(0, written.size() - 1));
      again.doc.XComp();
      ASSERT_EQ(Structure(again.doc.Root), Structure(session.doc.Root)) << formula;
      const bool dnf = command == C::MinimumDNF;
      const std::uint64_t covered = dnf ? ones : ~ones & ((std::uint64_t{2} << ((1u << n) - 1)) - 1);
      const std::optional<Size> size = NormalFormSize(session.doc.Root, dnf ? '|' : '&');
      ASSERT_TRUE(size.has_value()) << written;
      // A constant stands for no term at all, or for the one term without literals.
      const Size expected = ReferenceSize(covered, n, true);
      if (IsConstant(session.doc.Root)) {
        ASSERT_EQ(expected.literals, 0) << formula;
      } else {
        ASSERT_EQ(*size, expected) << formula << " " << written;
      }
    }
  }
}

struct Example {
  const char* formula;
  C command;
  int details;
  const char* written;
};

void PrintTo(const Example& e, std::ostream* os) { *os << e.formula << " " << CommandName(e.command) << " " << e.details; }

class MinimumExampleTest : public ::testing::TestWithParam<Example> {};

TEST_P(MinimumExampleTest, WritesExactly) {
  const Example& e = GetParam();
  Session session(e.formula, {.details = e.details});
  EXPECT_EQ(Written(session.Run(e.command)), e.written);
  EXPECT_TRUE(session.host.messages.empty());
  EXPECT_FALSE(session.host.dialogVisible);
}

// Past the listing limit every list is given as its count, the essential ones too: their
// labels would name primes that are not listed.
TEST(MinimumFormTest, LongListsAreCountedAlike) {
  for (const auto& [command, steps] : std::vector<std::pair<C, std::string>>{
           {C::MinimumDNF,
            "Minterms: 512 (not listed)\nPrime implicants: 512 (not listed)\nEssential prime implicants: 512 (not "
            "listed)\nThe essential prime implicants cover every minterm.\n"},
           {C::MinimumCNF,
            "Maxterms: 512 (not listed)\nPrime implicates: 512 (not listed)\nEssential prime implicates: 512 (not "
            "listed)\nThe essential prime implicates cover every maxterm.\n"}}) {
    for (int details : {0, 1}) {
      Session session("A=B=C=D=E=F=G=H=I=J", {.details = details});
      EXPECT_EQ(Written(session.Run(command)).rfind(steps, 0), 0u) << CommandName(command) << " " << details;
    }
  }
}

constexpr const char* kCyclic = "A&~B&C|~A&B&~C|B&~C&D|~B&C&~D|C&~D&E|~C&D&~E|A&~D&~E|~A&D&E";
constexpr const char* kSeven = "~A&~B&~D|~A&B&D|A&B&~C|A&~B&C|~B&C&D|B&~C&~D|A&C&~D";

INSTANTIATE_TEST_SUITE_P(Examples, MinimumExampleTest, ::testing::Values(
    // The chain of implications: the pairwise minimisation keeps 8 terms, the minimum has 5.
    Example{"(A>B)&(B>C)&(C>D)&(D>E)&(E>F)&(F>G)&(G>H)", C::MinimumDNF, 4,
            "~A&~B&~C&~D&~E&~F&~G|~A&~B&~C&~D&~E&~F&H|~A&~B&~C&~D&F&G&H|~A&~B&D&E&F&G&H|B\n&C&D&E&F&G&H\n"},
    Example{kSeven, C::MinimumDNF, 1,
            "Minterms: 0 2 3 4 5 7 10 11 12 13 14\nPrime implicants:\nP1 11-0:A&B&~D\nP2 1-10:A&C&~D\n"
            "P3 01-1:~A&B&D\nP4 00-0:~A&~B&~D\nP5 0-11:~A&C&D\nP6 0-00:~A&~C&~D\nP7 -10-:B&~C\nP8 -01-:~B&C\n"
            "Essential prime implicants: P7 P8\nMinterms left: 0 7 14\nChart:\n   0 7 14\nP1      x\nP2      x\n"
            "P3   x\nP4 x\nP5   x\nP6 x\nMinimum cover: P1 P3 P4 P7 P8 (5 terms, 13 literals)\n"
            "Result - Minimum DNF:A&B&~D|~A&B&D|~A&~B&~D|B&~C|~B&C\nA&B&~D|~A&B&D|~A&~B&~D|B&~C|~B&C\n"},
    Example{"A&B|~A&C|B&C", C::MinimumCNF, 0,
            "Maxterms: 0 2 4 5\nPrime implicates:\nP1 0-0:A|C\nP2 10-:~A|B\nP3 -00:B|C\n"
            "Essential prime implicates: P1 P2\nThe essential prime implicates cover every maxterm.\n"
            "Minimum cover: P1 P2 (2 clauses, 4 literals)\nResult - Minimum CNF:(A|C)&(~A|B)\n(A|C)&(~A|B)\n"},
    Example{"A&B|~A&C|B&C", C::MinimumDNF, 2, "A&B|~A&C|B&C\nA&B|~A&C\nA&B|~A&C\n"},
    Example{"A&B|~A&C|B&C", C::MinimumDNF, 3, "Result - Minimum DNF:A&B|~A&C\nA&B|~A&C\n"},
    Example{"A&~A", C::MinimumDNF, 1,
            "Minterms: none\nPrime implicants:\nEssential prime implicants: none\nMinimum cover: (0 terms, 0 literals)\n"
            "Result - Minimum DNF:0\n0\n"},
    Example{"A|~A", C::MinimumCNF, 4, "1\n"},
    Example{"A|~A", C::MinimumDNF, 4, "1\n"}));

// Stop at every point, exhausted memory at every node of the result, a budget too small
// for the chart, and a search that gives up: the formula stays as it was, no result is
// printed, and nothing leaks.
TEST(MinimumFormTest, StopMemoryAndGivingUpLeaveTheFormula) {
  // The second needs the cover search to branch.
  for (const auto& [command, formula] : {std::pair{C::MinimumDNF, std::string(kSeven)}, {C::MinimumCNF, std::string(kSeven)},
                                         {C::KarnaughMap, std::string(kSeven)}, {C::MinimumDNF, std::string(kCyclic)}}) {
    // Without Results, so that every call comes before the result is made.
    Session unstopped(formula, {.results = false});
    unstopped.Run(command);
    const std::uint64_t calls = unstopped.host.pendingInputCalls;
    Session compiled(formula);
    compiled.doc.XComp();
    const std::string before = Structure(compiled.doc.Root);
    for (std::uint64_t k = 1; k <= calls; ++k) {
      const std::size_t live = LiveNodeCount();
      {
        Session session(formula, {.results = false});
        session.host.stopAtCall = k;
        const std::string written = Written(session.Run(command));
        ASSERT_EQ(Structure(session.doc.Root), before) << k;
        if (command != C::KarnaughMap) {
          ASSERT_EQ(written, "") << k;
        }
        ASSERT_FALSE(StopRequested);
        ASSERT_FALSE(session.host.dialogVisible);
        ASSERT_TRUE(session.text.Visible());
      }
      ASSERT_EQ(LiveNodeCount(), live);
    }
  }
  for (std::uint64_t n = 1; n <= 25; ++n) {
    const std::size_t live = LiveNodeCount();
    {
      Session session(kSeven);
      session.doc.XComp();
      session.text.SelectAll();
      ArmAllocationFailure(n + CountNodes(session.doc.Root));
      session.Run(C::MinimumDNF);
      ArmAllocationFailure(0);
      ASSERT_EQ(FirstLines(session.host.messages), std::vector<std::string>{std::string(kInsufficientMemoryMessage)}) << n;
      ASSERT_EQ(TruthTable(session.doc.Root, LettersOf(kSeven)), TruthTableOfText(kSeven, LettersOf(kSeven)));
    }
    ASSERT_EQ(LiveNodeCount(), live);
  }
  MemoryExhausted = false;
  {
    // Sixteen letters: the table, the primes and the chart need more than 64 KiB.
    Session session("(A|B|C|D)&(E|F|G|H)&(I|J|K|L)&(M|N|O|P)|A&~P");
    SetMemoryLimit(MemoryInUse() + (64 << 10));
    session.Run(C::MinimumDNF);
    SetMemoryLimit(std::nullopt);
    BeginMemoryBudget();
    EXPECT_EQ(FirstLines(session.host.messages), std::vector<std::string>{std::string(kInsufficientMemoryMessage)});
    EXPECT_NE(session.doc.Root, nullptr);
  }
  {
    const std::uint64_t effort = MinimumSearchEffort;
    MinimumSearchEffort = 1;
    Session session(kSeven);
    const std::string written = Written(session.Run(C::MinimumDNF));
    MinimumSearchEffort = effort;
    ASSERT_EQ(session.host.messages.size(), 1u);
    EXPECT_EQ(session.host.messages[0].rfind("No minimum form could be proved in reasonable time: ", 0), 0u);
    EXPECT_TRUE(session.host.messages[0].ends_with(" The formula is unchanged.")) << session.host.messages[0];
    EXPECT_EQ(written, "");
    EXPECT_EQ(TruthTable(session.doc.Root, LettersOf(kSeven)), TruthTableOfText(kSeven, LettersOf(kSeven)));
  }
  {
    std::string many = "A";
    for (char letter = 'B'; letter <= 'U'; ++letter) many += std::string("&") + letter;
    Session session(many);
    EXPECT_EQ(Written(session.Run(C::MinimumDNF)), "");
    EXPECT_EQ(session.host.messages, std::vector<std::string>{std::string(kMinimumLettersMessage)});
  }
}

}  // namespace
}  // namespace lumenark::testing
