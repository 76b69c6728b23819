#pragma once
// Memory taken and given back in stack order: a worker that recurses depth first takes
// what a level needs and gives it all back when the level is done. Blocks come from
// chunks that are kept for reuse and counted against the memory budget while the arena
// lives. Nothing throws: a failed allocation (or a refused charge) is nullptr.

#include <cstddef>
#include <memory>
#include <new>
#include <vector>

#include "runtime/MemoryBudget.h"

namespace lumenark {

template <typename T>
class StackArena {
 public:
  struct Mark {
    std::size_t chunk = 0;
    std::size_t used = 0;
  };

  // chunkSize: elements per chunk, at least the largest block asked for.
  explicit StackArena(std::size_t chunkSize) : chunkSize_(chunkSize) {}
  ~StackArena() { ReleaseMemory(chunks_.size() * ChunkBytes()); }
  StackArena(const StackArena&) = delete;
  StackArena& operator=(const StackArena&) = delete;

  // count contiguous elements (not initialised); nullptr when memory ran out.
  T* New(std::size_t count) {
    if (count > chunkSize_) return nullptr;
    if (top_.used + count > chunkSize_) {
      ++top_.chunk;
      top_.used = 0;
    }
    if (top_.chunk == chunks_.size() && !AddChunk()) return nullptr;
    T* block = chunks_[top_.chunk].get() + top_.used;
    top_.used += count;
    return block;
  }

  Mark Top() const { return top_; }
  // Gives back everything taken since the mark.
  void Release(Mark mark) { top_ = mark; }

 private:
  std::size_t ChunkBytes() const { return chunkSize_ * sizeof(T); }

  bool AddChunk() {
    if (!ChargeMemory(ChunkBytes())) return false;
    try {
      chunks_.emplace_back(new (std::nothrow) T[chunkSize_]);
    } catch (const std::bad_alloc&) {
      ReleaseMemory(ChunkBytes());
      return false;
    }
    if (chunks_.back() == nullptr) {
      chunks_.pop_back();
      ReleaseMemory(ChunkBytes());
      return false;
    }
    return true;
  }

  std::size_t chunkSize_;
  std::vector<std::unique_ptr<T[]>> chunks_;
  Mark top_;
};

}  // namespace lumenark
