#pragma once
// The text of an editor window as a row of documents, for Undo and Redo of large
// outputs. Qt's text document removes or puts back a line in some microseconds: undoing
// a command's table of a million lines froze the window for seconds, redoing it for
// longer, and the steps kept most of a gigabyte after the table was gone. So once a
// command's output grows past kLargeOutputLines, it goes on in a document of its own,
// a copy of the text with the output so far, and the output leaves the document it
// started in, which is thus the text as it was before the command. Undo of the whole
// output shows that document again, Redo the one with the output: both at once, the
// caret and the view where they were. Each document keeps its own history of typing
// and smaller commands, so Undo goes on back through the earlier document's steps, and
// Redo forward into the later one. As in any editor, a change made after an Undo drops
// the documents ahead: their memory goes back. Until then the document with the output
// stays, for Redo.
//
// The copy takes the time of the text before the output; a text already of more than
// kLargestCopiedLines keeps a large output in its own document, as small ones are.

#include <QObject>
#include <vector>

class MemoControl;
class QTextDocument;

class TextVersions final : public QObject {
 public:
  static constexpr int kLargeOutputLines = 20'000;
  static constexpr int kLargestCopiedLines = 200'000;

  // Takes over the control's document.
  explicit TextVersions(MemoControl& memo);

  // Undo and Redo of the text: within the document shown while it has steps, then into
  // the document before (after) it.
  void Undo();
  void Redo();
  bool CanUndo() const;
  bool CanRedo() const;

  // A command's output in the document shown, written as the one undo step that its
  // last edit block holds, has grown to outputLines lines: moves it into a document of
  // its own when it is large enough. The command writes on at the caret there, with no
  // step recorded, until OutputEnded.
  void OutputGrew(int outputLines);
  void OutputEnded();

  // The text was saved: the document shown is unchanged, every other one changed.
  void Saved();
  // The text is new (opened, emptied): no other document stays.
  void Forget();
  int Count() const { return static_cast<int>(documents_.size()); }

 private:
  struct Place {
    int anchor = 0, position = 0;
    int vertical = 0, horizontal = 0;
  };
  struct Version {
    QTextDocument* document;
    Place place;  // the caret and the view when another version was shown
  };

  void Show(std::size_t index);
  void DropAhead();
  Place PlaceNow() const;
  void Watch(QTextDocument* document);

  MemoControl& memo_;
  std::vector<Version> documents_;
  std::size_t shown_ = 0;
  bool outputMoved_ = false;  // the running command writes into a document of its own
  bool stepping_ = false;     // the text changes by Undo or Redo, not by an edit
};
