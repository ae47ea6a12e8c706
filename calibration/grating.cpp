// The grating model and the calibration solve on the program's state.
#include "app/procedures.h"
#include "calibration/grating_solver.h"
#include "calibration/grating_state.h"
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
  g.PixelWidth = s.PixelWidth.AsSingle();
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

float ModelWavelength(App& app, double pixel, int sign) {
  Grating g = GratingOf(app.s);
  const float lambda = ModelWavelength(g, pixel, sign);
  app.s.BetaAngle = g.BetaAngle;
  return lambda;
}

// With a fit in force every wavelength comes from it; else from the two-line model.
float CalibratedWavelength(App& app, double pixel) {
  if (app.s.FitInForce) return FittedWavelength(*app.s.FitInForce, pixel);
  Grating g = GratingOf(app.s);
  const float lambda = CalibratedWavelength(g, pixel);
  app.s.BetaAngle = g.BetaAngle;
  return lambda;
}

float ColumnModelWavelength(App& app, std::int16_t column) {
  if (app.s.FitInForce) return FittedWavelength(*app.s.FitInForce, column);
  return ModelWavelength(app, column, -1);
}

bool SolveCalibration(App& app, const LinePair& lines) {
  Grating g = GratingOf(app.s);
  if (SolveCalibration(g, lines) != SolveError::None) return false;
  StoreGrating(g, app.s);
  app.s.FitInForce.reset();  // a new two-line solve replaces a fit in force
  app.s.FitFromMarks = false;
  return true;
}

}  // namespace lxr4
