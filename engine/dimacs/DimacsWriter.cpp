#include "dimacs/DimacsWriter.h"

#include <algorithm>
#include <bit>
#include <memory>
#include <new>
#include <optional>
#include <string>

#include "formula/LetterBits.h"
#include "formula/TreeFold.h"
#include "formula/TreeOperations.h"
#include "runtime/BudgetAllocator.h"
#include "runtime/EngineGlobals.h"
#include "runtime/Heartbeat.h"
#include "runtime/MemoryBudget.h"
#include "text/MemoryEditorText.h"

namespace lumenark {
namespace {

constexpr std::uint64_t kBoundCap = std::uint64_t{1} << 40;

std::uint64_t BoundSum(std::uint64_t a, std::uint64_t b) { return std::min(a + b, kBoundCap); }
std::uint64_t BoundProduct(std::uint64_t a, std::uint64_t b) {
  if (a == 0 || b == 0) return 0;
  return a > kBoundCap / b ? kBoundCap : std::min(a * b, kBoundCap);
}

// DimacsClauses, each a list of solver literals ended by 0, counted as they are added.
struct DimacsClauses {
  BudgetVector<int> literals;
  std::uint64_t count = 0;
  void Add(std::initializer_list<int> clause) {
    for (int literal : clause) literals.push_back(literal);
    literals.push_back(0);
    ++count;
  }
};

// The letters' variables: the n-th letter of the formula (in A..Z, a..z) is n.
struct DimacsVariables {
  explicit DimacsVariables(std::uint64_t letters) : letters(letters) {}
  int Of(char letter) const { return std::popcount(letters & (LetterBit(letter) - 1)) + 1; }
  int Count() const { return std::popcount(letters); }
  std::uint64_t letters;
};

// The sorted and reduced CNF, computed on a copy in a document of its own that writes
// nothing. False after a stop.
bool DirectClauses(FormulaDocument& doc, const DimacsVariables& variables, DimacsClauses& clauses) {
  const bool stop = StopRequested;
  MemoryEditorText silent;
  FormulaDocument cnf(silent, doc.Platform);
  StopRequested = stop;
  cnf.DetailLevel = 4;
  cnf.ShowResults = false;
  doc.CopyTree(cnf.Root);
  if (StopRequested) return false;
  cnf.ToCNF();
  if (StopRequested || cnf.Root == nullptr) return false;
  // The outer '&' chain holds the clauses; each is a '|' chain of literals.
  BudgetVector<const FormulaNode*> pending{cnf.Root};
  BudgetVector<int> clause;
  while (!pending.empty()) {
    const FormulaNode* node = pending.back();
    pending.pop_back();
    if (!IsLiteral(node) && node->symbol == '&' && !node->negated) {
      pending.push_back(node->right);
      pending.push_back(node->left);
      continue;
    }
    clause.clear();
    bool satisfied = false;
    BudgetVector<const FormulaNode*> literals{node};
    while (!literals.empty()) {
      const FormulaNode* literal = literals.back();
      literals.pop_back();
      Heartbeat();
      if (!IsLiteral(literal)) {
        literals.push_back(literal->right);
        literals.push_back(literal->left);
      } else if (IsConstant(literal)) {
        satisfied |= (literal->symbol == '1') != (literal->negated != 0);
      } else {
        const int variable = variables.Of(literal->symbol);
        clause.push_back(literal->negated ? -variable : variable);
      }
    }
    if (satisfied) continue;
    for (int literal : clause) clauses.literals.push_back(literal);
    clauses.literals.push_back(0);
    ++clauses.count;
  }
  return true;
}

// The Tseitin encoding. Constants are folded away as the encoding goes; each remaining
// connective gets a variable after the letters', equivalent to its subformula. Returns
// the number of variables, nothing after a stop.
std::optional<int> TseitinClauses(const FormulaNode* root, const DimacsVariables& variables, DimacsClauses& clauses) {
  // A subformula's value: a constant, or a solver literal.
  struct Value {
    bool constant;
    bool truth;
    int literal;
  };
  int next = variables.Count();
  auto negate = [](Value v) { return v.constant ? Value{true, !v.truth, 0} : Value{false, false, -v.literal}; };
  auto leaf = [&](const FormulaNode* node) {
    const Value value =
        IsConstant(node) ? Value{true, node->symbol == '1', 0} : Value{false, false, variables.Of(node->symbol)};
    return node->negated ? negate(value) : value;
  };
  auto join = [&](const FormulaNode* node, Value a, Value b) {
    Value value;
    char op = node->symbol;
    if (op == '>') {  // a > b is ~a | b
      a = negate(a);
      op = '|';
    }
    if (op == '&' || op == '|') {
      // With '|' as '&' of the negations, one case serves both.
      const bool isOr = op == '|';
      if (isOr) a = negate(a), b = negate(b);
      if ((a.constant && !a.truth) || (b.constant && !b.truth)) value = {true, false, 0};
      else if (a.constant) value = b;
      else if (b.constant) value = a;
      else {
        const int v = ++next;
        clauses.Add({-v, a.literal});
        clauses.Add({-v, b.literal});
        clauses.Add({v, -a.literal, -b.literal});
        value = {false, false, v};
      }
      if (isOr) value = negate(value);
    } else {  // '='
      if (a.constant && b.constant) value = {true, a.truth == b.truth, 0};
      else if (a.constant) value = a.truth ? b : negate(b);
      else if (b.constant) value = b.truth ? a : negate(a);
      else {
        const int v = ++next;
        clauses.Add({-v, -a.literal, b.literal});
        clauses.Add({-v, a.literal, -b.literal});
        clauses.Add({v, a.literal, b.literal});
        clauses.Add({v, -a.literal, -b.literal});
        value = {false, false, v};
      }
    }
    return node->negated ? negate(value) : value;
  };
  const std::optional<Value> folded = FoldTree<Value>(root, leaf, join, true);
  if (!folded) return std::nullopt;
  const Value formula = *folded;
  if (formula.constant) {
    if (!formula.truth) clauses.Add({});
  } else {
    clauses.Add({formula.literal});
  }
  return next;
}

// How the clauses' literals go onto lines: one piece per literal, after a blank on the
// same line or, where that would reach the line width, on a new line (a solver reads a
// clause up to its 0); the 0 ends its line.
class ClauseLayout {
 public:
  explicit ClauseLayout(std::int32_t width) : width_(static_cast<std::size_t>(width)) {}

