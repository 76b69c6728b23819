// Documents of the editor windows: opening, saving with a backup, Save As, read-only
// files, files that cannot be opened, saves that fail and must not lose anything, saves
// through links and over files of other users or in directories that take no new file,
// and the prompts of closing and Exit.
//
// Permissions do not hold back the superuser, under whom the tests may run: the cases
// that need a file or directory this user may not touch run as the user nobody for
// their time (UnprivilegedUser).

#include <grp.h>
#include <pwd.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTest>

#include "TestSupport.h"
#include "runtime/MemoryBudget.h"
#include "dialogs/ErrorReport.h"
#include "text/DocumentFile.h"

using namespace std::string_literals;

enum class NoDocument { Directory, Unreadable, NamedPipe, EndlessDevice };
enum class SaveFailure { FileSizeLimit, FullDisk };
enum class CreateFailure { MissingDirectory, ReadOnlyDirectory, LinkLoop, DirectoryAtName };
enum class LinkChain { OneLink, TwoLinks, MissingTarget };
enum class OldBackup { Writable, Missing, NotWritable };
Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(NoDocument)
Q_DECLARE_METATYPE(SaveFailure)
Q_DECLARE_METATYPE(CreateFailure)
Q_DECLARE_METATYPE(LinkChain)
Q_DECLARE_METATYPE(OldBackup)

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

