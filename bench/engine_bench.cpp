// Engine benchmarks: medians of repeated runs, no window. Prints one line per figure.
//
//   engine_bench                 the standard set
//   engine_bench run CMD FILE    one command on the formula in FILE (for bench/run):
//                                prints "<seconds of the operation> <seconds to print
//                                the result> <result characters>"; CMD compile times
//                                the compile (and dispose) of the formula itself
//   engine_bench reference       the faster normal-form and minimisation algorithms
//                                beside their word-for-word versions (the tests'
//                                reference algorithms), on the same formulas

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "BenchHarness.h"
#include "CommandFrame.h"
#include "EngineGlobals.h"
#include "EngineStack.h"
#include "FormulaDocument.h"
#include "Host.h"
#include "MemoryEditorText.h"
#include "ReferenceAlgorithms.h"

namespace lumenark::bench {
namespace {

class QuietHost final : public Host {
 public:
  void ShowMessage(std::string_view text) override { std::cerr << "message: " << text << "\n"; }
  void ProcessPendingInput() override {}
  bool StopDialogVisible() const override { return visible_; }
  void SetStopDialogVisible(bool visible) override { visible_ = visible; }

 private:
  bool visible_ = false;
};

// a1&b1 | a2&b2 | ... | an&bn, with upper-case letters for a and lower-case for b.
std::string PairDisjunction(int n, char inner = '&', char outer = '|') {
  std::string text;
  for (int i = 0; i < n; ++i) {
    if (i > 0) text += outer;
    text += static_cast<char>('A' + i);
    text += inner;
    text += static_cast<char>('a' + i);
  }
  return text;
}

// A CNF of random three-literal clauses over the first `letters` letters.
std::string RandomThreeCnf(int clauses, int letters, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> letter(0, letters - 1), sign(0, 1);
  std::string text;
  for (int c = 0; c < clauses; ++c) {
    if (c > 0) text += '&';
    text += '(';
    for (int l = 0; l < 3; ++l) {
      if (l > 0) text += '|';
      if (sign(random)) text += '~';
      int index = letter(random);
      text += static_cast<char>(index < 26 ? 'A' + index : 'a' + index - 26);
    }
    text += ')';
  }
  return text;
}

struct Document {
  explicit Document(const std::string& formula) : text(formula), doc(text, host) {
    text.SelectAll();
    doc.DetailLevel = 4;
    doc.ShowResults = false;
    OutputColumn = 0;
    RunFormulaCommand(doc, FormulaCommand::Compile);
  }
  MemoryEditorText text;
  QuietHost host;
  FormulaDocument doc;
};

// Runs op on the compiled formula; returns the operation's and the printing's medians.
struct Timing {
  double operation = 0;
  double printing = 0;
  std::size_t printed = 0;
};

Timing Measure(const std::string& formula, const std::function<void(FormulaDocument&)>& op, int repetitions) {
  Timing timing;
  std::unique_ptr<Document> document;
  timing.operation = MedianSeconds(
      repetitions, [&] { document = std::make_unique<Document>(formula); },
      [&] { RunOnEngineStack([&] { op(document->doc); }); });
  timing.printing = MedianSeconds(
      repetitions, [&] { document->text.SetSelectionStart(document->text.Size()); },
      [&] { RunOnEngineStack([&] { document->doc.XDecomp(); }); });
  const std::size_t before = document->text.Size();
  RunOnEngineStack([&] { document->doc.XDecomp(); });
  timing.printed = document->text.Size() - before;
  return timing;
}

std::function<void(FormulaDocument&)> Operation(const std::string& name) {
  if (name == "cnf") return [](FormulaDocument& d) { d.ToCNF(); };
  if (name == "dnf") return [](FormulaDocument& d) { d.ToDNF(); };
  if (name == "mincnf") return [](FormulaDocument& d) { d.ToCNF(); d.Minimize(); };
  if (name == "mindnf") return [](FormulaDocument& d) { d.ToDNF(); d.Minimize(); };
  if (name == "minimize") return [](FormulaDocument& d) { d.Minimize(); };
  if (name == "decision") return [](FormulaDocument& d) { d.Decision(); };
  if (name == "literals") return [](FormulaDocument& d) { d.ToConDis(); };
  if (name == "compile") return [](FormulaDocument&) {};
  return nullptr;
}

void Report(const char* what, double seconds) { std::printf("%-58s %10.4f s\n", what, seconds); }

int StandardSet() {
  {
    std::string chain = "A";
    while (chain.size() < 1'000'000) chain += "&A";
    std::unique_ptr<Document> document;
    double print = MedianSeconds(
        5, [&] { document = std::make_unique<Document>(chain); document->doc.LineWidth = 250; },
        [&] { RunOnEngineStack([&] { document->doc.XDecomp(); }); });
    Report("print a 1,000,000-character formula (XDecomp)", print);
    double compile = MedianSeconds(5, nullptr, [&] { Document d(chain); });
    Report("compile and dispose a 1,000,000-character formula", compile);
  }
  for (int n : {8, 10, 12, 14}) {
    char label[96];
    Timing cnf = Measure(PairDisjunction(n), Operation("cnf"), 3);
    std::snprintf(label, sizeof label, "CNF of a1&b1|..|a%d&b%d (%d clauses)", n, n, 1 << n);
    Report(label, cnf.operation);
    Timing min = Measure(PairDisjunction(n), Operation("mincnf"), 3);
    std::snprintf(label, sizeof label, "Minimal CNF of the same");
    Report(label, min.operation);
  }
  for (int clauses : {500, 1000, 2000, 4000}) {
    char label[96];
    Timing t = Measure(RandomThreeCnf(clauses, 12, 5), Operation("mincnf"), 3);
    std::snprintf(label, sizeof label, "Minimal CNF of a random 3-CNF, 12 letters, %d clauses", clauses);
    Report(label, t.operation);
  }
  return 0;
}

// Minimal CNF by the engine and by the word-for-word algorithms, which write the same
// text and leave the same tree: what the faster algorithms buy. The reference runs once.
int ReferenceSet() {
  struct Case {
    std::string label;
    std::string formula;
  };
  std::vector<Case> cases;
  for (int n : {8, 10, 12}) cases.push_back({"Minimal CNF of a1&b1|..|a" + std::to_string(n) + "&b" + std::to_string(n), PairDisjunction(n)});
  for (int clauses : {250, 500, 1000, 2000}) {
    cases.push_back({"Minimal CNF of a random 3-CNF, 12 letters, " + std::to_string(clauses) + " clauses",
                     RandomThreeCnf(clauses, 12, 5)});
  }
  std::printf("%-58s %12s %12s %8s\n", "workload", "engine", "word-for-word", "ratio");
  for (const Case& c : cases) {
    const double engine = Measure(c.formula, Operation("mincnf"), 3).operation;
    std::unique_ptr<Document> document;
    const double reference = MedianSeconds(1, [&] { document = std::make_unique<Document>(c.formula); }, [&] {
      RunOnEngineStack([&] {
        testing::ReferenceToNormalForm(document->doc, '&');
        testing::ReferenceMinimize(document->doc);
      });
    });
    std::printf("%-58s %10.4f s %10.4f s %7.0fx\n", c.label.c_str(), engine, reference, reference / engine);
    std::fflush(stdout);
  }
  return 0;
}

int RunOne(const std::string& command, const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  auto op = Operation(command);
  if (!op) {
    std::cerr << "unknown command " << command << "\n";
    return 2;
  }
  // Small sizes take the median of three runs; a run of a second or more counts once.
  Timing t = Measure(content.str(), op, 1);
  if (t.operation < 1) t = Measure(content.str(), op, 3);
  if (command == "compile") {
    t.operation = MedianSeconds(1, nullptr, [&] { Document d(content.str()); });
    if (t.operation < 1) t.operation = MedianSeconds(3, nullptr, [&] { Document d(content.str()); });
  }
  std::printf("%.6f %.6f %zu\n", t.operation, t.printing, t.printed);
  return 0;
}

}  // namespace
}  // namespace lumenark::bench

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "run") return lumenark::bench::RunOne(argv[2], argv[3]);
  if (argc == 2 && std::string(argv[1]) == "reference") return lumenark::bench::ReferenceSet();
  return lumenark::bench::StandardSet();
}
