#pragma once
// Document files: plain 8-bit text with CR LF line breaks, read and written byte for
// byte. Saving never loses a version: the new text goes to a temporary file beside the
// document first, and only when it is safely written does the document become its
// ".BAK" and the temporary file the document.

#include <QString>
#include <cstddef>
#include <string>
#include <string_view>

// Thrown by ReadDocumentFile when the text would exceed the capacity given.
struct TextTooLarge {};

// The whole file, with every lone CR and every lone LF made CR LF. Throws FileError
// ("Cannot open file <path>", or "Stream read error"), or TextTooLarge when the text
// would be longer than maxBytes or have more than maxLines lines. Only a regular file
// can be opened: a directory, a device or a named pipe cannot, and none of them makes
// the call wait. A file larger than maxBytes is refused unread.
std::string ReadDocumentFile(const QString& path, std::size_t maxBytes, std::size_t maxLines);

// Writes bytes as the document path, keeping the previous version as its backup.
// Throws FileError ("Cannot create file <path>" or "Stream write error"); the document
// and its backup are then as they were and no temporary file remains.
void SaveDocumentFile(const QString& path, std::string_view bytes);

// The path with its extension replaced by ".BAK": the extension starts at the last "."
// after the last "/"; a path without one gets ".BAK" appended.
QString BackupName(const QString& path);

// The name part of a path: everything after the last "/".
QString NamePart(const QString& path);

// Whether the file exists and may not be written: it lacks its owner's write
// permission, or the program may not write it.
bool HasReadOnlyAttribute(const QString& path);
