// Boxcar and optimal extraction against the known spectrum of synthetic frames.
#include "extract/extract.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "extract/cosmic_rays.h"
#include "extract/fit_tools.h"
#include "tests/extract/synthetic_frame.h"

namespace lxr4 {
namespace {

using testing::FrameRecipe;
using testing::MakeFrame;
using testing::SyntheticFrame;

struct Agreement {
  double medianError = 0;  // median of |extracted / true - 1|
  double bias = 0;         // median of extracted / true - 1
  double pullSpread = 0;   // robust sigma of (extracted - true) / its sigma: 1 when the variance is right
};

Agreement Compare(const ExtractedSpectrum& s, const SyntheticFrame& f) {
  std::vector<double> error, signedError, pull;
  for (std::size_t x = 0; x < f.flux.size(); ++x) {
    error.push_back(std::abs(s.flux[x] / f.flux[x] - 1));
    signedError.push_back(s.flux[x] / f.flux[x] - 1);
    pull.push_back((s.flux[x] - f.flux[x]) / std::sqrt(s.variance[x]));
  }
  return {MedianInPlace(error), MedianInPlace(signedError), RobustSigma(pull)};
}

TEST(Extract, BothMethodsRecoverTheSpectrumUnderSkyLines) {
  struct Case {
    const char* name;
    FrameRecipe recipe;
    SkyOptions sky;
  };
  const Case cases[] = {
      {"flat sky, median", {}, {.method = SkyMethod::Median, .offset = 12, .width = 15}},
      {"sky gradient, linear fit", {.skyGradient = 0.01}, {.method = SkyMethod::Fit, .offset = 12, .width = 15}},
      {"curved trace, quadratic sky", {.slope = 0.01, .curve = 1e-5, .skyGradient = 0.005},
       {.method = SkyMethod::Fit, .offset = 12, .width = 15, .fitOrder = 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto frame = MakeFrame(c.recipe);
    const auto trace = FindTrace(frame.View());
    ASSERT_TRUE(trace.ok()) << trace.message;
    const ExtractOptions options{.halfWidth = 8, .sky = c.sky};  // 4 sigma: all but 6e-5 of the flux
    for (const bool optimal : {false, true}) {
      SCOPED_TRACE(optimal ? "optimal" : "boxcar");
      const auto s = optimal ? ExtractOptimal(frame.View(), trace, options) : ExtractBoxcar(frame.View(), trace, options);
      ASSERT_TRUE(s.ok()) << s.message;
      const Agreement a = Compare(s, frame);
      EXPECT_LT(a.medianError, 0.005);
      EXPECT_LT(std::abs(a.bias), 0.001);
      EXPECT_NEAR(a.pullSpread, 1.0, 0.1);
      // The sky under the aperture: 16 pixels of the true level where no line is.
      EXPECT_NEAR(s.sky[100], 16 * frame.skyLevel[100], 16 * 8.0);  // 4 sigma of a median of 30
    }
  }
}

TEST(Extract, OptimalIsTighterThanBoxcarOnAFaintSpectrum) {
  const auto frame = MakeFrame({.flux = 3000, .sky = 300});
  const auto trace = FindTrace(frame.View());
  ASSERT_TRUE(trace.ok()) << trace.message;
  const ExtractOptions options{.halfWidth = 8, .sky = {.offset = 12, .width = 15}};
  const auto box = ExtractBoxcar(frame.View(), trace, options);
  const auto opt = ExtractOptimal(frame.View(), trace, options);
  ASSERT_TRUE(box.ok() && opt.ok());
  // Over 16 pixels of sky noise, the weights save about a third of the noise.
  EXPECT_LT(Compare(opt, frame).medianError, 0.8 * Compare(box, frame).medianError);
  EXPECT_NEAR(Compare(opt, frame).pullSpread, 1.0, 0.1);
  EXPECT_LT(std::abs(Compare(opt, frame).bias), 0.003);
}

TEST(Extract, OptimalLeavesOutCosmicRaysThatSpoilTheBoxcar) {
  const auto frame = MakeFrame({.cosmicRays = 400});
  const auto trace = FindTrace(frame.View());
  ASSERT_TRUE(trace.ok());
  const ExtractOptions options{.halfWidth = 8, .sky = {.offset = 12, .width = 15}};
  const auto opt = ExtractOptimal(frame.View(), trace, options);
  ASSERT_TRUE(opt.ok());
  EXPECT_LT(Compare(opt, frame).medianError, 0.005);
  EXPECT_GT(opt.rejectedPixels, 10);
  // Every column the rays hit inside the aperture is still within 5 sigma.
  int hitColumns = 0;
  for (int x = 0; x < 1024; ++x) {
    bool hit = false;
    for (int y = 0; y < 200; ++y) {
      hit = hit || (frame.ray[static_cast<std::size_t>(y * 1024 + x)] && std::abs(y - frame.Centre(x)) < 8);
    }
    if (!hit) continue;
    ++hitColumns;
    const auto k = static_cast<std::size_t>(x);
    EXPECT_LT(std::abs(opt.flux[k] - frame.flux[k]), 5 * std::sqrt(opt.variance[k])) << "x = " << x;
  }
  EXPECT_GT(hitColumns, 10);

  // The boxcar on the frame the detector cleaned does as well.
  const auto cleaned = FindCosmicRays(frame.View());
  ASSERT_TRUE(cleaned.ok());
  const FrameView view{1024, 200, cleaned.cleaned, {}, frame.recipe.gain, frame.recipe.readNoise};
  const auto box = ExtractBoxcar(view, trace, options);
  ASSERT_TRUE(box.ok());
  EXPECT_LT(Compare(box, frame).medianError, 0.005);
}

TEST(Extract, GivenVarianceIsUsed) {
  const auto frame = MakeFrame({.noise = false});
  std::vector<float> variance(frame.values.size(), 4.0f);
  const FrameView view{1024, 200, frame.values, variance, 1.5, 5};
  const auto trace = TraceFromPolynomial({100, 0.02}, 2);
  const ExtractOptions options{.halfWidth = 8, .sky = {.offset = 12, .width = 15}};
  const auto box = ExtractBoxcar(view, trace, options);
  ASSERT_TRUE(box.ok());
  // Centre 110, rows 102..118: 15 whole pixels and two halves of variance 4
  // (15.5 x 4), and the sky: a median of 2 x 16 pixels (pi/2 x 4/32) on the
  // aperture's 16 pixels.
  EXPECT_NEAR(box.variance[500], 15.5 * 4 + 16.0 * 16.0 * std::numbers::pi / 2 * 4 / 32, 1e-9);
  const auto opt = ExtractOptimal(view, trace, options);
  ASSERT_TRUE(opt.ok());
  EXPECT_NEAR(opt.flux[500] / frame.flux[500], 1.0, 1e-3);
  EXPECT_LT(opt.variance[500], box.variance[500]);
}

TEST(Extract, BoxcarWeighsEdgePixelsByTheirCoveredPart) {
  // A frame of ones: the sum is the aperture's width whatever its centre.
  std::vector<float> ones(20 * 30, 1.0f), noNoise(20 * 30, 0.0f);
  const FrameView view{20, 30, ones, noNoise, 1, 0};
  for (const double centre : {15.0, 15.25, 15.5, 14.9}) {
    SCOPED_TRACE(centre);
    const auto s = ExtractBoxcar(view, TraceFromPolynomial({centre}, 1), {.halfWidth = 2.3, .sky = {.method = SkyMethod::None}});
    ASSERT_TRUE(s.ok());
    EXPECT_NEAR(s.flux[7], 4.6, 1e-12);
    EXPECT_EQ(s.variance[7], 0);
  }
}

TEST(Extract, Refusals) {
  const auto frame = MakeFrame({.width = 64, .height = 60, .centre0 = 30, .slope = 0, .noise = false});
  const auto trace = TraceFromPolynomial({30}, 2);
  const ExtractOptions fine{.halfWidth = 5, .sky = {.offset = 8, .width = 6}};
  ASSERT_TRUE(ExtractBoxcar(frame.View(), trace, fine).ok());

  FrameView bad = frame.View();
  bad.gain = 0;
  EXPECT_EQ(ExtractBoxcar(bad, trace, fine).error, ExtractError::BadFrame);
  auto overlap = fine;
  overlap.sky.offset = 4;  // inside the aperture
  EXPECT_EQ(ExtractOptimal(frame.View(), trace, overlap).error, ExtractError::BadOptions);
  auto none = fine;
  none.halfWidth = 0;
  EXPECT_EQ(ExtractBoxcar(frame.View(), trace, none).error, ExtractError::BadOptions);
  // Centre 30 + 0.5 x passes row 54.5 after x = 49: the aperture leaves the frame at x = 50.
  const auto off = ExtractBoxcar(frame.View(), TraceFromPolynomial({30, 0.5}, 2), {.halfWidth = 5, .sky = {.method = SkyMethod::None}});
  EXPECT_EQ(off.error, ExtractError::ApertureOffFrame);
  EXPECT_NE(off.message.find("x = 50"), std::string::npos) << off.message;
  auto wide = fine;
  wide.sky.offset = 40;  // both bands beyond the frame's 60 rows
  EXPECT_EQ(ExtractOptimal(frame.View(), trace, wide).error, ExtractError::SkyOffFrame);
}

}  // namespace
}  // namespace lxr4
