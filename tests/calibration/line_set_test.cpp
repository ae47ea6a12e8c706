// Adding lines to the line set: one line per wavelength and per centroid.
#include "calibration/line_set.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lxr4 {
namespace {

TEST(AddLine, RefusesBadAndRepeatedLinesAndChangesNothing) {
  LineSet lines;
  ASSERT_EQ(AddLine(lines, {5460.735, 100.0f, "Hg", true}), AddLineError::None);
  const LineSet before = lines;
  EXPECT_EQ(AddLine(lines, {5460.735, 300.0f, "", true}), AddLineError::SameWavelength);
  EXPECT_EQ(AddLine(lines, {6402.248, 100.99f, "", true}), AddLineError::SameColumn);  // last refused
  EXPECT_EQ(AddLine(lines, {0, 300.0f, "", true}), AddLineError::BadLine);
  EXPECT_EQ(AddLine(lines, {NAN, 300.0f, "", true}), AddLineError::BadLine);
  EXPECT_EQ(AddLine(lines, {6402.248, INFINITY, "", true}), AddLineError::BadLine);
  EXPECT_EQ(lines, before);
  EXPECT_EQ(AddLine(lines, {6402.248, 101.0f, "", true}), AddLineError::None);  // first accepted
  EXPECT_EQ(lines.size(), 2u);
}

}  // namespace
}  // namespace lxr4
