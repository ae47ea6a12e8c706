#include "platform/script/command_line.h"

#include <algorithm>

#include "platform/script/script_runner.h"

namespace lxr4 {

namespace {

constexpr std::string_view kUsageText =
    "Runs a session script on the LXR-4 program without a window and writes the\n"
    "transcript of everything the program did to standard output.\n"
    "\n"
    "  SCRIPT    the session script; - or none reads it from standard input\n"
    "  --window  plays the script on the real window instead\n"
    "  --help    shows this text\n"
    "\n"
    "Exit status: 0 the script ran to its end or the program ended, 2 a fault in\n"
    "the script, 1 a fault of the program. See lxr4-script(1).\n";

}  // namespace

std::optional<int> AnswerWithoutScript(std::span<char* const> args, bool inputIsTerminal, std::ostream& out,
                                       std::ostream& err) {
  const auto isHelp = [](const char* arg) {
    return std::string_view(arg) == "--help" || std::string_view(arg) == "-h";
  };
  if (std::any_of(args.begin(), args.end(), isHelp)) {
    out << kScriptUsageLine << kUsageText;
    return kScriptOk;
  }
  const bool named = std::any_of(args.begin(), args.end(),
                                 [](const char* arg) { return std::string_view(arg) != "--window"; });
  if (!named && inputIsTerminal) {
    err << kScriptUsageLine << kUsageText;
    return kScriptFailed;
  }
  return std::nullopt;
}

}  // namespace lxr4
