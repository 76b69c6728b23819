#pragma once
// The Dimacs command: the document's formula as a CNF in DIMACS, the SAT solvers'
// exchange format, written at the caret. The letters of the formula, in the order A..Z,
// a..z, are the variables 1, 2, ..., each named in a comment line "c 1 = A" (which
// DimacsReader reads back).
//
// Where the CNF stays small (at most kMaxDirectClauses clauses before any are merged or
// dropped), it is the formula's sorted and reduced CNF, as Normal forms > Conjunctive
// computes it: an equivalent formula. Past that, the CNF could be exponentially large,
// and the file is a Tseitin encoding instead: one more variable for each connective,
// defined by clauses to be equivalent to its subformula, and the formula's own
// variable as a clause. That file is satisfiable exactly when the formula is, but not
// equivalent to it, and its first comment line says so.
//
// A long clause continues on the next line (solvers read a clause up to its 0). A stop
// or exhausted memory ends the command as any other; the document's tree is unchanged.
// A file cut short would mislead a solver: what a stop or exhausted memory interrupts
// while the file is written is taken out of the text again, so the DIMACS text in the
// document is whole or absent.

#include <cstdint>
#include <string_view>

#include "formula/FormulaDocument.h"

namespace lumenark {

inline constexpr std::uint64_t kMaxDirectClauses = 10000;
inline constexpr std::string_view kDimacsCnfComment = "c CNF of the formula";
inline constexpr std::string_view kDimacsTseitinComment =
    "c Tseitin encoding: equisatisfiable with the formula, not equivalent to it";

enum class DimacsEncoding { Automatic, Cnf, Tseitin };

// The command writes the encoding that Automatic chooses; the others are for tests.
void WriteDimacs(FormulaDocument& doc, DimacsEncoding encoding = DimacsEncoding::Automatic);

// An upper bound of the clauses of the CNF that distribution makes of the tree (before
// repeated and complementary literals are merged or dropped), at most 2^40.
std::uint64_t CnfClauseBound(const FormulaNode* root);

}  // namespace lumenark
