// Air and vacuum wavelengths by Morton's (2000) formula.
#include "measure/air_vacuum.h"

#include <gtest/gtest.h>

namespace lxr4 {
namespace {

TEST(AirVacuum, KnownLinesConvert) {
  // Air and vacuum wavelengths of H-alpha and the Ca II K line (NIST), to 0.005 A.
  struct Case {
    double air, vacuum;
  };
  for (const Case& c : {Case{6562.79, 6564.60}, Case{3933.66, 3934.77}}) {
    SCOPED_TRACE(c.air);
    EXPECT_NEAR(AirToVacuum(c.air).angstrom, c.vacuum, 5e-3);
    EXPECT_NEAR(VacuumToAir(c.vacuum).angstrom, c.air, 5e-3);
  }
}

TEST(AirVacuum, AgreesWithSpecutilsMorton2000) {
  // air_to_vac(6562.8 A, method="Morton2000", scheme="iteration") of specutils 1.9.
  EXPECT_NEAR(AirToVacuum(6562.8).angstrom, 6564.61298000, 1e-7);
}

TEST(AirVacuum, AirToVacuumUndoesVacuumToAir) {
  for (double vacuum = 2000.7; vacuum < 30000; vacuum *= 1.37) {
    SCOPED_TRACE(vacuum);
    const auto air = VacuumToAir(vacuum);
    ASSERT_TRUE(air.ok());
    EXPECT_NEAR(AirToVacuum(air.angstrom).angstrom, vacuum, 1e-9);
  }
}

TEST(AirVacuum, RefusesWavelengthsBelow2000Angstrom) {
  EXPECT_TRUE(AirToVacuum(2000.0).ok());
  EXPECT_EQ(AirToVacuum(1999.99).error, AirVacuumError::OutOfRange);
  EXPECT_TRUE(VacuumToAir(2000.0).ok());
  EXPECT_EQ(VacuumToAir(1215.67).error, AirVacuumError::OutOfRange);
  EXPECT_EQ(VacuumToAir(std::numeric_limits<double>::infinity()).error, AirVacuumError::OutOfRange);
}

}  // namespace
}  // namespace lxr4
