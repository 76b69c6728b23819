#pragma once
// lumenark-cli in one call: the document selected whole, each further command on the
// current tree with nothing selected, the final document back, byte for byte what
// lumenark-cli writes to standard output, and the message boxes as it writes them to
// standard error, the stop line among them ("Stopped after N s." for the time limit,
// "Stopped by the Stop button." for the page's). A command that nests deeper than the browser's stack allows ends the
// batch with the depth message, the text and the tree as they were before it.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "PageHost.h"
#include "commands/CommandFrame.h"

namespace lumenark::web {

struct BatchOptions {
  int details = 4;
  bool results = true;
  int width = 77;
  bool crlf = false;
  bool latex = false;
  std::optional<std::string_view> dimacs;  // a DIMACS file's text: the document is its CNF
  std::string_view dimacsName;             // the file's name in its messages
  unsigned timeLimit = 0;                  // seconds, as --time-limit; 0 for none
};

struct BatchAnswer {
  std::string document;
  int status = 0;  // 0, 1 or 4 as lumenark-cli's exit status
};

// text: the document's bytes, any line breaks (as standard input would bring them).
BatchAnswer RunBatch(PageHost& host, std::string_view text, std::span<const FormulaCommand> commands,
                     const BatchOptions& options);

}  // namespace lumenark::web
