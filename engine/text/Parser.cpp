// The formula parser: descent with one character of look-ahead over a copy of the
// selection, an operand stack on which the tree is assembled, and one error code that
// stops all further work at the first error. The descent keeps its own stack, so that
// parentheses and negations nest as deep as the text allows.
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

  // The grammar's functions, run by Expression with a stack of frames of their own
  // instead of the call stack, so that parentheses and negations nest as deep as the
  // text: a frame is where one of them stands. Each does exactly what its recursive
  // form does, in the same order, so errors and positions are the same.
  //
  //   Chain (levels 0 to 3: '=', '>', '|', '&'): operands of the next tighter level
  //   joined by the level's operator; the operand of level 3 is a Factor.
  enum class Frame : std::uint8_t { ChainStart, ChainAfterFirst, ChainAfterNext, Factor, AfterBracket, AfterNegation };
  struct Step {
    Frame frame;
    std::uint8_t level;  // of a chain
  };
  static constexpr char kChainOperators[] = {'=', '>', '|', '&'};

  static Step OperandOf(std::uint8_t level) {
    return level < 3 ? Step{Frame::ChainStart, static_cast<std::uint8_t>(level + 1)} : Step{Frame::Factor, 0};
  }

  void Expression() {
    BudgetVector<Step> steps{{Frame::ChainStart, 0}};
    while (!steps.empty()) {
      Step& step = steps.back();
      const std::uint8_t level = step.level;
      switch (step.frame) {
        case Frame::ChainStart:
          if (error_ != 0) {
            steps.pop_back();
            break;
          }
          step.frame = Frame::ChainAfterFirst;
          steps.push_back(OperandOf(level));
          break;
        case Frame::ChainAfterNext:
          if (error_ == 0) MakeOper(kChainOperators[level]);
          [[fallthrough]];
        case Frame::ChainAfterFirst:
          if (current_ == kChainOperators[level] && error_ == 0) {
            GetChar();
            step.frame = Frame::ChainAfterNext;
            steps.push_back(OperandOf(level));
          } else {
            steps.pop_back();
          }
          break;
        case Frame::Factor:
          Factor(steps);
          break;
        case Frame::AfterBracket:
          if (current_ != ')' && error_ == 0) error_ = kMissingRightBracket;
          GetChar();
          steps.pop_back();
          break;
        case Frame::AfterNegation:
          if (error_ == 0) operands_.back()->negated ^= 1;
          steps.pop_back();
          break;
      }
    }
  }

  // The start of a Factor, the frame on top: a parenthesis or a negation goes on with
  // the frame that waits for what follows it.
  void Factor(BudgetVector<Step>& steps) {
    Step& step = steps.back();
    if (error_ != 0) {
      steps.pop_back();
      return;
    }
    const unsigned char c = static_cast<unsigned char>(current_);
    if (c == '(') {
      GetChar();
      step.frame = Frame::AfterBracket;
      steps.push_back({Frame::ChainStart, 0});
    } else if (c == '~') {
      GetChar();
      step.frame = Frame::AfterNegation;
      steps.push_back({Frame::Factor, 0});
    } else {
      steps.pop_back();
      if (!IsLiteralChar(c)) {
        error_ = kMissingExpression;
        return;
      }
      FormulaNode* literal = AllocateNode();
      if (!Push(literal)) return;
      literal->symbol = current_;
      literal->kind = nkLiteral;
      GetChar();
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
