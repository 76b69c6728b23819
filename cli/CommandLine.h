#pragma once
// The command line of lumenark-cli:
//
//   lumenark-cli [--details N] [--results | --no-results] [--width N] [--crlf]
//                [--memory-limit SIZE] [--time-limit SECONDS] [--latex] [-e TEXT] COMMAND...
//   lumenark-cli [OPTIONS] --dimacs FILE [COMMAND...]
//   lumenark-cli --help | --version

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "commands/CommandFrame.h"

namespace lumenark::cli {

struct CommandLine {
  int details = 4;                   // the window's Details option, 0..4
  bool results = true;               // the Results option
  int width = 77;                    // the line length, 21..250
  bool crlf = false;                 // write CR LF line breaks instead of LF
  bool latex = false;                // write the final document as a standalone LaTeX file
  std::optional<std::uint64_t> memoryLimit;  // --memory-limit, in bytes
  std::optional<unsigned> timeLimit;         // --time-limit, in seconds
  std::optional<std::string> text;   // -e TEXT; standard input otherwise
  std::optional<std::string> dimacs; // --dimacs FILE: the document is the file's CNF
  std::vector<FormulaCommand> commands;
  bool help = false;
  bool version = false;              // print the version instead of running
};

// The parsed command line, or an error text for a usage error.
struct ParseResult {
  CommandLine line;
  std::string error;  // empty when the command line is usable
};

ParseResult ParseCommandLine(const std::vector<std::string>& arguments);

extern const char* const kUsage;

// Exit statuses.
inline constexpr int kExitMessage = 1;      // a command showed a message
inline constexpr int kExitUsage = 2;        // the command line is not usable
inline constexpr int kExitInputOutput = 3;  // standard input or output failed
inline constexpr int kExitStopped = 4;      // the time limit, SIGINT or SIGTERM pressed Stop

}  // namespace lumenark::cli
