#pragma once
// Document files: plain 8-bit text with CR LF line breaks, read and written byte for
// byte.
//
// A save writes the file that the document's symbolic links lead to, and keeps its
// previous version as that file's ".BAK". Where it can, the new text goes to a temporary
// file beside it first, and only when that is safely written does the file become its
// ".BAK" and the temporary file the document, with the old owner, group and permissions.
// The file is written in place instead, after its previous version has been copied to
// the ".BAK", when it has other hard links (they all read the saved text), when its
// directory takes no new file, and when the new file could not have its owner and group
// (only the superuser may give a file away).

#include <QString>
#include <cstddef>
#include <string>
#include <string_view>

// Thrown by ReadDocumentFile when the text would exceed the capacity given.
struct TextTooLarge {
  bool lineTooLong = false;  // a line is longer than the capacity allows
};

// The whole file, with every lone CR and every lone LF made CR LF. Throws FileError
// ("Cannot open file <path>", or "Stream read error"), or TextTooLarge when the text
// would be longer than maxBytes, have more than maxLines lines, or a line of more than
// maxLineLength characters. Only a regular file
// can be opened: a directory, a device or a named pipe cannot, and none of them makes
// the call wait. A file larger than maxBytes is refused unread.
std::string ReadDocumentFile(const QString& path, std::size_t maxBytes, std::size_t maxLines,
                             std::size_t maxLineLength);

// What a save could not do although the document was saved.
struct SaveReport {
  // The document had a previous version and no backup could be made of it: something
  // that is not replaced stands at the backup name (a directory, say), the name is too
  // long, or the directory takes no new file and holds no backup file to write over.
  bool backupFailed = false;
  QString backup;  // the backup's path, beside the file that was written
};

// Writes bytes as the document path, keeping the previous version as its backup.
// Throws FileError ("Cannot create file <path>" or "Stream write error"); the document
// and its backup are then as they were and no temporary file remains, except after a
// write in place that failed part-way, where the document holds what was written (a
// full disk and the file-size limit are found before the first byte).
SaveReport SaveDocumentFile(const QString& path, std::string_view bytes);

// Makes a write past the file-size limit (ulimit -f) fail as any write error does,
// instead of ending the program with SIGXFSZ. Called once at start-up.
void LetWritesFailAtFileSizeLimit();

// The path with its extension replaced by ".BAK": the extension starts at the last "."
// after the last "/"; a path without one gets ".BAK" appended.
QString BackupName(const QString& path);

// The name part of a path: everything after the last "/".
QString NamePart(const QString& path);

// Whether the file exists and may not be written: it lacks its owner's write
// permission, or the program may not write it.
bool HasReadOnlyAttribute(const QString& path);
