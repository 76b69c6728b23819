// Minimisation of a normal form: every pair of elements of the outer chain (clauses of
// a CNF, terms of a DNF) is offered to AbsExt, pass after pass, with a constant
// evaluation after each pass, until a pass changes nothing.
//
// Literal lists ("threads"): while Minimize runs, the variable literals of each element
// that is an operator node are linked in left-to-right order through the literal
// nodes' own left (previous) and right (next) fields, which literals do not otherwise
// use. A single-literal element is not linked. At rest all links are empty.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "formula/FormulaDocument.h"
#include "formula/LetterBits.h"
#include "rewriting/AbsorptionExtension.h"
#include "runtime/BudgetAllocator.h"
#include "runtime/EngineGlobals.h"
#include "runtime/Heartbeat.h"
#include "runtime/StackRoom.h"

namespace lumenark {

// One pass. The candidates are the elements in left-to-right order; each candidate is
// compared with every element to its left, left to right, that element first. Every
// unordered pair is offered once per pass. No candidate is taken after a stop; the
// comparisons of the candidate under way still run.
//
// The pass lists the elements once (the shape of the tree does not change within a
// pass) with each one's first literal, its letters and whether it holds a constant, and
// offers AbsExt only the pairs it can act on; the others it would leave alone:
//   - an element that holds a constant;
//   - two clauses of which each has a letter the other lacks: AbsExt's merge walk
//     finds that both have more, and no rule applies;
//   - two clauses whose common letters are negated in one and not in the other more
//     than once: the walk finds a second complementary pair, and no rule applies. This
//     is known in advance of a regular element, whose literals stand in strictly
//     increasing letter order (each letter once, as a normal form leaves them), from
//     its letters and the set of its negated letters.
// So for a candidate only the earlier elements with the same letters, or with fewer
// letters all among its own, or with more letters including all its own, are compared.
// Elements are grouped by their letters, the distinct sets of letters by their size,
// and the regular elements of a large group also by their negated letters, so that
// these are found without looking at every earlier element: of a large group with
// letters among the candidate's, only the regular elements whose negated letters
// differ from the candidate's there at most once are taken. The rules are applied to
// the same pairs in the same order as when every pair is offered.
//
// An element that receives a constant is left alone by AbsExt for the rest of the pass,
// so it leaves its runs at once: a run skips its departed elements (each points past
// itself, and the pointers are shortened as they are followed), so that the earlier
// partners a candidate is offered are only live ones. A run of N repeated clauses, where
// each one absorbs the one before, then costs N looks instead of N*N/2.
class MinimizePass {
 public:
  explicit MinimizePass(FormulaDocument& document) : doc_(document) {}

  // Runs one pass; returns whether a rule was applied.
  bool Run() {
    outer_ = doc_.Root->symbol;
    changed_ = false;
    ListElements();
    BudgetVector<std::size_t> partners;
    for (std::size_t c = 0; c < elements_.size(); ++c) {
      if (StopRequested) break;
      if (IsConstant(elements_[c].node)) continue;  // a constant is no element
      FindPartners(c, partners);
      for (std::size_t e : partners) {
        if (IsConstant(elements_[e].node) || !MayApply(elements_[e], elements_[c]) ||
            TooManyComplements(elements_[e], elements_[c])) {
          continue;
        }
        Compare(elements_[e], elements_[c]);
        doc_.Platform.ProcessPendingInput();
      }
      doc_.Platform.ProcessPendingInput();
    }
    return changed_;
  }

 private:
  struct ElementRun;
  struct Element {
    FormulaNode* node;
    FormulaNode* firstLiteral;  // nullptr for a clause without variable literals
    std::uint64_t letters;      // one bit per letter 'A'..'Z', 'a'..'z'
    std::uint64_t negated;      // the letters whose literal is negated
    bool holdsConstant;
    bool regular;  // literals in strictly increasing letter order, no negated operator
    ElementRun* runs[2] = {nullptr, nullptr};  // the runs that list it, and its places there
    std::uint32_t places[2] = {0, 0};
  };

  // The letters of an element, left to right; previous is the last literal's letter bit.
  static void AddLetters(const FormulaNode* node, Element& element, std::uint64_t& previous) {
    StackLevel level;
    if (!level.Enter()) return;
    if (!IsLiteral(node)) {
      if (node->negated) element.regular = false;
      AddLetters(node->left, element, previous);
      AddLetters(node->right, element, previous);
      return;
    }
    const std::uint64_t bit = LetterBit(node->symbol);
    if (bit <= previous) element.regular = false;
    previous = bit;
    element.letters |= bit;
    if (node->negated) element.negated |= bit;
  }

