// The calibration in force as text lines, for the headers of exported files:
// the model, its fitted parameters and the instrument's constants. Every
// exported file takes its description of the calibration from here.
#pragma once

#include <string>
#include <vector>

#include "state/app_state.h"

namespace lxr4 {

// Empty before a calibration.
[[nodiscard]] std::vector<std::string> CalibrationTextLines(const AppState& s);

}  // namespace lxr4
