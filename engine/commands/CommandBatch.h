#pragma once
// A batch of commands on one document, as lumenark-cli runs them (and the browser module
// after it): the document is selected whole before the first command; each later one
// runs with nothing selected, on the current tree, except Equivalence, which takes the
// document's first two lines wherever it comes. A message box or a stop ends the batch.

#include <functional>
#include <span>

#include "commands/CommandFrame.h"
#include "text/MemoryEditorText.h"

namespace lumenark {

// Runs the commands on doc, whose text is text, selected as the batch wants it.
// stopped tells whether Stop was pressed; anyMessage whether a message box was shown.
// run runs one command on doc; RunFormulaCommand unless given.
void RunCommandBatch(FormulaDocument& doc, MemoryEditorText& text, std::span<const FormulaCommand> commands,
                     const std::function<bool()>& stopped, const std::function<bool()>& anyMessage,
                     const std::function<void(FormulaCommand)>& run = {});

// Selects the text's first two lines (up to the second line break, or all of a text
// with fewer).
void SelectFirstTwoLines(MemoryEditorText& text);

}  // namespace lumenark
