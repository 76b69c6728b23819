#include "MemoryEditorText.h"

#include <algorithm>

namespace lumenark {

MemoryEditorText::MemoryEditorText(std::string text) : before_(std::move(text)) {}

std::string MemoryEditorText::Text() const {
  std::string text = before_;
  text.append(after_.rbegin(), after_.rend());
  return text;
}

void MemoryEditorText::SelectAll() {
  MoveGapTo(0);
  selectionLength_ = after_.size();
}

std::string MemoryEditorText::SelectedText() const {
  return std::string(after_.rbegin(), after_.rbegin() + static_cast<std::ptrdiff_t>(selectionLength_));
}

void MemoryEditorText::SetSelectionStart(std::size_t n) {
  MoveGapTo(std::min(n, Size()));
  selectionLength_ = 0;
}

void MemoryEditorText::SetSelectionLength(std::size_t n) {
  selectionLength_ = std::min(n, after_.size());
}

void MemoryEditorText::ReplaceSelection(std::string_view text) {
  after_.resize(after_.size() - selectionLength_);
  selectionLength_ = 0;
  before_.append(text);
}

void MemoryEditorText::MoveGapTo(std::size_t position) {
  if (position < before_.size()) {
    after_.append(before_.rbegin(), before_.rbegin() + static_cast<std::ptrdiff_t>(before_.size() - position));
    before_.resize(position);
  } else {
    std::size_t count = position - before_.size();
    before_.append(after_.rbegin(), after_.rbegin() + static_cast<std::ptrdiff_t>(count));
    after_.resize(after_.size() - count);
  }
}

}  // namespace lumenark
