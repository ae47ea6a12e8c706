// Line-list files: the parser's rules and its refusals (the shipped lists are
// in lamps_test).
// (The built-in list, all 54 lines in order, and the refusal's message are in
// every golden transcript and calib-instrument.)
#include "calibration/line_list_file.h"

#include <gtest/gtest.h>

namespace lxr4 {
namespace {

TEST(ParseLineList, ReadsWavelengthsLabelsCommentsAndBlankLines) {
  const LineListResult r = ParseLineList(
      "\xEF\xBB\xBF# my lamp\r\n\r\n5460.735 Hg I\r\n  6402.248\tNe I  # strong\n7032.4131, Ne\n8115.311\n");
  ASSERT_EQ(r.error, LineListError::None);
  EXPECT_TRUE(r.problems.empty());
  const std::vector<ListLine> expected{
      {5460.735, "Hg I"}, {6402.248, "Ne I"}, {7032.4131, "Ne"}, {8115.311, ""}};
  EXPECT_EQ(r.lines, expected);
}

TEST(ParseLineList, ReportsBadLinesAndKeepsTheRest) {
  const LineListResult r =
      ParseLineList("5852.488 Ne\nNe 5881.895\n-4000 X\n0\n5944,834 Ne\n1e400\n6029.997\n");
  ASSERT_EQ(r.error, LineListError::None);
  ASSERT_EQ(r.lines.size(), 2u);
  const std::vector<std::string> expected{
      "Line 2: not a wavelength in Angstroms: Ne 5881.895", "Line 3: not a wavelength in Angstroms: -4000 X",
      "Line 4: not a wavelength in Angstroms: 0", "Line 5: not a wavelength in Angstroms: 5944,834 Ne",
      "Line 6: not a wavelength in Angstroms: 1e400"};
  EXPECT_EQ(r.problems, expected);
}

// A wavelength named twice would match no peak: the first stays, with its
// label, and the second is reported. Wavelengths a spectrograph cannot see are
// reported too; control characters in a label become blanks.
TEST(ParseLineList, KeepsTheFirstOfAWavelengthNamedTwice) {
  const LineListResult r = ParseLineList(
      "5460.753 Hg\n6402.246 Ne\n5460.753 Hg I\n5460.7530 again\n99.9 far\n100001\n6000 a\vb\n");
  ASSERT_EQ(r.error, LineListError::None);
  const std::vector<ListLine> expected{{5460.753, "Hg"}, {6402.246, "Ne"}, {6000, "a b"}};
  EXPECT_EQ(r.lines, expected);
  const std::vector<std::string> problems{
      "Line 3: listed already: 5460.753 Hg I", "Line 4: listed already: 5460.7530 again",
      "Line 5: not a wavelength in Angstroms: 99.9 far", "Line 6: not a wavelength in Angstroms: 100001"};
  EXPECT_EQ(r.problems, problems);
}

TEST(ParseLineList, RefusesATextWithoutLines) {
  for (const std::string_view text : {std::string_view{}, std::string_view{"# only\n\n"},
                                      std::string_view{"\x01\x02\xff\n"}, std::string_view{"abc"}}) {
    const LineListResult r = ParseLineList(text);
    EXPECT_EQ(r.error, LineListError::NoLines);
    EXPECT_TRUE(r.lines.empty());
  }
}

}  // namespace
}  // namespace lxr4
