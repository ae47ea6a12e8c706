// The lamps' line lists: the files of data/line_lists, their built-in copies,
// and several lists merged into one, in air or vacuum.
#include "calibration/lamps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>

#include "calibration/line_list_file.h"

namespace lxr4 {
namespace {

std::string ShippedText(std::string_view gas) {
  std::ifstream in(std::string(LXR4_SOURCE_DIR) + "/data/line_lists/" + std::string(gas) + ".txt");
  EXPECT_TRUE(in) << gas;
  return {std::istreambuf_iterator<char>(in), {}};
}

// Each lamp's file parses cleanly (nothing left out, no wavelength twice),
// ascending, in air within 3000..11000 A, and is built in as it stands.
TEST(LampLines, BuiltInListsAreTheShippedFiles) {
  for (const std::string_view gas : kLampGases) {
    SCOPED_TRACE(gas);
    const std::string text = ShippedText(gas);
    EXPECT_EQ(LampListText(gas), text);
    const LineListResult r = ParseLineList(text);
    ASSERT_EQ(r.error, LineListError::None);
    EXPECT_TRUE(r.problems.empty()) << r.problems.front();
    EXPECT_EQ(LampLines(gas), r.lines);
    EXPECT_GE(r.lines.size(), 8u);
    for (std::size_t i = 0; i < r.lines.size(); ++i) {
      const ListLine& line = r.lines[i];
      SCOPED_TRACE(line.wavelength);
      EXPECT_TRUE(line.wavelength >= 3000 && line.wavelength <= 11000);
      EXPECT_TRUE(line.label == std::string(gas) + " I" || line.label == std::string(gas) + " II")
          << line.label;
      EXPECT_TRUE(i == 0 || line.wavelength > r.lines[i - 1].wavelength);
    }
  }
  for (const std::string_view gas : {"", "ne", "Ne ", "O", "He,Ne"}) {  // not a lamp's gas
    EXPECT_TRUE(LampListText(gas).empty()) << gas;
    EXPECT_TRUE(LampLines(gas).empty()) << gas;
  }
}

TEST(LampLines, KnownLinesAreThere) {
  // One line of each list, as the files write it (NIST, air).
  const std::tuple<std::string_view, double, const char*> known[] = {
      {"He", 5875.621, "He I"},  {"Ne", 6402.248, "Ne I"}, {"Ar", 4879.864, "Ar II"},
      {"Ar", 8115.3108, "Ar I"}, {"Hg", 5460.735, "Hg I"}, {"Kr", 5870.914, "Kr I"},
      {"Xe", 8231.634, "Xe I"},  {"Cu", 5105.541, "Cu I"}, {"Cd", 6438.470, "Cd I"},
      {"Zn", 4810.528, "Zn I"}};
  for (const auto& [gas, wavelength, label] : known) {
    const std::vector<ListLine> lines = LampLines(gas);
    EXPECT_NE(std::find(lines.begin(), lines.end(), ListLine{wavelength, label}), lines.end()) << wavelength;
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
  EXPECT_EQ(MergeLampLines({{}, a}, false), a);
  EXPECT_TRUE(MergeLampLines({}, false).empty());
  EXPECT_TRUE(MergeLampLines({{}, {}}, true).empty());
  // Two real lamps share no line.
  EXPECT_EQ(MergeLampLines({LampLines("Cu"), LampLines("Ar")}, false).size(),
            LampLines("Cu").size() + LampLines("Ar").size());
}

TEST(MergeLampLines, ConvertsToVacuumWhenAsked) {
  const std::vector<ListLine> vacuum = MergeLampLines({{{6562.8, "H I"}, {5000, "X I"}}}, true);
  ASSERT_EQ(vacuum.size(), 2u);
  EXPECT_NEAR(vacuum[0].wavelength, 5001.394849, 1e-6);  // specutils' Morton2000, as in air_vacuum_test
  EXPECT_NEAR(vacuum[1].wavelength, 6564.612980, 1e-6);
  EXPECT_EQ(vacuum[1].label, "H I");
}

}  // namespace
}  // namespace lxr4
