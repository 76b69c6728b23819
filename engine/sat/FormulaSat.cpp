// The Tseitin encoding of a tree for CaDiCaL, and the watch that connects the solver's
// search to the Stop button and the memory budget.

#include "sat/FormulaSat.h"

#include <cadical.hpp>
#include <new>

#include "formula/LetterBits.h"
#include "runtime/BudgetAllocator.h"
#include "runtime/EngineGlobals.h"
#include "runtime/Heartbeat.h"
#include "runtime/MemoryBudget.h"
#include "runtime/StackRoom.h"
#include "runtime/SystemHeap.h"

namespace lumenark {
namespace {

// What the solver holds for one operator node: a variable (with its watch lists and
// per-variable tables) and three or four short clauses (each with two watches).
constexpr std::uint64_t kBytesPerNode = 512;
constexpr std::uint64_t kBytesAtStart = std::uint64_t{1} << 20;

std::uint64_t HeapInUse() {
  const HeapFigures heap = ReadHeapFigures();
  return heap.allocated + heap.mapped;
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
  // The solver writes nothing of its own (it reports a clause that its units falsify,
  // which asserting a constant can make, on standard output, where lumenark-cli writes
  // the document).
  solver_->set("quiet", 1);
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

namespace {

// The elements of the chain of node (operator nodes of its symbol that are not negated,
// below the node itself), left to right, without recursion.
void ChainElements(const FormulaNode* node, BudgetVector<const FormulaNode*>& out) {
  BudgetVector<const FormulaNode*> pending{node->right, node->left};
  while (!pending.empty()) {
    const FormulaNode* x = pending.back();
    pending.pop_back();
    if (!IsLiteral(x) && x->symbol == node->symbol && !x->negated) {
      pending.push_back(x->right);
      pending.push_back(x->left);
    } else {
      out.push_back(x);
    }
  }
}

// What value of an operator node's chain elements the required value of the node asks
// for, and whether it asks for all of them (a conjunction) or one (a disjunction).
struct ChainDemand {
  bool all;
  bool elementValue;
};
ChainDemand DemandOf(char symbol, bool value) {
  if (symbol == '&') return {value, value};
  return {!value, value};  // '|'
}

}  // namespace

// A literal that implies that the node has the value: a letter's own literal, a
// constant's, or a new variable whose clauses require the value of the node.
int FormulaSat::Implying(const FormulaNode* node, bool value) {
  if (IsLiteral(node)) {
    const bool wanted = value != (node->negated != 0);
    const int letter = LetterVariable(node->symbol);
    if (letter != 0) return wanted ? letter : -letter;
    const bool constant = node->symbol == '1';
    return constant == wanted ? TrueLiteral() : -TrueLiteral();
  }
  const int v = NewVariable();
  const int guard[] = {-v};
  return Require(guard, node, value) ? v : 0;
}

// Clauses that hold where a literal of guard is true, or the node has the value. Chains
// of '&' and '|' are taken whole; '>' is read as '|' of its negated antecedent; an
// equivalence needs both values of its operands, and so their full definitions.
bool FormulaSat::Require(std::span<const int> guard, const FormulaNode* node, bool value) {
  StackLevel level;
  if (Ended() || !level.HasRoom()) return Refused(), false;
  Heartbeat();
  if (IsLiteral(node)) {
    const int literal = Implying(node, value);
    BudgetVector<int> clause(guard.begin(), guard.end());
    clause.push_back(literal);
    return AddClause(clause);
  }
  value = value != (node->negated != 0);
  if (node->symbol == '=') {
    const int a = Encode(node->left);
    const int b = a == 0 ? 0 : Encode(node->right);
    if (b == 0) return false;
    const int same = value ? 1 : -1;  // a = b, or a = ~b
    BudgetVector<int> first(guard.begin(), guard.end());
    BudgetVector<int> second(guard.begin(), guard.end());
    first.insert(first.end(), {-a, same * b});
    second.insert(second.end(), {a, -same * b});
    return AddClause(first) && AddClause(second);
  }
  BudgetVector<const FormulaNode*> elements;
  ChainDemand demand{};
  if (node->symbol == '>') {
    elements = {node->left, node->right};
    demand = {!value, value};
  } else {
    ChainElements(node, elements);
    demand = DemandOf(node->symbol, value);
  }
  // An implication's antecedent is asked for the opposite value.
  auto valueOf = [&](std::size_t i) { return node->symbol == '>' && i == 0 ? !demand.elementValue : demand.elementValue; };
  if (demand.all) {
    for (std::size_t i = 0; i < elements.size(); ++i) {
      if (!Require(guard, elements[i], valueOf(i))) return false;
    }
    return true;
  }
  BudgetVector<int> clause(guard.begin(), guard.end());
  for (std::size_t i = 0; i < elements.size(); ++i) {
    const int literal = Implying(elements[i], valueOf(i));
    if (literal == 0) return false;
    clause.push_back(literal);
  }
  return AddClause(clause);
}

bool FormulaSat::Assert(const FormulaNode* root, bool value) {
  try {
    return Require({}, root, value);
  } catch (const std::bad_alloc&) {
    Refused();
    return false;
  }
}

bool FormulaSat::AddClause(std::span<const int> literals) {
  if (Ended() || !Charge(16 * literals.size() + 64)) return false;
  for (int literal : literals) solver_->add(literal);
  solver_->add(0);
  return true;
}

SatAnswer FormulaSat::Solve(std::span<const int> assumptions, int conflictLimit) {
  if (Ended()) return SatAnswer::Stopped;
  for (int literal : assumptions) solver_->assume(literal);
  if (conflictLimit >= 0) solver_->limit("conflicts", conflictLimit);
  const int result = solver_->solve();
  if (result == 10) return SatAnswer::Satisfiable;
  if (result == 20) return SatAnswer::Unsatisfiable;
  return SatAnswer::Stopped;
}

bool FormulaSat::Value(int literal) const { return solver_->val(literal) > 0; }

}  // namespace lumenark
