#include "EngineWindow.h"

#include <new>
#include <optional>

#include "RecoveryRecord.h"
#include "formula/TreeSnapshot.h"
#include "runtime/MemoryBudget.h"
#include "runtime/StackRoom.h"

namespace lumenark::web {

bool MayChangeTree(FormulaCommand command) {
  switch (command) {
    case FormulaCommand::Decompile:
    case FormulaCommand::TruthTable:
    case FormulaCommand::Model:
    case FormulaCommand::Countermodel:
    case FormulaCommand::Latex:
    case FormulaCommand::KarnaughMap:
    case FormulaCommand::Tableau:
    case FormulaCommand::Dimacs:
      return false;
    default:
      return true;
  }
}

int StatusOf(const PageHost& host) {
  if (host.Stopped()) return 4;
  return host.Messages().empty() ? 0 : 1;
}

WindowAnswer EngineWindow::Command(FormulaCommand command, std::string_view pageText, std::size_t selectionStart,
                                   std::size_t selectionEnd) {
  const std::string before = EngineTextOf(pageText);
  const std::size_t start = EnginePosition(pageText, std::min(selectionStart, selectionEnd));
  const std::size_t end = EnginePosition(pageText, std::max(selectionStart, selectionEnd));
  WindowAnswer answer;
  answer.selectionStart = selectionStart;
  answer.selectionEnd = selectionEnd;
  host_.Begin();
  // The text counts against the budget as the window's does; one that passes it alone
  // is refused before any command runs.
  BeginMemoryBudget();
  try {
    text_ = MemoryEditorText(before);
    text_.SetCapacity(kPageTextCapacity);
  } catch (const std::bad_alloc&) {
    host_.ShowMessage(InsufficientMemoryText());
    answer.status = StatusOf(host_);
    return answer;
  }
  text_.SetSelectionStart(start);
  text_.SetSelectionLength(end - start);

  // The tree as it was, to put back if the command goes too deep; without room for
  // it, the command runs all the same.
  std::optional<BudgetString> snapshot;
  if (doc_.Root != nullptr && MayChangeTree(command)) {
    try {
      snapshot = SaveTree(doc_.Root);
    } catch (const std::bad_alloc&) {
    }
  }
  const RecoveryScope recovery(snapshot ? std::string_view(*snapshot) : std::string_view(), {});

  RunFormulaCommand(doc_, command);
  if (text_.TakeOverflow()) host_.ShowMessage(kTextCapacityMessage);

  answer.status = StatusOf(host_);
  if (DepthRefused()) {
    if (snapshot) {
      doc_.DisposeTree();
      if (const std::optional<FormulaNode*> tree = LoadTree(*snapshot)) doc_.Root = *tree;
    }
  } else {
    const std::string after = text_.Text();
    answer.change = ChangeBetween(before, after);
    answer.selectionStart = PagePosition(after, text_.SelectionStart());
    answer.selectionEnd = PagePosition(after, text_.SelectionStart() + text_.SelectionLength());
  }
  text_ = MemoryEditorText();
  return answer;
}

}  // namespace lumenark::web