  static void Describe(Element& element) {
    element.firstLiteral = nullptr;
    element.holdsConstant = false;
    ScanElm(element.node, element.firstLiteral, element.holdsConstant);
  }

  void ListElements() {
    elements_.clear();
    irregularByLetters_.clear();
    byLetters_.clear();
    byPattern_.clear();
    letterSets_.clear();
    CollectElements(doc_.Root);
    for (std::size_t i = 0; i < elements_.size(); ++i) {
      Element& element = elements_[i];
      if (!MayPair(element)) continue;  // no partner for anyone this pass
      LetterGroup& group = byLetters_[element.letters];
      if (group.elements.Empty()) letterSets_.push_back(element.letters);
      Enter(group.elements, i, 0);
    }
    IndexLetterSets();
    // Only large groups are worth indexing by negated letters; a small one is offered
    // whole and the pairs that cannot apply are passed over one by one.
    for (auto& [letters, group] : byLetters_) {
      if (group.elements.Size() < kIndexedGroup) continue;
      group.byPattern = true;
      for (std::size_t i : group.elements.members) {
        const Element& element = elements_[i];
        if (element.regular) Enter(byPattern_[Pattern{letters, element.negated}], i, 1);
        else Enter(irregularByLetters_[letters], i, 1);
      }
    }
  }

  void Enter(ElementRun& run, std::size_t element, int which) {
    elements_[element].runs[which] = &run;
    elements_[element].places[which] = static_cast<std::uint32_t>(run.members.size());
    run.members.push_back(element);
    run.next.push_back(static_cast<std::uint32_t>(run.members.size()));
  }

  // An element that holds a constant leaves the runs that list it.
  void Depart(Element& element) {
    for (int which = 0; which < 2; ++which) {
      if (element.runs[which] != nullptr) element.runs[which]->Remove(element.places[which]);
      element.runs[which] = nullptr;
    }
  }

  // After a stop the pass takes no candidate, so the list is left unfinished.
  void CollectElements(FormulaNode* node) {
    StackLevel level;
    if (StopRequested || !level.Enter()) return;
    Heartbeat();
    if (!IsLiteral(node) && node->symbol == outer_) {
      CollectElements(node->left);
      CollectElements(node->right);
    } else if (node->symbol != outer_) {
      Element element{node, nullptr, 0, 0, false, true};
      Describe(element);
      std::uint64_t previous = 0;
      AddLetters(node, element, previous);
      elements_.push_back(element);
    }
  }

  // For each letter, the sets of letters (by their place in letterSets_) that hold it,
  // a bit per set.
  void IndexLetterSets() {
    words_ = (letterSets_.size() + 63) / 64;
    usedLetters_ = 0;
    for (const std::uint64_t letters : letterSets_) usedLetters_ |= letters;
    for (std::uint64_t rest = usedLetters_; rest != 0; rest &= rest - 1) {
      holding_[std::countr_zero(rest)].assign(words_, 0);
    }
    for (std::size_t id = 0; id < letterSets_.size(); ++id) {
      for (std::uint64_t rest = letterSets_[id]; rest != 0; rest &= rest - 1) {
        holding_[std::countr_zero(rest)][id / 64] |= std::uint64_t{1} << (id % 64);
      }
    }
    within_.resize(words_);
    around_.resize(words_);
  }

  // The earlier elements whose letters are comparable with the candidate's, in order.
  // The sets of letters among the candidate's hold none of the other letters, and those
  // around them hold all of its letters: both are found 64 sets at a time. Each group
  // lists its elements in order; when only one group contributes (all the minterms of
  // a function have the same letters) its run is in order already, and sorting it again
  // would cost a third of the pass.
  void FindPartners(std::size_t candidate, BudgetVector<std::size_t>& partners) {
    partners.clear();
    const Element& c = elements_[candidate];
    int runs = AddComparable(c.letters, c, candidate, partners);
    std::fill(within_.begin(), within_.end(), ~std::uint64_t{0});
    std::fill(around_.begin(), around_.end(), ~std::uint64_t{0});
    for (std::uint64_t rest = usedLetters_ & ~c.letters; rest != 0; rest &= rest - 1) {
      const BudgetVector<std::uint64_t>& holding = holding_[std::countr_zero(rest)];
      for (std::size_t w = 0; w < words_; ++w) within_[w] &= ~holding[w];
    }
    for (std::uint64_t rest = c.letters; rest != 0; rest &= rest - 1) {
      const BudgetVector<std::uint64_t>& holding = holding_[std::countr_zero(rest)];
      for (std::size_t w = 0; w < words_; ++w) around_[w] &= holding[w];
    }
    for (std::size_t w = 0; w < words_; ++w) {
      for (std::uint64_t sets = within_[w] | around_[w]; sets != 0; sets &= sets - 1) {
        const std::size_t id = w * 64 + static_cast<std::size_t>(std::countr_zero(sets));
        if (id >= letterSets_.size() || letterSets_[id] == c.letters) continue;
        runs += AddComparable(letterSets_[id], c, candidate, partners);
      }
    }
    if (runs > 1) std::sort(partners.begin(), partners.end());
  }

