#pragma once
// Searching and replacing in an editor window's text, as the Find and Replace dialog
// asks for it: a text, with or without regard to letter case, anywhere or only as a
// whole word. The search goes forward from the caret and round the end of the text.

#include <QString>
#include <QTextDocument>

class QPlainTextEdit;

struct TextSearch {
  QString text;
  bool matchCase = false;
  bool wholeWords = false;

  QTextDocument::FindFlags Flags() const;
};

// Selects the next occurrence after the selection (or the caret), continuing at the
// start of the text; false, with the selection unchanged, when there is none.
bool FindNext(QPlainTextEdit& editor, const TextSearch& search);

// Whether the selection is an occurrence of the search text.
bool SelectionMatches(const QPlainTextEdit& editor, const TextSearch& search);

// Replaces every occurrence in the text by replacement, as one step to undo; returns
// how many there were.
int ReplaceAll(QPlainTextEdit& editor, const TextSearch& search, const QString& replacement);

// How many occurrences the text holds.
int CountOccurrences(const QTextDocument& document, const TextSearch& search);
