#include "script/command_line.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string_view>

#include "script/script_runner.h"

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

std::optional<CommandLine> ReadCommandLine(int argc, char** argv) {
  CommandLine line;
  line.window = argc > 1 && std::string_view(argv[1]) == "--window";
  const int first = line.window ? 2 : 1;
  if (argc > first + 1) {
    std::cerr << kScriptUsageLine;
    return std::nullopt;
  }
  if (argc == first + 1) line.script = argv[first];
  return line;
}

std::istream* OpenScript(const std::string& script, std::ifstream& file) {
  if (script.empty() || script == "-") return &std::cin;
  file.open(script, std::ios::binary);
  if (!file) {
    std::cerr << "lxr4-script: cannot read " << script << '\n';
    return nullptr;
  }
  return &file;
}

int RunWindowProgram(char** argv) {
  // The running executable itself, not argv[0], which may be a bare name found on PATH.
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  const std::filesystem::path program = self.parent_path() / "lxr4-script-window";
  if (!ec) execv(program.c_str(), argv);
  const int error = ec ? ec.value() : errno;
  std::cerr << "lxr4-script: --window needs the window program " << program.string()
            << ", which cannot be run: " << std::strerror(error) << '\n';
  return kProgramFailed;
}

}  // namespace lxr4
