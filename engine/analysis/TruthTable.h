#pragma once
// The truth table of the document's tree, written at the caret.
//
// Columns: the formula's letters in the order A..Z, a..z, then the formula's value; at
// Details 0 and 1 (and up to kMaxSubformulaColumns operators) also a column for each
// compound subformula, operands before the operators that use them, as textbooks show how
// the value is built. A column is headed by its formula as the printer prints it, or by a
// number "(k)" when that is longer than half the line; the numbered formulas are listed
// before the table. A value stands under the main operator of its heading (under '~' for
// a negated subformula). Rows count from all 0 to all 1, the first letter the most
// significant. A table wider than the line continues each row on further lines, broken
// at the same columns as the heading.
//
// The table stops as any output stops (Stop, the memory budget, the text's capacity),
// between rows. The tree is unchanged.

#include <cstdint>

#include "formula/FormulaDocument.h"
#include "formula/TreeOperations.h"  // LettersOfTree

namespace lumenark {

inline constexpr int kMaxSubformulaColumns = 60;

void WriteTruthTable(FormulaDocument& doc);

}  // namespace lumenark
