// Air and vacuum wavelengths: the refractive index of standard dry air from
// Morton (2000, ApJS 130, 403, eq. 8: Edlen's formula with the constants of
// Birch and Downs 1994), as VALD and specutils' "Morton2000" use it. By the
// IAU's convention only wavelengths from 2000 Angstrom up are given in air,
// so shorter ones are refused. Wavelengths in Angstrom.
#pragma once

#include "base/result.h"

namespace lxr4 {

enum class AirVacuumError { None, OutOfRange };

struct Wavelength {
  double angstrom = 0;
};

// The lowest wavelength quoted in air.
inline constexpr double kAirWavelengthMin = 2000.0;

// Air wavelength of a vacuum wavelength: lambda / n(lambda).
[[nodiscard]] Result<AirVacuumError, Wavelength> VacuumToAir(double vacuum);

// Vacuum wavelength of an air wavelength: the exact inverse of VacuumToAir
// (to 1e-9 Angstrom), found by iteration.
[[nodiscard]] Result<AirVacuumError, Wavelength> AirToVacuum(double air);

}  // namespace lxr4
