// Levenberg-Marquardt fit of a line profile A * shape((x - mu), F, eta) to
// continuum-subtracted samples with their noise; the parameters' covariance
// is the inverse of the weighted normal matrix at the minimum.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "measure/line_measure.h"

namespace lxr4 {

struct ProfileParameters {
  double amplitude = 0;  // height at the centre, below zero for absorption
  double centre = 0;
  double fwhm = 0;
  double lorentzFraction = 0;  // fitted only for the pseudo-Voigt
};

struct ProfileFit {
  ProfileParameters best;
  ProfileParameters error;
};

// Fits from `start`; nullopt when the fit finds no finite minimum with its
// FWHM above zero, its centre inside the samples' span and its covariance.
std::optional<ProfileFit> FitProfile(LineProfile profile, std::span<const double> x,
                                     std::span<const double> y, std::span<const double> sigma,
                                     const ProfileParameters& start);

}  // namespace lxr4
