#pragma once
// One pass of the minimisation over a compressed sequence of elements (ElementSequence):
// the same rules on the same pairs in the same order as the pass over the tree, and the
// constant evaluation after it, without visiting every copy of a repeated stretch.
//
// What one pass does, read as a walk over the elements: each candidate, in turn, is
// offered every earlier element that no rule has touched in this pass, left to right,
// until a rule touches the candidate itself. An element that a rule has touched holds a
// constant and takes part in no more pairs. So everything the pass has yet to do depends
// on the list of untouched earlier elements (the live list), and only on their terms:
//   - an untouched element is different from every other untouched one (a later copy
//     absorbs the earlier at once), so the list is short, its terms all distinct;
//   - a stretch of the sequence, met with the same terms in the live list, does the
//     same: the same of its elements leave, are changed or stay live, and the same
//     elements of the live list are changed or leave.
// The pass therefore goes over the sequence's parts and keeps, for each part and each
// live list it was met with, what the part did; a part met again with the same live list
// (a repeated stretch, which the next copy meets with the list the copy before left) is
// not walked again. A rule's constant is evaluated at once: an element that is to go
// leaves the sequence, an element that loses a literal becomes the term without it.

#include <cstdint>
#include <optional>

#include "normalforms/ElementSequence.h"

namespace lumenark {

// Runs one pass over the sequence; returns the sequence after the pass and its constant
// evaluation, and sets changed when a rule was applied. Where the live lists the parts
// are met with keep changing, the pass would cost more than the pass over the tree of its
// elements (which compares only the pairs a rule may apply to): past a few rules tried
// for every element it gives up, and returns nothing. Pending input is processed now and
// then; a stop or a refused charge ends the pass with SequenceAbandoned or
// std::bad_alloc.
//
// A candidate of one letter that meets its negation (extension) loses its only literal
// and becomes the constant that decides the outer chain (deciding: '1' in a DNF, '0' in
// a CNF); it stands in the sequence as that constant, and the constant evaluation after
// the pass makes the whole formula that constant.
std::optional<ElementSequence::Ref> RunSequencePass(ElementSequence& sequence, ElementSequence::Ref root,
                                                    char deciding, bool& changed);

// What a pair of regular elements, the earlier one first, does to each of them.
struct PairRule {
  enum class Effect : std::uint8_t { None, Leaves, Drops };  // Drops: loses the letter
  Effect earlier = Effect::None;
  Effect candidate = Effect::None;
  std::uint64_t letter = 0;  // the letter dropped, for Drops
};
PairRule RuleFor(const Term& earlier, const Term& candidate);

}  // namespace lumenark
