// Runs a session script: starts the program (the main window's load handler),
// then carries out each line against a window's user actions, answering the
// questions into the transcript.
#pragma once

#include <istream>
#include <ostream>

#include "app/app.h"
#include "script/transcript.h"
#include "script/user_actions.h"

namespace lxr4 {

inline constexpr int kScriptOk = 0;       // ran to its end, or the program ended
inline constexpr int kProgramFailed = 1;  // a handler threw: a fault of the program
inline constexpr int kScriptFailed = 2;   // a fault of the script

// The exit status; faults are reported on `errors` as "lxr4-script: line N: WHAT".
// The transcript is complete and flushed on every path.
[[nodiscard]] int RunScript(std::istream& script, App& app, UserActions& user, Transcript& transcript,
                            std::ostream& errors);

}  // namespace lxr4
