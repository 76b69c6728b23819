#include "formula/FormulaDocument.h"

#include "formula/BackgroundDisposal.h"
#include "formula/TreeOperations.h"
#include "runtime/EngineGlobals.h"
#include "runtime/EngineStack.h"

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
