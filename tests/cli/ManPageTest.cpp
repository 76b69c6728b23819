// The manual pages against the programs' --help: every command, option, exit status,
// signal and environment variable that --help lists is a term of the same section of
// the page, and the page lists no other; the page's examples print what it shows.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "CliRunner.h"
#include "commands/CommandFrame.h"
#include "runtime/MemoryBudget.h"
#ifdef LUMENARK_APP_PATH
#include "text/TextCapacity.h"
#endif

namespace lumenark::testing {
namespace {

using Sections = std::map<std::string, std::set<std::string>>;

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// The items of --help: under a line "name:", each line two spaces in names an item, up
// to two blanks or the end of the line; the section ends at a line that is not indented.
Sections HelpSections(const std::string& help) {
  Sections sections;
  std::istringstream in(help);
  std::string section;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] != ' ') {
      section = line.back() == ':' ? Lower(line.substr(0, line.size() - 1)) : "";
    } else if (line.empty()) {
      section.clear();
    } else if (!section.empty() && line.size() > 2 && line.compare(0, 2, "  ") == 0 && line[2] != ' ') {
      sections[section].insert(Lower(line.substr(2, line.find("  ", 2) - 2)));
    }
  }
  return sections;
}

// A roff line as text: a font macro's arguments joined (quotes keep blanks), the
// escapes of hyphens, quotes and backslashes replaced.
std::string RoffText(const std::string& line) {
  std::string text = line;
  if (!text.empty() && text[0] == '.') {
    const std::size_t space = text.find(' ');
    text = space == std::string::npos ? "" : text.substr(space + 1);
    std::string joined;
    bool quoted = false;
    for (char c : text) {
      if (c == '"') quoted = !quoted;
      else if (c != ' ' || quoted) joined += c;
    }
    text = joined;
  }
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
    } else if (text[i + 1] == '-' || text[i + 1] == 'e' || text[i + 1] == '~') {
      out += text[i + 1] == 'e' ? '\\' : text[i + 1] == '~' ? ' ' : '-';
      ++i;
    } else if (text.compare(i, 4, "\\(aq") == 0) {
      out += '\'';
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The terms of the page's sections: the line after each .TP.
Sections PageSections(const std::string& page) {
  Sections sections;
  std::istringstream in(page);
  std::string section;
  bool term = false;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(".SH ", 0) == 0) {
      section = Lower(line.substr(4));
      section.erase(std::remove(section.begin(), section.end(), '"'), section.end());
    } else if (line == ".TP") {
      term = true;
      continue;
    } else if (term) {
      sections[section].insert(Lower(RoffText(line)));
    }
    term = false;
  }
  return sections;
}

