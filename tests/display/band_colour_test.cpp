// Band colours where the golden cases do not look. (The case
// display-band-calibrated draws the calibrated lamp's band from about 3900 to
// 7900 Angstroms at every brightness the sample gives, every hue and the
// brightness correction on the way.)
#include "display/band_colour.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace lxr4 {
namespace {

void ExpectColour(Rgb actual, Rgb expected) {
  EXPECT_EQ(actual.r, expected.r);
  EXPECT_EQ(actual.g, expected.g);
  EXPECT_EQ(actual.b, expected.b);
}

TEST(BandColour, WavelengthThatIsNotANumberIsBlack) {
  ExpectColour(BandColour(200, std::numeric_limits<float>::quiet_NaN()), kBlack);
  ExpectColour(BandColour(200, std::numeric_limits<float>::infinity()), kBlack);
}

TEST(CorrectedBrightness, BlackWhereVIsNotPositive) {
  struct Case {
    float wavelength;
    bool black;
  };
  const Case cases[] = {
      {3000.0f, true}, {3660.0f, true}, {3670.0f, false}, {8520.0f, false},
      {8530.0f, true}, {9000.0f, true}, {9610.0f, true},  {9620.0f, false},
  };
  for (const Case& c : cases) EXPECT_EQ(CorrectedBrightness(100, c.wavelength) == 0, c.black) << c.wavelength;
  EXPECT_EQ(CorrectedBrightness(100, std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(CorrectedBrightness, StaysInRangeAcrossEachSignChange) {
  for (float lo : {3600.0f, 8450.0f, 9550.0f}) {
    for (int step = 0; step <= 20000; ++step) {
      const float wavelength = lo + static_cast<float>(step) * 0.01f;
      for (int grey : {0, 1, 255}) {
        const int b = CorrectedBrightness(grey, wavelength);
        ASSERT_GE(b, 0) << wavelength;
        ASSERT_LE(b, 255) << wavelength;
      }
    }
  }
}

}  // namespace
}  // namespace lxr4
