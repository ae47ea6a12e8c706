// The command line of lxr4-script, `[--window] [SCRIPT|-]`, shared by
// lxr4-script and the window program it runs for --window
// (lxr4-script-window, built beside it when the window is built).
#pragma once

#include <fstream>
#include <istream>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace lxr4 {

inline constexpr std::string_view kScriptUsageLine = "usage: lxr4-script [--window] [SCRIPT|-]\n";

struct CommandLine {
  bool window = false;
  std::string script;  // empty or "-": standard input
};

// What lxr4-script answers before it reads any script: the exit status when the
// command line is answered without one (usage on `out` and 0 for --help or -h;
// usage on `err` and 2 for no script on a terminal, where reading it would sit
// waiting for a typist), else nullopt. `args` are the arguments after the
// program's name.
std::optional<int> AnswerWithoutScript(std::span<char* const> args, bool inputIsTerminal, std::ostream& out,
                                       std::ostream& err);

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
