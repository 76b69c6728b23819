#pragma once
// The command line of lumenark-cli:
//
//   lumenark-cli [--details N] [--results | --no-results] [--width N] [--crlf]
//                [-e TEXT] COMMAND...

#include <optional>
#include <string>
#include <vector>

#include "CommandFrame.h"

namespace lumenark::cli {

struct CommandLine {
  int details = 4;                   // the window's Details option, 0..4
  bool results = true;               // the Results option
  int width = 77;                    // the line length, 21..250
  bool crlf = false;                 // write CR LF line breaks instead of LF
  std::optional<std::string> text;   // -e TEXT; standard input otherwise
  std::vector<FormulaCommand> commands;
  bool help = false;
};

// The parsed command line, or an error text for a usage error.
struct ParseResult {
  CommandLine line;
  std::string error;  // empty when the command line is usable
};

ParseResult ParseCommandLine(const std::vector<std::string>& arguments);

extern const char* const kUsage;

}  // namespace lumenark::cli