// Every name in a directory: hidden files, directories and links that lead nowhere too.
QStringList Names(const QString& dir) {
  return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

struct stat Status(const QString& path) {
  struct stat info {};
  if (lstat(QFile::encodeName(path).constData(), &info) != 0) qFatal("no file %s", qPrintable(path));
  return info;
}

// The warning of a save that could not keep the previous version.
QString NoBackupWarning(const QString& name, const QString& backup) {
  return name + " was saved, but its previous version could not be kept in " + backup + ".";
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

// While alive, a superuser runs as the user nobody (real and effective ids, no
// supplementary groups); the saved id 0 is the way back. Any other user stays as it
// is: permissions already apply to it.
class UnprivilegedUser {
 public:
  explicit UnprivilegedUser(bool enabled = true) {
    if (!enabled || geteuid() != 0) return;
    const passwd* nobody = getpwnam("nobody");
    uid_ = nobody != nullptr ? nobody->pw_uid : 65534;
    gid_ = nobody != nullptr ? nobody->pw_gid : 65534;
    groups_.resize(static_cast<std::size_t>(getgroups(0, nullptr)));
    getgroups(static_cast<int>(groups_.size()), groups_.data());
    dropped_ = setgroups(0, nullptr) == 0 && setresgid(gid_, gid_, 0) == 0 && setresuid(uid_, uid_, 0) == 0;
  }
  ~UnprivilegedUser() {
    if (!dropped_) return;
    if (setresuid(0, 0, 0) != 0 || setresgid(0, 0, 0) != 0 || setgroups(groups_.size(), groups_.data()) != 0) {
      qFatal("cannot become the superuser again");
    }
    prctl(PR_SET_DUMPABLE, 1);  // changing ids cleared it; the leak checker needs it
  }
  UnprivilegedUser(const UnprivilegedUser&) = delete;
  UnprivilegedUser& operator=(const UnprivilegedUser&) = delete;

  // Gives a file to the user nobody, if the tests are the superuser.
  static void Give(const QString& path) {
    if (geteuid() != 0) return;
    const passwd* nobody = getpwnam("nobody");
    if (chown(QFile::encodeName(path).constData(), nobody != nullptr ? nobody->pw_uid : 65534,
              nobody != nullptr ? nobody->pw_gid : 65534) != 0) {
      qFatal("cannot give %s to nobody", qPrintable(path));
    }
  }

 private:
  bool dropped_ = false;
  uid_t uid_ = 0;
  gid_t gid_ = 0;
  std::vector<gid_t> groups_;
};

// A small file system of its own (tmpfs) on a directory, as the superuser may mount
// one, visible to this thread only. Full() tells whether it is mounted and full.
class SmallDisk {
 public:
  explicit SmallDisk(const QString& directory) : directory_(QFile::encodeName(directory)) {
    // A mount namespace of this thread's own, where it can have one: the mount then
    // goes away with the process, whatever happens to the test.
    if (unshare(CLONE_FS | CLONE_NEWNS) == 0) mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
    mounted_ = mount("lumenark-test", directory_.constData(), "tmpfs", 0, "size=256k") == 0;
  }
  ~SmallDisk() {
    if (mounted_) umount2(directory_.constData(), MNT_DETACH);
  }
  bool Mounted() const { return mounted_; }
  // Fills what is left with one file.
  void Fill(const QString& name) {
    QFile filler(QFile::decodeName(directory_) + '/' + name);
    filler.open(QIODevice::WriteOnly);
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
  }

 private:
  QByteArray directory_;
  bool mounted_ = false;
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
  void openTakesEveryByteAndMakesLineBreaksCrLf_data();
  void openTakesEveryByteAndMakesLineBreaksCrLf();
  void openingAMissingFileLeavesAnUntitledWindow();
  void filesThatAreNoDocumentsDoNotOpen_data();
  void filesThatAreNoDocumentsDoNotOpen();
  void largeFilesOpenOrAreRefused_data();
  void largeFilesOpenOrAreRefused();
  void longLinesOpenUpToTheLimit_data();
  void longLinesOpenUpToTheLimit();
  void sameFileTwiceGivesIndependentWindows();
  void saveWritesTheTextAndKeepsABackup();
  void saveOfANewWindowAsksForAName();
  void saveAsReplacesWithoutAskingAndBacksUp();
  void aDocumentNamedBakIsReplaced();
  void readOnlyFileLeadsToSaveAs_data();
  void readOnlyFileLeadsToSaveAs();
  void failedSaveLosesNothing_data();
  void failedSaveLosesNothing();
  void failedCreateReportsAndStaysChanged_data();
  void failedCreateReportsAndStaysChanged();
  void saveThroughLinksWritesTheTarget_data();
  void saveThroughLinksWritesTheTarget();
  void backupThatCannotBeMadeIsReported_data();
  void backupThatCannotBeMadeIsReported();
  void longNamesSaveWithABackup_data();
  void longNamesSaveWithABackup();
  void readOnlyDirectoryTakesTheFileInPlace_data();
  void readOnlyDirectoryTakesTheFileInPlace();
  void ownerGroupAndModeAreKeptWithoutSetIds_data();
  void ownerGroupAndModeAreKeptWithoutSetIds();
  void otherHardLinksReadTheSavedText();
  void fileSizeLimitFailsTheSaveNotTheProgram();
  void closeAsksOnlyWhenChanged();
  void yesWithAFailedSaveKeepsTheWindow();
  void exitAsksEachWindowAndStopsAtCancel();
  void engineOutputMarksTheWindowChanged();
  void saveDialogRefusesReadOnlyFilesAndAddsTxt();
};

void FileTests::openTakesEveryByteAndMakesLineBreaksCrLf_data() {
  QTest::addColumn<std::string>("file");
  QTest::addColumn<std::string>("text");  // as opened, and as saved again
  const std::string bytes = EveryOtherByte();
  QTest::newRow("mixed breaks, every other byte") << "a\nb\rc\r\nd\n\r" + bytes << "a\r\nb\r\nc\r\nd\r\n\r\n" + bytes;
  QTest::newRow("NUL bytes at the ends, in a row, at breaks") << "\0\0a\0\r\n\0\0\0\r\n\0"s
                                                             << "\0\0a\0\r\n\0\0\0\r\n\0"s;
  QTest::newRow("CR CR LF, LF LF CR CR, a final CR") << "\r\r\nx\n\n\r\ry\r"s
                                                     << "\r\n\r\nx\r\n\r\n\r\n\r\ny\r\n"s;
}

void FileTests::openTakesEveryByteAndMakesLineBreaksCrLf() {
  QFETCH(std::string, file);
  QFETCH(std::string, text);
  QTemporaryDir dir;
  const QString path = dir.filePath("proof.txt");
  WriteBytes(path, file);
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = OpenFile(bench, dialogs, path);
  QCOMPARE(TextOf(*editor), text);
  QCOMPARE(editor->windowTitle(), QStringLiteral("proof.txt"));
  QCOMPARE(editor->FileName(), path);
  QCOMPARE(editor->Memo1()->textCursor().position(), 0);
  QVERIFY(!editor->Memo1()->textCursor().hasSelection());
  QVERIFY(!editor->Memo1()->document()->isModified());

  QVERIFY(editor->Save1Click() == SaveOutcome::Saved);
  QCOMPARE(ReadBytes(path), text);
  QCOMPARE(ReadBytes(dir.filePath("proof.BAK")), file);
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

void FileTests::filesThatAreNoDocumentsDoNotOpen_data() {
  QTest::addColumn<NoDocument>("kind");
  QTest::newRow("a directory") << NoDocument::Directory;
  QTest::newRow("a file without read permission") << NoDocument::Unreadable;
  QTest::newRow("a named pipe without a writer") << NoDocument::NamedPipe;  // opening it would wait
  QTest::newRow("a device without end") << NoDocument::EndlessDevice;      // reading it would fill memory
}

// Each is reported as a file that cannot be opened; the window stays empty and
// "Untitled", and the file stays as it was.
void FileTests::filesThatAreNoDocumentsDoNotOpen() {
  QFETCH(NoDocument, kind);
  QTemporaryDir dir;
  QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFileDevice::ReadOther | QFileDevice::ExeOther);
  QString path = dir.filePath("doc.txt");
  switch (kind) {
    case NoDocument::Directory:
      QVERIFY(QDir().mkdir(path));
      break;
    case NoDocument::Unreadable:
      WriteBytes(path, "private");
      QFile::setPermissions(path, QFileDevice::WriteOwner);
      break;
    case NoDocument::NamedPipe:
      QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0644), 0);
      break;
    case NoDocument::EndlessDevice:
      path = QStringLiteral("/dev/zero");
      break;
  }
  const QFileInfo before(path);
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = nullptr;
  {
    UnprivilegedUser user;
    QVERIFY(geteuid() != 0);
    QVERIFY(QFileInfo::exists(path));  // the file is there to see, only not to read
    editor = OpenFile(bench, dialogs, path);
  }
  QCOMPARE(dialogs.errors, QStringList{"Cannot open file " + path + "."});
  QCOMPARE(editor->windowTitle(), QStringLiteral("Untitled"));
  QCOMPARE(TextOf(*editor), std::string());
  QVERIFY(!editor->Memo1()->document()->isModified());
  const QFileInfo after(path);
  QCOMPARE(after.isDir(), before.isDir());
  QCOMPARE(after.size(), before.size());
  QCOMPARE(after.lastModified(), before.lastModified());
}

