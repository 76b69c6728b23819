// Documents of the editor windows: opening, saving with a backup, Save As, read-only
// files, failures that must not lose anything, and the prompts of closing and Exit.

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTest>

#include "TestSupport.h"

namespace {

// All bytes but CR and LF, to check that a document comes back unchanged.
std::string EveryOtherByte() {
  std::string bytes;
  for (int c = 0; c < 256; ++c) {
    if (c != '\r' && c != '\n') bytes += static_cast<char>(c);
  }
  return bytes;
}

// The names in a directory, to see that no temporary file stays behind.
QStringList Entries(const QTemporaryDir& dir) {
  return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// Writing more than a few bytes fails while this is alive.
class SmallFileLimit {
 public:
  explicit SmallFileLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~SmallFileLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

 private:
  rlimit saved_{};
};

TEditForm* OpenFile(Workbench& bench, ScriptedDialogs& dialogs, const QString& path) {
  dialogs.openAnswers.push_back(path);
  bench.frame().OpenChild();
  return bench.frame().ActiveEditor();
}

void Type(TEditForm* editor, const QString& text) {
  editor->Memo1()->moveCursor(QTextCursor::End);
  QTest::keyClicks(editor->Memo1(), text);
}

}  // namespace

class FileTests : public QObject {
  Q_OBJECT

