#include "DocumentStreams.h"

#include <poll.h>
#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <new>
#include <string_view>
#include <vector>

#include "StopRequests.h"
#include "analysis/LatexDocument.h"
#include "runtime/BudgetAllocator.h"
#include "runtime/MemoryBudget.h"
#include "text/LineBreaks.h"

namespace lumenark::cli {
namespace {

void WriteAll(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t count = write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) FailInputOutput("cannot write standard output");
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
}

// The document on its way out. CR LF pass whole; for LF each CR LF loses its CR, in a
// buffer of fixed size, so that the text is never copied whole. A CR at the end of one
// piece waits for the next, which may start with its LF.
class DocumentWriter {
 public:
  explicit DocumentWriter(bool crlf) : crlf_(crlf) {}

  void Feed(std::string_view part) {
    if (crlf_) {
      WriteAll(part);
      return;
    }
    for (char c : part) {
      if (pendingCr_ && c != '\n') Put('\r');
      pendingCr_ = c == '\r';
      if (!pendingCr_) Put(c);
    }
  }

  void Finish() {
    if (pendingCr_) Put('\r');
    pendingCr_ = false;
    WriteAll(std::string_view(buffer_, used_));
    used_ = 0;
  }

 private:
  void Put(char c) {
    if (used_ == sizeof buffer_) {
      WriteAll(std::string_view(buffer_, used_));
      used_ = 0;
    }
    buffer_[used_++] = c;
  }

  bool crlf_;
  bool pendingCr_ = false;
  std::size_t used_ = 0;
  char buffer_[1 << 16];
};

// Static, so that writing takes no memory at all when the budget has run out.
DocumentWriter lfWriter(false);
DocumentWriter crlfWriter(true);

// Restores the signal mask on every way out.
class SignalMaskScope {
 public:
  explicit SignalMaskScope(const sigset_t& block) { pthread_sigmask(SIG_BLOCK, &block, &previous_); }
  ~SignalMaskScope() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
  SignalMaskScope(const SignalMaskScope&) = delete;
  SignalMaskScope& operator=(const SignalMaskScope&) = delete;
  const sigset_t& Previous() const { return previous_; }

 private:
  sigset_t previous_;
};

}  // namespace

void FailInputOutput(const char* what) {
  const int error = errno;
  std::cerr << "lumenark-cli: " << what << ": " << std::strerror(error) << '\n' << std::flush;
  throw InputOutputError{};
}

void ReadDocument(const std::optional<std::string>& text, MemoryEditorText& document) {
  LineBreakNormalizer normalizer;
  std::string normalized;
  auto take = [&](std::string_view piece) {
    normalized.clear();
    normalizer.Feed(piece, normalized);
    document.Append(normalized);
  };
  if (text) {
    take(*text);
    return;
  }
  std::vector<char> buffer(1 << 16);
  // The stop signals come through only while ppoll waits, so that one arriving just
  // before the wait still ends it.
  const SignalMaskScope blocked(StopSignals());
  while (!StopWasRequested()) {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (ppoll(&input, 1, nullptr, &blocked.Previous()) < 0) {
      if (errno == EINTR) continue;
      FailInputOutput("cannot read standard input");
    }
    const ssize_t count = read(STDIN_FILENO, buffer.data(), buffer.size());
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) FailInputOutput("cannot read standard input");
    if (count == 0) return;
    take(std::string_view(buffer.data(), static_cast<std::size_t>(count)));
  }
}

void WriteDocument(const MemoryEditorText& document, bool crlf) {
  DocumentWriter& writer = crlf ? crlfWriter : lfWriter;
  document.WriteTo([&writer](std::string_view part) {
    writer.Feed(part);
    return true;
  });
  writer.Finish();
  // A device that takes the bytes but fails to keep them says so only on close.
  if (close(STDOUT_FILENO) != 0) FailInputOutput("cannot write standard output");
}

std::optional<std::string> WriteLatexDocument(const MemoryEditorText& document) {
  // The export reads the document whole (a formula may be broken over lines); past a
  // few MiB it is refused, before anything is copied. The copy and the file are held
  // within the memory budget, and nothing is written until the file is whole: where
  // the budget has no room for them, the document goes out as plain text instead.
  if (document.Size() > kMaxLatexDocumentBytes) return std::string(kLatexTooLargeMessage);
  BudgetString file;
  try {
    BeginMemoryBudget();
    BudgetString text;
    text.reserve(document.Size());
    document.WriteTo([&text](std::string_view part) {
      text += part;
      return true;
    });
    if (auto refusal = ExportLatexDocument(text, [&file](std::string_view piece) { file += piece; })) return refusal;
  } catch (const std::bad_alloc&) {
    return InsufficientMemoryText();
  }
  WriteAll(file);
  if (close(STDOUT_FILENO) != 0) FailInputOutput("cannot write standard output");
  return std::nullopt;
}

}  // namespace lumenark::cli
