// The trace found on synthetic frames of a known centre and width.
#include "extract/trace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/extract/synthetic_frame.h"

namespace lxr4 {
namespace {

using testing::MakeFrame;

double WorstCentreError(const TraceValue& trace, const testing::SyntheticFrame& frame) {
  double worst = 0;
  for (int x = 0; x < frame.r.width; ++x)
    worst = std::max(worst, std::abs(trace.Centre(x) - frame.Centre(x)));
  return worst;
}

TEST(FindTrace, FollowsTheTraceWithinFiveHundredthsOfAPixel) {
  const struct {
    const char* name;
    testing::FrameRecipe recipe;
    int order;
  } cases[] = {
      {"tilted, order 2", {}, 2},
      {"tilted, order 1", {}, 1},
      {"curved, order 3", {.centre0 = 90, .slope = 0.03, .curve = 1.5e-5}, 3},
      {"faint on a bright sky, rays", {.flux = 4000, .sky = 500, .cosmicRays = 300}, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto frame = MakeFrame(c.recipe);
    const auto trace = FindTrace(frame.View(), {.order = c.order});
    ASSERT_TRUE(trace.ok()) << trace.message;
    EXPECT_LT(WorstCentreError(trace, frame), 0.05);           // pixels, over every column
    EXPECT_NEAR(trace.sigma, std::sqrt(4.0 + 1.0 / 12), 0.1);  // the profile's 2 px and the pixel's width
    EXPECT_EQ(trace.blocksWithoutPeak, 0);
    // The absorption line at x = 410 (depth 0.6) pulls its block's median profile 0.09 px off.
    EXPECT_LE(trace.blocksDropped, 1);
    EXPECT_LT(trace.rms, 0.03);
  }
}

TEST(FindTrace, ClipsTheBlocksOfAnotherStar) {
  auto frame = MakeFrame({});
  for (int x = 320; x < 384; ++x) {  // brighter, at row 45, over two blocks only
    for (int y = 35; y < 56; ++y)
      frame.values[frame.Pixel(x, y)] += static_cast<float>(testing::GaussianLine(y, 45, 30000, 2));
  }
  const auto trace = FindTrace(frame.View());
  ASSERT_TRUE(trace.ok()) << trace.message;
  EXPECT_EQ(trace.blocksDropped, 3);  // and the absorption line's
  EXPECT_LT(WorstCentreError(trace, frame), 0.05);
}

TEST(FindTrace, Refusals) {
  const auto none = FindTrace(MakeFrame({.flux = 0}).View());
  EXPECT_EQ(none.error, TraceError::NoTrace);
  EXPECT_NE(none.message.find("0 of 32 blocks"), std::string::npos) << none.message;

  const auto frame = MakeFrame({.width = 64, .height = 40, .centre0 = 20, .slope = 0});
  EXPECT_EQ(FindTrace(frame.View(), {.order = 4}).error, TraceError::BadOptions);
  EXPECT_TRUE(FindTrace(frame.View(), {.order = 3, .blockColumns = 8}).ok());
  EXPECT_EQ(FindTrace(frame.View(), {.blockColumns = 0}).error, TraceError::BadOptions);
  FrameView bad = frame.View();
  bad.height = 41;  // the sizes disagree
  EXPECT_EQ(FindTrace(bad).error, TraceError::BadFrame);
  std::vector<float> nan = frame.values;
  nan[5] = std::nanf("");
  EXPECT_EQ(FindTrace({64, 40, nan, {}, 1.5, 5}).error, TraceError::BadFrame);
}

}  // namespace
}  // namespace lxr4
