// The minimum forms and the Karnaugh map in the window: their menu items and keys, the
// map's window with its loops in each group's colour, a new map replacing the picture,
// and the printed map.

#include <QImage>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QPushButton>
#include <QSet>
#include <QStandardPaths>
#include <QTest>

#include "TestSupport.h"
#include "views/KarnaughMapWindow.h"
#include "views/PicturePages.h"

namespace {

// The colours of the picture's loops that the view shows.
QSet<QRgb> ColoursOf(QWidget* view) {
  const QImage image = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
  QSet<QRgb> colours;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y) & 0xFFFFFF);
  }
  return colours;
}

}  // namespace

class MinimumTests : public QObject {
  Q_OBJECT

 private slots:
  void menuItemsFollowTheAnalysesOnKeysOfTheirOwn();
  void mapWindowDrawsEachGroupAndFollowsTheCommand();
  void everyGroupHasAStyleOfItsOwn();
  void longResultWrapsAndTheMapsKeepTheirSize();
  void tautologyLegendSaysEveryCell();
  void mapPrintsOnOnePage();
};

void MinimumTests::menuItemsFollowTheAnalysesOnKeysOfTheirOwn() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor("A&B|~A&C|B&C");
  QStringList items;
  for (QAction* action : editor->MenuBarMenus().last()->actions()) items << action->objectName();
  QVERIFY2(items.indexOf(QStringLiteral("Minimumforms1")) == items.indexOf(QStringLiteral("Latex1")) + 2, qPrintable(items.join(' ')));
  QCOMPARE(items.value(items.indexOf(QStringLiteral("Minimumforms1")) + 1), QStringLiteral("KarnaughMap1"));
  // No key is bound twice in the window's menus.
  QStringList keys;
  for (QMenu* menu : editor->MenuBarMenus()) {
    for (QAction* action : menu->findChildren<QAction*>()) {
      if (!action->shortcut().isEmpty()) keys << action->shortcut().toString();
    }
  }
  QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());
  Select(*editor, 0, 12);
  QTest::keyClick(editor->Memo1(), Qt::Key_F5, Qt::ShiftModifier);
  QTest::keyClick(editor->Memo1(), Qt::Key_F5, Qt::ControlModifier);
  QCOMPARE(TextOf(*editor), std::string("A&B|~A&C|B&C\r\nA&B|~A&C\r\n(A|C)&(~A|B)\r\n"));
  QVERIFY(dialogs.messages.isEmpty());
  QVERIFY(!bench.form2().isVisible());
}

void MinimumTests::mapWindowDrawsEachGroupAndFollowsTheCommand() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor("~A&~B&~D|~A&B&D|A&B&~C|A&~B&C|~B&C&D|B&~C&~D|A&C&~D");
  editor->Memo1()->selectAll();
  QTest::keyClick(editor->Memo1(), Qt::Key_F5);
  KarnaughMapWindow* window = editor->KarnaughWindow();
  QVERIFY(window != nullptr && window->isVisible());
  QVERIFY(window->windowTitle().startsWith(QStringLiteral("Karnaugh Map")));
  const QSet<QRgb> colours = ColoursOf(window->View());
  for (std::size_t g = 0; g < 5; ++g) QVERIFY2(colours.contains(KarnaughPicture::GroupColor(g).rgb() & 0xFFFFFF), qPrintable(QString::number(g)));
  QVERIFY(!colours.contains(KarnaughPicture::GroupColor(5).rgb() & 0xFFFFFF));
  // The loop of a group that wraps round the edge lies in its cells at both edges: the
  // first group, A&B&~D, holds row 11 at columns 00 and 10.
  const QImage image = window->View()->grab().toImage();
  const KarnaughPicture& picture = *window->Picture();
  for (const std::uint32_t column : {0u, 2u}) {
    const QRectF cell = picture.CellRect(3, column);
    bool found = false;
    for (int x = static_cast<int>(cell.left()); x < cell.right(); ++x) {
      for (int y = static_cast<int>(cell.top()); y < cell.bottom(); ++y) {
        found = found || (image.pixel(x, y) & 0xFFFFFF) == (KarnaughPicture::GroupColor(0).rgb() & 0xFFFFFF);
      }
    }
    QVERIFY2(found, qPrintable(QString::number(column)));
  }
  // The command again, on another formula: the same window, the new map.
  Select(*editor, TextOf(*editor).size(), 0);
  editor->Memo1()->insertPlainText(QStringLiteral("A|B"));
  Select(*editor, TextOf(*editor).size() - 3, 3);
  MenuItem(bench.frame(), "KarnaughMap1")->trigger();
  QCOMPARE(editor->KarnaughWindow(), window);
  const QSet<QRgb> two = ColoursOf(window->View());
  QVERIFY(two.contains(KarnaughPicture::GroupColor(1).rgb() & 0xFFFFFF));
  QVERIFY(!two.contains(KarnaughPicture::GroupColor(2).rgb() & 0xFFFFFF));
  // No map (too many letters, none): the message, and the old map goes with its window;
  // the next map brings it back.
  for (const QString& formula : {QStringLiteral("A&B&C&D&E&F&G"), QStringLiteral("1")}) {
    Select(*editor, TextOf(*editor).size(), 0);
    editor->Memo1()->insertPlainText(QStringLiteral(" ") + formula);
    Select(*editor, TextOf(*editor).size() - static_cast<std::size_t>(formula.size()), static_cast<std::size_t>(formula.size()));
    editor->KarnaughMap1Click();
    QCOMPARE(dialogs.messages.last(), QStringLiteral("A Karnaugh map is drawn for formulas of 1 to 6 letters."));
    QVERIFY2(!window->isVisible(), qPrintable(formula));
  }
  Select(*editor, TextOf(*editor).size(), 0);
  editor->Memo1()->insertPlainText(QStringLiteral(" A&B"));
  Select(*editor, TextOf(*editor).size() - 3, 3);
  editor->KarnaughMap1Click();
  QVERIFY(window->isVisible());
}

