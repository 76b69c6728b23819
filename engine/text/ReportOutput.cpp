// The report output: everything the engine writes goes into the editor's text at the
// caret through InsertString and InsertLine, which wrap lines at LineWidth. The
// formula printer writes a tree as one line of formula text, one piece per call, so
// that a line break may fall before any piece.

#include "formula/FormulaDocument.h"
#include "runtime/BudgetAllocator.h"
#include "runtime/EngineGlobals.h"

namespace lumenark {

void FormulaDocument::InsertLine() {
  Text.ReplaceSelection("\r\n");
  OutputColumn = 0;
}

// The test breaks the line when the text would reach LineWidth, not only pass it, so
// short pieces fill at most LineWidth - 1 columns. A text is never split; one that is
// LineWidth long or longer starts a line of its own.
void FormulaDocument::InsertString(std::string_view text) {
  if (static_cast<std::int64_t>(text.size()) + OutputColumn >= LineWidth) InsertLine();
  Text.ReplaceSelection(text);
  OutputColumn = static_cast<std::uint16_t>(OutputColumn + text.size());
}

void FormulaDocument::XDecomp() {
  if (Root == nullptr) return;
  const bool wasVisible = Platform.StopDialogVisible();
  Platform.SetStopDialogVisible(true);
  Dive(Root);
  InsertLine();
  Platform.SetStopDialogVisible(wasVisible);
}

void FormulaDocument::PutPiece(char piece) { InsertString(std::string_view(&piece, 1)); }

namespace {

// An operand gets parentheses when it binds more loosely than its operator; a right
// operand that is an implication under an implication gets them too, since the parser
// groups implications to the left. A negated operand never gets extra ones: a negated
// operator prints as '~(' ... ')' by itself.
bool LeftNeedsParentheses(const FormulaNode* node) {
  const FormulaNode* left = node->left;
  return left->kind < node->kind && !left->negated;
}

bool RightNeedsParentheses(const FormulaNode* node) {
  const FormulaNode* right = node->right;
  const bool looser = right->kind < node->kind || (node->kind == nkImplication && right->kind == nkImplication);
  return !right->negated && looser;
}

// Where the printer stands at a node: what comes next there.
enum class DiveStep : std::uint8_t { Enter, AfterLeft, AfterRight };

struct DiveFrame {
  FormulaNode* node;
  DiveStep step;
  bool closeAfter;  // the operand is in parentheses of its parent's: ')' follows it
};

}  // namespace

// The printer walks the tree in order with a stack of its own, so a tree of any depth
// prints. Each node is entered once: pending input is processed on entry, before its
// symbol and when it is done; a stop prints nothing more, but the parentheses already
// opened around operands under way are closed.
void FormulaDocument::Dive(Slot slot) {
  BudgetVector<DiveFrame> frames{{slot, DiveStep::Enter, false}};
  while (!frames.empty()) {
    DiveFrame& frame = frames.back();
    FormulaNode* node = frame.node;
    const bool isOperator = !IsLiteral(node);
    switch (frame.step) {
      case DiveStep::Enter:
        if (StopRequested) {
          const bool close = frame.closeAfter;
          frames.pop_back();
          if (close) PutPiece(')');
          break;
        }
        Platform.ProcessPendingInput();
        if (node->negated && !StopRequested) {
          PutPiece('~');
          if (isOperator) PutPiece('(');
        }
        frame.step = DiveStep::AfterLeft;
        if (isOperator && !StopRequested) {
          const bool parentheses = LeftNeedsParentheses(node);
          if (parentheses) PutPiece('(');
          frames.push_back({node->left, DiveStep::Enter, parentheses});
        }
        break;
      case DiveStep::AfterLeft:
        Platform.ProcessPendingInput();
        if (!StopRequested) PutPiece(node->symbol);
        frame.step = DiveStep::AfterRight;
        if (isOperator && !StopRequested) {
          const bool parentheses = RightNeedsParentheses(node);
          if (parentheses) PutPiece('(');
          frames.push_back({node->right, DiveStep::Enter, parentheses});
        }
        break;
      case DiveStep::AfterRight: {
        if (isOperator && node->negated && !StopRequested) PutPiece(')');
        Platform.ProcessPendingInput();
        const bool close = frame.closeAfter;
        frames.pop_back();
        if (close) PutPiece(')');
        break;
      }
    }
  }
}

void FormulaDocument::ReportRule(const char* comment) {
  if (DetailLevel <= 1) {
    InsertString(comment);
    XDecomp();
  } else if (DetailLevel == 2) {
    XDecomp();
  }
}

void FormulaDocument::ReportResult(const char* comment) {
  if (DetailLevel == 3) {
    InsertString(comment);
    XDecomp();
  }
}

}  // namespace lumenark
