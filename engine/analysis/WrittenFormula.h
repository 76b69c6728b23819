#pragma once
// A formula as the user wrote it, token by token: every '~' and every bracket stays,
// so that "~~A", "A|~~B" and "A&(B&C)" keep the steps of a derivation that the tree
// would fold away. Brackets are added only where a reader who knows only the usual
// conventions would group differently from the program (FormulaSymbols::everyReading):
// "A>B>C" is "(A>B)>C" and "A|B&C" is "A|(B&C)", while "A&B&C" and "A>B&C" stay as
// they are. The grammar is the parser's (text/Parser.cpp); blanks and line breaks are
// skipped. The reading keeps its own stacks, so any nesting is fine.

#include <functional>
#include <string_view>

#include "analysis/FormulaText.h"

namespace lumenark {

// Calls piece for each piece of the written formula in the given symbols: the
// formula's tokens in order, with the added brackets. Returns false, having called
// piece for nothing, when the text is no formula of the parser's grammar, or when piece
// asked to stop.
bool PrintWrittenFormula(std::string_view text, const FormulaSymbols& symbols,
                         const std::function<bool(std::string_view)>& piece);

}  // namespace lumenark
