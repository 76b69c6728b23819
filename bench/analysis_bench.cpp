// The analyses' figures: a model and a countermodel at 52 letters, and a truth table of
// 20 letters beside the time the report output takes to write as many lines of the same
// length. Every command runs through the command frame on an in-memory text, as
// lumenark-cli runs it.
//
//   build/bin/analysis_bench

#include <cstdio>
#include <random>
#include <string>

#include "BenchHarness.h"
#include "commands/CommandFrame.h"
#include "formula/FormulaDocument.h"
#include "runtime/EngineGlobals.h"
#include "text/MemoryEditorText.h"

namespace lumenark::bench {
namespace {

const std::string kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

class QuietHost final : public Host {
 public:
  void ShowMessage(std::string_view text) override { std::fprintf(stderr, "message: %.*s\n", int(text.size()), text.data()); }
  void ProcessPendingInput() override {}
  bool StopDialogVisible() const override { return false; }
  void SetStopDialogVisible(bool) override {}
};

// Random clauses of three literals over the first `letters` letters.
std::string RandomClauses(int letters, int clauses, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> letter(0, letters - 1), sign(0, 1);
  std::string formula;
  for (int c = 0; c < clauses; ++c) {
    formula += c == 0 ? "(" : "&(";
    for (int l = 0; l < 3; ++l) formula += std::string(l ? "|" : "") + (sign(random) ? "~" : "") + kLetters[letter(random)];
    formula += ")";
  }
  return formula;
}

// The median time of the command on the formula, and the size of what it wrote and its
// number of lines.
double TimeCommand(const std::string& formula, FormulaCommand command, int details, std::size_t& written,
                   std::size_t& lines) {
  return MedianSeconds(
      5, nullptr, [&] {
        MemoryEditorText text(formula);
        text.SelectAll();
        QuietHost host;
        FormulaDocument doc(text, host);
        doc.DetailLevel = static_cast<std::uint16_t>(details);
        RunFormulaCommand(doc, command);
        written = text.Size() - formula.size();
        lines = 0;
        text.WriteTo([&](std::string_view part) {
          for (char c : part) lines += c == '\n' ? 1 : 0;
          return true;
        });
        --lines;  // the line break after the compiled formula
      });
}

// The report output writing `lines` lines of `width` characters, one string a line.
double TimeLines(std::size_t lines, std::size_t width) {
  const std::string line(width, '0');
  return MedianSeconds(5, nullptr, [&] {
    MemoryEditorText text;
    QuietHost host;
    FormulaDocument doc(text, host);
    for (std::size_t i = 0; i < lines; ++i) {
      doc.InsertString(line);
      doc.InsertLine();
    }
  });
}

void Models() {
  std::printf("model and countermodel at 52 letters (median of 5, through the command frame)\n");
  std::printf("%-40s %12s %12s\n", "formula", "model", "countermodel");
  struct Case {
    const char* name;
    std::string formula;
  } cases[] = {
      {"3-literal clauses, 52 letters, 180", RandomClauses(52, 180, 1)},
      {"3-literal clauses, 52 letters, 220", RandomClauses(52, 220, 2)},
      {"chain of 51 equivalences", [] {
         std::string f(1, kLetters[0]);
         for (std::size_t i = 1; i < kLetters.size(); ++i) f = "(" + f + "=" + kLetters[i] + ")";
         return f;
       }()},
  };
  for (const Case& c : cases) {
    std::size_t written = 0, lines = 0;
    const double model = TimeCommand(c.formula, FormulaCommand::Model, 4, written, lines);
    const double countermodel = TimeCommand(c.formula, FormulaCommand::Countermodel, 4, written, lines);
    std::printf("%-40s %10.2f ms %10.2f ms\n", c.name, model * 1e3, countermodel * 1e3);
  }
}

void Table() {
  std::printf("\ntruth table of 20 letters (2^20 rows) beside writing as many lines (median of 5)\n");
  std::string formula = "(A>B)&(C|~D)";
  for (std::size_t i = 4; i + 1 < 20; i += 2) formula += std::string("|(") + kLetters[i] + "=~" + kLetters[i + 1] + ")";
  for (int details : {4, 1}) {
    std::size_t written = 0, lines = 0;
    const double table = TimeCommand(formula, FormulaCommand::TruthTable, details, written, lines);
    // As many lines of the same mean length (a row wider than the line takes several).
    const std::size_t width = (written - 2) / lines - 2;
    const double print = TimeLines(lines, width);
    std::printf("Details %d: table %.3f s, %zu lines, %zu bytes; writing %zu lines of %zu characters %.3f s; ratio %.2f\n",
                details, table, lines, written, lines, width, print, table / print);
  }
}

}  // namespace
}  // namespace lumenark::bench

int main() {
  lumenark::bench::Models();
  lumenark::bench::Table();
}
