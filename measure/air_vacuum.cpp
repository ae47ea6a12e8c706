// Morton's (2000) refractive index of air and its inverse.
#include "measure/air_vacuum.h"

#include <cmath>

namespace lxr4 {
namespace {

using R = Result<AirVacuumError, Wavelength>;

// n - 1 of standard air at a vacuum wavelength in Angstrom (Morton 2000, eq. 8).
double RefractivityAt(double vacuum) {
  const double s2 = (1e4 / vacuum) * (1e4 / vacuum);  // wavenumber squared, per square micrometre
  return 8.34254e-5 + 2.406147e-2 / (130 - s2) + 1.5998e-4 / (38.9 - s2);
}

R Refused() {
  return R::Refused(AirVacuumError::OutOfRange, "Air wavelengths are only defined from 2000 Angstrom up.");
}

}  // namespace

R VacuumToAir(double vacuum) {
  if (!std::isfinite(vacuum) || vacuum < kAirWavelengthMin) return Refused();
  R out;
  out.angstrom = vacuum / (1 + RefractivityAt(vacuum));
  return out;
}

R AirToVacuum(double air) {
  if (!std::isfinite(air) || air < kAirWavelengthMin) return Refused();
  // n changes slowly with wavelength: each pass gains about four digits.
  double vacuum = air;
  for (int pass = 0; pass < 8; ++pass) {
    const double next = air * (1 + RefractivityAt(vacuum));
    if (std::abs(next - vacuum) < 1e-12 * air) {
      vacuum = next;
      break;
    }
    vacuum = next;
  }
  R out;
  out.angstrom = vacuum;
  return out;
}

}  // namespace lxr4
