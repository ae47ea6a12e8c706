// Radial velocities from wavelengths: the relativistic Doppler shift along the
// line of sight. Pure code; wavelengths in Angstrom (any one unit will do),
// velocities in km/s, positive away from the observer (a redshift).
#pragma once

#include <span>
#include <string>
#include <vector>

#include "base/result.h"

namespace lxr4 {

inline constexpr double kSpeedOfLightKms = 299792.458;

enum class VelocityError { None, BadWavelength, FasterThanLight };

struct Velocity {
  double kms = 0;
};

// The velocity that shifts `rest` to `observed`:
// v = c (r^2 - 1) / (r^2 + 1) with r = observed / rest. Refuses a wavelength
// that is not finite and above zero.
[[nodiscard]] Result<VelocityError, Velocity> DopplerVelocity(double observed, double rest);

// A velocity observed, corrected by the barycentric correction `correction`
// (measure/barycentric.h): (1 + z) = (1 + z_observed)(1 + z_correction) with
// z = v / c, as Wright & Eastman (2014) combine them.
[[nodiscard]] double CorrectedVelocity(double observedKms, double correctionKms);

struct ShiftedWavelengths {
  std::vector<double> wavelengths;
};

// Each wavelength as seen from a source moving at `kms`:
// lambda * sqrt((1 + beta) / (1 - beta)). Refuses |kms| >= c.
[[nodiscard]] Result<VelocityError, ShiftedWavelengths> ShiftByVelocity(std::span<const double> wavelengths,
                                                                        double kms);

}  // namespace lxr4
