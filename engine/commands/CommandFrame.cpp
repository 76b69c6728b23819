#include "commands/CommandFrame.h"

#include <array>
#include <memory>
#include <new>
#include <utility>

#include "analysis/LatexFormula.h"
#include "analysis/Models.h"
#include "analysis/TruthTable.h"
#include "dimacs/DimacsWriter.h"
#include "formula/NodeAllocator.h"
#include "minimum/KarnaughMap.h"
#include "minimum/MinimumFormCommand.h"
#include "proofs/Equivalence.h"
#include "proofs/Tableau.h"
#include "runtime/EngineGlobals.h"
#include "runtime/EngineStack.h"
#include "runtime/Heartbeat.h"
#include "runtime/MemoryBudget.h"
#include "runtime/StackRoom.h"

namespace lumenark {
namespace {

constexpr std::array<std::pair<FormulaCommand, std::string_view>, 23> kCommandNames{{
    {FormulaCommand::Compile, "compile"},
    {FormulaCommand::Decompile, "decompile"},
    {FormulaCommand::Tree, "tree"},
    {FormulaCommand::Conjunctions, "conjunctions"},
    {FormulaCommand::Implications, "implications"},
    {FormulaCommand::Disjunctions, "disjunctions"},
    {FormulaCommand::Literals, "literals"},
    {FormulaCommand::Evaluate, "evaluate"},
    {FormulaCommand::Conjunctive, "cnf"},
    {FormulaCommand::Disjunctive, "dnf"},
    {FormulaCommand::MinimalCNF, "mincnf"},
    {FormulaCommand::MinimalDNF, "mindnf"},
    {FormulaCommand::Decision, "decision"},
    {FormulaCommand::TruthTable, "truthtable"},
    {FormulaCommand::Model, "model"},
    {FormulaCommand::Countermodel, "countermodel"},
    {FormulaCommand::Latex, "latex"},
    {FormulaCommand::MinimumDNF, "minimumdnf"},
    {FormulaCommand::MinimumCNF, "minimumcnf"},
    {FormulaCommand::KarnaughMap, "kmap"},
    {FormulaCommand::Tableau, "tableau"},
    {FormulaCommand::Equivalence, "equivalence"},
    {FormulaCommand::Dimacs, "dimacs"},
}};

// Whether a stop during the command's operation discards the tree.
bool StopDiscardsTree(FormulaCommand command) {
  switch (command) {
    case FormulaCommand::Conjunctive:
    case FormulaCommand::Disjunctive:
    case FormulaCommand::MinimalCNF:
    case FormulaCommand::MinimalDNF:
    case FormulaCommand::Decision:
      return true;
    default:
      return false;
  }
}

// The analyses write what they find and leave the tree as it is.
bool IsAnalysis(FormulaCommand command) {
  return command == FormulaCommand::TruthTable || command == FormulaCommand::Model ||
         command == FormulaCommand::Countermodel || command == FormulaCommand::Latex ||
         command == FormulaCommand::KarnaughMap || command == FormulaCommand::Tableau ||
         command == FormulaCommand::Dimacs;
}

// The minimum forms replace the tree only with a proved result: a stop leaves it.
bool IsMinimumForm(FormulaCommand command) {
  return command == FormulaCommand::MinimumDNF || command == FormulaCommand::MinimumCNF;
}

void RunAnalysis(FormulaDocument& doc, FormulaCommand command) {
  if (command == FormulaCommand::TruthTable) WriteTruthTable(doc);
  if (command == FormulaCommand::Model) WriteModel(doc, ModelKind::Model);
  if (command == FormulaCommand::Countermodel) WriteModel(doc, ModelKind::Countermodel);
  if (command == FormulaCommand::Latex) WriteLatexFormula(doc);
  if (command == FormulaCommand::KarnaughMap) WriteKarnaughMap(doc);
  if (command == FormulaCommand::Tableau) WriteTableau(doc);
  if (command == FormulaCommand::Dimacs) WriteDimacs(doc);
}

// Whether the command shows the stop dialog for the time of its operation.
bool ShowsStopDialog(FormulaCommand command) {
  return StopDiscardsTree(command) || command == FormulaCommand::Evaluate || IsAnalysis(command) ||
         IsMinimumForm(command) || command == FormulaCommand::Equivalence;
}

// After memory ran out, the tree that is kept is as large as the budget allowed; its
// print would only fill the text with what could not be finished, so it is left out.
void PrintResult(FormulaDocument& doc) {
  if (doc.ShowResults && !MemoryExhausted) doc.XDecomp();
}

void SetStopDialog(FormulaDocument& doc, bool visible) { doc.Platform.SetStopDialogVisible(visible); }

// The command's body, run when the document has a tree, in the command's own order.
void RunBody(FormulaDocument& doc, FormulaCommand command) {
  switch (command) {
    case FormulaCommand::Conjunctions:
    case FormulaCommand::Implications:
    case FormulaCommand::Disjunctions:
    case FormulaCommand::Literals:
      if (command == FormulaCommand::Conjunctions) doc.ToCon();
      if (command == FormulaCommand::Implications) doc.ToImp();
      if (command == FormulaCommand::Disjunctions) doc.ToDis();
      if (command == FormulaCommand::Literals) doc.ToConDis();
      StopRequested = false;
      PrintResult(doc);
      return;
    case FormulaCommand::Evaluate:
      SetStopDialog(doc, true);
      doc.ConstEval();
      StopRequested = false;
      PrintResult(doc);
      StopRequested = false;
      SetStopDialog(doc, false);
      return;
    case FormulaCommand::Conjunctive:
    case FormulaCommand::Disjunctive:
      SetStopDialog(doc, true);
      command == FormulaCommand::Conjunctive ? doc.ToCNF() : doc.ToDNF();
      StopRequested = false;
      SetStopDialog(doc, false);
      PrintResult(doc);
      return;
    case FormulaCommand::MinimalCNF:
    case FormulaCommand::MinimalDNF:
      SetStopDialog(doc, true);
      command == FormulaCommand::MinimalCNF ? doc.ToMinimalCNF() : doc.ToMinimalDNF();
      StopRequested = false;
      PrintResult(doc);
      SetStopDialog(doc, false);
      return;
    case FormulaCommand::Decision:
      SetStopDialog(doc, true);
      doc.Decision();
      StopRequested = false;
      SetStopDialog(doc, false);
      return;
    case FormulaCommand::MinimumDNF:
    case FormulaCommand::MinimumCNF: {
      SetStopDialog(doc, true);
      const bool proved = MakeMinimumForm(doc, command == FormulaCommand::MinimumDNF ? MinimumKind::DNF : MinimumKind::CNF);
      StopRequested = false;
      if (proved) PrintResult(doc);
      SetStopDialog(doc, false);
      return;
    }
    case FormulaCommand::TruthTable:
    case FormulaCommand::Model:
    case FormulaCommand::Countermodel:
    case FormulaCommand::Latex:
    case FormulaCommand::KarnaughMap:
    case FormulaCommand::Tableau:
    case FormulaCommand::Dimacs:
      SetStopDialog(doc, true);
      RunAnalysis(doc, command);
      StopRequested = false;
      SetStopDialog(doc, false);
      return;
    default:
      return;
  }
}

void RunFrame(FormulaDocument& doc, FormulaCommand command) {
  if (!doc.ShowResults) doc.Text.SetVisible(false);
  if (doc.Text.SelectionLength() != 0) {
    doc.XComp();
    if (doc.ParseError != 0) {
      doc.Text.SetVisible(true);
      return;
    }
  }
  if (doc.Root != nullptr) RunBody(doc, command);
  doc.Text.SetVisible(true);
}

// Equivalence compiles two formulas of the selection, the second into the document's
// tree, then compares them; the text is hidden meanwhile unless results are shown.
void RunEquivalence(FormulaDocument& doc) {
  if (!doc.ShowResults) doc.Text.SetVisible(false);
  if (doc.Text.SelectionLength() == 0) {
    doc.Platform.ShowMessage(kNoSelectedTextMessage);
  } else if (const std::unique_ptr<FirstFormula> first = CompileTwoFormulas(doc)) {
    SetStopDialog(doc, true);
    WriteEquivalence(doc, first->Root());
    StopRequested = false;
    SetStopDialog(doc, false);
  }
  doc.Text.SetVisible(true);
}

void RunCommand(FormulaDocument& doc, FormulaCommand command) {
  switch (command) {
    case FormulaCommand::Equivalence:
      RunEquivalence(doc);
      return;
    case FormulaCommand::Compile:
      if (doc.Text.SelectionLength() == 0) doc.Platform.ShowMessage(kNoSelectedTextMessage);
      else doc.XComp();
      return;
    case FormulaCommand::Decompile:
      if (!doc.ShowResults) doc.Text.SetVisible(false);
      doc.XDecomp();
      doc.Text.SetVisible(true);
      return;
    case FormulaCommand::Tree:
      if (!doc.ShowResults) doc.Text.SetVisible(false);
      if (doc.Text.SelectionLength() == 0) {
        doc.Platform.ShowMessage(kNoSelectedTextMessage);
      } else {
        doc.XComp();
        if (doc.ParseError == 0) doc.XDecompTree();
      }
      doc.Text.SetVisible(true);
      return;
    default:
      RunFrame(doc, command);
      return;
  }
}

// The command ran out of memory inside a text or list operation rather than a node
// allocation. Put the tree back at rest and treat it as a stop.
void RecoverFromExhaustedMemory(FormulaDocument& doc, FormulaCommand command, bool dialogWasVisible) {
  MemoryExhausted = true;
  if (doc.Root != nullptr) {
    doc.UnThread();
    if (StopDiscardsTree(command)) doc.DisposeTree();
  }
  doc.Platform.SetStopDialogVisible(ShowsStopDialog(command) ? false : dialogWasVisible);
  doc.Text.SetVisible(true);
}

}  // namespace

void RunFormulaCommand(FormulaDocument& doc, FormulaCommand command) {
  MemoryExhausted = false;
  ResetDepthRefusal();
  doc.MemoryNote.clear();
  BeginMemoryBudget();
  const bool dialogWasVisible = doc.Platform.StopDialogVisible();
  RunOnEngineStack([&] {
    HeartbeatScope heartbeat(doc.Platform);
    try {
      RunCommand(doc, command);
    } catch (const std::bad_alloc&) {
      RecoverFromExhaustedMemory(doc, command, dialogWasVisible);
    }
  });
  // A click on Stop while the result was being printed would otherwise outlive the
  // command and stop the next one at once, which discards a normal form's tree.
  StopRequested = false;
  if (MemoryExhausted) {
    MemoryExhausted = false;
    StopRequested = false;
    if (DepthRefused()) {
      // Too deep for the stack (WebAssembly): what ran out was not memory.
      doc.Platform.ShowMessage(DepthRefusalText(RefusedDepth()));
    } else if (doc.MemoryNote.empty()) {
      doc.Platform.ShowMessage(InsufficientMemoryText());
    } else {
      // A command that knows more than that memory ran out says it before the limit.
      doc.Platform.ShowMessage(std::string(kInsufficientMemoryMessage) + "\n" + doc.MemoryNote + " " +
                               MemoryLimitLine());
    }
    doc.MemoryNote.clear();
  }
  // What a large command took and let go of goes back to the system.
  ReleaseFreeNodeMemory();
}

std::optional<FormulaCommand> CommandFromName(std::string_view name) {
  for (const auto& [command, commandName] : kCommandNames) {
    if (commandName == name) return command;
  }
  return std::nullopt;
}

std::string_view CommandName(FormulaCommand command) {
  for (const auto& [known, name] : kCommandNames) {
    if (known == command) return name;
  }
  return {};
}

}  // namespace lumenark
