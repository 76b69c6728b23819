// Minimisation of a normal form: every pair of elements of the outer chain (clauses of
// a CNF, terms of a DNF) is offered to AbsExt, pass after pass, with a constant
// evaluation after each pass, until a pass changes nothing.
//
// Literal lists ("threads"): while Minimize runs, the variable literals of each element
// that is an operator node are linked in left-to-right order through the literal
// nodes' own left (previous) and right (next) fields, which literals do not otherwise
// use. A single-literal element is not linked. At rest all links are empty.

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "AbsorptionExtension.h"
#include "EngineGlobals.h"
#include "FormulaDocument.h"
#include "LetterBits.h"

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
//     finds that both have more, and no rule applies.
// So for a candidate only the earlier elements with the same letters, or with fewer
// letters all among its own, or with more letters including all its own, are compared.
// Elements are grouped by their letters and by how many letters they have, so that
// these are found without looking at every earlier element. The rules are applied to
// the same pairs in the same order as when every pair is offered.
class MinimizePass {
 public:
  explicit MinimizePass(FormulaDocument& document) : doc_(document) {}

  // Runs one pass; returns whether a rule was applied.
  bool Run() {
    outer_ = doc_.Root->symbol;
    changed_ = false;
    ListElements();
    std::vector<std::size_t> partners;
    for (std::size_t c = 0; c < elements_.size(); ++c) {
      if (StopRequested) break;
      if (IsConstant(elements_[c].node)) continue;  // a constant is no element
      FindPartners(c, partners);
      for (std::size_t e : partners) {
        if (IsConstant(elements_[e].node) || !MayApply(elements_[e], elements_[c])) continue;
        Compare(elements_[e], elements_[c]);
        doc_.Platform.ProcessPendingInput();
      }
      doc_.Platform.ProcessPendingInput();
    }
    return changed_;
  }

 private:
  struct Element {
    FormulaNode* node;
    FormulaNode* firstLiteral;  // nullptr for a clause without variable literals
    std::uint64_t letters;      // one bit per letter 'A'..'Z', 'a'..'z'
    int letterCount;
    bool holdsConstant;
  };

  static void AddLetters(const FormulaNode* node, std::uint64_t& letters) {
    if (!IsLiteral(node)) {
      AddLetters(node->left, letters);
      AddLetters(node->right, letters);
    } else {
      letters |= LetterBit(node->symbol);
    }
  }

  static void Describe(Element& element) {
    element.firstLiteral = nullptr;
    element.holdsConstant = false;
    ScanElm(element.node, element.firstLiteral, element.holdsConstant);
  }

  void ListElements() {
    elements_.clear();
    byLetters_.clear();
    for (auto& group : byCount_) group.clear();
    CollectElements(doc_.Root);
    for (std::size_t i = 0; i < elements_.size(); ++i) {
      byLetters_[elements_[i].letters].push_back(i);
      byCount_[elements_[i].letterCount].push_back(i);
    }
  }

  void CollectElements(FormulaNode* node) {
    if (!IsLiteral(node) && node->symbol == outer_) {
      CollectElements(node->left);
      CollectElements(node->right);
    } else if (node->symbol != outer_) {
      Element element{node, nullptr, 0, 0, false};
      Describe(element);
      AddLetters(node, element.letters);
      element.letterCount = __builtin_popcountll(element.letters);
      elements_.push_back(element);
    }
  }

  // The earlier elements whose letters are comparable with the candidate's, in order.
  // Every group lists its elements in order, so the runs taken from the groups are
  // merged, not sorted: when all elements have the same letters (the minterms of a
  // function), sorting the one run again cost a third of the pass.
  void FindPartners(std::size_t candidate, std::vector<std::size_t>& partners) {
    partners.clear();
    const Element& c = elements_[candidate];
    for (std::size_t e : byLetters_[c.letters]) {
      if (e >= candidate) break;
      partners.push_back(e);
    }
    for (int count = 0; count <= kLetters; ++count) {
      if (count == c.letterCount) continue;
      const std::size_t runStart = partners.size();
      for (std::size_t e : byCount_[count]) {
        if (e >= candidate) break;
        const std::uint64_t letters = elements_[e].letters;
        if ((letters & ~c.letters) == 0 || (c.letters & ~letters) == 0) partners.push_back(e);
      }
      if (runStart > 0 && runStart < partners.size()) {
        std::inplace_merge(partners.begin(), partners.begin() + static_cast<std::ptrdiff_t>(runStart),
                           partners.end());
      }
    }
  }

  static bool MayApply(const Element& a, const Element& b) {
    return !a.holdsConstant && !b.holdsConstant && a.firstLiteral != nullptr && b.firstLiteral != nullptr;
  }

  void Compare(Element& earlier, Element& candidate) {
    bool changed = false;
    doc_.CompareClauses(earlier.node, candidate.node, earlier.firstLiteral, candidate.firstLiteral, changed, outer_);
    if (changed) {
      changed_ = true;
      Describe(earlier);
      Describe(candidate);
    }
  }

  static constexpr int kLetters = 52;

  FormulaDocument& doc_;
  char outer_ = 0;  // the outer operator S, read afresh each pass
  bool changed_ = false;
  std::vector<Element> elements_;
  std::unordered_map<std::uint64_t, std::vector<std::size_t>> byLetters_;  // in order
  std::vector<std::size_t> byCount_[kLetters + 1];                        // in order
};

void FormulaDocument::ThreadElement(FormulaNode* element) {
  if (IsLiteral(element)) return;
  FormulaNode* last = nullptr;
  auto link = [&](auto& self, FormulaNode* node) -> void {
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
    if (IsLiteral(node)) return;
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
  auto clear = [](auto& self, FormulaNode* node) -> void {
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
    // Removes the constants the pass produced, and with them the dropped elements and
    // literals. Until UnThread, links may point at the freed literals; nothing follows
    // a link before UnThread has overwritten it.
    ConstEval();
    UnThread();
    Thread();
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
