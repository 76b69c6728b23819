#pragma once
// The window program's command line:
//
//   lumenark [--] [FILE...]
//   lumenark --help | --version
//
// Each FILE opens in an editor window of its own, in the order given, exactly as
// File > Open opens the file chosen in its dialog: the same checks, the same messages,
// a window left "Untitled" where the file cannot be read. --help and --version print
// and end the program; they win over anything else before "--". Qt's own options
// (-platform NAME, -style NAME, -display NAME...) are taken out by the application
// object before the files are read from what remains.

#include <QString>
#include <QStringList>
#include <optional>

class TFrameForm;

struct StartupArguments {
  enum class Action { OpenFiles, PrintHelp, PrintVersion, UsageError };
  Action action = Action::OpenFiles;
  QStringList files;  // as given; relative names are taken from the working directory
  QString error;      // for UsageError
};

// Reads the arguments after the program name.
StartupArguments ParseStartupArguments(const QStringList& arguments);

// What --help and --version print.
QString StartupUsage();
QString StartupVersion();

// Exit statuses besides 0.
inline constexpr int kStartupUsageError = 2;

// Before the application object exists (it needs a display): prints the help or the
// version where the command line asks for one and returns the exit status; nothing
// otherwise. A usage error waits for the application object, which takes Qt's options
// out of the arguments first.
std::optional<int> AnswerInformationRequest(int argc, char* argv[]);

// Writes a usage error and the usage to standard error; returns the exit status.
int ReportUsageError(const StartupArguments& arguments);

// Opens each file in an editor window of the frame, as File > Open does.
void OpenStartupFiles(TFrameForm& frame, const QStringList& files);
