#include "FuzzPipeline.h"

#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>

#include "TestSupport.h"
#include "dimacs/DimacsReader.h"
#include "dimacs/DimacsWriter.h"
#include "formula/NodeAllocator.h"
#include "minimum/KarnaughMap.h"
#include "normalforms/MinimalNormalForm.h"
#include "proofs/Equivalence.h"
#include "runtime/MemoryBudget.h"

namespace lumenark::fuzz {
namespace {

using testing::Session;
using C = FormulaCommand;

constexpr std::size_t kMaxText = 60;
constexpr std::size_t kMaxLetters = 6;
// Nested equivalences and normal forms of normal forms can still make sixty characters
// take minutes and gigabytes; past this many pending-input calls or live nodes the host
// presses Stop, which is itself checked.
constexpr std::uint64_t kWorkBudget = 400'000;
constexpr std::size_t kNodeBudget = 1'000'000;
constexpr std::uint64_t kAllocationBudget = 5'000'000;
constexpr double kSecondsBudget = 3;  // minimising a large normal form allocates nothing

// Every command that ships, the minimum forms, the Karnaugh map and the proofs and
// checks after the others, so that the seeds' command bytes keep their meaning.
constexpr C kCommands[] = {C::Conjunctions, C::Implications, C::Disjunctions, C::Literals,   C::Evaluate,
                       C::Conjunctive,  C::Disjunctive,  C::MinimalCNF,   C::MinimalDNF, C::Decision,
                       C::Decompile,    C::Compile,      C::Tree,         C::TruthTable, C::Model,
                       C::Countermodel, C::Latex,        C::MinimumDNF,   C::MinimumCNF, C::KarnaughMap,
                       C::Tableau,      C::Equivalence,  C::Dimacs};

// Each command of the menus is among them: one added later must be added here too.
constexpr bool CoversEveryCommand() {
  for (int c = 0; c <= static_cast<int>(C::Dimacs); ++c) {
    bool found = false;
    for (const C command : kCommands) found |= static_cast<int>(command) == c;
    if (!found) return false;
  }
  return std::size(kCommands) == static_cast<std::size_t>(C::Dimacs) + 1;
}
static_assert(CoversEveryCommand(), "the pipeline runs every command");

void Fail(const char* what, const std::string& text, const std::string& detail = {}) {
  std::fprintf(stderr, "pipeline property broken: %s\nselection: %s\n%s\n", what, text.c_str(), detail.c_str());
  std::abort();
}

bool IsAnalysis(C command) {
  return command == C::TruthTable || command == C::Model || command == C::Countermodel || command == C::Latex ||
         command == C::KarnaughMap || command == C::Tableau || command == C::Dimacs;
}

// What the command wrote: the text after it, less what the text held before (all output
// goes in at one place, the caret).
std::string WrittenPart(const std::string& before, const std::string& after) {
  std::size_t prefix = 0;
  while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) ++prefix;
  std::size_t suffix = 0;
  while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
         before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
    ++suffix;
  }
  return after.substr(prefix, after.size() - prefix - suffix);
}

// A DIMACS file the Dimacs command wrote is whole or absent: every clause the header
// announces, each ended by its 0, and the text ends with a line break. A CNF (not a
// Tseitin encoding) reads back as an equivalent formula.
void CheckDimacs(const std::string& written, const std::string& text, const std::string& letters, const FormulaNode* root) {
  if (written.find_first_not_of("\r\n") == std::string::npos) return;
  const std::size_t header = written.find("p cnf ");
  if (header == std::string::npos || !written.ends_with("\n")) Fail("a DIMACS file cut short", text, written);
  std::istringstream in(written.substr(header + 6));
  std::uint64_t variables = 0, clauses = 0, ended = 0;
  in >> variables >> clauses;
  for (long literal; in >> literal;) ended += literal == 0;
  if (ended != clauses) Fail("a DIMACS file with other clauses than its header's", text, written);
  if (written.find(kDimacsCnfComment) == std::string::npos || root == nullptr) return;
  BeginMemoryBudget();
  const DimacsFormula read = ReadDimacs(written.substr(written.find_first_not_of("\r\n")), 250, std::size_t{1} << 20);
  if (!read.message.empty()) Fail("the DIMACS CNF does not read back", text, read.message);
  if (testing::TruthTableOfText(std::string(read.text.begin(), read.text.end()), letters) !=
      testing::TruthTable(root, letters)) {
    Fail("the DIMACS CNF is not equivalent", text, written);
  }
}

bool StopDiscards(C command) {
  return command == C::Conjunctive || command == C::Disjunctive || command == C::MinimalCNF ||
         command == C::MinimalDNF || command == C::Decision;
}

}  // namespace

