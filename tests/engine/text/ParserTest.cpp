// The parser: grammar, precedence and associativity, error codes with their messages
// and caret positions, and what a compile does to the document's tree.

#include <gtest/gtest.h>

#include "ReferenceAlgorithms.h"
#include "TestSupport.h"
#include "formula/TreeOperations.h"
#include "formula/NodeAllocator.h"
#include "text/ParseErrors.h"

namespace lumenark::testing {
namespace {

struct StructureCase {
  const char* formula;
  const char* structure;
};

class ParserStructureTest : public ::testing::TestWithParam<StructureCase> {};

TEST_P(ParserStructureTest, BuildsTheTree) {
  Session session(GetParam().formula);
  session.Run(FormulaCommand::Compile);
  ASSERT_EQ(session.doc.ParseError, 0);
  EXPECT_EQ(Structure(session.doc.Root), GetParam().structure);
  EXPECT_EQ(CheckTree(session.doc.Root), "");
  EXPECT_TRUE(session.host.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Grammar, ParserStructureTest, ::testing::Values(
    StructureCase{"A&B|C", "((A&B)|C)"},
    StructureCase{"A|B&C", "(A|(B&C))"},
    StructureCase{"A>B>C", "((A>B)>C)"},
    StructureCase{"A=B=C", "((A=B)=C)"},
    StructureCase{"A=B>C|D&E", "(A=(B>(C|(D&E))))"},
    StructureCase{"~~A", "A"},
    StructureCase{"~(A&B)", "~(A&B)"},
    StructureCase{"~(~A)", "A"},
    StructureCase{"~~~(A|~b)", "~(A|~b)"},
    StructureCase{"a & (b\r\n|\tc)\r\n", "(a&(b|c))"},
    StructureCase{"0>1", "(0>1)"},
    StructureCase{"((((A))))", "A"}));

struct ErrorCase {
  const char* formula;
  int code;
  const char* message;
  std::size_t caret;  // from the selection start
};

class ParserErrorTest : public ::testing::TestWithParam<ErrorCase> {};

// The selection starts after a first line, so the caret is checked relative to it.
TEST_P(ParserErrorTest, ReportsCodeMessageAndCaret) {
  const std::string prefix = "note\r\n";
  const std::string formula = GetParam().formula;
  MemoryEditorText text(prefix + formula + "\r\nrest");
  TestHost host;
  FormulaDocument doc(text, host);
  text.SetSelectionStart(prefix.size());
  text.SetSelectionLength(formula.size());
  RunFormulaCommand(doc, FormulaCommand::Compile);
  EXPECT_EQ(doc.ParseError, GetParam().code);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], GetParam().message);
  EXPECT_EQ(text.SelectionStart(), prefix.size() + GetParam().caret);
  EXPECT_EQ(text.SelectionLength(), 0u);
  EXPECT_EQ(doc.Root, nullptr);
  EXPECT_EQ(text.Text(), prefix + formula + "\r\nrest") << "a failed compile writes nothing";
}

INSTANTIATE_TEST_SUITE_P(Errors, ParserErrorTest, ::testing::Values(
    ErrorCase{"A B", 2, "Missing operator.", 2},
    ErrorCase{"A &", 3, "Missing expression.", 2},
    ErrorCase{"A & ", 3, "Missing expression.", 3},
    ErrorCase{")", 3, "Missing expression.", 0},
    ErrorCase{"A)", 5, "Unexpected right bracket.", 1},
    ErrorCase{"(A", 4, "Missing right bracket.", 1},
    ErrorCase{"()", 3, "Missing expression.", 1},
    ErrorCase{"A&2", 1, "Illegal character.", 2},
    ErrorCase{"#A", 1, "Illegal character.", 0},
    ErrorCase{"~", 3, "Missing expression.", 0},
    ErrorCase{"(~", 3, "Missing expression.", 1},
    ErrorCase{"(A&B)|(C", 4, "Missing right bracket.", 7},
    ErrorCase{"  \r\n ", 3, "Missing expression.", 4},
    ErrorCase{"A\xE4", 1, "Illegal character.", 1},
    ErrorCase{"A\x7F", 1, "Illegal character.", 1}));

TEST(ParserTest, NulInsideTheSelectionIsIllegal) {
  Session session(std::string("A\0B", 3));
  session.Run(FormulaCommand::Compile);
  EXPECT_EQ(session.doc.ParseError, 1);
  EXPECT_EQ(session.host.messages, std::vector<std::string>{"Illegal character."});
  EXPECT_EQ(session.text.SelectionStart(), 1u);
  EXPECT_EQ(session.doc.Root, nullptr);
}

TEST(ParserTest, FailedCompileKeepsTheOldTreeAndFreesEveryPartialNode) {
  Session session("A|B");
  session.Run(FormulaCommand::Compile);
  FormulaNode* old = session.doc.Root;
  const std::size_t live = LiveNodeCount();
  session.text.ReplaceSelection("(A&B)|(C");
  session.text.SetSelectionStart(session.text.Size() - 8);
  session.text.SetSelectionLength(8);
  session.Run(FormulaCommand::Compile);
  EXPECT_EQ(session.doc.ParseError, 4);
  EXPECT_EQ(session.doc.Root, old);
  EXPECT_EQ(LiveNodeCount(), live);
}

TEST(ParserTest, SuccessfulCompileFreesTheOldTreeAndBreaksTheLineBehindTheSelection) {
  Session session("A|B&C");
  session.Run(FormulaCommand::Compile);
  const std::size_t live = LiveNodeCount();
  session.text.SetSelectionStart(session.text.Size());
  session.text.ReplaceSelection("x A&B rest");
  session.text.SetSelectionStart(session.text.Size() - 8);
  session.text.SetSelectionLength(3);
  session.Run(FormulaCommand::Compile);
  EXPECT_EQ(session.doc.ParseError, 0);
  EXPECT_EQ(Structure(session.doc.Root), "(A&B)");
  EXPECT_EQ(LiveNodeCount(), live - 5 + 3);
  EXPECT_EQ(session.Text(), "A|B&C\nx A&B\n rest");
  EXPECT_EQ(session.text.SelectionStart(), session.text.Size() - 5);
  EXPECT_EQ(OutputColumn, 0);
}

TEST(ParserTest, SelectionsLongerThanSixteenBitsCompile) {
  std::string formula = "A";
  while (formula.size() < 70000) formula += "|B";
  formula += " 2";  // an error past 65535 must be found at its real place
  Session session(formula);
  session.Run(FormulaCommand::Compile);
  EXPECT_EQ(session.doc.ParseError, 1);
  EXPECT_EQ(session.text.SelectionStart(), formula.size() - 1);

  formula.resize(formula.size() - 2);
  Session good(formula);
  good.Run(FormulaCommand::Compile);
  EXPECT_EQ(good.doc.ParseError, 0);
  EXPECT_EQ(CountNodes(good.doc.Root), formula.size());
}

TEST(ParserTest, ExhaustedMemoryGivesCodeEightAndKeepsTheOldTree) {
  const std::string formula = "(A&~B)|(C>D)=E";
  Session session("Z");
  session.Run(FormulaCommand::Compile);
  FormulaNode* old = session.doc.Root;
  const std::size_t live = LiveNodeCount();
  for (std::uint64_t n = 1; n <= 9; ++n) {
    session.text.SetSelectionStart(session.text.Size());
    session.text.ReplaceSelection(formula);
    session.text.SetSelectionStart(session.text.Size() - formula.size());
    session.text.SetSelectionLength(formula.size());
    session.host.messages.clear();
    ArmAllocationFailure(n);
    session.Run(FormulaCommand::Compile);
    EXPECT_EQ(session.doc.ParseError, kInsufficientMemory) << n;
    EXPECT_EQ(FirstLines(session.host.messages), std::vector<std::string>{"Insuficient memory."}) << n;
    EXPECT_EQ(session.doc.Root, old);
    EXPECT_EQ(LiveNodeCount(), live) << n;
    EXPECT_FALSE(MemoryExhausted);
  }
  ArmAllocationFailure(0);
}

TEST(ParserTest, CompileWithoutSelectionAsksForOne) {
  Session session("A");
  session.text.SetSelectionStart(1);
  session.Run(FormulaCommand::Compile);
  EXPECT_EQ(session.host.messages, std::vector<std::string>{"No selected text."});
  EXPECT_EQ(session.Text(), "A");
}

// The parser keeps its own stack; on any text it does what the recursive descent does:
// the same tree, the same error code and the same caret. Random texts over the formula
// characters, blanks, a tab and two illegal characters, nested up to 40 deep.
TEST(ParserTest, AsTheRecursiveDescent) {
  std::mt19937 random(17);
  const std::string alphabet = "AAbB01~~~(((()))&&||>>== \t2?";
  const std::size_t live = LiveNodeCount();
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    const std::size_t length = random() % (i < 10000 ? 12 : 80);
    for (std::size_t k = 0; k < length; ++k) text += alphabet[random() % alphabet.size()];
    if (i % 3 == 0) text = std::string(random() % 40, '(') + text + std::string(random() % 40, ')');
    const ReferenceParse reference = ReferenceCompile(text);
    Session session("x" + text);
    session.text.Select(1, text.size());
    session.doc.XComp();
    ASSERT_EQ(session.doc.ParseError, reference.error) << text;
    if (reference.error == 0) {
      ASSERT_EQ(Structure(session.doc.Root), Structure(reference.tree)) << text;
      FormulaNode* tree = reference.tree;
      RDisposeTree(tree);
    } else {
      ASSERT_EQ(session.text.SelectionStart(), 1 + (reference.position > 0 ? reference.position - 1 : 0)) << text;
    }
  }
  EXPECT_EQ(LiveNodeCount(), live);
}

}  // namespace
}  // namespace lumenark::testing