void FileTests::largeFilesOpenOrAreRefused_data() {
  QTest::addColumn<int>("lineLength");  // each line ends in a lone LF
  QTest::addColumn<int>("lines");
  QTest::addColumn<QByteArray>("budget");  // the memory budget, if any
  QTest::addColumn<bool>("opens");
  QTest::newRow("5 MB") << 60 << 85'000 << QByteArray() << true;
  QTest::newRow("5 MB in a budget of 64 MiB") << 60 << 85'000 << QByteArray("64M") << false;
  // Half of the budget is the text's: 524,288 bytes, and each line break takes 520.
  QTest::newRow("1,008 line breaks in 1 MiB") << 0 << 1008 << QByteArray("1M") << true;
  QTest::newRow("1,009 line breaks in 1 MiB") << 0 << 1009 << QByteArray("1M") << false;
}

// A file within the control's capacity (half of the memory budget) opens and is saved
// back with CR LF line ends; a larger one is refused, and the window stays empty and
// "Untitled".
void FileTests::largeFilesOpenOrAreRefused() {
  QFETCH(int, lineLength);
  QFETCH(int, lines);
  QFETCH(QByteArray, budget);
  QFETCH(bool, opens);
  struct Budget {
    explicit Budget(const QByteArray& limit) {
      if (!limit.isEmpty()) qputenv(lumenark::kMemoryLimitVariable, limit);
    }
    ~Budget() { qunsetenv(lumenark::kMemoryLimitVariable); }
  } memory(budget);
  const std::string line = "(a&b)|~(c>d)=e&\0f|g&h|i&j|k&l|m&n|o&p|q&r|s&t|u&v|w&x|y&z|A&B"s.substr(0, lineLength);
  QCOMPARE(line.size(), static_cast<std::size_t>(lineLength));
  std::string file;
  for (int i = 0; i < lines; ++i) file += line + '\n';
  QTemporaryDir dir;
  const QString path = dir.filePath("large.txt");
  WriteBytes(path, file);
  Workbench bench;
  ScriptedDialogs dialogs;
  QElapsedTimer clock;
  clock.start();
  TEditForm* editor = OpenFile(bench, dialogs, path);
  qInfo("a file of %zu bytes in %d lines %s in %lld ms", file.size(), lines, opens ? "opened" : "refused",
        static_cast<long long>(clock.elapsed()));
  if (!opens) {
    QCOMPARE(dialogs.errors, QStringList{"Text exceeds memo capacity."});
    QCOMPARE(editor->windowTitle(), QStringLiteral("Untitled"));
    QCOMPARE(TextOf(*editor), std::string());
    QVERIFY(!editor->Memo1()->document()->isModified());
    QVERIFY(ReadBytes(path) == file);
    return;
  }
  QVERIFY(dialogs.errors.isEmpty());
  std::string text;
  for (int i = 0; i < lines; ++i) text += line + "\r\n";
  QVERIFY(TextOf(*editor) == text);  // QCOMPARE would print megabytes on failure
  QVERIFY(editor->Save1Click() == SaveOutcome::Saved);
  QVERIFY(ReadBytes(path) == text);
  QVERIFY(ReadBytes(dir.filePath("large.BAK")) == file);
}

