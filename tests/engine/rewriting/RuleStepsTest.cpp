// The local rules called one at a time on a compiled formula: the connective rules,
// distribution, idempotence and complementarity, absorption and extension.

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace lumenark::testing {
namespace {

// The formula as the printer writes it.
std::string PrintedOf(const std::string& formula) {
  return Written(Derive(formula, {FormulaCommand::Compile, FormulaCommand::Decompile}));
}

std::string StructureOf(const std::string& formula) {
  Session session(formula);
  session.Run(FormulaCommand::Compile);
  return Structure(session.doc.Root);
}

struct ConversionCase {
  const char* before;
  FormulaCommand command;
  const char* after;  // with all parentheses
};

void PrintTo(const ConversionCase& c, std::ostream* os) { *os << c.before << " " << CommandName(c.command); }

class ConversionTest : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(ConversionTest, GivesTheTree) {
  Session session(GetParam().before, {.details = 1});
  session.Run(GetParam().command);
  EXPECT_EQ(Structure(session.doc.Root), StructureOf(GetParam().after));
  if (std::string(GetParam().before) == GetParam().after) {
    EXPECT_EQ(Written(session.Text()).find(':'), std::string::npos) << "nothing reported";
  }
}

using C = FormulaCommand;
INSTANTIATE_TEST_SUITE_P(Rules, ConversionTest, ::testing::Values(
    ConversionCase{"A=B", C::Implications, "~((A>B)>~(B>A))"},
    ConversionCase{"~(A=B)", C::Implications, "(A>B)>~(B>A)"},
    ConversionCase{"A&B", C::Implications, "~(A>~B)"},
    ConversionCase{"A|B", C::Implications, "~A>B"},
    ConversionCase{"~A|B", C::Implications, "A>B"},
    ConversionCase{"A>B", C::Implications, "A>B"},
    ConversionCase{"A=B", C::Disjunctions, "~(A|B)|~(~B|~A)"},
    ConversionCase{"~(A=B)", C::Disjunctions, "~(~A|B)|~(~B|A)"},
    ConversionCase{"A&B", C::Disjunctions, "~(~A|~B)"},
    ConversionCase{"A>B", C::Disjunctions, "~A|B"},
    ConversionCase{"A&(B>C)", C::Disjunctions, "~(~A|~(~B|C))"},
    ConversionCase{"A=B", C::Conjunctions, "~(A&~B)&~(B&~A)"},
    ConversionCase{"~(A=B)", C::Conjunctions, "~(~A&~B)&~(B&A)"},
    ConversionCase{"A|B", C::Conjunctions, "~(~A&~B)"},
    ConversionCase{"A>B", C::Conjunctions, "~(A&~B)"},
    ConversionCase{"A>B", C::Literals, "~A|B"},
    ConversionCase{"~(A>B)", C::Literals, "A&~B"},
    ConversionCase{"~(A&B)", C::Literals, "~A|~B"},
    ConversionCase{"~(A|B)", C::Literals, "~A&~B"},
    ConversionCase{"A=B", C::Literals, "(~A|B)&(~B|A)"},
    ConversionCase{"~(A=B)", C::Literals, "(A|B)&(~B|~A)"},
    ConversionCase{"~A", C::Literals, "~A"},
    ConversionCase{"1", C::Disjunctions, "1"},
    ConversionCase{"A", C::Implications, "A"}));

// A compiled formula on which single rules are called; Reported gives what they wrote.
class RuleSession : public Session {
 public:
  RuleSession(const std::string& formula, int details = 1) : Session(formula, {.details = details}) {
    Run(FormulaCommand::Compile);
  }
  std::string Reported(std::size_t from) { return CrLfToLfTail(from); }

 private:
  std::string CrLfToLfTail(std::size_t from) {
    std::string tail = text.Text().substr(from);
    std::string result;
    for (char c : tail) {
      if (c != '\r') result += c;
    }
    return result;
  }
};

TEST(DistributionTest, MultipliesOutAtTheNode) {
  struct Case {
    const char* before;
    const char* after;
  };
  for (const Case& c : {Case{"(A&B)|C", "(A|C)&(B|C)"}, Case{"(A|B)&C", "(A&C)|(B&C)"},
                        Case{"(A&B)|(C&D)", "(A|(C&D))&(B|(C&D))"}}) {
    RuleSession session(c.before);
    const std::size_t start = session.text.Size();
    FormulaNode* root = session.doc.Root;
    FormulaNode* right = root->right;
    session.doc.Distribution(root->left, session.doc.Root);
    EXPECT_EQ(session.doc.Root, root) << "the node stays in its slot";
    EXPECT_EQ(root->right->right, right) << "R itself goes into the right product";
    EXPECT_EQ(Structure(session.doc.Root), StructureOf(c.after));
    EXPECT_EQ(session.Reported(start).rfind("Distribution:", 0), 0u);
  }
  RuleSession literal("A|B");
  const std::size_t start = literal.text.Size();
  literal.doc.Distribution(literal.doc.Root->left, literal.doc.Root);
  EXPECT_EQ(Structure(literal.doc.Root), "(A|B)");
  EXPECT_EQ(literal.Reported(start), "");
}

TEST(DistributionTest, WritesOnlyTheFormulaAtLevelTwoAndNothingAbove) {
  for (int details : {2, 3, 4}) {
    RuleSession session("(A&B)|C", details);
    const std::size_t start = session.text.Size();
    session.doc.Distribution(session.doc.Root->left, session.doc.Root);
    EXPECT_EQ(session.Reported(start), details == 2 ? "(A|C)&(B|C)\n" : "");
  }
}

TEST(IdComTest, IdempotenceAndComplementarity) {
  struct Case {
    const char* formula;
    const char* after;
    const char* comment;
  };
  for (const Case& c : {Case{"A&A", "1&A", "Idempotention:"}, Case{"A|A", "0|A", "Idempotention:"},
                        Case{"~A&~A", "1&~A", "Idempotention:"}, Case{"A&~A", "0&~A", "Complementarity:"},
                        Case{"~A|A", "1|A", "Complementarity:"}, Case{"A&B", "A&B", ""},
                        Case{"A&a", "A&a", ""}, Case{"1&1", "1&1", ""}}) {
    RuleSession session(c.formula);
    const std::size_t start = session.text.Size();
    FormulaNode* first = session.doc.Root->left;
    session.doc.IdCom(first, session.doc.Root->right, session.doc.Root);
    const std::string reported = session.Reported(start);
    EXPECT_EQ(reported, *c.comment ? std::string(c.comment) + c.after + "\n" : "") << c.formula;
    EXPECT_EQ(Structure(session.doc.Root), StructureOf(c.after)) << c.formula;
  }
}

struct AbsExtCase {
  const char* formula;
  const char* comment;  // empty: no rule applies
  const char* afterCall;
  const char* afterEvaluation;
};

void PrintTo(const AbsExtCase& c, std::ostream* os) { *os << c.formula; }

class AbsExtTest : public ::testing::TestWithParam<AbsExtCase> {};

TEST_P(AbsExtTest, MarksWhatIsToGo) {
  const AbsExtCase& c = GetParam();
  RuleSession session(c.formula);
  session.doc.Thread();
  const std::size_t start = session.text.Size();
  bool changed = false;
  FormulaNode* second = session.doc.Root->right;
  session.doc.AbsExt(session.doc.Root->left, second, changed, session.doc.Root->symbol);
  const std::string reported = session.Reported(start);
  EXPECT_EQ(changed, *c.comment != '\0');
  if (*c.comment) {
    EXPECT_EQ(reported, c.comment + PrintedOf(c.afterCall));
    session.doc.UnThread();
    EXPECT_EQ(Structure(session.doc.Root), StructureOf(c.afterCall));
    session.doc.ConstEval();
    EXPECT_EQ(Structure(session.doc.Root), StructureOf(c.afterEvaluation));
  } else {
    EXPECT_EQ(reported, "");
    session.doc.UnThread();
    EXPECT_EQ(Structure(session.doc.Root), StructureOf(c.formula));
  }
}

INSTANTIATE_TEST_SUITE_P(Rules, AbsExtTest, ::testing::Values(
    AbsExtCase{"(A|B)&(A|B)", "Total absorption:", "(1|B)&(A|B)", "A|B"},
    AbsExtCase{"A&A", "Total absorption:", "1&A", "A"},
    AbsExtCase{"(A|C)&(A|~C)", "Extension:", "(1|C)&(A|0)", "A"},
    AbsExtCase{"C&~C", "Extension:", "1&0", "0"},
    AbsExtCase{"(A|B)&A", "Absorption:", "(1|B)&A", "A"},
    AbsExtCase{"A&(A|B)", "Absorption:", "A&(1|B)", "A"},
    AbsExtCase{"(A|C)&(A|B|~C)", "Absorption of negation:", "(A|C)&(A|B|0)", "(A|C)&(A|B)"},
    AbsExtCase{"(A|B|~C)&(A|C)", "Absorption of negation:", "(A|B|0)&(A|C)", "(A|B)&(A|C)"},
    AbsExtCase{"(A&B)|(A&B)", "Total absorption:", "(0&B)|(A&B)", "A&B"},
    AbsExtCase{"(A&C)|(A&~C)", "Extension:", "(0&C)|(A&1)", "A"},
    AbsExtCase{"A|(A&B)", "Absorption:", "A|(0&B)", "A"},
    AbsExtCase{"(A|B)&(C|D)", "", "", ""},
    AbsExtCase{"(A|B|C)&(A|~B|D)", "", "", ""},
    AbsExtCase{"(A|B)&(~A|~B)", "", "", ""},
    AbsExtCase{"(A|B)&(1|C)", "", "", ""}));

TEST(AbsExtTest, ExtensionAtLevelTwoAndAbove) {
  for (int details : {2, 3, 4}) {
    RuleSession session("(A|C)&(A|~C)", details);
    session.doc.Thread();
    const std::size_t start = session.text.Size();
    bool changed = false;
    FormulaNode* second = session.doc.Root->right;
    session.doc.AbsExt(session.doc.Root->left, second, changed, '&');
    session.doc.UnThread();
    EXPECT_TRUE(changed);
    EXPECT_EQ(session.Reported(start), details == 2 ? "(1|C)&(A|0)\n" : "");
  }
}

TEST(ThreadTest, LinksTheVariableLiteralsOfEachElementAndUnThreadClearsThem) {
  RuleSession session("(A|0|C)&B&(~D|E|F)");
  session.doc.Thread();
  FormulaNode* first = session.doc.Root->left->left;  // (A|0|C)
  FormulaNode* a = first->left->left;
  FormulaNode* c = first->right;
  EXPECT_EQ(a->right, c) << "the constant is left out";
  EXPECT_EQ(c->left, a);
  EXPECT_EQ(c->right, nullptr);
  EXPECT_EQ(session.doc.Root->left->right->right, nullptr) << "a single-literal element is not linked";
  EXPECT_NE(CheckTree(session.doc.Root), "");
  session.doc.UnThread();
  EXPECT_EQ(CheckTree(session.doc.Root), "");
}

}  // namespace
}  // namespace lumenark::testing
