// What each control does, in a sentence the window shows when the mouse rests on it.
#pragma once

#include <string_view>

#include "base/controls.h"

namespace lxr4 {

// The tooltip of `control`; empty for the two windows themselves.
std::string_view ToolTip(Control control);

}  // namespace lxr4
