// Fuzz target: the parser on arbitrary bytes as a selection. A compile succeeds or
// fails with a known code and its message; a failure keeps the old tree; nothing leaks.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "TestSupport.h"
#include "formula/NodeAllocator.h"
#include "text/ParseErrors.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "parser property broken: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumenark;
  const std::size_t live = LiveNodeCount();
  {
    testing::Session session("A&~B");
    session.Run(FormulaCommand::Compile);
    FormulaNode* old = session.doc.Root;
    const std::string text(reinterpret_cast<const char*>(data), size);
    session.text.SetSelectionStart(session.text.Size());
    session.text.ReplaceSelection(text);
    session.text.Select(session.text.Size() - size, size);
    const std::size_t start = session.text.SelectionStart();
    session.host.messages.clear();
    session.Run(size == 0 ? FormulaCommand::Decompile : FormulaCommand::Compile);
    const std::uint8_t code = session.doc.ParseError;
    if (code == 0) {
      if (!session.host.messages.empty()) Fail("message after a successful compile");
      if (size > 0 && session.doc.Root == old) Fail("successful compile kept the old tree");
      if (!testing::CheckTree(session.doc.Root).empty()) Fail("malformed tree");
      if (size > 0 && session.text.SelectionStart() != start + size + 2) Fail("caret not on the new line");
    } else {
      if (ParseErrorMessage(code).empty()) Fail("unknown error code");
      if (session.host.messages.size() != 1 || session.host.messages[0] != ParseErrorMessage(code)) Fail("wrong message");
      if (session.doc.Root != old || testing::Structure(old) != "(A&~B)") Fail("old tree not kept");
      if (session.text.SelectionStart() < start || session.text.SelectionStart() >= start + size) Fail("caret outside");
    }
  }
  if (LiveNodeCount() != live) Fail("nodes leaked");
  return 0;
}
