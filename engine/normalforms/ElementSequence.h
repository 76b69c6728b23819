#pragma once
// The elements of a normal form's outer chain (the clauses of a CNF, the terms of a DNF)
// as a compressed sequence, for normal forms far too long to hold as a tree: a
// multiplied-out chain repeats the same products over and over (exactly one of eight
// letters gives 16,777,216 products, eight distinct), and a sequence that repeats is
// held once.
//
// The sequence is a binary tree of parts, shared wherever parts are equal: a part is a
// single element (a term), or two parts one after the other. Parts are made once and
// never change; equal parts are one part (hash-consed), so that a repeated stretch of
// the sequence is one part however often it occurs. Elements keep the positions they
// had in the multiplied-out chain: a reference to a part carries the offset of its
// first position, so that where elements have left, the positions of the rest stay.
// A part's two halves, with everything that has left collapsed, are the shape that the
// constant evaluation leaves of the outer chain: a node for each pair of parts that both
// still hold elements.
//
// An element is regular, as a normal form leaves it: its letters in letter order, each
// once, so the letters it holds and their signs are all there is to it; the shape of its
// own subtree is found again from its position when the tree is built.

#include <cstdint>
#include <functional>

#include "runtime/BudgetAllocator.h"
#include "runtime/FlatMap.h"

namespace lumenark {

// Thrown where the compressed sequence cannot go on (its stack, its memory or its
// effort): the caller gives the sequence up and multiplies out in full, which then meets
// the same limit exactly as it always has.
struct SequenceAbandoned {};
[[noreturn]] void AbandonSequence();

// A regular element: its letters by sign (one bit per letter, LetterBit). A constant
// literal element ('0' or '1') holds no letters.
struct Term {
  std::uint64_t plain = 0;    // letters that occur without negation
  std::uint64_t negated = 0;  // letters that occur negated
  char constant = 0;          // '0' or '1' for a constant; 0 for letters
  bool operator==(const Term&) const = default;
  std::uint64_t Letters() const { return plain | negated; }
  // A literal element: one letter, or a constant.
  bool IsLiteral() const { return constant != 0 || __builtin_popcountll(Letters()) == 1; }
};

class ElementSequence {
 public:
  using Part = std::uint32_t;
  using TermId = std::uint32_t;
  static constexpr Part kEmpty = 0;
  // Counts saturate here: a sequence may be longer than 2^64 elements.
  static constexpr std::uint64_t kMany = std::uint64_t{1} << 62;

  // A part placed at an offset: its first position is offset.
  struct Ref {
    Part part = kEmpty;
    std::uint64_t offset = 0;
    bool Empty() const { return part == kEmpty; }
    bool operator==(const Ref&) const = default;
  };

  ElementSequence();

  // ---- Terms ---------------------------------------------------------------------------
  TermId Intern(const Term& term);              // the same id for equal terms
  const Term& TermOf(TermId id) const { return terms_[id]; }

  // ---- Making parts ---------------------------------------------------------------------
  Ref Leaf(TermId term);                        // one element at position 0
  Ref Join(Ref first, Ref second);              // second after first; an empty one leaves the other
  static Ref Shift(Ref ref, std::uint64_t by) { return Ref{ref.part, ref.offset + by}; }
  // The element at the position (counted as the reference counts) becomes the term, or
  // leaves the sequence (no term).
  Ref Replace(Ref ref, std::uint64_t position, const TermId* term);

  // ---- Reading parts --------------------------------------------------------------------
  bool IsLeaf(Part part) const { return nodes_[part].first == kEmpty; }
  TermId TermAt(Part part) const { return static_cast<TermId>(nodes_[part].firstOffset); }
  Ref First(Part part) const { return Ref{nodes_[part].first, nodes_[part].firstOffset}; }
  Ref Second(Part part) const { return Ref{nodes_[part].second, nodes_[part].secondOffset}; }
  std::uint64_t Elements(Part part) const { return nodes_[part].elements; }
  std::uint64_t LiteralElements(Part part) const { return nodes_[part].literals; }
  std::size_t Parts() const { return nodes_.size(); }

  // ---- Effort ---------------------------------------------------------------------------
  // The work that making the sequence and the passes over it may do, in units of a part
  // made, a chain's products made, or a live element carried over; past it the sequence
  // is given up (AbandonSequence). Unlimited until set.
  void SetEffort(std::uint64_t units) { effortLeft_ = units; }
  void Spend(std::uint64_t units) {
    if (!TrySpend(units)) AbandonSequence();
  }
  bool TrySpend(std::uint64_t units) {
    if (units > effortLeft_) return false;
    effortLeft_ -= units;
    return true;
  }

  // Calls visit(position, term) for every element of the part that the filter lets in,
  // in order; the filter sees each part first and may pass it over whole.
  void ForEach(Ref ref, const std::function<bool(Part)>& filter,
               const std::function<void(std::uint64_t, TermId)>& visit) const;

 private:
  struct Node {
    Part first;                  // kEmpty for a leaf
    Part second;
    std::uint64_t firstOffset;   // a leaf: its term
    std::uint64_t secondOffset;
    std::uint64_t elements;
    std::uint64_t literals;
  };
  Part Make(const Node& node);
  void Grow();
  static std::uint64_t Hash(const Node& node);

  struct TermHash {
    std::uint64_t operator()(const Term& t) const { return t.plain * 0x9E3779B97F4A7C15ULL ^ (t.negated + t.constant); }
  };
  BudgetVector<Term> terms_;
  FlatMap<Term, TermId, TermHash> termIds_;
  BudgetVector<Node> nodes_;
  BudgetVector<Part> buckets_;  // open addressing over parts; kEmpty is a free bucket
  std::uint64_t effortLeft_ = ~std::uint64_t{0};
};

}  // namespace lumenark
