// The user manual as the program shows it: every worked example is what the engine
// writes for it today, every link leads somewhere, and Info > Help opens the manual at
// its contents page.

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <optional>

#include "ManualExamples.h"
#include "TestSupport.h"
#include "commands/CommandFrame.h"
#include "dialogs/HelpWindow.h"
#include "frame/ApplicationGlobals.h"

namespace {

const QString kManual = QStringLiteral(":/help/tarvelo");

QStringList Pages() { return QDir(kManual).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name); }

QString Page(const QString& name) {
  QFile file(kManual + QLatin1Char('/') + name);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

QSet<QString> Anchors(const QString& html) {
  QSet<QString> anchors;
  static const QRegularExpression name(QStringLiteral("<a\\s+name=\"([^\"]+)\""));
  for (QRegularExpressionMatchIterator it = name.globalMatch(html); it.hasNext();) anchors.insert(it.next().captured(1));
  return anchors;
}

// Where the first link to href is shown in the browser's viewport.
std::optional<QPoint> LinkPosition(QTextBrowser& browser, const QString& href) {
  for (QTextBlock block = browser.document()->begin(); block.isValid(); block = block.next()) {
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (fragment.charFormat().anchorHref() != href) continue;
      QTextCursor cursor(browser.document());
      cursor.setPosition(fragment.position() + 1);
      browser.setTextCursor(cursor);
      browser.ensureCursorVisible();
      return browser.cursorRect(cursor).center();
    }
  }
  return std::nullopt;
}

}  // namespace

class ManualTests : public QObject {
  Q_OBJECT

 private slots:
  void manualIsCompiledIn();
  void examplesAreWhatTheEngineWrites();
  void everyFormulaCommandHasAWorkedExample();
  void linksLeadToPagesAndPlacesThatExist();
  void everyPageLeadsBackToTheContents();
  void helpOpensTheContentsPage();
  void manualReadsWithoutTheProgram();
};

void ManualTests::manualIsCompiledIn() {
  QVERIFY(QFile::exists(kManual + QStringLiteral("/contents.html")));
  QVERIFY2(Pages().size() >= 8, qPrintable(Pages().join(QLatin1Char(' '))));
}

void ManualTests::examplesAreWhatTheEngineWrites() {
  QStringList failures;
  int derivations = 0;
  int messages = 0;
  for (const QString& page : Pages()) {
    QStringList errors;
    const QList<ManualExample> examples = ExtractExamples(Page(page), errors);
    for (const QString& error : errors) failures.append(page + QLatin1String(": ") + error);
    for (const ManualExample& example : examples) {
      const QString where = QStringLiteral("%1:%2").arg(page).arg(example.line);
      const ExampleRun run = RunExample(example);
      if (!run.error.isEmpty()) {
        failures.append(where + QLatin1String(": ") + run.error);
        continue;
      }
      (example.kind == ManualExample::Kind::Message ? messages : derivations) += 1;
      const QString shown = run.Shown(example.kind);
      if (shown != example.content) {
        failures.append(QStringLiteral("%1: the manual shows\n%2\n-- the engine writes\n%3\n--").arg(where, example.content, shown));
      }
      if (example.kind == ManualExample::Kind::Derivation && !run.messages.isEmpty()) {
        failures.append(where + QLatin1String(": a derivation that shows a message: ") + run.messages.join(QLatin1Char('/')));
      }
      if (example.kind == ManualExample::Kind::Message && run.messages.isEmpty()) {
        failures.append(where + QLatin1String(": a message example without a message"));
      }
      if (example.caret && *example.caret != run.caret) {
        failures.append(QStringLiteral("%1: the caret stands at %2, not at %3").arg(where).arg(run.caret).arg(*example.caret));
      }
    }
  }
  QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
  QVERIFY2(derivations >= 20 && messages >= 6, qPrintable(QStringLiteral("%1 derivations, %2 messages").arg(derivations).arg(messages)));
}

void ManualTests::everyFormulaCommandHasAWorkedExample() {
  QSet<QString> used;
  for (const QString& page : Pages()) {
    QStringList errors;
    for (const ManualExample& example : ExtractExamples(Page(page), errors)) {
      if (example.kind != ManualExample::Kind::Derivation) continue;
      for (const QString& word : example.cli.split(QLatin1Char(' '), Qt::SkipEmptyParts)) used.insert(word);
    }
  }
  for (const char* name : {"compile", "decompile", "tree", "conjunctions", "implications", "disjunctions", "literals",
                           "evaluate", "cnf", "dnf", "mincnf", "mindnf", "decision", "truthtable", "model",
                           "countermodel", "latex", "minimumdnf", "minimumcnf", "kmap", "tableau",
                           "equivalence", "dimacs"}) {
    QVERIFY2(lumenark::CommandFromName(name).has_value(), name);
    QVERIFY2(used.contains(QString::fromLatin1(name)), name);
  }
}

