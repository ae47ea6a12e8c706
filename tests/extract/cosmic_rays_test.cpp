// The Laplacian cosmic-ray detector on synthetic frames with known hits.
#include "extract/cosmic_rays.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "tests/extract/synthetic_frame.h"

namespace lxr4 {
namespace {

using testing::FrameRecipe;
using testing::MakeFrame;

struct Tally {
  int hits = 0, found = 0;  // pixels a ray raised by over 5 sigma of the noise, and of them flagged
  int falseOnStar = 0;      // flagged within 3 sigma of the trace and over 2 pixels from any ray
  int falseElsewhere = 0;   // the same off the star (on the sky lines)
};

// The detector grows a ray by up to two pixels: flags there are its own.
bool NearRay(const testing::SyntheticFrame& f, int x, int y) {
  const auto& r = f.recipe;
  for (int yy = std::max(0, y - 2); yy <= std::min(r.height - 1, y + 2); ++yy) {
    for (int xx = std::max(0, x - 2); xx <= std::min(r.width - 1, x + 2); ++xx) {
      if (f.ray[static_cast<std::size_t>(yy) * static_cast<std::size_t>(r.width) + static_cast<std::size_t>(xx)]) return true;
    }
  }
  return false;
}

Tally Count(const testing::SyntheticFrame& f, const CleanedFrame& c) {
  Tally t;
  const auto& r = f.recipe;
  for (int y = 0; y < r.height; ++y) {
    for (int x = 0; x < r.width; ++x) {
      const auto i = static_cast<std::size_t>(y) * static_cast<std::size_t>(r.width) + static_cast<std::size_t>(x);
      const double noise = std::sqrt(std::max(f.values[i] - f.deposit[i], 0.0f) / r.gain + std::pow(r.readNoise / r.gain, 2));
      if (f.ray[i] && f.deposit[i] > 5 * noise) {
        ++t.hits;
        t.found += c.mask[i];
      } else if (c.mask[i] && !NearRay(f, x, y)) {
        (std::abs(y - f.Centre(x)) < 3 * r.sigma ? t.falseOnStar : t.falseElsewhere) += 1;
      }
    }
  }
  return t;
}

TEST(FindCosmicRays, FindsTheRaysAndSparesTheStarAndSkyLines) {
  struct Case {
    const char* name;
    FrameRecipe recipe;
  };
  const Case cases[] = {
      {"bright star", {.width = 512, .cosmicRays = 300}},
      {"faint star, bright sky", {.width = 512, .flux = 3000, .sky = 800, .cosmicRays = 300, .seed = 7}},
      {"another night", {.width = 512, .slope = -0.03, .cosmicRays = 300, .seed = 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto frame = MakeFrame(c.recipe);
    const auto result = FindCosmicRays(frame.View());
    ASSERT_TRUE(result.ok()) << result.message;
    const Tally t = Count(frame, result);
    EXPECT_GT(t.hits, 400);
    EXPECT_GT(t.found, 0.95 * t.hits);
    EXPECT_LE(t.falseOnStar, 10);     // of 6000 pixels
    EXPECT_LE(t.falseElsewhere, 40);  // the sharpest sky lines (sigma 1.2 pixels) lose a few
    EXPECT_GE(result.iterationsRun, 2);
  }
}

TEST(FindCosmicRays, CleanedPixelsComeBackNearTheFrameWithoutRays) {
  const FrameRecipe recipe{.width = 256, .sky = 200, .cosmicRays = 100};
  const auto frame = MakeFrame(recipe);
  auto plain = recipe;
  plain.cosmicRays = 0;
  const auto truth = MakeFrame(plain);  // the same noise: the rays are drawn last
  const auto result = FindCosmicRays(frame.View());
  ASSERT_TRUE(result.ok());
  int checked = 0;
  for (std::size_t i = 0; i < frame.values.size(); ++i) {
    const int y = static_cast<int>(i / 256);
    const double x = static_cast<double>(i % 256);
    // Rays off the star and off the sky lines (at 0.3, 0.62 and 0.9 of the width).
    if (!result.mask[i] || !frame.ray[i] || std::abs(y - frame.Centre(x)) < 8 || std::abs(x - 76.8) < 5 ||
        std::abs(x - 158.7) < 5 || std::abs(x - 230.4) < 5) {
      continue;
    }
    // Off the star, a replaced pixel is the sky's median: within 5 sigma of the pixel without its ray.
    EXPECT_NEAR(result.cleaned[i], truth.values[i], 5 * std::sqrt(200 / 1.5 + 11.2)) << "pixel " << i;
    ++checked;
  }
  EXPECT_GT(checked, 80);
  for (std::size_t i = 0; i < frame.values.size(); ++i) {
    if (!result.mask[i]) {
      ASSERT_EQ(result.cleaned[i], frame.values[i]);
    }
  }
}

TEST(FindCosmicRays, AFrameWithoutRaysStaysAsItIs) {
  const auto frame = MakeFrame({.width = 256});
  const auto result = FindCosmicRays(frame.View());
  ASSERT_TRUE(result.ok());
  EXPECT_LE(result.flagged, 3);
  EXPECT_EQ(result.iterationsRun, result.flagged == 0 ? 1 : 2);
}

TEST(FindCosmicRays, Refusals) {
  const auto frame = MakeFrame({.width = 64, .height = 30, .centre0 = 15, .slope = 0});
  FrameView view = frame.View();
  view.readNoise = -1;
  EXPECT_EQ(FindCosmicRays(view).error, CosmicRayError::BadFrame);
  EXPECT_EQ(FindCosmicRays(frame.View(), {.sigFrac = 1.5}).error, CosmicRayError::BadOptions);
  EXPECT_EQ(FindCosmicRays(frame.View(), {.iterations = 0}).error, CosmicRayError::BadOptions);
  const auto small = MakeFrame({.width = 64, .height = 6, .centre0 = 3, .slope = 0});
  EXPECT_EQ(FindCosmicRays(small.View()).error, CosmicRayError::FrameTooSmall);
  const auto seven = MakeFrame({.width = 7, .height = 7, .centre0 = 3, .slope = 0});
  EXPECT_TRUE(FindCosmicRays(seven.View()).ok());
}

}  // namespace
}  // namespace lxr4
