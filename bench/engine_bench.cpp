// Engine benchmarks: medians of repeated runs, no window. Prints one line per figure.
//
//   engine_bench                 the standard set
//   engine_bench run CMD FILE [--steps] [--rewrite] [--limit S] [--nodes N]
//                                one command on the formula in FILE (for bench/run):
//                                prints "<seconds of the operation> <seconds to print
//                                the result> <result characters> <clauses of the
//                                result> <seconds to compile the formula> <peak
//                                resident kilobytes during the operation>"; CMD compile
//                                times the compile (and dispose) of the formula itself.
//                                CMD may be a chain a,b,c: the commands before the last
//                                run first, untimed, as in a window. --steps converts
//                                step by step, as Details 0 to 2 do (the route before
//                                the direct products); --limit stops the operation
//                                after S seconds and --nodes when more than N nodes are
//                                alive, as the Stop button would: the operation's time
//                                is then followed by "stopped" and the clauses by the
//                                number the result had when stopped is not known (-)
//   engine_bench reference       the faster normal-form and minimisation algorithms
//                                beside their word-for-word versions (the tests'
//                                reference algorithms), on the same formulas

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "BenchHarness.h"
#include "ReferenceAlgorithms.h"
#include "commands/CommandFrame.h"
#include "formula/FormulaDocument.h"
#include "formula/NodeAllocator.h"
#include "runtime/EngineGlobals.h"
#include "runtime/EngineStack.h"
#include "runtime/Host.h"
#include "text/MemoryEditorText.h"

namespace lumenark::bench {
namespace {

// Presses Stop, as a user would, past a time or a number of live nodes (none by default).
class QuietHost final : public Host {
 public:
  void ShowMessage(std::string_view text) override { std::cerr << "message: " << text << "\n"; }
  void ProcessPendingInput() override {
    if ((limitSeconds == 0 && nodeLimit == 0) || (++calls_ & 0x3FF) != 0) return;
    const bool late = limitSeconds != 0 &&
                      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() > limitSeconds;
    if (late || (nodeLimit != 0 && LiveNodeCount() > nodeLimit)) {
      StopRequested = true;
      stopped = true;
    }
  }
  bool StopDialogVisible() const override { return visible_; }
  void SetStopDialogVisible(bool visible) override { visible_ = visible; }

  double limitSeconds = 0;
  std::size_t nodeLimit = 0;
  std::chrono::steady_clock::time_point start;
  bool stopped = false;

