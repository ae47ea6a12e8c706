// The relativistic Doppler formulas of velocity.h.
#include "measure/velocity.h"

#include <cmath>

namespace lxr4 {

Result<VelocityError, Velocity> DopplerVelocity(double observed, double rest) {
  if (!std::isfinite(observed) || !std::isfinite(rest) || observed <= 0 || rest <= 0) {
    return Result<VelocityError, Velocity>::Refused(VelocityError::BadWavelength,
                                                    "Wavelengths must be numbers above zero.");
  }
  const double r2 = (observed / rest) * (observed / rest);
  Result<VelocityError, Velocity> out;
  out.kms = kSpeedOfLightKms * (r2 - 1) / (r2 + 1);
  if (!std::isfinite(out.kms)) {
    return Result<VelocityError, Velocity>::Refused(VelocityError::BadWavelength,
                                                    "Wavelengths must be numbers above zero.");
  }
  return out;
}

double CorrectedVelocity(double observedKms, double correctionKms) {
  return observedKms + correctionKms + observedKms * correctionKms / kSpeedOfLightKms;
}

Result<VelocityError, ShiftedWavelengths> ShiftByVelocity(std::span<const double> wavelengths, double kms) {
  using R = Result<VelocityError, ShiftedWavelengths>;
  const double beta = kms / kSpeedOfLightKms;
  if (!std::isfinite(beta) || std::abs(beta) >= 1) {
    return R::Refused(VelocityError::FasterThanLight, "The velocity must be below the speed of light.");
  }
  const double factor = std::sqrt((1 + beta) / (1 - beta));
  R out;
  out.wavelengths.reserve(wavelengths.size());
  for (double w : wavelengths) out.wavelengths.push_back(w * factor);
  return out;
}

}  // namespace lxr4
