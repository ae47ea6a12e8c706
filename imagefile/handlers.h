// The strip image handler.
// Each takes the program (state and window) and works on it.
#pragma once

#include "state/program.h"

namespace lxr4 {

// strip image
void cmdstrip_Click(Program& app);

}  // namespace lxr4
