// Fuzz target: arbitrary bytes read as a DIMACS file. The reader ends in a message that
// names what is wrong, or in a formula that compiles; it never crashes and leaks nothing.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "TestSupport.h"
#include "dimacs/DimacsReader.h"
#include "formula/NodeAllocator.h"
#include "runtime/MemoryBudget.h"

namespace {

void Fail(const char* what, const std::string& file) {
  std::fprintf(stderr, "dimacs property broken: %s\nfile: %s\n", what, file.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumenark;
  if (size < 1) return -1;
  const std::size_t live = LiveNodeCount();
  const std::int32_t width = 21 + data[0] % 230;
  const std::string file(reinterpret_cast<const char*>(data + 1), size - 1);
  BeginMemoryBudget();
  const DimacsFormula read = ReadDimacs(file, width, 1 << 16);
  if (read.message.empty() == read.text.empty()) Fail("neither a formula nor a message, or both", file);
  if (!read.message.empty()) {
    if (read.message.find('\n') != std::string::npos) Fail("a message of several lines", file);
    return 0;
  }
  {
    testing::Session session(std::string(read.text.begin(), read.text.end()));
    session.Run(FormulaCommand::Compile);
    if (!session.host.messages.empty()) Fail("the formula does not compile", file);
    if (!testing::CheckTree(session.doc.Root).empty()) Fail("malformed tree", file);
  }
  if (LiveNodeCount() != live) Fail("nodes leaked", file);
  return 0;
}
