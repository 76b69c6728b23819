#include "ReferenceAlgorithms.h"

#include <string_view>
#include <vector>

#include "formula/NodeAllocator.h"
#include "formula/TreeOperations.h"
#include "runtime/EngineGlobals.h"
#include "runtime/Heartbeat.h"
#include "text/ParseErrors.h"

namespace lumenark::testing {
namespace {

struct BubbleSort {
  FormulaDocument& doc;
  char symbol;
  FormulaNode* previous = nullptr;
  bool exchanged = false;

  void Pass(Slot slot) {
    FormulaNode* node = slot;
    if (node->symbol != symbol && !IsLiteral(node)) return;
    if (!IsLiteral(node)) {
      Pass(node->left);
      Pass(node->right);
      return;
    }
    if (previous != nullptr && static_cast<unsigned char>(previous->symbol) > static_cast<unsigned char>(node->symbol)) {
      FormulaNode* a = previous;
      FormulaNode* b = node;
      doc.Exchange(a, b);
      exchanged = true;
    }
    previous = node;
  }
};

void ReferenceRToNormalForm(FormulaDocument& doc, Slot slot, char outer) {
  if (IsLiteral(slot) || StopRequested) return;
  if (slot->symbol != outer) {
    FindOper(slot, outer);
    if (slot->left->symbol != outer) {
      ReferenceSortElm(doc, slot);
      doc.ReduceElm(slot);
    } else {
      doc.Distribution(slot->left, slot);
    }
  }
  ReferenceRToNormalForm(doc, slot->left, outer);
  ReferenceRToNormalForm(doc, slot->right, outer);
  if (slot->symbol == outer) {
    doc.RConstEval(slot->left);
    doc.RConstEval(slot->right);
  }
  doc.Platform.ProcessPendingInput();
}

struct ReferencePass {
  FormulaDocument& doc;
  char outer = 0;
  bool changed = false;
  FormulaNode* candidate = nullptr;

  void ChooseElm(Slot slot) {
    if (StopRequested) return;
    if (!IsLiteral(slot) && slot->symbol == outer) {
      ChooseElm(slot->left);
      ChooseElm(slot->right);
    }
    if (slot->symbol != outer && !IsConstant(slot)) {
      candidate = slot;
      PairElm(doc.Root);
    }
  }

  void PairElm(Slot slot) {
    if (!IsLiteral(slot) && slot->symbol == outer) {
      PairElm(slot->left);
      PairElm(slot->right);
    }
    if (slot->symbol == outer || IsConstant(slot)) return;
    if (slot == candidate) candidate = nullptr;
    if (candidate != nullptr) {
      bool before = changed;
      doc.AbsExt(slot, candidate, changed, outer);
      if (changed && !before) doc.Thread();  // re-link the whole tree, as after every rule
      if (changed) doc.Thread();
      doc.Platform.ProcessPendingInput();
    }
  }
};

}  // namespace

void ReferenceSortElm(FormulaDocument& doc, Slot slot) {
  BubbleSort sort{doc, slot->symbol};
  do {
    sort.previous = nullptr;
    sort.exchanged = false;
    sort.Pass(slot);
  } while (sort.exchanged);
}

void ReferenceToNormalForm(FormulaDocument& doc, char outer) {
  if (doc.Root == nullptr) return;
  doc.ToConDis();
  doc.ConstEval();
  ReferenceRToNormalForm(doc, doc.Root, outer);
  if (StopRequested) {
    doc.DisposeTree();
    return;
  }
  ReferenceSortElm(doc, doc.Root);
  doc.ReduceElm(doc.Root);
  doc.ConstEval();
  if (doc.DetailLevel == 3) {
    doc.InsertString(outer == '&' ? "Result - Conversion to CNF:" : "Result - Conversion to DNF:");
    doc.XDecomp();
  }
}

void ReferenceMinimize(FormulaDocument& doc) {
  if (doc.Root == nullptr || IsLiteral(doc.Root)) return;
  ReferencePass pass{doc};
  bool changed = true;
  doc.Thread();
  while (changed) {
    pass.outer = doc.Root->symbol;
    pass.changed = false;
    pass.candidate = nullptr;
    pass.ChooseElm(doc.Root);
    changed = pass.changed;
    doc.ConstEval();
    doc.UnThread();
    doc.Thread();
  }
  doc.UnThread();
  if (!IsLiteral(doc.Root)) {
    ReferenceSortElm(doc, doc.Root);
    doc.ReduceElm(doc.Root);
    doc.ConstEval();
  }
  if (StopRequested) {
    doc.DisposeTree();
    return;
  }
  if (doc.DetailLevel == 3) {
    doc.InsertString("Result - Reduction to minimal NF:");
    doc.XDecomp();
  }
}

namespace {

void PutPiece(FormulaDocument& doc, char piece) { doc.InsertString(std::string_view(&piece, 1)); }

void Dive(FormulaDocument& doc, FormulaNode* node) {
  if (StopRequested) return;
  doc.Platform.ProcessPendingInput();
  const bool isOperator = !IsLiteral(node);
  if (node->negated && !StopRequested) {
    PutPiece(doc, '~');
    if (isOperator) PutPiece(doc, '(');
  }
  if (isOperator && !StopRequested) {
    const FormulaNode* left = node->left;
    if (left->kind < node->kind && !left->negated) {
      PutPiece(doc, '(');
      Dive(doc, node->left);
      PutPiece(doc, ')');
    } else {
      Dive(doc, node->left);
    }
  }
  doc.Platform.ProcessPendingInput();
  if (!StopRequested) PutPiece(doc, node->symbol);
  if (isOperator && !StopRequested) {
    const FormulaNode* right = node->right;
    const bool looser = right->kind < node->kind || (node->kind == nkImplication && right->kind == nkImplication);
    if (!right->negated && looser) {
      PutPiece(doc, '(');
      Dive(doc, node->right);
      PutPiece(doc, ')');
    } else {
      Dive(doc, node->right);
    }
  }
  if (isOperator && node->negated && !StopRequested) PutPiece(doc, ')');
  doc.Platform.ProcessPendingInput();
}

template <typename Rule>
void RewritePreOrder(FormulaDocument& doc, Slot slot, const Rule& rule) {
  if (IsLiteral(slot) || StopRequested) return;
  doc.Platform.ProcessPendingInput();
  rule(slot);
  RewritePreOrder(doc, slot->left, rule);
  RewritePreOrder(doc, slot->right, rule);
}

}  // namespace

void ReferenceXDecomp(FormulaDocument& doc) {
  if (doc.Root == nullptr) return;
  const bool wasVisible = doc.Platform.StopDialogVisible();
  doc.Platform.SetStopDialogVisible(true);
  Dive(doc, doc.Root);
  doc.InsertLine();
  doc.Platform.SetStopDialogVisible(wasVisible);
}

bool ReferenceRCopyTree(Slot source, Slot target) {
  FormulaNode* copy = nullptr;
  if (!CopyNode(source, copy)) return false;
  Heartbeat();
  if (!IsLiteral(copy)) {
    FormulaNode* left = copy->left;
    FormulaNode* right = copy->right;
    copy->left = nullptr;
    copy->right = nullptr;
    if ((left != nullptr && !ReferenceRCopyTree(left, copy->left)) ||
        (right != nullptr && !ReferenceRCopyTree(right, copy->right))) {
      RDisposeTree(copy);
      return false;
    }
  }
  target = copy;
  return true;
}

void ReferenceRToImp(FormulaDocument& doc, Slot slot) {
  RewritePreOrder(doc, slot, [&doc](Slot at) { doc.Implication(at); });
}

void ReferenceRToDis(FormulaDocument& doc, Slot slot) {
  RewritePreOrder(doc, slot, [&doc](Slot at) { doc.Disjunction(at); });
}

void ReferenceRToCon(FormulaDocument& doc, Slot slot) {
  RewritePreOrder(doc, slot, [&doc](Slot at) { doc.Conjunction(at); });
}

void ReferenceRToConDis(FormulaDocument& doc, Slot slot) {
  RewritePreOrder(doc, slot, [&doc](Slot at) {
    if (at->negated || !IsAndOr(at->symbol)) doc.Conjunction(at);
    if (at->negated) doc.Disjunction(at);
  });
}

void ReferenceRConstEval(FormulaDocument& doc, Slot slot) {
  if (IsLiteral(slot) || StopRequested) return;
  doc.Platform.ProcessPendingInput();
  ReferenceRConstEval(doc, slot->left);
  ReferenceRConstEval(doc, slot->right);
  doc.Platform.ProcessPendingInput();
  doc.EvlConst1(slot);
}

namespace {

class RecursiveParser {
 public:
  explicit RecursiveParser(std::string text) : copy_(std::move(text)) {}
  ~RecursiveParser() {
    for (FormulaNode* operand : operands_) RDisposeTree(operand);
  }

