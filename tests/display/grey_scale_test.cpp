#include "display/grey_scale.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace lxr4 {
namespace {

TEST(GreyScale, DivisorAndMultiplierFollowTheRange) {
  struct Case {
    std::int64_t range;
    DrawMode mode;
    std::int64_t divisor, multiplier;
  };
  const Case cases[] = {
      {2550, DrawMode::Image, 10, 1},
      {255, DrawMode::Image, 1, 1},
      {254, DrawMode::Image, 1, 1},  // 256 div 254
      {200, DrawMode::Image, 1, 1},  // not 256 / 200 rounded
      {100, DrawMode::Image, 1, 2},
      {10, DrawMode::Image, 1, 25},
      {1, DrawMode::Image, 1, 256},
      {0, DrawMode::Image, 1, 256},  // drawn as if 1
      {-5, DrawMode::Image, 1, 1},
      {-300, DrawMode::Image, 1, 1},
      {255, DrawMode::Band, 20, 1},
      {100, DrawMode::Band, 7, 1},
      {13, DrawMode::Band, 1, 1},
      {12, DrawMode::Band, 1, 21},  // 240 div 255 is 0
      {0, DrawMode::Band, 1, 256},
      {-5, DrawMode::Band, 1, 1},
      // Far beyond a 16-bit divisor: still defined.
      {std::numeric_limits<std::int32_t>::max(), DrawMode::Image, 8421504, 1},
      {std::numeric_limits<std::int32_t>::max(), DrawMode::Band, 168430089, 1},
      {std::numeric_limits<std::int32_t>::min(), DrawMode::Band, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("range " + std::to_string(c.range) + (c.mode == DrawMode::Band ? " band" : " image"));
    const GreyScale scale = MakeGreyScale(c.range, c.mode);
    EXPECT_EQ(scale.divisor, c.divisor);
    EXPECT_EQ(scale.multiplier, c.multiplier);
  }
}

TEST(GreyScale, GreyLevelTruncatesAndClamps) {
  struct Case {
    std::int64_t range, background, value;
    int grey;
  };
  const Case cases[] = {
      {2550, 100, 100, 0}, {2550, 100, 105, 0},    {2550, 100, 2650, 255},
      {2550, 100, 50, 0},  {2550, 100, 1100, 100}, {2550, 100, 1109, 100},
      {100, 0, 60, 120},   {100, 0, 200, 255},     {200, 0, 200, 200},
      {200, 50, 250, 200}, {255, 0, 255, 255},     {0, 10, 11, 255},  // range 0 as 1
      {-50, 0, 77, 77},    {-50, 0, 300, 255},     {-50, 0, -3, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("range " + std::to_string(c.range) + " background " + std::to_string(c.background) +
                 " value " + std::to_string(c.value));
    EXPECT_EQ(GreyLevel(c.value, c.background, MakeGreyScale(c.range, DrawMode::Image)), c.grey);
  }
}

TEST(GreyScale, ExtremeValuesGiveADefinedGrey) {
  const GreyScale steep = MakeGreyScale(1, DrawMode::Band);  // M = 256
  const std::int64_t lowOffset = BandOffset(-32768, false, false);
  const std::int64_t highOffset = BandOffset(32767, false, false);
  EXPECT_EQ(GreyLevel(std::numeric_limits<std::int32_t>::max(), lowOffset, steep), 255);
  EXPECT_EQ(GreyLevel(std::numeric_limits<std::int32_t>::min(), highOffset, steep), 0);
}

TEST(GreyScale, BandOffsetDependsOnSlotAndFilter) {
  const GreyScale scale = MakeGreyScale(255, DrawMode::Band);  // D = 20
  struct Case {
    const char* name;
    bool object, filter;
    int grey;
  };
  const Case cases[] = {
      {"object unfiltered", true, false, 100},  // (2200 - 200) div 20
      {"object filtered", true, true, 110},     // 2200 div 20
      {"calibration, filter ignored", false, true, 100},
      {"calibration", false, false, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GreyLevel(2200, BandOffset(10, c.object, c.filter), scale), c.grey);
  }
}

}  // namespace
}  // namespace lxr4
