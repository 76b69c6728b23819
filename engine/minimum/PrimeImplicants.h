#pragma once
// The prime implicants of a function: the cubes of its 1s that no larger cube of its 1s
// contains. A minimum DNF is made of them (a term of it that is not prime could lose a
// literal), and so, read as clauses, are the prime implicants of the negation for a
// minimum CNF.
//
// They come from the truth table by splitting on one variable at a time (the expansion
// theorem for primes): with f0 and f1 the halves where the variable v is 0 and 1,
//
//   primes(f) = primes(f0 & f1)                                (v free)
//             + v=0 and p, for p in primes(f0) not inside f1
//             + v=1 and p, for p in primes(f1) not inside f0.
//
// A half that is all 0s or all 1s ends its branch at once, and a half inside the other
// spares one of the three; tables of up to 64 minterms are tabulated within one machine
// word. So a function with few large primes (a disjunction of letters) costs little,
// and a random one at most 3^n bit operations.

#include "minimum/BooleanFunction.h"
#include "minimum/Cube.h"
#include "runtime/BudgetAllocator.h"

namespace lumenark {

// The primes, in no particular order. Stops early, with what it has, when StopRequested
// is set; the caller checks it.
BudgetVector<Cube> PrimeImplicants(const BooleanFunction& f);

}  // namespace lumenark
