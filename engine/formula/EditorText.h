#pragma once
// What the engine needs of the editor's text control. Positions are 0-based character
// indexes into 8-bit text in which a line break is the two characters CR LF.

#include <cstddef>
#include <string>
#include <string_view>

namespace lumenark {

class EditorText {
 public:
  virtual ~EditorText() = default;

  virtual std::size_t SelectionStart() const = 0;   // first selected index, or the caret
  virtual std::size_t SelectionLength() const = 0;  // 0 when nothing is selected
  virtual std::string SelectedText() const = 0;     // copy of the selected characters
  virtual void SetSelectionStart(std::size_t n) = 0;   // caret to n, selection empty
  virtual void SetSelectionLength(std::size_t n) = 0;  // select n characters from the start
  // Replaces the selection by text (or inserts it at the caret); afterwards the caret
  // stands behind the inserted text and nothing is selected.
  virtual void ReplaceSelection(std::string_view text) = 0;
  virtual void SetVisible(bool visible) = 0;  // text stays readable and writable while hidden
};

}  // namespace lumenark