  // Appends the earlier elements with the given letters, the candidate's own or among
  // or around them, that the candidate may pair with: of the regular ones with letters
  // among the candidate's only those whose negated letters differ from the
  // candidate's there at most once. Returns how many runs it appended.
  int AddComparable(std::uint64_t letters, const Element& c, std::size_t candidate,
                    BudgetVector<std::size_t>& partners) {
    const auto found = byLetters_.find(letters);
    if (found == byLetters_.end()) return 0;
    LetterGroup& group = found->second;
    const std::uint32_t first = group.elements.First();
    if (first == group.elements.End() || group.elements.members[first] >= candidate) return 0;  // none earlier
    if (!group.byPattern || !c.regular || (letters & ~c.letters) != 0) {
      return AddRun(group.elements, candidate, partners);
    }
    int runs = AddRun(irregularByLetters_, letters, candidate, partners);
    const std::uint64_t negated = c.negated & letters;
    runs += AddRun(byPattern_, Pattern{letters, negated}, candidate, partners);
    for (std::uint64_t rest = letters; rest != 0; rest &= rest - 1) {
      runs += AddRun(byPattern_, Pattern{letters, negated ^ (rest & (~rest + 1))}, candidate, partners);
    }
    return runs;
  }

  // Appends the live elements of a run that come before the candidate; 1 if there were any.
  static int AddRun(ElementRun& run, std::size_t candidate, BudgetVector<std::size_t>& partners) {
    std::uint32_t place = run.First();
    if (place == run.End() || run.members[place] >= candidate) return 0;
    for (; place != run.End() && run.members[place] < candidate; place = run.After(place)) {
      partners.push_back(run.members[place]);
    }
    return 1;
  }

  template <typename Groups, typename Key>
  static int AddRun(Groups& groups, const Key& key, std::size_t candidate, BudgetVector<std::size_t>& partners) {
    const auto group = groups.find(key);
    return group == groups.end() ? 0 : AddRun(group->second, candidate, partners);
  }

  // Whether the walk would find two complementary pairs in two regular elements.
  static bool TooManyComplements(const Element& a, const Element& b) {
    if (!a.regular || !b.regular) return false;
    return __builtin_popcountll((a.negated ^ b.negated) & a.letters & b.letters) > 1;
  }

  static bool MayPair(const Element& a) { return !a.holdsConstant && a.firstLiteral != nullptr; }
  static bool MayApply(const Element& a, const Element& b) { return MayPair(a) && MayPair(b); }

  void Compare(Element& earlier, Element& candidate) {
    bool changed = false;
    doc_.CompareClauses(earlier.node, candidate.node, earlier.firstLiteral, candidate.firstLiteral, changed, outer_);
    if (changed) {
      changed_ = true;
      Describe(earlier);
      Describe(candidate);
      if (earlier.holdsConstant) Depart(earlier);
      if (candidate.holdsConstant) Depart(candidate);
    }
  }

  static constexpr int kLetters = 52;

  FormulaDocument& doc_;
  char outer_ = 0;  // the outer operator S, read afresh each pass
  bool changed_ = false;
  BudgetVector<Element> elements_;
  struct Pattern {
    std::uint64_t letters;
    std::uint64_t negated;
    bool operator==(const Pattern&) const = default;
  };
  struct PatternHash {
    std::size_t operator()(const Pattern& p) const {
      return std::hash<std::uint64_t>{}(p.letters * 0x9E3779B97F4A7C15u ^ p.negated);
    }
  };

  // Elements in order; next[p] leads to a place at or after p + 1 whose element may
  // still be live (members.size() at the end), and departed places point past themselves.
  struct ElementRun {
    BudgetVector<std::size_t> members;
    BudgetVector<std::uint32_t> next;
    std::uint32_t first = 0;  // the first place that may still be live

    std::uint32_t End() const { return static_cast<std::uint32_t>(members.size()); }
    bool Empty() const { return members.empty(); }
    std::size_t Size() const { return members.size(); }
    std::uint32_t First() { return first = Live(first); }
    std::uint32_t After(std::uint32_t place) { return next[place] = Live(next[place]); }
    void Remove(std::uint32_t place) { departed.resize(members.size()), departed[place] = true; }

