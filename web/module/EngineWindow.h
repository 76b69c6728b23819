#pragma once
// A window of the browser page: a document with its own tree and options that persists
// between commands. The page keeps the text; each command gets it whole with the
// selection, and answers with one replacement, the selection afterwards and the
// messages. A command that nests deeper than the browser's stack allows leaves the text
// and the tree as they were (the tree from a snapshot taken before the command).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "PageHost.h"
#include "WindowText.h"
#include "commands/CommandFrame.h"
#include "formula/FormulaDocument.h"
#include "runtime/BudgetAllocator.h"
#include "text/MemoryEditorText.h"

namespace lumenark::web {

// What a command left, in the page's positions.
struct WindowAnswer {
  TextChange change;
  std::size_t selectionStart = 0;
  std::size_t selectionEnd = 0;
  int status = 0;  // 0 no message, 1 a message, 4 stopped
};

class EngineWindow {
 public:
  explicit EngineWindow(PageHost& host) : doc_(text_, host), host_(host) {}
  EngineWindow(const EngineWindow&) = delete;
  EngineWindow& operator=(const EngineWindow&) = delete;

  FormulaDocument& Document() { return doc_; }

  // Runs the command on pageText ("\n" line breaks, 8-bit) with the page's selection.
  WindowAnswer Command(FormulaCommand command, std::string_view pageText, std::size_t selectionStart,
                       std::size_t selectionEnd);

 private:
  MemoryEditorText text_;
  FormulaDocument doc_;
  PageHost& host_;
};

// Whether the command may leave the document with another tree than it found.
bool MayChangeTree(FormulaCommand command);

// The status of a command or batch by what the host saw: 4 stopped, 1 a message, else 0.
int StatusOf(const PageHost& host);

}  // namespace lumenark::web
