// lumenark-cli: runs Formula menu commands on a document and writes the resulting
// document, so derivations can be scripted and checked byte for byte.

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <exception>
#include <fstream>
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

// Blocks of 128 KiB and more come from the system and go back to it when freed. By
// default glibc raises that threshold to 32 MiB as large blocks are freed and keeps
// the freed memory for later: a text that grew by doubling, or a file read and then
// let go, would stay resident beside what the budget counts now, and the process would
// pass its memory limit by as much.
void ReturnLargeBlocksAtOnce() {
#ifdef __GLIBC__
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}
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

// The program's own resident memory (its code and libraries, a few megabytes) counts
// against the budget too, for the whole run: a limit then bounds the process, which
// holds that besides what the commands count. (In the sanitizer build the sanitizer's
// own memory, which is not the program's, would take most of a small limit.)
void CountTheProgramItself() {
#ifndef LUMENARK_ASAN
  std::ifstream statm("/proc/self/statm");
  std::uint64_t size = 0, resident = 0;
  if (statm >> size >> resident) ChargeMemory(resident * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE)));
#endif
}

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
  CountTheProgramItself();
  MemoryEditorText text;
  CliHost host;
  try {
    if (line.dimacs) {
      if (const std::optional<std::string> message = cli::ReadDimacsDocument(*line.dimacs, line.width, text, host)) {
        host.ShowMessage(*message);
        return cli::kExitMessage;
      }
      // Alone, the formula is the whole output, a line of its own.
      if (line.commands.empty() && text.Size() > 0) text.Append("\r\n");
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
    // The variable stands in for --memory-limit, and a bad value is the same usage error.
    if (const std::optional<std::string> error = MemoryLimitEnvironmentError(); error && !parsed.line.memoryLimit) {
      std::cerr << "lumenark-cli: " << *error << '\n' << std::flush;
      return cli::kExitUsage;
    }
    ReturnLargeBlocksAtOnce();
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
