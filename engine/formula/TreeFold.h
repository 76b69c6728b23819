#pragma once
// A tree folded bottom-up without recursion, so that a tree of any depth is fine: a
// literal's value comes from leaf(node), an operator's from join(node, left, right),
// operands first, left before right. The node's negation is the callbacks' to apply.
// Each node is one heartbeat. With stoppable, StopRequested ends the fold: nothing.

#include <optional>
#include <utility>

#include "formula/FormulaNode.h"
#include "runtime/BudgetAllocator.h"
#include "runtime/EngineGlobals.h"
#include "runtime/Heartbeat.h"

namespace lumenark {

template <typename Value, typename Leaf, typename Join>
std::optional<Value> FoldTree(const FormulaNode* root, Leaf&& leaf, Join&& join, bool stoppable = false) {
  BudgetVector<std::pair<const FormulaNode*, bool>> pending{{root, false}};
  BudgetVector<Value> done;
  while (!pending.empty()) {
    auto [node, operandsDone] = pending.back();
    pending.pop_back();
    Heartbeat();
    if (stoppable && StopRequested) return std::nullopt;
    if (IsLiteral(node)) {
      done.push_back(leaf(node));
    } else if (!operandsDone) {
      pending.push_back({node, true});
      pending.push_back({node->right, false});
      pending.push_back({node->left, false});
    } else {
      Value right = std::move(done.back());
      done.pop_back();
      Value left = std::move(done.back());
      done.pop_back();
      done.push_back(join(node, std::move(left), std::move(right)));
    }
  }
  return std::move(done.back());
}

}  // namespace lumenark
