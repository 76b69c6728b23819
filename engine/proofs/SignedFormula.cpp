#include "proofs/SignedFormula.h"

#include "runtime/Heartbeat.h"

namespace lumenark {
namespace {

// A letter's or constant's number: 0..51 for the letters, 52 and 53 for 0 and 1.
std::uint32_t LiteralCoreId(char symbol) {
  if (symbol >= 'A' && symbol <= 'Z') return static_cast<std::uint32_t>(symbol - 'A');
  if (symbol >= 'a' && symbol <= 'z') return static_cast<std::uint32_t>(26 + symbol - 'a');
  return symbol == '0' ? 52 : 53;
}
constexpr std::uint32_t kFirstOperatorId = 54;

// An operator's structure: its connective and its operands' numbers with their negations.
struct OperatorShape {
  char symbol;
  std::uint64_t left, right;
  bool operator==(const OperatorShape&) const = default;
};
struct OperatorShapeHash {
  std::size_t operator()(const OperatorShape& s) const {
    std::uint64_t h = (s.left * 0x9E3779B97F4A7C15ull) ^ ((s.right + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full);
    h ^= static_cast<std::uint64_t>(static_cast<unsigned char>(s.symbol)) << 56;
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    return static_cast<std::size_t>(h ^ (h >> 32));
  }
};

std::uint64_t OperandKey(const FormulaIds& ids, const FormulaNode* operand) {
  return std::uint64_t{ids.Core(operand)} * 2 + operand->negated;
}

}  // namespace

const char* RuleName(TableauRule rule) {
  switch (rule) {
    case TableauRule::Negation: return "negated formula";
    case TableauRule::DoubleNegation: return "~~";
    case TableauRule::And: return "&";
    case TableauRule::NotAnd: return "~&";
    case TableauRule::Or: return "|";
    case TableauRule::NotOr: return "~|";
    case TableauRule::Implies: return ">";
    case TableauRule::NotImplies: return "~>";
    case TableauRule::Iff: return "=";
    case TableauRule::NotIff: return "~=";
  }
  return "";
}

bool Decompose(SignedFormula formula, Decomposition& out) {
  const FormulaNode* n = formula.node;
  if (IsLiteral(n)) return false;
  const bool t = formula.truth;
  auto one = [&](TableauRule rule, SignedFormula a, SignedFormula b) {
    out = {rule, false, {{a, b}, {a, b}}, {2, 0}};
  };
  auto two = [&](TableauRule rule, SignedFormula a, SignedFormula b) {
    out = {rule, true, {{a, a}, {b, b}}, {1, 1}};
  };
  auto pairs = [&](TableauRule rule, SignedFormula a1, SignedFormula a2, SignedFormula b1, SignedFormula b2) {
    out = {rule, true, {{a1, a2}, {b1, b2}}, {2, 2}};
  };
  const FormulaNode* l = n->left;
  const FormulaNode* r = n->right;
  auto holds = [](const FormulaNode* x) { return SignedFormula::Of(x, true); };
  auto fails = [](const FormulaNode* x) { return SignedFormula::Of(x, false); };
  switch (n->symbol) {
    case '&':
      t ? one(TableauRule::And, holds(l), holds(r)) : two(TableauRule::NotAnd, fails(l), fails(r));
      break;
    case '|':
      t ? two(TableauRule::Or, holds(l), holds(r)) : one(TableauRule::NotOr, fails(l), fails(r));
      break;
    case '>':
      t ? two(TableauRule::Implies, fails(l), holds(r)) : one(TableauRule::NotImplies, holds(l), fails(r));
      break;
    default:  // '='
      t ? pairs(TableauRule::Iff, holds(l), holds(r), fails(l), fails(r))
        : pairs(TableauRule::NotIff, holds(l), fails(r), fails(l), holds(r));
      break;
  }
  return true;
}

// Post-order without recursion; operands are numbered before their operator.
FormulaIds::FormulaIds(const FormulaNode* root) {
  std::unordered_map<OperatorShape, std::uint32_t, OperatorShapeHash, std::equal_to<>, BudgetAllocator<std::pair<const OperatorShape, std::uint32_t>>>
      shapes;
  BudgetVector<std::pair<const FormulaNode*, bool>> pending{{root, false}};
  while (!pending.empty()) {
    auto [node, operandsDone] = pending.back();
    pending.pop_back();
    Heartbeat();
    if (IsLiteral(node)) continue;
    if (!operandsDone) {
      pending.push_back({node, true});
      pending.push_back({node->right, false});
      pending.push_back({node->left, false});
      continue;
    }
    const OperatorShape shape{node->symbol, OperandKey(*this, node->left), OperandKey(*this, node->right)};
    const auto [at, added] = shapes.try_emplace(shape, kFirstOperatorId + static_cast<std::uint32_t>(shapes.size()));
    ids_.emplace(node, at->second);
  }
}

std::uint32_t FormulaIds::Core(const FormulaNode* node) const {
  return IsLiteral(node) ? LiteralCoreId(node->symbol) : ids_.at(node);
}

std::string FormulaText(SignedFormula formula) {
  std::string text;
  // A pending step: a node to write (with the negation it is written with) or a piece.
  struct Step {
    const FormulaNode* node;
    bool negated;
    const char* piece;
  };
  BudgetVector<Step> pending{{formula.node, !formula.truth, nullptr}};
  while (!pending.empty()) {
    const Step step = pending.back();
    pending.pop_back();
    Heartbeat();
    if (step.node == nullptr) {
      text += step.piece;
      continue;
    }
    const FormulaNode* n = step.node;
    if (IsLiteral(n)) {
      if (step.negated) text += '~';
      text += n->symbol;
      continue;
    }
    // Pushed in reverse: what is written last goes first.
    const FormulaNode* left = n->left;
    const FormulaNode* right = n->right;
    const bool leftParens = !left->negated && left->kind < n->kind;
    const bool rightParens = !right->negated && right->kind <= n->kind;
    static const char* const kSymbols[] = {"", "=", ">", "|", "&"};
    if (step.negated) pending.push_back({nullptr, false, ")"});
    if (rightParens) pending.push_back({nullptr, false, ")"});
    pending.push_back({right, right->negated != 0, nullptr});
    if (rightParens) pending.push_back({nullptr, false, "("});
    pending.push_back({nullptr, false, kSymbols[n->kind]});
    if (leftParens) pending.push_back({nullptr, false, ")"});
    pending.push_back({left, left->negated != 0, nullptr});
    if (leftParens) pending.push_back({nullptr, false, "("});
    if (step.negated) pending.push_back({nullptr, false, "~("});
  }
  return text;
}

}  // namespace lumenark
