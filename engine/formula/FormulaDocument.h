#pragma once
// The formula engine of one editor window.
//
// A FormulaDocument holds the window's current formula tree and output options and
// offers every engine operation as a method that works on that tree in place. All
// output is text written at the caret of the window's EditorText; messages, waiting
// input and the stop dialog go through the Host. Recursive workers carry an R prefix
// (RToCNF) beside the method that applies them to the whole tree (ToCNF), which does
// nothing when there is no tree.
//
// Rules never unlink a literal or a clause to remove it: they turn a literal into the
// constant '0' or '1', and the next constant evaluation removes what is to go.
//
// Typical use (what the Formula menu's commands do, see commands/CommandFrame.h):
//
//   MemoryEditorText text("A|B&C");  text.SelectAll();
//   FormulaDocument doc(text, host);
//   doc.XComp();                      // compile the selection into Root
//   doc.ToCNF();                      // (A|B)&(A|C)
//   doc.Minimize();
//   doc.XDecomp();                    // print it at the caret
//
// Trees may be as deep as the input is long; run the operations on the engine stack
// (RunOnEngineStack) as the command frame does.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formula/EditorText.h"
#include "formula/FormulaNode.h"
#include "runtime/Host.h"

namespace lumenark {

// The outer operators of the two normal forms.
constexpr char CNFOper = '&';
constexpr char DNFOper = '|';

// The diagram grid: rows and columns counted from 1.
constexpr int DiagramSize = 500;

class FormulaDocument {
 public:
  FormulaDocument(EditorText& text, Host& host);
  ~FormulaDocument();  // disposes the tree
  FormulaDocument(const FormulaDocument&) = delete;
  FormulaDocument& operator=(const FormulaDocument&) = delete;

  // ---- Document state --------------------------------------------------------------
  FormulaNode* Root = nullptr;     // the current formula tree; replaced by each compile
  std::uint8_t ParseError = 0;     // result of the last compile: 0 or an error code
  std::int32_t LineWidth = 77;     // line length of the report output (21..250)
  bool ShowResults = true;         // "Results": print results, keep the text visible
  std::uint16_t DetailLevel = 4;   // "Details": 0 most .. 4 nothing
  std::string FileName;            // the document's file, empty for a new window
  std::int32_t DiagramCounter = 0; // next free column of the tree diagram
  std::vector<char> DiagramGrid;   // 500 rows of 500 cells, row after row (from the first diagram on)
  // Normal forms are converted step by step at every Details level, also where no step
  // is written (for tests and benchmarks: the route that Details 0 to 2 take). Off, a
  // conversion that writes no step multiplies out directly, into the same tree.
  bool StepByStepNormalForms = false;
  // Decision at Details 4, where no step is written, first asks a decision diagram and a
  // SAT solver whether the formula or its negation is unsatisfiable, and writes that
  // verdict at once, with the tree the rewriting leaves (the constant). Off, it always
  // rewrites (tests, benchmarks).
  bool DecisionBySolver = true;
  // Minimal normal forms at Details 4 hold the multiplied-out products as a compressed
  // sequence and minimise it before any tree is built (ToMinimalCNF). Off, the products
  // are multiplied out in full first (tests, benchmarks).
  bool CompressedProducts = true;
  // Lines for the message "Insuficient memory.", below its limit line, set by an
  // operation that knows more than that the memory ran out (Decision: the verdict, with
  // a model); the command frame empties it when a command starts.
  std::string MemoryNote;
  // A last line for that message: what can be had instead (the command frame sets it for
  // Decision: the proved Minimum DNF), and a call that may say more about it, made with
  // the formula (in literal form) where a normal form is found not to fit in the memory
  // before its conversion gives the tree up.
  std::string MemoryAlternative;
  std::function<void(const FormulaNode*)> BeforeGivingUp;

  EditorText& Text;
  Host& Platform;

  // ---- Tree --------------------------------------------------------------------------
  void DisposeTree();                // frees the whole tree; Root empty
  void CopyTree(Slot target);        // deep copy of the tree into target (if there is one)

  // ---- Parser ------------------------------------------------------------------------
  void XComp();  // compiles the selection into Root; on error: code, caret, message

  // ---- Report output and printer -----------------------------------------------------
  void InsertLine();                       // CR LF at the caret; OutputColumn 0
  void InsertString(std::string_view text);  // wraps before text that would reach LineWidth
  void XDecomp();                          // prints the tree at the caret, then a line break

  // ---- Tree diagram ------------------------------------------------------------------
  void XDecompTree();  // draws the tree as a text diagram at the caret

