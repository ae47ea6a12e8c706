// Air and vacuum wavelengths by Morton's (2000) refractive index of air.
#include "calibration/air_vacuum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace lxr4 {
namespace {

TEST(AirVacuum, KnownLinesConvert) {
  // Air and vacuum wavelengths of H-alpha and the Ca II K line (NIST), to 0.005 A.
  struct Case {
    double air, vacuum;
  };
  for (const Case& c : {Case{6562.79, 6564.60}, Case{3933.66, 3934.77}}) {
    SCOPED_TRACE(c.air);
    EXPECT_NEAR(AirToVacuum(c.air), c.vacuum, 5e-3);
    EXPECT_NEAR(VacuumToAir(c.vacuum), c.air, 5e-3);
  }
}

TEST(AirVacuum, AgreesWithSpecutilsMorton2000) {
  // air_to_vac(w, method="Morton2000", scheme="iteration") and vac_to_air(w,
  // method="Morton2000") of specutils (Debian's python3-specutils).
  struct Case {
    double from, to;
    bool toVacuum;
  };
  for (const Case& c : {Case{6562.8, 6564.612980, true}, Case{5000.0, 5001.394849, true},
                        Case{3000.0, 3000.874669, true}, Case{10830.34, 10833.306858, true},
                        Case{6564.61, 6562.797021, false}, Case{5001.39, 4999.995153, false}}) {
    SCOPED_TRACE(c.from);
    EXPECT_NEAR(c.toVacuum ? AirToVacuum(c.from) : VacuumToAir(c.from), c.to, 1e-6);
  }
}

TEST(AirVacuum, AirToVacuumUndoesVacuumToAir) {
  for (double vacuum = 2000.7; vacuum < 30000; vacuum *= 1.37) {
    SCOPED_TRACE(vacuum);
    EXPECT_NEAR(AirToVacuum(VacuumToAir(vacuum)), vacuum, 1e-6);
    EXPECT_NEAR(VacuumToAir(AirToVacuum(vacuum)), vacuum, 1e-6);
  }
}

TEST(AirVacuum, LeavesWavelengthsBelow2000AngstromUnchanged) {
  EXPECT_NEAR(AirToVacuum(2000.0), 2000.648086, 1e-6);  // the last one converted
  EXPECT_EQ(AirToVacuum(1999.99), 1999.99);
  EXPECT_EQ(VacuumToAir(1215.67), 1215.67);
  EXPECT_EQ(VacuumToAir(0.0), 0.0);
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(AirToVacuum(inf), inf);
  EXPECT_TRUE(std::isnan(VacuumToAir(std::numeric_limits<double>::quiet_NaN())));
}

}  // namespace
}  // namespace lxr4
