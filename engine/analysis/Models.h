#pragma once
// Model and countermodel: the first assignment, in the truth table's row order, that
// makes the formula true (a model) or false (a countermodel), written at the caret as one
// line "Model: A=0 B=1 ..." (or "Countermodel: ...") over the formula's letters in the
// order A..Z, a..z, so that the two can be told apart in the text. Without one, the line
// is "This formula is not consistent." (no model) or "This formula is valid." (no
// countermodel). A formula without letters has the empty assignment as its only row:
// its model or countermodel is the label alone.
//
// The SAT solver finds the first assignment letter by letter: with the letters before it
// fixed, a letter is 0 where some assignment with it 0 still satisfies the formula, else
// 1. The last model found answers for a letter it already gives 0, so at most one search
// per letter is made. A stop or exhausted memory ends it without output; the tree is
// unchanged.

#include "formula/FormulaDocument.h"

namespace lumenark {

enum class ModelKind { Model, Countermodel };

inline constexpr const char* kModelLabel = "Model:";
inline constexpr const char* kCountermodelLabel = "Countermodel:";

void WriteModel(FormulaDocument& doc, ModelKind kind);

}  // namespace lumenark
