#include "editor/ControlEditorText.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "editor/MemoControl.h"
#include "editor/TextVersions.h"
#include "runtime/EngineGlobals.h"
#include "text/Latin1Text.h"

namespace {

// The engine position of the first character of a line.
std::size_t EngineStart(const QTextBlock& block) {
  return static_cast<std::size_t>(block.position()) + static_cast<std::size_t>(block.blockNumber());
}

}  // namespace

ControlEditorText::ControlEditorText(MemoControl& control) : control_(control) {}

void ControlEditorText::BeginCommand() {
  Flush();
  overflowed_ = false;
  joinsUndoStep_ = false;
  outputLines_ = 0;
  capacity_ = control_.Capacity();
}

void ControlEditorText::EndCommand() {
  Flush();
  control_.Versions().OutputEnded();
}

std::size_t ControlEditorText::SelectionStart() const {
  FlushForQuery();
  return EnginePosition(control_.textCursor().selectionStart());
}

std::size_t ControlEditorText::SelectionLength() const {
  FlushForQuery();
  const QTextCursor cursor = control_.textCursor();
  return EnginePosition(cursor.selectionEnd()) - EnginePosition(cursor.selectionStart());
}

std::string ControlEditorText::SelectedText() const {
  FlushForQuery();
  return DocumentFromControlText(control_.textCursor().selectedText());
}

void ControlEditorText::SetSelectionStart(std::size_t n) {
  Flush();
  QTextCursor cursor = control_.textCursor();
  cursor.setPosition(ControlPosition(n));
  control_.setTextCursor(cursor);
}

void ControlEditorText::SetSelectionLength(std::size_t n) {
  Flush();
  QTextCursor cursor = control_.textCursor();
  const int start = cursor.selectionStart();
  cursor.setPosition(start);
  cursor.setPosition(ControlPosition(EnginePosition(start) + n), QTextCursor::KeepAnchor);
  control_.setTextCursor(cursor);
}

void ControlEditorText::ReplaceSelection(std::string_view text) {
  if (!text.empty()) {
    if (!overflowed_) pending_.append(text);
    return;
  }
  // Nothing to write: a selection is removed at once (collected writes would replace
  // it themselves, and then nothing is selected).
  QTextCursor cursor = control_.textCursor();
  if (!pending_.empty() || !cursor.hasSelection()) return;
  if (joinsUndoStep_) cursor.joinPreviousEditBlock();
  else cursor.beginEditBlock();
  cursor.removeSelectedText();
  cursor.endEditBlock();
  joinsUndoStep_ = true;
  control_.setTextCursor(cursor);
}

void ControlEditorText::SetVisible(bool visible) {
  Flush();
  control_.setVisible(visible);
}

void ControlEditorText::Flush(FlushMode mode) {
  std::size_t count = pending_.size();
  if (mode == FlushMode::WholeBreaks && count > 0 && pending_.back() == '\r') --count;
  if (count == 0) return;
  const std::size_t fitting = FittingCount(count);
  if (fitting < count) {
    overflowed_ = true;
    lumenark::StopRequested = true;
    pending_.erase(fitting);
    count = fitting;
    if (count == 0) return;
  }
  QTextCursor cursor = control_.textCursor();
  if (joinsUndoStep_) cursor.joinPreviousEditBlock();
  else cursor.beginEditBlock();
  const std::string_view piece = std::string_view(pending_).substr(0, count);
  cursor.insertText(ControlTextFromDocument(piece));
  cursor.endEditBlock();
  joinsUndoStep_ = true;
  control_.setTextCursor(cursor);
  outputLines_ += static_cast<int>(std::count(piece.begin(), piece.end(), '\n'));
  pending_.erase(0, count);
  control_.Versions().OutputGrew(outputLines_);
}

std::size_t ControlEditorText::FittingCount(std::size_t count) const {
  const QTextDocument& document = *control_.document();
  const std::size_t bytes = DocumentSize(document);
  std::size_t lines = static_cast<std::size_t>(document.blockCount());
  const std::string_view piece = std::string_view(pending_).substr(0, count);
  const std::size_t breaks = static_cast<std::size_t>(std::count(piece.begin(), piece.end(), '\n'));
  if (capacity_.Holds(bytes + count, lines + breaks)) return count;
  std::size_t fitting = 0;
  std::size_t added = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (piece[i] != '\n') continue;
    ++added;
    if (!capacity_.Holds(bytes + i + 1, lines + added)) break;
    fitting = i + 1;
  }
  return fitting;
}

std::size_t ControlEditorText::EnginePosition(int controlPosition) const {
  const QTextBlock block = control_.document()->findBlock(controlPosition);
  return static_cast<std::size_t>(controlPosition) + static_cast<std::size_t>(std::max(block.blockNumber(), 0));
}

int ControlEditorText::ControlPosition(std::size_t enginePosition) const {
  const QTextDocument& document = *control_.document();
  // The last line that starts at or before the position.
  int low = 0;
  int high = document.blockCount() - 1;
  while (low < high) {
    const int middle = low + (high - low + 1) / 2;
    if (EngineStart(document.findBlockByNumber(middle)) <= enginePosition) low = middle;
    else high = middle - 1;
  }
  const QTextBlock line = document.findBlockByNumber(low);
  const std::size_t lineLength = static_cast<std::size_t>(line.length() - 1);
  const std::size_t column = std::min(enginePosition - EngineStart(line), lineLength);
  return line.position() + static_cast<int>(column);
}
