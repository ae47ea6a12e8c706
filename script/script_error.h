// The two ways a scripted session stops early.
#pragma once

#include <stdexcept>
#include <string>

namespace lxr4 {

// A fault of the script (unknown command or control, bad number, a dialog that
// opens with no answer queued) or a window call the scripted platform cannot
// carry out. lxr4-script reports its text and exits with status 2.
class ScriptError : public std::runtime_error {
 public:
  explicit ScriptError(const std::string& what) : std::runtime_error(what) {}
};

// Thrown by the scripted window's EndProgram: the program has ended and no
// further line runs.
struct ProgramEnded {};

}  // namespace lxr4
