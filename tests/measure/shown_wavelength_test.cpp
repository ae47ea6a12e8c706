// The wavelengths the view and the exports show, and the rest wavelengths offered.
#include <gtest/gtest.h>

#include "measure/rest_lines.h"
#include "measure/shown_wavelength.h"

namespace lxr4 {
namespace {

TEST(ShownWavelength, MediumShiftAndUnitsInTurnAndBack) {
  EXPECT_EQ(ShownWavelength(6562.8, {}), 6562.8) << "the defaults change nothing, bit for bit";
  EXPECT_EQ(ShownWavelength(6562.8, {.nanometres = true}), 6562.8 / 10);
  EXPECT_NEAR(ShownWavelength(6562.8, {.vacuum = true}), 6564.61, 0.005) << "Morton's air to vacuum";
  EXPECT_NEAR(ShownWavelength(6564.61, {.calibratedInVacuum = true}), 6562.80, 0.005);
  // +30 km/s: divided by sqrt((1 + b) / (1 - b)) = 1.00010007424.
  EXPECT_NEAR(ShownWavelength(6000, {.shiftKms = 30}), 6000 / 1.00010007424, 1e-6);
  EXPECT_EQ(ShownWavelength(6000, {.shiftKms = 3e5}), 6000) << "beyond light: no shift";
  const WavelengthFrame all{.calibratedInVacuum = false, .vacuum = true, .shiftKms = -120, .nanometres = true};
  EXPECT_NEAR(NativeWavelength(ShownWavelength(4861.33, all), all), 4861.33, 1e-8);
}

TEST(ShownWavelength, NormalisationOrderFollowsTheRangesMarked) {
  EXPECT_EQ(NormalisationOptions({}).order, 3);
  EXPECT_TRUE(NormalisationOptions({}).ranges.empty());
  EXPECT_EQ(NormalisationOptions({{1, 2}}).order, 0);
  EXPECT_EQ(NormalisationOptions({{1, 2}, {3, 4}}).order, 1);
  EXPECT_EQ(NormalisationOptions({{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}, {11, 12}}).order, 3);
}

TEST(RestLines, ReadByNameOrNumberInEitherMedium) {
  EXPECT_DOUBLE_EQ(*ReadRestWavelength("H-alpha", false), 6562.80);
  EXPECT_DOUBLE_EQ(*ReadRestWavelength(" halpha ", false), 6562.80) << "case, blanks and hyphens ignored";
  EXPECT_NEAR(*ReadRestWavelength("6562.80 H-alpha", true), 6564.61, 0.005) << "the name follows the medium";
  EXPECT_DOUBLE_EQ(*ReadRestWavelength("6562.8", true), 6562.8) << "a number as typed";
  EXPECT_DOUBLE_EQ(*ReadRestWavelength("Na I D2", false), 5889.951);
  for (const char* bad : {"", "  ", "6562.8 Foo", "-5", "0", "H-zeta", "nan"})
    EXPECT_FALSE(ReadRestWavelength(bad, false)) << bad;
  const std::vector<std::string> choices = RestChoices(false);
  ASSERT_EQ(choices.size(), RestLines().size());
  EXPECT_EQ(choices.front(), "3933.66 Ca II K");
  for (std::size_t i = 1; i < RestLines().size(); ++i) EXPECT_LT(RestLines()[i - 1].air, RestLines()[i].air);
  for (const std::string& choice : choices) EXPECT_TRUE(ReadRestWavelength(choice, true)) << choice;
}

}  // namespace
}  // namespace lxr4
