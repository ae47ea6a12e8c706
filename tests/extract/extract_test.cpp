// Boxcar and optimal extraction against the known spectrum of synthetic frames.
#include "extract/extract.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "extract/cosmic_rays.h"
#include "extract/fit_tools.h"
#include "tests/extract/synthetic_frame.h"

namespace lxr4 {
namespace {

using testing::MakeFrame;

const ExtractOptions kOptions{.halfWidth = 8, .sky = {.offset = 12, .width = 15}};  // 4 sigma: all but 6e-5

struct Agreement {
  double error = 0;  // median of |extracted / true - 1|
  double bias = 0;   // median of extracted / true - 1
  double pull = 0;   // robust sigma of (extracted - true) / its sigma: 1 when the variance is right
};

Agreement Compare(const ExtractedSpectrum& s, const testing::SyntheticFrame& f) {
  std::vector<double> error, bias, pull;
  for (std::size_t x = 0; x < f.flux.size(); ++x) {
    bias.push_back(s.flux[x] / f.flux[x] - 1);
    error.push_back(std::abs(bias.back()));
    pull.push_back((s.flux[x] - f.flux[x]) / std::sqrt(s.variance[x]));
  }
  return {MedianInPlace(error), MedianInPlace(bias), RobustSigma(pull)};
}

TEST(Extract, BothMethodsRecoverTheSpectrumUnderSkyLines) {
  const struct {
    const char* name;
    testing::FrameRecipe recipe;
    SkyOptions sky;
  } cases[] = {
      {"flat sky, median", {}, kOptions.sky},
      {"sky gradient, linear fit",
       {.skyGradient = 0.01},
       {.method = SkyMethod::Fit, .offset = 12, .width = 15}},
      {"curved trace, quadratic sky",
       {.slope = 0.01, .curve = 1e-5, .skyGradient = 0.005},
       {.method = SkyMethod::Fit, .offset = 12, .width = 15, .fitOrder = 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto frame = MakeFrame(c.recipe);
    const auto trace = FindTrace(frame.View());
    ASSERT_TRUE(trace.ok()) << trace.message;
    for (const bool optimal : {false, true}) {
      SCOPED_TRACE(optimal ? "optimal" : "boxcar");
      const ExtractOptions options{.halfWidth = 8, .sky = c.sky};
      const auto s = (optimal ? ExtractOptimal : ExtractBoxcar)(frame.View(), trace, options);
      ASSERT_TRUE(s.ok()) << s.message;
      const Agreement a = Compare(s, frame);
      EXPECT_LT(a.error, 0.005);
      EXPECT_LT(std::abs(a.bias), 0.001);
      EXPECT_NEAR(a.pull, 1.0, 0.1);
      // The sky under the aperture's 16 pixels where no line is: 4 sigma of a median of 32.
      EXPECT_NEAR(s.sky[100], 16 * frame.skyLevel[100], 16 * 8.0);
    }
  }
}

TEST(Extract, OptimalIsTighterThanBoxcarOnAFaintSpectrum) {
  const auto frame = MakeFrame({.flux = 3000, .sky = 300});
  const auto trace = FindTrace(frame.View());
  const auto box = ExtractBoxcar(frame.View(), trace, kOptions),
             opt = ExtractOptimal(frame.View(), trace, kOptions);
  ASSERT_TRUE(box.ok() && opt.ok());
  // Over 16 pixels of sky noise, the weights save about a third of the noise.
  EXPECT_LT(Compare(opt, frame).error, 0.8 * Compare(box, frame).error);
  EXPECT_NEAR(Compare(opt, frame).pull, 1.0, 0.1);
  EXPECT_LT(std::abs(Compare(opt, frame).bias), 0.003);
}

TEST(Extract, OptimalLeavesOutCosmicRaysAsTheBoxcarOfTheCleanedFrameDoes) {
  const auto frame = MakeFrame({.cosmicRays = 400});
  const auto trace = FindTrace(frame.View());
  const auto opt = ExtractOptimal(frame.View(), trace, kOptions);
  ASSERT_TRUE(opt.ok());
  EXPECT_LT(Compare(opt, frame).error, 0.005);
  EXPECT_GT(opt.rejectedPixels, 10);
  int hitColumns = 0;  // each still within 5 sigma
  for (int x = 0; x < 1024; ++x) {
    bool hit = false;
    for (int y = 0; y < 200; ++y)
      hit = hit || (frame.ray[frame.Pixel(x, y)] && std::abs(y - frame.Centre(x)) < 8);
    if (!hit) continue;
    ++hitColumns;
    const auto k = static_cast<std::size_t>(x);
    EXPECT_LT(std::abs(opt.flux[k] - frame.flux[k]), 5 * std::sqrt(opt.variance[k])) << "x = " << x;
  }
  EXPECT_GT(hitColumns, 10);

  const auto cleaned = FindCosmicRays(frame.View());
  const auto box = ExtractBoxcar({1024, 200, cleaned.cleaned, {}, 1.5, 5}, trace, kOptions);
  ASSERT_TRUE(box.ok());
  EXPECT_LT(Compare(box, frame).error, 0.005);
}

TEST(Extract, VariancesFromTheFramesOwn) {
  const auto frame = MakeFrame({.noise = false});
  const std::vector<float> variance(frame.values.size(), 4.0f);
  const FrameView view{1024, 200, frame.values, variance, 1.5, 5};
  const auto trace = TraceFromPolynomial({100, 0.02}, 2);
  const auto box = ExtractBoxcar(view, trace, kOptions), opt = ExtractOptimal(view, trace, kOptions);
  ASSERT_TRUE(box.ok() && opt.ok());
  // At x = 500 rows 102..118: 15 whole pixels and two halves of variance 4, and
  // the sky, a median of 2 x 16 pixels (pi/2 x 4 / 32), on the aperture's 16.
  EXPECT_NEAR(box.variance[500], 15.5 * 4 + 16.0 * 16.0 * std::numbers::pi / 2 * 4 / 32, 1e-9);
  EXPECT_NEAR(opt.flux[500] / frame.flux[500], 1.0, 1e-3);
  EXPECT_LT(opt.variance[500], box.variance[500]);
}

TEST(Extract, BoxcarWeighsEdgePixelsByTheirCoveredPart) {
  const std::vector<float> ones(20 * 30, 1.0f), noNoise(20 * 30, 0.0f);
  for (const double centre : {15.0, 15.25, 15.5, 14.9}) {  // the aperture's width whatever its centre
    SCOPED_TRACE(centre);
    const auto s = ExtractBoxcar({20, 30, ones, noNoise, 1, 0}, TraceFromPolynomial({centre}, 1),
                                 {.halfWidth = 2.3, .sky = {.method = SkyMethod::None}});
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
  auto overlap = fine, none = fine, wide = fine;
  overlap.sky.offset = 4;  // inside the aperture
  none.halfWidth = 0;
  wide.sky.offset = 40;  // both bands beyond the frame's 60 rows
  EXPECT_EQ(ExtractOptimal(frame.View(), trace, overlap).error, ExtractError::BadOptions);
  EXPECT_EQ(ExtractBoxcar(frame.View(), trace, none).error, ExtractError::BadOptions);
  EXPECT_EQ(ExtractOptimal(frame.View(), trace, wide).error, ExtractError::SkyOffFrame);
  // Centre 30 + 0.5 x passes row 54.5 after x = 49: off the frame at x = 50, column 51.
  const auto off = ExtractBoxcar(frame.View(), TraceFromPolynomial({30, 0.5}, 2),
                                 {.halfWidth = 5, .sky = {.method = SkyMethod::None}});
  EXPECT_EQ(off.error, ExtractError::ApertureOffFrame);
  EXPECT_NE(off.message.find("at column 51."), std::string::npos) << off.message;
}

}  // namespace
}  // namespace lxr4
