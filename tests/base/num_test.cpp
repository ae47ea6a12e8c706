// The typed number's text at its edges. (The golden `state` lines show each
// field in its own type: FocalLength 50 at start-up, 53.71068870610805 solved.)
#include "base/num.h"

#include <gtest/gtest.h>

namespace lxr4 {
namespace {

TEST(Num, TextFollowsTheHeldType) {
  EXPECT_EQ(Num().Text(), "0");
  EXPECT_EQ(Num(std::int32_t{-1310720}).Text(), "-1310720");
  EXPECT_EQ(Num(88.5f).Text(), "88.5");
  EXPECT_EQ(Num(109.99999f).Text(), "109.99999");
  EXPECT_EQ(Num(static_cast<double>(109.99999f)).Text(), "109.99999237060547");
  EXPECT_EQ(Num(0.000001).Text(), "0.000001");  // never an exponent
  EXPECT_EQ(Num(-0.0).Text(), "0");
}

}  // namespace
}  // namespace lxr4