void FileTests::longLinesOpenUpToTheLimit_data() {
  QTest::addColumn<std::string>("file");
  QTest::addColumn<bool>("opens");
  const std::string longest(MemoControl::kCapacityLineLength, 'A');
  QTest::newRow("the longest line") << "x\n" + longest + "\r\ny" << true;
  QTest::newRow("the longest line, then an empty one") << "x\n" + longest + "\n" << true;
  QTest::newRow("one character more") << "x\n" + longest + "B\ny" << false;
  QTest::newRow("one character more at the end") << longest + "B" << false;
}

// A line longer than the control can lay out is refused at Open, with the limit named.
void FileTests::longLinesOpenUpToTheLimit() {
  QFETCH(std::string, file);
  QFETCH(bool, opens);
  QTemporaryDir dir;
  const QString path = dir.filePath("line.txt");
  WriteBytes(path, file);
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = OpenFile(bench, dialogs, path);
  if (opens) {
    QVERIFY(dialogs.errors.isEmpty());
    QCOMPARE(TextOf(*editor).substr(0, 4), std::string("x\r\nA"));
    QCOMPARE(TextOf(*editor).find_first_not_of('A', 3), 3 + MemoControl::kCapacityLineLength);
    return;
  }
  QCOMPARE(dialogs.errors, QStringList{"Text exceeds memo capacity.\nA line may hold at most 1000000 characters."});
  QCOMPARE(TextOf(*editor), std::string());
  // Paste refuses such a line as well; the text stays as it was.
  editor->Memo1()->SetDocumentText("ab");
  Select(*editor, 1, 0);
  QGuiApplication::clipboard()->setText(QString(static_cast<qsizetype>(MemoControl::kCapacityLineLength) - 1, 'x'));
  editor->PasteFromClipboard();
  QCOMPARE(dialogs.errors.size(), 2);
  QCOMPARE(TextOf(*editor), std::string("ab"));
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

void FileTests::readOnlyFileLeadsToSaveAs_data() {
  QTest::addColumn<bool>("othersFile");
  QTest::newRow("without its write permission") << false;
  QTest::newRow("writable by its owner, another user") << true;
}

// The warning names the file, Save As follows; cancelled, it leaves everything as it
// was, the window still changed.
void FileTests::readOnlyFileLeadsToSaveAs() {
  QFETCH(bool, othersFile);
  if (othersFile && geteuid() != 0) QSKIP("only the superuser can make a file of another user");
  QTemporaryDir dir;
  QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFileDevice::ReadOther | QFileDevice::ExeOther);
  const QString locked = dir.filePath("locked.txt");
  QDir().mkdir(dir.filePath("mine"));
  UnprivilegedUser::Give(dir.filePath("mine"));
  const QString copy = dir.filePath("mine/copy.txt");
  WriteBytes(locked, "locked");
  WriteBytes(dir.filePath("locked.BAK"), "older");
  if (!othersFile) QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
  Workbench bench;
  ScriptedDialogs dialogs;
  {
    UnprivilegedUser user(othersFile);  // the files above are the superuser's
    QVERIFY(!othersFile || geteuid() != 0);
    TEditForm* editor = OpenFile(bench, dialogs, locked);
    Type(editor, QStringLiteral("!"));
    dialogs.saveAnswers = {QString(), copy};
    QVERIFY(editor->Save1Click() == SaveOutcome::Cancelled);
    QVERIFY(editor->Memo1()->document()->isModified());
    QVERIFY(editor->Save1Click() == SaveOutcome::Saved);
    QCOMPARE(editor->windowTitle(), QStringLiteral("copy.txt"));
  }
  QCOMPARE(dialogs.warnings, (QStringList{"locked.txt is read only.", "locked.txt is read only."}));
  QCOMPARE(dialogs.savePresets, (QStringList{locked, locked}));
  QCOMPARE(ReadBytes(locked), std::string("locked"));
  QCOMPARE(ReadBytes(dir.filePath("locked.BAK")), std::string("older"));
  QCOMPARE(ReadBytes(copy), std::string("locked!"));
  QCOMPARE(Entries(dir), (QStringList{"locked.BAK", "locked.txt"}));
  QVERIFY(dialogs.errors.isEmpty());
}

