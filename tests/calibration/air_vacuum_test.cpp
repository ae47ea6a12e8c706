// Air and vacuum wavelengths by Morton's (2000) refractive index of air.
#include "calibration/air_vacuum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

namespace lxr4 {
namespace {

TEST(AirVacuum, KnownLinesConvert) {
  // H-alpha and the Ca II K line in air and in vacuum (NIST), to 0.005 A.
  for (const auto& [air, vacuum] : {std::pair{6562.79, 6564.60}, std::pair{3933.66, 3934.77}}) {
    EXPECT_NEAR(AirToVacuum(air), vacuum, 5e-3);
    EXPECT_NEAR(VacuumToAir(vacuum), air, 5e-3);
  }
  // air_to_vac(w, method="Morton2000", scheme="iteration") and vac_to_air(w,
  // method="Morton2000") of specutils (Debian's python3-specutils).
  const std::pair<double, double> toVacuum[] = {
      {6562.8, 6564.612980}, {5000.0, 5001.394849}, {3000.0, 3000.874669}, {10830.34, 10833.306858}};
  for (const auto& [air, vacuum] : toVacuum) EXPECT_NEAR(AirToVacuum(air), vacuum, 1e-6) << air;
  EXPECT_NEAR(VacuumToAir(6564.61), 6562.797021, 1e-6);
  EXPECT_NEAR(VacuumToAir(5001.39), 4999.995153, 1e-6);
}

TEST(AirVacuum, AirToVacuumUndoesVacuumToAir) {
  for (double vacuum = 2000.7; vacuum < 30000; vacuum *= 1.37) {
    EXPECT_NEAR(AirToVacuum(VacuumToAir(vacuum)), vacuum, 1e-6) << vacuum;
    EXPECT_NEAR(VacuumToAir(AirToVacuum(vacuum)), vacuum, 1e-6) << vacuum;
  }
}

TEST(AirVacuum, LeavesWavelengthsBelow2000AngstromUnchanged) {
  EXPECT_NEAR(AirToVacuum(2000.0), 2000.648086, 1e-6);  // the last one converted
  EXPECT_EQ(AirToVacuum(1999.99), 1999.99);
  EXPECT_EQ(VacuumToAir(1215.67), 1215.67);
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(AirToVacuum(inf), inf);
  EXPECT_TRUE(std::isnan(VacuumToAir(std::numeric_limits<double>::quiet_NaN())));
}

}  // namespace
}  // namespace lxr4
