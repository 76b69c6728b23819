#pragma once
// Freeing a tree of a hundred million nodes takes seconds. With background disposal
// on, a document that lets go of its whole tree (a new compile, a stopped normal form,
// a closed window) hands it to a disposer thread and goes on at once; the memory comes
// back shortly after. The desktop program turns it on; tests and lumenark-cli free at
// once, so that what they count is what is alive. WebAssembly, built without threads,
// frees at once in any case.

#include "formula/FormulaNode.h"

namespace lumenark {

void SetBackgroundDisposal(bool enabled);
bool BackgroundDisposalEnabled();

// Takes the tree (no other holder may keep it) and frees it on the disposer thread.
void DisposeInBackground(FormulaNode* root);

// Frees a subtree no one else holds: on the disposer thread when background disposal is
// on, otherwise at once. For what a stopped operation lets go of, which may be large.
void DisposeSubtree(FormulaNode* root);

// Returns when every tree handed over so far is freed.
void WaitForBackgroundDisposal();

}  // namespace lumenark
