// Absorption and extension between two clauses of a normal form. Nothing is removed
// here: the rule turns one or two literals into constants so that the following
// constant evaluation removes the clause or literal that is to go.
//
// With top operator T ('&' for CNF, '|' for DNF) the removing constant E makes a whole
// clause vanish from T's chain, the dropping constant D a single literal from its clause:
//   E = '1', D = '0' under '&';   E = '0', D = '1' under '|'.

#include "rewriting/AbsorptionExtension.h"

#include "formula/FormulaDocument.h"
#include "runtime/EngineGlobals.h"
#include "runtime/StackRoom.h"

namespace lumenark {

void ScanElm(FormulaNode* node, FormulaNode*& firstLiteral, bool& holdsConstant) {
  StackLevel level;
  if (!level.Enter()) return;
  if (!IsLiteral(node)) {
    ScanElm(node->left, firstLiteral, holdsConstant);
    ScanElm(node->right, firstLiteral, holdsConstant);
  } else if (IsConstant(node)) {
    holdsConstant = true;
  } else if (firstLiteral == nullptr) {
    firstLiteral = node;
  }
}

namespace {

unsigned char Key(const FormulaNode* literal) { return static_cast<unsigned char>(literal->symbol); }

void MakeConstant(FormulaNode* literal, char constant) {
  literal->symbol = constant;
  literal->negated = 0;
}

}  // namespace

void FormulaDocument::AbsExt(Slot first, Slot second, bool& changed, char top) {
  FormulaNode* firstA = nullptr;
  FormulaNode* firstB = nullptr;
  bool holdsConstant = false;
  ScanElm(first, firstA, holdsConstant);
  if (!holdsConstant) ScanElm(second, firstB, holdsConstant);
  if (firstA == nullptr || firstB == nullptr || holdsConstant) return;
  CompareClauses(first, second, firstA, firstB, changed, top);
}

// The rest of AbsExt, for two clauses without constants whose first literals are known.
void FormulaDocument::CompareClauses(FormulaNode* first, FormulaNode* second, FormulaNode* firstA,
                                     FormulaNode* firstB, bool& changed, char top) {
  // Merge walk over the two sorted literal lists (linked through right).
  FormulaNode* a = firstA;
  FormulaNode* b = firstB;
  bool firstHasMore = false;
  bool secondHasMore = false;
  FormulaNode* pairA = nullptr;  // the complementary pair, if one was found
  FormulaNode* pairB = nullptr;
  bool atMostOnePair = true;
  do {
    if ((a != nullptr && b != nullptr && Key(a) > Key(b)) || (a == nullptr && b != nullptr)) {
      secondHasMore = true;
      b = b->right;
    }
    if ((a != nullptr && b != nullptr && Key(a) < Key(b)) || (a != nullptr && b == nullptr)) {
      firstHasMore = true;
      a = a->right;
    }
    if (a != nullptr && b != nullptr && Key(a) == Key(b) && a->negated != b->negated) {
      if (pairA != nullptr) {
        atMostOnePair = false;
      } else {
        pairA = a;
        pairB = b;
      }
    }
    if (a != nullptr && b != nullptr && Key(a) == Key(b)) {
      a = a->right;
      b = b->right;
    }
  } while (atMostOnePair && (a != nullptr || b != nullptr));

  if ((firstHasMore && secondHasMore) || !atMostOnePair) return;

  const char removing = top == '&' ? '1' : '0';
  const char dropping = top == '&' ? '0' : '1';
  const bool pair = pairA != nullptr;
  const char* comment;
  if (!firstHasMore && !secondHasMore) {
    MakeConstant(firstA, removing);
    if (pair) MakeConstant(pairB, dropping);
    comment = pair ? "Extension:" : "Total absorption:";
  } else if (firstHasMore) {
    if (pair) MakeConstant(pairA, dropping);
    else MakeConstant(firstA, removing);
    comment = pair ? "Absorption of negation:" : "Absorption:";
  } else {
    if (pair) MakeConstant(pairB, dropping);
    else MakeConstant(firstB, removing);
    comment = pair ? "Absorption of negation:" : "Absorption:";
  }
  ReportRule(comment);
  // Re-linking the whole tree would write the same links into every element that did
  // not change; only the two compared elements can have changed.
  if (!StopRequested) {
    ThreadElement(first);
    ThreadElement(second);
  }
  changed = true;
}

}  // namespace lumenark
