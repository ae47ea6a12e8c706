// Fitting the grating model to marked lines: the two-line solve (alpha angle
// and focal length) and the one-line re-fit (alpha angle only), and the
// figures of the calibration summary.
#pragma once

#include <cstdint>

#include "calibration/grating_model.h"

namespace lxr4 {

// The two marked lines: catalogue wavelengths (Angstroms) and centroid columns.
struct LinePair {
  double wavelength1 = 0;
  float pixel1 = 0;
  double wavelength2 = 0;
  float pixel2 = 0;
};

enum class SolveError : std::uint8_t {
  None,
  NoPixelWidth,    // PixelWidth is not above 0: columns have no angle
  NoCrossing,      // no alpha between 5 and 15 degrees reaches line 1
  BadFocalLength,  // a focal-length update gave 0, less, or no number
};

// One scan of the alpha angle from first/divisor to last/divisor degrees;
// `step` is 1/divisor written as the decimal constant the interpolation uses.
struct AlphaScan {
  int first, last, divisor;
  double step;
};
inline constexpr AlphaScan kCoarseScan{50, 150, 10, 0.1};
inline constexpr AlphaScan kFineScan{500, 1500, 100, 0.01};

// Steps the alpha angle (single precision) until the corrected wavelength at
// line 1 falls below its catalogue wavelength, then sets the alpha angle
// (double) by linear interpolation from the previous step, whose wavelength
// is `lprev` at the first step. `sign` is the sign of theta. False when no
// step crosses; the alpha angle then holds the last step.
[[nodiscard]] bool ScanAlpha(Grating& g, const LinePair& lines, const AlphaScan& scan, double lprev,
                             int sign);

// Rescales the focal length (to a double) so that the model puts line 2 as far
// from line 1 as the catalogue does. False, with the focal length unchanged,
// when the new focal length would be 0, less, or no number.
[[nodiscard]] bool UpdateFocalLength(Grating& g, const LinePair& lines, int sign);

// Runs the two-line solve when g.FocalLengthFitted is false, else the
// one-line re-fit of the alpha angle to line 1. On success g holds the fitted
// calibration; on failure g is left exactly as it was.
[[nodiscard]] SolveError SolveCalibration(Grating& g, const LinePair& lines);

// Linear dispersion at the detector in Angstroms per millimetre (signed), from
// the two lines alone; the lines must lie on different columns.
float LineDispersion(const LinePair& lines, float pixelWidth);

// Uncorrected model wavelength at the reference column 381, where theta is 0;
// writes g.BetaAngle (30 - alpha).
float ReferenceWavelength(Grating& g);

}  // namespace lxr4
