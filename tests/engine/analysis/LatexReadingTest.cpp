// The latex command's math read as a reader of mathematics reads it: its brackets leave
// one reading under every usual convention, and that reading is the formula.

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <random>
#include <stdexcept>

#include "TestSupport.h"
#include "analysis/LatexFormula.h"
#include "analysis/WrittenFormula.h"

namespace lumenark::testing {
namespace {

// A formula as read: a letter or constant, a negation ('~', one operand) or a connective.
struct Reading {
  char symbol;
  std::vector<Reading> operands;
};

// Chains of one conjunction or disjunction are flattened, as a reader sees them.
std::string Canonical(const Reading& r) {
  if (r.operands.empty()) return std::string(1, r.symbol);
  if (r.symbol == '~') return "~" + Canonical(r.operands[0]);
  std::string text(1, r.symbol);
  text += '(';
  bool first = true;
  // The operands in order, descending through operands of the same chain.
  std::function<void(const Reading&)> add = [&](const Reading& operand) {
    if ((r.symbol == '&' || r.symbol == '|') && operand.symbol == r.symbol && !operand.operands.empty()) {
      for (const Reading& inner : operand.operands) add(inner);
      return;
    }
    text += (first ? "" : ",") + Canonical(operand);
    first = false;
  };
  for (const Reading& operand : r.operands) add(operand);
  return text + ")";
}

Reading OfTree(const FormulaNode* node) {
  Reading r{node->symbol, {}};
  if (!IsLiteral(node)) r.operands = {OfTree(node->left), OfTree(node->right)};
  return node->negated ? Reading{'~', {r}} : r;
}

// Double negations cancel, as they do in the tree.
Reading Folded(Reading r) {
  for (Reading& operand : r.operands) operand = Folded(std::move(operand));
  if (r.symbol == '~' && r.operands[0].symbol == '~') return r.operands[0].operands[0];
  return r;
}

struct Ambiguous : std::runtime_error {
  Ambiguous() : std::runtime_error("ambiguous") {}
};

// Reads LaTeX math, accepting only what every usual convention reads alike: \neg binds
// most tightly; \land and \lor bind more tightly than \rightarrow and \leftrightarrow; a
// chain of one \land or of one \lor reads the same however it groups. A chain of
// implications or of equivalences, \land beside \lor, or \rightarrow beside
// \leftrightarrow without brackets is ambiguous.
class MathReader {
 public:
  explicit MathReader(const std::string& math) {
    std::size_t i = 0;
    if (math.size() < 2 || math.front() != '$' || math.back() != '$') throw std::runtime_error("no $...$");
    const std::string body = math.substr(1, math.size() - 2);
    while (i < body.size()) {
      if (body[i] == ' ') {
        ++i;
      } else if (body[i] == '\\') {
        std::size_t end = i + 1;
        while (end < body.size() && std::isalpha(static_cast<unsigned char>(body[end]))) ++end;
        tokens_.push_back(body.substr(i, end - i));
        i = end;
      } else {
        tokens_.push_back(body.substr(i++, 1));
      }
    }
  }

  std::string Read(bool foldNegations = false) {
    try {
      const Reading r = Sequence();
      if (at_ != tokens_.size()) return "error: " + tokens_[at_] + " after the formula";
      return Canonical(foldNegations ? Folded(r) : r);
    } catch (const std::exception& e) {
      return e.what();
    }
  }
  // Double negations cancelled, as in a tree.
  std::string ReadFoldedNegations() { return Read(true); }

 private:
  static char Connective(const std::string& token) {
    if (token == "\\land") return '&';
    if (token == "\\lor") return '|';
    if (token == "\\rightarrow") return '>';
    if (token == "\\leftrightarrow") return '=';
    return 0;
  }

  Reading Unit() {
    if (at_ == tokens_.size()) throw std::runtime_error("error: missing operand");
    const std::string token = tokens_[at_++];
    if (token == "\\neg") return Reading{'~', {Unit()}};
    if (token == "\\top") return Reading{'1', {}};
    if (token == "\\bot") return Reading{'0', {}};
    if (token.size() == 1 && std::isalpha(static_cast<unsigned char>(token[0]))) return Reading{token[0], {}};
    if (token == "(") {
      Reading inner = Sequence();
      if (at_ == tokens_.size() || tokens_[at_++] != ")") throw std::runtime_error("error: missing )");
      return inner;
    }
    throw std::runtime_error("error: unexpected " + token);
  }

