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
