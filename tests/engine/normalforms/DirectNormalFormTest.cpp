// At Details 3 and 4 the normal forms multiply inner chains out directly; at 0 to 2, and
// with StepByStepNormalForms, they take every step. Both routes, and the word-for-word
// algorithms, must leave the same tree and write the same text, byte for byte, for the
// normal forms and for what is built on them (Minimal CNF and DNF, Decision).

#include <gtest/gtest.h>

#include "ReferenceAlgorithms.h"
#include "TestSupport.h"
#include "WorkloadFormulas.h"

namespace lumenark::testing {
namespace {

enum class Operation { CNF, DNF, MinimalCNF, MinimalDNF, Decision };
enum class Route { Direct, Steps, WordForWord };

const char* Name(Operation op) {
  static const char* const kNames[] = {"CNF", "DNF", "Minimal CNF", "Minimal DNF", "Decision"};
  return kNames[static_cast<int>(op)];
}

void RunDirectOrSteps(FormulaDocument& doc, Operation op) {
  switch (op) {
    case Operation::CNF: doc.ToCNF(); return;
    case Operation::DNF: doc.ToDNF(); return;
    case Operation::MinimalCNF: doc.ToCNF(); doc.Minimize(); return;
    case Operation::MinimalDNF: doc.ToDNF(); doc.Minimize(); return;
    case Operation::Decision: doc.Decision(); return;
  }
}

void RunWordForWord(FormulaDocument& doc, Operation op) {
  if (op == Operation::Decision) return RunDirectOrSteps(doc, op);  // built on the two below
  ReferenceToNormalForm(doc, op == Operation::CNF || op == Operation::MinimalCNF ? '&' : '|');
  if (op == Operation::MinimalCNF || op == Operation::MinimalDNF) ReferenceMinimize(doc);
}

struct Outcome {
  std::string text;  // written by the operation, the tree printed, and its exact shape
  bool stopped;      // the allocation budget ran out
  bool constant;     // the result is the constant 0 or 1
};

Outcome Convert(const std::string& formula, Operation op, int details, Route route, std::uint64_t budget = 0) {
  Session session(formula, {.details = details, .width = 60});
  session.Run(FormulaCommand::Compile);
  session.doc.StepByStepNormalForms = route != Route::Direct;
  session.host.allocationBudget = budget;
  route == Route::WordForWord ? RunWordForWord(session.doc, op) : RunDirectOrSteps(session.doc, op);
  const bool stopped = StopRequested;
  StopRequested = false;
  session.doc.XDecomp();
  const FormulaNode* root = session.doc.Root;
  return Outcome{session.Text() + "\n" + (root != nullptr ? Structure(root) : "no tree"), stopped,
                 root != nullptr && IsConstant(root)};
}

// Counts what the comparisons covered.
struct Tally {
  int compared = 0;
  int constants = 0;
};

// Converts the formula by the steps (within the budget of allocations) and, if they
// finished, directly and (with wordForWord) by the word-for-word algorithms; all three
// must agree.
void ExpectSameResult(const std::string& formula, Operation op, int details, bool wordForWord, Tally& tally,
                      std::uint64_t budget = 200'000) {
  const Outcome steps = Convert(formula, op, details, Route::Steps, budget);
  if (steps.stopped) return;
  ASSERT_EQ(Convert(formula, op, details, Route::Direct).text, steps.text)
      << formula << ": " << Name(op) << " at Details " << details;
  if (wordForWord) {
    ASSERT_EQ(Convert(formula, op, details, Route::WordForWord).text, steps.text)
        << formula << ": " << Name(op) << " at Details " << details << ", word for word";
  }
  ++tally.compared;
  tally.constants += steps.constant;
}

// A random DNF (inner '&', outer '|') or CNF: terms of one to four literals, letters
// and their signs drawn freely, so that terms may repeat a letter or hold both signs.
std::string RandomNormalForm(std::mt19937& random, int letters, int terms, char inner, char outer) {
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
  std::string text;
  for (int t = 0; t < terms; ++t) {
    if (t > 0) text += outer;
    text += '(';
    const int length = 1 + pick(4);
    for (int l = 0; l < length; ++l) {
      if (l > 0) text += inner;
      if (pick(2) == 0) text += '~';
      text += "ABCDEFGHab"[pick(letters)];
    }
    text += ')';
  }
  return text;
}

TEST(DirectNormalFormTest, RandomFormulasWithAllOperators) {
  std::mt19937 random(13);
  Tally tally;
  for (int i = 0; i < 2500; ++i) {
    const std::string formula =
        RandomFormula(random, {.letters = 2 + i % 9, .maxDepth = 3 + i % 3, .constants = i % 4 == 0});
    const auto op = static_cast<Operation>(i % 5);
    for (int details : {3, 4}) ExpectSameResult(formula, op, details, i % 4 == 1, tally);
  }
  EXPECT_GT(tally.compared, 4500);
  EXPECT_GT(tally.constants, 100) << "results that reduce to a constant";
}

TEST(DirectNormalFormTest, RandomDnfsIntoCnfAndCnfsIntoDnf) {
  std::mt19937 random(17);
  Tally tally;
  for (int i = 0; i < 1200; ++i) {
    const bool dnf = i % 2 == 0;
    const std::string formula = RandomNormalForm(random, 3 + i % 8, 2 + i % 7, dnf ? '&' : '|', dnf ? '|' : '&');
    const Operation op = i % 6 < 4 ? (dnf ? Operation::CNF : Operation::DNF)
                                   : (dnf ? Operation::MinimalCNF : Operation::MinimalDNF);
    // The word-for-word minimisation re-links the whole tree after every rule: only the
    // conversions themselves are compared with it here.
    ExpectSameResult(formula, op, 3 + i % 2, i % 5 == 0 && i % 6 < 4, tally);
  }
  EXPECT_GT(tally.compared, 1100);
  EXPECT_GT(tally.constants, 20);
}

TEST(DirectNormalFormTest, ChainsOfEquivalences) {
  std::mt19937 random(19);
  Tally tally;
  for (int i = 0; i < 300; ++i) {
    // Grouped at random, letters repeated and negated at random.
    std::vector<std::string> parts;
    const int length = 2 + i % 4;
    for (int l = 0; l < length; ++l) parts.push_back(std::string(random() % 3 == 0 ? "~" : "") + "ABCDa"[random() % (2 + i % 4)]);
    while (parts.size() > 1) {
      const std::size_t at = random() % (parts.size() - 1);
      parts[at] = (random() % 4 == 0 ? "~(" : "(") + parts[at] + "=" + parts[at + 1] + ")";
      parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(at) + 1);
    }
    const auto op = static_cast<Operation>(i % 5);
    for (int details : {3, 4}) ExpectSameResult(parts[0], op, details, i % 3 == 0, tally);
  }
  EXPECT_GT(tally.compared, 550);
  EXPECT_GT(tally.constants, 20);
}

TEST(DirectNormalFormTest, BenchmarkWorkloadSizes) {
  Tally tally;
  for (const WorkloadFormula& workload : kWorkloadFormulas) {
    for (Operation op : {Operation::CNF, Operation::DNF}) {
      SCOPED_TRACE(workload.name);
      ExpectSameResult(workload.formula, op, 4, false, tally, 500'000);
    }
  }
  EXPECT_GT(tally.compared, 2 * std::size(kWorkloadFormulas) - 12) << "the steps finish nearly all of them";
}

TEST(DirectNormalFormTest, ConstantsAtTheRoot) {
  Tally tally;
  // Everything reduces to a constant; the root's first or second product is a constant
  // and the other holds unit clauses that the final sort moves across it.
  for (const char* formula : {"A|~A", "A&~A", "(a&b)|~a|~b", "(a|b)&~a&~b", "((a&(b|c))&~a)|a", "(~a&(a&(b|c)))|a",
                              "((a|(b&c))|~a)&a", "(a&b&c)|(~a&~b)|(a&~c)|(~a&b)|(a&~b&c)|(c&~b)|(~c&b)"}) {
    for (Operation op : {Operation::CNF, Operation::DNF, Operation::MinimalCNF, Operation::Decision}) {
      for (int details : {3, 4}) ExpectSameResult(formula, op, details, true, tally);
    }
  }
  EXPECT_EQ(tally.compared, 8 * 4 * 2);
  EXPECT_EQ(Written(Derive("((a&(b|c))&~a)|a", {FormulaCommand::Conjunctive})), "(a|b|c)&a\n")
      << "the constant 1 of the root's second product moved to the unit clause's place";
}

// Carrying a repeated clause once would change what minimisation makes of a normal
// form, whichever copy is kept: minimisation compares clauses in the order they stand,
// and a rule applied to one copy blocks the others for the rest of a pass.
TEST(DirectNormalFormTest, RepeatedClausesShapeTheMinimalForm) {
  struct Case {
    const char* repeated;
    const char* once;
    const char* minimal;
    const char* minimalOnce;
  };
  for (const Case& c : {
           // the first copy kept: the second copy outlives the clause between them
           Case{"(A|B)&(~A|~B)&(A|B)", "(A|B)&(~A|~B)", "(~A|~B)&(A|B)", "(A|B)&(~A|~B)"},
           // the last copy kept: extension takes another partner, the clauses change
           Case{"(A|B)&(~A|~B)&(~A|B|C)&(A|B)", "(~A|~B)&(~A|B|C)&(A|B)", "(~A|~B)&(B|C)&(A|B)",
                "(~A|~B)&(~A|C)&(A|B)"},
           Case{"(A|B)&(~A|B)&(A|C)&(A|B)", "(~A|B)&(A|C)&(A|B)", "B&(A|C)", "(A|C)&B"},
       }) {
    EXPECT_EQ(Written(Derive(c.repeated, {FormulaCommand::MinimalCNF})), std::string(c.minimal) + "\n");
    EXPECT_EQ(Written(Derive(c.once, {FormulaCommand::MinimalCNF})), std::string(c.minimalOnce) + "\n");
  }
}

}  // namespace
}  // namespace lumenark::testing
