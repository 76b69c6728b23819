#include "FormulaDocument.h"

#include "BackgroundDisposal.h"
#include "EngineGlobals.h"
#include "EngineStack.h"
#include "TreeOperations.h"

namespace lumenark {

FormulaDocument::FormulaDocument(EditorText& text, Host& host)
    : Text(text), Platform(host) {
  StopRequested = false;
}

FormulaDocument::~FormulaDocument() {
  RunOnEngineStack([this] { DisposeTree(); });
}

void FormulaDocument::DisposeTree() {
  DisposeSubtree(Root);
  Root = nullptr;
}

void FormulaDocument::CopyTree(Slot target) {
  if (Root != nullptr && !RCopyTree(Root, target)) StopForExhaustedMemory();
}

}  // namespace lumenark
