// Minimisation of a normal form: every pair of elements of the outer chain (clauses of
// a CNF, terms of a DNF) is offered to AbsExt, pass after pass, with a constant
// evaluation after each pass, until a pass changes nothing.
//
// Literal lists ("threads"): while Minimize runs, the variable literals of each element
// that is an operator node are linked in left-to-right order through the literal
// nodes' own left (previous) and right (next) fields, which literals do not otherwise
// use. A single-literal element is not linked. At rest all links are empty.

#include "EngineGlobals.h"
#include "FormulaDocument.h"

namespace lumenark {

// The pair order of one pass: the candidates are the elements in left-to-right order
// (ChooseElm); each candidate is compared with every element to its left, left to
// right, that element first (PairElm). Every unordered pair is offered once per pass.
class MinimizePass {
 public:
  explicit MinimizePass(FormulaDocument& document) : doc_(document) {}

  // Runs one pass; returns whether AbsExt applied a rule.
  bool Run() {
    outer_ = doc_.Root->symbol;
    changed_ = false;
    candidate_ = nullptr;
    ChooseElm(doc_.Root);
    return changed_;
  }

 private:
  bool IsChainNode(const FormulaNode* node) const { return !IsLiteral(node) && node->symbol == outer_; }
  bool IsElement(const FormulaNode* node) const { return node->symbol != outer_ && !IsConstant(node); }

  void ChooseElm(Slot slot) {
    if (StopRequested) return;
    if (IsChainNode(slot)) {
      ChooseElm(slot->left);
      ChooseElm(slot->right);
    }
    if (IsElement(slot)) {
      candidate_ = slot;
      candidateReached_ = false;
      PairElm(doc_.Root);
    }
  }

  // Once the walk has reached the candidate, the elements after it are not paired with
  // it in this walk (each is paired later, as a candidate), so the walk ends there.
  void PairElm(Slot slot) {
    if (candidateReached_) return;
    if (IsChainNode(slot)) {
      PairElm(slot->left);
      PairElm(slot->right);
    }
    if (candidateReached_ || !IsElement(slot)) return;
    if (slot == candidate_) {
      candidate_ = nullptr;
      candidateReached_ = true;
      return;
    }
    doc_.AbsExt(slot, candidate_, changed_, outer_);
    doc_.Platform.ProcessPendingInput();
  }

  FormulaDocument& doc_;
  char outer_ = 0;                     // the outer operator S, read afresh each pass
  bool changed_ = false;
  FormulaNode* candidate_ = nullptr;   // the element compared with those before it
  bool candidateReached_ = false;
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
