// lxr4-script-window [--window] [SCRIPT|-]: the program behind
// `lxr4-script --window`, which runs it from its own folder with the same
// arguments. It runs the session script on the real Qt window (Qt's offscreen
// platform when there is no display) and writes the transcript to standard
// output, exactly as lxr4-script does on the scripted platform.
#include <fstream>

#include "platform/files.h"
#include "qt/driver/window_session.h"
#include "script/command_line.h"
#include "script/script_runner.h"

int main(int argc, char** argv) {
  using namespace lxr4;
  IgnoreFileSizeSignal();  // a save past ulimit -f is refused, not the end of the program
  const std::optional<CommandLine> line = ReadCommandLine(argc, argv);
  if (!line) return kScriptFailed;
  std::ifstream file;
  std::istream* script = OpenScript(line->script, file);
  if (!script) return kScriptFailed;
  return RunScriptInWindow(*script, 1, argv);
}
