// Tick values at nice steps and their shortest distinct labels.
#include "view/axis_ticks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace lxr4 {
namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(NiceTicks, StepsOfOneTwoOrFive) {
  const struct {
    double lo, hi;
    int maxCount;
    double step;
    std::vector<double> values;
  } cases[] = {
      {0, 10, 5, 2, {0, 2, 4, 6, 8, 10}},
      {3.2, 7.9, 4, 2, {4, 6}},
      {-0.013, 0.027, 4, 0.01, {-0.01, 0, 0.01, 0.02}},
      {6500, 6600, 5, 20, {6500, 6520, 6540, 6560, 6580, 6600}},
      {-1, 1, 2, 1, {-1, 0, 1}},
      {0, 10, 0, 10, {0, 10}},  // at least one step
      {0.5, 0.6, 1, 0.1, {0.5, 0.6}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lo << ".." << c.hi << " at most " << c.maxCount);
    const AxisTicks t = NiceTicks(c.lo, c.hi, c.maxCount);
    EXPECT_DOUBLE_EQ(t.step, c.step);
    ASSERT_EQ(t.values.size(), c.values.size());
    for (std::size_t i = 0; i < c.values.size(); ++i) EXPECT_NEAR(t.values[i], c.values[i], c.step * 1e-9);
    for (const double v : t.values) EXPECT_FALSE(v == 0 && std::signbit(v));  // no "-0"
  }
}

TEST(NiceTicks, NoneForEmptyOrNonFiniteRanges) {
  const double ranges[][2] = {{1, 1}, {5, 1}, {kNan, 1}, {0, kInf}, {-kInf, kInf}, {-1e308, 1e308}};
  for (const auto& r : ranges) {
    SCOPED_TRACE(testing::Message() << r[0] << ".." << r[1]);
    const AxisTicks t = NiceTicks(r[0], r[1], 5);
    EXPECT_TRUE(t.values.empty());
  }
}

TEST(NiceTicks, StayFewFarFromZero) {
  const AxisTicks t = NiceTicks(1e20, 1e20 + 1e6, 5);  // no bits for steps of 2e5 there
  EXPECT_LE(t.values.size(), 6U);
}

TEST(TickLabel, FewestDigitsThatTellTicksApart) {
  const struct {
    double value, step;
    const char* text;
  } cases[] = {
      {0.5, 0.5, "0.5"},       {1, 0.5, "1.0"},         {1200, 100, "1200"},   {-0.02, 0.01, "-0.02"},
      {6562.8, 0.1, "6562.8"}, {0.1 + 0.2, 0.1, "0.3"}, {-3e-17, 0.1, "0"},    {0, 1e-5, "0"},
      {1.5e6, 1e5, "1.5e+06"}, {2e6, 1e6, "2e+06"},     {2e-5, 1e-5, "2e-05"}, {-1.25e7, 5e4, "-1.25e+07"},
      {kNan, 1, "?"},          {kInf, 1, "?"},          {-kInf, 1, "?"},       {7, kNan, "7"},
  };
  for (const auto& c : cases) EXPECT_EQ(TickLabel(c.value, c.step), c.text) << c.value << " step " << c.step;
}

}  // namespace
}  // namespace lxr4
