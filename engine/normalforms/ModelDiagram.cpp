#include "normalforms/ModelDiagram.h"

#include <new>
#include <utility>

#include "formula/LetterBits.h"
#include "runtime/EngineGlobals.h"
#include "runtime/Heartbeat.h"

namespace lumenark {
namespace {

constexpr std::uint32_t kTerminal = 52;

std::uint64_t Mix(std::uint64_t x) {
  x ^= x >> 33;
  x *= 0xff51afd7ed558ccdULL;
  x ^= x >> 33;
  return x;
}

std::uint64_t NodeHash(std::uint32_t letter, std::uint32_t low, std::uint32_t high) {
  return Mix((std::uint64_t{low} << 32 | high) ^ (std::uint64_t{letter} * 0x9E3779B97F4A7C15ULL));
}

}  // namespace

ModelDiagram::ModelDiagram(std::size_t mostNodes) : mostNodes_(mostNodes) {
  nodes_.push_back(Node{kTerminal, None, None});
  nodes_.push_back(Node{kTerminal, All, All});
  buckets_.assign(1024, Unknown);
  memo_.resize(std::size_t{1} << 14);
}

ModelDiagram::Set ModelDiagram::Literal(char letter, bool negated) {
  const std::uint64_t bit = LetterBit(letter);
  if (bit == 0) return Unknown;
  const auto index = static_cast<std::uint32_t>(__builtin_ctzll(bit));
  return negated ? Make(index, All, None) : Make(index, None, All);
}

ModelDiagram::Set ModelDiagram::Intersect(Set a, Set b) { return Apply(Op::And, a, b); }
ModelDiagram::Set ModelDiagram::Unite(Set a, Set b) { return Apply(Op::Or, a, b); }
ModelDiagram::Set ModelDiagram::Implication(Set a, Set b) { return Apply(Op::Implies, a, b); }
ModelDiagram::Set ModelDiagram::Equivalence(Set a, Set b) { return Apply(Op::Equiv, a, b); }
ModelDiagram::Set ModelDiagram::Complement(Set a) { return Apply(Op::Not, a, None); }

std::uint64_t ModelDiagram::FirstAssignment(Set a) const {
  std::uint64_t assignment = 0;
  while (a != All) {
    const Node& node = nodes_[a];
    if (node.low != None) {
      a = node.low;
    } else {
      assignment |= std::uint64_t{1} << node.letter;
      a = node.high;
    }
  }
  return assignment;
}

// The operations that the terminals or equal operands decide at once. The commutative
// ones take their operands in a fixed order, so that the memo finds both orders.
bool ModelDiagram::Terminal(Op op, Set& a, Set& b, Set& result) {
  switch (op) {
    case Op::Not:
      if (a == None || a == All) return result = a == None ? All : None, true;
      return false;
    case Op::And:
      if (a == None || b == None) return result = None, true;
      if (a == All || a == b) return result = b, true;
      if (b == All) return result = a, true;
      break;
    case Op::Or:
      if (a == All || b == All) return result = All, true;
      if (a == None || a == b) return result = b, true;
      if (b == None) return result = a, true;
      break;
    case Op::Implies:
      if (a == None || b == All || a == b) return result = All, true;
      if (a == All) return result = b, true;
      if (b == None) return result = Complement(a), true;
      return false;
    case Op::Equiv:
      if (a == b) return result = All, true;
      if (a == All) return result = b, true;
      if (b == All) return result = a, true;
      if (a == None) return result = Complement(b), true;
      if (b == None) return result = Complement(a), true;
      break;
  }
  if (a > b) std::swap(a, b);
  return false;
}

ModelDiagram::Memo& ModelDiagram::MemoSlot(Op op, Set a, Set b) {
  const std::uint64_t key = (std::uint64_t{a} << 32 | b) * 8 + static_cast<std::uint64_t>(op);
  return memo_[Mix(key) & (memo_.size() - 1)];
}

// Shannon expansion on the smaller top letter; the depth is at most 52.
ModelDiagram::Set ModelDiagram::Apply(Op op, Set a, Set b) {
  ++steps_;
  if (a == Unknown || b == Unknown) return Unknown;
  Set result;
  if (Terminal(op, a, b, result)) return result;
  const Memo& memo = MemoSlot(op, a, b);
  if (memo.a == a && memo.b == b && memo.op == op) return memo.result;
  Heartbeat();
  if (StopRequested) return Unknown;
  const Node na = nodes_[a];
  Set low;
  Set high;
  std::uint32_t letter = na.letter;
  if (op == Op::Not) {
    low = Apply(op, na.low, None);
    high = Apply(op, na.high, None);
  } else {
    const Node nb = nodes_[b];
    letter = na.letter < nb.letter ? na.letter : nb.letter;
    low = Apply(op, na.letter == letter ? na.low : a, nb.letter == letter ? nb.low : b);
    high = Apply(op, na.letter == letter ? na.high : a, nb.letter == letter ? nb.high : b);
  }
  result = (low == Unknown || high == Unknown) ? Unknown : Make(letter, low, high);
  // The memo may have grown meanwhile: its slot is looked up again.
  MemoSlot(op, a, b) = Memo{a, b, result, op};
  return result;
}

ModelDiagram::Set ModelDiagram::Make(std::uint32_t letter, Set low, Set high) {
  if (low == high) return low;
  std::size_t mask = buckets_.size() - 1;
  for (std::size_t i = NodeHash(letter, low, high) & mask;; i = (i + 1) & mask) {
    const Set found = buckets_[i];
    if (found == Unknown) break;
    const Node& node = nodes_[found];
    if (node.letter == letter && node.low == low && node.high == high) return found;
  }
  if (nodes_.size() >= mostNodes_) return Unknown;
  const auto created = static_cast<Set>(nodes_.size());
  // A refused charge makes the diagram's answers unknown from here on, instead of
  // ending the conversion: the products go on without it.
  try {
    if ((nodes_.size() + 1) * 2 > buckets_.size()) Grow();
    if (memo_.size() < buckets_.size() / 2) memo_.resize(buckets_.size() / 2);
    nodes_.push_back(Node{letter, low, high});
  } catch (const std::bad_alloc&) {
    mostNodes_ = nodes_.size();
    return Unknown;
  }
  mask = buckets_.size() - 1;
  std::size_t i = NodeHash(letter, low, high) & mask;
  while (buckets_[i] != Unknown) i = (i + 1) & mask;
  buckets_[i] = created;
  return created;
}

void ModelDiagram::Grow() {
  BudgetVector<Set> larger(buckets_.size() * 2, Unknown);
  buckets_.swap(larger);
  const std::size_t mask = buckets_.size() - 1;
  for (std::size_t n = 2; n < nodes_.size(); ++n) {
    const Node& node = nodes_[n];
    std::size_t i = NodeHash(node.letter, node.low, node.high) & mask;
    while (buckets_[i] != Unknown) i = (i + 1) & mask;
    buckets_[i] = static_cast<Set>(n);
  }
}

}  // namespace lumenark
