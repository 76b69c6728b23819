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

// Which orders of a live list the rest of a pass treats alike. A candidate is compared
// with the live elements in order until one stops it (a rule that touches the
// candidate): so the order of two live elements matters only where some candidate is
// stopped by both, or stopped by one and touches the other. Every other pair may stand
// either way, and the live list is arranged in the one order of its class that puts the
// first terms (in the sequence's own numbering) first: the order of the pairs that
// matter is kept, and among the elements that may come next the one with the first term
// comes. Lists that differ only in the order of pairs that do not matter then meet the
// parts after them alike, and the parts' outcomes are found again.
//
// The candidates are the sequence's terms at the start of the pass; which pairs matter
// is worked out for all of them at once where they are few, and otherwise lists are
// left in the order they have.
class LiveOrder {
 public:
  // The distinct terms of the sequence from root, and the pairs of them whose order matters.
  void Prepare(const ElementSequence& sequence, Part root) {
    if (!Collect(sequence, root)) {
      terms_.clear();  // no arranging
      return;
    }
    const std::size_t count = terms_.size();
    words_ = (count + 63) / 64;
    matters_.assign(count * words_, 0);
    BudgetVector<PairRule> rules(count);
    std::uint64_t pairs = 0;
    for (std::size_t c = 0; c < count; ++c) {
      for (std::size_t x = 0; x < count; ++x) rules[x] = RuleFor(sequence.TermOf(terms_[x]), sequence.TermOf(terms_[c]));
      for (std::size_t x = 0; x < count; ++x) {
        if (rules[x].earlier == PairRule::Effect::None && rules[x].candidate == PairRule::Effect::None) continue;
        for (std::size_t y = x + 1; y < count; ++y) {
          if (Apart(rules[x], rules[y]) && !Matters(x, y)) {
            Set(x, y);
            ++pairs;
          }
        }
      }
      Heartbeat();
    }
    // Where nearly every pair matters, arranging would cost without finding anything.
    if (pairs * 4 > count * count) terms_.clear();
  }

  // The list in the first order of its class (see above); as it is where the terms are
  // many.
  void Arrange(BudgetVector<LiveItem>& live) {
    if (terms_.empty() || live.size() < 2) return;
    const std::size_t k = live.size();
    BudgetVector<std::uint32_t> local(k), before(k, 0);
    for (std::size_t i = 0; i < k; ++i) local[i] = *index_.Find(live[i].term);
    for (std::size_t i = 0; i < k; ++i) {
      for (std::size_t j = i + 1; j < k; ++j) before[j] += Matters(local[i], local[j]);
    }
    BudgetVector<LiveItem> arranged;
    arranged.reserve(k);
    BudgetVector<char> placed(k, 0);
    for (std::size_t n = 0; n < k; ++n) {
      std::size_t next = k;
      for (std::size_t i = 0; i < k; ++i) {
        if (!placed[i] && before[i] == 0 && (next == k || local[i] < local[next])) next = i;
      }
      placed[next] = 1;
      arranged.push_back(live[next]);
      for (std::size_t j = next + 1; j < k; ++j) before[j] -= Matters(local[next], local[j]);
    }
    live.swap(arranged);
  }

 private:
  static constexpr std::size_t kMostTerms = 256;

  // The distinct terms of the parts below root; false past kMostTerms.
  bool Collect(const ElementSequence& sequence, Part root) {
    FlatMap<Part, char, Same> seen;
    BudgetVector<Part> pending{root};
    while (!pending.empty()) {
      const Part part = pending.back();
      pending.pop_back();
      if (part == ElementSequence::kEmpty || seen.Find(part) != nullptr) continue;
      seen.Insert(part, 1);
      Heartbeat();
      if (!sequence.IsLeaf(part)) {
        pending.push_back(sequence.First(part).part);
        pending.push_back(sequence.Second(part).part);
        continue;
      }
      const TermId term = sequence.TermAt(part);
      if (index_.Find(term) != nullptr) continue;
      if (terms_.size() == kMostTerms) return false;
      index_.Insert(term, static_cast<std::uint32_t>(terms_.size()));
      terms_.push_back(term);
    }
    return true;
  }

  // Whether the order of two live elements matters for a candidate, given their rules
  // with it: where one stops it and the other touches it, or both stop it differently
  // (two that stop it alike, touching nothing themselves, may stand either way: the
  // elements they touch before it keep their order with each).
  static bool Apart(const PairRule& a, const PairRule& b) {
    using Effect = PairRule::Effect;
    const bool aStops = a.candidate != Effect::None, bStops = b.candidate != Effect::None;
    if (!aStops && !bStops) return false;
    if (aStops != bStops) return (aStops ? b : a).earlier != Effect::None;
    return a.earlier != Effect::None || b.earlier != Effect::None || a.candidate != b.candidate || a.letter != b.letter;
  }

  void Set(std::size_t a, std::size_t b) {
    matters_[a * words_ + b / 64] |= std::uint64_t{1} << (b % 64);
    matters_[b * words_ + a / 64] |= std::uint64_t{1} << (a % 64);
  }

  // The relation is symmetric: each pair is entered both ways.
  bool Matters(std::size_t a, std::size_t b) const { return ((matters_[a * words_ + b / 64] >> (b % 64)) & 1) != 0; }

  struct Same {
    std::uint64_t operator()(std::uint64_t key) const { return key; }
  };
  FlatMap<TermId, std::uint32_t, Same> index_;  // a term's number among terms_
  BudgetVector<TermId> terms_;
  BudgetVector<std::uint64_t> matters_;  // per term: the terms its order with matters
  std::size_t words_ = 0;
};

class SequencePass {
 public:
  SequencePass(ElementSequence& sequence, char deciding) : sequence_(sequence), deciding_(deciding) {}

  std::optional<Ref> Run(Ref root, bool& changed) {
    const std::uint64_t elements = sequence_.Elements(root.part);
    workLeft_ = elements > kMostWork / kWorkPerElement ? kMostWork : kWorkPerElement * elements + kWorkAnyway;
    order_.Prepare(sequence_, root.part);
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
    if (units > workLeft_ || !sequence_.TrySpend(kEffortPerUnit * units)) throw TooCostly{};
    workLeft_ -= units;
  }
  struct TooCostly {};
  // A live element carried over costs about four of the sequence's units of effort.
  static constexpr std::uint64_t kEffortPerUnit = 4;
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
    // The second part is met with the live list in the order that stands for every
    // order that the rest of the pass treats alike.
    BudgetVector<LiveItem> firstLive = first.live;
    order_.Arrange(firstLive);
    Terms between;
    between.reserve(firstLive.size());
    for (const LiveItem& item : firstLive) between.push_back(item.term);
    const Outcome& second = Pass(secondRef.part, between);

    Outcome outcome;
    outcome.changed = first.changed || second.changed;
    outcome.events = first.events;
    Ref firstOut = ElementSequence::Shift(first.out, firstRef.offset);
    for (const InputEvent& event : second.events) {
      const LiveItem& item = firstLive[event.input];
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
      const LiveItem& earlier = firstLive[item.input];
      outcome.live.push_back(earlier.input == kOwn ? LiveItem{kOwn, firstRef.offset + earlier.position, earlier.term}
                                                   : earlier);
    }
    return outcome;
  }

  ElementSequence& sequence_;
  const char deciding_;
  LiveOrder order_;
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