// Every group of a map, 32 at most, has a colour of its own, and printed in grey a shade
// or a dash of its own: groups 1 and 11 are no longer both red.
void MinimumTests::everyGroupHasAStyleOfItsOwn() {
  constexpr std::size_t kMostGroups = 32;  // a chain of six equivalences
  const auto grey = [](const QColor& colour) { return qGray(colour.rgb()) / 255.0; };
  for (std::size_t g = 0; g < kMostGroups; ++g) {
    const QPen pen = KarnaughPicture::GroupPen(g, 2);
    QCOMPARE(pen.color(), KarnaughPicture::GroupColor(g));
    QVERIFY2(grey(pen.color()) < 0.7, qPrintable(QString::number(g)));  // it shows on white paper
    for (std::size_t h = 0; h < g; ++h) {
      const QPen other = KarnaughPicture::GroupPen(h, 2);
      const QString pair = QStringLiteral("%1 and %2").arg(h + 1).arg(g + 1);
      QVERIFY2(pen.color().rgb() != other.color().rgb(), qPrintable(pair));
      QVERIFY2(pen.style() != other.style() || std::abs(grey(pen.color()) - grey(other.color())) > 0.05, qPrintable(pair));
    }
  }
}

// A long minimum DNF (the 32 terms of a chain of equivalences) is broken into lines as
// wide as the maps; printed, the maps keep their size (a point for a pixel) and the
// legend goes on to a second page, under the formula as the heading, in a PDF titled
// after it. The six-letter maps have a rule between their upper and lower pair.
void MinimumTests::longResultWrapsAndTheMapsKeepTheirSize() {
  Workbench bench;
  ScriptedDialogs dialogs;
  QTemporaryDir dir;
  TEditForm* editor = bench.NewEditor("A=B=C=D=E=F");
  editor->Memo1()->selectAll();
  editor->KarnaughMap1Click();
  const KarnaughPicture& picture = *editor->KarnaughWindow()->Picture();
  const QStringList legend = picture.LegendLines();
  QCOMPARE(legend.first(), QStringLiteral("Group 1: A&B&C&D&E&F"));
  QString result;
  for (const QString& line : legend) {
    if (line.startsWith(QStringLiteral("Minimum DNF: ")) || !result.isEmpty()) result += line;
  }
  // The minimum DNF as Minimum DNF writes it in another window, its lines joined.
  TEditForm* other = bench.NewEditor("A=B=C=D=E=F");
  other->Memo1()->selectAll();
  other->MinimumDNF1Click();
  QString minimum = QString::fromStdString(TextOf(*other).substr(std::string("A=B=C=D=E=F\r\n").size()));
  minimum.remove(QStringLiteral("\r\n"));
  QVERIFY(minimum.size() > 400);
  QCOMPARE(result, QStringLiteral("Minimum DNF: ") + minimum);
  // No wider than the maps with their margins.
  const QRectF left = picture.CellRect(0, 0), right = picture.CellRect(0, 6);
  QVERIFY2(picture.Size().width() < right.right() + left.left() + 1, qPrintable(QString::number(picture.Size().width())));
  // The rule between the pairs, in the gap below the upper maps.
  QVERIFY(picture.RuleY() > picture.CellRect(2, 0).bottom() && picture.RuleY() < picture.CellRect(6, 0).top());
  const QImage image = editor->KarnaughWindow()->View()->grab().toImage();
  const int ruleY = static_cast<int>(picture.RuleY());
  int dark = 0;
  for (int x = static_cast<int>(left.left()); x < static_cast<int>(right.right()); ++x) {
    const bool ruled = qGray(image.pixel(x, ruleY)) < 128 || qGray(image.pixel(x, ruleY + 1)) < 128;
    dark += ruled ? 1 : 0;
  }
  QVERIFY2(dark > (right.right() - left.left()) * 0.9, qPrintable(QString::number(dark)));

  // On A4 the maps keep a point for each pixel.
  const PicturePages pages = LayOutPages(picture.Bands(), picture.Size(), QSizeF(595, 842), 1.0);
  QCOMPARE(pages.scale, 1.0);
  QVERIFY(pages.pages.size() >= 2);

  QPrinter& printer = bench.frame().Printer();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(dir.filePath(QStringLiteral("map.pdf")));
  dialogs.printAnswers = {[](QPrinter&) { return true; }};
  QTest::mouseClick(editor->KarnaughWindow()->PrintButton(), Qt::LeftButton);
  QVERIFY(dialogs.errors.isEmpty());
  if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty()) return;
  QProcess info;
  info.start(QStringLiteral("pdfinfo"), {dir.filePath(QStringLiteral("map.pdf"))});
  QVERIFY(info.waitForFinished(-1));
  const QString about = QString::fromUtf8(info.readAllStandardOutput());
  QVERIFY2(about.contains(QRegularExpression(QStringLiteral("Title: +Karnaugh map of A=B=C=D=E=F\n"))), qPrintable(about));
  QVERIFY2(about.contains(QRegularExpression(QStringLiteral("Pages: +2\n"))), qPrintable(about));
  QProcess text;
  text.start(QStringLiteral("pdftotext"), {dir.filePath(QStringLiteral("map.pdf")), QStringLiteral("-")});
  QVERIFY(text.waitForFinished(-1));
  const QString printed = QString::fromUtf8(text.readAllStandardOutput());
  QVERIFY2(printed.startsWith(QStringLiteral("A=B=C=D=E=F")), qPrintable(printed.left(200)));
  QVERIFY2(printed.contains(QStringLiteral("Group 32: ~A&~B&~C&~D&~E&~F")), qPrintable(printed));
}