void ManualTests::linksLeadToPagesAndPlacesThatExist() {
  static const QRegularExpression link(QStringLiteral("<a\\s+href=\"([^\"]*)\""));
  QStringList broken;
  const QStringList pages = Pages();
  for (const QString& page : pages) {
    const QString html = Page(page);
    for (QRegularExpressionMatchIterator it = link.globalMatch(html); it.hasNext();) {
      const QString target = it.next().captured(1);
      if (target.startsWith(QLatin1String("http"))) continue;
      const QString file = target.section(QLatin1Char('#'), 0, 0);
      const QString anchor = target.section(QLatin1Char('#'), 1);
      const QString targetPage = file.isEmpty() ? page : file;
      if (!pages.contains(targetPage)) broken.append(page + QLatin1String(" -> ") + target);
      else if (!anchor.isEmpty() && !Anchors(Page(targetPage)).contains(anchor)) broken.append(page + QLatin1String(" -> ") + target);
    }
  }
  QVERIFY2(broken.isEmpty(), qPrintable(broken.join(QLatin1Char('\n'))));
}

void ManualTests::everyPageLeadsBackToTheContents() {
  for (const QString& page : Pages()) {
    const QString html = Page(page);
    QVERIFY2(html.contains(QLatin1String("<title>")), qPrintable(page));
    if (page != QLatin1String("contents.html")) QVERIFY2(html.contains(QLatin1String("href=\"contents.html\"")), qPrintable(page));
  }
  // And the contents lead to every page.
  const QString contents = Page(QStringLiteral("contents.html"));
  for (const QString& page : Pages()) {
    if (page != QLatin1String("contents.html")) QVERIFY2(contents.contains(QStringLiteral("href=\"%1").arg(page)), qPrintable(page));
  }
}

void ManualTests::helpOpensTheContentsPage() {
  Workbench bench;
  bench.NewEditor("A|B");
  QTest::keyClick(&bench.frame(), Qt::Key_F1);
  HelpWindow* help = bench.frame().Help();
  QVERIFY(help != nullptr && help->isVisible());
  QCOMPARE(help->Browser()->source().toString(), QStringLiteral("qrc:/help/tarvelo/contents.html"));
  QVERIFY(help->Browser()->toPlainText().contains(QStringLiteral("Lumenark")));
  QVERIFY(!help->Browser()->toPlainText().contains(QStringLiteral("missing")));
  // A click on a link within the manual opens its page in the same window.
  QTextBrowser* browser = help->Browser();
  const std::optional<QPoint> link = LinkPosition(*browser, QStringLiteral("formulas.html"));
  QVERIFY(link.has_value());
  QTest::mouseClick(browser->viewport(), Qt::LeftButton, Qt::NoModifier, *link);
  QCOMPARE(help->Browser()->source().toString(), QStringLiteral("qrc:/help/tarvelo/formulas.html"));
  QVERIFY(help->Browser()->toPlainText().contains(QStringLiteral("Missing operator.")));
  // Back returns to the contents, Forward goes on again, Contents leads home.
  auto* back = help->findChild<QPushButton*>(QStringLiteral("HelpBack"));
  auto* forward = help->findChild<QPushButton*>(QStringLiteral("HelpForward"));
  QVERIFY(back->isEnabled() && !forward->isEnabled());
  QTest::mouseClick(back, Qt::LeftButton);
  QCOMPARE(browser->source().toString(), QStringLiteral("qrc:/help/tarvelo/contents.html"));
  QTest::mouseClick(forward, Qt::LeftButton);
  QCOMPARE(browser->source().toString(), QStringLiteral("qrc:/help/tarvelo/formulas.html"));
  QTest::mouseClick(help->findChild<QPushButton*>(QStringLiteral("HelpContents")), Qt::LeftButton);
  QCOMPARE(browser->source().toString(), QStringLiteral("qrc:/help/tarvelo/contents.html"));
}

void ManualTests::manualReadsWithoutTheProgram() {
  // The pages compiled in are the files under help/manual, which open in a browser.
  const QDir source(QStringLiteral(LUMENARK_MANUAL_DIR));
  QCOMPARE(source.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name), Pages());
  for (const QString& page : Pages()) {
    QFile file(source.filePath(page));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY2(QString::fromUtf8(file.readAll()) == Page(page), qPrintable(page + QLatin1String(" differs: rebuild")));
  }
}

QTEST_MAIN(ManualTests)
#include "app_manual_tests.moc"