  // Operands joined by one kind of \land or \lor.
  static Reading Chain(std::vector<Reading> units, const std::vector<char>& connectives) {
    if (connectives.empty()) return units[0];
    for (char c : connectives) {
      if (c != connectives[0]) throw Ambiguous();
    }
    return Reading{connectives[0], std::move(units)};
  }

  Reading Sequence() {
    std::vector<Reading> units{Unit()};
    std::vector<char> connectives;
    while (at_ < tokens_.size() && Connective(tokens_[at_]) != 0) {
      connectives.push_back(Connective(tokens_[at_++]));
      units.push_back(Unit());
    }
    std::size_t arrows = 0, arrowAt = 0;
    for (std::size_t i = 0; i < connectives.size(); ++i) {
      if (connectives[i] == '>' || connectives[i] == '=') ++arrows, arrowAt = i;
    }
    if (arrows > 1) throw Ambiguous();
    if (arrows == 0) return Chain(units, connectives);
    Reading left = Chain({units.begin(), units.begin() + static_cast<long>(arrowAt) + 1},
                         {connectives.begin(), connectives.begin() + static_cast<long>(arrowAt)});
    Reading right = Chain({units.begin() + static_cast<long>(arrowAt) + 1, units.end()},
                          {connectives.begin() + static_cast<long>(arrowAt) + 1, connectives.end()});
    return Reading{connectives[arrowAt], {left, right}};
  }

