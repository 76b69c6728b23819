#include "CliRunner.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace lumenark::testing {
namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

}  // namespace

std::string Quote(const std::string& argument) {
  std::string quoted = "'";
  for (char c : argument) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

CliRun RunScript(const std::string& script, const std::string& input) {
  const auto dir = std::filesystem::temp_directory_path() / ("lumenark-cli-test-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "in", std::ios::binary) << input;
  const std::string command = "exec > out 2> err; " + script;
  const pid_t child = fork();
  if (child == 0) {
    if (chdir(dir.c_str()) != 0) _exit(126);
    setenv("CLI", LUMENARK_CLI_PATH, 1);
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int raw = 0;
  rusage usage{};
  wait4(child, &raw, 0, &usage);
  CliRun run{ReadFile(dir / "out"), ReadFile(dir / "err"), WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, usage.ru_maxrss};
  std::filesystem::remove_all(dir);
  return run;
}

CliRun RunCli(const std::vector<std::string>& arguments, const std::string& input) {
  std::string command = "exec \"$CLI\"";
  for (const auto& argument : arguments) command += " " + Quote(argument);
  return RunScript(command + " < in", input);
}

}  // namespace lumenark::testing
