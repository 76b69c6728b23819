#pragma once
// An EditorText held in memory: the text of the tests and of lumenark-cli.
//
// The text is a gap buffer split at the selection start, so writing at the caret, as
// the report output does one character at a time, costs amortised constant time
// wherever the caret stands. It counts against the memory budget: a derivation written
// at Details 1 can reach hundreds of megabytes.

#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "formula/EditorText.h"
#include "runtime/BudgetAllocator.h"

namespace lumenark {

class MemoryEditorText final : public EditorText {
 public:
  explicit MemoryEditorText(std::string_view text = {});

  std::string Text() const;  // the whole text
  // Hands the whole text to sink piece by piece, in order, without a copy of it all;
  // stops early (and returns false) when sink returns false.
  bool WriteTo(const std::function<bool(std::string_view)>& sink) const;
  std::size_t Size() const { return before_.size() + after_.size(); }
  bool Visible() const { return visible_; }
  void SelectAll();
  // Appends text at the end; the caret stands behind it and nothing is selected.
  void Append(std::string_view text);

  std::size_t SelectionStart() const override { return before_.size(); }
  std::size_t SelectionLength() const override { return selectionLength_; }
  std::string SelectedText() const override;
  void SetSelectionStart(std::size_t n) override;
  void SetSelectionLength(std::size_t n) override;
  void ReplaceSelection(std::string_view text) override;
  void SetVisible(bool visible) override { visible_ = visible; }

  // A text that may hold at most capacity characters, as a window's text control may:
  // a replacement that would pass it is not made, and presses Stop, so that the command
  // writing it winds down (a window then says "Text exceeds memo capacity"). Unlimited
  // unless set.
  void SetCapacity(std::size_t capacity) { capacity_ = capacity; }
  // Whether a replacement was refused since the text was made or last asked.
  bool TakeOverflow() { return std::exchange(overflowed_, false); }

 private:
  void MoveGapTo(std::size_t position);

  BudgetString before_;  // the text before the selection start
  BudgetString after_;   // the text from the selection start on, stored reversed
  std::size_t selectionLength_ = 0;
  bool visible_ = true;
  std::size_t capacity_ = static_cast<std::size_t>(-1);
  bool overflowed_ = false;
};

}  // namespace lumenark
