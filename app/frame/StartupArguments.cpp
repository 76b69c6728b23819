#include "frame/StartupArguments.h"

#include <QFileInfo>
#include <cstdio>

#include "Version.h"
#include "frame/FrameForm.h"

namespace {

void WriteToStream(std::FILE* stream, const QString& text) { std::fputs(text.toLocal8Bit().constData(), stream); }

}  // namespace

StartupArguments ParseStartupArguments(const QStringList& arguments) {
  StartupArguments result;
  bool help = false;
  bool version = false;
  bool optionsEnded = false;
  for (const QString& argument : arguments) {
    if (optionsEnded || argument == QLatin1String("-") || !argument.startsWith(QLatin1Char('-'))) {
      result.files.append(argument);
    } else if (argument == QLatin1String("--")) {
      optionsEnded = true;
    } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
      help = true;
    } else if (argument == QLatin1String("--version")) {
      version = true;
    } else if (result.error.isEmpty()) {
      result.error = QStringLiteral("unknown option %1").arg(argument);
    }
  }
  if (help) {
    result.action = StartupArguments::Action::PrintHelp;
  } else if (version) {
    result.action = StartupArguments::Action::PrintVersion;
  } else if (!result.error.isEmpty()) {
    result.action = StartupArguments::Action::UsageError;
  }
  return result;
}

QString StartupUsage() {
  return QStringLiteral(
      "usage: lumenark [--] [FILE...]\n"
      "       lumenark --help | --version\n"
      "\n"
      "Opens the Lumenark workbench for propositional logic, with each FILE in an\n"
      "editor window of its own, as File > Open opens it.\n"
      "\n"
      "options:\n"
      "  --help      this text\n"
      "  --version   the version number\n"
      "  --          the arguments after it are files, also those that start with -\n"
      "Qt's own options are understood too, e.g. -platform NAME, -style NAME,\n"
      "-display DISPLAY.\n"
      "\n"
      "exit status:\n"
      "  0  the workbench was closed, or --help or --version answered\n"
      "  2  a usage error\n"
      "\n"
      "environment:\n"
      "  LUMENARK_MEMORY_LIMIT\n"
      "              the memory each command may take, e.g. 512M or 2G (default:\n"
      "              what the machine has available, less a reserve)\n");
}

QString StartupVersion() { return QStringLiteral("lumenark %1\n").arg(QLatin1String(kLumenarkVersion)); }

std::optional<int> AnswerInformationRequest(int argc, char* argv[]) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
  const StartupArguments parsed = ParseStartupArguments(arguments);
  if (parsed.action == StartupArguments::Action::PrintHelp) {
    WriteToStream(stdout, StartupUsage());
  } else if (parsed.action == StartupArguments::Action::PrintVersion) {
    WriteToStream(stdout, StartupVersion());
  } else {
    return std::nullopt;
  }
  return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}

int ReportUsageError(const StartupArguments& arguments) {
  WriteToStream(stderr, QStringLiteral("lumenark: %1\n\n").arg(arguments.error) + StartupUsage());
  return kStartupUsageError;
}

// The open dialog hands File > Open a full path; a name from the command line is made
// one from the working directory, so that Save writes where the user meant.
void OpenStartupFiles(TFrameForm& frame, const QStringList& files) {
  for (const QString& file : files) frame.OpenFile(QFileInfo(file).absoluteFilePath());
}
