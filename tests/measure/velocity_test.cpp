// Relativistic Doppler velocities and shifts.
#include "measure/velocity.h"

#include <gtest/gtest.h>

#include <limits>

namespace lxr4 {
namespace {

TEST(Velocity, KnownRatiosGiveKnownVelocities) {
  // r = 2: (4 - 1) / (4 + 1) = 3/5 of c; r = 1/2: -3/5 of c; 0.2 A at H-alpha: 9.136 km/s.
  for (auto [observed, rest, kms] :
       {std::tuple{6562.8, 6562.8, 0.0}, std::tuple{2.0, 1.0, 0.6 * kSpeedOfLightKms},
        std::tuple{1.0, 2.0, -0.6 * kSpeedOfLightKms}, std::tuple{6563.0, 6562.8, 9.1359752}}) {
    SCOPED_TRACE(observed);
    EXPECT_NEAR(DopplerVelocity(observed, rest).kms, kms, 1e-5);
  }
}

TEST(Velocity, ShiftThenMeasureGivesTheVelocityBack) {
  const std::vector<double> rest{3933.663, 6562.8};
  for (double kms : {-250000.0, -30.0, 0.0, 0.25, 12345.0}) {
    SCOPED_TRACE(kms);
    const auto shifted = ShiftByVelocity(rest, kms);
    ASSERT_TRUE(shifted.ok());
    for (std::size_t i = 0; i < rest.size(); ++i) {
      EXPECT_NEAR(DopplerVelocity(shifted.wavelengths[i], rest[i]).kms, kms, 1e-6 * (1 + std::abs(kms)));
    }
  }
}

TEST(Velocity, RefusesWhatHasNoVelocity) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (auto [observed, rest] :
       {std::pair{0.0, 6562.8}, std::pair{6562.8, -1.0}, std::pair{nan, 6562.8}, std::pair{1e308, 1e-308}}) {
    EXPECT_EQ(DopplerVelocity(observed, rest).error, VelocityError::BadWavelength) << observed;
  }
  const std::vector<double> w{5000};
  for (double kms : {kSpeedOfLightKms, -kSpeedOfLightKms, nan}) {
    EXPECT_EQ(ShiftByVelocity(w, kms).error, VelocityError::FasterThanLight) << kms;
  }
  EXPECT_TRUE(ShiftByVelocity(w, 0.999 * kSpeedOfLightKms).ok());
}

}  // namespace
}  // namespace lxr4