void FileTests::failedSaveLosesNothing_data() {
  QTest::addColumn<SaveFailure>("failure");
  QTest::addColumn<QString>("error");
  QTest::newRow("write stops part-way") << SaveFailure::FileSizeLimit << QStringLiteral("Stream write error.\nFile too large");
  QTest::newRow("full disk") << SaveFailure::FullDisk << QStringLiteral("Stream write error.\nNo space left on device");
}

// The error is reported with the system's reason below it; the document and its backup are as they were, no temporary
// file is left, and the window is still changed, so that a later save loses nothing.
void FileTests::failedSaveLosesNothing() {
  QFETCH(SaveFailure, failure);
  QFETCH(QString, error);
  QTemporaryDir top;
  QFile::setPermissions(top.path(), QFile::permissions(top.path()) | QFileDevice::ReadOther | QFileDevice::ExeOther);
  const QString dir = top.filePath("documents");
  QDir().mkdir(dir);
  std::optional<SmallDisk> disk;
  if (failure == SaveFailure::FullDisk) disk.emplace(dir);
  const QString path = dir + "/doc.txt";
  WriteBytes(path, "old");
  WriteBytes(dir + "/doc.BAK", "older");
  UnprivilegedUser::Give(path);
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = OpenFile(bench, dialogs, path);
  Type(editor, QStringLiteral(" and a good deal more than the file may hold"));
  QStringList entries = QDir(dir).entryList(QDir::Files | QDir::Hidden);
  switch (failure) {
    case SaveFailure::FileSizeLimit: {
      SmallFileLimit limit(16);
      QVERIFY(editor->Save1Click() == SaveOutcome::Failed);
      break;
    }
    case SaveFailure::FullDisk: {
      std::optional<SmallFileLimit> nothingFits;  // where no disk can be mounted
      if (disk->Mounted()) disk->Fill("filler");
      else {
        qInfo("no tmpfs could be mounted: a file size limit of 0 stands in for a full disk");
        nothingFits.emplace(0);
        error = QStringLiteral("Stream write error.\nFile too large");
      }
      entries = QDir(dir).entryList(QDir::Files | QDir::Hidden);
      QVERIFY(editor->Save1Click() == SaveOutcome::Failed);
      break;
    }
  }
  QCOMPARE(dialogs.errors, QStringList{error});
  QCOMPARE(ReadBytes(path), std::string("old"));
  QCOMPARE(ReadBytes(dir + "/doc.BAK"), std::string("older"));
  QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), entries);
  QVERIFY(editor->Memo1()->document()->isModified());

  QFile::remove(dir + "/filler");
  QVERIFY(editor->Save1Click() == SaveOutcome::Saved);  // nothing lost: it saves later
  QCOMPARE(ReadBytes(path), std::string("old and a good deal more than the file may hold"));
  QCOMPARE(ReadBytes(dir + "/doc.BAK"), std::string("old"));
}

void FileTests::failedCreateReportsAndStaysChanged_data() {
  QTest::addColumn<CreateFailure>("failure");
  QTest::addColumn<QString>("reason");
  QTest::newRow("a missing directory") << CreateFailure::MissingDirectory << "No such file or directory";
  QTest::newRow("a read-only directory") << CreateFailure::ReadOnlyDirectory << "Permission denied";
  QTest::newRow("a loop of links") << CreateFailure::LinkLoop << "Too many levels of symbolic links";
  QTest::newRow("a directory at the name") << CreateFailure::DirectoryAtName << "Is a directory";
}

// The report names the file, and below it the system's reason.
void FileTests::failedCreateReportsAndStaysChanged() {
  QFETCH(CreateFailure, failure);
  QFETCH(QString, reason);
  QTemporaryDir top;
  QFile::setPermissions(top.path(), QFile::permissions(top.path()) | QFileDevice::ReadOther | QFileDevice::ExeOther);
  const QString dir = top.filePath("documents");
  const QString path = dir + "/doc.txt";
  if (failure != CreateFailure::MissingDirectory) QDir().mkdir(dir);
  if (failure == CreateFailure::LinkLoop) {
    UnprivilegedUser::Give(dir);  // the directory is no obstacle
    QCOMPARE(symlink("other.txt", QFile::encodeName(path).constData()), 0);
    QCOMPARE(symlink("doc.txt", QFile::encodeName(dir + "/other.txt").constData()), 0);
  }
  if (failure == CreateFailure::DirectoryAtName) {
    QDir().mkdir(path);
    UnprivilegedUser::Give(dir);
    UnprivilegedUser::Give(path);  // not read-only: the save tries it
  }
  const QStringList names = Names(dir);
  if (failure == CreateFailure::ReadOnlyDirectory) {
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther | QFileDevice::ExeOther);
  }
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor();
  Type(editor, QStringLiteral("text"));
  dialogs.saveAnswers.push_back(path);
  {
    UnprivilegedUser user;
    QVERIFY(editor->Save1Click() == SaveOutcome::Failed);
  }
  QCOMPARE(dialogs.errors, QStringList{"Cannot create file " + path + ".\n" + reason});
  QVERIFY(editor->Memo1()->document()->isModified());
  QCOMPARE(editor->FileName(), path);
  QCOMPARE(Names(dir), names);
  if (failure == CreateFailure::LinkLoop) QVERIFY(QFileInfo(path).isSymLink());
}

