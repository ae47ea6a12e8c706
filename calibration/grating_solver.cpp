#include "calibration/grating_solver.h"

#include <cmath>

namespace lxr4 {

namespace {

// One alpha scan: steps alpha from first/divisor to last/divisor degrees until
// the corrected wavelength at line 1 falls below lambda1, then interpolates
// between the last two steps. `step` is 1/divisor written as a decimal
// constant. False when no step crosses.
bool ScanAlpha(Grating& g, const LinePair& lines, int first, int last, int divisor, double step,
               double lprev, int sign) {
  for (int i = first; i <= last; ++i) {
    const float a = static_cast<float>(i) / static_cast<float>(divisor);
    g.AlphaAngle = a;
    const float lc = CorrectWavelength(ModelWavelength(g, lines.pixel1, sign));
    if (lc < lines.wavelength1) {
      g.AlphaAngle = (a - step) + step * (lines.wavelength1 - lprev) / (lc - lprev);
      return true;
    }
    lprev = lc;
  }
  return false;
}

bool CoarseScan(Grating& g, const LinePair& lines, double lprev, int sign) {
  return ScanAlpha(g, lines, 50, 150, 10, 0.1, lprev, sign);
}

bool FineScan(Grating& g, const LinePair& lines, double lprev, int sign) {
  return ScanAlpha(g, lines, 500, 1500, 100, 0.01, lprev, sign);
}

// Rescales the focal length so that the model spreads the two lines as far
// apart as their catalogue wavelengths are.
bool UpdateFocalLength(Grating& g, const LinePair& lines, int sign) {
  const float lhat2 = CorrectWavelength(ModelWavelength(g, lines.pixel2, sign));
  const double f = g.FocalLength.AsDouble() * (lhat2 - lines.wavelength1) /
                   (lines.wavelength2 - lines.wavelength1);
  if (!(f > 0) || !std::isfinite(f)) return false;
  g.FocalLength = f;
  return true;
}

bool Descending(const LinePair& l) {
  if (l.wavelength2 > l.wavelength1) return !(l.pixel2 > l.pixel1);
  return !(l.pixel2 < l.pixel1);
}

SolveError TwoLineSolve(Grating& g, const LinePair& lines) {
  g.WavelengthDescending = Descending(lines);
  const int sign = ThetaSign(g);
  const double lambda1 = lines.wavelength1;
  if (!CoarseScan(g, lines, 0.0, sign)) return SolveError::NoCrossing;
  if (!UpdateFocalLength(g, lines, sign)) return SolveError::BadFocalLength;
  if (!CoarseScan(g, lines, lambda1, sign)) return SolveError::NoCrossing;
  if (!UpdateFocalLength(g, lines, sign)) return SolveError::BadFocalLength;
  if (!FineScan(g, lines, lambda1, sign)) return SolveError::NoCrossing;
  g.FocalLengthFitted = true;
  return SolveError::None;
}

}  // namespace

SolveError SolveCalibration(Grating& g, const LinePair& lines) {
  if (!(g.PixelWidth > 0)) return SolveError::NoPixelWidth;
  Grating trial = g;
  trial.GrooveSpacing = kGrooveSpacing;
  if (trial.FocalLengthFitted) {
    if (!FineScan(trial, lines, 0.0, ThetaSign(trial))) return SolveError::NoCrossing;
  } else if (const SolveError e = TwoLineSolve(trial, lines); e != SolveError::None) {
    return e;
  }
  trial.CalibrationDone = true;
  g = trial;
  return SolveError::None;
}

float LineDispersion(const LinePair& lines, float pixelWidth) {
  const float span = pixelWidth * (lines.pixel2 - lines.pixel1);
  return static_cast<float>(1000.0 * (lines.wavelength1 - lines.wavelength2) / span);
}

float ReferenceWavelength(Grating& g) {
  // At column 381 the model's theta is exactly 0, so this is the model itself.
  return ModelWavelength(g, kReferenceColumn, 1);
}

}  // namespace lxr4
