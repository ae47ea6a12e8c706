// The barycentric radial-velocity correction of an observation: the
// observer's velocity toward the target relative to the solar system's
// barycentre, in km/s, to be added to a measured radial velocity (the sign
// and the relativistic terms as Wright & Eastman 2014, eq. 28, without the
// Shapiro delay or the target's own motion). Pure code on ERFA: the Earth's
// motion from its VSOP-based ephemeris (eraEpv00), the site's from the Earth's
// rotation (UT1 taken as UTC, polar motion as zero: both below 1 m/s).
#pragma once

#include <string>
#include <string_view>

#include "base/result.h"

namespace lxr4 {

enum class BarycentricError { None, BadDate, BadExposure, BadTarget, BadSite, DateOutsideEphemeris };

struct Observation {
  std::string_view dateObs;    // UTC start, as FITS DATE-OBS: "2026-03-15T22:30:00.5" or "2026-03-15"
  double exposureSeconds = 0;  // EXPTIME; half of it is added for the mid-exposure
  double raDegrees = 0;        // target, ICRS (J2000)
  double decDegrees = 0;
  double longitudeDegrees = 0;  // site, east positive, WGS84
  double latitudeDegrees = 0;
  double heightMetres = 0;
};

struct BarycentricCorrection {
  double kms = 0;
  double midExposureJd = 0;  // UTC Julian date of the mid-exposure
};

// Refuses a date it cannot read (or outside the years 1900..2100 of the
// Earth's ephemeris), a negative exposure, a target or site out of range.
[[nodiscard]] Result<BarycentricError, BarycentricCorrection> BarycentricVelocity(const Observation& obs);

}  // namespace lxr4
