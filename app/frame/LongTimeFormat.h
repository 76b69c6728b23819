#pragma once
// The time format of the status bar clock: the locale's long time format (hours,
// minutes and seconds, with AM/PM where the locale uses a 12-hour clock), without
// the time-zone name that Qt's long format adds and a desktop clock does not show.

#include <QLocale>
#include <QString>

QString LongTimeFormat(const QLocale& locale);
