#include "calibration/grating_model.h"

#include <cmath>

namespace lxr4 {

float ModelWavelength(const ModelInput& g, double pixel, int sign, double& beta) {
  const float x = static_cast<float>(pixel) - g.Reference;
  const float offsetMm = x * (g.PixelWidth / 1000.0f);
  // The integer start value of the focal length divides in single precision,
  // a solved (double) one in double.
  const double ratio = g.FocalLength.kind() == Num::Kind::Int16
                           ? static_cast<double>(offsetMm / g.FocalLength.AsSingle())
                           : static_cast<double>(offsetMm) / g.FocalLength.AsDouble();
  const double k = g.DegreesPerRadian;
  const double theta = std::atan(ratio) * k;
  const double alpha = g.AlphaAngle.AsDouble();
  beta = (30.0 - alpha) + sign * theta;
  const double gamma = static_cast<double>(static_cast<float>(g.GammaAngle) / g.DegreesPerRadian);
  const double lambda =
      10000.0 * g.GrooveSpacing * std::cos(gamma) * (std::sin(beta / k) + std::sin(-alpha / k));
  return static_cast<float>(lambda);
}

float ModelWavelength(Grating& g, double pixel, int sign) {
  const ModelInput in{g.FocalLength,      g.AlphaAngle, g.GrooveSpacing, g.GammaAngle,
                      g.DegreesPerRadian, g.PixelWidth, g.Reference};
  return ModelWavelength(in, pixel, sign, g.BetaAngle);
}

float CorrectWavelength(float lambda) {
  const double l = lambda;
  if (l < 5490.0) return static_cast<float>(l - 7.5 * (5500.0 / l - 1.0));
  if (l > 5510.0) return static_cast<float>(l - 7.5 * (l / 5500.0 - 1.0));
  return lambda;
}

float CalibratedWavelength(Grating& g, double pixel) {
  return CorrectWavelength(ModelWavelength(g, pixel, ThetaSign(g)));
}

}  // namespace lxr4
