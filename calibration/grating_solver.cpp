#include "calibration/grating_solver.h"

#include <cmath>

namespace lxr4 {

namespace {

bool Descending(const LinePair& l) {
  if (l.wavelength2 > l.wavelength1) return !(l.pixel2 > l.pixel1);
  return !(l.pixel2 < l.pixel1);
}

SolveError TwoLineSolve(Grating& g, const LinePair& lines) {
  g.WavelengthDescending = Descending(lines);
  const int sign = ThetaSign(g);
  const double lambda1 = lines.wavelength1;
  if (!ScanAlpha(g, lines, kCoarseScan, 0.0, sign)) return SolveError::NoCrossing;
  if (!UpdateFocalLength(g, lines, sign)) return SolveError::BadFocalLength;
  if (!ScanAlpha(g, lines, kCoarseScan, lambda1, sign)) return SolveError::NoCrossing;
  if (!UpdateFocalLength(g, lines, sign)) return SolveError::BadFocalLength;
  if (!ScanAlpha(g, lines, kFineScan, lambda1, sign)) return SolveError::NoCrossing;
  g.FocalLengthFitted = true;
  return SolveError::None;
}

}  // namespace

bool ScanAlpha(Grating& g, const LinePair& lines, const AlphaScan& scan, double lprev, int sign) {
  for (int i = scan.first; i <= scan.last; ++i) {
    const float a = static_cast<float>(i) / static_cast<float>(scan.divisor);
    g.AlphaAngle = a;
    const float lc = CorrectWavelength(ModelWavelength(g, lines.pixel1, sign));
    if (lc < lines.wavelength1) {
      g.AlphaAngle = (a - scan.step) + scan.step * (lines.wavelength1 - lprev) / (lc - lprev);
      return true;
    }
    lprev = lc;
  }
  return false;
}

bool UpdateFocalLength(Grating& g, const LinePair& lines, int sign) {
  const float lhat2 = CorrectWavelength(ModelWavelength(g, lines.pixel2, sign));
  const double f =
      g.FocalLength.AsDouble() * (lhat2 - lines.wavelength1) / (lines.wavelength2 - lines.wavelength1);
  if (!(f > 0) || !std::isfinite(f)) return false;
  g.FocalLength = f;
  return true;
}

SolveError SolveCalibration(Grating& g, const LinePair& lines) {
  if (!(g.PixelWidth > 0)) return SolveError::NoPixelWidth;
  Grating trial = g;
  trial.GrooveSpacing = kGrooveSpacing;
  if (trial.FocalLengthFitted) {
    if (!ScanAlpha(trial, lines, kFineScan, 0.0, ThetaSign(trial))) return SolveError::NoCrossing;
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
  return ModelWavelength(g, g.Reference, 1);
}

}  // namespace lxr4
