#pragma once
// Assignments of the letters, as sets of the letters that are true (formula/LetterBits.h):
// a tree's value under an assignment, and the assignment written
// as "A=0 B=1 ..." over some letters in the order A..Z, a..z. None of them recurses, so
// trees of any depth are fine.

#include <cstdint>
#include <string_view>

#include "formula/FormulaDocument.h"
#include "formula/TreeOperations.h"  // LettersOfTree, the letters of a tree

namespace lumenark {


// The tree's value when exactly the letters in trueLetters are true.
bool ValueUnder(const FormulaNode* root, std::uint64_t trueLetters);

// Writes the heading, then "A=0 B=1 ..." for the letters; where a line is full, the next
// "X=v" starts the next line. Then ends the line.
void WriteAssignment(FormulaDocument& doc, std::string_view heading, std::uint64_t letters, std::uint64_t trueLetters);

}  // namespace lumenark
