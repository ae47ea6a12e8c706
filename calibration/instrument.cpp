#include "calibration/instrument.h"

#include <cmath>
#include <limits>

#include "calibration/grating_model.h"

namespace lxr4 {

namespace {
// The model converts with this single-precision constant, not 180/pi.
constexpr float kDegreesPerRadian = 57.29578f;

// CorrectWavelength in double precision, with its slope.
struct Corrected {
  double value, slope;
};
Corrected CorrectExactly(double l) {
  if (l < 5490.0) return {l - 7.5 * (5500.0 / l - 1.0), 1.0 + 7.5 * 5500.0 / (l * l)};
  if (l > 5510.0) return {l - 7.5 * (l / 5500.0 - 1.0), 1.0 - 7.5 / 5500.0};
  return {l, 1.0};
}
}  // namespace

double GrooveSpacingOf(const InstrumentSettings& settings) {
  return settings.grooveDensity == 300 ? kGrooveSpacing : 1000.0 / settings.grooveDensity;
}

float ToSingle(double value) {
  constexpr double kLargest = std::numeric_limits<float>::max();
  if (value > kLargest) return std::numeric_limits<float>::infinity();
  if (value < -kLargest) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

float PixelWidthOf(const InstrumentSettings& settings, float headerPixelWidth) {
  return settings.pixelSize ? *settings.pixelSize : headerPixelWidth;
}

float GratingWavelength(const GratingModel& model, double column) {
  const GratingParameters& p = model.parameters;
  // The two-line model's steps: the column offset and the offset on the detector in
  // single precision, the angles in double, the wavelength rounded to single.
  const float x = ToSingle(column) - ToSingle(p.referenceColumn);
  const float offsetMm = x * (model.pixelWidth / 1000.0f);
  const double k = kDegreesPerRadian;
  const double theta = std::atan(static_cast<double>(offsetMm) / p.focalLength) * k;
  const double beta = (model.settings.deviationAngle - p.alphaAngle) + (p.descending ? -1 : 1) * theta;
  const double lambda =
      10000.0 * GrooveSpacingOf(model.settings) * (std::sin(beta / k) + std::sin(-p.alphaAngle / k));
  const float single = ToSingle(lambda);
  return model.settings.correction ? CorrectWavelength(single) : single;
}

GratingEvaluation EvaluateGrating(const GratingModel& model, double column) {
  const GratingParameters& p = model.parameters;
  const double k = kDegreesPerRadian;
  const double sign = p.descending ? -1 : 1;
  const double mmPerColumn = model.pixelWidth / 1000.0;
  const double u = (column - p.referenceColumn) * mmPerColumn / p.focalLength;
  const double beta = (model.settings.deviationAngle - p.alphaAngle) + sign * std::atan(u) * k;
  const double scale = 10000.0 * GrooveSpacingOf(model.settings);
  const double raw = scale * (std::sin(beta / k) - std::sin(p.alphaAngle / k));
  // d(raw)/du, through beta and theta = atan(u) in degrees.
  const double byU = scale * std::cos(beta / k) * sign / (1.0 + u * u);
  Corrected c{raw, 1.0};
  if (model.settings.correction) c = CorrectExactly(raw);
  GratingEvaluation e;
  e.wavelength = c.value;
  e.byFocalLength = c.slope * byU * (-u / p.focalLength);
  e.byAlpha = c.slope * scale * (-std::cos(beta / k) - std::cos(p.alphaAngle / k)) / k;
  e.byColumn = c.slope * byU * mmPerColumn / p.focalLength;
  e.byReferenceColumn = -e.byColumn;
  return e;
}

}  // namespace lxr4
