// The Tseitin encoding of a tree for CaDiCaL, and the watch that connects the solver's
// search to the Stop button and the memory budget.

#include "sat/FormulaSat.h"

#include <malloc.h>

#include <cadical.hpp>
#include <new>

#include "formula/LetterBits.h"
#include "runtime/BudgetAllocator.h"
#include "runtime/EngineGlobals.h"
#include "runtime/Heartbeat.h"
#include "runtime/MemoryBudget.h"

namespace lumenark {
namespace {

// What the solver holds for one operator node: a variable (with its watch lists and
// per-variable tables) and three or four short clauses (each with two watches).
constexpr std::uint64_t kBytesPerNode = 512;
constexpr std::uint64_t kBytesAtStart = std::uint64_t{1} << 20;

std::uint64_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

}  // namespace

// Polled by the solver while it searches: lets the window take its turn, ends the
// search at a stop, and charges the heap the solver has grown by since it was made.
class FormulaSat::Watch final : public CaDiCaL::Terminator {
 public:
  explicit Watch(FormulaSat& owner) : owner_(owner), heapAtStart_(HeapInUse()) {}

  bool terminate() override {
    if ((polls_++ & 0x3FF) == 0) {
      owner_.host_.ProcessPendingInput();
      const std::uint64_t heap = HeapInUse();
      const std::uint64_t grown = heap > heapAtStart_ ? heap - heapAtStart_ : 0;
      if (grown > owner_.charged_ && !owner_.Charge(grown - owner_.charged_)) return true;
    }
    return owner_.Ended();
  }

 private:
  FormulaSat& owner_;
  const std::uint64_t heapAtStart_;
  std::uint32_t polls_ = 0;
};

FormulaSat::FormulaSat(Host& host, Refusal refusal)
    : host_(host), solver_(std::make_unique<CaDiCaL::Solver>()), refusal_(refusal) {
  watch_ = std::make_unique<Watch>(*this);
  solver_->connect_terminator(watch_.get());
  Charge(kBytesAtStart);
}

FormulaSat::~FormulaSat() {
  solver_->disconnect_terminator();
  solver_.reset();
  ReleaseMemory(charged_);
}

bool FormulaSat::Charge(std::uint64_t bytes) {
  if (!ChargeMemory(bytes)) {
    Refused();
    return false;
  }
  charged_ += bytes;
  return true;
}

void FormulaSat::Refused() {
  outOfMemory_ = true;
  if (refusal_ == Refusal::EndsCommand) StopForExhaustedMemory();
}

bool FormulaSat::Ended() const { return StopRequested || outOfMemory_; }

int FormulaSat::LetterVariable(char letter) {
  const std::uint64_t bit = LetterBit(letter);
  return bit == 0 ? 0 : __builtin_ctzll(bit) + 1;
}

int FormulaSat::TrueLiteral() {
  if (true_ == 0) {
    true_ = NewVariable();
    solver_->add(true_);
    solver_->add(0);
  }
  return true_;
}

// variable <-> (left symbol right), clause by clause.
void FormulaSat::Define(int v, char symbol, int a, int b) {
  auto clause = [this](std::initializer_list<int> literals) {
    for (int literal : literals) solver_->add(literal);
    solver_->add(0);
  };
  switch (symbol) {
    case '&':
      clause({-v, a}), clause({-v, b}), clause({v, -a, -b});
      break;
    case '|':
      clause({v, -a}), clause({v, -b}), clause({-v, a, b});
      break;
    case '>':
      clause({v, a}), clause({v, -b}), clause({-v, -a, b});
      break;
    default:  // '='
      clause({-v, -a, b}), clause({-v, a, -b}), clause({v, a, b}), clause({v, -a, -b});
      break;
  }
}

// Post-order without recursion: a tree may be as deep as its text is long.
int FormulaSat::Encode(const FormulaNode* root) {
  struct Visit {
    const FormulaNode* node;
    bool operandsDone;
  };
  BudgetVector<Visit> pending;
  BudgetVector<int> done;  // the operands' literals, in order
  std::uint64_t uncharged = 0;
  try {
    pending.push_back({root, false});
    while (!pending.empty()) {
      const Visit visit = pending.back();
      pending.pop_back();
      const FormulaNode* node = visit.node;
      Heartbeat();
      if (Ended()) return 0;
      if (IsLiteral(node)) {
        const int letter = LetterVariable(node->symbol);
        const int literal = letter != 0 ? letter : (node->symbol == '1' ? TrueLiteral() : -TrueLiteral());
        done.push_back(node->negated ? -literal : literal);
      } else if (!visit.operandsDone) {
        pending.push_back({node, true});
        pending.push_back({node->right, false});
        pending.push_back({node->left, false});
      } else {
        const int right = done.back();
        done.pop_back();
        const int left = done.back();
        done.pop_back();
        const int v = NewVariable();
        Define(v, node->symbol, left, right);
        done.push_back(node->negated ? -v : v);
        if ((uncharged += kBytesPerNode) >= (std::uint64_t{1} << 20)) {
          if (!Charge(uncharged)) return 0;
          uncharged = 0;
        }
      }
    }
  } catch (const std::bad_alloc&) {
    Refused();
    return 0;
  }
  if (!Charge(uncharged)) return 0;
  return done.back();
}

bool FormulaSat::AddClause(std::span<const int> literals) {
  if (Ended() || !Charge(16 * literals.size() + 64)) return false;
  for (int literal : literals) solver_->add(literal);
  solver_->add(0);
  return true;
}

SatAnswer FormulaSat::Solve(std::span<const int> assumptions) {
  if (Ended()) return SatAnswer::Stopped;
  for (int literal : assumptions) solver_->assume(literal);
  const int result = solver_->solve();
  if (result == 10) return SatAnswer::Satisfiable;
  if (result == 20) return SatAnswer::Unsatisfiable;
  return SatAnswer::Stopped;
}

bool FormulaSat::Value(int literal) const { return solver_->val(literal) > 0; }

}  // namespace lumenark
