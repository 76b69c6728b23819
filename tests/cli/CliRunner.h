#pragma once
// Runs lumenark-cli in a child process, as a user's shell would, and collects what it
// wrote, its exit status and its peak resident size.

#include <string>
#include <vector>

namespace lumenark::testing {

struct CliRun {
  std::string out;
  std::string err;
  int status = -1;  // the exit status, or -1 when a signal ended the program
  long peakKilobytes = 0;
};

// Runs a shell script in a fresh directory, with $CLI naming lumenark-cli and the file
// "in" holding input; its standard output and error go to the files "out" and "err"
// unless the script redirects them. The peak resident size is that of the script's
// largest process: a script that execs the program measures the program.
CliRun RunScript(const std::string& script, const std::string& input = "");

// lumenark-cli with the arguments, input on standard input.
CliRun RunCli(const std::vector<std::string>& arguments, const std::string& input = "");

std::string Quote(const std::string& argument);

}  // namespace lumenark::testing