    // The first live place at or after place, shortening the pointers on the way.
    std::uint32_t Live(std::uint32_t place) {
      if (departed.empty()) return place;
      std::uint32_t live = place;
      while (live != End() && departed[live]) live = next[live];
      while (place != live) {
        const std::uint32_t following = next[place];
        next[place] = live;
        place = following;
      }
      return live;
    }
    BudgetVector<bool> departed;
  };

  // Each group lists its elements in order.
  struct LetterGroup {
    ElementRun elements;
    bool byPattern = false;  // its elements are indexed by their negated letters too
  };
  static constexpr std::size_t kIndexedGroup = 8;

  template <typename Key, typename Value, typename Hash = std::hash<Key>>
  using BudgetMap = std::unordered_map<Key, Value, Hash, std::equal_to<Key>, BudgetAllocator<std::pair<const Key, Value>>>;
  BudgetMap<std::uint64_t, LetterGroup> byLetters_;
  BudgetMap<std::uint64_t, ElementRun> irregularByLetters_;
  BudgetMap<Pattern, ElementRun, PatternHash> byPattern_;  // regular ones
  BudgetVector<std::uint64_t> letterSets_;         // the distinct sets of letters, in order
  BudgetVector<std::uint64_t> holding_[kLetters];  // per letter: a bit per set that holds it
  std::uint64_t usedLetters_ = 0;                  // the letters of any set
  std::size_t words_ = 0;                          // the words of a bit per set
  BudgetVector<std::uint64_t> within_, around_;    // FindPartners' sets among and around
};

void FormulaDocument::ThreadElement(FormulaNode* element) {
  if (IsLiteral(element)) return;
  FormulaNode* last = nullptr;
  auto link = [&](auto& self, FormulaNode* node) -> void {
    StackLevel level;
    if (!level.Enter()) return;
    if (!IsLiteral(node)) {
      self(self, node->left);
      self(self, node->right);
    } else if (!IsConstant(node)) {
      if (last != nullptr) {
        last->right = node;
        node->left = last;
      }
      last = node;
    }
  };
  link(link, element);
}

// Writes links only, never empties one: the first literal of a list keeps its left,
// the last its right. Minimize empties them with UnThread before each later Thread.
void FormulaDocument::Thread() {
  if (StopRequested) return;
  const char outer = Root->symbol;
  auto chain = [&](auto& self, FormulaNode* node) -> void {
    StackLevel level;
    if (IsLiteral(node) || StopRequested || !level.Enter()) return;
    Heartbeat();
    if (node->symbol == outer) {
      self(self, node->left);
      self(self, node->right);
    } else {
      ThreadElement(node);
    }
  };
  chain(chain, Root);
}

void FormulaDocument::UnThread() {
  // After a stop the tree is discarded, and disposal follows no literal's links: the
  // walk ends there, so that the Stop button gets its answer at once.
  auto clear = [](auto& self, FormulaNode* node) -> void {
    StackLevel level;
    if (StopRequested || !level.Enter()) return;
    Heartbeat();
    if (IsLiteral(node)) {
      node->left = nullptr;
      node->right = nullptr;
    } else {
      self(self, node->left);
      self(self, node->right);
    }
  };
  clear(clear, Root);
}

void FormulaDocument::Minimize() {
  if (Root == nullptr || IsLiteral(Root)) return;
  MinimizePass pass(*this);
  bool changed = true;
  Thread();
  while (changed) {
    changed = pass.Run();
    // After a stop the tree is discarded below. The wind-down a stop leaves to the
    // passes (a constant evaluation and a threading that return at once, one more pass
    // that changes nothing, the clean-up's sort) writes nothing and would only walk the
    // whole tree a few more times before the Stop button gets its answer.
    if (StopRequested) break;
    // Removes the constants the pass produced, and with them the dropped elements and
    // literals. Until UnThread, links may point at the freed literals; nothing follows
    // a link before UnThread has overwritten it.
    ConstEval();
    UnThread();
    Thread();
  }
  if (StopRequested) {
    // Disposal follows no literal's links, so the tree need not be unthreaded first.
    DisposeTree();
    return;
  }
  UnThread();
  if (!IsLiteral(Root)) {
    // The passes may leave the single-literal elements of the outer chain out of order.
    SortElm(Root);
    ReduceElm(Root);
    ConstEval();
  }
  if (StopRequested) {
    DisposeTree();
    return;
  }
  ReportResult("Result - Reduction to minimal NF:");
}

}  // namespace lumenark
