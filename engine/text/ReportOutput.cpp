// The report output: everything the engine writes goes into the editor's text at the
// caret through InsertString and InsertLine, which wrap lines at LineWidth. The
// formula printer writes a tree as one line of formula text, one piece per call, so
// that a line break may fall before any piece.

#include "formula/FormulaDocument.h"
#include "runtime/EngineGlobals.h"
#include "runtime/StackRoom.h"

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

// An operand gets parentheses when it binds more loosely than its operator; a right
// operand that is an implication under an implication gets them too, since the parser
// groups implications to the left. A negated operand never gets extra ones: a negated
// operator prints as '~(' ... ')' by itself.
void FormulaDocument::Dive(Slot slot) {
  FormulaNode* node = slot;
  StackLevel level;
  if (StopRequested || !level.Enter()) return;
  Platform.ProcessPendingInput();
  const bool isOperator = !IsLiteral(node);
  if (node->negated && !StopRequested) {
    PutPiece('~');
    if (isOperator) PutPiece('(');
  }
  if (isOperator && !StopRequested) {
    const FormulaNode* left = node->left;
    if (left->kind < node->kind && !left->negated) {
      PutPiece('(');
      Dive(node->left);
      PutPiece(')');
    } else {
      Dive(node->left);
    }
  }
  Platform.ProcessPendingInput();
  if (!StopRequested) PutPiece(node->symbol);
  if (isOperator && !StopRequested) {
    const FormulaNode* right = node->right;
    const bool looser = right->kind < node->kind ||
                        (node->kind == nkImplication && right->kind == nkImplication);
    if (!right->negated && looser) {
      PutPiece('(');
      Dive(node->right);
      PutPiece(')');
    } else {
      Dive(node->right);
    }
  }
  if (isOperator && node->negated && !StopRequested) PutPiece(')');
  Platform.ProcessPendingInput();
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
