// A session script played against the whole program on the scripted window.
#pragma once

#include <memory>
#include <sstream>
#include <string>

#include "app/app.h"
#include "script/recording_window.h"
#include "script/script_runner.h"
#include "script/script_window.h"

namespace lxr4 {

struct Session {
  int status = 0;
  std::string transcript, errors;
};

inline Session RunSession(const std::string& script) {
  ScriptWindow window;
  std::ostringstream out, err;
  Transcript transcript(out);
  RecordingWindow recording(window, transcript);
  const auto app = std::make_unique<App>(recording);
  window.SetSink(app.get());
  std::istringstream in(script);
  Session s;
  s.status = RunScript(in, *app, window, transcript, err);
  s.transcript = out.str();
  s.errors = err.str();
  return s;
}

}  // namespace lxr4
