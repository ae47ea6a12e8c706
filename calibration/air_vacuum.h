// Air and vacuum wavelengths: the refractive index of standard dry air of
// Morton (2000, ApJS 130, 403, eq. 8: Edlen's formula with the constants of
// Birch and Downs 1994), the IAU's standard conversion, as VALD and
// specutils' "Morton2000" use it. Wavelengths in Angstroms. By the IAU's
// convention only wavelengths from 2000 Angstroms up are quoted in air, so
// shorter ones (and a value that is not a number) come back unchanged.
#pragma once

namespace lxr4 {

// The lowest wavelength quoted in air, Angstroms.
inline constexpr double kAirWavelengthMin = 2000.0;

// Air wavelength of a vacuum wavelength: lambda / n(lambda).
[[nodiscard]] double VacuumToAir(double vacuum);

// Vacuum wavelength of an air wavelength: the inverse of VacuumToAir (to
// 1e-9 Angstroms), found by iteration.
[[nodiscard]] double AirToVacuum(double air);

}  // namespace lxr4
