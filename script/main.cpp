// lxr4-script [--window] [SCRIPT|-]: runs the program against the scripted
// platform, reading the session script from SCRIPT (or standard input) and
// writing the transcript to standard output. With --window the window program
// beside it (lxr4-script-window) takes over the process and runs the script on
// the real Qt window; lxr4-script itself never loads the toolkit.
#include <unistd.h>

#include <fstream>
#include <iostream>
#include <memory>

#include "app/app.h"
#include "platform/files.h"
#include "script/command_line.h"
#include "script/recording_window.h"
#include "script/script_runner.h"
#include "script/script_window.h"

int main(int argc, char** argv) {
  using namespace lxr4;
  IgnoreFileSizeSignal();  // a save past ulimit -f is refused, not the end of the program
  if (const auto status = AnswerWithoutScript(std::span(argv + 1, static_cast<std::size_t>(argc - 1)),
                                              isatty(STDIN_FILENO) != 0, std::cout, std::cerr))
    return *status;
  const std::optional<CommandLine> line = ReadCommandLine(argc, argv);
  if (!line) return kScriptFailed;
  if (line->window) return RunWindowProgram(argv);
  std::ifstream file;
  std::istream* script = OpenScript(line->script, file);
  if (!script) return kScriptFailed;

  ScriptWindow window;
  Transcript transcript(std::cout);
  RecordingWindow recording(window, transcript);
  const auto app = std::make_unique<App>(recording);  // the state is large: keep it off the stack
  window.SetSink(app.get());
  return RunScript(*script, *app, window, transcript, std::cerr);
}
