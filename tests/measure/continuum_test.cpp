// Continuum normalisation: a known polynomial continuum under absorption
// lines, found by clipping or through given ranges, and the refusals.
#include "measure/continuum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace lxr4 {
namespace {

struct Spectrum {
  std::vector<double> x, f, truth;
};

// 4000..6000 A at 2 A a sample: a quadratic continuum, three absorption
// lines (FWHM 8 A, 30-60 % deep) and noise of 0.5 % of the continuum.
Spectrum LinedSpectrum() {
  Spectrum s;
  std::mt19937_64 random(3);
  std::normal_distribution<double> normal(0, 1);
  for (double x = 4000; x <= 6000; x += 2) {
    const double t = (x - 5000) / 1000;
    const double c = 1000 * (1 + 0.3 * t - 0.2 * t * t);
    double line = 0;
    for (auto [centre, depth] : {std::pair{4340.5, 0.6}, std::pair{4861.3, 0.5}, std::pair{5500.0, 0.3}}) {
      line += depth * std::exp(-0.5 * std::pow((x - centre) / 3.4, 2));
    }
    s.x.push_back(x);
    s.truth.push_back(c);
    s.f.push_back(c * (1 - line) + 0.005 * c * normal(random));
  }
  return s;
}

TEST(Continuum, ClippingFindsTheContinuumUnderTheLines) {
  const auto s = LinedSpectrum();
  const auto r = NormaliseContinuum(s.x, s.f, {});
  ASSERT_TRUE(r.ok()) << r.message;
  for (std::size_t i = 0; i < s.x.size(); ++i) {
    EXPECT_NEAR(r.continuum[i] / s.truth[i], 1, 0.002) << s.x[i];  // 1000 points of 0.5 % noise
  }
  // The lines' cores are masked; far from them the normalised flux is 1.
  for (double centre : {4340.5, 4861.3, 5500.0}) {
    const auto i = static_cast<std::size_t>((centre - 4000) / 2);
    EXPECT_FALSE(r.used[i]) << centre;
  }
  EXPECT_NEAR(r.normalised[static_cast<std::size_t>((5200 - 4000) / 2)], 1, 0.02);
}

TEST(Continuum, GivenRangesAreTheContinuumPoints) {
  const auto s = LinedSpectrum();
  ContinuumOptions options;
  options.ranges = {{4000, 4300}, {4400, 4800}, {4900, 5450}, {5550, 6000}};
  const auto r = NormaliseContinuum(s.x, s.f, options);
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_FALSE(r.used[static_cast<std::size_t>((4340 - 4000) / 2)]);
  EXPECT_TRUE(r.used[0]);
  for (std::size_t i = 0; i < s.x.size(); ++i) EXPECT_NEAR(r.continuum[i] / s.truth[i], 1, 0.002) << s.x[i];
}

TEST(Continuum, RefusalsNameTheirCause) {
  const std::vector<double> x{1, 2, 3, 4, 5}, f{1, 1, 1, 1, 1}, falling{1, 0.5, 0, -0.5, -1};
  const std::vector<double> nan{1, 1, std::numeric_limits<double>::quiet_NaN(), 1, 1};
  const auto order = [](int n, std::vector<WavelengthRange> ranges = {}) {
    ContinuumOptions o;
    o.order = n;
    o.ranges = std::move(ranges);
    return o;
  };
  struct Case {
    const char* name;
    std::span<const double> x, f;
    ContinuumOptions options;
    ContinuumError error;
  };
  const Case cases[] = {
      {"unequal lengths", x, std::span<const double>(f).first(4), {}, ContinuumError::SizeMismatch},
      {"a NaN", x, nan, {}, ContinuumError::NotFinite},
      {"order 6", x, f, order(6), ContinuumError::BadOrder},
      {"5 points for order 5", x, f, order(5), ContinuumError::TooFewPoints},
      {"2 points for order 1", x, f, order(1, {{1, 2}}), ContinuumError::TooFewPoints},
      {"a continuum through zero", x, falling, order(1), ContinuumError::NotPositive},
      {"a flat continuum: fine", x, f, order(1), ContinuumError::None},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto r = NormaliseContinuum(c.x, c.f, c.options);
    EXPECT_EQ(r.error, c.error) << r.message;
    EXPECT_EQ(r.message.empty(), c.error == ContinuumError::None);
  }
}

}  // namespace
}  // namespace lxr4
