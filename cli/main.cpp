// lumenark-cli: runs Formula menu commands on a document and writes the resulting
// document, so derivations can be scripted and checked byte for byte.

#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "CommandFrame.h"
#include "CommandLine.h"
#include "EngineGlobals.h"
#include "FormulaDocument.h"
#include "Host.h"
#include "LineBreaks.h"
#include "MemoryEditorText.h"

namespace {

// Message boxes go to standard error, one line each; there is no stop dialog to click.
class CliHost final : public lumenark::Host {
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

std::string ReadStandardInput() {
  std::freopen(nullptr, "rb", stdin);
  std::string text;
  char buffer[65536];
  std::size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) text.append(buffer, count);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace lumenark;
  std::ios::sync_with_stdio(false);
  const cli::ParseResult parsed = cli::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.error.empty()) {
    std::cerr << "lumenark-cli: " << parsed.error << "\n\n" << cli::kUsage;
    return 2;
  }
  const cli::CommandLine& line = parsed.line;
  if (line.help) {
    std::cout << cli::kUsage;
    return 0;
  }

  MemoryEditorText text(NormalizeLineBreaks(line.text ? *line.text : ReadStandardInput()));
  text.SelectAll();
  CliHost host;
  int status = 0;
  {
    FormulaDocument doc(text, host);
    doc.DetailLevel = static_cast<std::uint16_t>(line.details);
    doc.ShowResults = line.results;
    doc.LineWidth = line.width;
    for (FormulaCommand command : line.commands) {
      RunFormulaCommand(doc, command);
      if (host.messages > 0) {
        status = 1;
        break;
      }
    }
  }
  const std::string document = text.Text();
  const std::string output = line.crlf ? document : CrLfToLf(document);
  std::fwrite(output.data(), 1, output.size(), stdout);
  std::fflush(stdout);
  return status;
}