  // ---- Constant evaluation -----------------------------------------------------------
  void EvlConst1(Slot slot);   // one step at the node in the slot
  void RConstEval(Slot slot);  // the whole subtree, operands first
  void ConstEval();            // the whole tree

  // ---- Connective conversions --------------------------------------------------------
  void Implication(Slot slot);  // '=', '&', '|' at the node into '>'
  void Disjunction(Slot slot);  // '=', '&', '>' at the node into '|'
  void Conjunction(Slot slot);  // '=', '|', '>' at the node into '&'
  void RToImp(Slot slot);       // Implication at every operator node, pre-order
  void RToDis(Slot slot);
  void RToCon(Slot slot);
  void RToConDis(Slot slot);    // literal form: '&' and '|' only, negation on literals
  void ToImp();                 // the workers on Root, with the Macrosteps result line
  void ToDis();
  void ToCon();
  void ToConDis();

  // ---- Distribution, idempotence, complementarity ------------------------------------
  // (A i B) o R becomes (A o R') i (B o R) at the node N in nodeSlot; leftSlot is N.left.
  void Distribution(Slot leftSlot, Slot nodeSlot);
  // Two literals with one letter joined by the chain's operator: the first becomes the
  // constant that removes it (same sign) or decides the chain (opposite signs).
  void IdCom(Slot first, Slot second, Slot chain);

  // ---- Absorption and extension ------------------------------------------------------
  // Compares two clauses of a normal form with top operator top and, if a rule applies,
  // turns literals into constants, reports, re-threads and sets changed.
  void AbsExt(Slot first, Slot second, bool& changed, char top);

  // ---- Normal forms ------------------------------------------------------------------
  void ToCNF();               // sorted and reduced CNF of the tree
  void ToDNF();
  void RToCNF(Slot slot);     // the distributing worker with outer operator '&'
  void RToDNF(Slot slot);     // ... with outer operator '|'
  void SortElm(Slot slot);    // sorts the literal elements of the slot's chain by letter
  void ReduceElm(Slot slot);  // IdCom on each pair of consecutive literal elements
  void Exchange(Slot a, Slot b);  // swaps the contents of two nodes

  // ---- Minimisation ------------------------------------------------------------------
  // ToCNF then Minimize (ToDNF then Minimize), as the Minimal CNF and Minimal DNF
  // commands and Decision run them. Where no step is written (Details 4), the products
  // that the first pass would remove are never built; the tree and text are the same.
  void ToMinimalCNF();
  void ToMinimalDNF();
  void Minimize();   // pairwise absorption and extension until a pass changes nothing
  void Thread();     // links the variable literals of every element of the outer chain
  void UnThread();   // empties the links of every literal (after a stop, which discards the tree, it ends)

  // ---- Decision ----------------------------------------------------------------------
  void Decision();   // minimal DNF and the verdict: valid, not consistent, consistent

 private:
  void Dive(Slot slot);
  void DiveTree(int row, Slot slot);
  void BecomeConstant(char constant);   // the root operator becomes the constant; operands freed
  bool DecidedBeforeRewriting();        // the verdict of an unsatisfiable formula or negation
  void PutPiece(char piece);            // one printed piece through InsertString
  void ReportRule(const char* comment); // a rewriting step, as DetailLevel asks
  void ReportResult(const char* comment);  // a global operation's Macrosteps line
  bool WritesNoSteps() const;
  void RToNormalForm(Slot slot, char outer);
  void ConvertToNormalForm(char outer, const char* resultComment);
  void MultiplyToNormalForm(char outer, const char* resultComment);
  void MinimalNormalForm(char outer, const char* resultComment);
  bool MinimizeCompressed(char outer, bool fullProductsExceedBudget);
  bool OutOfRoomForTheProducts(std::uint64_t products);
  bool ProductsExceedBudget(char outer);  // the normal form's elements cannot be held (ProductBound.h)
  bool LiteralFormExceedsBudget() const;  // nor can the literal form on the way
  void EndForTheProducts();               // ends the conversion as out of memory, without a tree
  void ConstEvalConverted(Slot slot, char outer);
  void ConstEvalOuterChain(Slot slot, char outer);
  void SortSubClauses(FormulaNode* clause);
  void ThreadElement(FormulaNode* element);
  void CompareClauses(FormulaNode* first, FormulaNode* second, FormulaNode* firstA, FormulaNode* firstB,
                      bool& changed, char top);
  friend class MinimizePass;

  // A model that Decision found before rewriting, for the bound on the DNF's elements.
  std::optional<std::uint64_t> decisionModel_;
};

}  // namespace lumenark
