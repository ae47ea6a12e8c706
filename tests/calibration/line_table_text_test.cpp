// The texts of the many-line calibration (the Lines and Residuals table, the
// description for exported headers) and the Instrument dialog's fields.
#include "calibration/line_table_text.h"

#include <gtest/gtest.h>

#include <cmath>

#include "base/number_text.h"
#include "calibration/instrument_fields.h"

namespace lxr4 {
namespace {

// Four lines on wavelength = 5000 + 2 * column, the third off by 1 A.
LineSet Lines() {
  return {{5200, 100, "A", true}, {5600, 300, "B", true}, {6001, 500, "C", true}, {6400, 700, "", false}};
}

TEST(InstrumentFields, DefaultsReadBackAndBadFieldsAreRefusedByName) {
  const InstrumentFields defaults = FieldsOf(InstrumentSettings{});
  EXPECT_EQ(defaults, (InstrumentFields{"300", "30", "381", true, ""}));
  EXPECT_EQ(SettingsOf(defaults).settings, InstrumentSettings{});

  InstrumentFields f{"1200", "45", "384.5", false, " 13.5 "};
  const InstrumentReading read = SettingsOf(f);
  ASSERT_TRUE(read.settings);
  EXPECT_EQ(read.settings->pixelSize, 13.5f);
  EXPECT_EQ(FieldsOf(*read.settings), (InstrumentFields{"1200", "45", "384.5", false, "13.5"}));
  f.pixelSize = "-";
  EXPECT_FALSE(SettingsOf(f).settings->pixelSize);

  const struct {
    InstrumentFields fields;
    const char* named;
  } bad[] = {{{"0", "30", "381", true, ""}, "groove density"},
             {{"1e5", "30", "381", true, ""}, "groove density"},
             {{"300", "-1", "381", true, ""}, "deviation angle"},
             {{"300", "30", "769", true, ""}, "reference column"},
             {{"300", "30", "", true, ""}, "reference column"},
             {{"300", "30", "381", true, "0"}, "pixel size"},
             {{"300", "30", "381", true, "9 um"}, "pixel size"}};
  for (const auto& b : bad) {
    const InstrumentReading r = SettingsOf(b.fields);
    EXPECT_FALSE(r.settings) << b.named;
    EXPECT_NE(r.message.find(b.named), std::string::npos) << r.message;
  }
}

TEST(LineTable, RowsShowTheLastFitElseTheCalibrationInForce) {
  const LineSet lines = Lines();
  const LineTable bare = LineTableOf(lines, std::nullopt, std::nullopt, "");
  ASSERT_EQ(bare.rows.size(), 4u);
  EXPECT_EQ(bare.rows[2], (LineTableRow{"6001.000", "C", "500.00", "", "", "", true}));
  EXPECT_FALSE(bare.rows[3].used);
  EXPECT_EQ(bare.summary, "No fit yet");

  const FitResult line = FitPolynomial({lines[0], lines[1]}, 1, {});
  ASSERT_EQ(line.error, FitError::None);
  const LineTable inForce = LineTableOf(lines, std::nullopt, line.calibration, "Two lines");
  EXPECT_EQ(inForce.rows[2].fitted, "6000.000");
  EXPECT_EQ(inForce.rows[2].residual, "1.000");
  EXPECT_EQ(inForce.rows[2].residualPixels, "0.50");
  EXPECT_EQ(inForce.rows[3].residual, "0.000");
  EXPECT_EQ(inForce.summary, "In force: Two lines: rms 0.577 A over 3 of 4 lines");

  const FitResult fit = FitPolynomial(lines, 1, {});
  const LineTable fitted = LineTableOf(lines, fit, line.calibration, "Two lines");
  EXPECT_EQ(fitted.summary, "Last fit: " + FitSummary(fit));
  EXPECT_EQ(fitted.rows[0].fitted, FormatNumber(fit.lines[0].fitted, "0.000"));
}

TEST(LineTable, ResidualsOfACalibrationCountOnlyUsedLines) {
  const FitResult line = FitPolynomial({Lines()[0], Lines()[1]}, 1, {});
  const FitResult r = ResidualsOf(line.calibration, Lines());
  EXPECT_EQ(r.linesUsed, 3);
  EXPECT_EQ(r.linesTotal, 4);
  EXPECT_NEAR(r.lines[2].residual, 1.0, 1e-9);
  EXPECT_NEAR(r.rms, std::sqrt(1.0 / 3.0), 1e-9);
}

TEST(DescribeCalibration, ModelParametersAndSettingsInShortLines) {
  const FitResult cubic = FitPolynomial(Lines(), 2, {});
  ASSERT_EQ(cubic.error, FitError::None);
  const std::vector<std::string> poly =
      DescribeCalibration(cubic.calibration, InstrumentSettings{}, false, cubic);
  EXPECT_EQ(poly.front(), "Calibration: " + FitSummary(cubic));
  EXPECT_EQ(poly.size(), 7u);  // summary, t, 3 coefficients, 2 of settings
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
