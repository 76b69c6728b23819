// The minimum forms and the Karnaugh map in the window: their menu items and keys, the
// map's window with its loops in each group's colour, a new map replacing the picture,
// and the printed map.

#include <QImage>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QStandardPaths>
#include <QTest>

#include "TestSupport.h"
#include "views/KarnaughMapWindow.h"

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
  // Too many letters: the message, and the window keeps its map.
  Select(*editor, TextOf(*editor).size(), 0);
  editor->Memo1()->insertPlainText(QStringLiteral(" A&B&C&D&E&F&G"));
  Select(*editor, TextOf(*editor).size() - 13, 13);
  editor->KarnaughMap1Click();
  QCOMPARE(dialogs.messages, QStringList{QStringLiteral("A Karnaugh map is drawn for formulas of 1 to 6 letters.")});
  QCOMPARE(ColoursOf(window->View()), two);
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
  QVERIFY(text.waitForFinished(30000));
  // The PDF's text, its words run together: the legend and the captions of both maps.
  const QString printed = QString::fromUtf8(text.readAllStandardOutput()).remove(QLatin1Char(' '));
  QVERIFY2(printed.contains(QStringLiteral("MinimumDNF:A&B|C&~E|~D&E")), qPrintable(printed));
  QVERIFY2(printed.contains(QStringLiteral("C=0")) && printed.contains(QStringLiteral("C=1")), qPrintable(printed));
  QCOMPARE(printed.count(QLatin1Char('\f')), 1);
}

QTEST_MAIN(MinimumTests)
#include "app_minimum_tests.moc"
