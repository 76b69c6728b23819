#pragma once
// The Formula menu's commands, each run exactly as the editor window runs it. One
// place implements the common frame; the desktop program's menu handlers and
// lumenark-cli both call RunFormulaCommand.
//
// The frame: hide the text unless ShowResults is set; compile a selection, if there is
// one, and stop at a syntax error; if the document has a tree, run the operation,
// clear StopRequested and print the result; show the text again on every way out.

#include <optional>
#include <string_view>

#include "formula/FormulaDocument.h"
#include "runtime/MemoryBudget.h"  // kInsufficientMemoryMessage, InsufficientMemoryText

namespace lumenark {

enum class FormulaCommand {
  Compile,       // "Compile"        XComp
  Decompile,     // "Decompile"      XDecomp
  Tree,          // "Tree"           XComp, then XDecompTree
  Conjunctions,  // Conversion > "Conjunctions"  ToCon
  Implications,  // Conversion > "Implications"  ToImp
  Disjunctions,  // Conversion > "Disjunctions"  ToDis
  Literals,      // Conversion > "Literals"      ToConDis
  Evaluate,      // "Evaluate"       ConstEval, with the stop dialog
  Conjunctive,   // Normal forms > "Conjunctive"  ToCNF, with the stop dialog
  Disjunctive,   // Normal forms > "Disjunctive"  ToDNF
  MinimalCNF,    // Normal forms > "Minimal CNF"  ToCNF, Minimize
  MinimalDNF,    // Normal forms > "Minimal DNF"  ToDNF, Minimize
  Decision,      // "Decision"       Decision, with the stop dialog
  // Analyses after the Formula menu's separator; each leaves the tree as it is.
  TruthTable,    // "Truth Table"    WriteTruthTable (analysis/TruthTable.h), with the stop dialog
  Model,         // "Model"          WriteModel, with the stop dialog
  Countermodel,  // "Countermodel"   WriteModel for a falsifying assignment
  Latex,         // "LaTeX"          WriteLatexFormula (analysis/LatexFormula.h)
  // The minimum forms, proved (minimum/MinimumFormCommand.h): the tree becomes the result.
  MinimumDNF,    // "Minimum DNF"    MakeMinimumForm, with the stop dialog
  MinimumCNF,    // "Minimum CNF"
  KarnaughMap,   // "Karnaugh Map"   WriteKarnaughMap (minimum/KarnaughMap.h); leaves the tree as it is
  // Proofs and checks, after the analyses.
  Tableau,       // "Tableau"        WriteTableau (proofs/Tableau.h), with the stop dialog
  Equivalence,   // "Equivalence"    two formulas of the selection, WriteEquivalence (proofs/Equivalence.h)
  Dimacs,        // "DIMACS"         WriteDimacs (dimacs/DimacsWriter.h), with the stop dialog
};

// Runs the command on the document, on the engine stack. Afterwards the text is
// visible, StopRequested is clear (also after a click on Stop while the result was
// printed), and for the commands with the stop dialog the dialog is hidden. The command
// works within the memory budget fixed when it starts (runtime/MemoryBudget.h);
// exhausted memory, or a budget that would be passed, ends it as a stop would, with the
// message "Insuficient memory." and below it the limit in force (InsufficientMemoryText),
// and the memory is given back afterwards.
void RunFormulaCommand(FormulaDocument& doc, FormulaCommand command);

// Draws the document's current tree as Tree draws a compiled selection, within the same
// frame (nothing when there is no tree): lumenark-cli's tree after the first command,
// which runs, as every later command does, on the current tree.
void DrawCurrentTree(FormulaDocument& doc);

// The lumenark-cli names: compile, decompile, tree, conjunctions, implications,
// disjunctions, literals, evaluate, cnf, dnf, mincnf, mindnf, decision; and truthtable,
// model, countermodel, latex; minimumdnf, minimumcnf, kmap; and tableau, equivalence, dimacs.
std::optional<FormulaCommand> CommandFromName(std::string_view name);
std::string_view CommandName(FormulaCommand command);

// The message of the commands that read their formulas from the selection (Compile,
// Tree, Equivalence) when nothing is selected. Every other command works on the
// selection or else on the current tree, and without either does nothing and says
// nothing.
inline constexpr std::string_view kNoSelectedTextMessage = "No selected text.";

}  // namespace lumenark
