// Input a million characters long: chains, negations and parentheses nested as deep as
// the text allows compile, print and are disposed without exhausting the stack, and so
// do the operations that follow.

#include <gtest/gtest.h>
#include <pthread.h>

#include <functional>

#include "TestSupport.h"
#include "formula/NodeAllocator.h"
#include "formula/TreeOperations.h"
#include "formula/TreeSnapshot.h"

namespace lumenark::testing {
namespace {

constexpr std::size_t kLength = 1'000'000;

std::string Chain(char op) {
  std::string text = "A";
  text.reserve(kLength);
  while (text.size() + 2 <= kLength) (text += op) += 'A';
  return text;
}

TEST(DeepInputTest, LeftNestedChainCompilesPrintsAndIsDisposed) {
  const std::size_t live = LiveNodeCount();
  {
    const std::string chain = Chain('&');
    Session session(chain, {.width = 250});
    session.Run(FormulaCommand::Compile);
    ASSERT_EQ(session.doc.ParseError, 0);
    EXPECT_EQ(LiveNodeCount() - live, chain.size());
    session.Run(FormulaCommand::Decompile);
    const std::string text = session.Text();
    std::string printed;
    for (char c : Written(text)) {
      if (c != '\n') printed += c;
    }
    EXPECT_EQ(printed, chain);
    Session tree(chain);
    tree.Run(FormulaCommand::Tree);
    EXPECT_EQ(tree.host.messages, std::vector<std::string>{"Formula too large for a tree diagram."});
  }
  EXPECT_EQ(LiveNodeCount(), live);
}

TEST(DeepInputTest, RightNestedImplicationsAndNestedParentheses) {
  std::string implications;
  for (std::size_t i = 0; i < kLength / 3; ++i) implications += "A>(";
  implications += 'A';
  implications += std::string(kLength / 3, ')');
  Session session(implications);
  session.Run(FormulaCommand::Literals);
  ASSERT_EQ(session.doc.ParseError, 0);
  EXPECT_EQ(CheckTree(session.doc.Root), "");

  std::string parentheses = std::string(kLength / 2, '(') + "A" + std::string(kLength / 2, ')');
  Session nested(parentheses);
  nested.Run(FormulaCommand::Compile);
  ASSERT_EQ(nested.doc.ParseError, 0);
  EXPECT_EQ(Structure(nested.doc.Root), "A");
}

TEST(DeepInputTest, MillionNegations) {
  Session session(std::string(kLength - 1, '~') + "A");
  session.Run(FormulaCommand::Compile);
  ASSERT_EQ(session.doc.ParseError, 0);
  EXPECT_EQ(Structure(session.doc.Root), "~A");
  Session even(std::string(kLength - 2, '~') + "A");
  even.Run(FormulaCommand::Compile);
  EXPECT_EQ(Structure(even.doc.Root), "A");
}

TEST(DeepInputTest, NormalFormsAndDecisionOfADeepChain) {
  std::string chain = "a";
  for (int i = 1; i < 200'000; ++i) chain += (i % 3 == 0 ? "&~" : "&") + std::string(1, "abcde"[i % 5]);
  Session cnf(chain);
  cnf.Run(FormulaCommand::Conjunctive);
  EXPECT_EQ(Written(cnf.Text()), "0\n");  // a and ~a both occur
  Session decision("(" + chain + ")|1");
  decision.Run(FormulaCommand::Decision);
  EXPECT_EQ(Written(decision.Text()), "This formula is valid.\n");
  Session evaluate(chain + "&1");
  evaluate.Run(FormulaCommand::Evaluate);
  const auto negations = static_cast<std::size_t>(std::count(chain.begin(), chain.end(), '~'));
  EXPECT_EQ(CountNodes(evaluate.doc.Root), chain.size() - negations) << "only the constant went";
}

// Runs job on a thread of its own whose stack holds the given bytes, without the engine
// stack: as deep as the engine can go where no large stack could be reserved.
void OnSmallStack(std::size_t bytes, const std::function<void()>& job) {
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, bytes);
  pthread_t thread;
  auto run = [](void* argument) -> void* {
    (*static_cast<const std::function<void()>*>(argument))();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attributes, run, const_cast<std::function<void()>*>(&job)), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
}

// Work deeper than the stack holds ends as exhausted memory does, instead of overflowing;
// the parser and disposal need no stack at all.
TEST(DeepInputTest, DeeperThanTheStackEndsAsExhaustedMemory) {
  const std::size_t live = LiveNodeCount();
  const std::string nested = std::string(kLength / 2, '(') + "~(A&B)" + std::string(kLength / 2, ')');
  Session parse(nested);
  OnSmallStack(std::size_t{64} << 10, [&] { parse.doc.XComp(); });
  EXPECT_EQ(parse.doc.ParseError, 0);
  EXPECT_EQ(Structure(parse.doc.Root), "~(A&B)");
  parse.doc.DisposeTree();

  Session convert(Chain('&'));
  convert.Run(FormulaCommand::Compile);
  OnSmallStack(std::size_t{16} << 20, [&] { convert.doc.ToCNF(); });
  EXPECT_TRUE(MemoryExhausted);
  EXPECT_EQ(convert.doc.Root, nullptr) << "a stopped normal form is discarded";
  MemoryExhausted = false;
  StopRequested = false;

  Session dispose(Chain('|'));
  dispose.Run(FormulaCommand::Compile);
  FormulaNode* tree = dispose.doc.Root;
  dispose.doc.Root = nullptr;
  OnSmallStack(std::size_t{64} << 10, [&] { RDisposeTree(tree); });
  EXPECT_EQ(LiveNodeCount(), live);
}

// The printer, the copy, the connective conversions and the constant evaluation keep a
// stack of their own: a chain of 200,000 letters goes through each of them on a stack of
// 256 KiB, where a recursion would end as exhausted memory.
TEST(DeepInputTest, StackFreeWorkersOnASmallStack) {
  std::string chain = "A";
  for (int i = 1; i < 200'000; ++i) chain += std::string(i % 7 == 0 ? "|" : i % 3 == 0 ? ">" : "&") + "ABC0"[i % 4];
  const std::vector<std::pair<const char*, std::function<void(FormulaDocument&)>>> workers = {
      {"print", [](FormulaDocument& doc) { doc.XDecomp(); }},
      {"copy",
       [](FormulaDocument& doc) {
         FormulaNode* copy = nullptr;
         ASSERT_TRUE(RCopyTree(doc.Root, copy));
         EXPECT_EQ(SaveTree(copy), SaveTree(doc.Root));
         RDisposeTree(copy);
       }},
      {"implications", [](FormulaDocument& doc) { doc.RToImp(doc.Root); }},
      {"disjunctions", [](FormulaDocument& doc) { doc.RToDis(doc.Root); }},
      {"conjunctions", [](FormulaDocument& doc) { doc.RToCon(doc.Root); }},
      {"literals", [](FormulaDocument& doc) { doc.RToConDis(doc.Root); }},
      {"evaluate", [](FormulaDocument& doc) { doc.RConstEval(doc.Root); }},
  };
  const std::size_t live = LiveNodeCount();
  for (const auto& [name, worker] : workers) {
    Session session(chain, {.width = 250});
    session.Run(FormulaCommand::Compile);
    OnSmallStack(std::size_t{256} << 10, [&] { worker(session.doc); });
    EXPECT_FALSE(MemoryExhausted) << name;
    EXPECT_EQ(CheckTree(session.doc.Root), "") << name;
    if (std::string_view(name) == "print") {
      std::string printed = Written(session.Text());
      std::erase(printed, '\n');
      EXPECT_EQ(printed, chain);
    }
  }
  EXPECT_EQ(LiveNodeCount(), live);
}

}  // namespace
}  // namespace lumenark::testing
