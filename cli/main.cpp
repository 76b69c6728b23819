// lumenark-cli: runs Formula menu commands on a document and writes the resulting
// document, so derivations can be scripted and checked byte for byte.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "AddressSanitizer.h"
#include "CommandFrame.h"
#include "CommandLine.h"
#include "EngineGlobals.h"
#include "FormulaDocument.h"
#include "Host.h"
#include "LineBreaks.h"
#include "MemoryBudget.h"
#include "MemoryEditorText.h"
#include "analysis/LatexDocument.h"

namespace {

using namespace lumenark;

// Message boxes go to standard error, one line each; there is no stop dialog to click.
class CliHost final : public Host {
 public:
  void ShowMessage(std::string_view text) override {
    std::cerr << text << '\n' << std::flush;
    ++messages;
  }
  void ProcessPendingInput() override {}
  bool StopDialogVisible() const override { return stopDialogVisible_; }
  void SetStopDialogVisible(bool visible) override { stopDialogVisible_ = visible; }

  int messages = 0;

 private:
  bool stopDialogVisible_ = false;
};

// An input or output error, already reported on standard error.
struct InputOutputError {};

[[noreturn]] void FailInputOutput(const char* what) {
  const int error = errno;
  std::cerr << "lumenark-cli: " << what << ": " << std::strerror(error) << '\n' << std::flush;
  throw InputOutputError{};
}

// The document, line breaks made CR LF, taken in piece by piece so that it is held only
// once, and counted against the memory budget as it grows.
void ReadDocument(const cli::CommandLine& line, MemoryEditorText& text) {
  LineBreakNormalizer normalizer;
  std::string normalized;
  auto take = [&](std::string_view piece) {
    normalized.clear();
    normalizer.Feed(piece, normalized);
    text.Append(normalized);
  };
  if (line.text) {
    take(*line.text);
    return;
  }
  std::vector<char> buffer(1 << 16);
  for (;;) {
    const ssize_t count = read(STDIN_FILENO, buffer.data(), buffer.size());
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) FailInputOutput("cannot read standard input");
    if (count == 0) return;
    take(std::string_view(buffer.data(), static_cast<std::size_t>(count)));
  }
}

void WriteAll(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t count = write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) FailInputOutput("cannot write standard output");
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
}

// The whole document, with LF line breaks unless CR LF were asked for. A CR at the end
// of one piece waits for the next, which may start with its LF.
void WriteDocument(const MemoryEditorText& text, bool crlf) {
  std::string piece;
  bool pendingCr = false;
  text.WriteTo([&](std::string_view part) {
    if (crlf) {
      WriteAll(part);
      return true;
    }
    piece.clear();
    for (char c : part) {
      if (pendingCr && c != '\n') piece += '\r';
      pendingCr = c == '\r';
      if (!pendingCr) piece += c;
    }
    WriteAll(piece);
    return true;
  });
  if (pendingCr) WriteAll("\r");
  // A device that takes the bytes but fails to keep them says so only on close.
  if (close(STDOUT_FILENO) != 0) FailInputOutput("cannot write standard output");
}

// The whole document as a standalone LaTeX file; a refusal is a message (status 1).
int WriteLatexDocument(const MemoryEditorText& text, CliHost& host, int status) {
  std::string document;
  text.WriteTo([&](std::string_view part) {
    document += part;
    return true;
  });
  std::string file;
  if (auto refusal = ExportLatexDocument(document, [&](std::string_view piece) { file += piece; })) {
    host.ShowMessage(*refusal);
    return cli::kExitMessage;
  }
  WriteAll(file);
  if (close(STDOUT_FILENO) != 0) FailInputOutput("cannot write standard output");
  return status;
}

// Runs the commands; each after the first starts with nothing selected. Returns the
// exit status.
int RunCommands(const cli::CommandLine& line, FormulaDocument& doc, MemoryEditorText& text, CliHost& host) {
  doc.DetailLevel = static_cast<std::uint16_t>(line.details);
  doc.ShowResults = line.results;
  doc.LineWidth = line.width;
  for (FormulaCommand command : line.commands) {
    RunFormulaCommand(doc, command);
    if (host.messages > 0) return cli::kExitMessage;
    text.SetSelectionStart(text.SelectionStart() + text.SelectionLength());
  }
  return 0;
}

int Run(const cli::CommandLine& line) {
  // A closed standard output would hand its descriptor to the next file opened.
  if (fcntl(STDOUT_FILENO, F_GETFD) < 0) FailInputOutput("standard output is closed");
  SetMemoryLimit(line.memoryLimit ? line.memoryLimit : MemoryLimitFromEnvironment());
  BeginMemoryBudget();
  MemoryEditorText text;
  CliHost host;
  try {
    ReadDocument(line, text);
  } catch (const std::bad_alloc&) {
    host.ShowMessage(kInsufficientMemoryMessage);
    return cli::kExitMessage;
  }
  text.SelectAll();
  FormulaDocument doc(text, host);
  int status = RunCommands(line, doc, text, host);
  if (line.latex) status = WriteLatexDocument(text, host, status);
  else WriteDocument(text, line.crlf);
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
    return Run(parsed.line);
  } catch (const InputOutputError&) {
    return cli::kExitInputOutput;
  } catch (const std::bad_alloc&) {
    std::cerr << kInsufficientMemoryMessage << '\n' << std::flush;
    return cli::kExitMessage;
  } catch (const std::exception& error) {
    std::cerr << "lumenark-cli: " << error.what() << '\n' << std::flush;
    return cli::kExitMessage;
  }
}
