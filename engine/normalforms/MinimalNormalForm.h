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
// The effort the compressed route may spend (ElementSequence::SetEffort), about a second's
// work: past it the full products are tried, or where they cannot be held either, the
// command ends as out of memory.
extern std::uint64_t CompressedRouteEffort;

}  // namespace lumenark
