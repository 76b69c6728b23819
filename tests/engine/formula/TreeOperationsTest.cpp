// The shared tree operations: dispose, copy, overwrite, re-associate, change operator.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "formula/NodeAllocator.h"
#include "formula/TreeOperations.h"

namespace lumenark::testing {
namespace {

FormulaNode* Literal(char symbol) {
  FormulaNode* node = AllocateNode();
  *node = FormulaNode{symbol, nkLiteral, 0, nullptr, nullptr};
  return node;
}

FormulaNode* Operator(char symbol, FormulaNode* left, FormulaNode* right) {
  FormulaNode* node = AllocateNode();
  *node = FormulaNode{symbol, KindOfOperator(symbol), 0, left, right};
  return node;
}

class TreeOperationsTest : public ::testing::Test {
 protected:
  void SetUp() override { liveBefore_ = LiveNodeCount(); }
  void TearDown() override { EXPECT_EQ(LiveNodeCount(), liveBefore_) << "nodes leaked"; }
  std::size_t liveBefore_ = 0;
};

TEST_F(TreeOperationsTest, DisposingALiteralNeverFollowsItsLinks) {
  FormulaNode* linked = Literal('B');
  FormulaNode* literal = Literal('A');
  literal->left = linked;
  literal->right = linked;
  RDisposeTree(literal);
  EXPECT_EQ(literal, nullptr);
  RDisposeTree(linked);
}

TEST_F(TreeOperationsTest, DeepCopyKeepsLiteralLinksAndSharesNothingElse) {
  FormulaNode* tree = Operator('&', Literal('A'), Literal('B'));
  tree->negated = 1;
  FormulaNode* marker = reinterpret_cast<FormulaNode*>(0x10);
  tree->left->right = marker;  // a link value that must be copied, not followed
  FormulaNode* copy = nullptr;
  ASSERT_TRUE(RCopyTree(tree, copy));
  EXPECT_NE(copy, tree);
  EXPECT_NE(copy->left, tree->left);
  EXPECT_EQ(copy->left->right, marker);
  EXPECT_EQ(Structure(copy), "~(A&B)");
  tree->left->right = nullptr;
  copy->left->right = nullptr;
  RDisposeTree(tree);
  RDisposeTree(copy);
}

TEST_F(TreeOperationsTest, CopiesFromEmptySlotsChangeNothing) {
  FormulaNode* empty = nullptr;
  FormulaNode* target = Literal('X');
  FormulaNode* kept = target;
  EXPECT_TRUE(CopyNode(empty, target));
  EXPECT_EQ(target, kept);
  const std::size_t live = LiveNodeCount();
  ShCopyNode(target, empty);  // an empty target: nothing is allocated
  EXPECT_EQ(empty, nullptr);
  EXPECT_EQ(LiveNodeCount(), live);
  RDisposeTree(target);
}

TEST_F(TreeOperationsTest, CopyTreeWithoutDocumentTreeLeavesTargetAlone) {
  Session session("");
  FormulaNode* target = Literal('X');
  FormulaNode* kept = target;
  session.doc.CopyTree(target);
  EXPECT_EQ(target, kept);
  RDisposeTree(target);
}

TEST_F(TreeOperationsTest, FailedDeepCopyFreesThePartialCopy) {
  Session session("(A&~B)|(C>D)=E");
  session.Run(FormulaCommand::Compile);
  const std::size_t live = LiveNodeCount();
  for (std::uint64_t n = 1; n <= 9; ++n) {
    FormulaNode* target = nullptr;
    ArmAllocationFailure(n);
    EXPECT_FALSE(RCopyTree(session.doc.Root, target)) << n;
    EXPECT_EQ(target, nullptr);
    EXPECT_EQ(LiveNodeCount(), live) << n;
  }
  ArmAllocationFailure(0);
  MemoryExhausted = false;
}

struct FindOperCase {
  const char* formula;
  char symbol;
  const char* after;
};

class FindOperTest : public ::testing::TestWithParam<FindOperCase> {};

TEST_P(FindOperTest, ReassociatesTheChain) {
  Session session(GetParam().formula);
  session.Run(FormulaCommand::Compile);
  FindOper(session.doc.Root, GetParam().symbol);
  EXPECT_EQ(Structure(session.doc.Root), GetParam().after);
  EXPECT_EQ(CheckTree(session.doc.Root), "");
}

INSTANTIATE_TEST_SUITE_P(Examples, FindOperTest, ::testing::Values(
    FindOperCase{"((P&Q)|S)|R", '&', "((P&Q)|(R|S))"},
    FindOperCase{"R|((P&Q)|S)", '&', "((P&Q)|(R|S))"},
    FindOperCase{"(P&Q)|R", '&', "((P&Q)|R)"},
    FindOperCase{"R|(P&Q)", '&', "((P&Q)|R)"},
    FindOperCase{"A|B", '&', "(A|B)"},
    FindOperCase{"(A|(B|(C&D)))|E", '&', "((C&D)|(A|(B|E)))"}));

TEST(ChangeOperTest, KeepsOperandsAndNegation) {
  Session session("~(A>B)");
  session.Run(FormulaCommand::Compile);
  FormulaNode* root = session.doc.Root;
  FormulaNode* left = root->left;
  ChangeOper(root, '&');
  EXPECT_EQ(root->kind, nkConjunction);
  EXPECT_EQ(root->negated, 1);
  EXPECT_EQ(root->left, left);
  ChangeOper(nullptr, '&');  // nothing happens
}

}  // namespace
}  // namespace lumenark::testing
