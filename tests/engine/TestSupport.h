#pragma once
// Shared helpers of the engine tests: a recording host, a document session over an
// in-memory text, an independent truth-table model of formulas, a tree checker and
// a seeded random formula generator.

#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "commands/CommandFrame.h"
#include "formula/FormulaDocument.h"
#include "runtime/EngineGlobals.h"
#include "runtime/Host.h"
#include "text/MemoryEditorText.h"

namespace lumenark::testing {

// Records messages and the stop dialog's visibility; can press Stop at the k-th call
// of ProcessPendingInput.
class TestHost final : public Host {
 public:
  TestHost();
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  void ProcessPendingInput() override;
  bool StopDialogVisible() const override { return dialogVisible; }
  void SetStopDialogVisible(bool visible) override {
    dialogVisible = visible;
    dialogChanges.push_back(visible);
  }

  std::vector<std::string> messages;
  std::vector<bool> dialogChanges;
  bool dialogVisible = false;
  std::uint64_t pendingInputCalls = 0;
  std::uint64_t stopAtCall = 0;  // 0: never
  // With more nodes than this alive, or more allocated since the host was made, the
  // host presses Stop, as a user would when a normal form grows too large (0: no limit).
  std::size_t nodeBudget = 0;
  std::uint64_t allocationBudget = 0;
  double secondsBudget = 0;  // from the host's making
  std::uint64_t allocationsAtStart;
  std::chrono::steady_clock::time_point madeAt;
  bool stoppedByBudget = false;
  // Whether the host pressed Stop, by call number or by budget.
  bool Stopped() const { return stoppedByBudget || (stopAtCall != 0 && pendingInputCalls >= stopAtCall); }
};

// The in-memory text, recording every change of its visibility.
class RecordingText final : public EditorText {
 public:
  explicit RecordingText(std::string text) : text_(std::move(text)) {}

  std::string Text() const { return text_.Text(); }
  std::size_t Size() const { return text_.Size(); }
  bool Visible() const { return text_.Visible(); }
  void SelectAll() { text_.SelectAll(); }
  // Selects length characters from start.
  void Select(std::size_t start, std::size_t length) {
    text_.SetSelectionStart(start);
    text_.SetSelectionLength(length);
  }

  std::size_t SelectionStart() const override { return text_.SelectionStart(); }
  std::size_t SelectionLength() const override { return text_.SelectionLength(); }
  std::string SelectedText() const override { return text_.SelectedText(); }
  void SetSelectionStart(std::size_t n) override { text_.SetSelectionStart(n); }
  void SetSelectionLength(std::size_t n) override { text_.SetSelectionLength(n); }
  void ReplaceSelection(std::string_view text) override { text_.ReplaceSelection(text); }
  void SetVisible(bool visible) override {
    visibilityChanges.push_back(visible);
    text_.SetVisible(visible);
  }

  std::vector<bool> visibilityChanges;

 private:
  MemoryEditorText text_;
};

struct Options {
  int details = 4;
  bool results = true;
  int width = 77;
};

// One editor window: a text with everything selected, its document and host.
class Session {
 public:
  explicit Session(const std::string& text, Options options = {});

  // Runs a command as the menu does; returns the whole text with LF line ends.
  std::string Run(FormulaCommand command);
  std::string Text() const;  // the whole text with LF line ends

  RecordingText text;
  TestHost host;
  FormulaDocument doc;
};

// Runs the commands on the text (selected whole) and returns the document, LF line ends.
std::string Derive(const std::string& text, const std::vector<FormulaCommand>& commands, Options options = {});

// The text written after the first line (the compiled selection and its line break).
std::string Written(const std::string& document);

// The first line of each message: "Insuficient memory." without the limit below it.
std::vector<std::string> FirstLines(const std::vector<std::string>& messages);

// ---- Model: truth tables, independent of the engine's rewriting -------------------
// Letters in order of first appearance in the formula text(s).
std::string LettersOf(const std::string& text);
// Value of a tree for the assignment in which letter i of letters has bit i of bits.
bool Evaluate(const FormulaNode* node, const std::string& letters, std::uint32_t bits);
// The truth table over letters (at most 20), one bit per assignment.
std::vector<bool> TruthTable(const FormulaNode* node, const std::string& letters);
// Truth table of a formula text, parsed by the test's own small parser.
std::vector<bool> TruthTableOfText(const std::string& formula, const std::string& letters);

// ---- Tree checks ---------------------------------------------------------------------
// Empty when the tree is well formed: operators have two operands and the symbol of
// their kind, literals a letter or constant and (with linksEmpty) no links, no node is
// reachable twice. Otherwise a description of the first fault.
std::string CheckTree(const FormulaNode* root, bool linksEmpty = true);
std::size_t CountNodes(const FormulaNode* root);
// The tree fully parenthesised, '~' before negated nodes: "(~A&(B|C))".
std::string Structure(const FormulaNode* node);

// ---- Random formulas -----------------------------------------------------------------
struct FormulaShape {
  int letters = 4;        // distinct letters drawn from (at most 52)
  int maxDepth = 4;
  bool constants = true;
  bool allOperators = true;  // '=' and '>' too
};
std::string RandomFormula(std::mt19937& random, const FormulaShape& shape);

// ---- Formula families ----------------------------------------------------------------
// The i-th letter: 'A'..'Z', then 'a'..'z'.
std::string LetterName(int i);
// pigeons pigeons in holes holes, one a hole (letter p * holes + h: pigeon p in hole h).
std::string Pigeonhole(int pigeons, int holes);
// Exactly one of the first letters, as a CNF: one clause of all, one per pair.
std::string ExactlyOne(int letters);
// A=B=C=... (or with another operator) over the first letters.
std::string Parity(int letters, char oper = '=');
// Every vertex takes one of the colours (letter v * colours + c), the ends of an edge differ.
std::string Colouring(int vertices, int colours, const std::vector<std::pair<int, int>>& edges);
// clauses random clauses of width literals over the first letters (repeats possible).
std::string RandomCnf(std::mt19937& random, int letters, int clauses, int width);

}  // namespace lumenark::testing
