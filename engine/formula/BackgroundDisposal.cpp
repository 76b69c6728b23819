#include "formula/BackgroundDisposal.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "formula/NodeAllocator.h"
#include "formula/TreeOperations.h"

namespace lumenark {
namespace {

std::atomic<bool> enabled{false};

// One thread, started with the first tree, frees the trees in the order handed over.
class Disposer {
 public:
  ~Disposer() {
    {
      std::lock_guard lock(mutex_);
      closing_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

  void Hand(FormulaNode* root) {
#ifdef __EMSCRIPTEN__
    // A module built without threads has no thread to hand the tree to.
    Free(root);
    return;
#endif
    {
      std::lock_guard lock(mutex_);
      if (!thread_.joinable()) thread_ = std::thread([this] { Work(); });
      queue_.push_back(root);
      ++pending_;
    }
    wake_.notify_all();
  }

  void Wait() {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return pending_ == 0; });
  }

 private:
  void Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return closing_ || !queue_.empty(); });
      if (queue_.empty()) return;
      FormulaNode* root = queue_.front();
      queue_.pop_front();
      lock.unlock();
      Free(root);
      lock.lock();
      --pending_;
      done_.notify_all();
    }
  }

  // Frees a whole tree as RDisposeTree does (literals alone, their links not
  // followed), without recursion, so that a tree of any depth is freed on a thread's
  // ordinary stack.
  static void Free(FormulaNode* root) {
    std::vector<FormulaNode*> pending{root};
    FreedNodeBatch batch;
    while (!pending.empty()) {
      FormulaNode* node = pending.back();
      pending.pop_back();
      if (!IsLiteral(node)) {
        if (node->right != nullptr) pending.push_back(node->right);
        if (node->left != nullptr) pending.push_back(node->left);
      }
      batch.Add(node);
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  std::deque<FormulaNode*> queue_;
  std::size_t pending_ = 0;
  bool closing_ = false;
  std::thread thread_;
};

Disposer& TheDisposer() {
  static Disposer disposer;
  return disposer;
}

}  // namespace

void SetBackgroundDisposal(bool on) { enabled = on; }
bool BackgroundDisposalEnabled() { return enabled; }

void DisposeInBackground(FormulaNode* root) {
  if (root != nullptr) TheDisposer().Hand(root);
}

void DisposeSubtree(FormulaNode* root) {
  if (root == nullptr) return;
  if (BackgroundDisposalEnabled()) {
    DisposeInBackground(root);
  } else {
    RDisposeTree(root);
  }
}

void WaitForBackgroundDisposal() { TheDisposer().Wait(); }

}  // namespace lumenark