  ReferenceParse Compile() {
    GetChar();
    if (error_ == 0) Expression();
    if (error_ == 0) {
      if (current_ == ')') error_ = kUnexpectedRightBracket;
      else if (!atEnd_) error_ = kMissingOperator;
    }
    ReferenceParse parse{nullptr, error_, position_};
    if (error_ == 0) {
      parse.tree = operands_.back();
      operands_.pop_back();
    }
    return parse;
  }

 private:
  static bool IsLiteralChar(unsigned char c) {
    return c == '0' || c == '1' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  }
  static bool IsFormulaChar(unsigned char c) {
    return std::string_view("&()=>|~").find(static_cast<char>(c)) != std::string_view::npos || IsLiteralChar(c);
  }

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
    } while (c >= 1 && c <= 32);
    current_ = static_cast<char>(c);
    if (!IsFormulaChar(c) && !(c == 0 && atEnd_)) error_ = kIllegalCharacter;
  }

  template <void (RecursiveParser::*Operand)()>
  void Chain(char op) {
    if (error_ != 0) return;
    (this->*Operand)();
    while (current_ == op && error_ == 0) {
      GetChar();
      (this->*Operand)();
      if (error_ == 0) MakeOper(op);
    }
  }

  void Expression() { Chain<&RecursiveParser::ImpTerm>('='); }
  void ImpTerm() { Chain<&RecursiveParser::DisTerm>('>'); }
  void DisTerm() { Chain<&RecursiveParser::ConTerm>('|'); }
  void ConTerm() { Chain<&RecursiveParser::Factor>('&'); }

  void Factor() {
    if (error_ != 0) return;
    const unsigned char c = static_cast<unsigned char>(current_);
    if (c == '(') {
      GetChar();
      Expression();
      if (current_ != ')' && error_ == 0) error_ = kMissingRightBracket;
      GetChar();
    } else if (IsLiteralChar(c)) {
      FormulaNode* literal = AllocateNode();
      if (literal == nullptr) {
        error_ = kInsufficientMemory;
        return;
      }
      operands_.push_back(literal);
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

  std::uint8_t error_ = 0;
  std::string copy_;
  std::size_t position_ = 0;
  char current_ = 0;
  bool atEnd_ = false;
  std::vector<FormulaNode*> operands_;
};

}  // namespace

ReferenceParse ReferenceCompile(const std::string& text) { return RecursiveParser(text).Compile(); }

}  // namespace lumenark::testing
