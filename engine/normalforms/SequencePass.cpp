#include "normalforms/SequencePass.h"

#include <deque>

#include "runtime/EngineGlobals.h"
#include "runtime/FlatMap.h"
#include "runtime/Heartbeat.h"
#include "runtime/StackRoom.h"

namespace lumenark {

// The rules of AbsExt read off two regular elements' letters: the merge walk of their
// sorted literal lists finds a letter only one of them has ("has more") and a letter
// with opposite signs (a complementary pair).
PairRule RuleFor(const Term& earlier, const Term& candidate) {
  using Effect = PairRule::Effect;
  const std::uint64_t complementary = (earlier.plain & candidate.negated) | (earlier.negated & candidate.plain);
  if (__builtin_popcountll(complementary) > 1) return {};
  const bool earlierHasMore = (earlier.Letters() & ~candidate.Letters()) != 0;
  const bool candidateHasMore = (candidate.Letters() & ~earlier.Letters()) != 0;
  if (earlierHasMore && candidateHasMore) return {};
  if (complementary == 0) {
    // Total absorption, or the larger of the two is absorbed.
    return candidateHasMore ? PairRule{Effect::None, Effect::Leaves, 0} : PairRule{Effect::Leaves, Effect::None, 0};
  }
  if (!earlierHasMore && !candidateHasMore) return {Effect::Leaves, Effect::Drops, complementary};  // extension
  // Absorption of negation: the larger one loses its literal of the pair.
  return earlierHasMore ? PairRule{Effect::Drops, Effect::None, complementary}
                        : PairRule{Effect::None, Effect::Drops, complementary};
}

namespace {

using Part = ElementSequence::Part;
using Ref = ElementSequence::Ref;
using TermId = ElementSequence::TermId;
using Terms = BudgetVector<TermId>;

constexpr std::uint32_t kOwn = ~std::uint32_t{0};

// An untouched element after a part: one of the live list the part was met with
// (input), or one of the part's own (at its position, counted from the part's start).
struct LiveItem {
  std::uint32_t input;
  std::uint64_t position;
  TermId term;
};

// What a part did to an element of the live list it was met with.
struct InputEvent {
  std::uint32_t input;
  bool leaves;
  TermId term;  // the element's term after it lost a literal, when it does not leave
};

// A part's pass, met with a live list of given terms.
struct Outcome {
  Part part;
  Terms met;                         // the live list's terms
  Ref out;                           // the part's elements after the pass, from the part's start
  BudgetVector<LiveItem> live;       // the live list after the part
  BudgetVector<InputEvent> events;
  bool changed = false;
  std::uint32_t sameKey;             // the outcome met before under the same memo key
};

constexpr std::uint32_t kNone = ~std::uint32_t{0};

class SequencePass {
 public:
  SequencePass(ElementSequence& sequence, char deciding) : sequence_(sequence), deciding_(deciding) {}

  std::optional<Ref> Run(Ref root, bool& changed) {
    const std::uint64_t elements = sequence_.Elements(root.part);
    workLeft_ = elements > kMostWork / kWorkPerElement ? kMostWork : kWorkPerElement * elements + kWorkAnyway;
    const Terms none;
    try {
      const Outcome& outcome = Pass(root.part, none);
      changed = outcome.changed;
      return ElementSequence::Shift(outcome.out, root.offset);
    } catch (const TooCostly&) {
      return std::nullopt;
    }
  }

 private:
  static std::uint64_t KeyOf(Part part, const Terms& met) {
    std::uint64_t hash = part * 0x9E3779B97F4A7C15ULL;
    for (TermId term : met) hash = (hash ^ term) * 0xff51afd7ed558ccdULL + 0x632BE59BD9B4E019ULL;
    return hash;
  }

  // Rules tried, and live elements carried over, count as work.
  void Work(std::uint64_t units) {
    if (units > workLeft_) throw TooCostly{};
    workLeft_ -= units;
  }
  struct TooCostly {};
  static constexpr std::uint64_t kWorkPerElement = 32;
  static constexpr std::uint64_t kWorkAnyway = std::uint64_t{1} << 22;
  static constexpr std::uint64_t kMostWork = std::uint64_t{1} << 60;

