// The in-memory text: selection, replacement and the gap that makes writing at the
// caret cheap anywhere in the text.

#include <gtest/gtest.h>

#include "text/MemoryEditorText.h"

namespace lumenark {
namespace {

TEST(MemoryEditorTextTest, BehavesLikeAnEditControl) {
  MemoryEditorText text("Hello world");
  text.SetSelectionStart(6);
  text.SetSelectionLength(5);
  EXPECT_EQ(text.SelectedText(), "world");
  text.ReplaceSelection("there");
  EXPECT_EQ(text.Text(), "Hello there");
  EXPECT_EQ(text.SelectionStart(), 11u);
  EXPECT_EQ(text.SelectionLength(), 0u);
  text.SetSelectionStart(5);
  text.ReplaceSelection(",");
  text.ReplaceSelection(" you");
  EXPECT_EQ(text.Text(), "Hello, you there");
  text.SetSelectionStart(100);  // clamped to the end
  EXPECT_EQ(text.SelectionStart(), 16u);
  text.SetSelectionStart(0);
  text.SetSelectionLength(100);  // clamped to the rest
  EXPECT_EQ(text.SelectionLength(), 16u);
  text.ReplaceSelection("");
  EXPECT_EQ(text.Text(), "");
}

TEST(MemoryEditorTextTest, KeepsEveryByteValue) {
  std::string bytes;
  for (int c = 0; c < 256; ++c) bytes += static_cast<char>(c);
  MemoryEditorText text(bytes);
  text.SelectAll();
  EXPECT_EQ(text.SelectedText(), bytes);
  text.SetSelectionStart(128);
  text.ReplaceSelection(bytes);
  EXPECT_EQ(text.Text(), bytes.substr(0, 128) + bytes + bytes.substr(128));
}

}  // namespace
}  // namespace lumenark
