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

TEST(BandColour, FollowsTheWavelength) {
  struct Case {
    float wavelength;
    int brightness;
    Rgb colour;
  };
  const Case cases[] = {
      {4000.0f, 200, {0, 0, 200}},   {4500.0f, 200, {0, 0, 200}},
      {4937.5f, 200, {0, 199, 199}},  // cyan, t = 0.25
      {4937.5f, 128, {0, 128, 128}},  // 127.5 rounds to even
      {5375.0f, 200, {0, 199, 0}},    // green, t = 0.5
      {5812.5f, 200, {199, 199, 0}},  // yellow, t = 0.75
      {6000.0f, 200, {199, 114, 0}},  // t = 0.857
      {6250.0f, 200, {199, 0, 0}},   {6250.5f, 200, {200, 0, 0}},
      {4700.0f, 255, {0, 116, 254}},  // t = 0.114: k = 116.57
      {5200.0f, 100, {0, 100, 40}},   // t = 0.4: k(0.1) = 39.84
      {0.0f, 0, {0, 0, 0}},          {7000.0f, 0, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.wavelength) + " brightness " + std::to_string(c.brightness));
    ExpectColour(BandColour(c.brightness, c.wavelength), c.colour);
  }
}

TEST(BandColour, WavelengthThatIsNotANumberIsBlack) {
  ExpectColour(BandColour(200, std::numeric_limits<float>::quiet_NaN()), kBlack);
  ExpectColour(BandColour(200, std::numeric_limits<float>::infinity()), kBlack);
}

TEST(CorrectedBrightness, IsAboutTheGreyNear5500) {
  EXPECT_EQ(CorrectedBrightness(200, 5500.0f), 200);
  EXPECT_EQ(CorrectedBrightness(0, 5500.0f), 0);
  EXPECT_EQ(CorrectedBrightness(100, 4500.0f), 133);  // F = 1.333 toward the blue
  EXPECT_EQ(CorrectedBrightness(50, 4000.0f), 136);   // F = 2.714
  EXPECT_EQ(CorrectedBrightness(100, 7000.0f), 172);  // F = 1.719 toward the red
  EXPECT_EQ(CorrectedBrightness(100, 4000.0f), 255);  // clamped
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
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.wavelength));
    EXPECT_EQ(CorrectedBrightness(100, c.wavelength) == 0, c.black);
  }
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
