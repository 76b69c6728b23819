// The workers that keep a stack of their own (the printer, the copy, the connective
// conversions, the constant evaluation) against their recursive versions: on random
// formulas at every Details level and with a stop at every point, the same text, the
// same tree and the same number of calls of pending-input processing. (Why they keep
// their own stack: runtime/DeepInputTest.cpp.)

#include <gtest/gtest.h>

#include "ReferenceAlgorithms.h"
#include "TestSupport.h"
#include "formula/NodeAllocator.h"
#include "formula/TreeOperations.h"
#include "formula/TreeSnapshot.h"

namespace lumenark::testing {
namespace {

enum class Worker { Print, Copy, Implications, Disjunctions, Conjunctions, Literals, Evaluate };

constexpr Worker kWorkers[] = {Worker::Print,        Worker::Copy,     Worker::Implications, Worker::Disjunctions,
                               Worker::Conjunctions, Worker::Literals, Worker::Evaluate};

void RunWorker(FormulaDocument& doc, Worker worker, bool reference) {
  switch (worker) {
    case Worker::Print:
      reference ? ReferenceXDecomp(doc) : doc.XDecomp();
      return;
    case Worker::Copy: {
      FormulaNode* copy = nullptr;
      ASSERT_TRUE(reference ? ReferenceRCopyTree(doc.Root, copy) : RCopyTree(doc.Root, copy));
      ASSERT_EQ(SaveTree(copy), SaveTree(doc.Root));  // without recursion, for deep trees
      ASSERT_EQ(CheckTree(copy), "");
      RDisposeTree(copy);
      return;
    }
    case Worker::Implications:
      reference ? ReferenceRToImp(doc, doc.Root) : doc.RToImp(doc.Root);
      return;
    case Worker::Disjunctions:
      reference ? ReferenceRToDis(doc, doc.Root) : doc.RToDis(doc.Root);
      return;
    case Worker::Conjunctions:
      reference ? ReferenceRToCon(doc, doc.Root) : doc.RToCon(doc.Root);
      return;
    case Worker::Literals:
      reference ? ReferenceRToConDis(doc, doc.Root) : doc.RToConDis(doc.Root);
      return;
    case Worker::Evaluate:
      reference ? ReferenceRConstEval(doc, doc.Root) : doc.RConstEval(doc.Root);
      return;
  }
}

struct WorkerOutcome {
  std::string text;
  std::string tree;
  std::uint64_t calls = 0;
  bool operator==(const WorkerOutcome&) const = default;
};

WorkerOutcome RunOnFormula(const std::string& formula, Worker worker, int details, int width, std::uint64_t stopAt, bool reference) {
  Session session(formula, {.details = details, .width = width});
  session.Run(FormulaCommand::Compile);
  session.host.pendingInputCalls = 0;
  session.host.stopAtCall = stopAt;
  RunWorker(session.doc, worker, reference);
  StopRequested = false;
  return {session.Text(), Structure(session.doc.Root), session.host.pendingInputCalls};
}

TEST(StackFreeWorkersTest, SameTextTreeAndStopsAsTheRecursiveWorkers) {
  std::mt19937 random(33);
  const std::size_t live = LiveNodeCount();
  for (int i = 0; i < 300; ++i) {
    const FormulaShape shape{.letters = 1 + i % 6, .maxDepth = 2 + i % 6, .constants = i % 3 != 0};
    const std::string formula = RandomFormula(random, shape);
    for (const Worker worker : kWorkers) {
      const int details = i % 5;
      const int width = 21 + i % 40;
      const WorkerOutcome whole = RunOnFormula(formula, worker, details, width, 0, false);
      ASSERT_EQ(whole, RunOnFormula(formula, worker, details, width, 0, true)) << formula << " worker " << int(worker);
      // A stop at every point (a sample of them where the steps are written).
      const std::uint64_t stride = std::max<std::uint64_t>(1, whole.calls / 40);
      for (std::uint64_t stopAt = 1; stopAt <= whole.calls; stopAt += stride) {
        ASSERT_EQ(RunOnFormula(formula, worker, details, width, stopAt, false), RunOnFormula(formula, worker, details, width, stopAt, true))
            << formula << " worker " << int(worker) << " stop at " << stopAt;
      }
    }
  }
  EXPECT_EQ(LiveNodeCount(), live);
}

}  // namespace
}  // namespace lumenark::testing