  const Outcome& Pass(Part part, const Terms& met) {
    Heartbeat();
    StackLevel level;
    if (StopRequested || !level.HasRoom()) AbandonSequence();
    Work(met.size() + 1);
    const std::uint64_t key = KeyOf(part, met);
    std::uint32_t* first = memo_.Find(key);
    for (std::uint32_t at = first != nullptr ? *first : kNone; at != kNone; at = outcomes_[at].sameKey) {
      const Outcome& known = outcomes_[at];
      if (known.part == part && known.met == met) return known;
    }
    Outcome outcome = sequence_.IsLeaf(part) ? Candidate(part, met) : Halves(part, met);
    outcome.part = part;
    outcome.met = met;
    const auto at = static_cast<std::uint32_t>(outcomes_.size());
    // The lookups below may have grown the memo: its entry is found again.
    first = memo_.Find(key);
    outcome.sameKey = first != nullptr ? *first : kNone;
    outcomes_.push_back(std::move(outcome));
    if (first != nullptr) {
      *first = at;
    } else {
      memo_.Insert(key, at);
    }
    return outcomes_.back();
  }

  TermId Without(TermId term, std::uint64_t letter) {
    Term shorter = sequence_.TermOf(term);
    shorter.plain &= ~letter;
    shorter.negated &= ~letter;
    if (shorter.Letters() == 0) shorter.constant = deciding_;
    return sequence_.Intern(shorter);
  }

  // One element as the candidate: offered every live element, in order, until a rule
  // touches it.
  Outcome Candidate(Part part, const Terms& met) {
    using Effect = PairRule::Effect;
    Outcome outcome;
    TermId candidate = sequence_.TermAt(part);
    bool live = true;
    bool present = true;
    for (std::uint32_t j = 0; j < met.size(); ++j) {
      if (!live) {
        outcome.live.push_back(LiveItem{j, 0, met[j]});
        continue;
      }
      const PairRule rule = RuleFor(sequence_.TermOf(met[j]), sequence_.TermOf(candidate));
      if (rule.earlier == Effect::Leaves) outcome.events.push_back(InputEvent{j, true, 0});
      if (rule.earlier == Effect::Drops) outcome.events.push_back(InputEvent{j, false, Without(met[j], rule.letter)});
      if (rule.earlier == Effect::None) outcome.live.push_back(LiveItem{j, 0, met[j]});
      if (rule.candidate != Effect::None) live = false;
      if (rule.candidate == Effect::Leaves) present = false;
      if (rule.candidate == Effect::Drops) candidate = Without(candidate, rule.letter);
      if (rule.earlier != Effect::None || rule.candidate != Effect::None) outcome.changed = true;
    }
    if (live) outcome.live.push_back(LiveItem{kOwn, 0, candidate});
    if (present) outcome.out = sequence_.Leaf(candidate);
    return outcome;
  }

  // Two parts one after the other: the second is met with the live list the first
  // left; what it does to the first's own live elements is done to the first's output.
  Outcome Halves(Part part, const Terms& met) {
    const Ref firstRef = sequence_.First(part);
    const Ref secondRef = sequence_.Second(part);
    const Outcome& first = Pass(firstRef.part, met);
    Terms between;
    between.reserve(first.live.size());
    for (const LiveItem& item : first.live) between.push_back(item.term);
    const Outcome& second = Pass(secondRef.part, between);

    Outcome outcome;
    outcome.changed = first.changed || second.changed;
    outcome.events = first.events;
    Ref firstOut = ElementSequence::Shift(first.out, firstRef.offset);
    for (const InputEvent& event : second.events) {
      const LiveItem& item = first.live[event.input];
      if (item.input != kOwn) {
        outcome.events.push_back(InputEvent{item.input, event.leaves, event.term});
      } else {
        firstOut = sequence_.Replace(firstOut, firstRef.offset + item.position, event.leaves ? nullptr : &event.term);
      }
    }
    outcome.out = sequence_.Join(firstOut, ElementSequence::Shift(second.out, secondRef.offset));
    for (const LiveItem& item : second.live) {
      if (item.input == kOwn) {
        outcome.live.push_back(LiveItem{kOwn, secondRef.offset + item.position, item.term});
        continue;
      }
      const LiveItem& earlier = first.live[item.input];
      outcome.live.push_back(earlier.input == kOwn ? LiveItem{kOwn, firstRef.offset + earlier.position, earlier.term}
                                                   : earlier);
    }
    return outcome;
  }

  ElementSequence& sequence_;
  const char deciding_;
  std::uint64_t workLeft_ = 0;
  std::deque<Outcome, BudgetAllocator<Outcome>> outcomes_;
  struct Same {
    std::uint64_t operator()(std::uint64_t key) const { return key; }
  };
  FlatMap<std::uint64_t, std::uint32_t, Same> memo_;  // the latest outcome under a key
};

}  // namespace

std::optional<Ref> RunSequencePass(ElementSequence& sequence, Ref root, char deciding, bool& changed) {
  SequencePass pass(sequence, deciding);
  return pass.Run(root, changed);
}

}  // namespace lumenark
