#pragma once
// Tunables of the minimal normal forms' compressed route (FormulaDocument::ToMinimalCNF,
// ToMinimalDNF); tests lower them to take the route on small formulas.

#include <cstdint>

namespace lumenark {

// Fewer products than this are multiplied out in full, as the compressed route would
// save nothing worth its bookkeeping.
extern std::uint64_t CompressedProductsMinimum;
// The passes over the compressed sequence go on while it holds more elements than this;
// then the tree is built, and the passes go on over the tree.
extern std::uint64_t CompressedPassesDownTo;

}  // namespace lumenark
