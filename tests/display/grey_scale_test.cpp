// The grey scale where the golden cases display-* do not reach: they pin the
// ranges 2550 (image and band), 255 (band), 0, -50 and 2147483647, grey
// levels truncated and clamped at both ends, the object band's offset with
// and without the filter, and the calibration band's without it.
#include "display/grey_scale.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <utility>

namespace lxr4 {
namespace {

TEST(GreyScale, DivisorAndMultiplierFollowTheRange) {
  const struct {
    std::int64_t range;
    DrawMode mode;
    std::int64_t divisor, multiplier;
  } cases[] = {
      {255, DrawMode::Image, 1, 1},
      {254, DrawMode::Image, 1, 1},  // 256 div 254
      {200, DrawMode::Image, 1, 1},  // not 256 / 200 rounded
      {100, DrawMode::Image, 1, 2},
      {10, DrawMode::Image, 1, 25},
      {1, DrawMode::Image, 1, 256},
      {-300, DrawMode::Image, 1, 1},
      {100, DrawMode::Band, 7, 1},
      {13, DrawMode::Band, 1, 1},
      {12, DrawMode::Band, 1, 21},  // 240 div 255 is 0
      {std::numeric_limits<std::int32_t>::min(), DrawMode::Band, 1, 1},
  };
  for (const auto& c : cases) {
    const GreyScale scale = MakeGreyScale(c.range, c.mode);
    EXPECT_EQ(std::pair(scale.divisor, scale.multiplier), std::pair(c.divisor, c.multiplier)) << &c - cases;
  }
}

TEST(GreyScale, ExtremeValuesGiveADefinedGrey) {
  const GreyScale steep = MakeGreyScale(1, DrawMode::Band);  // M = 256
  const std::int64_t lowOffset = BandOffset(-32768, false, false);
  const std::int64_t highOffset = BandOffset(32767, false, false);
  EXPECT_EQ(GreyLevel(std::numeric_limits<std::int32_t>::max(), lowOffset, steep), 255);
  EXPECT_EQ(GreyLevel(std::numeric_limits<std::int32_t>::min(), highOffset, steep), 0);
}

// A calibration band ignores "Filter Airglow": its offset is 20 x Background.
TEST(GreyScale, CalibrationBandOffsetIgnoresTheFilter) {
  EXPECT_EQ(GreyLevel(2200, BandOffset(10, false, true), MakeGreyScale(255, DrawMode::Band)), 100);
}

}  // namespace
}  // namespace lxr4
