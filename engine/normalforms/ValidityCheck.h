#pragma once
// Whether a disjunctive normal form is true under every assignment. Minimisation
// compares its clauses two at a time, and that does not bring every valid DNF down to
// the constant 1: three pigeons in two holes, ~((A|B)&(C|D)&(E|F)&~(A&C)&..&~(D&F)),
// is valid, yet no two clauses of its DNF absorb or merge. The check searches for an
// assignment that makes every clause false, letter by letter with unit propagation;
// the DNF is valid when there is none. No truth table is built.

#include "formula/FormulaNode.h"
#include "runtime/Host.h"

namespace lumenark {

enum class Validity { Valid, NotValid, Stopped };

// root: a DNF whose clauses are conjunctions of variable literals (no constants).
// Pending input is processed now and then; StopRequested ends the search (Stopped).
Validity CheckDnfValidity(const FormulaNode* root, Host& host);

}  // namespace lumenark
