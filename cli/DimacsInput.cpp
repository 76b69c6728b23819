#include "DimacsInput.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "DocumentStreams.h"
#include "dimacs/DimacsReader.h"
#include "runtime/BudgetAllocator.h"

namespace lumenark::cli {
namespace {

// The whole file, counted against the memory budget.
BudgetString ReadWholeFile(const std::string& path) {
  const std::string failure = "cannot read " + path;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) FailInputOutput(failure.c_str());
  BudgetString bytes;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t count = read(fd, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) {
      const int error = errno;
      close(fd);
      errno = error;
      FailInputOutput(failure.c_str());
    }
    if (count == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(count));
  }
  close(fd);
  return bytes;
}

}  // namespace

std::optional<std::string> ReadDimacsDocument(const std::string& path, std::int32_t width, MemoryEditorText& document) {
  DimacsFormula formula;
  {
    const BudgetString file = ReadWholeFile(path);
    formula = ReadDimacs(file, width, static_cast<std::size_t>(-1));
  }
  if (!formula.message.empty()) return path + ": " + formula.message;
  document.Append(formula.text);
  return std::nullopt;
}

}  // namespace lumenark::cli
