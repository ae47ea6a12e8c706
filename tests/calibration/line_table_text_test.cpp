// The description of a calibration for exported headers and the Instrument
// dialog's fields where the golden case calib-instrument does not reach. (The
// Lines and Residuals table, row by row and its summary, is the golden cases
// calib-many-lines and calib-identify-save.)
#include "calibration/line_table_text.h"

#include <gtest/gtest.h>

#include "calibration/instrument_fields.h"

namespace lxr4 {
namespace {

// Four lines on wavelength = 5000 + 2 * column, the third off by 1 A.
LineSet Lines() {
  return {{5200, 100, "A", true}, {5600, 300, "B", true}, {6001, 500, "C", true}, {6400, 700, "", false}};
}

// The defaults and the refusals of 0, 190, -1 and x are calib-instrument;
// other refusals are instrument_test.
TEST(InstrumentFields, ReadBack) {
  InstrumentFields f{"1200", "45", "384.5", false, " 13.5 "};
  const InstrumentReading read = SettingsOf(f);
  ASSERT_TRUE(read.settings);
  EXPECT_EQ(read.settings->pixelSize, 13.5f);
  EXPECT_EQ(FieldsOf(*read.settings), (InstrumentFields{"1200", "45", "384.5", false, "13.5"}));
  f.pixelSize = "-";
  EXPECT_FALSE(SettingsOf(f).settings->pixelSize);
}

TEST(DescribeCalibration, ModelParametersAndSettingsInShortLines) {
  const FitResult straight = FitPolynomial(Lines(), 1, {});
  ASSERT_EQ(straight.error, FitError::None);
  const std::vector<std::string> poly =
      DescribeCalibration(straight.calibration, InstrumentSettings{}, false, straight);
  EXPECT_EQ(poly[0], "Calibration: Polynomial 1: rms 0.236 A (0.12 px)");
  EXPECT_EQ(poly[1], "  over 3 of 4 lines, 52% of the detector");
  EXPECT_EQ(poly.size(), 7u);  // summary in two lines, t, 2 coefficients, 2 of settings
  FittedCalibration two;
  two.grating.pixelWidth = 9;
  two.grating.parameters = {53.71069, 9.75531, 381, false};
  const std::vector<std::string> grating = DescribeCalibration(two, InstrumentSettings{}, true, std::nullopt);
  EXPECT_EQ(grating[1], "Focal length 53.71069 mm, alpha 9.75531 deg");
  for (const std::vector<std::string>* text : {&poly, &grating})
    for (const std::string& line : *text) EXPECT_LE(line.size(), 70u) << line;
}

}  // namespace
}  // namespace lxr4