void FileTests::saveThroughLinksWritesTheTarget_data() {
  QTest::addColumn<LinkChain>("chain");
  QTest::newRow("a link into another directory") << LinkChain::OneLink;
  QTest::newRow("a link to a link") << LinkChain::TwoLinks;
  QTest::newRow("a link to a missing file") << LinkChain::MissingTarget;
}

// The edits reach the file at the end of the links, its backup lies beside it, and the
// links stay links.
void FileTests::saveThroughLinksWritesTheTarget() {
  QFETCH(LinkChain, chain);
  QTemporaryDir top;
  QDir().mkdir(top.filePath("work"));
  QDir().mkdir(top.filePath("shared"));
  const QString link = top.filePath("work/notes.txt");
  const QString middle = top.filePath("shared/middle.txt");
  const QString real = top.filePath("shared/real.txt");
  const QByteArray linkTarget = chain == LinkChain::TwoLinks ? "../shared/middle.txt" : "../shared/real.txt";
  QCOMPARE(symlink(linkTarget.constData(), QFile::encodeName(link).constData()), 0);
  if (chain == LinkChain::TwoLinks) QCOMPARE(symlink("real.txt", QFile::encodeName(middle).constData()), 0);
  const std::string old = chain == LinkChain::MissingTarget ? "" : "real";
  if (!old.empty()) WriteBytes(real, old);
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = OpenFile(bench, dialogs, link);
  dialogs.errors.clear();  // the missing file could not be opened
  Type(editor, QStringLiteral(" edited"));
  QVERIFY(editor->Save1Click() == SaveOutcome::Saved);

  QCOMPARE(ReadBytes(real), old + " edited");
  char written[64] = {};
  QCOMPARE(readlink(QFile::encodeName(link).constData(), written, sizeof written - 1), linkTarget.size());
  QCOMPARE(QByteArray(written), linkTarget);
  QCOMPARE(Names(top.filePath("work")), QStringList{"notes.txt"});
  QStringList shared{"real.txt"};
  if (!old.empty()) {
    QCOMPARE(ReadBytes(top.filePath("shared/real.BAK")), old);
    shared.prepend("real.BAK");
  }
  if (chain == LinkChain::TwoLinks) {
    QVERIFY(QFileInfo(middle).isSymLink());
    shared.prepend("middle.txt");
  }
  QCOMPARE(Names(top.filePath("shared")), shared);
  QVERIFY(dialogs.errors.isEmpty());
  QVERIFY(dialogs.warnings.isEmpty());
}

void FileTests::backupThatCannotBeMadeIsReported_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<bool>("directoryAtBackupName");
  QTest::newRow("a directory at the backup name") << QStringLiteral("doc.txt") << true;
  QTest::newRow("a backup name too long") << QString(253, QLatin1Char('n')) << false;  // ".BAK" is added
}

// Whatever stands at the backup name is left alone; the document is saved, and a warning
// says that its previous version is not kept.
void FileTests::backupThatCannotBeMadeIsReported() {
  QFETCH(QString, name);
  QFETCH(bool, directoryAtBackupName);
  QTemporaryDir dir;
  const QString path = dir.filePath(name);
  const QString backup = BackupName(path);
  WriteBytes(path, "old");
  if (directoryAtBackupName) {
    QDir().mkdir(backup);
    WriteBytes(backup + "/inside.txt", "inside");
  }
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = OpenFile(bench, dialogs, path);
  Type(editor, QStringLiteral(" new"));
  QVERIFY(editor->Save1Click() == SaveOutcome::Saved);
  QCOMPARE(ReadBytes(path), std::string("old new"));
  QCOMPARE(dialogs.warnings, QStringList{NoBackupWarning(name, backup)});
  QVERIFY(dialogs.errors.isEmpty());
  QVERIFY(!editor->Memo1()->document()->isModified());
  QStringList names{name};
  if (directoryAtBackupName) {
    names.prepend(NamePart(backup));
    QCOMPARE(ReadBytes(backup + "/inside.txt"), std::string("inside"));
  }
  QCOMPARE(Names(dir.path()), names);
}