  // Hands out the pieces of a literal: put(text) writes text, put({}) ends a line.
  template <typename Put>
  void Literal(int literal, Put&& put) {
    const std::string piece = std::to_string(literal);
    if (column_ != 0 && column_ + 1 + piece.size() < width_) {
      put(std::string_view(" "));
      ++column_;
    } else if (column_ != 0) {
      put(std::string_view());
      column_ = 0;
    }
    put(std::string_view(piece));
    column_ += piece.size();
    if (literal == 0) {
      put(std::string_view());
      column_ = 0;
    }
  }

 private:
  const std::size_t width_;
  std::size_t column_ = 0;
};

// The lines before the clauses: the comments and the header.
BudgetVector<std::string> DimacsHeading(const DimacsVariables& variables, const DimacsClauses& clauses, bool direct,
                                        int count) {
  BudgetVector<std::string> lines;
  if (direct) {
    lines.emplace_back(kDimacsCnfComment);
  } else {
    lines.emplace_back(kDimacsTseitinComment);
    if (count == variables.Count() + 1) {
      lines.push_back("c variable " + std::to_string(count) + " stands for its subformula");
    } else if (count > variables.Count()) {
      lines.push_back("c variables " + std::to_string(variables.Count() + 1) + " to " + std::to_string(count) +
                      " stand for its subformulas");
    }
  }
  for (std::uint64_t rest = variables.letters; rest != 0; rest &= rest - 1) {
    const int bit = std::countr_zero(rest);
    const char letter = static_cast<char>(bit < 26 ? 'A' + bit : 'a' + bit - 26);
    lines.push_back("c " + std::to_string(variables.Of(letter)) + " = " + letter);
  }
  lines.push_back("p cnf " + std::to_string(count) + " " + std::to_string(clauses.count));
  return lines;
}

// The DIMACS text as it goes into the document. A solver cannot read a file cut short,
// so what a stop (or exhausted memory) interrupts is taken out of the text again, with
// the line break before it: the text is whole or absent.
class DimacsText {
 public:
  explicit DimacsText(FormulaDocument& doc)
      : doc_(doc), start_(doc.Text.SelectionStart()), column_(OutputColumn), layout_(doc.LineWidth) {}

