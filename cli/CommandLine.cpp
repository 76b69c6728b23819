#include "CommandLine.h"

#include <charconv>

#include "runtime/MemoryBudget.h"

namespace lumenark::cli {

// The sections "commands:", "options:", "exit status:", "signals:" and "environment:"
// list one item per line, two spaces in; the manual page lumenark-cli(1) is checked
// against them (tests/install/check-man-pages.sh), so that the two cannot drift apart.
const char* const kUsage =
    "usage: lumenark-cli [--details N] [--results | --no-results] [--width N] [--crlf]\n"
    "                    [--memory-limit SIZE] [--time-limit SECONDS] [--latex] [-e TEXT] COMMAND...\n"
    "       lumenark-cli [OPTIONS] --dimacs FILE [COMMAND...]\n"
    "       lumenark-cli --help | --version\n"
    "\n"
    "Runs Formula menu commands on a document, as an editor window of Lumenark runs\n"
    "them. The document is TEXT, or else all of standard input; it is selected whole\n"
    "before the first command, and each further command runs with nothing selected,\n"
    "on the current tree (a later tree draws it). With nothing to work on (an empty\n"
    "document, or a first command that compiled nothing): compile, tree and\n"
    "equivalence, which read their formulas from the selection, say \"No selected\n"
    "text.\"; every other command does nothing and says nothing.\n"
    "\n"
    "commands:\n"
    "  compile          compile the formula into a tree\n"
    "  decompile        print the tree back as a formula\n"
    "  tree             draw the tree as a diagram\n"
    "  conjunctions     rewrite it with conjunctions and negations only\n"
    "  implications     rewrite it with implications and negations only\n"
    "  disjunctions     rewrite it with disjunctions and negations only\n"
    "  literals         bring it into literal form\n"
    "  evaluate         evaluate its constants\n"
    "  cnf              bring it into conjunctive normal form\n"
    "  dnf              bring it into disjunctive normal form\n"
    "  mincnf           bring it into a minimal conjunctive normal form\n"
    "  mindnf           bring it into a minimal disjunctive normal form\n"
    "  decision         decide whether it is valid, inconsistent or consistent\n"
    "  truthtable       its truth table (at --details 0 and 1 with a column for\n"
    "                   each compound subformula)\n"
    "  model            the first assignment in the table's order that makes it\n"
    "                   true, as \"Model: A=0 B=1\"\n"
    "  countermodel     the first that makes it false, as \"Countermodel: A=0 B=0\"\n"
    "  latex            the formula as LaTeX math\n"
    "  minimumdnf       its smallest DNF (fewest terms, then fewest literals), proved\n"
    "  minimumcnf       its smallest CNF, proved\n"
    "  kmap             its Karnaugh map (1 to 6 letters)\n"
    "  tableau          the semantic tableau of its negation and the verdict, with a\n"
    "                   countermodel where a branch stays open\n"
    "  equivalence      whether the document's first two lines are equivalent, or the\n"
    "                   first assignment on which they differ\n"
    "  dimacs           its CNF in DIMACS (a Tseitin encoding where the CNF is large)\n"
    "truthtable, model, countermodel, latex, kmap, tableau and dimacs leave the tree as\n"
    "it is.\n"
    "\n"
    "options:\n"
    "  --details N      0 comment + evaluations, 1 step by step + comment,\n"
    "                   2 step by step only, 3 macrosteps, 4 nothing (default 4)\n"
    "  --results        print each command's result formula (default)\n"
    "  --no-results     do not print result formulas\n"
    "  --width N        line length of the output, 21 to 250 (default 77)\n"
    "  --crlf           write CR LF line breaks (default: LF)\n"
    "  --memory-limit SIZE\n"
    "                   the memory the document and the commands may take, e.g.\n"
    "                   512M or 2G (K, M, G: powers of 1024; default: what the\n"
    "                   machine has available, less a reserve of an eighth of its\n"
    "                   memory, at least 256M and at most 1G)\n"
    "  --time-limit SECONDS\n"
    "                   press Stop after that many seconds (1 to 1000000000)\n"
    "  --latex          write the final document as a standalone LaTeX file for\n"
    "                   pdflatex; a document over 4 MiB, or one that the memory\n"
    "                   limit leaves no room to export, is written as plain text,\n"
    "                   with a message\n"
    "  -e TEXT          the document text (default: standard input)\n"
    "  --dimacs FILE    the document is the CNF of a DIMACS file, as a formula\n"
    "                   (at most 52 variables); the commands are optional\n"
    "  --help           this text\n"
    "  --version        the version number\n"
    "\n"
    "The final document is written to standard output, each message box's text to\n"
    "standard error. Whatever ended the commands, the document is written once, as\n"
    "the last command left it.\n"
    "\n"
    "exit status:\n"
    "  0  no message\n"
    "  1  a command showed a message, and the commands after it are not run; among\n"
    "     them \"Insuficient memory.\" with the limit in force, when the memory limit\n"
    "     is reached (reading the input too)\n"
    "  2  a usage error\n"
    "  3  standard input could not be read or standard output not written\n"
    "  4  stopped by the time limit, SIGINT or SIGTERM\n"
    "\n"
    "signals:\n"
    "  SIGINT, SIGTERM  press the Stop button of a window: the command winds down as\n"
    "                   a stop leaves it, the commands after it are not run, the\n"
    "                   document is written and standard error says \"Stopped after\n"
    "                   N s.\" or \"Stopped by SIGINT.\" (SIGTERM); a second one ends\n"
    "                   the program at once, without writing the document\n"
    "  SIGPIPE, SIGXFSZ\n"
    "                   ignored: a reader that went away or a file-size limit is a\n"
    "                   write error (exit status 3)\n"
    "\n"
    "environment:\n"
    "  LUMENARK_MEMORY_LIMIT\n"
    "                   the memory limit when --memory-limit is not given (a value\n"
    "                   that is no size is a usage error)\n";

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
