#include "dialogs/ErrorReport.h"

#include "dialogs/UserDialogs.h"

QString ErrorReportText(const QString& text) {
  if (!text.isEmpty() && text.back() > QLatin1Char('.')) return text + QLatin1Char('.');
  return text;
}

void ShowErrorReport(QWidget* parent, const QString& text) { Dialogs().error(parent, ErrorReportText(text)); }

void ShowErrorReport(QWidget* parent, const FileError& error) {
  QString text = ErrorReportText(error.text);
  if (!error.reason.isEmpty()) text += QLatin1Char('\n') + error.reason;
  Dialogs().error(parent, text);
}
