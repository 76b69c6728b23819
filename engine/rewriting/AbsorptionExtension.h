#pragma once
// Absorption and extension between two clauses of a normal form: the step that
// minimisation offers every pair of clauses to. AbsExt itself is a FormulaDocument
// method; this header adds the clause scan that minimisation shares with it.

#include "formula/FormulaNode.h"

namespace lumenark {

// ScanElm: walks a clause in pre-order, descending into every operator node; records
// the first variable literal in firstLiteral (if none is recorded yet) and sets
// holdsConstant at a constant.
void ScanElm(FormulaNode* node, FormulaNode*& firstLiteral, bool& holdsConstant);

}  // namespace lumenark
