#include "commands/CommandBatch.h"

namespace lumenark {

void SelectFirstTwoLines(MemoryEditorText& text) {
  // The line ends are found piece by piece, without a copy of the document.
  std::size_t offset = 0, breaks = 0, end = text.Size();
  bool pendingCr = false;
  text.WriteTo([&](std::string_view piece) {
    for (std::size_t i = 0; i < piece.size(); ++i) {
      if (pendingCr && piece[i] == '\n' && ++breaks == 2) {
        end = offset + i - 1;
        return false;
      }
      pendingCr = piece[i] == '\r';
    }
    offset += piece.size();
    return true;
  });
  text.SetSelectionStart(0);
  text.SetSelectionLength(end);
}

void RunBatchCommand(FormulaDocument& doc, FormulaCommand command, bool later) {
  if (command == FormulaCommand::Tree && later) DrawCurrentTree(doc);
  else RunFormulaCommand(doc, command);
}

void RunCommandBatch(FormulaDocument& doc, MemoryEditorText& text, std::span<const FormulaCommand> commands,
                     const std::function<bool()>& stopped, const std::function<bool()>& anyMessage,
                     const std::function<void(FormulaCommand, bool later)>& run) {
  bool later = false;
  for (FormulaCommand command : commands) {
    if (stopped()) break;
    if (command == FormulaCommand::Equivalence) SelectFirstTwoLines(text);
    if (run) run(command, later);
    else RunBatchCommand(doc, command, later);
    later = true;
    if (stopped() || anyMessage()) break;
    text.SetSelectionStart(text.SelectionStart() + text.SelectionLength());
  }
}

}  // namespace lumenark
