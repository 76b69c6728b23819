#pragma once
// What the desktop draws in windows of its own, as JSON for the page: the Karnaugh map
// with the groups of its minimum DNF, and the tableau as a tree of branches (described
// in README.md).

#include <string>

#include "minimum/KarnaughMap.h"
#include "proofs/TableauTree.h"

namespace lumenark::web {

std::string KarnaughMapJson(const KarnaughMap& map);
// Empty for a tableau of more than 10,000 lines or a MiB of formulas: no page draws it.
std::string TableauJson(const TableauTree& tree);

}  // namespace lumenark::web
