// lumenark-cli: runs Formula menu commands on a document and writes the resulting
// document, so derivations can be scripted and checked byte for byte.

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "DimacsInput.h"
#include "DocumentStreams.h"
#include "StopRequests.h"
#include "Version.h"
#include "commands/CommandBatch.h"
#include "commands/CommandFrame.h"
#include "formula/FormulaDocument.h"
#include "runtime/AddressSanitizer.h"
#include "runtime/EngineGlobals.h"
#include "runtime/Host.h"
#include "runtime/MemoryBudget.h"
#include "text/MemoryEditorText.h"

namespace {

using namespace lumenark;
using cli::FailInputOutput;
using cli::InputOutputError;

// Message boxes go to standard error, one line each. The stop dialog's Stop button is
// a signal or the time limit (StopRequests.h): processing pending input takes each
// press as one click.
class CliHost final : public Host {
 public:
  void ShowMessage(std::string_view text) override {
    std::cerr << text << '\n' << std::flush;
    ++messages;
  }
  void ProcessPendingInput() override {
    if (cli::TakeStopRequest()) StopRequested = true;
  }
  bool StopDialogVisible() const override { return stopDialogVisible_; }
  void SetStopDialogVisible(bool visible) override { stopDialogVisible_ = visible; }

  int messages = 0;

 private:
  bool stopDialogVisible_ = false;
};

// Runs the commands as a batch (commands/CommandBatch.h). Returns the exit status.
int RunCommands(const cli::CommandLine& line, FormulaDocument& doc, MemoryEditorText& text, CliHost& host) {
  doc.DetailLevel = static_cast<std::uint16_t>(line.details);
  doc.ShowResults = line.results;
  doc.LineWidth = line.width;
  RunCommandBatch(doc, text, line.commands, cli::StopWasRequested, [&host] { return host.messages > 0; });
  // A stop ends the batch as a message box does, with a status of its own.
  if (cli::StopWasRequested()) {
    std::cerr << cli::StopMessage() << '\n' << std::flush;
    return cli::kExitStopped;
  }
  return host.messages > 0 ? cli::kExitMessage : 0;
}

int Run(const cli::CommandLine& line) {
  // A closed standard output would hand its descriptor to the next file opened.
  if (fcntl(STDOUT_FILENO, F_GETFD) < 0) FailInputOutput("standard output is closed");
  cli::InstallStopRequests(line.timeLimit);
  SetMemoryLimit(line.memoryLimit ? line.memoryLimit : MemoryLimitFromEnvironment());
  BeginMemoryBudget();
  MemoryEditorText text;
  CliHost host;
  try {
    if (line.dimacs) {
      if (const std::optional<std::string> message = cli::ReadDimacsDocument(*line.dimacs, line.width, text)) {
        host.ShowMessage(*message);
        return cli::kExitMessage;
      }
      // Alone, the formula is the whole output, a line of its own.
      if (line.commands.empty()) text.Append("\r\n");
    } else {
      cli::ReadDocument(line.text, text);
    }
  } catch (const std::bad_alloc&) {
    host.ShowMessage(InsufficientMemoryText());
    return cli::kExitMessage;
  }
  text.SelectAll();
  FormulaDocument doc(text, host);
  int status = RunCommands(line, doc, text, host);
  // A document that cannot be exported is written as it is, so that nothing is lost.
  std::optional<std::string> refusal;
  if (line.latex) refusal = cli::WriteLatexDocument(text);
  if (refusal) {
    host.ShowMessage(*refusal + "\n" + std::string(cli::kWrittenAsPlainText));
    status = cli::kExitMessage;
  }
  if (!line.latex || refusal) cli::WriteDocument(text, line.crlf);
#ifndef LUMENARK_ASAN
  // A tree of billions of nodes takes seconds to free one by one; the system takes the
  // whole process back at once. (The sanitizer build frees it, to see that nothing leaks.)
  std::_Exit(status);
#endif
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  // A reader that went away, or a file-size limit, is an output error like any other,
  // not a signal that ends the program.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  std::ios::sync_with_stdio(false);
  try {
    const cli::ParseResult parsed = cli::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
      std::cerr << "lumenark-cli: " << parsed.error << "\n\n" << cli::kUsage;
      return cli::kExitUsage;
    }
    if (parsed.line.help) {
      std::cout << cli::kUsage << std::flush;
      return std::cout ? 0 : cli::kExitInputOutput;
    }
    if (parsed.line.version) {
      std::cout << "lumenark-cli " << kLumenarkVersion << '\n' << std::flush;
      return std::cout ? 0 : cli::kExitInputOutput;
    }
    return Run(parsed.line);
  } catch (const InputOutputError&) {
    return cli::kExitInputOutput;
  } catch (const std::bad_alloc&) {
    std::cerr << InsufficientMemoryText() << '\n' << std::flush;
    return cli::kExitMessage;
  } catch (const std::exception& error) {
    std::cerr << "lumenark-cli: " << error.what() << '\n' << std::flush;
    return cli::kExitMessage;
  }
}