 private slots:
  void openTakesEveryByteAndMakesLineBreaksCrLf();
  void openingAMissingFileLeavesAnUntitledWindow();
  void sameFileTwiceGivesIndependentWindows();
  void saveWritesTheTextAndKeepsABackup();
  void saveOfANewWindowAsksForAName();
  void saveAsReplacesWithoutAskingAndBacksUp();
  void aDocumentNamedBakIsReplaced();
  void readOnlyFileLeadsToSaveAs();
  void failedWriteKeepsDocumentAndBackup();
  void failedCreateReportsAndStaysChanged();
  void closeAsksOnlyWhenChanged();
  void yesWithAFailedSaveKeepsTheWindow();
  void exitAsksEachWindowAndStopsAtCancel();
  void engineOutputMarksTheWindowChanged();
  void saveDialogRefusesReadOnlyFilesAndAddsTxt();
};

void FileTests::openTakesEveryByteAndMakesLineBreaksCrLf() {
  QTemporaryDir dir;
  const QString path = dir.filePath("proof.txt");
  const std::string bytes = EveryOtherByte();
  WriteBytes(path, "a\nb\rc\r\nd\n\r" + bytes);
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = OpenFile(bench, dialogs, path);
  QCOMPARE(TextOf(*editor), "a\r\nb\r\nc\r\nd\r\n\r\n" + bytes);
  QCOMPARE(editor->windowTitle(), QStringLiteral("proof.txt"));
  QCOMPARE(editor->FileName(), path);
  QCOMPARE(editor->Memo1()->textCursor().position(), 0);
  QVERIFY(!editor->Memo1()->textCursor().hasSelection());
  QVERIFY(!editor->Memo1()->document()->isModified());

  QVERIFY(editor->Save1Click() == SaveOutcome::Saved);  // lone LF and CR come back as CR LF
  QCOMPARE(ReadBytes(path), "a\r\nb\r\nc\r\nd\r\n\r\n" + bytes);
  QCOMPARE(ReadBytes(dir.filePath("proof.BAK")), "a\nb\rc\r\nd\n\r" + bytes);
  QVERIFY(dialogs.errors.isEmpty());
}

void FileTests::openingAMissingFileLeavesAnUntitledWindow() {
  QTemporaryDir dir;
  const QString path = dir.filePath("missing.txt");
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = OpenFile(bench, dialogs, path);
  QCOMPARE(dialogs.errors, QStringList{"Cannot open file " + path + "."});
  QCOMPARE(editor->windowTitle(), QStringLiteral("Untitled"));
  QCOMPARE(TextOf(*editor), std::string());
  QVERIFY(!editor->Memo1()->document()->isModified());
  QCOMPARE(editor->FileName(), path);  // a later Save writes there

  Type(editor, QStringLiteral("new"));
  QVERIFY(editor->Save1Click() == SaveOutcome::Saved);
  QCOMPARE(ReadBytes(path), std::string("new"));
}

void FileTests::sameFileTwiceGivesIndependentWindows() {
  QTemporaryDir dir;
  const QString path = dir.filePath("same.txt");
  WriteBytes(path, "x");
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* first = OpenFile(bench, dialogs, path);
  TEditForm* second = OpenFile(bench, dialogs, path);
  QVERIFY(first != second);
  QCOMPARE(first->windowTitle(), second->windowTitle());
  Type(first, QStringLiteral("1"));
  QCOMPARE(TextOf(*first), std::string("x1"));
  QCOMPARE(TextOf(*second), std::string("x"));
}

void FileTests::saveWritesTheTextAndKeepsABackup() {
  QTemporaryDir dir;
  const QString path = dir.filePath("notes");
  WriteBytes(path, "first\r\n");
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = OpenFile(bench, dialogs, path);
  Type(editor, QStringLiteral("second"));
  QVERIFY(editor->Memo1()->document()->isModified());
  QTest::keyClick(editor->Memo1(), Qt::Key_S, Qt::ControlModifier);
  QCOMPARE(ReadBytes(path), std::string("first\r\nsecond"));  // no line break added
  QCOMPARE(ReadBytes(dir.filePath("notes.BAK")), std::string("first\r\n"));
  QVERIFY(!editor->Memo1()->document()->isModified());

  QTest::keyClick(editor->Memo1(), Qt::Key_Return);
  QVERIFY(editor->Save1Click() == SaveOutcome::Saved);
  QCOMPARE(ReadBytes(path), std::string("first\r\nsecond\r\n"));
  QCOMPARE(ReadBytes(dir.filePath("notes.BAK")), std::string("first\r\nsecond"));
  QCOMPARE(Entries(dir), (QStringList{"notes", "notes.BAK"}));
  QVERIFY(dialogs.unexpected.isEmpty());
}

void FileTests::saveOfANewWindowAsksForAName() {
  QTemporaryDir dir;
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor();
  Type(editor, QStringLiteral("text"));
  dialogs.saveAnswers.push_back(QString());
  QVERIFY(editor->Save1Click() == SaveOutcome::Cancelled);
  QCOMPARE(editor->windowTitle(), QStringLiteral("Untitled"));
  QVERIFY(editor->FileName().isEmpty());
  QVERIFY(editor->Memo1()->document()->isModified());

  const QString path = dir.filePath("new.txt");
  WriteBytes(dir.filePath("new.BAK"), "stale");
  dialogs.saveAnswers.push_back(path);
  QVERIFY(editor->Save1Click() == SaveOutcome::Saved);
  QCOMPARE(dialogs.savePresets, (QStringList{"", ""}));
  QCOMPARE(editor->windowTitle(), QStringLiteral("new.txt"));
  QCOMPARE(ReadBytes(path), std::string("text"));
  QCOMPARE(Entries(dir), QStringList{"new.txt"});  // the stale backup is gone
}

void FileTests::saveAsReplacesWithoutAskingAndBacksUp() {
  QTemporaryDir dir;
  const QString mine = dir.filePath("mine.txt");
  const QString other = dir.filePath("other.txt");
  WriteBytes(mine, "mine");
  WriteBytes(other, "other");
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = OpenFile(bench, dialogs, mine);
  dialogs.saveAnswers.push_back(other);
  QVERIFY(editor->SaveAs1Click() == SaveOutcome::Saved);
  QCOMPARE(dialogs.savePresets, QStringList{mine});
  QCOMPARE(editor->windowTitle(), QStringLiteral("other.txt"));
  QCOMPARE(ReadBytes(other), std::string("mine"));
  QCOMPARE(ReadBytes(dir.filePath("other.BAK")), std::string("other"));
  QCOMPARE(ReadBytes(mine), std::string("mine"));
  QVERIFY(dialogs.confirms.isEmpty());
}

void FileTests::aDocumentNamedBakIsReplaced() {
  QTemporaryDir dir;
  const QString path = dir.filePath("old.BAK");
  WriteBytes(path, "before");
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = OpenFile(bench, dialogs, path);
  Type(editor, QStringLiteral(" after"));
  QVERIFY(editor->Save1Click() == SaveOutcome::Saved);
  QCOMPARE(ReadBytes(path), std::string("before after"));
  QCOMPARE(Entries(dir), QStringList{"old.BAK"});
}

void FileTests::readOnlyFileLeadsToSaveAs() {
  QTemporaryDir dir;
  const QString locked = dir.filePath("locked.txt");
  const QString copy = dir.filePath("copy.txt");
  WriteBytes(locked, "locked");
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = OpenFile(bench, dialogs, locked);
  QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
  Type(editor, QStringLiteral("!"));
  dialogs.saveAnswers.push_back(copy);
  QVERIFY(editor->Save1Click() == SaveOutcome::Saved);
  QCOMPARE(dialogs.warnings, QStringList{"locked.txt is read only."});
  QCOMPARE(dialogs.savePresets, QStringList{locked});
  QCOMPARE(ReadBytes(locked), std::string("locked"));
  QCOMPARE(ReadBytes(copy), std::string("locked!"));
  QCOMPARE(editor->windowTitle(), QStringLiteral("copy.txt"));
}

void FileTests::failedWriteKeepsDocumentAndBackup() {
  QTemporaryDir dir;
  const QString path = dir.filePath("doc.txt");
  WriteBytes(path, "old");
  WriteBytes(dir.filePath("doc.BAK"), "older");
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = OpenFile(bench, dialogs, path);
  Type(editor, QStringLiteral(" and a good deal more than the file may hold"));
  {
    SmallFileLimit limit(16);
    QVERIFY(editor->Save1Click() == SaveOutcome::Failed);
  }
  QCOMPARE(dialogs.errors, QStringList{"Stream write error."});
  QCOMPARE(ReadBytes(path), std::string("old"));
  QCOMPARE(ReadBytes(dir.filePath("doc.BAK")), std::string("older"));
  QCOMPARE(Entries(dir), (QStringList{"doc.BAK", "doc.txt"}));
  QVERIFY(editor->Memo1()->document()->isModified());
  QVERIFY(editor->Save1Click() == SaveOutcome::Saved);  // nothing lost: it saves later
  QCOMPARE(ReadBytes(path), std::string("old and a good deal more than the file may hold"));
}

void FileTests::failedCreateReportsAndStaysChanged() {
  QTemporaryDir dir;
  const QString path = dir.filePath("no such directory/doc.txt");
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor();
  Type(editor, QStringLiteral("text"));
  dialogs.saveAnswers.push_back(path);
  QVERIFY(editor->Save1Click() == SaveOutcome::Failed);
  QCOMPARE(dialogs.errors, QStringList{"Cannot create file " + path + "."});
  QVERIFY(editor->Memo1()->document()->isModified());
  QCOMPARE(editor->FileName(), path);

  if (geteuid() != 0) {  // permissions do not hold back the superuser
    const QString locked = dir.filePath("locked");
    QDir().mkdir(locked);
    WriteBytes(locked + "/doc.txt", "kept");
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    dialogs.saveAnswers.push_back(locked + "/doc.txt");
    QVERIFY(editor->SaveAs1Click() == SaveOutcome::Failed);
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(ReadBytes(locked + "/doc.txt"), std::string("kept"));
  }
}

void FileTests::closeAsksOnlyWhenChanged() {
  Workbench bench;
  ScriptedDialogs dialogs;
  QMdiArea* area = bench.frame().ClientArea();
  bench.NewEditor()->Close1Click();
  QTRY_COMPARE(area->subWindowList().size(), 0);
  QVERIFY(dialogs.confirms.isEmpty());

  TEditForm* editor = bench.NewEditor();
  Type(editor, QStringLiteral("x"));
  dialogs.confirmAnswers = {QMessageBox::Cancel};
  editor->Close1Click();
  QCOMPARE(dialogs.confirms, QStringList{"Save Changes to 'Untitled'?"});
  QCOMPARE(area->subWindowList().size(), 1);
  QCOMPARE(TextOf(*editor), std::string("x"));

  dialogs.confirmAnswers = {QMessageBox::Yes};
  dialogs.saveAnswers.push_back(QString());  // Yes, then the save dialog is cancelled
  qobject_cast<QMdiSubWindow*>(editor->parentWidget())->close();
  QTRY_COMPARE(area->subWindowList().size(), 0);

  editor = bench.NewEditor();
  Type(editor, QStringLiteral("y"));
  dialogs.confirmAnswers = {QMessageBox::No};
  editor->Close1Click();
  QTRY_COMPARE(area->subWindowList().size(), 0);
  QVERIFY(dialogs.unexpected.isEmpty());
}

void FileTests::yesWithAFailedSaveKeepsTheWindow() {
  QTemporaryDir dir;
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor();
  Type(editor, QStringLiteral("keep me"));
  dialogs.confirmAnswers = {QMessageBox::Yes};
  dialogs.saveAnswers.push_back(dir.filePath("missing/x.txt"));
  editor->Close1Click();
  QCOMPARE(dialogs.errors.size(), 1);
  QCOMPARE(bench.frame().ClientArea()->subWindowList().size(), 1);
  QCOMPARE(TextOf(*editor), std::string("keep me"));
}

void FileTests::exitAsksEachWindowAndStopsAtCancel() {
  QTemporaryDir dir;
  Workbench bench;
  ScriptedDialogs dialogs;
  QSignalSpy closed(&bench.frame(), &TFrameForm::Closed);
  TEditForm* third = bench.NewEditor();
  TEditForm* second = bench.NewEditor();
  TEditForm* first = bench.NewEditor();  // the front window is asked first
  for (TEditForm* editor : {first, second, third}) Type(editor, QStringLiteral("changed"));
  dialogs.confirmAnswers = {QMessageBox::Yes, QMessageBox::Cancel};
  dialogs.saveAnswers.push_back(dir.filePath("first.txt"));
  MenuItem(bench.frame(), "Exit1")->trigger();  // the editor's Exit
  QCOMPARE(dialogs.confirms.size(), 2);
  QCOMPARE(closed.size(), 0);
  QVERIFY(bench.frame().isVisible());
  QCOMPARE(bench.frame().ClientArea()->subWindowList().size(), 3);
  QVERIFY(!first->Memo1()->document()->isModified());
  QVERIFY(second->Memo1()->document()->isModified());
  QCOMPARE(ReadBytes(dir.filePath("first.txt")), std::string("changed"));

  dialogs.confirmAnswers = {QMessageBox::No, QMessageBox::No};
  bench.frame().Exit1Click();
  QCOMPARE(dialogs.confirms.size(), 4);  // the saved window is not asked again
  QCOMPARE(closed.size(), 1);
  QVERIFY(dialogs.unexpected.isEmpty());
}

void FileTests::engineOutputMarksTheWindowChanged() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor("A&B");
  QVERIFY(!editor->Memo1()->document()->isModified());
  SelectText(*editor, "A&B");
  editor->Cmpile1Click();
  QVERIFY(editor->Memo1()->document()->isModified());
  dialogs.confirmAnswers = {QMessageBox::Cancel};
  editor->Close1Click();
  QCOMPARE(dialogs.confirms, QStringList{"Save Changes to 'Untitled'?"});
}

