#include "TestSupport.h"

#include <stdexcept>
#include <unordered_set>

#include "formula/NodeAllocator.h"
#include "text/LineBreaks.h"

namespace lumenark::testing {

TestHost::TestHost() : allocationsAtStart(AllocationCount()), madeAt(std::chrono::steady_clock::now()) {}

void TestHost::ProcessPendingInput() {
  ++pendingInputCalls;
  if (stopAtCall != 0 && pendingInputCalls == stopAtCall) StopRequested = true;
  if ((nodeBudget != 0 && LiveNodeCount() > nodeBudget) ||
      (allocationBudget != 0 && AllocationCount() - allocationsAtStart > allocationBudget) ||
      (secondsBudget != 0 &&
       std::chrono::duration<double>(std::chrono::steady_clock::now() - madeAt).count() > secondsBudget)) {
    StopRequested = true;
    stoppedByBudget = true;
  }
}

Session::Session(const std::string& initial, Options options) : text(NormalizeLineBreaks(initial)), doc(text, host) {
  text.SelectAll();
  OutputColumn = 0;
  StopRequested = false;
  doc.DetailLevel = static_cast<std::uint16_t>(options.details);
  doc.ShowResults = options.results;
  doc.LineWidth = options.width;
}

std::string Session::Run(FormulaCommand command) {
  RunFormulaCommand(doc, command);
  return Text();
}

std::string Session::Text() const { return CrLfToLf(text.Text()); }

std::string Derive(const std::string& text, const std::vector<FormulaCommand>& commands, Options options) {
  Session session(text, options);
  for (FormulaCommand command : commands) session.Run(command);
  return session.Text();
}

std::vector<std::string> FirstLines(const std::vector<std::string>& messages) {
  std::vector<std::string> lines;
  for (const std::string& message : messages) lines.push_back(message.substr(0, message.find('\n')));
  return lines;
}

std::string Written(const std::string& document) {
  auto end = document.find('\n');
  return end == std::string::npos ? std::string() : document.substr(end + 1);
}

std::string LettersOf(const std::string& text) {
  std::string letters;
  for (char c : text) {
    if (((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && letters.find(c) == std::string::npos) letters += c;
  }
  return letters;
}

namespace {

bool LetterValue(char letter, const std::string& letters, std::uint32_t bits) {
  auto index = letters.find(letter);
  if (index == std::string::npos) throw std::logic_error(std::string("letter not in table: ") + letter);
  return (bits >> index) & 1u;
}

// A small independent parser/evaluator of the input syntax, for checking the engine's
// parser and printer against the formula text.
class TextEvaluator {
 public:
  TextEvaluator(const std::string& text, const std::string& letters, std::uint32_t bits)
      : text_(text), letters_(letters), bits_(bits) {}
  bool Value() {
    bool v = Level(0);
    Skip();
    if (pos_ != text_.size()) throw std::logic_error("trailing text in " + text_);
    return v;
  }

 private:
  void Skip() {
    while (pos_ < text_.size() && static_cast<unsigned char>(text_[pos_]) <= 32) ++pos_;
  }
  bool Level(int level) {
    static const char kOps[] = {'=', '>', '|', '&'};
    if (level == 4) return Factor();
    bool v = Level(level + 1);
    for (;;) {
      Skip();
      if (pos_ >= text_.size() || text_[pos_] != kOps[level]) return v;
      ++pos_;
      bool w = Level(level + 1);
      switch (kOps[level]) {
        case '=': v = v == w; break;
        case '>': v = !v || w; break;
        case '|': v = v || w; break;
        default: v = v && w; break;
      }
    }
  }
  bool Factor() {
    Skip();
    char c = text_.at(pos_++);
    if (c == '~') return !Factor();
    if (c == '(') {
      bool v = Level(0);
      Skip();
      if (text_.at(pos_++) != ')') throw std::logic_error("missing ) in " + text_);
      return v;
    }
    if (c == '0') return false;
    if (c == '1') return true;
    return LetterValue(c, letters_, bits_);
  }
  const std::string& text_;
  const std::string& letters_;
  std::uint32_t bits_;
  std::size_t pos_ = 0;
};

}  // namespace

bool Evaluate(const FormulaNode* node, const std::string& letters, std::uint32_t bits) {
  bool value;
  if (node->kind == nkLiteral) {
    if (node->symbol == '0') value = false;
    else if (node->symbol == '1') value = true;
    else value = LetterValue(node->symbol, letters, bits);
  } else {
    bool l = Evaluate(node->left, letters, bits);
    bool r = Evaluate(node->right, letters, bits);
    switch (node->symbol) {
      case '&': value = l && r; break;
      case '|': value = l || r; break;
      case '>': value = !l || r; break;
      case '=': value = l == r; break;
      default: throw std::logic_error("bad operator");
    }
  }
  return node->negated ? !value : value;
}

std::vector<bool> TruthTable(const FormulaNode* node, const std::string& letters) {
  std::vector<bool> table(std::size_t{1} << letters.size());
  for (std::uint32_t bits = 0; bits < table.size(); ++bits) table[bits] = Evaluate(node, letters, bits);
  return table;
}

std::vector<bool> TruthTableOfText(const std::string& formula, const std::string& letters) {
  std::vector<bool> table(std::size_t{1} << letters.size());
  for (std::uint32_t bits = 0; bits < table.size(); ++bits) table[bits] = TextEvaluator(formula, letters, bits).Value();
  return table;
}

std::string CheckTree(const FormulaNode* root, bool linksEmpty) {
  if (root == nullptr) return {};
  std::unordered_set<const FormulaNode*> seen;
  std::vector<const FormulaNode*> pending{root};
  while (!pending.empty()) {
    const FormulaNode* node = pending.back();
    pending.pop_back();
    if (!seen.insert(node).second) return "a node is reachable twice";
    if (node->negated > 1) return "negated flag out of range";
    if (node->kind == nkLiteral) {
      char c = node->symbol;
      bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '0' || c == '1';
      if (!letter) return std::string("bad literal symbol ") + c;
      if (linksEmpty && (node->left != nullptr || node->right != nullptr)) return "a literal has links";
      continue;
    }
    if (node->kind < nkEquivalence || node->kind > nkConjunction) return "bad kind";
    if (KindOfOperator(node->symbol) != node->kind) return "symbol and kind disagree";
    if (node->left == nullptr || node->right == nullptr) return "an operator lacks an operand";
    pending.push_back(node->left);
    pending.push_back(node->right);
  }
  return {};
}

std::string Structure(const FormulaNode* node) {
  std::string prefix = node->negated ? "~" : "";
  if (node->kind == nkLiteral) return prefix + node->symbol;
  return prefix + "(" + Structure(node->left) + node->symbol + Structure(node->right) + ")";
}

std::size_t CountNodes(const FormulaNode* root) {
  std::size_t count = 0;
  std::vector<const FormulaNode*> pending;
  if (root != nullptr) pending.push_back(root);
  while (!pending.empty()) {
    const FormulaNode* node = pending.back();
    pending.pop_back();
    ++count;
    if (node->kind != nkLiteral) {
      pending.push_back(node->left);
      pending.push_back(node->right);
    }
  }
  return count;
}

namespace {

std::string RandomFormulaAt(std::mt19937& random, const FormulaShape& shape, int depth) {
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
  std::string negation = pick(4) == 0 ? (pick(3) == 0 ? "~~" : "~") : "";
  if (depth >= shape.maxDepth || pick(3) == 0) {
    if (shape.constants && pick(10) == 0) return negation + (pick(2) ? "1" : "0");
    // The first sixteen come first, so that fewer letters draw from them alone.
    static const char kLetters[] = "ABCDEFGHabcdefghIJKLMNOPQRSTUVWXYZijklmnopqrstuvwxyz";
    return negation + std::string(1, kLetters[pick(shape.letters)]);
  }
  // Equivalences double their operands on conversion; they come less often.
  static const char kAll[] = {'&', '|', '>', '&', '|', '>', '='};
  char op = shape.allOperators ? kAll[pick(7)] : kAll[pick(2)];
  std::string left = RandomFormulaAt(random, shape, depth + 1);
  std::string right = RandomFormulaAt(random, shape, depth + 1);
  std::string body = "(" + left + op + right + ")";
  return negation + body;
}

}  // namespace

std::string RandomFormula(std::mt19937& random, const FormulaShape& shape) {
  return RandomFormulaAt(random, shape, 0);
}

std::string LetterName(int i) {
  return std::string(1, static_cast<char>(i < 26 ? 'A' + i : 'a' + i - 26));
}

namespace {

// "&(~a|~b)": the two letters not both.
void AppendNotBoth(std::string& text, int a, int b) {
  text += "&(~";
  text += LetterName(a);
  text += "|~";
  text += LetterName(b);
  text += ')';
}

// "(a|b|...)" over count letters from first on, with the given step.
void AppendClause(std::string& text, int first, int count, int step = 1) {
  text += '(';
  for (int i = 0; i < count; ++i) {
    if (i > 0) text += '|';
    text += LetterName(first + i * step);
  }
  text += ')';
}

}  // namespace

std::string Pigeonhole(int pigeons, int holes) {
  std::string text;
  for (int p = 0; p < pigeons; ++p) {
    if (p > 0) text += '&';
    AppendClause(text, p * holes, holes);
  }
  for (int h = 0; h < holes; ++h) {
    for (int p = 0; p < pigeons; ++p) {
      for (int q = p + 1; q < pigeons; ++q) AppendNotBoth(text, p * holes + h, q * holes + h);
    }
  }
  return text;
}

std::string ExactlyOne(int letters) {
  std::string text;
  AppendClause(text, 0, letters);
  for (int i = 0; i < letters; ++i) {
    for (int j = i + 1; j < letters; ++j) AppendNotBoth(text, i, j);
  }
  return text;
}

std::string Parity(int letters, char oper) {
  std::string text = LetterName(0);
  for (int i = 1; i < letters; ++i) {
    text += oper;
    text += LetterName(i);
  }
  return text;
}

std::string Colouring(int vertices, int colours, const std::vector<std::pair<int, int>>& edges) {
  std::string text;
  for (int v = 0; v < vertices; ++v) {
    if (v > 0) text += '&';
    AppendClause(text, v * colours, colours);
  }
  for (const auto& [a, b] : edges) {
    for (int c = 0; c < colours; ++c) AppendNotBoth(text, a * colours + c, b * colours + c);
  }
  return text;
}

std::string RandomCnf(std::mt19937& random, int letters, int clauses, int width) {
  std::string text;
  for (int c = 0; c < clauses; ++c) {
    text += c == 0 ? "(" : "&(";
    for (int l = 0; l < width; ++l) {
      if (l > 0) text += '|';
      if (random() % 2 == 0) text += '~';
      text += LetterName(static_cast<int>(random() % static_cast<unsigned>(letters)));
    }
    text += ')';
  }
  return text;
}

}  // namespace lumenark::testing
