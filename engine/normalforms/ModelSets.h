#pragma once
// Sets of assignments to a few letters, as bit sets: one bit per assignment, 2^n bits
// for n letters, in whole 64-bit words. Assignment a gives letter i (counted among the
// set's letters in character order) the value of bit i of a. The literals' sets count
// against the memory budget (a refused charge throws std::bad_alloc).

#include <cstddef>
#include <cstdint>

#include "formula/LetterBits.h"
#include "runtime/BudgetAllocator.h"

namespace lumenark {

class ModelSets {
 public:
  static constexpr int kMostLetters = 12;  // 4096 assignments, 64 words a set

  // The letters of the given mask (at most kMostLetters of them).
  explicit ModelSets(std::uint64_t letters) : letters_(letters) {
    const int count = __builtin_popcountll(letters);
    const std::size_t assignments = std::size_t{1} << count;
    words_ = assignments < 64 ? 1 : assignments / 64;
    valid_ = assignments < 64 ? (std::uint64_t{1} << assignments) - 1 : ~std::uint64_t{0};
    literalSets_.resize(2 * static_cast<std::size_t>(count) * words_);
    for (int i = 0; i < count; ++i) {
      std::uint64_t* positive = &literalSets_[2 * static_cast<std::size_t>(i) * words_];
      std::uint64_t* negative = positive + words_;
      for (std::size_t w = 0; w < words_; ++w) {
        std::uint64_t word = 0;
        for (int b = 0; b < 64; ++b) {
          const std::uint64_t assignment = w * 64 + static_cast<std::uint64_t>(b);
          if ((assignment >> i) & 1) word |= std::uint64_t{1} << b;
        }
        positive[w] = word & valid_;
        negative[w] = ~word & valid_;
      }
    }
  }

  std::size_t Words() const { return words_; }

  // The assignments that make the literal true.
  const std::uint64_t* Literal(char letter, bool negated) const {
    const std::uint64_t bit = LetterBit(letter);
    const auto index = static_cast<std::size_t>(__builtin_popcountll(letters_ & (bit - 1)));
    return &literalSets_[(2 * index + (negated ? 1 : 0)) * words_];
  }

  // out := a & b; returns whether out is empty.
  bool Intersect(const std::uint64_t* a, const std::uint64_t* b, std::uint64_t* out) const {
    std::uint64_t any = 0;
    for (std::size_t w = 0; w < words_; ++w) any |= out[w] = a[w] & b[w];
    return any == 0;
  }

  void Unite(const std::uint64_t* a, const std::uint64_t* b, std::uint64_t* out) const {
    for (std::size_t w = 0; w < words_; ++w) out[w] = a[w] | b[w];
  }

 private:
  std::uint64_t letters_;
  std::size_t words_;
  std::uint64_t valid_;
  BudgetVector<std::uint64_t> literalSets_;  // per letter: the positive set, then the negative
};

}  // namespace lumenark
