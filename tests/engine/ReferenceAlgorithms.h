#pragma once
// Word-for-word versions of the algorithms that the engine runs in a faster way: the
// bubble sort of a chain's literals, the normal-form worker that revisits every
// sub-chain and re-evaluates every operand, and the minimisation that walks the tree
// for every pair and re-links the whole tree after every rule. The engine must give
// the same trees and write the same text.

#include "formula/FormulaDocument.h"

namespace lumenark::testing {

void ReferenceSortElm(FormulaDocument& doc, Slot slot);
void ReferenceToNormalForm(FormulaDocument& doc, char outer);  // ToCNF ('&') or ToDNF ('|')
void ReferenceMinimize(FormulaDocument& doc);

}  // namespace lumenark::testing
