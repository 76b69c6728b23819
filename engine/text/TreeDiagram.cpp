// The tree diagram: DiveTree places every symbol into the document's grid (rows by
// depth, one column per symbol in reading order), then XDecompTree reads the grid row
// by row and writes each row's symbol line and the connector line beneath it.

#include <algorithm>
#include <string>

#include "formula/FormulaDocument.h"

namespace lumenark {
namespace {

constexpr int kMaxPlacedSymbols = DiagramSize - 1;

// Counts the placed symbols (nodes and '~' marks) up to limit + 1, so that a huge
// tree is refused after a bounded walk.
int CountPlacedSymbols(const FormulaNode* node, int limit, int count = 0) {
  if (count > limit) return count;
  count += node->negated ? 2 : 1;
  if (node->left != nullptr) count = CountPlacedSymbols(node->left, limit, count);
  if (node->right != nullptr) count = CountPlacedSymbols(node->right, limit, count);
  return count;
}

bool IsDiagramOperator(char c) { return c == '&' || c == '=' || c == '>' || c == '|' || c == '~'; }

}  // namespace

// In-order placement: left subtree, node, right subtree. A negation stands one row
// above its node, in the column before the node's subtree.
void FormulaDocument::DiveTree(int row, Slot slot) {
  FormulaNode* node = slot;
  auto place = [&](int r, char symbol) {
    DiagramGrid[static_cast<std::size_t>(r - 1) * DiagramSize + (DiagramCounter - 1)] = symbol;
    ++DiagramCounter;
  };
  if (node->negated) {
    place(row, '~');
    ++row;
  }
  if (node->left != nullptr) DiveTree(row + 1, node->left);
  place(row, node->symbol);
  if (node->right != nullptr) DiveTree(row + 1, node->right);
}

void FormulaDocument::XDecompTree() {
  // The grid is made with the first diagram, so that a window that never draws one
  // does not carry it.
  DiagramGrid.assign(static_cast<std::size_t>(DiagramSize) * DiagramSize, ' ');
  DiagramCounter = 1;
  if (Root == nullptr) return;
  if (CountPlacedSymbols(Root, kMaxPlacedSymbols) > kMaxPlacedSymbols) {
    Platform.ShowMessage("Formula too large for a tree diagram.");
    return;
  }
  const bool wasVisible = Platform.StopDialogVisible();
  Platform.SetStopDialogVisible(true);
  DiveTree(1, Root);

  // Cells outside the grid read as blanks; the rows and columns just past the last
  // symbol are blank in any case.
  auto cell = [&](int r, int c) -> char {
    if (r < 1 || r > DiagramSize || c < 1 || c > DiagramSize) return ' ';
    return DiagramGrid[static_cast<std::size_t>(r - 1) * DiagramSize + (c - 1)];
  };
  for (int r = 1; r <= DiagramCounter; ++r) {
    std::string symbols;     // S: the row's symbols
    std::string connectors;  // C: the lines to the operands below; one character per column
    int i = 1;
    while (i <= DiagramCounter) {
      const char ch = cell(r, i);
      if (IsDiagramOperator(ch)) {
        symbols += ch;
        if (ch != '~') {
          // The left connector: '/' under the column before the operator, then '_'
          // leftwards up to the column just right of the left operand.
          if (!connectors.empty()) connectors.back() = '/';
          if (cell(r + 1, i - 1) == ' ') {
            for (int j = i - 2; j >= 1 && cell(r + 1, j) == ' '; --j) connectors[j - 1] = '_';
          }
        }
        connectors += " \\";
        ++i;
        symbols += cell(r, i);
        // The right connector: '_' rightwards up to the column just left of the right
        // operand (or its '~', or, below a '~', the negated node).
        if (cell(r + 1, i) == ' ') {
          for (int j = i + 1; j <= DiagramSize + 1 && cell(r + 1, j) == ' '; ++j) {
            connectors += '_';
            ++i;
            symbols += cell(r, i);
          }
        }
      } else {
        connectors += ' ';
        symbols += ch;
      }
      ++i;
    }
    auto trimmed = [](std::string s) {
      s.erase(s.find_last_not_of(' ') + 1);
      return s;
    };
    if (ShowResults) {
      symbols = trimmed(symbols);
      connectors = trimmed(connectors);
    }
    if (!trimmed(symbols).empty()) {
      InsertString(symbols);
      InsertLine();
      InsertString(connectors);
      InsertLine();
    }
  }
  Platform.SetStopDialogVisible(wasVisible);
}

}  // namespace lumenark
