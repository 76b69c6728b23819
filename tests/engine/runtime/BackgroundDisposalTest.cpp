// Handing a document's tree to the disposer thread, and the heartbeat that lets a long
// copy or disposal process pending input.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "formula/BackgroundDisposal.h"
#include "formula/NodeAllocator.h"
#include "formula/TreeOperations.h"
#include "runtime/EngineStack.h"
#include "runtime/Heartbeat.h"

namespace lumenark::testing {
namespace {

std::string Chain(int letters) {
  std::string chain = "A";
  for (int i = 1; i < letters; ++i) chain += (i % 2 ? "&~" : "|") + std::string(1, "ABCDEFG"[i % 7]);
  return chain;
}

TEST(BackgroundDisposalTest, DocumentsHandOverTheirTreesAndEveryNodeIsFreed) {
  const std::size_t live = LiveNodeCount();
  SetBackgroundDisposal(true);
  {
    Session first(Chain(200'000));
    first.Run(FormulaCommand::Compile);
    ASSERT_GT(LiveNodeCount(), live);
    first.text.ReplaceSelection("A&B");
    first.text.Select(first.text.Size() - 3, 3);
    first.Run(FormulaCommand::Compile);  // the old tree goes to the disposer
    EXPECT_EQ(Structure(first.doc.Root), "(A&B)");
    Session stopped("(a&b)|(c&d)|(e&f)|(g&h)|(i&j)|(k&l)|(m&n)|(o&p)");
    stopped.host.stopAtCall = 200;
    stopped.Run(FormulaCommand::Conjunctive);
    EXPECT_EQ(stopped.doc.Root, nullptr) << "the stopped normal form is discarded";
  }
  SetBackgroundDisposal(false);
  WaitForBackgroundDisposal();
  EXPECT_EQ(LiveNodeCount(), live);
}

TEST(HeartbeatTest, LongCopiesAndDisposalsProcessPendingInput) {
  Session session(Chain(300'000));
  session.Run(FormulaCommand::Compile);
  TestHost host;
  FormulaNode* copy = nullptr;
  RunOnEngineStack([&] {  // the chain is deep
    {
      HeartbeatScope scope(host);
      ASSERT_TRUE(RCopyTree(session.doc.Root, copy));
      const std::uint64_t afterCopy = host.pendingInputCalls;
      EXPECT_GE(afterCopy, 2u);
      RDisposeTree(copy);
      EXPECT_GT(host.pendingInputCalls, afterCopy);
    }
    const std::uint64_t outside = host.pendingInputCalls;
    ASSERT_TRUE(RCopyTree(session.doc.Root, copy));
    RDisposeTree(copy);
    EXPECT_EQ(host.pendingInputCalls, outside) << "no beats reach a host outside its scope";
  });
}

}  // namespace
}  // namespace lumenark::testing
