// The Laplacian cosmic-ray detector on synthetic frames with known hits.
#include "extract/cosmic_rays.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/extract/synthetic_frame.h"

namespace lxr4 {
namespace {

using testing::MakeFrame;

struct Tally {
  int hits = 0, found = 0;  // pixels a ray raised by over 5 sigma, and of them flagged
  int onStar = 0;           // flagged within 3 sigma of the trace and over 2 pixels from any ray
  int elsewhere = 0;        // the same off the star (on the sky lines)
};

Tally Count(const testing::SyntheticFrame& f, const CleanedFrame& c) {
  Tally t;
  for (int y = 0; y < f.r.height; ++y) {
    for (int x = 0; x < f.r.width; ++x) {
      const auto i = f.Pixel(x, y);
      const double noise = std::sqrt(std::max(f.values[i] - f.deposit[i], 0.0f) / f.r.gain +
                                     std::pow(f.r.readNoise / f.r.gain, 2));
      bool nearRay = false;  // the detector grows a ray by up to two pixels
      for (int yy = std::max(0, y - 2); yy <= std::min(f.r.height - 1, y + 2); ++yy) {
        for (int xx = std::max(0, x - 2); xx <= std::min(f.r.width - 1, x + 2); ++xx)
          nearRay |= f.ray[f.Pixel(xx, yy)];
      }
      if (f.ray[i] && f.deposit[i] > 5 * noise) {
        ++t.hits;
        t.found += c.mask[i];
      } else if (c.mask[i] && !nearRay) {
        ++(std::abs(y - f.Centre(x)) < 3 * f.r.sigma ? t.onStar : t.elsewhere);
      }
    }
  }
  return t;
}

TEST(FindCosmicRays, FindsTheRaysAndSparesTheStarAndSkyLines) {
  const struct {
    const char* name;
    testing::FrameRecipe recipe;
  } cases[] = {
      {"bright star", {.width = 512, .cosmicRays = 300}},
      {"faint star, bright sky", {.width = 512, .flux = 3000, .sky = 800, .cosmicRays = 300, .seed = 7}},
      {"another night", {.width = 512, .slope = -0.03, .cosmicRays = 300, .seed = 3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto frame = MakeFrame(c.recipe);
    const auto result = FindCosmicRays(frame.View());
    ASSERT_TRUE(result.ok()) << result.message;
    const Tally t = Count(frame, result);
    EXPECT_GT(t.hits, 400);
    EXPECT_GT(t.found, 0.95 * t.hits);
    EXPECT_LE(t.onStar, 10);     // of 6000 pixels
    EXPECT_LE(t.elsewhere, 40);  // the sharpest sky lines (sigma 1.2 pixels) lose a few
  }
  EXPECT_LE(FindCosmicRays(MakeFrame({.width = 256}).View()).flagged, 3);  // no rays
}

TEST(FindCosmicRays, CleanedPixelsComeBackNearTheFrameWithoutRays) {
  const auto frame = MakeFrame({.width = 256, .sky = 200, .cosmicRays = 100});
  const auto truth = MakeFrame({.width = 256, .sky = 200});  // the same noise: the rays are drawn last
  const auto result = FindCosmicRays(frame.View());
  int checked = 0;
  for (std::size_t i = 0; i < frame.values.size(); ++i) {
    const double x = static_cast<double>(i % 256), y = static_cast<double>(i / 256);
    if (!result.mask[i]) {
      ASSERT_EQ(result.cleaned[i], frame.values[i]);
    } else if (frame.ray[i] && std::abs(y - frame.Centre(x)) > 8 && std::abs(x - 76.8) > 5 &&
               std::abs(x - 158.7) > 5 && std::abs(x - 230.4) > 5) {
      // Off the star and the sky lines, the sky's median: within 5 sigma of the pixel without its ray.
      EXPECT_NEAR(result.cleaned[i], truth.values[i], 5 * std::sqrt(200 / 1.5 + (5 / 1.5) * (5 / 1.5)))
          << "pixel " << i;
      ++checked;
    }
  }
  EXPECT_GT(checked, 80);
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
  EXPECT_TRUE(FindCosmicRays(MakeFrame({.width = 7, .height = 7, .centre0 = 3, .slope = 0}).View()).ok());
}

}  // namespace
}  // namespace lxr4