  std::vector<std::string> tokens_;
  std::size_t at_ = 0;
};

std::string Read(const std::string& math) { return MathReader(math).Read(); }

TEST(LatexReadingTest, TheReaderRefusesWhatConventionsReadDifferently) {
  EXPECT_EQ(Read("$A \\rightarrow B \\rightarrow (B \\rightarrow A)$"), "ambiguous");
  EXPECT_EQ(Read("$A \\leftrightarrow B \\leftrightarrow C$"), "ambiguous");
  EXPECT_EQ(Read("$A \\land B \\lor C$"), "ambiguous");
  EXPECT_EQ(Read("$A \\rightarrow B \\leftrightarrow C$"), "ambiguous");
  EXPECT_EQ(Read("$\\neg A \\land B \\land (C \\lor \\top) \\rightarrow \\neg (D \\lor E)$"), ">(&(~A,B,|(C,1)),~|(D,E))");
}

TEST(LatexReadingTest, ExamplesReadAsTheirFormulas) {
  const std::pair<const char*, const char*> examples[] = {
      {"(A>B)>(B>A)", "$(A \\rightarrow B) \\rightarrow (B \\rightarrow A)$\n"},
      {"A>(B>C)", "$A \\rightarrow (B \\rightarrow C)$\n"},
      {"(A=B)=C", "$(A \\leftrightarrow B) \\leftrightarrow C$\n"},
      {"A&B|C&~D", "$(A \\land B) \\lor (C \\land \\neg D)$\n"},
      {"(A|B)&C&D", "$(A \\lor B) \\land C \\land D$\n"},
      {"A|B>C&D=~E", "$(A \\lor B \\rightarrow C \\land D) \\leftrightarrow \\neg E$\n"},
  };
  for (const auto& [formula, latex] : examples) {
    Session session(formula);
    EXPECT_EQ(Written(session.Run(FormulaCommand::Latex)), latex) << formula;
  }
}

// Random formulas of every shape, left- and right-nested: the LaTeX has one reading,
// and it is the tree's.
TEST(LatexReadingTest, RandomFormulasReadAsTheirTrees) {
  std::mt19937 random(27);
  for (int n = 0; n < 3000; ++n) {
    const std::string formula = RandomFormula(random, {.letters = 6, .maxDepth = 2 + n % 5});
    Session session(formula, {.width = 21 + n % 200});
    std::string math;
    for (char c : Written(session.Run(FormulaCommand::Latex))) {
      if (c != '\n') math += c;  // the command breaks long formulas after a connective
    }
    ASSERT_EQ(Read(math), Canonical(OfTree(session.doc.Root))) << formula << "\n" << math;
  }
}

// The written formula as plain text and as LaTeX math ("$...$").
std::string WrittenPlain(const std::string& text) {
  std::string plain;
  if (!PrintWrittenFormula(text, kPlainSymbols, [&](std::string_view piece) {
        plain += piece;
        return true;
      })) {
    return "no formula";
  }
  return plain;
}

std::string WrittenMath(const std::string& text) {
  std::string math = "$";
  PrintWrittenFormula(text, kLatexSymbols, [&](std::string_view piece) {
    math += piece;
    return true;
  });
  return math + "$";
}

// A formula line keeps every token as written; brackets come in only where a reader of
// mathematics would group otherwise.
TEST(WrittenFormulaTest, TokensAsWrittenWithTheBracketsReadersNeed) {
  const std::pair<const char*, const char*> examples[] = {
      {"~~A", "$\\neg \\neg A$"},
      {"A|~~B", "$A \\lor \\neg \\neg B$"},
      {"A&(B&C)", "$A \\land (B \\land C)$"},
      {"A&B&C", "$A \\land B \\land C$"},
      {"((A))", "$((A))$"},
      {"A>B>C", "$(A \\rightarrow B) \\rightarrow C$"},
      {"A>B>C>D", "$((A \\rightarrow B) \\rightarrow C) \\rightarrow D$"},
      {"A>(B>C)", "$A \\rightarrow (B \\rightarrow C)$"},
      {"A|B&C", "$A \\lor (B \\land C)$"},
      {"A&B|C", "$(A \\land B) \\lor C$"},
      {"A>B&C", "$A \\rightarrow B \\land C$"},
      {"A=B=C", "$(A \\leftrightarrow B) \\leftrightarrow C$"},
      {"A=B>C|D&E", "$A \\leftrightarrow (B \\rightarrow C \\lor (D \\land E))$"},
      {"~(1|t)", "$\\neg (\\top \\lor t)$"},
      {"~~(A>B)&0", "$\\neg \\neg (A \\rightarrow B) \\land \\bot$"},
      {" A &\r\n ( B | c ) ", "$A \\land (B \\lor c)$"},
  };
  for (const auto& [text, math] : examples) EXPECT_EQ(WrittenMath(text), math) << text;
  for (const std::string bad : {"", "A B", "A&", "(A", "A)", "()", "~", "A&2", "A|~"}) {
    EXPECT_EQ(WrittenPlain(bad), "no formula") << bad;
  }
  EXPECT_EQ(WrittenPlain(std::string("A\0B", 3)), "no formula");
}

// Random formulas with some of their brackets left out: the written formula is the text
// with brackets added (nothing else changed), and a reader of mathematics reads in it
// the tree the program compiles, negations cancelled in pairs.
TEST(WrittenFormulaTest, RandomFormulasKeepTheirTokensAndReadAsTheirTrees) {
  std::mt19937 random(35);
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
  for (int n = 0; n < 3000; ++n) {
    const std::string full = RandomFormula(random, {.letters = 6, .maxDepth = 2 + n % 5});
    // Leave out each pair of brackets with even odds.
    std::vector<std::size_t> open;
    std::vector<bool> dropped(full.size(), false);
    for (std::size_t i = 0; i < full.size(); ++i) {
      if (full[i] == '(') open.push_back(i);
      if (full[i] == ')') {
        if (pick(2) == 0) dropped[i] = dropped[open.back()] = true;
        open.pop_back();
      }
    }
    std::string text;
    for (std::size_t i = 0; i < full.size(); ++i) {
      if (!dropped[i]) text += full[i];
    }
    const std::string plain = WrittenPlain(text);
    std::size_t at = 0;
    for (const char c : plain) {
      if (at < text.size() && c == text[at]) ++at;
      else ASSERT_TRUE(c == '(' || c == ')') << text << " -> " << plain;
    }
    ASSERT_EQ(at, text.size()) << text << " -> " << plain;
    Session session(text);
    session.Run(FormulaCommand::Compile);
    ASSERT_NE(session.doc.Root, nullptr) << text;
    MathReader reader(WrittenMath(text));
    ASSERT_EQ(reader.ReadFoldedNegations(), Canonical(OfTree(session.doc.Root))) << text << "\n" << WrittenMath(text);
  }
}

}  // namespace
}  // namespace lumenark::testing
