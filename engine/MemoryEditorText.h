#pragma once
// An EditorText held in memory: the text of the tests and of lumenark-cli.
//
// The text is a gap buffer split at the selection start, so writing at the caret, as
// the report output does one character at a time, costs amortised constant time
// wherever the caret stands.

#include <string>

#include "EditorText.h"

namespace lumenark {

class MemoryEditorText final : public EditorText {
 public:
  explicit MemoryEditorText(std::string text = {});

  std::string Text() const;  // the whole text
  std::size_t Size() const { return before_.size() + after_.size(); }
  bool Visible() const { return visible_; }
  void SelectAll();

  std::size_t SelectionStart() const override { return before_.size(); }
  std::size_t SelectionLength() const override { return selectionLength_; }
  std::string SelectedText() const override;
  void SetSelectionStart(std::size_t n) override;
  void SetSelectionLength(std::size_t n) override;
  void ReplaceSelection(std::string_view text) override;
  void SetVisible(bool visible) override { visible_ = visible; }

 private:
  void MoveGapTo(std::size_t position);

  std::string before_;  // the text before the selection start
  std::string after_;   // the text from the selection start on, stored reversed
  std::size_t selectionLength_ = 0;
  bool visible_ = true;
};

}  // namespace lumenark
