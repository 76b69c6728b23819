// Not a test: writes into the manual's pages what the engine writes today for each of
// their worked examples (see ManualExamples.h), so that every derivation and message
// in the manual comes from the program. Run it after changing an example's data-text
// or data-cli, or after a deliberate change of the engine's output, and read the diff:
//
//   build/bin/manual_update help/manual/*.html

#include <QFile>
#include <QTextStream>
#include <algorithm>
#include <cstdio>

#include "ManualExamples.h"

namespace {

bool UpdatePage(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "%s: cannot read\n", qPrintable(path));
    return false;
  }
  const QString html = QString::fromUtf8(file.readAll());
  file.close();
  QStringList errors;
  QList<ManualExample> examples = ExtractExamples(html, errors);
  QString updated = html;
  int changed = 0;
  std::reverse(examples.begin(), examples.end());  // later places first: earlier offsets stay
  for (const ManualExample& example : examples) {
    const ExampleRun run = RunExample(example);
    if (!run.error.isEmpty()) {
      errors.append(QStringLiteral("line %1: %2").arg(example.line).arg(run.error));
      continue;
    }
    const QString shown = run.Shown(example.kind);
    if (shown == example.content) continue;
    updated.replace(example.contentStart, example.contentEnd - example.contentStart, EscapeHtml(shown));
    ++changed;
  }
  for (const QString& error : errors) std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(error));
  if (changed > 0) {
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
      std::fprintf(stderr, "%s: cannot write\n", qPrintable(path));
      return false;
    }
    file.write(updated.toUtf8());
  }
  std::printf("%s: %lld examples, %d updated\n", qPrintable(path), static_cast<long long>(examples.size()), changed);
  return errors.isEmpty();
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: manual_update PAGE.html...\n");
    return 2;
  }
  bool ok = true;
  for (int i = 1; i < argc; ++i) ok = UpdatePage(QString::fromLocal8Bit(argv[i])) && ok;
  return ok ? 0 : 1;
}
