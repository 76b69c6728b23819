// Decision: the minimal DNF of the formula, and the verdict read from it.

#include "EngineGlobals.h"
#include "FormulaDocument.h"

namespace lumenark {

void FormulaDocument::Decision() {
  if (Root == nullptr) return;
  ToDNF();
  Minimize();
  if (StopRequested || Root == nullptr) return;
  if (IsConstant(Root)) {
    // A negated constant counts with the opposite value.
    const bool value = (Root->symbol == '1') != (Root->negated != 0);
    InsertString(value ? "This formula is valid." : "This formula is not consistent.");
    InsertLine();
    return;
  }
  InsertString("This formula is consistent.Its models can be expressed as DNF:");
  InsertLine();
  XDecomp();
}

}  // namespace lumenark
