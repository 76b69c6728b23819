#include "DimacsInput.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "DocumentStreams.h"
#include "StopRequests.h"
#include "dimacs/DimacsReader.h"
#include "runtime/BudgetAllocator.h"
#include "runtime/EngineGlobals.h"
#include "runtime/Heartbeat.h"

namespace lumenark::cli {
namespace {

// The whole file, counted against the memory budget; what was read when Stop was
// pressed meanwhile.
BudgetString ReadWholeFile(const std::string& path) {
  const std::string failure = "cannot read " + path;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) FailInputOutput(failure.c_str());
  BudgetString bytes;
  char buffer[1 << 16];
  while (!StopWasRequested()) {
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

std::optional<std::string> ReadDimacsDocument(const std::string& path, std::int32_t width, MemoryEditorText& document,
                                              Host& host) {
  DimacsFormula formula;
  {
    const BudgetString file = ReadWholeFile(path);
    if (StopWasRequested()) return std::nullopt;
    // The reader beats the heartbeat as it goes: a stop reaches it through the host.
    const HeartbeatScope heartbeat(host);
    formula = ReadDimacs(file, width, static_cast<std::size_t>(-1));
    StopRequested = false;
  }
  if (!formula.message.empty()) return path + ": " + formula.message;
  if (!formula.stopped) document.Append(formula.text);
  return std::nullopt;
}

}  // namespace lumenark::cli
