#pragma once
// A minimum form of a function, found and proved: the prime implicants of the 1s it
// covers (the function's own 1s for a DNF, its 0s for a CNF), the chart of minterms
// against primes, and the cheapest cover of the chart (CoverSearch.h): the fewest terms,
// then the fewest literals, then the terms that come first in the term order (Cube.h).

#include <cstdint>
#include <span>
#include <string>

#include "minimum/BooleanFunction.h"
#include "minimum/CoverSearch.h"
#include "minimum/Cube.h"
#include "runtime/BudgetAllocator.h"
#include "runtime/Host.h"

namespace lumenark {

// The limit on the cover search's work for the minimum commands (CoverSearch.h); the
// tests lower it to see the search give up.
extern std::uint64_t MinimumSearchEffort;

struct MinimumForm {
  BooleanFunction covered;                // whose 1s the terms cover
  CubeReading reading = CubeReading::Term;
  BudgetVector<std::uint32_t> minterms;   // the chart's rows: the 1s of covered, ascending
  BudgetVector<Cube> primes;              // the chart's columns, in the term order
  CoverChart chart;
  CoverOutcome outcome = CoverOutcome::Stopped;
  BudgetVector<std::int32_t> cover;       // the primes of the minimum, ascending; when proved
  std::uint64_t bestTerms = 0;            // when the search gave up: the best found, and the
  std::uint64_t fewestTerms = 0;          // fewest terms any form has, proved (CoverAnswer)
};

// The primes and the chart; the search is left to Search. Nothing when stopped.
bool PrepareMinimumForm(MinimumForm& form);
// The cover search on a prepared form: sets outcome and cover.
void SearchMinimumForm(MinimumForm& form, Host& host);

// The minimum DNF of f (reading Term), or the minimum CNF of f (reading Clause: the
// primes of f's negation, read as clauses).
MinimumForm FindMinimumForm(const BooleanFunction& f, CubeReading reading, Host& host);

// The formula of the given primes as the printer prints it: a DNF of terms, or a CNF of
// clauses; with none, the constant 0 (DNF) or 1 (CNF).
std::string FormulaOfPrimes(const MinimumForm& form, std::span<const std::int32_t> primes);

// The minterms of the cube, ascending, one call each.
template <typename Visit>
void ForEachMinterm(const Cube& cube, int count, Visit&& visit) {
  const std::uint32_t free = ~cube.care & ((std::uint32_t{1} << count) - 1);
  std::uint32_t s = 0;
  do {
    visit(cube.value | s);
    s = (s - free) & free;
  } while (s != 0);
}

}  // namespace lumenark
