// The object's spectrum in relative flux: its values divided by the
// instrument response in force (Reduction > Instrument Response...) at each
// pixel's own wavelength. The Spectrum view and the exports both take it from
// here, so they show and write the same numbers.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "state/app_state.h"

namespace lxr4 {

struct RelativeFlux {
  std::size_t first = 0;       // the first pixel kept (from 0): those beyond the response's range are left out
  std::vector<double> values;  // for pixels first .. first + values.size() - 1
  std::string note;            // what was left out; empty when nothing was
};

// nullopt when no response is in force or the spectrum and the response do
// not overlap; `native` holds each value's wavelength in Angstrom, as the
// calibration gives it.
[[nodiscard]] std::optional<RelativeFlux> ObjectRelativeFlux(const AppState& s, std::span<const double> native,
                                                             std::span<const double> values);

}  // namespace lxr4
