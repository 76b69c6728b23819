#pragma once
// Sets of assignments to all 52 letters as a shared, reduced, ordered decision diagram
// (letters tested in character order). It stands in for the bit sets of ModelSets where
// a formula has too many letters for them: the sets the direct products ask about
// (parity, chains of equivalences) stay small as diagrams whatever the letter count.
//
// The diagram grows only up to a number of nodes fixed when it is made; an operation
// that would pass it answers Unknown, and so does every later operation on Unknown. Its
// tables count against the memory budget; a refused charge makes it stop growing there.

#include <cstddef>
#include <cstdint>

#include "runtime/BudgetAllocator.h"

namespace lumenark {

class ModelDiagram {
 public:
  using Set = std::uint32_t;
  static constexpr Set None = 0;         // no assignment
  static constexpr Set All = 1;          // every assignment
  static constexpr Set Unknown = ~Set{0};  // past the node limit

  explicit ModelDiagram(std::size_t mostNodes);

  Set Literal(char letter, bool negated);  // the assignments that make it true
  Set Intersect(Set a, Set b);
  Set Unite(Set a, Set b);
  Set Implication(Set a, Set b);           // those in b, and those not in a
  Set Equivalence(Set a, Set b);           // those in both, and those in neither
  Set Complement(Set a);
  std::size_t Nodes() const { return nodes_.size(); }
  std::uint64_t Steps() const { return steps_; }  // expansion steps of the operations so far, their cost
  // An assignment in the set (one bit per letter, 'A' lowest, as LetterBit), the first
  // in the order of letters with false before true; the set must not be None or Unknown.
  std::uint64_t FirstAssignment(Set a) const;

 private:
  struct Node {
    std::uint32_t letter;  // 0..51; 52 for the two terminals
    Set low;               // the letter false
    Set high;              // the letter true
  };
  enum class Op : std::uint8_t { And, Or, Implies, Equiv, Not };
  struct Memo {
    Set a = Unknown, b = Unknown, result = Unknown;
    Op op = Op::And;
  };

  Set Apply(Op op, Set a, Set b);
  bool Terminal(Op op, Set& a, Set& b, Set& result);
  Memo& MemoSlot(Op op, Set a, Set b);
  Set Make(std::uint32_t letter, Set low, Set high);
  void Grow();

  std::size_t mostNodes_;
  std::uint64_t steps_ = 0;
  BudgetVector<Node> nodes_;
  BudgetVector<Set> buckets_;  // open addressing over node indexes; Unknown is empty
  BudgetVector<Memo> memo_;    // the results of recent operations, overwritten on collision
};

}  // namespace lumenark
