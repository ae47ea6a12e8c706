// What lxr4-script answers before it reads any script: its usage for --help,
// and the usage too when no script is named and standard input is a terminal,
// where reading it would sit waiting for a typist.
#pragma once

#include <optional>
#include <ostream>
#include <span>
#include <string_view>

namespace lxr4 {

inline constexpr std::string_view kScriptUsageLine = "usage: lxr4-script [--window] [SCRIPT|-]\n";

// The exit status when the command line is answered without a script (usage
// on `out` and 0 for --help or -h; usage on `err` and 2 for no script on a
// terminal), else nullopt. `args` are the arguments after the program's name.
std::optional<int> AnswerWithoutScript(std::span<char* const> args, bool inputIsTerminal, std::ostream& out,
                                       std::ostream& err);

}  // namespace lxr4
