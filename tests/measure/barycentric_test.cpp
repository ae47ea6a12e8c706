// The barycentric correction: one known answer (from astropy 5.2's
// radial_velocity_correction; the python check compares a year of dates),
// the mid-exposure, and the refusals.
#include "measure/barycentric.h"

#include <gtest/gtest.h>

#include <limits>

namespace lxr4 {
namespace {

// Sirius from La Silla, a 600 s exposure from 03:00 UTC on 10 February 2022.
Observation Sirius() {
  return {"2022-02-10T03:00:00", 600, 101.28715533, -16.71611586, -70.7313, -29.2563, 2400};
}

TEST(Barycentric, SiriusFromLaSillaAsAstropyGivesIt) {
  const auto r = BarycentricVelocity(Sirius());
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_NEAR(r.kms, -13.900048, 0.01);
  EXPECT_NEAR(r.midExposureJd, 2459620.625 + 300 / 86400.0, 1e-9);
}

TEST(Barycentric, ADateAloneIsMidnight) {
  auto obs = Sirius();
  obs.dateObs = "2022-02-10";
  obs.exposureSeconds = 0;
  EXPECT_NEAR(BarycentricVelocity(obs).midExposureJd, 2459620.5, 1e-9);
}

TEST(Barycentric, RefusalsNameTheirCause) {
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* name;
    Observation obs;
    BarycentricError error;
  };
  auto with = [](auto change) {
    Observation o = Sirius();
    change(o);
    return o;
  };
  const Case cases[] = {
      {"old FITS date", with([](Observation& o) { o.dateObs = "10/02/22"; }), BarycentricError::BadDate},
      {"month 13", with([](Observation& o) { o.dateObs = "2022-13-10T03:00:00"; }),
       BarycentricError::BadDate},
      {"no seconds", with([](Observation& o) { o.dateObs = "2022-02-10T03:00"; }), BarycentricError::BadDate},
      {"trailing text", with([](Observation& o) { o.dateObs = "2022-02-10T03:00:00Z"; }),
       BarycentricError::BadDate},
      {"negative exposure", with([](Observation& o) { o.exposureSeconds = -1; }),
       BarycentricError::BadExposure},
      {"RA 360", with([](Observation& o) { o.raDegrees = 360; }), BarycentricError::BadTarget},
      {"Dec 90.5", with([](Observation& o) { o.decDegrees = 90.5; }), BarycentricError::BadTarget},
      {"latitude 91", with([](Observation& o) { o.latitudeDegrees = 91; }), BarycentricError::BadSite},
      {"NaN height", with([](Observation& o) { o.heightMetres = nan; }), BarycentricError::BadSite},
      {"year 1850", with([](Observation& o) { o.dateObs = "1850-02-10T03:00:00"; }),
       BarycentricError::DateOutsideEphemeris},
      {"Dec -90: fine", with([](Observation& o) { o.decDegrees = -90; }), BarycentricError::None},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto r = BarycentricVelocity(c.obs);
    EXPECT_EQ(r.error, c.error) << r.message;
    EXPECT_EQ(r.message.empty(), c.error == BarycentricError::None);
  }
}

}  // namespace
}  // namespace lxr4
