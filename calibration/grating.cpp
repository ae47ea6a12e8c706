// The grating model and the calibration solve on the program's state.
#include <cmath>

#include "base/grid.h"
#include "calibration/grating_solver.h"
#include "calibration/grating_state.h"
#include "calibration/detector.h"
#include "calibration/handlers.h"
#include "calibration/lamp_handlers.h"
#include "calibration/line_fit.h"

namespace lxr4 {

Grating GratingOf(const AppState& s) {
  Grating g;
  g.FocalLength = s.FocalLength;
  g.AlphaAngle = s.AlphaAngle;
  g.BetaAngle = s.BetaAngle.AsDouble();
  g.GrooveSpacing = s.GrooveSpacing.AsDouble();
  g.GammaAngle = static_cast<std::int16_t>(s.GammaAngle.AsDouble());
  g.DegreesPerRadian = s.DegreesPerRadian;
  g.PixelWidth = ModelPixelWidth(s);
  g.Reference = ModelReference(s);
  g.WavelengthDescending = s.WavelengthDescending != kFalse;
  g.FocalLengthFitted = s.FocalLengthFitted;
  g.CalibrationDone = s.CalibrationDone;
  return g;
}

void StoreGrating(const Grating& g, AppState& s) {
  s.FocalLength = g.FocalLength;
  s.AlphaAngle = g.AlphaAngle;
  s.BetaAngle = g.BetaAngle;
  s.GrooveSpacing = g.GrooveSpacing;
  s.WavelengthDescending = g.WavelengthDescending ? kTrue : kFalse;
  s.FocalLengthFitted = g.FocalLengthFitted;
  s.CalibrationDone = g.CalibrationDone;
}

WavelengthAt ModelWavelength(const AppState& s, double pixel, int sign) {
  const ModelInput in{s.FocalLength,
                      s.AlphaAngle,
                      s.GrooveSpacing.AsDouble(),
                      static_cast<std::int16_t>(s.GammaAngle.AsDouble()),
                      s.DegreesPerRadian,
                      ModelPixelWidth(s),
                      ModelReference(s)};
  double beta = 0;
  const float lambda = ModelWavelength(in, pixel, sign, beta);
  return {lambda, beta};
}

// With a fit in force every wavelength comes from it; else from the two-line model.
WavelengthAt CalibratedWavelength(const AppState& s, double pixel) {
  if (s.FitInForce) return {FittedWavelength(*s.FitInForce, pixel), std::nullopt};
  const WavelengthAt model = ModelWavelength(s, pixel, s.WavelengthDescending != kFalse ? -1 : 1);
  return {CorrectWavelength(model.wavelength), model.beta};
}

WavelengthAt ColumnModelWavelength(const AppState& s, std::int16_t column) {
  const double at = ColumnOnDetector(s, column);
  if (s.FitInForce) return {FittedWavelength(*s.FitInForce, at), std::nullopt};
  return ModelWavelength(s, at, -1);
}

void KeepEvaluation(AppState& s, const WavelengthAt& at) {
  if (at.beta) s.BetaAngle = *at.beta;
}

namespace {
// A solve whose model gives no wavelength above 0 somewhere on the detector
// would put "NaN" or a negative wavelength in the read-out and the exports.
bool WavelengthsOnDetector(Grating g, int pixels) {
  for (int column = 1; column <= pixels; ++column) {
    const float wavelength = CalibratedWavelength(g, column);
    if (!(std::isfinite(wavelength) && wavelength > 0)) return false;
  }
  return true;
}
}  // namespace

bool SolveCalibration(Program& app, const LinePair& lines) {
  Grating g = GratingOf(app.s);
  if (SolveCalibration(g, lines) != SolveError::None || !WavelengthsOnDetector(g, DetectorPixels(app.s))) return false;
  StoreGrating(g, app.s);
  app.s.FitInForce.reset();  // a new two-line solve replaces a fit in force
  app.s.FitFromMarks = false;
  app.s.CalibrationFrame = FrameOf(GraphedImage(app.s));
  return true;
}

}  // namespace lxr4