// The constant 1's group covers every cell, and its legend says so.
void MinimumTests::tautologyLegendSaysEveryCell() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor("A|~A");
  editor->Memo1()->selectAll();
  editor->KarnaughMap1Click();
  QCOMPARE(editor->KarnaughWindow()->Picture()->LegendLines(),
           (QStringList{QStringLiteral("Group 1: 1 (every cell)"), QStringLiteral("Minimum DNF: 1")}));
  QCOMPARE(editor->KarnaughWindow()->Picture()->RuleY(), -1.0);
}

void MinimumTests::mapPrintsOnOnePage() {
  Workbench bench;
  ScriptedDialogs dialogs;
  QTemporaryDir dir;
  TEditForm* editor = bench.NewEditor("A&B|C&~E|~D&E");
  editor->Memo1()->selectAll();
  editor->KarnaughMap1Click();
  QPrinter& printer = bench.frame().Printer();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(dir.filePath(QStringLiteral("map.pdf")));
  dialogs.printAnswers = {[](QPrinter&) { return true; }};
  QTest::mouseClick(editor->KarnaughWindow()->PrintButton(), Qt::LeftButton);
  QVERIFY(dialogs.errors.isEmpty());
  QVERIFY(dialogs.unexpected.isEmpty());
  QVERIFY(QFileInfo(dir.filePath(QStringLiteral("map.pdf"))).size() > 0);
  if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) return;
  QProcess text;
  text.start(QStringLiteral("pdftotext"), {dir.filePath(QStringLiteral("map.pdf")), QStringLiteral("-")});
  QVERIFY(text.waitForFinished(-1));
  // The PDF's text, its words run together: the legend and the captions of both maps.
  const QString printed = QString::fromUtf8(text.readAllStandardOutput()).remove(QLatin1Char(' '));
  QVERIFY2(printed.contains(QStringLiteral("MinimumDNF:A&B|C&~E|~D&E")), qPrintable(printed));
  QVERIFY2(printed.contains(QStringLiteral("C=0")) && printed.contains(QStringLiteral("C=1")), qPrintable(printed));
  QCOMPARE(printed.count(QLatin1Char('\f')), 1);
}

QTEST_MAIN(MinimumTests)
#include "app_minimum_tests.moc"
