// Where the program's own documents lie, for Help > User Guide.
#pragma once

#include <string>

namespace lxr4 {

// The user guide: share/doc/lxr4/user-guide.md under the installation prefix of
// the running program, else docs/user-guide.md of the source tree it was built
// from (a run from the build folder). Empty when neither exists.
[[nodiscard]] std::string FindUserGuide();

}  // namespace lxr4
