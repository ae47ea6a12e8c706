// The barycentric correction through ERFA (see barycentric.h).
#include "measure/barycentric.h"

#include <erfa.h>
#include <erfam.h>

#include <array>
#include <charconv>
#include <cmath>
#include <optional>

namespace lxr4 {
namespace {

using R = Result<BarycentricError, BarycentricCorrection>;

constexpr double kC = 299792458.0;                       // m/s
constexpr double kAu = 149597870700.0;                   // m
constexpr double kDay = 86400.0;                         // s
constexpr double kEarthRotation = 7.292115855306589e-5;  // rad/s, 2 pi 1.00273781191135448 / day
constexpr double kGmSun = 1.3271244e20;                  // m^3/s^2, IAU 2015 nominal
constexpr double kGmEarth = 3.986004e14;

struct DateTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
  double second = 0;
};

// "YYYY-MM-DD" with an optional "Thh:mm:ss[.fff]".
std::optional<DateTime> ParseIsoDate(std::string_view text) {
  DateTime t;
  const char* p = text.data();
  const char* end = p + text.size();
  auto whole = [&](int& out, std::size_t digits, char after) {
    if (static_cast<std::size_t>(end - p) < digits) return false;
    auto [q, ec] = std::from_chars(p, p + digits, out);
    if (ec != std::errc{} || q != p + digits) return false;
    p = q;
    if (after == 0) return true;
    if (p == end || *p != after) return false;
    ++p;
    return true;
  };
  if (!whole(t.year, 4, '-') || !whole(t.month, 2, '-')) return std::nullopt;
  if (!whole(t.day, 2, p + 2 < end ? 'T' : 0)) return std::nullopt;
  if (p == end) return t;
  if (!whole(t.hour, 2, ':') || !whole(t.minute, 2, ':')) return std::nullopt;
  if (end - p < 2 || *p == '-' || *p == '+') return std::nullopt;
  auto [q, ec] = std::from_chars(p, end, t.second, std::chars_format::fixed);
  if (ec != std::errc{} || q != end) return std::nullopt;
  return t;
}

double Dot(const std::array<double, 3>& a, const std::array<double, 3>& b) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

}  // namespace

R BarycentricVelocity(const Observation& obs) {
  const auto date = ParseIsoDate(obs.dateObs);
  double utc1 = 0, utc2 = 0;
  if (!date || eraDtf2d("UTC", date->year, date->month, date->day, date->hour, date->minute, date->second,
                        &utc1, &utc2) < 0) {
    return R::Refused(BarycentricError::BadDate,
                      "The date is not a UTC date and time such as 2026-03-15T22:30:00.");
  }
  if (!std::isfinite(obs.exposureSeconds) || obs.exposureSeconds < 0 || obs.exposureSeconds > 1e6) {
    return R::Refused(BarycentricError::BadExposure, "The exposure time must be 0 seconds or more.");
  }
  if (!std::isfinite(obs.raDegrees) || !std::isfinite(obs.decDegrees) || obs.raDegrees < 0 ||
      obs.raDegrees >= 360 || std::abs(obs.decDegrees) > 90) {
    return R::Refused(
        BarycentricError::BadTarget,
        "The target needs a right ascension of 0 to 360 and a declination of -90 to 90 degrees.");
  }
  if (!std::isfinite(obs.longitudeDegrees) || !std::isfinite(obs.latitudeDegrees) ||
      !std::isfinite(obs.heightMetres) || std::abs(obs.longitudeDegrees) > 360 ||
      std::abs(obs.latitudeDegrees) > 90 || std::abs(obs.heightMetres) > 1e5) {
    return R::Refused(BarycentricError::BadSite,
                      "The site needs a longitude, a latitude of -90 to 90 degrees and a height in metres.");
  }
  utc2 += obs.exposureSeconds / 2 / kDay;

  double tai1 = 0, tai2 = 0, tt1 = 0, tt2 = 0;
  double pvh[2][3], pvb[2][3];
  if (eraUtctai(utc1, utc2, &tai1, &tai2) < 0 || eraTaitt(tai1, tai2, &tt1, &tt2) != 0 ||
      eraEpv00(tt1, tt2, pvh, pvb) != 0) {
    return R::Refused(BarycentricError::DateOutsideEphemeris,
                      "The date must lie between the years 1900 and 2100.");
  }

  // The site in the terrestrial frame, then in the celestial one (GCRS) with
  // its velocity from the Earth's turning.
  double site[3];
  if (eraGd2gc(ERFA_WGS84, obs.longitudeDegrees * ERFA_DD2R, obs.latitudeDegrees * ERFA_DD2R,
               obs.heightMetres, site) != 0) {
    return R::Refused(BarycentricError::BadSite,
                      "The site needs a longitude, a latitude of -90 to 90 degrees and a height in metres.");
  }
  double c2t[3][3];
  eraC2t06a(tt1, tt2, utc1, utc2, 0, 0, c2t);  // UT1 as UTC
  double turning[3] = {-kEarthRotation * site[1], kEarthRotation * site[0], 0};
  double siteVelocity[3];
  eraTrxp(c2t, turning, siteVelocity);  // the transpose takes terrestrial to celestial

  std::array<double, 3> beta{};
  for (int i = 0; i < 3; ++i)
    beta[static_cast<std::size_t>(i)] = (pvb[1][i] * kAu / kDay + siteVelocity[i]) / kC;
  std::array<double, 3> target{};
  eraS2c(obs.raDegrees * ERFA_DD2R, obs.decDegrees * ERFA_DD2R, target.data());

  // The gravitational redshift at the site (about 3 m/s): the Sun's and the Earth's.
  const double sunDistance =
      std::sqrt(pvh[0][0] * pvh[0][0] + pvh[0][1] * pvh[0][1] + pvh[0][2] * pvh[0][2]) * kAu;
  const double geocentre = std::sqrt(site[0] * site[0] + site[1] * site[1] + site[2] * site[2]);
  const double redshift = -(kGmSun / sunDistance + kGmEarth / geocentre) / kC;

  const double gamma = 1 / std::sqrt(1 - Dot(beta, beta));
  const double zb = gamma * (1 + Dot(beta, target)) / (1 + redshift / kC);
  R out;
  out.kms = kC * (zb - 1) / 1000;
  out.midExposureJd = utc1 + utc2;
  return out;
}

}  // namespace lxr4
