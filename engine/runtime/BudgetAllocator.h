#pragma once
// A standard allocator that counts against the memory budget: the containers of the
// engine's algorithms (minimisation's element lists, the sort's buffers, the text held
// in memory) grow with the formula, so they count as its nodes do. A refused charge
// throws std::bad_alloc, which the command frame turns into "Insuficient memory.".

#include <cstddef>
#include <new>
#include <string>
#include <vector>

#include "runtime/EngineStack.h"
#include "runtime/MemoryBudget.h"

namespace lumenark {

template <typename T>
struct BudgetAllocator {
  using value_type = T;

  BudgetAllocator() noexcept = default;
  template <typename U>
  BudgetAllocator(const BudgetAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) {
    const std::size_t bytes = n * sizeof(T);
    if (n > static_cast<std::size_t>(-1) / sizeof(T) || !ChargeMemory(bytes)) {
      ReadyEngineStackForThrow();
      throw std::bad_alloc();
    }
    try {
      return static_cast<T*>(::operator new(bytes));
    } catch (...) {
      ReleaseMemory(bytes);
      throw;
    }
  }

  void deallocate(T* p, std::size_t n) noexcept {
    ReleaseMemory(n * sizeof(T));
    ::operator delete(p);
  }

  template <typename U>
  bool operator==(const BudgetAllocator<U>&) const noexcept { return true; }
};

template <typename T>
using BudgetVector = std::vector<T, BudgetAllocator<T>>;
using BudgetString = std::basic_string<char, std::char_traits<char>, BudgetAllocator<char>>;

}  // namespace lumenark