  // Writes the heading and the clauses; false once a stop has ended the writing.
  bool Write(const BudgetVector<std::string>& heading, const DimacsClauses& clauses) {
    if (OutputColumn != 0) doc_.InsertLine();
    for (const std::string& line : heading) {
      doc_.InsertString(line);
      if (StopRequested) return false;
      doc_.InsertLine();
    }
    for (int literal : clauses.literals) {
      if (StopRequested) return false;
      Heartbeat();
      layout_.Literal(literal, [&](std::string_view piece) { piece.empty() ? doc_.InsertLine() : doc_.InsertString(piece); });
    }
    return !StopRequested;
  }

  // Takes out what was written since the writing began.
  void TakeOut() {
    const std::size_t end = doc_.Text.SelectionStart();
    doc_.Text.SetSelectionStart(start_);
    doc_.Text.SetSelectionLength(end - start_);
    doc_.Text.ReplaceSelection({});
    OutputColumn = column_;
  }

 private:
  FormulaDocument& doc_;
  const std::size_t start_;
  const std::uint16_t column_;
  ClauseLayout layout_;
};

// The characters the text will take, line breaks (CR LF) and the break before it
// included; a little more where a heading line is longer than the line width.
std::uint64_t DimacsTextSize(const BudgetVector<std::string>& heading, const DimacsClauses& clauses, std::int32_t width) {
  std::uint64_t size = 2;
  for (const std::string& line : heading) size += line.size() + 4;
  ClauseLayout layout(width);
  for (int literal : clauses.literals) {
    Heartbeat();
    layout.Literal(literal, [&](std::string_view piece) { size += piece.empty() ? 2 : piece.size(); });
  }
  return size;
}

}  // namespace

std::uint64_t CnfClauseBound(const FormulaNode* root) {
  // For each node the clauses of its CNF and of its negation's.
  struct Bound {
    std::uint64_t holds, fails;
  };
  auto flip = [](const FormulaNode* node, Bound bound) { return node->negated ? Bound{bound.fails, bound.holds} : bound; };
  auto leaf = [&](const FormulaNode* node) {
    return flip(node, !IsConstant(node) ? Bound{1, 1} : node->symbol == '1' ? Bound{0, 1} : Bound{1, 0});
  };
  auto join = [&](const FormulaNode* node, Bound l, Bound r) {
    Bound bound;
    switch (node->symbol) {
      case '&': bound = {BoundSum(l.holds, r.holds), BoundProduct(l.fails, r.fails)}; break;
      case '|': bound = {BoundProduct(l.holds, r.holds), BoundSum(l.fails, r.fails)}; break;
      case '>': bound = {BoundProduct(l.fails, r.holds), BoundSum(l.holds, r.fails)}; break;
      default:
        bound = {BoundSum(BoundProduct(l.fails, r.holds), BoundProduct(r.fails, l.holds)),
                 BoundSum(BoundProduct(l.holds, r.holds), BoundProduct(l.fails, r.fails))};
        break;
    }
    return flip(node, bound);
  };
  return FoldTree<Bound>(root, leaf, join)->holds;
}

void WriteDimacs(FormulaDocument& doc, DimacsEncoding encoding) {
  if (doc.Root == nullptr) return;
  const DimacsVariables variables(LettersOfTree(doc.Root));
  DimacsClauses clauses;
  const bool direct = encoding == DimacsEncoding::Automatic ? CnfClauseBound(doc.Root) <= kMaxDirectClauses
                                                            : encoding == DimacsEncoding::Cnf;
  int count = variables.Count();
  if (direct) {
    if (!DirectClauses(doc, variables, clauses)) return;
  } else {
    const std::optional<int> encoded = TseitinClauses(doc.Root, variables, clauses);
    if (!encoded) return;
    count = *encoded;
  }
  const BudgetVector<std::string> heading = DimacsHeading(variables, clauses, direct, count);
  // Taking the text out again moves it within the document, which may need as much
  // memory as the text itself: that room is held while the text is written, and given
  // back first when the writing ends early, so that a file never stays cut short.
  auto room = std::make_unique<MemoryCharge>(2 * DimacsTextSize(heading, clauses, doc.LineWidth));
  if (!room->Held()) throw std::bad_alloc();
  if (StopRequested) return;
  DimacsText out(doc);
  bool whole = false;
  try {
    whole = out.Write(heading, clauses);
  } catch (const std::bad_alloc&) {
    room.reset();
    out.TakeOut();
    throw;
  }
  room.reset();
  if (!whole) out.TakeOut();
}

}  // namespace lumenark
