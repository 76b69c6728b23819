#include "commands/CommandBatch.h"

#include <string>

namespace lumenark {

void SelectFirstTwoLines(MemoryEditorText& text) {
  const std::string whole = text.Text();
  std::size_t end = whole.find("\r\n");
  if (end != std::string::npos) end = whole.find("\r\n", end + 2);
  text.SetSelectionStart(0);
  text.SetSelectionLength(end == std::string::npos ? whole.size() : end);
}

void RunCommandBatch(FormulaDocument& doc, MemoryEditorText& text, std::span<const FormulaCommand> commands,
                     const std::function<bool()>& stopped, const std::function<bool()>& anyMessage,
                     const std::function<void(FormulaCommand)>& run) {
  for (FormulaCommand command : commands) {
    if (stopped()) break;
    if (command == FormulaCommand::Equivalence) SelectFirstTwoLines(text);
    if (run) run(command);
    else RunFormulaCommand(doc, command);
    if (stopped() || anyMessage()) break;
    text.SetSelectionStart(text.SelectionStart() + text.SelectionLength());
  }
}

}  // namespace lumenark