void FileTests::saveDialogRefusesReadOnlyFilesAndAddsTxt() {
  QTemporaryDir dir;
  const QString locked = dir.filePath("locked.txt");
  WriteBytes(locked, "locked");
  QFile::setPermissions(locked, QFileDevice::ReadOwner);
  QStringList filters;
  QString refusal;
  auto choose = [&](const QString& path) {
    return [&, path](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      if (dialog == nullptr) return false;
      filters = dialog->findChild<QComboBox*>("fileTypeCombo") != nullptr
                    ? QStringList{dialog->findChild<QComboBox*>("fileTypeCombo")->itemText(0),
                                  dialog->findChild<QComboBox*>("fileTypeCombo")->itemText(1)}
                    : QStringList();
      // Typed by the user into the name field, with nothing chosen in the file list:
      // once the dialog's background scan has listed the file of the first round,
      // the list may still hold it selected, and the dialog would return it.
      dialog->selectFile(path);  // clears the list's selection
      dialog->findChild<QLineEdit*>("fileNameEdit")->setText(path);
      static_cast<QDialog*>(dialog)->accept();
      return true;
    };
  };
  ModalScript script({choose(locked),
                      [&](QWidget* modal) {
                        auto* box = qobject_cast<QMessageBox*>(modal);
                        if (box == nullptr) return false;
                        refusal = box->text();
                        box->button(QMessageBox::Ok)->click();
                        return true;
                      },
                      choose(dir.filePath("plain"))});
  const QString chosen = StandardDialogs().saveFileName(nullptr, QString());
  QVERIFY(script.Done());
  QCOMPARE(chosen, dir.filePath("plain.txt"));
  QVERIFY2(refusal.contains(QStringLiteral("read-only")), qPrintable(refusal));
  QCOMPARE(filters, (QStringList{"Text files (*.txt)", "All files (*.*)"}));
}

QTEST_MAIN(FileTests)
#include "app_file_tests.moc"
