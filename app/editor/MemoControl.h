#pragma once
// The text control of an editor window (Memo1): plain 8-bit text in "Courier New",
// no border, both scroll bars, no word wrap. The text can only hold characters 0..255
// (Latin-1) and whole-line breaks, so that what the window shows is exactly what is
// saved: typed, pasted and dropped text is brought into that range, and copying puts
// the plain text on the clipboard as it stands.
//
// It is Qt's plain text control, which lays out only the lines it shows: a text of a
// million lines takes the time and memory of its characters and lines, not of their
// layout, and grows at the end without the lines above being laid out again.

#include <QPlainTextEdit>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "text/TextCapacity.h"

class TextVersions;

// The second line of the report of a line longer than the control holds.
QString LineTooLongReason();

class MemoControl final : public QPlainTextEdit {
 public:
  // The longest line, in characters. Qt lays a line out in 26.6 fixed-point pixels:
  // past 2^25 pixels (about 4.3 million characters of the 13-pixel "Courier New") the
  // positions wrap round, the glyphs are drawn over each other and the line cannot be
  // scrolled. A million characters stay below that at four times the size (the largest
  // zoom) and open in a fifth of a second.
  static constexpr std::size_t kCapacityLineLength = TextCapacity::kLongestLine;

  explicit MemoControl(QWidget* parent);

  // The formatting rectangle: the area inside the control in which the text is laid
  // out and drawn, given by its distances from the control's edges.
  void SetEditRect(const QMargins& margins);
  QMargins EditRect() const { return viewportMargins(); }

  // The font of the text as chosen (Character > Font...); tab stops stand every eight
  // average characters of the font shown.
  void SetTextFont(const QFont& font);
  QFont TextFont() const { return chosen_; }
  // The zoom shows the chosen font larger or smaller, by tenths of its size (from half
  // to four times), without changing it: the font dialog and printing use the chosen
  // font. steps > 0 enlarges, < 0 reduces; ZoomReset shows the chosen size again.
  void Zoom(int steps);
  void ZoomReset();
  int ZoomLevel() const { return zoom_; }  // tenths above (or below) the chosen size
  // The font as the control uses it: Latin-1 text needs no shaping, and laying out
  // a derivation without it takes about a third less time.
  static QFont Unshaped(QFont font);

  // The whole text as document bytes, with CR LF line breaks.
  std::string DocumentText() const;
  // Replaces the whole text; undo history and modification flag are cleared.
  void SetDocumentText(std::string_view bytes);
  // The text was saved as it stands: not changed since.
  void MarkSaved();

  // Undo and Redo of the text, large outputs included (TextVersions.h).
  TextVersions& Versions() { return *versions_; }
  // A document for the text, laid out and formatted as the one shown, owned by owner;
  // and showing one, with the font shown.
  QTextDocument* NewDocument(QObject* owner) const;
  void ShowDocument(QTextDocument* document);

  // The alignment of every line (left, right or centred).
  Qt::Alignment TextAlignment() const;
  void SetTextAlignment(Qt::Alignment alignment);

  // Word wrap breaks long lines for display at word boundaries; the horizontal scroll
  // bar is shown only without it.
  bool WordWrap() const { return lineWrapMode() != NoWrap; }
  void SetWordWrap(bool on);

  // While the engine writes, the user can neither change the text nor move the caret.
  void SetEngineWriting(bool writing);

  // What the text may hold now: its size so far and half of the memory the program
  // can still take (TextCapacity.h), unless a capacity was set.
  TextCapacity Capacity() const;
  // A fixed capacity in place of the memory's (for tests); nothing for the memory's.
  void SetCapacity(std::optional<TextCapacity> capacity) { fixedCapacity_ = capacity; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;  // refused beyond the capacity
  QMimeData* createMimeDataFromSelection() const override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Whether the text stays within the capacity when inserted replaces the selection.
  bool Holds(const QString& inserted) const;
  // The longest line the text has where inserted replaces the selection, counting only
  // the lines the insertion makes or changes.
  std::size_t LongestLineWith(const QString& inserted) const;

  void ShowFont();

  QFont chosen_;
  int zoom_ = 0;
  TextVersions* versions_;
  std::optional<TextCapacity> fixedCapacity_;
  bool layoutWidthStale_ = false;  // the text is laid out for an earlier width
};
