// lxr4-script --window: a session script run against the real Qt window.
// Declared without Qt, so that lxr4-script's own code stays plain C++.
#pragma once

#include <istream>

namespace lxr4 {

// Starts the real window (Qt's offscreen platform when there is no display),
// runs `script` through a WindowDriver and writes the transcript to standard
// output; returns the exit status of RunScript.
[[nodiscard]] int RunScriptInWindow(std::istream& script, int argc, char** argv);

}  // namespace lxr4