void FileTests::longNamesSaveWithABackup_data() {
  QTest::addColumn<int>("length");  // of the name, in bytes
  QTest::newRow("243 bytes") << 243;
  QTest::newRow("255 bytes, the longest") << 255;
}

void FileTests::longNamesSaveWithABackup() {
  QFETCH(int, length);
  QTemporaryDir dir;
  const QString stem(length - 4, QLatin1Char('n'));
  const QString path = dir.filePath(stem + ".txt");
  WriteBytes(path, "old");
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = OpenFile(bench, dialogs, path);
  Type(editor, QStringLiteral(" new"));
  QVERIFY(editor->Save1Click() == SaveOutcome::Saved);
  QCOMPARE(ReadBytes(path), std::string("old new"));
  QCOMPARE(ReadBytes(dir.filePath(stem + ".BAK")), std::string("old"));
  QCOMPARE(Names(dir.path()), (QStringList{stem + ".BAK", stem + ".txt"}));
  QVERIFY(dialogs.errors.isEmpty());
}

void FileTests::readOnlyDirectoryTakesTheFileInPlace_data() {
  QTest::addColumn<OldBackup>("oldBackup");
  QTest::newRow("with a backup file it may write") << OldBackup::Writable;
  QTest::newRow("without a backup file") << OldBackup::Missing;
  QTest::newRow("with a backup file it may not write") << OldBackup::NotWritable;
}

// A writable document in a directory that takes no new file is written in place, after
// its previous version is copied into the backup file where that can be written; where
// it cannot, a warning says so. The document is not read-only.
void FileTests::readOnlyDirectoryTakesTheFileInPlace() {
  QFETCH(OldBackup, oldBackup);
  QTemporaryDir top;
  QFile::setPermissions(top.path(), QFile::permissions(top.path()) | QFileDevice::ReadOther | QFileDevice::ExeOther);
  const QString dir = top.filePath("documents");
  QDir().mkdir(dir);
  const QString path = dir + "/doc.txt";
  const QString backup = dir + "/doc.BAK";
  WriteBytes(path, "old");
  UnprivilegedUser::Give(path);
  if (oldBackup != OldBackup::Missing) WriteBytes(backup, "older");
  if (oldBackup == OldBackup::Writable) UnprivilegedUser::Give(backup);
  if (oldBackup == OldBackup::NotWritable) QFile::setPermissions(backup, QFileDevice::ReadOwner | QFileDevice::ReadOther);
  QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther | QFileDevice::ExeOther);
  const QStringList names = Names(dir);
  const ino_t inode = Status(path).st_ino;
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = OpenFile(bench, dialogs, path);
  Type(editor, QStringLiteral(" new"));
  {
    UnprivilegedUser user;
    QVERIFY(editor->Save1Click() == SaveOutcome::Saved);
  }
  QCOMPARE(ReadBytes(path), std::string("old new"));
  QCOMPARE(Status(path).st_ino, inode);
  switch (oldBackup) {
    case OldBackup::Writable:
      QCOMPARE(ReadBytes(backup), std::string("old"));
      QVERIFY(dialogs.warnings.isEmpty());
      break;
    case OldBackup::NotWritable:
      QCOMPARE(ReadBytes(backup), std::string("older"));
      [[fallthrough]];
    case OldBackup::Missing:
      QCOMPARE(dialogs.warnings, QStringList{NoBackupWarning("doc.txt", backup)});
      break;
  }
  QCOMPARE(Names(dir), names);
  QVERIFY(dialogs.errors.isEmpty());
  QFile::setPermissions(dir, QFile::permissions(dir) | QFileDevice::WriteOwner);
}

void FileTests::ownerGroupAndModeAreKeptWithoutSetIds_data() {
  QTest::addColumn<bool>("bySuperuser");
  QTest::addColumn<int>("mode");  // of the document before the save
  QTest::newRow("the superuser saves nobody's group-writable file") << true << 06664;
  QTest::newRow("nobody saves the superuser's writable file") << false << 04666;
}

