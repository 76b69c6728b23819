#include "minimum/MinimumForm.h"

#include <algorithm>

#include "minimum/PrimeImplicants.h"
#include "runtime/EngineGlobals.h"
#include "runtime/Heartbeat.h"

namespace lumenark {

std::uint64_t MinimumSearchEffort = kDefaultCoverEffort;

bool PrepareMinimumForm(MinimumForm& form) {
  const BooleanFunction& f = form.covered;
  form.minterms = f.Ones();
  form.primes = PrimeImplicants(f);
  if (StopRequested) return false;
  std::sort(form.primes.begin(), form.primes.end(),
            [&](const Cube& a, const Cube& b) { return TermBefore(a, b, f, form.reading); });
  // The chart row by row: each minterm with the primes that cover it, ascending.
  BudgetVector<std::int32_t> rowOf(f.Minterms(), -1);
  for (std::size_t r = 0; r < form.minterms.size(); ++r) rowOf[form.minterms[r]] = static_cast<std::int32_t>(r);
  CoverChart& chart = form.chart;
  chart.rows = static_cast<std::uint32_t>(form.minterms.size());
  chart.rowStart.assign(chart.rows + 1, 0);
  chart.literals.resize(form.primes.size());
  for (std::size_t j = 0; j < form.primes.size(); ++j) {
    chart.literals[j] = static_cast<std::uint32_t>(form.primes[j].Literals());
    ForEachMinterm(form.primes[j], f.count, [&](std::uint32_t m) {
      Heartbeat();
      ++chart.rowStart[rowOf[m] + 1];
    });
    if (StopRequested) return false;
  }
  for (std::size_t r = 0; r < chart.rows; ++r) chart.rowStart[r + 1] += chart.rowStart[r];
  chart.columns.resize(chart.rowStart.back());
  BudgetVector<std::uint32_t> fill(chart.rowStart.begin(), chart.rowStart.end() - 1);
  for (std::size_t j = 0; j < form.primes.size(); ++j) {
    ForEachMinterm(form.primes[j], f.count, [&](std::uint32_t m) {
      Heartbeat();
      chart.columns[fill[rowOf[m]]++] = static_cast<std::int32_t>(j);
    });
    if (StopRequested) return false;
  }
  return true;
}

void SearchMinimumForm(MinimumForm& form, Host& host) {
  CoverAnswer answer = MinimumCover(form.chart, host, MinimumSearchEffort);
  form.outcome = answer.outcome;
  form.cover = std::move(answer.columns);
  form.bestTerms = answer.bestTerms;
  form.fewestTerms = answer.fewestTerms;
}

std::string FormulaOfPrimes(const MinimumForm& form, std::span<const std::int32_t> primes) {
  const bool dnf = form.reading == CubeReading::Term;
  if (primes.empty()) return dnf ? "0" : "1";
  std::string text;
  for (const std::int32_t j : primes) {
    if (!text.empty()) text += dnf ? '|' : '&';
    const std::string clause = CubeFormula(form.primes[j], form.covered, form.reading);
    // A clause of several literals is parenthesised under the conjunction.
    const bool parenthesised = !dnf && primes.size() > 1 && form.primes[j].Literals() > 1;
    text += parenthesised ? "(" + clause + ")" : clause;
  }
  return text;
}

MinimumForm FindMinimumForm(const BooleanFunction& f, CubeReading reading, Host& host) {
  MinimumForm form;
  form.covered = reading == CubeReading::Term ? BooleanFunction{f.letters, f.count, f.table} : f.Complement();
  form.reading = reading;
  if (PrepareMinimumForm(form)) SearchMinimumForm(form, host);
  return form;
}

}  // namespace lumenark
