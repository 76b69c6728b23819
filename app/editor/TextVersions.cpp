#include "editor/TextVersions.h"

#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>

#include "editor/MemoControl.h"

TextVersions::TextVersions(MemoControl& memo) : QObject(&memo), memo_(memo) {
  // Owned here, not by the control, which would delete a document of its own when
  // another is shown.
  memo_.document()->setParent(this);
  documents_.push_back({memo_.document(), {}});
  Watch(memo_.document());
}

// A change of the document shown, other than by Undo and Redo, makes the documents
// ahead unreachable.
void TextVersions::Watch(QTextDocument* document) {
  connect(document, &QTextDocument::contentsChanged, this, [this, document] {
    if (!stepping_ && documents_[shown_].document == document) DropAhead();
  });
}

bool TextVersions::CanUndo() const { return memo_.document()->isUndoAvailable() || shown_ > 0; }

bool TextVersions::CanRedo() const { return memo_.document()->isRedoAvailable() || shown_ + 1 < documents_.size(); }

void TextVersions::Undo() {
  const QScopedValueRollback stepping(stepping_, true);
  if (memo_.document()->isUndoAvailable()) memo_.undo();
  else if (shown_ > 0) Show(shown_ - 1);
}

void TextVersions::Redo() {
  const QScopedValueRollback stepping(stepping_, true);
  if (memo_.document()->isRedoAvailable()) memo_.redo();
  else if (shown_ + 1 < documents_.size()) Show(shown_ + 1);
}

TextVersions::Place TextVersions::PlaceNow() const {
  const QTextCursor caret = memo_.textCursor();
  return {caret.anchor(), caret.position(), memo_.verticalScrollBar()->value(), memo_.horizontalScrollBar()->value()};
}

void TextVersions::Show(std::size_t index) {
  documents_[shown_].place = PlaceNow();
  shown_ = index;
  const Place& place = documents_[shown_].place;
  memo_.ShowDocument(documents_[shown_].document);
  QTextCursor caret(documents_[shown_].document);
  caret.setPosition(place.anchor);
  caret.setPosition(place.position, QTextCursor::KeepAnchor);
  memo_.setTextCursor(caret);
  memo_.verticalScrollBar()->setValue(place.vertical);
  memo_.horizontalScrollBar()->setValue(place.horizontal);
}

void TextVersions::DropAhead() {
  while (documents_.size() > shown_ + 1) {
    delete documents_.back().document;
    documents_.pop_back();
  }
}

void TextVersions::OutputGrew(int outputLines) {
  if (outputMoved_ || outputLines < kLargeOutputLines) return;
  QTextDocument* before = memo_.document();
  if (before->blockCount() - outputLines > kLargestCopiedLines) return;
  // The copy, with the output so far and the caret behind it; then the output leaves the
  // document before, whose last step it is, for good.
  const Place withOutput = PlaceNow();
  QTextDocument* after = memo_.NewDocument(this);
  after->setPlainText(before->toRawText());
  after->setUndoRedoEnabled(false);
  after->setModified(true);
  {
    const QScopedValueRollback stepping(stepping_, true);
    before->undo();
    before->clearUndoRedoStacks(QTextDocument::RedoStack);
  }
  DropAhead();
  documents_.push_back({after, withOutput});
  Watch(after);
  outputMoved_ = true;
  Show(shown_ + 1);
}

void TextVersions::OutputEnded() {
  if (!std::exchange(outputMoved_, false)) return;
  memo_.document()->setUndoRedoEnabled(true);
}

void TextVersions::Saved() {
  for (const Version& version : documents_) version.document->setModified(version.document != memo_.document());
}

void TextVersions::Forget() {
  for (std::size_t i = 0; i < documents_.size(); ++i) {
    if (i != shown_) delete documents_[i].document;
  }
  documents_ = {documents_[shown_]};
  shown_ = 0;
  outputMoved_ = false;
}
