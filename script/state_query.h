// Answers the `state` questions of session scripts: the text of a field of the
// application state under its design name. Flags print as -1 or 0, booleans as
// true or false, numbers by the type they hold (an unset number as 0), single
// values with the fewest digits that read back, texts quoted with escapes.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "state/app_state.h"

namespace lxr4 {

struct StateAnswer {
  std::string line;   // "state FIELD ..." when the question is good
  std::string error;  // what is wrong with the question otherwise
};

// `numbers` are the words after FIELD: none for a scalar field; FIRST LAST
// (columns 1..768) for CurrentSpectrum, ObjectSpectrum and CalSpectrum; ROW
// FIRST LAST (row 1..20) for ObjectPixels and CalPixels.
[[nodiscard]] StateAnswer AskState(const AppState& s, std::string_view field,
                                   std::span<const long long> numbers);

}  // namespace lxr4
