#include "ErrorReport.h"

#include "UserDialogs.h"

QString ErrorReportText(const QString& text) {
  if (!text.isEmpty() && text.back() > QLatin1Char('.')) return text + QLatin1Char('.');
  return text;
}

void ShowErrorReport(QWidget* parent, const QString& text) { Dialogs().error(parent, ErrorReportText(text)); }