int RunPipeline(const std::uint8_t* data, std::size_t size, bool withStop) {
  if (size < 3) return -1;
  const std::uint8_t options = data[0];
  const std::size_t count = 1 + (data[1] & 7) % 6;
  if (size < 3 + count) return -1;
  const std::uint64_t stopAt = withStop ? 1 + ((data[1] >> 3) | (std::uint64_t{data[2 + count]} << 5)) : 0;
  const std::string text(reinterpret_cast<const char*>(data + 3 + count), size - 3 - count);
  const std::string letters = testing::LettersOf(text);
  if (text.size() > kMaxText || letters.size() > kMaxLetters) return -1;

  // The minimal normal forms take their compressed route at every size, all the way.
  CompressedProductsMinimum = 0;
  CompressedPassesDownTo = 0;
  const std::size_t live = LiveNodeCount();
  {
    Session session(text, {.details = options % 5, .results = (options & 8) == 0, .width = 21 + (options >> 4) * 14});
    session.host.stopAtCall = withStop ? stopAt : kWorkBudget;
    session.host.nodeBudget = live + kNodeBudget;
    session.host.allocationBudget = kAllocationBudget;
    session.host.secondsBudget = kSecondsBudget;
    std::vector<bool> table;  // of the compiled selection
    for (std::size_t i = 0; i < count; ++i) {
      const C command = kCommands[data[2 + i] % std::size(kCommands)];
      const std::size_t messagesBefore = session.host.messages.size();
      const bool hadSelection = session.text.SelectionLength() != 0;
      const std::string before = session.doc.Root != nullptr ? testing::Structure(session.doc.Root) : "";
      const std::string textBefore = session.Text();
      const std::string textAfter = session.Run(command);
      if (IsAnalysis(command) && !hadSelection && session.doc.Root != nullptr &&
          testing::Structure(session.doc.Root) != before) {
        Fail("an analysis changed the tree", text, std::string(CommandName(command)));
      }
      if (StopRequested) Fail("StopRequested left set", text);
      if (!session.text.Visible()) Fail("text left hidden", text);
      const std::string fault = testing::CheckTree(session.doc.Root);
      if (!fault.empty()) Fail(fault.c_str(), text, std::string(CommandName(command)));
      bool tooManyProducts = false;
      for (std::size_t m = messagesBefore; m < session.host.messages.size(); ++m) {
        const std::string& message = session.host.messages[m];
        const bool parser = hadSelection && session.doc.ParseError != 0;
        const bool noSelection = !hadSelection && message == "No selected text." &&
                                 (command == C::Compile || command == C::Tree || command == C::Equivalence);
        // Equivalence needs two formulas; a map, a formula with letters.
        const bool expected = (command == C::Equivalence && message == kTwoFormulasMessage) ||
                              (command == C::KarnaughMap && message == kKarnaughLettersMessage);
        // The compressed products count what the full products would take before they
        // are built: where that could never fit (a stopped conversion can leave a tree
        // whose normal form has 2^62 products), the command ends as out of memory at
        // once, where the full products would have filled the memory until the host
        // pressed Stop.
        tooManyProducts = (command == C::MinimalCNF || command == C::MinimalDNF || command == C::Decision) &&
                          message.rfind("Insuficient memory.\n", 0) == 0 && session.doc.Root == nullptr;
        if (!parser && !noSelection && !expected && !tooManyProducts) Fail("unexpected message", text, message);
      }
      if (command == C::Dimacs) CheckDimacs(WrittenPart(textBefore, textAfter), text, letters, session.doc.Root);
      // A comparison that succeeds leaves the second formula as the tree.
      if (command == C::Equivalence && session.doc.Root != nullptr && testing::Structure(session.doc.Root) != before) {
        table = testing::TruthTable(session.doc.Root, letters);
      }
      if (hadSelection && session.doc.ParseError == 0 && session.doc.Root != nullptr && table.empty()) {
        table = testing::TruthTableOfText(text, letters);
      }
      if (session.doc.Root != nullptr && !table.empty()) {
        if (testing::TruthTable(session.doc.Root, letters) != table) {
          Fail("result not equivalent", text, std::string(CommandName(command)) + ": " + testing::Structure(session.doc.Root));
        }
      } else if (session.doc.Root == nullptr && !table.empty()) {
        if (!((session.host.Stopped() || tooManyProducts) && StopDiscards(command))) {
          Fail("tree lost without a stop", text, std::string(CommandName(command)));
        }
        table.clear();
      }
      if (session.host.Stopped() || tooManyProducts) break;
    }
  }
  if (LiveNodeCount() != live) Fail("nodes leaked", text);
  return 0;
}

}  // namespace lumenark::fuzz
