// Zoom and pan of the Spectrum view's range, kept inside the data's extent.
#include "view/view_range.h"

#include <gtest/gtest.h>

#include <limits>

namespace lxr4 {
namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
const ViewExtent kExtent{0, 1000, 4};  // 1000 samples' worth, at least 4 shown

void ExpectRange(ViewRange got, ViewRange want) {
  EXPECT_NEAR(got.from, want.from, 1e-9);
  EXPECT_NEAR(got.to, want.to, 1e-9);
}

TEST(ViewRange, ZoomKeepsTheWheelsValueInPlace) {
  const struct {
    ViewRange range;
    double factor, about;
    ViewRange want;
  } cases[] = {
      {{0, 1000}, 2, 500, {250, 750}},        {{0, 1000}, 2, 0, {0, 500}},
      {{0, 1000}, 1000, 300, {298.8, 302.8}},  // stops at the least width
      {{100, 200}, 0.01, 150, {0, 1000}},      // stops at the extent
      {{900, 1000}, 0.5, 950, {800, 1000}},    // shifted back inside
      {{100, 200}, 0, 150, {100, 200}},        // no zoom
      {{100, 200}, kNan, 150, {100, 200}},    {{100, 200}, 2, kNan, {100, 200}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.factor << " about " << c.about);
    ExpectRange(ZoomAbout(c.range, c.factor, c.about, kExtent), c.want);
  }
}

TEST(ViewRange, BoxInEitherOrderWithinLimits) {
  ExpectRange(ZoomToBox(700, 600, kExtent), {600, 700});
  ExpectRange(ZoomToBox(10, 11, kExtent), {8.5, 12.5});  // widened about its centre
  ExpectRange(ZoomToBox(-50, 1, kExtent), {0, 51});
  ExpectRange(ZoomToBox(kNan, 1, kExtent), {0, 1000});
}

TEST(ViewRange, PanStopsAtTheEnds) {
  ExpectRange(PanBy({0, 100}, 0.25, kExtent), {25, 125});
  ExpectRange(PanBy({900, 1000}, 0.5, kExtent), {900, 1000});
  ExpectRange(PanBy({50, 150}, -1, kExtent), {0, 100});
  ExpectRange(PanBy({50, 150}, kNan, kExtent), {50, 150});
}

TEST(ViewRange, ResetAndOddExtents) {
  ExpectRange(ResetRange(kExtent), {0, 1000});
  ExpectRange(ResetRange({1000, 0, 4}), {0, 1000});          // swapped
  ExpectRange(ZoomAbout({0, 2}, 10, 1, {0, 2, 4}), {0, 2});  // narrower than the least width
  ExpectRange(ClampRange({kNan, 5}, {kNan, 1, 0}), {0, 1});  // no finite extent
  ExpectRange(ClampRange({300, 200}, kExtent), {200, 300});  // ends ordered
  ExpectRange(ClampRange({-5000, 5000}, {10, 20, kNan}), {10, 20});
}

}  // namespace
}  // namespace lxr4
