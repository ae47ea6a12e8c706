// The calibration's lines: every line the user marked or Identify Lines found,
// each with its catalogue wavelength and measured centroid.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/calibration_values.h"
#include "base/grid.h"

namespace lxr4 {

// Wavelengths a grating spectrograph can see, in Angstroms (extreme
// ultraviolet to thermal infrared): a typed wavelength, a line list's, a line's.
inline constexpr double kMinLineWavelength = 100;
inline constexpr double kMaxLineWavelength = 100000;

enum class AddLineError : std::uint8_t {
  None,
  BadLine,         // the wavelength is outside the limits above, or the centroid outside pixels 1..pixels
  SameWavelength,  // a line of this wavelength is in the set already
  SameColumn,      // a line lies within a pixel of this centroid already
};

// Appends `line` unless the set has it already; the set is unchanged on error.
// `pixels` is the detector's length: the camera image's 768 columns or a FITS frame's pixels.
[[nodiscard]] AddLineError AddLine(LineSet& lines, const CalibrationLine& line, int pixels = kGridColumns);

}  // namespace lxr4