std::string ReadPage(const std::string& path) {
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void ExpectPageMatchesHelp(const std::string& page, const std::string& help, const std::set<std::string>& names) {
  const Sections fromHelp = HelpSections(help);
  const Sections fromPage = PageSections(page);
  for (const std::string& name : names) {
    ASSERT_TRUE(fromHelp.count(name)) << "--help has no section " << name << ":\n" << help;
    EXPECT_EQ(fromPage.count(name) ? fromPage.at(name) : std::set<std::string>{}, fromHelp.at(name)) << name;
  }
}

TEST(ManPageTest, CliPageListsWhatHelpLists) {
  const CliRun help = RunCli({"--help"});
  ASSERT_EQ(help.status, 0);
  const std::string page = ReadPage(LUMENARK_MAN_DIR "/lumenark-cli.1");
  ASSERT_FALSE(page.empty());
  ExpectPageMatchesHelp(page, help.out, {"commands", "options", "exit status", "signals", "environment"});
  // Every command the program takes is in --help.
  const std::set<std::string> commands = HelpSections(help.out)["commands"];
  for (int c = 0; c <= static_cast<int>(FormulaCommand::Dimacs); ++c) {
    EXPECT_TRUE(commands.count(std::string(CommandName(static_cast<FormulaCommand>(c))))) << c;
  }
}

// Each "$ lumenark-cli ..." of the page's examples prints the lines below it.
TEST(ManPageTest, CliPageExamplesPrintWhatTheyShow) {
  std::istringstream page(ReadPage(LUMENARK_MAN_DIR "/lumenark-cli.1"));
  int examples = 0;
  std::string command, shown;
  auto check = [&] {
    if (command.empty()) return;
    const CliRun run = RunScript("\"$CLI\" " + command);
    EXPECT_EQ(run.out, shown) << command;
    ++examples;
    command.clear();
    shown.clear();
  };
  bool inExamples = false;
  for (std::string line; std::getline(page, line);) {
    if (line == ".EX") inExamples = true;
    if (!inExamples || line == ".EX") continue;
    const std::string text = RoffText(line);
    if (line == ".EE" || text.empty()) {
      check();
      inExamples = line != ".EE";
    } else if (text.rfind("$ lumenark-cli ", 0) == 0) {
      check();
      command = text.substr(15);
    } else if (!command.empty()) {
      shown += text + "\n";
    }
  }
  EXPECT_GE(examples, 2);
}

#ifdef LUMENARK_APP_PATH
// "1000000" as a reader writes it: "1,000,000".
std::string WithCommas(std::size_t number) {
  std::string digits = std::to_string(number);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
  return digits;
}

// The window's page names every command of the Formula menu, each with the name
// lumenark-cli gives it, and the capacity of a window's text as the program has it.
TEST(ManPageTest, WindowPageNamesEveryCommandAndTheTextCapacity) {
  const std::string page = ReadPage(LUMENARK_MAN_DIR "/lumenark.1");
  ASSERT_FALSE(page.empty());
  // The terms of FORMULA MENU end in the command's name in bold: "Tree (Ctrl+Shift+F9): \fBtree\fR".
  std::set<std::string> named;
  std::istringstream in(page);
  bool inMenu = false, term = false;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(".SH ", 0) == 0) inMenu = line == ".SH FORMULA MENU";
    if (inMenu && term) {
      const std::size_t bold = line.rfind("\\fB");
      EXPECT_TRUE(bold != std::string::npos && line.ends_with("\\fR")) << line;
      if (bold != std::string::npos) named.insert(line.substr(bold + 3, line.size() - bold - 6));
    }
    term = line == ".TP";
  }
  std::set<std::string> commands;
  for (int c = 0; c <= static_cast<int>(FormulaCommand::Dimacs); ++c) {
    commands.insert(std::string(CommandName(static_cast<FormulaCommand>(c))));
  }
  EXPECT_EQ(named, commands);
  // The capacity: the most a text holds and the longest line.
  std::string text;
  std::istringstream lines(page);
  for (std::string line; std::getline(lines, line);) text += (line.starts_with(".") ? line.substr(line.find(' ') + 1) : line) + " ";
  const std::string most = MemorySizeText(TextCapacity::kMostBytes);
  EXPECT_NE(text.find("up to " + most.substr(0, most.find(' ')) + "\\~" + most.substr(most.find(' ') + 1)), std::string::npos)
      << most;
  EXPECT_NE(text.find("at most " + WithCommas(TextCapacity::kLongestLine) + " characters"), std::string::npos);
}

TEST(ManPageTest, WindowPageListsWhatHelpLists) {
  const CliRun help = RunScript("env -u DISPLAY -u WAYLAND_DISPLAY " LUMENARK_APP_PATH " --help");
  ASSERT_EQ(help.status, 0);
  const std::string page = ReadPage(LUMENARK_MAN_DIR "/lumenark.1");
  ASSERT_FALSE(page.empty());
  ExpectPageMatchesHelp(page, help.out, {"options", "exit status", "environment"});
}
#endif

}  // namespace
}  // namespace lumenark::testing
