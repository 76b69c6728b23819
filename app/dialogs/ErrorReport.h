#pragma once
// The standard error report: an error raised inside a command ends the command and is
// shown in a box titled with the application title, with an error icon and OK; the
// program then goes on.

#include <QString>

class QWidget;

// An error of a file operation: the text the report shows, and below it the system's
// reason ("No space left on device"), where one is known.
struct FileError {
  QString text;
  QString reason = {};
};

// The text as the report shows it: a full stop is appended when the last character's
// code is above that of the full stop (letters and digits are).
QString ErrorReportText(const QString& text);

void ShowErrorReport(QWidget* parent, const QString& text);
// The error's text as above, with its reason on a line of its own.
void ShowErrorReport(QWidget* parent, const FileError& error);
