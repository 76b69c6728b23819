#pragma once
// The worked examples of the user manual, kept in its HTML so that they can be run
// and compared with what the program writes today.
//
// A derivation is a <pre> element of class "example" whose attributes say what the
// user does, and whose content is the window's text afterwards:
//
//   <pre class="example" data-text="A|B&amp;C" data-cli="--details 3 cnf">A|B&amp;C
//   Result - Global conversion to literal form:A|B&amp;C
//   ...</pre>
//
// A message is a <code> element of class "message" whose content is the text of the
// message box; data-caret, where given, is the caret's position afterwards (line
// breaks count as two characters, as in a saved file):
//
//   <code class="message" data-text="A B" data-cli="compile" data-caret="2">Missing operator.</code>
//
// data-text is the window's whole text, selected before the first command (line
// breaks as "&#10;"); data-cli holds the options and commands as lumenark-cli takes
// them, so `lumenark-cli OPTIONS -e TEXT COMMANDS` reproduces an example. Commands
// after the first run on the current tree without a selection; a message ends the
// run, as it does for lumenark-cli.

#include <QList>
#include <QString>
#include <optional>
#include <string>
#include <vector>

struct ManualExample {
  enum class Kind { Derivation, Message };
  Kind kind = Kind::Derivation;
  int line = 0;           // in the page, for reports
  QString text;           // data-text, line breaks as LF
  QString cli;            // data-cli
  std::optional<std::size_t> caret;  // data-caret
  QString content;        // what the manual shows, entities resolved
  qsizetype contentStart = 0;  // the content's place in the page's source
  qsizetype contentEnd = 0;
};

// What running an example gives.
struct ExampleRun {
  QString error;          // a data-cli that lumenark-cli would refuse
  QString text;           // the window's text afterwards, LF line breaks
  QStringList messages;   // the message boxes shown
  std::size_t caret = 0;  // the caret afterwards
  // What the manual should show for the example of this kind.
  QString Shown(ManualExample::Kind kind) const { return kind == ManualExample::Kind::Message ? messages.join(QLatin1Char('\n')) : text; }
};

// The examples of one page, in order. Malformed markup is reported in errors.
QList<ManualExample> ExtractExamples(const QString& html, QStringList& errors);

// Runs the example through the engine as an editor window runs it.
ExampleRun RunExample(const ManualExample& example);

// HTML text content: & < > escaped; and back, for the entities the manual uses.
QString EscapeHtml(const QString& text);
QString UnescapeHtml(const QString& html, bool* ok = nullptr);
