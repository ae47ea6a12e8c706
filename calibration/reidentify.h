// A saved calibration carried to a new lamp: the lamp's shift and stretch
// since the saved arc measured (arc_shift.h), the saved calibration moved by
// them, and the new arc's lines identified afresh from there
// (auto_identify.h). Pure code on explicit inputs.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/calibration_values.h"
#include "base/result.h"
#include "calibration/arc_shift.h"
#include "calibration/auto_identify.h"

namespace lxr4 {

// How far the moved calibration may be off, pixels: the shift is measured to
// a tenth of a pixel, the stretch leaves a pixel or two at the detector's ends.
inline constexpr double kReidentifyReachPixels = 5;

enum class ReidentifyError : std::uint8_t {
  None,
  Mismatch,       // the saved arc is not of the saved calibration's detector pixels
  NoShift,        // no clear match between the saved and the current arc (ArcShift not ok)
  NotIdentified,  // the identification from the moved calibration refused (its message follows)
};

struct Reidentification {
  AutoIdentification identification;  // counts the current arc's pixels
  ArcShift shift;                     // saved arc -> current arc
};
using ReidentifyResult = Result<ReidentifyError, Reidentification>;

// `saved` counts detector pixels 1..saved.pixels (FittedWavelength), the
// pixels of `savedArc`; `currentArc` holds the new lamp at its own pixels
// (any length); `list` the lamp lines, any order. The identification starts
// from the saved wavelength at the saved pixel each current pixel came from.
// On a refusal the message says why in the user's words; the shift is set
// whenever it was measured.
[[nodiscard]] ReidentifyResult Reidentify(const FittedCalibration& saved, std::span<const double> savedArc,
                                          std::span<const double> currentArc,
                                          const std::vector<ListLine>& list);

}  // namespace lxr4
