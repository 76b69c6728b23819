#include "CommandLine.h"

#include <charconv>

#include "runtime/MemoryBudget.h"

namespace lumenark::cli {

const char* const kUsage =
    "usage: lumenark-cli [--details N] [--results | --no-results] [--width N] [--crlf]\n"
    "                    [--memory-limit SIZE] [--time-limit SECONDS] [--latex] [-e TEXT] COMMAND...\n"
    "       lumenark-cli [OPTIONS] --dimacs FILE [COMMAND...]\n"
    "       lumenark-cli --help | --version\n"
    "\n"
    "Runs Formula menu commands on a document, as an editor window of Lumenark runs\n"
    "them. The document is TEXT, or else all of standard input; it is selected whole\n"
    "before the first command, and each further command runs with nothing selected,\n"
    "on the current tree.\n"
    "\n"
    "commands: compile decompile tree conjunctions implications disjunctions literals\n"
    "          evaluate cnf dnf mincnf mindnf decision\n"
    "          truthtable model countermodel latex\n"
    "          tableau equivalence dimacs\n"
    "\n"
    "options:\n"
    "  --details N      0 comment + evaluations, 1 step by step + comment,\n"
    "                   2 step by step only, 3 macrosteps, 4 nothing (default 4)\n"
    "  --results        print each command's result formula (default)\n"
    "  --no-results     do not print result formulas\n"
    "  --width N        line length of the output, 21 to 250 (default 77)\n"
    "  --crlf           write CR LF line breaks (default: LF)\n"
    "  --memory-limit SIZE\n"
    "                   the memory the document may take, e.g. 512M or 2G (default:\n"
    "                   what the machine has available, less a reserve; also\n"
    "                   LUMENARK_MEMORY_LIMIT)\n"
    "  --time-limit SECONDS\n"
    "                   press Stop after that many seconds (1 to 1000000000)\n"
    "  --latex          write the final document as a standalone LaTeX file\n"
    "  -e TEXT          the document text (default: standard input)\n"
    "  --dimacs FILE    the document is the CNF of a DIMACS file, as a formula\n"
    "                   (at most 52 variables); the commands are optional\n"
    "  --help           this text\n"
    "  --version        the version number\n"
    "\n"
    "The final document is written to standard output, each message box's text to\n"
    "standard error. Exit status: 0 no message, 1 a command showed a message (the\n"
    "commands after it are not run; \"Insuficient memory.\" when the memory limit\n"
    "is reached, reading the input too), 2 usage error, 3 standard input could not\n"
    "be read or standard output not written, 4 stopped.\n"
    "\n"
    "The time limit, SIGINT and SIGTERM press the Stop button of a window: the\n"
    "command winds down as a stop leaves it, the commands after it are not run,\n"
    "the document is written and standard error says \"Stopped after N s.\" or\n"
    "\"Stopped by SIGINT.\" (SIGTERM). A second SIGINT or SIGTERM ends the program at\n"
    "once.\n";

namespace {

bool ParseNumber(const std::string& text, int low, int high, int& value) {
  int parsed = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (error != std::errc() || end != text.data() + text.size() || parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

}  // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& arguments) {
  ParseResult result;
  CommandLine& line = result.line;
  auto fail = [&](std::string message) {
    result.error = std::move(message);
    return result;
  };
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string argument = arguments[i];
    std::optional<std::string> inlineValue;
    if (argument.rfind("--", 0) == 0) {
      if (auto equals = argument.find('='); equals != std::string::npos) {
        inlineValue = argument.substr(equals + 1);
        argument.resize(equals);
      }
    }
    auto value = [&]() -> std::optional<std::string> {
      if (inlineValue) return inlineValue;
      if (i + 1 < arguments.size()) return arguments[++i];
      return std::nullopt;
    };
    if (argument == "--help" || argument == "-h") {
      line.help = true;
    } else if (argument == "--version" && !inlineValue) {
      line.version = true;
    } else if (argument == "--details") {
      auto v = value();
      if (!v || !ParseNumber(*v, 0, 4, line.details)) return fail("--details takes a number from 0 to 4");
    } else if (argument == "--width") {
      auto v = value();
      if (!v || !ParseNumber(*v, 21, 250, line.width)) return fail("--width takes a number from 21 to 250");
    } else if (argument == "--memory-limit") {
      auto v = value();
      line.memoryLimit = v ? ParseMemorySize(*v) : std::nullopt;
      if (!line.memoryLimit) return fail("--memory-limit takes a size such as 512M or 2G");
    } else if (argument == "--time-limit") {
      auto v = value();
      int seconds = 0;
      if (!v || !ParseNumber(*v, 1, 1'000'000'000, seconds)) {
        return fail("--time-limit takes a number of seconds from 1 to 1000000000");
      }
      line.timeLimit = static_cast<unsigned>(seconds);
    } else if (argument == "--results" && !inlineValue) {
      line.results = true;
    } else if (argument == "--no-results" && !inlineValue) {
      line.results = false;
    } else if (argument == "--crlf" && !inlineValue) {
      line.crlf = true;
    } else if (argument == "--latex" && !inlineValue) {
      line.latex = true;
    } else if (argument == "--dimacs") {
      auto v = value();
      if (!v || v->empty()) return fail("--dimacs needs a file");
      if (line.dimacs) return fail("--dimacs given twice");
      line.dimacs = *v;
    } else if (argument == "-e") {
      if (line.text) return fail("-e given twice");
      if (i + 1 >= arguments.size()) return fail("-e needs a text");
      line.text = arguments[++i];
    } else if (!argument.empty() && argument[0] == '-') {
      return fail("unknown option " + arguments[i]);
    } else if (auto command = CommandFromName(argument)) {
      line.commands.push_back(*command);
    } else {
      return fail("unknown command " + argument);
    }
  }
  if (line.dimacs && line.text) return fail("-e and --dimacs both give the document");
  if (!line.help && !line.version && line.commands.empty() && !line.dimacs) return fail("no command given");
  return result;
}

}  // namespace lumenark::cli
