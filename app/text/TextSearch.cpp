#include "text/TextSearch.h"

#include <QTextCursor>
#include <QPlainTextEdit>

QTextDocument::FindFlags TextSearch::Flags() const {
  QTextDocument::FindFlags flags;
  if (matchCase) flags |= QTextDocument::FindCaseSensitively;
  if (wholeWords) flags |= QTextDocument::FindWholeWords;
  return flags;
}

bool FindNext(QPlainTextEdit& editor, const TextSearch& search) {
  if (search.text.isEmpty()) return false;
  const QTextDocument& document = *editor.document();
  QTextCursor found = document.find(search.text, editor.textCursor(), search.Flags());
  if (found.isNull()) found = document.find(search.text, 0, search.Flags());
  if (found.isNull()) return false;
  editor.setTextCursor(found);
  editor.ensureCursorVisible();
  return true;
}

bool SelectionMatches(const QPlainTextEdit& editor, const TextSearch& search) {
  const QTextCursor selection = editor.textCursor();
  if (!selection.hasSelection() || search.text.isEmpty()) return false;
  const QTextCursor found =
      editor.document()->find(search.text, selection.selectionStart(), search.Flags());
  return !found.isNull() && found.selectionStart() == selection.selectionStart() &&
         found.selectionEnd() == selection.selectionEnd();
}

int CountOccurrences(const QTextDocument& document, const TextSearch& search) {
  if (search.text.isEmpty()) return 0;
  int count = 0;
  for (QTextCursor at = document.find(search.text, 0, search.Flags()); !at.isNull();
       at = document.find(search.text, at, search.Flags())) {
    ++count;
  }
  return count;
}

int ReplaceAll(QPlainTextEdit& editor, const TextSearch& search, const QString& replacement) {
  if (search.text.isEmpty()) return 0;
  QTextDocument& document = *editor.document();
  QTextCursor edit(&document);
  edit.beginEditBlock();
  int count = 0;
  for (QTextCursor at = document.find(search.text, 0, search.Flags()); !at.isNull();
       at = document.find(search.text, at, search.Flags())) {
    at.insertText(replacement);  // the cursor then stands behind the replacement
    ++count;
  }
  edit.endEditBlock();
  return count;
}
