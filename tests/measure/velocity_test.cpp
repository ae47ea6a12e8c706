// Relativistic Doppler velocities and shifts.
#include "measure/velocity.h"

#include <gtest/gtest.h>

#include <limits>

namespace lxr4 {
namespace {

TEST(Velocity, KnownRatiosGiveKnownVelocities) {
  struct Case {
    double observed, rest, kms;
  };
  // r = 2: (4 - 1) / (4 + 1) = 3/5 of c; r = 1/2: -3/5 of c.
  for (const Case& c :
       {Case{6562.8, 6562.8, 0.0}, Case{2, 1, 0.6 * kSpeedOfLightKms}, Case{1, 2, -0.6 * kSpeedOfLightKms}}) {
    SCOPED_TRACE(c.observed);
    const auto v = DopplerVelocity(c.observed, c.rest);
    ASSERT_TRUE(v.ok());
    EXPECT_NEAR(v.kms, c.kms, 1e-9);
  }
}

TEST(Velocity, SmallShiftsFollowTheClassicalFormula) {
  const auto v = DopplerVelocity(6563.0, 6562.8);  // 0.2 A: about 9.14 km/s
  ASSERT_TRUE(v.ok());
  EXPECT_NEAR(v.kms, kSpeedOfLightKms * 0.2 / 6562.8, 1e-3);
}

TEST(Velocity, ShiftThenMeasureGivesTheVelocityBack) {
  const std::vector<double> rest{3933.663, 5889.951, 6562.8};
  for (double kms : {-250000.0, -30.0, 0.0, 0.25, 12345.0}) {
    SCOPED_TRACE(kms);
    const auto shifted = ShiftByVelocity(rest, kms);
    ASSERT_TRUE(shifted.ok());
    ASSERT_EQ(shifted.wavelengths.size(), rest.size());
    for (std::size_t i = 0; i < rest.size(); ++i) {
      EXPECT_NEAR(DopplerVelocity(shifted.wavelengths[i], rest[i]).kms, kms, 1e-6 * (1 + std::abs(kms)));
    }
  }
}

TEST(Velocity, RefusesWhatHasNoVelocity) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (auto [observed, rest] :
       {std::pair{0.0, 6562.8}, std::pair{6562.8, -1.0}, std::pair{nan, 6562.8}, std::pair{1e308, 1e-308}}) {
    SCOPED_TRACE(observed);
    EXPECT_EQ(DopplerVelocity(observed, rest).error, VelocityError::BadWavelength);
  }
  const std::vector<double> w{5000};
  EXPECT_EQ(ShiftByVelocity(w, kSpeedOfLightKms).error, VelocityError::FasterThanLight);
  EXPECT_EQ(ShiftByVelocity(w, -kSpeedOfLightKms).error, VelocityError::FasterThanLight);
  EXPECT_EQ(ShiftByVelocity(w, nan).error, VelocityError::FasterThanLight);
  EXPECT_TRUE(ShiftByVelocity(w, 0.999 * kSpeedOfLightKms).ok());
}

}  // namespace
}  // namespace lxr4
