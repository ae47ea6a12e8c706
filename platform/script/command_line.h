// The command line of lxr4-script, `[--window] [SCRIPT|-]`, shared by
// lxr4-script and the window program it runs for --window
// (lxr4-script-window, built beside it when the window is built).
#pragma once

#include <fstream>
#include <istream>
#include <optional>
#include <string>

namespace lxr4 {

struct CommandLine {
  bool window = false;
  std::string script;  // empty or "-": standard input
};

// The command line, or nothing after writing the usage on standard error.
[[nodiscard]] std::optional<CommandLine> ReadCommandLine(int argc, char** argv);

// The stream to read the script from: `file` opened on the named script, or
// standard input; null after saying on standard error that it cannot be read.
[[nodiscard]] std::istream* OpenScript(const std::string& script, std::ifstream& file);

// Replaces this process by the window program found beside the running
// executable, passing it `argv` as it stands. Returns only when that fails,
// after saying why on standard error; the result is the exit status.
[[nodiscard]] int RunWindowProgram(char** argv);

}  // namespace lxr4
