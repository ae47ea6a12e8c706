// Morton's (2000) refractive index of air and its inverse.
#include "calibration/air_vacuum.h"

#include <cmath>

namespace lxr4 {
namespace {

// n - 1 of standard air at a vacuum wavelength in Angstroms (Morton 2000, eq. 8).
double RefractivityAt(double vacuum) {
  const double s2 = (1e4 / vacuum) * (1e4 / vacuum);  // wavenumber squared, per square micrometre
  return 8.34254e-5 + 2.406147e-2 / (130 - s2) + 1.5998e-4 / (38.9 - s2);
}

bool QuotedInAir(double wavelength) { return std::isfinite(wavelength) && wavelength >= kAirWavelengthMin; }

}  // namespace

double VacuumToAir(double vacuum) {
  if (!QuotedInAir(vacuum)) return vacuum;
  return vacuum / (1 + RefractivityAt(vacuum));
}

double AirToVacuum(double air) {
  if (!QuotedInAir(air)) return air;
  // n changes slowly with wavelength: each pass gains about four digits.
  double vacuum = air;
  for (int pass = 0; pass < 8; ++pass) {
    const double next = air * (1 + RefractivityAt(vacuum));
    const bool settled = std::abs(next - vacuum) < 1e-12 * air;
    vacuum = next;
    if (settled) break;
  }
  return vacuum;
}

}  // namespace lxr4
