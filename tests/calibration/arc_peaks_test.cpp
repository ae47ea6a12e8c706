// Peaks of arc spectra drawn at known sub-pixel centres: found, centred,
// measured for width, and flagged when saturated or blended.
#include "calibration/arc_peaks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace lxr4 {
namespace {

// Gaussians of sigma `sigma` at `centres` (height `height`) on 400 counts, plus noise of sigma `noise`.
std::vector<double> Lines(int pixels, const std::vector<double>& centres, double height, double sigma,
                          double noise) {
  std::vector<double> s(static_cast<std::size_t>(pixels), 400.0);
  std::mt19937 random(3);
  std::normal_distribution<double> gauss(0, noise > 0 ? noise : 1);
  for (int p = 1; p <= pixels; ++p) {
    double& v = s[static_cast<std::size_t>(p - 1)];
    for (const double c : centres) v += height * std::exp(-0.5 * (p - c) * (p - c) / (sigma * sigma));
    if (noise > 0) v += gauss(random);
  }
  return s;
}

TEST(ArcPeaks, CentresNoisyLinesToAFewHundredthsOfAPixel) {
  const std::vector<double> centres{40.3, 101.75, 180.5, 260.05, 333.9};
  const ArcPeaks found = FindArcPeaks(Lines(400, centres, 5000, 1.4, 20));
  ASSERT_EQ(found.peaks.size(), centres.size());
  EXPECT_NEAR(found.noise, 20, 5);  // counts: the lines add a little
  for (std::size_t i = 0; i < centres.size(); ++i) {
    SCOPED_TRACE(centres[i]);
    EXPECT_NEAR(found.peaks[i].pixel, centres[i], 0.03);          // pixels
    EXPECT_NEAR(found.peaks[i].fwhm, 2.3548 * 1.4, 0.3);          // interpolated between pixels
    const double offPixel = centres[i] - std::round(centres[i]);  // the height is the highest pixel's
    EXPECT_NEAR(found.peaks[i].height, 5000 * std::exp(-0.5 * offPixel * offPixel / (1.4 * 1.4)), 100);
    EXPECT_FALSE(found.peaks[i].saturated);
    EXPECT_FALSE(found.peaks[i].blended);
  }
}

TEST(ArcPeaks, FlagsAFlatTopAsSaturatedAndCentresItsMiddle) {
  std::vector<double> s = Lines(200, {60.0, 120.5}, 50000, 1.5, 0);
  for (double& v : s) v = std::min(v, 30000.0);
  const ArcPeaks found = FindArcPeaks(s);
  ASSERT_EQ(found.peaks.size(), 2u);
  EXPECT_TRUE(found.peaks[0].saturated);
  EXPECT_TRUE(found.peaks[1].saturated);
  EXPECT_NEAR(found.peaks[0].pixel, 60.0, 0.05);
  EXPECT_NEAR(found.peaks[1].pixel, 120.5, 0.05);
}

TEST(ArcPeaks, FlagsALineWellWiderThanTheOthersAsABlend) {
  const std::vector<double> s = Lines(300, {30.2, 80.6, 130.1, 180.4}, 5000, 1.3, 5);
  std::vector<double> blend = Lines(300, {238.5, 241.5}, 3000, 1.3, 0);
  std::vector<double> sum(s);
  for (std::size_t i = 0; i < s.size(); ++i) sum[i] += blend[i] - 400;
  const ArcPeaks found = FindArcPeaks(sum);
  ASSERT_EQ(found.peaks.size(), 5u);
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(found.peaks[static_cast<std::size_t>(i)].blended);
  EXPECT_TRUE(found.peaks[4].blended);
  EXPECT_NEAR(found.peaks[4].pixel, 240.0, 0.1);
}

TEST(ArcPeaks, IgnoresNoiseAndWhatIsNotANumber) {
  std::vector<double> s = Lines(500, {250.25}, 3000, 1.5, 30);
  s[100] = std::numeric_limits<double>::quiet_NaN();
  s[300] = std::numeric_limits<double>::infinity();
  const ArcPeaks found = FindArcPeaks(s);
  ASSERT_EQ(found.peaks.size(), 1u);
  EXPECT_NEAR(found.peaks[0].pixel, 250.25, 0.05);
  EXPECT_TRUE(std::isfinite(found.noise));
}

TEST(ArcPeaks, FindsNothingInAFlatOrTooShortSpectrum) {
  EXPECT_TRUE(FindArcPeaks(std::vector<double>(300, 1000.0)).peaks.empty());
  EXPECT_TRUE(FindArcPeaks(std::vector<double>{1, 5, 1, 1, 1, 1}).peaks.empty());  // 6 pixels: too short
  EXPECT_EQ(FindArcPeaks(std::vector<double>{1, 1, 1, 9, 1, 1, 1}).peaks.size(),
            1u);  // 7: the first that fits
  EXPECT_TRUE(FindArcPeaks({}).peaks.empty());
}

}  // namespace
}  // namespace lxr4
