#include "normalforms/ModelDiagram.h"

#include <new>
#include <utility>

#include "formula/LetterBits.h"

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

ModelDiagram::Set ModelDiagram::Intersect(Set a, Set b) { return Apply(true, a, b); }
ModelDiagram::Set ModelDiagram::Unite(Set a, Set b) { return Apply(false, a, b); }

// Shannon expansion on the smaller top letter; the depth is at most 52.
ModelDiagram::Set ModelDiagram::Apply(bool intersect, Set a, Set b) {
  if (a == Unknown || b == Unknown) return Unknown;
  if (intersect) {
    if (a == None || b == None) return None;
    if (a == All) return b;
    if (b == All || a == b) return a;
  } else {
    if (a == All || b == All) return All;
    if (a == None) return b;
    if (b == None || a == b) return a;
  }
  if (a > b) std::swap(a, b);
  Memo& memo = memo_[Mix((std::uint64_t{a} << 32 | b) + intersect) & (memo_.size() - 1)];
  if (memo.a == a && memo.b == b && memo.intersect == intersect) return memo.result;
  const Node na = nodes_[a];
  const Node nb = nodes_[b];
  const std::uint32_t letter = na.letter < nb.letter ? na.letter : nb.letter;
  const Set low = Apply(intersect, na.letter == letter ? na.low : a, nb.letter == letter ? nb.low : b);
  const Set high = Apply(intersect, na.letter == letter ? na.high : a, nb.letter == letter ? nb.high : b);
  const Set result = (low == Unknown || high == Unknown) ? Unknown : Make(letter, low, high);
  Memo& slot = memo_[Mix((std::uint64_t{a} << 32 | b) + intersect) & (memo_.size() - 1)];
  slot = Memo{a, b, result, intersect};
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