 private:
  bool visible_ = false;
  std::uint64_t calls_ = 0;
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

// How a measured run goes: the commands run first (untimed), the conversion's route,
// and when Stop is pressed.
struct Setting {
  std::vector<FormulaCommand> before;
  bool steps = false;
  bool rewrite = false;  // Decision without the SAT solver (the route before it)
  double limitSeconds = 0;
  std::size_t nodeLimit = 0;
};

struct Document {
  explicit Document(const std::string& formula, const Setting& setting = {}) : text(formula), doc(text, host) {
    text.SelectAll();
    doc.DetailLevel = 4;
    doc.ShowResults = false;
    doc.StepByStepNormalForms = setting.steps;
    doc.DecisionBySolver = !setting.rewrite;
    OutputColumn = 0;
    RunFormulaCommand(doc, FormulaCommand::Compile);
    for (FormulaCommand command : setting.before) RunFormulaCommand(doc, command);
    host.limitSeconds = setting.limitSeconds;
    host.nodeLimit = setting.nodeLimit;
    host.start = std::chrono::steady_clock::now();
  }
  MemoryEditorText text;
  QuietHost host;
  FormulaDocument doc;
};

// The elements of the outer chain: the clauses of a CNF, the terms of a DNF.
std::size_t CountClauses(const FormulaNode* root) {
  if (root == nullptr) return 0;
  std::size_t count = 0;
  std::vector<const FormulaNode*> pending{root};
  while (!pending.empty()) {
    const FormulaNode* node = pending.back();
    pending.pop_back();
    if (!IsLiteral(node) && node->symbol == root->symbol) {
      pending.push_back(node->left);
      pending.push_back(node->right);
    } else {
      ++count;
    }
  }
  return count;
}

// Runs op on the compiled formula; returns the operation's and the printing's medians.
struct Timing {
  double operation = 0;
  double printing = 0;
  std::size_t printed = 0;
  std::size_t clauses = 0;
  bool stopped = false;
  long peakKilobytes = 0;  // resident during the operation, input tree included
};

Timing Measure(const std::string& formula, const std::function<void(FormulaDocument&)>& op, int repetitions,
               const Setting& setting = {}) {
  Timing timing;
  std::unique_ptr<Document> document;
  timing.operation = MedianSeconds(
      repetitions, [&] { document = std::make_unique<Document>(formula, setting); },
      [&] {
        ResetPeakResident();
        RunOnEngineStack([&] { op(document->doc); });
        timing.peakKilobytes = std::max(timing.peakKilobytes, PeakResidentKilobytes());
      });
  timing.stopped = document->host.stopped;
  StopRequested = false;
  timing.clauses = CountClauses(document->doc.Root);
  timing.printing = MedianSeconds(
      repetitions, [&] { document->text.SetSelectionStart(document->text.Size()); },
      [&] { RunOnEngineStack([&] { document->doc.XDecomp(); }); });
  const std::size_t before = document->text.Size();
  RunOnEngineStack([&] { document->doc.XDecomp(); });
  timing.printed = document->text.Size() - before;
  RunOnEngineStack([&] { document.reset(); });
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

int RunOne(const std::vector<std::string>& arguments) {
  const std::string& chain = arguments[0];
  std::ifstream in(arguments[1], std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  Setting setting;
  for (std::size_t i = 2; i < arguments.size(); ++i) {
    if (arguments[i] == "--steps") setting.steps = true;
    else if (arguments[i] == "--rewrite") setting.rewrite = true;
    else if (arguments[i] == "--limit" && i + 1 < arguments.size()) setting.limitSeconds = std::stod(arguments[++i]);
    else if (arguments[i] == "--nodes" && i + 1 < arguments.size()) setting.nodeLimit = std::stoull(arguments[++i]);
    else return std::cerr << "unknown option " << arguments[i] << "\n", 2;
  }
  std::string command = chain;
  for (std::size_t comma; (comma = command.find(',')) != std::string::npos; command.erase(0, comma + 1)) {
    const auto before = CommandFromName(command.substr(0, comma));
    if (!before) return std::cerr << "unknown command " << command.substr(0, comma) << "\n", 2;
    setting.before.push_back(*before);
  }
  auto op = Operation(command);
  if (!op) {
    std::cerr << "unknown command " << command << "\n";
    return 2;
  }
  // Small sizes take the median of three runs; a run of a second or more counts once.
  Timing t = Measure(content.str(), op, 1, setting);
  if (t.operation < 1 && !t.stopped) t = Measure(content.str(), op, 3, setting);
  double compile = MedianSeconds(1, nullptr, [&] { Document d(content.str()); });
  if (compile < 1) compile = MedianSeconds(3, nullptr, [&] { Document d(content.str()); });
  if (command == "compile") t.operation = compile;
  if (t.stopped) {
    std::printf("%.6f stopped - - %.6f %ld\n", t.operation, compile, t.peakKilobytes);
  } else {
    std::printf("%.6f %.6f %zu %zu %.6f %ld\n", t.operation, t.printing, t.printed, t.clauses, compile, t.peakKilobytes);
  }
  return 0;
}

}  // namespace
}  // namespace lumenark::bench

int main(int argc, char** argv) {
  if (argc >= 4 && std::string(argv[1]) == "run") {
    return lumenark::bench::RunOne(std::vector<std::string>(argv + 2, argv + argc));
  }
  if (argc == 2 && std::string(argv[1]) == "reference") return lumenark::bench::ReferenceSet();
  return lumenark::bench::StandardSet();
}
