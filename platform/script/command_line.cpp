#include "platform/script/command_line.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string_view>

#include "platform/script/script_runner.h"

namespace lxr4 {

std::optional<CommandLine> ReadCommandLine(int argc, char** argv) {
  CommandLine line;
  line.window = argc > 1 && std::string_view(argv[1]) == "--window";
  const int first = line.window ? 2 : 1;
  if (argc > first + 1) {
    std::cerr << "usage: lxr4-script [--window] [SCRIPT|-]\n";
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
