#include "ManualExamples.h"

#include <QRegularExpression>

#include "CommandLine.h"
#include "commands/CommandFrame.h"
#include "formula/FormulaDocument.h"
#include "runtime/EngineGlobals.h"
#include "runtime/Host.h"
#include "text/LineBreaks.h"
#include "text/MemoryEditorText.h"

namespace {

// Message boxes are collected; there is no stop dialog to click.
class ManualHost final : public lumenark::Host {
 public:
  void ShowMessage(std::string_view text) override { messages.append(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()))); }
  void ProcessPendingInput() override {}
  bool StopDialogVisible() const override { return visible_; }
  void SetStopDialogVisible(bool visible) override { visible_ = visible; }
  QStringList messages;

 private:
  bool visible_ = false;
};

int LineOf(const QString& html, qsizetype position) { return static_cast<int>(html.left(position).count(QLatin1Char('\n'))) + 1; }

QString Attribute(const QString& attributes, const QString& name, bool* present = nullptr) {
  const QRegularExpression pattern(QStringLiteral("\\b%1=\"([^\"]*)\"").arg(QRegularExpression::escape(name)));
  const QRegularExpressionMatch match = pattern.match(attributes);
  if (present != nullptr) *present = match.hasMatch();
  return match.hasMatch() ? match.captured(1) : QString();
}

std::string Latin1(const QString& text) { return text.toLatin1().toStdString(); }

}  // namespace

// '>' and '"' may stand in text content as they are, which keeps formulas readable.
QString EscapeHtml(const QString& text) {
  QString html = text;
  html.replace(QLatin1Char('&'), QLatin1String("&amp;"));
  html.replace(QLatin1Char('<'), QLatin1String("&lt;"));
  return html;
}

QString UnescapeHtml(const QString& html, bool* ok) {
  static const QRegularExpression entity(QStringLiteral("&(#\\d+|amp|lt|gt|quot);|&"));
  QString text;
  qsizetype from = 0;
  bool good = true;
  for (QRegularExpressionMatchIterator it = entity.globalMatch(html); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    text += html.mid(from, match.capturedStart() - from);
    from = match.capturedEnd();
    const QString name = match.captured(1);
    if (name.isEmpty()) good = false;  // a bare '&' or an entity the manual does not use
    else if (name == QLatin1String("amp")) text += QLatin1Char('&');
    else if (name == QLatin1String("lt")) text += QLatin1Char('<');
    else if (name == QLatin1String("gt")) text += QLatin1Char('>');
    else if (name == QLatin1String("quot")) text += QLatin1Char('"');
    else text += QChar(name.mid(1).toInt());
  }
  text += html.mid(from);
  if (ok != nullptr) *ok = good;
  return text;
}

QList<ManualExample> ExtractExamples(const QString& html, QStringList& errors) {
  // Attribute values may hold '>' (formulas do), so the tag ends at the first '>'
  // outside quotes.
  static const QRegularExpression element(QStringLiteral("<(pre|code)\\b((?:[^>\"]|\"[^\"]*\")*)>(.*?)</\\1>"),
                                          QRegularExpression::DotMatchesEverythingOption);
  QList<ManualExample> examples;
  for (QRegularExpressionMatchIterator it = element.globalMatch(html); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    const QString attributes = match.captured(2);
    const QString kind = Attribute(attributes, QStringLiteral("class"));
    if (kind != QLatin1String("example") && kind != QLatin1String("message")) continue;
    ManualExample example;
    example.kind = kind == QLatin1String("message") ? ManualExample::Kind::Message : ManualExample::Kind::Derivation;
    example.line = LineOf(html, match.capturedStart());
    const QString where = QStringLiteral("line %1: ").arg(example.line);
    bool hasText = false;
    bool hasCli = false;
    bool textOk = true;
    bool cliOk = true;
    bool contentOk = true;
    example.text = UnescapeHtml(Attribute(attributes, QStringLiteral("data-text"), &hasText), &textOk);
    example.cli = UnescapeHtml(Attribute(attributes, QStringLiteral("data-cli"), &hasCli), &cliOk);
    bool hasCaret = false;
    const QString caret = Attribute(attributes, QStringLiteral("data-caret"), &hasCaret);
    if (hasCaret) example.caret = caret.toULongLong();
    example.content = UnescapeHtml(match.captured(3), &contentOk);
    const bool ok = textOk && cliOk && contentOk;
    example.contentStart = match.capturedStart(3);
    example.contentEnd = match.capturedEnd(3);
    if (!hasText || !hasCli) errors.append(where + QStringLiteral("an example needs data-text and data-cli"));
    if (!ok) errors.append(where + QStringLiteral("an unknown entity or a bare '&'"));
    examples.append(example);
  }
  return examples;
}

ExampleRun RunExample(const ManualExample& example) {
  ExampleRun run;
  std::vector<std::string> arguments;
  for (const QString& word : example.cli.split(QLatin1Char(' '), Qt::SkipEmptyParts)) arguments.push_back(Latin1(word));
  const lumenark::cli::ParseResult parsed = lumenark::cli::ParseCommandLine(arguments);
  if (!parsed.error.empty() || parsed.line.text || parsed.line.commands.empty()) {
    run.error = QStringLiteral("data-cli \"%1\": %2").arg(example.cli, QString::fromStdString(parsed.error));
    return run;
  }
  lumenark::MemoryEditorText text(lumenark::NormalizeLineBreaks(Latin1(example.text)));
  text.SelectAll();
  ManualHost host;
  lumenark::OutputColumn = 0;  // as in a program just started
  lumenark::StopRequested = false;
  {
    lumenark::FormulaDocument doc(text, host);
    doc.DetailLevel = static_cast<std::uint16_t>(parsed.line.details);
    doc.ShowResults = parsed.line.results;
    doc.LineWidth = parsed.line.width;
    for (lumenark::FormulaCommand command : parsed.line.commands) {
      lumenark::RunFormulaCommand(doc, command);
      if (!host.messages.isEmpty()) break;
    }
  }
  const std::string written = lumenark::CrLfToLf(text.Text());
  run.text = QString::fromLatin1(written.data(), static_cast<qsizetype>(written.size()));
  run.messages = host.messages;
  run.caret = text.SelectionStart();
  return run;
}
