// The engine's faster algorithms against their word-for-word versions: the same tree
// and the same text, byte for byte, at every Details level.

#include <gtest/gtest.h>

#include <algorithm>

#include "ReferenceAlgorithms.h"
#include "TestSupport.h"

namespace lumenark::testing {
namespace {

enum class ReferenceOperation { CNF, DNF, MinimalCNF, MinimalDNF };

void RunEngine(FormulaDocument& doc, ReferenceOperation op) {
  if (op == ReferenceOperation::CNF || op == ReferenceOperation::MinimalCNF) doc.ToCNF();
  else doc.ToDNF();
  if (op == ReferenceOperation::MinimalCNF || op == ReferenceOperation::MinimalDNF) doc.Minimize();
}

void RunReference(FormulaDocument& doc, ReferenceOperation op) {
  ReferenceToNormalForm(doc, op == ReferenceOperation::CNF || op == ReferenceOperation::MinimalCNF ? '&' : '|');
  if (op == ReferenceOperation::MinimalCNF || op == ReferenceOperation::MinimalDNF) ReferenceMinimize(doc);
}

// Compiles the formula and runs the operation; the text from the compile on.
std::string Derivation(const std::string& formula, int details, ReferenceOperation op, bool reference,
                       std::uint64_t budget, bool* overBudget) {
  Session session(formula, {.details = details, .width = 60});
  session.Run(FormulaCommand::Compile);
  session.host.stopAtCall = budget;
  // The budget is counted in the steps' pending-input calls, which the direct route
  // makes far fewer of: a formula within it is one the steps finish in time.
  session.doc.StepByStepNormalForms = budget != 0;
  reference ? RunReference(session.doc, op) : RunEngine(session.doc, op);
  if (overBudget != nullptr) *overBudget = StopRequested;
  StopRequested = false;
  session.doc.XDecomp();
  return session.Text() + "\n" + (session.doc.Root ? Structure(session.doc.Root) : "no tree");
}

TEST(ReferenceEquivalenceTest, SortElmIsTheBubbleSort) {
  std::mt19937 random(3);
  for (int i = 0; i < 2000; ++i) {
    std::string clause;
    const int length = 1 + i % 12;
    for (int l = 0; l < length; ++l) {
      if (l > 0) clause += '|';
      if (random() % 3 == 0) clause += '~';
      clause += "AbBaCc01"[random() % 8];
      if (random() % 4 == 0) clause += std::string("&") + "xyz"[random() % 3];  // an element to skip
    }
    Session fast(clause), slow(clause);
    fast.Run(FormulaCommand::Compile);
    slow.Run(FormulaCommand::Compile);
    fast.doc.SortElm(fast.doc.Root);
    ReferenceSortElm(slow.doc, slow.doc.Root);
    ASSERT_EQ(Structure(fast.doc.Root), Structure(slow.doc.Root)) << clause;
  }
}

TEST(ReferenceEquivalenceTest, NormalFormsAndMinimisationWriteTheSameText) {
  std::mt19937 random(11);
  int compared = 0;
  for (int i = 0; i < 1200; ++i) {
    const std::string formula = RandomFormula(random, {.letters = 2 + i % 5, .maxDepth = 4});
    const ReferenceOperation op = static_cast<ReferenceOperation>(i % 4);
    bool overBudget = false;
    const std::string engine = Derivation(formula, 4, op, false, 20'000, &overBudget);
    if (overBudget) continue;
    for (int details = 0; details <= 4; ++details) {
      ASSERT_EQ(Derivation(formula, details, op, false, 0, nullptr), Derivation(formula, details, op, true, 0, nullptr))
          << formula << " operation " << static_cast<int>(op) << " details " << details;
    }
    ++compared;
  }
  EXPECT_GT(compared, 1000);
}

using Clause = std::vector<std::string>;  // its literals

// The text of a normal form of the operation's kind: for CNF clauses of '|' joined by
// '&', for DNF the other way round; every clause in brackets.
std::string NormalFormText(ReferenceOperation op, const std::vector<Clause>& clauses) {
  const char outer = op == ReferenceOperation::MinimalCNF ? '&' : '|';
  const char inner = op == ReferenceOperation::MinimalCNF ? '|' : '&';
  std::string text;
  for (const Clause& clause : clauses) {
    if (!text.empty()) text += outer;
    text += '(';
    for (std::size_t l = 0; l < clause.size(); ++l) {
      if (l > 0) text += inner;
      text += clause[l];
    }
    text += ')';
  }
  return text;
}

void ExpectSameDerivations(const std::string& normalForm, ReferenceOperation op, std::initializer_list<int> levels) {
  for (int details : levels) {
    ASSERT_EQ(Derivation(normalForm, details, op, false, 0, nullptr), Derivation(normalForm, details, op, true, 0, nullptr))
        << normalForm << " details " << details;
  }
}

TEST(ReferenceEquivalenceTest, MinimisingLargeNormalForms) {
  // Normal forms with many clauses over few letters, where every rule of minimisation
  // comes into play.
  std::mt19937 random(5);
  for (int i = 0; i < 40; ++i) {
    const ReferenceOperation op = i % 2 ? ReferenceOperation::MinimalCNF : ReferenceOperation::MinimalDNF;
    const int letters = i < 20 ? 5 : 8;
    std::vector<Clause> clauses(static_cast<std::size_t>(10 + i * 5));
    for (Clause& clause : clauses) {
      const int literals = 1 + random() % (letters - 1);
      for (int l = 0; l < literals; ++l) {
        std::string literal = random() % 2 ? "~" : "";
        clause.push_back(literal + "ABCDEabc"[random() % letters]);
      }
    }
    ExpectSameDerivations(NormalFormText(op, clauses), op, {1, 3, 4});
  }
}

TEST(ReferenceEquivalenceTest, MinimisingClausesWithManySetsOfLetters) {
  // Regular clauses (each letter once, in order), few of them negated, of 2 to 8 of 14
  // letters: more distinct sets of letters than a machine word has bits, and clauses
  // far apart in the list that absorb one another.
  std::mt19937 random(13);
  const std::string letters = "ABCDEFGHIJKLab";
  for (int i = 0; i < 16; ++i) {
    const ReferenceOperation op = i % 2 ? ReferenceOperation::MinimalCNF : ReferenceOperation::MinimalDNF;
    std::vector<Clause> clauses(150);
    for (Clause& clause : clauses) {
      std::string chosen = letters;
      std::shuffle(chosen.begin(), chosen.end(), random);
      chosen.resize(2 + random() % 7);
      std::sort(chosen.begin(), chosen.end(), [&](char a, char b) { return letters.find(a) < letters.find(b); });
      for (const char letter : chosen) clause.push_back((random() % 6 == 0 ? "~" : "") + std::string(1, letter));
    }
    ExpectSameDerivations(NormalFormText(op, clauses), op, {1, 4});
  }
}

TEST(ReferenceEquivalenceTest, MinimisingMintermLists) {
  // All clauses over the same letters, as when a function is given by its minterms
  // (or maxterms): merging them pass by pass yields clauses of every size in between.
  std::mt19937 random(7);
  for (int i = 0; i < 32; ++i) {
    const ReferenceOperation op = i % 2 ? ReferenceOperation::MinimalCNF : ReferenceOperation::MinimalDNF;
    const int letters = 3 + i % 5;
    std::vector<Clause> clauses;
    for (unsigned term = 0; term < (1u << letters); ++term) {
      if (random() % 3 == 0) continue;
      Clause& clause = clauses.emplace_back();
      for (int l = 0; l < letters; ++l) clause.push_back(std::string((term >> l) & 1 ? "~" : "") + "ABCDEFGh"[l]);
    }
    if (clauses.empty()) continue;
    ExpectSameDerivations(NormalFormText(op, clauses), op, {1, 4});
  }
}

}  // namespace
}  // namespace lumenark::testing
