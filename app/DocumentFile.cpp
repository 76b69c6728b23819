#include "DocumentFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "ErrorReport.h"
#include "LineBreaks.h"

namespace {

QString CannotCreate(const QString& path) { return QStringLiteral("Cannot create file %1").arg(path); }

// A file descriptor, closed on every way out.
struct Descriptor {
  explicit Descriptor(int descriptor) : fd(descriptor) {}
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  const int fd;
};

bool Exists(const QByteArray& path) {
  struct stat info {};
  return lstat(path.constData(), &info) == 0;
}

// A new, empty file with a unique name in the directory of path; -1 if none can be made.
int CreateFileBeside(const QByteArray& path, const char* purpose, QByteArray& name) {
  const int slash = path.lastIndexOf('/');
  const QByteArray directory = slash >= 0 ? path.left(slash + 1) : QByteArray();
  name = directory + '.' + path.mid(slash + 1) + '.' + purpose + "-XXXXXX";
  return mkstemp(name.data());
}

// The permissions the saved document gets: those of the file it replaces, or those a
// newly created file would get.
mode_t DocumentMode(const QByteArray& path) {
  struct stat info {};
  if (stat(path.constData(), &info) == 0) return info.st_mode & 07777;
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// The backup step of a save: the old ".BAK" is held aside under a temporary name and
// the document takes the backup name. Undo puts both back; Commit lets the old backup
// go. Failures of the two renames are no error, as with any backup.
class Backup {
 public:
  explicit Backup(const QByteArray& document) : document_(document) {
    backup_ = QFile::encodeName(BackupName(QFile::decodeName(document)));
    if (backup_ == document_) return;  // a document named x.BAK is simply replaced
    if (Exists(backup_)) HoldOldBackup();
    documentMoved_ = rename(document_.constData(), backup_.constData()) == 0;
  }

  void Undo() {
    if (documentMoved_) rename(backup_.constData(), document_.constData());
    if (!held_.isEmpty()) rename(held_.constData(), backup_.constData());
  }

  void Commit() {
    if (!held_.isEmpty()) unlink(held_.constData());
  }

 private:
  void HoldOldBackup() {
    QByteArray name;
    const int fd = CreateFileBeside(backup_, "old", name);
    if (fd < 0) return;  // the rename of the document then replaces it
    close(fd);
    if (rename(backup_.constData(), name.constData()) == 0) held_ = name;
    else unlink(name.constData());
  }

  QByteArray document_;
  QByteArray backup_;
  QByteArray held_;
  bool documentMoved_ = false;
};

}  // namespace

std::string ReadDocumentFile(const QString& path, std::size_t maxBytes, std::size_t maxLines) {
  // Opened without waiting, then looked at: a named pipe would otherwise hold the
  // window until someone wrote to it, and a device such as /dev/zero never ends.
  const Descriptor file(open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat info {};
  if (file.fd < 0 || fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    throw FileError{QStringLiteral("Cannot open file %1").arg(path)};
  }
  // The line breaks can only lengthen the text, so a larger file is refused unread.
  if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) throw TextTooLarge{};
  std::string content;
  content.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = read(file.fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw FileError{QStringLiteral("Stream read error")};
    if (got == 0) break;
    content.append(buffer, static_cast<std::size_t>(got));
    if (content.size() > maxBytes) throw TextTooLarge{};  // it grew while being read
  }
  std::string text = lumenark::NormalizeLineBreaks(content);
  if (text.size() > maxBytes) throw TextTooLarge{};
  std::size_t lines = 1;
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
    if (++lines > maxLines) throw TextTooLarge{};
  }
  return text;
}

void SaveDocumentFile(const QString& path, std::string_view bytes) {
  const QByteArray document = QFile::encodeName(path);
  struct stat info {};
  if (stat(document.constData(), &info) == 0 && !S_ISREG(info.st_mode)) throw FileError{CannotCreate(path)};

  QByteArray temporary;
  const int fd = CreateFileBeside(document, "save", temporary);
  if (fd < 0) throw FileError{CannotCreate(path)};
  const bool written = fchmod(fd, DocumentMode(document)) == 0 && WriteAll(fd, bytes) && fsync(fd) == 0;
  if (close(fd) != 0 || !written) {
    unlink(temporary.constData());
    throw FileError{QStringLiteral("Stream write error")};
  }

  Backup backup(document);
  if (rename(temporary.constData(), document.constData()) != 0) {
    backup.Undo();
    unlink(temporary.constData());
    throw FileError{CannotCreate(path)};
  }
  backup.Commit();
}

QString BackupName(const QString& path) {
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
  const QString stem = dot > slash ? path.left(dot) : path;
  return stem + QStringLiteral(".BAK");
}

QString NamePart(const QString& path) { return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1); }

bool HasReadOnlyAttribute(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  struct stat info {};
  if (stat(name.constData(), &info) != 0) return false;
  return (info.st_mode & S_IWUSR) == 0 || access(name.constData(), W_OK) != 0;
}
