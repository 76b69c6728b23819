#include "minimum/QuickMinimum.h"

#include <new>

#include "formula/TreeFold.h"
#include "minimum/MinimumForm.h"
#include "runtime/EngineGlobals.h"
#include "runtime/Heartbeat.h"

namespace lumenark {
namespace {

// About a second's work of each stage: the truth table's evaluations (nodes times
// words), the host's turns that the heartbeats of the primes and the chart give, and the
// cover search's chart entries.
constexpr std::uint64_t kTableWork = std::uint64_t{1} << 26;
constexpr std::uint32_t kTurns = 256;
constexpr std::uint64_t kCoverEffort = std::uint64_t{1} << 27;

// Passes pending input on to the command's host, and presses Stop once the work has
// had its turns.
class LimitedHost final : public Host {
 public:
  explicit LimitedHost(Host& host) : host_(host) {}
  void ShowMessage(std::string_view text) override { host_.ShowMessage(text); }
  void ProcessPendingInput() override {
    host_.ProcessPendingInput();
    userStop_ = userStop_ || (StopRequested && !spent_);
    if (++turns_ > kTurns && !StopRequested) {
      spent_ = true;
      StopRequested = true;
    }
  }
  bool StopDialogVisible() const override { return host_.StopDialogVisible(); }
  void SetStopDialogVisible(bool visible) override { host_.SetStopDialogVisible(visible); }
  // Whether the Stop was the user's (or exhausted memory's) rather than the limit's.
  bool UserStop() const { return userStop_ || (StopRequested && !spent_); }

 private:
  Host& host_;
  std::uint32_t turns_ = 0;
  bool spent_ = false;
  bool userStop_ = false;
};

std::uint64_t NodesOf(const FormulaNode* root) {
  return FoldTree<std::uint64_t>(
             root, [](const FormulaNode*) { return std::uint64_t{1}; },
             [](const FormulaNode*, std::uint64_t a, std::uint64_t b) { return a + b + 1; })
      .value_or(0);
}

std::optional<std::size_t> Terms(const FormulaNode* root, Host& host) {
  const int letters = __builtin_popcountll(LettersOfTree(root));
  if (letters > kMostMinimumLetters) return std::nullopt;
  const std::uint64_t words = letters >= 6 ? std::uint64_t{1} << (letters - 6) : 1;
  if (NodesOf(root) > kTableWork / words) return std::nullopt;
  std::optional<BooleanFunction> f = FunctionOfFormula(root);
  if (!f) return std::nullopt;
  MinimumForm form;
  form.reading = CubeReading::Term;
  form.covered = std::move(*f);
  if (!PrepareMinimumForm(form)) return std::nullopt;
  const CoverAnswer answer = MinimumCover(form.chart, host, kCoverEffort);
  if (answer.outcome != CoverOutcome::Proved) return std::nullopt;
  return answer.columns.size();
}

}  // namespace

std::optional<std::size_t> QuickMinimumTerms(const FormulaNode* root, Host& host) {
  const bool exhausted = MemoryExhausted;
  LimitedHost limited(host);
  std::optional<std::size_t> terms;
  {
    HeartbeatScope scope(limited);
    try {
      terms = Terms(root, limited);
    } catch (const std::bad_alloc&) {
      terms.reset();
    }
  }
  // Only a stop of the user's own outlives the note; the limit's and a refused charge's
  // are the note's affair.
  const bool userStop = limited.UserStop() && !(MemoryExhausted && !exhausted);
  if (!userStop) StopRequested = false;
  MemoryExhausted = exhausted;
  return userStop ? std::nullopt : terms;
}

std::string MinimumDnfNote(std::optional<std::size_t> terms) {
  std::string line = "Its Minimum DNF, proved and without multiplying out, ";
  if (terms) line += "has " + std::to_string(*terms) + (*terms == 1 ? " term" : " terms") + ": ";
  else line += "is given by ";
  return line + "Formula > Minimum forms > Minimum DNF (lumenark-cli minimumdnf).";
}

}  // namespace lumenark
