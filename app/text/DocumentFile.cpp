#include "text/DocumentFile.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "dialogs/ErrorReport.h"
#include "text/LineBreaks.h"

namespace {

// The reports of a failed save, with the system's reason for the call that failed (an
// errno value) below the first line.
FileError CannotCreate(const QString& path, int error) {
  return FileError{QStringLiteral("Cannot create file %1").arg(path), qt_error_string(error)};
}
FileError WriteError(int error) { return FileError{QStringLiteral("Stream write error"), qt_error_string(error)}; }

// The reason a file that is not a regular file cannot be a document.
FileError NotAFile(const QString& path, const struct stat& info) {
  if (S_ISDIR(info.st_mode)) return CannotCreate(path, EISDIR);
  return FileError{QStringLiteral("Cannot create file %1").arg(path), QStringLiteral("Not a regular file")};
}

// The bits of a document's mode that a saved document keeps: the permissions and the
// sticky bit. Setuid and setgid are not carried onto a new text.
constexpr mode_t kKeptModeBits = 01777;

// How many symbolic links a save follows before it takes the chain for a loop.
constexpr int kMaxLinks = 40;

// A file descriptor, closed on every way out.
struct Descriptor {
  explicit Descriptor(int descriptor) : fd(descriptor) {}
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  // Closes now; false when the close reports an error (a delayed write error, say).
  bool Close() {
    const int closing = fd;
    fd = -1;
    return close(closing) == 0;
  }
  int fd;
};

// The backup name of a path in the file system's own bytes (see BackupName).
QByteArray BackupOf(const QByteArray& path) {
  const qsizetype slash = path.lastIndexOf('/');
  const qsizetype dot = path.lastIndexOf('.');
  return (dot > slash ? path.left(dot) : path) + ".BAK";
}

// The file that a save of path writes: path itself, or the end of the chain of symbolic
// links that starts there, which need not exist yet. A relative link leads from the
// directory that holds it. Nothing when the chain does not end (errno tells why).
std::optional<QByteArray> LinkTarget(QByteArray path) {
  for (int links = 0; links <= kMaxLinks; ++links) {
    struct stat info {};
    if (lstat(path.constData(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char target[PATH_MAX];
    const ssize_t length = readlink(path.constData(), target, sizeof target);
    if (length <= 0) return std::nullopt;
    if (static_cast<std::size_t>(length) == sizeof target) {
      errno = ENAMETOOLONG;
      return std::nullopt;
    }
    const QByteArray next(target, length);
    path = next.startsWith('/') ? next : path.left(path.lastIndexOf('/') + 1) + next;
  }
  errno = ELOOP;
  return std::nullopt;
}

// A new, empty file with a unique name in the directory of path: ".NAME.purpose-XXXXXX",
// with NAME cut short (at a whole UTF-8 character) where the directory's longest name
// would be passed. -1 if none can be made.
int CreateFileBeside(const QByteArray& path, const char* purpose, QByteArray& name) {
  const qsizetype slash = path.lastIndexOf('/');
  const QByteArray directory = path.left(slash + 1);
  const QByteArray whole = path.mid(slash + 1);
  const QByteArray suffix = QByteArray(".") + purpose + "-XXXXXX";
  long longest = pathconf(directory.isEmpty() ? "." : directory.constData(), _PC_NAME_MAX);
  if (longest <= 0) longest = NAME_MAX;
  qsizetype keep = std::clamp<qsizetype>(longest - 1 - suffix.size(), 0, whole.size());
  while (keep > 0 && keep < whole.size() && (static_cast<unsigned char>(whole[keep]) & 0xC0) == 0x80) --keep;
  name = directory + '.' + whole.left(keep) + suffix;
  return mkostemp(name.data(), O_CLOEXEC);
}

// The permissions a newly created document gets.
mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Gives a new file the owner and group of the file it stands in for; false where the
// process may not (only the superuser may give a file to another user).
bool KeepOwnerAndGroup(int fd, const struct stat& old) {
  struct stat info {};
  if (fstat(fd, &info) != 0) return false;
  if (info.st_uid == old.st_uid && info.st_gid == old.st_gid) return true;
  return fchown(fd, old.st_uid, old.st_gid) == 0;
}

// Whether a file of size bytes stays within the process's file-size limit; errno is
// EFBIG when not.
bool FitsFileSizeLimit(off_t size) {
  rlimit limit {};
  if (getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
      static_cast<rlim_t>(size) <= limit.rlim_cur) {
    return true;
  }
  errno = EFBIG;
  return false;
}

// Closes a file that was written; false when the writing or the close failed, with the
// system's reason in error.
bool Finish(Descriptor& file, bool written, int& error) {
  if (!written) {
    error = errno;
    file.Close();
    return false;
  }
  if (file.Close()) return true;
  error = errno;
  return false;
}

// Disk space for a file of size bytes, taken before it is written, so that a full disk
// is found before anything has changed, where the file system can tell.
bool Reserve(int fd, off_t size) {
  struct stat info {};
  if (fstat(fd, &info) != 0) return false;
  if (size <= info.st_size) return true;
  for (;;) {
    if (fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size) == 0) return true;
    if (errno != EINTR) return errno == EOPNOTSUPP || errno == ENOSYS;
  }
}

bool WriteAt(int fd, off_t offset, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = pwrite(fd, bytes.data(), bytes.size(), offset);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
    offset += written;
  }
  return true;
}

// The file's content made bytes, from its start: space reserved, written, cut to length
// and flushed to the disk.
bool Overwrite(int fd, std::string_view bytes) {
  const auto size = static_cast<off_t>(bytes.size());
  return Reserve(fd, size) && WriteAt(fd, 0, bytes) && ftruncate(fd, size) == 0 && fsync(fd) == 0;
}

// The file's content made that of the open file source, in the same way.
bool OverwriteWith(int fd, int source) {
  struct stat info {};
  if (fstat(source, &info) != 0 || !Reserve(fd, info.st_size)) return false;
  char buffer[64 * 1024];
  off_t offset = 0;
  for (;;) {
    const ssize_t got = pread(source, buffer, sizeof buffer, offset);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    if (!WriteAt(fd, offset, std::string_view(buffer, static_cast<std::size_t>(got)))) return false;
    offset += got;
  }
  return ftruncate(fd, offset) == 0 && fsync(fd) == 0;
}

// The backup step of a save by renaming: the old ".BAK" is held aside under a temporary
// name and the document takes the backup name. Undo puts both back; Commit lets the old
// backup go. Failed tells that the document could not take the backup name: a
// directory stands there, say, or the name is too long.
class RenamedBackup {
 public:
  // The backup is a previous text, not a program: it keeps the permissions, but not
  // setuid or setgid, as a saved document does not. The file is opened before the
  // rename, so that the bits are cleared on this very file.
  RenamedBackup(const QByteArray& document, const QByteArray& backup, const struct stat& old)
      : document_(document), backup_(backup), mode_(old.st_mode & 07777) {
    if (backup_ == document_) return;  // a document named x.BAK is simply replaced
    struct stat info {};
    if (lstat(backup_.constData(), &info) == 0) HoldOldBackup();
    if ((mode_ & (S_ISUID | S_ISGID)) != 0) {
      previous_.fd = open(document_.constData(), O_RDONLY | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    }
    documentMoved_ = rename(document_.constData(), backup_.constData()) == 0;
    failed_ = !documentMoved_;
    if (documentMoved_ && previous_.fd >= 0) fchmod(previous_.fd, mode_ & kKeptModeBits);
  }

  bool Failed() const { return failed_; }

  void Undo() {
    if (documentMoved_ && previous_.fd >= 0) fchmod(previous_.fd, mode_);
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
    if (fd < 0) return;
    close(fd);
    if (rename(backup_.constData(), name.constData()) == 0) held_ = name;
    else unlink(name.constData());  // a directory cannot take a file's place
  }

  QByteArray document_;
  QByteArray backup_;
  QByteArray held_;
  mode_t mode_;
  Descriptor previous_{-1};  // the document's file, while its set-id bits are cleared
  bool documentMoved_ = false;
  bool failed_ = false;
};

// A document that does not exist yet: a new file beside it, renamed to its name. An old
// file of the backup name goes, as after any save.
void SaveNewFile(const QByteArray& target, std::string_view bytes, const QString& path) {
  QByteArray temporary;
  Descriptor file(CreateFileBeside(target, "save", temporary));
  if (file.fd < 0) throw CannotCreate(path, errno);
  int error = 0;
  if (!Finish(file, fchmod(file.fd, NewFileMode()) == 0 && Overwrite(file.fd, bytes), error)) {
    unlink(temporary.constData());
    throw WriteError(error);
  }
  if (rename(temporary.constData(), target.constData()) != 0) {
    error = errno;
    unlink(temporary.constData());
    throw CannotCreate(path, error);
  }
  const QByteArray backup = BackupOf(target);
  if (backup != target) unlink(backup.constData());
}

// Saves by writing a new file beside the document and renaming it over the document,
// after the document has become its backup. Nothing when the new file cannot be made,
// cannot have the document's owner and group, or may not take the document's name:
// everything is then as it was, and the document can be written in place.
std::optional<SaveReport> SaveByRename(const QByteArray& target, const struct stat& old, std::string_view bytes,
                                       const QString& path) {
  QByteArray temporary;
  Descriptor file(CreateFileBeside(target, "save", temporary));
  if (file.fd < 0) return std::nullopt;
  if (!KeepOwnerAndGroup(file.fd, old)) {
    unlink(temporary.constData());
    return std::nullopt;
  }
  int error = 0;
  if (!Finish(file, fchmod(file.fd, old.st_mode & kKeptModeBits) == 0 && Overwrite(file.fd, bytes), error)) {
    unlink(temporary.constData());
    throw WriteError(error);
  }
  const QByteArray backup = BackupOf(target);
  RenamedBackup step(target, backup, old);
  if (rename(temporary.constData(), target.constData()) != 0) {
    error = errno;
    step.Undo();
    unlink(temporary.constData());
    if (error == EPERM || error == EACCES) return std::nullopt;  // a sticky directory, say
    throw CannotCreate(path, error);
  }
  step.Commit();
  return SaveReport{step.Failed(), QFile::decodeName(backup)};
}

// The previous version copied into a new file that is renamed to the backup name, where
// the directory takes a new file and the name is free for it.
bool CopyToNewBackup(int source, const QByteArray& backup, const struct stat& old) {
  QByteArray temporary;
  Descriptor copy(CreateFileBeside(backup, "save", temporary));
  if (copy.fd < 0) return false;
  KeepOwnerAndGroup(copy.fd, old);  // where the process may
  int error = 0;
  if (!Finish(copy, fchmod(copy.fd, old.st_mode & 0777) == 0 && OverwriteWith(copy.fd, source), error)) {
    unlink(temporary.constData());
    throw WriteError(error);
  }
  if (rename(temporary.constData(), backup.constData()) == 0) return true;
  unlink(temporary.constData());
  return false;
}

// The previous version written over the backup file that is there: a plain file with
// no other name, of the document's owner and group, that the process may write, and
// that nobody may read who may not read the document.
bool CopyOverOldBackup(int source, const QByteArray& backup, const struct stat& old) {
  Descriptor copy(open(backup.constData(), O_WRONLY | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC | O_NONBLOCK));
  struct stat info {};
  if (copy.fd < 0 || fstat(copy.fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink != 1) return false;
  if (info.st_uid != old.st_uid || info.st_gid != old.st_gid) return false;
  const mode_t mode = old.st_mode & 0777;
  if (fchmod(copy.fd, mode) != 0 && (info.st_mode & ~mode & 0777) != 0) return false;
  if (!FitsFileSizeLimit(old.st_size) || !OverwriteWith(copy.fd, source) || !copy.Close()) throw WriteError(errno);
  return true;
}

// The document's previous version kept under the backup name; false when it cannot be
// kept there. Throws FileError when a copy fails part-way.
bool CopyToBackup(const QByteArray& document, const QByteArray& backup, const struct stat& old) {
  const Descriptor source(open(document.constData(), O_RDONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK));
  if (source.fd < 0) return false;
  return CopyToNewBackup(source.fd, backup, old) || CopyOverOldBackup(source.fd, backup, old);
}

// Saves by writing the document's own file, after its previous version has been copied
// to the backup: every other name of the file reads the saved text, and the owner,
// group and permissions stay. A text past the file-size limit is refused before
// anything is written, since a write cut short would leave the document half new.
SaveReport SaveInPlace(const QByteArray& target, std::string_view bytes, const QString& path) {
  Descriptor file(open(target.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK));
  struct stat old {};
  if (file.fd < 0 || fstat(file.fd, &old) != 0) throw CannotCreate(path, errno);
  if (!S_ISREG(old.st_mode)) throw NotAFile(path, old);
  const auto size = static_cast<off_t>(bytes.size());
  if (!FitsFileSizeLimit(size) || !Reserve(file.fd, size)) throw WriteError(errno);
  const QByteArray backup = BackupOf(target);
  const bool backedUp = backup == target || CopyToBackup(target, backup, old);
  if (!Overwrite(file.fd, bytes)) throw WriteError(errno);
  // The system takes setuid and setgid away on a write by anybody else; the owner and
  // the superuser take them away here.
  if ((old.st_mode & (S_ISUID | S_ISGID)) != 0) fchmod(file.fd, old.st_mode & kKeptModeBits);
  if (!file.Close()) throw WriteError(errno);
  return SaveReport{!backedUp, QFile::decodeName(backup)};
}

}  // namespace

std::string ReadDocumentFile(const QString& path, std::size_t maxBytes, std::size_t maxLines,
                             std::size_t maxLineLength) {
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
  std::size_t lineStart = 0;
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
    if (++lines > maxLines) throw TextTooLarge{};
    if (at - 1 - lineStart > maxLineLength) throw TextTooLarge{true};  // without its CR LF
    lineStart = at + 1;
  }
  if (text.size() - lineStart > maxLineLength) throw TextTooLarge{true};
  return text;
}

SaveReport SaveDocumentFile(const QString& path, std::string_view bytes) {
  const std::optional<QByteArray> target = LinkTarget(QFile::encodeName(path));
  if (!target) throw CannotCreate(path, errno);
  struct stat old {};
  if (lstat(target->constData(), &old) != 0) {
    SaveNewFile(*target, bytes, path);
    return {};
  }
  if (!S_ISREG(old.st_mode)) throw NotAFile(path, old);
  // A file with other names is written in place, so that it stays one file.
  if (old.st_nlink == 1) {
    if (std::optional<SaveReport> report = SaveByRename(*target, old, bytes, path)) return *report;
  }
  return SaveInPlace(*target, bytes, path);
}

void LetWritesFailAtFileSizeLimit() { signal(SIGXFSZ, SIG_IGN); }

QString BackupName(const QString& path) { return QFile::decodeName(BackupOf(QFile::encodeName(path))); }

QString NamePart(const QString& path) { return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1); }

bool HasReadOnlyAttribute(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  struct stat info {};
  if (stat(name.constData(), &info) != 0) return false;
  return (info.st_mode & S_IWUSR) == 0 || access(name.constData(), W_OK) != 0;
}
