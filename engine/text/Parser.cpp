// The formula parser: recursive descent with one character of look-ahead over a copy
// of the selection, an operand stack on which the tree is assembled, and one error
// code that stops all further work at the first error.
//
//   Expression = ImpTerm { '=' ImpTerm }      all four operators are left-associative
//   ImpTerm    = DisTerm { '>' DisTerm }
//   DisTerm    = ConTerm { '|' ConTerm }
//   ConTerm    = Factor  { '&' Factor }
//   Factor     = '(' Expression ')' | '~' Factor | '0' | '1' | 'A'..'Z' | 'a'..'z'

#include <new>
#include <string>
#include <vector>

#include "formula/FormulaDocument.h"
#include "formula/NodeAllocator.h"
#include "formula/TreeOperations.h"
#include "runtime/BudgetAllocator.h"
#include "runtime/EngineGlobals.h"
#include "runtime/MemoryBudget.h"
#include "runtime/StackRoom.h"
#include "text/ParseErrors.h"

namespace lumenark {
namespace {

// Control characters except NUL, and the blank: skipped anywhere, so a formula may
// run over several lines.
bool IsSkipChar(unsigned char c) { return c >= 1 && c <= 32; }

bool IsLiteralChar(unsigned char c) {
  return c == '0' || c == '1' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsFormulaChar(unsigned char c) {
  switch (c) {
    case '&': case '(': case ')': case '=': case '>': case '|': case '~':
      return true;
    default:
      return IsLiteralChar(c);
  }
}

class Parser {
 public:
  Parser(std::uint8_t& error, std::string text) : error_(error), copy_(std::move(text)) {}
  ~Parser() {
    for (FormulaNode* operand : operands_) RDisposeTree(operand);
  }

  // Parses the whole copy. Returns the tree on success (the caller owns it), else
  // nullptr with the error code set.
  FormulaNode* Compile() {
    GetChar();
    if (error_ == 0) Expression();
    if (error_ == 0) {
      if (current_ == ')') error_ = kUnexpectedRightBracket;
      else if (!atEnd_) error_ = kMissingOperator;
    }
    if (error_ != 0) return nullptr;
    FormulaNode* tree = operands_.back();
    operands_.pop_back();
    return tree;
  }

  // Characters consumed so far, skipped ones included.
  std::size_t Position() const { return position_; }

 private:
  void GetChar() {
    if (error_ != 0) return;
    unsigned char c;
    do {
      if (position_ < copy_.size()) {
        c = static_cast<unsigned char>(copy_[position_++]);
      } else {
        c = 0;
        atEnd_ = true;
      }
    } while (IsSkipChar(c));
    current_ = static_cast<char>(c);
    // NUL marks the end of the selection only; a NUL inside the text is illegal.
    if (!IsFormulaChar(c) && !(c == 0 && atEnd_)) error_ = kIllegalCharacter;
  }

  // One level of the grammar: operands of the next tighter level joined by op.
  template <void (Parser::*Operand)()>
  void Chain(char op) {
    if (error_ != 0) return;
    (this->*Operand)();
    while (current_ == op && error_ == 0) {
      GetChar();
      (this->*Operand)();
      if (error_ == 0) MakeOper(op);
    }
  }

  void Expression() { Chain<&Parser::ImpTerm>('='); }
  void ImpTerm() { Chain<&Parser::DisTerm>('>'); }
  void DisTerm() { Chain<&Parser::ConTerm>('|'); }
  void ConTerm() { Chain<&Parser::Factor>('&'); }

  void Factor() {
    if (error_ != 0) return;
    // Each parenthesis and negation is a level of recursion; past what the stack holds
    // the compile fails as when memory runs out.
    StackLevel level;
    if (!level.HasRoom()) {
      error_ = kInsufficientMemory;
      return;
    }
    const unsigned char c = static_cast<unsigned char>(current_);
    if (c == '(') {
      GetChar();
      Expression();
      if (current_ != ')' && error_ == 0) error_ = kMissingRightBracket;
      GetChar();
    } else if (IsLiteralChar(c)) {
      FormulaNode* literal = AllocateNode();
      if (!Push(literal)) return;
      literal->symbol = current_;
      literal->kind = nkLiteral;
      GetChar();
    } else if (c == '~') {
      GetChar();
      Factor();
      if (error_ == 0) operands_.back()->negated ^= 1;
    } else {
      error_ = kMissingExpression;
    }
  }

  // The operand parsed last becomes right, the one before it left.
  void MakeOper(char op) {
    FormulaNode* node = AllocateNode();
    if (node == nullptr) {
      error_ = kInsufficientMemory;
      return;
    }
    node->symbol = op;
    node->kind = KindOfOperator(op);
    node->right = operands_.back();
    operands_.pop_back();
    node->left = operands_.back();
    operands_.back() = node;
  }

  bool Push(FormulaNode* node) {
    if (node == nullptr) {
      error_ = kInsufficientMemory;
      return false;
    }
    try {
      operands_.push_back(node);
    } catch (const std::bad_alloc&) {
      FreeNode(node);
      error_ = kInsufficientMemory;
      return false;
    }
    return true;
  }

  std::uint8_t& error_;
  std::string copy_;
  std::size_t position_ = 0;
  char current_ = 0;
  bool atEnd_ = false;
  BudgetVector<FormulaNode*> operands_;  // operands waiting for their operator, top last
};

}  // namespace

void FormulaDocument::XComp() {
  ParseError = 0;
  const std::size_t start = Text.SelectionStart();
  const std::size_t length = Text.SelectionLength();
  FormulaNode* tree = nullptr;
  std::size_t position = 0;
  try {
    // The copy of the selection counts against the budget while the parser reads it.
    MemoryCharge copyCharge(length);
    if (!copyCharge.Held()) throw std::bad_alloc();
    Parser parser(ParseError, Text.SelectedText());
    tree = parser.Compile();
    position = parser.Position();
  } catch (const std::bad_alloc&) {
    ParseError = kInsufficientMemory;
  }
  // A compile reports exhausted memory through its own error code.
  if (ParseError == kInsufficientMemory) MemoryExhausted = false;

  if (ParseError == 0) {
    DisposeTree();
    Root = tree;
    Text.SetSelectionStart(start + length);
    Text.SetSelectionLength(0);
    InsertLine();
    return;
  }
  // The caret stands directly before the last character the scanner consumed.
  Text.SetSelectionStart(start + (position > 0 ? position - 1 : 0));
  Text.SetSelectionLength(0);
  if (ParseError == kInsufficientMemory && DepthRefused()) Platform.ShowMessage(DepthRefusalText(RefusedDepth()));
  else if (ParseError == kInsufficientMemory) Platform.ShowMessage(InsufficientMemoryText());
  else Platform.ShowMessage(ParseErrorMessage(ParseError));
}

}  // namespace lumenark
