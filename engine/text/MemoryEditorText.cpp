#include "text/MemoryEditorText.h"

#include <algorithm>

#include "runtime/EngineGlobals.h"

namespace lumenark {
namespace {

// A string that has given up most of its text hands the room back.
void ShrinkWhenMostlyEmpty(BudgetString& text) {
  if (text.capacity() > 2 * text.size() + (std::size_t{1} << 20)) text.shrink_to_fit();
}

}  // namespace

MemoryEditorText::MemoryEditorText(std::string_view text) : before_(text) {}

std::string MemoryEditorText::Text() const {
  std::string text(before_);
  text.append(after_.rbegin(), after_.rend());
  return text;
}

bool MemoryEditorText::WriteTo(const std::function<bool(std::string_view)>& sink) const {
  if (!before_.empty() && !sink(before_)) return false;
  char piece[1 << 16];
  for (std::size_t done = 0; done < after_.size();) {
    const std::size_t count = std::min(sizeof piece, after_.size() - done);
    std::copy_n(after_.rbegin() + static_cast<std::ptrdiff_t>(done), count, piece);
    if (!sink(std::string_view(piece, count))) return false;
    done += count;
  }
  return true;
}

void MemoryEditorText::SelectAll() {
  MoveGapTo(0);
  selectionLength_ = after_.size();
}

void MemoryEditorText::Append(std::string_view text) {
  MoveGapTo(Size());
  selectionLength_ = 0;
  before_.append(text);
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
  if (text.size() > selectionLength_ && Size() - selectionLength_ + text.size() > capacity_) {
    overflowed_ = true;
    StopRequested = true;
    return;
  }
  after_.resize(after_.size() - selectionLength_);
  selectionLength_ = 0;
  before_.append(text);
}

void MemoryEditorText::MoveGapTo(std::size_t position) {
  if (position < before_.size()) {
    after_.append(before_.rbegin(), before_.rbegin() + static_cast<std::ptrdiff_t>(before_.size() - position));
    before_.resize(position);
    ShrinkWhenMostlyEmpty(before_);
  } else {
    std::size_t count = position - before_.size();
    before_.append(after_.rbegin(), after_.rbegin() + static_cast<std::ptrdiff_t>(count));
    after_.resize(after_.size() - count);
    ShrinkWhenMostlyEmpty(after_);
  }
}

}  // namespace lumenark
