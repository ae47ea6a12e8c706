// The Observation's texts as numbers: sexagesimal and decimal known answers,
// the date forms, each refusal, and one complete set carried through the
// barycentric correction.
#include "measure/observation_text.h"

#include <gtest/gtest.h>

#include <string>

namespace lxr4 {
namespace {

// Sirius from La Silla (as barycentric_test.cpp), typed as an observer would:
// RA in hours, Dec in degrees, the longitude west of Greenwich as 360 - 70.7313.
ObservationFields Sirius() {
  return {.date = "2022-02-10 03:00:00",
          .exposure = "600",
          .ra = "06:45:08.9173",
          .dec = "-16 42 58.0171",
          .latitude = "-29.2563",
          .longitude = "289.2687",
          .height = "2400"};
}

TEST(ObservationText, AnglesAsSexagesimalOrDecimal) {
  struct Case {
    const char* text;
    double value;
    bool sexagesimal;
  };
  const Case cases[] = {
      {"05:35:17.3", 5.588138889, true},  // 83.82208 degrees as hours
      {"05 35 17.3", 5.588138889, true},
      {"-05:23:28", -5.391111111, true},
      {"-00:30:00", -0.5, true},  // the sign of a zero degrees field holds for the whole
      {"12:30.5", 12.508333333, true},
      {"  83.822 ", 83.822, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto angle = ParseAngleText(c.text);
    ASSERT_TRUE(angle);
    EXPECT_NEAR(angle->value, c.value, 1e-9);  // hours or degrees
    EXPECT_EQ(angle->sexagesimal, c.sexagesimal);
  }
  for (const char* bad : {"", "05:35:17:01", "05:60:00", "05:35.5:10", "5h35m", "05::17", "1,5", "nan"}) {
    EXPECT_FALSE(ParseAngleText(bad)) << bad;
  }
}

TEST(ObservationText, ACompleteSetReachesTheBarycentricCorrection) {
  const auto values = ReadObservation(Sirius());
  ASSERT_TRUE(values.ok()) << values.message;
  EXPECT_EQ(values.date, "2022-02-10T03:00:00");
  EXPECT_NEAR(values.raDegrees, 101.28715533, 1e-6);  // degrees; 0.0001 s of time is 4e-7
  EXPECT_NEAR(values.decDegrees, -16.71611586, 1e-7);
  EXPECT_NEAR(values.longitudeDegrees, -70.7313, 1e-9);  // taken back to -180..180
  const auto r = BarycentricVelocity(values.ToObservation());
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_NEAR(r.kms, -13.900048, 0.01);  // astropy's answer, as barycentric_test.cpp
  const auto direct =
      BarycentricVelocity({"2022-02-10T03:00:00", 600, 101.28715533, -16.71611586, -70.7313, -29.2563, 2400});
  EXPECT_NEAR(r.kms, direct.kms, 1e-6);  // km/s
}

TEST(ObservationText, DateForms) {
  struct Case {
    const char* typed;
    const char* taken;
  };
  const Case cases[] = {
      {"2024-02-29", "2024-02-29"},
      {" 2026-03-15 22:30:00.25 ", "2026-03-15T22:30:00.25"},
  };
  for (const Case& c : cases) {
    ObservationFields f = Sirius();
    f.date = c.typed;
    const auto r = ReadObservation(f);
    ASSERT_TRUE(r.ok()) << c.typed << ": " << r.message;
    EXPECT_EQ(r.date, c.taken);
  }
  for (const char* bad : {"2026-03-15T22:30", "2026-03-15T22:30:00Z", "2025-02-29", "2026-13-01",
                          "2026-03-15T24:00:00", "2026-03-15T22:30:60", "15/03/26"}) {
    ObservationFields f = Sirius();
    f.date = bad;
    EXPECT_EQ(ReadObservation(f).error, ObservationError::BadDate) << bad;
  }
}

TEST(ObservationText, RangesAndTheirEnds) {
  struct Case {
    const char* name;
    std::string ObservationFields::*field;
    const char* text;
    ObservationError error;
  };
  using F = ObservationFields;
  const Case cases[] = {
      {"exposure empty: 0", &F::exposure, " ", ObservationError::None},
      {"exposure 1000001", &F::exposure, "1000001", ObservationError::BadExposure},
      {"RA 23:59:59.9 hours", &F::ra, "23:59:59.9", ObservationError::None},
      {"RA 24:00:00 hours", &F::ra, "24:00:00", ObservationError::BadRa},
      {"RA 360 degrees", &F::ra, "360", ObservationError::BadRa},
      {"Dec 90:00:01", &F::dec, "90:00:01", ObservationError::BadDec},
      {"latitude -90.001", &F::latitude, "-90.001", ObservationError::BadLatitude},
      {"longitude 360", &F::longitude, "360", ObservationError::None},
      {"longitude -180.5", &F::longitude, "-180.5", ObservationError::BadLongitude},
      {"height sexagesimal", &F::height, "1:30", ObservationError::BadHeight},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ObservationFields f = Sirius();
    f.*c.field = c.text;
    const auto r = ReadObservation(f);
    EXPECT_EQ(r.error, c.error) << r.message;
  }
  ObservationFields f = Sirius();
  f.longitude = "360";
  EXPECT_EQ(ReadObservation(f).longitudeDegrees, 0);
}

TEST(ObservationText, RefusalsNameTheField) {
  struct Case {
    std::string ObservationFields::*field;
    const char* text;
    ObservationError error;
    const char* message;
  };
  using F = ObservationFields;
  using E = ObservationError;
  const Case cases[] = {
      {&F::date, "", E::EmptyField,
       "The observation has no date: type the UTC start such as 2026-03-15T22:30:00."},
      {&F::exposure, "-3", E::BadExposure,
       "The exposure \"-3\" is not a number of seconds from 0 to 1000000."},
      {&F::ra, "25:00:00", E::BadRa,
       "The right ascension \"25:00:00\" is not hours from 0 to 24 such as 05:35:17.3 or degrees from 0 "
       "to 360 such as 83.822."},
      {&F::dec, "91", E::BadDec,
       "The declination \"91\" is not degrees from -90 to 90 such as -05:23:28 or -5.391."},
      {&F::latitude, "N52", E::BadLatitude,
       "The latitude \"N52\" is not degrees north from -90 to 90 such as 52:12:30 or 52.208."},
      {&F::longitude, "400", E::BadLongitude,
       "The longitude \"400\" is not degrees east from -180 to 360 such as -04:28:51 or 0.119."},
      {&F::height, "", E::EmptyField, "The observation has no height: type metres such as 120."},
      {&F::height, "12 m", E::BadHeight, "The height \"12 m\" is not metres from -500 to 10000 such as 120."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    ObservationFields f = Sirius();
    f.*c.field = c.text;
    const auto r = ReadObservation(f);
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(r.message, c.message);
  }
}

}  // namespace
}  // namespace lxr4