// The saved document keeps its owner, group and permissions, but is no longer setuid or
// setgid; the backup holds the previous version, with the permissions and without the
// set-id bits either, so that no privileged program lives on under the backup name.
void FileTests::ownerGroupAndModeAreKeptWithoutSetIds() {
  QFETCH(bool, bySuperuser);
  QFETCH(int, mode);
  if (geteuid() != 0) QSKIP("only the superuser can make files of two users");
  QTemporaryDir top;
  QFile::setPermissions(top.path(), QFile::permissions(top.path()) | QFileDevice::ReadOther | QFileDevice::ExeOther);
  const QString dir = top.filePath("documents");
  QDir().mkdir(dir);
  UnprivilegedUser::Give(dir);  // either user may make new files there
  const QString path = dir + "/doc.txt";
  WriteBytes(path, "old");
  if (bySuperuser) UnprivilegedUser::Give(path);
  QCOMPARE(chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(mode)), 0);
  const struct stat before = Status(path);
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = OpenFile(bench, dialogs, path);
  Type(editor, QStringLiteral(" new"));
  {
    UnprivilegedUser user(!bySuperuser);
    QVERIFY(editor->Save1Click() == SaveOutcome::Saved);
  }
  const struct stat after = Status(path);
  QCOMPARE(after.st_uid, before.st_uid);
  QCOMPARE(after.st_gid, before.st_gid);
  QCOMPARE(after.st_mode & 07777, before.st_mode & 0777);
  QCOMPARE(ReadBytes(path), std::string("old new"));
  QCOMPARE(ReadBytes(dir + "/doc.BAK"), std::string("old"));
  QCOMPARE(Status(dir + "/doc.BAK").st_mode & 07777, before.st_mode & 0777);
  QVERIFY(dialogs.errors.isEmpty());
  QVERIFY(dialogs.warnings.isEmpty());
}

// A file with more than one name stays one file: it is written in place, so every name
// reads the saved text, and the backup is a copy.
void FileTests::otherHardLinksReadTheSavedText() {
  QTemporaryDir dir;
  const QString path = dir.filePath("doc.txt");
  const QString other = dir.filePath("other.txt");
  WriteBytes(path, "old");
  QCOMPARE(link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = OpenFile(bench, dialogs, path);
  Type(editor, QStringLiteral(" new"));
  QVERIFY(editor->Save1Click() == SaveOutcome::Saved);
  QCOMPARE(ReadBytes(other), std::string("old new"));
  QCOMPARE(Status(other).st_ino, Status(path).st_ino);
  QCOMPARE(Status(path).st_nlink, nlink_t{2});
  QCOMPARE(ReadBytes(dir.filePath("doc.BAK")), std::string("old"));
  QCOMPARE(Names(dir.path()), (QStringList{"doc.BAK", "doc.txt", "other.txt"}));
  QVERIFY(dialogs.warnings.isEmpty());
}

// Past the file-size limit a save fails as any write does: a process set up as the
// program sets itself up at start-up lives on, gets "Stream write error", and no
// temporary file is left. The limit is lowered in a child process, as a shell's
// "ulimit -f" would be.
void FileTests::fileSizeLimitFailsTheSaveNotTheProgram() {
  QTemporaryDir dir;
  const QString path = dir.filePath("doc.txt");
  WriteBytes(path, "old");
  const pid_t child = fork();
  QVERIFY(child >= 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_DFL);  // as a shell starts the program
    LetWritesFailAtFileSizeLimit();
    const rlimit noCore{0, 0};
    const rlimit fourBlocks{4096, 4096};
    setrlimit(RLIMIT_CORE, &noCore);
    setrlimit(RLIMIT_FSIZE, &fourBlocks);
    int status = 1;
    try {
      SaveDocumentFile(path, std::string(10 * 1024, 'x'));
    } catch (const FileError& error) {
      status = error.text == QLatin1String("Stream write error") ? 0 : 2;
    }
    _exit(status);
  }
  int status = 0;
  QCOMPARE(waitpid(child, &status, 0), child);
  QVERIFY2(WIFEXITED(status), qPrintable(QStringLiteral("ended by signal %1").arg(WTERMSIG(status))));
  QCOMPARE(WEXITSTATUS(status), 0);
  QCOMPARE(ReadBytes(path), std::string("old"));
  QCOMPARE(Names(dir.path()), QStringList{"doc.txt"});
}

void FileTests::closeAsksOnlyWhenChanged() {
  Workbench bench;
  ScriptedDialogs dialogs;
  QMdiArea* area = bench.frame().ClientArea();
  bench.NewEditor()->Close1Click();
  WaitUntil([&] { return area->subWindowList().size() == 0; });
  QCOMPARE(area->subWindowList().size(), 0);
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
  WaitUntil([&] { return area->subWindowList().size() == 0; });
  QCOMPARE(area->subWindowList().size(), 0);

  editor = bench.NewEditor();
  Type(editor, QStringLiteral("y"));
  dialogs.confirmAnswers = {QMessageBox::No};
  editor->Close1Click();
  WaitUntil([&] { return area->subWindowList().size() == 0; });
  QCOMPARE(area->subWindowList().size(), 0);
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
