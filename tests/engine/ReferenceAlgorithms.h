#pragma once
// Word-for-word versions of the algorithms that the engine runs in a faster way: the
// bubble sort of a chain's literals, the normal-form worker that revisits every
// sub-chain and re-evaluates every operand, and the minimisation that walks the tree
// for every pair and re-links the whole tree after every rule. The engine must give
// the same trees and write the same text. And the recursive versions of the workers
// that keep a stack of their own (the printer, the copy, the connective conversions, the
// constant evaluation, the parser), which must give the same trees, the same text and
// the same calls of pending-input processing, stop or not.

#include <cstdint>
#include <string>

#include "formula/FormulaDocument.h"

namespace lumenark::testing {

void ReferenceSortElm(FormulaDocument& doc, Slot slot);
void ReferenceToNormalForm(FormulaDocument& doc, char outer);  // ToCNF ('&') or ToDNF ('|')
void ReferenceMinimize(FormulaDocument& doc);

void ReferenceXDecomp(FormulaDocument& doc);
bool ReferenceRCopyTree(Slot source, Slot target);
void ReferenceRToImp(FormulaDocument& doc, Slot slot);
void ReferenceRToDis(FormulaDocument& doc, Slot slot);
void ReferenceRToCon(FormulaDocument& doc, Slot slot);
void ReferenceRToConDis(FormulaDocument& doc, Slot slot);
void ReferenceRConstEval(FormulaDocument& doc, Slot slot);

// The recursive descent over text: the tree (nullptr on an error), the error code and the
// characters consumed, as the parser reports them.
struct ReferenceParse {
  FormulaNode* tree = nullptr;
  std::uint8_t error = 0;
  std::size_t position = 0;
};
ReferenceParse ReferenceCompile(const std::string& text);

}  // namespace lumenark::testing
