// lxr4-script [--window] [SCRIPT|-]: runs the program against the scripted
// platform, or with --window against the real Qt window, reading the session
// script from SCRIPT (or standard input) and writing the transcript to
// standard output.
#include <unistd.h>

#include <fstream>
#include <iostream>
#include <memory>
#include <string_view>

#include "app/app.h"
#include "platform/script/command_line.h"
#include "platform/script/recording_window.h"
#include "platform/script/script_runner.h"
#include "platform/script/script_window.h"
#ifdef LXR4_WITH_WINDOW
#include "platform/qt/window_session.h"
#endif

int main(int argc, char** argv) {
  using namespace lxr4;
  if (const auto status = AnswerWithoutScript(std::span(argv + 1, static_cast<std::size_t>(argc - 1)),
                                              isatty(STDIN_FILENO) != 0, std::cout, std::cerr))
    return *status;
  const bool inWindow = argc > 1 && std::string_view(argv[1]) == "--window";
  const int first = inWindow ? 2 : 1;
  if (argc > first + 1) {
    std::cerr << kScriptUsageLine;
    return kScriptFailed;
  }
  std::ifstream file;
  std::istream* script = &std::cin;
  if (argc == first + 1 && std::string_view(argv[first]) != "-") {
    file.open(argv[first], std::ios::binary);
    if (!file) {
      std::cerr << "lxr4-script: cannot read " << argv[first] << '\n';
      return kScriptFailed;
    }
    script = &file;
  }

  if (inWindow) {
#ifdef LXR4_WITH_WINDOW
    return RunScriptInWindow(*script, 1, argv);
#else
    std::cerr << "lxr4-script: --window needs a build with the window\n";
    return kScriptFailed;
#endif
  }
  ScriptWindow window;
  Transcript transcript(std::cout);
  RecordingWindow recording(window, transcript);
  const auto app = std::make_unique<App>(recording);  // the state is large: keep it off the stack
  window.SetSink(app.get());
  return RunScript(*script, *app, window, transcript, std::cerr);
}
