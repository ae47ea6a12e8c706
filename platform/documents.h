// Where the program's own documents lie: the user guide for Help > User
// Guide, the lamp line lists for Calibration > Line List....
#pragma once

#include <string>

namespace lxr4 {

// The user guide: share/doc/lxr4/user-guide.md under the installation prefix of
// the running program, else docs/user-guide.md of the source tree it was built
// from (a run from the build folder). Empty when neither exists.
[[nodiscard]] std::string FindUserGuide();

// The folder of the shipped lamp line lists: share/lxr4/line_lists under the
// installation prefix, else data/line_lists of the source tree. Empty when
// neither exists.
[[nodiscard]] std::string FindLineLists();

}  // namespace lxr4
