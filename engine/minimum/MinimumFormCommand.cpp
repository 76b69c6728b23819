#include "minimum/MinimumFormCommand.h"

#include <bit>
#include <string>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "formula/BackgroundDisposal.h"
#include "formula/NodeAllocator.h"
#include "formula/TreeOperations.h"
#include "minimum/MinimumForm.h"
#include "minimum/ReportLines.h"
#include "runtime/EngineGlobals.h"

namespace lumenark {
namespace {

// Longer lists are given as counts, larger charts by their size.
constexpr std::size_t kMostListed = 256;
constexpr std::size_t kMostChartColumns = 64;
constexpr std::size_t kMostChartRows = 64;

struct Words {
  const char* minterms;
  const char* primes;
  const char* essential;
  const char* left;
  const char* term;
  const char* terms;
  const char* result;
  const char* covered;
};
constexpr Words kTermWords{"Minterms:", "Prime implicants:", "Essential prime implicants:", "Minterms left:", "term",
                           "terms", "Result - Minimum DNF:",
                           "The essential prime implicants cover every minterm."};
constexpr Words kClauseWords{"Maxterms:", "Prime implicates:", "Essential prime implicates:", "Maxterms left:",
                             "clause", "clauses", "Result - Minimum CNF:",
                             "The essential prime implicates cover every maxterm."};

const Words& WordsOf(const MinimumForm& form) { return form.reading == CubeReading::Term ? kTermWords : kClauseWords; }

std::string Label(std::int32_t prime) { return "P" + std::to_string(prime + 1); }

BudgetVector<std::string> Numbers(const BudgetVector<std::uint32_t>& minterms) {
  BudgetVector<std::string> numbers;
  for (const std::uint32_t m : minterms) numbers.push_back(std::to_string(m));
  return numbers;
}

// A list of numbers or labels, or its count when it is long.
void WriteList(FormulaDocument& doc, const char* heading, const BudgetVector<std::string>& words) {
  if (words.empty()) WriteTextLine(doc, std::string(heading) + " none");
  else if (words.size() > kMostListed) WriteTextLine(doc, std::string(heading) + " " + std::to_string(words.size()) + " (not listed)");
  else WriteWordList(doc, heading, words);
}

// The primes that are the only ones to cover some minterm.
BudgetVector<std::int32_t> EssentialPrimes(const MinimumForm& form) {
  BudgetVector<char> essential(form.primes.size(), 0);
  const CoverChart& chart = form.chart;
  for (std::uint32_t r = 0; r < chart.rows; ++r) {
    if (chart.rowStart[r + 1] - chart.rowStart[r] == 1) essential[chart.columns[chart.rowStart[r]]] = 1;
  }
  BudgetVector<std::int32_t> primes;
  for (std::size_t j = 0; j < essential.size(); ++j) {
    if (essential[j]) primes.push_back(static_cast<std::int32_t>(j));
  }
  return primes;
}

// The chart of the rows the essential primes leave, against the primes that cover one
// of them: a column per minterm, an x where the prime covers it. Columns that would pass
// the line go on in a further block.
void WriteChart(FormulaDocument& doc, const MinimumForm& form, const BudgetVector<std::uint32_t>& rows,
                const BudgetVector<std::int32_t>& primes) {
  BudgetVector<std::string> numbers;
  for (const std::uint32_t r : rows) numbers.push_back(std::to_string(form.minterms[r]));
  std::size_t labelWidth = 0;
  for (const std::int32_t j : primes) labelWidth = std::max(labelWidth, Label(j).size());
  auto covers = [&](std::int32_t j, std::uint32_t r) {
    for (std::uint32_t k = form.chart.rowStart[r]; k < form.chart.rowStart[r + 1]; ++k) {
      if (form.chart.columns[k] == j) return true;
    }
    return false;
  };
  WriteTextLine(doc, "Chart:");
  const std::size_t width = static_cast<std::size_t>(doc.LineWidth - 1);
  for (std::size_t first = 0; first < rows.size();) {
    std::size_t end = first, length = labelWidth;
    while (end < rows.size() && (end == first || length + 1 + numbers[end].size() <= width)) length += 1 + numbers[end++].size();
    std::string heading(labelWidth, ' ');
    for (std::size_t c = first; c < end; ++c) heading += " " + numbers[c];
    WriteTextLine(doc, heading);
    for (const std::int32_t j : primes) {
      std::string line = Label(j);
      line.resize(labelWidth, ' ');
      for (std::size_t c = first; c < end; ++c) {
        line += std::string(numbers[c].size(), ' ') + (covers(j, rows[c]) ? 'x' : ' ');
      }
      while (!line.empty() && line.back() == ' ') line.pop_back();
      WriteTextLine(doc, line);
    }
    first = end;
  }
}

// Details 0 and 1: the minterms, the primes, the essential ones and the chart they leave.
void WriteSteps(FormulaDocument& doc, const MinimumForm& form) {
  const Words& words = WordsOf(form);
  WriteList(doc, words.minterms, Numbers(form.minterms));
  if (form.primes.size() > kMostListed) {
    WriteTextLine(doc, std::string(words.primes) + " " + std::to_string(form.primes.size()) + " (not listed)");
  } else {
    WriteTextLine(doc, words.primes);
    for (std::size_t j = 0; j < form.primes.size() && !StopRequested; ++j) {
      doc.InsertString(Label(static_cast<std::int32_t>(j)) + " " + CubeNotation(form.primes[j], form.covered) + ":");
      WriteFormulaText(doc, CubeFormula(form.primes[j], form.covered, form.reading));
    }
  }
  const BudgetVector<std::int32_t> essential = EssentialPrimes(form);
  if (form.primes.size() > kMostListed && !essential.empty()) {
    // Their labels would name primes that are not listed.
    WriteTextLine(doc, std::string(words.essential) + " " + std::to_string(essential.size()) + " (not listed)");
  } else {
    BudgetVector<std::string> labels;
    for (const std::int32_t j : essential) labels.push_back(Label(j));
    WriteList(doc, words.essential, labels);
  }
  // What the essential primes leave, and the primes that cover some of it.
  BudgetVector<char> taken(form.primes.size(), 0), useful(form.primes.size(), 0);
  for (const std::int32_t j : essential) taken[j] = 1;
  BudgetVector<std::uint32_t> rows;
  BudgetVector<std::uint32_t> leftMinterms;
  for (std::uint32_t r = 0; r < form.chart.rows; ++r) {
    bool covered = false;
    for (std::uint32_t k = form.chart.rowStart[r]; k < form.chart.rowStart[r + 1]; ++k) covered = covered || taken[form.chart.columns[k]];
    if (covered) continue;
    rows.push_back(r);
    leftMinterms.push_back(form.minterms[r]);
    for (std::uint32_t k = form.chart.rowStart[r]; k < form.chart.rowStart[r + 1]; ++k) useful[form.chart.columns[k]] = 1;
  }
  if (rows.empty()) {
    if (!form.minterms.empty()) WriteTextLine(doc, words.covered);
    return;
  }
  WriteList(doc, words.left, Numbers(leftMinterms));
  BudgetVector<std::int32_t> primes;
  for (std::size_t j = 0; j < useful.size(); ++j) {
    if (useful[j]) primes.push_back(static_cast<std::int32_t>(j));
  }
  if (rows.size() <= kMostChartColumns && primes.size() <= kMostChartRows && form.primes.size() <= kMostListed) {
    WriteChart(doc, form, rows, primes);
  } else {
    WriteTextLine(doc, "Chart: " + std::to_string(primes.size()) + " rows, " + std::to_string(rows.size()) + " columns (not shown)");
  }
}

void WriteCover(FormulaDocument& doc, const MinimumForm& form) {
  const Words& words = WordsOf(form);
  int literals = 0;
  for (const std::int32_t j : form.cover) literals += form.primes[j].Literals();
  const std::size_t terms = form.cover.size();
  const std::string size = std::to_string(terms) + " " + (terms == 1 ? words.term : words.terms) + ", " +
                           std::to_string(literals) + (literals == 1 ? " literal" : " literals");
  BudgetVector<std::string> labels;
  if (form.primes.size() <= kMostListed) {
    for (const std::int32_t j : form.cover) labels.push_back(Label(j));
  }
  labels.push_back("(" + size + ")");
  WriteWordList(doc, "Minimum cover:", labels);
}

// The steps' lists and the search's matrices are freed as they go, and the memory
// manager keeps what they held; the tree's nodes come from chunks of their own. So that
// the process stays within the budget it counts, that memory goes back to the system
// before the next stage takes its own. (glibc's malloc_trim; other libraries' managers
// hand freed memory back themselves or, in WebAssembly, never.)
void GiveBackFreedMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

// ---- The result tree ---------------------------------------------------------------------
FormulaNode* NewNode(char symbol, std::uint8_t kind, bool negated, FormulaNode* left, FormulaNode* right) {
  FormulaNode* node = AllocateNode();
  if (node != nullptr) *node = FormulaNode{symbol, kind, static_cast<std::uint8_t>(negated ? 1 : 0), left, right};
  return node;
}

// Joins built into a left-nested chain with op; a failed allocation frees what was built.
bool Join(FormulaNode*& chain, FormulaNode* next, char op) {
  if (next == nullptr) return false;
  if (chain == nullptr) {
    chain = next;
    return true;
  }
  FormulaNode* joined = NewNode(op, KindOfOperator(op), false, chain, next);
  if (joined == nullptr) {
    DisposeSubtree(next);
    return false;
  }
  chain = joined;
  return true;
}

// The minimum form as the tree the printer prints as FormulaOfPrimes: terms (clauses)
// in the term order, literals in letter order, chains nested to the left as the parser
// builds them. Nothing when memory ran out.
FormulaNode* BuildTree(const MinimumForm& form) {
  const bool dnf = form.reading == CubeReading::Term;
  const BooleanFunction& f = form.covered;
  FormulaNode* tree = nullptr;
  auto fail = [&] {
    if (tree != nullptr) DisposeSubtree(tree);
    return nullptr;
  };
  if (form.cover.empty()) return NewNode(dnf ? '0' : '1', nkLiteral, false, nullptr, nullptr);
  for (const std::int32_t j : form.cover) {
    FormulaNode* term = nullptr;
    for (int i = 0; i < f.count; ++i) {
      const int key = LiteralKey(form.primes[j], f, i, form.reading);
      if (key == 2) continue;
      if (!Join(term, NewNode(f.Letter(i), nkLiteral, key == 1, nullptr, nullptr), dnf ? '&' : '|')) {
        if (term != nullptr) DisposeSubtree(term);
        return fail();
      }
    }
    if (term == nullptr) term = NewNode(dnf ? '1' : '0', nkLiteral, false, nullptr, nullptr);
    if (!Join(tree, term, dnf ? '|' : '&')) return fail();
  }
  return tree;
}

}  // namespace

std::string MinimumNotProvedMessage(MinimumKind kind, std::uint64_t bestTerms, std::uint64_t fewestTerms) {
  const bool dnf = kind == MinimumKind::DNF;
  const std::string terms = dnf ? " terms" : " clauses";
  const std::string form = dnf ? "DNF" : "CNF";
  std::string message = "No minimum form could be proved in reasonable time: ";
  if (bestTerms == fewestTerms) {
    message += "the fewest" + terms + " are " + std::to_string(fewestTerms) + ", but not which of those " + form +
               "s has the fewest literals.";
  } else {
    message += "the best found has " + std::to_string(bestTerms) + terms + "; no " + form + " has fewer than " +
               std::to_string(fewestTerms) + ".";
  }
  return message + " The formula is unchanged.";
}

bool MakeMinimumForm(FormulaDocument& doc, MinimumKind kind) {
  if (doc.Root == nullptr) return false;
  const std::uint64_t letters = LettersOfTree(doc.Root);
  if (StopRequested) return false;
  if (std::popcount(letters) > kMostMinimumLetters) {
    doc.Platform.ShowMessage(kMinimumLettersMessage);
    return false;
  }
  std::optional<BooleanFunction> f = FunctionOfFormula(doc.Root);
  if (!f) return false;
  MinimumForm form;
  form.reading = kind == MinimumKind::DNF ? CubeReading::Term : CubeReading::Clause;
  form.covered = kind == MinimumKind::DNF ? std::move(*f) : f->Complement();
  doc.Platform.ProcessPendingInput();
  if (!PrepareMinimumForm(form)) return false;
  if (OutputColumn != 0 && doc.DetailLevel <= 2) doc.InsertLine();
  if (doc.DetailLevel <= 1) WriteSteps(doc, form);
  if (doc.DetailLevel == 2 && form.primes.size() <= kMostListed) {
    BudgetVector<std::int32_t> all(form.primes.size());
    for (std::size_t j = 0; j < all.size(); ++j) all[j] = static_cast<std::int32_t>(j);
    WriteFormulaText(doc, FormulaOfPrimes(form, all));
  }
  if (StopRequested) return false;
  GiveBackFreedMemory();
  SearchMinimumForm(form, doc.Platform);
  GiveBackFreedMemory();
  if (form.outcome == CoverOutcome::Stopped) return false;
  if (form.outcome == CoverOutcome::GaveUp) {
    doc.Platform.ShowMessage(MinimumNotProvedMessage(kind, form.bestTerms, form.fewestTerms));
    return false;
  }
  if (doc.DetailLevel <= 1) WriteCover(doc, form);
  FormulaNode* tree = BuildTree(form);
  if (tree == nullptr) {
    StopForExhaustedMemory();
    return false;
  }
  doc.DisposeTree();
  doc.Root = tree;
  if (doc.DetailLevel <= 1 || doc.DetailLevel == 3) doc.InsertString(WordsOf(form).result);
  if (doc.DetailLevel <= 3) doc.XDecomp();
  return true;
}

}  // namespace lumenark
