// lxr4-script [SCRIPT|-]: runs the program against the scripted platform,
// reading the session script from SCRIPT (or standard input) and writing the
// transcript to standard output.
#include <fstream>
#include <iostream>
#include <memory>
#include <string_view>

#include "app/app.h"
#include "platform/script/recording_window.h"
#include "platform/script/script_runner.h"
#include "platform/script/script_window.h"

int main(int argc, char** argv) {
  using namespace lxr4;
  if (argc > 2) {
    std::cerr << "usage: lxr4-script [SCRIPT|-]\n";
    return kScriptFailed;
  }
  std::ifstream file;
  std::istream* script = &std::cin;
  if (argc == 2 && std::string_view(argv[1]) != "-") {
    file.open(argv[1], std::ios::binary);
    if (!file) {
      std::cerr << "lxr4-script: cannot read " << argv[1] << '\n';
      return kScriptFailed;
    }
    script = &file;
  }

  ScriptWindow window;
  Transcript transcript(std::cout);
  RecordingWindow recording(window, transcript);
  const auto app = std::make_unique<App>(recording);  // the state is large: keep it off the stack
  window.SetSink(app.get());
  return RunScript(*script, *app, window, transcript, std::cerr);
}
