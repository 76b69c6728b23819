#pragma once
// A hash map for the engine's memo tables, which gain millions of entries and lose none
// until they go as a whole: the entries stand one after the other in one vector, and an
// index of open addressing (linear probing) leads to them. Nothing is allocated per
// entry, so filling the table costs no more than the vector's growth, and freeing it is
// two blocks. Its memory counts against the budget (a refused charge throws
// std::bad_alloc, as every BudgetVector does).

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

#include "runtime/BudgetAllocator.h"
#include "runtime/EngineStack.h"

namespace lumenark {

// Spreads the bits of a hash over the whole word (the finaliser of MurmurHash3).
inline std::uint64_t MixHash(std::uint64_t x) {
  x ^= x >> 33;
  x *= 0xff51afd7ed558ccdULL;
  x ^= x >> 33;
  x *= 0xc4ceb9fe1a85ec53ULL;
  x ^= x >> 33;
  return x;
}

// Hash: a function object giving a std::uint64_t for a Key; Key needs ==.
template <typename Key, typename Value, typename Hash>
class FlatMap {
 public:
  FlatMap() : index_(16, 0) {}

  // The value stored under the key, or nullptr.
  Value* Find(const Key& key) {
    const std::uint64_t hash = MixHash(Hash{}(key));
    const std::size_t mask = index_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      const std::uint64_t place = index_[i];
      if (place == 0) return nullptr;
      // The hash's high half, kept beside the entry's number, spares a look at the
      // entries whose hash differs.
      if ((place >> 32) == (hash >> 32) && entries_[(place & kEntryBits) - 1].first == key) {
        return &entries_[(place & kEntryBits) - 1].second;
      }
    }
  }

  // Stores the value under a key that is not there yet; returns where it is stored
  // (valid until the next Insert).
  Value& Insert(const Key& key, const Value& value) {
    if (entries_.size() >= kMostEntries) {
      ReadyEngineStackForThrow();
      throw std::bad_alloc();
    }
    if ((entries_.size() + 1) * 10 > index_.size() * 7) Grow();
    entries_.emplace_back(key, value);
    Place(static_cast<std::uint32_t>(entries_.size()));
    return entries_.back().second;
  }

  std::size_t Size() const { return entries_.size(); }

 private:
  void Place(std::uint32_t at) {
    const std::uint64_t hash = MixHash(Hash{}(entries_[at - 1].first));
    const std::size_t mask = index_.size() - 1;
    std::size_t i = hash & mask;
    while (index_[i] != 0) i = (i + 1) & mask;
    index_[i] = (hash & ~kEntryBits) | at;
  }

  void Grow() {
    BudgetVector<std::uint64_t> larger(index_.size() * 2, 0);
    index_.swap(larger);
    for (std::uint32_t at = 1; at <= entries_.size(); ++at) Place(at);
  }

  static constexpr std::uint64_t kEntryBits = 0xFFFFFFFFULL;

  static constexpr std::size_t kMostEntries = std::size_t{1} << 31;
  BudgetVector<std::pair<Key, Value>> entries_;
  BudgetVector<std::uint64_t> index_;  // the hash's high half and the entry + 1; 0 is a free place
};

}  // namespace lumenark
