// The lamps' line lists: the files of data/line_lists, their built-in copies,
// and several lists merged into one, in air or vacuum.
#include "calibration/lamps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include "calibration/line_list_file.h"

namespace lxr4 {
namespace {

std::string ShippedText(std::string_view gas) {
  std::ifstream in(std::string(LXR4_SOURCE_DIR) + "/data/line_lists/" + std::string(gas) + ".txt");
  EXPECT_TRUE(in) << gas;
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(ShippedLineLists, ParseCleanlyAscendingInAirWithinTheirRange) {
  for (const std::string_view gas : kLampGases) {
    SCOPED_TRACE(gas);
    const std::string text = ShippedText(gas);
    EXPECT_NE(text.find("# Source: NIST Atomic Spectra Database"), std::string::npos);
    EXPECT_NE(text.find("air wavelengths"), std::string::npos);
    const LineListResult r = ParseLineList(text);
    ASSERT_EQ(r.error, LineListError::None);
    EXPECT_TRUE(r.problems.empty()) << r.problems.front();  // nothing left out, no wavelength twice
    EXPECT_GE(r.lines.size(), 8u);
    const std::string neutral = std::string(gas) + " I", ion = std::string(gas) + " II";
    for (std::size_t i = 0; i < r.lines.size(); ++i) {
      SCOPED_TRACE(r.lines[i].wavelength);
      EXPECT_GE(r.lines[i].wavelength, 3000);
      EXPECT_LE(r.lines[i].wavelength, 11000);
      EXPECT_TRUE(r.lines[i].label == neutral || r.lines[i].label == ion) << r.lines[i].label;
      if (i > 0) {
        EXPECT_GT(r.lines[i].wavelength, r.lines[i - 1].wavelength);
      }
    }
  }
}

TEST(LampLines, BuiltInTextIsTheShippedFile) {
  for (const std::string_view gas : kLampGases) {
    SCOPED_TRACE(gas);
    EXPECT_EQ(LampListText(gas), ShippedText(gas));
    EXPECT_EQ(LampLines(gas), ParseLineList(ShippedText(gas)).lines);
    EXPECT_FALSE(LampLines(gas).empty());
  }
}

TEST(LampLines, UnknownGasHasNoLines) {
  for (const std::string_view gas : {"", "ne", "Ne ", "O", "He,Ne"}) {
    SCOPED_TRACE(gas);
    EXPECT_TRUE(LampListText(gas).empty());
    EXPECT_TRUE(LampLines(gas).empty());
  }
}

TEST(LampLines, KnownLinesAreThere) {
  // One line of each list, as the files write it (NIST, air).
  struct Case {
    std::string_view gas;
    ListLine line;
  };
  for (const Case& c :
       {Case{"He", {5875.621, "He I"}}, Case{"Ne", {6402.248, "Ne I"}}, Case{"Ar", {4879.864, "Ar II"}},
        Case{"Ar", {8115.3108, "Ar I"}}, Case{"Hg", {5460.735, "Hg I"}}, Case{"Kr", {5870.914, "Kr I"}},
        Case{"Xe", {8231.634, "Xe I"}}, Case{"Cu", {5105.541, "Cu I"}}, Case{"Cd", {6438.470, "Cd I"}},
        Case{"Zn", {4810.528, "Zn I"}}}) {
    SCOPED_TRACE(c.line.wavelength);
    const std::vector<ListLine> lines = LampLines(c.gas);
    EXPECT_NE(std::find(lines.begin(), lines.end(), c.line), lines.end());
  }
}

TEST(MergeLampLines, MergesAscendingKeepingTheFirstOfAWavelengthNamedTwice) {
  const std::vector<ListLine> a{{5000, "A I"}, {6000, "A I"}, {7000, "A II"}};
  const std::vector<ListLine> b{{4000, "B I"}, {6000, "B I"}, {6500, "B I"}};
  EXPECT_EQ(
      MergeLampLines({a, b}, false),
      (std::vector<ListLine>{{4000, "B I"}, {5000, "A I"}, {6000, "A I"}, {6500, "B I"}, {7000, "A II"}}));
  EXPECT_EQ(MergeLampLines({b, a}, false)[2], (ListLine{6000, "B I"}));
  EXPECT_EQ(MergeLampLines({a, a}, false), a);
}

TEST(MergeLampLines, NothingToMergeGivesNothing) {
  EXPECT_TRUE(MergeLampLines({}, false).empty());
  EXPECT_TRUE(MergeLampLines({{}, {}}, true).empty());
  const std::vector<ListLine> one{{6000, "A I"}};
  EXPECT_EQ(MergeLampLines({{}, one}, false), one);
}

TEST(MergeLampLines, ConvertsToVacuumWhenAsked) {
  const std::vector<ListLine> air{{6562.8, "H I"}, {5000, "X I"}};
  const std::vector<ListLine> vacuum = MergeLampLines({air}, true);
  ASSERT_EQ(vacuum.size(), 2u);
  EXPECT_NEAR(vacuum[0].wavelength, 5001.394849, 1e-6);  // specutils' Morton2000, as in air_vacuum_test
  EXPECT_NEAR(vacuum[1].wavelength, 6564.612980, 1e-6);
  EXPECT_EQ(vacuum[1].label, "H I");
}

TEST(MergeLampLines, MergesTheBuiltInListsOfACopperArgonLamp) {
  const std::vector<ListLine> cu = LampLines("Cu"), ar = LampLines("Ar");
  const std::vector<ListLine> air = MergeLampLines({cu, ar}, false);
  EXPECT_EQ(air.size(), cu.size() + ar.size());  // no line of one is a line of the other
  EXPECT_TRUE(std::is_sorted(air.begin(), air.end(), [](const ListLine& a, const ListLine& b) {
    return a.wavelength < b.wavelength;
  }));
}

}  // namespace
}  // namespace lxr4
