#include "normalforms/ElementSequence.h"

#include "runtime/EngineStack.h"
#include "runtime/StackRoom.h"

namespace lumenark {
namespace {

std::uint64_t Sum(std::uint64_t a, std::uint64_t b) {
  return a + b >= ElementSequence::kMany ? ElementSequence::kMany : a + b;
}

}  // namespace

void AbandonSequence() {
  ReadyEngineStackForThrow();
  throw SequenceAbandoned{};
}

ElementSequence::ElementSequence() {
  nodes_.push_back(Node{kEmpty, kEmpty, 0, 0, 0, 0});  // the empty part
  buckets_.assign(1024, kEmpty);
}

ElementSequence::TermId ElementSequence::Intern(const Term& term) {
  if (const TermId* known = termIds_.Find(term)) return *known;
  terms_.push_back(term);
  return termIds_.Insert(term, static_cast<TermId>(terms_.size() - 1));
}

ElementSequence::Ref ElementSequence::Leaf(TermId term) {
  const std::uint64_t literal = terms_[term].IsLiteral() ? 1 : 0;
  return Ref{Make(Node{kEmpty, kEmpty, term, 0, 1, literal}), 0};
}

ElementSequence::Ref ElementSequence::Join(Ref first, Ref second) {
  if (first.Empty()) return second;
  if (second.Empty()) return first;
  // The part starts where its first half does, so that equal stretches at different
  // positions are the same part.
  const std::uint64_t start = first.offset;
  const Node& a = nodes_[first.part];
  const Node& b = nodes_[second.part];
  const Node node{first.part, second.part, 0, second.offset - start, Sum(a.elements, b.elements),
                  Sum(a.literals, b.literals)};
  return Ref{Make(node), start};
}

ElementSequence::Ref ElementSequence::Replace(Ref ref, std::uint64_t position, const TermId* term) {
  StackLevel level;
  if (!level.HasRoom()) AbandonSequence();
  const std::uint64_t at = position - ref.offset;
  if (IsLeaf(ref.part)) return term == nullptr ? Ref{} : Shift(Leaf(*term), ref.offset);
  Ref first = Shift(First(ref.part), ref.offset);
  Ref second = Shift(Second(ref.part), ref.offset);
  if (at >= nodes_[ref.part].secondOffset) {
    second = Replace(second, position, term);
  } else {
    first = Replace(first, position, term);
  }
  return Join(first, second);
}

void ElementSequence::ForEach(Ref ref, const std::function<bool(Part)>& filter,
                              const std::function<void(std::uint64_t, TermId)>& visit) const {
  if (ref.Empty() || !filter(ref.part)) return;
  StackLevel level;
  if (!level.HasRoom()) AbandonSequence();
  if (IsLeaf(ref.part)) {
    visit(ref.offset, TermAt(ref.part));
    return;
  }
  ForEach(Shift(First(ref.part), ref.offset), filter, visit);
  ForEach(Shift(Second(ref.part), ref.offset), filter, visit);
}

std::uint64_t ElementSequence::Hash(const Node& node) {
  return MixHash(MixHash(std::uint64_t{node.first} << 32 | node.second) ^ MixHash(node.firstOffset) ^
             (MixHash(node.secondOffset) * 31));
}

ElementSequence::Part ElementSequence::Make(const Node& node) {
  std::size_t mask = buckets_.size() - 1;
  for (std::size_t i = Hash(node) & mask;; i = (i + 1) & mask) {
    const Part found = buckets_[i];
    if (found == kEmpty) break;
    const Node& known = nodes_[found];
    if (known.first == node.first && known.second == node.second && known.firstOffset == node.firstOffset &&
        known.secondOffset == node.secondOffset) {
      return found;
    }
  }
  if (nodes_.size() >= (std::uint64_t{1} << 31)) AbandonSequence();
  if ((nodes_.size() + 1) * 2 > buckets_.size()) Grow();
  const auto part = static_cast<Part>(nodes_.size());
  nodes_.push_back(node);
  mask = buckets_.size() - 1;
  std::size_t i = Hash(node) & mask;
  while (buckets_[i] != kEmpty) i = (i + 1) & mask;
  buckets_[i] = part;
  return part;
}

void ElementSequence::Grow() {
  BudgetVector<Part> larger(buckets_.size() * 2, kEmpty);
  buckets_.swap(larger);
  const std::size_t mask = buckets_.size() - 1;
  for (std::size_t n = 1; n < nodes_.size(); ++n) {
    std::size_t i = Hash(nodes_[n]) & mask;
    while (buckets_[i] != kEmpty) i = (i + 1) & mask;
    buckets_[i] = static_cast<Part>(n);
  }
}

}  // namespace lumenark
