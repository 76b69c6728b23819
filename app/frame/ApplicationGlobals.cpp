#include "frame/ApplicationGlobals.h"

QString ApplicationTitle() { return QString::fromLatin1(kApplicationTitle); }

QString& ApplicationHelpFile() {
  static QString helpFile = QString::fromLatin1(kStartupHelpFile);
  return helpFile;
}
